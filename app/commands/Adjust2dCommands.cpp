// The plane adjustment command ("二维网联合/约束平差") and the tunnel breakthrough error command
// ("贯通误差影响值计算").
#include "adjust2d/GPS2dNetAdjust.h"
#include "project/AppState.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/Handlers.h"
#include "app/commands/PlaneResults.h"
#include "app/commands/StatisticsCommands.h"
#include "geodesy/FileUtil.h"
#include "tools/Breakthrough.h"

namespace vemo {

int ExtractBreakthroughOf(const CGPS2dNetAdjust& plane) {
  const std::string extension = Extension(ProjectFile::BreakthroughExtract, plane.m_Variant);
  return ExtractBreakthroughData(plane.m_PointName, plane.m_X, plane.m_Y, plane.m_KnownPointCount, plane.m_M0m,
                                 [&plane](int p, int q) { return plane.Qxx(p, q); }, extension.c_str());
}

int RunAdjust2d(CommandContext& context) {
  const TestOptions tests = TakeTestOptions(context.args);
  if (!context.args.Positionals().empty()) throw UsageError("adjust-2d takes no arguments");
  RememberTestOptions(tests);
  CResultFiles writes(kGPS2dNetResults);
  writes.Add({ProjectFile::Test2d});
  CGPS2dNetAdjust network(0);
  return RunComputation(
      [&] {
        return RequireInputs(CommandId::Adjust2d, {ProjectFile::KnownXY, ProjectFile::Vector2d, ProjectFile::XYH3d}) &&
               network.Load();
      },
      [&] { return AdjustGPS2dWithTests(network, tests.settings); }, {CurrentProjectFile(ProjectFile::Result2d)}, writes);
}

namespace {

// The extract is the plane adjustment's result: it must exist when the guide file does (else
// the engine's own warning says to make the guide file), and be newer than every file the
// adjustment read, or the breakthrough errors would be those of another network.
int CheckBreakthroughExtract() {
  if (!FileExists(CurrentProjectFile(ProjectFile::BreakthroughExtract)))
    return !FileExists(CurrentProjectFile(ProjectFile::BreakthroughGuide)) ||
           RequireInputs(CommandId::Breakthrough, {ProjectFile::BreakthroughExtract});
  return RequireCurrentResult(CommandId::Breakthrough, CurrentProjectFile(ProjectFile::BreakthroughExtract),
                              {ProjectFile::BreakthroughGuide, ProjectFile::KnownXY, ProjectFile::Vector2d,
                               ProjectFile::XYH3d, ProjectFile::Distance, ProjectFile::Azimuth},
                              CommandId::Adjust2d);
}

}  // namespace

int RunBreakthrough(CommandContext& context) {
  if (!context.args.Positionals().empty()) throw UsageError("breakthrough takes no arguments");
  return RunComputation(CheckBreakthroughExtract, ComputeBreakthroughErrors,
                        {CurrentProjectFile(ProjectFile::BreakthroughReport)},
                        CResultFiles({ProjectFile::BreakthroughReport}));
}

}  // namespace vemo

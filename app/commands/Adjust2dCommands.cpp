// The plane adjustment command ("二维网联合/约束平差") and the tunnel breakthrough error command
// ("贯通误差影响值计算").
#include "adjust2d/GPS2dNetAdjust.h"
#include "project/AppState.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/Handlers.h"
#include "app/commands/PlaneResults.h"
#include "app/commands/StatisticsCommands.h"
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
  CGPS2dNetAdjust network(0);
  return RunComputation([&] { return network.Load(); }, [&] { return AdjustGPS2dWithTests(network, tests.settings); },
                        {CurrentProjectFile(ProjectFile::Result2d)});
}

int RunBreakthrough(CommandContext& context) {
  if (!context.args.Positionals().empty()) throw UsageError("breakthrough takes no arguments");
  return RunComputation([] { return 1; }, [] { return ComputeBreakthroughErrors(); },
                        {CurrentProjectFile(ProjectFile::BreakthroughReport)});
}

}  // namespace vemo

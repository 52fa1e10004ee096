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

#include <string>

namespace vemo {

int ExtractBreakthroughOf(const CGPS2dNetAdjust& plane) {
  const std::string extension = Extension(ProjectFile::BreakthroughExtract, plane.m_Variant);
  return ExtractBreakthroughData(plane.m_PointName, plane.m_X, plane.m_Y, plane.m_KnownPointCount, plane.m_M0m,
                                 [&plane](int p, int q) { return plane.Qxx(p, q); }, extension.c_str());
}

const char* const kLegacyRulesHelp =
    "  --legacy-rules   the original rules, for comparison with results computed by them:\n"
    "                   ground distances and azimuths weighted 1/sd^2 with sd as their files\n"
    "                   give it (cm, seconds of arc), not on the vectors' unit weight, and\n"
    "                   the iteration stopped on the coordinate corrections alone, not on\n"
    "                   the rotation and scale too. Not remembered: one run only.\n";

const char* Adjust2dSynopsis() {
  static const std::string synopsis =
      std::string("[--legacy-rules] ") + kAdjustTestSynopsis + " [--vce kind] [--vce-apply]";
  return synopsis.c_str();
}

const char* Adjust2dHelp() {
  static const std::string help = std::string(kAdjustTestHelp) + kLegacyRulesHelp + kVceHelp2d;
  return help.c_str();
}

void TakeLegacyRules(Args& args, CGPS2dNetAdjust& network) {
  const bool legacy = args.TakeFlag("--legacy-rules");
  network.m_LegacyGroundWeights = legacy;
  network.m_LegacyConvergence = legacy;
}

int RunAdjust2d(CommandContext& context) {
  CGPS2dNetAdjust network(0);
  TakeLegacyRules(context.args, network);
  const TestOptions tests = TakeTestOptions(context.args);
  const VceOptions vce = TakeVceOptions(context.args, "kind");
  // By the legacy rules the ground observations are not weighted on the vectors' unit weight:
  // the groups share no variance of unit weight whose factors could be estimated.
  if (vce.estimate && network.m_LegacyGroundWeights)
    throw UsageError("--vce and --vce-apply need the ground observations on the vectors' unit weight: not with --legacy-rules");
  if (!context.args.Positionals().empty()) throw UsageError("adjust-2d takes no arguments");
  CResultFiles writes(kGPS2dNetResults);
  writes.Add({ProjectFile::Test2d});
  const int status = RunComputation(
      [&] {
        return RequireInputs(CommandId::Adjust2d, {ProjectFile::KnownXY, ProjectFile::Vector2d, ProjectFile::XYH3d}) &&
               network.Load();
      },
      [&] { return AdjustGPS2dWithTests(network, tests.settings, vce); }, {CurrentProjectFile(ProjectFile::Result2d)}, writes);
  return RememberTestOptions(tests, status);
}

namespace {

// The extract is the plane adjustment's result: it must exist when the guide file does (else
// the engine's own warning says to make the guide file), and be newer than every file the
// adjustment read, or the breakthrough errors would be those of another network.
int CheckBreakthroughExtract() {
  if (!FileExists(CurrentProjectFile(ProjectFile::BreakthroughExtract)))
    return !FileExists(CurrentProjectFile(ProjectFile::BreakthroughGuide)) ||
           RequireInputs(CommandId::Breakthrough, {ProjectFile::BreakthroughExtract});
  return RequireCurrentResult(CommandId::Breakthrough, ProjectFile::BreakthroughExtract, CommandId::Adjust2d);
}

}  // namespace

int RunBreakthrough(CommandContext& context) {
  if (!context.args.Positionals().empty()) throw UsageError("breakthrough takes no arguments");
  // The menu command is always enabled, as the system has it, but it reads the extract of the
  // open project: without one it would compute on the project last remembered.
  if (Project().projectOpen != 1)
    throw UsageError(
        "breakthrough needs an open project: create one with new-project or name it with --project FILE.prj");
  return RunComputation(CheckBreakthroughExtract, ComputeBreakthroughErrors,
                        {CurrentProjectFile(ProjectFile::BreakthroughReport)},
                        CResultFiles({ProjectFile::BreakthroughReport}));
}

}  // namespace vemo

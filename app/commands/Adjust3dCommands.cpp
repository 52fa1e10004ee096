// The 3D vector network adjustment command ("三维向量网平差").
#include "adjust3d/GPS3dNetAdjust.h"
#include "project/AppState.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/Handlers.h"
#include "app/commands/StatisticsCommands.h"

#include <string>

namespace vemo {

const char* Adjust3dSynopsis() {
  static const std::string synopsis = std::string(kAdjustTestSynopsis) + " [--vce session] [--vce-apply]";
  return synopsis.c_str();
}

const char* Adjust3dHelp() {
  static const std::string help = std::string(kAdjustTestHelp) + kVceHelp3d;
  return help.c_str();
}

int RunAdjust3d(CommandContext& context) {
  const TestOptions tests = TakeTestOptions(context.args);
  const VceOptions vce = TakeVceOptions(context.args, "session");
  if (!context.args.Positionals().empty()) throw UsageError("adjust-3d takes no arguments");
  // The approximate coordinates are computed from the known points, never read from a file.
  SetApproximateFileMode(0);
  CResultFiles writes(kGPS3dNetResults);
  writes.Add({ProjectFile::ApproximateXYZ, ProjectFile::Test3d});
  CGPS3dNetAdjust network(0);
  const int status = RunComputation(
      [&] { return RequireInputs(CommandId::Adjust3d, {ProjectFile::KnownXYZ, ProjectFile::Vector3d}) && network.Load(); },
      [&] { return AdjustGPS3dWithTests(network, tests.settings, vce); }, {CurrentProjectFile(ProjectFile::Result3d)}, writes);
  return RememberTestOptions(tests, status);
}

}  // namespace vemo

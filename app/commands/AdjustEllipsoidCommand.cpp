// The ellipsoidal 3D combined adjustment command ("椭球面三维平差").
#include "adjust/StatisticsReport.h"
#include "adjust3d/GPS3dCombinedAdjust.h"
#include "project/AppState.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/Handlers.h"
#include "app/commands/StatisticsCommands.h"

namespace vemo {

int RunAdjustEllipsoid(CommandContext& context) {
  const TestOptions tests = TakeTestOptions(context.args);
  if (!context.args.Positionals().empty()) throw UsageError("adjust-ellipsoid takes no arguments");
  const CResultFiles writes({ProjectFile::Combined3dResult, ProjectFile::Combined3dTest});
  CGPS3dCombinedAdjust network;
  const int status = RunComputation(
      [&] {
        return RequireInputs(CommandId::AdjustEllipsoid, {ProjectFile::KnownXYZ, ProjectFile::Vector3d}) &&
               network.Load();
      },
      [&] { return AdjustEllipsoidWithTests(network, tests.settings); },
      {CurrentProjectFile(ProjectFile::Combined3dResult)}, writes);
  return RememberTestOptions(tests, status);
}

}  // namespace vemo

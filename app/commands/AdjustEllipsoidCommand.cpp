// The ellipsoidal 3D combined adjustment command ("椭球面三维平差").
#include "adjust3d/GPS3dCombinedAdjust.h"
#include "project/AppState.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/Handlers.h"

namespace vemo {

int RunAdjustEllipsoid(CommandContext& context) {
  if (!context.args.Positionals().empty()) throw UsageError("adjust-ellipsoid takes no arguments");
  const CResultFiles writes({ProjectFile::Combined3dResult});
  CGPS3dCombinedAdjust network;
  return RunComputation(
      [&] {
        return RequireInputs(CommandId::AdjustEllipsoid, {ProjectFile::KnownXYZ, ProjectFile::Vector3d}) &&
               network.Load();
      },
      [&] { return network.Adjust(); }, {CurrentProjectFile(ProjectFile::Combined3dResult)}, writes);
}

}  // namespace vemo

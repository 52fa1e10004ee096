// The ellipsoidal 3D combined adjustment command ("椭球面三维平差").
#include "adjust/StatisticsReport.h"
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
      [&] {
        // The covariance scaling used is stated at the top of the report.
        const int adjusted = network.Adjust();
        if (adjusted != 1 || network.m_ReportPreamble.empty()) return adjusted;
        return AmendReport(CurrentProjectFile(ProjectFile::Combined3dResult), network.m_ReportPreamble, nullptr) ? 1 : 0;
      },
      {CurrentProjectFile(ProjectFile::Combined3dResult)}, writes);
}

}  // namespace vemo

// Statistical tests of the plane adjustment, written to their own report beside the result
// file: "<project>.GPS2dTest". They read the converged network (coordinates, the cofactors of
// the unknowns, PVV, r, the rotation and scale) and change nothing of it.
#pragma once

#include "adjust2d/GPS2dNetAdjust.h"
#include "adjust/AdjustmentStatistics.h"
#include "adjust/StatisticsReport.h"

namespace vemo {

// The tests of the plane network after a successful Adjust (ordinary variant, with the
// rotation and scale unknowns), in m. The a-priori standard error of unit weight is the one
// the vectors' covariances (cm², as the 3D adjustment writes them) imply; ground distances and azimuths enter the global test with
// the weights the adjustment gave them.
CNetworkTests TestGPS2dNetwork(const CGPS2dNetAdjust& net, const CTestSettings& settings);

// Writes the statistics report. Returns false after a message when it cannot be written.
bool WriteGPS2dTestReport(const CGPS2dNetAdjust& net, const CTestSettings& settings,
                          CTestVerdicts* verdicts = nullptr);

}  // namespace vemo

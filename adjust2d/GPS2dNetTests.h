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

// The data snooping of the ground distances (then the azimuths, in the order of their files),
// residuals and biases in m and seconds of arc, and the compatibility of the known points
// (discrepancies in m, x and y); empty without redundancy or without the rotation and scale.
struct CGPS2dMoreTests {
  bool defined = false;
  CDataSnooping ground;
  CKnownPointTests known;
};
CGPS2dMoreTests TestGPS2dGroundAndKnownPoints(const CGPS2dNetAdjust& net, const CTestSettings& settings,
                                              const CNetworkTests& tests);

// Writes the statistics report. Returns false after a message when it cannot be written.
bool WriteGPS2dTestReport(const CGPS2dNetAdjust& net, const CTestSettings& settings,
                          CTestVerdicts* verdicts = nullptr);

}  // namespace vemo

// Statistical tests of the ellipsoidal adjustment, written to their own report beside its
// result file: "<project>.GPS3dBLHTest". They read the adjusted network (the solution, Qxx,
// PVV, r) and change nothing of it, so the result file is the same with or without them.
#pragma once

#include "adjust/AdjustmentStatistics.h"
#include "adjust/StatisticsReport.h"
#include "adjust3d/GPS3dCombinedAdjust.h"

namespace vemo {

// The tests of the vectors after a successful Adjust, in m: the global test, data snooping with
// the vectors' residuals and the effect of their minimal detectable biases on the positions.
// The a-priori standard error of unit weight is the one the vector covariances imply. The known
// components, held by constraint weights, are not tested.
CNetworkTests TestGPS3dCombinedNetwork(const CGPS3dCombinedAdjust& net, const CTestSettings& settings);

// The frame parameters GPS -> ground as the result file states them (rotations about X, Y, Z
// in seconds of arc, the scale in ppm) with their standard errors.
struct CFrameParameters {
  double value[4] = {}, sigma[4] = {};
};
CFrameParameters FrameParametersOf(const CGPS3dCombinedAdjust& net, const CNetworkTests& tests);

// Writes the statistics report. Returns false after a message when it cannot be written.
bool WriteGPS3dCombinedTestReport(const CGPS3dCombinedAdjust& net, const CTestSettings& settings,
                                  CTestVerdicts* verdicts = nullptr);

}  // namespace vemo

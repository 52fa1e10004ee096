// Statistical tests of the GPS height fitting, written to their own report beside its result
// file: "<project>.GPS1dTest". The known heights' anomalies carry no precision of their own, so
// the a-priori standard error of unit weight is the user's (the anomaly's error at a known
// point: levelling, the GPS height and what the model cannot follow). The tests read the fit
// and change nothing of it.
#pragma once

#include "adjust/AdjustmentStatistics.h"
#include "adjust/StatisticsReport.h"
#include "adjust2d/GPS1dHeightFit.h"

namespace vemo {

// The a-priori standard error of a known height's anomaly when none is given, cm, and its
// domain.
constexpr double kDefaultHeightSigmaCm = 2.0;
constexpr double kLeastHeightSigmaCm = 0.001, kGreatestHeightSigmaCm = 1000.0;

// The global test and the w-test of every known height after a successful fit, in m. The
// effect of a known height's minimal detectable bias is the largest change it makes to the
// fitted height of any point of the geodetic coordinates (that point named).
CNetworkTests TestGPS1dHeights(const CGPS1dHeightFit& fit, const CTestSettings& settings, double sigma0Cm);

// Writes the statistics report. Returns false after a message when it cannot be written.
bool WriteGPS1dTestReport(const CGPS1dHeightFit& fit, const CTestSettings& settings, double sigma0Cm,
                          CTestVerdicts* verdicts = nullptr);

}  // namespace vemo

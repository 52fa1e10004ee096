// Statistical tests of the 3D vector network adjustment, written to their own report beside
// the result file: "<project>.GPS3dTest" ("GPS3dTest1" for the one-point-one-direction
// variant). They read the adjusted network (coordinates, Qxx, PVV, r) and change nothing of
// it, so the adjustment's own files are the same with or without them.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "adjust/AdjustmentStatistics.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "adjust/StatisticsReport.h"

namespace vemo {

// The a-priori precision and the length of every vector of a 3D network (its covariances in cm²,
// its components in m), for the signs of a slip of units.
template <class Network>
std::vector<CVectorPrecision> VectorPrecisions(const Network& net) {
  std::vector<CVectorPrecision> precisions;
  for (int j = 0; j < net.m_VectorCount; ++j) {
    const double length = std::sqrt(net.m_DX[j] * net.m_DX[j] + net.m_DY[j] * net.m_DY[j] + net.m_DZ[j] * net.m_DZ[j]);
    precisions.push_back({std::sqrt((net.m_Dxx[j] + net.m_Dyy[j] + net.m_Dzz[j]) / 3.0) * 10.0, length / 1000.0});
  }
  return precisions;
}

// The tests of a network after a successful Adjust, in mm. The a-priori standard error of
// unit weight is the one the vector covariances imply (the square root of their mean
// variance), whatever M0 the result file shows.
CNetworkTests TestGPS3dNetwork(const CGPS3dNetAdjust& net, const CTestSettings& settings);

// The tests of whole vectors (their three components at once, with the w-tests along the local
// east, north and up at the vector's midpoint) and of the known points' compatibility, after
// TestGPS3dNetwork gave tests; empty without redundancy. Discrepancies in mm, north, east, up.
struct CGPS3dGroupTests {
  bool defined = false;
  CMultipleLimit vectorLimit;
  std::vector<CGroupTest> vectors;
  CKnownPointTests known;
};
CGPS3dGroupTests TestGPS3dVectorsAndKnownPoints(const CGPS3dNetAdjust& net, const CTestSettings& settings,
                                                const CNetworkTests& tests);

// The confidence regions of points in their local horizon (north, east, up): per point the
// standard ellipse with the azimuth of its major axis from north, the vertical error and the
// semi-axes of the ellipsoid, each standard and at the probability (factors k), from its
// covariance in that frame (cm²).
struct CLocalRegion {
  int number = 0;
  std::string name;  // GBK
  double covariance[3][3] = {};
};
void WriteLocalConfidenceRegions(CReportFile& f, const char* dash, const CConfidenceFactors& k,
                                 const CTestSettings& settings, const CNetworkTests& tests,
                                 const std::vector<CLocalRegion>& rows);

// Writes the statistics report. Returns false after a message when it cannot be written;
// verdicts (when given) receive the outcome.
bool WriteGPS3dTestReport(const CGPS3dNetAdjust& net, const CTestSettings& settings,
                          CTestVerdicts* verdicts = nullptr);

}  // namespace vemo

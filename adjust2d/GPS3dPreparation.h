// The preparation step of the two transformation parameter commands ("二维转换参数",
// "一维转换参数"): from the baseline vectors alone, coordinates of every point in the WGS-84
// frame of the baselines, written as the geodetic and plane coordinate files that the plane
// and height computations read ("<project>.GPS3dBLH", "<project>.GPS3dXYH"), and the plane
// and geodetic vector files reduced on WGS-84. Unlike the 3D adjustment it writes no report
// and works on WGS-84 whatever the project's ellipsoid.
#pragma once

#include "adjust3d/GPS3dNetAdjust.h"

// The WGS-84 ellipsoid of the baselines: semi-major axis (m) and inverse flattening.
constexpr double kWgs84SemiMajorAxis = 6378137.0;
constexpr double kWgs84InverseFlattening = 298.257223563;

class CGPS3dPreparation : public CGPS3dNetAdjust {
 public:
  CGPS3dPreparation() : CGPS3dNetAdjust(0) {}

  // After Load: approximate coordinates along the vectors from the known points, the plane
  // and geodetic vector files on WGS-84, one least-squares solution of the vectors with the
  // known points fixed, then GPS3dBLH and GPS3dXYH (names in 8-character fields, a longer
  // name widens its line). The files are written only once every line is known, so a failure
  // leaves those of an earlier run; a vector file without vectors is refused before anything is
  // written. Returns 1, or 0 after the message of the failure.
  int Prepare();
};

// The plane transformation parameters ("二维转换参数"): the rotation and scale that carry the
// GPS network's plane coordinates into the local grid, estimated with the plane adjustment's
// model (vectors, ground distances and azimuths) but without its report, and appended with
// the project name to "Parameter.2d" in the project directory.
//
// Unlike the plane adjustment, nothing is placed in the ground grid first: every point starts
// from the coordinates of "<project>.GPS3dXYH" and the known points keep them (their known
// plane coordinates only say which points hold the network), the linearisation starts at
// c0 = 1, s0 = 0, and each vector is weighted by the inverse of its covariance itself. The
// ground distances and azimuths alone then set the rotation and scale.
#pragma once

#include "adjust2d/GPS2dNetAdjust.h"

class CGPS2dParameterEstimation : public CGPS2dNetAdjust {
 public:
  CGPS2dParameterEstimation() : CGPS2dNetAdjust(0) {}

  // After Load: estimates and appends "%25s %15.9lf %15.9lf" (project name, rotation GPS ->
  // ground in D.MMSS, scale - 1 in ppm) to Parameter.2d. Returns 1, or 0 after the message of
  // the failure (nothing appended).
  int Estimate();
};

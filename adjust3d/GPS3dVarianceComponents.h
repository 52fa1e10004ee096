// Variance components of the 3D vector network by session: how optimistic or pessimistic the
// processing software's covariances are, session by session, learnt from the network's own
// residuals (adjust/VarianceComponents.h), and the re-adjustment with the estimated factors.
// Correlated clusters and weighted known points take part in the estimation as they take part
// in the adjustment.
#pragma once

#include <string>
#include <vector>

#include "adjust/VarianceComponents.h"
#include "adjust3d/GPS3dNetAdjust.h"

namespace vemo {

// The groups of a network's vectors: their names (GBK), the group of each vector and the
// group of the weighted known points (-1: none).
struct CVectorGroups {
  std::vector<std::string> names;
  std::vector<int> groupOf;
  int weighted = -1;
};

// One group per session (the synchronous baseline file a vector came from), in the order in
// which the sessions first appear; a vector file without source lines is one session.
CVectorGroups SessionGroups(const CReadGPS3dVector& network);

// The groups of a network whose covariance files were read (ReadCovarianceFiles): the
// sessions; a correlated cluster joins the session of its first vector whole, being in
// practice the vectors of one session; the weighted known points, when there are any, form
// one group more, last.
CVectorGroups VarianceGroups(const CGPS3dNetAdjust& network);

// Estimates the factors on a copy of the loaded network (which stays as it is), testing each
// against 1 at alpha. The copy reads the covariance files as the adjustment does, so that its
// model is the adjustment's; groups must come from VarianceGroups (or SessionGroups when the
// network has no covariance files). False, without a message, when the copy cannot be adjusted: the
// adjustment itself then says why.
bool EstimateGPS3dVarianceComponents(const CGPS3dNetAdjust& loaded, const CVectorGroups& groups, double alpha,
                                     CVarianceComponents& result);

// Multiplies every vector's covariance by its group's factor, sets the factors that Adjust
// multiplies into the clusters and the weighted known points as it reads them, and adds the
// factors applied to the lines the reports state at their top.
void ApplyVarianceFactors(CGPS3dNetAdjust& network, const CVectorGroups& groups, const CVarianceComponents& result);

}  // namespace vemo

// Variance components of the plane adjustment by kind of observation: the plane vectors, the
// ground distances and the ground azimuths each get a factor of their given covariances or
// standard errors (adjust/VarianceComponents.h).
#pragma once

#include <string>
#include <vector>

#include "adjust/VarianceComponents.h"
#include "adjust2d/GPS2dNetAdjust.h"

namespace vemo {

// The kinds present in the data set, in the order vectors, distances, azimuths.
enum class PlaneKind { Vectors, Distances, Azimuths };
std::vector<PlaneKind> PlaneKinds(const CReadGPS2dVector& network);

// Estimates the factors of the kinds on a copy of the loaded data set (which stays as it is),
// testing each against 1 at alpha. False when the copy cannot be adjusted (after its message).
bool EstimateGPS2dVarianceComponents(const CReadGPS2dVector& loaded, double alpha, CVarianceComponents& result);

// Multiplies each kind's covariances (vectors) or variances (distances, azimuths: their
// standard errors by the square root) by its factor.
void ApplyVarianceFactors(CReadGPS2dVector& network, const CVarianceComponents& result);

// The lines (GBK) that state the factors applied at the top of the reports.
std::vector<std::string> FactorsAppliedStatement(const CVarianceComponents& result);

}  // namespace vemo

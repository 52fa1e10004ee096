// Checks of the baseline vectors that every adjustment of them needs before its normal
// equations are formed: each vector joins two distinct points and carries a covariance that
// can be inverted to a weight. Shared by the Cartesian and the ellipsoidal 3D adjustments,
// whose data sets name the vector members alike.
#pragma once

#include <string>
#include <vector>

namespace vemo {

// Whether a covariance (any unit) is a symmetric positive-definite matrix: its leading minors
// are positive (negated comparisons, so that a not-a-number fails too).
bool PositiveDefinite(double xx, double yy, double zz, double xy, double xz, double yz);

// Warns, under the application title, that vector number (from 1) joins a point to itself, or
// that its covariance is not positive definite. Returns 0 after the message.
int RefuseVector(int number, const std::string& from, const std::string& to, bool sameEnds);

// Checks every vector of a data set with the members m_VectorCount, m_From, m_To, m_PointName
// and the six covariance arrays. Returns 1, or 0 after the message about the first vector
// that fails.
template <class Network>
int CheckVectors(const Network& net) {
  for (int j = 0; j < net.m_VectorCount; ++j) {
    const bool sameEnds = net.m_From[j] == net.m_To[j];
    if (sameEnds || !PositiveDefinite(net.m_Dxx[j], net.m_Dyy[j], net.m_Dzz[j], net.m_Dxy[j], net.m_Dxz[j],
                                      net.m_Dyz[j]))
      return RefuseVector(j + 1, net.m_PointName[net.m_From[j]], net.m_PointName[net.m_To[j]], sameEnds);
  }
  return 1;
}

}  // namespace vemo

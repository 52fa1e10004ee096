// The stability analysis of two campaigns of one network: the displacements d = x2 - x1
// between the free-network solutions of the campaigns (campaign files, FreeNetworkFiles.h),
// with cofactors Qd = Q1 + Q2, moved into the datum in which they are smallest in the L1
// sense by an iteratively reweighted S-transformation on the translation datum:
//
//   P = diag(1 / (|d_i| + 0.01 mm)),  d := S(P) d,  until no component changes by more than
//   3.0 mm,
//
// so that stable points keep displacements near zero and moved points stand out. Each point
// then gets the test values T = d^2 / Qdd / sigma0^2 per axis, with the pooled variance factor
// sigma0^2 = (m01^2 + m02^2) / 2 on f = r1 + r2 degrees of freedom.
//
// Any number of points: the iteration costs O(n) a step, and the cofactors are transformed
// once, at the end (every S of the translation datum annihilates G, so S_k S_(k-1) = S_k and
// the last S applied to Q1 + Q2 equals the whole product of the iteration).
#pragma once

#include <string>
#include <vector>

namespace vemo {

// The weight floor of a displacement component and the convergence bound, mm.
constexpr double kDisplacementWeightFloorMm = 0.01;
constexpr double kStabilityStopMm = 3.0;
// The iteration converges in a handful of steps; one that has not settled after this many is
// reported instead of left running.
constexpr int kStabilityIterationLimit = 1000;

// The weights of one iteration: 1 / (|d_i| + 0.01), per component.
std::vector<double> DisplacementWeights(const std::vector<double>& d);

class CStabilityAnalysis {
 public:
  // Reads the two campaign files, iterates and writes the displacement file at output and the
  // cofactor file CofactorFileName(output). 0 after the message when a file is missing,
  // damaged or truncated, when the campaigns do not match point for point, when a campaign's
  // redundancy is negative or a point name is given twice, when a displacement or test value
  // is not finite (coordinates beyond what a double can subtract or square), when the
  // iteration does not settle, when a test value cannot be formed, or when a result cannot be
  // written; nothing is written except in the last case.
  int Run(const std::string& first, const std::string& second, const std::string& output);

  // The output path cut before the first ".GPS3d" of its file name (in any letter case), with
  // ".GPS3dFreeQdd" appended.
  static std::string CofactorFileName(const std::string& output);

  int m_IterationLimit = kStabilityIterationLimit;
  int m_PointCount = 0;
  int m_Iterations = 0;
  int m_Freedom = 0;                   // f = r1 + r2
  double m_Variance = 0.0;             // sigma0², mm²
  std::vector<std::string> m_PointName;
  std::vector<double> m_d;             // final displacements, mm
  std::vector<double> m_Weights;       // P of the last iteration
  std::vector<double> m_Q;             // packed Qd, after Run the final cofactors
  std::vector<double> m_Test;          // T per component

 private:
  int Iterate();
  // 0 after the message naming the point and both files when a displacement (or, once formed,
  // a test value) is not finite.
  int CheckFiniteDisplacements(const std::string& first, const std::string& second) const;
  int WriteDisplacements(const std::string& path);
  int WriteCofactors(const std::string& path);
};

}  // namespace vemo

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
// The campaigns are matched by point name: the common points, in the order of the first
// campaign, are analysed; a point in one campaign only is listed in a message and left out.
//
// On request (m_Congruence) the congruence test of the common points follows
// (StabilityAnalysisCongruence.h), written with the displacements of the datum that the
// iteration reaches when it goes on until no component changes by more than 0.1 mm, beside
// those of the 3 mm rule, into a report of its own; the two files of the 3 mm rule stay as
// they are.
//
// Any number of points: the iteration costs O(n) a step, and the cofactors are transformed
// once, at the end (every S of the translation datum annihilates G, so S_k S_(k-1) = S_k and
// the last S applied to Q1 + Q2 equals the whole product of the iteration).
#pragma once

#include <string>
#include <vector>

#include "adjust3d/StabilityAnalysisCongruence.h"

namespace vemo {

// The weight floor of a displacement component and the convergence bound, mm.
constexpr double kDisplacementWeightFloorMm = 0.01;
constexpr double kStabilityStopMm = 3.0;
constexpr double kStabilityConvergedMm = 0.1;
// The iteration converges in a handful of steps; one that has not settled after this many is
// reported instead of left running.
constexpr int kStabilityIterationLimit = 1000;

// The weights of one iteration: 1 / (|d_i| + 0.01), per component.
std::vector<double> DisplacementWeights(const std::vector<double>& d);

class CSTransformation;

class CStabilityAnalysis {
 public:
  // Reads the two campaign files, iterates and writes the displacement file at output and the
  // cofactor file CofactorFileName(output), with m_Congruence also the report
  // CongruenceFileName(output). 0 after the message when a file is missing, damaged or
  // truncated, when the campaigns have fewer than two points in common, when a campaign's
  // redundancy is negative or a point name is given twice, when a displacement or test value
  // is not finite (coordinates beyond what a double can subtract or square), when the
  // iteration does not settle, when a test value cannot be formed, when the congruence test
  // has no variance or no regular cofactors, or when a result cannot be written; nothing is
  // written except in the last case.
  int Run(const std::string& first, const std::string& second, const std::string& output);

  // The output path cut before the first ".GPS3d" of its file name (in any letter case), with
  // ".GPS3dFreeQdd" appended; the congruence report likewise with ".GPS3dFreeCongruence".
  static std::string CofactorFileName(const std::string& output);
  static std::string CongruenceFileName(const std::string& output);

  // The congruence test: its significance and, when above 0, the a-priori standard error of
  // unit weight of both campaigns (mm), which makes it a chi-squared test instead of one
  // against their pooled a-posteriori variance.
  bool m_Congruence = false;
  double m_Alpha = 0.05;
  double m_AprioriSigma0 = 0.0;

  int m_IterationLimit = kStabilityIterationLimit;
  int m_PointCount = 0;
  int m_Iterations = 0;
  int m_Freedom = 0;                   // f = r1 + r2
  double m_Variance = 0.0;             // sigma0², mm²
  std::vector<std::string> m_PointName;  // the common points
  std::vector<std::string> m_OnlyFirst, m_OnlySecond;  // points of one campaign only
  std::vector<double> m_d;             // final displacements, mm
  std::vector<double> m_Weights;       // P of the last iteration
  std::vector<double> m_Q;             // packed Qd, after Run the final cofactors
  std::vector<double> m_Test;          // T per component
  // With m_Congruence: the displacements of the datum iterated to 0.1 mm and the test.
  std::vector<double> m_Converged;
  int m_ConvergedIterations = 0;
  CCongruenceTest m_CongruenceTest;

 private:
  // Reads both campaigns and keeps their common points; 0 after the message.
  int ReadCampaigns(const std::string& first, const std::string& second);
  // Moves d into the L1 datum until no component changes by more than stop (mm); the weights
  // and the S of the last step are left in weights and S. 0 after the message when it does
  // not settle within the limit.
  int Iterate(std::vector<double>& d, double stop, int& iterations, std::vector<double>& weights,
              CSTransformation& S) const;
  // 0 after the message naming the point and both files when a displacement (or, once formed,
  // a test value) is not finite.
  int CheckFiniteDisplacements(const std::string& first, const std::string& second) const;
  int Congruence();
  int WriteDisplacements(const std::string& path);
  int WriteCofactors(const std::string& path);
  int WriteCongruence(const std::string& path, const std::string& first, const std::string& second);

  int m_Redundancy[2] = {0, 0};
  double m_M0[2] = {0.0, 0.0};
};

}  // namespace vemo

// The congruence test of two campaigns: whether the common points kept their positions
// relative to each other, so that the campaigns differ by a translation alone, and if not,
// which points moved.
//
// The displacements d (3n, mm) of the n common points have the cofactors Qd = Q1 + Q2 (the
// campaigns are independent) and the covariance sigma² Qd. Their quadratic form
//
//   Omega = d^T Qd^+ d,   h = 3(n - 1) degrees of freedom,
//
// does not depend on the datum of d (the translation is taken out of it); it is formed on the
// differences e_i = d_i - d_m to a reference point m, whose cofactors are regular. Under the
// hypothesis of no movement Omega / (h sigma^²) follows Fisher's F(h, f) when sigma² is the
// a-posteriori variance of unit weight of both campaigns pooled on f = r1 + r2 degrees of
// freedom, and Omega / sigma0² the chi-squared distribution of h degrees when the a-priori
// variance is taken as known. The set passes when the statistic stays within the upper
// 1 - alpha quantile.
//
// Localisation: while the set fails, the point whose departure lowers Omega most (its own
// quadratic form against the others of the set, 3 degrees of freedom) is declared moved and
// leaves the set, and the rest is tested again. The inverse of the cofactors is formed once
// (O(n^3)); each departure is a rank-3 update of it (O(n^2)). A set of two points that still
// fails cannot say which of them moved: both are undetermined.
#pragma once

#include <string>
#include <vector>

namespace vemo {

// One test of the localisation: the set as it stood and, when it failed, the point taken out.
struct CCongruenceStep {
  int points = 0;   // in the set
  int degrees = 0;  // h = 3(points - 1)
  double omega = 0.0, statistic = 0.0, critical = 0.0;
  bool passed = false;
  int removed = -1;  // the point declared moved, -1 when none left the set
  double removedStatistic = 0.0;
};

enum class CongruenceVerdict { Stable, Moved, Undetermined };

class CCongruenceTest {
 public:
  double m_Alpha = 0.05;    // significance of every test
  double m_Variance = 0.0;  // sigma², mm²
  int m_Freedom = 0;        // f, of the pooled a-posteriori variance
  bool m_KnownVariance = false;  // sigma² a-priori: chi-squared instead of F

  // d: the displacements (3 per point, mm), Q: their packed cofactors (order 3n) in any
  // translation datum; names for the messages. 0 after the message when the cofactors,
  // freed of the translation, are not positive definite.
  int Run(const std::vector<double>& d, const std::vector<double>& Q, const std::vector<std::string>& names);

  // The test statistic of a quadratic form of the given degrees of freedom, and its critical
  // value at m_Alpha.
  double Statistic(double omega, int degrees) const;
  double Critical(int degrees) const;

  std::vector<CCongruenceStep> m_Steps;
  std::vector<CongruenceVerdict> m_Verdict;
  // Each point against the final set of stable points (3 degrees of freedom): a stable point's
  // share of the set's Omega, a moved point's distance from it.
  std::vector<double> m_PointStatistic;
  double m_PointCritical = 0.0;
  std::vector<double> m_Displacement;  // d in the datum of the stable points (their mean 0), mm
};

}  // namespace vemo

// Statistical testing of a least-squares adjustment, shared by the 3D vector network and the
// plane adjustment: the global model test (the a-posteriori variance factor against the
// a-priori one, chi-squared), Baarda's data snooping on every observation component (w-test
// with the a-priori sigma, tau-test with the a-posteriori one, redundancy numbers, minimal
// detectable biases and their effect on the coordinates) and the factors that turn standard
// (1 sigma) error ellipses and intervals into confidence regions.
//
// The quantiles come from Boost.Math; nothing here computes a distribution of its own.
// Probabilities are fractions (0.05, not 5). Residuals, sigmas and biases share one length
// unit, the caller's.
#pragma once

#include <string>
#include <vector>

#include "adjust/Solution.h"

namespace vemo {

class CNormalEquations;

// The user's choices, remembered per user in settings.ini (section "Adjustment Tests").
struct CTestSettings {
  double alpha = 0.05;       // significance of the global test and of each w-test
  double power = 0.80;       // power of the w-test against a bias of the minimal detectable size
  double confidence = 0.95;  // probability of the confidence regions

  // The remembered values; a value missing or outside its domain is the default.
  static CTestSettings Remembered();
  // Writes the three values; false when the settings file could not be written.
  bool Remember() const;
  // Domains: alpha in (0, 0.5], power in [0.5, 1), confidence in [0.5, 1).
  static bool ValidAlpha(double alpha) { return alpha > 0.0 && alpha <= 0.5; }
  static bool ValidPower(double power) { return power >= 0.5 && power < 1.0; }
  static bool ValidConfidence(double p) { return p >= 0.5 && p < 1.0; }
};

// Quantiles (inverse distribution functions) at probability p in (0, 1), from Boost.Math.
double NormalQuantile(double p);
double ChiSquaredQuantile(double p, double degrees);
double StudentQuantile(double p, double degrees);
double FisherQuantile(double p, double degrees1, double degrees2);
// The non-centrality at which a non-central chi-squared variable of the degrees exceeds x with
// the probability power.
double NonCentrality(double degrees, double x, double power);

// The global model test: omega = v^T Sigma^-1 v against chi-squared with r degrees of freedom,
// two-sided, i.e. the variance factor omega / r within [chi2(alpha/2), chi2(1 - alpha/2)] / r.
struct CGlobalTest {
  bool defined = false;  // false without redundancy: no test exists
  int redundancy = 0;
  double omega = 0, varianceFactor = 0, lower = 0, upper = 0;
  bool passed = false;
};
CGlobalTest GlobalModelTest(double omega, int redundancy, double alpha);

// Critical values of data snooping by Baarda's B-method: the w-test of one observation and
// the global test find the same bias with the same power. delta0² is the non-centrality at
// which the global test (upper limit of its two-sided interval at alpha, r degrees of freedom)
// rejects with the chosen power; the w-test's own significance alpha0 is the one at which a
// shift delta0 of w is found with that power: |w| > w = delta0 - k(power) rejects. tau is
// Pope's critical value at alpha0 for r >= 2. Minimal detectable biases shift w by delta0.
struct CSnoopingLimits {
  double alpha0 = 0, w = 0, tau = 0, delta0 = 0;
  bool tauDefined = false;
};
CSnoopingLimits SnoopingLimits(int redundancy, double alpha, double power);

// One observation group (a baseline vector) as the adjustment saw it: residuals v = A x + l
// at the solution, the cofactor matrix of the observation (its covariance over the variance
// of unit weight) and its design rows on the unknowns.
struct CObservationGroup {
  int dimension = 3;         // 2 or 3 components
  double v[3] = {};          // residuals
  double Ql[3][3] = {};      // cofactor matrix
  int index[6] = {};         // unknowns of the design columns; negative: a fixed coordinate
  double a[3][6] = {};       // design rows
};

// The test of one component. A component whose redundancy number is below
// kUncontrolledRedundancy is not controlled by the others: its w, tau and minimal detectable
// bias do not exist (a blunder there cannot be seen), and it is never rejected.
struct CComponentTest {
  double v = 0, redundancy = 0;
  bool controlled = false;
  double w = 0, tau = 0;
  bool tauDefined = false;
  double mdb = 0;         // minimal detectable bias, the unit of the residuals
  double effect = 0;      // the larger shift of the positions of the group's end points that
                          // bias causes (where the shift of the network is largest)
  int effectPoint = -1;   // that point, or -1 when no unknown point moves
  bool rejected = false;  // |w| above the critical value
};
constexpr double kUncontrolledRedundancy = 1e-3;

struct CDataSnooping {
  std::vector<std::vector<CComponentTest>> groups;  // per group, per component
  int worstGroup = -1, worstComponent = -1;         // the largest rejected |w|, or -1
  int rejectedGroups = 0;
};

// Data snooping of every group. sigma0 is the a-priori standard error of unit weight,
// sigmaHat the a-posteriori one (0: none, no tau-test); normal holds Qxx after the solution.
CDataSnooping DataSnooping(const std::vector<CObservationGroup>& groups, const CNormalEquations& normal,
                           double sigma0, double sigmaHat, const CSnoopingLimits& limits,
                           const CPointUnknowns& points);

// The tests of one adjusted network, in the engine's length unit.
struct CNetworkTests {
  double sigma0 = 0;          // a-priori standard error of unit weight (from the covariances)
  double sigmaHat = -1;       // a-posteriori one, sqrt(PVV / r); -1 without redundancy
  bool unitWeightEstimated = false;  // the reports' M0 is sigmaHat (not the fixed a-priori value)
  CGlobalTest global;
  CSnoopingLimits limits;
  CDataSnooping snooping;
};

// Factors that turn a standard (1 sigma) interval, ellipse and ellipsoid into confidence
// regions of probability p: from Student's t and Fisher's F with r degrees of freedom when
// the unit weight was estimated from the residuals, from the normal and chi-squared
// distributions when it was taken a priori.
struct CConfidenceFactors {
  double interval = 1, ellipse = 1, ellipsoid = 1;
};
CConfidenceFactors ConfidenceFactors(double probability, int redundancy, bool estimated);

// Semi-axes of the error ellipsoid of a 3 x 3 covariance (row-major), largest first.
void EllipsoidAxes(const double covariance[3][3], double axes[3]);

}  // namespace vemo

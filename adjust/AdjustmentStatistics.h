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

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "adjust/Solution.h"

namespace vemo {

class CNormalEquations;

// Which of the two significance levels the user fixed. The power links them (Baarda's
// B-method: the w-test and the global test find a bias of the same size with the same
// probability), so the other one is derived. Fixing alpha0 keeps the w-test's critical value
// the same whatever the size of the network; fixing alpha makes it grow with the redundancy.
enum class TestLevelRule { FixedAlpha0, FixedAlpha };

// The user's choices, remembered per user in settings.ini (section "Adjustment Tests").
struct CTestSettings {
  TestLevelRule rule = TestLevelRule::FixedAlpha0;
  double alpha0 = 0.001;     // significance of each w-test (two-sided), used when it is fixed
  double alpha = 0.05;       // significance of the global test (two-sided), used when it is fixed
  double power = 0.80;       // power of the w-test against a bias of the minimal detectable size
  double confidence = 0.95;  // probability of the confidence regions

  // The remembered values; a value missing or outside its domain is the default. refused,
  // when given, gets "key=value" of every remembered value that was not taken (its default
  // stands in its place), separated by ", ".
  static CTestSettings Remembered(std::string* refused = nullptr);
  // Writes the values and the rule; false when the settings file could not be written.
  bool Remember() const;
  // Domains (NaN fails them all): alpha0 in [1e-12, 0.1], alpha in [1e-12, 0.5], power and
  // confidence in [0.5, 0.999999]. The far tail of the two-sided w-test, which the B-method's
  // link neglects, moves the derived level by up to 0.3 % of itself at alpha0 = 0.1 and by 2 %
  // at 0.2; below 1e-12 the critical |w| exceeds 7.1 and the test would let any blunder pass
  // (with alpha fixed, the derived alpha0 is smaller still). A probability of 1 - 1e-16 is
  // beyond Boost's quantiles (Student's t overflows and throws), and one above 1 - 1e-6 no
  // longer means anything for a survey. Within the domain Boost's quantiles and
  // non-centralities keep their digits for every redundancy from 1 to 10^7.
  static constexpr double kLeastLevel = 1e-12;
  static constexpr double kGreatestProbability = 0.999999;
  static bool ValidAlpha(double alpha) { return alpha >= kLeastLevel && alpha <= 0.5; }
  static bool ValidAlpha0(double alpha0) { return alpha0 >= kLeastLevel && alpha0 <= 0.1; }
  static bool ValidPower(double power) { return power >= 0.5 && power <= kGreatestProbability; }
  static bool ValidConfidence(double p) { return p >= 0.5 && p <= kGreatestProbability; }
};

// Quantiles (inverse distribution functions) at probability p in (0, 1), from Boost.Math.
// The Upper forms take the probability above the quantile, so a tail of 1e-12 keeps its
// digits where 1 - 1e-12 would have lost them.
double NormalQuantile(double p);
double NormalUpperQuantile(double tail);
double ChiSquaredQuantile(double p, double degrees);
double ChiSquaredUpperQuantile(double tail, double degrees);
double StudentQuantile(double p, double degrees);
double StudentUpperQuantile(double tail, double degrees);
// The probabilities above x of a standard normal and of a chi-squared variable, computed as
// tails (not 1 - cdf, which is 0 beyond about 8 sigma).
double NormalUpperTail(double x);
double ChiSquaredUpperTail(double x, double degrees);
double FisherQuantile(double p, double degrees1, double degrees2);
// The non-centrality at which a non-central chi-squared variable of the degrees exceeds x with
// the probability power.
double NonCentrality(double degrees, double x, double power);

// The limits of both tests of one network. The B-method links them: delta0² is the
// non-centrality that the w-test (one dimension) and the global test (r dimensions) each
// detect with the chosen power.
// - alpha0 fixed: the w-test rejects when |w| > k(1 - alpha0/2), delta0 = that + k(power);
//   the global test's upper limit is where a non-central chi-squared of r degrees with
//   delta0² exceeds it with the power, and its upper tail is the derived alpha. Its lower
//   limit (a variance factor too small: covariances too pessimistic, w-tests too lenient) is
//   at the probability alpha0, so a sound network falls below it as rarely as a sound
//   observation's w exceeds its critical value.
// - alpha fixed (the earlier rule): the global test is two-sided at alpha; delta0² is the
//   non-centrality that exceeds its upper limit with the power, and the w-test's limit is
//   delta0 - k(power), whose significance alpha0 is derived and shrinks as r grows.
// tau is Pope's critical value at alpha0 for r >= 2. Minimal detectable biases shift w by
// delta0.
struct CSnoopingLimits {
  TestLevelRule rule = TestLevelRule::FixedAlpha0;
  bool derived = false;     // false without redundancy: the level the user did not fix is undefined
  double alpha0 = 0;        // the w-test's significance
  double alpha = 0;         // the global test's: alpha0 fixed, its upper tail; else the two-sided alpha
  double lowerTail = 0, upperTail = 0;  // the global test's probabilities below and above its limits
  double w = 0, tau = 0, delta0 = 0;
  bool tauDefined = false;
};
CSnoopingLimits SnoopingLimits(int redundancy, const CTestSettings& settings);

// The global model test: omega = v^T Sigma^-1 v against chi-squared with r degrees of freedom,
// i.e. the variance factor omega / r within [chi2(lowerTail), chi2(1 - upperTail)] / r.
struct CGlobalTest {
  bool defined = false;  // false without redundancy: no test exists
  int redundancy = 0;
  double omega = 0, varianceFactor = 0, lower = 0, upper = 0;
  bool passed = false;
};
CGlobalTest GlobalModelTest(double omega, int redundancy, const CSnoopingLimits& limits);

// One observation group (a baseline vector) as the adjustment saw it: residuals v = A x + l
// at the solution, the cofactor matrix of the observation (its covariance over the variance
// of unit weight) and its design rows on the unknowns.
// Up to ten design columns: the two ends of a vector (six), and the four frame parameters of
// the ellipsoidal adjustment.
constexpr int kGroupColumns = 10;
struct CObservationGroup {
  int dimension = 3;         // 1, 2 or 3 components
  double v[3] = {};          // residuals
  double Ql[3][3] = {};      // cofactor matrix
  int index[kGroupColumns] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};  // unknowns of the design
                             // columns; negative: a fixed coordinate or no column
  double a[3][kGroupColumns] = {};  // design rows
  // Length per unit of each column's unknown, for the effect of a bias on the positions: 1
  // where the unknowns are lengths, metres per second of arc where they are latitude or
  // longitude.
  double lengthPerUnit[kGroupColumns] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
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

// The verdict of one group: suspect when a component is rejected, else not testable when a
// component is not controlled (a blunder there would pass unseen), else passed.
enum class GroupVerdict { Passed, Suspect, Untestable };
GroupVerdict VerdictOf(const std::vector<CComponentTest>& components);

struct CDataSnooping {
  std::vector<std::vector<CComponentTest>> groups;  // per group, per component
  int worstGroup = -1, worstComponent = -1;         // the largest rejected |w|, or -1
  int rejectedGroups = 0;
  int untestableGroups = 0;                         // not suspect, and a component not controlled
};

// Data snooping of every group. sigma0 is the a-priori standard error of unit weight,
// sigmaHat the a-posteriori one (0: none, no tau-test); normal holds Qxx after the solution.
CDataSnooping DataSnooping(const std::vector<CObservationGroup>& groups, const CNormalEquations& normal,
                           double sigma0, double sigmaHat, const CSnoopingLimits& limits,
                           const CPointUnknowns& points);
// The same over count groups that group(g, out) makes one at a time: a national network's
// groups (hundreds of megabytes) are never held all at once.
CDataSnooping DataSnooping(size_t count, const std::function<void(size_t, CObservationGroup&)>& group,
                           const CNormalEquations& normal, double sigma0, double sigmaHat,
                           const CSnoopingLimits& limits, const CPointUnknowns& points);

// The limit of a test of several components at once (a whole vector, a known point's
// position): T = (Pv)^T (P Qvv P)^-1 (Pv) / sigma0² against chi-squared with the given
// degrees of freedom. By the B-method its critical value is the one that a bias of the
// non-centrality delta0² exceeds with the power, as for the w-test and the global test, so
// that all three find the same bias equally often; alpha is the level that follows.
struct CMultipleLimit {
  int degrees = 0;
  double critical = 0;  // of T
  double alpha = 0;
};
CMultipleLimit MultipleTestLimit(int degrees, const CSnoopingLimits& limits, double power);

// The test of a whole group: T over all its components, and the w-test of a bias along each
// of the given axes (rows, unit vectors in the group's frame: the local east, north and up of
// a vector). Not defined when a component is not controlled (a blunder there cannot be seen).
struct CGroupTest {
  bool defined = false;
  double statistic = 0;  // T
  double w[3] = {};      // along the axes
  bool rejected = false;
};
// axes[g] holds the three axes of group g (row-major); groups of fewer components use the
// leading part of each row.
std::vector<CGroupTest> WholeGroupTests(const std::vector<CObservationGroup>& groups,
                                        const std::vector<std::array<double, 9>>& axes,
                                        const CNormalEquations& normal, double sigma0, const CMultipleLimit& limit);

// The compatibility of one known (fixed) point with the others: its given position against the
// one that the network held at all the other known points gives it. The observations that
// reach the point decide it: T = g^T S^-1 g / sigma0², where g = A_k^T P v is what the point's
// coordinates would be pulled by (at the adjusted solution) and S the Schur complement of its
// normal block against the unknowns (the inverse of the cofactor of that position); the
// discrepancy -S^-1 g is the position the others give less the given one.
struct CKnownPointTerm {
  CObservationGroup group;  // residuals, cofactor and the design on the unknowns
  double known[3][3] = {};  // the design rows on the known point's coordinates
};
struct CKnownPointTest {
  bool connected = false;  // an observation reaches the point
  bool defined = false;    // the other known points place the network without this one
  double statistic = 0;    // T, chi-squared with as many degrees as the point has coordinates
  double discrepancy[3] = {};
  bool rejected = false;
};
CKnownPointTest KnownPointTest(const std::vector<CKnownPointTerm>& terms, int coordinates,
                               const CNormalEquations& normal, double sigma0, const CMultipleLimit& limit);
// The tests of the known points of one network, the most incompatible of those rejected.
struct CKnownPointTests {
  CMultipleLimit limit;
  std::vector<CKnownPointTest> points;  // by fixed known point
  std::vector<int> pointOf;             // the network's point of each test
  // Records the test of the network's point, keeping the most incompatible of those rejected.
  void Add(int point, const CKnownPointTest& t);
  int worst = -1;                       // the largest rejected T, or -1
  int rejected = 0;
};

// Signs that the vectors' covariances were written in another unit than the cm² the
// adjustments read (m² or mm²): a-priori standard errors below what any GNSS baseline of
// their length reaches, or a variance factor far from 1.
struct CVectorPrecision {
  double sigmaMm = 0;   // the square root of the mean variance of its components
  double lengthKm = 0;
};
// The smallest standard error a GNSS baseline of the length reaches (mm): 0.1 mm + 0.02 mm/km,
// at most 0.5 mm (reached at 20 km). Formal errors of receiver software lie above it by far;
// covariances in m² read as cm² make them 100 times smaller and fall below it.
double PlausibleSigmaFloorMm(double lengthKm);
struct CPlausibility {
  int vectorCount = 0;
  int tooPrecise = 0;            // vectors below PlausibleSigmaFloorMm
  double medianSigmaMm = 0, shortestKm = 0, longestKm = 0;
  bool sigmaImplausible = false;        // more than half of the vectors too precise
  bool varianceFactorHigh = false;      // above kImplausibleVarianceFactor
  bool varianceFactorLow = false;       // below 1 / kImplausibleVarianceFactor
};
constexpr double kImplausibleVarianceFactor = 100.0;
// A slip of units changes every vector alike: one vector below the floor is no sign of it,
// most of them are.
CPlausibility CheckPlausibility(const std::vector<CVectorPrecision>& vectors, const CGlobalTest& global);

// The tests of one adjusted network, in the engine's length unit.
struct CNetworkTests {
  double sigma0 = 0;          // a-priori standard error of unit weight (from the covariances)
  double sigmaHat = -1;       // a-posteriori one, sqrt(PVV / r); -1 without redundancy
  bool unitWeightEstimated = false;  // the reports' M0 is sigmaHat (not the fixed a-priori value)
  CGlobalTest global;
  CSnoopingLimits limits;
  CDataSnooping snooping;
  CPlausibility plausibility;
};

// The part of a network's tests before data snooping: both standard errors of unit weight, the
// limits, the global test of pvv (the weighted sum of squares, in the square of sigma0's unit)
// and the plausibility of the vectors' covariances. Nothing when sigma0 is not positive.
CNetworkTests UnitWeightAndGlobalTest(double sigma0, double pvv, int redundancy, bool aprioriUnitWeight,
                                      const CTestSettings& settings, const std::vector<CVectorPrecision>& vectors);

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

#include "adjust/AdjustmentStatistics.h"

#include <Eigen/Dense>
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/non_central_chi_squared.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "adjust/NormalEquations.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Settings.h"

namespace vemo {

namespace {

const char* const kSection = "Adjustment Tests";

// Settings hold percentages, as the options take them. A value that is there but does not
// read, or lies outside its domain, is named in refused.
double RememberedFraction(const char* key, double fallback, bool (*valid)(double), std::string* refused) {
  const std::string text = CSettingsStore::GetString(kSection, key, "");
  if (text.empty()) return fallback;
  char* end = nullptr;
  const double percent = std::strtod(text.c_str(), &end);
  if (*end != '\0' || !valid(percent / 100.0)) {
    if (refused) *refused += (refused->empty() ? "" : ", ") + std::string(key) + "=" + text;
    return fallback;
  }
  return percent / 100.0;
}

}  // namespace

// The rule is remembered by the name of the level that is fixed.
const char* const kRuleKey = "Fixed Significance";
const char* const kFixedAlpha0 = "Alpha0";
const char* const kFixedAlpha = "Alpha";

CTestSettings CTestSettings::Remembered(std::string* refused) {
  CTestSettings s;
  std::string names;
  const std::string rule = CSettingsStore::GetString(kSection, kRuleKey, "");
  if (rule == kFixedAlpha) s.rule = TestLevelRule::FixedAlpha;
  else if (!rule.empty() && rule != kFixedAlpha0) names = std::string(kRuleKey) + "=" + rule;
  s.alpha0 = RememberedFraction("Significance0", s.alpha0, ValidAlpha0, &names);
  s.alpha = RememberedFraction("Significance", s.alpha, ValidAlpha, &names);
  s.power = RememberedFraction("Power", s.power, ValidPower, &names);
  s.confidence = RememberedFraction("Confidence", s.confidence, ValidConfidence, &names);
  if (refused) *refused = names;
  return s;
}

bool CTestSettings::Remember() const {
  return CSettingsStore::SetString(kSection, kRuleKey, rule == TestLevelRule::FixedAlpha ? kFixedAlpha : kFixedAlpha0) &&
         CSettingsStore::SetString(kSection, "Significance0", Format("%.10g", alpha0 * 100.0)) &&
         CSettingsStore::SetString(kSection, "Significance", Format("%.10g", alpha * 100.0)) &&
         CSettingsStore::SetString(kSection, "Power", Format("%.10g", power * 100.0)) &&
         CSettingsStore::SetString(kSection, "Confidence", Format("%.10g", confidence * 100.0));
}

namespace {
using boost::math::complement;
const boost::math::normal_distribution<double> kNormal;
}  // namespace

double NormalQuantile(double p) { return boost::math::quantile(kNormal, p); }
double NormalUpperQuantile(double tail) { return boost::math::quantile(complement(kNormal, tail)); }
double NormalUpperTail(double x) { return boost::math::cdf(complement(kNormal, x)); }

double ChiSquaredQuantile(double p, double degrees) {
  return boost::math::quantile(boost::math::chi_squared_distribution<double>(degrees), p);
}

double ChiSquaredUpperQuantile(double tail, double degrees) {
  return boost::math::quantile(complement(boost::math::chi_squared_distribution<double>(degrees), tail));
}

double ChiSquaredUpperTail(double x, double degrees) {
  return boost::math::cdf(complement(boost::math::chi_squared_distribution<double>(degrees), x));
}

double StudentQuantile(double p, double degrees) {
  return boost::math::quantile(boost::math::students_t_distribution<double>(degrees), p);
}

double StudentUpperQuantile(double tail, double degrees) {
  return boost::math::quantile(complement(boost::math::students_t_distribution<double>(degrees), tail));
}

double FisherQuantile(double p, double degrees1, double degrees2) {
  return boost::math::quantile(boost::math::fisher_f_distribution<double>(degrees1, degrees2), p);
}

double NonCentrality(double degrees, double x, double power) {
  return boost::math::non_central_chi_squared_distribution<double>::find_non_centrality(degrees, x, 1.0 - power);
}

CSnoopingLimits SnoopingLimits(int redundancy, const CTestSettings& settings) {
  CSnoopingLimits l;
  l.rule = settings.rule;
  l.derived = redundancy >= 1;
  const double kPower = NormalQuantile(settings.power);
  const double r = redundancy;
  if (settings.rule == TestLevelRule::FixedAlpha0) {
    l.alpha0 = settings.alpha0;
    l.w = NormalUpperQuantile(settings.alpha0 / 2.0);
    l.delta0 = l.w + kPower;
    if (l.derived) {
      // The upper limit that a bias of delta0 exceeds with the power.
      const boost::math::non_central_chi_squared_distribution<double> biased(r, l.delta0 * l.delta0);
      const double upper = boost::math::quantile(biased, 1.0 - settings.power);
      l.upperTail = l.alpha = ChiSquaredUpperTail(upper, r);
      l.lowerTail = settings.alpha0;
    }
  } else {
    l.alpha = settings.alpha;
    l.lowerTail = l.upperTail = settings.alpha / 2.0;
    if (l.derived)
      l.delta0 = std::sqrt(NonCentrality(r, ChiSquaredUpperQuantile(l.upperTail, r), settings.power));
    else
      l.delta0 = NormalUpperQuantile(settings.alpha / 2.0) + kPower;
    // The far tail of the two-sided w-test is neglected, as is usual: delta0 = k(1 - alpha0/2)
    // + k(power).
    l.w = l.delta0 - kPower;
    l.alpha0 = 2.0 * NormalUpperTail(l.w);
  }
  if (redundancy >= 2 && l.alpha0 > 0.0) {
    // Pope: tau = t sqrt(r) / sqrt(r - 1 + t^2) with t from Student's t, r - 1 degrees, written
    // so that a large t does not overflow its square.
    const double t = StudentUpperQuantile(l.alpha0 / 2.0, r - 1.0);
    l.tau = std::sqrt(r) / std::sqrt((r - 1.0) / (t * t) + 1.0);
    l.tauDefined = true;
  }
  return l;
}

CGlobalTest GlobalModelTest(double omega, int redundancy, const CSnoopingLimits& limits) {
  CGlobalTest t;
  t.redundancy = redundancy;
  if (redundancy <= 0 || !std::isfinite(omega)) return t;
  t.defined = true;
  const double r = redundancy;
  t.omega = omega;
  t.varianceFactor = omega / r;
  t.lower = ChiSquaredQuantile(limits.lowerTail, r) / r;
  t.upper = ChiSquaredUpperQuantile(limits.upperTail, r) / r;
  t.passed = t.varianceFactor >= t.lower && t.varianceFactor <= t.upper;
  return t;
}

GroupVerdict VerdictOf(const std::vector<CComponentTest>& components) {
  bool untestable = false;
  for (const CComponentTest& t : components) {
    if (t.rejected) return GroupVerdict::Suspect;
    untestable = untestable || !t.controlled;
  }
  return untestable ? GroupVerdict::Untestable : GroupVerdict::Passed;
}

namespace {

constexpr int kC = kGroupColumns;

// What the tests of one group need: its weights, the cofactors of its residuals and of the
// unknowns it touches.
struct CGroupCofactors {
  Eigen::MatrixXd P, Qvv, M;  // M = P Qvv P
  Eigen::VectorXd v, Pv;
  double Qx[kC][kC];
};

void ComputeGroupCofactors(const CObservationGroup& group, const CNormalEquations& normal, CGroupCofactors& c) {
  using Eigen::MatrixXd;
  const int d = group.dimension;
  MatrixXd Ql(d, d), Qhat = MatrixXd::Zero(d, d);
  c.v.resize(d);
  for (int i = 0; i < d; ++i) {
    c.v[i] = group.v[i];
    for (int j = 0; j < d; ++j) Ql(i, j) = group.Ql[i][j];
  }
  // The cofactor of the adjusted observation, A Qxx A^T, over the unknowns that exist.
  normal.Cofactors(group.index, kC, &c.Qx[0][0]);
  for (int p = 0; p < kC; ++p) {
    if (group.index[p] < 0) continue;
    for (int q = 0; q < kC; ++q) {
      if (group.index[q] < 0) continue;
      const double x = c.Qx[p][q];
      for (int i = 0; i < d; ++i)
        for (int j = 0; j < d; ++j) Qhat(i, j) += group.a[i][p] * x * group.a[j][q];
    }
  }
  c.P = Ql.inverse();
  c.Qvv = Ql - Qhat;
  // For correlated components the test statistic of a bias in component i is e_i^T P v,
  // with variance sigma0² e_i^T P Qvv P e_i (Baarda's w for one observation when P is
  // diagonal).
  c.M = c.P * c.Qvv * c.P;
  c.Pv = c.P * c.v;
}

}  // namespace

CDataSnooping DataSnooping(const std::vector<CObservationGroup>& groups, const CNormalEquations& normal,
                           double sigma0, double sigmaHat, const CSnoopingLimits& limits,
                           const CPointUnknowns& points) {
  return DataSnooping(
      groups.size(), [&](size_t g, CObservationGroup& out) { out = groups[g]; }, normal, sigma0, sigmaHat, limits,
      points);
}

CDataSnooping DataSnooping(size_t count, const std::function<void(size_t, CObservationGroup&)>& make,
                           const CNormalEquations& normal, double sigma0, double sigmaHat,
                           const CSnoopingLimits& limits, const CPointUnknowns& points) {
  using Eigen::MatrixXd;
  using Eigen::VectorXd;
  CDataSnooping result;
  result.groups.reserve(count);
  double worst = 0.0;
  CGroupCofactors cof;
  CObservationGroup group;
  for (size_t g = 0; g < count; ++g) {
    // A solve with the whole factor per component: on a large network this runs for many
    // seconds, and the window is painted and sees a click between the groups.
    GetWindowMessage();
    group = CObservationGroup{};
    make(g, group);
    const int d = group.dimension;
    ComputeGroupCofactors(group, normal, cof);
    const MatrixXd& P = cof.P;
    const MatrixXd R = cof.Qvv * P;
    const MatrixXd& M = cof.M;
    const VectorXd& Pv = cof.Pv;
    const double (&Qx)[kC][kC] = cof.Qx;
    std::vector<CComponentTest>& tests = result.groups.emplace_back(static_cast<size_t>(d));
    bool rejected = false;
    for (int i = 0; i < d; ++i) {
      CComponentTest& t = tests[static_cast<size_t>(i)];
      t.v = cof.v[i];
      t.redundancy = R(i, i);
      t.controlled = t.redundancy >= kUncontrolledRedundancy && M(i, i) > 0.0 && sigma0 > 0.0;
      if (!t.controlled) continue;
      const double spread = std::sqrt(M(i, i));
      t.w = Pv[i] / (sigma0 * spread);
      if (limits.tauDefined && sigmaHat > 0.0) {
        t.tau = Pv[i] / (sigmaHat * spread);
        t.tauDefined = true;
      }
      t.mdb = sigma0 * limits.delta0 / spread;
      t.rejected = std::fabs(t.w) > limits.w;
      if (t.rejected) {
        rejected = true;
        if (std::fabs(t.w) > worst) {
          worst = std::fabs(t.w);
          result.worstGroup = static_cast<int>(g);
          result.worstComponent = i;
        }
      }
      // External reliability: a bias mdb in component i moves the unknowns by
      // -Qxx A^T P e_i mdb. Away from the biased vector the shift of a point is a weighted
      // mean of its neighbours' shifts (N times the shift vanishes there), so it is largest at
      // the vector's own ends: the effect is taken there, from the cofactors between the
      // ends, where the whole field would cost a solve with the normal matrix per component
      // (half a minute for 2000 points).
      double b[kC] = {};
      for (int p = 0; p < kC; ++p)
        if (group.index[p] >= 0)
          for (int c = 0; c < d; ++c) b[p] += group.a[c][p] * P(c, i);
      const int coordinates = points.perPoint * (points.pointCount - points.knownCount);
      for (int p = 0; p < kC; ++p) {
        const int first = group.index[p];
        // The first coordinate unknown of each point of the group.
        if (first < 0 || first >= coordinates || first % points.perPoint != 0) continue;
        double sum = 0.0;
        for (int c = 0; c < points.perPoint; ++c) {
          // The point's unknowns are among the group's: their cofactors are in Qx.
          int row = 0;
          while (row < kC && group.index[row] != first + c) ++row;
          double shift = 0.0;
          for (int q = 0; q < kC; ++q)
            if (group.index[q] >= 0 && b[q] != 0.0)
              shift += (row < kC ? Qx[row][q] : normal.Cofactor(first + c, group.index[q])) * b[q];
          if (row < kC) shift *= group.lengthPerUnit[row];
          sum += shift * shift;
        }
        const double moved = std::sqrt(sum) * t.mdb;
        if (moved > t.effect) {
          t.effect = moved;
          t.effectPoint = points.knownCount + first / points.perPoint;
        }
      }
    }
    if (rejected) ++result.rejectedGroups;
    if (VerdictOf(tests) == GroupVerdict::Untestable) ++result.untestableGroups;
  }
  return result;
}

CMultipleLimit MultipleTestLimit(int degrees, const CSnoopingLimits& limits, double power) {
  CMultipleLimit l;
  l.degrees = degrees;
  const boost::math::non_central_chi_squared_distribution<double> biased(degrees, limits.delta0 * limits.delta0);
  l.critical = boost::math::quantile(biased, 1.0 - power);
  l.alpha = ChiSquaredUpperTail(l.critical, degrees);
  return l;
}

void CKnownPointTests::Add(int point, const CKnownPointTest& t) {
  if (t.rejected) {
    ++rejected;
    if (worst < 0 || t.statistic > points[static_cast<size_t>(worst)].statistic) worst = static_cast<int>(points.size());
  }
  points.push_back(t);
  pointOf.push_back(point);
}

std::vector<CGroupTest> WholeGroupTests(const std::vector<CObservationGroup>& groups,
                                        const std::vector<std::array<double, 9>>& axes,
                                        const CNormalEquations& normal, double sigma0, const CMultipleLimit& limit) {
  std::vector<CGroupTest> tests(groups.size());
  CGroupCofactors cof;
  for (size_t g = 0; g < groups.size(); ++g) {
    GetWindowMessage();
    const CObservationGroup& group = groups[g];
    const int d = group.dimension;
    ComputeGroupCofactors(group, normal, cof);
    bool controlled = sigma0 > 0.0;
    const Eigen::MatrixXd R = cof.Qvv * cof.P;
    for (int i = 0; i < d; ++i) controlled = controlled && R(i, i) >= kUncontrolledRedundancy;
    const Eigen::LDLT<Eigen::MatrixXd> M(cof.M);
    if (!controlled || M.info() != Eigen::Success || !M.isPositive()) continue;
    CGroupTest& t = tests[g];
    t.defined = true;
    t.statistic = cof.Pv.dot(M.solve(cof.Pv)) / (sigma0 * sigma0);
    t.rejected = t.statistic > limit.critical;
    for (int k = 0; k < d; ++k) {
      Eigen::VectorXd c(d);
      for (int i = 0; i < d; ++i) c[i] = axes[g][static_cast<size_t>(3 * k + i)];
      const double spread = std::sqrt(std::max(0.0, c.dot(cof.M * c)));
      t.w[k] = spread > 0.0 ? c.dot(cof.Pv) / (sigma0 * spread) : 0.0;
    }
  }
  return tests;
}

CKnownPointTest KnownPointTest(const std::vector<CKnownPointTerm>& terms, int coordinates,
                               const CNormalEquations& normal, double sigma0, const CMultipleLimit& limit) {
  using Eigen::MatrixXd;
  using Eigen::VectorXd;
  CKnownPointTest t;
  const int k = coordinates;
  // g = A_k^T P v, N_kk = A_k^T P A_k, and N_uk for every unknown the observations touch.
  VectorXd g = VectorXd::Zero(k);
  MatrixXd Nkk = MatrixXd::Zero(k, k);
  std::vector<int> unknowns;
  std::vector<VectorXd> Nuk;
  for (const CKnownPointTerm& term : terms) {
    const CObservationGroup& o = term.group;
    const int d = o.dimension;
    MatrixXd Ql(d, d), Ak(d, k);
    VectorXd v(d);
    for (int i = 0; i < d; ++i) {
      v[i] = o.v[i];
      for (int j = 0; j < d; ++j) Ql(i, j) = o.Ql[i][j];
      for (int c = 0; c < k; ++c) Ak(i, c) = term.known[i][c];
    }
    const MatrixXd P = Ql.inverse();
    const MatrixXd PAk = P * Ak;
    g += PAk.transpose() * v;
    Nkk += Ak.transpose() * PAk;
    for (int p = 0; p < kC; ++p) {
      if (o.index[p] < 0) continue;
      VectorXd a(d);
      for (int i = 0; i < d; ++i) a[i] = o.a[i][p];
      const size_t at = static_cast<size_t>(std::find(unknowns.begin(), unknowns.end(), o.index[p]) - unknowns.begin());
      if (at == unknowns.size()) {
        unknowns.push_back(o.index[p]);
        Nuk.push_back(VectorXd::Zero(k));
      }
      Nuk[at] += PAk.transpose() * a;
    }
  }
  t.connected = !terms.empty() && Nkk.trace() > 0.0;
  if (!t.connected || !(sigma0 > 0.0)) return t;
  // S = N_kk - N_ku Qxx N_uk: Qxx of the network held at every known point is the inverse of
  // the unknowns' block, so S is what freeing this point alone leaves of its normal block.
  const int n = static_cast<int>(unknowns.size());
  MatrixXd S = Nkk;
  if (n > 0) {
    std::vector<double> Q(static_cast<size_t>(n) * static_cast<size_t>(n));
    normal.Cofactors(unknowns.data(), n, Q.data());
    MatrixXd B(n, k);
    for (int p = 0; p < n; ++p) B.row(p) = Nuk[static_cast<size_t>(p)].transpose();
    const MatrixXd Qm = Eigen::Map<const Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>>(Q.data(), n, n);
    S -= B.transpose() * Qm * B;
  }
  // Without this point the others may not place the network (too few of them): the part of
  // its position that the rest does not see has S vanishing against N_kk.
  const Eigen::SelfAdjointEigenSolver<MatrixXd> eigen(0.5 * (S + S.transpose()));
  const double largest = Eigen::SelfAdjointEigenSolver<MatrixXd>(Nkk, Eigen::EigenvaluesOnly).eigenvalues().maxCoeff();
  if (eigen.info() != Eigen::Success || !(eigen.eigenvalues().minCoeff() > 1e-7 * largest)) return t;
  t.defined = true;
  const VectorXd shift = -eigen.eigenvectors() *
                         (eigen.eigenvalues().cwiseInverse().asDiagonal() * (eigen.eigenvectors().transpose() * g));
  t.statistic = -g.dot(shift) / (sigma0 * sigma0);
  for (int c = 0; c < k; ++c) t.discrepancy[c] = shift[c];
  t.rejected = t.statistic > limit.critical;
  return t;
}

double PlausibleSigmaFloorMm(double lengthKm) { return std::min(0.5, 0.1 + 0.02 * lengthKm); }

CPlausibility CheckPlausibility(const std::vector<CVectorPrecision>& vectors, const CGlobalTest& global) {
  CPlausibility p;
  p.vectorCount = static_cast<int>(vectors.size());
  if (global.defined) {
    p.varianceFactorHigh = global.varianceFactor > kImplausibleVarianceFactor;
    p.varianceFactorLow = global.varianceFactor < 1.0 / kImplausibleVarianceFactor;
  }
  if (vectors.empty()) return p;
  std::vector<double> sigmas;
  p.shortestKm = p.longestKm = vectors.front().lengthKm;
  for (const CVectorPrecision& v : vectors) {
    sigmas.push_back(v.sigmaMm);
    p.shortestKm = std::min(p.shortestKm, v.lengthKm);
    p.longestKm = std::max(p.longestKm, v.lengthKm);
    if (v.sigmaMm < PlausibleSigmaFloorMm(v.lengthKm)) ++p.tooPrecise;
  }
  const size_t middle = sigmas.size() / 2;
  std::nth_element(sigmas.begin(), sigmas.begin() + static_cast<std::ptrdiff_t>(middle), sigmas.end());
  p.medianSigmaMm = sigmas[middle];
  p.sigmaImplausible = 2 * p.tooPrecise > p.vectorCount;
  return p;
}

CNetworkTests UnitWeightAndGlobalTest(double sigma0, double pvv, int redundancy, bool aprioriUnitWeight,
                                      const CTestSettings& settings, const std::vector<CVectorPrecision>& vectors) {
  CNetworkTests t;
  const int r = redundancy;
  t.sigma0 = sigma0;
  if (r > 0) t.sigmaHat = std::sqrt(pvv / r);
  t.unitWeightEstimated = r > 0 && !aprioriUnitWeight;
  if (!(t.sigma0 > 0.0)) return t;
  t.limits = SnoopingLimits(r, settings);
  t.global = GlobalModelTest(pvv / (t.sigma0 * t.sigma0), r, t.limits);
  t.plausibility = CheckPlausibility(vectors, t.global);
  return t;
}

CConfidenceFactors ConfidenceFactors(double probability, int redundancy, bool estimated) {
  CConfidenceFactors f;
  if (estimated && redundancy > 0) {
    const double r = redundancy;
    f.interval = StudentQuantile((1.0 + probability) / 2.0, r);
    f.ellipse = std::sqrt(2.0 * FisherQuantile(probability, 2.0, r));
    f.ellipsoid = std::sqrt(3.0 * FisherQuantile(probability, 3.0, r));
  } else {
    f.interval = NormalQuantile((1.0 + probability) / 2.0);
    f.ellipse = std::sqrt(ChiSquaredQuantile(probability, 2.0));
    f.ellipsoid = std::sqrt(ChiSquaredQuantile(probability, 3.0));
  }
  return f;
}

void EllipsoidAxes(const double covariance[3][3], double axes[3]) {
  Eigen::Matrix3d C;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) C(i, j) = covariance[i][j];
  const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver(C, Eigen::EigenvaluesOnly);
  const Eigen::Vector3d values = solver.eigenvalues();  // ascending
  for (int i = 0; i < 3; ++i) axes[i] = std::sqrt(std::max(0.0, values[2 - i]));
}

}  // namespace vemo

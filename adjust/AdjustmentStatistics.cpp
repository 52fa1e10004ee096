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

CDataSnooping DataSnooping(const std::vector<CObservationGroup>& groups, const CNormalEquations& normal,
                           double sigma0, double sigmaHat, const CSnoopingLimits& limits,
                           const CPointUnknowns& points) {
  using Eigen::MatrixXd;
  using Eigen::VectorXd;
  CDataSnooping result;
  double worst = 0.0;
  for (size_t g = 0; g < groups.size(); ++g) {
    // A solve with the whole factor per component: on a large network this runs for many
    // seconds, and the window is painted and sees a click between the groups.
    GetWindowMessage();
    const CObservationGroup& group = groups[g];
    const int d = group.dimension;
    MatrixXd Ql(d, d), Qhat = MatrixXd::Zero(d, d);
    VectorXd v(d);
    for (int i = 0; i < d; ++i) {
      v[i] = group.v[i];
      for (int j = 0; j < d; ++j) Ql(i, j) = group.Ql[i][j];
    }
    // The cofactor of the adjusted observation, A Qxx A^T, over the unknowns that exist.
    double Qx[6][6];
    normal.Cofactors(group.index, 6, &Qx[0][0]);
    for (int p = 0; p < 6; ++p) {
      if (group.index[p] < 0) continue;
      for (int q = 0; q < 6; ++q) {
        if (group.index[q] < 0) continue;
        const double c = Qx[p][q];
        for (int i = 0; i < d; ++i)
          for (int j = 0; j < d; ++j) Qhat(i, j) += group.a[i][p] * c * group.a[j][q];
      }
    }
    const MatrixXd P = Ql.inverse();
    const MatrixXd Qvv = Ql - Qhat;
    const MatrixXd R = Qvv * P;
    // For correlated components the test statistic of a bias in component i is e_i^T P v,
    // with variance sigma0² e_i^T P Qvv P e_i (Baarda's w for one observation when P is
    // diagonal).
    const MatrixXd M = P * Qvv * P;
    const VectorXd Pv = P * v;
    std::vector<CComponentTest>& tests = result.groups.emplace_back(static_cast<size_t>(d));
    bool rejected = false;
    for (int i = 0; i < d; ++i) {
      CComponentTest& t = tests[static_cast<size_t>(i)];
      t.v = v[i];
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
      double b[6] = {};
      for (int p = 0; p < 6; ++p)
        if (group.index[p] >= 0)
          for (int c = 0; c < d; ++c) b[p] += group.a[c][p] * P(c, i);
      const int coordinates = points.perPoint * (points.pointCount - points.knownCount);
      for (int p = 0; p < 6; ++p) {
        const int first = group.index[p];
        // The first coordinate unknown of each point of the group.
        if (first < 0 || first >= coordinates || first % points.perPoint != 0) continue;
        double sum = 0.0;
        for (int c = 0; c < points.perPoint; ++c) {
          // The point's unknowns are among the group's: their cofactors are in Qx.
          int row = 0;
          while (row < 6 && group.index[row] != first + c) ++row;
          double shift = 0.0;
          for (int q = 0; q < 6; ++q)
            if (group.index[q] >= 0 && b[q] != 0.0)
              shift += (row < 6 ? Qx[row][q] : normal.Cofactor(first + c, group.index[q])) * b[q];
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

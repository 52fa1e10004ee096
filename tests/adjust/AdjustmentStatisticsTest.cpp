// The statistical tests of the 3D vector network: quantiles against published tables, data
// snooping against a dense computation written without the engine's code, a 10-sigma blunder
// found and, once its vector is removed, a network that passes; the rejection rate of the
// global test over many clean networks; the statement that replaces the tests at r = 0.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <cstdio>
#include <functional>
#include <sstream>

#include "adjust3d/GPS3dNetTests.h"
#include "geodesy/UiText.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;

// Published values: chi-squared, Student's t and F tables (e.g. Abramowitz & Stegun, tables
// 26.7-26.9) to the printed digits, and Baarda's non-centrality 17.07 of a one-dimensional
// test at alpha0 = 0.1 % with power 80 %.
TEST(AdjustmentStatistics, QuantilesMatchPublishedTables) {
  EXPECT_NEAR(NormalQuantile(0.975), 1.95996, 1e-5);
  EXPECT_NEAR(ChiSquaredQuantile(0.025, 10), 3.247, 1e-3);
  EXPECT_NEAR(ChiSquaredQuantile(0.975, 10), 20.483, 1e-3);
  EXPECT_NEAR(StudentQuantile(0.975, 5), 2.571, 1e-3);
  EXPECT_NEAR(FisherQuantile(0.95, 2, 10), 4.103, 1e-3);
  EXPECT_NEAR(NonCentrality(1, ChiSquaredQuantile(0.999, 1), 0.80), 17.07, 0.01);
}

// The earlier rule: the global test's alpha fixed, the w-test's level derived from it.
CTestSettings FixedAlpha(double alpha) {
  CTestSettings s;
  s.rule = TestLevelRule::FixedAlpha;
  s.alpha = alpha;
  return s;
}

TEST(AdjustmentStatistics, BMethodLimitsWithTheGlobalLevelFixed) {
  // With one degree of freedom the global test is a two-sided test of one normal variable at
  // alpha / 2 per side of chi-squared, i.e. |w| > k(1 - alpha/4): the w-test must agree.
  const CSnoopingLimits one = SnoopingLimits(1, FixedAlpha(0.05));
  EXPECT_NEAR(one.w, NormalQuantile(1.0 - 0.05 / 4.0), 0.01);
  EXPECT_FALSE(one.tauDefined);
  // More redundancy: the same power against the same bias needs a stricter w-test, and Pope's
  // tau stays below w (it tends to it as r grows).
  const CSnoopingLimits many = SnoopingLimits(60, FixedAlpha(0.05));
  EXPECT_GT(many.w, one.w);
  EXPECT_NEAR(many.delta0, many.w + NormalQuantile(0.80), 1e-12);
  ASSERT_TRUE(many.tauDefined);
  EXPECT_LT(many.tau, many.w);
  EXPECT_GT(many.tau, 0.9 * many.w);
  // The global interval holds the variance factor 1.
  const CGlobalTest g = GlobalModelTest(60.0, 60, many);
  EXPECT_TRUE(g.passed);
  EXPECT_LT(g.lower, 1.0);
  EXPECT_GT(g.upper, 1.0);
  EXPECT_FALSE(GlobalModelTest(0.0, 0, SnoopingLimits(0, CTestSettings{})).defined);
  // The critical values of that rule grow with the network (as the earlier reports printed).
  EXPECT_NEAR(SnoopingLimits(96, FixedAlpha(0.05)).w, 5.90, 0.01);
  EXPECT_NEAR(SnoopingLimits(288, FixedAlpha(0.05)).w, 7.76, 0.01);
  EXPECT_NEAR(SnoopingLimits(843, FixedAlpha(0.05)).w, 10.19, 0.01);
}

// The default: alpha0 = 0.1 % fixed. The w-test's critical value is 3.29 and delta0² Baarda's
// 17.07 at any redundancy; the global test's level is derived, equals alpha0 at r = 1 (there
// the global test is the w-test squared) and grows with r. The rule with alpha fixed, given
// the two-sided alpha that has the derived upper tail, gives back the same w-test.
TEST(AdjustmentStatistics, BMethodLimitsWithTheOutlierLevelFixed) {
  double previous = 0;
  for (int r : {1, 2, 96, 288, 843}) {
    SCOPED_TRACE(r);
    const CSnoopingLimits l = SnoopingLimits(r, CTestSettings{});
    EXPECT_NEAR(l.w, 3.291, 1e-3);
    EXPECT_NEAR(l.delta0 * l.delta0, 17.07, 0.01);
    EXPECT_GT(l.alpha, previous);
    previous = l.alpha;
  }
  EXPECT_NEAR(SnoopingLimits(1, CTestSettings{}).alpha, 0.001, 1e-8);
  const CSnoopingLimits b = SnoopingLimits(20, CTestSettings{});
  EXPECT_NEAR(SnoopingLimits(20, FixedAlpha(2.0 * b.upperTail)).w, b.w, 1e-6);
  // The global test at those limits: its upper limit is exceeded with the power by a variance
  // factor carrying the non-centrality delta0² (mean (r + delta0²) / r), its lower one holds 1.
  const CGlobalTest g = GlobalModelTest(20.0, 20, b);
  EXPECT_TRUE(g.passed);
  EXPECT_GT(g.upper, 1.0);
  EXPECT_LT(g.upper, (20.0 + 17.07) / 20.0);
}

// Far in the normal tail: with alpha fixed and r in the hundreds the w-test's level is below
// 1e-15, where 1 - cdf is 0. The level and Pope's tau must stay defined (tau tends to w).
TEST(AdjustmentStatistics, DerivedLevelsKeepTheirDigitsFarInTheTail) {
  for (int r : {375, 843, 20000}) {
    SCOPED_TRACE(r);
    const CSnoopingLimits l = SnoopingLimits(r, FixedAlpha(0.05));
    ASSERT_GT(l.alpha0, 0.0);
    EXPECT_NEAR(NormalUpperQuantile(l.alpha0 / 2.0), l.w, 1e-9 * l.w);  // the level is that of the limit
    ASSERT_TRUE(l.tauDefined);
    EXPECT_LT(l.tau, l.w);
    EXPECT_GT(l.tau, 0.95 * l.w);
  }
  EXPECT_EQ(PercentText(1.2e-9), "1.20e-07");
  EXPECT_EQ(PercentText(0.05), "5.00");
  EXPECT_EQ(PercentText(0.001), "0.10");
}

// A slip of units: every vector far more precise than GNSS reaches, or a variance factor far
// from 1; one odd vector is no slip.
TEST(AdjustmentStatistics, PlausibilityOfTheCovariances) {
  CGlobalTest global;
  global.defined = true;
  global.varianceFactor = 0.005;
  const CPlausibility odd = CheckPlausibility({{0.6, 20.0}, {0.9, 45.0}, {0.05, 70.0}}, global);
  EXPECT_FALSE(odd.sigmaImplausible);
  EXPECT_TRUE(odd.varianceFactorLow);
  const CPlausibility slip = CheckPlausibility({{0.4, 20.0}, {0.6, 45.0}, {0.05, 70.0}}, global);
  EXPECT_TRUE(slip.sigmaImplausible);
  EXPECT_DOUBLE_EQ(slip.medianSigmaMm, 0.4);
}

TEST(AdjustmentStatistics, ConfidenceFactors) {
  // 95 %: 1.960, sqrt(chi2(2)) = 2.448, sqrt(chi2(3)) = 2.796 with a known unit weight;
  // Student's t and Fisher's F widen them when it was estimated from 10 redundancies.
  const CConfidenceFactors known = ConfidenceFactors(0.95, 10, false);
  EXPECT_NEAR(known.interval, 1.960, 1e-3);
  EXPECT_NEAR(known.ellipse, 2.448, 1e-3);
  EXPECT_NEAR(known.ellipsoid, 2.796, 1e-3);
  const CConfidenceFactors estimated = ConfidenceFactors(0.95, 10, true);
  EXPECT_NEAR(estimated.interval, 2.228, 1e-3);
  EXPECT_NEAR(estimated.ellipse, std::sqrt(2 * 4.103), 1e-3);
  const CEllipse e = ErrorEllipse(4.0, 1.0, 0.0);
  EXPECT_DOUBLE_EQ(e.major, 2.0);
  EXPECT_DOUBLE_EQ(e.minor, 1.0);
  EXPECT_DOUBLE_EQ(e.direction, 0.0);
}

// A synthetic network written as a project, loaded and adjusted.
struct AdjustedNetwork {
  AdjustProject project;
  CGPS3dNetAdjust net{0};
  explicit AdjustedNetwork(const SyntheticNetwork& synthetic) {
    WriteSyntheticProject(synthetic, project.dir.str(), "net");
    ok = net.Load() && net.Adjust() == 1;
  }
  bool ok = false;
};

// The dense reference: unknowns are the new points' coordinates themselves, weights the
// inverse covariances in mm² (no unit weight at all), Qvv = Sigma - A N^-1 A^T.
struct DenseReference {
  Eigen::VectorXd w, redundancy, mdb, effect, anywhere;  // effect at the vector's ends; at any point
  double omega = 0;
};

DenseReference SnoopDensely(const CGPS3dNetAdjust& net, double delta0) {
  using Eigen::MatrixXd;
  using Eigen::VectorXd;
  const int k = net.m_KnownPointCount, m = net.m_VectorCount, u = 3 * (net.m_PointCount - k), n = 3 * m;
  MatrixXd A = MatrixXd::Zero(n, u), Sigma = MatrixXd::Zero(n, n);
  VectorXd b(n);
  const std::vector<double>* coordinate[3] = {&net.m_X, &net.m_Y, &net.m_Z};
  const std::vector<double>* observed[3] = {&net.m_DX, &net.m_DY, &net.m_DZ};
  for (int j = 0; j < m; ++j) {
    const int ends[2] = {net.m_From[j], net.m_To[j]};
    const double sign[2] = {-1.0, 1.0};
    const double C[3][3] = {{net.m_Dxx[j], net.m_Dxy[j], net.m_Dxz[j]},
                            {net.m_Dxy[j], net.m_Dyy[j], net.m_Dyz[j]},
                            {net.m_Dxz[j], net.m_Dyz[j], net.m_Dzz[j]}};
    for (int c = 0; c < 3; ++c) {
      const int row = 3 * j + c;
      b[row] = (*observed[c])[j] * 1000.0;
      for (int e = 0; e < 2; ++e) {
        if (ends[e] < k)
          b[row] -= sign[e] * (*coordinate[c])[ends[e]] * 1000.0;  // a known end moves to the left
        else
          A(row, 3 * (ends[e] - k) + c) = sign[e];
      }
      for (int d = 0; d < 3; ++d) Sigma(row, 3 * j + d) = C[c][d] * 100.0;  // cm² -> mm²
    }
  }
  const MatrixXd P = Sigma.inverse();
  const MatrixXd Qxx = (A.transpose() * P * A).inverse();
  const VectorXd x = Qxx * A.transpose() * P * b;
  const VectorXd v = A * x - b;
  const MatrixXd Qvv = Sigma - A * Qxx * A.transpose();
  const MatrixXd M = P * Qvv * P;
  DenseReference ref;
  ref.omega = v.dot(P * v);
  ref.w = (P * v).cwiseQuotient(M.diagonal().cwiseSqrt());
  ref.redundancy = (Qvv * P).diagonal();
  ref.mdb = delta0 * M.diagonal().cwiseSqrt().cwiseInverse();
  ref.effect.resize(n);
  ref.anywhere.resize(n);
  for (int i = 0; i < n; ++i) {
    const VectorXd shift = Qxx * A.transpose() * P.col(i) * ref.mdb[i];
    double largest = 0;
    for (int p = 0; p < u; p += 3) largest = std::max(largest, shift.segment(p, 3).norm());
    ref.anywhere[i] = largest;
    ref.effect[i] = 0;
    for (int end : {net.m_From[i / 3], net.m_To[i / 3]})
      if (end >= k) ref.effect[i] = std::max(ref.effect[i], shift.segment(3 * (end - k), 3).norm());
  }
  return ref;
}

TEST(GPS3dNetTests, DataSnoopingAgreesWithDenseComputation) {
  AdjustedNetwork a(MakeSyntheticNetwork(12, 3, 1.0, 2));
  ASSERT_TRUE(a.ok);
  const CNetworkTests t = TestGPS3dNetwork(a.net, CTestSettings{});
  const DenseReference ref = SnoopDensely(a.net, t.limits.delta0);
  ASSERT_TRUE(t.global.defined);
  EXPECT_NEAR(t.global.omega, ref.omega, 1e-6 * ref.omega);
  double sum = 0;
  for (int j = 0; j < a.net.m_VectorCount; ++j)
    for (int c = 0; c < 3; ++c) {
      const CComponentTest& test = t.snooping.groups[j][c];
      const int i = 3 * j + c;
      SCOPED_TRACE(i);
      ASSERT_TRUE(test.controlled);
      EXPECT_NEAR(test.w, ref.w[i], 1e-6);
      EXPECT_NEAR(test.redundancy, ref.redundancy[i], 1e-9);
      // The result file's own redundancy numbers come from the same Qvv P.
      EXPECT_NEAR(test.redundancy, a.net.m_RedundancyNumber[i], 1e-9);
      EXPECT_NEAR(test.mdb, ref.mdb[i], 1e-6 * ref.mdb[i]);        // mm
      EXPECT_NEAR(test.effect, ref.effect[i], 1e-6 * ref.effect[i]);
      // The shift of the network is largest at the biased vector's ends: a point elsewhere
      // moves by a weighted mean of its neighbours' shifts.
      EXPECT_LE(ref.anywhere[i], ref.effect[i] * (1 + 1e-9));
      EXPECT_NEAR(test.tau, test.w * t.sigma0 / t.sigmaHat, 1e-9);
      sum += test.redundancy;
    }
  EXPECT_NEAR(sum, a.net.m_Redundancy, 1e-8);  // the redundancy numbers add up to r
}

// The standard deviation (m) of component c of vector j.
double ComponentSigma(const SyntheticVector& v, int c) { return std::sqrt(v.cov[c]) / 100.0; }

TEST(GPS3dNetTests, TenSigmaBlunderIsFoundAndItsRemovalPasses) {
  SyntheticNetwork synthetic = MakeSyntheticNetwork(25, 11, 1.0, 3);
  const int corrupted = 17;
  synthetic.vectors[corrupted].dy += 10.0 * ComponentSigma(synthetic.vectors[corrupted], 1);
  {
    AdjustedNetwork a(synthetic);
    ASSERT_TRUE(a.ok);
    const CNetworkTests t = TestGPS3dNetwork(a.net, CTestSettings{});
    EXPECT_FALSE(t.global.passed) << "variance factor " << t.global.varianceFactor;
    EXPECT_EQ(t.snooping.worstGroup, corrupted);
    EXPECT_EQ(t.snooping.worstComponent, 1);
    EXPECT_EQ(t.snooping.rejectedGroups, 1);
    ASSERT_TRUE(WriteGPS3dTestReport(a.net, CTestSettings{}));
    EXPECT_EQ(TestReportSummary(a.project.Read("GPS3dTest")), G(u8"全局检验不通过，1条基线可疑"));
  }
  synthetic.vectors.erase(synthetic.vectors.begin() + corrupted);
  AdjustedNetwork cleaned(synthetic);
  ASSERT_TRUE(cleaned.ok);
  const CNetworkTests t = TestGPS3dNetwork(cleaned.net, CTestSettings{});
  EXPECT_TRUE(t.global.passed) << "variance factor " << t.global.varianceFactor;
  EXPECT_EQ(t.snooping.worstGroup, -1);
  EXPECT_EQ(t.snooping.rejectedGroups, 0);
  ASSERT_TRUE(WriteGPS3dTestReport(cleaned.net, CTestSettings{}));
  EXPECT_EQ(TestReportSummary(cleaned.project.Read("GPS3dTest")), G(u8"全局检验通过，未发现粗差"));
}

// A 200-point network (r above 2000): the same 10-sigma blunder stands out at the fixed
// alpha0, where the rule with alpha fixed put the critical value above its w.
TEST(GPS3dNetTests, TenSigmaBlunderIsFoundInALargeNetwork) {
  SyntheticNetwork synthetic = MakeSyntheticNetwork(200, 21, 1.0, 4);
  const int corrupted = 400;
  synthetic.vectors[corrupted].dx -= 10.0 * ComponentSigma(synthetic.vectors[corrupted], 0);
  AdjustedNetwork a(synthetic);
  ASSERT_TRUE(a.ok);
  ASSERT_GT(a.net.m_Redundancy, 2000);
  const CNetworkTests t = TestGPS3dNetwork(a.net, CTestSettings{});
  EXPECT_NEAR(t.limits.w, 3.29, 0.01);
  EXPECT_EQ(t.snooping.worstGroup, corrupted);
  EXPECT_EQ(t.snooping.worstComponent, 0);
  const double w = t.snooping.groups[corrupted][0].w;
  EXPECT_GT(SnoopingLimits(a.net.m_Redundancy, FixedAlpha(0.05)).w, std::fabs(w)) << "the earlier rule missed it";
}

// Clean networks with observation errors drawn from their covariances: the global test must
// reject at about its significance: the two-sided alpha = 5 % when that is fixed, the sum of
// the two tails derived from alpha0 = 0.1 % by default. 200 seeds: four binomial standard
// deviations either side, which a sound test leaves with probability below 1e-4.
TEST(GPS3dNetTests, GlobalTestRejectsAtTheChosenSignificanceOverSeeds) {
  constexpr int kSeeds = 200;
  int rejectedFixedAlpha = 0, rejectedFixedAlpha0 = 0;
  double size = 0;
  for (unsigned seed = 1; seed <= kSeeds; ++seed) {
    AdjustedNetwork a(MakeSyntheticNetwork(9, 1000 + seed, 1.0, 2));
    ASSERT_TRUE(a.ok) << seed;
    if (!TestGPS3dNetwork(a.net, FixedAlpha(0.05)).global.passed) ++rejectedFixedAlpha;
    const CNetworkTests t = TestGPS3dNetwork(a.net, CTestSettings{});
    if (!t.global.passed) ++rejectedFixedAlpha0;
    size = t.limits.lowerTail + t.limits.upperTail;
  }
  for (auto [rejected, expected] : {std::pair{rejectedFixedAlpha, 0.05}, std::pair{rejectedFixedAlpha0, size}}) {
    const double rate = static_cast<double>(rejected) / kSeeds;
    std::printf("global test at %.1f %%: %d of %d clean networks rejected (%.1f %%)\n", expected * 100.0, rejected,
                kSeeds, rate * 100.0);
    EXPECT_NEAR(rate, expected, 4.0 * std::sqrt(expected * (1.0 - expected) / kSeeds));
  }
}

// Writes the network (covariances times scale) with the configuration changed by configure,
// adjusts it and writes its statistics report; the report's text.
std::string ReportOf(const SyntheticNetwork& synthetic, double scale, const std::function<void(AdjustProject&)>& configure,
                     CTestVerdicts* verdicts = nullptr, std::vector<std::string>* messages = nullptr) {
  AdjustProject project;
  configure(project);
  WriteSyntheticProject(synthetic, project.dir.str(), "net", scale);
  CGPS3dNetAdjust net(0);
  if (!net.Load() || net.Adjust() != 1) return "";
  const size_t before = project.MessagesUtf8().size();
  CTestSettings settings = FixedAlpha(0.05);
  if (!WriteGPS3dTestReport(net, settings, verdicts)) return "";
  if (messages) {
    const std::vector<std::string> all = project.MessagesUtf8();
    messages->assign(all.begin() + static_cast<long>(before), all.end());
  }
  return project.Read("GPS3dTest");
}

// The numbers of a point's row of the confidence regions (after its name).
std::vector<double> RegionRow(const std::string& report, const std::string& name) {
  const size_t regions = report.find(G(u8"点位置信区域"));
  for (const std::string& line : Lines(report.substr(regions == std::string::npos ? report.size() : regions))) {
    const size_t at = line.find(" " + name + " ");
    if (at == std::string::npos) continue;
    std::vector<double> values;
    std::istringstream in(line.substr(at + name.size() + 2));
    for (double v; in >> v;) values.push_back(v);
    return values;
  }
  return {};
}

// With the a-priori unit weight the regions are scaled by the a-priori sigma (the covariances'
// own), which covariances 100 times larger make 10 times larger: a fixed 1 cm would not move.
TEST(GPS3dNetTests, AprioriUnitWeightScalesTheConfidenceRegions) {
  const SyntheticNetwork synthetic = MakeSyntheticNetwork(12, 5, 1.0, 2);
  auto apriori = [](AdjustProject& p) { p.Configuration().m_UseAprioriUnitWeight = 1; };
  const std::vector<double> unit = RegionRow(ReportOf(synthetic, 1.0, apriori), "P0002");
  const std::vector<double> larger = RegionRow(ReportOf(synthetic, 100.0, apriori), "P0002");
  ASSERT_EQ(unit.size(), 10u);
  ASSERT_EQ(larger.size(), 10u);
  for (int column : {0, 1, 3, 4, 6, 9}) EXPECT_NEAR(larger[column] / unit[column], 10.0, 0.15) << column;
}

// A vector to a point that nothing else reaches cannot be tested: it is not called 合格, the
// report says how many such vectors there are and so does the verdict summary. The w-test's
// level derived from alpha = 5 % at this redundancy is far below 0.01 % and printed readably.
TEST(GPS3dNetTests, VectorsThatCannotBeTestedAreSaidSo) {
  SyntheticNetwork synthetic = MakeSyntheticNetwork(16, 7, 1.0, 2);
  synthetic.names.push_back("SPUR");
  synthetic.x.push_back(synthetic.x[5] + 812.0);
  synthetic.y.push_back(synthetic.y[5] - 640.0);
  synthetic.z.push_back(synthetic.z[5] + 433.0);
  synthetic.vectors.push_back({5, 16, 812.0, -640.0, 433.0, {0.25, 0.36, 0.49, 0.05, -0.03, 0.04}});
  CTestVerdicts verdicts;
  const std::string report = ReportOf(synthetic, 1.0, [](AdjustProject&) {}, &verdicts);
  EXPECT_EQ(verdicts.untestableGroups, 1);
  int rows = 0;
  for (const std::string& line : Lines(report))
    if (line.find(" SPUR ") != std::string::npos && line.find(G(u8"无多余")) != std::string::npos) {
      ++rows;
      EXPECT_TRUE(line.ends_with(G(u8" 不可检验"))) << line;
    }
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(TestReportSummary(report), G(u8"全局检验通过，未发现粗差，1条基线不可检验"));
  const size_t level = report.find(G(u8"  单个观测显著水平α0(%)="));
  ASSERT_NE(level, std::string::npos);
  const std::string line = report.substr(level, report.find('\n', level) - level);
  EXPECT_NE(line.find("e-0"), std::string::npos) << line;
}

// Covariances written in m² and read as cm²: the coordinates come out right, the statistics
// 10^4 off; the report and a message name the likely slip. In cm² nothing is said.
TEST(GPS3dNetTests, CovariancesInSquareMetresAreNamed) {
  const SyntheticNetwork synthetic = MakeSyntheticNetwork(12, 5, 1.0, 2);
  std::vector<std::string> messages;
  const std::string slip = ReportOf(synthetic, 1e-4, [](AdjustProject&) {}, nullptr, &messages);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(u8"基线向量的验前中误差过小"), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find(u8"大于100: 协方差可能以m^2给出却按cm^2读入"), std::string::npos) << messages[0];
  EXPECT_NE(slip.find(G(u8"警告: 验后/验前方差因子")), std::string::npos);
  const std::string sound = ReportOf(synthetic, 1.0, [](AdjustProject&) {}, nullptr, &messages);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(sound.find(G(u8"警告")), std::string::npos);
}

// Under another interface language the report keeps its own words; the message and the
// summary the desktop shows change.
TEST(GPS3dNetTests, ReportKeepsItsWordsUnderAnotherInterfaceLanguage) {
  InstallUiCatalog([](const char* source) { return std::string("EN ") + source; });
  struct Restore {
    ~Restore() { InstallUiCatalog(nullptr); }
  } restore;
  std::vector<std::string> messages;
  const std::string slip = ReportOf(MakeSyntheticNetwork(12, 5, 1.0, 2), 1e-4, [](AdjustProject&) {}, nullptr, &messages);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind(u8"EN 基线向量的验前中误差过小", 0), 0u) << messages[0];
  EXPECT_NE(slip.find(G(u8"警告: 基线向量的验前中误差过小")), std::string::npos);
  EXPECT_EQ(slip.find("EN "), std::string::npos);
  const std::string report = G(u8"                    结论=  不通过\n检验结论: 2条基线可疑；最可疑为第3条\n"
                               u8"检验结论(已知点): 1个已知点不相容；最不相容为已知点K1\n");
  EXPECT_EQ(TestReportSummary(report), G(u8"EN 全局检验不通过EN ，EN 2条基线可疑EN ，EN 1个已知点不相容"));
}

TEST(GPS3dNetTests, NoRedundancyIsStatedInsteadOfNumbers) {
  AdjustProject project;
  project.Write("GPS3dKnownXYZ", KnownXYZ("K1", -2267749.0, 5009154.0, 3221290.0));
  project.Write("GPS3dVector", Vector("K1", "P1", 1000.0, 200.0, -300.0));
  CGPS3dNetAdjust net(0);
  ASSERT_TRUE(net.Load());
  ASSERT_EQ(net.Adjust(), 1);
  ASSERT_EQ(net.m_Redundancy, 0);
  CTestVerdicts verdicts;
  ASSERT_TRUE(WriteGPS3dTestReport(net, CTestSettings{}, &verdicts));
  EXPECT_FALSE(verdicts.defined);
  const std::string report = project.Read("GPS3dTest");
  EXPECT_NE(report.find(G(u8"多余观测数为0：验后方差因子、全局检验、标准化残差检验与可靠性均无定义")), std::string::npos);
  EXPECT_EQ(report.find(G(u8"全局模型检验")), std::string::npos);
  EXPECT_EQ(report.find("nan"), std::string::npos);
  EXPECT_EQ(report.find("inf"), std::string::npos);
  EXPECT_NE(report.find(G(u8"验后单位权中误差=        无定义")), std::string::npos);
  EXPECT_EQ(TestReportSummary(report), G(u8"多余观测数为0，检验无定义"));
  EXPECT_EQ(TestReportSummary(project.Read("GPS3dResult")), "");
}

}  // namespace

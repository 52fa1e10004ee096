// The statistical tests of the 3D vector network: quantiles against published tables, data
// snooping against a dense computation written without the engine's code, a 10-sigma blunder
// found and, once its vector is removed, a network that passes; the rejection rate of the
// global test over many clean networks; the statement that replaces the tests at r = 0.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <cstdio>

#include "adjust3d/GPS3dNetTests.h"
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

TEST(AdjustmentStatistics, BMethodLimits) {
  // With one degree of freedom the global test is a two-sided test of one normal variable at
  // alpha / 2 per side of chi-squared, i.e. |w| > k(1 - alpha/4): the w-test must agree.
  const CSnoopingLimits one = SnoopingLimits(1, 0.05, 0.80);
  EXPECT_NEAR(one.w, NormalQuantile(1.0 - 0.05 / 4.0), 0.01);
  EXPECT_FALSE(one.tauDefined);
  // More redundancy: the same power against the same bias needs a stricter w-test, and Pope's
  // tau stays below w (it tends to it as r grows).
  const CSnoopingLimits many = SnoopingLimits(60, 0.05, 0.80);
  EXPECT_GT(many.w, one.w);
  EXPECT_NEAR(many.delta0, many.w + NormalQuantile(0.80), 1e-12);
  ASSERT_TRUE(many.tauDefined);
  EXPECT_LT(many.tau, many.w);
  EXPECT_GT(many.tau, 0.9 * many.w);
  // The global interval holds the variance factor 1 and the w limit holds 1.96 at 5 %.
  const CGlobalTest g = GlobalModelTest(60.0, 60, 0.05);
  EXPECT_TRUE(g.passed);
  EXPECT_LT(g.lower, 1.0);
  EXPECT_GT(g.upper, 1.0);
  EXPECT_FALSE(GlobalModelTest(0.0, 0, 0.05).defined);
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

// Clean networks with observation errors drawn from their covariances: the global test must
// reject at about the chosen significance. 200 seeds at 5 %: the binomial standard deviation
// of the rate is 1.5 %, so [1 %, 10 %] fails a sound test with probability below 0.2 %.
TEST(GPS3dNetTests, GlobalTestRejectsAtTheChosenSignificanceOverSeeds) {
  constexpr int kSeeds = 200;
  int rejected = 0;
  for (unsigned seed = 1; seed <= kSeeds; ++seed) {
    AdjustedNetwork a(MakeSyntheticNetwork(9, 1000 + seed, 1.0, 2));
    ASSERT_TRUE(a.ok) << seed;
    if (!TestGPS3dNetwork(a.net, CTestSettings{}).global.passed) ++rejected;
  }
  const double rate = static_cast<double>(rejected) / kSeeds;
  std::printf("global test at 5 %%: %d of %d clean networks rejected (%.1f %%)\n", rejected, kSeeds, rate * 100.0);
  ::testing::Test::RecordProperty("rejection_rate_percent", std::to_string(rate * 100.0));
  EXPECT_GE(rate, 0.01);
  EXPECT_LE(rate, 0.10);
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

// The congruence test of two campaigns: its false alarms on campaigns that differ by noise
// alone, a planted movement found and named, campaigns with points of their own, and the
// datum iterated to 0.1 mm beside the 3 mm rule.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "adjust3d/StabilityAnalysis.h"
#include "adjust3d/FreeNetworkFiles.h"
#include "adjust3d/StabilityAnalysisCongruence.h"
#include "adjust/AdjustmentStatistics.h"
#include "geodesy/Encoding.h"
#include "geodesy/Matrix.h"
#include "tests/adjust3d/FreeNetworkFixture.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;

// One campaign as the free network leaves it: increments of n points held at the last one,
// drawn with the covariance sigma² Q for a random positive-definite Q, and the a-posteriori
// standard error of unit weight of an adjustment with r degrees of freedom.
struct Drawn {
  std::vector<double> x, Q;
  double m0 = 0.0;
};

Drawn Draw(int n, std::mt19937_64& rng, double sigma, int r) {
  Drawn c;
  c.Q = RandomCofactors(n, static_cast<unsigned>(rng()));
  const size_t u = 3 * static_cast<size_t>(n) - 3;
  Dense L(u, std::vector<double>(u, 0.0));  // Cholesky factor of the free block
  for (size_t i = 0; i < u; ++i)
    for (size_t j = 0; j <= i; ++j) {
      double s = c.Q[PackedIndex(i, j)];
      for (size_t k = 0; k < j; ++k) s -= L[i][k] * L[j][k];
      L[i][j] = i == j ? std::sqrt(s) : s / L[j][j];
    }
  std::normal_distribution<double> normal(0.0, 1.0);
  std::vector<double> z(u);
  for (double& v : z) v = normal(rng);
  c.x.assign(3 * static_cast<size_t>(n), 0.0);
  for (size_t i = 0; i < u; ++i)
    for (size_t k = 0; k <= i; ++k) c.x[i] += sigma * L[i][k] * z[k];
  double chi2 = 0.0;
  for (int k = 0; k < r; ++k) chi2 += std::pow(normal(rng), 2);
  c.m0 = sigma * std::sqrt(chi2 / r);
  return c;
}

// A pair of campaigns of n points differing by noise (and by moved, mm, at one point), put
// through the test at 5 % with the pooled a-posteriori variance or, with known, sigma².
CCongruenceTest TestPair(int n, std::mt19937_64& rng, bool known, int movedPoint = -1,
                         const double moved[3] = nullptr) {
  constexpr double kSigma = 1.5;  // mm
  constexpr int kRedundancy = 20;
  const Drawn one = Draw(n, rng, kSigma, kRedundancy), two = Draw(n, rng, kSigma, kRedundancy);
  std::vector<double> d(one.x.size()), Q(one.Q.size());
  for (size_t k = 0; k < d.size(); ++k) d[k] = two.x[k] - one.x[k];
  if (movedPoint >= 0)
    for (int a = 0; a < 3; ++a) d[3 * static_cast<size_t>(movedPoint) + a] += moved[a];
  for (size_t k = 0; k < Q.size(); ++k) Q[k] = one.Q[k] + two.Q[k];
  CCongruenceTest test;
  test.m_KnownVariance = known;
  test.m_Variance = known ? kSigma * kSigma : (one.m0 * one.m0 + two.m0 * two.m0) / 2;
  test.m_Freedom = 2 * kRedundancy;
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back(Format("P%02d", i));
  EXPECT_EQ(test.Run(d, Q, names), 1);
  return test;
}

// 1000 noise-only pairs of 8 points: the global test at 5 % rejects 50 on average; the
// interval [29, 73] holds a binomial count of 1000 trials at 5 % with 99.9 %. The same for
// the per-point test of one point (each pair's first point: independent trials).
TEST(CongruenceTest, FalseAlarmsOnNoiseAloneMatchAlpha) {
  AdjustProject project;
  for (const bool known : {false, true}) {
    std::mt19937_64 rng(known ? 7 : 8);
    int global = 0, point = 0;
    for (int pair = 0; pair < 1000; ++pair) {
      const CCongruenceTest test = TestPair(8, rng, known);
      ASSERT_EQ(test.m_Steps[0].degrees, 21);
      global += !test.m_Steps[0].passed;
      point += test.m_PointStatistic[0] > test.m_PointCritical;
    }
    EXPECT_GE(global, 29) << known;
    EXPECT_LE(global, 73) << known;
    EXPECT_GE(point, 29) << known;
    EXPECT_LE(point, 73) << known;
    std::printf("[ figures  ] %s: %d of 1000 noise-only pairs rejected by the global test, %d by one point's\n",
                known ? "chi-squared (sigma known)" : "F (pooled a-posteriori variance)", global, point);
  }
  EXPECT_TRUE(project.MessagesUtf8().empty());
}

// 2 cm at one point of ten: found first and named in every one of 100 pairs; the stable
// points it leaves pass, so that another point is called moved about as often as alpha says.
TEST(CongruenceTest, PlantedMovementIsFoundAndTheOthersStayStable) {
  AdjustProject project;
  std::mt19937_64 rng(11);
  const double moved[3] = {12.0, -10.0, 12.8};  // 20.2 mm
  int others = 0;
  for (int pair = 0; pair < 100; ++pair) {
    const CCongruenceTest test = TestPair(10, rng, false, 4, moved);
    ASSERT_GE(test.m_Steps.size(), 2u);
    EXPECT_FALSE(test.m_Steps[0].passed);
    EXPECT_EQ(test.m_Steps[0].removed, 4);
    EXPECT_EQ(test.m_Verdict[4], CongruenceVerdict::Moved);
    EXPECT_GT(test.m_PointStatistic[4], test.m_PointCritical);
    EXPECT_TRUE(test.m_Steps.back().passed);
    for (int i = 0; i < 10; ++i) others += i != 4 && test.m_Verdict[i] != CongruenceVerdict::Stable;
    // In the datum of the stable points the moved one carries its movement (noise of a few mm).
    for (int a = 0; a < 3; ++a) EXPECT_NEAR(test.m_Displacement[12 + a], moved[a], 8.0);
  }
  EXPECT_LE(others, 14);  // 5 expected; 99.9 % of binomial(100, 0.05) lie below 14
  std::printf("[ figures  ] planted 2 cm found in 100 of 100 pairs; %d stable points called moved\n", others);
}

// Two points of five moved in opposite directions: the first step takes the worse, the
// second the other, and the three left pass. Removing the reference point of the quadratic
// form (the point nearest the median) is covered when it is the one moved.
TEST(CongruenceTest, TwoMovedPointsAreTakenOutOneByOne) {
  AdjustProject project;
  std::vector<double> d(15, 0.0), Q(TriangleSize(5), 0.0);
  for (size_t k = 0; k < 15; ++k) Q[PackedIndex(k, k)] = 1.0;
  d[3] = 40.0, d[4] = 10.0;    // B
  d[9] = -25.0, d[11] = 8.0;   // D
  const double noise[15] = {0.3, -0.2, 0.1, 0, 0, 0.2, -0.4, 0.1, 0.3, 0, -0.1, 0, 0.2, 0.3, -0.3};
  for (size_t k = 0; k < 15; ++k) d[k] += noise[k];
  CCongruenceTest test;
  test.m_Variance = 1.0, test.m_Freedom = 30;
  ASSERT_EQ(test.Run(d, Q, {"A", "B", "C", "D", "E"}), 1);
  ASSERT_EQ(test.m_Steps.size(), 3u);
  EXPECT_EQ(test.m_Steps[0].removed, 1);
  EXPECT_EQ(test.m_Steps[1].removed, 3);
  EXPECT_TRUE(test.m_Steps[2].passed);
  EXPECT_EQ(test.m_Steps[2].points, 3);
  // The quadratic form of the three left, by hand: unit cofactors, so Omega is the sum of
  // squares about their mean, twice (both campaigns' cofactors are in Q already).
  double omega = 0.0;
  for (int a = 0; a < 3; ++a) {
    const double mean = (d[a] + d[6 + a] + d[12 + a]) / 3;
    for (int i : {0, 2, 4}) omega += std::pow(d[3 * i + a] - mean, 2);
  }
  EXPECT_NEAR(test.m_Steps[2].omega, omega, 1e-9);
  // The moved points against the three stable ones: their offset from the stable mean, with
  // the cofactor 1 + 1/3 per component.
  double outside = 0.0;
  for (int a = 0; a < 3; ++a) outside += std::pow(test.m_Displacement[3 + a], 2) / (1 + 1.0 / 3);
  EXPECT_NEAR(test.m_PointStatistic[1], outside / 3, 1e-9);
  // When the point nearest the median moves, it is taken out as any other.
  std::vector<double> e(15, 0.0);
  for (size_t k = 0; k < 15; ++k) e[k] = noise[k];
  e[6] = 0.02;  // C, the reference (nearest the median)...
  CCongruenceTest again = test;
  ASSERT_EQ(again.Run(e, Q, {"A", "B", "C", "D", "E"}), 1);
  EXPECT_TRUE(again.m_Steps[0].passed);
  for (int a = 0; a < 3; ++a) e[6 + a] += 30.0;  // ...then moved by 5 cm
  ASSERT_EQ(again.Run(e, Q, {"A", "B", "C", "D", "E"}), 1);
  EXPECT_EQ(again.m_Steps[0].removed, 2);
  EXPECT_TRUE(again.m_Steps.back().passed);
  EXPECT_EQ(again.m_Steps.size(), 2u);
  // Two points that disagree: nothing tells which of them moved.
  std::vector<double> two(TriangleSize(2), 0.0);
  for (size_t k = 0; k < 6; ++k) two[PackedIndex(k, k)] = 1.0;
  ASSERT_EQ(again.Run({0, 0, 0, 30, 0, 0}, two, {"A", "B"}), 1);
  ASSERT_EQ(again.m_Steps.size(), 1u);
  EXPECT_FALSE(again.m_Steps[0].passed);
  EXPECT_EQ(again.m_Verdict, std::vector<CongruenceVerdict>(2, CongruenceVerdict::Undetermined));
}

// ---------------------------------------------------------------------------------------------
// The analysis of two campaign files.

std::string CampaignFile(const std::vector<std::string>& names, const std::vector<double>& x, double m0 = 1.0) {
  std::string text = Format("%5d %5d %8.2lf\n", static_cast<int>(names.size()), 20, m0);
  for (size_t i = 0; i < names.size(); ++i)
    text += Format("%16s %13.2lf %13.2lf %13.2lf\n", names[i].c_str(), x[3 * i], x[3 * i + 1], x[3 * i + 2]);
  for (size_t r = 0; r < x.size(); ++r) {
    for (size_t c = 0; c <= r; ++c) text += Format("%13.4lf ", r == c ? 0.5 : 0.0);
    text += "\n";
  }
  return text;
}

class CongruenceFiles : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return project.dir.str() + "/" + name; }
  int Run(const std::string& one, const std::string& two) {
    WriteFileAtomically(Path("one.GPS3dFreeXXQxx"), one);
    WriteFileAtomically(Path("two.GPS3dFreeXXQxx"), two);
    return analysis.Run(Path("one.GPS3dFreeXXQxx"), Path("two.GPS3dFreeXXQxx"), Path("dam.GPS3dFreeD"));
  }
  AdjustProject project;
  CStabilityAnalysis analysis;
};

TEST_F(CongruenceFiles, PointsOfOneCampaignAreListedAndTheRestMatchedByName) {
  analysis.m_Congruence = true;
  // The second campaign lacks A and D, has F, and lists its points in another order; C moved.
  const std::vector<double> x1{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  const std::vector<double> x2{15, 14, 13, 9, 8, 7, 20, 25, 6, 0, 0, 0};  // E, C, B, F
  ASSERT_EQ(Run(CampaignFile({"A", "B", "C", "D", "E"}, x1), CampaignFile({"E", "C", "B", "F"}, x2)), 1);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_EQ(project.MessagesUtf8()[0], u8"两期观测按点名对应，共同点3个参与稳定性分析。只在第一期文件" +
                                           Path("one.GPS3dFreeXXQxx") + u8"中的点：A D；只在第二期文件" +
                                           Path("two.GPS3dFreeXXQxx") + u8"中的点：F");
  EXPECT_EQ(analysis.m_PointName, (std::vector<std::string>{"B", "C", "E"}));
  // d = x2 - x1 by name, before the datum: B (16, 20, 0), C (2, 0, -2), E (2, 0, -2).
  const std::vector<double> d{16, 20, 0, 2, 0, -2, 2, 0, -2};
  for (size_t k = 0; k < 9; ++k)
    EXPECT_NEAR(analysis.m_Converged[k] - analysis.m_Converged[6 + k % 3], d[k] - d[6 + k % 3], 1e-9) << k;
  EXPECT_EQ(Lines(ReadWholeFile(Path("dam.GPS3dFreeD")).value_or("")).size(), 3u);
  const std::string report = GbkToUtf8(ReadWholeFile(Path("dam.GPS3dFreeCongruence")).value_or(""));
  EXPECT_NE(report.find(u8"只在第一期出现的点：2\n               A                D\n"), std::string::npos) << report;
  EXPECT_NE(report.find(u8"只在第二期出现的点：1\n               F\n"), std::string::npos) << report;
  // Unit cofactors doubled, m0 = 1: B stands 18 mm off the others in the plane.
  EXPECT_EQ(analysis.m_CongruenceTest.m_Verdict[0], CongruenceVerdict::Moved);
  EXPECT_NE(report.find(u8"               B"), std::string::npos);
}

TEST_F(CongruenceFiles, CampaignsWithFewerThanTwoCommonPointsAreRefused) {
  EXPECT_EQ(Run(CampaignFile({"A", "B"}, std::vector<double>(6, 1.0)), CampaignFile({"B", "C"}, std::vector<double>(6, 2.0))), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_NE(project.MessagesUtf8()[0].find(u8"只有1个共同的点，稳定性分析至少需要两个共同点!"), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("dam.GPS3dFreeD")));
}

// Five stable points spread over 10 mm and three moved ones: the 3 mm rule stops while the
// datum still drifts; iterated to 0.1 mm it settles on the L1 datum, the median of each
// component (nine points: the fifth value).
TEST_F(CongruenceFiles, ConvergedDatumBesideTheThreeMillimetreRule) {
  analysis.m_Congruence = true;
  const std::vector<std::string> names{"A", "B", "C", "D", "E", "F", "G", "H", "I"};
  std::vector<double> x1(27, 0.0), x2(27, 0.0);
  const double spread[9] = {-5.0, -2.5, 0.0, 2.0, 4.5, 60.0, 80.0, 95.0, 7.0};
  for (size_t i = 0; i < 9; ++i)
    for (int a = 0; a < 3; ++a) x2[3 * i + a] = 100.0 + spread[i] * (a + 1) / 3.0 + (a == 2 && i == 8 ? -40.0 : 0.0);
  ASSERT_EQ(Run(CampaignFile(names, x1), CampaignFile(names, x2)), 1);
  double largest = 0.0;
  for (size_t k = 0; k < 27; ++k) largest = std::max(largest, std::fabs(analysis.m_Converged[k] - analysis.m_d[k]));
  EXPECT_GT(largest, 0.5);
  for (int a = 0; a < 3; ++a) {
    std::vector<double> component;
    for (size_t i = 0; i < 9; ++i) component.push_back(analysis.m_Converged[3 * i + a]);
    std::nth_element(component.begin(), component.begin() + 4, component.end());
    EXPECT_NEAR(component[4], 0.0, 0.1) << a;
  }
  const std::string report = GbkToUtf8(ReadWholeFile(Path("dam.GPS3dFreeCongruence")).value_or(""));
  const size_t at = report.find(u8"两种停止规则的位移分量之差最大为");
  ASSERT_NE(at, std::string::npos);
  std::printf("[ figures  ] %s", report.substr(at).c_str());
  // The displacement file is the 3 mm rule's, as without the option.
  const auto rows = NumbersAfter(ReadWholeFile(Path("dam.GPS3dFreeD")).value_or(""), "");
  for (size_t i = 0; i < 9; ++i)
    for (int a = 0; a < 3; ++a) EXPECT_NEAR(rows[i][a], analysis.m_d[3 * i + a], 0.005);
}

// Campaign files in another datum (each shifted by its own translation, as the free network of
// a subset of the points writes them): the same congruence test, the same converged datum.
TEST_F(CongruenceFiles, TranslatedCampaignsGiveTheSameTest) {
  analysis.m_Congruence = true;
  const std::vector<std::string> names{"A", "B", "C", "D", "E", "F"};
  std::vector<double> x1(18), x2(18);
  std::mt19937_64 rng(5);
  std::normal_distribution<double> noise(0.0, 0.7);
  for (size_t k = 0; k < 18; ++k) x1[k] = noise(rng), x2[k] = noise(rng) + (k == 7 ? 9.0 : 0.0);
  ASSERT_EQ(Run(CampaignFile(names, x1), CampaignFile(names, x2)), 1);
  const CCongruenceTest first = analysis.m_CongruenceTest;
  const std::vector<double> converged = analysis.m_Converged;
  for (size_t k = 0; k < 18; ++k) x1[k] += 25.0 * (k % 3 + 1), x2[k] -= 14.0 * (k % 3);
  ASSERT_EQ(Run(CampaignFile(names, x1), CampaignFile(names, x2)), 1);
  ASSERT_EQ(analysis.m_CongruenceTest.m_Steps.size(), first.m_Steps.size());
  for (size_t s = 0; s < first.m_Steps.size(); ++s) {
    EXPECT_NEAR(analysis.m_CongruenceTest.m_Steps[s].omega, first.m_Steps[s].omega, 1e-6 * first.m_Steps[s].omega);
    EXPECT_EQ(analysis.m_CongruenceTest.m_Steps[s].removed, first.m_Steps[s].removed);
  }
  for (size_t k = 0; k < 18; ++k) {
    EXPECT_NEAR(analysis.m_CongruenceTest.m_Displacement[k], first.m_Displacement[k], 1e-9);
    EXPECT_NEAR(analysis.m_Converged[k], converged[k], 0.2);
  }
}

// Campaigns without redundancy have no a-posteriori variance to pool: the a-priori one must be
// given, and the test is then chi-squared; so are the displacement file's test values when
// the campaigns' unit-weight errors are 0.
TEST_F(CongruenceFiles, NoVarianceWithoutRedundancyUnlessGiven) {
  analysis.m_Congruence = true;
  const std::vector<double> x{1, 2, 3, 4, 5, 6, 7, 8, 9};
  std::string one = CampaignFile({"A", "B", "C"}, x, 1.0);
  one.replace(0, 11, Format("%5d %5d", 3, 0));
  EXPECT_EQ(Run(one, one), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_NE(project.MessagesUtf8()[0].find(u8"没有验后方差"), std::string::npos) << project.MessagesUtf8()[0];
  analysis.m_AprioriSigma0 = 2.0;
  std::string zero = CampaignFile({"A", "B", "C"}, x, 0.0);
  zero.replace(0, 11, Format("%5d %5d", 3, 0));
  ASSERT_EQ(Run(one, zero), 1);
  EXPECT_TRUE(analysis.m_CongruenceTest.m_KnownVariance);
  EXPECT_DOUBLE_EQ(analysis.m_CongruenceTest.m_Steps[0].critical, ChiSquaredUpperQuantile(0.05, 6));
  EXPECT_NE(GbkToUtf8(ReadWholeFile(Path("dam.GPS3dFreeCongruence")).value_or("")).find(u8"验前单位权中误差 σ0 = 2.000 mm"),
            std::string::npos);
}

}  // namespace

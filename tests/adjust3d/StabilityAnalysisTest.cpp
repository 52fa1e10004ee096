// The stability analysis of two campaigns: the first weights, a pure translation, identical
// campaigns, two moved points among stable ones in a network of 200 points (the whole road:
// 3D adjustment in free-network mode, free network, stability), campaigns that do not match,
// damaged files, the iteration limit, golden files and the commands.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "adjust3d/FreeNetworkFiles.h"
#include "adjust3d/GPS3dFreeNetwork.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "adjust3d/StabilityAnalysis.h"
#include "geodesy/Encoding.h"
#include "geodesy/Matrix.h"
#include "tests/adjust3d/FreeNetworkFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;

// A campaign file of n points with the given displacements and a diagonal-dominant cofactor
// matrix.
std::string Campaign(const std::vector<std::string>& names, const std::vector<double>& x, int r = 20, double m0 = 2.0,
                     double q = 0.5) {
  std::string text = Format("%5d %5d %8.2lf\n", static_cast<int>(names.size()), r, m0);
  for (size_t i = 0; i < names.size(); ++i)
    text += Format("%16s %13.2lf %13.2lf %13.2lf\n", names[i].c_str(), x[3 * i], x[3 * i + 1], x[3 * i + 2]);
  const size_t m = x.size();
  for (size_t row = 0; row < m; ++row) {
    for (size_t c = 0; c <= row; ++c) text += Format("%13.4lf ", row == c ? q : (row % 3 == c % 3 ? -q / (m / 3.0) : 0.0));
    text += "\n";
  }
  return text;
}

class StabilityTest : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return project.dir.str() + "/" + name; }
  void WriteFile(const std::string& name, const std::string& text) const { WriteFileAtomically(Path(name), text); }
  int Run(const std::string& output = "moved.GPS3dFreeD") {
    return analysis.Run(Path("one.GPS3dFreeXXQxx"), Path("two.GPS3dFreeXXQxx"), Path(output));
  }
  std::vector<std::string> names{"A", "B", "C", "D", "E"};
  std::vector<double> x1{1.5, -2.25, 3.0, 4.5, 0.75, -1.5, -3.0, 2.0, 0.5, 0.0, 0.0, 0.0, 6.0, -4.0, 2.5};
  AdjustProject project;
  CStabilityAnalysis analysis;
};

TEST(StabilityWeights, ZeroDisplacementWeighsOneHundred) {
  const std::vector<double> p = DisplacementWeights({0.0, -0.99, 9.99, 1e6});
  EXPECT_DOUBLE_EQ(p[0], 100.0);
  EXPECT_DOUBLE_EQ(p[1], 1.0);
  EXPECT_DOUBLE_EQ(p[2], 0.1);
  EXPECT_NEAR(p[3], 1.0 / (1e6 + 0.01), 1e-20);
}

TEST_F(StabilityTest, IdenticalCampaignsStayAtZeroWithWeightsOfOneHundred) {
  WriteFile("one.GPS3dFreeXXQxx", Campaign(names, x1));
  WriteFile("two.GPS3dFreeXXQxx", Campaign(names, x1));
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(analysis.m_Iterations, 1);
  for (double d : analysis.m_d) EXPECT_EQ(d, 0.0);
  // The last (here the first) weights, as the cofactor file gives them.
  const std::string qdd = ReadWholeFile(Path("moved.GPS3dFreeQdd")).value_or("");
  const auto weights = NumbersAfter(qdd, "The final iterated Pxx of displacement in X,Y,Z");
  ASSERT_EQ(weights.size(), 15u);
  for (size_t k = 0; k < 15; ++k) {
    EXPECT_EQ(weights[k][k], 100.0);
    for (size_t c = 0; c < k; ++c) EXPECT_EQ(weights[k][c], 0.0);
  }
  const auto lines = Lines(ReadWholeFile(Path("moved.GPS3dFreeD")).value_or(""));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], Format("%16s %10.2lf %10.2lf %10.2lf %5d %10.2lf %10.2lf %10.2lf", "A", 0.0, 0.0, 0.0, 40, 0.0,
                             0.0, 0.0));
}

TEST_F(StabilityTest, PureTranslationLeavesNoDisplacement) {
  std::vector<double> x2 = x1;
  const double shift[3] = {123.45, -678.9, 42.0};
  for (size_t k = 0; k < x2.size(); ++k) x2[k] += shift[k % 3];
  WriteFile("one.GPS3dFreeXXQxx", Campaign(names, x1, 20, 2.0));
  WriteFile("two.GPS3dFreeXXQxx", Campaign(names, x2, 24, 3.0));
  ASSERT_EQ(Run(), 1);
  EXPECT_LE(analysis.m_Iterations, 3);
  for (double d : analysis.m_d) EXPECT_NEAR(d, 0.0, 1e-9);
  EXPECT_EQ(analysis.m_Freedom, 44);
  EXPECT_DOUBLE_EQ(analysis.m_Variance, (4.0 + 9.0) / 2);
  for (const auto& row : NumbersAfter(ReadWholeFile(Path("moved.GPS3dFreeD")).value_or(""), "")) {
    ASSERT_EQ(row.size(), 7u);
    for (int a : {0, 1, 2, 4, 5, 6}) EXPECT_EQ(std::fabs(row[a]), 0.0);
    EXPECT_EQ(row[3], 44.0);
  }
}

TEST_F(StabilityTest, TestValuesFromTheFinalDisplacementsAndCofactors) {
  std::vector<double> x2 = x1;
  x2[4] += 30.0;  // B moves 3 cm in y
  WriteFile("one.GPS3dFreeXXQxx", Campaign(names, x1));
  WriteFile("two.GPS3dFreeXXQxx", Campaign(names, x2));
  ASSERT_EQ(Run(), 1);
  // Four of five stable: the L1 datum keeps them at zero and B carries the whole movement.
  for (size_t k = 0; k < 15; ++k) EXPECT_NEAR(analysis.m_d[k], k == 4 ? 30.0 : 0.0, 0.05) << k;
  for (size_t k = 0; k < 15; ++k)
    EXPECT_DOUBLE_EQ(analysis.m_Test[k],
                     analysis.m_d[k] * analysis.m_d[k] / analysis.m_Q[PackedIndex(k, k)] / analysis.m_Variance);
  // The cofactors are those of S (Q1 + Q2) S^T for the final weights, as the dense Lagrange
  // solution gives them.
  std::vector<double> Q(TriangleSize(5), 0.0);
  for (size_t r = 0; r < 15; ++r)
    for (size_t c = 0; c <= r; ++c) Q[PackedIndex(r, c)] = 2 * (r == c ? 0.5 : (r % 3 == c % 3 ? -0.1 : 0.0));
  std::vector<double> G(45, 0.0);
  for (size_t k = 0; k < 15; ++k) G[3 * k + k % 3] = 1.0;
  const Dense QS = DenseTransform(LagrangeS(G, analysis.m_Weights), Q);
  for (size_t r = 0; r < 15; ++r)
    for (size_t c = 0; c <= r; ++c) EXPECT_NEAR(analysis.m_Q[PackedIndex(r, c)], QS[r][c], 1e-12);
}

// ---------------------------------------------------------------------------------------------
// Campaigns that do not match, damaged files, the limit of the iteration.

// The campaigns are matched by name: another order gives the same files; a point of one
// campaign only is named in a message and left out, the rest analysed.
TEST_F(StabilityTest, CampaignsAreMatchedByName) {
  std::vector<double> x2 = x1;
  x2[4] += 30.0;
  WriteFile("one.GPS3dFreeXXQxx", Campaign(names, x1));
  WriteFile("two.GPS3dFreeXXQxx", Campaign(names, x2));
  ASSERT_EQ(Run("in-order.GPS3dFreeD"), 1);
  const std::vector<size_t> order{0, 1, 3, 2, 4};
  std::vector<std::string> shuffled;
  std::vector<double> y2;
  for (size_t i : order) {
    shuffled.push_back(names[i]);
    for (int a = 0; a < 3; ++a) y2.push_back(x2[3 * i + a]);
  }
  WriteFile("two.GPS3dFreeXXQxx", Campaign(shuffled, y2));
  ASSERT_EQ(Run(), 1);
  EXPECT_TRUE(project.MessagesUtf8().empty());
  for (const char* ext : {".GPS3dFreeD", ".GPS3dFreeQdd"})
    EXPECT_EQ(ReadWholeFile(Path(std::string("moved") + ext)), ReadWholeFile(Path(std::string("in-order") + ext)));

  const std::vector<std::string> four{"A", "B", "C", "D"};
  WriteFile("two.GPS3dFreeXXQxx", Campaign(four, std::vector<double>(x2.begin(), x2.end() - 3)));
  ASSERT_EQ(Run(), 1);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_EQ(project.MessagesUtf8()[0], u8"两期观测按点名对应，共同点4个参与稳定性分析。只在第一期文件" +
                                           Path("one.GPS3dFreeXXQxx") + u8"中的点：E；只在第二期文件" +
                                           Path("two.GPS3dFreeXXQxx") + u8"中的点：无");
  EXPECT_EQ(Lines(ReadWholeFile(Path("moved.GPS3dFreeD")).value_or("")).size(), 4u);
  EXPECT_EQ(analysis.m_PointName, four);
}

TEST_F(StabilityTest, TruncatedCampaignIsNamedAndNothingIsWritten) {
  WriteFile("one.GPS3dFreeXXQxx", Campaign(names, x1));
  std::string two = Campaign(names, x1);
  WriteFile("two.GPS3dFreeXXQxx", two.substr(0, two.size() - 60));
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_EQ(project.MessagesUtf8()[0], u8"文件" + Path("two.GPS3dFreeXXQxx") +
                                           u8"不完整或已损坏：文件头给出5个点，协因数阵应有120项，只读到116项!");
  EXPECT_FALSE(fs::exists(Path("moved.GPS3dFreeD")));
  EXPECT_FALSE(fs::exists(Path("moved.GPS3dFreeQdd")));
}

TEST_F(StabilityTest, IterationThatDoesNotSettleIsReported) {
  std::vector<double> x2 = x1;
  for (double& v : x2) v += 100.0;
  x2[4] += 30.0;
  WriteFile("one.GPS3dFreeXXQxx", Campaign(names, x1));
  WriteFile("two.GPS3dFreeXXQxx", Campaign(names, x2));
  analysis.m_IterationLimit = 1;  // the first step takes out the shift; a second would settle
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_EQ(project.MessagesUtf8()[0], u8"稳定性分析迭代1次后位移仍未收敛(每次变化超过3.0 mm)，不输出结果!");
  EXPECT_FALSE(fs::exists(Path("moved.GPS3dFreeD")));
}

TEST_F(StabilityTest, NoTestValueWithoutAVarianceFactor) {
  WriteFile("one.GPS3dFreeXXQxx", Campaign(names, x1, 20, 0.0));
  WriteFile("two.GPS3dFreeXXQxx", Campaign(names, x1, 20, 0.0));
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_EQ(project.MessagesUtf8()[0], u8"点A的位移协因数为0.9600，两期单位权中误差为0.00和0.00，无法计算检验统计量!");
  EXPECT_FALSE(fs::exists(Path("moved.GPS3dFreeD")));
}

// Campaigns no free network writes: a negative redundancy, one name for every point, and
// coordinates whose displacements are beyond a double (they gave "inf" and "nan" test values).
struct UnusableCampaigns {
  const char* name;
  std::string one, two;
  const char* message;
};
class StabilityRefusal : public StabilityTest, public testing::WithParamInterface<UnusableCampaigns> {};

TEST_P(StabilityRefusal, IsNamedAndNothingIsWritten) {
  WriteFile("one.GPS3dFreeXXQxx", GetParam().one);
  WriteFile("two.GPS3dFreeXXQxx", GetParam().two);
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_NE(project.MessagesUtf8()[0].find(GetParam().message), std::string::npos) << project.MessagesUtf8()[0];
  EXPECT_FALSE(fs::exists(Path("moved.GPS3dFreeD")));
  EXPECT_FALSE(fs::exists(Path("moved.GPS3dFreeQdd")));
}

const std::vector<std::string> kFiveNames{"A", "B", "C", "D", "E"};
const std::vector<double> kCampaignX{1.5, -2.25, 3.0, 4.5, 0.75, -1.5, -3.0, 2.0, 0.5, 0.0, 0.0, 0.0, 6.0, -4.0, 2.5};

// The first campaign with point C's northing replaced by a number of 300 digits.
std::string WithHugeCoordinate(const std::string& campaign, const char* value) {
  std::string text = campaign;
  const std::string line = Format("%16s %13.2lf", "C", -3.0);
  return text.replace(text.find(line), line.size(), Format("%16s %s", "C", value));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StabilityRefusal,
    testing::Values(
        UnusableCampaigns{"NegativeRedundancy", Campaign(kFiveNames, kCampaignX, -3), Campaign(kFiveNames, kCampaignX),
                          u8"的多余观测数为-3，不能为负数"},
        UnusableCampaigns{"EveryPointNamedA", Campaign({"A", "A", "A", "A", "A"}, kCampaignX),
                          Campaign({"A", "A", "A", "A", "A"}, kCampaignX), u8"中点名A出现了不止一次"},
        UnusableCampaigns{"DisplacementBeyondADouble", WithHugeCoordinate(Campaign(kFiveNames, kCampaignX), "-1e308"),
                          WithHugeCoordinate(Campaign(kFiveNames, kCampaignX), "1e308"),
                          u8"点C的位移(inf mm)或其检验统计量不是有限数值"},
        UnusableCampaigns{"TestValueBeyondADouble", Campaign(kFiveNames, kCampaignX),
                          WithHugeCoordinate(Campaign(kFiveNames, kCampaignX), "1e300"),
                          u8"或其检验统计量不是有限数值：文件"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StabilityTest, ResultsNeverReplaceAnInput) {
  WriteFile("one.GPS3dFreeXXQxx", Campaign(names, x1));
  WriteFile("two.GPS3dFreeXXQxx", Campaign(names, x1));
  EXPECT_EQ(Run("two.GPS3dFreeXXQxx"), 0);
  EXPECT_EQ(project.MessagesUtf8().back(),
            u8"结果文件" + Path("two.GPS3dFreeXXQxx") + u8"就是输入文件，请另选输出位移文件!");
  EXPECT_EQ(ReadWholeFile(Path("two.GPS3dFreeXXQxx")), Campaign(names, x1));
}

struct CofactorName {
  const char* name;
  const char* output;
  const char* cofactors;
};
class StabilityCofactorFile : public testing::TestWithParam<CofactorName> {};
TEST_P(StabilityCofactorFile, IsCutBeforeTheFirstGps3d) {
  EXPECT_EQ(CStabilityAnalysis::CofactorFileName(GetParam().output), GetParam().cofactors);
}
INSTANTIATE_TEST_SUITE_P(Names, StabilityCofactorFile,
                         testing::Values(CofactorName{"Extension", "/m/dam.GPS3dFreeD", "/m/dam.GPS3dFreeQdd"},
                                         CofactorName{"LowerCaseExtension", "/m/dam.gps3dfreed", "/m/dam.GPS3dFreeQdd"},
                                         CofactorName{"ExtensionTwice", "/m/dam.GPS3dFreeD.GPS3dFreeD",
                                                      "/m/dam.GPS3dFreeQdd"},
                                         CofactorName{"Gps3dInTheFolderOnly", "/m/a.GPS3d.x/dam.txt",
                                                      "/m/a.GPS3d.x/dam.txt.GPS3dFreeQdd"},
                                         CofactorName{"NoExtension", "dam", "dam.GPS3dFreeQdd"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Golden files: a small pair checked by hand once.

TEST_F(StabilityTest, GoldenFilesByteForByte) {
  const std::string dir = std::string(VEMO_TEST_DATA_DIR) + "/freenet/";
  ASSERT_EQ(analysis.Run(dir + "one.GPS3dFreeXXQxx", dir + "two.GPS3dFreeXXQxx", Path("dam.GPS3dFreeD")), 1);
  EXPECT_TRUE(project.MessagesUtf8().empty());
  const bool update = std::getenv("VEMO_UPDATE_GOLDEN") != nullptr;
  for (const char* ext : {"GPS3dFreeD", "GPS3dFreeQdd"}) {
    const std::string actual = ReadWholeFile(Path(std::string("dam.") + ext)).value_or(""), path = dir + "dam." + ext;
    if (update) WriteFileAtomically(path, actual);
    EXPECT_EQ(actual, ReadWholeFile(path).value_or("<missing golden file>")) << ext;
  }
}

// ---------------------------------------------------------------------------------------------
// Two campaigns of a network of 200 points, surveyed anew: between them two points move by
// 3 cm, one of them the point both campaigns hold. Each campaign
// goes the whole road: the 3D adjustment in free-network mode on the one known point, the free
// network with every datum weight 1; then the stability analysis.

class StabilityMonitoring : public testing::Test {
 protected:
  // Adjusts the network as a free network in the project's directory; returns its campaign
  // file (moved away from the project's name, so that the second run does not replace it).
  std::string Campaign(const SyntheticNetwork& net, const std::string& name) {
    WriteSyntheticProject(net, project.dir.str(), "net");
    Project().approxXYZFromFile = 1;
    for (const char* ext : {"GPS3dFreeXXInput", "GPS3dFreeQxxInput", "GPS3dFreeGxxInput"}) fs::remove(project.File(ext));
    CGPS3dNetAdjust adjust(0);
    adjust.m_ApproximateFile = approximate;
    EXPECT_EQ(adjust.Load(), 1);
    EXPECT_EQ(adjust.Adjust(), 1);
    CGPS3dFreeNetwork free;
    EXPECT_EQ(free.Load(), 1);
    EXPECT_EQ(free.Compute(), 1);
    const std::string path = project.dir.str() + "/" + name + ".GPS3dFreeXXQxx";
    fs::rename(project.File("GPS3dFreeXXQxx"), path);
    return path;
  }
  // The approximate coordinates of the plan: the truth rounded to the decimetre, the known
  // point first.
  void WritePlan(const SyntheticNetwork& net) const {
    std::string plan;
    for (size_t p = 0; p < net.names.size(); ++p)
      plan += Format("%16s %15.1lf %15.1lf %15.1lf\n", net.names[p].c_str(), net.x[p], net.y[p], net.z[p]);
    plan = Format("%16s %15.3lf %15.3lf %15.3lf\n", net.names[0].c_str(), net.x[0], net.y[0], net.z[0]) +
           plan.substr(plan.find('\n') + 1);
    WriteFileAtomically(approximate, plan);
  }
  AdjustProject project;
  std::string approximate = project.dir.str() + "/plan.GPS3dApproximateXYZ";
};

TEST_F(StabilityMonitoring, MovedPointsAreTheOnesFlagged) {
  const int n = 200;
  // Receivers of half the model's noise, so that 3 cm stand well clear of it.
  SyntheticNetwork first = MakeSyntheticNetwork(n, 21, 0.5, 1);
  WritePlan(first);
  const std::string one = Campaign(first, "one");

  // The second survey: the held point P0001 and P0150 moved by 3 cm, fresh noise. Both
  // campaigns hold P0001 at the coordinates of the plan, so the second one sees every other
  // point shifted by the opposite of P0001's movement: a translation that the analysis must
  // take out.
  SyntheticNetwork second = MakeSyntheticNetwork(n, 22, 1.0, 1);
  second.x = first.x, second.y = first.y, second.z = first.z;
  const std::set<int> moved = {0, 149};
  second.x[0] += 0.018, second.y[0] -= 0.012, second.z[0] += 0.021;      // 3.0 cm
  second.x[149] -= 0.020, second.y[149] += 0.020, second.z[149] -= 0.010;  // 3.0 cm
  std::mt19937_64 rng(23);
  for (SyntheticVector& v : second.vectors) {
    // The same baselines observed again: the true vector plus noise of the same size.
    std::normal_distribution<double> noise(0.0, 0.5);
    const double s[3] = {std::sqrt(v.cov[0]), std::sqrt(v.cov[1]), std::sqrt(v.cov[2])};  // cm
    v.dx = second.x[v.to] - second.x[v.from] + noise(rng) * s[0] / 100.0;
    v.dy = second.y[v.to] - second.y[v.from] + noise(rng) * s[1] / 100.0;
    v.dz = second.z[v.to] - second.z[v.from] + noise(rng) * s[2] / 100.0;
  }
  const std::string two = Campaign(second, "two");

  CStabilityAnalysis analysis;
  analysis.m_Congruence = true;
  ASSERT_EQ(analysis.Run(one, two, project.dir.str() + "/monitor.GPS3dFreeD"), 1);
  EXPECT_TRUE(project.MessagesUtf8().empty()) << project.MessagesUtf8()[0];
  // Flagged: a component whose test value exceeds the point of chi-square with one degree of
  // freedom (F(1, f) for f in the thousands) that 600 components together exceed with
  // a chance of 5 % (Bonferroni: 0.05 / 600 each, 15.5).
  constexpr double kFlagged = 15.5;
  // The rows of the displacement file by point name (the held point comes last).
  const auto lines = Lines(ReadWholeFile(project.dir.str() + "/monitor.GPS3dFreeD").value_or(""));
  const auto rows = NumbersAfter(ReadWholeFile(project.dir.str() + "/monitor.GPS3dFreeD").value_or(""), "");
  ASSERT_EQ(rows.size(), static_cast<size_t>(n));
  std::set<std::string> flagged, movedNames;
  for (int p : moved) movedNames.insert(first.names[p]);
  for (int row = 0; row < n; ++row) {
    ASSERT_EQ(rows[row].size(), 7u);
    std::string name;
    std::istringstream(lines[row]) >> name;
    const double T = *std::max_element(rows[row].begin() + 4, rows[row].end());
    const double d = std::sqrt(rows[row][0] * rows[row][0] + rows[row][1] * rows[row][1] + rows[row][2] * rows[row][2]);
    if (T > kFlagged) flagged.insert(name);
    // The translation is gone from the stable points; the moved ones carry their 3 cm.
    if (movedNames.count(name))
      EXPECT_NEAR(d, 30.0, 5.0) << name;
    else
      EXPECT_LT(d, 10.0) << name;
  }
  EXPECT_EQ(flagged, movedNames);
  // The congruence test, on the variances the adjustments estimated, names the same two.
  std::set<std::string> moves;
  for (int i = 0; i < n; ++i)
    if (analysis.m_CongruenceTest.m_Verdict[i] != CongruenceVerdict::Stable) moves.insert(analysis.m_PointName[i]);
  EXPECT_EQ(moves, movedNames);
  EXPECT_TRUE(analysis.m_CongruenceTest.m_Steps.back().passed);
  std::printf("[ figures  ] 200 points: global statistic %.2f against %.2f, stable set's %.2f against %.2f\n",
              analysis.m_CongruenceTest.m_Steps[0].statistic, analysis.m_CongruenceTest.m_Steps[0].critical,
              analysis.m_CongruenceTest.m_Steps.back().statistic, analysis.m_CongruenceTest.m_Steps.back().critical);
}

// The whole road on noise alone: 100 pairs of campaigns of a network of 16 points, each vector
// observed twice with noise of its own covariance. The congruence test at 5 % on what the
// adjustments estimated rejects about 5 pairs (99.9 % of binomial(100, 0.05) lie in [0, 13]);
// a bias in the scale of the campaign files' cofactors or unit-weight errors would move it far.
TEST_F(StabilityMonitoring, CongruenceFalseAlarmsOnNoiseAlone) {
  const int n = 16;
  const SyntheticNetwork net = MakeSyntheticNetwork(n, 31, 1.0, 1);
  WritePlan(net);
  std::mt19937_64 rng(32);
  std::normal_distribution<double> gauss(0.0, 1.0);
  auto observed = [&] {
    SyntheticNetwork again = net;
    for (SyntheticVector& v : again.vectors) {
      // Noise of the vector's covariance: its Cholesky factor (cm) times standard normals.
      const double xx = v.cov[0], yy = v.cov[1], zz = v.cov[2], xy = v.cov[3], xz = v.cov[4], yz = v.cov[5];
      const double l00 = std::sqrt(xx), l10 = xy / l00, l20 = xz / l00, l11 = std::sqrt(yy - l10 * l10),
                   l21 = (yz - l20 * l10) / l11, l22 = std::sqrt(zz - l20 * l20 - l21 * l21);
      const double z0 = gauss(rng), z1 = gauss(rng), z2 = gauss(rng);
      v.dx = net.x[v.to] - net.x[v.from] + l00 * z0 / 100.0;
      v.dy = net.y[v.to] - net.y[v.from] + (l10 * z0 + l11 * z1) / 100.0;
      v.dz = net.z[v.to] - net.z[v.from] + (l20 * z0 + l21 * z1 + l22 * z2) / 100.0;
    }
    return again;
  };
  int rejected = 0;
  double mean = 0.0;
  for (int pair = 0; pair < 100; ++pair) {
    const std::string one = Campaign(observed(), "one"), two = Campaign(observed(), "two");
    CStabilityAnalysis analysis;
    analysis.m_Congruence = true;
    ASSERT_EQ(analysis.Run(one, two, project.dir.str() + "/noise.GPS3dFreeD"), 1);
    rejected += !analysis.m_CongruenceTest.m_Steps[0].passed;
    mean += analysis.m_CongruenceTest.m_Steps[0].statistic / 100;
  }
  EXPECT_LE(rejected, 13);
  EXPECT_NEAR(mean, 1.0, 0.15);
  std::printf("[ figures  ] whole road, 16 points: %d of 100 noise-only pairs rejected at 5 %%, mean statistic %.3f\n",
              rejected, mean);
}

// ---------------------------------------------------------------------------------------------
// The commands.

TEST(StabilityCommands, FreeNetworkThenStabilityFromTheCommandLine) {
  AdjustProject fixture;  // a temporary directory and a clean process state
  test::TempDir config, work;
  const std::string dir = (work.path() / "prj").string();
  auto created = CreateProgramProject(dir, config.str());
  ASSERT_EQ(created.status, 0) << created.err;
  SyntheticNetwork net = MakeSyntheticNetwork(12, 4, 1.0, 1);
  WriteSyntheticProject(net, dir, "net");
  const std::string prj = dir + "/net.prj";
  ASSERT_EQ(RunProgram({"--project", prj, "adjust-3d"}, config.str()).status, 0);
  auto run = RunProgram({"--project", prj, "free-network", "--approx", dir + "/net.GPS3dApproximateXYZ"}, config.str());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, dir + "/net.GPS3dFreeXXInput\n" + dir + "/net.GPS3dFreeXXOut\n" + dir + "/net.GPS3dFreeQxxOut\n" +
                         dir + "/net.GPS3dFreeMxxOut\n");
  EXPECT_EQ(run.err, "");
  for (const char* ext : {"GPS3dFreeXXQxx", "GPS3dFreeENUQenu"}) EXPECT_TRUE(fs::exists(dir + "/net." + ext)) << ext;
  // Without --yes the input files are kept (the edited datum weights survive).
  const std::string xx = ReadWholeFile(dir + "/net.GPS3dFreeXXInput").value_or("");
  std::string edited = xx;
  edited.replace(edited.find(" 1.0 "), 5, " 0.0 ");
  WriteFileAtomically(dir + "/net.GPS3dFreeXXInput", edited);
  ASSERT_EQ(RunProgram({"--project", prj, "free-network", "--approx", dir + "/net.GPS3dApproximateXYZ"}, config.str())
                .status,
            0);
  EXPECT_EQ(ReadWholeFile(dir + "/net.GPS3dFreeXXInput"), edited);
  EXPECT_NE(ReadWholeFile(dir + "/net.GPS3dFreeXXOut").value_or("").find(" 0.00  "), std::string::npos);

  // The stability analysis needs no project; OUTPUT without an extension gets the default one.
  const std::string campaign = dir + "/net.GPS3dFreeXXQxx";
  auto stable = RunProgram({"stability", campaign, campaign, work.str() + "/dam"}, config.str());
  ASSERT_EQ(stable.status, 0) << stable.err;
  EXPECT_EQ(stable.out, work.str() + "/dam.GPS3dFreeQdd\n" + work.str() + "/dam.GPS3dFreeD\n");
  auto missing = RunProgram({"stability", campaign, dir + "/none.GPS3dFreeXXQxx", work.str() + "/x"}, config.str());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find(u8"打开文件" + dir + u8"/none.GPS3dFreeXXQxx出错!"), std::string::npos);
  EXPECT_EQ(RunProgram({"stability", campaign, campaign}, config.str()).status, 2);
  // The congruence report beside them on request; its options only with it.
  const std::string before = ReadWholeFile(work.str() + "/dam.GPS3dFreeD").value_or("");
  auto congruent = RunProgram({"stability", "--congruence", "--alpha", "1", campaign, campaign, work.str() + "/dam"},
                              config.str());
  ASSERT_EQ(congruent.status, 0) << congruent.err;
  EXPECT_EQ(congruent.out, work.str() + "/dam.GPS3dFreeQdd\n" + work.str() + "/dam.GPS3dFreeD\n" + work.str() +
                               "/dam.GPS3dFreeCongruence\n");
  EXPECT_EQ(ReadWholeFile(work.str() + "/dam.GPS3dFreeD").value_or(""), before);
  EXPECT_NE(GbkToUtf8(ReadWholeFile(work.str() + "/dam.GPS3dFreeCongruence").value_or("")).find(u8"显著水平 α = 1%"),
            std::string::npos);
  for (auto args : {std::vector<std::string>{"stability", "--alpha", "1", campaign, campaign, work.str() + "/x"},
                    {"stability", "--congruence", "--alpha", "60", campaign, campaign, work.str() + "/x"},
                    {"stability", "--congruence", "--sigma0", "-1", campaign, campaign, work.str() + "/x"}})
    EXPECT_EQ(RunProgram(args, config.str()).status, 2) << args[2];
  EXPECT_EQ(RunProgram({"--project", prj, "free-network"}, config.str()).status, 2);
  auto noApprox = RunProgram({"--project", prj, "free-network", "--approx", dir + "/none.xyz"}, config.str());
  EXPECT_EQ(noApprox.status, 1);
  EXPECT_NE(noApprox.err.find(u8"打开文件" + dir + u8"/none.xyz出错!"), std::string::npos);
}

}  // namespace

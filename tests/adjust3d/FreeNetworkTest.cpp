// The rank-deficient free network: the S-transformation against an independent solution with
// Lagrange multipliers, its invariants (zero mean translation, a one-point datum), the local
// frame, damaged input files, golden files, and the printf-exact number writer it relies on.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "adjust3d/FreeNetworkFiles.h"
#include "adjust3d/GPS3dFreeNetwork.h"
#include "adjust3d/STransformation.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Matrix.h"
#include "tests/adjust3d/FreeNetworkFixture.h"

namespace {
using namespace vemo;
using namespace vemo::test;

const char* const kResults[] = {"GPS3dFreeXXOut", "GPS3dFreeQxxOut", "GPS3dFreeMxxOut", "GPS3dFreeXXQxx",
                                "GPS3dFreeENUQenu"};
const std::string kRankDefectX = "Free Network with Rank Defect Result of delt_x delt_y delt_z in milimeter";
const std::string kRankDefectQ = "Free Network with Rank Defect Result of Qxx";

// ---------------------------------------------------------------------------------------------
// The number writer: the bytes of printf("%13.4lf") and friends, for any double.

TEST(FreeNetworkFixedFormat, WritesThePrintfBytes) {
  std::vector<double> values = {0.0, -0.0, 1e-9, -1e-9, 0.00005, -0.00005, 0.125, 0.375, 2.5, -2.5, 1234567.89,
                                -98765.43215, 1e20, -3.4e38, 1.7976931348623157e308, 5e-324, 0.99995, 9999.99995};
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-8, 12);
  for (int i = 0; i < 20000; ++i) values.push_back(mantissa(rng) * std::pow(10.0, exponent(rng)));
  for (const auto& [width, precision] : {std::pair{13, 4}, {13, 2}, {5, 1}, {0, 0}}) {
    for (double v : values) {
      std::string ours;
      AppendFixed(ours, v, width, precision);
      ASSERT_EQ(ours, Format("%*.*lf", width, precision, v)) << v;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// The S-transformation against the Lagrange-multiplier solution.

struct DatumCase {
  const char* name;
  std::vector<double> weights;  // per point; empty: all 1
  bool generalG;                // a datum matrix other than the translation rows
};

class FreeNetworkReference : public testing::TestWithParam<DatumCase> {};

TEST_P(FreeNetworkReference, AgreesWithLagrangeMultipliers) {
  const DatumCase& c = GetParam();
  const int n = 6;
  AdjustProject project;
  FreeInputs in = RandomInputs(n, 11);
  if (!c.weights.empty()) in.weights = c.weights;
  if (c.generalG) {
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (double& g : in.G) g = std::round((g + 0.3 * u(rng)) * 1e3) / 1e3;
  }
  in.Write(project);
  std::vector<double> p;
  for (double w : in.weights) p.insert(p.end(), 3, w);
  const Dense S = LagrangeS(in.G, p);
  const Dense QS = DenseTransform(S, in.Q);
  std::vector<double> xS(3 * n, 0.0);
  for (int r = 0; r < 3 * n; ++r)
    for (int k = 0; k < 3 * n; ++k) xS[r] += S[r][k] * in.x[k];

  CGPS3dFreeNetwork network;
  ASSERT_EQ(network.Load(), 1);
  ASSERT_EQ(network.Compute(), 1);
  EXPECT_TRUE(project.MessagesUtf8().empty());
  // In memory, to rounding.
  for (int k = 0; k < 3 * n; ++k) {
    EXPECT_NEAR(network.m_xS[k], xS[k], 1e-9) << k;
    for (int l = 0; l <= k; ++l) EXPECT_NEAR(network.m_Q[PackedIndex(k, l)], QS[k][l], 1e-10) << k << "," << l;
  }
  // In the files, to the printed digits: half a unit of the last place.
  const auto printedX = NumbersAfter(project.Read("GPS3dFreeXXOut"), kRankDefectX);
  ASSERT_EQ(printedX.size(), static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    ASSERT_EQ(printedX[i].size(), 4u);
    EXPECT_DOUBLE_EQ(printedX[i][0], std::round(in.weights[i] * 100) / 100);
    for (int a = 0; a < 3; ++a) EXPECT_NEAR(printedX[i][1 + a], xS[3 * i + a], 0.005 + 1e-9) << i;
  }
  const auto printedQ = NumbersAfter(project.Read("GPS3dFreeQxxOut"), kRankDefectQ);
  ASSERT_EQ(printedQ.size(), static_cast<size_t>(3 * n));
  for (int k = 0; k < 3 * n; ++k) {
    ASSERT_EQ(printedQ[k].size(), static_cast<size_t>(k + 1));
    for (int l = 0; l <= k; ++l) EXPECT_NEAR(printedQ[k][l], QS[k][l], 0.00005 + 1e-9) << k << "," << l;
  }
  // The campaign file carries the same xS and QS.
  const auto campaign = NumbersAfter(project.Read("GPS3dFreeXXQxx"), "");
  ASSERT_EQ(campaign.size(), static_cast<size_t>(1 + n + 3 * n));
  EXPECT_EQ(campaign[0], (std::vector<double>{double(n), double(in.redundancy), in.m0}));
  for (int i = 0; i < n; ++i)
    for (int a = 0; a < 3; ++a) EXPECT_NEAR(campaign[1 + i][a], xS[3 * i + a], 0.005 + 1e-9);
  for (int k = 0; k < 3 * n; ++k) EXPECT_NEAR(campaign[1 + n + k][k], QS[k][k], 0.00005 + 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Datums, FreeNetworkReference,
    testing::Values(DatumCase{"EveryPoint", {}, false}, DatumCase{"OnePoint", {0, 0, 1, 0, 0, 0}, false},
                    DatumCase{"PartialWeights", {1, 0, 0.5, 2.5, 0, 1}, false},
                    DatumCase{"HeldPointOutside", {1, 1, 1, 1, 1, 0}, false},
                    DatumCase{"GeneralDatumMatrix", {1, 0.5, 1, 0, 1, 1}, true}),
    [](const testing::TestParamInfo<DatumCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Invariants of the datum.

class FreeNetworkEngine : public testing::Test {
 protected:
  int Run() {
    inputs.Write(project);
    network = std::make_unique<CGPS3dFreeNetwork>();
    return network->Load() && network->Compute();
  }
  AdjustProject project;
  FreeInputs inputs = RandomInputs(8, 5);
  std::unique_ptr<CGPS3dFreeNetwork> network;
};

TEST_F(FreeNetworkEngine, EveryWeightOneGivesZeroMeanTranslation) {
  ASSERT_EQ(Run(), 1);
  const auto printed = NumbersAfter(project.Read("GPS3dFreeXXOut"), kRankDefectX);
  for (int a = 0; a < 3; ++a) {
    double sum = 0.0, printedSum = 0.0;
    for (int i = 0; i < 8; ++i) sum += network->m_xS[3 * i + a], printedSum += printed[i][1 + a];
    EXPECT_NEAR(sum, 0.0, 1e-10) << a;
    EXPECT_NEAR(printedSum, 0.0, 8 * 0.005) << a;  // each printed value off by half a unit at most
  }
  // Every row of QS sums to zero per axis as well: the datum has no translation error.
  for (int k = 0; k < 24; ++k)
    for (int a = 0; a < 3; ++a) {
      double sum = 0.0;
      for (int i = 0; i < 8; ++i) sum += network->m_Q[PackedIndex(k, 3 * i + a)];
      EXPECT_NEAR(sum, 0.0, 1e-12);
    }
}

TEST_F(FreeNetworkEngine, OnePointDatumHoldsThatPoint) {
  inputs.weights = {0, 0, 0, 1, 0, 0, 0, 0};
  ASSERT_EQ(Run(), 1);
  for (int a = 0; a < 3; ++a) {
    EXPECT_EQ(network->m_xS[9 + a], 0.0);
    for (int k = 0; k < 24; ++k) EXPECT_NEAR(network->m_Q[PackedIndex(9 + a, k)], 0.0, 1e-12);
  }
  const auto lines = Lines(project.Read("GPS3dFreeXXOut"));
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      Format("%16s %5.2lf  %13.2lf %13.2lf %13.2lf", "P004", 1.0, 0.0, 0.0, 0.0)),
            lines.end());
  // Its precision is zero in the datum; the others keep theirs.
  const auto precisions = NumbersAfter(project.Read("GPS3dFreeMxxOut"),
                                       "Free Network with Rank Defect Result of x(m), y(m), z(m) and Mx(mm), My(mm), Mz(mm)");
  ASSERT_EQ(precisions.size(), 8u);
  EXPECT_EQ((std::vector<double>(precisions[3].begin() + 3, precisions[3].end())), (std::vector<double>{0, 0, 0}));
  EXPECT_GT(precisions[0][3], 0.0);
}

TEST_F(FreeNetworkEngine, ClassicalPartRepeatsTheInput) {
  ASSERT_EQ(Run(), 1);
  const auto lines = Lines(project.Read("GPS3dFreeMxxOut"));
  ASSERT_EQ(lines[0], "Classical Free Network Result of x(m), y(m), z(m) and Mx(mm), My(mm), Mz(mm)");
  const size_t q = PackedIndex(0, 0);
  EXPECT_EQ(lines[1], Format("%16s %13.4lf %13.4lf %13.4lf %5.1lf %5.1lf %5.1lf", "P001",
                             inputs.X0[0] + inputs.x[0] / 1000, inputs.Y0[0] + inputs.x[1] / 1000,
                             inputs.Z0[0] + inputs.x[2] / 1000, inputs.m0 * std::sqrt(inputs.Q[q]),
                             inputs.m0 * std::sqrt(inputs.Q[PackedIndex(1, 1)]),
                             inputs.m0 * std::sqrt(inputs.Q[PackedIndex(2, 2)])));
  // The held point: its increments and precisions are zero.
  EXPECT_EQ(lines[8], Format("%16s %13.4lf %13.4lf %13.4lf %5.1lf %5.1lf %5.1lf", "P008", inputs.X0[7], inputs.Y0[7],
                             inputs.Z0[7], 0.0, 0.0, 0.0));
  const std::string qxx = project.Read("GPS3dFreeQxxOut");
  std::string expected = "Classical Free Network Result of Qxx\n";
  for (int r = 0; r < 24; ++r) {
    for (int c = 0; c <= r; ++c) expected += Format("%13.4lf ", inputs.Q[PackedIndex(r, c)]);
    expected += "\n";
  }
  EXPECT_EQ(qxx.substr(0, expected.size()), expected);
}

TEST_F(FreeNetworkEngine, LocalFrameRotatesEveryPointAtTheCentroid) {
  ASSERT_EQ(Run(), 1);
  // The centroid's latitude and longitude, by the library.
  GPSTransfer t(0);
  t.m_a = 6378137.0, t.m_InvF = 298.257223563;
  t.m_X = t.m_Y = t.m_Z = 0.0;
  for (int i = 0; i < 8; ++i) t.m_X += inputs.X0[i] / 8, t.m_Y += inputs.Y0[i] / 8, t.m_Z += inputs.Z0[i] / 8;
  ASSERT_EQ(t.XYZBLH(), 1);
  const double B = t.m_B, L = t.m_L;
  const double R[3][3] = {{-std::sin(L), std::cos(L), 0.0},
                          {-std::sin(B) * std::cos(L), -std::sin(B) * std::sin(L), std::cos(B)},
                          {std::cos(B) * std::cos(L), std::cos(B) * std::sin(L), std::sin(B)}};
  const auto enu = NumbersAfter(project.Read("GPS3dFreeENUQenu"), "");
  ASSERT_EQ(enu.size(), 1u + 8 + 24);
  // Dense R QS R^T with R block diagonal.
  Dense Rb(24, std::vector<double>(24, 0.0));
  for (int i = 0; i < 8; ++i)
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b) Rb[3 * i + a][3 * i + b] = R[a][b];
  const Dense Qenu = DenseTransform(Rb, network->m_Q);
  for (int i = 0; i < 8; ++i) {
    for (int a = 0; a < 3; ++a) {
      double v = 0.0;
      for (int b = 0; b < 3; ++b) v += R[a][b] * network->m_xS[3 * i + b];
      EXPECT_NEAR(enu[1 + i][a], v, 0.005 + 1e-9) << i << " " << a;
    }
    // The up component of the first point lies along the normal of the centroid.
  }
  for (int k = 0; k < 24; ++k)
    for (int l = 0; l <= k; ++l) EXPECT_NEAR(enu[9 + k][l], Qenu[k][l], 0.00005 + 1e-9) << k << "," << l;
  // A rotation keeps the trace of each point's block.
  for (int i = 0; i < 8; ++i) {
    double trace = 0.0, traceEnu = 0.0;
    for (int a = 0; a < 3; ++a) trace += network->m_Q[PackedIndex(3 * i + a, 3 * i + a)], traceEnu += Qenu[3 * i + a][3 * i + a];
    EXPECT_NEAR(trace, traceEnu, 1e-12);
  }
}

TEST_F(FreeNetworkEngine, CofactorsBeyondTheRangeOfNumbersAreRefusedAndNothingIsWritten) {
  for (double& q : inputs.Q) q = q == 0.0 ? 0.0 : 1e308;
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_NE(project.MessagesUtf8()[0].find(u8"非有限值"), std::string::npos);
  EXPECT_NE(project.MessagesUtf8()[0].find(project.File("GPS3dFreeQxxInput")), std::string::npos);
  for (const char* ext : kResults) EXPECT_FALSE(project.Exists(ext)) << ext;
}

TEST_F(FreeNetworkEngine, WeightsThatFixNoDatumAreRefusedAndNothingIsWritten) {
  inputs.weights.assign(8, 0.0);
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_NE(project.MessagesUtf8()[0].find(u8"法方程N=G'PG奇异，无法进行S变换"), std::string::npos);
  EXPECT_NE(project.MessagesUtf8()[0].find(project.File("GPS3dFreeXXInput")), std::string::npos);
  for (const char* ext : kResults) EXPECT_FALSE(project.Exists(ext)) << ext;
}

// ---------------------------------------------------------------------------------------------
// Damaged input files: a message that names the file, nothing written.

struct DamagedInput {
  const char* name;
  const char* extension;                 // the file damaged
  std::string (*damage)(std::string);    // from its sound content
  const char* message;                   // UTF-8, with %s for the file's path
};

std::string DropLastLine(std::string s) {
  s.pop_back();
  return s.substr(0, s.rfind('\n') + 1);
}

class FreeNetworkDamagedInput : public testing::TestWithParam<DamagedInput> {};

TEST_P(FreeNetworkDamagedInput, IsReportedWithItsName) {
  const DamagedInput& c = GetParam();
  AdjustProject project;
  RandomInputs(3, 1).Write(project);
  const std::string path = project.File(c.extension);
  if (c.damage)
    project.Write(c.extension, c.damage(project.Read(c.extension)));
  else
    std::remove(path.c_str());
  CGPS3dFreeNetwork network;
  EXPECT_EQ(network.Load(), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_EQ(project.MessagesUtf8()[0], Format(c.message, path.c_str()));
  for (const char* ext : kResults) EXPECT_FALSE(project.Exists(ext)) << ext;
}

INSTANTIATE_TEST_SUITE_P(
    Files, FreeNetworkDamagedInput,
    testing::Values(
        DamagedInput{"MissingCofactors", "GPS3dFreeQxxInput", nullptr, u8"打开文件%s出错!"},
        DamagedInput{"TruncatedCofactors", "GPS3dFreeQxxInput", DropLastLine,
                     u8"文件%s不完整或已损坏：文件头给出3个点，协因数阵应有45项，只读到36项!"},
        DamagedInput{"CofactorsOfAnotherNetwork", "GPS3dFreeQxxInput",
                     [](std::string s) { return s + "0.1 0.2\n"; },
                     u8"文件%s在协因数阵之后还有多余的数据(文件头给出3个点)，文件与点数不符!"},
        DamagedInput{"NotANumber", "GPS3dFreeQxxInput",
                     [](std::string s) { return "1.5x " + s; },
                     u8"文件%s第1行的\"1.5x\"不是有效的数值，文件已损坏!"},
        DamagedInput{"NanIsNoNumber", "GPS3dFreeGxxInput", [](std::string s) { return "nan" + s.substr(1); },
                     u8"文件%s第1行的\"nan\"不是有效的数值，文件已损坏!"},
        DamagedInput{"ShortDatumMatrix", "GPS3dFreeGxxInput", DropLastLine,
                     u8"文件%s不完整或已损坏：文件头给出3个点，基准矩阵G应有27项，只读到24项!"},
        DamagedInput{"MissingPointLine", "GPS3dFreeXXInput", DropLastLine,
                     u8"文件%s不完整或已损坏：文件头给出3个点，点的记录应有24项，只读到16项!"},
        DamagedInput{"HeaderOfNoCount", "GPS3dFreeXXInput", [](std::string s) { return "three" + s.substr(8); },
                     u8"文件%s的文件头有误，应为点数、多余观测数和单位权中误差!"},
        DamagedInput{"AbsurdCount", "GPS3dFreeXXInput", [](std::string s) { return "99999999" + s.substr(8); },
                     u8"文件%s不完整或已损坏：文件头给出99999999个点，文件容纳不下这些点的数据!"},
        DamagedInput{"NegativeWeight", "GPS3dFreeXXInput",
                     [](std::string s) { return s.replace(s.find(" 1  "), 4, " -1 "); },
                     u8"文件%s中点P001的基准权-1为负数，基准权应为0(不参与基准)、1(基准点)或其间的值!"}),
    [](const testing::TestParamInfo<DamagedInput>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Golden files of a small network (three points, the third held; datum weights 1, 0.5, 1),
// checked by hand against the formats once.

TEST(FreeNetworkGolden, FiveFilesByteForByte) {
  AdjustProject project;
  const std::string dir = std::string(VEMO_TEST_DATA_DIR) + "/freenet/";
  for (const char* ext : {"GPS3dFreeXXInput", "GPS3dFreeGxxInput", "GPS3dFreeQxxInput"})
    project.Write(ext, ReadWholeFile(dir + "net." + ext).value_or(""));
  CGPS3dFreeNetwork network;
  ASSERT_EQ(network.Load(), 1);
  ASSERT_EQ(network.Compute(), 1);
  EXPECT_TRUE(project.MessagesUtf8().empty());
  const bool update = std::getenv("VEMO_UPDATE_GOLDEN") != nullptr;
  for (const char* ext : kResults) {
    const std::string actual = project.Read(ext), path = dir + "net." + ext;
    if (update) WriteFileAtomically(path, actual);
    EXPECT_EQ(actual, ReadWholeFile(path).value_or("<missing golden file>")) << ext;
  }
}

// ---------------------------------------------------------------------------------------------
// The S-transformation of a larger network in place against S formed densely (sampled rows).

TEST(FreeNetworkSTransformation, InPlaceUpdateOfTwoHundredPoints) {
  const int n = 200;
  const size_t m = 3 * n;
  std::mt19937_64 rng(9);
  std::uniform_real_distribution<double> u(0.0, 2.0);
  std::vector<double> p(m);
  for (size_t k = 0; k < m; ++k) p[k] = k % 7 == 0 ? 0.0 : u(rng);
  const std::vector<double> G = TranslationDatum(n);
  CSTransformation S;
  ASSERT_TRUE(S.Build(G, p));
  // A cheap positive semi-definite Q: a diagonal plus a few dense rank-one terms.
  std::vector<double> Q(m * (m + 1) / 2, 0.0), v(m);
  for (int term = 0; term < 3; ++term) {
    for (double& e : v) e = u(rng) - 1.0;
    for (size_t k = 0; k < m; ++k)
      for (size_t l = 0; l <= k; ++l) Q[PackedIndex(k, l)] += v[k] * v[l];
  }
  for (size_t k = 0; k < m; ++k) Q[PackedIndex(k, k)] += 1.0;
  std::vector<double> QS = Q;
  S.ApplyToCofactor(QS);
  // Row r of S: e_r - H_r (PG)^T with H = G N^-1; per axis of the translation datum
  // S(r, c) = delta(r, c) - p(c) / sum of p over that axis, when r and c share the axis.
  double sums[3] = {0, 0, 0};
  for (size_t k = 0; k < m; ++k) sums[k % 3] += p[k];
  auto s = [&](size_t r, size_t c) { return (r == c ? 1.0 : 0.0) - (r % 3 == c % 3 ? p[c] / sums[r % 3] : 0.0); };
  for (size_t r : {size_t{0}, size_t{1}, size_t{5}, size_t{300}, size_t{599}}) {
    std::vector<double> SQ(m, 0.0);  // row r of S Q
    for (size_t c = 0; c < m; ++c)
      for (size_t k = 0; k < m; ++k) SQ[c] += s(r, k) * Q[PackedIndex(k, c)];
    for (size_t c = 0; c <= r; ++c) {
      double e = 0.0;
      for (size_t k = 0; k < m; ++k) e += SQ[k] * s(c, k);
      EXPECT_NEAR(QS[PackedIndex(r, c)], e, 1e-10) << r << "," << c;
    }
  }
}

}  // namespace

// The 3D vector network adjustment against a least-squares solution computed another way, and
// the rules of its redundancy, unit weight, datum and failure handling.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>

#include "adjust3d/GPS3dNetAdjust.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;
using Real = long double;

// The least-squares solution of a loaded network written without the engine's code: the
// unknowns are the coordinates themselves (no approximate values, no misclosures), the normal
// matrix is formed from the rows of the design matrix, the weights are the inverse
// covariances by the adjugate, and the system is solved by a Cholesky factorisation in long
// double.
struct Reference {
  std::vector<Real> coordinate;  // X, Y, Z of the unknown points in point order, m
  std::vector<Real> cofactor;    // diagonal of N^-1
  Real pvv = 0, m0 = 0;          // mm², mm
  int redundancy = 0;
};

void Inverse3(const Real c[3][3], Real p[3][3]) {
  const Real det = c[0][0] * (c[1][1] * c[2][2] - c[1][2] * c[2][1]) - c[0][1] * (c[1][0] * c[2][2] - c[1][2] * c[2][0]) +
                   c[0][2] * (c[1][0] * c[2][1] - c[1][1] * c[2][0]);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
      p[i][j] = (c[r0][c0] * c[r1][c1] - c[r0][c1] * c[r1][c0]) / det;
    }
}

Reference SolveIndependently(const CReadGPS3dVector& net) {
  const int k = net.m_KnownPointCount, points = net.m_PointCount, m = net.m_VectorCount;
  const int u = 3 * (points - k);
  Real meanVariance = 0;
  for (int j = 0; j < m; ++j) meanVariance += net.m_Dxx[j] + net.m_Dyy[j] + net.m_Dzz[j];
  meanVariance /= 3 * m;
  std::vector<Real> N(static_cast<size_t>(u) * u, 0), b(u, 0);
  std::vector<std::array<std::array<Real, 3>, 3>> weights(m);
  auto weightOf = [&](int j, Real P[3][3]) {
    const Real c[3][3] = {{net.m_Dxx[j], net.m_Dxy[j], net.m_Dxz[j]},
                          {net.m_Dxy[j], net.m_Dyy[j], net.m_Dyz[j]},
                          {net.m_Dxz[j], net.m_Dyz[j], net.m_Dzz[j]}};
    Inverse3(c, P);
    for (int r = 0; r < 3; ++r)
      for (int s = 0; s < 3; ++s) P[r][s] *= meanVariance;
  };
  auto column = [&](int point, int axis) { return point < k ? -1 : 3 * (point - k) + axis; };
  auto knownValue = [&](int point, int axis) -> Real {
    return axis == 0 ? net.m_X[point] : axis == 1 ? net.m_Y[point] : net.m_Z[point];
  };
  const double* observed[3] = {net.m_DX.data(), net.m_DY.data(), net.m_DZ.data()};
  for (int j = 0; j < m; ++j) {
    Real P[3][3];
    weightOf(j, P);
    const int from = net.m_From[j], to = net.m_To[j];
    // Row r: X_to(r) - X_from(r) = observed(r); known coordinates go to the right-hand side.
    Real rhs[3];
    for (int r = 0; r < 3; ++r) {
      rhs[r] = observed[r][j];
      if (from < k) rhs[r] += knownValue(from, r);
      if (to < k) rhs[r] -= knownValue(to, r);
    }
    for (int r = 0; r < 3; ++r)
      for (int s = 0; s < 3; ++s) {
        const std::pair<int, Real> rowR[2] = {{column(from, r), -1}, {column(to, r), 1}};
        const std::pair<int, Real> rowS[2] = {{column(from, s), -1}, {column(to, s), 1}};
        for (auto [cr, ar] : rowR) {
          if (cr < 0) continue;
          b[cr] += ar * P[r][s] * rhs[s];
          for (auto [cs, as] : rowS)
            if (cs >= 0) N[static_cast<size_t>(cr) * u + cs] += ar * P[r][s] * as;
        }
      }
  }
  // Cholesky N = L L^T, then L y = b, L^T x = y.
  std::vector<Real> L(static_cast<size_t>(u) * u, 0);
  for (int i = 0; i < u; ++i)
    for (int j = 0; j <= i; ++j) {
      Real s = N[static_cast<size_t>(i) * u + j];
      for (int p = 0; p < j; ++p) s -= L[static_cast<size_t>(i) * u + p] * L[static_cast<size_t>(j) * u + p];
      L[static_cast<size_t>(i) * u + j] = i == j ? std::sqrt(s) : s / L[static_cast<size_t>(j) * u + j];
    }
  std::vector<Real> y(u), x(u);
  for (int i = 0; i < u; ++i) {
    Real s = b[i];
    for (int p = 0; p < i; ++p) s -= L[static_cast<size_t>(i) * u + p] * y[p];
    y[i] = s / L[static_cast<size_t>(i) * u + i];
  }
  for (int i = u - 1; i >= 0; --i) {
    Real s = y[i];
    for (int p = i + 1; p < u; ++p) s -= L[static_cast<size_t>(p) * u + i] * x[p];
    x[i] = s / L[static_cast<size_t>(i) * u + i];
  }
  // diag(N^-1) = column sums of squares of L^-1.
  Reference ref;
  ref.coordinate = x;
  ref.cofactor.assign(u, 0);
  std::vector<Real> e(u);
  for (int c = 0; c < u; ++c) {
    std::fill(e.begin(), e.end(), Real(0));
    for (int i = c; i < u; ++i) {
      Real s = i == c ? 1 : 0;
      for (int p = c; p < i; ++p) s -= L[static_cast<size_t>(i) * u + p] * e[p];
      e[i] = s / L[static_cast<size_t>(i) * u + i];
      ref.cofactor[c] += e[i] * e[i];
    }
  }
  for (int j = 0; j < m; ++j) {
    Real P[3][3], v[3];
    weightOf(j, P);
    const int from = net.m_From[j], to = net.m_To[j];
    for (int r = 0; r < 3; ++r) {
      const Real end = to < k ? knownValue(to, r) : x[column(to, r)];
      const Real start = from < k ? knownValue(from, r) : x[column(from, r)];
      v[r] = (end - start - observed[r][j]) * 1000;
    }
    for (int r = 0; r < 3; ++r)
      for (int s = 0; s < 3; ++s) ref.pvv += v[r] * P[r][s] * v[s];
  }
  ref.redundancy = 3 * (m - (points - k));
  ref.m0 = std::sqrt(ref.pvv / ref.redundancy);
  return ref;
}

class NetAdjustTest : public testing::Test {
 protected:
  // Loads and adjusts the project; the network stays for inspection.
  int Run(int variant = 0) {
    network = std::make_unique<CGPS3dNetAdjust>(variant);
    network->m_FreeNetworkPoints = freeNetworkPoints;
    if (!network->Load()) return -1;
    return network->Adjust();
  }
  // A small network about 30°30'N 114°18'E: two known points, three unknown ones; turned by
  // `turn` (radians) about the Z axis, covariances with it, when one is given.
  void WriteSmallNetwork(bool vectorBetweenKnownPoints = false, double covarianceScale = 1.0, double turn = 0.0) {
    const double c = std::cos(turn), s = std::sin(turn);
    auto known = [&](const char* name, double x, double y, double z) {
      return KnownXYZ(name, c * x - s * y, s * x + c * y, z);
    };
    // Covariance xx, yy, zz, xy, xz, yz turned as R C R^T.
    auto vector = [&](const char* from, const char* to, double dx, double dy, double dz, std::array<double, 6> v) {
      for (double& e : v) e *= covarianceScale;
      return Vector(from, to, c * dx - s * dy, s * dx + c * dy, dz, c * c * v[0] - 2 * c * s * v[3] + s * s * v[1],
                    s * s * v[0] + 2 * c * s * v[3] + c * c * v[1], v[2], c * s * (v[0] - v[1]) + (c * c - s * s) * v[3],
                    c * v[4] - s * v[5], s * v[4] + c * v[5]);
    };
    project.Write("GPS3dKnownXYZ", known("K1", -2260788.2828, 5016590.7313, 3214662.3666) +
                                       known("K2", -2259692.1703, 5012208.3513, 3222226.2457));
    std::string v = vector("K1", "P1", -2563.1762, -1874.4797, 1118.4343, {0.21, 0.34, 0.27, 0.02, -0.01, 0.03}) +
                    vector("P1", "P2", 3764.3950, 916.3582, 1200.5152, {0.25, 0.31, 0.29, -0.02, 0.01, 0.02}) +
                    vector("P2", "K2", -105.0943, -3424.2539, 5244.9247, {0.33, 0.38, 0.41, 0.03, 0.02, -0.01}) +
                    vector("P1", "P3", 1819.0578, -620.2995, 2234.7497, {0.22, 0.30, 0.26, 0.01, 0.01, 0.01}) +
                    vector("P3", "K2", 1840.2366, -1887.5952, 4210.6898, {0.30, 0.36, 0.35, 0.02, -0.02, 0.03}) +
                    vector("P2", "P3", -1945.3379, -1536.6685, 1034.2276, {0.24, 0.28, 0.27, -0.01, 0.02, 0.01});
    if (vectorBetweenKnownPoints)
      v += vector("K1", "K2", 1096.1060, -4382.3810, 7563.8784, {0.40, 0.45, 0.50, 0.02, 0.01, 0.02});
    project.Write("GPS3dVector", v);
  }
  std::string Header(const std::string& result, const char* label) {
    for (const std::string& line : Lines(result))
      if (line.find(G(label)) != std::string::npos) return line;
    return "<none>";
  }

  AdjustProject project;
  std::unique_ptr<CGPS3dNetAdjust> network;
  std::vector<std::string> freeNetworkPoints;  // what Run asks the free network's files to hold
};

TEST_F(NetAdjustTest, AgreesWithAnIndependentLeastSquaresSolution) {
  const SyntheticNetwork truth = MakeSyntheticNetwork(200, 2024);
  WriteSyntheticProject(truth, project.dir.str(), "net");
  CReadGPS3dVector loaded(0);
  ASSERT_EQ(loaded.Load(), 1);
  const Reference ref = SolveIndependently(loaded);
  ASSERT_EQ(Run(), 1) << (project.MessagesUtf8().empty() ? "" : project.MessagesUtf8().front());
  EXPECT_TRUE(project.scope.host.messages.empty());
  const CGPS3dNetAdjust& net = *network;
  ASSERT_EQ(net.m_PointCount, 200);
  ASSERT_GT(net.m_UnknownCount, 512);  // the blocked inversion is the one tested
  EXPECT_EQ(net.m_Redundancy, ref.redundancy);

  double worstCoordinate = 0, worstPrecision = 0;
  for (int i = net.m_KnownPointCount; i < net.m_PointCount; ++i) {
    const int u = net.UnknownOf(i);
    const double adjusted[3] = {net.m_X[i], net.m_Y[i], net.m_Z[i]};
    for (int c = 0; c < 3; ++c) {
      worstCoordinate = std::max(worstCoordinate, std::fabs(adjusted[c] - static_cast<double>(ref.coordinate[u + c])));
      const double engine = std::sqrt(net.Qxx(u + c, u + c)) * net.m_M0mm / 10.0;
      const double reference = static_cast<double>(std::sqrt(ref.cofactor[u + c]) * ref.m0 / 10);
      worstPrecision = std::max(worstPrecision, std::fabs(engine / reference - 1.0));
    }
  }
  EXPECT_LT(worstCoordinate, 0.05e-3);  // m
  EXPECT_LT(worstPrecision, 1e-3);      // Mx, My, Mz
  EXPECT_NEAR(net.m_M0mm / static_cast<double>(ref.m0), 1.0, 1e-3);
  EXPECT_NEAR(net.m_PVVmm2 / static_cast<double>(ref.pvv), 1.0, 1e-3);
  // The generated noise follows the covariances: M0 is about one unit of the mean variance.
  EXPECT_GT(net.m_M0mm, 0.3);

  // The residuals of the adjusted coordinates are orthogonal to the weighted design: A^T P v = 0.
  std::vector<double> atpv(net.m_UnknownCount, 0.0), scale(net.m_UnknownCount, 0.0);
  for (int j = 0; j < net.m_VectorCount; ++j) {
    const int f = net.m_From[j], t = net.m_To[j];
    const double v[3] = {(net.m_X[t] - net.m_X[f] - net.m_DX[j]) * 1000, (net.m_Y[t] - net.m_Y[f] - net.m_DY[j]) * 1000,
                         (net.m_Z[t] - net.m_Z[f] - net.m_DZ[j]) * 1000};
    Real P[3][3];
    const Real c[3][3] = {{net.m_Dxx[j], net.m_Dxy[j], net.m_Dxz[j]},
                          {net.m_Dxy[j], net.m_Dyy[j], net.m_Dyz[j]},
                          {net.m_Dxz[j], net.m_Dyz[j], net.m_Dzz[j]}};
    Inverse3(c, P);
    for (int r = 0; r < 3; ++r) {
      double pv = 0, magnitude = 0;
      for (int s = 0; s < 3; ++s) {
        pv += static_cast<double>(P[r][s]) * v[s];
        magnitude += std::fabs(static_cast<double>(P[r][s]) * v[s]);
      }
      for (auto [point, sign] : {std::pair{f, -1.0}, std::pair{t, 1.0}})
        if (point >= net.m_KnownPointCount) {
          atpv[net.UnknownOf(point) + r] += sign * pv;
          scale[net.UnknownOf(point) + r] += magnitude;
        }
    }
  }
  for (int p = 0; p < net.m_UnknownCount; ++p) EXPECT_LT(std::fabs(atpv[p]), 1e-6 * scale[p]) << "unknown " << p;
}

// Turned about the Z axis until a known point, then a new point, lies within a decimetre of
// X = 0 (on the meridian of 90 degrees), the network adjusts as it does elsewhere; points no
// vector reaches are named without the placed one near X = 0.
TEST_F(NetAdjustTest, NetworkOnTheMeridianOfNinetyDegreesAdjustsAsElsewhere) {
  WriteSmallNetwork(true);  // K1 - K2 last: a chaining that took K1 for unplaced set it from K2
  ASSERT_EQ(Run(), 1);
  const std::vector<double> X = network->m_X, Y = network->m_Y, Z = network->m_Z;
  const double m0 = network->m_M0mm;
  for (int point : {0, 2}) {  // K1, then P1 (placed from K1 by the first vector)
    SCOPED_TRACE(point);
    const double turn = std::acos(0.03 / std::hypot(X[point], Y[point])) - std::atan2(Y[point], X[point]);
    WriteSmallNetwork(true, 1.0, turn);
    ASSERT_EQ(Run(), 1) << testing::PrintToString(project.MessagesUtf8());
    EXPECT_TRUE(project.scope.host.messages.empty());
    EXPECT_LT(std::fabs(network->m_X[point]), 0.1);
    const double c = std::cos(turn), s = std::sin(turn);
    for (int i = 0; i < network->m_PointCount; ++i) {  // turned back; the vectors were rounded to 0.1 mm
      EXPECT_NEAR(c * network->m_X[i] + s * network->m_Y[i], X[i], 2e-4) << network->m_PointName[i];
      EXPECT_NEAR(-s * network->m_X[i] + c * network->m_Y[i], Y[i], 2e-4) << network->m_PointName[i];
      EXPECT_NEAR(network->m_Z[i], Z[i], 2e-4) << network->m_PointName[i];
    }
    EXPECT_NEAR(network->m_M0mm, m0, 0.01 * m0);
  }
  project.Write("GPS3dVector", project.Read("GPS3dVector") + Vector("P4", "P5", 10.0, 20.0, 30.0) +
                                   Vector("P5", "P4", -10.0, -20.0, -30.0));
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(project.MessagesUtf8().back(), u8"点P4等2个点与已知点之间没有基线向量连接，无法计算近似坐标，不输出平差结果!");
}

TEST_F(NetAdjustTest, AllPointsKnownSaysSoAndLeavesAnEmptyResult) {
  project.Write("GPS3dKnownXYZ", KnownXYZ("K1", -2260788.2828, 5016590.7313, 3214662.3666) +
                                     KnownXYZ("K2", -2259692.1703, 5012208.3513, 3222226.2457));
  project.Write("GPS3dVector", Vector("K1", "K2", 1096.1160, -4382.3770, 7563.8770));
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(project.scope.host.messages.size(), 1u);
  EXPECT_EQ(project.scope.host.messages[0].Utf8Text(), u8"网中的2个点都是已知点,没有待定点,无需平差!");
  EXPECT_FALSE(project.Exists("GPS3dResult"));
}

TEST_F(NetAdjustTest, WithoutRedundancyTheUnitWeightIsOneCentimetre) {
  project.Write("GPS3dKnownXYZ", KnownXYZ("K1", -2260788.2828, 5016590.7313, 3214662.3666));
  project.Write("GPS3dVector", Vector("K1", "P1", -2563.1620, -1874.4965, 1118.4370) +
                                   Vector("P1", "P2", 3764.3855, 916.3588, 1200.5160, 0.3, 0.2, 0.4, 0.0, 0.0, 0.0));
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(network->m_Redundancy, 0);
  EXPECT_EQ(network->m_M0mm, 10.0);
  const std::string result = project.Read("GPS3dResult");
  EXPECT_EQ(Header(result, u8"M0="), "                      M0=         1.000(cm)");
  // With M0 = 10 mm every precision is the root of its cofactor, in cm.
  const int u = network->UnknownOf(2);
  const double mx = std::sqrt(network->Qxx(u, u));
  EXPECT_NE(result.find(Format(" %6.2f ", mx)), std::string::npos);
}

TEST_F(NetAdjustTest, AprioriUnitWeightReplacesM0ButKeepsPvv) {
  WriteSmallNetwork();
  ASSERT_EQ(Run(), 1);
  const double pvv = network->m_PVVmm2, m0 = network->m_M0mm;
  ASSERT_GT(network->m_Redundancy, 0);
  EXPECT_NEAR(m0, std::sqrt(pvv / network->m_Redundancy), 1e-12);
  project.Configuration().m_UseAprioriUnitWeight = 1;
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(network->m_M0mm, 10.0);
  EXPECT_EQ(network->m_PVVmm2, pvv);
  const std::string result = project.Read("GPS3dResult");
  EXPECT_EQ(Header(result, u8"PVV="), Format("                     PVV=%14.3lf(cm^2)", pvv / 100));
}

// The number of independent baselines of the project replaces the vector count in r, also
// when it is larger.
class IndependentBaselineCount : public NetAdjustTest, public testing::WithParamInterface<int> {};

TEST_P(IndependentBaselineCount, ReplacesTheVectorCount) {
  WriteSmallNetwork();
  project.Configuration().m_IndependentBaselineCount = GetParam();
  ASSERT_EQ(Run(), 1);
  const int g = GetParam() > 0 ? GetParam() : 6;
  EXPECT_EQ(network->m_Redundancy, 3 * (g - 3));
  EXPECT_EQ(Header(project.Read("GPS3dResult"), u8"多余观测数"),
            Format("%s%10d", G(u8"              多余观测数=").c_str(), 3 * (g - 3)));
}

INSTANTIATE_TEST_SUITE_P(Counts, IndependentBaselineCount, testing::Values(-1, 0, 4, 5, 50),
                         [](const testing::TestParamInfo<int>& info) {
                           const int n = info.param;
                           return n < 0 ? "CountMinus" + std::to_string(-n) : "Count" + std::to_string(n);
                         });

TEST_F(NetAdjustTest, VectorBetweenKnownPointsChangesPvvAndRedundancyOnly) {
  WriteSmallNetwork(false);
  ASSERT_EQ(Run(), 1);
  const std::vector<double> x = network->m_X, y = network->m_Y, z = network->m_Z;
  const double pvv = network->m_PVVmm2;
  const int r = network->m_Redundancy;
  WriteSmallNetwork(true);
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(network->m_Redundancy, r + 3);
  EXPECT_GT(std::fabs(network->m_PVVmm2 - pvv), 1e-6);
  for (int i = 0; i < network->m_PointCount; ++i) {
    EXPECT_NEAR(network->m_X[i], x[i], 1e-9);
    EXPECT_NEAR(network->m_Y[i], y[i], 1e-9);
    EXPECT_NEAR(network->m_Z[i], z[i], 1e-9);
  }
  // Listed with its residual and reliability, and in the lengths with S alone.
  const std::string result = project.Read("GPS3dResult");
  const std::string name = Format("%4d %16s %16s", 7, "K1", "K2");
  const std::string lengthOnly =
      name + Format(" %15.3lf", std::sqrt(1096.1125 * 1096.1125 + 4382.38 * 4382.38 + 7563.8791 * 7563.8791));
  int listed = 0, withLengthOnly = 0;
  for (const std::string& line : Lines(result))
    if (line.rfind(name, 0) == 0) {
      ++listed;
      withLengthOnly += line == lengthOnly;
    }
  EXPECT_EQ(withLengthOnly, 1);
  EXPECT_EQ(listed, 4);  // observation, residual, reliability, length
}

TEST_F(NetAdjustTest, ScalingEveryCovarianceChangesNothing) {
  WriteSmallNetwork(true, 1.0);
  ASSERT_EQ(Run(), 1);
  const std::string result = project.Read("GPS3dResult"), points = project.Read("GPS3dXYHEFT");
  const double pvv = network->m_PVVmm2, m0 = network->m_M0mm, x = network->m_X[3];
  // A power of two scales every step exactly: the same bytes.
  WriteSmallNetwork(true, 4.0);
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(project.Read("GPS3dResult"), result);
  EXPECT_EQ(project.Read("GPS3dXYHEFT"), points);
  // Any other factor: the same to rounding.
  WriteSmallNetwork(true, 3.7);
  ASSERT_EQ(Run(), 1);
  EXPECT_NEAR(network->m_PVVmm2, pvv, 1e-9 * pvv);
  EXPECT_NEAR(network->m_M0mm, m0, 1e-9 * m0);
  EXPECT_NEAR(network->m_X[3], x, 1e-9);
}

TEST_F(NetAdjustTest, TooFewVectorsGiveTheSystemsMessage) {
  project.Write("GPS3dKnownXYZ", KnownXYZ("K1", -2260788.2828, 5016590.7313, 3214662.3666));
  // P2 and P3 are reached from no known point: 3 m < u.
  project.Write("GPS3dVector", Vector("K1", "P1", -2563.1620, -1874.4965, 1118.4370) +
                                   Vector("P2", "P3", 3764.3855, 916.3588, 1200.5160));
  EXPECT_EQ(Run(), 0);
  const auto messages = project.MessagesUtf8();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), u8"基线向量数目不足，或者点名有误，请检查后再计算!");
  EXPECT_FALSE(project.Exists("GPS3dResult"));
  // A count of independent baselines below the unknown points does the same.
  WriteSmallNetwork();
  project.Configuration().m_IndependentBaselineCount = 2;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(project.MessagesUtf8().back(), u8"基线向量数目不足，或者点名有误，请检查后再计算!");
  EXPECT_FALSE(project.Exists("GPS3dResult"));
}

TEST_F(NetAdjustTest, ProgressDialogShowsTheStages) {
  WriteSmallNetwork();
  ASSERT_EQ(Run(), 1);
  ASSERT_EQ(project.scope.host.progress.size(), 1u);
  const RecordedProgress& p = project.scope.host.progress.front();
  ASSERT_FALSE(p.titles.empty());
  EXPECT_EQ(p.titles.back(), G(u8"三维平差"));
  EXPECT_EQ(p.percents, (std::vector<std::string>{"0%", "10%", "20%", "40%", "80%", "100%"}));
  EXPECT_GE(project.scope.host.pumps, 1);
}

// A count the option and the project file refuse, set here directly: the redundancy is
// computed without overflow rather than turning negative into "too few vectors".
TEST_F(NetAdjustTest, AHugeIndependentBaselineCountNeverOverflowsTheRedundancy) {
  WriteSmallNetwork();
  for (int g : {1000000000, INT32_MAX}) {
    project.Configuration().m_IndependentBaselineCount = g;
    ASSERT_EQ(Run(), 1) << g;
    EXPECT_EQ(network->m_Redundancy, INT32_MAX) << g;
    EXPECT_GT(network->m_M0mm, 0.0);
  }
}

// "取消" in the progress window (Ctrl-C on the command line) is read between the stages:
// the adjustment stops at the next one, says so, and writes no result.
TEST_F(NetAdjustTest, CancelStopsBetweenStagesWithoutAResult) {
  WriteSmallNetwork();
  for (int pump : {1, 2, 3, 4}) {
    project.scope.host.CancelAtPump(project.scope.host.pumps + pump);
    EXPECT_EQ(Run(), 0) << pump;
    EXPECT_EQ(project.MessagesUtf8().back(), u8"计算已取消!") << pump;
    EXPECT_FALSE(project.Exists("GPS3dResult")) << pump;
  }
}

TEST_F(NetAdjustTest, VariantOneNamesItsFilesWithTheSuffix) {
  WriteSmallNetwork();
  std::filesystem::rename(project.File("GPS3dKnownXYZ"), project.File("GPS3dKnownXYZ") + "1");
  ASSERT_EQ(Run(1), 1);
  // The approximate file too: the variant never writes over the ordinary run's files.
  for (const char* ext : {"GPS3dResult1", "GPS3dBLH1", "GPS3dXYHEFT1", "GPS3dXYH1", "GPS2dVector1", "GPS3dBLHVector1",
                          "GPS3dApproximateXYZ1"})
    EXPECT_TRUE(project.Exists(ext)) << ext;
  for (const char* ext : {"GPS3dResult", "GPS3dBLH", "GPS3dXYHEFT", "GPS3dXYH", "GPS2dVector", "GPS3dApproximateXYZ"})
    EXPECT_FALSE(project.Exists(ext)) << ext;
}

// Networks that have no sound solution: a clear message naming the cause, 0, and no result
// built on them.
struct Refusal {
  const char* name;
  std::string known, vectors;
  const char* message;
};

class RefusedNetwork : public NetAdjustTest, public testing::WithParamInterface<Refusal> {};

TEST_P(RefusedNetwork, ShowsTheCauseAndWritesNoResult) {
  project.Write("GPS3dKnownXYZ", GetParam().known);
  project.Write("GPS3dVector", GetParam().vectors);
  EXPECT_EQ(Run(), 0);
  const auto messages = project.MessagesUtf8();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), GetParam().message);
  EXPECT_FALSE(project.Exists("GPS3dResult"));
  EXPECT_FALSE(project.Exists("GPS3dBLH"));
}

const std::string kK1 = KnownXYZ("K1", -2260788.2828, 5016590.7313, 3214662.3666);

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedNetwork,
    testing::Values(
        Refusal{"NoKnownPoint", "",
                Vector("P0", "P1", -2563.1620, -1874.4965, 1118.4370) + Vector("P1", "P2", 3764.3855, 916.3588, 1200.5160),
                u8"没有三维已知点，网的位置基准无法确定(法方程奇异)，不能平差!"},
        Refusal{"DetachedPart", kK1,
                Vector("K1", "P1", -2563.1620, -1874.4965, 1118.4370) + Vector("P1", "P2", 3764.3855, 916.3588, 1200.5160) +
                    Vector("P2", "K1", -1201.2235, 958.1377, -2318.9530) + Vector("P3", "P4", 10.0, 20.0, 30.0) +
                    Vector("P4", "P5", 10.0, 20.0, 30.0),
                u8"点P3等3个点与已知点之间没有基线向量连接，无法计算近似坐标，不输出平差结果!"},
        Refusal{"NotPositiveDefinite", kK1,
                Vector("K1", "P1", -2563.1620, -1874.4965, 1118.4370) +
                    Vector("K1", "P1", -2563.1610, -1874.4955, 1118.4360, 0.2, 0.2, 0.2, 0.3, 0.0, 0.0),
                u8"第2条基线向量K1-P1的方差阵不是正定矩阵，不能平差!"},
        Refusal{"ZeroCovariance", kK1,
                Vector("K1", "P1", -2563.1620, -1874.4965, 1118.4370, 0, 0, 0, 0, 0, 0),
                u8"第1条基线向量K1-P1的方差阵不是正定矩阵，不能平差!"},
        Refusal{"FromEqualsTo", kK1,
                Vector("K1", "P1", -2563.1620, -1874.4965, 1118.4370) + Vector("P1", "P1", 0.0, 0.0, 0.0),
                u8"第2条基线向量P1-P1的起点与终点是同一点，不能平差!"}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST_F(NetAdjustTest, UnreachablePointsWriteNeitherApproximateNorPlaneFiles) {
  project.Write("GPS3dKnownXYZ", kK1);
  project.Write("GPS3dVector", Vector("K1", "P1", -2563.1620, -1874.4965, 1118.4370) +
                                   Vector("P1", "K1", 2563.1600, 1874.4985, -1118.4350) +
                                   Vector("P2", "P3", 10.0, 20.0, 30.0) + Vector("P3", "P2", -10.0, -20.0, -30.0));
  EXPECT_EQ(Run(), 0);
  const auto messages = project.MessagesUtf8();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], u8"计算近似坐标错误");
  EXPECT_EQ(messages[1], u8"点P2等2个点与已知点之间没有基线向量连接，无法计算近似坐标，不输出平差结果!");
  for (const char* ext : {"GPS3dApproximateXYZ", "GPS2dVector", "GPS3dBLHVector", "GPS3dBLH"})
    EXPECT_FALSE(project.Exists(ext)) << ext;
}

TEST_F(NetAdjustTest, ResultFileThatCannotBeCreatedStopsCleanly) {
  WriteSmallNetwork();
  std::filesystem::create_directory(project.File("GPS3dResult"));
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_EQ(project.MessagesUtf8()[0], u8"打开文件" + project.File("GPS3dResult") + u8"出错!");
  EXPECT_FALSE(project.Exists("GPS2dVector"));
}

// The free network's preparation: approximate coordinates from a file, the three input files.
class FreeNetworkFiles : public NetAdjustTest {
 protected:
  // A first run writes the approximate coordinates; the second reads them back.
  void Prepare(const std::string& known) {
    WriteSmallNetwork();
    project.Write("GPS3dKnownXYZ", known);
    ASSERT_EQ(Run(), 1);
    Project().approxXYZFromFile = 1;
    project.scope.host.QueueFiles(std::vector<std::string>{project.File("GPS3dApproximateXYZ")});
  }
};

TEST_F(FreeNetworkFiles, WrittenWithOneKnownPoint) {
  Prepare(kK1);
  ASSERT_EQ(Run(), 1);
  EXPECT_TRUE(project.scope.host.messages.empty());
  const CGPS3dNetAdjust& net = *network;
  const auto xx = Lines(project.Read("GPS3dFreeXXInput"));
  ASSERT_EQ(xx.size(), static_cast<size_t>(net.m_PointCount + 1));
  EXPECT_EQ(xx[0], Format("%8d %8d %13.4lf", net.m_PointCount, net.m_Redundancy, net.m_M0mm));
  EXPECT_EQ(xx[1], Format("%16s 1.0  %13.4lf %13.4lf %13.4lf %13.4lf %13.4lf %13.4lf", net.m_PointName[1].c_str(),
                          net.m_x[0], net.m_x[1], net.m_x[2], net.m_X[1] - net.m_x[0] / 1000, net.m_Y[1] - net.m_x[1] / 1000,
                          net.m_Z[1] - net.m_x[2] / 1000));
  EXPECT_EQ(xx.back(), Format("%16s 1.0         0.0           0.0           0.0    %13.4lf %13.4lf %13.4lf", "K1",
                              net.m_X[0], net.m_Y[0], net.m_Z[0]));
  const auto qxx = Lines(project.Read("GPS3dFreeQxxInput"));
  ASSERT_EQ(qxx.size(), static_cast<size_t>(3 * net.m_PointCount));
  EXPECT_EQ(qxx[1], Format("%13.4lf %13.4lf ", net.Qxx(1, 0), net.Qxx(1, 1)));
  std::string zeros;
  for (int q = 0; q < 3 * net.m_PointCount; ++q) zeros += Format("%13.4lf ", 0.0);
  EXPECT_EQ(qxx.back(), zeros);
  std::string g;
  for (int i = 0; i < net.m_PointCount; ++i) g += "1   0   0\n0   1   0\n0   0   1\n";
  EXPECT_EQ(project.Read("GPS3dFreeGxxInput"), g);
  // The approximate file is read, not written, in this mode.
  EXPECT_EQ(project.scope.host.fileDialogs.size(), 1u);
}

TEST_F(FreeNetworkFiles, HoldThePointsAskedForAndRefuseAnUnknownName) {
  Prepare(kK1);
  freeNetworkPoints = {"P3"};
  ASSERT_EQ(Run(), 1);
  const CGPS3dNetAdjust& net = *network;
  const int p3 = static_cast<int>(std::find(net.m_PointName.begin(), net.m_PointName.end(), "P3") - net.m_PointName.begin());
  const auto xx = Lines(project.Read("GPS3dFreeXXInput"));
  ASSERT_EQ(xx.size(), 3u);
  EXPECT_EQ(xx[0], Format("%8d %8d %13.4lf", 2, net.m_Redundancy, net.m_M0mm));
  EXPECT_EQ(xx[1].substr(0, 16), Format("%16s", "P3"));
  const int u = net.UnknownOf(p3);
  const auto qxx = Lines(project.Read("GPS3dFreeQxxInput"));
  ASSERT_EQ(qxx.size(), 6u);
  EXPECT_EQ(qxx[2], Format("%13.4lf %13.4lf %13.4lf ", net.Qxx(u + 2, u), net.Qxx(u + 2, u + 1), net.Qxx(u + 2, u + 2)));
  EXPECT_EQ(project.Read("GPS3dFreeGxxInput"), "1   0   0\n0   1   0\n0   0   1\n1   0   0\n0   1   0\n0   0   1\n");
  freeNetworkPoints = {"P3", "NOSUCH"};
  project.scope.host.QueueFiles(std::vector<std::string>{project.File("GPS3dApproximateXYZ")});
  project.scope.host.QueueAnswer(MessageAnswer::Yes);
  Run();
  EXPECT_EQ(project.MessagesUtf8().back(), u8"点NOSUCH不在网中，不产生秩亏自由网的输入文件!");
}

TEST_F(FreeNetworkFiles, ExistingFileIsKeptWhenTheAnswerIsNo) {
  Prepare(kK1);
  project.Write("GPS3dFreeQxxInput", "old\n");
  project.scope.host.QueueAnswer(MessageAnswer::No);
  ASSERT_EQ(Run(), 1);
  ASSERT_EQ(project.scope.host.messages.size(), 1u);
  const RecordedMessage& question = project.scope.host.messages[0];
  EXPECT_EQ(question.Utf8Text(), u8"文件" + project.File("GPS3dFreeQxxInput") + u8"已存在，重新产生？");
  EXPECT_EQ(question.buttons, MessageButtons::YesNo);
  EXPECT_EQ(question.icon, MessageIcon::Question);
  EXPECT_EQ(project.Read("GPS3dFreeQxxInput"), "old\n");
  EXPECT_TRUE(project.Exists("GPS3dFreeGxxInput"));
}

TEST_F(FreeNetworkFiles, RefusedWithTwoKnownPoints) {
  Prepare(KnownXYZ("K1", -2260788.2828, 5016590.7313, 3214662.3666) +
          KnownXYZ("K2", -2259692.1703, 5012208.3513, 3222226.2457));
  ASSERT_EQ(Run(), 1);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_EQ(project.MessagesUtf8()[0], u8"秩亏自由网的输入文件要求恰有一个已知点，本工程有2个已知点，不产生这些文件!");
  for (const char* ext : {"GPS3dFreeXXInput", "GPS3dFreeQxxInput", "GPS3dFreeGxxInput"})
    EXPECT_FALSE(project.Exists(ext)) << ext;
  // The adjustment itself is reported in full.
  EXPECT_NE(project.Read("GPS3dResult").find(G(u8"平差后坐标")), std::string::npos);
}

TEST_F(FreeNetworkFiles, PointsNotTiedToTheKnownPointAreRefused) {
  Prepare(kK1);
  // The approximate file gives every point coordinates, but P2, P3 and K2 (not known here) hang
  // on no known point.
  project.Write("GPS3dVector", Vector("K1", "P1", -2563.1762, -1874.4797, 1118.4343) +
                                   Vector("P1", "K1", 2563.1770, 1874.4790, -1118.4350) +
                                   Vector("P2", "P3", -1945.3379, -1536.6685, 1034.2276) +
                                   Vector("P3", "P2", 1945.3367, 1536.6641, -1034.2322));
  const std::string before = project.Read("GPS3dResult");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(project.MessagesUtf8().back(), u8"点P2等3个点与已知点之间没有基线向量连接，法方程奇异，不能平差!");
  EXPECT_EQ(project.Read("GPS3dResult"), before);  // the last complete report stays
  // With fewer vectors than that needs, the system's own message.
  project.Write("GPS3dVector", Vector("K1", "P1", -2563.1762, -1874.4797, 1118.4343) +
                                   Vector("P2", "P3", -1945.3379, -1536.6685, 1034.2276));
  project.scope.host.QueueFiles(std::vector<std::string>{project.File("GPS3dApproximateXYZ")});
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(project.MessagesUtf8().back(), u8"基线向量数目不足，或者点名有误，请检查后再计算!");
}

TEST_F(FreeNetworkFiles, ApproximateFileMustStartWithTheKnownPoints) {
  Prepare(kK1);
  project.Write("GPS3dApproximateXYZ", "P1 -2263351.459 5014716.247 3215780.805\n"
                                       "K1 -2260788.283 5016590.731 3214662.367\n"
                                       "P2 -2259587.068 5015632.606 3216981.321\nP3 -2261532.405 5014095.943 3218015.554\n"
                                       "K2 -2259692.170 5012208.351 3222226.246\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(project.MessagesUtf8().back(), u8"近似坐标文件的第1个点应为已知点K1，而不是P1，不能平差!");
}

}  // namespace

// The ellipsoidal 3D combined adjustment against a least-squares solution formulated another
// way (Cartesian corrections, the frame parameters as a cross product, the known components
// through the local north-east-up frame), a noise-free network, the rules of its redundancy and
// unit weight, the networks it refuses, its report byte for byte and its command.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "adjust3d/GPS3dCombinedAdjust.h"
#include "geodesy/Angles.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;
using Real = long double;

constexpr Real kA = 6378137.0L, kInvF = 298.257223563L;  // WGS-84, the fixture's ellipsoid
constexpr Real kSecondsPerRadian = 206264.80624709635515647L;

struct Geodetic {
  Real B, L, H;  // radians, m
};

// X, Y, Z -> B, L, H by fixed-point iteration on the latitude, in long double.
Geodetic ToGeodetic(Real X, Real Y, Real Z) {
  const Real f = 1 / kInvF, e2 = f * (2 - f);
  const Real p = std::hypot(X, Y);
  Real B = std::atan2(Z, p * (1 - e2)), H = 0;
  for (int i = 0; i < 20; ++i) {
    const Real N = kA / std::sqrt(1 - e2 * std::sin(B) * std::sin(B));
    H = p / std::cos(B) - N;
    B = std::atan2(Z, p * (1 - e2 * N / (N + H)));
  }
  return {B, std::atan2(Y, X), H};
}

// The rows of dB, dL (seconds of arc) and dH (m) per metre of dX, dY, dZ: the north, east and
// up unit vectors divided by the radii of the parallel and the meridian.
void GeodeticGradient(const Geodetic& g, Real G[3][3]) {
  const Real f = 1 / kInvF, e2 = f * (2 - f);
  const Real W = std::sqrt(1 - e2 * std::sin(g.B) * std::sin(g.B));
  const Real M = kA * (1 - e2) / (W * W * W), N = kA / W;
  const Real sB = std::sin(g.B), cB = std::cos(g.B), sL = std::sin(g.L), cL = std::cos(g.L);
  const Real north[3] = {-sB * cL, -sB * sL, cB}, east[3] = {-sL, cL, 0}, up[3] = {cB * cL, cB * sL, sB};
  for (int c = 0; c < 3; ++c) {
    G[0][c] = north[c] / (M + g.H) * kSecondsPerRadian;
    G[1][c] = east[c] / ((N + g.H) * cB) * kSecondsPerRadian;
    G[2][c] = up[c];
  }
}

// Solves the symmetric positive-definite system N x = b by Cholesky and gives N^-1 too.
void SolveDense(std::vector<Real> N, std::vector<Real> b, int n, std::vector<Real>& x, std::vector<Real>& inverse) {
  auto at = [n](std::vector<Real>& m, int i, int j) -> Real& { return m[static_cast<size_t>(i) * n + j]; };
  for (int j = 0; j < n; ++j) {
    for (int p = 0; p < j; ++p) at(N, j, j) -= at(N, j, p) * at(N, j, p);
    at(N, j, j) = std::sqrt(at(N, j, j));
    for (int i = j + 1; i < n; ++i) {
      for (int p = 0; p < j; ++p) at(N, i, j) -= at(N, i, p) * at(N, j, p);
      at(N, i, j) /= at(N, j, j);
    }
  }
  auto solve = [&](std::vector<Real> y) {
    for (int i = 0; i < n; ++i) {
      for (int p = 0; p < i; ++p) y[i] -= at(N, i, p) * y[p];
      y[i] /= at(N, i, i);
    }
    for (int i = n - 1; i >= 0; --i) {
      for (int p = i + 1; p < n; ++p) y[i] -= at(N, p, i) * y[p];
      y[i] /= at(N, i, i);
    }
    return y;
  };
  x = solve(std::move(b));
  inverse.assign(static_cast<size_t>(n) * n, 0);
  for (int c = 0; c < n; ++c) {
    std::vector<Real> e(n, 0);
    e[c] = 1;
    e = solve(e);
    for (int r = 0; r < n; ++r) inverse[static_cast<size_t>(r) * n + c] = e[r];
  }
}

// The least-squares solution of the combined model, linearised at the engine's approximate
// coordinates (the point of expansion only) but written without the engine's code: the
// unknowns are Cartesian corrections of every point, the rotations enter as Δ × ε, and each
// known component is a weighted observation of the latitude, longitude or height of its point.
struct Reference {
  std::vector<Geodetic> adjusted;      // every point
  std::vector<Real> sigmaB, sigmaL, sigmaH;  // 0.0001", 0.0001", cm
  Real rotation[3] = {0, 0, 0};        // GPS -> ground, seconds of arc
  Real scalePpm = 0;                   // GPS -> ground
  Real pvv = 0, m0 = 0;                // m², m
  int redundancy = 0;
};

Reference SolveCartesian(const CReadGPS3dCombinedNet& data, const std::vector<double>& X0, const std::vector<double>& Y0,
                         const std::vector<double>& Z0) {
  const int n = data.m_PointCount, m = data.m_VectorCount, u = 3 * n + 4;
  const Real w = 1e8;
  std::vector<Real> N(static_cast<size_t>(u) * u, 0), b(u, 0);
  struct Equation {
    std::vector<std::pair<int, Real>> terms;
    Real observed;  // minus the value at the expansion point
  };
  // Rows with their weights, accumulated into the normal equations and kept for the residuals.
  std::vector<std::pair<std::vector<Equation>, std::vector<std::vector<Real>>>> groups;
  auto add = [&](const std::vector<Equation>& rows, const std::vector<std::vector<Real>>& P) {
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t s = 0; s < rows.size(); ++s)
        for (auto [ci, ai] : rows[r].terms) {
          b[ci] += ai * P[r][s] * rows[s].observed;
          for (auto [cj, aj] : rows[s].terms) N[static_cast<size_t>(ci) * u + cj] += ai * P[r][s] * aj;
        }
    groups.push_back({rows, P});
  };
  Real meanVariance = 0;
  for (int j = 0; j < m; ++j) meanVariance += data.m_Dxx[j] + data.m_Dyy[j] + data.m_Dzz[j];
  meanVariance /= 3 * m;
  for (int j = 0; j < m; ++j) {
    const int f = data.m_From[j], t = data.m_To[j];
    const Real d[3] = {Real(X0[t]) - X0[f], Real(Y0[t]) - Y0[f], Real(Z0[t]) - Z0[f]};
    const Real observed[3] = {data.m_DX[j], data.m_DY[j], data.m_DZ[j]};
    std::vector<Equation> rows(3);
    for (int r = 0; r < 3; ++r) {
      rows[r].terms = {{3 * t + r, 1}, {3 * f + r, -1}, {u - 1, d[r]}};
      // (Δ × ε)_r = Δ_(r+1) ε_(r+2) - Δ_(r+2) ε_(r+1)
      rows[r].terms.push_back({u - 4 + (r + 2) % 3, d[(r + 1) % 3]});
      rows[r].terms.push_back({u - 4 + (r + 1) % 3, -d[(r + 2) % 3]});
      rows[r].observed = observed[r] - d[r];
    }
    // Weight: the inverse of the covariance in units of the mean variance, by the adjugate.
    const Real c[3][3] = {{data.m_Dxx[j], data.m_Dxy[j], data.m_Dxz[j]},
                          {data.m_Dxy[j], data.m_Dyy[j], data.m_Dyz[j]},
                          {data.m_Dxz[j], data.m_Dyz[j], data.m_Dzz[j]}};
    const Real det = c[0][0] * (c[1][1] * c[2][2] - c[1][2] * c[2][1]) - c[0][1] * (c[1][0] * c[2][2] - c[1][2] * c[2][0]) +
                     c[0][2] * (c[1][0] * c[2][1] - c[1][1] * c[2][0]);
    std::vector<std::vector<Real>> P(3, std::vector<Real>(3));
    for (int r = 0; r < 3; ++r)
      for (int s = 0; s < 3; ++s)
        P[r][s] = (c[(s + 1) % 3][(r + 1) % 3] * c[(s + 2) % 3][(r + 2) % 3] -
                   c[(s + 1) % 3][(r + 2) % 3] * c[(s + 2) % 3][(r + 1) % 3]) /
                  det * meanVariance;
    add(rows, P);
  }
  int constrained = 0;
  for (int i = 0; i < data.m_KnownPointCount; ++i) {
    const Geodetic g = ToGeodetic(X0[i], Y0[i], Z0[i]);
    Real G[3][3];
    GeodeticGradient(g, G);
    const int type = data.m_KnownType[i];
    const bool fixes[3] = {type >= 2, type >= 2, type != 2};
    const Real known[3] = {Real(data.m_B[i]) * kSecondsPerRadian, Real(data.m_L[i]) * kSecondsPerRadian, data.m_H[i]};
    const Real at[3] = {g.B * kSecondsPerRadian, g.L * kSecondsPerRadian, g.H};
    for (int k = 0; k < 3; ++k) {
      if (!fixes[k]) continue;
      ++constrained;
      Equation e{{{3 * i, G[k][0]}, {3 * i + 1, G[k][1]}, {3 * i + 2, G[k][2]}}, known[k] - at[k]};
      add({e}, {{w}});
    }
  }
  std::vector<Real> x, Q;
  SolveDense(N, b, u, x, Q);
  Reference ref;
  for (const auto& [rows, P] : groups) {
    std::vector<Real> v;
    for (const Equation& e : rows) {
      Real value = -e.observed;
      for (auto [c, a] : e.terms) value += a * x[c];
      v.push_back(value);
    }
    for (size_t r = 0; r < v.size(); ++r)
      for (size_t s = 0; s < v.size(); ++s) ref.pvv += v[r] * P[r][s] * v[s];
  }
  ref.redundancy = 3 * m - u + constrained;
  ref.m0 = ref.redundancy > 0 ? std::sqrt(ref.pvv / ref.redundancy) : 1;
  for (int i = 0; i < n; ++i) {
    const Geodetic g = ToGeodetic(X0[i] + x[3 * i], Y0[i] + x[3 * i + 1], Z0[i] + x[3 * i + 2]);
    ref.adjusted.push_back(g);
    Real G[3][3], q[3] = {0, 0, 0};
    GeodeticGradient(g, G);
    for (int k = 0; k < 3; ++k)
      for (int r = 0; r < 3; ++r)
        for (int s = 0; s < 3; ++s) q[k] += G[k][r] * Q[static_cast<size_t>(3 * i + r) * u + 3 * i + s] * G[k][s];
    ref.sigmaB.push_back(std::sqrt(q[0]) * ref.m0 * 10000);
    ref.sigmaL.push_back(std::sqrt(q[1]) * ref.m0 * 10000);
    ref.sigmaH.push_back(std::sqrt(q[2]) * ref.m0 * 100);
  }
  for (int a = 0; a < 3; ++a) ref.rotation[a] = -x[u - 4 + a] * kSecondsPerRadian;
  ref.scalePpm = -x[u - 1] * 1e6;
  return ref;
}

// Lines of the known file by kind: 1 height, 2 latitude and longitude, 3 all three as B, L, H;
// 4 all three as X, Y, Z. Angles in D.MMSS with more digits than the entry dialog writes, so
// that a noise-free network is reproduced to far below the printed digits.
std::string KnownLine(const std::string& name, int kind, double X, double Y, double Z) {
  // Packed D.MMSS without the rounding bias of the report writers (1e-7", 3 micrometres).
  auto packed = [](Real radians) {
    const Real degrees = radians * 180 / 3.14159265358979323846264338327950288L;
    const Real d = std::floor(degrees), minutes = (degrees - d) * 60, m = std::floor(minutes);
    return static_cast<double>(d + m / 100 + (minutes - m) * 60 / 10000);
  };
  const Geodetic g = ToGeodetic(X, Y, Z);
  const double B = packed(g.B), L = packed(g.L), H = static_cast<double>(g.H);
  switch (kind) {
    case 1: return Format("%20s %20.9lf\n", name.c_str(), H);
    case 2: return Format("%20s %25.15lf %25.15lf\n", name.c_str(), B, L);
    case 3: return Format("%20s %25.15lf %25.15lf %20.9lf\n", name.c_str(), B, L, H);
    default: return Format("%20s %20.9lf %20.9lf %20.9lf\n", name.c_str(), X, Y, Z);
  }
}

// True frame parameters of the generated vectors: the GPS vector is the ground difference Δ
// plus Δ × ε plus k Δ (rotations in radians, k a ratio).
struct Frame {
  double rotation[3];
  double scale;
};
constexpr Frame kFrame{{0.8e-6, -1.2e-6, 2.1e-6}, 1.7e-6};  // 0.17", -0.25", 0.43", 1.7 ppm

class CombinedAdjustTest : public testing::Test {
 protected:
  // Writes a generated network: known points given by (point, kind) pairs, vectors carrying
  // the frame parameters on top of the synthetic observation errors (scaled by noise).
  void WriteNetwork(int points, const std::vector<std::pair<int, int>>& known, double noise, unsigned seed = 7,
                    double spacing = 2000.0) {
    net = MakeSyntheticNetwork(points, seed, noise, 0, spacing);
    std::string knownText, vectors;
    for (auto [p, kind] : known) knownText += KnownLine(net.names[p], kind, net.x[p], net.y[p], net.z[p]);
    for (SyntheticVector& v : net.vectors) {
      const double d[3] = {net.x[v.to] - net.x[v.from], net.y[v.to] - net.y[v.from], net.z[v.to] - net.z[v.from]};
      const double* e = kFrame.rotation;
      v.dx += d[1] * e[2] - d[2] * e[1] + kFrame.scale * d[0];
      v.dy += d[2] * e[0] - d[0] * e[2] + kFrame.scale * d[1];
      v.dz += d[0] * e[1] - d[1] * e[0] + kFrame.scale * d[2];
      const auto& c = v.cov;
      // Without noise, the components are written to the nanometre rather than rounded to the
      // 0.1 mm of the import format, so that only the adjustment's own error remains.
      vectors += noise > 0.0
                     ? Vector(net.names[v.from], net.names[v.to], v.dx, v.dy, v.dz, c[0], c[1], c[2], c[3], c[4], c[5])
                     : Format("%16s %16s %20.9lf %20.9lf %20.9lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n",
                              net.names[v.from].c_str(), net.names[v.to].c_str(), v.dx, v.dy, v.dz, c[0], c[1], c[2],
                              c[3], c[4], c[5]);
    }
    project.Write("GPS3dKnownXYZ", knownText);
    project.Write("GPS3dVector", vectors);
  }
  int Run() {
    adjust = std::make_unique<CGPS3dCombinedAdjust>();
    if (!adjust->Load()) return -1;
    return adjust->Adjust();
  }
  // The true B, L, H of a generated point.
  Geodetic Truth(int p) const { return ToGeodetic(net.x[p], net.y[p], net.z[p]); }
  int Index(int p) const {
    for (int i = 0; i < adjust->m_PointCount; ++i)
      if (adjust->m_PointName[i] == net.names[p]) return i;
    return -1;
  }
  // The value after "label=" in the report header.
  double HeaderValue(const char* label) const {
    for (const std::string& line : Lines(project.Read("GPS3dBLHResult"))) {
      const size_t at = line.find(G(label));
      if (at != std::string::npos) return std::atof(line.c_str() + line.find('=', at) + 1);
    }
    return NAN;
  }

  AdjustProject project;
  SyntheticNetwork net;
  std::unique_ptr<CGPS3dCombinedAdjust> adjust;
};

TEST_F(CombinedAdjustTest, AgreesWithACartesianLeastSquaresSolution) {
  // Known points of every kind: two full positions (one as X, Y, Z), a horizontal one and two
  // heights.
  WriteNetwork(16, {{0, 3}, {15, 4}, {3, 2}, {12, 1}, {6, 1}}, 1.0);
  ASSERT_EQ(Run(), 1);
  EXPECT_TRUE(project.scope.host.messages.empty());
  CReadGPS3dCombinedNet data;
  ASSERT_EQ(data.Load(), 1);
  const Reference ref = SolveCartesian(data, adjust->m_X, adjust->m_Y, adjust->m_Z);

  // Half a unit of the last printed digit: B, L 1e-9 D.MMSS (1e-5"), H 1 mm, rotations
  // 1e-6", scale 1e-6 ppm, M0 0.001 cm.
  const double rho = CGPS3dCombinedAdjust::Rho();
  EXPECT_EQ(adjust->m_Redundancy, ref.redundancy);
  EXPECT_EQ(ref.redundancy, 3 * data.m_VectorCount - 3 * 16 - 4 + 3 + 3 + 2 + 1 + 1);
  for (int i = 0; i < data.m_PointCount; ++i) {
    SCOPED_TRACE(data.m_PointName[i]);
    EXPECT_NEAR(adjust->m_B[i] * rho, double(ref.adjusted[i].B * kSecondsPerRadian), 0.5e-5);
    EXPECT_NEAR(adjust->m_L[i] * rho, double(ref.adjusted[i].L * kSecondsPerRadian), 0.5e-5);
    EXPECT_NEAR(adjust->m_H[i], double(ref.adjusted[i].H), 0.5e-3);
    // Standard errors from the cofactors of another parametrisation: relative agreement.
    const int u = 3 * i;
    EXPECT_NEAR(std::sqrt(adjust->Qxx(u, u)) * adjust->m_M0m * 1e4, double(ref.sigmaB[i]), 1e-6 * double(ref.sigmaB[i]));
    EXPECT_NEAR(std::sqrt(adjust->Qxx(u + 1, u + 1)) * adjust->m_M0m * 1e4, double(ref.sigmaL[i]),
                1e-6 * double(ref.sigmaL[i]));
    EXPECT_NEAR(std::sqrt(adjust->Qxx(u + 2, u + 2)) * adjust->m_M0m * 100, double(ref.sigmaH[i]),
                1e-6 * double(ref.sigmaH[i]));
  }
  EXPECT_NEAR(HeaderValue(u8"旋转Ax"), double(ref.rotation[0]), 1e-6);
  EXPECT_NEAR(HeaderValue(u8"旋转Ay"), double(ref.rotation[1]), 1e-6);
  EXPECT_NEAR(HeaderValue(u8"旋转Az"), double(ref.rotation[2]), 1e-6);
  EXPECT_NEAR(HeaderValue(u8"尺度 m"), double(ref.scalePpm), 1e-6);
  EXPECT_NEAR(HeaderValue("M0"), double(ref.m0 * 100), 1e-3);
  EXPECT_NEAR(HeaderValue("PVV"), double(ref.pvv * 1e4), 1e-3);
  EXPECT_NEAR(adjust->m_M0m, double(ref.m0), 1e-7 * double(ref.m0));
  // The frame parameters found are those the vectors were made with, within their precision.
  EXPECT_NEAR(double(ref.scalePpm), -kFrame.scale * 1e6, 0.5);
  for (int a = 0; a < 3; ++a) EXPECT_NEAR(double(ref.rotation[a]), -kFrame.rotation[a] * rho, 0.2);
}

TEST_F(CombinedAdjustTest, NoiseFreeNetworkReproducesItsTrueCoordinates) {
  WriteNetwork(12, {{0, 4}, {11, 3}, {2, 2}, {8, 1}}, 0.0);
  ASSERT_EQ(Run(), 1);
  const double rho = CGPS3dCombinedAdjust::Rho();
  for (int p = 0; p < 12; ++p) {
    SCOPED_TRACE(net.names[p]);
    const int i = Index(p);
    const Geodetic t = Truth(p);
    // 1e-6" is 0.03 mm: one linear step leaves only second-order terms of the approximate
    // coordinates' offset (the frame's rotation over the network, centimetres).
    EXPECT_NEAR(adjust->m_B[i] * rho, double(t.B * kSecondsPerRadian), 1e-6);
    EXPECT_NEAR(adjust->m_L[i] * rho, double(t.L * kSecondsPerRadian), 1e-6);
    EXPECT_NEAR(adjust->m_H[i], double(t.H), 3e-5);
  }
  EXPECT_NEAR(HeaderValue(u8"尺度 m"), -kFrame.scale * 1e6, 1e-5);
  EXPECT_NEAR(HeaderValue(u8"旋转Ax"), -kFrame.rotation[0] * rho, 1e-5);
  EXPECT_NEAR(HeaderValue(u8"旋转Ay"), -kFrame.rotation[1] * rho, 1e-5);
  EXPECT_NEAR(HeaderValue(u8"旋转Az"), -kFrame.rotation[2] * rho, 1e-5);
  EXPECT_LT(HeaderValue("M0"), 0.001);
}

TEST_F(CombinedAdjustTest, HeightOnlyPointFixesItsHeightAndLeavesItsPositionFree) {
  // Two full positions and one height: exactly the seven components a datum needs. The height
  // given 5 cm above the truth tilts the ground network onto it; the vectors still fit.
  const int points = 9;
  net = MakeSyntheticNetwork(points, 3, 0.0, 0);
  const Geodetic t = Truth(4);
  std::string known = KnownLine(net.names[0], 4, net.x[0], net.y[0], net.z[0]) +
                      KnownLine(net.names[8], 4, net.x[8], net.y[8], net.z[8]) +
                      Format("%20s %20.9lf\n", net.names[4].c_str(), double(t.H) + 0.05);
  std::string vectors;
  for (const SyntheticVector& v : net.vectors) {
    const auto& c = v.cov;
    vectors += Vector(net.names[v.from], net.names[v.to], v.dx, v.dy, v.dz, c[0], c[1], c[2], c[3], c[4], c[5]);
  }
  project.Write("GPS3dKnownXYZ", known);
  project.Write("GPS3dVector", vectors);
  ASSERT_EQ(Run(), 1);
  const int i = Index(4);
  EXPECT_NEAR(adjust->m_H[i], double(t.H) + 0.05, 1e-4);
  // The tilt about the line of the two full points moves it up, hardly sideways.
  const double rho = CGPS3dCombinedAdjust::Rho();
  EXPECT_NEAR(adjust->m_B[i] * rho, double(t.B * kSecondsPerRadian), 1e-4);
  EXPECT_NEAR(adjust->m_L[i] * rho, double(t.L * kSecondsPerRadian), 1e-4);
  EXPECT_EQ(adjust->m_Redundancy, 3 * static_cast<int>(net.vectors.size()) - 3 * points - 4 + 7);
  EXPECT_LT(HeaderValue("PVV"), 1e-3);
}

TEST_F(CombinedAdjustTest, WithoutRedundancyTheUnitWeightIsOneMetre) {
  // Three points and two vectors: 6 observations and 7 constrained components against
  // 3 x 3 + 4 unknowns.
  project.Write("GPS3dKnownXYZ", KnownXYZ("K1", -2260788.2828, 5016590.7313, 3214662.3666) +
                                     KnownXYZ("K2", -2259692.1703, 5012208.3513, 3222226.2457) +
                                     Format("%20s %20.9lf\n", "P1", 60.0));
  project.Write("GPS3dVector", Vector("K1", "P1", -2563.1762, -1874.4797, 1118.4343) +
                                   Vector("K2", "P1", -3659.2887, 2507.9003, -6445.4441));
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(adjust->m_Redundancy, 0);
  EXPECT_EQ(adjust->m_M0m, 1.0);
  const auto lines = Lines(project.Read("GPS3dBLHResult"));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "                      M0=       100.000(cm)"), lines.end());
}

// The redundancy r = 3m - 3N - 4 + c on one network with different known components.
struct KnownSet {
  const char* name;
  std::vector<std::pair<int, int>> known;  // (point, kind)
  int components;
};

class CombinedRedundancy : public CombinedAdjustTest, public testing::WithParamInterface<KnownSet> {};

TEST_P(CombinedRedundancy, CountsEveryKnownComponent) {
  WriteNetwork(9, GetParam().known, 1.0);
  ASSERT_EQ(Run(), 1);
  const int expected = 3 * static_cast<int>(net.vectors.size()) - 3 * 9 - 4 + GetParam().components;
  EXPECT_EQ(adjust->m_Redundancy, expected);
  EXPECT_EQ(HeaderValue(u8"多余观测数"), expected);
  EXPECT_EQ(HeaderValue(u8"已知点数"), static_cast<double>(GetParam().known.size()));
  // Without a height off the line of the two full points, the tilt about that line rests on a
  // horizontal position alone, which sees it through the curvature only: said, not hidden.
  const auto messages = project.MessagesUtf8();
  if (std::string(GetParam().name) == "TwoFullOneHorizontal") {
    EXPECT_FALSE(messages.empty());
    for (const std::string& m : messages) EXPECT_NE(m.find(u8"大于参数本身"), std::string::npos) << m;
  } else {
    EXPECT_TRUE(messages.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Sets, CombinedRedundancy,
                         testing::Values(KnownSet{"TwoFullOneHeight", {{0, 3}, {8, 4}, {4, 1}}, 7},
                                         KnownSet{"TwoFullOneHorizontal", {{0, 3}, {8, 3}, {2, 2}}, 8},
                                         KnownSet{"ThreeFull", {{0, 4}, {8, 3}, {6, 3}}, 9},
                                         KnownSet{"AllKinds", {{0, 3}, {8, 4}, {2, 2}, {6, 1}, {4, 1}}, 10}),
                         [](const auto& info) { return std::string(info.param.name); });

// Networks without a sound solution: the message naming the cause, 0, and no result.
struct Refusal {
  const char* name;
  std::vector<std::pair<int, int>> known;
  int points;
  const char* message;
};

class CombinedRefusal : public CombinedAdjustTest, public testing::WithParamInterface<Refusal> {};

TEST_P(CombinedRefusal, NamesTheCause) {
  WriteNetwork(GetParam().points, GetParam().known, 1.0);
  EXPECT_EQ(Run(), 0);
  const auto messages = project.MessagesUtf8();
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages.back().find(GetParam().message), std::string::npos) << messages.back();
  EXPECT_EQ(project.Read("GPS3dBLHResult").find(G(u8"平差后坐标")), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CombinedRefusal,
    testing::Values(
        // One full position leaves rotation and scale to the frame parameters alone.
        Refusal{"OneFullPoint", {{0, 3}}, 9, u8"不能确定网的位置、方向和尺度"},
        // Two: the network may still turn about the line through them.
        Refusal{"TwoFullPoints", {{0, 3}, {8, 4}}, 9, u8"不能确定网的位置、方向和尺度"},
        // A horizontal point beside them does not stop that turn either, to working precision.
        Refusal{"NoTypeThree", {{0, 2}, {8, 2}, {4, 1}, {2, 1}}, 9, u8"没有同时给定B、L、H的已知点"},
        // One full position and heights: only the flattening turns the network about the
        // vertical, which no computation can resolve in working precision.
        Refusal{"OneFullPointAndHeights", {{0, 3}, {8, 1}, {4, 1}, {2, 1}, {6, 1}}, 9, u8"只有1个点给定了平面位置"},
        // Two points and one vector: 3 observations and 3 components against 10 unknowns.
        Refusal{"TooFewVectors", {{0, 3}}, 2, u8"基线向量数目不足，或者点名有误，请检查后再计算!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CombinedAdjustTest, PointWithoutAChainToAFullPositionGetsTheApproximateMessage) {
  WriteNetwork(9, {{0, 3}, {8, 4}, {4, 1}}, 1.0);
  // A vector between two points that nothing else names.
  project.Write("GPS3dVector", project.Read("GPS3dVector") + Vector("X1", "X2", 10.0, 20.0, 30.0));
  EXPECT_EQ(Run(), 0);
  const auto messages = project.MessagesUtf8();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], u8"计算近似坐标错误");
  EXPECT_NE(messages[1].find(u8"点X1等2个点"), std::string::npos) << messages[1];
  EXPECT_FALSE(project.Exists("GPS3dBLHResult"));
}

TEST_F(CombinedAdjustTest, PointOnTheMeridianOfNinetyDegreesCountsAsPlaced) {
  // K1 lies on the plane X = 0; a test of |X| for "placed" would never chain from it.
  const auto at = test::Wgs84Geocentric;
  const auto k1 = at(30.0, 90.0, 50.0), k2 = at(30.03, 90.02, 60.0), p1 = at(30.01, 90.03, 70.0);
  ASSERT_LT(std::fabs(k1[0]), 0.1);
  project.Write("GPS3dKnownXYZ", Format("%20s %20.9lf %20.9lf %20.9lf\n", "K1", 30.0, 90.0, 50.0) +
                                     KnownLine("K2", 4, k2[0], k2[1], k2[2]) +
                                     KnownLine("P1", 1, p1[0], p1[1], p1[2]));
  auto vector = [](const char* from, const char* to, const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return Vector(from, to, b[0] - a[0], b[1] - a[1], b[2] - a[2]);
  };
  project.Write("GPS3dVector", vector("P1", "K2", p1, k2) + vector("K1", "P1", k1, p1) + vector("K1", "K2", k1, k2));
  ASSERT_EQ(Run(), 1);
  EXPECT_TRUE(project.scope.host.messages.empty());
  EXPECT_NEAR(adjust->m_H[2], 70.0, 1e-3);
}

TEST_F(CombinedAdjustTest, BadVectorsAreRefusedBeforeAnythingIsComputed) {
  WriteNetwork(9, {{0, 3}, {8, 4}, {4, 1}}, 1.0);
  project.Write("GPS3dVector", project.Read("GPS3dVector") +
                                   Vector("P0001", "P0002", 1.0, 2.0, 3.0, 0.25, 0.36, 0.49, 0.5, 0.0, 0.0));
  EXPECT_EQ(Run(), 0);
  const auto messages = project.MessagesUtf8();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(u8"的方差阵不是正定矩阵"), std::string::npos);
  EXPECT_FALSE(project.Exists("GPS3dBLHResult"));
}

TEST_F(CombinedAdjustTest, ProgressDialogFormsTheNormalEquations) {
  WriteNetwork(9, {{0, 3}, {8, 4}, {4, 1}}, 1.0);
  ASSERT_EQ(Run(), 1);
  ASSERT_FALSE(project.scope.host.progress.empty());
  const RecordedProgress& p = project.scope.host.progress.front();
  ASSERT_FALSE(p.titles.empty());
  EXPECT_EQ(p.titles.back(), G(u8"组成法方程"));
  ASSERT_FALSE(p.percents.empty());
  EXPECT_EQ(p.percents.back(), "100%");
  EXPECT_GE(project.scope.host.pumps, static_cast<int>(net.vectors.size()));
}

// The report of a small network byte for byte: K1 and K2 full positions (B, L, H and X, Y, Z),
// K3 horizontal, P1 a height, P2 and P3 unknown, nine vectors.
class CombinedGolden : public testing::Test {
 protected:
  void SetUp() override {
    project.Write("GPS3dKnownXYZ", Format("%20s %20.9lf %20.9lf %20.9lf\n", "K1", 30.274402258, 114.153345812, 32.515) +
                                       KnownXYZ("K2", -2259692.1703, 5012208.3513, 3222226.2457) +
                                       Format("%20s %20.9lf %20.9lf\n", "K3", 30.303898691, 114.150357460) +
                                       Format("%20s %20.9lf\n", "P1", 35.108));
    project.Write("GPS3dVector",
                  Vector("K1", "P1", -2563.1762, -1874.4797, 1118.4343, 0.21, 0.34, 0.27, 0.02, -0.01, 0.03) +
                      Vector("P1", "P2", 3764.3950, 916.3582, 1200.5152, 0.25, 0.31, 0.29, -0.02, 0.01, 0.02) +
                      Vector("P2", "K2", -105.0943, -3424.2539, 5244.9247, 0.33, 0.38, 0.41, 0.03, 0.02, -0.01) +
                      Vector("P1", "P3", 1819.0578, -620.2995, 2234.7497, 0.22, 0.30, 0.26, 0.01, 0.01, 0.01) +
                      Vector("P3", "K2", 1840.2366, -1887.5952, 4210.6898, 0.30, 0.36, 0.35, 0.02, -0.02, 0.03) +
                      Vector("P2", "P3", -1945.3379, -1536.6685, 1034.2276, 0.24, 0.28, 0.27, -0.01, 0.02, 0.01) +
                      Vector("K1", "K2", 1096.1060, -4382.3810, 7563.8784, 0.40, 0.45, 0.50, 0.02, 0.01, 0.02) +
                      Vector("P3", "K3", 2589.0742, 340.2265, 1296.5411, 0.28, 0.33, 0.31, 0.01, -0.01, 0.02) +
                      Vector("K3", "K2", -748.8430, -2227.8275, 2914.1541, 0.26, 0.29, 0.30, 0.02, 0.01, -0.02));
  }
  AdjustProject project;
};

TEST_F(CombinedGolden, ResultFileByteForByte) {
  CGPS3dCombinedAdjust adjust;
  ASSERT_EQ(adjust.Load(), 1);
  ASSERT_EQ(adjust.Adjust(), 1);
  EXPECT_TRUE(project.scope.host.messages.empty());
  const std::string path = std::string(VEMO_TEST_DATA_DIR) + "/adjust3d/net.GPS3dBLHResult";
  const std::string actual = project.Read("GPS3dBLHResult");
  if (std::getenv("VEMO_UPDATE_GOLDEN") != nullptr) WriteFileAtomically(path, actual);
  EXPECT_EQ(actual, ReadWholeFile(path).value_or("<missing golden file>"));
}

TEST_F(CombinedGolden, CommandOpensTheReportAndShowResultPrintsIt) {
  const ProgramProject program(project, {"GPS3dKnownXYZ", "GPS3dVector"});
  ASSERT_EQ(program.created.status, 0) << program.created.err;
  auto run = program.Run({"adjust-ellipsoid"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, program.dir + "/net.GPS3dBLHResult\n");
  EXPECT_EQ(run.err, "");
  auto shown = program.Run({"show-result", "ellipsoid"});
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.out.find(u8"net 三维网联合平差结果"), std::string::npos);
  EXPECT_EQ(program.Run({"adjust-ellipsoid", "extra"}).status, 2);
  // A vector file in the flagged form of the independent baselines: the loader's message.
  const std::string vectors = program.dir + "/net.GPS3dVector";
  WriteFileAtomically(vectors, "0 " + ReadWholeFile(vectors).value_or(""));
  auto failed = program.Run({"adjust-ellipsoid"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.out, "");
  EXPECT_NE(failed.err.find(u8"在第 1 行读取数据错误!"), std::string::npos) << failed.err;
}

// A chain of nearly collinear points turns the network by 300" about its line, with a
// standard error larger still; frame parameters of ordinary size or well determined pass.
TEST(FrameParameters, LargeValuesThatTheirStandardErrorsExceedAreDoubted) {
  const double value[4] = {312.0, 0.4, -15.0, 2.0}, sigma[4] = {450.0, 2.0, 3.0, 5.0};
  EXPECT_EQ(UndeterminedFrameParameters(value, sigma), std::vector<int>{0});
  const double scale[4] = {0, 0, 0, 40.0}, scaleSigma[4] = {0, 0, 0, 41.0};
  EXPECT_EQ(UndeterminedFrameParameters(scale, scaleSigma), std::vector<int>{3});
}

}  // namespace

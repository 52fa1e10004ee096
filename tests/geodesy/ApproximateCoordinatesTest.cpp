// Approximate coordinates by chaining vectors, the reduction of the 3D vectors to geodetic and
// plane differences, and the covariance propagation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "project/AppState.h"
#include "project/data/ReadGPS2dVector.h"
#include "project/data/ReadGPS3dVector.h"
#include "geodesy/Angles.h"
#include "geodesy/ApproximateCoordinates.h"
#include "geodesy/BaselineImport.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using namespace vemo::test;

struct Link {
  int from, to;
  double dx, dy, dz;
};

// A 3D network of points (the first `known` with coordinates) and vectors.
CReadGPS3dVector Network(int known, int points, const std::vector<Link>& links) {
  CReadGPS3dVector n(0);
  n.m_KnownPointCount = known;
  n.m_PointCount = points;
  for (int i = 0; i < points; ++i) n.m_PointName.push_back(Format("N%d", i));
  n.m_X.assign(points, 0.0), n.m_Y.assign(points, 0.0), n.m_Z.assign(points, 0.0);
  for (int i = 0; i < known; ++i) n.m_X[i] = -2260788.0 + 1000 * i, n.m_Y[i] = 5016590.0, n.m_Z[i] = 3214662.0;
  for (const Link& l : links) {
    n.m_From.push_back(l.from), n.m_To.push_back(l.to);
    n.m_DX.push_back(l.dx), n.m_DY.push_back(l.dy), n.m_DZ.push_back(l.dz);
    for (auto* c : {&n.m_Dxx, &n.m_Dyy, &n.m_Dzz}) c->push_back(0.25);
    for (auto* c : {&n.m_Dxy, &n.m_Dxz, &n.m_Dyz}) c->push_back(0.01);
  }
  n.m_VectorCount = static_cast<int>(links.size());
  return n;
}

class ApproximateXYZ : public testing::Test {
 protected:
  ScopedTestHost scope;
};

// The chain K -> P1 -> P2 in either order of its vectors, and the first determination that
// wins within a pass: with P1->P2 first, the first pass sets P1 from K and then P2 from K
// directly; the second vector to P2 (from P1) is never used.
TEST_F(ApproximateXYZ, ChainsOutwardPassByPass) {
  for (bool reversed : {false, true}) {
    std::vector<Link> links = {{0, 1, 10.0, 20.0, 30.0}, {1, 2, 1.0, 2.0, 3.0}};
    if (reversed) std::swap(links[0], links[1]);
    CReadGPS3dVector n = Network(1, 3, links);
    n.m_X[2] = 99.0;  // overwritten: only known points keep their values
    ASSERT_EQ(GetApproximateGPS3dXYZ(&n), 1);
    EXPECT_EQ(n.m_X[1], n.m_X[0] + 10.0);
    EXPECT_EQ(n.m_Z[2], n.m_Z[0] + 33.0);
  }
  CReadGPS3dVector n = Network(1, 3, {{1, 2, 1.0, 2.0, 3.0}, {0, 1, 10.0, 20.0, 30.0}, {0, 2, 12.0, 22.0, 32.0}});
  ASSERT_EQ(GetApproximateGPS3dXYZ(&n), 1);
  EXPECT_EQ(n.m_X[2], n.m_X[0] + 12.0);
  EXPECT_EQ(n.m_Y[2], n.m_Y[0] + 22.0);
  // A vector towards its from-point is used backwards.
  CReadGPS3dVector back = Network(1, 2, {{1, 0, 5.0, 6.0, 7.0}});
  ASSERT_EQ(GetApproximateGPS3dXYZ(&back), 1);
  EXPECT_EQ(back.m_X[1], back.m_X[0] - 5.0);
  EXPECT_GE(scope.host.waitCursorCount, 1);
  EXPECT_EQ(scope.host.waitCursorDepth, 0);
}

TEST_F(ApproximateXYZ, VectorBetweenKnownPointsNeverChangesThem) {
  CReadGPS3dVector n = Network(2, 3, {{0, 1, 123.0, 456.0, 789.0}, {1, 2, 1.0, 1.0, 1.0}});
  const double x1 = n.m_X[1], y1 = n.m_Y[1];
  ASSERT_EQ(GetApproximateGPS3dXYZ(&n), 1);
  EXPECT_EQ(n.m_X[1], x1);
  EXPECT_EQ(n.m_Y[1], y1);
  EXPECT_EQ(n.m_X[2], x1 + 1.0);
}

// Networks in which some point cannot be reached: "计算近似坐标错误", 0, the point at 0.
struct Unreachable {
  const char* name;
  int known, points;
  std::vector<Link> links;
};

class UnreachablePoint : public ApproximateXYZ, public testing::WithParamInterface<Unreachable> {};

TEST_P(UnreachablePoint, EndsWithTheMessage) {
  const Unreachable& c = GetParam();
  CReadGPS3dVector n = Network(c.known, c.points, c.links);
  EXPECT_EQ(GetApproximateGPS3dXYZ(&n), 0);
  ASSERT_EQ(scope.host.messages.size(), 1u);
  EXPECT_EQ(scope.host.messages[0].Utf8Text(), u8"计算近似坐标错误");
  EXPECT_EQ(n.m_X[c.points - 1], 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreachablePoint,
    testing::Values(Unreachable{"DetachedPair", 1, 4, {{0, 1, 1, 1, 1}, {2, 3, 1, 1, 1}}},
                    Unreachable{"NoVectors", 1, 2, {}},
                    Unreachable{"NoKnownPoint", 0, 2, {{0, 1, 1, 1, 1}}}),
    [](const testing::TestParamInfo<Unreachable>& info) { return info.param.name; });

// On the meridians of +-90 degrees X is near 0: a known point there keeps its coordinates and
// a new point placed there carries the chain on (a test of |X| took both for unplaced).
TEST_F(ApproximateXYZ, PointsNearThePlaneXZeroCountAsPlaced) {
  CReadGPS3dVector n = Network(2, 4, {{0, 2, 2260788.05, 10.0, 10.0}, {2, 3, 5.0, 5.0, 5.0}, {3, 1, -5.0, 7.0, 7.0}});
  n.m_X[1] = 0.04;
  const double y1 = n.m_Y[1];
  std::vector<char> placed;
  ASSERT_EQ(GetApproximateGPS3dXYZ(&n, &placed), 1);
  EXPECT_EQ(n.m_X[1], 0.04);
  EXPECT_EQ(n.m_Y[1], y1);
  EXPECT_EQ(n.m_X[2], n.m_X[0] + 2260788.05);
  EXPECT_LT(std::fabs(n.m_X[2]), 0.1);
  EXPECT_EQ(n.m_X[3], n.m_X[2] + 5.0);
  EXPECT_EQ(placed, (std::vector<char>{1, 1, 1, 1}));
}

TEST_F(ApproximateXYZ, IndexOutsideThePointListIsRefusedBeforeAnyChange) {
  CReadGPS3dVector n = Network(1, 2, {{0, 1, 1, 1, 1}});
  n.m_X[1] = 42.0;
  n.m_To[0] = 2;
  EXPECT_THROW(GetApproximateGPS3dXYZ(&n), std::invalid_argument);
  EXPECT_EQ(n.m_X[1], 42.0);
  n.m_To[0] = 1;
  n.m_PointCount = 3;  // more points than the arrays hold
  EXPECT_THROW(GPS3dVectorTo2d(&n, 6378137.0, 298.257223563), std::invalid_argument);
}

TEST_F(ApproximateXYZ, PlaneTwinChainsWithItsMarker) {
  CReadGPS2dVector n(0);
  n.m_KnownPointCount = 1;
  n.m_PointCount = 3;
  n.m_X = {3371382.0, 0.0, 0.0}, n.m_Y = {524901.0, 0.0, 0.0};
  n.m_VectorCount = 2;
  n.m_From = {1, 0}, n.m_To = {2, 1};
  n.m_DX = {1.0, 10.0}, n.m_DY = {2.0, 20.0};
  ASSERT_EQ(GetApproximateGPS2dXY(&n), 1);
  EXPECT_EQ(n.m_X[2], 3371382.0 + 11.0);
  EXPECT_EQ(n.m_Y[2], 524901.0 + 22.0);
  n.m_VectorCount = 1;  // only the vector between the two unknown points
  EXPECT_EQ(GetApproximateGPS2dXY(&n), 0);
  EXPECT_EQ(n.m_X[1], -1e8);
  ASSERT_EQ(scope.host.messages.size(), 1u);
  EXPECT_EQ(scope.host.messages[0].Utf8Text(), u8"近似坐标计算失败!");
}

TEST(Cov1ToCov2, PropagatesThroughTheMatrix) {
  const double C[3][3] = {{4, 1, 2}, {1, 5, 3}, {2, 3, 6}};
  const double I[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  const double twoI[3][3] = {{2, 0, 0}, {0, 2, 0}, {0, 0, 2}};
  const double A[3][3] = {{1, 2, 0}, {0, 1, -1}, {3, 0, 1}};
  double R[3][3];
  EXPECT_EQ(Cov1ToCov2(I, C, R), 1);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(R[r][c], C[r][c]);
  Cov1ToCov2(twoI, C, R);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(R[r][c], 4 * C[r][c]);
  // A C A^T by hand: rows of A C are (6, 11, 8), (-1, 2, -3), (14, 6, 12).
  Cov1ToCov2(A, C, R);
  const double expected[3][3] = {{28, 3, 26}, {3, 5, -6}, {26, -6, 54}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(R[r][c], expected[r][c]);
}

// The vector reduction: files, formats and the propagated covariances, the latter checked
// against Jacobians taken numerically from the conversions themselves.
class VectorTo2d : public testing::Test {
 protected:
  VectorTo2d() {
    CProjectState& p = Project();
    p.projectDir = dir.str();
    p.projectName = "red";
    p.configuration.m_CentralMeridian = 114.0;
    SetGlobalVal(&p.configuration, p.projectDir, p.projectName);
  }
  std::string Read(const std::string& ext) {
    return ReadWholeFile(ProjectFileName(dir.str(), "red", ext)).value_or("<missing>");
  }
  // Geodetic (B, L, H) and plane (x, y) of geocentric coordinates.
  void Convert(const double xyz[3], double blh[3], double xy[2]) {
    GPSTransfer t(0);
    t.m_a = kA, t.m_InvF = kInvF, t.m_L0 = DmsToRadian(114.0);
    t.m_X = xyz[0], t.m_Y = xyz[1], t.m_Z = xyz[2];
    ASSERT_EQ(t.XYZBLH(), 1);
    blh[0] = t.m_B, blh[1] = t.m_L, blh[2] = t.m_H;
    ASSERT_EQ(t.BLXY(), 1);
    xy[0] = t.m_X, xy[1] = t.m_Y;
  }
  static constexpr double kA = 6378137.0, kInvF = 298.257223563;
  ScopedTestHost scope;
  TempDir dir;
};

TEST_F(VectorTo2d, WritesBothFilesWithPropagatedCovariance) {
  CReadGPS3dVector n = Network(1, 2, {{0, 1, -2563.1762, -1874.4797, 1118.4343}});
  n.m_PointName = {"K01", "P01"};
  n.m_Dxx = {0.21}, n.m_Dyy = {0.34}, n.m_Dzz = {0.27}, n.m_Dxy = {0.02}, n.m_Dxz = {-0.01}, n.m_Dyz = {0.03};
  ASSERT_EQ(GPS3dVectorTo2d(&n, kA, kInvF), 1);
  EXPECT_TRUE(scope.host.messages.empty());

  const double p1[3] = {n.m_X[0], n.m_Y[0], n.m_Z[0]};
  const double p2[3] = {p1[0] + n.m_DX[0], p1[1] + n.m_DY[0], p1[2] + n.m_DZ[0]};
  double blh1[3], blh2[3], xy1[2], xy2[2];
  Convert(p1, blh1, xy1);
  Convert(p2, blh2, xy2);
  // Numerical Jacobians at the mean point: of B, L, H and of the plane x, y.
  const double mid[3] = {(p1[0] + p2[0]) / 2, (p1[1] + p2[1]) / 2, (p1[2] + p2[2]) / 2};
  double J[3][3], K[2][3];
  for (int c = 0; c < 3; ++c) {
    double plus[3] = {mid[0], mid[1], mid[2]}, minus[3] = {mid[0], mid[1], mid[2]};
    plus[c] += 0.5, minus[c] -= 0.5;
    double bp[3], bm[3], xp[2], xm[2];
    Convert(plus, bp, xp);
    Convert(minus, bm, xm);
    for (int r = 0; r < 3; ++r) J[r][c] = bp[r] - bm[r];
    for (int r = 0; r < 2; ++r) K[r][c] = xp[r] - xm[r];
  }
  const double C[3][3] = {{0.21, 0.02, -0.01}, {0.02, 0.34, 0.03}, {-0.01, 0.03, 0.27}};
  auto propagate = [&](const double (&A)[3], const double (&B)[3]) {
    double s = 0;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) s += A[i] * C[i][j] * B[j];
    return s;
  };
  const double rho = 648000.0 / PI;
  double blh[9], plane[5];
  char from[32], to[32];
  ASSERT_EQ(std::sscanf(Read("GPS3dBLHVector").c_str(), "%s %s %lf %lf %lf %lf %lf %lf %lf %lf %lf", from, to, &blh[0],
                        &blh[1], &blh[2], &blh[3], &blh[4], &blh[5], &blh[6], &blh[7], &blh[8]),
            11);
  EXPECT_STREQ(from, "K01");
  EXPECT_STREQ(to, "P01");
  EXPECT_NEAR(blh[0], RadianToDms(blh2[0] - blh1[0]), 1e-9);
  EXPECT_NEAR(blh[1], RadianToDms(blh2[1] - blh1[1]), 1e-9);
  EXPECT_NEAR(blh[2], blh2[2] - blh1[2], 1e-4);
  EXPECT_NEAR(blh[3], rho * rho * propagate(J[0], J[0]), 1e-6 * blh[3] + 1e-9);  // printed to 1e-9
  EXPECT_NEAR(blh[4], rho * rho * propagate(J[1], J[1]), 1e-6 * blh[4] + 1e-9);
  EXPECT_NEAR(blh[5], propagate(J[2], J[2]), 1e-6 * blh[5]);
  EXPECT_NEAR(blh[7], rho * propagate(J[0], J[2]), 1e-4 * std::fabs(blh[7]) + 1e-9);
  ASSERT_EQ(std::sscanf(Read("GPS2dVector").c_str(), "%s %s %lf %lf %lf %lf %lf", from, to, &plane[0], &plane[1],
                        &plane[2], &plane[3], &plane[4]),
            7);
  EXPECT_NEAR(plane[0], xy2[0] - xy1[0], 1e-4);
  EXPECT_NEAR(plane[1], xy2[1] - xy1[1], 1e-4);
  // The plane reduction drops terms of the fourth order in the longitude difference.
  EXPECT_NEAR(plane[2], propagate(K[0], K[0]), 1e-4 * plane[2]);
  EXPECT_NEAR(plane[3], propagate(K[1], K[1]), 1e-4 * plane[3]);
  EXPECT_NEAR(plane[4], propagate(K[0], K[1]), 1e-4 * plane[2]);
  // The exact layouts.
  EXPECT_EQ(Read("GPS2dVector"), Format("%20s %20s %15.4lf %15.4lf %20.9lf %20.9lf %20.9lf\n", "K01", "P01", plane[0],
                                        plane[1], plane[2], plane[3], plane[4]));
  EXPECT_EQ(Read("GPS3dBLHVector"),
            Format("%20s %20s %15.9lf %15.9lf %15.4lf %15.9lf %15.9lf %15.9lf %15.9lf %15.9lf %15.9lf\n", "K01", "P01",
                   blh[0], blh[1], blh[2], blh[3], blh[4], blh[5], blh[6], blh[7], blh[8]));
}

TEST_F(VectorTo2d, ZeroVectorOnTheCentralMeridianGivesZeroDifferences) {
  GPSTransfer t(0);
  t.m_a = kA, t.m_InvF = kInvF, t.m_B = DmsToRadian(30.3), t.m_L = DmsToRadian(114.0), t.m_H = 50.0;
  t.BLHXYZ();
  CReadGPS3dVector n = Network(1, 2, {{0, 1, 0.0, 0.0, 0.0}});
  n.m_X[0] = t.m_X, n.m_Y[0] = t.m_Y, n.m_Z[0] = t.m_Z;
  ASSERT_EQ(GPS3dVectorTo2d(&n, kA, kInvF), 1);
  double v[9];
  char a[32], b[32];
  ASSERT_EQ(std::sscanf(Read("GPS3dBLHVector").c_str(), "%s %s %lf %lf %lf", a, b, &v[0], &v[1], &v[2]), 5);
  EXPECT_EQ(Format("%.9lf %.9lf %.4lf", v[0], v[1], v[2]), "0.000000000 0.000000000 0.0000");
  ASSERT_EQ(std::sscanf(Read("GPS2dVector").c_str(), "%s %s %lf %lf", a, b, &v[0], &v[1]), 4);
  EXPECT_EQ(Format("%.4lf %.4lf", v[0], v[1]), "0.0000 0.0000");
}

TEST_F(VectorTo2d, VariantOneWritesTheSuffixedFiles) {
  CReadGPS3dVector n = Network(1, 2, {{0, 1, 10.0, 20.0, 30.0}});
  n.m_Variant = 1;
  ASSERT_EQ(GPS3dVectorTo2d(&n, kA, kInvF), 1);
  EXPECT_NE(Read("GPS2dVector1"), "<missing>");
  EXPECT_NE(Read("GPS3dBLHVector1"), "<missing>");
  EXPECT_EQ(Read("GPS2dVector"), "<missing>");
}

TEST_F(VectorTo2d, FileThatCannotBeCreatedIsReportedBeforeAnythingIsWritten) {
  std::filesystem::create_directory(ProjectFileName(dir.str(), "red", "GPS3dBLHVector"));
  CReadGPS3dVector n = Network(1, 2, {{0, 1, 10.0, 20.0, 30.0}});
  EXPECT_EQ(GPS3dVectorTo2d(&n, kA, kInvF), 0);
  ASSERT_EQ(scope.host.messages.size(), 1u);
  EXPECT_EQ(scope.host.messages[0].Utf8Text(),
            u8"打开文件:" + ProjectFileName(dir.str(), "red", "GPS3dBLHVector") + u8"出错!");
}

TEST_F(VectorTo2d, PointOnThePolarAxisIsNamed) {
  CReadGPS3dVector n = Network(1, 2, {{1, 0, 10.0, 20.0, 30.0}});  // from N1, still at 0, 0, 0
  EXPECT_EQ(GPS3dVectorTo2d(&n, kA, kInvF), 0);
  ASSERT_EQ(scope.host.messages.size(), 1u);
  EXPECT_EQ(scope.host.messages[0].Utf8Text(), u8"点N1的坐标(0.0000, 0.0000, 0.0000)不能换算为大地坐标!");
  EXPECT_EQ(Read("GPS2dVector"), "<missing>");
}

// A national network's vectors are reduced in two halves side by side: the lines come in the
// vectors' order, each as a network of that vector alone gives it, and the message names the
// first vector that cannot be reduced, wherever its half.
TEST_F(VectorTo2d, LargeNetworkKeepsTheVectorOrderAndTheFirstFailure) {
  std::vector<Link> links;
  for (int i = 0; i < 30000; ++i) links.push_back({0, 1, 10.0 + 0.001 * i, 20.0, 30.0});
  CReadGPS3dVector n = Network(1, 3, links);
  ASSERT_EQ(GPS3dVectorTo2d(&n, kA, kInvF), 1);
  const std::vector<std::string> plane = baseline::SplitLines(Read("GPS2dVector")),
                                 blh = baseline::SplitLines(Read("GPS3dBLHVector"));
  ASSERT_EQ(plane.size(), 30000u);
  ASSERT_EQ(blh.size(), 30000u);
  for (int i : {0, 14999, 15000, 29999}) {
    CReadGPS3dVector one = Network(1, 3, {links[static_cast<size_t>(i)]});
    ASSERT_EQ(GPS3dVectorTo2d(&one, kA, kInvF), 1);
    EXPECT_EQ(plane[static_cast<size_t>(i)] + "\n", Read("GPS2dVector")) << i;
    EXPECT_EQ(blh[static_cast<size_t>(i)] + "\n", Read("GPS3dBLHVector")) << i;
  }

  links[25000].from = 2;  // N2 stays at 0, 0, 0: on the polar axis
  CReadGPS3dVector late = Network(1, 3, links);
  EXPECT_EQ(GPS3dVectorTo2d(&late, kA, kInvF), 0);
  links[5000] = {0, 1, 2260788.0, -5016590.0, 30.0};  // its end falls on the polar axis
  CReadGPS3dVector early = Network(1, 3, links);
  EXPECT_EQ(GPS3dVectorTo2d(&early, kA, kInvF), 0);
  ASSERT_EQ(scope.host.messages.size(), 2u);
  EXPECT_EQ(scope.host.messages[0].Utf8Text(), u8"点N2的坐标(0.0000, 0.0000, 0.0000)不能换算为大地坐标!");
  EXPECT_EQ(scope.host.messages[1].Utf8Text(), u8"点N1的坐标(0.0000, 0.0000, 3214692.0000)不能换算为大地坐标!");
}

}  // namespace

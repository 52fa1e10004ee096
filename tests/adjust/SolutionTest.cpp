// The adjustment core's derived quantities against computations of their own: the ellipse
// against the eigen-decomposition, a side's cofactor against the propagation written out, the
// datum check on small graphs, and the file catalogue's one-point-one-direction rule.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <numbers>

#include "adjust/NormalEquations.h"
#include "adjust/Solution.h"
#include "geodesy/ProjectFiles.h"

namespace {
using namespace vemo;

TEST(ErrorEllipse, AxesAndDirectionAreTheEigenDecompositionOfTheBlock) {
  const double qxx = 3.0, qyy = 1.0, qxy = 1.2;
  Eigen::Matrix2d Q;
  Q << qxx, qxy, qxy, qyy;
  const Eigen::SelfAdjointEigenSolver<Eigen::Matrix2d> eigen(Q);
  const CEllipse e = ErrorEllipse(qxx, qyy, qxy);
  EXPECT_NEAR(e.major, std::sqrt(eigen.eigenvalues()[1]), 1e-12);
  EXPECT_NEAR(e.minor, std::sqrt(eigen.eigenvalues()[0]), 1e-12);
  const Eigen::Vector2d v = eigen.eigenvectors().col(1);
  EXPECT_NEAR(std::tan(e.direction), v[1] / v[0], 1e-12);
  EXPECT_GE(e.direction, 0.0);
  EXPECT_LT(e.direction, std::numbers::pi);
  // A circle whose rounding leaves the minor eigenvalue below 0 has a minor axis of 0.
  EXPECT_EQ(ErrorEllipse(1.0, 1.0, 1.0 + 1e-15).minor, 0.0);
}

TEST(AdjustmentSolution, SideCofactorIsTheLengthPropagatedThroughQxx) {
  // Point 0 known; points 1 and 2 with a full 4 x 4 cofactor block.
  const double block[16] = {4, 1, 0.5, 0.2, 1, 3, 0.1, 0.4, 0.5, 0.1, 5, 1.5, 0.2, 0.4, 1.5, 2};
  CDenseNormalEquations normal;
  normal.Allocate(4);
  const int index[4] = {0, 1, 2, 3};
  const double rhs[4] = {};
  normal.Add(index, 4, block, rhs);
  ASSERT_EQ(normal.Factorize(), 1);
  CAdjustmentSolution solution;
  solution.layout = {1, 3, 2};
  solution.normal = &normal;
  solution.m0 = 0.01;

  const double d[2] = {300.0, 400.0};  // point 1 -> point 2
  const CSideCofactors side = solution.SidePrecision(1, 2, d);
  Eigen::Matrix4d N;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) N(r, c) = block[r * 4 + c];
  const Eigen::Matrix4d Q = N.inverse();
  const Eigen::Vector4d g(-0.6, -0.8, 0.6, 0.8);
  const Eigen::Vector4d h(400.0 / 250000, -300.0 / 250000, -400.0 / 250000, 300.0 / 250000);
  EXPECT_DOUBLE_EQ(side.length, 500.0);
  EXPECT_NEAR(side.qLength, g.dot(Q * g), 1e-12);
  EXPECT_NEAR(side.qDirection, h.dot(Q * h), 1e-18);
  // From the known point only the far end counts.
  EXPECT_NEAR(solution.SidePrecision(0, 1, d).qLength, (0.36 * Q(0, 0) + 0.96 * Q(0, 1) + 0.64 * Q(1, 1)), 1e-12);
  EXPECT_NEAR(solution.DifferenceCofactor(1, 2, 1), Q(1, 1) + Q(3, 3) - 2 * Q(1, 3), 1e-12);
  EXPECT_NEAR(solution.StdDev(2), 0.01 * std::sqrt(Q(2, 2)), 1e-15);
}

TEST(PointPartition, RefusesWhatNoObservationTiesToAKnownPoint) {
  CPointPartition none(3, 0);
  none.Join(0, 1);
  EXPECT_EQ(none.CheckDatum().kind, CDatumRefusal::Kind::NoKnownPoint);

  // Known 0 and 1; 2-3 tied to 1; 4-5 apart; 6 alone.
  CPointPartition net(7, 2);
  net.Join({3, 5}, {2, 4});
  net.Join(2, 1);
  const CDatumRefusal refusal = net.CheckDatum();
  EXPECT_EQ(refusal.kind, CDatumRefusal::Kind::Unconnected);
  EXPECT_EQ(refusal.firstPoint, 4);
  EXPECT_EQ(refusal.count, 3);
  EXPECT_EQ(net.Parts(), (std::vector<int>{0, 4, 6}));
  net.Join(6, 4);
  net.Join(5, 0);
  EXPECT_FALSE(net.CheckDatum());
}

TEST(ProjectFiles, OnlyKindsOfItsOwnCarryTheOneFixSuffix) {
  EXPECT_EQ(Extension(ProjectFile::Result2d, 1), "GPS2dResult1");
  EXPECT_EQ(Extension(ProjectFile::BreakthroughExtract, 1), "gtt1");
  EXPECT_EQ(Extension(ProjectFile::Distance, 1), "GPS2dDistance");  // the ground distances are shared
  EXPECT_EQ(Extension(ProjectFile::Vector3d, 1), "GPS3dVector");
  EXPECT_EQ(Extension(ProjectFile::KnownXYZ, 0), "GPS3dKnownXYZ");
}

}  // namespace

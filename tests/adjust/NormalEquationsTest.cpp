// The dense normal equations behind the engine's interface.
#include <gtest/gtest.h>

#include "adjust/NormalEquations.h"

namespace {
using vemo::CDenseNormalEquations;

TEST(DenseNormalEquations, AddsLowerTrianglesAndSkipsFixedUnknowns) {
  CDenseNormalEquations n;
  n.Allocate(3);
  // Unknowns 2 and 0 (in that order) and a fixed one: the block's (a, b) pairs land on
  // (2, 2), (0, 2) and (0, 0); U on 2 and 0.
  const int index[3] = {2, -1, 0};
  const double block[9] = {4, 0, 0, 9, 9, 0, 1, 9, 3};
  const double rhs[3] = {1, 9, 2};
  n.Add(index, 3, block, rhs);
  n.Add(index, 3, block, rhs);
  EXPECT_EQ(n.Packed(), (std::vector<double>{6, 0, 0, 2, 0, 8}));
  EXPECT_EQ(n.RightHandSide(0), 4);
  EXPECT_EQ(n.RightHandSide(1), 0);
  EXPECT_EQ(n.RightHandSide(2), 2);
  n.Clear();
  EXPECT_EQ(n.Packed(), std::vector<double>(6, 0.0));
}

TEST(DenseNormalEquations, SolvesAndGivesTheCofactors) {
  CDenseNormalEquations n;
  n.Allocate(2);
  // N = [[4, 2], [2, 3]], U = -(N x) for x = (1, -2).
  const int index[2] = {0, 1};
  const double block[4] = {4, 0, 2, 3};
  const double rhs[2] = {0, 4};
  n.Add(index, 2, block, rhs);
  ASSERT_EQ(n.Factorize(), 1);
  EXPECT_DOUBLE_EQ(n.Cofactor(0, 0), 0.375);
  EXPECT_DOUBLE_EQ(n.Cofactor(0, 1), -0.25);
  EXPECT_DOUBLE_EQ(n.Cofactor(1, 0), -0.25);
  std::vector<double> x;
  ASSERT_EQ(n.Solve(x), 1);
  ASSERT_EQ(x.size(), 2u);
  EXPECT_NEAR(x[0], 1.0, 1e-15);
  EXPECT_NEAR(x[1], -2.0, 1e-15);
}

TEST(DenseNormalEquations, SingularOrIndefiniteSystemsAreRefused) {
  for (const std::vector<double>& lower : {std::vector<double>{0, 0, 0}, std::vector<double>{1, 2, 1},
                                           std::vector<double>{-1, 0, 1}}) {
    CDenseNormalEquations n;
    n.Allocate(2);
    const int index[2] = {0, 1};
    const double block[4] = {lower[0], 0, lower[1], lower[2]}, rhs[2] = {1, 1};
    n.Add(index, 2, block, rhs);
    EXPECT_EQ(n.Factorize(), 0) << lower[0] << " " << lower[1] << " " << lower[2];
  }
}

}  // namespace

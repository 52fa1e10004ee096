#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

#include "geodesy/Matrix.h"

namespace {

// Reference: Gauss-Jordan inversion with partial pivoting on the full matrix, in long double,
// written independently of the packed routine.
std::vector<std::vector<long double>> GaussJordanInverse(std::vector<std::vector<long double>> a) {
  const size_t n = a.size();
  std::vector<std::vector<long double>> inv(n, std::vector<long double>(n, 0.0L));
  for (size_t i = 0; i < n; ++i) inv[i][i] = 1.0L;
  for (size_t col = 0; col < n; ++col) {
    size_t pivot = col;
    for (size_t r = col + 1; r < n; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    std::swap(a[col], a[pivot]);
    std::swap(inv[col], inv[pivot]);
    long double d = a[col][col];
    for (size_t c = 0; c < n; ++c) {
      a[col][c] /= d;
      inv[col][c] /= d;
    }
    for (size_t r = 0; r < n; ++r) {
      if (r == col) continue;
      long double f = a[r][col];
      for (size_t c = 0; c < n; ++c) {
        a[r][c] -= f * a[col][c];
        inv[r][c] -= f * inv[col][c];
      }
    }
  }
  return inv;
}

// A random symmetric positive-definite matrix: B^T B + n I.
std::vector<std::vector<long double>> RandomSpd(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<std::vector<double>> b(n, std::vector<double>(n));
  for (auto& row : b)
    for (auto& v : row) v = u(rng);
  std::vector<std::vector<long double>> a(n, std::vector<long double>(n, 0.0L));
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) {
      long double s = 0;
      for (size_t k = 0; k < n; ++k) s += static_cast<long double>(b[k][i]) * b[k][j];
      a[i][j] = s + (i == j ? static_cast<long double>(n) : 0.0L);
    }
  return a;
}

std::vector<double> Pack(const std::vector<std::vector<long double>>& a) {
  std::vector<double> p;
  for (size_t i = 0; i < a.size(); ++i)
    for (size_t j = 0; j <= i; ++j) p.push_back(static_cast<double>(a[i][j]));
  return p;
}

TEST(PackedIndex, LowerTriangleByRowsEitherOrder) {
  EXPECT_EQ(PackedIndex(0, 0), 0u);
  EXPECT_EQ(PackedIndex(1, 0), 1u);
  EXPECT_EQ(PackedIndex(1, 1), 2u);
  EXPECT_EQ(PackedIndex(3, 2), 8u);
  EXPECT_EQ(PackedIndex(2, 3), 8u);
}

TEST(MatrixInverse, TwoByTwoPacked) {
  std::vector<double> n{4, 2, 3};
  EXPECT_EQ(MatrixInverseForDouble(n, 2), 1);
  EXPECT_DOUBLE_EQ(n[0], 0.375);
  EXPECT_DOUBLE_EQ(n[1], -0.25);
  EXPECT_DOUBLE_EQ(n[2], 0.5);
  std::vector<long double> l{4, 2, 3};
  EXPECT_EQ(MatrixInverse(l, 2), 1);
  EXPECT_DOUBLE_EQ(static_cast<double>(l[0]), 0.375);
  EXPECT_DOUBLE_EQ(static_cast<double>(l[1]), -0.25);
  EXPECT_DOUBLE_EQ(static_cast<double>(l[2]), 0.5);
}

TEST(MatrixInverse, OrdersZeroAndOneTouchOnlyTheirElements) {
  std::vector<double> a{8.0, 7.0, 6.0};
  EXPECT_EQ(MatrixInverseForDouble(a, 0), 1);
  EXPECT_EQ(a, (std::vector<double>{8.0, 7.0, 6.0}));
  EXPECT_EQ(MatrixInverseForDouble(a, 1), 1);
  EXPECT_EQ(a, (std::vector<double>{0.125, 7.0, 6.0}));
  std::vector<double> empty;
  EXPECT_EQ(MatrixInverseForDouble(empty, 0), 1);
}

TEST(MatrixInverse, ShortArraysAreInvalidArguments) {
  std::vector<double> a{1, 0};
  EXPECT_THROW(MatrixInverseForDouble(a, 2), std::invalid_argument);
  EXPECT_EQ(a, (std::vector<double>{1, 0}));
  EXPECT_THROW(MatrixInverseForDouble(a, -1), std::invalid_argument);
  std::vector<long double> l{1};
  EXPECT_THROW(MatrixInverse(l, 2), std::invalid_argument);
  std::vector<double> q{1, 0, 1}, w{1}, x(2);
  EXPECT_THROW(GetNormalEquation_xx(q, w, x, 2), std::invalid_argument);
}

TEST(MatrixInverse, RandomSpdAgainstGaussJordan) {
  for (size_t n : {3u, 7u, 40u}) {
    auto a = RandomSpd(n, 17u + static_cast<unsigned>(n));
    auto reference = GaussJordanInverse(a);
    std::vector<double> packed = Pack(a);
    packed.push_back(99.0);  // beyond n(n+1)/2: left alone
    MatrixInverseForDouble(packed, static_cast<int>(n));
    EXPECT_EQ(packed.back(), 99.0);
    double maxDiff = 0, maxRef = 0;
    for (size_t i = 0; i < n; ++i)
      for (size_t j = 0; j <= i; ++j) {
        maxDiff = std::max(maxDiff, std::fabs(packed[PackedIndex(i, j)] - static_cast<double>(reference[i][j])));
        maxRef = std::max(maxRef, std::fabs(static_cast<double>(reference[i][j])));
      }
    EXPECT_LT(maxDiff / maxRef, 1e-14) << "n = " << n;
  }
}

TEST(MatrixInverse, LongDoubleVariantAgreesWithDouble) {
  auto a = RandomSpd(12, 5);
  std::vector<double> d = Pack(a);
  std::vector<long double> l(d.begin(), d.end());
  MatrixInverseForDouble(d, 12);
  MatrixInverse(l, 12);
  for (size_t i = 0; i < d.size(); ++i) EXPECT_NEAR(static_cast<double>(l[i]), d[i], 1e-15);
}

TEST(GetNormalEquation_xx, SolvesAndOverwrites) {
  std::vector<double> identity{1, 0, 1, 0, 0, 1};
  std::vector<double> w{1.5, -2.0, 3.0}, x{7, 7, 7};
  GetNormalEquation_xx(identity, w, x, 3);
  EXPECT_EQ(x, (std::vector<double>{-1.5, 2.0, -3.0}));
  std::vector<double> zero(3, 0.0);
  GetNormalEquation_xx(identity, zero, x, 3);
  EXPECT_EQ(x, (std::vector<double>{0.0, 0.0, 0.0}));
  // N x + W = 0 with N = [[4,2],[2,3]], x = (1, -2): W = -(N x) = (0, 4).
  std::vector<double> n{4, 2, 3};
  MatrixInverseForDouble(n, 2);
  std::vector<double> w2{0.0, 4.0}, x2(2);
  GetNormalEquation_xx(n, w2, x2, 2);
  EXPECT_NEAR(x2[0], 1.0, 1e-15);
  EXPECT_NEAR(x2[1], -2.0, 1e-15);
}

TEST(MatrixInverse, ZeroPivotGivesNonFiniteNotACrash) {
  std::vector<double> singular{0, 0, 0};
  EXPECT_EQ(MatrixInverseForDouble(singular, 2), 1);
  EXPECT_FALSE(std::isfinite(singular[0]) && std::isfinite(singular[1]) && std::isfinite(singular[2]));
}

}  // namespace

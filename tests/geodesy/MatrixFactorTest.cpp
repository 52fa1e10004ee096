// The factorisation of the packed normal matrix (the block elimination of Gauss with the
// sweep kernels) and its solution, against the inversion and a long double reference; a
// singular matrix shows in its pivots.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "geodesy/BlockSweep.h"
#include "geodesy/Matrix.h"

namespace {

// Packed I + B^T B / 10 with B (24 x n) uniform in [-1, 1], and a right-hand side.
std::vector<double> RandomSpd(size_t n, unsigned seed) {
  constexpr size_t kRows = 24;
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> b(kRows * n), a(n * (n + 1) / 2, 0.0);
  for (double& v : b) v = u(rng);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j <= i; ++j) {
      double s = 0;
      for (size_t k = 0; k < kRows; ++k) s += b[k * n + i] * b[k * n + j];
      a[PackedIndex(i, j)] = s * 0.1 / kRows + (i == j ? 1.0 : 0.0);
    }
  return a;
}

TEST(MatrixFactor, SolvesAsTheInverseDoesAtEveryBlockBoundary) {
  for (size_t n : {1, 5, 16, 17, 100, 347}) {
    SCOPED_TRACE(n);
    const std::vector<double> N = RandomSpd(n, 11 + static_cast<unsigned>(n));
    std::vector<double> W(n);
    for (size_t i = 0; i < n; ++i) W[i] = std::sin(0.37 * static_cast<double>(i)) * 100.0;
    std::vector<long double> Q(N.begin(), N.end());
    MatrixInverse(Q, static_cast<int>(n));
    std::vector<double> expected(n, 0.0);
    for (size_t i = 0; i < n; ++i) {
      long double s = 0;
      for (size_t j = 0; j < n; ++j) s -= Q[PackedIndex(i, j)] * W[j];
      expected[i] = static_cast<double>(s);
    }
    std::vector<double> F = N, x;
    MatrixFactorForDouble(F, static_cast<int>(n));
    SolveFactoredForDouble(F, W, x, static_cast<int>(n));
    ASSERT_EQ(x.size(), n);
    for (size_t i = 0; i < n; ++i) EXPECT_NEAR(x[i], expected[i], 1e-10 * (1.0 + std::fabs(expected[i])));
    for (size_t p = 0; p < n; ++p) {
      const double pivot = FactoredPivot(F, static_cast<int>(p));
      EXPECT_GE(pivot * N[PackedIndex(p, p)], 1.0 - 1e-12);
    }
  }
}

TEST(MatrixFactor, EveryKernelAndBlockOrderGivesTheSameSolution) {
  using vemo::detail::SweepKernel;
  const size_t n = 150;
  const std::vector<double> N = RandomSpd(n, 5);
  std::vector<double> first;
  for (SweepKernel kernel : {SweepKernel::Portable, SweepKernel::Avx2, SweepKernel::Avx512})
    for (size_t block : {16, 32, 128}) {
      if (!vemo::detail::SweepKernelSupported(kernel)) continue;
      std::vector<double> F = N, b(n, 1.0);
      vemo::detail::FactorPackedBySweeps(F.data(), n, kernel, block);
      vemo::detail::SolveFactoredBySweeps(F.data(), n, b.data(), block);
      if (first.empty()) first = b;
      for (size_t i = 0; i < n; ++i) EXPECT_NEAR(b[i], first[i], 1e-12 * std::fabs(first[i]) + 1e-14);
    }
}

TEST(MatrixFactor, ASingularMatrixShowsInItsPivots) {
  // Rank 1: every pivot after the first is zero or a rounding remainder.
  const size_t n = 40;
  std::vector<double> N(n * (n + 1) / 2);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j <= i; ++j) N[PackedIndex(i, j)] = (1.0 + 0.1 * i) * (1.0 + 0.1 * j);
  std::vector<double> F = N;
  MatrixFactorForDouble(F, static_cast<int>(n));
  bool flagged = false;
  for (size_t p = 0; p < n; ++p) {
    const double ratio = FactoredPivot(F, static_cast<int>(p)) * N[PackedIndex(p, p)];
    if (!(ratio > 0.0 && ratio < 1e12)) flagged = true;
  }
  EXPECT_TRUE(flagged);
}

}  // namespace

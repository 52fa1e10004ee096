// The blocked sweep of the packed inversion: every register kernel against the
// element-by-element elimination (in long double), on orders that fill no tile exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "geodesy/BlockSweep.h"
#include "geodesy/Matrix.h"

namespace {
using vemo::detail::InvertPackedBySweeps;
using vemo::detail::SweepKernel;
using vemo::detail::SweepKernelSupported;

// Packed I + B^T B / 10 with B (24 x n) uniform in [-1, 1]: every element filled, well
// conditioned. With indefinite, the signs of the diagonal flipped in alternate runs of 50: a
// symmetric indefinite matrix whose leading blocks are still regular.
std::vector<double> RandomPacked(size_t n, unsigned seed, bool indefinite = false) {
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
  if (indefinite)
    for (size_t i = 0; i < n; ++i) a[PackedIndex(i, i)] *= (i / 50) % 2 ? -1.0 : 1.0;
  return a;
}

double RelativeDifference(const std::vector<double>& a, const std::vector<long double>& reference) {
  double worst = 0, scale = 0;
  for (size_t e = 0; e < a.size(); ++e) {
    worst = std::max(worst, std::fabs(a[e] - static_cast<double>(reference[e])));
    scale = std::max(scale, std::fabs(static_cast<double>(reference[e])));
  }
  return worst / scale;
}

std::vector<long double> ReferenceInverse(const std::vector<double>& a, size_t n) {
  std::vector<long double> r(a.begin(), a.end());
  MatrixInverse(r, static_cast<int>(n));  // the element-by-element elimination at every order
  return r;
}

class SweepKernels : public testing::TestWithParam<SweepKernel> {
 protected:
  void SetUp() override {
    if (!SweepKernelSupported(GetParam())) GTEST_SKIP() << "processor lacks this kernel";
  }
};

TEST_P(SweepKernels, AgreesWithTheElimination) {
  // The references are shared by the kernels.
  static std::map<std::pair<size_t, bool>, std::vector<long double>> references;
  for (size_t n : {1u, 2u, 13u, 129u, 300u, 517u}) {
    for (bool indefinite : {false, true}) {
      std::vector<double> a = RandomPacked(n, 11u + static_cast<unsigned>(n), indefinite);
      auto known = references.find({n, indefinite});
      if (known == references.end()) known = references.emplace(std::pair{n, indefinite}, ReferenceInverse(a, n)).first;
      const std::vector<long double>& reference = known->second;
      // Every pivot block order: the smallest, a middle one, the largest.
      for (size_t block : {16u, 64u, 128u}) {
        std::vector<double> b = a;
        InvertPackedBySweeps(b.data(), n, GetParam(), block);
        EXPECT_LT(RelativeDifference(b, reference), 1e-12)
            << "n = " << n << ", block " << block << (indefinite ? ", indefinite" : "");
      }
    }
  }
}

TEST_P(SweepKernels, SameInputSameBits) {
  const std::vector<double> a = RandomPacked(300, 5);
  std::vector<double> first = a, second = a;
  InvertPackedBySweeps(first.data(), 300, GetParam());
  InvertPackedBySweeps(second.data(), 300, GetParam());
  EXPECT_EQ(first, second);
}

TEST_P(SweepKernels, SingularPivotBlockGivesNonFiniteElements) {
  std::vector<double> a = RandomPacked(300, 9);
  for (size_t j = 0; j <= 140; ++j) a[PackedIndex(140, j)] = 0.0;  // row and column 140 zero
  for (size_t i = 141; i < 300; ++i) a[PackedIndex(i, 140)] = 0.0;
  InvertPackedBySweeps(a.data(), 300, GetParam());
  bool nonFinite = false;
  for (double v : a) nonFinite |= !std::isfinite(v);
  EXPECT_TRUE(nonFinite);
}

INSTANTIATE_TEST_SUITE_P(Kernels, SweepKernels,
                         testing::Values(SweepKernel::Avx512, SweepKernel::Avx2, SweepKernel::Portable),
                         [](const testing::TestParamInfo<SweepKernel>& info) {
                           switch (info.param) {
                             case SweepKernel::Avx512: return std::string("Avx512");
                             case SweepKernel::Avx2: return std::string("Avx2");
                             default: return std::string("Portable");
                           }
                         });

TEST(SweepBlockOrder, AboutATwentiethOfTheOrderInWholeTiles) {
  EXPECT_EQ(vemo::detail::SweepBlockOrder(257), 16u);
  EXPECT_EQ(vemo::detail::SweepBlockOrder(1491), 64u);
  EXPECT_EQ(vemo::detail::SweepBlockOrder(2991), 128u);
  EXPECT_EQ(vemo::detail::SweepBlockOrder(100000), 128u);
}

TEST(MatrixInverseForDouble, BothSidesOfTheBlockedThresholdKeepTheContract) {
  for (int n : {256, 257, 400}) {
    std::vector<double> a = RandomPacked(static_cast<size_t>(n), 3u + static_cast<unsigned>(n));
    const std::vector<long double> reference = ReferenceInverse(a, static_cast<size_t>(n));
    a.push_back(99.0);  // beyond n(n+1)/2: left alone
    EXPECT_EQ(MatrixInverseForDouble(a, n), 1);
    EXPECT_EQ(a.back(), 99.0);
    a.pop_back();
    EXPECT_LT(RelativeDifference(a, reference), 1e-12) << "n = " << n;
    std::vector<double> shortArray(static_cast<size_t>(n) * (n + 1) / 2 - 1, 1.0);
    EXPECT_THROW(MatrixInverseForDouble(shortArray, n), std::invalid_argument);
  }
}

}  // namespace

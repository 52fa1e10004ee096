// Times MatrixInverseForDouble on random symmetric positive-definite matrices and reports the
// accuracy max |N N^-1 - I|. Usage: bench_matrix_inverse [ORDER...] (default 300 1000 3000).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "geodesy/Matrix.h"

namespace {

// N = B^T B / n + I with B uniform in [-1, 1]: well conditioned, like a network with datum.
// Built in packed form directly; the dense B is kept only to form N.
std::vector<double> RandomSpdPacked(size_t n, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> b(n * n);
  for (double& v : b) v = u(rng);
  std::vector<double> packed(n * (n + 1) / 2, 0.0);
  for (size_t k = 0; k < n; ++k) {
    const double* row = &b[k * n];
    for (size_t i = 0; i < n; ++i) {
      double bi = row[i];
      double* dst = &packed[i * (i + 1) / 2];
      for (size_t j = 0; j <= i; ++j) dst[j] += bi * row[j];
    }
  }
  for (size_t i = 0; i < n; ++i) {
    for (size_t j = 0; j <= i; ++j) packed[i * (i + 1) / 2 + j] /= static_cast<double>(n);
    packed[i * (i + 1) / 2 + i] += 1.0;
  }
  return packed;
}

std::vector<double> Unpack(const std::vector<double>& packed, size_t order) {
  std::vector<double> dense(order * order);
  for (size_t i = 0; i < order; ++i)
    for (size_t j = 0; j <= i; ++j) dense[i * order + j] = dense[j * order + i] = packed[PackedIndex(i, j)];
  return dense;
}

// max |N Q - I| over all elements; dense copies here are the benchmark's, not the routine's.
double MaxIdentityError(const std::vector<double>& n, const std::vector<double>& q, size_t order) {
  std::vector<double> a = Unpack(n, order), b = Unpack(q, order), row(order);
  double worst = 0.0;
  for (size_t i = 0; i < order; ++i) {
    std::fill(row.begin(), row.end(), 0.0);
    for (size_t k = 0; k < order; ++k) {
      const double aik = a[i * order + k];
      const double* bk = &b[k * order];
      for (size_t j = 0; j < order; ++j) row[j] += aik * bk[j];
    }
    for (size_t j = 0; j < order; ++j) worst = std::max(worst, std::fabs(row[j] - (i == j ? 1.0 : 0.0)));
  }
  return worst;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<size_t> orders;
  for (int i = 1; i < argc; ++i) orders.push_back(static_cast<size_t>(std::strtoul(argv[i], nullptr, 10)));
  if (orders.empty()) orders = {300, 1000, 3000};
  std::printf("%8s %12s %14s %16s\n", "order", "seconds", "GFLOP/s", "max|N*Ninv-I|");
  for (size_t n : orders) {
    std::vector<double> original = RandomSpdPacked(n, 42 + n);
    std::vector<double> inverse = original;
    auto t0 = std::chrono::steady_clock::now();
    MatrixInverseForDouble(inverse, static_cast<int>(n));
    auto t1 = std::chrono::steady_clock::now();
    double seconds = std::chrono::duration<double>(t1 - t0).count();
    double flops = static_cast<double>(n) * n * n;  // n^3/2 multiply-adds
    double error = MaxIdentityError(original, inverse, n);
    std::printf("%8zu %12.3f %14.2f %16.3e\n", n, seconds, flops / seconds / 1e9, error);
    std::fflush(stdout);
  }
  return 0;
}

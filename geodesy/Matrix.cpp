#include "geodesy/Matrix.h"

#include <cmath>
#include <cstddef>
#include <stdexcept>

#include "geodesy/BlockSweep.h"

namespace {

// Order above which MatrixInverseForDouble sweeps by blocks; above one pivot block, so that the
// blocks themselves are inverted by the elimination.
constexpr size_t kBlockedInverseFrom = 2 * vemo::detail::kSweepBlock;

void CheckPackedSize(size_t size, int n) {
  if (n < 0) throw std::invalid_argument("matrix order is negative");
  size_t needed = static_cast<size_t>(n) * (static_cast<size_t>(n) + 1) / 2;
  if (size < needed) throw std::invalid_argument("packed matrix array is shorter than n(n+1)/2");
}

// Each pass eliminates the first unknown and rotates it to the last place, shifting every
// other row and column one place up; after n passes every unknown is back in its own place.
// Rows i <= k still hold elements of the given matrix, rows i > k already hold elements of
// the inverse, hence the sign rule of B.
template <typename Real>
int InvertPacked(std::vector<Real>& N, int n) {
  CheckPackedSize(N.size(), n);
  if (n == 0) return 1;
  Real* a = N.data();
  if (n == 1) {
    a[0] = Real(1) / a[0];
    return 1;
  }
  std::vector<Real> work(static_cast<size_t>(n) + 1, Real(0));  // B(1..n); B(0) unused
  Real* B = work.data();
  const size_t un = static_cast<size_t>(n);
  for (size_t k = un; k >= 1; --k) {
    const Real c = a[0];
    for (size_t i = 2; i <= un; ++i) {
      const size_t rowI = i * (i - 1) / 2;           // start of 1-based row i
      const size_t rowPrev = (i - 1) * (i - 2) / 2;  // start of 1-based row i-1
      const Real g = a[rowI];
      B[i] = i <= k ? -g / c : g / c;
      // N(i-1, j-1) = g B(j) + N(i, j) for j = 2..i. The destination (row i-1) lies wholly
      // before the source (row i from column 2), so the two ranges never overlap.
      Real* __restrict dst = a + rowPrev;
      const Real* __restrict src = a + rowI + 1;
      const Real* __restrict b = B + 2;
      const size_t count = i - 1;
      for (size_t j = 0; j < count; ++j) dst[j] = g * b[j] + src[j];
    }
    const size_t rowN = un * (un - 1) / 2;
    a[rowN + un - 1] = Real(1) / c;
    for (size_t j = 1; j <= un - 1; ++j) a[rowN + j - 1] = B[j + 1];
  }
  return 1;
}

}  // namespace

int MatrixInverseForDouble(std::vector<double>& N, int n) {
  // Beyond a few pivot blocks the element-by-element passes over the whole triangle are
  // limited by memory traffic; the blocked sweep does the same elimination from the caches.
  // Small systems (weights, transformations, small networks) keep the elimination, bit for bit.
  if (n > static_cast<int>(kBlockedInverseFrom)) {
    CheckPackedSize(N.size(), n);
    vemo::detail::InvertPackedBySweeps(N.data(), static_cast<size_t>(n));
    return 1;
  }
  return InvertPacked(N, n);
}

int MatrixInverse(std::vector<long double>& N, int n) { return InvertPacked(N, n); }

int MatrixFactorForDouble(std::vector<double>& N, int n) {
  CheckPackedSize(N.size(), n);
  vemo::detail::FactorPackedBySweeps(N.data(), static_cast<size_t>(n));
  return 1;
}

double FactoredPivot(const std::vector<double>& F, int p) {
  const size_t q = static_cast<size_t>(p);
  return -F[PackedIndex(q, q)];  // the diagonal blocks hold -P
}

int SolveFactoredForDouble(const std::vector<double>& F, const std::vector<double>& W, std::vector<double>& x,
                           int n) {
  CheckPackedSize(F.size(), n);
  const size_t un = static_cast<size_t>(n);
  if (W.size() < un) throw std::invalid_argument("vector is shorter than n");
  x.assign(W.begin(), W.begin() + static_cast<std::ptrdiff_t>(un));
  for (double& v : x) v = -v;
  vemo::detail::SolveFactoredBySweeps(F.data(), un, x.data());
  return 1;
}

int GetNormalEquation_xx(const std::vector<double>& Q, const std::vector<double>& W,
                         std::vector<double>& x, int n) {
  CheckPackedSize(Q.size(), n);
  const size_t un = static_cast<size_t>(n);
  if (W.size() < un || x.size() < un) throw std::invalid_argument("vector is shorter than n");
  // x(i) = -sum over j of Q(i, j) W(j), j = 0..n-1 in this order. The triangle is read row by
  // row, once: row i gives x(i) its terms j <= i (x(i) has none before, from earlier rows)
  // and every x(j), j < i, its term i, which comes after the terms that x(j) already holds.
  // So each x(i) is summed in exactly the order above, without the column walk through the
  // whole array that reading Q(i, j) for j > i would need.
  const double* row = Q.data();
  for (size_t i = 0; i < un; ++i, row += i) {
    const double w = W[i];
    double sum = 0.0;
    for (size_t j = 0; j < i; ++j) {
      sum -= row[j] * W[j];
      x[j] -= row[j] * w;
    }
    x[i] = sum - row[i] * w;
  }
  return 1;
}

bool IsWellConditioned(const std::vector<double>& N, int n, double minPivot) {
  CheckPackedSize(N.size(), n);
  const size_t order = static_cast<size_t>(n);
  std::vector<double> d(order);
  for (size_t i = 0; i < order; ++i) {
    const double v = N[PackedIndex(i, i)];
    if (!(std::isfinite(v) && v > 0.0)) return false;
    d[i] = 1.0 / std::sqrt(v);
  }
  std::vector<double> c(N.begin(), N.begin() + static_cast<std::ptrdiff_t>(order * (order + 1) / 2));
  for (size_t i = 0; i < order; ++i)
    for (size_t j = 0; j <= i; ++j) c[PackedIndex(i, j)] *= d[i] * d[j];
  for (size_t j = 0; j < order; ++j) {
    double pivot = c[PackedIndex(j, j)];
    for (size_t k = 0; k < j; ++k) pivot -= c[PackedIndex(j, k)] * c[PackedIndex(j, k)];
    if (!(pivot > minPivot)) return false;
    const double root = std::sqrt(pivot);
    c[PackedIndex(j, j)] = root;
    for (size_t i = j + 1; i < order; ++i) {
      double s = c[PackedIndex(i, j)];
      for (size_t k = 0; k < j; ++k) s -= c[PackedIndex(i, k)] * c[PackedIndex(j, k)];
      c[PackedIndex(i, j)] = s / root;
    }
  }
  return true;
}

#include "adjust/NormalEquations.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

#include "adjust/SparseNormalEquations.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Matrix.h"

namespace vemo {

namespace {

// Asks the kernel to back a large array with huge pages before it is first touched: the
// inversion walks the whole triangle once per pivot block, and with small pages most of its
// time would go to address translation. Only advice: nothing changes when it is refused.
void AdviseHugePages(const double* data, size_t count) {
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = reinterpret_cast<uintptr_t>(data + count) & ~(kHugePage - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace

void CNormalEquations::Cofactors(const int* index, int count, double* out) const {
  for (int a = 0; a < count; ++a)
    for (int b = 0; b <= a; ++b)
      out[a * count + b] = out[b * count + a] = index[a] < 0 || index[b] < 0 ? 0.0 : Cofactor(index[a], index[b]);
}

void CDenseNormalEquations::Allocate(int unknowns) {
  const size_t u = unknowns > 0 ? static_cast<size_t>(unknowns) : 0;
  const size_t packed = u * (u + 1) / 2;
  m_Unknowns = static_cast<int>(u);
  m_N.clear();
  m_N.shrink_to_fit();
  m_N.reserve(packed);
  AdviseHugePages(m_N.data(), packed);
  m_N.assign(packed, 0.0);
  m_U.assign(u, 0.0);
}

void CDenseNormalEquations::Add(const int* index, int count, const double* block, const double* rhs) {
  for (int a = 0; a < count; ++a) {
    const int p = index[a];
    if (p < 0) continue;
    for (int b = 0; b <= a; ++b) {
      const int q = index[b];
      if (q >= 0) m_N[PackedIndex(static_cast<size_t>(p), static_cast<size_t>(q))] += block[a * count + b];
    }
    m_U[static_cast<size_t>(p)] += rhs[a];
  }
}

void CDenseNormalEquations::Clear() {
  std::fill(m_N.begin(), m_N.end(), 0.0);
  std::fill(m_U.begin(), m_U.end(), 0.0);
}

bool CDenseNormalEquations::UnitScale(std::vector<double>& d) const {
  const int u = m_Unknowns;
  d.assign(static_cast<size_t>(u), 1.0);
  if (!m_UnitDiagonal) return true;
  for (int p = 0; p < u; ++p) {
    const double n = m_N[PackedIndex(static_cast<size_t>(p), static_cast<size_t>(p))];
    if (!(n > 0.0 && std::isfinite(n))) return false;
    d[static_cast<size_t>(p)] = 1.0 / std::sqrt(n);
  }
  return true;
}

namespace {

// A pivot of the factor is at least 1 / N(p, p), and so is the diagonal of the inverse; this
// many times that means the elimination cancelled all but about four of the sixteen digits of
// N(p, p): a singular matrix.
constexpr double kLostDigits = 1e12;

// a(i, j) *= d(i) d(j) over the packed triangle.
void ScaleSymmetric(std::vector<double>& a, const std::vector<double>& d) {
  double* row = a.data();
  for (size_t i = 0; i < d.size(); ++i, row += i)
    for (size_t j = 0; j <= i; ++j) row[j] *= d[i] * d[j];
}

}  // namespace

int CDenseNormalEquations::Factorize() {
  m_Factor.clear();
  m_Factor.shrink_to_fit();
  const int u = m_Unknowns;
  std::vector<double> d;
  if (!UnitScale(d)) return 0;
  if (m_UnitDiagonal) ScaleSymmetric(m_N, d);
  std::vector<double> scaled;
  if (m_UnitDiagonal) scaled = m_N;  // for the element-by-element elimination, should the blocks fail
  MatrixInverseForDouble(m_N, u);
  if (m_UnitDiagonal && !InverseIsSound()) {
    std::vector<long double> q(scaled.begin(), scaled.end());
    MatrixInverse(q, u);
    std::copy(q.begin(), q.end(), m_N.begin());
  }
  if (m_UnitDiagonal) ScaleSymmetric(m_N, d);
  for (int p = 0; p < u; ++p) {
    const double q = m_N[PackedIndex(static_cast<size_t>(p), static_cast<size_t>(p))];
    if (!(q > 0.0)) return 0;
  }
  // A zero pivot spreads infinite and not-a-number elements; none may reach a report.
  const size_t packed = m_N.size();
  for (size_t e = 0; e < packed; ++e)
    if (!std::isfinite(m_N[e])) return 0;
  return 1;
}

int CDenseNormalEquations::Solve(std::vector<double>& x) {
  const int u = m_Unknowns;
  x.assign(static_cast<size_t>(u), 0.0);
  if (!GetNormalEquation_xx(m_N, m_U, x, u)) return 0;
  for (double v : x)
    if (!std::isfinite(v)) return 0;
  return 1;
}

int CDenseNormalEquations::SolveKeeping(std::vector<double>& x) {
  const int u = m_Unknowns;
  std::vector<double> d;
  if (!UnitScale(d)) return 0;
  m_Factor.assign(m_N.begin(), m_N.end());
  if (m_UnitDiagonal) ScaleSymmetric(m_Factor, d);
  MatrixFactorForDouble(m_Factor, u);
  for (int p = 0; p < u; ++p) {
    const size_t q = static_cast<size_t>(p);
    const double pivot = FactoredPivot(m_Factor, p) * m_N[PackedIndex(q, q)] * d[q] * d[q];
    if (!(pivot > 0.0 && pivot < kLostDigits)) return SolveByElimination(d, x);
  }
  std::vector<double> w(m_U);
  for (size_t p = 0; p < w.size(); ++p) w[p] *= d[p];
  SolveFactoredForDouble(m_Factor, w, x, u);
  for (size_t p = 0; p < x.size(); ++p) {
    x[p] *= d[p];
    if (!std::isfinite(x[p])) return 0;
  }
  return 1;
}

bool CDenseNormalEquations::InverseIsSound() const {
  for (int p = 0; p < m_Unknowns; ++p) {
    const double q = m_N[PackedIndex(static_cast<size_t>(p), static_cast<size_t>(p))];
    if (!(q > 0.0)) return false;
  }
  for (double e : m_N)
    if (!std::isfinite(e)) return false;
  return true;
}

int CDenseNormalEquations::SolveByElimination(const std::vector<double>& d, std::vector<double>& x) {
  // The pivot blocks of the factorisation invert blocks of the matrix explicitly, which costs
  // the digits of an ill-conditioned block (nearly fixed observations beside loose ones); the
  // element-by-element elimination, in long double, keeps them.
  const int u = m_Unknowns;
  std::vector<long double> q(m_N.begin(), m_N.end());
  for (size_t i = 0, e = 0; i < d.size(); ++i)
    for (size_t j = 0; j <= i; ++j, ++e) q[e] *= static_cast<long double>(d[i]) * d[j];
  MatrixInverse(q, u);
  x.assign(static_cast<size_t>(u), 0.0);
  for (int i = 0; i < u; ++i) {
    const size_t p = static_cast<size_t>(i);
    if (!(q[PackedIndex(p, p)] > 0.0L && q[PackedIndex(p, p)] < kLostDigits)) return 0;
    long double sum = 0.0L;
    for (int j = 0; j < u; ++j) {
      const size_t r = static_cast<size_t>(j);
      sum -= q[PackedIndex(p, r)] * (m_U[r] * d[r]);
    }
    x[p] = static_cast<double>(sum) * d[p];
    if (!std::isfinite(x[p])) return 0;
  }
  return 1;
}

double CDenseNormalEquations::Cofactor(int p, int q) const {
  return m_N[PackedIndex(static_cast<size_t>(p), static_cast<size_t>(q))];
}

namespace {
NormalForm g_NormalForm = NormalForm::Sparse;
}

std::unique_ptr<CNormalEquations> MakeNormalEquations() {
  if (g_NormalForm == NormalForm::Dense) return std::make_unique<CDenseNormalEquations>();
  if (g_NormalForm == NormalForm::SparseSimplicial)
    return std::make_unique<CSparseNormalEquations>(CSparseNormalEquations::Method::Simplicial);
  return std::make_unique<CSparseNormalEquations>();
}

std::unique_ptr<CNormalEquations> MakeConstrainedNormalEquations() {
  if (g_NormalForm == NormalForm::Dense) return std::make_unique<CDenseNormalEquations>();
  return std::make_unique<CSparseNormalEquations>(CSparseNormalEquations::Method::Simplicial);
}

void SetNormalForm(NormalForm form) { g_NormalForm = form; }

bool AllocateOrReport(const std::function<void()>& allocate, std::unique_ptr<CNormalEquations>& normal) {
  try {
    allocate();
    return true;
  } catch (const std::bad_alloc&) {
    normal.reset();
    OutOfMemory();
    return false;
  }
}

}  // namespace vemo

#include "adjust/SparseNormalEquations.h"

#include <Eigen/OrderingMethods>
#include <iostream>  // Eigen's METIS support reports through std::cerr
#include <Eigen/MetisSupport>
#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

namespace vemo {

namespace {

using SparseMatrix = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;
// Nested dissection (METIS) keeps the factor of a survey network, a graph spread over a plane,
// smaller than approximate minimum degree does: the factorisation and the selected inverse
// take about a quarter less time on generated networks of 8000 points.
class Ldlt : public Eigen::SimplicialLDLT<SparseMatrix, Eigen::Lower, Eigen::MetisOrdering<int>> {
 public:
  // The entries of L that the symbolic factorisation planned: known before the numbers are
  // there (matrixL() asks for a finished factorisation).
  Eigen::Index PlannedNonZeros() const { return m_matrix.nonZeros(); }
};

// A pivot smaller than this part of its diagonal element of N has lost every digit to
// rounding: N is singular there (a datum defect, a piece of the network without a known
// point), however small the pivot's absolute value.
constexpr double kPivotLoss = 1e-11;

// Columns of N^-1 kept for elements outside the factor's pattern: a report that walks a row
// or a short pair list needs one or two at a time.
constexpr size_t kColumnCache = 4;

// 0: what the machine has, read when a factorisation is planned.
size_t g_MemoryBudget = 0;

// The memory the system can give without swapping (MemAvailable), or 0 when it cannot tell.
size_t AvailableMemory() {
  std::FILE* meminfo = std::fopen("/proc/meminfo", "r");
  if (!meminfo) return 0;
  char line[256];
  unsigned long long kb = 0;
  while (std::fgets(line, sizeof line, meminfo))
    if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1) break;
  std::fclose(meminfo);
  return static_cast<size_t>(kb) * 1024;
}

}  // namespace

void CSparseNormalEquations::SetMemoryBudget(size_t bytes) { g_MemoryBudget = bytes; }

struct CSparseNormalEquations::Factor {
  SparseMatrix n;         // the lower triangle of N, original numbering
  Ldlt ldlt;
  bool analysed = false;  // the ordering and symbolic factor of n's pattern exist
  std::vector<int> outer, inner;  // the pattern they were made for
  std::vector<int> perm;          // original unknown -> factor position
};

CSparseNormalEquations::CSparseNormalEquations() : m_Factor(std::make_unique<Factor>()) {}
CSparseNormalEquations::~CSparseNormalEquations() = default;

void CSparseNormalEquations::Allocate(int unknowns) {
  m_Unknowns = unknowns > 0 ? unknowns : 0;
  m_Factor = std::make_unique<Factor>();
  Clear();
}

void CSparseNormalEquations::Clear() {
  m_Row.clear();
  m_Col.clear();
  m_Value.clear();
  m_U.assign(static_cast<size_t>(m_Unknowns), 0.0);
  m_HaveSelected = false;
  m_Columns.clear();
  m_SingularUnknown = -1;
  m_Factorized = -1;
}

void CSparseNormalEquations::Add(const int* index, int count, const double* block, const double* rhs) {
  m_Factorized = -1;
  for (int a = 0; a < count; ++a) {
    const int p = index[a];
    if (p < 0) continue;
    for (int b = 0; b <= a; ++b) {
      const int q = index[b];
      if (q < 0) continue;
      m_Row.push_back(std::max(p, q));
      m_Col.push_back(std::min(p, q));
      m_Value.push_back(block[a * count + b]);
    }
    m_U[static_cast<size_t>(p)] += rhs[a];
  }
}

int CSparseNormalEquations::Factorize() {
  if (m_Factorized < 0) m_Factorized = FactorizeNow();
  return m_Factorized;
}

int CSparseNormalEquations::SolveKeeping(std::vector<double>& x) {
  if (!Factorize()) return 0;
  return Solve(x);
}

int CSparseNormalEquations::FactorizeNow() {
  Factor& f = *m_Factor;
  const int u = m_Unknowns;
  m_HaveSelected = false;
  m_Columns.clear();
  m_SingularUnknown = -1;

  // Assemble in compressed columns, duplicates summed, every diagonal element present (an
  // unknown that no observation reaches is a singular pivot, not a missing column).
  std::vector<Eigen::Triplet<double, int>> triplets;
  triplets.reserve(m_Value.size() + static_cast<size_t>(u));
  for (size_t e = 0; e < m_Value.size(); ++e) triplets.emplace_back(m_Row[e], m_Col[e], m_Value[e]);
  for (int p = 0; p < u; ++p) triplets.emplace_back(p, p, 0.0);
  f.n.resize(u, u);
  f.n.setFromTriplets(triplets.begin(), triplets.end());
  f.n.makeCompressed();
  triplets = {};

  const std::vector<int> outer(f.n.outerIndexPtr(), f.n.outerIndexPtr() + u + 1);
  const std::vector<int> inner(f.n.innerIndexPtr(), f.n.innerIndexPtr() + f.n.nonZeros());
  if (!f.analysed || outer != f.outer || inner != f.inner) {
    f.ldlt.analyzePattern(f.n);
    // The symbolic factorisation knows the size of L before a page of it is touched: a network
    // too large for the machine is refused here with the memory message, rather than ended by
    // the system when the numbers arrive (L with its row indices, and the selected inverse on
    // its pattern).
    const double needed = static_cast<double>(f.ldlt.PlannedNonZeros()) * (2 * sizeof(double) + sizeof(int)) +
                          static_cast<double>(u) * 8 * sizeof(double);
    const size_t budget = g_MemoryBudget ? g_MemoryBudget : AvailableMemory();
    if (budget != 0 && needed > static_cast<double>(budget)) {
      f.analysed = false;
      throw std::bad_alloc();
    }
    f.outer = outer;
    f.inner = inner;
    f.analysed = true;
    const auto& P = f.ldlt.permutationP().indices();
    f.perm.assign(P.data(), P.data() + P.size());
    if (f.perm.empty()) {  // no permutation: the identity
      f.perm.resize(static_cast<size_t>(u));
      for (int p = 0; p < u; ++p) f.perm[static_cast<size_t>(p)] = p;
    }
  }
  f.ldlt.factorize(f.n);

  // Eigen stops at an exactly zero pivot only; a negative, lost or non-finite one is as
  // singular for an adjustment.
  std::vector<int> unknownAt(static_cast<size_t>(u));
  for (int p = 0; p < u; ++p) unknownAt[static_cast<size_t>(f.perm[static_cast<size_t>(p)])] = p;
  const Eigen::VectorXd D = f.ldlt.vectorD();
  for (int k = 0; k < u; ++k) {
    const int p = unknownAt[static_cast<size_t>(k)];
    const double diagonal = f.n.coeff(p, p);
    const double d = D[k];
    if (!(std::isfinite(d) && d > kPivotLoss * std::fabs(diagonal))) {
      m_SingularUnknown = p;
      return 0;
    }
  }
  return f.ldlt.info() == Eigen::Success ? 1 : 0;
}

int CSparseNormalEquations::Solve(std::vector<double>& x) {
  const int u = m_Unknowns;
  x.assign(static_cast<size_t>(u), 0.0);
  if (u == 0) return 1;
  const Eigen::Map<const Eigen::VectorXd> U(m_U.data(), u);
  const Eigen::VectorXd solution = m_Factor->ldlt.solve(U);
  for (int p = 0; p < u; ++p) {
    x[static_cast<size_t>(p)] = -solution[p];
    if (!std::isfinite(x[static_cast<size_t>(p)])) return 0;
  }
  return 1;
}

// Takahashi's recurrences: with N = L D L^T (unit lower L), Z = N^-1 satisfies
//   Z(j, j) = 1 / D(j) - sum_k L(k, j) Z(k, j),   Z(i, j) = - sum_k L(k, j) Z(i, k)  (i > j),
// the sums over the rows k > j of column j of L. Every Z(i, k) they need lies in the pattern
// of L (the rows of column j below k are rows of column k), so the columns are computed from
// the last to the first, each from the columns to its right.
void CSparseNormalEquations::SelectedInverse() const {
  const Factor& f = *m_Factor;
  const SparseMatrix& L = f.ldlt.matrixL().nestedExpression();
  const int u = m_Unknowns;
  const int* Lp = L.outerIndexPtr();
  const int* Li = L.innerIndexPtr();
  const double* Lx = L.valuePtr();
  const Eigen::VectorXd D = f.ldlt.vectorD();
  m_ZDiagonal.assign(static_cast<size_t>(u), 0.0);
  m_ZLower.assign(static_cast<size_t>(Lp[u]), 0.0);

  std::vector<double> sum(static_cast<size_t>(u), 0.0);  // scattered by row, cleared after use
  for (int j = u - 1; j >= 0; --j) {
    const int begin = Lp[j], end = Lp[j] + (Lp[j + 1] - Lp[j]);
    // For each pair of rows k <= i of column j: Z(i, k) contributes to Z(i, j) with L(k, j)
    // and, for k < i, to Z(k, j) with L(i, j).
    for (int a = begin; a < end; ++a) {
      const int k = Li[a];
      const double lkj = Lx[a];
      sum[static_cast<size_t>(k)] += lkj * m_ZDiagonal[static_cast<size_t>(k)];
      // Rows of column j below k, found in column k's sorted rows by one merge.
      int c = Lp[k];
      const int cend = Lp[k + 1];
      for (int b = a + 1; b < end; ++b) {
        const int i = Li[b];
        while (c < cend && Li[c] < i) ++c;
        const double zik = m_ZLower[static_cast<size_t>(c)];  // Li[c] == i by the fill property
        sum[static_cast<size_t>(i)] += lkj * zik;
        sum[static_cast<size_t>(k)] += Lx[b] * zik;
      }
    }
    double diagonal = 1.0 / D[j];
    for (int a = begin; a < end; ++a) {
      const int i = Li[a];
      const double zij = -sum[static_cast<size_t>(i)];
      sum[static_cast<size_t>(i)] = 0.0;
      m_ZLower[static_cast<size_t>(a)] = zij;
      diagonal -= Lx[a] * zij;
    }
    m_ZDiagonal[static_cast<size_t>(j)] = diagonal;
  }
  m_HaveSelected = true;
}

const std::vector<double>& CSparseNormalEquations::Column(int q) const {
  for (size_t c = 0; c < m_Columns.size(); ++c) {
    if (m_Columns[c].first == q) {
      if (c != 0) std::rotate(m_Columns.begin(), m_Columns.begin() + static_cast<long>(c),
                              m_Columns.begin() + static_cast<long>(c) + 1);
      return m_Columns.front().second;
    }
  }
  const int u = m_Unknowns;
  Eigen::VectorXd e = Eigen::VectorXd::Zero(u);
  e[q] = 1.0;
  const Eigen::VectorXd column = m_Factor->ldlt.solve(e);
  if (m_Columns.size() == kColumnCache) m_Columns.pop_back();
  m_Columns.insert(m_Columns.begin(), {q, std::vector<double>(column.data(), column.data() + u)});
  return m_Columns.front().second;
}

double CSparseNormalEquations::Cofactor(int p, int q) const {
  if (!m_HaveSelected) SelectedInverse();
  const Factor& f = *m_Factor;
  const int i = f.perm[static_cast<size_t>(p)], j = f.perm[static_cast<size_t>(q)];
  if (i == j) return m_ZDiagonal[static_cast<size_t>(i)];
  const int row = std::max(i, j), col = std::min(i, j);
  const SparseMatrix& L = f.ldlt.matrixL().nestedExpression();
  const int* Li = L.innerIndexPtr();
  const int* first = Li + L.outerIndexPtr()[col];
  const int* last = Li + L.outerIndexPtr()[col + 1];
  const int* at = std::lower_bound(first, last, row);
  if (at != last && *at == row) return m_ZLower[static_cast<size_t>(at - Li)];
  // Outside the pattern: a column of N^-1, the one of the larger unknown, so that a report
  // walking the lower triangle by rows solves each row once.
  for (const auto& cached : m_Columns) {
    if (cached.first == p) return cached.second[static_cast<size_t>(q)];
    if (cached.first == q) return cached.second[static_cast<size_t>(p)];
  }
  const int key = std::max(p, q), other = std::min(p, q);
  return Column(key)[static_cast<size_t>(other)];
}

void CSparseNormalEquations::PrepareCofactors() {
  if (!m_HaveSelected) SelectedInverse();
}

long long CSparseNormalEquations::FactorNonZeros() const {
  return m_Factor->ldlt.matrixL().nestedExpression().nonZeros();
}

}  // namespace vemo

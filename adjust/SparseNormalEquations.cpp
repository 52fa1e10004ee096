#include "adjust/SparseNormalEquations.h"

#include <Eigen/Dense>
#include <Eigen/OrderingMethods>
#include <iostream>  // Eigen's METIS support reports through std::cerr
#include <Eigen/MetisSupport>
#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <cholmod.h>
#include <dlfcn.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "geodesy/LibraryState.h"

// The BLAS that CHOLMOD's supernodal factorisation calls: the selected inverse's dense
// products go there too.
extern "C" {
void dgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k, const double* alpha,
            const double* a, const int* lda, const double* b, const int* ldb, const double* beta, double* c,
            const int* ldc);
void dsymm_(const char* side, const char* uplo, const int* m, const int* n, const double* alpha, const double* a,
            const int* lda, const double* b, const int* ldb, const double* beta, double* c, const int* ldc);
void dtrsm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m, const int* n,
            const double* alpha, const double* a, const int* lda, double* b, const int* ldb);
}

namespace vemo {
namespace {

using SparseMatrix = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;
using Permutation = Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int>;

// Nested dissection (METIS) of the graph of the points rather than of the unknowns: the
// unknowns of one point (consecutive columns with the same pattern) are one node, ordered
// together and kept adjacent, so that the factor's columns come in blocks of a point. A survey
// network is a graph spread over a plane, where nested dissection leaves much less fill than
// minimum degree (a third less in L at 100,000 points), and the points' graph is a ninth of
// the unknowns' in 3D. order: factor position -> unknown.
void OrderByPoints(const SparseMatrix& lower, std::vector<int>& order) {
  const int u = static_cast<int>(lower.cols());
  std::vector<std::vector<int>> rows(static_cast<size_t>(u));
  for (int j = 0; j < u; ++j)
    for (SparseMatrix::InnerIterator it(lower, j); it; ++it) {
      const int i = static_cast<int>(it.index());
      rows[static_cast<size_t>(j)].push_back(i);
      if (i != j) rows[static_cast<size_t>(i)].push_back(j);
    }
  for (auto& r : rows) std::sort(r.begin(), r.end());
  std::vector<int> group(static_cast<size_t>(u)), first;
  for (int j = 0; j < u; ++j) {
    if (j == 0 || rows[static_cast<size_t>(j)] != rows[static_cast<size_t>(j - 1)]) first.push_back(j);
    group[static_cast<size_t>(j)] = static_cast<int>(first.size()) - 1;
  }
  const int g = static_cast<int>(first.size());
  first.push_back(u);
  std::vector<Eigen::Triplet<double, int>> links;
  for (int b = 0; b < g; ++b) {
    int last = -1;
    for (int r : rows[static_cast<size_t>(first[static_cast<size_t>(b)])]) {
      const int a = group[static_cast<size_t>(r)];
      if (a != last) links.emplace_back(a, b, 1.0);
      last = a;
    }
  }
  rows = {};
  SparseMatrix graph(g, g);
  graph.setFromTriplets(links.begin(), links.end());
  links = {};
  Permutation groupOrder;
  if (g > 1) Eigen::MetisOrdering<int>()(graph, groupOrder);
  order.clear();
  order.reserve(static_cast<size_t>(u));
  for (int position = 0; position < g; ++position) {
    const int b = g > 1 ? groupOrder.indices()[position] : position;
    for (int j = first[static_cast<size_t>(b)]; j < first[static_cast<size_t>(b) + 1]; ++j) order.push_back(j);
  }
}

// The simplicial reference keeps the solver the supernodal one replaced: METIS on the graph
// of the unknowns.
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

void CheckBudget(double needed) {
  const size_t budget = g_MemoryBudget ? g_MemoryBudget : AvailableMemory();
  if (budget != 0 && needed > static_cast<double>(budget)) throw std::bad_alloc();
}

// The BLAS behind CHOLMOD is OpenBLAS where it is installed, which runs every dense block on
// all cores and waits for its threads by spinning: on a machine that other work shares (the
// desktop beside a build, the test suite run two at a time) that made a 2,000-point free
// network 12 times slower, and the count of threads changes the rounding of the blocks, so
// the printed digits would depend on the machine. One thread, unless the person sets
// OPENBLAS_NUM_THREADS; another BLAS has no such function and is left as it is.
// CHOLMOD's supernodal factorisation scatters each update through OpenMP regions of a fixed
// four threads: on two shared cores the wake-ups of those threads cost more than the copies
// they share (a twentieth of adjust-3d's processor time at 100,000 points), so OpenMP regions
// run on the calling thread (no active levels) unless the person sets OMP_NUM_THREADS. Each
// thread writes its own columns there, so the numbers do not depend on it.
void UseOneBlasThread() {
  static const bool done = [] {
    using SetThreads = void (*)(int);
    if (!std::getenv("OMP_NUM_THREADS"))
      if (auto set = reinterpret_cast<SetThreads>(dlsym(RTLD_DEFAULT, "omp_set_max_active_levels"))) set(0);
    if (std::getenv("OPENBLAS_NUM_THREADS")) return true;
    if (auto set = reinterpret_cast<SetThreads>(dlsym(RTLD_DEFAULT, "openblas_set_num_threads"))) set(1);
    return true;
  }();
  (void)done;
}

// The same pattern and the same numbers, element by element.
bool SameEntries(const SparseMatrix& a, const SparseMatrix& b) {
  return a.rows() == b.rows() && a.cols() == b.cols() && a.nonZeros() == b.nonZeros() && a.isCompressed() &&
         b.isCompressed() && std::equal(a.outerIndexPtr(), a.outerIndexPtr() + a.outerSize() + 1, b.outerIndexPtr()) &&
         std::equal(a.innerIndexPtr(), a.innerIndexPtr() + a.nonZeros(), b.innerIndexPtr()) &&
         std::equal(a.valuePtr(), a.valuePtr() + a.nonZeros(), b.valuePtr());
}

}  // namespace

void CSparseNormalEquations::SetMemoryBudget(size_t bytes) { g_MemoryBudget = bytes; }

struct CSparseNormalEquations::Factor {
  SparseMatrix n;         // the lower triangle of N, original numbering
  bool analysed = false;  // the ordering and symbolic factor of n's pattern exist
  std::vector<int> outer, inner;  // the pattern they were made for
  std::vector<int> perm;          // original unknown -> factor position
  // Simplicial.
  Ldlt ldlt;
  // Supernodal.
  cholmod_common common;
  cholmod_factor* L = nullptr;
  std::vector<int> superOf;  // factor column -> its supernode
  // Of factor column j in the supernodal blocks: where Z(j, j) is, and where its rows begin
  // in S() (the rows below j follow, up to rowsEnd, the end of its supernode's rows; the
  // element of the row at S()[k] is at diagonal + k - rowsAt). One record a column, so that a
  // lookup in a national network's factor costs one cache miss for it, not three.
  struct Column {
    size_t diagonal;
    int rowsAt, rowsEnd;
  };
  std::vector<Column> columns;
  // The selected inverse overwrote L's numbers (they are not needed once it is there, and a
  // national network's factor is hundreds of megabytes); a solve after it factorises again.
  bool zInPlace = false;
  // L (or the simplicial factor) is the factor of n's numbers as they stand, with this
  // result and singular unknown.
  bool factorOfN = false;
  int result = 0, singularUnknown = -1;

  Factor() {
    UseOneBlasThread();
    cholmod_start(&common);
    common.print = 0;  // failures are reported through the status, by the engine's messages
    common.error_handler = nullptr;
    common.supernodal = CHOLMOD_SUPERNODAL;
    common.nmethods = 1;
    common.method[0].ordering = CHOLMOD_GIVEN;
    common.postorder = 1;
  }
  ~Factor() {
    if (L) cholmod_free_factor(&L, &common);
    cholmod_finish(&common);
  }
  Factor(const Factor&) = delete;
  Factor& operator=(const Factor&) = delete;

  // n as CHOLMOD's symmetric matrix (lower triangle), without a copy.
  cholmod_sparse View() {
    cholmod_sparse a{};
    a.nrow = a.ncol = static_cast<size_t>(n.cols());
    a.nzmax = static_cast<size_t>(n.nonZeros());
    a.p = n.outerIndexPtr();
    a.i = n.innerIndexPtr();
    a.x = n.valuePtr();
    a.stype = -1;
    a.itype = CHOLMOD_INT;
    a.xtype = CHOLMOD_REAL;
    a.dtype = CHOLMOD_DOUBLE;
    a.sorted = 1;
    a.packed = 1;
    return a;
  }
  const int* Super() const { return static_cast<const int*>(L->super); }
  const int* Pi() const { return static_cast<const int*>(L->pi); }
  const int* Px() const { return static_cast<const int*>(L->px); }
  const int* S() const { return static_cast<const int*>(L->s); }
  const double* X() const { return static_cast<const double*>(L->x); }
};

struct CSparseNormalEquations::BlockMemo {
  static constexpr int kMaxIndices = 6;
  static constexpr size_t kMemoBytes = size_t{128} << 20;
  struct Record {
    int count;
    int index[kMaxIndices];
    double lower[kMaxIndices * (kMaxIndices + 1) / 2];  // row by row, the diagonal included
  };
  std::vector<Record> records;
  std::vector<uint32_t> slots;  // record + 1, 0 for an empty slot; a power of two long

  static constexpr size_t Capacity() { return kMemoBytes / (sizeof(Record) + 4 * sizeof(uint32_t)); }
  static uint64_t Hash(const int* index, int count) {
    uint64_t h = static_cast<uint64_t>(count);
    for (int a = 0; a < count; ++a) h = (h ^ static_cast<uint32_t>(index[a])) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
  }
  static bool Same(const Record& r, const int* index, int count) {
    return r.count == count && std::equal(index, index + count, r.index);
  }
  // The slot of the block, or the empty slot where it would go.
  size_t SlotOf(const int* index, int count) const {
    const size_t mask = slots.size() - 1;
    for (size_t at = Hash(index, count) & mask;; at = (at + 1) & mask)
      if (slots[at] == 0 || Same(records[slots[at] - 1], index, count)) return at;
  }
  bool Find(const int* index, int count, double* out) const {
    if (slots.empty()) return false;
    const uint32_t r = slots[SlotOf(index, count)];
    if (r == 0) return false;
    const double* lower = records[r - 1].lower;
    for (int a = 0; a < count; ++a)
      for (int b = 0; b <= a; ++b) out[a * count + b] = out[b * count + a] = *lower++;
    return true;
  }
  void Store(const int* index, int count, const double* out) {
    if (records.size() == Capacity()) return;
    // Reserved whole, so that the records are never moved; pages not written stay unmapped.
    if (records.capacity() < Capacity()) records.reserve(Capacity());
    if (2 * (records.size() + 1) > slots.size()) {  // at most half full
      slots.assign(std::max<size_t>(1024, 2 * slots.size()), 0);
      for (size_t r = 0; r < records.size(); ++r)
        slots[SlotOf(records[r].index, records[r].count)] = static_cast<uint32_t>(r + 1);
    }
    Record& record = records.emplace_back();
    record.count = count;
    std::copy(index, index + count, record.index);
    double* lower = record.lower;
    for (int a = 0; a < count; ++a)
      for (int b = 0; b <= a; ++b) *lower++ = out[a * count + b];
    slots[SlotOf(index, count)] = static_cast<uint32_t>(records.size());
  }
};

void CSparseNormalEquations::ForgetBlocks() const { m_Memo.reset(); }

CSparseNormalEquations::CSparseNormalEquations(Method method)
    : m_Method(method), m_Factor(std::make_unique<Factor>()) {}
CSparseNormalEquations::~CSparseNormalEquations() = default;

void CSparseNormalEquations::Allocate(int unknowns) {
  m_Unknowns = unknowns > 0 ? unknowns : 0;
  m_Factor = std::make_unique<Factor>();
  Clear();
}

void CSparseNormalEquations::Clear() {
  m_Assembled = false;
  m_Row.clear();
  m_Col.clear();
  m_Value.clear();
  m_U.assign(static_cast<size_t>(m_Unknowns), 0.0);
  m_HaveSelected = false;
  ForgetBlocks();
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
  ForgetBlocks();
  m_Columns.clear();
  m_SingularUnknown = -1;

  // Assemble in compressed columns, duplicates summed, every diagonal element present (an
  // unknown that no observation reaches is a singular pivot, not a missing column).
  // The entries added go into N, and their list is released: N, not the list, holds what an
  // Add after this factorisation adds to.
  std::vector<Eigen::Triplet<double, int>> triplets;
  triplets.reserve(m_Value.size() + static_cast<size_t>(u) + (m_Assembled ? static_cast<size_t>(f.n.nonZeros()) : 0));
  if (m_Assembled)
    for (int j = 0; j < f.n.outerSize(); ++j)
      for (SparseMatrix::InnerIterator it(f.n, j); it; ++it) triplets.emplace_back(static_cast<int>(it.row()), j, it.value());
  for (size_t e = 0; e < m_Value.size(); ++e) triplets.emplace_back(m_Row[e], m_Col[e], m_Value[e]);
  for (int p = 0; p < u; ++p) triplets.emplace_back(p, p, 0.0);
  m_Row = {}, m_Col = {}, m_Value = {};
  SparseMatrix assembled(u, u);
  assembled.setFromTriplets(triplets.begin(), triplets.end());
  assembled.makeCompressed();
  triplets = {};
  // A step whose linearisation left N as it was (the plane adjustment of vectors alone
  // iterates with the same N) finds the factor of the last step still right: the same
  // numbers give the same factor, so it is kept rather than formed again.
  const bool sameNumbers = f.factorOfN && SameEntries(assembled, f.n);
  f.n = std::move(assembled);
  m_Assembled = true;
  if (sameNumbers) {
    m_SingularUnknown = f.singularUnknown;
    return f.result;
  }
  f.factorOfN = false;

  const bool supernodal = m_Method == Method::Supernodal;
  cholmod_sparse A = f.View();
  const int* outer = f.n.outerIndexPtr();
  const int* inner = f.n.innerIndexPtr();
  const bool samePattern = f.analysed && f.outer.size() == static_cast<size_t>(u) + 1 &&
                           std::equal(f.outer.begin(), f.outer.end(), outer) &&
                           f.inner.size() == static_cast<size_t>(f.n.nonZeros()) &&
                           std::equal(f.inner.begin(), f.inner.end(), inner);
  if (!samePattern) {
    f.analysed = false;
    // The symbolic factorisation knows the size of L before a page of it is touched: a network
    // too large for the machine is refused here with the memory message, rather than ended by
    // the system when the numbers arrive (L with its row indices, and the selected inverse on
    // its pattern).
    if (supernodal) {
      if (f.L) cholmod_free_factor(&f.L, &f.common);
      std::vector<int> order;
      OrderByPoints(f.n, order);
      f.L = cholmod_analyze_p(&A, order.data(), nullptr, 0, &f.common);
      if (!f.L) throw std::bad_alloc();
      CheckBudget(static_cast<double>(f.L->xsize) * 2 * sizeof(double) +
                  static_cast<double>(f.L->ssize) * sizeof(int) + static_cast<double>(u) * 8 * sizeof(double));
      const int* perm = static_cast<const int*>(f.L->Perm);
      f.perm.assign(static_cast<size_t>(u), 0);
      for (int k = 0; k < u; ++k) f.perm[static_cast<size_t>(perm[k])] = k;
    } else {
      f.ldlt.analyzePattern(f.n);
      CheckBudget(static_cast<double>(f.ldlt.PlannedNonZeros()) * (2 * sizeof(double) + sizeof(int)) +
                  static_cast<double>(u) * 8 * sizeof(double));
      const auto& P = f.ldlt.permutationP().indices();
      f.perm.assign(P.data(), P.data() + P.size());
      if (f.perm.empty()) {  // no permutation: the identity
        f.perm.resize(static_cast<size_t>(u));
        for (int p = 0; p < u; ++p) f.perm[static_cast<size_t>(p)] = p;
      }
    }
    f.outer.assign(outer, outer + u + 1);
    f.inner.assign(inner, inner + f.n.nonZeros());
    f.analysed = true;
  }

  // The pivots: D of L D L^T, or the squared diagonal of L L^T. CHOLMOD stops at the first
  // pivot that is not positive, Eigen at an exactly zero one only; one lost to rounding or
  // not finite is as singular for an adjustment.
  std::vector<double> pivots(static_cast<size_t>(u), 0.0);
  int stopped = u;  // the first factor column that could not be formed
  // The assembly's and the ordering's freed pieces go back to the system before the numbers of
  // L (hundreds of megabytes in a national network) arrive: the process's peak is here.
  malloc_trim(0);
  if (supernodal) {
    cholmod_factorize(&A, f.L, &f.common);
    f.zInPlace = false;
    if (f.common.status == CHOLMOD_OUT_OF_MEMORY) throw std::bad_alloc();
    if (f.common.status == CHOLMOD_NOT_POSDEF) stopped = static_cast<int>(f.L->minor);
    if (!f.L->is_super) stopped = 0;  // cannot happen with the supernodal setting
    const int* super = f.Super();
    f.superOf.assign(static_cast<size_t>(u), 0);
    f.columns.assign(static_cast<size_t>(u), {});
    for (size_t s = 0; f.L->is_super && s < f.L->nsuper; ++s) {
      const int nsrow = f.Pi()[s + 1] - f.Pi()[s];
      for (int k = super[s]; k < super[s + 1]; ++k) {
        const int t = k - super[s];
        f.superOf[static_cast<size_t>(k)] = static_cast<int>(s);
        Factor::Column& column = f.columns[static_cast<size_t>(k)];
        column.diagonal = static_cast<size_t>(f.Px()[s]) + static_cast<size_t>(t) * nsrow + t;
        column.rowsAt = f.Pi()[s] + t;
        column.rowsEnd = f.Pi()[s + 1];
        const double l = f.X()[column.diagonal];
        if (k < stopped) pivots[static_cast<size_t>(k)] = l * l;
      }
    }
  } else {
    f.ldlt.factorize(f.n);
    const Eigen::VectorXd D = f.ldlt.vectorD();
    for (int k = 0; k < u; ++k) pivots[static_cast<size_t>(k)] = D[k];
    if (f.ldlt.info() != Eigen::Success) stopped = 0;
  }
  std::vector<int> unknownAt(static_cast<size_t>(u));
  for (int p = 0; p < u; ++p) unknownAt[static_cast<size_t>(f.perm[static_cast<size_t>(p)])] = p;
  for (int k = 0; k < u; ++k) {
    const int p = unknownAt[static_cast<size_t>(k)];
    const double diagonal = f.n.coeff(p, p);
    const double d = pivots[static_cast<size_t>(k)];
    if (k >= stopped || !(std::isfinite(d) && d > kPivotLoss * std::fabs(diagonal))) {
      m_SingularUnknown = p;
      break;
    }
  }
  f.factorOfN = true;
  f.singularUnknown = m_SingularUnknown;
  f.result = m_SingularUnknown < 0 ? 1 : 0;
  return f.result;
}

int CSparseNormalEquations::Solve(std::vector<double>& x) {
  const int u = m_Unknowns;
  x.assign(static_cast<size_t>(u), 0.0);
  if (u == 0) return 1;
  x = m_U;
  SolveInPlace(x);
  for (int p = 0; p < u; ++p) {
    x[static_cast<size_t>(p)] = -x[static_cast<size_t>(p)];
    if (!std::isfinite(x[static_cast<size_t>(p)])) return 0;
  }
  return 1;
}

void CSparseNormalEquations::SolveInPlace(std::vector<double>& b) const {
  Factor& f = *m_Factor;
  const int u = static_cast<int>(b.size());
  if (m_Method == Method::Simplicial) {
    const Eigen::Map<const Eigen::VectorXd> B(b.data(), u);
    const Eigen::VectorXd x = f.ldlt.solve(B);
    std::copy(x.data(), x.data() + u, b.begin());
    return;
  }
  if (f.zInPlace) {
    // Z leaves L's place for the factor, which is formed again.
    m_ZLower.assign(f.X(), f.X() + f.L->xsize);
    cholmod_sparse A = f.View();
    cholmod_factorize(&A, f.L, &f.common);
    if (f.common.status == CHOLMOD_OUT_OF_MEMORY) throw std::bad_alloc();
    f.zInPlace = false;
    f.factorOfN = true;
  }
  cholmod_dense B{};
  B.nrow = B.d = B.nzmax = static_cast<size_t>(u);
  B.ncol = 1;
  B.x = b.data();
  B.xtype = CHOLMOD_REAL;
  B.dtype = CHOLMOD_DOUBLE;
  cholmod_dense* X = cholmod_solve(CHOLMOD_A, f.L, &B, &f.common);
  if (!X) throw std::bad_alloc();
  const double* x = static_cast<const double*>(X->x);
  std::copy(x, x + u, b.begin());
  cholmod_free_dense(&X, &f.common);
}

// Takahashi's recurrences: with N = L D L^T (unit lower L), Z = N^-1 satisfies
//   Z(j, j) = 1 / D(j) - sum_k L(k, j) Z(k, j),   Z(i, j) = - sum_k L(k, j) Z(i, k)  (i > j),
// the sums over the rows k > j of column j of L. Every Z(i, k) they need lies in the pattern
// of L (the rows of column j below k are rows of column k), so the columns are computed from
// the last to the first, each from the columns to its right.
void CSparseNormalEquations::SelectedInverse() const {
  if (m_Method == Method::Supernodal) {
    SupernodalSelectedInverse();
    return;
  }
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

// The same recurrences on the supernodes of N = L L^T: for the columns J of a supernode, with
// the rows R below them and Y = L(R, J) L(J, J)^-1,
//   Z(R, J) = - Z(R, R) Y,   Z(J, J) = (L(J, J) L(J, J)^T)^-1 - Z(R, J)^T Y,
// where Z(R, R) is gathered from the supernodes to the right (the rows R of a column of R are
// rows of its own supernode, by the fill property) into one dense block: each element is
// looked up once per supernode rather than once per column, and the products are dense.
void CSparseNormalEquations::SupernodalSelectedInverse() const {
  using Matrix = Eigen::MatrixXd;
  using Stride = Eigen::OuterStride<>;
  Factor& f = *m_Factor;
  const int* super = f.Super();
  const int* pi = f.Pi();
  const int* px = f.Px();
  const int* rowsOf = f.S();
  // Z takes L's place supernode by supernode: a supernode's L is read before its Z is written,
  // and the Z of the supernodes to its right is all that the later ones read.
  double* Zx = static_cast<double*>(f.L->x);
  const double* Lx = Zx;
  m_ZLower = {};
  Matrix Zrr, Y, Linv;
  for (int s = static_cast<int>(f.L->nsuper) - 1; s >= 0; --s) {
    const int ncol = super[s + 1] - super[s];
    const int nrow = pi[s + 1] - pi[s];
    const int r = nrow - ncol;
    const int* R = rowsOf + pi[s] + ncol;
    const Eigen::Map<const Matrix, 0, Stride> Ljj(Lx + px[s], ncol, ncol, Stride(nrow));
    const Eigen::Map<const Matrix, 0, Stride> Lrj(Lx + px[s] + ncol, r, ncol, Stride(nrow));
    const double one = 1.0, zero = 0.0, minusOne = -1.0;
    Linv = Matrix::Identity(ncol, ncol);
    dtrsm_("L", "L", "N", "N", &ncol, &ncol, &one, Ljj.data(), &nrow, Linv.data(), &ncol);
    // Z(J, J) starts as (L(J, J) L(J, J)^T)^-1 = L(J, J)^-T L(J, J)^-1, once L(R, J) is used.
    auto diagonalBlock = [&] {
      dgemm_("T", "N", &ncol, &ncol, &ncol, &one, Linv.data(), &ncol, Linv.data(), &ncol, &zero, Zx + px[s], &nrow);
    };
    if (r == 0) {
      diagonalBlock();
      continue;
    }
    Y.resize(r, ncol);
    dgemm_("N", "N", &r, &ncol, &ncol, &one, Lrj.data(), &nrow, Linv.data(), &ncol, &zero, Y.data(), &r);
    // Z(R, R), lower triangle, column by column through the owning supernodes.
    Zrr.resize(r, r);
    for (int a = 0; a < r; ++a) {
      const int k = R[a];
      const int K = f.superOf[static_cast<size_t>(k)];
      const int t = k - super[K];
      const int knrow = pi[K + 1] - pi[K];
      const int* krows = rowsOf + pi[K];
      const double* zk = Zx + px[K] + static_cast<size_t>(t) * knrow;
      int c = t;
      for (int b = a; b < r; ++b) {
        while (krows[c] < R[b]) ++c;  // krows[c] == R[b] by the fill property
        Zrr(b, a) = zk[c];
      }
    }
    double* zrj = Zx + px[s] + ncol;
    dsymm_("L", "L", &r, &ncol, &minusOne, Zrr.data(), &r, Y.data(), &r, &zero, zrj, &nrow);
    diagonalBlock();
    dgemm_("T", "N", &ncol, &ncol, &r, &minusOne, zrj, &nrow, Y.data(), &r, &one, Zx + px[s], &nrow);
  }
  // The diagonal on its own, where the reports' many lookups of it stay in the cache.
  m_ZDiagonal.resize(static_cast<size_t>(m_Unknowns));
  for (int k = 0; k < m_Unknowns; ++k) m_ZDiagonal[static_cast<size_t>(k)] = Zx[f.columns[static_cast<size_t>(k)].diagonal];
  f.zInPlace = true;
  f.factorOfN = false;
  m_HaveSelected = true;
}

const double* CSparseNormalEquations::ZBlocks() const {
  return m_Factor->zInPlace ? m_Factor->X() : m_ZLower.data();
}

double CSparseNormalEquations::ZDiagonal(int i) const { return m_ZDiagonal[static_cast<size_t>(i)]; }

void CSparseNormalEquations::ZColumn(int j, const int*& first, const int*& last, const double*& value) const {
  const Factor& f = *m_Factor;
  if (m_Method == Method::Simplicial) {
    const SparseMatrix& L = f.ldlt.matrixL().nestedExpression();
    first = L.innerIndexPtr() + L.outerIndexPtr()[j];
    last = L.innerIndexPtr() + L.outerIndexPtr()[j + 1];
    value = m_ZLower.data() + L.outerIndexPtr()[j];
    return;
  }
  const Factor::Column& column = f.columns[static_cast<size_t>(j)];
  first = f.S() + column.rowsAt + 1;
  last = f.S() + column.rowsEnd;
  value = ZBlocks() + column.diagonal + 1;
}

const std::vector<double>& CSparseNormalEquations::Column(int q) const {
  for (size_t c = 0; c < m_Columns.size(); ++c) {
    if (m_Columns[c].first == q) {
      if (c != 0) std::rotate(m_Columns.begin(), m_Columns.begin() + static_cast<long>(c),
                              m_Columns.begin() + static_cast<long>(c) + 1);
      return m_Columns.front().second;
    }
  }
  std::vector<double> column(static_cast<size_t>(m_Unknowns), 0.0);
  column[static_cast<size_t>(q)] = 1.0;
  SolveInPlace(column);
  if (m_Columns.size() == kColumnCache) m_Columns.pop_back();
  m_Columns.insert(m_Columns.begin(), {q, std::move(column)});
  return m_Columns.front().second;
}

double CSparseNormalEquations::Cofactor(int p, int q) const {
  if (!m_HaveSelected) SelectedInverse();
  const Factor& f = *m_Factor;
  const int i = f.perm[static_cast<size_t>(p)], j = f.perm[static_cast<size_t>(q)];
  if (i == j) return ZDiagonal(i);
  const int row = std::max(i, j), col = std::min(i, j);
  const int *first, *last;
  const double* value;
  ZColumn(col, first, last, value);
  const int* at = std::lower_bound(first, last, row);
  if (at != last && *at == row) return value[at - first];
  // Outside the pattern: a column of N^-1, the one of the larger unknown, so that a report
  // walking the lower triangle by rows solves each row once.
  for (const auto& cached : m_Columns) {
    if (cached.first == p) return cached.second[static_cast<size_t>(q)];
    if (cached.first == q) return cached.second[static_cast<size_t>(p)];
  }
  const int key = std::max(p, q), other = std::min(p, q);
  return Column(key)[static_cast<size_t>(other)];
}

void CSparseNormalEquations::Cofactors(const int* index, int count, double* out) const {
  if (!m_HaveSelected) SelectedInverse();
  if (m_Method == Method::Supernodal && count <= kBlockIndices) {
    // Kept by the unknowns that exist: a group's absent columns (-1) are rows and columns of
    // zeros, so the block of a vector's ends is one whatever the caller's layout.
    int kept[BlockMemo::kMaxIndices], at[BlockMemo::kMaxIndices], n = 0;
    bool memo = true;
    for (int a = 0; a < count && memo; ++a) {
      if (index[a] < 0) continue;
      memo = n < BlockMemo::kMaxIndices;
      if (memo) kept[n] = index[a], at[n++] = a;
    }
    double block[BlockMemo::kMaxIndices * BlockMemo::kMaxIndices];
    if (memo && m_Memo && m_Memo->Find(kept, n, block)) {
      std::fill(out, out + static_cast<size_t>(count) * count, 0.0);
      for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b) out[at[a] * count + at[b]] = block[a * n + b];
      return;
    }
    bool solved = false;
    if (PointBlockCofactors(index, count, out, solved)) {
      if (memo && !solved) {
        for (int a = 0; a < n; ++a)
          for (int b = 0; b < n; ++b) block[a * n + b] = out[at[a] * count + at[b]];
        if (!m_Memo) m_Memo = std::make_unique<BlockMemo>();
        m_Memo->Store(kept, n, block);
      }
      return;
    }
  }
  ElementCofactors(index, count, out);
}

// The reports ask for the blocks of whole points (a point, the two ends of a vector). A point's
// unknowns are consecutive columns of one supernode, ordered together; they share their rows,
// and the rows of another point's unknowns come together in them (the unknowns of a point have
// the same neighbours, so fill reaches all of them or none). The block between two points is
// then found by one search for its first row, the rest lying beside it, where the element walk
// sorts and searches every element: at 100,000 points these lookups were the largest part of
// the reports. False, with nothing written, when the unknowns asked for are not in such runs.
bool CSparseNormalEquations::PointBlockCofactors(const int* index, int count, double* out, bool& solved) const {
  const Factor& f = *m_Factor;
  struct Run {
    int at, size, column;  // index[at .. at + size) are the factor columns column .. column + size
  };
  Run runs[kBlockIndices];
  int n = 0;
  for (int a = 0; a < count; ++a) {
    if (index[a] < 0) continue;
    const int c = f.perm[static_cast<size_t>(index[a])];
    if (n > 0) {
      Run& last = runs[n - 1];
      const int lastColumn = last.column + last.size - 1;
      if (last.at + last.size == a && index[a - 1] + 1 == index[a] && c == lastColumn + 1 &&
          f.columns[static_cast<size_t>(c)].rowsEnd == f.columns[static_cast<size_t>(lastColumn)].rowsEnd) {
        ++last.size;
        continue;
      }
    }
    runs[n++] = {a, 1, c};
  }
  // Two runs over the same columns (an unknown asked for twice) are left to the element walk.
  for (int r = 0; r < n; ++r)
    for (int t = r + 1; t < n; ++t)
      if (runs[r].column < runs[t].column + runs[t].size && runs[t].column < runs[r].column + runs[r].size) return false;

  for (int a = 0; a < count; ++a)
    if (index[a] < 0)
      for (int b = 0; b < count; ++b) out[a * count + b] = out[b * count + a] = 0.0;
  const int* S = f.S();
  for (int r = 0; r < n; ++r) {
    const Run& R = runs[r];
    const double* Z = ZBlocks();
    // Within a supernode its own columns are its first rows, in order.
    for (int a = 0; a < R.size; ++a) {
      const size_t diagonal = f.columns[static_cast<size_t>(R.column + a)].diagonal;
      for (int b = a; b < R.size; ++b)
        out[(R.at + a) * count + R.at + b] = out[(R.at + b) * count + R.at + a] = Z[diagonal + static_cast<size_t>(b - a)];
    }
    for (int t = r + 1; t < n; ++t) {
      const Run& A = runs[r].column < runs[t].column ? runs[r] : runs[t];  // the left columns
      const Run& B = runs[r].column < runs[t].column ? runs[t] : runs[r];
      const Factor::Column& first = f.columns[static_cast<size_t>(A.column)];
      // The position in S of B's first row below A's first column.
      int at;
      if (first.rowsEnd == f.columns[static_cast<size_t>(B.column)].rowsEnd) {
        at = first.rowsAt + (B.column - A.column);
      } else {
        at = static_cast<int>(std::lower_bound(S + first.rowsAt, S + first.rowsEnd, B.column) - S);
        bool together = at + B.size <= first.rowsEnd;
        for (int b = 0; together && b < B.size; ++b) together = S[at + b] == B.column + b;
        if (!together) {  // outside the pattern: columns of N^-1, element by element
          solved = true;
          for (int a = 0; a < A.size; ++a)
            for (int b = 0; b < B.size; ++b)
              out[(A.at + a) * count + B.at + b] = out[(B.at + b) * count + A.at + a] =
                  Cofactor(index[A.at + a], index[B.at + b]);
          Z = ZBlocks();  // a column's solve may have formed the factor again and moved Z
          continue;
        }
      }
      for (int a = 0; a < A.size; ++a) {
        // Column A.column + a begins one row further down, a diagonal element further on.
        const size_t from = f.columns[static_cast<size_t>(A.column + a)].diagonal + static_cast<size_t>(at - first.rowsAt - a);
        for (int b = 0; b < B.size; ++b)
          out[(A.at + a) * count + B.at + b] = out[(B.at + b) * count + A.at + a] = Z[from + static_cast<size_t>(b)];
      }
    }
  }
  return true;
}

void CSparseNormalEquations::ElementCofactors(const int* index, int count, double* out) const {
  const Factor& f = *m_Factor;
  // The lower elements by (column, row) in the factor's numbering: the rows wanted of one
  // column are found by one search and a walk down it.
  struct Wanted {
    int col, row, a, b;
  };
  Wanted wanted[64];
  int n = 0;
  for (int a = 0; a < count; ++a)
    for (int b = 0; b <= a; ++b) {
      if (index[a] < 0 || index[b] < 0) {
        out[a * count + b] = out[b * count + a] = 0.0;
        continue;
      }
      const int i = f.perm[static_cast<size_t>(index[a])], j = f.perm[static_cast<size_t>(index[b])];
      if (i == j) {
        out[a * count + b] = out[b * count + a] = ZDiagonal(i);
        continue;
      }
      if (n == 64) {  // beyond the blocks the reports ask for
        out[a * count + b] = out[b * count + a] = Cofactor(index[a], index[b]);
        continue;
      }
      wanted[n++] = {std::min(i, j), std::max(i, j), a, b};
    }
  std::sort(wanted, wanted + n,
            [](const Wanted& x, const Wanted& y) { return x.col != y.col ? x.col < y.col : x.row < y.row; });
  // The columns of a point share their rows (one supernode), and the rows wanted of them are
  // neighbours: a search starts where the previous column's first row was found, or where the
  // previous row of the same column was, and walks a few rows before it bisects.
  const int *first = nullptr, *last = nullptr, *at = nullptr, *columnHint = nullptr;
  const double* value = nullptr;
  for (int w = 0; w < n; ++w) {
    const Wanted& e = wanted[w];
    const bool newColumn = w == 0 || wanted[w - 1].col != e.col;
    if (newColumn) {
      ZColumn(e.col, first, last, value);
      at = columnHint && columnHint >= first && columnHint < last && *columnHint <= e.row ? columnHint : first;
    }
    for (int step = 0; at != last && *at < e.row; ++step, ++at)
      if (step == 4) {
        at = std::lower_bound(at, last, e.row);
        break;
      }
    if (newColumn) columnHint = at;
    double z;
    if (at != last && *at == e.row) {
      z = value[at - first];
    } else {
      z = Cofactor(index[e.a], index[e.b]);
      // Its column solve may have formed the factor again and moved Z out of its place.
      const int* unchanged;
      ZColumn(e.col, unchanged, unchanged, value);
    }
    out[e.a * count + e.b] = out[e.b * count + e.a] = z;
  }
}

void CSparseNormalEquations::PrepareCofactors() {
  if (!m_HaveSelected) SelectedInverse();
}

long long CSparseNormalEquations::FactorNonZeros() const {
  if (m_Method == Method::Simplicial) return m_Factor->ldlt.matrixL().nestedExpression().nonZeros();
  const cholmod_factor* L = m_Factor->L;
  if (!L) return 0;
  long long below = 0;  // the lower part of each supernode's block, diagonal excluded
  const int* super = m_Factor->Super();
  const int* pi = m_Factor->Pi();
  for (size_t s = 0; s < L->nsuper; ++s) {
    const long long ncol = super[s + 1] - super[s], nrow = pi[s + 1] - pi[s];
    below += ncol * nrow - ncol * (ncol + 1) / 2;
  }
  return below;
}

}  // namespace vemo

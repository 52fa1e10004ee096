#include "geodesy/BlockSweep.h"

#include <immintrin.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "geodesy/Matrix.h"

// The sweep of a pivot block K (rows and columns k0..k1-1), with X = A[:, K] the pivot column
// without its diagonal block and P = A_KK^-1:
//   A_ij -= X_i P X_j^T  for every pair i, j outside K   (the rank-b update),
//   A_iK  = X_i P        for every row i outside K,
//   A_KK  = -P.
// Sweeping every block in turn leaves -A^-1 in the array; a final change of sign gives A^-1.
// Restricted to the rows and columns after each block (the factor mode), the same steps are
// the block elimination of Gauss: the trailing update forms the Schur complement, and the
// array is left holding -P on each diagonal block and Y = X P below it (a block LDL^T form,
// n^3/6 multiply-adds), from which SolveFactoredBySweeps solves a system.
// With blocks of one element this is exactly the element-by-element elimination. The update
// dominates the work (n^3/2 multiply-adds in all); it runs tile by tile, MR rows by NR
// columns, in a register kernel that reads copies of X and -X P packed so that each step of
// its inner loop finds its operands side by side.

namespace vemo::detail {
namespace {

inline double* Row(double* a, size_t r) { return a + r * (r + 1) / 2; }
inline const double* Row(const double* a, size_t r) { return a + r * (r + 1) / 2; }

// C(i, j) += sum over k < depth of A[k MR + i] B[k NR + j], for i < MR and j < NR, with row i
// of C at c[i]. Every C element is summed in the same order by every call, so the result does
// not depend on how the tiles are visited.
using KernelFunction = void (*)(size_t depth, const double* A, const double* B, double* const* c);

__attribute__((target("avx512f,fma"))) void Kernel12x16Avx512(size_t depth, const double* A, const double* B,
                                                               double* const* c) {
  __m512d sum[12][2];
#pragma GCC unroll 12
  for (int i = 0; i < 12; ++i) {
    sum[i][0] = _mm512_setzero_pd();
    sum[i][1] = _mm512_setzero_pd();
    // The tile of C arrives while the products are summed.
    _mm_prefetch(reinterpret_cast<const char*>(c[i]), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(c[i] + 8), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(c[i] + 15), _MM_HINT_T0);
  }
  for (size_t k = 0; k < depth; ++k) {
    const __m512d b0 = _mm512_loadu_pd(B), b1 = _mm512_loadu_pd(B + 8);
#pragma GCC unroll 12
    for (int i = 0; i < 12; ++i) {
      const __m512d s = _mm512_set1_pd(A[i]);
      sum[i][0] = _mm512_fmadd_pd(s, b0, sum[i][0]);
      sum[i][1] = _mm512_fmadd_pd(s, b1, sum[i][1]);
    }
    A += 12;
    B += 16;
  }
#pragma GCC unroll 12
  for (int i = 0; i < 12; ++i) {
    _mm512_storeu_pd(c[i], _mm512_add_pd(_mm512_loadu_pd(c[i]), sum[i][0]));
    _mm512_storeu_pd(c[i] + 8, _mm512_add_pd(_mm512_loadu_pd(c[i] + 8), sum[i][1]));
  }
}

__attribute__((target("avx2,fma"))) void Kernel6x8Avx2(size_t depth, const double* A, const double* B,
                                                       double* const* c) {
  __m256d sum[6][2];
#pragma GCC unroll 6
  for (int i = 0; i < 6; ++i) {
    sum[i][0] = _mm256_setzero_pd();
    sum[i][1] = _mm256_setzero_pd();
    _mm_prefetch(reinterpret_cast<const char*>(c[i]), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(c[i] + 7), _MM_HINT_T0);
  }
  for (size_t k = 0; k < depth; ++k) {
    const __m256d b0 = _mm256_loadu_pd(B), b1 = _mm256_loadu_pd(B + 4);
#pragma GCC unroll 6
    for (int i = 0; i < 6; ++i) {
      const __m256d s = _mm256_broadcast_sd(A + i);
      sum[i][0] = _mm256_fmadd_pd(s, b0, sum[i][0]);
      sum[i][1] = _mm256_fmadd_pd(s, b1, sum[i][1]);
    }
    A += 6;
    B += 8;
  }
#pragma GCC unroll 6
  for (int i = 0; i < 6; ++i) {
    _mm256_storeu_pd(c[i], _mm256_add_pd(_mm256_loadu_pd(c[i]), sum[i][0]));
    _mm256_storeu_pd(c[i] + 4, _mm256_add_pd(_mm256_loadu_pd(c[i] + 4), sum[i][1]));
  }
}

void Kernel4x8Portable(size_t depth, const double* A, const double* B, double* const* c) {
  double sum[4][8] = {};
  for (size_t k = 0; k < depth; ++k) {
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 8; ++j) sum[i][j] += A[i] * B[j];
    A += 4;
    B += 8;
  }
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 8; ++j) c[i][j] += sum[i][j];
}

// Columns of the pivot column's packed copy kept together while the rows pass over them, so
// that they stay in the second-level cache (a multiple of every NR, 128 x 640 doubles).
constexpr size_t kColumnChunk = 640;
// The smallest pivot block, and the fraction of the order that a block takes below the largest.
constexpr size_t kSmallestBlock = 16;
constexpr size_t kBlocksPerOrder = 20;

template <size_t MR, size_t NR>
class Sweeper {
  static_assert(kSweepBlock % NR == 0 && kSmallestBlock % NR == 0 && kColumnChunk % NR == 0,
                "block sizes must be whole tiles");

 public:
  Sweeper(double* a, size_t n, KernelFunction kernel, bool trailingOnly = false)
      : m_A(a), m_N(n), m_Kernel(kernel), m_TrailingOnly(trailingOnly) {}

  void Run(size_t block) {
    for (size_t k0 = 0; k0 < m_N; k0 += block) Step(k0, std::min(m_N, k0 + block));
    if (m_TrailingOnly) return;
    const size_t size = m_N * (m_N + 1) / 2;
    for (size_t e = 0; e < size; ++e) m_A[e] = -m_A[e];
  }

 private:
  struct Strip {
    size_t first, count;  // rows (or columns) first .. first + count - 1
  };

  // Element k of the pivot column in row i (i outside the block, k < block order).
  double& PivotColumn(size_t i, size_t k) const {
    return i < m_K0 ? Row(m_A, m_K0 + k)[i] : Row(m_A, i)[m_K0 + k];
  }

  void Step(size_t k0, size_t k1) {
    m_K0 = k0;
    m_W = k1 - k0;
    m_Rows.clear();
    const size_t before = m_TrailingOnly ? 0 : k0;  // the factor mode leaves earlier rows alone
    for (size_t i = 0; i < before; i += MR) m_Rows.push_back({i, std::min(MR, before - i)});
    for (size_t i = k1; i < m_N; i += MR) m_Rows.push_back({i, std::min(MR, m_N - i)});
    m_Columns.clear();
    for (size_t j = 0; j < before; j += NR) m_Columns.push_back({j, std::min(NR, before - j)});
    for (size_t j = k1; j < m_N; j += NR) m_Columns.push_back({j, std::min(NR, m_N - j)});

    InvertPivotBlock();
    PackPivotColumn();
    MultiplyByPivotInverse();
    UpdateOutsideBlock();
    StoreSweptColumn();
  }

  // P = A_KK^-1 by the element-by-element elimination, packed by row strips for Y^T = P X^T.
  void InvertPivotBlock() {
    const size_t w = m_W, strips = (w + MR - 1) / MR;
    m_P.assign(w * (w + 1) / 2, 0.0);
    for (size_t r = 0; r < w; ++r)
      for (size_t c = 0; c <= r; ++c) m_P[r * (r + 1) / 2 + c] = Row(m_A, m_K0 + r)[m_K0 + c];
    MatrixInverseForDouble(m_P, static_cast<int>(w));
    m_PPacked.assign(strips * w * MR, 0.0);
    for (size_t s = 0; s < strips; ++s)
      for (size_t k = 0; k < w; ++k)
        for (size_t ii = 0; ii < MR && s * MR + ii < w; ++ii)
          m_PPacked[(s * w + k) * MR + ii] = m_P[PackedIndex(s * MR + ii, k)];
  }

  // Position of row or column j (outside the block) among the rows and columns outside it.
  size_t Outside(size_t j) const { return j < m_K0 ? j : m_TrailingOnly ? j - m_K0 - m_W : j - m_W; }

  // X by column strips: the operand of Y^T = P X^T and of the update.
  void PackPivotColumn() {
    const size_t w = m_W;
    m_XColumns.assign(m_Columns.size() * w * NR, 0.0);
    for (size_t t = 0; t < m_Columns.size(); ++t) {
      double* dst = m_XColumns.data() + t * w * NR;
      const Strip c = m_Columns[t];
      if (c.first < m_K0) {  // the pivot column lies in the rows of the block: copy across
        for (size_t k = 0; k < w; ++k) std::copy_n(Row(m_A, m_K0 + k) + c.first, c.count, dst + k * NR);
      } else {
        for (size_t jj = 0; jj < c.count; ++jj) {
          const double* src = Row(m_A, c.first + jj) + m_K0;
          for (size_t k = 0; k < w; ++k) dst[k * NR + jj] = src[k];
        }
      }
    }
  }

  // Y^T = P X^T by tiles (the same sums as X P, P being symmetric), then -Y packed by row
  // strips for the update.
  void MultiplyByPivotInverse() {
    const size_t w = m_W, strips = (w + MR - 1) / MR, wide = m_Columns.size() * NR;
    m_YT.assign(strips * MR * wide, 0.0);
    double* rows[MR];
    for (size_t s = 0; s < strips; ++s)
      for (size_t t = 0; t < m_Columns.size(); ++t) {
        for (size_t ii = 0; ii < MR; ++ii) rows[ii] = m_YT.data() + (s * MR + ii) * wide + t * NR;
        m_Kernel(w, m_PPacked.data() + s * w * MR, m_XColumns.data() + t * w * NR, rows);
      }
    m_NegYRows.assign(m_Rows.size() * w * MR, 0.0);
    for (size_t s = 0; s < m_Rows.size(); ++s) {
      const size_t first = Outside(m_Rows[s].first), count = m_Rows[s].count;
      double* dst = m_NegYRows.data() + s * w * MR;
      for (size_t k = 0; k < w; ++k) {
        const double* src = m_YT.data() + k * wide + first;
        for (size_t ii = 0; ii < count; ++ii) dst[k * MR + ii] = -src[ii];
      }
    }
  }

  // A_ij -= Y_i X_j^T over the lower triangle outside the block, chunk of columns by chunk.
  void UpdateOutsideBlock() {
    const size_t chunk = kColumnChunk / NR;
    size_t firstRow = 0;
    for (size_t t0 = 0; t0 < m_Columns.size(); t0 += chunk) {
      const size_t t1 = std::min(m_Columns.size(), t0 + chunk);
      const size_t firstColumn = m_Columns[t0].first;
      while (firstRow < m_Rows.size() && m_Rows[firstRow].first + m_Rows[firstRow].count <= firstColumn) ++firstRow;
      for (size_t s = firstRow; s < m_Rows.size(); ++s) {
        const size_t lastRow = m_Rows[s].first + m_Rows[s].count - 1;
        for (size_t t = t0; t < t1 && m_Columns[t].first <= lastRow; ++t) UpdateTile(s, t);
      }
    }
  }

  void UpdateTile(size_t s, size_t t) {
    const Strip r = m_Rows[s], c = m_Columns[t];
    const double* a = m_NegYRows.data() + s * m_W * MR;
    const double* b = m_XColumns.data() + t * m_W * NR;
    double* rows[MR];
    if (r.count == MR && c.count == NR && c.first + NR <= r.first + 1) {  // wholly below the diagonal
      for (size_t ii = 0; ii < MR; ++ii) rows[ii] = Row(m_A, r.first + ii) + c.first;
      m_Kernel(m_W, a, b, rows);
      return;
    }
    double tile[MR * NR] = {};
    for (size_t ii = 0; ii < MR; ++ii) rows[ii] = tile + ii * NR;
    m_Kernel(m_W, a, b, rows);
    for (size_t ii = 0; ii < r.count; ++ii) {
      const size_t i = r.first + ii;
      if (i < c.first) continue;
      const size_t last = std::min(c.count, i - c.first + 1);
      double* dst = Row(m_A, i) + c.first;
      for (size_t jj = 0; jj < last; ++jj) dst[jj] += tile[ii * NR + jj];
    }
  }

  // A_iK = Y_i and A_KK = -P.
  void StoreSweptColumn() {
    const size_t w = m_W, wide = m_Columns.size() * NR;
    for (size_t k = 0; k < w; ++k) {
      const double* src = m_YT.data() + k * wide;
      for (const Strip& r : m_Rows)
        for (size_t ii = 0; ii < r.count; ++ii) PivotColumn(r.first + ii, k) = src[Outside(r.first + ii)];
    }
    for (size_t r = 0; r < w; ++r)
      for (size_t c = 0; c <= r; ++c) Row(m_A, m_K0 + r)[m_K0 + c] = -m_P[r * (r + 1) / 2 + c];
  }

  double* m_A;
  size_t m_N;
  KernelFunction m_Kernel;
  bool m_TrailingOnly;
  size_t m_K0 = 0, m_W = 0;
  std::vector<Strip> m_Rows, m_Columns;
  std::vector<double> m_P, m_PPacked, m_XColumns, m_YT, m_NegYRows;
};

SweepKernel Resolve(SweepKernel kernel) {
  if (kernel != SweepKernel::Automatic) return kernel;
  if (SweepKernelSupported(SweepKernel::Avx512)) return SweepKernel::Avx512;
  if (SweepKernelSupported(SweepKernel::Avx2)) return SweepKernel::Avx2;
  return SweepKernel::Portable;
}

}  // namespace

size_t SweepBlockOrder(size_t n) {
  const size_t block = n / kBlocksPerOrder / kSmallestBlock * kSmallestBlock;
  return std::clamp(block, kSmallestBlock, kSweepBlock);
}

bool SweepKernelSupported(SweepKernel kernel) {
  switch (kernel) {
    case SweepKernel::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("fma");
    case SweepKernel::Avx2:
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case SweepKernel::Automatic:
    case SweepKernel::Portable:
      return true;
  }
  return false;
}

namespace {

void Sweep(double* a, size_t n, SweepKernel kernel, size_t block, bool trailingOnly) {
  if (block == 0) block = SweepBlockOrder(n);
  if (block % kSmallestBlock != 0 || block > kSweepBlock) throw std::invalid_argument("pivot block order");
  switch (Resolve(kernel)) {
    case SweepKernel::Avx512:
      Sweeper<12, 16>(a, n, Kernel12x16Avx512, trailingOnly).Run(block);
      return;
    case SweepKernel::Avx2:
      Sweeper<6, 8>(a, n, Kernel6x8Avx2, trailingOnly).Run(block);
      return;
    default:
      Sweeper<4, 8>(a, n, Kernel4x8Portable, trailingOnly).Run(block);
      return;
  }
}

}  // namespace

void InvertPackedBySweeps(double* a, size_t n, SweepKernel kernel, size_t block) {
  Sweep(a, n, kernel, block, false);
}

void FactorPackedBySweeps(double* a, size_t n, SweepKernel kernel, size_t block) { Sweep(a, n, kernel, block, true); }

void SolveFactoredBySweeps(const double* a, size_t n, double* b, size_t block) {
  if (block == 0) block = SweepBlockOrder(n);
  std::vector<double> t(block);
  // Forward: b_i -= Y_i b_K for the rows after each block K, in order.
  for (size_t k0 = 0; k0 < n; k0 += block) {
    const size_t k1 = std::min(n, k0 + block);
    for (size_t i = k1; i < n; ++i) {
      const double* y = Row(a, i) + k0;
      double s = 0.0;
      for (size_t k = k0; k < k1; ++k) s += y[k - k0] * b[k];
      b[i] -= s;
    }
  }
  // Backward: x_K = P b_K - sum over the later rows i of Y_i^T x_i, the blocks in reverse; the
  // diagonal block holds -P.
  for (size_t blockIndex = (n + block - 1) / block; blockIndex-- > 0;) {
    const size_t k0 = blockIndex * block;
    const size_t k1 = std::min(n, k0 + block), w = k1 - k0;
    for (size_t k = 0; k < w; ++k) {
      double s = 0.0;
      for (size_t c = 0; c < w; ++c) s -= Row(a, k0 + std::max(k, c))[k0 + std::min(k, c)] * b[k0 + c];
      t[k] = s;
    }
    for (size_t i = k1; i < n; ++i) {
      const double* y = Row(a, i) + k0;
      const double xi = b[i];
      for (size_t k = 0; k < w; ++k) t[k] -= y[k] * xi;
    }
    std::copy_n(t.data(), w, b + k0);
  }
}

}  // namespace vemo::detail

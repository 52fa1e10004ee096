// The sparse form of the normal equations: a GPS network's normal matrix ties each point to
// its few neighbours, so it is assembled by blocks into a sparse matrix, ordered to keep the
// fill small (nested dissection of the points' graph), and factorised as P N P^T = L L^T by
// CHOLMOD's supernodal Cholesky (dense blocks of columns that share their rows: a point's
// unknowns, the separators of the network). The solution costs two triangular solves; the
// cofactors that the reports need (a point's own block, the block between the two ends of an
// observation) lie inside the pattern of L, where the selected inverse, computed on the same
// dense blocks, gives them all in about the time of the factorisation. Any other element is
// taken from a column of N^-1 solved on request.
//
// The simplicial form (Eigen's column-by-column LDL^T and a selected inverse by columns) is
// kept as the reference the tests and the agreement benchmark compare with.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "adjust/NormalEquations.h"

namespace vemo {

class CSparseNormalEquations final : public CNormalEquations {
 public:
  enum class Method { Supernodal, Simplicial };
  explicit CSparseNormalEquations(Method method = Method::Supernodal);
  ~CSparseNormalEquations() override;

  void Allocate(int unknowns) override;
  void Clear() override;
  void Add(const int* index, int count, const double* block, const double* rhs) override;
  // Orders and factorises N (the ordering is kept while the pattern stays the same, as in
  // every iteration of an adjustment). Returns 0 when N is singular or not positive
  // definite: a pivot that is not positive, not finite, or lost to rounding (below 1e-11 of
  // its diagonal element); the unknown of the first such pivot is SingularUnknown().
  int Factorize() override;
  int Solve(std::vector<double>& x) override;
  // The factorisation leaves N as it is: an iteration's step is a factorisation and a solve,
  // and a later Factorize of the same N reuses it.
  int SolveKeeping(std::vector<double>& x) override;
  // The selected inverse is computed on the first request after a factorisation, so an
  // iteration that only solves never pays for it.
  double Cofactor(int p, int q) const override;
  void Cofactors(const int* index, int count, double* out) const override;
  void PrepareCofactors() override;
  double RightHandSide(int p) const override { return m_U[static_cast<size_t>(p)]; }

  // The unknown (original numbering) at which the factorisation broke down, or -1.
  int SingularUnknown() const override { return m_SingularUnknown; }
  // Entries of L below the diagonal (the supernodal form counts its blocks' stored entries),
  // for the benchmark's figures.
  long long FactorNonZeros() const;
  // Factorize throws std::bad_alloc, before it allocates the numbers of the factor, when they
  // and the selected inverse would need more memory than this (0, the default: the memory the
  // machine has available at the time).
  static void SetMemoryBudget(size_t bytes);

 private:
  struct Factor;  // the factorisation, kept out of this header
  int FactorizeNow();
  void SelectedInverse() const;
  void SupernodalSelectedInverse() const;
  // Cofactors by blocks of points (the supernodal form, up to kBlockIndices unknowns), and
  // element by element.
  static constexpr int kBlockIndices = 16;
  // solved: an element outside the pattern was taken from a column of N^-1.
  bool PointBlockCofactors(const int* index, int count, double* out, bool& solved) const;
  // The blocks of up to six unknowns found before (a point's, a vector's ends'): the reports
  // and tests walk the observations several times, asking for the same blocks each time, and
  // in a national network's Z each search is a string of cache misses over hundreds of
  // megabytes. Only blocks read from Z are kept, up to kMemoBytes; they are the same numbers.
  struct BlockMemo;
  mutable std::unique_ptr<BlockMemo> m_Memo;
  void ForgetBlocks() const;
  void ElementCofactors(const int* index, int count, double* out) const;
  // b := N^-1 b.
  void SolveInPlace(std::vector<double>& b) const;
  const std::vector<double>& Column(int q) const;
  // Z(i, i) and the stored rows below i of column j of Z (factor numbering): sorted row
  // indices [first, last) and the value of the first.
  double ZDiagonal(int i) const;
  const double* ZBlocks() const;  // the supernodal Z
  void ZColumn(int j, const int*& first, const int*& last, const double*& value) const;

  Method m_Method;
  std::vector<int> m_Row, m_Col;  // lower-triangle entries of N as added (duplicates summed later)
  std::vector<double> m_Value;
  bool m_Assembled = false;  // N holds entries added before the last factorisation
  std::vector<double> m_U;
  std::unique_ptr<Factor> m_Factor;
  int m_SingularUnknown = -1;
  int m_Factorized = -1;  // the result of the factorisation of N as it stands, -1 before one

  // Z = N^-1 on the pattern of L, in the factor's (permuted) numbering. Simplicial: the
  // diagonal and, parallel to L's stored entries, the elements below it. Supernodal: parallel
  // to the factor's dense blocks.
  mutable bool m_HaveSelected = false;
  mutable std::vector<double> m_ZDiagonal, m_ZLower;
  // Columns of N^-1 solved for elements outside the pattern, the most recent first.
  mutable std::vector<std::pair<int, std::vector<double>>> m_Columns;
};

}  // namespace vemo

// The normal equations N x + U = 0 of a linear least-squares adjustment, behind one small
// interface so that the engine does not depend on how they are stored and solved: the dense
// packed triangle inverted in place today, a sparse factorisation later. Indices of the
// unknowns count from 0; a negative index (a fixed point's coordinate) is skipped.
#pragma once

#include <functional>
#include <memory>
#include <vector>

namespace vemo {

class CNormalEquations {
 public:
  virtual ~CNormalEquations() = default;

  // Sizes the system for the given number of unknowns, every element 0. Throws
  // std::bad_alloc when the memory is not there.
  virtual void Allocate(int unknowns) = 0;
  int Unknowns() const { return m_Unknowns; }
  // Sets every element of N and U back to 0.
  virtual void Clear() = 0;

  // Adds one observation group: N(index[a], index[b]) += block[a count + b] for every
  // a < count and b <= a whose indices are both >= 0, and U(index[a]) += rhs[a].
  virtual void Add(const int* index, int count, const double* block, const double* rhs) = 0;

  // Makes Qxx = N^-1 available (the dense form inverts N in place). Returns 0 when N is
  // singular: its inverse then holds elements that are not finite, or a diagonal that is not
  // positive.
  virtual int Factorize() = 0;
  // After Factorize: x (resized to the unknowns) = -Qxx U. Returns 0 when x is not finite.
  virtual int Solve(std::vector<double>& x) = 0;

  // Solves N x + U = 0 (x resized to the unknowns) by a factorisation that leaves N as it
  // is, so that Factorize can still invert it: an iterative adjustment solves each step this
  // way and inverts once, after convergence, for the precisions. Returns 0 when N is singular
  // or so nearly singular that a pivot lost all but a few of its digits, or x is not finite.
  virtual int SolveKeeping(std::vector<double>& x) = 0;

  // With on, Factorize and SolveKeeping work on N scaled to a unit diagonal (D N D with
  // D = diag(N(p, p))^-1/2) and scale back: the same solution and cofactors, but unknowns of
  // very different units or weights (coordinates beside scale terms, nearly fixed
  // observations beside loose ones) no longer meet in one pivot block of the elimination,
  // where they would cost its digits. An unknown without observations (N(p, p) not positive)
  // is then a singular matrix.
  void ScaleToUnitDiagonal(bool on) { m_UnitDiagonal = on; }

  // Qxx(p, q), either order, after a successful Factorize.
  virtual double Cofactor(int p, int q) const = 0;
  // The count x count block out[a count + b] = Qxx(index[a], index[b]), 0 where an index is
  // negative: the reports take the cofactors of a point or an observation in one call, which
  // the sparse form answers with one search of its pattern per column instead of per element.
  virtual void Cofactors(const int* index, int count, double* out) const;
  // Computes now, rather than on the first Cofactor, what the cofactors need beyond the
  // factorisation (the sparse form's selected inverse), so that it can be timed on its own.
  virtual void PrepareCofactors() {}
  // U(p).
  virtual double RightHandSide(int p) const = 0;
  // After a failed Factorize: an unknown at which N was found singular, or -1 when the form
  // cannot tell.
  virtual int SingularUnknown() const { return -1; }

 protected:
  int m_Unknowns = 0;
  bool m_UnitDiagonal = false;
};

// The dense form: N packed as the lower triangle by rows (u(u+1)/2 doubles), inverted in
// place by MatrixInverseForDouble, x by GetNormalEquation_xx.
class CDenseNormalEquations final : public CNormalEquations {
 public:
  void Allocate(int unknowns) override;
  void Clear() override;
  void Add(const int* index, int count, const double* block, const double* rhs) override;
  int Factorize() override;
  int Solve(std::vector<double>& x) override;
  int SolveKeeping(std::vector<double>& x) override;
  double Cofactor(int p, int q) const override;
  double RightHandSide(int p) const override { return m_U[static_cast<size_t>(p)]; }

  // The packed triangle: N before Factorize, Qxx after.
  const std::vector<double>& Packed() const { return m_N; }

 private:
  std::vector<double> m_N, m_U;
  std::vector<double> m_Factor;  // the work copy that SolveKeeping factors
  // D of ScaleToUnitDiagonal from the diagonal of N; false when a diagonal is not positive.
  bool UnitScale(std::vector<double>& d) const;
  // Whether the inverse in m_N has positive diagonals and finite elements.
  bool InverseIsSound() const;
  // SolveKeeping by the element-by-element elimination in long double, when the pivot blocks
  // of the factorisation lost the digits of an ill-conditioned block.
  int SolveByElimination(const std::vector<double>& d, std::vector<double>& x);
};

// The form every adjustment builds: sparse unless a test asks for the dense reference (the
// two give the same reports to the printed digit; the dense one grows with the cube of the
// network). SparseSimplicial is the sparse form's column-by-column reference.
enum class NormalForm { Sparse, Dense, SparseSimplicial };
std::unique_ptr<CNormalEquations> MakeNormalEquations();
// The form for normal equations that hold unknowns by constraint weights many orders above the
// observations' (the ellipsoidal adjustment's known components, 1e8): their cofactors carry
// rounding in the ninth digit, which the reports print, and which any other elimination order
// moves. The sparse form keeps the simplicial factorisation on the unknowns' ordering there,
// so that those reports stay byte for byte.
std::unique_ptr<CNormalEquations> MakeConstrainedNormalEquations();
// Chooses the form that MakeNormalEquations builds from now on (tests compare the paths).
void SetNormalForm(NormalForm form);

// Runs allocate, which sizes normal (and the engine's solution) and may throw std::bad_alloc.
// When the memory is not there, normal is released and the library's "内存不足..." message
// shown: returns false.
bool AllocateOrReport(const std::function<void()>& allocate, std::unique_ptr<CNormalEquations>& normal);

}  // namespace vemo

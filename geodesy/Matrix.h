// Normal equations in packed symmetric storage and their in-place inversion.
//
// A packed symmetric n x n matrix holds its lower triangle by rows in a vector: element (p, q)
// with p >= q, counted from 0, lies at p(p+1)/2 + q (PackedIndex). The vector may be longer
// than n(n+1)/2; the rest is left alone.
#pragma once

#include <cstddef>
#include <vector>

// Position of element (p, q) of a packed symmetric matrix, indices from 0, either order.
inline size_t PackedIndex(size_t p, size_t q) {
  return p >= q ? p * (p + 1) / 2 + q : q * (q + 1) / 2 + p;
}

// Inverts the packed symmetric positive-definite matrix N of order n in place by the
// symmetric Gauss-Jordan elimination, without pivoting (about n^3/2 multiplications). Up to
// order 256 it works element by element with an n-element work vector; above, the same
// elimination runs by pivot blocks of up to 128 (BlockSweep.h), with work space beside N of
// less than a third of N, and agrees with the element-by-element result to rounding.
// A zero pivot yields infinite or not-a-number elements; detecting a singular network is the
// caller's business. n = 0 leaves N unchanged. Returns 1. Throws std::invalid_argument when
// n < 0 or N holds fewer than n(n+1)/2 elements.
int MatrixInverseForDouble(std::vector<double>& N, int n);

// Whether the packed symmetric matrix N of order n is positive definite with room to spare:
// a Cholesky factorization of N scaled to a unit diagonal (so that unknowns of different
// units, shifts in metres and scale terms, or powers of a latitude, are compared fairly),
// each pivot above minPivot. The default leaves at least four significant digits in the
// solution; a zero or not-a-number diagonal fails. N is not changed.
constexpr double kSingularPivot = 1e-12;
bool IsWellConditioned(const std::vector<double>& N, int n, double minPivot = kSingularPivot);

// Factors the packed symmetric positive-definite matrix N of order n in place by the block
// elimination of Gauss (the sweeps of MatrixInverseForDouble restricted to the trailing rows
// and columns, a third of its work), for SolveFactoredForDouble. A singular N leaves infinite,
// not-a-number or non-positive values in the pivots (FactoredPivot); detecting that is the
// caller's business. Returns 1. Throws std::invalid_argument as MatrixInverseForDouble does.
int MatrixFactorForDouble(std::vector<double>& N, int n);

// The pivot of unknown p after MatrixFactorForDouble: the diagonal element p of the inverse of
// its pivot block of the Schur complement; at least 1 / N(p, p) for a positive-definite N, and
// far larger when N is nearly singular.
double FactoredPivot(const std::vector<double>& F, int p);

// x(i) = -(N^-1 W)(i), the unknowns of N x + W = 0, from the factor F of N. x is resized to n.
// Returns 1. Throws std::invalid_argument when F or W are too short or n < 0.
int SolveFactoredForDouble(const std::vector<double>& F, const std::vector<double>& W, std::vector<double>& x,
                           int n);

// The same algorithm on long double storage.
int MatrixInverse(std::vector<long double>& N, int n);

// x(i) = -sum_j Q(i,j) W(j) for i < n: the unknowns of N x + W = 0 from Q = N^-1 (packed).
// x must already hold n elements; each is overwritten. Returns 1. Throws
// std::invalid_argument when Q, W or x are too short or n < 0.
int GetNormalEquation_xx(const std::vector<double>& Q, const std::vector<double>& W,
                         std::vector<double>& x, int n);

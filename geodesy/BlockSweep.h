// The cache-friendly form of the in-place inversion of a packed symmetric matrix, used by
// MatrixInverseForDouble for large orders. It performs the same symmetric Gauss-Jordan sweep
// as the element-by-element elimination, grouped in pivot blocks, so that almost all of the
// work is one rank-b update of the whole triangle per block, done by a small register-tiled
// kernel on packed copies of the pivot column. Internal to the library (and its tests).
#pragma once

#include <cstddef>

namespace vemo::detail {

// Which register kernel performs the updates. Automatic takes the widest one the processor
// supports; the others exist so that every variant can be tested on one machine.
enum class SweepKernel { Automatic, Avx512, Avx2, Portable };

// Whether the processor can run the kernel (Portable and Automatic always can).
bool SweepKernelSupported(SweepKernel kernel);

// Largest order of the pivot blocks (a multiple of the column width of every kernel). Smaller
// matrices take smaller blocks, about n/20 but at least 16, so that the work space stays under
// a third of the matrix itself.
constexpr size_t kSweepBlock = 128;
size_t SweepBlockOrder(size_t n);

// Inverts the packed symmetric matrix a (lower triangle by rows, n(n+1)/2 elements) in place.
// The matrix must have non-singular leading blocks, as for the element-by-element
// elimination (a symmetric positive-definite matrix always has); a singular pivot block gives
// infinite or not-a-number elements, no failure. Besides the matrix it allocates about
// 3 n SweepBlockOrder(n) doubles. Deterministic: the same input gives the same bits on every
// run with the same kernel and block order. block 0 takes SweepBlockOrder(n); another value
// (a multiple of 16, at most kSweepBlock) is for the tests.
void InvertPackedBySweeps(double* a, size_t n, SweepKernel kernel = SweepKernel::Automatic, size_t block = 0);

// The same sweeps restricted to the rows and columns after each pivot block: the block
// elimination of Gauss (a third of the work of the inversion). Leaves -P_K (the inverse of
// the pivot block of the Schur complement) on each diagonal block and Y = X P_K below it.
// A positive-definite matrix gives positive diagonals of every P_K; a singular one gives
// infinite, not-a-number or non-positive ones, no failure.
void FactorPackedBySweeps(double* a, size_t n, SweepKernel kernel = SweepKernel::Automatic, size_t block = 0);

// Solves A x = b in place (b becomes x) from the factor that FactorPackedBySweeps left, with the
// same block order (0: SweepBlockOrder(n)). O(n^2).
void SolveFactoredBySweeps(const double* a, size_t n, double* b, size_t block = 0);

}  // namespace vemo::detail

// Variance component estimation: how far each group of observations (the vectors of one
// session, the ground distances, a group of weighted known points...) is from its given
// covariances, learnt from the residuals of the adjustment. Each group k gets a factor θ_k by
// which its given covariances are multiplied; θ_k = 1 means the given covariances are right.
//
// The estimator is iterated (Förstner's form of Helmert's estimation): at each step every
// group's factor is multiplied by vᵀP_k v / (σ0² r_k), r_k being the sum of the redundancy
// numbers of its components, and the network re-adjusted with the new weights, until no
// factor moves by more than kConvergence. At the fixed point the estimates are those of
// Helmert's iterated estimator. Their precisions come from Helmert's matrix H at the fixed
// point (D(θ̂) = 2 θ² H⁻¹), which holds the coupling of the groups through the network; a
// network too large for its full cofactor matrix gets the uncoupled approximation 2 θ² / r_k,
// and says so.
//
// Generic over the engines: an engine supplies, for given factors, its re-adjusted blocks
// (design rows, cofactor matrix, residuals) and its normal equations' cofactors.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vemo {

class CNormalEquations;

// One observation block (a vector, a distance, an azimuth, a weighted point or group of
// points) of an adjustment just made.
struct CVarianceBlock {
  int group = 0;               // index of its group
  std::vector<int> index;      // unknowns of the design columns; negative: a fixed coordinate
  std::vector<double> a;       // design rows, rows x index.size(), by rows
  std::vector<double> Ql;      // cofactor matrix of the observations (rows x rows), as weighted
  std::vector<double> v;       // residuals
  size_t Rows() const { return v.size(); }
};

// What an engine hands back after re-adjusting: its blocks, the variance of unit weight in
// the square of the residuals' unit (the covariance of a block is Ql · unitVariance), and
// the normal equations whose cofactors belong to that solution.
struct CAdjustedBlocks {
  std::vector<CVarianceBlock> blocks;
  double unitVariance = 1.0;
  const CNormalEquations* normal = nullptr;
};

// Re-adjusts with every group's given covariances multiplied by factors[k] and fills the
// blocks; false (after its own message) when the adjustment fails.
using VarianceReadjust = std::function<bool(const std::vector<double>& factors, CAdjustedBlocks& adjusted)>;

struct CVarianceComponent {
  std::string name;         // GBK
  int observations = 0;     // components of its blocks
  double redundancy = 0;    // r_k at the solution
  bool estimable = false;   // r_k at least kLeastRedundancy
  double factor = 1.0;      // θ̂_k (1 when not estimable)
  double sigma = 0.0;       // its standard error
  double degrees = 0.0;     // the equivalent degrees of freedom of θ̂_k (2 / its relative variance)
  double lower = 0, upper = 0;  // θ̂_k that the test of θ = 1 accepts
  bool passed = true;
};

struct CVarianceComponents {
  std::vector<CVarianceComponent> groups;
  int iterations = 0;
  bool converged = false;
  bool rigorous = false;    // precisions from Helmert's matrix (else the uncoupled approximation)
  double alpha = 0.05;      // two-sided level of the tests of θ = 1
};

// The iteration stops when every factor moved by less than this part of itself.
constexpr double kVarianceConvergence = 1e-4;
constexpr int kVarianceMaxIterations = 50;
// A group whose redundancy is below this is not estimable: its factor stays 1.
constexpr double kLeastRedundancy = 0.5;

// Estimates the factors of the named groups (names[k] for group k). Fails (false, after the
// engine's message) when a re-adjustment fails. The factors are tested against 1 two-sided
// at alpha.
bool EstimateVarianceComponents(const std::vector<std::string>& names, const VarianceReadjust& readjust, double alpha,
                                CVarianceComponents& result);

// The factors of the result by group (1 for a group that is not estimable).
std::vector<double> Factors(const CVarianceComponents& result);

}  // namespace vemo

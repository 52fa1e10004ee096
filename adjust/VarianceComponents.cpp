#include "adjust/VarianceComponents.h"

#include <algorithm>
#include <cmath>

#include "adjust/AdjustmentStatistics.h"
#include "adjust/NormalEquations.h"

namespace vemo {
namespace {

// Helmert's matrix needs the full cofactor matrix of the unknowns and, per block, its columns
// times the block's normal matrix: beyond this many doubles the uncoupled approximation is
// taken instead (about 200 MB).
constexpr double kRigorousDoubles = 2.5e7;

// The inverse of a small symmetric positive-definite matrix (n x n by rows) in place, by
// Gauss-Jordan; false when a pivot is not positive.
bool InvertSymmetric(std::vector<double>& m, size_t n) {
  for (size_t k = 0; k < n; ++k) {
    const double pivot = m[k * n + k];
    if (!(pivot > 0.0) || !std::isfinite(pivot)) return false;
    for (size_t j = 0; j < n; ++j) m[k * n + j] /= pivot;
    m[k * n + k] = 1.0 / pivot;
    for (size_t i = 0; i < n; ++i) {
      if (i == k) continue;
      const double f = m[i * n + k];
      if (f == 0.0) continue;
      for (size_t j = 0; j < n; ++j) m[i * n + j] -= f * m[k * n + j];
      m[i * n + k] = -f / pivot;
    }
  }
  return true;
}

// Per block at the current solution: its weight matrix, the normal matrix AᵀPA on its columns
// and its sums.
struct BlockStatistics {
  std::vector<double> P, N;
  double pvv = 0.0, redundancy = 0.0;
};

bool Statistics(const CVarianceBlock& b, const CNormalEquations& normal, BlockStatistics& s) {
  const size_t n = b.Rows(), c = b.index.size();
  s.P = b.Ql;
  if (!InvertSymmetric(s.P, n)) return false;
  // PA (n x c), then N = Aᵀ P A.
  std::vector<double> PA(n * c, 0.0);
  for (size_t i = 0; i < n; ++i)
    for (size_t k = 0; k < n; ++k)
      for (size_t j = 0; j < c; ++j) PA[i * c + j] += s.P[i * n + k] * b.a[k * c + j];
  s.N.assign(c * c, 0.0);
  for (size_t i = 0; i < c; ++i)
    for (size_t j = 0; j < c; ++j)
      for (size_t k = 0; k < n; ++k) s.N[i * c + j] += b.a[k * c + i] * PA[k * c + j];
  // r = n - tr(Qxx N) over the free columns.
  std::vector<double> Q(c * c);
  normal.Cofactors(b.index.data(), static_cast<int>(c), Q.data());
  double trace = 0.0;
  for (size_t i = 0; i < c; ++i)
    for (size_t j = 0; j < c; ++j) trace += Q[i * c + j] * s.N[j * c + i];
  s.redundancy = static_cast<double>(n) - trace;
  s.pvv = 0.0;
  for (size_t i = 0; i < n; ++i)
    for (size_t k = 0; k < n; ++k) s.pvv += b.v[i] * s.P[i * n + k] * b.v[k];
  return true;
}

// Helmert's matrix H_kl = δ_kl (n_k - 2 tr(N⁻¹N_k)) + tr(N⁻¹N_k N⁻¹N_l), from the full
// cofactor matrix; empty when the network is too large for it.
std::vector<double> HelmertMatrix(const CAdjustedBlocks& adjusted, const std::vector<BlockStatistics>& stats,
                                  size_t groups) {
  const CNormalEquations& normal = *adjusted.normal;
  const size_t u = static_cast<size_t>(normal.Unknowns());
  double columns = 0.0;
  for (const CVarianceBlock& b : adjusted.blocks) columns += static_cast<double>(b.index.size());
  if (static_cast<double>(u) * (static_cast<double>(u) + columns) > kRigorousDoubles) return {};
  std::vector<int> all(u);
  for (size_t p = 0; p < u; ++p) all[p] = static_cast<int>(p);
  std::vector<double> Qxx(u * u);
  normal.Cofactors(all.data(), static_cast<int>(u), Qxx.data());
  // Z_b = Qxx[:, I_b] N_b (u x c_b); tr(N⁻¹N_b N⁻¹N_c) = Σ Z_c[I_b(i)][j] Z_b[I_c(j)][i].
  const size_t m = adjusted.blocks.size();
  std::vector<std::vector<double>> Z(m);
  for (size_t b = 0; b < m; ++b) {
    const std::vector<int>& I = adjusted.blocks[b].index;
    const size_t c = I.size();
    Z[b].assign(u * c, 0.0);
    for (size_t k = 0; k < c; ++k) {
      if (I[k] < 0) continue;
      const double* column = &Qxx[static_cast<size_t>(I[k]) * u];
      for (size_t j = 0; j < c; ++j) {
        const double n = stats[b].N[k * c + j];
        if (n == 0.0) continue;
        for (size_t p = 0; p < u; ++p) Z[b][p * c + j] += column[p] * n;
      }
    }
  }
  std::vector<double> H(groups * groups, 0.0);
  for (size_t b = 0; b < m; ++b) {
    const CVarianceBlock& B = adjusted.blocks[b];
    const size_t gb = static_cast<size_t>(B.group), cb = B.index.size();
    H[gb * groups + gb] += 2.0 * stats[b].redundancy - static_cast<double>(B.Rows());
    for (size_t c = 0; c < m; ++c) {
      const CVarianceBlock& C = adjusted.blocks[c];
      const size_t cc = C.index.size();
      double t = 0.0;
      for (size_t i = 0; i < cb; ++i) {
        if (B.index[i] < 0) continue;
        for (size_t j = 0; j < cc; ++j)
          if (C.index[j] >= 0)
            t += Z[c][static_cast<size_t>(B.index[i]) * cc + j] * Z[b][static_cast<size_t>(C.index[j]) * cb + i];
      }
      H[gb * groups + static_cast<size_t>(C.group)] += t;
    }
  }
  return H;
}

}  // namespace

std::vector<double> Factors(const CVarianceComponents& result) {
  std::vector<double> factors;
  for (const CVarianceComponent& g : result.groups) factors.push_back(g.estimable ? g.factor : 1.0);
  return factors;
}

bool EstimateVarianceComponents(const std::vector<std::string>& names, const VarianceReadjust& readjust, double alpha,
                                CVarianceComponents& result) {
  const size_t G = names.size();
  result = {};
  result.alpha = alpha;
  result.groups.resize(G);
  for (size_t k = 0; k < G; ++k) result.groups[k].name = names[k];
  std::vector<double> factors(G, 1.0);
  CAdjustedBlocks adjusted;
  std::vector<BlockStatistics> stats;
  for (int iteration = 1; iteration <= kVarianceMaxIterations; ++iteration) {
    if (!readjust(factors, adjusted)) return false;
    result.iterations = iteration;
    std::vector<double> pvv(G, 0.0), r(G, 0.0);
    std::vector<int> count(G, 0);
    stats.assign(adjusted.blocks.size(), {});
    for (size_t b = 0; b < adjusted.blocks.size(); ++b) {
      const CVarianceBlock& block = adjusted.blocks[b];
      const size_t k = static_cast<size_t>(block.group);
      if (!Statistics(block, *adjusted.normal, stats[b])) continue;  // a block without weight tells nothing
      pvv[k] += stats[b].pvv, r[k] += stats[b].redundancy, count[k] += static_cast<int>(block.Rows());
    }
    double largestStep = 0.0;
    for (size_t k = 0; k < G; ++k) {
      CVarianceComponent& g = result.groups[k];
      g.observations = count[k];
      g.redundancy = r[k];
      g.estimable = r[k] >= kLeastRedundancy && adjusted.unitVariance > 0.0;
      if (!g.estimable) continue;
      // A group without residuals would send its weight to infinity: one step moves a factor
      // by at most 10⁴ either way.
      const double step = std::clamp(pvv[k] / (adjusted.unitVariance * r[k]), 1e-4, 1e4);
      factors[k] *= step;
      largestStep = std::max(largestStep, std::fabs(step - 1.0));
    }
    for (size_t k = 0; k < G; ++k) result.groups[k].factor = factors[k];
    if (largestStep < kVarianceConvergence) {
      result.converged = true;
      break;
    }
  }
  // The precisions at the last solution (the converged weights): D(θ̂) = 2 θ² H⁻¹ over the
  // estimable groups, with H from the full cofactors when the network allows.
  std::vector<size_t> estimable;
  for (size_t k = 0; k < G; ++k)
    if (result.groups[k].estimable) estimable.push_back(k);
  const size_t e = estimable.size();
  std::vector<double> inverse;
  if (e > 0) {
    const std::vector<double> H = HelmertMatrix(adjusted, stats, G);
    if (!H.empty()) {
      inverse.resize(e * e);
      for (size_t i = 0; i < e; ++i)
        for (size_t j = 0; j < e; ++j) inverse[i * e + j] = H[estimable[i] * G + estimable[j]];
      if (!InvertSymmetric(inverse, e)) inverse.clear();
    }
  }
  result.rigorous = !inverse.empty() || e == 0;
  for (size_t i = 0; i < e; ++i) {
    CVarianceComponent& g = result.groups[estimable[i]];
    const double relative = inverse.empty() ? 1.0 / g.redundancy : inverse[i * e + i];  // var(θ̂/θ) / 2
    g.degrees = 1.0 / relative;
    g.sigma = g.factor * std::sqrt(2.0 * relative);
    g.lower = ChiSquaredQuantile(alpha / 2.0, g.degrees) / g.degrees;
    g.upper = ChiSquaredUpperQuantile(alpha / 2.0, g.degrees) / g.degrees;
    g.passed = g.factor >= g.lower && g.factor <= g.upper;
  }
  return true;
}

}  // namespace vemo

#include "adjust3d/STransformation.h"

#include <cmath>

#include "geodesy/Matrix.h"

namespace vemo {

namespace {
// N = G^T P G is symmetric positive semi-definite; below this ratio of its determinant to the
// product of its diagonal (at most 1 by Hadamard's inequality) it is taken as singular: the
// datum would be fixed by rounding noise.
constexpr double kSingularRatio = 1e-12;
}  // namespace

std::vector<double> TranslationDatum(size_t points) {
  std::vector<double> G(9 * points, 0.0);
  for (size_t k = 0; k < 3 * points; ++k) G[3 * k + k % 3] = 1.0;
  return G;
}

bool CSTransformation::Build(const std::vector<double>& G, const std::vector<double>& p) {
  const size_t order = p.size();
  if (G.size() != 3 * order) return false;
  m_G = G;
  m_p = p;
  double N[3][3] = {};
  for (size_t k = 0; k < order; ++k) {
    const double* g = &G[3 * k];
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b <= a; ++b) N[a][b] += g[a] * p[k] * g[b];
  }
  const double det = N[0][0] * (N[1][1] * N[2][2] - N[2][1] * N[2][1]) -
                     N[1][0] * (N[1][0] * N[2][2] - N[2][1] * N[2][0]) +
                     N[2][0] * (N[1][0] * N[2][1] - N[1][1] * N[2][0]);
  const double diagonal = N[0][0] * N[1][1] * N[2][2];
  if (!(N[0][0] > 0.0 && N[1][1] > 0.0 && N[2][2] > 0.0 && std::isfinite(diagonal) &&
        det > kSingularRatio * diagonal))
    return false;
  std::vector<double> packed{N[0][0], N[1][0], N[1][1], N[2][0], N[2][1], N[2][2]};
  MatrixInverseForDouble(packed, 3);
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b) m_NInverse[a][b] = packed[PackedIndex(static_cast<size_t>(a), static_cast<size_t>(b))];
  m_H.assign(3 * order, 0.0);
  for (size_t k = 0; k < order; ++k)
    for (int b = 0; b < 3; ++b)
      m_H[3 * k + b] = G[3 * k] * m_NInverse[0][b] + G[3 * k + 1] * m_NInverse[1][b] + G[3 * k + 2] * m_NInverse[2][b];
  for (double h : m_H)
    if (!std::isfinite(h)) return false;
  return true;
}

void CSTransformation::DatumParameters(const std::vector<double>& x, double t[3]) const {
  double u[3] = {0, 0, 0};  // G^T P x
  for (size_t k = 0; k < m_p.size(); ++k)
    for (int a = 0; a < 3; ++a) u[a] += m_G[3 * k + a] * m_p[k] * x[k];
  for (int a = 0; a < 3; ++a) t[a] = m_NInverse[a][0] * u[0] + m_NInverse[a][1] * u[1] + m_NInverse[a][2] * u[2];
}

void CSTransformation::Apply(const std::vector<double>& x, std::vector<double>& xS) const {
  double u[3] = {0, 0, 0};  // G^T P x; then x - G N^-1 u = x - H u
  for (size_t k = 0; k < m_p.size(); ++k)
    for (int a = 0; a < 3; ++a) u[a] += m_G[3 * k + a] * m_p[k] * x[k];
  xS.resize(m_p.size());
  for (size_t k = 0; k < m_p.size(); ++k) {
    const double* h = &m_H[3 * k];
    xS[k] = x[k] - (h[0] * u[0] + h[1] * u[1] + h[2] * u[2]);
  }
}

void CSTransformation::ApplyToCofactor(std::vector<double>& Q) const {
  // S Q S^T = Q - H B^T - B H^T + H M H^T with B = Q P G (3n x 3) and M = G^T P B (3 x 3).
  // With E = B - H M the entry (k, l) is Q(k,l) - H_k . B_l - E_k . H_l (rows of 3), which
  // touches Q(k,l) alone: the update runs in place over the packed triangle.
  const size_t order = m_p.size();
  std::vector<double> B(3 * order, 0.0);
  std::vector<double> pG(3 * order);
  for (size_t k = 0; k < 3 * order; ++k) pG[k] = m_p[k / 3] * m_G[k];
  for (size_t k = 0; k < order; ++k) {
    const double* row = &Q[k * (k + 1) / 2];
    double* bk = &B[3 * k];
    const double* gk = &pG[3 * k];
    for (size_t l = 0; l < k; ++l) {
      const double q = row[l];
      const double* gl = &pG[3 * l];
      double* bl = &B[3 * l];
      bk[0] += q * gl[0], bk[1] += q * gl[1], bk[2] += q * gl[2];
      bl[0] += q * gk[0], bl[1] += q * gk[1], bl[2] += q * gk[2];
    }
    const double q = row[k];
    bk[0] += q * gk[0], bk[1] += q * gk[1], bk[2] += q * gk[2];
  }
  double M[3][3] = {};
  for (size_t k = 0; k < order; ++k)
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b) M[a][b] += pG[3 * k + a] * B[3 * k + b];
  std::vector<double> E(3 * order);
  for (size_t k = 0; k < order; ++k)
    for (int b = 0; b < 3; ++b) {
      const double* h = &m_H[3 * k];
      E[3 * k + b] = B[3 * k + b] - (h[0] * M[0][b] + h[1] * M[1][b] + h[2] * M[2][b]);
    }
  for (size_t k = 0; k < order; ++k) {
    double* row = &Q[k * (k + 1) / 2];
    const double *hk = &m_H[3 * k], *ek = &E[3 * k];
    for (size_t l = 0; l <= k; ++l) {
      const double *bl = &B[3 * l], *hl = &m_H[3 * l];
      row[l] -= hk[0] * bl[0] + hk[1] * bl[1] + hk[2] * bl[2] + ek[0] * hl[0] + ek[1] * hl[1] + ek[2] * hl[2];
    }
  }
}

}  // namespace vemo

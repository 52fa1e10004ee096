#include "adjust3d/StabilityAnalysisCongruence.h"

#include <algorithm>
#include <cmath>

#include "adjust/AdjustmentStatistics.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/Matrix.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {

namespace {

using Block = double[3][3];

// The inverse of a symmetric positive-definite 3 x 3 block; false when it is not.
bool InverseOfBlock(const Block a, Block inv) {
  const double c00 = a[1][1] * a[2][2] - a[1][2] * a[2][1];
  const double c01 = a[1][2] * a[2][0] - a[1][0] * a[2][2];
  const double c02 = a[1][0] * a[2][1] - a[1][1] * a[2][0];
  const double det = a[0][0] * c00 + a[0][1] * c01 + a[0][2] * c02;
  if (!(det > 0.0 && a[0][0] > 0.0 && std::isfinite(det))) return false;
  inv[0][0] = c00 / det, inv[1][0] = c01 / det, inv[2][0] = c02 / det;
  inv[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) / det;
  inv[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) / det;
  inv[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) / det;
  inv[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) / det;
  inv[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) / det;
  inv[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) / det;
  return true;
}

// g^T A^-1 g for a positive-definite block A; 0 when A is not.
double Form(const double g[3], const Block a) {
  Block inv;
  if (!InverseOfBlock(a, inv)) return 0.0;
  double s = 0.0;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) s += g[r] * inv[r][c] * g[c];
  return std::max(s, 0.0);
}

// The point of the candidates nearest the component-wise median of their displacements: the
// one most likely to have stayed, whose differences keep the numbers small.
size_t NearestToMedian(const std::vector<double>& d, const std::vector<size_t>& candidates) {
  double median[3];
  for (int a = 0; a < 3; ++a) {
    std::vector<double> v;
    for (size_t i : candidates) v.push_back(d[3 * i + a]);
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    median[a] = v[v.size() / 2];
  }
  size_t nearest = candidates[0];
  double least = -1.0;
  for (size_t i : candidates) {
    double s = 0.0;
    for (int a = 0; a < 3; ++a) s += (d[3 * i + a] - median[a]) * (d[3 * i + a] - median[a]);
    if (least < 0.0 || s < least) nearest = i, least = s;
  }
  return nearest;
}

// The inverse of the cofactors of e over the blocks of the points still in the set, with
// everything the localisation does to it. Blocks of points that left keep their place and
// are skipped.
class CReducedSet {
 public:
  CReducedSet(const std::vector<double>& d, const std::vector<double>& Q, size_t reference)
      : m_d(d), m_Q(Q), m_Reference(reference) {
    const size_t n = d.size() / 3;
    for (size_t i = 0; i < n; ++i)
      if (i != reference) m_Point.push_back(i);
    m_Order = 3 * m_Point.size();
    m_Active.assign(m_Point.size(), 1);
    m_e.resize(m_Order);
    for (size_t b = 0; b < m_Point.size(); ++b)
      for (int a = 0; a < 3; ++a) m_e[3 * b + a] = d[3 * m_Point[b] + a] - d[3 * reference + a];
    m_W.resize(m_Order * (m_Order + 1) / 2);
    for (size_t r = 0; r < m_Order; ++r)
      for (size_t c = 0; c <= r; ++c)
        m_W[PackedIndex(r, c)] = DifferenceCofactor(m_Point[r / 3], r % 3, m_Point[c / 3], c % 3);
  }

  // Inverts the cofactors of e; false when they are not positive definite.
  bool Invert() {
    const int order = static_cast<int>(m_Order);
    if (!IsWellConditioned(m_W, order)) return false;
    MatrixInverseForDouble(m_W, order);
    for (size_t r = 0; r < m_Order; ++r)
      if (!(m_W[PackedIndex(r, r)] > 0.0)) return false;
    for (double w : m_W)
      if (!std::isfinite(w)) return false;
    return true;
  }

  size_t Points() const { return 1 + static_cast<size_t>(std::count(m_Active.begin(), m_Active.end(), 1)); }

  // Omega of the set and each point's share of it (the decrease when it leaves), by point.
  double Shares(std::vector<double>& share) const {
    std::vector<double> We(m_Order, 0.0);
    Multiply(m_e, We);
    double omega = 0.0;
    for (size_t r = 0; r < m_Order; ++r)
      if (m_Active[r / 3]) omega += m_e[r] * We[r];
    // The reference: a shift common to every e_i.
    double c[3] = {0, 0, 0};
    Block K = {};
    for (size_t r = 0; r < m_Order; ++r) {
      if (!m_Active[r / 3]) continue;
      c[r % 3] += We[r];
      for (size_t s = 0; s < m_Order; ++s)
        if (m_Active[s / 3]) K[r % 3][s % 3] += m_W[PackedIndex(r, s)];
    }
    share[m_Reference] = Form(c, K);
    for (size_t b = 0; b < m_Point.size(); ++b) {
      if (!m_Active[b]) continue;
      Block Wbb;
      for (int r = 0; r < 3; ++r)
        for (int s = 0; s < 3; ++s) Wbb[r][s] = m_W[PackedIndex(3 * b + r, 3 * b + s)];
      share[m_Point[b]] = Form(&We[3 * b], Wbb);
    }
    return std::max(omega, 0.0);
  }

  // Takes the point out of the set: the quadratic form of the others is what is left of W
  // once the point's own displacement (or, for the reference, a shift of every e_i) is free.
  void Remove(size_t point) {
    std::vector<double> U(3 * m_Order, 0.0);  // W times the columns of the freed direction
    if (point != m_Reference) {
      const size_t b = BlockOf(point);
      for (size_t r = 0; r < m_Order; ++r)
        if (m_Active[r / 3])
          for (int a = 0; a < 3; ++a) U[3 * r + a] = m_W[PackedIndex(r, 3 * b + a)];
      Block K;
      for (int a = 0; a < 3; ++a)
        for (int c = 0; c < 3; ++c) K[a][c] = U[3 * (3 * b + a) + c];
      Update(U, K);
      m_Active[b] = 0;
      return;
    }
    for (size_t r = 0; r < m_Order; ++r)
      if (m_Active[r / 3])
        for (size_t s = 0; s < m_Order; ++s)
          if (m_Active[s / 3]) U[3 * r + s % 3] += m_W[PackedIndex(r, s)];
    Block K = {};
    for (size_t r = 0; r < m_Order; ++r)
      if (m_Active[r / 3])
        for (int c = 0; c < 3; ++c) K[r % 3][c] += U[3 * r + c];
    Update(U, K);
    // W is now free of a common shift: any remaining point may be the reference.
    std::vector<size_t> rest;
    for (size_t b = 0; b < m_Point.size(); ++b)
      if (m_Active[b]) rest.push_back(m_Point[b]);
    const size_t next = BlockOf(NearestToMedian(m_d, rest));
    const double shift[3] = {m_e[3 * next], m_e[3 * next + 1], m_e[3 * next + 2]};
    for (size_t r = 0; r < m_Order; ++r) m_e[r] -= shift[r % 3];
    m_Active[next] = 0;
    m_Reference = m_Point[next];
  }

  // A point outside the set against the set: the quadratic form of its e_j once the set's
  // e is accounted for (the conditional displacement and its cofactors).
  double Outside(size_t point) const {
    std::vector<double> C(3 * m_Order, 0.0);  // cofactors of e with e_j, by row
    Block q;
    double ej[3];
    for (int a = 0; a < 3; ++a) {
      ej[a] = m_d[3 * point + a] - m_d[3 * m_Reference + a];
      for (int b = 0; b < 3; ++b) q[a][b] = DifferenceCofactor(point, a, point, b);
    }
    for (size_t r = 0; r < m_Order; ++r)
      if (m_Active[r / 3])
        for (int a = 0; a < 3; ++a) C[3 * r + a] = DifferenceCofactor(m_Point[r / 3], r % 3, point, a);
    std::vector<double> V(3 * m_Order, 0.0);  // W C
    for (int a = 0; a < 3; ++a) {
      std::vector<double> column(m_Order), product(m_Order, 0.0);
      for (size_t r = 0; r < m_Order; ++r) column[r] = C[3 * r + a];
      Multiply(column, product);
      for (size_t r = 0; r < m_Order; ++r) V[3 * r + a] = product[r];
    }
    double g[3];
    for (int a = 0; a < 3; ++a) {
      g[a] = ej[a];
      for (size_t r = 0; r < m_Order; ++r)
        if (m_Active[r / 3]) g[a] -= V[3 * r + a] * m_e[r];
      for (int b = 0; b < 3; ++b)
        for (size_t r = 0; r < m_Order; ++r)
          if (m_Active[r / 3]) q[a][b] -= C[3 * r + a] * V[3 * r + b];
    }
    return Form(g, q);
  }

  // Whether the point is in the set.
  bool Contains(size_t point) const {
    if (point == m_Reference) return true;
    const size_t b = BlockOf(point);
    return b < m_Point.size() && m_Active[b];
  }

 private:
  // Cofactor of component a of d_i - d_m with component b of d_j - d_m.
  double DifferenceCofactor(size_t i, int a, size_t j, int b) const {
    const size_t m = m_Reference;
    auto q = [&](size_t p, int s, size_t r, int t) { return m_Q[PackedIndex(3 * p + s, 3 * r + t)]; };
    return q(i, a, j, b) - q(i, a, m, b) - q(m, a, j, b) + q(m, a, m, b);
  }

  size_t BlockOf(size_t point) const {
    return static_cast<size_t>(std::find(m_Point.begin(), m_Point.end(), point) - m_Point.begin());
  }

  // y = W x over the active blocks.
  void Multiply(const std::vector<double>& x, std::vector<double>& y) const {
    for (size_t r = 0; r < m_Order; ++r) {
      if (!m_Active[r / 3]) continue;
      const double* row = &m_W[r * (r + 1) / 2];
      for (size_t c = 0; c < r; ++c) {
        if (!m_Active[c / 3]) continue;
        y[r] += row[c] * x[c];
        y[c] += row[c] * x[r];
      }
      y[r] += row[r] * x[r];
    }
  }

  // W := W - U K^-1 U^T with U = W F and K = F^T W F for the freed directions F: the inverse
  // of the cofactors once those directions carry no information. U holds 3 values a row.
  void Update(const std::vector<double>& U, const Block K) {
    Block inverse;
    if (!InverseOfBlock(K, inverse)) return;  // a direction W does not see: nothing to free
    std::vector<double> V(3 * m_Order, 0.0);
    for (size_t r = 0; r < m_Order; ++r)
      for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) V[3 * r + a] += U[3 * r + b] * inverse[b][a];
    for (size_t r = 0; r < m_Order; ++r) {
      if (!m_Active[r / 3]) continue;
      double* row = &m_W[r * (r + 1) / 2];
      const double* v = &V[3 * r];
      for (size_t c = 0; c <= r; ++c)
        if (m_Active[c / 3]) row[c] -= v[0] * U[3 * c] + v[1] * U[3 * c + 1] + v[2] * U[3 * c + 2];
    }
  }

  const std::vector<double>& m_d;
  const std::vector<double>& m_Q;
  size_t m_Reference;
  std::vector<size_t> m_Point;  // the point of each block of e
  std::vector<char> m_Active;
  size_t m_Order = 0;
  std::vector<double> m_e, m_W;
};

}  // namespace

double CCongruenceTest::Statistic(double omega, int degrees) const {
  if (m_KnownVariance) return omega / m_Variance;
  return omega / degrees / m_Variance;
}

double CCongruenceTest::Critical(int degrees) const {
  if (m_KnownVariance) return ChiSquaredUpperQuantile(m_Alpha, degrees);
  return FisherQuantile(1.0 - m_Alpha, degrees, m_Freedom);
}

int CCongruenceTest::Run(const std::vector<double>& d, const std::vector<double>& Q,
                         const std::vector<std::string>& names) {
  const size_t n = d.size() / 3;
  m_Steps.clear();
  m_Verdict.assign(n, CongruenceVerdict::Stable);
  m_PointStatistic.assign(n, 0.0);
  m_PointCritical = Critical(3);
  std::vector<size_t> all(n);
  for (size_t i = 0; i < n; ++i) all[i] = i;
  CReducedSet set(d, Q, NearestToMedian(d, all));
  if (!set.Invert()) {
    ShowMessage(Format(UiText(u8"两期共同点(%d个，自%s起)的位移协因数阵除平移外不正定，无法进行全等检验!"),
                       static_cast<int>(n), names[0].c_str()),
                AppTitle(), MessageIcon::Warning);
    return 0;
  }
  std::vector<double> share(n, 0.0);
  for (;;) {
    CCongruenceStep step;
    step.points = static_cast<int>(set.Points());
    step.degrees = 3 * (step.points - 1);
    step.omega = set.Shares(share);
    step.statistic = Statistic(step.omega, step.degrees);
    step.critical = Critical(step.degrees);
    step.passed = step.statistic <= step.critical;
    if (step.passed || step.points <= 2) {
      m_Steps.push_back(step);
      break;
    }
    size_t worst = n;
    for (size_t i = 0; i < n; ++i)
      if (set.Contains(i) && (worst == n || share[i] > share[worst])) worst = i;
    step.removed = static_cast<int>(worst);
    step.removedStatistic = Statistic(share[worst], 3);
    m_Steps.push_back(step);
    m_Verdict[worst] = CongruenceVerdict::Moved;
    set.Remove(worst);
  }
  const bool undetermined = !m_Steps.back().passed;
  for (size_t i = 0; i < n; ++i) {
    if (set.Contains(i)) {
      m_PointStatistic[i] = Statistic(share[i], 3);
      if (undetermined) m_Verdict[i] = CongruenceVerdict::Undetermined;
    } else {
      m_PointStatistic[i] = Statistic(set.Outside(i), 3);
    }
  }
  // The displacements in the datum of the points that stayed: their mean is zero.
  double mean[3] = {0, 0, 0};
  for (size_t i = 0; i < n; ++i)
    if (set.Contains(i))
      for (int a = 0; a < 3; ++a) mean[a] += d[3 * i + a] / static_cast<double>(set.Points());
  m_Displacement.resize(d.size());
  for (size_t k = 0; k < d.size(); ++k) m_Displacement[k] = d[k] - mean[k % 3];
  return 1;
}

}  // namespace vemo

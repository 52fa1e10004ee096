#include "adjust/Solution.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "adjust/NormalEquations.h"

namespace vemo {

CEllipse ErrorEllipse(double qxx, double qyy, double qxy) {
  CEllipse e;
  e.mean = (qxx + qyy) / 2.0;
  e.radius = std::sqrt((qxx - qyy) * (qxx - qyy) + 4.0 * qxy * qxy) / 2.0;
  e.major = std::sqrt(std::max(0.0, e.mean + e.radius));
  e.minor = std::sqrt(std::max(0.0, e.mean - e.radius));
  double twice = std::atan2(2.0 * qxy, qxx - qyy);
  if (twice < 0.0) twice += 2.0 * std::numbers::pi;
  e.direction = twice / 2.0;
  return e;
}

double CAdjustmentSolution::Qxx(int p, int q) const {
  return p < 0 || q < 0 ? 0.0 : normal->Cofactor(p, q);
}

double CAdjustmentSolution::StdDev(int unknown) const {
  return unknown < 0 ? 0.0 : m0 * std::sqrt(Qxx(unknown, unknown));
}

CEllipse CAdjustmentSolution::Ellipse(int point) const {
  if (layout.IsKnown(point)) return {};
  const int u = UnknownOf(point);
  const int index[2] = {u, u + 1};
  double Q[4];
  normal->Cofactors(index, 2, Q);
  CEllipse e = ErrorEllipse(Q[0], Q[3], Q[2]);
  e.major *= m0;
  e.minor *= m0;
  return e;
}

CSideCofactors CAdjustmentSolution::SidePrecision(int from, int to, const double* d) const {
  CSideCofactors side;
  const int k = layout.perPoint;
  double s2 = 0.0;
  for (int c = 0; c < k; ++c) s2 += d[c] * d[c];
  side.length = std::sqrt(s2);
  if (!(side.length > 0.0)) return side;  // a side of no length has no direction and no precision
  const double S = side.length;
  // The length by the coordinates of both ends: -d/S at the start, +d/S at the end; in the
  // plane the azimuth by them: (dy, -dx)/S² at the start, the opposite at the end.
  double g[6], h[4];
  int index[6];
  const int uf = layout.IsKnown(from) ? -1 : UnknownOf(from), ut = layout.IsKnown(to) ? -1 : UnknownOf(to);
  for (int c = 0; c < k; ++c) {
    g[c] = -d[c] / S, g[k + c] = d[c] / S;
    index[c] = uf < 0 ? -1 : uf + c, index[k + c] = ut < 0 ? -1 : ut + c;
  }
  const bool plane = k == 2;
  if (plane) {
    const double S2 = S * S;
    h[0] = d[1] / S2, h[1] = -d[0] / S2, h[2] = -d[1] / S2, h[3] = d[0] / S2;
  }
  double block[36];
  normal->Cofactors(index, 2 * k, block);
  for (int p = 0; p < 2 * k; ++p) {
    if (index[p] < 0) continue;
    for (int q = 0; q < 2 * k; ++q) {
      if (index[q] < 0) continue;
      const double Q = block[p * 2 * k + q];
      side.qLength += g[p] * Q * g[q];
      if (plane) side.qDirection += h[p] * Q * h[q];
    }
  }
  return side;
}

double CAdjustmentSolution::DifferenceCofactor(int from, int to, int component) const {
  const int a = layout.IsKnown(from) ? -1 : UnknownOf(from) + component;
  const int b = layout.IsKnown(to) ? -1 : UnknownOf(to) + component;
  const int index[2] = {a, b};
  double Q[4];
  normal->Cofactors(index, 2, Q);
  return Q[0] + Q[3] - 2.0 * Q[1];
}

CPointPartition::CPointPartition(int pointCount, int knownCount)
    : m_Parent(static_cast<size_t>(std::max(0, pointCount))), m_KnownCount(knownCount) {
  for (int i = 0; i < pointCount; ++i) m_Parent[static_cast<size_t>(i)] = i < knownCount ? 0 : i;
}

int CPointPartition::Root(int i) {
  auto parent = [this](int j) -> int& { return m_Parent[static_cast<size_t>(j)]; };
  while (parent(i) != i) i = parent(i) = parent(parent(i));  // path halving
  return i;
}

void CPointPartition::Join(int a, int b) {
  a = Root(a), b = Root(b);
  if (a != b) m_Parent[static_cast<size_t>(std::max(a, b))] = std::min(a, b);  // the known points' root 0 stays a root
}

void CPointPartition::Join(const std::vector<int>& from, const std::vector<int>& to) {
  for (size_t j = 0; j < from.size() && j < to.size(); ++j) Join(from[j], to[j]);
}

std::vector<int> CPointPartition::Parts() {
  std::vector<int> parts;
  for (int i = 0; i < static_cast<int>(m_Parent.size()); ++i)
    if (Root(i) == i) parts.push_back(i);
  return parts;
}

CDatumRefusal CPointPartition::CheckDatum() {
  CDatumRefusal refusal;
  const int points = static_cast<int>(m_Parent.size());
  if (m_KnownCount == 0 && points > 0) {
    refusal.kind = CDatumRefusal::Kind::NoKnownPoint;
    return refusal;
  }
  for (int i = m_KnownCount; i < points; ++i)
    if (Root(i) != 0) {
      if (refusal.firstPoint < 0) refusal.firstPoint = i;
      ++refusal.count;
    }
  if (refusal.count > 0) refusal.kind = CDatumRefusal::Kind::Unconnected;
  return refusal;
}

}  // namespace vemo

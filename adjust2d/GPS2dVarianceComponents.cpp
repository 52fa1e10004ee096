#include "adjust2d/GPS2dVarianceComponents.h"

#include <cmath>

#include "geodesy/Encoding.h"
#include "geodesy/Format.h"

namespace vemo {

namespace {

// The plane engine with its observation rows in reach, re-adjusted quietly for each set of
// factors.
class CPlaneProbe : public CGPS2dNetAdjust {
 public:
  explicit CPlaneProbe(const CReadGPS2dVector& given) : CGPS2dNetAdjust(given.m_Variant), m_Given(given) {}

  bool Readjust(const std::vector<double>& factors, const std::vector<PlaneKind>& kinds, CAdjustedBlocks& adjusted) {
    static_cast<CReadGPS2dVector&>(*this) = m_Given;
    for (size_t k = 0; k < kinds.size(); ++k) ScaleKind(*this, kinds[k], factors[k]);
    m_UnknownCount = 2 * (m_PointCount - m_KnownPointCount) + ParameterCount();
    if (!CheckNetwork()) return false;
    m_Redundancy = RedundancyFromCounts();
    ComputeMeanVariance();
    if (!PlaceApproximateNetwork()) return false;
    if (!AllocateOrReport([&] { AllocateNormalEquations(); }, m_Normal)) return false;
    if (!Iterate() || !m_Normal->Factorize()) return false;
    m_Normal->PrepareCofactors();
    adjusted.blocks.clear();
    auto group = [&](PlaneKind kind) {
      for (size_t k = 0; k < kinds.size(); ++k)
        if (kinds[k] == kind) return static_cast<int>(k);
      return -1;
    };
    const int u = m_UnknownCount;
    const double c = m_x[static_cast<size_t>(u - 2)], s = m_x[static_cast<size_t>(u - 1)];
    for (int j = 0; j < m_VectorCount; ++j) {
      CVarianceBlock b;
      b.group = group(PlaneKind::Vectors);
      double a[2][6], l[2];
      b.index.resize(6);
      VectorRows(j, b.index.data(), a, l);
      b.a.assign(&a[0][0], &a[0][0] + 12);
      b.Ql = {m_Dxx[j] / m_MeanVariance, m_Dxy[j] / m_MeanVariance, m_Dxy[j] / m_MeanVariance, m_Dyy[j] / m_MeanVariance};
      const double dx = m_X[m_To[j]] - m_X[m_From[j]], dy = m_Y[m_To[j]] - m_Y[m_From[j]];
      b.v = {c * dx + s * dy - m_DX[j], -s * dx + c * dy - m_DY[j]};
      adjusted.blocks.push_back(std::move(b));
    }
    auto single = [&](int kind, int j, bool distance) {
      CVarianceBlock b;
      b.group = kind;
      double a[4], l, p;
      b.index.resize(4);
      if (distance) DistanceRow(j, b.index.data(), a, l, p);
      else AzimuthRow(j, b.index.data(), a, l, p);
      b.a.assign(a, a + 4);
      b.Ql = {1.0 / p};
      b.v = {l};
      adjusted.blocks.push_back(std::move(b));
    };
    for (int j = 0; j < m_DistanceCount; ++j) single(group(PlaneKind::Distances), j, true);
    for (int j = 0; j < m_AzimuthCount; ++j) single(group(PlaneKind::Azimuths), j, false);
    adjusted.unitVariance = m_MeanVariance * 1e-4;  // cm² -> m², the unit of the rows' weights
    adjusted.normal = m_Normal.get();
    return true;
  }

  static void ScaleKind(CReadGPS2dVector& set, PlaneKind kind, double factor) {
    switch (kind) {
      case PlaneKind::Vectors:
        for (int j = 0; j < set.m_VectorCount; ++j) set.m_Dxx[j] *= factor, set.m_Dyy[j] *= factor, set.m_Dxy[j] *= factor;
        break;
      case PlaneKind::Distances:
        for (double& sd : set.m_DistanceSd) sd *= std::sqrt(factor);
        break;
      case PlaneKind::Azimuths:
        for (double& sd : set.m_AzimuthSd) sd *= std::sqrt(factor);
        break;
    }
  }

 private:
  const CReadGPS2dVector& m_Given;
};

const char* KindName(PlaneKind kind) {
  switch (kind) {
    case PlaneKind::Vectors: return T(u8"GPS基线向量");
    case PlaneKind::Distances: return T(u8"地面边长");
    case PlaneKind::Azimuths: return T(u8"地面方位角");
  }
  return "";
}

}  // namespace

std::vector<PlaneKind> PlaneKinds(const CReadGPS2dVector& network) {
  std::vector<PlaneKind> kinds;
  if (network.m_VectorCount > 0) kinds.push_back(PlaneKind::Vectors);
  if (network.m_DistanceCount > 0) kinds.push_back(PlaneKind::Distances);
  if (network.m_AzimuthCount > 0) kinds.push_back(PlaneKind::Azimuths);
  return kinds;
}

bool EstimateGPS2dVarianceComponents(const CReadGPS2dVector& loaded, double alpha, CVarianceComponents& result) {
  const std::vector<PlaneKind> kinds = PlaneKinds(loaded);
  std::vector<std::string> names;
  for (PlaneKind kind : kinds) names.push_back(KindName(kind));
  CPlaneProbe probe(loaded);
  return EstimateVarianceComponents(
      names, [&](const std::vector<double>& factors, CAdjustedBlocks& adjusted) { return probe.Readjust(factors, kinds, adjusted); },
      alpha, result);
}

void ApplyVarianceFactors(CReadGPS2dVector& network, const CVarianceComponents& result) {
  const std::vector<PlaneKind> kinds = PlaneKinds(network);
  const std::vector<double> factors = Factors(result);
  for (size_t k = 0; k < kinds.size() && k < factors.size(); ++k) CPlaneProbe::ScaleKind(network, kinds[k], factors[k]);
}

std::vector<std::string> FactorsAppliedStatement(const CVarianceComponents& result) {
  std::vector<std::string> lines;
  for (const CVarianceComponent& g : result.groups)
    lines.push_back(g.estimable ? Format(T(u8"已按方差分量估计调整权(%s): 方差因子%.4f\n"), g.name.c_str(), g.factor)
                                : Format(T(u8"已按方差分量估计调整权(%s): 不可估计，方差因子取1\n"), g.name.c_str()));
  return lines;
}

}  // namespace vemo

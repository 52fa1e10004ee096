#include "adjust3d/GPS3dVarianceComponents.h"

#include <unordered_map>

#include "geodesy/ApproximateCoordinates.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"

namespace vemo {

namespace {

void ScaleCovariances(CReadGPS3dVector& set, const std::vector<int>& groupOf, const std::vector<double>& factors,
                      const CReadGPS3dVector& given) {
  for (int j = 0; j < set.m_VectorCount; ++j) {
    const double f = factors[static_cast<size_t>(groupOf[static_cast<size_t>(j)])];
    set.m_Dxx[j] = given.m_Dxx[j] * f, set.m_Dyy[j] = given.m_Dyy[j] * f, set.m_Dzz[j] = given.m_Dzz[j] * f;
    set.m_Dxy[j] = given.m_Dxy[j] * f, set.m_Dxz[j] = given.m_Dxz[j] * f, set.m_Dyz[j] = given.m_Dyz[j] * f;
  }
}

}  // namespace

CVectorGroups SessionGroups(const CReadGPS3dVector& network) {
  CVectorGroups groups;
  std::unordered_map<std::string, int> seen;
  for (int j = 0; j < network.m_VectorCount; ++j) {
    const std::string session = static_cast<size_t>(j) < network.m_Session.size() ? network.m_Session[j] : "*";
    auto [it, added] = seen.emplace(session, static_cast<int>(groups.names.size()));
    if (added) groups.names.push_back(session == "*" ? T(u8"全部基线") : session);
    groups.groupOf.push_back(it->second);
  }
  return groups;
}

bool EstimateGPS3dVarianceComponents(const CGPS3dNetAdjust& loaded, const CVectorGroups& groups, double alpha,
                                     CVarianceComponents& result) {
  CGPS3dNetAdjust probe(loaded.m_Variant);
  static_cast<CReadGPS3dVector&>(probe) = loaded;
  if (probe.m_KnownPointCount == 0 || probe.m_PointCount <= probe.m_KnownPointCount) return false;
  if (!GetApproximateGPS3dXYZ(&probe)) return false;
  probe.m_UnknownCount = 3 * (probe.m_PointCount - probe.m_KnownPointCount);
  try {
    probe.AllocateNormalEquations();
  } catch (const std::bad_alloc&) {
    return false;
  }
  const VarianceReadjust readjust = [&](const std::vector<double>& factors, CAdjustedBlocks& adjusted) {
    ScaleCovariances(probe, groups.groupOf, factors, loaded);
    probe.BuildNormalEquations();
    if (!probe.m_Normal->Factorize() || !probe.m_Normal->Solve(probe.m_x)) return false;
    probe.m_Normal->PrepareCofactors();
    for (int i = probe.m_KnownPointCount; i < probe.m_PointCount; ++i) {
      const size_t p = static_cast<size_t>(probe.UnknownOf(i));
      probe.m_X[i] += probe.m_x[p] / 1000.0, probe.m_Y[i] += probe.m_x[p + 1] / 1000.0;
      probe.m_Z[i] += probe.m_x[p + 2] / 1000.0;
    }
    adjusted.blocks.resize(static_cast<size_t>(probe.m_VectorCount));
    for (int j = 0; j < probe.m_VectorCount; ++j) {
      CVarianceBlock& b = adjusted.blocks[static_cast<size_t>(j)];
      b.group = groups.groupOf[static_cast<size_t>(j)];
      b.index.resize(6);
      probe.VectorUnknowns(j, b.index.data());
      b.a.assign(18, 0.0);
      for (int c = 0; c < 3; ++c) b.a[c * 6 + c] = -1.0, b.a[c * 6 + c + 3] = 1.0;
      const double s = probe.m_MeanVariance;
      b.Ql = {probe.m_Dxx[j] / s, probe.m_Dxy[j] / s, probe.m_Dxz[j] / s, probe.m_Dxy[j] / s, probe.m_Dyy[j] / s,
              probe.m_Dyz[j] / s, probe.m_Dxz[j] / s, probe.m_Dyz[j] / s, probe.m_Dzz[j] / s};
      const int f = probe.m_From[j], t = probe.m_To[j];
      b.v = {((probe.m_X[t] - probe.m_X[f]) - probe.m_DX[j]) * 1000.0,
             ((probe.m_Y[t] - probe.m_Y[f]) - probe.m_DY[j]) * 1000.0,
             ((probe.m_Z[t] - probe.m_Z[f]) - probe.m_DZ[j]) * 1000.0};
    }
    adjusted.unitVariance = probe.m_MeanVariance * 100.0;  // cm² -> mm², the residuals' unit
    adjusted.normal = probe.m_Normal.get();
    return true;
  };
  return EstimateVarianceComponents(groups.names, readjust, alpha, result);
}

void ApplyVarianceFactors(CGPS3dNetAdjust& network, const CVectorGroups& groups, const CVarianceComponents& result) {
  const CReadGPS3dVector given = network;
  ScaleCovariances(network, groups.groupOf, Factors(result), given);
  for (const CVarianceComponent& g : result.groups)
    network.m_ReportPreamble.push_back(
        g.estimable ? Format(T(u8"已按方差分量估计调整基线协方差(%s): 方差因子%.4f\n"), g.name.c_str(), g.factor)
                    : Format(T(u8"已按方差分量估计调整基线协方差(%s): 不可估计，方差因子取1\n"), g.name.c_str()));
}

}  // namespace vemo

#include "adjust3d/GPS3dVarianceComponents.h"

#include <array>
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

// Adjusted minus observed of vector j, mm.
std::array<double, 3> VectorResidual(const CGPS3dNetAdjust& net, int j) {
  const int f = net.m_From[j], t = net.m_To[j];
  return {((net.m_X[t] - net.m_X[f]) - net.m_DX[j]) * 1000.0, ((net.m_Y[t] - net.m_Y[f]) - net.m_DY[j]) * 1000.0,
          ((net.m_Z[t] - net.m_Z[f]) - net.m_DZ[j]) * 1000.0};
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

CVectorGroups VarianceGroups(const CGPS3dNetAdjust& network) {
  CVectorGroups groups = SessionGroups(network);
  for (const CCovarianceBlock& cluster : network.m_Clusters) {
    const int group = groups.groupOf[static_cast<size_t>(cluster.members.front())];
    for (int j : cluster.members) groups.groupOf[static_cast<size_t>(j)] = group;
  }
  if (!network.m_WeightedDatum.Empty()) {
    groups.weighted = static_cast<int>(groups.names.size());
    groups.names.push_back(T(u8"加权已知点"));
  }
  return groups;
}

bool EstimateGPS3dVarianceComponents(const CGPS3dNetAdjust& loaded, const CVectorGroups& groups, double alpha,
                                     CVarianceComponents& result) {
  CGPS3dNetAdjust probe(loaded.m_Variant);
  static_cast<CReadGPS3dVector&>(probe) = loaded;
  if (probe.m_KnownPointCount == 0 || probe.m_PointCount <= probe.m_KnownPointCount) return false;
  probe.m_ClusterFactors = loaded.m_ClusterFactors;
  probe.m_WeightedDatumFactor = loaded.m_WeightedDatumFactor;
  if (!probe.ReadCovarianceFiles()) return false;
  // Groups formed without the files' content would leave part of the model unscaled.
  if (probe.m_WeightedDatum.Empty() != (groups.weighted < 0)) return false;
  if (!GetApproximateGPS3dXYZ(&probe)) return false;
  probe.m_UnknownCount = 3 * (probe.m_PointCount - probe.m_KnownPointCount);
  probe.m_Layout = {probe.m_KnownPointCount, probe.m_PointCount, 3};
  if (!probe.m_WeightedDatum.Empty())
    probe.m_UnknownCount += probe.m_WeightedDatum.AssignUnknowns(probe.m_Layout, probe.m_UnknownCount);
  try {
    probe.AllocateNormalEquations();
  } catch (const std::bad_alloc&) {
    return false;
  }
  // The covariances as read: every step scales these, not the last step's.
  const CReadGPS3dVector given = probe;
  const std::vector<CCovarianceBlock> givenClusters = probe.m_Clusters;
  const CWeightedDatum givenDatum = probe.m_WeightedDatum;
  const auto misclosure = [&probe](int p, int c) { return probe.KnownMisclosure(p, c); };
  const VarianceReadjust readjust = [&](const std::vector<double>& factors, CAdjustedBlocks& adjusted) {
    ScaleCovariances(probe, groups.groupOf, factors, given);
    for (size_t c = 0; c < givenClusters.size(); ++c) {
      const double f = factors[static_cast<size_t>(groups.groupOf[static_cast<size_t>(givenClusters[c].members.front())])];
      for (size_t e = 0; e < givenClusters[c].cov.size(); ++e) probe.m_Clusters[c].cov[e] = givenClusters[c].cov[e] * f;
    }
    if (groups.weighted >= 0) {
      probe.m_WeightedDatum = givenDatum;
      probe.m_WeightedDatum.Scale(factors[static_cast<size_t>(groups.weighted)]);
    }
    probe.BuildNormalEquations();
    if (!probe.m_Normal->Factorize() || !probe.m_Normal->Solve(probe.m_x)) return false;
    probe.m_Normal->PrepareCofactors();
    probe.UpdateCoordinates();
    const double s = probe.m_MeanVariance;
    adjusted.blocks.clear();
    for (int j = 0; j < probe.m_VectorCount; ++j) {
      if (!probe.m_ClusterOf.empty() && probe.m_ClusterOf[static_cast<size_t>(j)] >= 0) continue;
      CVarianceBlock& b = adjusted.blocks.emplace_back();
      b.group = groups.groupOf[static_cast<size_t>(j)];
      b.index.resize(6);
      probe.VectorUnknowns(j, b.index.data());
      b.a.assign(18, 0.0);
      for (int c = 0; c < 3; ++c) b.a[c * 6 + c] = -1.0, b.a[c * 6 + c + 3] = 1.0;
      b.Ql = {probe.m_Dxx[j] / s, probe.m_Dxy[j] / s, probe.m_Dxz[j] / s, probe.m_Dxy[j] / s, probe.m_Dyy[j] / s,
              probe.m_Dyz[j] / s, probe.m_Dxz[j] / s, probe.m_Dyz[j] / s, probe.m_Dzz[j] / s};
      const std::array<double, 3> v = VectorResidual(probe, j);
      b.v.assign(v.begin(), v.end());
    }
    // A cluster is one block of 3n rows: vector k's rows are -I on its start's unknowns and +I
    // on its end's (columns 6k..6k+5; ends shared by two vectors simply repeat an unknown).
    for (const CCovarianceBlock& cluster : probe.m_Clusters) {
      CVarianceBlock& b = adjusted.blocks.emplace_back();
      const size_t n = cluster.members.size(), rows = 3 * n, columns = 6 * n;
      b.group = groups.groupOf[static_cast<size_t>(cluster.members.front())];
      b.index.resize(columns);
      b.a.assign(rows * columns, 0.0);
      for (size_t k = 0; k < n; ++k) {
        probe.VectorUnknowns(cluster.members[k], &b.index[6 * k]);
        for (size_t c = 0; c < 3; ++c)
          b.a[(3 * k + c) * columns + 6 * k + c] = -1.0, b.a[(3 * k + c) * columns + 6 * k + 3 + c] = 1.0;
        const std::array<double, 3> v = VectorResidual(probe, cluster.members[k]);
        b.v.insert(b.v.end(), v.begin(), v.end());
      }
      b.Ql.resize(rows * rows);
      for (size_t e = 0; e < b.Ql.size(); ++e) b.Ql[e] = cluster.cov[e] / s;
    }
    if (groups.weighted >= 0) probe.m_WeightedDatum.AddVarianceBlocks(probe.m_Layout, misclosure, groups.weighted, adjusted.blocks);
    adjusted.unitVariance = s * 100.0;  // cm² -> mm², the residuals' unit
    adjusted.normal = probe.m_Normal.get();
    return true;
  };
  return EstimateVarianceComponents(groups.names, readjust, alpha, result);
}

void ApplyVarianceFactors(CGPS3dNetAdjust& network, const CVectorGroups& groups, const CVarianceComponents& result) {
  const CReadGPS3dVector given = network;
  const std::vector<double> factors = Factors(result);
  ScaleCovariances(network, groups.groupOf, factors, given);
  // Adjust reads the clusters and the weighted known points anew: they take their factors then.
  network.m_ClusterFactors.clear();
  for (const CCovarianceBlock& cluster : network.m_Clusters)
    network.m_ClusterFactors.push_back(factors[static_cast<size_t>(groups.groupOf[static_cast<size_t>(cluster.members.front())])]);
  network.m_WeightedDatumFactor = groups.weighted >= 0 ? factors[static_cast<size_t>(groups.weighted)] : 1.0;
  for (size_t k = 0; k < result.groups.size(); ++k) {
    const CVarianceComponent& g = result.groups[k];
    const char* what = static_cast<int>(k) == groups.weighted ? u8"已知点" : u8"基线";
    network.m_ReportPreamble.push_back(
        g.estimable ? Format(T(u8"已按方差分量估计调整%s协方差(%s): 方差因子%.4f\n"), T(what), g.name.c_str(), g.factor)
                    : Format(T(u8"已按方差分量估计调整%s协方差(%s): 不可估计，方差因子取1\n"), T(what), g.name.c_str()));
  }
}

}  // namespace vemo

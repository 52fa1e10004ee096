// The covariances of correlated vector clusters, formed once for every 3D adjustment that
// takes them (the vector network, the ellipsoidal one): remodelled as the vectors' own
// covariances are, then handed to the one place where a per-vector linear scaling applies,
// and their diagonal blocks written over the vectors' own covariances.
#pragma once

#include <array>
#include <cmath>
#include <vector>

#include "project/AppState.h"
#include "project/data/CovarianceScaling.h"
#include "project/data/KnownCovariance.h"
#include "project/data/VectorFileReader.h"

namespace vemo {

// set: a 3D data set (m_DX.., m_Dxx..); clusterOf receives each vector's cluster, or -1, and
// stays empty without clusters.
template <class DataSet>
void FormClusterCovariances(std::vector<CCovarianceBlock>& clusters, DataSet& set, std::vector<int>& clusterOf) {
  clusterOf.clear();
  if (clusters.empty()) return;
  clusterOf.assign(static_cast<size_t>(set.m_VectorCount), -1);
  const CGPSConfiguration& configuration = Project().configuration;
  const double a = configuration.m_NetClass[NetClassParameters::kInstrumentFixedError];
  const double b = configuration.m_NetClass[NetClassParameters::kInstrumentProportionalError];
  for (size_t c = 0; c < clusters.size(); ++c) {
    CCovarianceBlock& cluster = clusters[c];
    const size_t n = cluster.members.size(), order = 3 * n;
    if (configuration.m_ModifyBaselineCov == 1) {
      // Each vector's diagonal block takes the factor k that remodelling gives its own
      // covariance; the block of two vectors scales by sqrt(k_i k_j), keeping correlations.
      std::vector<std::array<double, 9>> S(n);
      for (size_t k = 0; k < n; ++k) {
        const size_t j = static_cast<size_t>(cluster.members[k]);
        const double* d = &cluster.cov[3 * k * order + 3 * k];
        CVectorRecord v;
        v.dx = set.m_DX[j], v.dy = set.m_DY[j], v.dz = set.m_DZ[j];
        v.dxx = d[0], v.dyy = d[order + 1], v.dzz = d[2 * order + 2];
        v.dxy = d[1], v.dxz = d[2], v.dyz = d[order + 2];
        const double before = v.dxx + v.dyy + v.dzz;
        RemodelCovariance(v, a, b);  // the trace of a positive definite block is positive
        const double s = std::sqrt((v.dxx + v.dyy + v.dzz) / before);
        S[k] = {s, 0, 0, 0, s, 0, 0, 0, s};
      }
      TransformCovarianceBlock(cluster, 3, [&](size_t k) { return S[k].data(); });
    }
  }
  // The covariance scaling, as the vectors' own covariances were scaled when they were read.
  if (!set.m_Scaling.Empty()) {
    std::vector<CVectorRecord> vectors(static_cast<size_t>(set.m_VectorCount));
    for (size_t j = 0; j < vectors.size(); ++j) {
      CVectorRecord& v = vectors[j];
      v.from = set.m_FromName[j], v.to = set.m_ToName[j], v.session = set.m_Session[j];
      v.dx = set.m_DX[j], v.dy = set.m_DY[j], v.dz = set.m_DZ[j];
    }
    const CCoorsSystemSet& ellipsoid = configuration.m_CurrentCoorsSystem;
    ScaleClusters(set.m_Scaling, std::move(vectors), clusters, ellipsoid.m_a, ellipsoid.m_InvF);
  }
  for (size_t c = 0; c < clusters.size(); ++c) {
    const CCovarianceBlock& cluster = clusters[c];
    const size_t n = cluster.members.size(), order = 3 * n;
    for (size_t k = 0; k < n; ++k) {
      const size_t j = static_cast<size_t>(cluster.members[k]);
      const double* d = &cluster.cov[3 * k * order + 3 * k];
      set.m_Dxx[j] = d[0], set.m_Dyy[j] = d[order + 1], set.m_Dzz[j] = d[2 * order + 2];
      set.m_Dxy[j] = d[1], set.m_Dxz[j] = d[2], set.m_Dyz[j] = d[order + 2];
      clusterOf[j] = static_cast<int>(c);
    }
  }
}

}  // namespace vemo

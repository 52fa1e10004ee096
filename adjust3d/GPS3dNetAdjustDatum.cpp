// The weighted datum and the correlated sessions of the 3D vector network: reading their
// files, forming the cluster covariances, their observations in the normal equations and
// their redundancy numbers, and the report sections of the weighted known points.
#include <algorithm>
#include <array>
#include <cmath>

#include "adjust/NormalEquations.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "adjust3d/GPS3dNetAdjustClusters.h"
#include "geodesy/Encoding.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Matrix.h"
#include "project/AppState.h"
#include "project/data/ClusterFile.h"
#include "project/data/KnownCovariance.h"

using namespace vemo;

namespace {

const char* const kDash =
    "------------------------------------------------------------------------------------------------\n";

}  // namespace

int CGPS3dNetAdjust::ReadCovarianceFiles() {
  m_WeightedDatum.Set(3, {});
  m_Clusters.clear();
  m_ClusterOf.clear();
  m_Layout = {};
  if (m_Variant != 0 || Project().approxXYZFromFile) return 1;

  std::vector<CCovarianceBlock> blocks;
  if (!ReadKnownCovariance(CurrentProjectFile(ProjectFile::KnownCov3d), 3, m_KnownName, blocks)) return 0;
  // A point given as B, L, H has its covariance in north, east, up: C_xyz = Rᵀ C_neu R.
  const CCoorsSystemSet& ellipsoid = Project().configuration.m_CurrentCoorsSystem;
  for (CCovarianceBlock& block : blocks) {
    std::vector<std::array<double, 9>> frames;
    for (int p : block.members) {
      std::array<double, 9> S = {1, 0, 0, 0, 1, 0, 0, 0, 1};
      if (static_cast<size_t>(p) < m_KnownGeodetic.size() && m_KnownGeodetic[static_cast<size_t>(p)]) {
        GPSTransfer transfer(0);
        transfer.m_a = ellipsoid.m_a;
        transfer.m_InvF = ellipsoid.m_InvF;
        transfer.m_X = m_KnownX[static_cast<size_t>(p)], transfer.m_Y = m_KnownY[static_cast<size_t>(p)];
        transfer.m_Z = m_KnownZ[static_cast<size_t>(p)];
        transfer.XYZBLH();  // the reader took this point from B, L, H: it converts back
        const std::array<double, 9> R = LocalFrameRows(transfer.m_B, transfer.m_L);
        for (int r = 0; r < 3; ++r)
          for (int c = 0; c < 3; ++c) S[static_cast<size_t>(r * 3 + c)] = R[static_cast<size_t>(c * 3 + r)];
      }
      frames.push_back(S);
    }
    TransformCovarianceBlock(block, 3, [&](size_t k) { return frames[k].data(); });
  }
  for (CCovarianceBlock& block : blocks)
    for (double& e : block.cov) e *= m_WeightedDatumFactor;
  m_WeightedDatum.Set(3, std::move(blocks));

  const auto candidates = [this] { return ClusterCandidates(VectorFile(), m_FromName, m_ToName, VectorLines()); };
  if (!ReadClusterFile(CurrentProjectFile(ProjectFile::Cluster3d), candidates, m_Clusters)) return 0;
  FormClusterCovariances(m_Clusters, *this, m_ClusterOf);
  for (size_t c = 0; c < m_Clusters.size() && c < m_ClusterFactors.size(); ++c) {
    const double f = m_ClusterFactors[c];
    for (double& e : m_Clusters[c].cov) e *= f;
    for (int j : m_Clusters[c].members) {
      m_Dxx[j] *= f, m_Dyy[j] *= f, m_Dzz[j] *= f;
      m_Dxy[j] *= f, m_Dxz[j] *= f, m_Dyz[j] *= f;
    }
  }
  return 1;
}

void CGPS3dNetAdjust::ClusterPoints(const CCovarianceBlock& cluster, std::vector<int>& points,
                                    std::vector<int>& slots) const {
  points.clear(), slots.clear();
  for (int j : cluster.members)
    for (int point : {m_From[static_cast<size_t>(j)], m_To[static_cast<size_t>(j)]}) {
      auto at = std::find(points.begin(), points.end(), point);
      if (at == points.end()) at = points.insert(points.end(), point);
      slots.push_back(static_cast<int>(at - points.begin()));
    }
}

double CGPS3dNetAdjust::AddCluster(size_t c) {
  const CCovarianceBlock& cluster = m_Clusters[c];
  const size_t n = cluster.members.size(), order = 3 * n;
  std::vector<double> q(order * (order + 1) / 2);
  for (size_t r = 0; r < order; ++r)
    for (size_t s = 0; s <= r; ++s) q[PackedIndex(r, s)] = cluster.cov[r * order + s] / m_MeanVariance;
  MatrixInverseForDouble(q, static_cast<int>(order));
  std::vector<double>& P = m_ClusterWeight[c];
  P.assign(order * order, 0.0);
  for (size_t r = 0; r < order; ++r)
    for (size_t s = 0; s < order; ++s) P[r * order + s] = q[PackedIndex(std::max(r, s), std::min(r, s))];

  // Computed minus observed of every vector, mm.
  std::vector<double> l(order);
  for (size_t k = 0; k < n; ++k) {
    const size_t j = static_cast<size_t>(cluster.members[k]);
    const int f = m_From[j], t = m_To[j];
    l[3 * k] = ((m_X[t] - m_X[f]) - m_DX[j]) * 1000.0;
    l[3 * k + 1] = ((m_Y[t] - m_Y[f]) - m_DY[j]) * 1000.0;
    l[3 * k + 2] = ((m_Z[t] - m_Z[f]) - m_DZ[j]) * 1000.0;
  }
  std::vector<double> Pl(order, 0.0);
  double lPl = 0.0;
  for (size_t r = 0; r < order; ++r) {
    for (size_t s = 0; s < order; ++s) Pl[r] += P[r * order + s] * l[s];
    lPl += l[r] * Pl[r];
  }
  // The design rows of vector k are -I on its start and +I on its end; two vectors of the
  // cluster share end points, so the block is summed over the distinct points before it goes
  // to the normal equations once.
  std::vector<int> points, slots;
  ClusterPoints(cluster, points, slots);
  const size_t m = 3 * points.size();
  std::vector<double> block(m * m, 0.0), rhs(m, 0.0);
  for (size_t a = 0; a < n; ++a)
    for (int ea = 0; ea < 2; ++ea) {
      const size_t sa = static_cast<size_t>(slots[2 * a + static_cast<size_t>(ea)]);
      const double ga = ea == 0 ? -1.0 : 1.0;
      for (size_t r = 0; r < 3; ++r) rhs[3 * sa + r] += ga * Pl[3 * a + r];
      for (size_t bv = 0; bv < n; ++bv)
        for (int eb = 0; eb < 2; ++eb) {
          const size_t sb = static_cast<size_t>(slots[2 * bv + static_cast<size_t>(eb)]);
          const double g = ga * (eb == 0 ? -1.0 : 1.0);
          for (size_t r = 0; r < 3; ++r)
            for (size_t s = 0; s < 3; ++s) block[(3 * sa + r) * m + 3 * sb + s] += g * P[(3 * a + r) * order + 3 * bv + s];
        }
    }
  std::vector<int> index(m);
  for (size_t p = 0; p < points.size(); ++p) {
    const int u = UnknownOf(points[p]);
    for (int r = 0; r < 3; ++r) index[3 * p + static_cast<size_t>(r)] = u < 0 ? -1 : u + r;
  }
  m_Normal->Add(index.data(), static_cast<int>(m), block.data(), rhs.data());
  return lPl;
}

void CGPS3dNetAdjust::ClusterRedundancy(size_t c) {
  const CCovarianceBlock& cluster = m_Clusters[c];
  const std::vector<double>& P = m_ClusterWeight[c];
  const size_t n = cluster.members.size(), order = 3 * n;
  std::vector<int> points, slots;
  ClusterPoints(cluster, points, slots);
  const size_t m = 3 * points.size();
  std::vector<int> index(m);
  for (size_t p = 0; p < points.size(); ++p) {
    const int u = UnknownOf(points[p]);
    for (int r = 0; r < 3; ++r) index[3 * p + static_cast<size_t>(r)] = u < 0 ? -1 : u + r;
  }
  std::vector<double> Qx(m * m);
  m_Normal->Cofactors(index.data(), static_cast<int>(m), Qx.data());
  // Qvv = Q - A Qxx Aᵀ over the whole cluster; the redundancy number of a component is the
  // diagonal element of Qvv P.
  std::vector<double> Qvv(order * order);
  for (size_t a = 0; a < n; ++a)
    for (size_t b = 0; b < n; ++b)
      for (size_t r = 0; r < 3; ++r)
        for (size_t s = 0; s < 3; ++s) {
          double adjusted = 0.0;
          for (int ea = 0; ea < 2; ++ea)
            for (int eb = 0; eb < 2; ++eb) {
              const size_t pa = 3 * static_cast<size_t>(slots[2 * a + static_cast<size_t>(ea)]) + r;
              const size_t pb = 3 * static_cast<size_t>(slots[2 * b + static_cast<size_t>(eb)]) + s;
              if (index[pa] >= 0 && index[pb] >= 0) adjusted += (ea == eb ? 1.0 : -1.0) * Qx[pa * m + pb];
            }
          Qvv[(3 * a + r) * order + 3 * b + s] = cluster.cov[(3 * a + r) * order + 3 * b + s] / m_MeanVariance - adjusted;
        }
  for (size_t k = 0; k < order; ++k) {
    double sum = 0.0;
    for (size_t s = 0; s < order; ++s) sum += Qvv[k * order + s] * P[s * order + k];
    m_RedundancyNumber[3 * static_cast<size_t>(cluster.members[k / 3]) + k % 3] = sum;
  }
}

double CGPS3dNetAdjust::KnownMisclosure(int point, int c) const {
  const size_t p = static_cast<size_t>(point);
  const double current = c == 0 ? m_X[p] : c == 1 ? m_Y[p] : m_Z[p];
  const double given = c == 0 ? m_KnownX[p] : c == 1 ? m_KnownY[p] : m_KnownZ[p];
  return (current - given) * 1000.0;
}

void CGPS3dNetAdjust::WriteWeightedDatumTests(CReportFile& f, const CNetworkTests& tests) const {
  if (m_WeightedDatum.Empty() || m_Redundancy <= 0 || !(tests.sigma0 > 0.0)) return;
  const auto misclosure = [this](int p, int c) { return KnownMisclosure(p, c); };
  const CDataSnooping snooping = DataSnooping(m_WeightedDatum.TestGroups(m_Solution.layout, misclosure), *m_Normal,
                                              tests.sigma0, tests.sigmaHat, tests.limits, m_Solution.layout);
  m_WeightedDatum.WriteTests(f, kDash, snooping, tests.limits.w, m_PointName, {"X", "Y", "Z"}, 0.1);
}

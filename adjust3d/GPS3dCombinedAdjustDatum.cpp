// The weighted known points and the correlated vector clusters of the ellipsoidal adjustment:
// reading their files, their observations in the normal equations, and the result file's
// section of the weighted points.
#include <algorithm>
#include <array>
#include <cmath>

#include "adjust/AdjustmentStatistics.h"
#include "adjust/NormalEquations.h"
#include "adjust3d/GPS3dCombinedAdjust.h"
#include "adjust3d/GPS3dNetAdjustClusters.h"
#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Matrix.h"
#include "project/AppState.h"
#include "project/data/ClusterFile.h"

using namespace vemo;

namespace {

const char* const kDash86 =
    "--------------------------------------------------------------------------------------\n";

// Radii of curvature in the meridian and the prime vertical at latitude B.
void Radii(double a, double e2, double B, double& M, double& N) {
  const double W = std::sqrt(1.0 - e2 * std::sin(B) * std::sin(B));
  M = a * (1.0 - e2) / (W * W * W), N = a / W;
}

// The inverse of a full symmetric matrix (row-major) through the packed inversion.
std::vector<double> Inverse(const std::vector<double>& C, size_t n, double divisor) {
  std::vector<double> q(n * (n + 1) / 2);
  for (size_t r = 0; r < n; ++r)
    for (size_t s = 0; s <= r; ++s) q[PackedIndex(r, s)] = C[r * n + s] / divisor;
  MatrixInverseForDouble(q, static_cast<int>(n));
  std::vector<double> P(n * n);
  for (size_t r = 0; r < n; ++r)
    for (size_t s = 0; s < n; ++s) P[r * n + s] = q[PackedIndex(std::max(r, s), std::min(r, s))];
  return P;
}

}  // namespace

int CGPS3dCombinedAdjust::ReadCovarianceFiles() {
  m_WeightedBlocks.clear(), m_IsWeighted.clear(), m_Clusters.clear(), m_ClusterOf.clear();
  const int k = m_KnownPointCount;
  const std::vector<std::string> known(m_PointName.begin(), m_PointName.begin() + k);
  std::vector<CCovarianceBlock> blocks;
  if (!ReadKnownCovariance(CurrentProjectFile(ProjectFile::KnownCov3d), 3, known, blocks)) return 0;
  const CCoorsSystemSet& ellipsoid = Project().configuration.m_CurrentCoorsSystem;
  const double bAxis = ellipsoid.m_a * (1.0 - 1.0 / ellipsoid.m_InvF);
  const double e2 = 1.0 - (bAxis / ellipsoid.m_a) * (bAxis / ellipsoid.m_a), rho = Rho();
  m_GivenB.assign(m_B.begin(), m_B.begin() + k), m_GivenL.assign(m_L.begin(), m_L.begin() + k);
  m_GivenH.assign(m_H.begin(), m_H.begin() + k);
  if (!blocks.empty()) m_IsWeighted.assign(static_cast<size_t>(k), 0);
  for (CCovarianceBlock& block : blocks) {
    // To north, east, up (a point given as X, Y, Z turns by R), then to seconds of arc of B
    // and L and metres of H, all from cm.
    std::vector<std::array<double, 9>> S;
    for (int p : block.members) {
      const double B = m_B[static_cast<size_t>(p)], L = m_L[static_cast<size_t>(p)], H = m_H[static_cast<size_t>(p)];
      double M, N;
      Radii(ellipsoid.m_a, e2, B, M, N);
      const double j[3] = {0.01 * rho / (M + H), 0.01 * rho / ((N + H) * std::cos(B)), 0.01};
      std::array<double, 9> T = {j[0], 0, 0, 0, j[1], 0, 0, 0, j[2]};
      if (m_KnownCartesian[static_cast<size_t>(p)]) {
        const std::array<double, 9> R = LocalFrameRows(B, L);
        for (int r = 0; r < 3; ++r)
          for (int c = 0; c < 3; ++c) T[static_cast<size_t>(r * 3 + c)] = j[r] * R[r * 3 + c];
      }
      S.push_back(T);
      m_IsWeighted[static_cast<size_t>(p)] = 1;
    }
    TransformCovarianceBlock(block, 3, [&](size_t m) { return S[m].data(); });
    // Only the components the point's code gives: the height, the plane position, or both.
    WeightedBlock weighted;
    std::vector<size_t> rows;
    for (size_t m = 0; m < block.members.size(); ++m) {
      const int p = block.members[m], type = m_KnownType[static_cast<size_t>(p)];
      for (int c = 0; c < 3; ++c)
        if ((c == 2 && type != kKnownHorizontal) || (c < 2 && type != kKnownHeight)) {
          rows.push_back(3 * m + static_cast<size_t>(c));
          weighted.unknowns.push_back(3 * p + c);
        }
    }
    const size_t order = 3 * block.members.size();
    for (size_t r : rows)
      for (size_t c : rows) weighted.C.push_back(block.cov[r * order + c]);
    m_WeightedBlocks.push_back(std::move(weighted));
  }

  std::vector<int> lines(static_cast<size_t>(m_VectorCount));
  for (size_t j = 0; j < lines.size(); ++j) lines[j] = static_cast<int>(j) + 1;  // every line is a vector
  const auto candidates = [&] {
    return ClusterCandidates(CurrentProjectFile(ProjectFile::Vector3d), m_FromName, m_ToName, lines);
  };
  if (!ReadClusterFile(CurrentProjectFile(ProjectFile::Cluster3d), candidates, m_Clusters)) return 0;
  FormClusterCovariances(m_Clusters, *this, m_ClusterOf);
  return 1;
}

void CGPS3dCombinedAdjust::VectorDesign(int j, double e2, int index[10], double A[3][10], double l[3]) const {
  const double rho = Rho();
  const int u = m_UnknownCount;
  // The derivatives of X, Y, Z of point i by its B and L (per second of arc) and H (per m).
  auto derivatives = [&](int i, double D[3][3]) {
    const double B = m_ApproxB[i], L = m_ApproxL[i], H = m_ApproxH[i];
    const double W = std::sqrt(1.0 - e2 * std::sin(B) * std::sin(B));
    const double M = m_a * (1.0 - e2) / (W * W * W), N = m_a / W;
    const double sB = std::sin(B), cB = std::cos(B), sL = std::sin(L), cL = std::cos(L);
    D[0][0] = -(M + H) * sB * cL / rho, D[0][1] = -(N + H) * cB * sL / rho, D[0][2] = cB * cL;
    D[1][0] = -(M + H) * sB * sL / rho, D[1][1] = (N + H) * cB * cL / rho, D[1][2] = cB * sL;
    D[2][0] = (M + H) * cB / rho, D[2][1] = 0.0, D[2][2] = sB;
  };
  const int f = m_From[j], t = m_To[j];
  const int at[10] = {3 * t, 3 * t + 1, 3 * t + 2, 3 * f, 3 * f + 1, 3 * f + 2, u - 4, u - 3, u - 2, u - 1};
  std::copy(at, at + 10, index);
  const double d[3] = {m_X[t] - m_X[f], m_Y[t] - m_Y[f], m_Z[t] - m_Z[f]};
  for (int r = 0; r < 3; ++r) l[r] = d[r] - (r == 0 ? m_DX[j] : r == 1 ? m_DY[j] : m_DZ[j]);
  double Dt[3][3], Df[3][3];
  derivatives(t, Dt);
  derivatives(f, Df);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) A[r][c] = Dt[r][c], A[r][3 + c] = -Df[r][c];
  // The GPS vector is the ground difference turned by the small rotations and changed in scale.
  const double frame[3][4] = {{0.0, -d[2], d[1], d[0]}, {d[2], 0.0, -d[0], d[1]}, {-d[1], d[0], 0.0, d[2]}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) A[r][6 + c] = frame[r][c];
}

double CGPS3dCombinedAdjust::AddCluster(const CCovarianceBlock& cluster, double e2, double meanVariance) {
  const size_t n = cluster.members.size(), order = 3 * n;
  const std::vector<double> P = Inverse(cluster.cov, order, meanVariance);
  // The rows of every vector over the distinct unknowns of the cluster (shared ends and the
  // frame parameters summed before the block goes to the normal equations once).
  std::vector<int> unknowns;
  std::vector<std::vector<double>> rows(order);
  std::vector<double> l(order);
  for (size_t a = 0; a < n; ++a) {
    int index[10];
    double A[3][10], la[3];
    VectorDesign(cluster.members[a], e2, index, A, la);
    for (int c = 0; c < 10; ++c) {
      auto found = std::find(unknowns.begin(), unknowns.end(), index[c]);
      if (found == unknowns.end()) {
        found = unknowns.insert(unknowns.end(), index[c]);
        for (auto& row : rows) row.push_back(0.0);
      }
      const size_t column = static_cast<size_t>(found - unknowns.begin());
      for (size_t r = 0; r < 3; ++r) rows[3 * a + r][column] += A[r][c];
    }
    for (size_t r = 0; r < 3; ++r) l[3 * a + r] = la[r];
  }
  const size_t m = unknowns.size();
  std::vector<double> PA(order * m, 0.0), Pl(order, 0.0), block(m * m, 0.0), rhs(m, 0.0);
  double lPl = 0.0;
  for (size_t r = 0; r < order; ++r) {
    for (size_t s = 0; s < order; ++s) {
      Pl[r] += P[r * order + s] * l[s];
      for (size_t c = 0; c < m; ++c) PA[r * m + c] += P[r * order + s] * rows[s][c];
    }
    lPl += l[r] * Pl[r];
  }
  for (size_t a = 0; a < m; ++a) {
    for (size_t r = 0; r < order; ++r) rhs[a] += rows[r][a] * Pl[r];
    for (size_t c = 0; c < m; ++c)
      for (size_t r = 0; r < order; ++r) block[a * m + c] += rows[r][a] * PA[r * m + c];
  }
  m_Normal->Add(unknowns.data(), static_cast<int>(m), block.data(), rhs.data());
  return lPl;
}

double CGPS3dCombinedAdjust::WeightedMisclosure(int i, int c, bool adjusted) const {
  const size_t p = static_cast<size_t>(i);
  const double rho = Rho();
  if (c == 0) return ((adjusted ? m_B[p] : m_ApproxB[p]) - m_GivenB[p]) * rho;
  if (c == 1) return WrapLongitude((adjusted ? m_L[p] : m_ApproxL[p]) - m_GivenL[p]) * rho;
  return (adjusted ? m_H[p] : m_ApproxH[p]) - m_GivenH[p];
}

double CGPS3dCombinedAdjust::AddWeightedPoints(double meanVariance) {
  // The unit weight is the vectors' mean variance, in m² as the misclosures of H and the
  // vectors are.
  m_UnitVariance = meanVariance * 1e-4;
  double lPl = 0.0;
  for (const WeightedBlock& b : m_WeightedBlocks) {
    const size_t n = b.unknowns.size();
    const std::vector<double> P = Inverse(b.C, n, m_UnitVariance);
    std::vector<double> l(n), rhs(n, 0.0);
    for (size_t r = 0; r < n; ++r) l[r] = WeightedMisclosure(b.unknowns[r] / 3, b.unknowns[r] % 3, false);
    for (size_t r = 0; r < n; ++r) {
      for (size_t s = 0; s < n; ++s) rhs[r] += P[r * n + s] * l[s];
      lPl += l[r] * rhs[r];
    }
    m_Normal->Add(b.unknowns.data(), static_cast<int>(n), P.data(), rhs.data());
  }
  return lPl;
}

void CGPS3dCombinedAdjust::WriteWeightedPoints() {
  CReportFile& f = m_ResultFile;
  const double rho = Rho();
  const double bAxis = m_a * (1.0 - 1.0 / m_InvF), e2 = 1.0 - (bAxis / m_a) * (bAxis / m_a);
  // The w-test of each correction, by the vectors' unit weight and the default test levels.
  std::vector<CObservationGroup> groups;
  std::vector<int> points;
  for (const WeightedBlock& b : m_WeightedBlocks) {
    const size_t n = b.unknowns.size();
    for (size_t r = 0; r < n;) {
      size_t end = r;
      while (end < n && b.unknowns[end] / 3 == b.unknowns[r] / 3) ++end;
      CObservationGroup& g = groups.emplace_back();
      g.dimension = static_cast<int>(end - r);
      for (int& e : g.index) e = -1;
      for (size_t i = r; i < end; ++i) {
        g.index[i - r] = b.unknowns[i];
        g.a[i - r][i - r] = 1.0;
        g.v[i - r] = WeightedMisclosure(b.unknowns[i] / 3, b.unknowns[i] % 3, true);
        for (size_t k = r; k < end; ++k) g.Ql[i - r][k - r] = b.C[i * n + k] / m_UnitVariance;
      }
      points.push_back(b.unknowns[r] / 3);
      r = end;
    }
  }
  const CSnoopingLimits limits = SnoopingLimits(m_Redundancy, CTestSettings{});
  const CDataSnooping snooping =
      DataSnooping(groups, *m_Normal, std::sqrt(m_UnitVariance), m_Redundancy > 0 ? m_M0m : 0.0, limits,
                   CPointUnknowns(0, m_PointCount, 3));
  f.Write(kDash86);
  f.Write(T(u8"     加权已知点(约束点)改正数(平差值-已知值)、中误差与w检验(北、东、高)\n"));
  f.Write(kDash86);
  f.Printf(T(u8"  w检验临界值=%8.3f\n"), limits.w);
  f.Write(T(u8"    Name 分量   改正(cm)  中误差(cm)    r_i        w 检验\n"));
  f.Write(kDash86);
  const char* names[3] = {"N", "E", "U"};
  for (size_t g = 0; g < groups.size(); ++g) {
    const int i = points[g];
    double M, N;
    Radii(m_a, e2, m_B[static_cast<size_t>(i)], M, N);
    const double H = m_H[static_cast<size_t>(i)];
    const double toCm[3] = {(M + H) / rho * 100.0, (N + H) * std::cos(m_B[static_cast<size_t>(i)]) / rho * 100.0, 100.0};
    for (int k = 0; k < groups[g].dimension; ++k) {
      const int c = groups[g].index[k] % 3;
      const CComponentTest& t = snooping.groups[g][static_cast<size_t>(k)];
      const double sigma = m_M0m * std::sqrt(std::max(0.0, Qxx(groups[g].index[k], groups[g].index[k])));
      f.Printf("%8s %4s %10.2f %10.2f %6.3f ", m_PointName[static_cast<size_t>(i)].c_str(), names[c], t.v * toCm[c],
               sigma * toCm[c], t.redundancy);
      if (!t.controlled)
        f.Printf(T(u8"%8s %s\n"), "-", T(u8"无多余"));
      else
        f.Printf("%8.2f %s\n", t.w, t.rejected ? T(u8"超限") : T(u8"通过"));
    }
  }
  f.Write(kDash86);
}

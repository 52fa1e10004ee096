#include "adjust3d/GPS3dCombinedAdjust.h"

#include <algorithm>
#include <cmath>

#include "adjust/Solution.h"
#include "adjust3d/VectorChecks.h"
#include "project/AppState.h"
#include "geodesy/Angles.h"
#include "geodesy/DisplayMessageDlg.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Matrix.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

using namespace vemo;

namespace {

// The chaining of approximate coordinates gives up after this many passes over the vectors.
constexpr int kPassLimit = 4000;
// The known components must fix every motion of the network that the vectors and the frame
// parameters cannot see; a motion whose constrained displacements stay below this fraction of
// the largest one counts as free (the normal matrix would be singular to working precision).
constexpr double kDatumTolerance = 1e-6;

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

// Whether the columns of a matrix (each a vector of the same length) are linearly independent:
// Gram-Schmidt with the largest remaining column first, against a tolerance relative to the
// largest column.
bool FullColumnRank(std::vector<std::vector<double>> columns, double tolerance) {
  double largest = 0.0;
  for (const auto& c : columns) {
    double s = 0.0;
    for (double v : c) s += v * v;
    largest = std::max(largest, std::sqrt(s));
  }
  if (!(largest > 0.0)) return columns.empty();
  std::vector<bool> done(columns.size(), false);
  for (size_t step = 0; step < columns.size(); ++step) {
    size_t best = 0;
    double bestNorm = -1.0;
    for (size_t c = 0; c < columns.size(); ++c) {
      if (done[c]) continue;
      double s = 0.0;
      for (double v : columns[c]) s += v * v;
      if (std::sqrt(s) > bestNorm) bestNorm = std::sqrt(s), best = c;
    }
    if (!(bestNorm > tolerance * largest)) return false;
    done[best] = true;
    std::vector<double>& q = columns[best];
    for (double& v : q) v /= bestNorm;
    for (size_t c = 0; c < columns.size(); ++c) {
      if (done[c]) continue;
      for (int twice = 0; twice < 2; ++twice) {  // a second sweep restores the orthogonality lost to rounding
        double dot = 0.0;
        for (size_t r = 0; r < q.size(); ++r) dot += q[r] * columns[c][r];
        for (size_t r = 0; r < q.size(); ++r) columns[c][r] -= dot * q[r];
      }
    }
  }
  return true;
}

}  // namespace

double CGPS3dCombinedAdjust::Rho() { return 648000.0 / PI; }

CGPS3dCombinedAdjust::CGPS3dCombinedAdjust() = default;

CGPS3dCombinedAdjust::~CGPS3dCombinedAdjust() = default;

int CGPS3dCombinedAdjust::ConstrainedComponents() const {
  int c = 0;
  for (int i = 0; i < m_KnownPointCount; ++i) c += m_KnownType[i];
  return c;
}

bool CGPS3dCombinedAdjust::ApproximateBLH(int i, double& B, double& L, double& H) const {
  GPSTransfer t(0);
  t.m_a = m_a;
  t.m_InvF = m_InvF;
  t.m_X = m_X[i], t.m_Y = m_Y[i], t.m_Z = m_Z[i];
  if (!t.XYZBLH()) return false;
  B = t.m_B, L = t.m_L, H = t.m_H;
  return true;
}

int CGPS3dCombinedAdjust::ComputeApproximateXYZ() {
  m_X.assign(static_cast<size_t>(m_PointCount), 0.0);
  m_Y.assign(m_X.size(), 0.0);
  m_Z.assign(m_X.size(), 0.0);
  // A point is placed once it has coordinates; a flag, not a test of |X|, so that a point
  // near the plane X = 0 (longitude 90 degrees) counts as placed too.
  std::vector<char> placed(m_X.size(), 0);
  GPSTransfer t(0);
  t.m_a = m_a;
  t.m_InvF = m_InvF;
  for (int i = 0; i < m_KnownPointCount; ++i) {
    if (m_KnownType[i] != kKnownPosition) continue;
    t.m_B = m_B[i], t.m_L = m_L[i], t.m_H = m_H[i];
    if (!t.BLHXYZ()) continue;
    m_X[i] = t.m_X, m_Y[i] = t.m_Y, m_Z[i] = t.m_Z;
    placed[i] = 1;
  }
  for (int pass = 0;; ++pass) {
    bool changed = false;
    for (int j = 0; j < m_VectorCount; ++j) {
      const int f = m_From[j], e = m_To[j];
      if (placed[f] == placed[e]) continue;
      if (!placed[f]) {
        m_X[f] = m_X[e] - m_DX[j], m_Y[f] = m_Y[e] - m_DY[j], m_Z[f] = m_Z[e] - m_DZ[j];
        placed[f] = 1;
      } else {
        m_X[e] = m_X[f] + m_DX[j], m_Y[e] = m_Y[f] + m_DY[j], m_Z[e] = m_Z[f] + m_DZ[j];
        placed[e] = 1;
      }
      changed = true;
    }
    if (std::find(placed.begin(), placed.end(), 0) == placed.end()) return 1;
    // A pass that places nothing is followed by passes that place nothing: the outcome is that
    // of the full number of passes.
    if (!changed || pass >= kPassLimit) {
      Warn(UiText(u8"计算近似坐标错误"));
      int loose = 0, first = -1;
      for (int i = 0; i < m_PointCount; ++i)
        if (!placed[i]) {
          if (first < 0) first = i;
          ++loose;
        }
      // Points left at 0, 0, 0 have no latitude or longitude: nothing is computed on them.
      Warn(Format(UiText(u8"点%s等%d个点与B、L、H已知点之间没有基线向量连接，无法计算近似坐标，不输出平差结果!"),
                  m_PointName[first].c_str(), loose));
      return 0;
    }
  }
}

bool CGPS3dCombinedAdjust::ConvertApproximateCoordinates() {
  const size_t n = static_cast<size_t>(m_PointCount);
  m_ApproxB.assign(n, 0.0), m_ApproxL.assign(n, 0.0), m_ApproxH.assign(n, 0.0);
  for (int i = 0; i < m_PointCount; ++i)
    if (!ApproximateBLH(i, m_ApproxB[i], m_ApproxL[i], m_ApproxH[i])) {
      Warn(Format(UiText(u8"点%s的坐标(%.4lf, %.4lf, %.4lf)不能换算为大地坐标!"), m_PointName[i].c_str(), m_X[i], m_Y[i],
                  m_Z[i]));
      return false;
    }
  return true;
}

bool CGPS3dCombinedAdjust::CheckDatum() {
  // The vectors and the frame parameters see neither a shift of a connected part of the
  // network, nor a common small rotation or change of scale of all points (the frame
  // parameters take it up). The known components must fix each of these motions: the
  // displacements they constrain, one row per component, must be independent columns.
  CPointPartition partition(m_PointCount, 0);
  for (int j = 0; j < m_VectorCount; ++j) partition.Join(m_From[j], m_To[j]);
  const std::vector<int> parts = partition.Parts();

  double centre[3] = {0, 0, 0};
  for (int i = 0; i < m_PointCount; ++i) centre[0] += m_X[i], centre[1] += m_Y[i], centre[2] += m_Z[i];
  for (double& c : centre) c /= std::max(1, m_PointCount);
  double extent = 1.0;  // m; rotations and scale are taken per unit of displacement at the rim
  for (int i = 0; i < m_PointCount; ++i)
    extent = std::max(extent, std::hypot(m_X[i] - centre[0], m_Y[i] - centre[1], m_Z[i] - centre[2]));

  // Rows: the north, east and up displacement of each constrained component.
  struct Row {
    int point;
    double direction[3];
  };
  std::vector<Row> rows;
  for (int i = 0; i < m_KnownPointCount; ++i) {
    const double sB = std::sin(m_ApproxB[i]), cB = std::cos(m_ApproxB[i]);
    const double sL = std::sin(m_ApproxL[i]), cL = std::cos(m_ApproxL[i]);
    if (m_KnownType[i] != kKnownHeight) {
      rows.push_back({i, {-sB * cL, -sB * sL, cB}});
      rows.push_back({i, {-sL, cL, 0.0}});
    }
    if (m_KnownType[i] != kKnownHorizontal) rows.push_back({i, {cB * cL, cB * sL, sB}});
  }
  // Columns: the motions, each as a displacement of every point.
  auto column = [&](auto displacement) {
    std::vector<double> c;
    c.reserve(rows.size());
    for (const Row& r : rows) {
      double d[3];
      displacement(r.point, d);
      c.push_back(d[0] * r.direction[0] + d[1] * r.direction[1] + d[2] * r.direction[2]);
    }
    return c;
  };
  std::vector<std::vector<double>> motions;
  for (int p : parts)
    for (int axis = 0; axis < 3; ++axis)
      motions.push_back(column([&](int i, double d[3]) {
        for (int a = 0; a < 3; ++a) d[a] = (partition.Root(i) == p && a == axis) ? 1.0 : 0.0;
      }));
  for (int axis = 0; axis < 3; ++axis)
    motions.push_back(column([&](int i, double d[3]) {
      const double r[3] = {(m_X[i] - centre[0]) / extent, (m_Y[i] - centre[1]) / extent, (m_Z[i] - centre[2]) / extent};
      const double w[3] = {axis == 0 ? 1.0 : 0.0, axis == 1 ? 1.0 : 0.0, axis == 2 ? 1.0 : 0.0};
      d[0] = w[1] * r[2] - w[2] * r[1], d[1] = w[2] * r[0] - w[0] * r[2], d[2] = w[0] * r[1] - w[1] * r[0];
    }));
  motions.push_back(column([&](int i, double d[3]) {
    d[0] = (m_X[i] - centre[0]) / extent, d[1] = (m_Y[i] - centre[1]) / extent, d[2] = (m_Z[i] - centre[2]) / extent;
  }));
  if (rows.size() >= motions.size() && FullColumnRank(motions, kDatumTolerance)) {
    // Independent in theory is not enough: with a plane position at one point only, the turn
    // about its vertical and the scale show in the heights elsewhere only through the
    // flattening and the curvature of the Earth, parts per thousand of the motion. The
    // solution then turns and scales the network by whatever the errors of the heights say
    // (degrees, kilometres).
    int horizontal = 0;
    for (int i = 0; i < m_KnownPointCount; ++i) horizontal += m_KnownType[i] != kKnownHeight ? 1 : 0;
    if (horizontal >= 2) return true;
    Warn(UiText(u8"已知点中只有1个点给定了平面位置(B、L)，网的方向和尺度只能由椭球扁率和地球曲率微弱地确定(法方程严重病态)，"
           u8"请至少给定两个点的平面位置后再平差!"));
    return false;
  }
  Warn(Format(UiText(u8"已知点给定的%d个分量不能确定网的位置、方向和尺度(法方程奇异)，请增加已知点或已知分量后再平差!"),
              static_cast<int>(rows.size())));
  return false;
}

void CGPS3dCombinedAdjust::BuildCombinedNormalEquations() {
  CDisplayMessageDlg progress;
  progress.Create();
  progress.SetTitle(UiText(u8"组成法方程"));
  progress.SetRange(0, m_VectorCount - 1);
  m_Normal->Clear();
  m_PVVm2 = 0.0;
  const double rho = Rho(), w = kConstraintWeight;
  const double b = m_a * (1.0 - 1.0 / m_InvF);
  const double e2 = 1.0 - (b / m_a) * (b / m_a);
  double trace = 0.0;
  for (int j = 0; j < m_VectorCount; ++j) trace += m_Dxx[j] + m_Dyy[j] + m_Dzz[j];
  const double meanVariance = trace / m_VectorCount / 3.0;

  for (int j = 0; j < m_VectorCount; ++j) {
    if (progress.CancelRequested()) {
      m_Cancelled = true;
      return;
    }
    progress.SetPosition(j);
    if (!m_ClusterOf.empty() && m_ClusterOf[static_cast<size_t>(j)] >= 0) continue;  // with its cluster below
    std::vector<double> q{m_Dxx[j], m_Dxy[j], m_Dyy[j], m_Dxz[j], m_Dyz[j], m_Dzz[j]};
    for (double& e : q) e /= meanVariance;
    MatrixInverseForDouble(q, 3);
    double P[3][3];
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) P[r][c] = q[PackedIndex(static_cast<size_t>(r), static_cast<size_t>(c))];
    int index[10];
    double A[3][10], l[3];
    VectorDesign(j, e2, index, A, l);

    double PA[3][10], Pl[3];
    for (int r = 0; r < 3; ++r) {
      Pl[r] = P[r][0] * l[0] + P[r][1] * l[1] + P[r][2] * l[2];
      for (int c = 0; c < 10; ++c) PA[r][c] = P[r][0] * A[0][c] + P[r][1] * A[1][c] + P[r][2] * A[2][c];
    }
    m_PVVm2 += l[0] * Pl[0] + l[1] * Pl[1] + l[2] * Pl[2];
    double block[100], rhs[10];
    for (int a = 0; a < 10; ++a) {
      for (int c = 0; c < 10; ++c) block[a * 10 + c] = A[0][a] * PA[0][c] + A[1][a] * PA[1][c] + A[2][a] * PA[2][c];
      rhs[a] = A[0][a] * Pl[0] + A[1][a] * Pl[1] + A[2][a] * Pl[2];
    }
    m_Normal->Add(index, 10, block, rhs);
  }
  for (const CCovarianceBlock& cluster : m_Clusters) m_PVVm2 += AddCluster(cluster, e2, meanVariance);
  m_PVVm2 += AddWeightedPoints(meanVariance);

  // The known components: computed minus known, with the constraint weight.
  auto constrain = [&](int unknown, double misclosure) {
    const double rhs = misclosure * w;
    m_Normal->Add(&unknown, 1, &w, &rhs);
    m_PVVm2 += misclosure * misclosure * w;
  };
  for (int i = 0; i < m_KnownPointCount; ++i) {
    if (!m_IsWeighted.empty() && m_IsWeighted[static_cast<size_t>(i)]) continue;  // weighted above
    const int type = m_KnownType[i];
    if (type == kKnownHorizontal || type == kKnownPosition) {
      constrain(3 * i, (m_ApproxB[i] - m_B[i]) * rho);
      constrain(3 * i + 1, (m_ApproxL[i] - m_L[i]) * rho);
    }
    if (type == kKnownHeight || type == kKnownPosition) constrain(3 * i + 2, m_ApproxH[i] - m_H[i]);
  }
}

std::vector<int> UndeterminedFrameParameters(const double value[4], const double sigma[4]) {
  // Frame rotations between a GPS network and its ground datum are seconds of arc, the scale a
  // few ppm: a value beyond these bounds that its own standard error exceeds is the geometry
  // speaking (a chain of nearly collinear points), not the frames.
  constexpr double kPlausibleSeconds = 10.0, kPlausiblePpm = 10.0;
  std::vector<int> doubtful;
  for (int k = 0; k < 4; ++k)
    if (std::fabs(value[k]) > (k < 3 ? kPlausibleSeconds : kPlausiblePpm) && !(sigma[k] <= std::fabs(value[k])))
      doubtful.push_back(k);
  return doubtful;
}

void CGPS3dCombinedAdjust::WarnUndeterminedFrameParameters() const {
  const int u = m_UnknownCount;
  const double rho = Rho();
  double value[4], sigma[4];
  for (int k = 0; k < 4; ++k) {
    const double unit = k < 3 ? rho : 1e6;  // seconds of arc, ppm; as the report states them
    value[k] = -m_x[static_cast<size_t>(u - 4 + k)] * unit;
    sigma[k] = m_M0m * std::sqrt(std::max(0.0, Qxx(u - 4 + k, u - 4 + k))) * unit;
  }
  const char* names[4] = {"Ax", "Ay", "Az", "m"};
  for (int k : UndeterminedFrameParameters(value, sigma))
    Warn(Format(UiText(u8"(GPS->地面)参数%s=%.3lf%s的中误差%.3lf%s大于参数本身，网形(例如各点近于共线)不能确定该参数，"
                  u8"平差结果的方向与尺度不可靠，请检查网形与已知点!"),
                names[k], value[k], k < 3 ? UiText(u8"秒") : "ppm", sigma[k], k < 3 ? UiText(u8"秒") : "ppm"));
}

int CGPS3dCombinedAdjust::Adjust() {
  const CGPSConfiguration& configuration = Project().configuration;
  m_a = configuration.m_CurrentCoorsSystem.m_a;
  m_InvF = configuration.m_CurrentCoorsSystem.m_InvF;
  if (!ReadCovarianceFiles()) return 0;
  const std::string resultPath = CurrentProjectFile(ProjectFile::Combined3dResult);
  if (!m_ResultFile.Create(resultPath)) {
    Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(resultPath).c_str()));
    return 0;
  }
  if (!CheckEllipsoid(m_a, m_InvF, AppTitle())) return 0;

  // The redundancy depends on the counts alone; a network without enough observations for
  // its unknowns has no M0 and no unique solution.
  m_UnknownCount = 3 * m_PointCount + 4;
  m_PackedSize = static_cast<size_t>(m_UnknownCount) * (static_cast<size_t>(m_UnknownCount) + 1) / 2;
  m_Redundancy = 3 * m_VectorCount - m_UnknownCount + ConstrainedComponents();
  if (m_Redundancy < 0) {  // also every network without vectors
    Warn(UiText(u8"基线向量数目不足，或者点名有误，请检查后再计算!"));
    return 0;
  }
  if (!CheckVectors(*this)) return 0;
  if (std::find(m_KnownType.begin(), m_KnownType.end(), static_cast<int>(kKnownPosition)) == m_KnownType.end()) {
    Warn(UiText(u8"没有同时给定B、L、H的已知点，无法计算近似坐标，网的位置基准不足(法方程奇异)，不能平差!"));
    return 0;
  }

  if (!ComputeApproximateXYZ()) return 0;
  if (!ConvertApproximateCoordinates()) return 0;
  WriteApproximateBLH();
  if (!CheckDatum()) return 0;

  if (!m_Normal) m_Normal = MakeConstrainedNormalEquations();
  if (!AllocateOrReport(
          [&] {
            m_Normal->Allocate(m_UnknownCount);
            m_x.assign(static_cast<size_t>(m_UnknownCount), 0.0);
          },
          m_Normal))
    return 0;
  m_Cancelled = false;
  BuildCombinedNormalEquations();
  if (m_Cancelled) return 0;
  if (!m_Normal->Factorize() || !m_Normal->Solve(m_x)) {
    Warn(UiText(u8"法方程系数阵奇异或严重病态，无法求解，请检查基线向量的方差阵与已知点!"));
    return 0;
  }

  const double radiansPerSecond = PI / (180.0 * 3600.0);
  for (int i = 0; i < m_PointCount; ++i) {
    m_B[i] = m_ApproxB[i] + m_x[3 * i] * radiansPerSecond;
    m_L[i] = m_ApproxL[i] + m_x[3 * i + 1] * radiansPerSecond;
    m_H[i] = m_ApproxH[i] + m_x[3 * i + 2];
  }
  double xU = 0.0;
  for (int j = 0; j < m_UnknownCount; ++j) xU += m_x[j] * m_Normal->RightHandSide(j);
  m_PVVm2 = std::fabs(m_PVVm2 + xU);
  m_M0m = m_Redundancy > 0 ? std::sqrt(m_PVVm2 / m_Redundancy) : 1.0;
  WarnUndeterminedFrameParameters();

  WriteCombinedHeader();
  WriteAdjustedBLH();
  if (!m_WeightedBlocks.empty()) WriteWeightedPoints();
  if (!m_ResultFile.Close()) {
    WriteFileError(resultPath, AppTitle());
    return 0;
  }
  return 1;
}

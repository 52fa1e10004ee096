#include "adjust3d/GPS3dNetAdjust.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <new>

#include "adjust3d/VectorChecks.h"
#include "project/AppState.h"
#include "geodesy/ApproximateCoordinates.h"
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

// The standard error of unit weight taken when there is no redundancy, or when the project
// asks for the a-priori value ("用验前单位权中误差(1cm)"), mm.
constexpr double kAprioriUnitWeightMm = 10.0;

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

CGPS3dNetAdjust::CGPS3dNetAdjust(int variant) : CReadGPS3dVector(variant) {}

CGPS3dNetAdjust::~CGPS3dNetAdjust() = default;

std::string CGPS3dNetAdjust::ResultName(ProjectFile file) const { return CurrentProjectFile(file, m_Variant); }

void CGPS3dNetAdjust::WeightMatrix(int j, double P[3][3]) const {
  const size_t v = static_cast<size_t>(j);
  std::vector<double> q{m_Dxx[v], m_Dxy[v], m_Dyy[v], m_Dxz[v], m_Dyz[v], m_Dzz[v]};
  for (double& e : q) e /= m_MeanVariance;
  MatrixInverseForDouble(q, 3);
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b) P[a][b] = q[PackedIndex(static_cast<size_t>(a), static_cast<size_t>(b))];
}

void CGPS3dNetAdjust::VectorUnknowns(int j, int index[6]) const {
  const int from = UnknownOf(m_From[static_cast<size_t>(j)]), to = UnknownOf(m_To[static_cast<size_t>(j)]);
  for (int c = 0; c < 3; ++c) {
    index[c] = from < 0 ? -1 : from + c;
    index[3 + c] = to < 0 ? -1 : to + c;
  }
}

void CGPS3dNetAdjust::AllocateNormalEquations() {
  if (!m_Normal) m_Normal = MakeNormalEquations();
  m_Normal->Allocate(m_UnknownCount);
  m_x.assign(static_cast<size_t>(m_UnknownCount), 0.0);
}

void CGPS3dNetAdjust::BuildNormalEquations() {
  m_Normal->Clear();
  m_PVVmm2 = 0.0;
  double trace = 0.0;
  for (int j = 0; j < m_VectorCount; ++j) trace += m_Dxx[j] + m_Dyy[j] + m_Dzz[j];
  m_MeanVariance = m_VectorCount > 0 ? trace / m_VectorCount / 3.0 : 0.0;
  // The design matrix of a vector is [-I | +I] on (X, Y, Z) of its start, then of its end.
  const double sign[6] = {-1, -1, -1, 1, 1, 1};
  for (int j = 0; j < m_VectorCount; ++j) {
    if (!m_ClusterOf.empty() && m_ClusterOf[static_cast<size_t>(j)] >= 0) continue;  // with its cluster below
    double P[3][3];
    WeightMatrix(j, P);
    const int f = m_From[j], t = m_To[j];
    // Computed minus observed, mm.
    const double l[3] = {((m_X[t] - m_X[f]) - m_DX[j]) * 1000.0, ((m_Y[t] - m_Y[f]) - m_DY[j]) * 1000.0,
                         ((m_Z[t] - m_Z[f]) - m_DZ[j]) * 1000.0};
    double Pl[3];
    for (int a = 0; a < 3; ++a) Pl[a] = P[a][0] * l[0] + P[a][1] * l[1] + P[a][2] * l[2];
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b) m_PVVmm2 += l[a] * P[a][b] * l[b];
    int index[6];
    VectorUnknowns(j, index);
    double block[36], rhs[6];
    for (int a = 0; a < 6; ++a) {
      for (int b = 0; b < 6; ++b) block[a * 6 + b] = sign[a] * sign[b] * P[a % 3][b % 3];
      rhs[a] = sign[a] * Pl[a % 3];
    }
    m_Normal->Add(index, 6, block, rhs);
  }
  m_ClusterWeight.assign(m_Clusters.size(), {});
  for (size_t c = 0; c < m_Clusters.size(); ++c) m_PVVmm2 += AddCluster(c);
  if (!m_WeightedDatum.Empty()) {
    // The given coordinates, weighted in the vectors' unit weight.
    m_WeightedDatum.SetUnitVariance(m_MeanVariance);
    m_PVVmm2 += m_WeightedDatum.AddToNormal(*m_Normal, m_Layout, [this](int p, int c) { return KnownMisclosure(p, c); });
  }
}

int CGPS3dNetAdjust::CheckNetwork() {
  if (!CheckVectors(*this)) return 0;
  // Every point must be tied to a known point, or the network has no datum there (a network
  // without known points is refused before its approximate coordinates).
  CPointPartition partition(m_PointCount, m_KnownPointCount);
  for (int j = 0; j < m_VectorCount; ++j) partition.Join(m_From[j], m_To[j]);
  const CDatumRefusal refusal = partition.CheckDatum();
  if (refusal.kind == CDatumRefusal::Kind::Unconnected) {
    // Too few vectors for the points is the system's own diagnosis of such a network.
    if (m_Redundancy < 0)
      Warn(UiText(u8"基线向量数目不足，或者点名有误，请检查后再计算!"));
    else
      Warn(Format(UiText(u8"点%s等%d个点与已知点之间没有基线向量连接，法方程奇异，不能平差!"),
                  m_PointName[refusal.firstPoint].c_str(), refusal.count));
    return 0;
  }
  return 1;
}

int CGPS3dNetAdjust::TooFewVectors() {
  Warn(UiText(u8"基线向量数目不足，或者点名有误，请检查后再计算!"));
  return 0;
}

int CGPS3dNetAdjust::CheckCounts() {
  const int64_t g = Project().configuration.m_IndependentBaselineCount;
  // Degrees of freedom: three per vector (or per independent baseline, when the project gives
  // their number) beyond three per unknown point.
  // The count is bounded where it is entered and read; in 64 bits no value of it overflows.
  m_Redundancy = static_cast<int>(std::clamp<int64_t>(
      3 * ((g > 0 ? g : m_VectorCount) - (m_PointCount - m_KnownPointCount)), INT32_MIN, INT32_MAX));
  if (Project().approxXYZFromFile) {
    // The approximate file is the point list; its first lines must be the known points.
    if (m_PointCount < m_KnownPointCount) {
      Warn(Format(UiText(u8"近似坐标文件只有%d个点，少于已知点数%d，不能平差!"), m_PointCount, m_KnownPointCount));
      return 0;
    }
    for (int i = 0; i < m_KnownPointCount; ++i)
      if (m_PointName[i] != m_KnownName[i]) {
        Warn(Format(UiText(u8"近似坐标文件的第%d个点应为已知点%s，而不是%s，不能平差!"), i + 1, m_KnownName[i].c_str(),
                    m_PointName[i].c_str()));
        return 0;
      }
  }
  if (m_KnownPointCount == 0 && m_PointCount > 0) {
    Warn(UiText(u8"没有三维已知点，网的位置基准无法确定(法方程奇异)，不能平差!"));
    return 0;
  }
  return 1;
}

int CGPS3dNetAdjust::PrepareApproximateNetwork() {
  if (!Project().approxXYZFromFile) {
    std::vector<char> placed;
    if (!GetApproximateGPS3dXYZ(this, &placed)) {
      // Points that no vector chain reaches from a known point keep 0, 0, 0: nothing built on
      // them is written.
      if (m_Redundancy < 0) return TooFewVectors();
      int loose = 0, first = -1;
      for (int i = m_KnownPointCount; i < m_PointCount; ++i)
        if (!placed[static_cast<size_t>(i)]) {
          if (first < 0) first = i;
          ++loose;
        }
      Warn(Format(UiText(u8"点%s等%d个点与已知点之间没有基线向量连接，无法计算近似坐标，不输出平差结果!"),
                  first >= 0 ? m_PointName[first].c_str() : "", loose));
      return 0;
    }
    WriteApproximateXYZ();
  }
  return CheckNetwork();
}

int CGPS3dNetAdjust::Singular() {
  // The point whose unknowns broke the factorisation lies in the part of the network that has
  // no datum or a degenerate weight: name it.
  const int unknown = m_Normal->SingularUnknown();
  for (int i = 0; unknown >= 0 && i < m_PointCount; ++i) {
    if (UnknownOf(i) >= 0 && unknown >= UnknownOf(i) && unknown < UnknownOf(i) + 3) {
      Warn(Format(UiText(u8"法方程系数阵在点%s处奇异或严重病态，无法求解，请检查与该点相连的基线向量的方差阵与已知点!"),
                  m_PointName[i].c_str()));
      return 0;
    }
  }
  Warn(UiText(u8"法方程系数阵奇异或严重病态，无法求解，请检查基线向量的方差阵与已知点!"));
  return 0;
}

void CGPS3dNetAdjust::UpdateCoordinates() {
  for (int i = m_Layout.weighted.empty() ? m_KnownPointCount : 0; i < m_PointCount; ++i) {
    if (UnknownOf(i) < 0) continue;
    const size_t p = static_cast<size_t>(UnknownOf(i));
    m_X[i] += m_x[p] / 1000.0;
    m_Y[i] += m_x[p + 1] / 1000.0;
    m_Z[i] += m_x[p + 2] / 1000.0;
  }
}

void CGPS3dNetAdjust::ApplySolution() {
  UpdateCoordinates();
  // v^T P v with v = A x + l: l^T P l + x^T U.
  double xU = 0.0;
  for (int j = 0; j < m_UnknownCount; ++j) xU += m_x[j] * m_Normal->RightHandSide(j);
  m_PVVmm2 = std::fabs(m_PVVmm2 + xU);
  if (m_Redundancy > 0) m_M0mm = std::sqrt(m_PVVmm2 / m_Redundancy);
  if (m_Redundancy == 0 || Project().configuration.m_UseAprioriUnitWeight) m_M0mm = kAprioriUnitWeightMm;
  FillSolution();
}

void CGPS3dNetAdjust::FillSolution() {
  m_Solution.layout = {m_KnownPointCount, m_PointCount, 3, m_Layout.weighted};
  m_Solution.normal = m_Normal.get();
  m_Solution.redundancy = m_Redundancy;
  m_Solution.pvv = m_PVVmm2 / 1e6;
  m_Solution.m0 = m_M0mm / 1000.0;
}

// The stages, each refusing with its own message; the progress window moves between them and
// a cancel there leaves every file as it was.
int CGPS3dNetAdjust::Adjust() {
  using Clock = std::chrono::steady_clock;
  m_Times = {};
  CDisplayMessageDlg progress;
  progress.Create();
  progress.SetTitle(UiText(u8"三维平差"));
  progress.SetRange(0, 10);
  if (!ReadCovarianceFiles()) return 0;
  const std::string resultPath = ResultName(ProjectFile::Result3d);
  if (!m_ResultFile.Create(resultPath)) {
    Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(resultPath).c_str()));
    return 0;
  }
  if (progress.CancelRequested()) return 0;
  progress.SetPosition(1);
  if (!CheckCounts()) return 0;

  auto start = Clock::now();
  if (!PrepareApproximateNetwork()) return 0;
  progress.SetPosition(2);
  const CCoorsSystemSet& ellipsoid = Project().configuration.m_CurrentCoorsSystem;
  if (!CheckEllipsoid(ellipsoid.m_a, ellipsoid.m_InvF, AppTitle())) return 0;
  if (!GPS3dVectorTo2d(this, ellipsoid.m_a, ellipsoid.m_InvF)) return 0;
  m_Times.approximate = Seconds(start);

  m_UnknownCount = 3 * (m_PointCount - m_KnownPointCount);
  m_Layout = {m_KnownPointCount, m_PointCount, 3};
  // The weighted known points' unknowns follow the others: as many more observations as
  // unknowns, the redundancy stays.
  if (!m_WeightedDatum.Empty()) m_UnknownCount += m_WeightedDatum.AssignUnknowns(m_Layout, m_UnknownCount);
  m_PackedSize = static_cast<size_t>(m_UnknownCount) * (static_cast<size_t>(m_UnknownCount) + 1) / 2;
  if (m_UnknownCount == 0) {
    if (m_VectorCount == 0) return TooFewVectors();
    Warn(Format(UiText(u8"网中的%d个点都是已知点,没有待定点,无需平差!"), m_PointCount));
    return 0;
  }
  // The redundancy depends on the counts alone: a network without enough vectors is refused
  // before its normal equations are built.
  if (m_Redundancy < 0) return TooFewVectors();

  start = Clock::now();
  if (!AllocateOrReport([&] { AllocateNormalEquations(); }, m_Normal)) return 0;
  if (progress.CancelRequested()) return 0;
  BuildNormalEquations();
  progress.SetPosition(4);
  m_Times.build = Seconds(start);
  if (progress.CancelRequested()) return 0;

  start = Clock::now();
  if (!m_Normal->Factorize()) return Singular();
  progress.SetPosition(8);
  if (progress.CancelRequested()) return 0;
  if (!m_Normal->Solve(m_x)) return Singular();
  progress.SetPosition(10);
  m_Times.solve = Seconds(start);
  start = Clock::now();
  m_Normal->PrepareCofactors();
  m_Times.inverse = Seconds(start);
  ApplySolution();
  if (progress.CancelRequested()) return 0;

  start = Clock::now();
  WriteResultHeader();
  WriteAdjustedNetwork();
  const int written = WriteGeodeticResults();
  const bool closed = m_ResultFile.Close();
  m_Times.reports = Seconds(start);
  if (!written) return 0;
  if (!closed) {
    WriteFileError(resultPath, AppTitle());
    return 0;
  }
  return 1;
}

#include "adjust2d/GPS2dNetAdjust.h"

#include <chrono>
#include <algorithm>
#include <cmath>
#include <new>
#include <numeric>

#include "project/AppState.h"
#include "geodesy/Angles.h"
#include "geodesy/DisplayMessageDlg.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Matrix.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

using namespace vemo;

namespace {

// The standard error of unit weight taken when there is no redundancy, or when the project
// asks for the a-priori value, m.
constexpr double kAprioriUnitWeight = 0.01;
// Seconds of arc per radian, for the azimuth rows.
const double kRho = 180.0 * 3600.0 / PI;
// The vectors' covariances (and so the mean variance) are in cm², the weighted sums in m².
constexpr double kSquareMetresPerSquareCm = 1e-4;

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// atan2 brought into [0, 2 pi).
double PlaneAzimuth(double dx, double dy) {
  double a = std::atan2(dy, dx);
  if (a < 0.0) a += 2.0 * PI;
  return a;
}

}  // namespace

CGPS2dNetAdjust::CGPS2dNetAdjust(int variant) : CReadGPS2dVector(variant) {}

CGPS2dNetAdjust::~CGPS2dNetAdjust() = default;

std::string CGPS2dNetAdjust::ResultName(ProjectFile file) const { return CurrentProjectFile(file, m_Variant); }

double CGPS2dNetAdjust::Qxx(int p, int q) const {
  if (p < 0 || q < 0 || !m_Normal) return 0.0;
  return m_Normal->Cofactor(p, q);
}

int CGPS2dNetAdjust::RedundancyFromCounts() const {
  // The count is bounded where it is entered and read; in 64 bits no value of it overflows.
  const int64_t g = Project().configuration.m_IndependentBaselineCount;
  // The weighted known points' coordinates are as many observations as their unknowns.
  const int64_t vectorComponents = 2 * (g > 0 ? g : m_VectorCount) + 2 * static_cast<int64_t>(m_WeightedDatum.Points().size());
  const int64_t r = m_WithTransformation ? m_DistanceCount + vectorComponents + m_AzimuthCount - m_UnknownCount
                                         : vectorComponents - m_UnknownCount;
  return static_cast<int>(std::clamp<int64_t>(r, INT32_MIN, INT32_MAX));
}

void CGPS2dNetAdjust::ComputeMeanVariance() {
  double sum = 0.0;
  for (int j = 0; j < m_VectorCount; ++j) sum += (m_Dxx[j] + m_Dyy[j]) / 2.0;
  m_MeanVariance = m_VectorCount > 0 ? sum / m_VectorCount : 0.0;
}

void CGPS2dNetAdjust::WeightMatrix(int j, double P[3]) const {
  std::vector<double> q{m_Dxx[j] / m_MeanVariance, m_Dxy[j] / m_MeanVariance, m_Dyy[j] / m_MeanVariance};
  MatrixInverseForDouble(q, 2);
  P[0] = q[0], P[1] = q[1], P[2] = q[2];
}

void CGPS2dNetAdjust::VectorRows(int j, int index[6], double a[2][6], double l[2]) const {
  const int f = m_From[j], t = m_To[j];
  const int uf = UnknownOf(f), ut = UnknownOf(t);
  index[0] = uf < 0 ? -1 : uf, index[1] = uf < 0 ? -1 : uf + 1;
  index[2] = ut < 0 ? -1 : ut, index[3] = ut < 0 ? -1 : ut + 1;
  const double dx = m_X[t] - m_X[f], dy = m_Y[t] - m_Y[f];
  if (!m_WithTransformation) {
    index[4] = index[5] = -1;
    const double rows[2][6] = {{-1, 0, 1, 0, 0, 0}, {0, -1, 0, 1, 0, 0}};
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 6; ++c) a[r][c] = rows[r][c];
    l[0] = dx - m_DX[j], l[1] = dy - m_DY[j];
    return;
  }
  index[4] = m_UnknownCount - 2, index[5] = m_UnknownCount - 1;
  const double c0 = m_c0, s0 = m_s0;
  const double rows[2][6] = {{-c0, -s0, c0, s0, dx, dy}, {s0, -c0, -s0, c0, dy, -dx}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 6; ++c) a[r][c] = rows[r][c];
  l[0] = -m_DX[j], l[1] = -m_DY[j];
}

double CGPS2dNetAdjust::GroundWeight(double sd, double unitWeightScale) const {
  if (m_LegacyGroundWeights) return 1.0 / (sd * sd);
  // σ0²/σ²: the variance of unit weight is the vectors' mean variance σ̄² (cm²). A distance's
  // σ is in cm and its misclosure in m, so σ̄²/σ² (both cm²) is its weight on m² as the
  // vectors' is; an azimuth's σ and misclosure are in seconds, so σ̄² enters in m².
  return m_MeanVariance * unitWeightScale / (sd * sd);
}

void CGPS2dNetAdjust::DistanceRow(int j, int index[4], double a[4], double& l, double& p) const {
  const int f = m_DistanceFrom[j], t = m_DistanceTo[j];
  const int uf = UnknownOf(f), ut = UnknownOf(t);
  index[0] = uf < 0 ? -1 : uf, index[1] = uf < 0 ? -1 : uf + 1;
  index[2] = ut < 0 ? -1 : ut, index[3] = ut < 0 ? -1 : ut + 1;
  const double dx = m_X[t] - m_X[f], dy = m_Y[t] - m_Y[f];
  const double S0 = std::sqrt(dx * dx + dy * dy);
  a[0] = -dx / S0, a[1] = -dy / S0, a[2] = dx / S0, a[3] = dy / S0;
  l = S0 - m_Distance[j];
  p = GroundWeight(m_DistanceSd[j], 1.0);
}

void CGPS2dNetAdjust::AzimuthRow(int j, int index[4], double a[4], double& l, double& p) const {
  const int f = m_AzimuthFrom[j], t = m_AzimuthTo[j];
  const int uf = UnknownOf(f), ut = UnknownOf(t);
  index[0] = uf < 0 ? -1 : uf, index[1] = uf < 0 ? -1 : uf + 1;
  index[2] = ut < 0 ? -1 : ut, index[3] = ut < 0 ? -1 : ut + 1;
  const double dx = m_X[t] - m_X[f], dy = m_Y[t] - m_Y[f];
  const double S2 = dx * dx + dy * dy;
  a[0] = kRho * dy / S2, a[1] = -kRho * dx / S2, a[2] = -kRho * dy / S2, a[3] = kRho * dx / S2;
  // The difference of two azimuths near north is taken the short way round, not as 2 pi.
  double d = PlaneAzimuth(dx, dy) - m_Azimuth[j];
  d = std::remainder(d, 2.0 * PI);
  l = kRho * d;
  p = GroundWeight(m_AzimuthSd[j], kSquareMetresPerSquareCm);
}

int CGPS2dNetAdjust::AllocateNormalEquations() {
  if (!m_Normal) m_Normal = MakeNormalEquations();
  // Coordinates (unit weights), c and s (sums of squared lengths, km²) and nearly fixed ground
  // observations meet in one matrix: it is solved and inverted scaled to a unit diagonal.
  m_Normal->ScaleToUnitDiagonal(true);
  m_Normal->Allocate(m_UnknownCount);
  m_x.assign(static_cast<size_t>(m_UnknownCount), 0.0);
  return 1;
}

void CGPS2dNetAdjust::BuildNormalEquations() {
  m_Normal->Clear();
  m_PVVm2 = 0.0;
  for (int j = 0; j < m_VectorCount; ++j) {
    double P[3], a[2][6], l[2];
    int index[6];
    WeightMatrix(j, P);
    VectorRows(j, index, a, l);
    const double Pm[2][2] = {{P[0], P[1]}, {P[1], P[2]}};
    double PA[2][6], Pl[2];
    for (int r = 0; r < 2; ++r) {
      for (int c = 0; c < 6; ++c) PA[r][c] = Pm[r][0] * a[0][c] + Pm[r][1] * a[1][c];
      Pl[r] = Pm[r][0] * l[0] + Pm[r][1] * l[1];
    }
    double block[36], rhs[6];
    for (int r = 0; r < 6; ++r) {
      for (int c = 0; c < 6; ++c) block[r * 6 + c] = a[0][r] * PA[0][c] + a[1][r] * PA[1][c];
      rhs[r] = a[0][r] * Pl[0] + a[1][r] * Pl[1];
    }
    m_PVVm2 += l[0] * Pl[0] + l[1] * Pl[1];
    m_Normal->Add(index, 6, block, rhs);
  }
  auto addSingle = [&](const int index[4], const double a[4], double l, double p) {
    double block[16], rhs[4];
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) block[r * 4 + c] = a[r] * p * a[c];
      rhs[r] = a[r] * p * l;
    }
    m_PVVm2 += l * p * l;
    m_Normal->Add(index, 4, block, rhs);
  };
  for (int j = 0; j < m_DistanceCount; ++j) {
    int index[4];
    double a[4], l, p;
    DistanceRow(j, index, a, l, p);
    addSingle(index, a, l, p);
  }
  if (!m_WeightedDatum.Empty())
    m_PVVm2 += m_WeightedDatum.AddToNormal(*m_Normal, m_Layout, [this](int p, int c) { return KnownMisclosure(p, c); });
  if (!m_WithTransformation) return;
  for (int j = 0; j < m_AzimuthCount; ++j) {
    int index[4];
    double a[4], l, p;
    AzimuthRow(j, index, a, l, p);
    addSingle(index, a, l, p);
  }
}

double CGPS2dNetAdjust::KnownMisclosure(int point, int c) const {
  const size_t p = static_cast<size_t>(point);
  return c == 0 ? m_X[p] - m_KnownX[p] : m_Y[p] - m_KnownY[p];
}

int CGPS2dNetAdjust::ReadKnownCovariance() {
  m_WeightedDatum.Set(2, {});
  m_Layout = {};
  if (m_Variant != 0) return 1;
  std::vector<CCovarianceBlock> blocks;
  const std::vector<std::string> known(m_PointName.begin(), m_PointName.begin() + m_KnownPointCount);
  if (!vemo::ReadKnownCovariance(CurrentProjectFile(ProjectFile::KnownCov2d), 2, known, blocks)) return 0;
  m_WeightedDatum.Set(2, std::move(blocks));
  return 1;
}

void CGPS2dNetAdjust::WriteWeightedDatumTests(CReportFile& f, const CNetworkTests& tests) const {
  if (m_WeightedDatum.Empty() || m_Redundancy <= 0 || !(tests.sigma0 > 0.0)) return;
  const auto misclosure = [this](int p, int c) { return KnownMisclosure(p, c); };
  const CDataSnooping snooping = DataSnooping(m_WeightedDatum.TestGroups(m_Solution.layout, misclosure), *m_Normal,
                                              tests.sigma0, tests.sigmaHat, tests.limits, m_Solution.layout);
  m_WeightedDatum.WriteTests(f, "--------------------------------------------------------------------------------------\n",
                             snooping, tests.limits.w, m_PointName, {"x", "y"}, 100.0);
}

double CGPS2dNetAdjust::SumOfWeightedSquares() const {
  auto value = [&](const int* index, const double* a, int count) {
    double s = 0.0;
    for (int c = 0; c < count; ++c)
      if (index[c] >= 0) s += a[c] * m_x[static_cast<size_t>(index[c])];
    return s;
  };
  double sum = 0.0;
  for (int j = 0; j < m_VectorCount; ++j) {
    double P[3], a[2][6], l[2];
    int index[6];
    WeightMatrix(j, P);
    VectorRows(j, index, a, l);
    const double v0 = value(index, a[0], 6) + l[0], v1 = value(index, a[1], 6) + l[1];
    sum += P[0] * v0 * v0 + 2.0 * P[1] * v0 * v1 + P[2] * v1 * v1;
  }
  for (int j = 0; j < m_DistanceCount; ++j) {
    int index[4];
    double a[4], l, p;
    DistanceRow(j, index, a, l, p);
    const double v = value(index, a, 4) + l;
    sum += p * v * v;
  }
  if (m_WithTransformation)
    for (int j = 0; j < m_AzimuthCount; ++j) {
      int index[4];
      double a[4], l, p;
      AzimuthRow(j, index, a, l, p);
      const double v = value(index, a, 4) + l;
      sum += p * v * v;
    }
  if (!m_WeightedDatum.Empty())
    sum += m_WeightedDatum.SumOfSquares(m_Layout, [this](int p, int c) { return KnownMisclosure(p, c); }, m_x);
  return sum;
}

void CGPS2dNetAdjust::FillSolution() {
  m_Solution.layout = {m_KnownPointCount, m_PointCount, 2, m_Layout.weighted};
  m_Solution.normal = m_Normal.get();
  m_Solution.redundancy = m_Redundancy;
  m_Solution.pvv = m_PVVm2;
  m_Solution.m0 = m_M0m;
}

int CGPS2dNetAdjust::CheckNetwork() {
  if (m_VectorCount == 0) {
    Warn(Format(UiText(u8"文件%s中没有基线向量，不能平差!"),
                PathToGbk(CurrentProjectFile(ProjectFile::Vector2d, m_Variant)).c_str()));
    return 0;
  }
  if (m_KnownPointCount == 0) {
    Warn(UiText(u8"没有二维已知点，网的位置基准无法确定，不能平差!"));
    return 0;
  }
  if (m_WithTransformation) {
    // The placement needs known points with approximate coordinates in the GPS frame, i.e.
    // ends of vectors; a known point that no vector reaches takes no part in it.
    const std::vector<int> placing = PlacingKnownPoints();
    if (placing.empty()) {
      Warn(UiText(u8"没有与基线向量相连的二维已知点，网的位置基准无法确定，不能平差!"));
      return 0;
    }
    if (placing.size() == 1 && (m_AzimuthCount == 0 || m_DistanceCount == 0)) {
      if (m_KnownPointCount == 1)
        Warn(UiText(u8"只有一个二维已知点时，需要地面方位角和地面边长确定网的方位和尺度，不能平差!"));
      else
        Warn(Format(UiText(u8"二维已知点中只有点%s与基线向量相连，需要地面方位角和地面边长确定网的方位和尺度，不能平差!"),
                    m_PointName[placing[0]].c_str()));
      return 0;
    }
  }
  for (int j = 0; j < m_VectorCount; ++j) {
    const char* from = m_PointName[m_From[j]].c_str();
    const char* to = m_PointName[m_To[j]].c_str();
    if (m_From[j] == m_To[j]) {
      Warn(Format(UiText(u8"第%d条基线向量%s-%s的起点与终点是同一点，不能平差!"), j + 1, from, to));
      return 0;
    }
    const double xx = m_Dxx[j], yy = m_Dyy[j], xy = m_Dxy[j];
    if (!(xx > 0.0 && xx * yy - xy * xy > 0.0 && std::isfinite(xx * yy))) {
      Warn(Format(UiText(u8"第%d条基线向量%s-%s的方差阵不是正定矩阵，不能平差!"), j + 1, from, to));
      return 0;
    }
  }
  auto sameEnds = [&](const std::vector<int>& f, const std::vector<int>& t, const char* what) {
    for (size_t j = 0; j < f.size(); ++j)
      if (f[j] == t[j]) {
        Warn(Format(UiText(what), static_cast<int>(j) + 1, m_PointName[f[j]].c_str(), m_PointName[t[j]].c_str()));
        return true;
      }
    return false;
  };
  if (sameEnds(m_DistanceFrom, m_DistanceTo, TrNoop(u8"第%d条地面边长%s-%s的起点与终点是同一点，不能平差!"))) return 0;
  if (m_WithTransformation &&
      sameEnds(m_AzimuthFrom, m_AzimuthTo, TrNoop(u8"第%d个地面方位角%s-%s的起点与终点是同一点，不能平差!")))
    return 0;

  // Every point must be tied to a known point by observations, or its position is free.
  CPointPartition partition(m_PointCount, m_KnownPointCount);
  partition.Join(m_From, m_To);
  partition.Join(m_DistanceFrom, m_DistanceTo);
  if (m_WithTransformation) partition.Join(m_AzimuthFrom, m_AzimuthTo);
  const CDatumRefusal refusal = partition.CheckDatum();
  if (refusal) {
    Warn(Format(UiText(u8"点%s等%d个点与已知点之间没有观测值连接，法方程奇异，不能平差!"),
                m_PointName[refusal.firstPoint].c_str(), refusal.count));
    return 0;
  }
  return 1;
}

std::vector<int> CGPS2dNetAdjust::PlacingKnownPoints() const {
  std::vector<char> onVector(static_cast<size_t>(m_KnownPointCount), 0);
  for (int j = 0; j < m_VectorCount; ++j)
    for (int p : {m_From[j], m_To[j]})
      if (p < m_KnownPointCount) onVector[static_cast<size_t>(p)] = 1;
  std::vector<int> placing;
  for (int i = 0; i < m_KnownPointCount; ++i)
    if (onVector[static_cast<size_t>(i)]) placing.push_back(i);
  return placing;
}

int CGPS2dNetAdjust::PlaceApproximateNetwork() {
  const std::vector<int> placing = PlacingKnownPoints();
  if (placing.empty()) return 0;  // refused by CheckNetwork
  double Sk, Ak, Sa, Aa;
  int f, t, df, dt;  // the ends that give the azimuth, and those that give the distance
  if (placing.size() >= 2) {
    f = df = placing[0], t = dt = placing[1];
    const double dx = m_KnownX[t] - m_KnownX[f], dy = m_KnownY[t] - m_KnownY[f];
    Sk = std::sqrt(dx * dx + dy * dy);
    Ak = PlaneAzimuth(dx, dy);
  } else {
    f = m_AzimuthFrom[0], t = m_AzimuthTo[0];
    df = m_DistanceFrom[0], dt = m_DistanceTo[0];
    Ak = m_Azimuth[0];
    Sk = m_Distance[0];
  }
  Aa = PlaneAzimuth(m_X[t] - m_X[f], m_Y[t] - m_Y[f]);
  Sa = std::hypot(m_X[dt] - m_X[df], m_Y[dt] - m_Y[df]);
  if (!(Sk > 0.0 && Sa > 0.0 && std::isfinite(Sk / Sa))) {
    Warn(Format(UiText(u8"点%s与点%s之间的距离为零，无法确定网的方位和尺度，不能平差!"), m_PointName[df].c_str(),
                m_PointName[dt].c_str()));
    return 0;
  }
  // The similarity turns the network about the first known point on a vector.
  const int origin = placing[0];
  const double theta = Aa - Ak, kappa = Sk / Sa;
  const double c = kappa * std::cos(theta), s = kappa * std::sin(theta);
  const double X0 = m_X[origin], Y0 = m_Y[origin];
  for (int i = m_KnownPointCount; i < m_PointCount; ++i) {
    const double dx = m_X[i] - X0, dy = m_Y[i] - Y0;
    m_X[i] = m_KnownX[origin] + c * dx + s * dy;
    m_Y[i] = m_KnownY[origin] + c * dy - s * dx;
  }
  for (int i = 0; i < m_KnownPointCount; ++i) m_X[i] = m_KnownX[i], m_Y[i] = m_KnownY[i];
  m_c0 = std::cos(-theta) / kappa;
  m_s0 = std::sin(-theta) / kappa;
  return 1;
}

double CGPS2dNetAdjust::ParameterConvergence() const {
  // A change dc of c (or s) moves a coordinate difference of length D in the GPS frame by
  // about dc D: over the extent of the vectors' points that is the coordinates' threshold.
  double minX = HUGE_VAL, maxX = -HUGE_VAL, minY = HUGE_VAL, maxY = -HUGE_VAL;
  for (int j = 0; j < m_VectorCount; ++j)
    for (int p : {m_From[j], m_To[j]}) {
      minX = std::min(minX, m_X[p]), maxX = std::max(maxX, m_X[p]);
      minY = std::min(minY, m_Y[p]), maxY = std::max(maxY, m_Y[p]);
    }
  const double extent = m_VectorCount > 0 ? std::hypot(maxX - minX, maxY - minY) : 0.0;
  return kConvergence / std::max(extent, kMinimumExtent);
}

int CGPS2dNetAdjust::SolutionStep(StepKind kind, bool& converged) {
  CDisplayMessageDlg progress;
  progress.Create();
  progress.SetTitle(Format(UiText(u8"二维平差，第%i次迭代"), m_Iterations));
  progress.SetRange(0, 10);
  if (progress.CancelRequested()) return 0;
  progress.SetPosition(1);
  BuildNormalEquations();
  progress.SetPosition(3);
  if (progress.CancelRequested()) return 0;
  const bool solved = kind == StepKind::Iteration ? m_Normal->SolveKeeping(m_x) != 0
                                                  : m_Normal->Factorize() != 0 && m_Normal->Solve(m_x) != 0;
  if (!solved) {
    Warn(UiText(u8"法方程系数阵奇异或严重病态，无法求解，请检查已知点、基线向量与地面观测值!"));
    return 0;
  }
  progress.SetPosition(8);
  if (progress.CancelRequested()) return 0;
  converged = true;
  if (kind == StepKind::Iteration) {
    const int coordinates = m_UnknownCount - ParameterCount();
    for (int p = 0; p < coordinates; ++p)
      if (!(std::fabs(m_x[p]) <= kConvergence)) converged = false;
    // c and s are solved for themselves, not as corrections: their change is the step. The
    // precisions come from N at this step's c0, s0, so these must have settled too.
    if (m_WithTransformation && !m_LegacyConvergence) {
      const double cs = m_ParameterConvergence;
      if (!(std::fabs(m_x[m_UnknownCount - 2] - m_c0) <= cs && std::fabs(m_x[m_UnknownCount - 1] - m_s0) <= cs))
        converged = false;
    }
  }
  // vᵀPv belongs to the linearisation of this step: taken before the corrections move it.
  if (converged) m_PVVm2 = SumOfWeightedSquares();
  for (int i = m_Layout.weighted.empty() ? m_KnownPointCount : 0; i < m_PointCount; ++i) {
    if (UnknownOf(i) < 0) continue;
    const size_t p = static_cast<size_t>(UnknownOf(i));
    m_X[i] += m_x[p];
    m_Y[i] += m_x[p + 1];
  }
  progress.SetPosition(10);
  return 1;
}

int CGPS2dNetAdjust::Iterate() {
  m_ParameterConvergence = ParameterConvergence();
  for (m_Iterations = 1; m_Iterations <= m_MaxIterations; ++m_Iterations) {
    bool converged = false;
    if (!SolutionStep(StepKind::Iteration, converged)) return 0;
    if (converged) return 1;
    if (m_WithTransformation) m_c0 = m_x[m_UnknownCount - 2], m_s0 = m_x[m_UnknownCount - 1];
  }
  m_Iterations = m_MaxIterations;
  Warn(Format(UiText(u8"二维平差迭代%d次仍未收敛，请检查已知点坐标、近似坐标与观测值!"), m_MaxIterations));
  return 0;
}

int CGPS2dNetAdjust::Adjust() {
  using Clock = std::chrono::steady_clock;
  m_Times = {};
  const CGPSConfiguration& configuration = Project().configuration;
  if (!ReadKnownCovariance()) return 0;
  const std::string resultPath = ResultName(ProjectFile::Result2d);
  if (!m_ResultFile.Create(resultPath)) {
    Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(resultPath).c_str()));
    return 0;
  }
  m_UnknownCount = 2 * (m_PointCount - m_KnownPointCount) + ParameterCount();
  // The weighted known points' unknowns follow the other points' (c and s stay last); as many
  // observations as unknowns come with them, so the redundancy stays.
  if (!m_WeightedDatum.Empty()) {
    m_Layout = {m_KnownPointCount, m_PointCount, 2};
    m_UnknownCount += m_WeightedDatum.AssignUnknowns(m_Layout, 2 * (m_PointCount - m_KnownPointCount));
    m_WeightedDatum.SetUnitVariance(1.0);  // until the vectors' mean variance is known
  }
  m_PackedSize = static_cast<size_t>(m_UnknownCount) * (static_cast<size_t>(m_UnknownCount) + 1) / 2;
  if (!CheckNetwork()) return 0;
  // The redundancy depends on the counts alone: too few observations are refused before
  // anything is computed.
  m_Redundancy = RedundancyFromCounts();
  if (m_Redundancy < 0) {
    Warn(UiText(u8"基线向量数目不足，或者点名有误，请检查后再计算!"));
    return 0;
  }
  ComputeMeanVariance();
  if (!m_WeightedDatum.Empty()) m_WeightedDatum.SetUnitVariance(m_MeanVariance);
  if (!PlaceApproximateNetwork()) return 0;

  auto start = Clock::now();
  if (!AllocateOrReport([&] { AllocateNormalEquations(); }, m_Normal)) return 0;
  if (!Iterate()) return 0;
  m_Times.iterations = Seconds(start);

  start = Clock::now();
  if (!m_Normal->Factorize()) {
    Warn(UiText(u8"法方程系数阵奇异或严重病态，无法求解，请检查已知点、基线向量与地面观测值!"));
    return 0;
  }
  m_Times.factorization = Seconds(start);
  start = Clock::now();
  m_Normal->PrepareCofactors();
  m_Times.inversion = Seconds(start);
  // A stop asked for while no progress window was open (the factorisation, the inverse).
  if (vemo::StopRequested()) return 0;

  if (m_WithTransformation) {
    const double c = m_x[m_UnknownCount - 2], s = m_x[m_UnknownCount - 1];
    m_Scale = 1.0 / std::sqrt(c * c + s * s);
    m_Rotation = -std::atan2(s, c) + 0.0;  // + 0.0: no negative zero
  }
  m_PVVm2 = std::fabs(m_PVVm2);
  if (m_Redundancy > 0) m_M0m = std::sqrt(m_PVVm2 / m_Redundancy);
  if (m_Redundancy == 0 || configuration.m_UseAprioriUnitWeight) m_M0m = kAprioriUnitWeight;
  FillSolution();

  start = Clock::now();
  WriteResultHeader();
  WriteAdjustedNetwork();
  if (!m_WeightedDatum.Empty())
    m_WeightedDatum.WriteValues(m_ResultFile, "--------------------------------------------------------------------------------------\n",
                                m_Solution, m_PointName, {&m_X, &m_Y}, {"x", "y"},
                                [this](int p, int c) { return KnownMisclosure(p, c); }, 100.0);
  const bool closed = m_ResultFile.Close();
  m_Times.reports = Seconds(start);
  if (!closed) {
    WriteFileError(resultPath, AppTitle());
    return 0;
  }
  return 1;
}

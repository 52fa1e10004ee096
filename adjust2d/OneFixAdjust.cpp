// The plane adjustment of the one-point-one-direction engineering network: the GPS network
// keeps its own scale and orientation in one solution held on the fixed point alone, and is
// then turned about that point so that the fixed direction takes the entered azimuth.
#include <cmath>

#include "adjust2d/GPS2dNetAdjust.h"
#include "project/AppState.h"
#include "geodesy/Angles.h"
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

// The standard error of unit weight without redundancy or with the a-priori option, m.
constexpr double kAprioriUnitWeight = 0.01;

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

// The cofactor matrix of the turned coordinates, packed, standing in for the solved normal
// equations from which the report writers read their precisions. It is no system to solve.
class CTurnedCofactors final : public CNormalEquations {
 public:
  explicit CTurnedCofactors(std::vector<double> packed, int unknowns) : m_Q(std::move(packed)) {
    m_Unknowns = unknowns;
  }
  void Allocate(int unknowns) override {
    m_Unknowns = unknowns;
    m_Q.assign(static_cast<size_t>(unknowns) * (static_cast<size_t>(unknowns) + 1) / 2, 0.0);
  }
  void Clear() override { std::fill(m_Q.begin(), m_Q.end(), 0.0); }
  void Add(const int*, int, const double*, const double*) override {}
  int Factorize() override { return 1; }
  int Solve(std::vector<double>&) override { return 0; }
  int SolveKeeping(std::vector<double>&) override { return 0; }
  double Cofactor(int p, int q) const override {
    return m_Q[PackedIndex(static_cast<size_t>(p), static_cast<size_t>(q))];
  }
  double RightHandSide(int) const override { return 0.0; }

 private:
  std::vector<double> m_Q;
};

}  // namespace

int CGPS2dNetAdjust::AdjustOneFix() {
  const CGPSConfiguration& configuration = Project().configuration;
  m_WithTransformation = false;
  const std::string resultPath = ResultName(ProjectFile::Result2d);
  if (!m_ResultFile.Create(resultPath)) {
    Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(resultPath).c_str()));
    return 0;
  }
  // One fixed point, point 0, and one fixed direction: anything else has no defined turn.
  if (m_KnownPointCount != 1) {
    Warn(Format(UiText(u8"固定一点一方位的工程网只能有一个固定点，文件%s中有%d个点，不能平差!"),
                PathToGbk(ResultName(ProjectFile::KnownXY)).c_str(), m_KnownPointCount));
    return 0;
  }
  if (m_AzimuthCount == 0) {
    Warn(Format(UiText(u8"文件%s中没有固定方位角，网无法定向，不能平差!"), PathToGbk(ResultName(ProjectFile::Azimuth)).c_str()));
    return 0;
  }
  const int from = m_AzimuthFrom[0], to = m_AzimuthTo[0];
  if (from == to) {
    Warn(Format(UiText(u8"固定方位角的起点与终点是同一点%s，无法定向!"), m_PointName[from].c_str()));
    return 0;
  }
  m_UnknownCount = 2 * (m_PointCount - m_KnownPointCount);
  m_PackedSize = static_cast<size_t>(m_UnknownCount) * (static_cast<size_t>(m_UnknownCount) + 1) / 2;
  if (m_UnknownCount == 0) return 0;
  if (!CheckNetwork()) return 0;
  m_Redundancy = RedundancyFromCounts();  // ground distances are not counted
  if (m_Redundancy < 0) {
    Warn(UiText(u8"基线向量数目不足，或者点名有误，请检查后再计算!"));
    return 0;
  }
  ComputeMeanVariance();

  // Placement: the approximate network shifted onto the fixed point.
  const double X0 = m_X[0], Y0 = m_Y[0];
  for (int i = 1; i < m_PointCount; ++i) {
    m_X[i] = m_KnownX[0] + m_X[i] - X0;
    m_Y[i] = m_KnownY[0] + m_Y[i] - Y0;
  }
  m_X[0] = m_KnownX[0], m_Y[0] = m_KnownY[0];
  if (!AllocateOrReport([&] { AllocateNormalEquations(); }, m_Normal)) return 0;

  {
    // One solution step: the model is linear without the rotation and scale unknowns.
    m_Iterations = 1;
    bool converged = true;
    if (!SolutionStep(StepKind::Final, converged)) return 0;

    // Orientation: turn about the fixed point so that from -> to has the fixed azimuth.
    double alpha = std::atan2(m_Y[to] - m_Y[from], m_X[to] - m_X[from]);
    if (alpha < 0.0) alpha += 2.0 * PI;
    const double theta = alpha - m_Azimuth[0];
    const double c = std::cos(theta), s = std::sin(theta);
    m_c0 = c, m_s0 = s;
    for (int i = 1; i < m_PointCount; ++i) {
      const double dx = m_X[i] - m_X[0], dy = m_Y[i] - m_Y[0];
      m_X[i] = m_KnownX[0] + c * dx + s * dy;
      m_Y[i] = m_KnownY[0] + c * dy - s * dx;
    }
    for (int j = 0; j < m_VectorCount; ++j) {
      const double dx = m_DX[j], dy = m_DY[j];
      m_DX[j] = c * dx + s * dy;
      m_DY[j] = c * dy - s * dx;
    }
    // The cofactors turn with the coordinates: Q' = R Q R^T with R block-diagonal, one block
    // (c, s; -s, c) per point, taken block by block.
    try {
      const int n = m_UnknownCount / 2;
      std::vector<double> turned(m_PackedSize);
      const double R[2][2] = {{c, s}, {-s, c}};
      for (int a = 0; a < n; ++a)
        for (int b = 0; b <= a; ++b) {
          double q[2][2];
          for (int r = 0; r < 2; ++r)
            for (int k = 0; k < 2; ++k) q[r][k] = m_Normal->Cofactor(2 * a + r, 2 * b + k);
          for (int r = 0; r < 2; ++r)
            for (int k = 0; k < 2; ++k) {
              const int p = 2 * a + r, t = 2 * b + k;
              if (t > p) continue;  // the lower triangle only
              double v = 0.0;
              for (int i = 0; i < 2; ++i)
                for (int j = 0; j < 2; ++j) v += R[r][i] * q[i][j] * R[k][j];
              turned[PackedIndex(static_cast<size_t>(p), static_cast<size_t>(t))] = v;
            }
        }
      m_Normal = std::make_unique<CTurnedCofactors>(std::move(turned), m_UnknownCount);
    } catch (const std::bad_alloc&) {
      Warn(UiText(u8"内存不足!"));
      return 0;
    }
  }

  m_PVVm2 = std::fabs(m_PVVm2);
  if (m_Redundancy > 0) m_M0m = std::sqrt(m_PVVm2 / m_Redundancy);
  if (m_Redundancy == 0 || configuration.m_UseAprioriUnitWeight) m_M0m = kAprioriUnitWeight;
  FillSolution();

  WriteResultHeader();
  WriteAdjustedNetwork();
  if (!m_ResultFile.Close()) {
    WriteFileError(resultPath, AppTitle());
    return 0;
  }
  return 1;
}

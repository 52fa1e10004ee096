// The report writers of the 3D vector network adjustment: the approximate coordinates, the
// three parts of the result file, the point files for the other commands and, in
// approximate-file mode, the input files of the free network. Every line is written with the
// system's fixed format, converted to GBK once, so that field widths count GBK bytes.
#include <algorithm>
#include <cmath>
#include <limits>

#include "adjust/ReportSections.h"
#include "adjust3d/FreeNetworkFiles.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "project/AppState.h"
#include "geodesy/Angles.h"
#include "geodesy/ApproximateCoordinates.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

using namespace vemo;

namespace {

const char* const kDash =
    "------------------------------------------------------------------------------------------------\n";

// The residual tolerance is this multiple of the grade's standard error of a baseline.
constexpr double kToleranceFactor = 3.0;
// Relative precisions 1:T at or above this bound do not compete for the weakest side.
constexpr double kWeakestSideBound = 9e12;

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

void OpenError(const std::string& path) { Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(path).c_str())); }

// Creates a companion file; "打开文件:%s出错!" when it cannot be created.
bool CreateCompanion(CReportFile& file, const std::string& path) {
  if (file.Create(path)) return true;
  Warn(Format(UiText(u8"打开文件:%s出错!"), PathToGbk(path).c_str()));
  return false;
}

// Closes a companion file; the write error message when it could not be completed.
bool CloseCompanion(CReportFile& file) {
  if (file.Close()) return true;
  WriteFileError(file.Path(), AppTitle());
  return false;
}

}  // namespace

int CGPS3dNetAdjust::WriteApproximateXYZ() {
  // The one-point-one-direction run writes its own "1" file: the ordinary file belongs to the
  // ordinary run, and the free network may read it back.
  const std::string path = ResultName(ProjectFile::ApproximateXYZ);
  CReportFile file;
  if (!CreateCompanion(file, path)) return 0;
  for (int i = 0; i < m_PointCount; ++i)
    file.Printf("%16s %15.3lf %15.3lf %15.3lf\n", m_PointName[i].c_str(), m_X[i], m_Y[i], m_Z[i]);
  return CloseCompanion(file) ? 1 : 0;
}

void CGPS3dNetAdjust::WriteResultHeader() {
  CReportFile& f = m_ResultFile;
  CSummaryHeader header = ProjectSummaryHeader(kDash, T(u8"          %s 三维网平差结果\n"), m_Redundancy,
                                               m_KnownPointCount, m_PointCount, m_PVVmm2 / 100.0, m_M0mm / 10.0);
  header.countLines = {Format(T(u8"       GPS三维基线向量数=%10d\n"), m_VectorCount)};
  WriteSummaryHeader(f, header);

  WriteSectionOpening(f, kDash, T(u8"                          已知坐标(X,Y,Z)\n"),
                      " No.              Name          X(m)             Y(m)             Z(m)\n");
  // A weighted known point has moved: its given coordinates are listed here.
  for (int i = 0; i < m_KnownPointCount; ++i) {
    const bool moved = UnknownOf(i) >= 0;
    f.Printf("%4d  %16s %15.4lf  %15.4lf   %15.4lf\n", i + 1, m_PointName[i].c_str(), moved ? m_KnownX[i] : m_X[i],
             moved ? m_KnownY[i] : m_Y[i], moved ? m_KnownZ[i] : m_Z[i]);
  }

  WriteSectionOpening(f, kDash, T(u8"                    GPS三维基线向量观测值\n"),
                      " No.        From              To           VectorDX(m)   VectorDY(m)   VectorDZ(m)   Distance(m)\n");
  for (int j = 0; j < m_VectorCount; ++j) {
    const double dx = m_DX[j], dy = m_DY[j], dz = m_DZ[j];
    f.Printf("%4d %16s %16s %13.3lf %13.3lf %13.3lf %13.3lf\n", j + 1, m_PointName[m_From[j]].c_str(),
             m_PointName[m_To[j]].c_str(), dx, dy, dz, std::sqrt(dx * dx + dy * dy + dz * dz));
  }
}

// The loops over the points and vectors of a large network take long enough that they let
// the window repaint and see a click as they go (GetWindowMessage; the desktop dispatches at
// most every 15 ms, the command line not at all).
void CGPS3dNetAdjust::ComputeReliability() {
  m_RedundancyNumber.assign(3 * static_cast<size_t>(m_VectorCount), 0.0);
  const double sign[6] = {-1, -1, -1, 1, 1, 1};
  for (size_t c = 0; c < m_Clusters.size(); ++c) ClusterRedundancy(c);
  for (int j = 0; j < m_VectorCount; ++j) {
    GetWindowMessage();
    if (!m_ClusterOf.empty() && m_ClusterOf[static_cast<size_t>(j)] >= 0) continue;
    double P[3][3];
    WeightMatrix(j, P);
    const double Q[3][3] = {{m_Dxx[j], m_Dxy[j], m_Dxz[j]}, {m_Dxy[j], m_Dyy[j], m_Dyz[j]}, {m_Dxz[j], m_Dyz[j], m_Dzz[j]}};
    int index[6];
    VectorUnknowns(j, index);
    double Qx[6][6];
    m_Normal->Cofactors(index, 6, &Qx[0][0]);
    // Qvv = Q - A Qxx A^T with A = [-I | +I]; the component r of A picks positions r and r + 3.
    double Qvv[3][3];
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) {
        double adjusted = 0.0;
        for (int a : {r, r + 3})
          for (int b : {c, c + 3})
            if (index[a] >= 0 && index[b] >= 0) adjusted += sign[a] * sign[b] * Qx[a][b];
        Qvv[r][c] = Q[r][c] / m_MeanVariance - adjusted;
      }
    for (int r = 0; r < 3; ++r)
      m_RedundancyNumber[3 * static_cast<size_t>(j) + r] = Qvv[r][0] * P[0][r] + Qvv[r][1] * P[1][r] + Qvv[r][2] * P[2][r];
  }
}

void CGPS3dNetAdjust::WriteAdjustedNetwork() {
  if (Project().approxXYZFromFile && !WriteFreeNetworkFiles()) return;
  CReportFile& f = m_ResultFile;
  WriteSectionOpening(f, kDash, T(u8"                            平差后坐标(X,Y,Z)\n"),
                      " No.        Name             X(m)         Y(m)          Z(m)     Mx(cm) My(cm) Mz(cm) Mp(cm)\n");
  const CWeakestPoint weakest =
      WriteAdjustedCoordinates(f, m_Solution, {&m_PointName, {&m_X, &m_Y, &m_Z}}, {" %13.4lf", " %6.2f"});
  WriteSectionOpening(f, kDash, T(u8"                         最弱点\n"),
                      " No.         Name        MX(cm)  MY(cm)  MZ(cm)  MP(cm)\n");
  WriteWeakestPoint(f, weakest, m_PointName, " %7.2lf");
  if (!m_WeightedDatum.Empty())
    m_WeightedDatum.WriteValues(f, kDash, m_Solution, m_PointName, {&m_X, &m_Y, &m_Z}, {"X", "Y", "Z"},
                                [this](int p, int c) { return KnownMisclosure(p, c); }, 0.1);
  WriteResiduals();
  WriteReliability();
  WriteSides();
}

void CGPS3dNetAdjust::WriteResiduals() {
  CReportFile& f = m_ResultFile;
  WriteSectionOpening(f, kDash, T(u8"                        三维基线向量残差\n"),
                      T(u8" No.        From              To           V_DX(cm)    V_DY(cm)   V_DZ(cm)  限差(cm)\n"));
  const char* exceeds = T(u8"  超限\n");
  const char* passes = T(u8"  合格\n");
  for (int j = 0; j < m_VectorCount; ++j) {
    GetWindowMessage();
    const int s = m_From[j], e = m_To[j];
    const double dx = m_X[e] - m_X[s], dy = m_Y[e] - m_Y[s], dz = m_Z[e] - m_Z[s];
    const double vx = (dx - m_DX[j]) * 100.0, vy = (dy - m_DY[j]) * 100.0, vz = (dz - m_DZ[j]) * 100.0;
    const double S = std::sqrt(dx * dx + dy * dy + dz * dz);
    const double sigma = std::sqrt(m_GradeFixedMm * m_GradeFixedMm +
                                   (m_GradePpm * S / 1000.0) * (m_GradePpm * S / 1000.0));  // mm
    const double tolerance = kToleranceFactor * sigma / 10.0;                                   // cm
    f.Printf("%4d %16s %16s %10.2f %10.2f %10.2f %10.2f", j + 1, m_PointName[s].c_str(), m_PointName[e].c_str(), vx,
             vy, vz, tolerance);
    const bool over = std::fabs(vx) > tolerance || std::fabs(vy) > tolerance || std::fabs(vz) > tolerance;
    f.Write(over ? exceeds : passes);
  }
}

void CGPS3dNetAdjust::WriteReliability() {
  CReportFile& f = m_ResultFile;
  ComputeReliability();
  WriteSectionOpening(f, kDash, T(u8"                             三维基线向量可靠性\n"),
                      T(u8" No.            From               To            内部可靠性\n"
                        u8"                                            DX       DY       DZ\n"));
  double sum[3] = {0, 0, 0};
  for (int j = 0; j < m_VectorCount; ++j) {
    const double* r = &m_RedundancyNumber[3 * static_cast<size_t>(j)];
    f.Printf("%4d %16s %16s %8.2f %8.2f %8.2f\n", j + 1, m_PointName[m_From[j]].c_str(), m_PointName[m_To[j]].c_str(),
             std::fabs(r[0]), std::fabs(r[1]), std::fabs(r[2]));
    for (int c = 0; c < 3; ++c) sum[c] += r[c];
  }
  const double m = m_VectorCount;
  f.Printf(T(u8"累计内部可靠性                         %8.2f %8.2f %8.2f\n"), std::fabs(sum[0]), std::fabs(sum[1]),
           std::fabs(sum[2]));
  f.Printf(T(u8"平均内部可靠性                         %8.2f %8.2f %8.2f\n"), std::fabs(sum[0] / m),
           std::fabs(sum[1] / m), std::fabs(sum[2] / m));
  f.Printf(T(u8"内部可靠性总和                         %8.2f\n"), std::fabs(sum[0] + sum[1] + sum[2]));
  f.Printf(T(u8"内部可靠性均值                         %8.2f\n"), std::fabs((sum[0] + sum[1] + sum[2]) / m / 3.0));
}

void CGPS3dNetAdjust::WriteSides() {
  CReportFile& f = m_ResultFile;
  const char* sideHeader = " No.             FROM               TO           S(m)     MS(cm)    MS:S         ppm\n";
  const char* sideLine = "%4d %16s %16s %15.3lf %7.2lf    1/%-10.0lf %6.2lf\n";
  WriteSectionOpening(f, kDash, T(u8"           　　　　　　平差后边长及精度\n"), sideHeader);
  int weakestSide = -1;
  CRelativePrecision weakestPrecision;
  for (int j = 0; j < m_VectorCount; ++j) {
    GetWindowMessage();
    const int s = m_From[j], e = m_To[j];
    const double d[3] = {m_X[e] - m_X[s], m_Y[e] - m_Y[s], m_Z[e] - m_Z[s]};
    const CSideCofactors side = m_Solution.SidePrecision(s, e, d);
    const char* from = m_PointName[s].c_str();
    const char* to = m_PointName[e].c_str();
    if (m_Solution.layout.IsKnown(s) && m_Solution.layout.IsKnown(e)) {
      f.Printf("%4d %16s %16s %15.3lf\n", j + 1, from, to, side.length);
      continue;
    }
    const CRelativePrecision p =
        RelativePrecision(side.length, m_Solution.m0 * std::sqrt(std::max(side.qLength, 0.0)) * 100.0);
    f.Printf(sideLine, j + 1, from, to, p.S, p.MS, p.T, p.ppm);
    if (p.S > 0.0 && p.T < kWeakestSideBound && (weakestSide < 0 || ClearlyGreater(weakestPrecision.T, p.T))) {
      weakestSide = j;
      weakestPrecision = p;
    }
  }
  WriteSectionOpening(f, kDash, T(u8"　　　　　　　　　　　　　　最弱边\n"), sideHeader);
  if (weakestSide >= 0)  // no side qualifies when no vector has an unknown end
    f.Printf(sideLine, weakestSide + 1, m_PointName[m_From[weakestSide]].c_str(),
             m_PointName[m_To[weakestSide]].c_str(), weakestPrecision.S, weakestPrecision.MS, weakestPrecision.T,
             weakestPrecision.ppm);
  f.Write(kDash);
}

int CGPS3dNetAdjust::WriteGeodeticResults() {
  const CGPSConfiguration& c = Project().configuration;
  const double a = c.m_CurrentCoorsSystem.m_a, invF = c.m_CurrentCoorsSystem.m_InvF;
  const double e2 = 1.0 - (1.0 - 1.0 / invF) * (1.0 - 1.0 / invF);
  const double L0 = DmsToRadian(c.m_CentralMeridian);
  const double xConstant = 1000.0 * c.m_XConstant, yConstant = 1000.0 * c.m_YConstant;
  const double s = m_M0mm / 10.0;
  GPSTransfer transfer(0);
  transfer.m_a = a;
  transfer.m_InvF = invF;
  transfer.m_L0 = L0;

  CReportFile& f = m_ResultFile;
  f.Write(T(u8"        大地坐标, 二维平面投影坐标, 误差椭圆参数\n"));
  f.Write(kDash);
  f.Printf(T(u8"中央子午线=%15.9lf(dms)\n"), c.m_CentralMeridian);
  f.Printf(T(u8"x坐标常数=%15.4lf(m)\n"), xConstant);
  f.Printf(T(u8"y坐标常数=%15.4lf(m)\n"), yConstant);
  f.Write(kDash);
  f.Write(" No.             Name       B(dms)     dB(cm)      L(dms)    dL(cm)      H(m)   dH(cm)\n");
  f.Write("                            x(m)       dx(cm)      y(m)      dy(cm)\n");
  f.Write("                                       E(cm)                 F(cm)     T(dms)\n");
  f.Write(kDash);

  std::vector<std::string> blh, xyheft, xyh;
  blh.reserve(static_cast<size_t>(m_PointCount)), xyheft.reserve(blh.capacity()), xyh.reserve(blh.capacity());
  for (int i = 0; i < m_PointCount; ++i) {
    GetWindowMessage();
    const char* name = m_PointName[i].c_str();
    transfer.m_X = m_X[i], transfer.m_Y = m_Y[i], transfer.m_Z = m_Z[i];
    if (!transfer.XYZBLH()) {
      Warn(Format(UiText(u8"点%s的坐标(%.4lf, %.4lf, %.4lf)不能换算为大地坐标!"), name, m_X[i], m_Y[i], m_Z[i]));
      return 0;
    }
    const double B = transfer.m_B, L = transfer.m_L, H = transfer.m_H;
    if (!transfer.BLXY()) {  // keeps |B| in m_B; B was taken before
      Warn(Format(UiText(u8"点%s的坐标(%.4lf, %.4lf, %.4lf)不能换算为大地坐标!"), name, m_X[i], m_Y[i], m_Z[i]));
      return 0;
    }
    const double x = transfer.m_X + xConstant, y = transfer.m_Y + yConstant;
    double dB = 0, dL = 0, dH = 0, dx = 0, dy = 0, E = 0, F = 0, T = 0;
    if (UnknownOf(i) >= 0) {
      const int u = UnknownOf(i);
      double Qp[3][3], J[3][3], Qblh[3][3], K[3][3], Qxyh[3][3];
      const int index[3] = {u, u + 1, u + 2};
      m_Normal->Cofactors(index, 3, &Qp[0][0]);
      double M, N;
      RadiiOfCurvature(B, a, e2, M, N);
      GeodeticJacobian(B, L, H, a, e2, J);
      Cov1ToCov2(J, Qp, Qblh);
      dB = s * M * std::sqrt(Qblh[0][0]);
      dL = s * N * std::cos(B) * std::sqrt(Qblh[1][1]);
      PlaneJacobian(B, WrapLongitude(L - L0), a, e2, K);
      Cov1ToCov2(K, Qblh, Qxyh);
      dx = s * std::sqrt(Qxyh[0][0]);
      dy = s * std::sqrt(Qxyh[1][1]);
      dH = s * std::sqrt(Qxyh[2][2]);
      // The error ellipse of the plane position.
      CEllipse ellipse = ErrorEllipse(Qxyh[0][0], Qxyh[1][1], Qxyh[0][1]);
      ellipse.major *= m_Solution.m0, ellipse.minor *= m_Solution.m0;
      const CReportEllipse r = ReportEllipse(ellipse);
      E = r.E, F = r.F, T = r.T;
    }
    f.Printf("%4d %16s %15.9lf %5.2lf %15.9lf %5.2lf %12.3lf %5.2lf\n", i + 1, name, RadianToDms(B, 9), dB,
             RadianToDms(L, 9), dL, H, dH);
    f.Printf("                     %15.3lf  %5.2lf %15.3lf %5.2lf\n", x, dx, y, dy);
    f.Printf("                                      %5.2lf                 %5.2lf    %10.4lf\n", E, F, T);
    blh.push_back(Format("%16s %15.9lf %15.9lf %12.4lf\n", name, RadianToDms(B, 9), RadianToDms(L, 9), H));
    xyheft.push_back(Format("%16s %15.4lf %15.4lf %12.4lf %10.2lf %10.2lf %12.4lf\n", name, x, y, H, E, F, T));
    xyh.push_back(Format("%16s %15.4lf %15.4lf %12.4lf\n", name, x, y, H));
  }
  f.Write(kDash);
  return WritePointFiles(blh, xyheft, xyh);
}

int CGPS3dNetAdjust::WritePointFiles(const std::vector<std::string>& blh, const std::vector<std::string>& xyheft,
                                     const std::vector<std::string>& xyh) {
  const std::pair<ProjectFile, const std::vector<std::string>*> files[] = {
      {ProjectFile::BLH3d, &blh}, {ProjectFile::XYHEFT3d, &xyheft}, {ProjectFile::XYH3d, &xyh}};
  for (const auto& [kind, lines] : files) {
    CReportFile file;
    if (!file.Create(ResultName(kind))) {
      OpenError(ResultName(kind));
      return 0;
    }
    for (const std::string& line : *lines) file.Write(line);
    if (!CloseCompanion(file)) return 0;
  }
  return 1;
}

int CGPS3dNetAdjust::WriteFreeNetworkFiles() {
  // The free network holds its one known point, point 0, fixed; its unknowns are those of
  // points 1..N-1 in order. Any other number of known points does not fit that model.
  if (m_KnownPointCount != 1) {
    Warn(Format(UiText(u8"秩亏自由网的输入文件要求恰有一个已知点，本工程有%d个已知点，不产生这些文件!"),
                m_KnownPointCount));
    return 1;
  }
  // The points written: the ones asked for in point order, the known point last.
  std::vector<int> points;
  if (m_FreeNetworkPoints.empty()) {
    for (int i = 1; i < m_PointCount; ++i) points.push_back(i);
  } else {
    std::vector<char> asked(static_cast<size_t>(m_PointCount), 0);
    for (const std::string& name : m_FreeNetworkPoints) {
      const auto at = std::find(m_PointName.begin(), m_PointName.begin() + m_PointCount, name);
      if (at == m_PointName.begin() + m_PointCount) {
        Warn(Format(UiText(u8"点%s不在网中，不产生秩亏自由网的输入文件!"), name.c_str()));
        return 0;
      }
      asked[static_cast<size_t>(at - m_PointName.begin())] = 1;
    }
    for (int i = 1; i < m_PointCount; ++i)
      if (asked[static_cast<size_t>(i)]) points.push_back(i);
  }
  const int written = static_cast<int>(points.size()) + 1;
  const ProjectFile kinds[] = {ProjectFile::FreeXXInput, ProjectFile::FreeQxxInput, ProjectFile::FreeGxxInput};
  for (int which = 0; which < 3; ++which) {
    const std::string path = CurrentProjectFile(kinds[which]);
    if (FileExists(path) &&
        !AskYesNo(Format(UiText(u8"文件%s已存在，重新产生？"), PathToGbk(path).c_str()), AppTitle(), MessageIcon::Question, 0,
                  MessageAnswer::No))
      continue;
    CReportFile file;
    if (!file.Create(path)) {
      OpenError(path);
      return 0;
    }
    if (which == 0) {
      file.Printf("%8d %8d %13.4lf\n", written, m_Redundancy, m_M0mm);
      for (int i : points) {
        const size_t p = 3 * static_cast<size_t>(i - 1);
        file.Printf("%16s 1.0  %13.4lf %13.4lf %13.4lf %13.4lf %13.4lf %13.4lf\n", m_PointName[i].c_str(), m_x[p],
                    m_x[p + 1], m_x[p + 2], m_X[i] - m_x[p] / 1000.0, m_Y[i] - m_x[p + 1] / 1000.0,
                    m_Z[i] - m_x[p + 2] / 1000.0);
      }
      file.Printf("%16s 1.0         0.0           0.0           0.0    %13.4lf %13.4lf %13.4lf\n",
                  m_PointName[0].c_str(), m_X[0], m_Y[0], m_Z[0]);
    } else if (which == 1) {
      // The triangle of Qxx over the points' unknowns, then the fixed point's three rows of
      // zeros: order 3 written.
      std::vector<int> unknowns;
      for (int i : points)
        for (int c = 0; c < 3; ++c) unknowns.push_back(UnknownOf(i) + c);
      const size_t order = unknowns.size() + 3;
      WriteLowerTriangle(file, order, [&](size_t p, size_t q) {
        return p < unknowns.size() ? Qxx(unknowns[p], unknowns[q]) : 0.0;
      });
    } else {
      for (int i = 0; i < written; ++i) file.Write("1   0   0\n0   1   0\n0   0   1\n");
    }
    if (!CloseCompanion(file)) return 0;
  }
  return 1;
}

// The report writers of the plane adjustment: the result file's header and adjusted network,
// the coordinate file GPS2dXY and the error ellipse file GPS2dXYEFT, the reliability of the
// vectors and the relative precision of the sides and of the user's point pairs. Every line is
// written with the system's fixed format, converted to GBK once, so that field widths count
// GBK bytes.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "adjust/ReportSections.h"
#include "adjust2d/GPS2dNetAdjust.h"
#include "project/AppState.h"
#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Matrix.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"
#include "project/data/DataFileReader.h"

using namespace vemo;

namespace {

const char* const kD82 = "----------------------------------------------------------------------------------\n";
const char* const kD86 = "--------------------------------------------------------------------------------------\n";
const char* const kD98 =
    "--------------------------------------------------------------------------------------------------\n";

// Below this MS (m) a side is taken as error-free: no relative precision, 0 ppm.
constexpr double kSmallestSideError = 1e-5;
// Above this ppm a side row is written in the "1/N" form.
constexpr double kSmallestPpm = 1e-7;
constexpr double kSecondsPerRadian = 206265.0;

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

// A value that prints as zero with this many decimals prints as 0, never as -0.
double NoNegativeZero(double value, int decimals) {
  return std::fabs(value) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : value;
}

// Azimuth, length and precision of a side between two points of the adjusted network.
struct SideRow {
  int from = 0, to = 0;
  double A = 0, MA = 0, S = 0, MS = 0, N = 0, ppm = 0;  // rad, rad, m, m, 1/N, ppm
};

}  // namespace

void CGPS2dNetAdjust::WriteResultHeader() {
  const bool oneFix = m_Variant == 1;
  CReportFile& f = m_ResultFile;
  CSummaryHeader header = ProjectSummaryHeader(kD82, T(u8"          %s 二维网平差结果\n"), m_Redundancy,
                                               m_KnownPointCount, m_PointCount, m_PVVm2 * 10000.0, m_M0m * 100.0);
  header.countLines = {Format(T(u8"           GPS基线向量数=%10d\n"), m_VectorCount)};
  if (!oneFix) {
    header.countLines.push_back(Format(T(u8"              地面边长数=%10d\n"), m_DistanceCount));
    header.countLines.push_back(Format(T(u8"            地面方位角数=%10d\n"), m_AzimuthCount));
    header.countLines.push_back(
        Format(T(u8"       旋转角(GPS->地面)=%15.9lf(dms)\n"), NoNegativeZero(RadianToDms(m_Rotation, 9), 9)));
    header.countLines.push_back(
        Format(T(u8"         尺度(GPS->地面)=%10.4lf(ppm)\n"), NoNegativeZero((m_Scale - 1.0) * 1000000.0, 4)));
  }
  WriteSummaryHeader(f, header);

  WriteSectionOpening(f, kD82, T(u8"                 已知坐标(X,Y)\n"),
                      oneFix ? " No.             Name         X(m)             Y(m)\n"
                             : " No.             Name        X(m)             Y(m)\n");
  for (int i = 0; i < m_KnownPointCount; ++i)
    f.Printf("%4d %16s %15.4lf %15.4lf\n", i + 1, m_PointName[i].c_str(), m_KnownX[i], m_KnownY[i]);

  if (m_DistanceCount > 0) {
    WriteSectionOpening(f, kD82, T(u8"             　　地面边长(m)\n"),
                        "  No.            From             To           D(m)        Md(cm)\n");
    for (int j = 0; j < m_DistanceCount; ++j)
      f.Printf("%4d %16s %16s %15.4lf %10.3lf\n", j + 1, m_PointName[m_DistanceFrom[j]].c_str(),
               m_PointName[m_DistanceTo[j]].c_str(), m_Distance[j], m_DistanceSd[j]);
  }
  if (m_AzimuthCount > 0) {
    WriteSectionOpening(f, kD82, T(u8"             　　地面方位角(dms)\n"),
                        "  No.            From             To          A(dms)        Ma(s)\n");
    for (int j = 0; j < m_AzimuthCount; ++j)  // the fixed azimuth of a one-fix network is exact
      f.Printf("%4d %16s %16s %15.6lf %10.3lf\n", j + 1, m_PointName[m_AzimuthFrom[j]].c_str(),
               m_PointName[m_AzimuthTo[j]].c_str(), RadianToDms(m_Azimuth[j], 6, 360.0), oneFix ? 0.0 : m_AzimuthSd[j]);
  }
  WriteSectionOpening(f, kD82, T(u8"            　　　　　GPS二维基线向量\n"),
                      " No.            From               To     VectorDX(m)   VectorDY(m)   Distance(m)\n");
  for (int j = 0; j < m_VectorCount; ++j)
    f.Printf("%4d %16s %16s %13.3lf %13.3lf %13.3lf\n", j + 1, m_PointName[m_From[j]].c_str(),
             m_PointName[m_To[j]].c_str(), m_DX[j], m_DY[j], std::sqrt(m_DX[j] * m_DX[j] + m_DY[j] * m_DY[j]));
}

void CGPS2dNetAdjust::ComputeReliability() {
  m_RedundancyNumber.assign(2 * static_cast<size_t>(m_VectorCount), 0.0);
  for (int j = 0; j < m_VectorCount; ++j) {
    double P[3], a[2][6], l[2];
    int index[6];
    WeightMatrix(j, P);
    VectorRows(j, index, a, l);
    // R = A Q A^T over the unknowns that exist.
    double Qx[6][6];
    m_Normal->Cofactors(index, 6, &Qx[0][0]);
    double R[2][2] = {{0, 0}, {0, 0}};
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 2; ++c)
        for (int p = 0; p < 6; ++p) {
          if (index[p] < 0) continue;
          for (int q = 0; q < 6; ++q)
            if (index[q] >= 0) R[r][c] += a[r][p] * Qx[p][q] * a[c][q];
        }
    const double Ql[2][2] = {{m_Dxx[j] / m_MeanVariance, m_Dxy[j] / m_MeanVariance},
                             {m_Dxy[j] / m_MeanVariance, m_Dyy[j] / m_MeanVariance}};
    const double Pm[2][2] = {{P[0], P[1]}, {P[1], P[2]}};
    for (int r = 0; r < 2; ++r) {
      double sum = 0.0;
      for (int k = 0; k < 2; ++k) sum += (Ql[r][k] - R[r][k]) * Pm[k][r];
      m_RedundancyNumber[2 * static_cast<size_t>(j) + r] = sum;
    }
  }
}

namespace {

// Side precision of from -> to from the adjusted coordinates and the cofactors of the unknowns.
SideRow SidePrecision(const CGPS2dNetAdjust& net, int from, int to) {
  SideRow row;
  row.from = from, row.to = to;
  const double d[2] = {net.m_X[to] - net.m_X[from], net.m_Y[to] - net.m_Y[from]};
  const CSideCofactors side = net.m_Solution.SidePrecision(from, to, d);
  row.S = side.length;
  if (!(row.S > 0.0)) return row;  // a side of no length has no direction and no precision
  row.A = Azimuth(d[0], d[1]);  // in [0, 2 pi), a hair below 0 taken as 0, never printed as 360
  row.MS = net.m_Solution.m0 * std::sqrt(std::max(side.qLength, 0.0));
  row.MA = net.m_Solution.m0 * std::sqrt(std::max(side.qDirection, 0.0));
  if (row.MS > kSmallestSideError) {
    row.ppm = row.MS / row.S * 1000000.0;
    row.N = std::trunc(row.S / row.MS / 1000.0) * 1000.0;
  }
  return row;
}

void WriteSideRow(CReportFile& f, const CGPS2dNetAdjust& net, const SideRow& row, int number, bool pair,
                  bool forceRatio) {
  const char* from = net.m_PointName[row.from].c_str();
  const char* to = net.m_PointName[row.to].c_str();
  const bool ratio = forceRatio || row.ppm > kSmallestPpm;
  const double A = RadianToDms(row.A, 5, 360.0), MA = row.MA * kSecondsPerRadian, MS = row.MS * 100.0;
  if (pair)
    f.Printf(ratio ? "**** %16s %16s %12.5lf %5.2lf %12.4lf %5.2lf   1/%-10.0lf %5.2lf\n"
                   : "**** %16s %16s %12.5lf %5.2lf %12.4lf %5.2lf     %-10.0lf %5.2lf\n",
             from, to, A, MA, row.S, MS, row.N, row.ppm);
  else
    f.Printf(ratio ? "%4d %16s %16s %12.5lf %5.2lf %12.4lf %5.2lf   1/%-10.0lf %5.2lf\n"
                   : "%4d %16s %16s %12.5lf %5.2lf %12.4lf %5.2lf     %-10.0lf %5.2lf\n",
             number, from, to, A, MA, row.S, MS, row.N, row.ppm);
}

}  // namespace

// The report after the solution: the coordinate file GPS2dXY beside the adjusted coordinates
// (without it, nothing more), the weakest point, the error ellipses (also into GPS2dXYEFT),
// the residuals, the reliability, the sides with the user's point pairs and the weakest side,
// the coordinate differences of adjacent points.
void CGPS2dNetAdjust::WriteAdjustedNetwork() {
  CReportFile& f = m_ResultFile;
  const bool oneFix = m_Variant == 1;
  CReportFile xy;
  if (!xy.Create(ResultName(ProjectFile::XY2d))) {
    Warn(Format(UiText(u8"打开文件：%s出错!"), PathToGbk(ResultName(ProjectFile::XY2d)).c_str()));
    return;
  }
  const std::string title = Format(T(u8"%10s%sGPS网二维平差坐标结果\n"), "", Project().projectName.c_str());
  xy.Write(title);
  xy.Write(Format("%10s", "") + std::string(title.size(), '=') + "\n");
  xy.Write(T(u8"            点名      X坐标           Y坐标          代码\n"));

  WriteSectionOpening(f, kD86, T(u8"                         平差坐标(X,Y)\n"),
                      " No.            Name          X(m)        Y(m)      Mx(cm) My(cm) Mp(cm)\n");
  const CWeakestPoint weakest = WriteAdjustedCoordinates(
      f, m_Solution, {&m_PointName, {&m_X, &m_Y}}, {" %13.4lf", " %6.2f"}, [&](int i, const std::vector<double>&) {
        const bool known = i < m_KnownPointCount;
        const char* format = oneFix ? (known ? "%16s%15.4lf%15.4lf        K\n" : "%16s %15.4lf%15.4lf        U\n")
                                    : (known ? "%20s %15.4lf%15.4lf        K\n" : "%20s %15.4lf%15.4lf        U\n");
        xy.Printf(format, m_PointName[i].c_str(), m_X[i], m_Y[i]);
      });
  if (!xy.Close()) WriteFileError(xy.Path(), AppTitle());
  WriteSectionOpening(f, kD86, T(u8"         　　　　　　　　最弱点\n"),
                      " No.             Name      MX(cm)      MY(cm)     MP(cm)\n");
  WriteWeakestPoint(f, weakest, m_PointName, " %10.2lf");

  WriteEllipses();
  WriteResiduals();
  if (!oneFix) WriteReliability();
  WriteSides();
  WriteAdjacentPoints();
}

void CGPS2dNetAdjust::WriteEllipses() {
  CReportFile& f = m_ResultFile;
  WriteSectionOpening(f, kD86, T(u8"      　　  误差椭圆参数(E,F,T)\n"),
                      " No.             Name       E(cm)     F(cm)      T(dms)\n");
  CReportFile eft;
  if (!eft.Create(ResultName(ProjectFile::XYEFT2d)))
    Warn(Format(UiText(u8"打开文件：%s出错!"), PathToGbk(ResultName(ProjectFile::XYEFT2d)).c_str()));
  for (int i = 0; i < m_PointCount; ++i) {
    const CReportEllipse e = m_Solution.layout.IsKnown(i) ? CReportEllipse{} : ReportEllipse(m_Solution.Ellipse(i));
    const char* name = m_PointName[i].c_str();
    f.Printf("%4d %16s %10.2lf %10.2lf %12.4lf\n", i + 1, name, e.E, e.F, e.T);
    eft.Printf("%16s %15.4lf %15.4lf %10.2lf %10.2lf %12.4lf\n", name, m_X[i], m_Y[i], e.E, e.F, e.T);
  }
  if (eft.IsOpen() && !eft.Close()) WriteFileError(eft.Path(), AppTitle());
}

// The vector residuals, in the ground frame.
void CGPS2dNetAdjust::WriteResiduals() {
  CReportFile& f = m_ResultFile;
  WriteSectionOpening(f, kD86, T(u8"             二维基线向量残差\n"),
                      " No.            From               To      V_DX(cm)    V_DY(cm)\n");
  const double mu = m_WithTransformation ? m_Scale : 1.0, w = m_WithTransformation ? m_Rotation : 0.0;
  for (int j = 0; j < m_VectorCount; ++j) {
    const int s = m_From[j], e = m_To[j];
    const double dx = m_X[e] - m_X[s], dy = m_Y[e] - m_Y[s];
    const double vx = (dx - mu * (std::cos(w) * m_DX[j] + std::sin(w) * m_DY[j])) * 100.0;
    const double vy = (dy - mu * (std::cos(w) * m_DY[j] - std::sin(w) * m_DX[j])) * 100.0;
    f.Printf("%4d %16s %16s %10.2f %10.2f\n", j + 1, m_PointName[s].c_str(), m_PointName[e].c_str(), vx, vy);
  }
}

void CGPS2dNetAdjust::WriteReliability() {
  CReportFile& f = m_ResultFile;
  WriteSectionOpening(f, kD86, T(u8"                                二维基线向量可靠性\n"),
                      T(u8" No.            From               To       内部可靠性\n"
                        u8"                                            DX       DY\n"));
  ComputeReliability();
  double sumX = 0.0, sumY = 0.0;
  for (int j = 0; j < m_VectorCount; ++j) {
    const double rx = m_RedundancyNumber[2 * static_cast<size_t>(j)];
    const double ry = m_RedundancyNumber[2 * static_cast<size_t>(j) + 1];
    f.Printf("%4d %16s %16s %8.2f %8.2f\n", j + 1, m_PointName[m_From[j]].c_str(), m_PointName[m_To[j]].c_str(),
             std::fabs(rx), std::fabs(ry));
    sumX += rx, sumY += ry;
  }
  const double m = m_VectorCount;  // at least 1: an empty vector file is refused
  f.Printf(T(u8"累计内部可靠性                         %8.2f %8.2f\n"), std::fabs(sumX), std::fabs(sumY));
  f.Printf(T(u8"平均内部可靠性                         %8.2f %8.2f\n"), std::fabs(sumX / m), std::fabs(sumY / m));
  f.Printf(T(u8"内部可靠性总和                         %8.2f\n"), std::fabs(sumX + sumY));
  f.Printf(T(u8"内部可靠性均值                         %8.2f\n"), std::fabs((sumX + sumY) / m * 0.5));
}

// The sides of the vectors, then the user's point pairs, then the weakest of them.
void CGPS2dNetAdjust::WriteSides() {
  CReportFile& f = m_ResultFile;
  const char* sideHeader =
      " No.             FROM              TO      A(dms)    MA(s)     S(m)    MS(cm)    MS:S        ppm\n";
  WriteSectionOpening(f, kD98, T(u8"  　　　　　　   平差后方位角、边长及精度\n"), sideHeader);
  SideRow weakestSide;
  int weakestNumber = 0;
  double weakestPpm = 0.0;
  for (int j = 0; j < m_VectorCount; ++j) {
    const SideRow row = SidePrecision(*this, m_From[j], m_To[j]);
    WriteSideRow(f, *this, row, j + 1, false, false);
    if (ClearlyGreater(row.ppm, weakestPpm)) weakestPpm = row.ppm, weakestSide = row, weakestNumber = j + 1;
  }

  std::string pairs;
  if (m_Variant != 1 && ReadFileContent(CurrentProjectFile(ProjectFile::RelativePairs), pairs)) {
    int lines = 0;
    ForEachLine(pairs, kShortLineBuffer, lines, [&](const std::string& text) {
      const std::string line = CommasToBlanks(text);
      std::string items[2];
      std::string_view rest = TakeToken(line, &items[0]);
      TakeToken(rest, &items[1]);
      if (items[1].empty()) return true;  // a line without two names does not scan
      int ends[2];
      for (int e = 0; e < 2; ++e) {
        auto it = m_NameIndex.find(items[e]);
        if (it == m_NameIndex.end()) {
          Warn(Format(UiText(u8"输入点:%s不存在!"), items[e].c_str()));
          return true;
        }
        ends[e] = it->second;
      }
      const SideRow row = SidePrecision(*this, ends[0], ends[1]);
      WriteSideRow(f, *this, row, 0, true, false);
      if (ClearlyGreater(row.ppm, weakestPpm)) weakestPpm = row.ppm, weakestSide = row, weakestNumber = m_VectorCount + 1;
      return true;
    });
  }

  WriteSectionOpening(f, kD98, T(u8"          　　　　　　　　最弱边\n"), sideHeader);
  if (weakestNumber > 0)  // no side qualifies when none has a precision
    WriteSideRow(f, *this, weakestSide, weakestNumber, false, true);
}

void CGPS2dNetAdjust::WriteAdjacentPoints() {
  CReportFile& f = m_ResultFile;
  WriteSectionOpening(f, kD98, T(u8"  　　　　　　   相邻点坐标分量及其相对中误差\n"),
                      " No.             FROM              TO           dX(m)          dY(m)        mdX(cm)    mdY(cm)\n");
  const double limitMm = Project().configuration.m_NetClass[NetClassParameters::kAdjacentPointError];
  const char* exceeds = T(u8" 超限\n");
  const char* passes = T(u8" 合格\n");
  for (int j = 0; j < m_VectorCount; ++j) {
    const int s = m_From[j], e = m_To[j];
    const double dx = m_X[e] - m_X[s], dy = m_Y[e] - m_Y[s];
    const double qX = m_Solution.DifferenceCofactor(s, e, 0), qY = m_Solution.DifferenceCofactor(s, e, 1);
    const double mdX = m_Solution.m0 * std::sqrt(std::max(qX, 0.0)) * 100.0;
    const double mdY = m_Solution.m0 * std::sqrt(std::max(qY, 0.0)) * 100.0;
    const char* from = m_PointName[s].c_str();
    const char* to = m_PointName[e].c_str();
    if (limitMm > 0.0) {
      f.Printf("%4d %16s %16s %15.4lf %15.4lf %10.2lf %10.2lf", j + 1, from, to, dx, dy, mdX, mdY);
      f.Write(mdX * 10.0 > limitMm ? exceeds : passes);  // mdX in mm against the limit in mm
    } else {
      f.Printf("%4d %16s %16s %15.4lf %15.4lf %10.2lf %10.2lf\n", j + 1, from, to, dx, dy, mdX, mdY);
    }
  }
  f.Write(kD98);
}

// The report writers of the plane adjustment: the result file's header and adjusted network,
// the coordinate file GPS2dXY and the error ellipse file GPS2dXYEFT, the reliability of the
// vectors and the relative precision of the sides and of the user's point pairs. Every line is
// written with the system's fixed format, converted to GBK once, so that field widths count
// GBK bytes.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "adjust2d/GPS2dNetAdjust.h"
#include "adjust3d/ReportFile.h"
#include "project/AppState.h"
#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Matrix.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
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
  const CGPSConfiguration& c = Project().configuration;
  const bool oneFix = m_Variant == 1;
  CReportFile& f = m_ResultFile;
  f.Write(kD82);
  f.Printf(T(u8"          %s 二维网平差结果\n"), Project().projectName.c_str());
  f.Printf(T(u8"              多余观测数=%10d\n"), m_Redundancy);
  f.Printf(T(u8"                已知点数=%10d\n"), m_KnownPointCount);
  f.Printf(T(u8"                  总点数=%10d\n"), m_PointCount);
  f.Printf(T(u8"           GPS基线向量数=%10d\n"), m_VectorCount);
  if (!oneFix) {
    f.Printf(T(u8"              地面边长数=%10d\n"), m_DistanceCount);
    f.Printf(T(u8"            地面方位角数=%10d\n"), m_AzimuthCount);
    f.Printf(T(u8"       旋转角(GPS->地面)=%15.9lf(dms)\n"), NoNegativeZero(RadianToDms(m_Rotation), 9));
    f.Printf(T(u8"         尺度(GPS->地面)=%10.4lf(ppm)\n"), NoNegativeZero((m_Scale - 1.0) * 1000000.0, 4));
  }
  f.Printf(T(u8"              中央子午线=%15.9lf(dms)\n"), c.m_CentralMeridian);
  f.Printf(T(u8"                椭球长轴=%15.3lf(m)\n"), c.m_CurrentCoorsSystem.m_a);
  f.Printf(T(u8"            椭球扁率分母=%15.9lf\n"), c.m_CurrentCoorsSystem.m_InvF);
  f.Printf("                     PVV=%14.3lf(cm^2)\n", m_PVV * 10000.0);
  f.Printf("                      M0=%14.3f(cm)\n", m_M0 * 100.0);

  f.Write(kD82);
  f.Write(T(u8"                 已知坐标(X,Y)\n"));
  f.Write(kD82);
  f.Write(oneFix ? " No.             Name         X(m)             Y(m)\n"
                 : " No.             Name        X(m)             Y(m)\n");
  f.Write(kD82);
  for (int i = 0; i < m_KnownPointCount; ++i)
    f.Printf("%4d %16s %15.4lf %15.4lf\n", i + 1, m_PointName[i].c_str(), m_KnownX[i], m_KnownY[i]);

  if (m_DistanceCount > 0) {
    f.Write(kD82);
    f.Write(T(u8"             　　地面边长(m)\n"));
    f.Write(kD82);
    f.Write("  No.            From             To           D(m)        Md(cm)\n");
    f.Write(kD82);
    for (int j = 0; j < m_DistanceCount; ++j)
      f.Printf("%4d %16s %16s %15.4lf %10.3lf\n", j + 1, m_PointName[m_DistanceFrom[j]].c_str(),
               m_PointName[m_DistanceTo[j]].c_str(), m_Distance[j], m_DistanceSd[j]);
  }
  if (m_AzimuthCount > 0) {
    f.Write(kD82);
    f.Write(T(u8"             　　地面方位角(dms)\n"));
    f.Write(kD82);
    f.Write("  No.            From             To          A(dms)        Ma(s)\n");
    f.Write(kD82);
    for (int j = 0; j < m_AzimuthCount; ++j)  // the fixed azimuth of a one-fix network is exact
      f.Printf("%4d %16s %16s %15.6lf %10.3lf\n", j + 1, m_PointName[m_AzimuthFrom[j]].c_str(),
               m_PointName[m_AzimuthTo[j]].c_str(), RadianToDms(m_Azimuth[j]), oneFix ? 0.0 : m_AzimuthSd[j]);
  }
  f.Write(kD82);
  f.Write(T(u8"            　　　　　GPS二维基线向量\n"));
  f.Write(kD82);
  f.Write(" No.            From               To     VectorDX(m)   VectorDY(m)   Distance(m)\n");
  f.Write(kD82);
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
    double R[2][2] = {{0, 0}, {0, 0}};
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 2; ++c)
        for (int p = 0; p < 6; ++p) {
          if (index[p] < 0) continue;
          for (int q = 0; q < 6; ++q)
            if (index[q] >= 0) R[r][c] += a[r][p] * Qxx(index[p], index[q]) * a[c][q];
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
  const double dx = net.m_X[to] - net.m_X[from], dy = net.m_Y[to] - net.m_Y[from];
  row.S = std::sqrt(dx * dx + dy * dy);
  if (!(row.S > 0.0)) return row;  // a side of no length has no direction and no precision
  row.A = Azimuth(dx, dy);  // in [0, 2 pi), a hair below 0 taken as 0, never printed as 360
  const double S = row.S, S2 = S * S;
  const double g[4] = {-dx / S, -dy / S, dx / S, dy / S};
  const double h[4] = {dy / S2, -dx / S2, -dy / S2, dx / S2};
  const int uf = net.UnknownOf(from), ut = net.UnknownOf(to);
  const int index[4] = {uf < 0 ? -1 : uf, uf < 0 ? -1 : uf + 1, ut < 0 ? -1 : ut, ut < 0 ? -1 : ut + 1};
  double qs = 0.0, qa = 0.0;
  for (int p = 0; p < 4; ++p)
    for (int q = 0; q < 4; ++q) {
      const double Q = net.Qxx(index[p], index[q]);
      qs += g[p] * Q * g[q];
      qa += h[p] * Q * h[q];
    }
  row.MS = net.m_M0 * std::sqrt(std::max(qs, 0.0));
  row.MA = net.m_M0 * std::sqrt(std::max(qa, 0.0));
  if (row.MS > kSmallestSideError) {
    row.ppm = row.MS / S * 1000000.0;
    row.N = std::trunc(S / row.MS / 1000.0) * 1000.0;
  }
  return row;
}

void WriteSideRow(CReportFile& f, const CGPS2dNetAdjust& net, const SideRow& row, int number, bool pair,
                  bool forceRatio) {
  const char* from = net.m_PointName[row.from].c_str();
  const char* to = net.m_PointName[row.to].c_str();
  const bool ratio = forceRatio || row.ppm > kSmallestPpm;
  const double A = RadianToDms(row.A), MA = row.MA * kSecondsPerRadian, MS = row.MS * 100.0;
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

void CGPS2dNetAdjust::WriteAdjustedNetwork() {
  CReportFile& f = m_ResultFile;
  const bool oneFix = m_Variant == 1;
  const std::string& project = Project().projectName;

  // 1. The coordinate file; without it, no part 2.
  CReportFile xy;
  if (!xy.Create(ResultName("GPS2dXY"))) {
    Warn(Format(T(u8"打开文件：%s出错!"), PathToGbk(ResultName("GPS2dXY")).c_str()));
    return;
  }
  const std::string title = Format(T(u8"%10s%sGPS网二维平差坐标结果\n"), "", project.c_str());
  xy.Write(title);
  xy.Write(Format("%10s", "") + std::string(title.size(), '=') + "\n");
  xy.Write(T(u8"            点名      X坐标           Y坐标          代码\n"));

  // 2-4. Adjusted coordinates with their precisions.
  f.Write(kD86);
  f.Write(T(u8"                         平差坐标(X,Y)\n"));
  f.Write(kD86);
  f.Write(" No.            Name          X(m)        Y(m)      Mx(cm) My(cm) Mp(cm)\n");
  f.Write(kD86);
  int weakest = -1;
  double weakestM[3] = {0, 0, 0};
  for (int i = 0; i < m_PointCount; ++i) {
    const char* name = m_PointName[i].c_str();
    if (i < m_KnownPointCount) {
      f.Printf("%4d %16s %13.4lf %13.4lf\n", i + 1, name, m_X[i], m_Y[i]);
      xy.Printf(oneFix ? "%16s%15.4lf%15.4lf        K\n" : "%20s %15.4lf%15.4lf        K\n", name, m_X[i], m_Y[i]);
      continue;
    }
    const int u = UnknownOf(i);
    const double mx = m_M0 * std::sqrt(Qxx(u, u)) * 100.0, my = m_M0 * std::sqrt(Qxx(u + 1, u + 1)) * 100.0;
    const double mp = std::sqrt(mx * mx + my * my);
    f.Printf("%4d %16s %13.4lf %13.4lf %6.2f %6.2f %6.2f\n", i + 1, name, m_X[i], m_Y[i], mx, my, mp);
    xy.Printf(oneFix ? "%16s %15.4lf%15.4lf        U\n" : "%20s %15.4lf%15.4lf        U\n", name, m_X[i], m_Y[i]);
    if (ClearlyGreater(mp, weakestM[2])) {
      weakest = i;
      weakestM[0] = mx, weakestM[1] = my, weakestM[2] = mp;
    }
  }
  if (!xy.Close()) WriteFileError(xy.Path(), AppTitle());

  // 5. The weakest point.
  f.Write(kD86);
  f.Write(T(u8"         　　　　　　　　最弱点\n"));
  f.Write(kD86);
  f.Write(" No.             Name      MX(cm)      MY(cm)     MP(cm)\n");
  f.Write(kD86);
  if (weakest >= 0)  // no point qualifies when every point is known or exact
    f.Printf("%4d %16s %10.2lf %10.2lf %10.2lf\n", weakest + 1, m_PointName[weakest].c_str(), weakestM[0],
             weakestM[1], weakestM[2]);

  // 6. Error ellipses, also into GPS2dXYEFT.
  f.Write(kD86);
  f.Write(T(u8"      　　  误差椭圆参数(E,F,T)\n"));
  f.Write(kD86);
  f.Write(" No.             Name       E(cm)     F(cm)      T(dms)\n");
  f.Write(kD86);
  CReportFile eft;
  if (!eft.Create(ResultName("GPS2dXYEFT")))
    Warn(Format(T(u8"打开文件：%s出错!"), PathToGbk(ResultName("GPS2dXYEFT")).c_str()));
  for (int i = 0; i < m_PointCount; ++i) {
    double E = 0.0, F = 0.0, T = 0.0;
    if (i >= m_KnownPointCount) {
      const int u = UnknownOf(i);
      const double qxx = Qxx(u, u), qyy = Qxx(u + 1, u + 1), qxy = Qxx(u + 1, u);
      const double K = std::sqrt((qxx - qyy) * (qxx - qyy) + 4.0 * qxy * qxy);
      E = m_M0 * std::sqrt(std::max(0.0, (qxx + qyy + K) / 2.0)) * 100.0;
      // Rounding may leave the minor axis of a circle a hair below zero.
      F = m_M0 * std::sqrt(std::max(0.0, (qxx + qyy - K) / 2.0)) * 100.0;
      double twoT = std::atan2(2.0 * qxy, qxx - qyy);
      if (twoT < 0.0) twoT += 2.0 * PI;
      T = RadianToDms(twoT / 2.0);
    }
    const char* name = m_PointName[i].c_str();
    f.Printf("%4d %16s %10.2lf %10.2lf %12.4lf\n", i + 1, name, E, F, T);
    eft.Printf("%16s %15.4lf %15.4lf %10.2lf %10.2lf %12.4lf\n", name, m_X[i], m_Y[i], E, F, T);
  }
  if (eft.IsOpen() && !eft.Close()) WriteFileError(eft.Path(), AppTitle());

  // 7. Vector residuals, in the ground frame.
  f.Write(kD86);
  f.Write(T(u8"             二维基线向量残差\n"));
  f.Write(kD86);
  f.Write(" No.            From               To      V_DX(cm)    V_DY(cm)\n");
  f.Write(kD86);
  const double mu = m_WithTransformation ? m_Scale : 1.0, w = m_WithTransformation ? m_Rotation : 0.0;
  for (int j = 0; j < m_VectorCount; ++j) {
    const int s = m_From[j], e = m_To[j];
    const double dx = m_X[e] - m_X[s], dy = m_Y[e] - m_Y[s];
    const double vx = (dx - mu * (std::cos(w) * m_DX[j] + std::sin(w) * m_DY[j])) * 100.0;
    const double vy = (dy - mu * (std::cos(w) * m_DY[j] - std::sin(w) * m_DX[j])) * 100.0;
    f.Printf("%4d %16s %16s %10.2f %10.2f\n", j + 1, m_PointName[s].c_str(), m_PointName[e].c_str(), vx, vy);
  }

  // 8. Internal reliability.
  if (!oneFix) {
    f.Write(kD86);
    f.Write(T(u8"                                二维基线向量可靠性\n"));
    f.Write(kD86);
    f.Write(T(u8" No.            From               To       内部可靠性\n"));
    f.Write("                                            DX       DY\n");
    f.Write(kD86);
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

  // 9. Sides of the vectors.
  const char* sideHeader =
      " No.             FROM              TO      A(dms)    MA(s)     S(m)    MS(cm)    MS:S        ppm\n";
  f.Write(kD98);
  f.Write(T(u8"  　　　　　　   平差后方位角、边长及精度\n"));
  f.Write(kD98);
  f.Write(sideHeader);
  f.Write(kD98);
  SideRow weakestSide;
  int weakestNumber = 0;
  double weakestPpm = 0.0;
  for (int j = 0; j < m_VectorCount; ++j) {
    const SideRow row = SidePrecision(*this, m_From[j], m_To[j]);
    WriteSideRow(f, *this, row, j + 1, false, false);
    if (ClearlyGreater(row.ppm, weakestPpm)) weakestPpm = row.ppm, weakestSide = row, weakestNumber = j + 1;
  }

  // 10. The user's point pairs.
  std::string pairs;
  if (!oneFix && ReadFileContent(CurrentProjectFile("GPS2dRel"), pairs)) {
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
          Warn(Format(T(u8"输入点:%s不存在!"), items[e].c_str()));
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

  // 11. The weakest side.
  f.Write(kD98);
  f.Write(T(u8"          　　　　　　　　最弱边\n"));
  f.Write(kD98);
  f.Write(sideHeader);
  f.Write(kD98);
  if (weakestNumber > 0)  // no side qualifies when none has a precision
    WriteSideRow(f, *this, weakestSide, weakestNumber, false, true);

  // 12. Coordinate differences of adjacent points.
  f.Write(kD98);
  f.Write(T(u8"  　　　　　　   相邻点坐标分量及其相对中误差\n"));
  f.Write(kD98);
  f.Write(" No.             FROM              TO           dX(m)          dY(m)        mdX(cm)    mdY(cm)\n");
  f.Write(kD98);
  const double limitMm = Project().configuration.m_NetClass[NetClassParameters::kAdjacentPointError];
  const char* exceeds = T(u8" 超限\n");
  const char* passes = T(u8" 合格\n");
  for (int j = 0; j < m_VectorCount; ++j) {
    const int s = m_From[j], e = m_To[j];
    const int us = UnknownOf(s), ue = UnknownOf(e);
    const double dx = m_X[e] - m_X[s], dy = m_Y[e] - m_Y[s];
    const double qX = Qxx(us, us) + Qxx(ue, ue) - 2.0 * Qxx(us, ue);
    const double qY = Qxx(us + 1, us + 1) + Qxx(ue + 1, ue + 1) - 2.0 * Qxx(us + 1, ue + 1);
    const double mdX = m_M0 * std::sqrt(std::max(qX, 0.0)) * 100.0, mdY = m_M0 * std::sqrt(std::max(qY, 0.0)) * 100.0;
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

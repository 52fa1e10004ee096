// The report of the ellipsoidal 3D combined adjustment, "<project>.GPS3dBLHResult": the
// approximate coordinates, the header with the frame parameters and the observed vectors, and
// the adjusted coordinates with their standard errors. Every line is written with the system's
// fixed format, converted to GBK once, so that field widths count GBK bytes.
#include <cmath>
#include <string>

#include "adjust/ReportSections.h"
#include "adjust3d/GPS3dCombinedAdjust.h"
#include "project/AppState.h"
#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"

using namespace vemo;

namespace {

// Separator lines of 63, 82 and 86 hyphens.
const std::string kDash63 = std::string(63, '-') + "\n";
const std::string kDash82 = std::string(82, '-') + "\n";
const std::string kDash86 = std::string(86, '-') + "\n";

}  // namespace

void CGPS3dCombinedAdjust::WriteApproximateBLH() {
  CReportFile& f = m_ResultFile;
  f.Write(kDash63);
  f.Write(T(u8"                    近似坐标(B,L,H)\n"));
  f.Write(kDash63);
  f.Write(" No.    Name         B(dms)          L(dms)             H(m)\n");
  f.Write(kDash63);
  for (int i = 0; i < m_PointCount; ++i)
    f.Printf("%4d %8s %15.9lf %15.9lf %15.3lf\n", i + 1, m_PointName[i].c_str(), RadianToDms(m_ApproxB[i], 9),
             RadianToDms(m_ApproxL[i], 9), m_ApproxH[i]);
}

void CGPS3dCombinedAdjust::WriteCombinedHeader() {
  const double rho = Rho();
  const int u = m_UnknownCount;
  CReportFile& f = m_ResultFile;
  CSummaryHeader header = ProjectSummaryHeader(kDash82, T(u8"          %s 三维网联合平差结果\n"), m_Redundancy,
                                               m_KnownPointCount, m_PointCount, m_PVVm2 * 10000.0, m_M0m * 100.0);
  header.countLines = {Format(T(u8"       GPS三维基线向量数=%10d\n"), m_VectorCount)};
  header.axisFormat = T(u8"                椭球长轴=%15.5lf(m)\n");
  header.a = m_a, header.invF = m_InvF;
  // The model turns the ground frame onto the GPS frame; the report states the way back.
  header.trailerLines = {Format(T(u8"      (GPS->地面) 旋转Ax=%14.6lf(s)\n"), -m_x[u - 4] * rho),
                         Format(T(u8"      (GPS->地面) 旋转Ay=%14.6lf(s)\n"), -m_x[u - 3] * rho),
                         Format(T(u8"      (GPS->地面) 旋转Az=%14.6lf(s)\n"), -m_x[u - 2] * rho),
                         Format(T(u8"      (GPS->地面) 尺度 m=%14.6lf(ppm)\n"), -m_x[u - 1] * 1e6)};
  WriteSummaryHeader(f, header);
  WriteSectionOpening(f, kDash82, T(u8"                    GPS三维基线向量观测值\n"),
                      " No.    From       To         DX(m)          DY(m)          DZ(m)          S(m)\n");
  for (int j = 0; j < m_VectorCount; ++j) {
    const double dx = m_DX[j], dy = m_DY[j], dz = m_DZ[j];
    f.Printf("%4d %8s %8s %14.4lf %14.4lf %14.4lf %14.4lf\n", j + 1, m_PointName[m_From[j]].c_str(),
             m_PointName[m_To[j]].c_str(), dx, dy, dz, std::sqrt(dx * dx + dy * dy + dz * dz));
  }
}

void CGPS3dCombinedAdjust::WriteAdjustedBLH() {
  CReportFile& f = m_ResultFile;
  f.Write(kDash86);
  f.Write(T(u8"                            平差后坐标(B,L,H)\n"));
  f.Write(kDash86);
  f.Write("  Name         B(dms)         L(dms)              H(m)\n");
  f.Write(kDash86);
  for (int i = 0; i < m_PointCount; ++i)
    f.Printf("%8s %15.9lf %15.9lf %15.3lf\n", m_PointName[i].c_str(), RadianToDms(m_B[i], 9), RadianToDms(m_L[i], 9),
             m_H[i]);
  f.Write(kDash86);
  f.Write(T(u8"          平差后坐标中误差(dB,dL,dH)\n"));
  f.Write(kDash86);
  f.Write("  Name       dB(0.0001s)     dL(0.0001s)       dH(cm)\n");
  f.Write(kDash86);
  for (int i = 0; i < m_PointCount; ++i)
    f.Printf("%8s %15.9lf %15.9lf %15.9lf\n", m_PointName[i].c_str(), std::sqrt(Qxx(3 * i, 3 * i)) * m_M0m * 10000.0,
             std::sqrt(Qxx(3 * i + 1, 3 * i + 1)) * m_M0m * 10000.0, std::sqrt(Qxx(3 * i + 2, 3 * i + 2)) * m_M0m * 100.0);
  f.Write(kDash86);
}

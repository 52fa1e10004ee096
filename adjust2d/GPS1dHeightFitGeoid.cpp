// The geoid model as the reference surface of the height fit: reduction before the fit,
// restoration after it, and the report's account of both.
#include <cmath>

#include "adjust2d/GPS1dHeightFit.h"
#include "geodesy/Encoding.h"
#include "geodesy/Geoid.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"

using namespace vemo;

int CGPS1dHeightFit::UseGeoid(const CGeoidModel& geoid) {
  // The loader keeps B and L as differences from their means; the grid wants them whole.
  std::vector<double> B(m_B.begin(), m_B.begin() + m_PointCount), L(m_L.begin(), m_L.begin() + m_PointCount);
  for (double& b : B) b += m_MeanB;
  for (double& l : L) l += m_MeanL;
  std::string error;
  if (!geoid.Undulations(m_PointName, B, L, m_Undulation, error)) {
    m_Undulation.clear();
    ShowMessage(error, AppTitle(), MessageIcon::Warning);
    return 0;
  }
  m_GeoidName = geoid.Name();
  m_GeoidPath = geoid.GridPath();
  return 1;
}

void CGPS1dHeightFit::ReduceByGeoid() {
  for (size_t i = 0; i < m_Undulation.size(); ++i) m_H[i] -= m_Undulation[i];
}

void CGPS1dHeightFit::RestoreByGeoid() {
  for (size_t i = 0; i < m_Undulation.size(); ++i) m_H[i] += m_Undulation[i], m_Zeta[i] += m_Undulation[i];
}

void CGPS1dHeightFit::WriteGeoidBlock(bool parameters) {
  if (m_Undulation.empty()) return;
  CReportFile& f = m_ResultFile;
  const char* const dash = "----------------------------------------------------------------------------------\n";
  f.Printf(T(u8"参考面模型: %s (%s)\n"), m_GeoidName.c_str(), m_GeoidPath.c_str());
  f.Write(T(u8"高程异常=模型的大地水准面差距+拟合模型; 拟合模型拟合的是已知点上高程异常与模型差距之差\n"));
  f.Write(dash);
  f.Write(T(u8"           已知点残差(m): 拟合前=高程异常-模型差距, 拟合后=高程异常-拟合高程异常\n"));
  f.Write(dash);
  f.Write(T(parameters ? u8"   点名        高程异常        模型差距      拟合前残差      拟合后残差\n"
                       : u8"            点名        高程异常        模型差距      拟合前残差      拟合后残差\n"));
  f.Write(dash);
  const char* row = parameters ? "%8s %15.4lf %15.4lf %15.4lf %15.4lf\n" : "%16s %15.4lf %15.4lf %15.4lf %15.4lf\n";
  double before = 0.0, after = 0.0;
  for (int j = 0; j < m_KnownCount; ++j) {
    const size_t i = static_cast<size_t>(m_KnownPoint[static_cast<size_t>(j)]);
    const double zeta = m_H[i] - m_KnownH[static_cast<size_t>(j)];
    const double v0 = zeta - m_Undulation[i], v = zeta - m_Zeta[i];
    before += v0 * v0, after += v * v;
    f.Printf(row, m_KnownName[static_cast<size_t>(j)].c_str(), zeta, m_Undulation[i], v0, v);
  }
  f.Write(dash);
  const double k = m_KnownCount > 0 ? m_KnownCount : 1;
  f.Printf(T(u8"      拟合前残差均方根=%10.4lf(m)    拟合后残差均方根=%10.4lf(m)\n"), std::sqrt(before / k),
           std::sqrt(after / k));
}

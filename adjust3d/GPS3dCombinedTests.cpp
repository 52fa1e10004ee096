#include "adjust3d/GPS3dCombinedTests.h"

#include "adjust3d/GPS3dNetTests.h"

#include <cmath>

#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "project/AppState.h"

namespace vemo {

namespace {

const std::string kDash = std::string(82, '-') + "\n";
constexpr double kCmPerM = 100.0;

// The vectors' mean variance (cm²), the variance of unit weight of the adjustment's weights.
double MeanVariance(const CGPS3dCombinedAdjust& net) {
  double trace = 0.0;
  for (int j = 0; j < net.m_VectorCount; ++j) trace += net.m_Dxx[j] + net.m_Dyy[j] + net.m_Dzz[j];
  return net.m_VectorCount > 0 ? trace / net.m_VectorCount / 3.0 : 0.0;
}

// The linearisation the adjustment used, at the approximate coordinates (its X, Y, Z): per
// point the derivatives of X, Y, Z by B and L (per second of arc) and H, and the metres that a
// second of arc of B and of L is there.
struct CPointDesign {
  double D[3][3] = {};
  double metres[3] = {1, 1, 1};
};
std::vector<CPointDesign> PointDesigns(const CGPS3dCombinedAdjust& net) {
  const CGPSConfiguration& c = Project().configuration;
  const double a = c.m_CurrentCoorsSystem.m_a, invF = c.m_CurrentCoorsSystem.m_InvF;
  const double rho = CGPS3dCombinedAdjust::Rho();
  const double b = a * (1.0 - 1.0 / invF);
  const double e2 = 1.0 - (b / a) * (b / a);
  std::vector<CPointDesign> designs(static_cast<size_t>(net.m_PointCount));
  GPSTransfer t(0);
  t.m_a = a;
  t.m_InvF = invF;
  for (int i = 0; i < net.m_PointCount; ++i) {
    t.m_X = net.m_X[i], t.m_Y = net.m_Y[i], t.m_Z = net.m_Z[i];
    if (!t.XYZBLH()) continue;  // the adjustment refused such a point before it solved
    const double B = t.m_B, L = t.m_L, H = t.m_H;
    const double W = std::sqrt(1.0 - e2 * std::sin(B) * std::sin(B));
    const double M = a * (1.0 - e2) / (W * W * W), N = a / W;
    const double sB = std::sin(B), cB = std::cos(B), sL = std::sin(L), cL = std::cos(L);
    CPointDesign& d = designs[static_cast<size_t>(i)];
    const double D[3][3] = {{-(M + H) * sB * cL / rho, -(N + H) * cB * sL / rho, cB * cL},
                            {-(M + H) * sB * sL / rho, (N + H) * cB * cL / rho, cB * sL},
                            {(M + H) * cB / rho, 0.0, sB}};
    for (int r = 0; r < 3; ++r)
      for (int k = 0; k < 3; ++k) d.D[r][k] = D[r][k];
    d.metres[0] = (M + H) / rho;
    d.metres[1] = (N + H) * cB / rho;
  }
  return designs;
}

// Each vector as an observation group: the residual v = A x + l of the solution (m), its
// cofactor, its design on both ends' B, L, H and the four frame parameters.
std::vector<CObservationGroup> VectorGroups(const CGPS3dCombinedAdjust& net, double meanVariance) {
  const std::vector<CPointDesign> designs = PointDesigns(net);
  const int u = net.m_UnknownCount;
  std::vector<CObservationGroup> groups(static_cast<size_t>(net.m_VectorCount));
  for (int j = 0; j < net.m_VectorCount; ++j) {
    CObservationGroup& g = groups[static_cast<size_t>(j)];
    const int f = net.m_From[j], t = net.m_To[j];
    const int index[kGroupColumns] = {3 * t, 3 * t + 1, 3 * t + 2, 3 * f, 3 * f + 1, 3 * f + 2, u - 4, u - 3, u - 2, u - 1};
    const double d[3] = {net.m_X[t] - net.m_X[f], net.m_Y[t] - net.m_Y[f], net.m_Z[t] - net.m_Z[f]};
    const double l[3] = {d[0] - net.m_DX[j], d[1] - net.m_DY[j], d[2] - net.m_DZ[j]};
    const double frame[3][4] = {{0.0, -d[2], d[1], d[0]}, {d[2], 0.0, -d[0], d[1]}, {-d[1], d[0], 0.0, d[2]}};
    const CPointDesign& Dt = designs[static_cast<size_t>(t)];
    const CPointDesign& Df = designs[static_cast<size_t>(f)];
    for (int c = 0; c < kGroupColumns; ++c) g.index[c] = index[c];
    for (int c = 0; c < 3; ++c) g.lengthPerUnit[c] = Dt.metres[c], g.lengthPerUnit[3 + c] = Df.metres[c];
    const double Q[3][3] = {{net.m_Dxx[j], net.m_Dxy[j], net.m_Dxz[j]},
                            {net.m_Dxy[j], net.m_Dyy[j], net.m_Dyz[j]},
                            {net.m_Dxz[j], net.m_Dyz[j], net.m_Dzz[j]}};
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        g.a[r][c] = Dt.D[r][c];
        g.a[r][3 + c] = -Df.D[r][c];
        g.Ql[r][c] = Q[r][c] / meanVariance;
      }
      for (int c = 0; c < 4; ++c) g.a[r][6 + c] = frame[r][c];
      double v = l[r];
      for (int c = 0; c < kGroupColumns; ++c) v += g.a[r][c] * net.m_x[static_cast<size_t>(index[c])];
      g.v[r] = v;
    }
  }
  return groups;
}

// The confidence regions of the points that the known components do not all fix: the
// cofactors of B, L (seconds of arc) and H carried into metres north, east and up.
void WriteConfidenceRegions(CReportFile& f, const CGPS3dCombinedAdjust& net, const CNetworkTests& tests,
                            const CTestSettings& settings) {
  const std::vector<CPointDesign> designs = PointDesigns(net);
  // cm per unit cofactor, as the frame parameters'.
  const double s = (tests.unitWeightEstimated ? tests.sigmaHat : tests.sigma0) * kCmPerM;
  std::vector<CLocalRegion> rows;
  for (int i = 0; i < net.m_PointCount; ++i) {
    if (i < net.m_KnownPointCount && net.m_KnownType[i] == CReadGPS3dCombinedNet::kKnownPosition) continue;
    double Q[3][3];
    const int index[3] = {3 * i, 3 * i + 1, 3 * i + 2};
    net.m_Normal->Cofactors(index, 3, &Q[0][0]);
    CLocalRegion& row = rows.emplace_back(CLocalRegion{i + 1, net.m_PointName[i], {}});
    const double* metres = designs[static_cast<size_t>(i)].metres;
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b) row.covariance[a][b] = metres[a] * metres[b] * Q[a][b] * s * s;
  }
  WriteLocalConfidenceRegions(f, kDash.c_str(), ConfidenceFactors(settings.confidence, net.m_Redundancy,
                                                                  tests.unitWeightEstimated),
                              settings, tests, rows);
}

void WriteFrameParameters(CReportFile& f, const CGPS3dCombinedAdjust& net, const CNetworkTests& tests,
                          const CTestSettings& settings) {
  const CFrameParameters p = FrameParametersOf(net, tests);
  const CConfidenceFactors k = ConfidenceFactors(settings.confidence, net.m_Redundancy, tests.unitWeightEstimated);
  f.Printf(T(u8"          (GPS->地面)框架参数及其中误差(%s; 置信概率%.2f%%, 因子%.3f)\n"), UnitWeightBasis(tests),
           settings.confidence * 100.0, k.interval);
  f.Write(kDash);
  f.Write(T(u8"  参数            值          中误差      置信区间半宽  与0比较\n"));
  f.Write(kDash);
  const char* names[4] = {T(u8"旋转Ax(s)"), T(u8"旋转Ay(s)"), T(u8"旋转Az(s)"), T(u8"尺度m(ppm)")};
  for (int i = 0; i < 4; ++i) {
    const double half = p.sigma[i] * k.interval;
    f.Printf("%-10s %14.6f %14.6f %14.6f  %s\n", names[i], p.value[i], p.sigma[i], half,
             std::fabs(p.value[i]) > half ? T(u8"显著") : T(u8"不显著"));
  }
  f.Write(kDash);
}

}  // namespace

CNetworkTests TestGPS3dCombinedNetwork(const CGPS3dCombinedAdjust& net, const CTestSettings& settings) {
  const int r = net.m_Redundancy;
  const double meanVariance = MeanVariance(net);
  CNetworkTests t = UnitWeightAndGlobalTest(std::sqrt(meanVariance) / kCmPerM, net.m_PVVm2, r,
                                            Project().configuration.m_UseAprioriUnitWeight, settings,
                                            VectorPrecisions(net));
  if (r <= 0 || !(t.sigma0 > 0.0)) return t;
  t.snooping = DataSnooping(VectorGroups(net, meanVariance), *net.m_Normal, t.sigma0, t.sigmaHat, t.limits,
                            {0, net.m_PointCount, 3});
  return t;
}

CFrameParameters FrameParametersOf(const CGPS3dCombinedAdjust& net, const CNetworkTests& tests) {
  CFrameParameters p;
  const int u = net.m_UnknownCount;
  // m per unit cofactor: the estimated M0, or the a-priori sigma the report prints.
  const double s = tests.unitWeightEstimated ? tests.sigmaHat : tests.sigma0;
  for (int k = 0; k < 4; ++k) {
    const double unit = k < 3 ? CGPS3dCombinedAdjust::Rho() : 1e6;
    p.value[k] = -net.m_x[static_cast<size_t>(u - 4 + k)] * unit + 0.0;
    p.sigma[k] = s * std::sqrt(std::max(0.0, net.Qxx(u - 4 + k, u - 4 + k))) * unit;
  }
  return p;
}

bool WriteGPS3dCombinedTestReport(const CGPS3dCombinedAdjust& net, const CTestSettings& settings,
                                  CTestVerdicts* verdicts) {
  const CNetworkTests tests = TestGPS3dCombinedNetwork(net, settings);
  CTestReportNames names;
  names.dash = kDash.c_str();
  names.pointNames = net.m_PointName;
  names.from = net.m_From;
  names.to = net.m_To;
  names.components = {"DX", "DY", "DZ"};
  auto notes = [](CReportFile& f) {
    f.Write(T(u8"注: 已知点的已知分量按约束权(近于固定)参与平差，不作粗差检验；影响(cm)为最小可探测粗差使点位移动的最大值。\n"));
  };
  return WriteTestReport(TestReportPath(net.m_ResultFile.Path()), names,
                         Format(T(u8"%s 椭球面三维平差统计检验"), Project().projectName.c_str()), net.m_Redundancy,
                         settings, tests, kCmPerM, notes,
                         [&](CReportFile& f) {
                           WriteConfidenceRegions(f, net, tests, settings);
                           WriteFrameParameters(f, net, tests, settings);
                         },
                         verdicts);
}

}  // namespace vemo

#include "adjust2d/GPS2dNetTests.h"

#include <cmath>

#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "project/AppState.h"

namespace vemo {

namespace {

const char* const kDash =
    "--------------------------------------------------------------------------------------\n";
constexpr double kCmPerM = 100.0;

// The error ellipses of the result file (grid x, y; direction from the x axis) beside the
// ones at the chosen probability.
void WriteConfidenceEllipses(CReportFile& f, const CGPS2dNetAdjust& net, const CNetworkTests& tests,
                             const CTestSettings& settings) {
  const CConfidenceFactors k = ConfidenceFactors(settings.confidence, net.m_Redundancy, tests.unitWeightEstimated);
  // cm per unit cofactor: M0 when it was estimated; otherwise the a-priori sigma the report
  // prints (the covariances' own), not the result file's fixed 1 cm.
  const double s = (tests.unitWeightEstimated || !(tests.sigma0 > 0.0) ? net.m_M0m : tests.sigma0) * kCmPerM;
  f.Write(kDash);
  f.Printf(T(u8"          置信误差椭圆(置信概率%.2f%%; 因子%.3f; %s)\n"), settings.confidence * 100.0, k.ellipse,
           UnitWeightBasis(tests));
  f.Write(kDash);
  f.Write(T(u8" No.             Name       E(cm)     F(cm)      T(dms)   置信E(cm)   置信F(cm)\n"));
  f.Write(kDash);
  for (int i = net.m_KnownPointCount; i < net.m_PointCount; ++i) {
    const int index[2] = {net.UnknownOf(i), net.UnknownOf(i) + 1};
    double Q[4];
    net.m_Normal->Cofactors(index, 2, Q);
    const CEllipse e = ErrorEllipse(Q[0] * s * s, Q[3] * s * s, Q[2] * s * s);
    f.Printf("%4d %16s %10.2lf %10.2lf %12.4lf %10.2lf %10.2lf\n", i + 1, net.m_PointName[i].c_str(), e.major,
             e.minor, RadianToDms(e.direction, 4, 180.0), e.major * k.ellipse, e.minor * k.ellipse);
  }
  f.Write(kDash);
}

}  // namespace

CNetworkTests TestGPS2dNetwork(const CGPS2dNetAdjust& net, const CTestSettings& settings) {
  CNetworkTests t;
  const int r = net.m_Redundancy;
  // The plane vectors' covariances are the 3D ones (cm²) carried onto the plane; the
  // adjustment's lengths are in m.
  t.sigma0 = std::sqrt(net.m_MeanVariance) / kCmPerM;
  if (r > 0) t.sigmaHat = std::sqrt(net.m_PVVm2 / r);
  t.unitWeightEstimated = r > 0 && !Project().configuration.m_UseAprioriUnitWeight;
  if (!(t.sigma0 > 0.0) || !net.m_WithTransformation) return t;
  t.limits = SnoopingLimits(r, settings);
  t.global = GlobalModelTest(net.m_PVVm2 / (t.sigma0 * t.sigma0), r, t.limits);
  std::vector<CVectorPrecision> precisions;
  for (int j = 0; j < net.m_VectorCount; ++j)
    precisions.push_back({std::sqrt((net.m_Dxx[j] + net.m_Dyy[j]) / 2.0) * 10.0,
                          std::hypot(net.m_DX[j], net.m_DY[j]) / 1000.0});  // cm² -> mm; m -> km
  t.plausibility = CheckPlausibility(precisions, t.global);
  if (r <= 0) return t;

  // The final rotation and scale unknowns: DX = c dX + s dY, DY = -s dX + c dY.
  const int u = net.m_UnknownCount;
  const double c = net.m_x[static_cast<size_t>(u - 2)], s = net.m_x[static_cast<size_t>(u - 1)];
  std::vector<CObservationGroup> groups(static_cast<size_t>(net.m_VectorCount));
  for (int j = 0; j < net.m_VectorCount; ++j) {
    CObservationGroup& g = groups[static_cast<size_t>(j)];
    g.dimension = 2;
    const int from = net.m_From[j], to = net.m_To[j];
    const double dx = net.m_X[to] - net.m_X[from], dy = net.m_Y[to] - net.m_Y[from];
    g.v[0] = c * dx + s * dy - net.m_DX[j];
    g.v[1] = -s * dx + c * dy - net.m_DY[j];
    g.Ql[0][0] = net.m_Dxx[j] / net.m_MeanVariance;
    g.Ql[0][1] = g.Ql[1][0] = net.m_Dxy[j] / net.m_MeanVariance;
    g.Ql[1][1] = net.m_Dyy[j] / net.m_MeanVariance;
    double a[2][6], l[2];
    net.VectorRows(j, g.index, a, l);
    for (int row = 0; row < 2; ++row)
      for (int col = 0; col < 6; ++col) g.a[row][col] = a[row][col];
  }
  t.snooping = DataSnooping(groups, *net.m_Normal, t.sigma0, t.sigmaHat, t.limits,
                            {net.m_KnownPointCount, net.m_PointCount, 2});
  return t;
}

bool WriteGPS2dTestReport(const CGPS2dNetAdjust& net, const CTestSettings& settings, CTestVerdicts* verdicts) {
  const CNetworkTests tests = TestGPS2dNetwork(net, settings);
  CTestReportNames names;
  names.dash = kDash;
  names.pointNames = net.m_PointName;
  names.from = net.m_From;
  names.to = net.m_To;
  names.components = {"DX", "DY"};
  auto notes = [&](CReportFile& f) {
    if (net.m_DistanceCount + net.m_AzimuthCount > 0)
      f.Write(T(u8"注: 地面边长按1/σ^2(σ以cm计)、地面方位角按1/σ^2(σ以秒计)定权，与GPS基线向量的单位权一致时，"
                u8"全局检验才严格成立。\n"));
  };
  return WriteTestReport(
      TestReportPath(net.m_ResultFile.Path()), names, Format(T(u8"%s 二维网平差统计检验"), Project().projectName.c_str()),
      net.m_Redundancy, settings, tests, kCmPerM, notes,
      [&](CReportFile& f) {
        WriteConfidenceEllipses(f, net, tests, settings);
        net.WriteWeightedDatumTests(f, tests);
      },
      verdicts);
}

}  // namespace vemo

#include "adjust3d/GPS3dNetTests.h"

#include <cmath>

#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "project/AppState.h"

namespace vemo {

namespace {

const char* const kDash =
    "------------------------------------------------------------------------------------------------\n";

// Vector covariances are in cm², lengths of the adjustment in mm.
constexpr double kMmPerCm = 10.0;

// The confidence regions of every unknown point in the local horizon (north, east, up) at the
// point: the horizontal ellipse with its azimuth from north, the vertical interval and the
// semi-axes of the ellipsoid, each standard (M0, as the result file) and at the probability.
void WriteConfidenceRegions(CReportFile& f, const CGPS3dNetAdjust& net, const CNetworkTests& tests,
                            const CTestSettings& settings) {
  const CConfidenceFactors k = ConfidenceFactors(settings.confidence, net.m_Redundancy, tests.unitWeightEstimated);
  const CGPSConfiguration& c = Project().configuration;
  GPSTransfer geodetic(0);
  geodetic.m_a = c.m_CurrentCoorsSystem.m_a;
  geodetic.m_InvF = c.m_CurrentCoorsSystem.m_InvF;
  // cm per unit cofactor: M0 when it was estimated; otherwise the a-priori sigma the report
  // prints (the covariances' own), not the result file's fixed 1 cm.
  const double s = (tests.unitWeightEstimated || !(tests.sigma0 > 0.0) ? net.m_M0mm : tests.sigma0) / kMmPerCm;
  f.Write(kDash);
  f.Printf(T(u8"          点位置信区域(置信概率%.2f%%; 因子: 一维%.3f 二维%.3f 三维%.3f; %s)\n"),
           settings.confidence * 100.0, k.interval, k.ellipse, k.ellipsoid,
           UnitWeightBasis(tests));
  f.Write(kDash);
  f.Write(T(u8" No.             Name   A(cm)   B(cm)   Az(dms)   mU(cm)  置信A   置信B  置信±U  椭球1   椭球2   椭球3\n"));
  f.Write(kDash);
  for (int i = net.m_KnownPointCount; i < net.m_PointCount; ++i) {
    geodetic.m_X = net.m_X[i], geodetic.m_Y = net.m_Y[i], geodetic.m_Z = net.m_Z[i];
    if (!geodetic.XYZBLH()) continue;  // a point on the polar axis has no horizon
    const double sb = std::sin(geodetic.m_B), cb = std::cos(geodetic.m_B);
    const double sl = std::sin(geodetic.m_L), cl = std::cos(geodetic.m_L);
    const double R[3][3] = {{-sb * cl, -sb * sl, cb}, {-sl, cl, 0.0}, {cb * cl, cb * sl, sb}};  // N, E, U
    const int p = net.UnknownOf(i);
    double Q[3][3], local[3][3] = {};
    const int index[3] = {p, p + 1, p + 2};
    net.m_Normal->Cofactors(index, 3, &Q[0][0]);
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b)
        for (int m = 0; m < 3; ++m)
          for (int n = 0; n < 3; ++n) local[a][b] += R[a][m] * Q[m][n] * R[b][n] * s * s;
    const CEllipse e = ErrorEllipse(local[0][0], local[1][1], local[0][1]);
    const double mU = std::sqrt(std::max(0.0, local[2][2]));
    double axes[3];
    EllipsoidAxes(local, axes);
    f.Printf("%4d %16s %7.2f %7.2f %9.4f %8.2f %7.2f %7.2f %7.2f %7.2f %7.2f %7.2f\n", i + 1,
             net.m_PointName[i].c_str(), e.major, e.minor, RadianToDms(e.direction, 4, 180.0), mU, e.major * k.ellipse,
             e.minor * k.ellipse, mU * k.interval, axes[0] * k.ellipsoid, axes[1] * k.ellipsoid, axes[2] * k.ellipsoid);
  }
  f.Write(kDash);
}

}  // namespace

CNetworkTests TestGPS3dNetwork(const CGPS3dNetAdjust& net, const CTestSettings& settings) {
  CNetworkTests t;
  const int r = net.m_Redundancy;
  t.sigma0 = std::sqrt(net.m_MeanVariance) * kMmPerCm;
  if (r > 0) t.sigmaHat = std::sqrt(net.m_PVVmm2 / r);
  t.unitWeightEstimated = r > 0 && !Project().configuration.m_UseAprioriUnitWeight;
  if (!(t.sigma0 > 0.0)) return t;
  t.limits = SnoopingLimits(r, settings);
  t.global = GlobalModelTest(net.m_PVVmm2 / (t.sigma0 * t.sigma0), r, t.limits);
  std::vector<CVectorPrecision> precisions;
  for (int j = 0; j < net.m_VectorCount; ++j) {
    const double length = std::sqrt(net.m_DX[j] * net.m_DX[j] + net.m_DY[j] * net.m_DY[j] + net.m_DZ[j] * net.m_DZ[j]);
    precisions.push_back({std::sqrt((net.m_Dxx[j] + net.m_Dyy[j] + net.m_Dzz[j]) / 3.0) * kMmPerCm, length / 1000.0});
  }
  t.plausibility = CheckPlausibility(precisions, t.global);
  if (r <= 0) return t;

  std::vector<CObservationGroup> groups(static_cast<size_t>(net.m_VectorCount));
  for (int j = 0; j < net.m_VectorCount; ++j) {
    CObservationGroup& g = groups[static_cast<size_t>(j)];
    const int from = net.m_From[j], to = net.m_To[j];
    g.v[0] = ((net.m_X[to] - net.m_X[from]) - net.m_DX[j]) * 1000.0;
    g.v[1] = ((net.m_Y[to] - net.m_Y[from]) - net.m_DY[j]) * 1000.0;
    g.v[2] = ((net.m_Z[to] - net.m_Z[from]) - net.m_DZ[j]) * 1000.0;
    const double Q[3][3] = {{net.m_Dxx[j], net.m_Dxy[j], net.m_Dxz[j]},
                            {net.m_Dxy[j], net.m_Dyy[j], net.m_Dyz[j]},
                            {net.m_Dxz[j], net.m_Dyz[j], net.m_Dzz[j]}};
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b) g.Ql[a][b] = Q[a][b] / net.m_MeanVariance;
    net.VectorUnknowns(j, g.index);
    // The design of a vector is [-I | +I] on its start and end.
    for (int c = 0; c < 3; ++c) {
      g.a[c][c] = -1.0;
      g.a[c][c + 3] = 1.0;
    }
  }
  t.snooping = DataSnooping(groups, *net.m_Normal, t.sigma0, t.sigmaHat, t.limits,
                            {net.m_KnownPointCount, net.m_PointCount, 3});
  return t;
}

bool WriteGPS3dTestReport(const CGPS3dNetAdjust& net, const CTestSettings& settings, CTestVerdicts* verdicts) {
  const CNetworkTests tests = TestGPS3dNetwork(net, settings);
  CTestReportNames names;
  names.dash = kDash;
  names.pointNames = net.m_PointName;
  names.from = net.m_From;
  names.to = net.m_To;
  names.components = {"DX", "DY", "DZ"};
  return WriteTestReport(
      TestReportPath(net.m_ResultFile.Path()), names, Format(T(u8"%s 三维网平差统计检验"), Project().projectName.c_str()),
      net.m_Redundancy, settings, tests, 1.0 / kMmPerCm, [](CReportFile&) {},
      [&](CReportFile& f) {
        WriteConfidenceRegions(f, net, tests, settings);
        net.WriteWeightedDatumTests(f, tests);
      }, verdicts);
}

}  // namespace vemo

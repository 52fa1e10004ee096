#include "adjust3d/GPS3dNetTests.h"

#include <algorithm>
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
  std::vector<CLocalRegion> rows;
  for (int i = net.m_KnownPointCount; i < net.m_PointCount; ++i) {
    geodetic.m_X = net.m_X[i], geodetic.m_Y = net.m_Y[i], geodetic.m_Z = net.m_Z[i];
    if (!geodetic.XYZBLH()) continue;  // a point on the polar axis has no horizon
    const std::array<double, 9> frame = LocalFrameRows(geodetic.m_B, geodetic.m_L);  // N, E, U
    double R[3][3];
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b) R[a][b] = frame[static_cast<size_t>(a * 3 + b)];
    const int p = net.UnknownOf(i);
    double Q[3][3];
    CLocalRegion& row = rows.emplace_back(CLocalRegion{i + 1, net.m_PointName[i], {}});
    const int index[3] = {p, p + 1, p + 2};
    net.m_Normal->Cofactors(index, 3, &Q[0][0]);
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b)
        for (int m = 0; m < 3; ++m)
          for (int n = 0; n < 3; ++n) row.covariance[a][b] += R[a][m] * Q[m][n] * R[b][n] * s * s;
  }
  WriteLocalConfidenceRegions(f, kDash, k, settings, tests, rows);
}

// The rows of the local north, east and up at geocentric X, Y, Z on the project's
// ellipsoid; false on the polar axis.
bool LocalAxes(double X, double Y, double Z, double R[3][3]) {
  const CGPSConfiguration& c = Project().configuration;
  GPSTransfer geodetic(0);
  geodetic.m_a = c.m_CurrentCoorsSystem.m_a;
  geodetic.m_InvF = c.m_CurrentCoorsSystem.m_InvF;
  geodetic.m_X = X, geodetic.m_Y = Y, geodetic.m_Z = Z;
  if (!geodetic.XYZBLH()) return false;
  const std::array<double, 9> rows = LocalFrameRows(geodetic.m_B, geodetic.m_L);
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b) R[a][b] = rows[static_cast<size_t>(a * 3 + b)];
  return true;
}

// Vector j as an observation group (g as constructed): residuals in mm, their cofactors, the
// design [-I | +I].
void VectorGroup(const CGPS3dNetAdjust& net, int j, CObservationGroup& g) {
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

// Vectors first to end - 1 as observation groups.
std::vector<CObservationGroup> VectorGroups(const CGPS3dNetAdjust& net, int first, int end) {
  std::vector<CObservationGroup> groups(static_cast<size_t>(end - first));
  for (int j = first; j < end; ++j) VectorGroup(net, j, groups[static_cast<size_t>(j - first)]);
  return groups;
}

const char* const kLocalAxes[3] = {"wE", "wN", "wU"};
const char* const kKnownAxes[3] = {"dN", "dE", "dU"};

}  // namespace

void WriteLocalConfidenceRegions(CReportFile& f, const char* dash, const CConfidenceFactors& k,
                                 const CTestSettings& settings, const CNetworkTests& tests,
                                 const std::vector<CLocalRegion>& rows) {
  f.Write(dash);
  f.Printf(T(u8"          点位置信区域(置信概率%.2f%%; 因子: 一维%.3f 二维%.3f 三维%.3f; %s)\n"),
           settings.confidence * 100.0, k.interval, k.ellipse, k.ellipsoid,
           UnitWeightBasis(tests));
  f.Write(dash);
  f.Write(T(u8" No.             Name   A(cm)   B(cm)   Az(dms)   mU(cm)  置信A   置信B  置信±U  椭球1   椭球2   椭球3\n"));
  f.Write(dash);
  for (const CLocalRegion& row : rows) {
    const auto& local = row.covariance;
    const CEllipse e = ErrorEllipse(local[0][0], local[1][1], local[0][1]);
    const double mU = std::sqrt(std::max(0.0, local[2][2]));
    double axes[3];
    EllipsoidAxes(local, axes);
    f.Printf("%4d %16s %7.2f %7.2f %9.4f %8.2f %7.2f %7.2f %7.2f %7.2f %7.2f %7.2f\n", row.number,
             row.name.c_str(), e.major, e.minor, RadianToDms(e.direction, 4, 180.0), mU, e.major * k.ellipse,
             e.minor * k.ellipse, mU * k.interval, axes[0] * k.ellipsoid, axes[1] * k.ellipsoid, axes[2] * k.ellipsoid);
  }
  f.Write(dash);
}

CNetworkTests TestGPS3dNetwork(const CGPS3dNetAdjust& net, const CTestSettings& settings) {
  const int r = net.m_Redundancy;
  CNetworkTests t = UnitWeightAndGlobalTest(std::sqrt(net.m_MeanVariance) * kMmPerCm, net.m_PVVmm2, r,
                                            Project().configuration.m_UseAprioriUnitWeight, settings,
                                            VectorPrecisions(net));
  if (r <= 0 || !(t.sigma0 > 0.0)) return t;

  t.snooping = DataSnooping(
      static_cast<size_t>(net.m_VectorCount),
      [&](size_t j, CObservationGroup& g) { VectorGroup(net, static_cast<int>(j), g); }, *net.m_Normal, t.sigma0,
      t.sigmaHat, t.limits, {net.m_KnownPointCount, net.m_PointCount, 3, net.m_Layout.weighted});
  return t;
}

CGPS3dGroupTests TestGPS3dVectorsAndKnownPoints(const CGPS3dNetAdjust& net, const CTestSettings& settings,
                                                const CNetworkTests& tests) {
  CGPS3dGroupTests result;
  if (!tests.global.defined) return result;
  result.defined = true;
  // The whole vectors, each in the local frame at its midpoint (east, north, up); a batch at a
  // time, so that a large network does not hold the groups of all its vectors at once.
  result.vectorLimit = MultipleTestLimit(3, tests.limits, settings.power);
  constexpr int kBatch = 4096;
  for (int first = 0; first < net.m_VectorCount; first += kBatch) {
    const int end = std::min(net.m_VectorCount, first + kBatch);
    std::vector<std::array<double, 9>> axes(static_cast<size_t>(end - first));
    for (int j = first; j < end; ++j) {
      const int f = net.m_From[j], t = net.m_To[j];
      double R[3][3] = {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}};  // X, Y, Z as they are on the polar axis
      LocalAxes((net.m_X[f] + net.m_X[t]) / 2, (net.m_Y[f] + net.m_Y[t]) / 2, (net.m_Z[f] + net.m_Z[t]) / 2, R);
      std::array<double, 9>& a = axes[static_cast<size_t>(j - first)];
      for (int c = 0; c < 3; ++c)
        a[static_cast<size_t>(c)] = R[1][c], a[static_cast<size_t>(3 + c)] = R[0][c], a[static_cast<size_t>(6 + c)] = R[2][c];
    }
    const std::vector<CGroupTest> batch =
        WholeGroupTests(VectorGroups(net, first, end), axes, *net.m_Normal, tests.sigma0, result.vectorLimit);
    result.vectors.insert(result.vectors.end(), batch.begin(), batch.end());
  }

  // Each known point against the network held at the others.
  CKnownPointTests& known = result.known;
  known.limit = MultipleTestLimit(3, tests.limits, settings.power);
  std::vector<std::vector<CKnownPointTerm>> terms(static_cast<size_t>(net.m_KnownPointCount));
  for (int j = 0; j < net.m_VectorCount; ++j)
    for (int end = 0; end < 2; ++end) {
      const int point = end == 0 ? net.m_From[j] : net.m_To[j];
      // A weighted known point is an unknown: its corrections are tested with the weighted datum.
      if (point >= net.m_KnownPointCount || net.UnknownOf(point) >= 0) continue;
      CKnownPointTerm& term = terms[static_cast<size_t>(point)].emplace_back();
      VectorGroup(net, j, term.group);
      for (int c = 0; c < 3; ++c) term.known[c][c] = end == 0 ? -1.0 : 1.0;
    }
  for (int i = 0; i < net.m_KnownPointCount; ++i) {
    if (net.UnknownOf(i) >= 0) continue;
    CKnownPointTest t = KnownPointTest(terms[static_cast<size_t>(i)], 3, *net.m_Normal, tests.sigma0, known.limit);
    double R[3][3];
    if (t.defined && LocalAxes(net.m_X[i], net.m_Y[i], net.m_Z[i], R)) {
      double local[3] = {};
      for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) local[a] += R[a][b] * t.discrepancy[b];
      for (int a = 0; a < 3; ++a) t.discrepancy[a] = local[a];
    }
    known.Add(i, t);
  }
  return result;
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
        const CGPS3dGroupTests groups = TestGPS3dVectorsAndKnownPoints(net, settings, tests);
        if (!groups.defined) return;
        WriteWholeGroupTests(f, false, names, T(u8"基线向量整体检验(三分量同时; 各分量按基线中点的站心坐标系E,N,U检验)"),
                             kLocalAxes, groups.vectors, groups.vectorLimit);
        WriteKnownPointTests(f, true, kDash, net.m_PointName, kKnownAxes, groups.known, 1.0 / kMmPerCm);
      },
      verdicts);
}

}  // namespace vemo

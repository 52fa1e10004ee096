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

// Each vector as an observation group in the GPS frame of the model, at the final rotation and
// scale: DX = c dX + s dY, DY = -s dX + c dY. The design holds the columns of known ends too
// (their unknown index is negative), which the known points' test reads.
// Vector j's group (g as constructed).
void VectorGroup(const CGPS2dNetAdjust& net, int j, CObservationGroup& g) {
  const int u = net.m_UnknownCount;
  const double c = net.m_x[static_cast<size_t>(u - 2)], s = net.m_x[static_cast<size_t>(u - 1)];
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

// A ground distance or azimuth as a group of one component, at the adjusted coordinates
// (where its misclosure is its residual), with the weight the adjustment gave it.
struct CGroundGroup {
  CObservationGroup group;
  int from = 0, to = 0;
};
std::vector<CGroundGroup> GroundGroups(const CGPS2dNetAdjust& net) {
  std::vector<CGroundGroup> groups;
  auto add = [&](int from, int to, auto row) {
    CGroundGroup& g = groups.emplace_back();
    g.from = from, g.to = to;
    g.group.dimension = 1;
    double a[4], l, p;
    row(g.group.index, a, l, p);
    g.group.v[0] = l;
    g.group.Ql[0][0] = 1.0 / p;
    for (int col = 0; col < 4; ++col) g.group.a[0][col] = a[col];
  };
  for (int j = 0; j < net.m_DistanceCount; ++j)
    add(net.m_DistanceFrom[j], net.m_DistanceTo[j],
        [&](int* index, double* a, double& l, double& p) { net.DistanceRow(j, index, a, l, p); });
  for (int j = 0; j < net.m_AzimuthCount; ++j)
    add(net.m_AzimuthFrom[j], net.m_AzimuthTo[j],
        [&](int* index, double* a, double& l, double& p) { net.AzimuthRow(j, index, a, l, p); });
  return groups;
}

const char* const kKnownAxes[3] = {"dx", "dy", ""};

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

  t.snooping = DataSnooping(
      static_cast<size_t>(net.m_VectorCount),
      [&](size_t j, CObservationGroup& g) { VectorGroup(net, static_cast<int>(j), g); }, *net.m_Normal, t.sigma0,
      t.sigmaHat, t.limits, {net.m_KnownPointCount, net.m_PointCount, 2, net.m_Layout.weighted});
  return t;
}

CGPS2dMoreTests TestGPS2dGroundAndKnownPoints(const CGPS2dNetAdjust& net, const CTestSettings& settings,
                                              const CNetworkTests& tests) {
  CGPS2dMoreTests result;
  if (!tests.global.defined || !net.m_WithTransformation) return result;
  result.defined = true;
  const std::vector<CGroundGroup> ground = GroundGroups(net);
  std::vector<CObservationGroup> groups;
  for (const CGroundGroup& g : ground) groups.push_back(g.group);
  const CPointUnknowns layout{net.m_KnownPointCount, net.m_PointCount, 2, net.m_Layout.weighted};
  result.ground = DataSnooping(groups, *net.m_Normal, tests.sigma0, tests.sigmaHat, tests.limits, layout);

  // Every observation that reaches a known point pulls it; its columns in the design are the
  // ones whose unknown index is negative at that end.
  CKnownPointTests& known = result.known;
  known.limit = MultipleTestLimit(2, tests.limits, settings.power);
  std::vector<std::vector<CKnownPointTerm>> terms(static_cast<size_t>(net.m_KnownPointCount));
  // A weighted known point is an unknown: its corrections are tested with the weighted datum.
  auto held = [&](int point) { return point < net.m_KnownPointCount && net.UnknownOf(point) < 0; };
  auto reach = [&](const CObservationGroup& group, int from, int to, int toColumn) {
    for (int end = 0; end < 2; ++end) {
      const int point = end == 0 ? from : to;
      if (!held(point)) continue;
      CKnownPointTerm& term = terms[static_cast<size_t>(point)].emplace_back();
      term.group = group;
      const int column = end == 0 ? 0 : toColumn;
      for (int r = 0; r < group.dimension; ++r)
        for (int c = 0; c < 2; ++c) term.known[r][c] = group.a[r][column + c];
    }
  };
  for (int j = 0; j < net.m_VectorCount; ++j) {
    if (!held(net.m_From[j]) && !held(net.m_To[j])) continue;  // only the known points' vectors
    CObservationGroup group;
    VectorGroup(net, j, group);
    reach(group, net.m_From[j], net.m_To[j], 2);
  }
  for (const CGroundGroup& g : ground) reach(g.group, g.from, g.to, 2);
  for (int i = 0; i < net.m_KnownPointCount; ++i) {
    if (net.UnknownOf(i) >= 0) continue;
    const CKnownPointTest t = KnownPointTest(terms[static_cast<size_t>(i)], 2, *net.m_Normal, tests.sigma0, known.limit);
    known.Add(i, t);
  }
  return result;
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
        const CGPS2dMoreTests more = TestGPS2dGroundAndKnownPoints(net, settings, tests);
        if (!more.defined) return;
        if (!more.ground.groups.empty()) {
          CSingleObservationRows rows;
          rows.titleGbk = T(u8"地面边长与地面方位角的粗差探测与可靠性(边长V、MDB以cm计，方位角以秒计)");
          rows.headerGbk = T(u8" No.            From               To 类型          V    r_i        w      tau      MDB "
                             u8"影响(cm)           影响点 检验\n");
          rows.conclusionGbk = T(u8"检验结论(地面观测): ");
          rows.nounGbk = T(u8"个地面观测");
          const std::vector<CGroundGroup> ground = GroundGroups(net);
          for (size_t g = 0; g < ground.size(); ++g) {
            const bool distance = static_cast<int>(g) < net.m_DistanceCount;
            const char* from = net.m_PointName[ground[g].from].c_str();
            const char* to = net.m_PointName[ground[g].to].c_str();
            rows.labels.push_back(Format("%16s %16s %-6s", from, to, distance ? T(u8"边长") : T(u8"方位角")));
            rows.toReport.push_back(distance ? kCmPerM : 1.0);
            const int number = distance ? static_cast<int>(g) + 1 : static_cast<int>(g) - net.m_DistanceCount + 1;
            rows.namesGbk.push_back(Format(distance ? T(u8"第%d条地面边长 %s->%s") : T(u8"第%d个地面方位角 %s->%s"),
                                           number, from, to));
          }
          WriteSingleObservationSnooping(f, false, kDash, rows, more.ground, kCmPerM, net.m_PointName);
        }
        WriteKnownPointTests(f, !more.ground.groups.empty(), kDash, net.m_PointName, kKnownAxes, more.known, kCmPerM);
      },
      verdicts);
}

}  // namespace vemo

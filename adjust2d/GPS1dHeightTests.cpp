#include "adjust2d/GPS1dHeightTests.h"

#include <algorithm>
#include <cmath>

#include "adjust/NormalEquations.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {

namespace {

const char* const kDash = "----------------------------------------------------------------------------------\n";
constexpr double kCmPerM = 100.0;

// The model's rows on latitudes and longitudes in km from the known points' centre: the same
// polynomials as the fit's (a change of variables leaves the residuals and their cofactors as
// they are), with a design that keeps its digits.
class CHeightDesign {
 public:
  explicit CHeightDesign(const CGPS1dHeightFit& fit) : m_u(fit.m_u) {
    for (int j = 0; j < fit.m_KnownCount; ++j) {
      const int i = fit.m_KnownPoint[static_cast<size_t>(j)];
      m_B0 += fit.m_B[i] / fit.m_KnownCount, m_L0 += fit.m_L[i] / fit.m_KnownCount;
    }
    m_cos = std::cos(m_B0);
  }
  void Row(double B, double L, double* a) const {
    constexpr double kKmPerRadian = 6371.0;
    const double b = (B - m_B0) * kKmPerRadian, l = (L - m_L0) * kKmPerRadian * m_cos;
    const double all[6] = {1.0, b, l, b * b, l * l, b * l};
    for (int p = 0; p < m_u; ++p) a[p] = all[p];
  }

 private:
  int m_u;
  double m_B0 = 0.0, m_L0 = 0.0, m_cos = 1.0;
};

// The fit as observation groups (one known height each, weight 1) with the cofactors of its
// coefficients.
struct CHeightModel {
  CHeightDesign design;
  std::vector<CObservationGroup> groups;
  CDenseNormalEquations normal;
  double Q[36] = {};
  bool solved = false;

  explicit CHeightModel(const CGPS1dHeightFit& fit) : design(fit) {
    const int u = fit.m_u;
    normal.ScaleToUnitDiagonal(true);
    normal.Allocate(u);
    groups.resize(static_cast<size_t>(fit.m_KnownCount));
    for (int j = 0; j < fit.m_KnownCount; ++j) {
      const int i = fit.m_KnownPoint[static_cast<size_t>(j)];
      CObservationGroup& g = groups[static_cast<size_t>(j)];
      g.dimension = 1;
      g.Ql[0][0] = 1.0;
      // The fitted anomaly less the observed one (H - h).
      g.v[0] = fit.Anomaly(fit.m_B[i], fit.m_L[i]) - (fit.m_H[i] - fit.m_KnownH[static_cast<size_t>(j)]);
      design.Row(fit.m_B[i], fit.m_L[i], g.a[0]);
      double block[36], rhs[6] = {};
      for (int p = 0; p < u; ++p) {
        g.index[p] = p;
        for (int q = 0; q < u; ++q) block[p * u + q] = g.a[0][p] * g.a[0][q];
      }
      normal.Add(g.index, u, block, rhs);
    }
    solved = normal.Factorize() != 0;  // the fit refused a set of known points that fails here
    if (!solved) return;
    std::vector<int> all(static_cast<size_t>(u));
    for (int p = 0; p < u; ++p) all[static_cast<size_t>(p)] = p;
    normal.Cofactors(all.data(), u, Q);
  }
  // a_i Qxx b for the row of point i.
  double Along(const CGPS1dHeightFit& fit, int i, const double* b) const {
    double a[6], sum = 0.0;
    design.Row(fit.m_B[i], fit.m_L[i], a);
    for (int p = 0; p < fit.m_u; ++p)
      for (int q = 0; q < fit.m_u; ++q) sum += a[p] * Q[p * fit.m_u + q] * b[q];
    return sum;
  }
};

// The standard error of every fitted height and its interval at the confidence probability.
void WriteFittedIntervals(CReportFile& f, const CGPS1dHeightFit& fit, const CNetworkTests& tests,
                          const CTestSettings& settings) {
  const CHeightModel model(fit);
  if (!model.solved) return;
  const double k = ConfidenceFactors(settings.confidence, fit.m_Redundancy, tests.unitWeightEstimated).interval;
  const double s = (tests.unitWeightEstimated ? tests.sigmaHat : tests.sigma0) * kCmPerM;
  f.Write(kDash);
  f.Printf(T(u8"          拟合正常高的中误差与置信区间(置信概率%.2f%%; 因子%.3f; %s)\n"), settings.confidence * 100.0, k,
           UnitWeightBasis(tests));
  f.Write(kDash);
  f.Write(T(u8"            点名       中误差(cm)   置信区间±(cm)\n"));
  f.Write(kDash);
  for (int i = 0; i < fit.m_PointCount; ++i) {
    double a[6];
    model.design.Row(fit.m_B[i], fit.m_L[i], a);
    const double m = s * std::sqrt(std::max(0.0, model.Along(fit, i, a)));
    f.Printf("%16s %15.2f %15.2f\n", fit.m_PointName[i].c_str(), m, m * k);
  }
  f.Write(kDash);
}

}  // namespace

CNetworkTests TestGPS1dHeights(const CGPS1dHeightFit& fit, const CTestSettings& settings, double sigma0Cm) {
  CNetworkTests t;
  const int r = fit.m_Redundancy;
  t.sigma0 = sigma0Cm / kCmPerM;
  if (r > 0) t.sigmaHat = std::sqrt(fit.m_PVVm2 / r);
  t.unitWeightEstimated = r > 0;
  t.limits = SnoopingLimits(r, settings);
  t.global = GlobalModelTest(fit.m_PVVm2 / (t.sigma0 * t.sigma0), r, t.limits);
  if (r <= 0) return t;

  const CHeightModel model(fit);
  if (!model.solved) return t;
  // No point of the fit is an unknown: the effect is taken on the fitted heights below.
  t.snooping = DataSnooping(model.groups, model.normal, t.sigma0, t.sigmaHat, t.limits, {0, 0, 1});
  // A bias b in known height j moves the coefficients by Qxx a_j^T b and the fitted height of
  // point i by a_i Qxx a_j^T b.
  for (int j = 0; j < fit.m_KnownCount; ++j) {
    CComponentTest& c = t.snooping.groups[static_cast<size_t>(j)][0];
    if (!c.controlled) continue;
    for (int i = 0; i < fit.m_PointCount; ++i) {
      const double moved = std::fabs(model.Along(fit, i, model.groups[static_cast<size_t>(j)].a[0]) * c.mdb);
      if (moved > c.effect) c.effect = moved, c.effectPoint = i;
    }
  }
  return t;
}

bool WriteGPS1dTestReport(const CGPS1dHeightFit& fit, const CTestSettings& settings, double sigma0Cm,
                          CTestVerdicts* verdicts) {
  const CNetworkTests tests = TestGPS1dHeights(fit, settings, sigma0Cm);
  const std::string path = TestReportPath(fit.m_ResultFile.Path());
  CReportFile f;
  if (!f.Create(path)) {
    ShowMessage(Format(UiText(u8"打开文件%s出错!"), PathToGbk(path).c_str()), AppTitle(), MessageIcon::Warning);
    return false;
  }
  WriteTestHeading(f, kDash, Format(T(u8"%s GPS高程拟合统计检验"), Project().projectName.c_str()), fit.m_Redundancy,
                   settings, tests, kCmPerM);
  f.Write(T(u8"注: 验前单位权中误差为已知点高程异常的验前中误差(水准、GPS大地高与模型误差之和)，由--sigma0给定。\n"));
  if (!tests.global.defined) {
    WriteNoRedundancy(f, kDash);
  } else {
    WriteGlobalTest(f, kDash, tests.global, tests.limits);
    CSingleObservationRows rows;
    rows.titleGbk = T(u8"已知高程点的粗差探测(数据探测法)与可靠性");
    rows.headerGbk = T(u8" No.             Name    V(cm)    r_i        w      tau  MDB(cm) 影响(cm)           影响点 检验\n");
    rows.conclusionGbk = T(u8"检验结论: ");
    rows.nounGbk = T(u8"个已知高程点");
    for (int j = 0; j < fit.m_KnownCount; ++j) {
      rows.labels.push_back(Format("%16s", fit.m_KnownName[static_cast<size_t>(j)].c_str()));
      rows.toReport.push_back(kCmPerM);
      rows.namesGbk.push_back(Format(T(u8"已知高程点%s"), fit.m_KnownName[static_cast<size_t>(j)].c_str()));
    }
    WriteSingleObservationSnooping(f, true, kDash, rows, tests.snooping, kCmPerM, fit.m_PointName);
  }
  WriteFittedIntervals(f, fit, tests, settings);
  if (verdicts) *verdicts = Verdicts(tests.global, tests.snooping);
  if (!f.Close()) {
    WriteFileError(path, AppTitle());
    return false;
  }
  return true;
}

}  // namespace vemo

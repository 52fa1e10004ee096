// GPS height fitting against a least-squares fit computed another way (Householder QR of the
// design matrix, in long double, about another centre), the edge cases of the redundancy and
// of the printed model, refused input, golden reports and the command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <numbers>
#include <sstream>

#include "adjust2d/GPS1dHeightFit.h"
#include "tests/adjust3d/AdjustFixture.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;
using Real = long double;

constexpr double kDegree = std::numbers::pi / 180.0;

// A point of the geodetic coordinate file, latitude 30°MM'SS.ssss" and longitude
// 114°MM'SS.ssss", so that the test knows B and L in radians without the library's D.MMSS
// conversion.
struct Site {
  std::string name;
  int bMinutes, bSeconds;  // seconds in units of 0.0001"
  int lMinutes, lSeconds;
  double H;  // ellipsoidal height, m
  double B() const { return (30.0 + bMinutes / 60.0 + bSeconds / 1e4 / 3600.0) * kDegree; }
  double L() const { return (114.0 + lMinutes / 60.0 + lSeconds / 1e4 / 3600.0) * kDegree; }
  std::string Line() const {
    return Format("%16s 30.%02d%06d 114.%02d%06d %12.4lf\n", name.c_str(), bMinutes, bSeconds, lMinutes, lSeconds, H);
  }
};

// Twelve points over about 10 x 12 km, in no particular pattern.
std::vector<Site> Sites() {
  const int grid[12][4] = {{25, 123400, 14, 561200}, {26, 405500, 19, 22000},  {27, 591000, 23, 300000},
                           {29, 101000, 15, 455000}, {30, 0, 20, 0},            {30, 472500, 24, 100000},
                           {32, 300000, 14, 200000}, {33, 150000, 18, 350000},  {34, 421000, 22, 515000},
                           {31, 555000, 16, 505000}, {28, 200000, 21, 400000},  {35, 80000, 24, 580000}};
  std::vector<Site> sites;
  for (int i = 0; i < 12; ++i)
    sites.push_back({Format("P%02d", i + 1), grid[i][0], grid[i][1], grid[i][2], grid[i][3], 20.0 + 3.7 * i});
  return sites;
}

// The anomaly surface of the tests about (30°30', 114°20'): about 12 m, tilting a few cm
// across the area, with a curvature of a few cm.
const double kB0 = 30.5 * kDegree, kL0 = (114.0 + 20.0 / 60.0) * kDegree;
double Surface(double B, double L) {
  const double b = B - kB0, l = L - kL0;
  return 12.0 + 30.0 * b + 20.0 * l + 4.0e4 * b * b - 2.5e4 * l * l + 3.0e4 * b * l;
}
// Levelling noise, a few mm, reproducible.
double Noise(int j) { return 0.004 * std::sin(7.3 * j + 1.1); }

// The least-squares fit written without the engine: design rows about (kB0, kL0) (the model
// space does not depend on the centre), a Householder QR factorisation in long double,
// R c = Q'y by back-substitution, and the residual sum of squares as the norm of the part of
// Q'y that R does not reach. The coefficients are then those of the polynomial in absolute
// B, L: its value and derivatives at B = L = 0.
struct Reference {
  std::vector<Real> centred;  // coefficients about (kB0, kL0)
  std::vector<Real> absolute;
  Real pvv = 0;
  Real Evaluate(double B, double L) const {
    const Real b = B - kB0, l = L - kL0;
    const Real row[6] = {1, b, l, b * b, l * l, b * l};
    Real z = 0;
    for (size_t p = 0; p < centred.size(); ++p) z += row[p] * centred[p];
    return z;
  }
};

Reference FitByQr(const std::vector<double>& B, const std::vector<double>& L, const std::vector<double>& zeta,
                  int u) {
  const size_t k = zeta.size(), n = static_cast<size_t>(u);
  std::vector<std::vector<Real>> A(k, std::vector<Real>(n));
  std::vector<Real> y(zeta.begin(), zeta.end());
  for (size_t j = 0; j < k; ++j) {
    const Real b = B[j] - kB0, l = L[j] - kL0;
    const Real row[6] = {1, b, l, b * b, l * l, b * l};
    for (size_t p = 0; p < n; ++p) A[j][p] = row[p];
  }
  for (size_t c = 0; c < n; ++c) {
    Real norm = 0;
    for (size_t j = c; j < k; ++j) norm += A[j][c] * A[j][c];
    norm = std::sqrt(norm);
    const Real alpha = A[c][c] > 0 ? -norm : norm;
    std::vector<Real> v(k, 0);
    for (size_t j = c; j < k; ++j) v[j] = A[j][c];
    v[c] -= alpha;
    Real vv = 0;
    for (size_t j = c; j < k; ++j) vv += v[j] * v[j];
    auto reflect = [&](auto&& get) {
      Real s = 0;
      for (size_t j = c; j < k; ++j) s += v[j] * get(j);
      s = 2 * s / vv;
      for (size_t j = c; j < k; ++j) get(j) -= s * v[j];
    };
    for (size_t d = c; d < n; ++d) reflect([&](size_t j) -> Real& { return A[j][d]; });
    reflect([&](size_t j) -> Real& { return y[j]; });
  }
  Reference ref;
  ref.centred.assign(n, 0);
  for (size_t p = n; p-- > 0;) {
    Real s = y[p];
    for (size_t q = p + 1; q < n; ++q) s -= A[p][q] * ref.centred[q];
    ref.centred[p] = s / A[p][p];
  }
  for (size_t j = n; j < k; ++j) ref.pvv += y[j] * y[j];
  // The polynomial about (kB0, kL0) at B = L = 0: value, first derivatives, the quadratic
  // terms unchanged.
  const std::vector<Real>& c = ref.centred;
  const Real b = -kB0, l = -kL0;
  ref.absolute = {ref.Evaluate(0.0, 0.0)};
  if (u >= 3) {
    ref.absolute.push_back(c[1] + (u == 6 ? 2 * c[3] * b + c[5] * l : 0));
    ref.absolute.push_back(c[2] + (u == 6 ? 2 * c[4] * l + c[5] * b : 0));
  }
  if (u == 6) ref.absolute.insert(ref.absolute.end(), {c[3], c[4], c[5]});
  return ref;
}

class HeightFit : public testing::Test {
 protected:
  // Writes the geodetic coordinates of the sites and the known heights of those listed, from
  // the anomaly given (plus noise when asked). The inputs are kept as the files give them.
  void WriteProject(const std::vector<int>& known, double (*anomaly)(double, double), bool noisy) {
    sites = Sites();
    std::string blh, heights;
    for (const Site& s : sites) blh += s.Line();
    knownB.clear(), knownL.clear(), knownZeta.clear();
    for (size_t j = 0; j < known.size(); ++j) {
      const Site& s = sites[static_cast<size_t>(known[j])];
      const double h = s.H - anomaly(s.B(), s.L()) - (noisy ? Noise(static_cast<int>(j)) : 0.0);
      const std::string line = Format("%20s %16.6lf\n", s.name.c_str(), h);
      heights += line;
      knownB.push_back(s.B()), knownL.push_back(s.L());
      knownZeta.push_back(s.H - std::stod(line.substr(21)));
    }
    project.Write("GPS3dBLH", blh);
    project.Write("GPS1dKnownH", heights);
  }
  // Loads and fits with the model; the messages are expected empty.
  void Fit(CGPS1dHeightFit& fit, int model) {
    ASSERT_EQ(fit.Load(), 1);
    ASSERT_EQ(fit.SelectKnownPoints(), 1);
    ASSERT_EQ(fit.SetModel(model), 1);
    ASSERT_EQ(fit.FitHeights(), 1);
    EXPECT_TRUE(project.MessagesUtf8().empty());
  }
  // The coefficients printed in the model block of the report.
  std::vector<double> PrintedCoefficients() {
    std::vector<double> f;
    for (const std::string& line : Lines(project.Read("GPS1dResult"))) {
      const size_t at = line.find(Format("f%zu=", f.size() + 1));
      if (at != std::string::npos) f.push_back(std::stod(line.substr(at + 3)));
    }
    return f;
  }
  // The rows of the report's fitted heights table: name -> (normal height, anomaly).
  std::map<std::string, std::pair<double, double>> PrintedFit() {
    std::map<std::string, std::pair<double, double>> rows;
    const auto lines = Lines(project.Read("GPS1dResult"));
    auto title = std::find(lines.begin(), lines.end(), G(u8"           拟合正常高(m)"));
    EXPECT_NE(title, lines.end());
    for (auto it = title + 4; it < lines.end() && (*it)[0] != '-'; ++it) {
      std::istringstream row(*it);
      std::string name;
      double h, zeta;
      row >> name >> h >> zeta;
      rows[name] = {h, zeta};
    }
    return rows;
  }

  AdjustProject project;
  std::vector<Site> sites;
  std::vector<double> knownB, knownL, knownZeta;
};

const std::vector<int> kNineKnown = {0, 1, 2, 3, 5, 6, 8, 9, 11};

TEST_F(HeightFit, EveryModelAgreesWithAnIndependentQrFit) {
  WriteProject(kNineKnown, Surface, true);
  for (int model : {CHeightModelDlg::kPlane, CHeightModelDlg::kSurface, CHeightModelDlg::kConstant}) {
    SCOPED_TRACE(model);
    CGPS1dHeightFit fit;
    Fit(fit, model);
    const int u = CGPS1dHeightFit::CoefficientCount(model);
    const Reference ref = FitByQr(knownB, knownL, knownZeta, u);
    ASSERT_EQ(fit.m_x.size(), ref.absolute.size());
    // Absolute coefficients reach 1e5 (f5 L̄² with L̄ = 2 rad); 1e-9 of that is far below what
    // is printed.
    for (size_t p = 0; p < ref.absolute.size(); ++p)
      EXPECT_NEAR(fit.m_x[p], static_cast<double>(ref.absolute[p]), 1e-9 * std::max(1.0L, std::fabs(ref.absolute[p])))
          << "f" << p + 1;
    for (int i = 0; i < fit.m_PointCount; ++i)
      EXPECT_NEAR(fit.m_Zeta[i], static_cast<double>(ref.Evaluate(sites[i].B(), sites[i].L())), 1e-8) << i;
    EXPECT_NEAR(fit.m_PVVm2, static_cast<double>(ref.pvv), 1e-12);
    EXPECT_EQ(fit.m_Redundancy, 9 - u);
    EXPECT_NEAR(fit.m_M0cm, 100.0 * std::sqrt(static_cast<double>(ref.pvv) / (9 - u)), 1e-9);
    // The report prints the same, PVV in cm².
    const std::string report = project.Read("GPS1dResult");
    EXPECT_NE(report.find(Format("                     PVV=%14.3lf(cm^2)\n", static_cast<double>(ref.pvv) * 1e4)),
              std::string::npos);
  }
}

TEST_F(HeightFit, NoiseFreeDataGiveBackTheSurface) {
  struct Case {
    int model;
    double (*anomaly)(double, double);
  };
  const Case cases[] = {
      {CHeightModelDlg::kSurface, Surface},
      {CHeightModelDlg::kPlane, [](double B, double L) { return 11.5 + 25.0 * (B - kB0) - 12.0 * (L - kL0); }},
      {CHeightModelDlg::kConstant, [](double, double) { return 12.345; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    WriteProject(kNineKnown, c.anomaly, false);
    CGPS1dHeightFit fit;
    Fit(fit, c.model);
    // The known heights are stored to 1e-6 m; every point, known or not, is back on the surface.
    for (int i = 0; i < fit.m_PointCount; ++i) EXPECT_NEAR(fit.m_Zeta[i], c.anomaly(sites[i].B(), sites[i].L()), 2e-6);
    EXPECT_LT(fit.m_PVVm2, 1e-11);
  }
}

TEST_F(HeightFit, ThePrintedModelReproducesTheFittedAnomalies) {
  WriteProject(kNineKnown, Surface, true);
  for (int model : {CHeightModelDlg::kPlane, CHeightModelDlg::kSurface, CHeightModelDlg::kConstant}) {
    SCOPED_TRACE(model);
    CGPS1dHeightFit fit;
    Fit(fit, model);
    const std::vector<double> f = PrintedCoefficients();
    ASSERT_EQ(f.size(), static_cast<size_t>(CGPS1dHeightFit::CoefficientCount(model)));
    const auto rows = PrintedFit();
    for (const Site& s : sites) {
      const double B = s.B(), L = s.L();
      const double terms[6] = {1, B, L, B * B, L * L, B * L};
      double zeta = 0;
      for (size_t p = 0; p < f.size(); ++p) zeta += f[p] * terms[p];
      // Printed coefficients carry 7 decimals: their rounding moves zeta by some 1e-7 m.
      ASSERT_TRUE(rows.count(s.name));
      EXPECT_NEAR(zeta, rows.at(s.name).second, 1e-4) << s.name;
      EXPECT_NEAR(rows.at(s.name).first, s.H - rows.at(s.name).second, 1.5e-4) << s.name;
    }
    if (model == CHeightModelDlg::kPlane) {
      // For absolute B, L: f1 is the anomaly at B = L = 0, tens of metres away from the ~12 m
      // of the area.
      EXPECT_GT(std::fabs(f[0] - 12.0), 10.0);
    }
  }
}

// The constant model with anomalies 10.0 and 10.2: f1 = 10.1, r = 1, [vv] = 0.02 m².
class ConstantModel : public testing::Test {
 protected:
  void SetUp() override {
    project.Write("GPS3dBLH", "              A1    30.300000000   114.180000000      50.0000\n"
                              "              B2    30.310000000   114.190000000      60.2000\n"
                              "              C3    30.320000000   114.183000000      55.0000\n");
    project.Write("GPS1dKnownH", "                  A1        40.000000\n                  B2        50.000000\n");
  }
  AdjustProject project;
};

TEST_F(ConstantModel, GoldenReportAndHeightFile) {
  CGPS1dHeightFit fit;
  ASSERT_EQ(fit.Load(), 1);
  ASSERT_EQ(fit.SelectKnownPoints(), 1);
  ASSERT_EQ(fit.SetModel(CHeightModelDlg::kConstant), 1);
  ASSERT_EQ(fit.FitHeights(), 1);
  EXPECT_DOUBLE_EQ(fit.m_x[0], 10.1);
  EXPECT_EQ(fit.m_Redundancy, 1);
  const std::string golden = std::string(VEMO_TEST_DATA_DIR) + "/heights/constant.";
  const bool update = std::getenv("VEMO_UPDATE_GOLDEN") != nullptr;
  for (const char* ext : {"GPS1dResult", "GPS1dH"}) {
    if (update) WriteFileAtomically(golden + ext, project.Read(ext));
    EXPECT_EQ(project.Read(ext), ReadWholeFile(golden + ext).value_or("<missing golden file>")) << ext;
  }
  const std::string report = project.Read("GPS1dResult");
  EXPECT_NE(report.find("                     PVV=       200.000(cm^2)\n"), std::string::npos);
  EXPECT_NE(report.find("                      M0=        14.142(cm)\n"), std::string::npos);
  // A known point is listed twice in the height file: its known height, then its fitted one.
  const auto lines = Lines(project.Read("GPS1dH"));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "              A1         40.0000        K"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "              A1         39.9000        U"), lines.end());
}

TEST_F(ConstantModel, GoldenParameterReportAndTwoRunsAppendTwoLines) {
  for (int run = 0; run < 2; ++run) {
    CGPS1dHeightFit fit;
    ASSERT_EQ(fit.Load(), 1);
    ASSERT_EQ(fit.SelectKnownPoints(), 1);
    ASSERT_EQ(fit.SetModel(CHeightModelDlg::kConstant), 1);
    ASSERT_EQ(fit.FitParameters(), 1);
  }
  EXPECT_FALSE(project.Exists("GPS1dH"));
  const std::string golden = std::string(VEMO_TEST_DATA_DIR) + "/heights/constant-parameters.GPS1dResult";
  if (std::getenv("VEMO_UPDATE_GOLDEN")) WriteFileAtomically(golden, project.Read("GPS1dResult"));
  EXPECT_EQ(project.Read("GPS1dResult"), ReadWholeFile(golden).value_or("<missing golden file>"));
  const std::string line = Format("%25s %20.9lf\n", "net", 10.1);
  EXPECT_EQ(ReadWholeFile(project.dir.str() + "/Parameter.1d").value_or(""), line + line);
}

TEST_F(HeightFit, ExactlyAsManyKnownHeightsAsCoefficients) {
  for (int model : {CHeightModelDlg::kPlane, CHeightModelDlg::kSurface, CHeightModelDlg::kConstant}) {
    SCOPED_TRACE(model);
    const int u = CGPS1dHeightFit::CoefficientCount(model);
    std::vector<int> known;
    for (int i = 0; i < u; ++i) known.push_back(kNineKnown[static_cast<size_t>(i)]);
    WriteProject(known, Surface, true);
    CGPS1dHeightFit fit;
    Fit(fit, model);
    EXPECT_EQ(fit.m_Redundancy, 0);
    const std::string report = project.Read("GPS1dResult");
    EXPECT_NE(report.find(G(u8"              多余观测数=         0\n")), std::string::npos);
    EXPECT_NE(report.find("                      M0=         0.000(cm)\n"), std::string::npos);
    // The model passes through every known point.
    for (size_t j = 0; j < known.size(); ++j)
      EXPECT_NEAR(fit.m_Zeta[static_cast<size_t>(known[j])], knownZeta[j], 1e-7);
  }
}

TEST_F(HeightFit, TooFewKnownHeightsWriteNothing) {
  WriteProject({0, 1, 2, 3, 4}, Surface, true);
  CGPS1dHeightFit fit;
  ASSERT_EQ(fit.Load(), 1);
  ASSERT_EQ(fit.SelectKnownPoints(), 1);
  EXPECT_EQ(fit.SetModel(CHeightModelDlg::kSurface), 0);
  EXPECT_EQ(project.MessagesUtf8(), std::vector<std::string>{u8"已知高程点太少,请选其他拟合模型"});
  EXPECT_EQ(fit.SetModel(CHeightModelDlg::kPlane), 1);
}

TEST_F(HeightFit, AKnownHeightWithoutItsPointIsLeftOutAndNamed) {
  WriteProject({0, 1, 2, 3}, Surface, true);
  project.Write("GPS1dKnownH", project.Read("GPS1dKnownH") + "X9 10.0\n\nP99,12.0\n");
  CGPS1dHeightFit fit;
  ASSERT_EQ(fit.Load(), 1);
  ASSERT_EQ(fit.SelectKnownPoints(), 1);
  EXPECT_EQ(project.MessagesUtf8(),
            std::vector<std::string>{Format(u8"文件%s第 5 行的点X9, 第 7 行的点P99不在文件%s中，不参与高程拟合!",
                                            project.File("GPS1dKnownH").c_str(), project.File("GPS3dBLH").c_str())});
  EXPECT_EQ(fit.m_KnownCount, 4);
  EXPECT_EQ(fit.m_KnownPoint, (std::vector<int>{0, 1, 2, 3}));
  ASSERT_EQ(fit.SetModel(CHeightModelDlg::kPlane), 1);
  ASSERT_EQ(fit.FitHeights(), 1);
  EXPECT_EQ(project.Read("GPS1dResult").find("X9"), std::string::npos);
  EXPECT_NE(project.Read("GPS1dResult").find(G(u8"                已知点数=         4\n")), std::string::npos);
}

TEST_F(HeightFit, AnEmptyGeodeticFileIsRefused) {
  WriteProject({0, 1, 2}, Surface, true);
  project.Write("GPS3dBLH", "\n   \n");
  CGPS1dHeightFit fit;
  ASSERT_EQ(fit.Load(), 1);
  EXPECT_EQ(fit.SelectKnownPoints(), 0);
  EXPECT_EQ(project.MessagesUtf8(),
            std::vector<std::string>{
                Format(u8"文件%s中没有点的大地坐标，不能进行高程拟合!", project.File("GPS3dBLH").c_str())});
  EXPECT_FALSE(project.Exists("GPS1dResult"));
}

// Known points that cannot determine the model: the message, an empty report, no coefficient
// that is not a number.
TEST_F(HeightFit, UndeterminedModelsAreRefused) {
  struct Case {
    const char* what;
    std::vector<int> known;
    std::vector<std::string> extraBlh;
    int model;
  };
  const Case cases[] = {
      {"every known height at one position",
       {0, 12, 13},
       {"Q1 30.251234000 114.145612000 15.0\n", "Q2 30.251234000 114.145612000 16.0\n"},  // at P01
       CHeightModelDlg::kPlane},
      {"three points on one meridian",
       {12, 13, 14},
       {"Q1 30.250000000 114.200000000 10.0\n", "Q2 30.300000000 114.200000000 11.0\n",
        "Q3 30.350000000 114.200000000 12.0\n"},
       CHeightModelDlg::kPlane},
      {"six heights at five positions",
       {0, 1, 2, 3, 4, 12},
       {"Q1 30.251234000 114.145612000 15.0\n"},  // at P01
       CHeightModelDlg::kSurface},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    project.scope.host.messages.clear();
    sites = Sites();
    std::string blh, heights;
    for (const Site& s : sites) blh += s.Line();
    for (const std::string& line : c.extraBlh) blh += line;
    const std::vector<std::string> names = {"P01", "P02", "P03", "P04", "P05", "P06", "P07",
                                            "P08", "P09", "P10", "P11", "P12", "Q1",  "Q2", "Q3"};
    for (size_t j = 0; j < c.known.size(); ++j)
      heights += Format("%s %.3f\n", names[static_cast<size_t>(c.known[j])].c_str(), 10.0 + 0.01 * j);
    project.Write("GPS3dBLH", blh);
    project.Write("GPS1dKnownH", heights);
    CGPS1dHeightFit fit;
    ASSERT_EQ(fit.Load(), 1);
    ASSERT_EQ(fit.SelectKnownPoints(), 1);
    ASSERT_EQ(fit.SetModel(c.model), 1);
    EXPECT_EQ(fit.FitHeights(), 0);
    EXPECT_EQ(project.MessagesUtf8(),
              std::vector<std::string>{
                  u8"已知高程点的分布不能确定拟合模型(点位重合、共线或过少)，法方程奇异，请选其他拟合模型!"});
    EXPECT_FALSE(project.Exists("GPS1dResult"));
    EXPECT_FALSE(project.Exists("GPS1dH"));
  }
}

// Heights whose residuals a double cannot square: the fit is refused with the input that holds
// the largest height, instead of a report (and a parameter line) of "inf" and "nan".
TEST_F(HeightFit, HeightsBeyondADoubleAreNamedAndNothingIsWritten) {
  struct Case {
    const char* what;
    const char* extension;
    const char* name;
    const char* height;
  };
  const Case cases[] = {{"a known normal height", "GPS1dKnownH", "P03", "1e300"},
                        {"an ellipsoidal height", "GPS3dBLH", "P07", "-1e300"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteProject(kNineKnown, Surface, true);
    std::string text = project.Read(c.extension);
    const size_t line = text.find(c.name);
    const size_t end = text.find('\n', line);
    const size_t last = text.rfind(' ', end);
    text.replace(last + 1, end - last - 1, c.height);
    project.Write(c.extension, text);
    project.Write("GPS1dH", "earlier\n");
    const std::string parameters = project.dir.str() + "/Parameter.1d";
    WriteFileAtomically(parameters, "earlier\n");
    for (bool asParameters : {false, true}) {
      project.scope.host.messages.clear();
      CGPS1dHeightFit fit;
      ASSERT_EQ(fit.Load(), 1);
      ASSERT_EQ(fit.SelectKnownPoints(), 1);
      ASSERT_EQ(fit.SetModel(CHeightModelDlg::kPlane), 1);
      EXPECT_EQ(asParameters ? fit.FitParameters() : fit.FitHeights(), 0);
      EXPECT_EQ(project.MessagesUtf8(),
                std::vector<std::string>{Format(u8"高程拟合的结果不是有限数值：文件%s中点%s的高程%g超出范围，请检查高程数据!",
                                                project.File(c.extension).c_str(), c.name, std::stod(c.height))});
      EXPECT_EQ(project.Read("GPS1dH"), "earlier\n");
      EXPECT_EQ(ReadWholeFile(parameters), "earlier\n");
    }
  }
}

TEST_F(HeightFit, CommandFitsWithTheModelGivenAndShowResultPrintsIt) {
  WriteProject(kNineKnown, Surface, true);
  test::TempDir config, work;
  const std::string dir = (work.path() / "prj").string();
  auto created = RunProgram({"new-project", "--name", "net", "--dir", dir, "--ellipsoid", "WGS84"}, config.str());
  ASSERT_EQ(created.status, 0) << created.err;
  for (const char* ext : {"GPS3dBLH", "GPS1dKnownH"}) fs::copy_file(project.File(ext), dir + "/net." + ext);
  const std::string prj = dir + "/net.prj";
  auto run = RunProgram({"--project", prj, "fit-heights", "--model", "surface"}, config.str());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, dir + "/net.GPS1dResult\n");
  EXPECT_NE(ReadWholeFile(dir + "/net.GPS1dResult").value_or("").find("f6="), std::string::npos);
  EXPECT_TRUE(fs::exists(dir + "/net.GPS1dH"));
  auto shown = RunProgram({"--project", prj, "show-result", "1d"}, config.str());
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.out.find(u8"高程拟合结果"), std::string::npos);
  // The default is the plane model.
  ASSERT_EQ(RunProgram({"--project", prj, "fit-heights"}, config.str()).status, 0);
  EXPECT_EQ(ReadWholeFile(dir + "/net.GPS1dResult").value_or("").find("f4="), std::string::npos);
  EXPECT_EQ(RunProgram({"--project", prj, "fit-heights", "--model", "cubic"}, config.str()).status, 2);
  EXPECT_EQ(RunProgram({"--project", prj, "fit-heights", "extra"}, config.str()).status, 2);
  // Too few known heights: the message, status 1, nothing opened.
  fs::remove(dir + "/net.GPS1dResult");
  WriteFileAtomically(dir + "/net.GPS1dKnownH", "P01 10.0\nP02 11.0\n");
  auto few = RunProgram({"--project", prj, "fit-heights"}, config.str());
  EXPECT_EQ(few.status, 1);
  EXPECT_EQ(few.out, "");
  EXPECT_NE(few.err.find(u8"已知高程点太少,请选其他拟合模型"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir + "/net.GPS1dResult"));
}

}  // namespace

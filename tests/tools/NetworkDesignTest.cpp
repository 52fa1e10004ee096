// The design simulation against a covariance built another way: the horizontal direction of
// the baseline and the up direction as unit vectors in geocentric axes (up from a closed-form
// latitude), Σ = σh² a aᵀ + σt² t tᵀ + σv² u uᵀ, with a along the line, t across it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "tests/support/CaseNames.h"
#include "tests/support/TestHost.h"
#include "tools/NetworkDesign.h"

namespace {
using namespace vemo;
using test::G;
using Vec = std::array<double, 3>;

constexpr double kA = 6378137.0, kE2 = 0.0066943799013;
constexpr double kDeg = M_PI / 180.0;

// Geocentric point of a geodetic position (WGS84).
CDesignPoint At(const std::string& name, double latDeg, double lonDeg, double h) {
  const double B = latDeg * kDeg, L = lonDeg * kDeg;
  const double N = kA / std::sqrt(1 - kE2 * std::sin(B) * std::sin(B));
  return {name, (N + h) * std::cos(B) * std::cos(L), (N + h) * std::cos(B) * std::sin(L),
          (N * (1 - kE2) + h) * std::sin(B)};
}

// The point reached from p by north, east and up metres in p's local frame.
CDesignPoint Offset(const std::string& name, const CDesignPoint& p, double latDeg, double lonDeg, double n, double e,
                    double u) {
  const double B = latDeg * kDeg, L = lonDeg * kDeg;
  const Vec north{-std::sin(B) * std::cos(L), -std::sin(B) * std::sin(L), std::cos(B)};
  const Vec east{-std::sin(L), std::cos(L), 0};
  const Vec up{std::cos(B) * std::cos(L), std::cos(B) * std::sin(L), std::sin(B)};
  return {name, p.X + n * north[0] + e * east[0] + u * up[0], p.Y + n * north[1] + e * east[1] + u * up[1],
          p.Z + n * north[2] + e * east[2] + u * up[2]};
}

// Latitude in closed form (Bowring), longitude by quadrant: independent of the iteration.
void Bowring(double X, double Y, double Z, double& B, double& L) {
  const double b = kA * std::sqrt(1 - kE2), ep2 = kE2 / (1 - kE2);
  const double p = std::hypot(X, Y), theta = std::atan2(Z * kA, p * b);
  B = std::atan2(Z + ep2 * b * std::pow(std::sin(theta), 3), p - kE2 * kA * std::pow(std::cos(theta), 3));
  L = std::atan2(Y, X);
}

std::array<double, 6> Reference(const CDesignPoint& p1, const CDesignPoint& p2, const CDesignPrecision& m) {
  double B, L;
  Bowring(p1.X, p1.Y, p1.Z, B, L);
  const Vec up{std::cos(B) * std::cos(L), std::cos(B) * std::sin(L), std::sin(B)};
  const Vec d{p2.X - p1.X, p2.Y - p1.Y, p2.Z - p1.Z};
  const double S = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  const double U = d[0] * up[0] + d[1] * up[1] + d[2] * up[2];
  Vec h{d[0] - U * up[0], d[1] - U * up[1], d[2] - U * up[2]};
  const double H = std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
  const Vec a{h[0] / H, h[1] / H, h[2] / H};
  const Vec t{up[1] * a[2] - up[2] * a[1], up[2] * a[0] - up[0] * a[2], up[0] * a[1] - up[1] * a[0]};
  // Variances in cm²: a in mm, b in ppm, c in seconds.
  const double sh2 = std::pow(std::hypot(S * m.b * 1e-3, m.a) / 10, 2);
  const double sv2 = std::pow(std::hypot(U * 2 * m.b * 1e-3, 2 * m.a) / 10, 2);
  const double st2 = std::pow(H * (m.c / 3600 * kDeg) * 100, 2);
  auto cell = [&](int i, int j) { return sh2 * a[i] * a[j] + st2 * t[i] * t[j] + sv2 * up[i] * up[j]; };
  return {cell(0, 0), cell(1, 1), cell(2, 2), cell(0, 1), cell(0, 2), cell(1, 2)};
}

// The covariance turned back into the local frame of p1: north, east, up.
std::array<std::array<double, 3>, 3> Local(const CDesignVector& v, double latDeg, double lonDeg) {
  const double B = latDeg * kDeg, L = lonDeg * kDeg;
  const Vec axes[3] = {{-std::sin(B) * std::cos(L), -std::sin(B) * std::sin(L), std::cos(B)},
                       {-std::sin(L), std::cos(L), 0},
                       {std::cos(B) * std::cos(L), std::cos(B) * std::sin(L), std::sin(B)}};
  const auto& c = v.covariance;
  const double S[3][3] = {{c[0], c[3], c[4]}, {c[3], c[1], c[5]}, {c[4], c[5], c[2]}};
  std::array<std::array<double, 3>, 3> out{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k)
        for (int l = 0; l < 3; ++l) out[i][j] += axes[i][k] * S[k][l] * axes[j][l];
  return out;
}

struct DesignCase {
  const char* what;
  double lat, lon, n, e, u;
  CDesignPrecision model;
};

class DesignCovariance : public ::testing::TestWithParam<DesignCase> {};

TEST_P(DesignCovariance, AgreesWithTheCovarianceBuiltFromUnitVectors) {
  const DesignCase& c = GetParam();
  CDesignPoint p1 = At("A", c.lat, c.lon, 50);
  CDesignPoint p2 = Offset("B", p1, c.lat, c.lon, c.n, c.e, c.u);
  CDesignVector v;
  ASSERT_TRUE(CGPSNetDesign::SimulateVector(p1, p2, c.model, v));
  auto ref = Reference(p1, p2, c.model);
  double scale = 0;
  for (double r : ref) scale = std::max(scale, std::fabs(r));
  // The design's latitude stops within about 1e-7 rad of the exact one.
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(v.covariance[i], ref[i], 1e-5 * scale) << c.what << " element " << i;
  EXPECT_DOUBLE_EQ(v.dX, p2.X - p1.X);
}

INSTANTIATE_TEST_SUITE_P(
    Places, DesignCovariance,
    ::testing::Values(DesignCase{"Wuhan, X < 0", 30.5, 114.3, 3000, 4000, 20, {5, 1, 1}},
                      DesignCase{"west of Greenwich", 48.0, -3.0, -2000, 1500, -10, {3, 0.5, 2}},
                      DesignCase{"south and east", -33.9, 151.2, 100, -7000, 300, {10, 2, 0.5}},
                      DesignCase{"X < 0 and Y < 0", 40.0, -120.0, 5000, 5000, 0, {5, 1, 1}},
                      DesignCase{"without angular error", 30.5, 114.3, 3000, 4000, 20, {5, 1, 0}}),
    [](const auto& info) { return vemo::test::CaseName(info.param.what); });

TEST(NetworkDesign, AcrossLineErrorOfAFiveKilometreBaselineIsInCentimetres) {
  CDesignPoint p1 = At("A", 30.5, 114.3, 0);
  CDesignPoint p2 = Offset("B", p1, 30.5, 114.3, 3000, 4000, 0);  // 5 km, azimuth 53.13 degrees
  CDesignVector v;
  ASSERT_TRUE(CGPSNetDesign::SimulateVector(p1, p2, {0, 0, 1}, v));
  auto local = Local(v, 30.5, 114.3);
  // Across the line (t = (-0.8, 0.6) in north, east) the variance is (5000 / rho)² m².
  const double across = 0.64 * local[0][0] + 0.36 * local[1][1] - 2 * 0.48 * local[0][1];
  EXPECT_NEAR(std::sqrt(across), 5000.0 / 206264.806 * 100, 1e-4);  // 2.424 cm
  EXPECT_NEAR(std::sqrt(across), 2.42, 0.01);
}

TEST(NetworkDesign, ZeroAngularErrorAndAMeridianBaseline) {
  const double lat = 30.5, lon = 114.3;
  CDesignPoint p1 = At("A", lat, lon, 0);
  CDesignVector v;
  // c = 0: only the along-line variance in the horizontal plane, σNN = cos²α σh² and so on.
  ASSERT_TRUE(CGPSNetDesign::SimulateVector(p1, Offset("B", p1, lat, lon, 3000, 4000, 0), {5, 1, 0}, v));
  auto local = Local(v, lat, lon);
  const double sh2 = (std::pow(5000 * 1e-3, 2) + 25) / 100;
  EXPECT_NEAR(local[0][0], 0.36 * sh2, 1e-5);
  EXPECT_NEAR(local[1][1], 0.64 * sh2, 1e-5);
  EXPECT_NEAR(local[0][1], 0.48 * sh2, 1e-5);
  // Along the meridian sin α = 0: σEE = σt², σNN = σh².
  ASSERT_TRUE(CGPSNetDesign::SimulateVector(p1, Offset("C", p1, lat, lon, 4000, 0, 0), {5, 1, 2}, v));
  local = Local(v, lat, lon);
  EXPECT_NEAR(local[1][1], std::pow(4000 * 2 / 206264.806 * 100, 2), 1e-5);
  EXPECT_NEAR(local[0][0], (std::pow(4000 * 1e-3, 2) + 25) / 100, 1e-5);
  EXPECT_NEAR(local[0][1], 0, 1e-5);
  // A vertical baseline has no direction (the design's latitude, 1e-7 rad off, leaves
  // 0.01 mm of the 100 m horizontal).
  EXPECT_FALSE(CGPSNetDesign::SimulateVector(p1, Offset("D", p1, lat, lon, 0, 0, 100), {5, 1, 2}, v));
}

TEST(NetworkDesign, OutputNameIsCutAtTheFileNamesFirstDot) {
  EXPECT_EQ(CGPSNetDesign::OutputName("/data/plans/net.plan.line"), "/data/plans/net.GPS3dVector");
  EXPECT_EQ(CGPSNetDesign::OutputName("/data/v1.2/net.line"), "/data/v1.2/net.GPS3dVector");
  EXPECT_EQ(CGPSNetDesign::OutputName("/data/plans/net"), "");
  EXPECT_EQ(CGPSNetDesign::OutputName("net.line"), "net.GPS3dVector");
}

class DesignCommand : public ::testing::Test {
 protected:
  test::ScopedTestHost scope;
  test::TempDir dir;
  std::string Write(const std::string& name, const std::string& content) { return dir.Write(name, content); }
};

TEST_F(DesignCommand, WritesTheVectorFileBesideTheLinesAndReportsWhatItCannot) {
  CDesignPoint a = At("A1", 30.5, 114.3, 20), b = Offset("B2", a, 30.5, 114.3, 1000, 2000, 5);
  CDesignPoint c = Offset("C3", a, 30.5, 114.3, 0, 0, 30);  // right above A1
  std::string coordinates = Write("plan.xyz", "5 1 1\n" +
                                                  Format("  a1  %.4f %.4f %.4f\n", a.X, a.Y, a.Z) +
                                                  Format("B2 %.4f %.4f %.4f\n", b.X, b.Y, b.Z) +
                                                  Format("C3 %.4f %.4f %.4f\r\n", c.X, c.Y, c.Z) + "bad line\n");
  std::string lines = Write("net.plan.line", " A1   b2 \nA1 X9\nA1 C3\nb2 a1\r\nlonely\n");
  ASSERT_EQ(RunNetworkDesign(coordinates, lines), 1);
  const std::string output = (dir.path() / "net.GPS3dVector").string();
  ASSERT_EQ(scope.host.openedDocuments, std::vector<std::string>{output});
  // The missing point and the vertical baseline, one message each; the rest is written.
  ASSERT_EQ(scope.host.messages.size(), 2u);
  EXPECT_NE(scope.host.messages[0].text.find("X9"), std::string::npos);
  EXPECT_NE(scope.host.messages[1].text.find("A1-C3"), std::string::npos);
  std::string text = ReadWholeFile(output).value_or("");
  ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
  CDesignVector v;
  ASSERT_TRUE(CGPSNetDesign::SimulateVector({"A1", a.X, a.Y, a.Z}, {"B2", b.X, b.Y, b.Z}, {5, 1, 1}, v));
  const std::string first = text.substr(0, text.find('\n') + 1);
  // The file holds the rounded coordinates; compare the layout and the names.
  EXPECT_EQ(first.substr(0, 18), "      A1       B2 ");
  EXPECT_EQ(first.size(), 8 + 1 + 8 + 3 * 13 + 6 * 13 + 1u);
  EXPECT_EQ(text.substr(text.find('\n') + 1, 18), "      B2       A1 ");
}

TEST_F(DesignCommand, BadFilesEndTheCommandWithAMessage) {
  std::string coordinates = Write("plan.xyz", "A 1 2 3\n");  // no precision model
  std::string lines = Write("plan.line", "A B\n");
  EXPECT_EQ(RunNetworkDesign(coordinates, lines), 0);
  std::string good = Write("good.xyz", "5 1 1\nA 1 2 3\n");
  EXPECT_EQ(RunNetworkDesign(good, (dir.path() / "missing.line").string()), 0);
  EXPECT_EQ(RunNetworkDesign(good, Write("nodot", "A B\n")), 0);
  // The vector file would replace the line file itself.
  EXPECT_EQ(RunNetworkDesign(good, Write("vectors.GPS3dVector", "A B\n")), 0);
  ASSERT_EQ(scope.host.messages.size(), 4u);
  EXPECT_NE(scope.host.messages[1].text.find(G(u8"打开文件")), std::string::npos);
  EXPECT_TRUE(scope.host.openedDocuments.empty());
}

// The command keeps the vector file of an earlier simulation whenever it cannot write a sound
// one: nothing to simulate (it wrote an empty file over it, status 0), a coordinate or a
// precision term whose squares leave a double (vectors of "nan", status 0).
TEST_F(DesignCommand, KeepsTheEarlierSimulationWhenItCannotMakeASoundOne) {
  const CDesignPoint a = At("A1", 30.5, 114.3, 20), b = Offset("B2", a, 30.5, 114.3, 1000, 2000, 5);
  const std::string points = Format("A1 %.4f %.4f %.4f\nB2 %.4f %.4f %.4f\n", a.X, a.Y, a.Z, b.X, b.Y, b.Z);
  const std::string lines = Write("net.line", "A1 B2\n");
  const std::string output = (dir.path() / "net.GPS3dVector").string();
  struct Case {
    const char* what;
    std::string coordinates, lines;
    const char* message;
  };
  const Case cases[] = {
      {"no planned baseline", "5 1 1\n" + points, "\n", u8"中没有可以模拟的基线，未生成基线向量文件"},
      {"every baseline to a point without coordinates", "5 1 1\n" + points, "A1 X9\nX8 B2\n",
       u8"中没有可以模拟的基线，未生成基线向量文件"},
      {"a coordinate of 1e300", "5 1 1\n" + points + "C3 1e300 0 0\n", "A1 B2\nA1 C3\n", u8"第 4 行的数值超出范围!"},
      {"a precision term of 1e300", "5 1e300 1\n" + points, "A1 B2\n", u8"第 1 行的数值超出范围!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileAtomically(output, "earlier simulation\n");
    const test::ProgramRun run =
        test::RunProgram({"design", Write("plan.xyz", c.coordinates), Write("net.line", c.lines)}, dir.str() + "/cfg");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(ReadWholeFile(output), "earlier simulation\n");
  }
  // With a baseline it can simulate, the file is replaced.
  const test::ProgramRun run = test::RunProgram({"design", Write("plan.xyz", "5 1 1\n" + points), lines}, dir.str() + "/cfg");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(ReadWholeFile(output).value_or(""), "earlier simulation\n");
}

}  // namespace

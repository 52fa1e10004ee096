#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "tests/support/TestHost.h"

namespace {
using vemo::Format;
using vemo::test::G;
namespace fs = std::filesystem;

std::string Golden(const std::string& name) {
  return vemo::ReadWholeFile(std::string(VEMO_TEST_DATA_DIR) + "/coord/golden/" + name).value_or("<missing golden>");
}

class TransformTest : public testing::Test {
 protected:
  vemo::test::ScopedTestHost scoped;
  vemo::test::TestHost& host = scoped.host;
  vemo::test::TempDir dir;

  std::string Input(const std::string& name, const std::string& content) {
    std::string path = (dir.path() / name).string();
    EXPECT_TRUE(vemo::WriteFileAtomically(path, content));
    return path;
  }
  std::string CopyData(const std::string& name) {
    fs::copy_file(std::string(VEMO_TEST_DATA_DIR) + "/coord/" + name, dir.path() / name);
    return (dir.path() / name).string();
  }
  // Runs the transformation of parameterCount (3, 4, 6, 7) on the file; returns its result.
  int Run(const std::string& path, int parameterCount) {
    GPSTransfer t(parameterCount == 7 ? GPSTransfer::kModeXYZXYZ : GPSTransfer::kModeXYXY);
    t.m_ParameterCount = parameterCount;
    t.m_DataFile = path;
    int result = parameterCount == 7 ? t.XYZXYZ7() : parameterCount == 6 ? t.XYXY6() : t.XYXY4();
    unknowns = t.m_Unknown;
    return result;
  }
  std::string Output(const std::string& name) { return vemo::ReadWholeFile((dir.path() / name).string()).value_or(""); }
  std::vector<std::string> MessagesUtf8() const {
    std::vector<std::string> m;
    for (const auto& r : host.messages) m.push_back(r.Utf8Text());
    return m;
  }
  std::vector<double> unknowns;
};

// The value printed after a label of the parameter block ("旋转 A=" ...).
double ReportValue(const std::string& report, const char* labelUtf8) {
  size_t at = report.find(G(labelUtf8));
  if (at == std::string::npos) return NAN;
  return std::strtod(report.c_str() + at + G(labelUtf8).size(), nullptr);
}

// The residual columns of the collocation block, one row a point.
std::vector<std::vector<double>> CollocationRows(const std::string& report, int columns) {
  std::vector<std::vector<double>> rows;
  size_t header = report.rfind(G(u8"点名        X(m)"));
  size_t start = report.find('\n', report.find('\n', header) + 1) + 1;
  size_t end = report.find("---", start);
  std::string block = report.substr(start, end - start);
  for (size_t p = 0; p < block.size();) {
    size_t nl = block.find('\n', p);
    std::string line = block.substr(p, nl - p);
    std::vector<double> v;
    std::string name;
    double values[7];
    int n = ScanPointLine(line, name, values, columns);
    v.assign(values, values + n - 1);
    rows.push_back(v);
    p = nl + 1;
  }
  return rows;
}

struct GoldenCase {
  const char* input;
  int parameterCount;
  const char* output;
  const char* golden;
};

class TransformGolden : public TransformTest, public testing::WithParamInterface<GoldenCase> {};

// The golden reports were checked once against the quoted formats and with an independent
// least-squares computation; every byte must stay as it is. A second run appends a second
// report.
TEST_P(TransformGolden, ReportMatchesByteForByteAndASecondRunAppends) {
  const GoldenCase& c = GetParam();
  std::string path = CopyData(c.input);
  ASSERT_EQ(Run(path, c.parameterCount), 1) << testing::PrintToString(MessagesUtf8());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(Output(c.output), Golden(c.golden));
  ASSERT_EQ(host.openedDocuments.size(), 1u);
  EXPECT_EQ(host.openedDocuments[0], (dir.path() / c.output).string());
  ASSERT_EQ(Run(path, c.parameterCount), 1);
  EXPECT_EQ(Output(c.output), Golden(c.golden) + Golden(c.golden));
}

INSTANTIATE_TEST_SUITE_P(Reports, TransformGolden,
                         testing::Values(GoldenCase{"plane.XYXY", 3, "plane.XYXY_O", "plane-3.XYXY_O"},
                                         GoldenCase{"plane.XYXY", 4, "plane.XYXY_O", "plane-4.XYXY_O"},
                                         GoldenCase{"plane.XYXY", 6, "plane.XYXY_O", "plane-6.XYXY_O"},
                                         GoldenCase{"space.XYZXYZ", 7, "space.XYZXYZ_O", "space.XYZXYZ_O"}),
                         [](const testing::TestParamInfo<GoldenCase>& info) {
                           return "Parameters" + std::to_string(info.param.parameterCount);
                         });

std::string PlaneLines(const std::vector<std::array<double, 4>>& points) {
  std::string s;
  int i = 0;
  for (const auto& p : points) s += Format("K%d %.4lf %.4lf %.4lf %.4lf\n", ++i, p[0], p[1], p[2], p[3]);
  return s;
}

const std::vector<std::array<double, 2>> kPlaneSource = {
    {3376498.6002, 444006.4264}, {3378012.3150, 446220.9021}, {3374110.8033, 447830.2170}, {3377500.0, 441900.5005}};

class IdentityTransform : public TransformTest, public testing::WithParamInterface<int> {};

TEST_P(IdentityTransform, IdenticalSetsGiveTheIdentityWithZeroM0) {
  const int parameters = GetParam();
  std::string content;
  if (parameters == 7) {
    content = "A -2263483.8885 5013061.1228 3218279.9226 -2263483.8885 5013061.1228 3218279.9226\n"
              "B -2270012.3456 5008123.4567 3220123.9876 -2270012.3456 5008123.4567 3220123.9876\n"
              "C -2258001.1111 5015999.2222 3225000.3333 -2258001.1111 5015999.2222 3225000.3333\n"
              "D -2266500.5000 5016000.2500 3212000.7500 -2266500.5000 5016000.2500 3212000.7500\n"
              "E -2264000.0 5012000.0 3219000.0\n";
  } else {
    std::vector<std::array<double, 4>> points;
    for (const auto& p : kPlaneSource) points.push_back({p[0], p[1], p[0], p[1]});
    content = PlaneLines(points) + "E 3376000.0 445000.0\n";
  }
  std::string path = Input(parameters == 7 ? "same.XYZXYZ" : "same.XYXY", content);
  ASSERT_EQ(Run(path, parameters), 1);
  std::string report = Output(parameters == 7 ? "same.XYZXYZ_O" : "same.XYXY_O");
  EXPECT_EQ(ReportValue(report, u8"平移X0="), 0.0);
  EXPECT_EQ(ReportValue(report, u8"平移Y0="), 0.0);
  EXPECT_NE(report.find("    M0=           0.00(cm)\n"), std::string::npos);
  if (parameters == 7) {
    EXPECT_EQ(ReportValue(report, u8"平移Z0="), 0.0);
    for (const char* label : {u8"旋转 X=", u8"旋转 Y=", u8"旋转 Z=", u8"尺度 K="})
      EXPECT_NEAR(ReportValue(report, label), 0.0, 1e-9) << label;
  } else if (parameters == 6) {
    for (const char* label : {u8"旋转 X=", u8"旋转 Y=", u8"尺度 X=", u8"尺度 Y="})
      EXPECT_NEAR(ReportValue(report, label), 0.0, 1e-9) << label;
  } else {
    EXPECT_NEAR(ReportValue(report, u8"尺度 K="), 0.0, 1e-9);
    EXPECT_NEAR(ReportValue(report, u8"旋转 A="), 0.0, 1e-9);
    EXPECT_NEAR(unknowns[2], 1.0, 1e-12);
    EXPECT_NEAR(unknowns[3], 0.0, 1e-12);
  }
  for (const auto& row : CollocationRows(report, parameters == 7 ? 6 : 4)) {
    ASSERT_GE(row.size(), 4u);
    for (size_t k = row.size() / 2; k < row.size(); ++k) EXPECT_EQ(std::fabs(row[k]), 0.0);
  }
}

// "Parameters4": a case named by the number of transformation parameters.
std::string ParameterCountName(const testing::TestParamInfo<int>& info) {
  return "Parameters" + std::to_string(info.param);
}

INSTANTIATE_TEST_SUITE_P(AllForms, IdentityTransform, testing::Values(3, 4, 6, 7), ParameterCountName);

class QuarterTurn : public TransformTest, public testing::WithParamInterface<int> {};

// x2 = y1, y2 = -x1: a rotation of 90 degrees about the origin without scale.
TEST_P(QuarterTurn, GivesCZeroDOneAndNinetyDegrees) {
  std::vector<std::array<double, 4>> points;
  for (const auto& p : kPlaneSource) points.push_back({p[0], p[1], p[1], -p[0]});
  std::string path = Input("turn.XYXY", PlaneLines(points));
  ASSERT_EQ(Run(path, GetParam()), 1);
  EXPECT_NEAR(unknowns[2], 0.0, 1e-12);  // c
  EXPECT_NEAR(unknowns[3], 1.0, 1e-12);  // d
  std::string report = Output("turn.XYXY_O");
  EXPECT_NE(report.find(G(u8"旋转 A=  90.0000000000(dms)\n")), std::string::npos);
  EXPECT_EQ(Format("%.4lf", ReportValue(report, u8"旋转 A=")), "90.0000");
  EXPECT_NEAR(ReportValue(report, u8"尺度 K="), 0.0, 1e-6);
  EXPECT_NEAR(ReportValue(report, u8"平移X0="), 0.0, 1e-4);
  EXPECT_NEAR(ReportValue(report, u8"平移Y0="), 0.0, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(ThreeAndFour, QuarterTurn, testing::Values(3, 4), ParameterCountName);

// Without a scale parameter a scale difference cannot be absorbed: it stays in the
// residuals, and the unit-weight error shows it.
TEST_F(TransformTest, ThreeParametersKeepScaleZeroAndCarryTheMisfitInTheResiduals) {
  std::vector<std::array<double, 4>> points;
  for (const auto& p : kPlaneSource) points.push_back({p[0], p[1], 1.001 * p[0] + 100.0, 1.001 * p[1] - 50.0});
  std::string path = Input("scaled.XYXY", PlaneLines(points));
  ASSERT_EQ(Run(path, 3), 1);
  std::string report = Output("scaled.XYXY_O");
  EXPECT_EQ(ReportValue(report, u8"尺度 K="), 0.0);
  EXPECT_NEAR(ReportValue(report, u8"旋转 A="), 0.0, 1e-6);  // dms; the input is rounded to 0.1 mm
  double largest = 0.0;
  for (const auto& row : CollocationRows(report, 4)) largest = std::max({largest, std::fabs(row[2]), std::fabs(row[3])});
  EXPECT_GT(largest, 1.0);  // metres: 0.001 of a few kilometres
  EXPECT_GT(ReportValue(report, "    M0="), 100.0);  // cm

  // The 4-parameter form absorbs it.
  ASSERT_EQ(Run(path, 4), 1);
  report = Output("scaled.XYXY_O");
  EXPECT_NEAR(ReportValue(report.substr(report.rfind(G(u8"转换参数"))), u8"尺度 K="), 1000.0, 1e-2);  // input rounded to 0.1 mm
}

// Points transformed with the spatial model itself give back its parameters.
TEST_F(TransformTest, SevenParametersRecoverKnownParameters) {
  const double rho = 206264.80624709636;
  const double scalePpm = 4.2, rotation[3] = {2.5, -1.7, 3.2};  // ppm, seconds of arc
  const double shift[3] = {52.125, -31.75, 20.5};               // m
  const double k = 1.0 + scalePpm * 1e-6;
  const double eX = rotation[0] / rho * k, eY = rotation[1] / rho * k, eZ = rotation[2] / rho * k;
  const double source[5][3] = {{-2263483.8885, 5013061.1228, 3218279.9226},
                               {-2270012.3456, 5008123.4567, 3220123.9876},
                               {-2258001.1111, 5015999.2222, 3225000.3333},
                               {-2266500.5, 5016000.25, 3212000.75},
                               {-2241000.0, 5031000.0, 3199000.0}};
  std::string content;
  for (const auto& p : source) {
    const double X = shift[0] + k * p[0] + eZ * p[1] - eY * p[2];
    const double Y = shift[1] + k * p[1] + eX * p[2] - eZ * p[0];
    const double Z = shift[2] + k * p[2] - eX * p[1] + eY * p[0];
    content += Format("P %.4lf %.4lf %.4lf %.9lf %.9lf %.9lf\n", p[0], p[1], p[2], X, Y, Z);
  }
  std::string path = Input("known.XYZXYZ", content);
  ASSERT_EQ(Run(path, 7), 1);
  std::string report = Output("known.XYZXYZ_O");
  EXPECT_NEAR(ReportValue(report, u8"旋转 X="), rotation[0], 1e-6);
  EXPECT_NEAR(ReportValue(report, u8"旋转 Y="), rotation[1], 1e-6);
  EXPECT_NEAR(ReportValue(report, u8"旋转 Z="), rotation[2], 1e-6);
  EXPECT_NEAR(ReportValue(report, u8"尺度 K="), scalePpm, 1e-6);
  EXPECT_NEAR(ReportValue(report, u8"平移X0="), shift[0], 2e-4);
  EXPECT_NEAR(ReportValue(report, u8"平移Y0="), shift[1], 2e-4);
  EXPECT_NEAR(ReportValue(report, u8"平移Z0="), shift[2], 2e-4);
  EXPECT_NE(report.find("    M0=           0.00(cm)\n"), std::string::npos);
}

// The weight s^(-3/2) is undefined at distance 0: such a point takes the common point's
// residual.
TEST_F(TransformTest, PointOnACommonPointTakesItsResidual) {
  std::string path = CopyData("plane.XYXY");
  ASSERT_EQ(Run(path, 4), 1);
  auto rows = CollocationRows(Output("plane.XYXY_O"), 4);
  ASSERT_EQ(rows.size(), 8u);    // five common points, three to transform
  EXPECT_EQ(rows[7], rows[0]);   // the last point is K1 again
  for (double v : rows[5]) EXPECT_TRUE(std::isfinite(v));
}

TEST_F(TransformTest, CommonPointAfterAPointToTransformIsRefused) {
  std::vector<std::array<double, 4>> points;
  for (const auto& p : kPlaneSource) points.push_back({p[0], p[1], p[0] + 1, p[1] + 1});
  std::string lines = PlaneLines(points);
  lines.insert(lines.find("K3"), "T 3376000.0 445000.0\n");
  std::string path = Input("order.XYXY", lines);
  EXPECT_EQ(Run(path, 4), 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].Utf8Text(), u8"第4行的公共点K3位于待转换点之后，公共点必须全部排在待转换点之前!");
  EXPECT_FALSE(fs::exists(dir.path() / "order.XYXY_O"));
  EXPECT_TRUE(host.openedDocuments.empty());
}

struct Undetermined {
  const char* name;
  int parameterCount;
  const char* content;
  const char* message;
};

class UndeterminedTransform : public TransformTest, public testing::WithParamInterface<Undetermined> {};

// Too few or degenerate common points: a message, and no report of non-finite parameters.
TEST_P(UndeterminedTransform, SaysSoAndWritesNothing) {
  const Undetermined& c = GetParam();
  std::string input = std::string(c.name) + (c.parameterCount == 7 ? ".XYZXYZ" : ".XYXY");
  ASSERT_EQ(Run(Input(input, c.content), c.parameterCount), 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].Utf8Text(), c.message);
  EXPECT_FALSE(fs::exists(dir.path() / (input + "_O")));
  EXPECT_TRUE(host.openedDocuments.empty());
}

const char* const kSingular = u8"公共点的分布不能确定转换参数(点位重合或共线)，法方程奇异，无法计算!";

INSTANTIATE_TEST_SUITE_P(
    Cases, UndeterminedTransform,
    testing::Values(
        Undetermined{"none", 4, "T 1 2\n", u8"公共点数目不足(0个)，求解转换参数至少需要2个公共点!"},
        Undetermined{"one", 3, "A 1 2 3 4\nT 1 2\n", u8"公共点数目不足(1个)，求解转换参数至少需要2个公共点!"},
        Undetermined{"two", 6, "A 1 2 3 4\nB 5 6 7 8\n", u8"公共点数目不足(2个)，求解转换参数至少需要3个公共点!"},
        Undetermined{"coincident", 4, "A 10 20 3 4\nB 10 20 5 6\nC 10 20 7 8\n", kSingular},
        Undetermined{"collinear", 6, "A 0 0 3 4\nB 10 10 5 6\nC 20 20 7 8\nD 30 30 1 1\n", kSingular},
        Undetermined{"onepoint", 3, "A 0 0 5 5\nB 10 10 5 5\nC 20 0 5 5\n", kSingular},
        Undetermined{"flat", 7,
                     "A 0 0 0 1 1 1\nB 100 100 100 101 101 101\nC 200 200 200 201 201 201\nD 300 300 300 1 2 3\n",
                     kSingular}),
    [](const testing::TestParamInfo<Undetermined>& info) { return std::string(info.param.name); });

TEST_F(TransformTest, OverlongNameIsReportedAndItsLineLeftOut) {
  std::vector<std::array<double, 4>> points;
  for (const auto& p : kPlaneSource) points.push_back({p[0], p[1], p[0], p[1]});
  std::string lines = PlaneLines(points) + "ABCDEFGHIJKLMNOPQRST 1 2\nABCDEFGHIJKLMNOPQRS 3 4\n";
  ASSERT_EQ(Run(Input("long.XYXY", lines), 4), 1);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].Utf8Text(), u8"第5行的点名ABCDEFGHIJKLMNOPQRST超过19个字符，该行未参与计算!");
  std::string report = Output("long.XYXY_O");
  EXPECT_EQ(report.find("ABCDEFGHIJKLMNOPQRST"), std::string::npos);
  EXPECT_NE(report.find("\nABCDEFGHIJKLMNOPQRS "), std::string::npos);
}

TEST_F(TransformTest, CancelledChoiceEndsSilently) {
  GPSTransfer t(GPSTransfer::kModeXYXY);
  t.m_ParameterCount = 4;
  EXPECT_EQ(t.XYXY4(), 0);  // the test host answers the dialog with Cancel
  EXPECT_EQ(host.fileDialogs.size(), 1u);
  EXPECT_TRUE(host.messages.empty());
}

// An input named like the report would be appended to while it is the input.
TEST_F(TransformTest, InputThatIsTheReportFileIsRefused) {
  std::vector<std::array<double, 4>> points;
  for (const auto& p : kPlaneSource) points.push_back({p[0], p[1], p[0], p[1]});
  const std::string content = PlaneLines(points);
  std::string path = Input("loop.XYXY_O", content);
  EXPECT_EQ(Run(path, 4), 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(vemo::ReadWholeFile(path).value_or(""), content);
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "geodesy/Angles.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSConfiguration.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/ZoneChange.h"
#include "tests/support/TestHost.h"

namespace {
using vemo::Format;
using vemo::test::G;
namespace fs = std::filesystem;

class ZoneChangeTest : public testing::Test {
 protected:
  ZoneChangeTest() {
    CCoorsSystemSet wgs84{"WGS84", 6378137.0, 298.257223563, 1};
    configuration.m_CurrentCoorsSystem = wgs84;
    configuration.m_CentralMeridian = 114.0;
    configuration.m_YConstant = 500.0;
    configuration.m_MeanLatitude = 30.3;
    SetGlobalVal(&configuration, "", "");
  }
  ~ZoneChangeTest() override { SetGlobalVal(nullptr, "", ""); }

  std::string Copy(const std::string& name) {
    fs::copy_file(std::string(VEMO_TEST_DATA_DIR) + "/coord/" + name, dir.path() / name);
    return (dir.path() / name).string();
  }
  std::string Write(const std::string& name, const std::string& content) {
    std::string path = (dir.path() / name).string();
    EXPECT_TRUE(vemo::WriteFileAtomically(path, content));
    return path;
  }
  std::string Read(const std::string& name) { return vemo::ReadWholeFile((dir.path() / name).string()).value_or(""); }

  vemo::test::ScopedTestHost scoped;  // before the configuration is handed over: it resets it
  CGPSConfiguration configuration;
  vemo::test::TempDir dir;
};

// Lines "name x y" of an output block.
std::vector<std::array<double, 2>> Points(const std::string& text) {
  std::vector<std::array<double, 2>> points;
  size_t p = 0;
  while (p < text.size()) {
    size_t nl = text.find('\n', p);
    std::string name;
    double v[2];
    if (ScanPointLine(text.substr(p, nl - p), name, v, 2) == 3) points.push_back({v[0], v[1]});
    p = nl == std::string::npos ? text.size() : nl + 1;
  }
  return points;
}

// The report was checked once against the format and with an independent computation.
TEST_F(ZoneChangeTest, GoldenBlockAndASecondRunAppends) {
  CChangZoneOfXY dialog;
  dialog.m_H1 = 20;
  dialog.m_L01 = 114;
  dialog.m_H2 = 50;
  dialog.m_L02 = 117.3;
  dialog.m_Method = CChangZoneOfXY::kEnlargeBothAxes;
  std::string input = Copy("zone.XY");
  ASSERT_EQ(ChangeZoneOfXY(dialog, input), 1);
  const std::string golden =
      vemo::ReadWholeFile(std::string(VEMO_TEST_DATA_DIR) + "/coord/golden/zone-117.3000-50.xy").value_or("?");
  EXPECT_EQ(Read("zone-117.3000-50.xy"), golden);
  EXPECT_EQ(scoped.host.openedDocuments,
            (std::vector<std::string>{input, (dir.path() / "zone-117.3000-50.xy").string()}));
  ASSERT_EQ(ChangeZoneOfXY(dialog, input), 1);
  EXPECT_EQ(Read("zone-117.3000-50.xy"), golden + golden);
  EXPECT_TRUE(scoped.host.messages.empty());
}

TEST(ZoneChangeOutputName, MeridianWithFourDecimalsHeightWithNone) {
  EXPECT_EQ(ZoneChangeOutputName("/d/", "grid", 117.3, 50.0), "/d/grid-117.3000-50.xy");
  EXPECT_EQ(ZoneChangeOutputName("", "a", 0.0, -12.6), "a-0.0000--13.xy");
}

class ZoneIdentity : public ZoneChangeTest, public testing::WithParamInterface<int> {};

// The same zone and surface on both sides give back the input up to the round trip
// XYBL / BLXY, with 3- and 4-field lines alike.
TEST_P(ZoneIdentity, SameZoneAndSurfaceReturnTheInput) {
  CChangZoneOfXY dialog;
  dialog.m_H1 = dialog.m_H2 = 35.0;
  dialog.m_L01 = dialog.m_L02 = 114.0;
  dialog.m_Method = GetParam();
  const std::string content =
      "A 3376498.6002 644006.4264\nB 3320000.0 420000.0 80\nC 3450000.5 590000.25 -20\nD 3250000 500000 35\n";
  ASSERT_EQ(ChangeZoneOfXY(dialog, Write("same.XY", content)), 1);
  auto in = Points(content), out = Points(Read("same-114.0000-35.xy"));
  ASSERT_EQ(out.size(), in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    EXPECT_NEAR(out[i][0], in[i][0], 1e-4) << i;
    EXPECT_NEAR(out[i][1], in[i][1], 1e-4) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryMethod, ZoneIdentity, testing::Values(0, 1, 2),
                         [](const testing::TestParamInfo<int>& info) { return "Method" + std::to_string(info.param); });

TEST_F(ZoneChangeTest, LinesOfTwoOrFiveFieldsAndTextAreSkipped) {
  CChangZoneOfXY dialog;
  dialog.m_L01 = dialog.m_L02 = 114.0;
  const std::string content = "TWO 3376498.6002\nFIVE 3376498.6002 644006.4264 1 2\nTXT 3376498.6 abc\n\n  \n";
  ASSERT_EQ(ChangeZoneOfXY(dialog, Write("skip.XY", content)), 1);
  EXPECT_EQ(Read("skip-114.0000-0.xy"), "\n\n");
  EXPECT_TRUE(scoped.host.messages.empty());
}

TEST_F(ZoneChangeTest, HeightAboveTheFirstSurfaceComesFromTheFourthField) {
  CChangZoneOfXY dialog;
  dialog.m_H1 = 100.0;
  dialog.m_H2 = 0.0;
  dialog.m_L01 = dialog.m_L02 = 114.0;
  // "name x y" stands on the first surface, like "name x y H1"; another height differs.
  const std::string content = G(u8"A，3376498.6002，644006.4264\nB 3376498.6002,644006.4264 100\n"
                                u8"C 3376498.6002 644006.4264 5000\n");
  ASSERT_EQ(ChangeZoneOfXY(dialog, Write(u8"高.XY", content)), 1);
  std::string out = Read(u8"高-114.0000-0.xy");
  auto p = Points(out);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0], p[1]);
  EXPECT_NE(p[0], p[2]);
}

// Moving from the surface 0 m to 50 m enlarges the grid by 50 m / a, and the point, held in
// space, moves north by M dB of the abridged Molodensky latitude change dB = N e^2 sin B cos B da / (a M).
TEST_F(ZoneChangeTest, HigherSurfaceScalesTheGrid) {
  CChangZoneOfXY dialog;
  dialog.m_H2 = 50.0;
  dialog.m_L01 = dialog.m_L02 = 114.0;
  ASSERT_EQ(ChangeZoneOfXY(dialog, Write("up.XY", "A 3376498.6002 644006.4264\n")), 1);
  auto p = Points(Read("up-114.0000-50.xy"));
  ASSERT_EQ(p.size(), 1u);
  const double a = 6378137.0, e2 = 0.00669437999014, B = DmsToRadian(30.30), da = 50.0;
  const double N = a / std::sqrt(1 - e2 * std::sin(B) * std::sin(B));
  const double north = N * e2 * std::sin(B) * std::cos(B) * da / a;  // M dB, metres
  EXPECT_NEAR(p[0][0] - 3376498.6002, 3376498.6002 * da / a + north, 0.005);
  EXPECT_NEAR(p[0][1] - 644006.4264, 144006.4264 * da / a, 0.005);
}

TEST(ZoneChangeEllipsoids, MethodsEnlargeAsDesigned) {
  const double a = 6378137.0, invF = 298.257223563, f = 1.0 / invF;
  CChangZoneOfXY dialog;
  dialog.m_H1 = 0.0;
  dialog.m_H2 = 60.0;
  for (int method : {0, 1}) {
    dialog.m_Method = method;
    CZoneChangeEllipsoids z(a, invF, 30.3, dialog);
    EXPECT_EQ(z.df, 0.0) << method;
    EXPECT_EQ(z.f1, f);
    EXPECT_GT(z.da, 60.0 - 1e-9);
  }
  dialog.m_Method = CChangZoneOfXY::kEnlargeAxisByLatitude;
  CZoneChangeEllipsoids z1(a, invF, 30.3, dialog);
  const double k = 1.0 - 2.0 * DmsToRadian(30.3) / invF / PI;
  EXPECT_NEAR(z1.da, 60.0 / k, 1e-8);

  dialog.m_Method = CChangZoneOfXY::kEnlargeBothAxes;
  CZoneChangeEllipsoids z2(a, invF, 30.3, dialog);
  EXPECT_EQ(z2.a1, a);
  EXPECT_EQ(z2.f1, f);
  EXPECT_DOUBLE_EQ(z2.f2, f * a / (a + 60.0));
  // Both semi-axes grow by the height.
  EXPECT_NEAR(z2.a2 * (1 - z2.f2) - a * (1 - f), 60.0, 1e-8);
}

struct RangeCase {
  const char* name;
  double h1, l01, h2, l02;
  int method;
  const char* message;  // nullptr: accepted
};

class ZoneDialogValidation : public testing::TestWithParam<RangeCase> {};

TEST_P(ZoneDialogValidation, RefusesOutOfRangeValues) {
  const RangeCase& c = GetParam();
  CChangZoneOfXY dialog{c.h1, c.l01, c.h2, c.l02, c.method};
  std::string refused = dialog.Validate();
  if (!c.message) EXPECT_EQ(refused, "");
  else EXPECT_EQ(vemo::GbkToUtf8(refused), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ZoneDialogValidation,
    testing::Values(
        RangeCase{"Zeros", 0, 0, 0, 0, 0, nullptr}, RangeCase{"Limits", -500, 360, 9000, 0, 2, nullptr},
        RangeCase{"FirstHeightTooLow", -500.01, 0, 0, 0, 0, u8"第一带投影面大地高(m): 请输入一个介于 -500 和 9000 之间的数。"},
        RangeCase{"FirstMeridianTooLarge", 0, 360.5, 0, 0, 0, u8"第一带中央子午线(dms): 请输入一个介于 0 和 360 之间的数。"},
        RangeCase{"SecondHeightTooHigh", 0, 0, 9001, 0, 0, u8"第二带投影面大地高(m): 请输入一个介于 -500 和 9000 之间的数。"},
        RangeCase{"SecondMeridianNegative", 0, 0, 0, -1, 0, u8"第二带中央子午线(dms): 请输入一个介于 0 和 360 之间的数。"},
        RangeCase{"FirstHeightNan", NAN, 0, 0, 0, 0, u8"第一带投影面大地高(m): 请输入一个介于 -500 和 9000 之间的数。"},
        RangeCase{"UnknownMethod", 0, 0, 0, 0, 3, u8"高程投影椭球膨胀方法: 请选择 da=dH、da=f(dH,B) 或 da=db=dH。"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZoneChangeTest, MissingInputEndsSilently) {
  CChangZoneOfXY dialog;
  EXPECT_EQ(ChangeZoneOfXY(dialog, (dir.path() / "none.XY").string()), 0);
  EXPECT_TRUE(scoped.host.messages.empty());
  EXPECT_TRUE(scoped.host.openedDocuments.empty());
  EXPECT_FALSE(fs::exists(dir.path() / "none-0.0000-0.xy"));
}

}  // namespace

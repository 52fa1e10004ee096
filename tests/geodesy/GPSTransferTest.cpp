#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "geodesy/Angles.h"
#include "geodesy/Format.h"
#include "geodesy/GPSConfiguration.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Settings.h"
#include "tests/support/CaseNames.h"
#include "tests/support/TestHost.h"

namespace {
using vemo::Format;
using vemo::test::G;

constexpr double kWgs84A = 6378137.0, kWgs84InvF = 298.257223563;

// Hands a configuration with the given projection type to the library for one test.
class ScopedProjection {
 public:
  explicit ScopedProjection(int type) {
    m_Configuration.m_ProjectionType = type;
    SetGlobalVal(&m_Configuration, "", "");
  }
  ~ScopedProjection() { SetGlobalVal(nullptr, "", ""); }

 private:
  CGPSConfiguration m_Configuration;
};

// A conversion object on the WGS84 ellipsoid.
struct Wgs84Transfer : GPSTransfer {
  Wgs84Transfer() : GPSTransfer(kModeXYZ) {
    m_a = kWgs84A;
    m_InvF = kWgs84InvF;
  }
};

// Reference values of the design, printed to the digit of the result files.
TEST(GPSTransferReference, BLHXYZOnWgs84) {
  Wgs84Transfer t;
  t.m_B = DmsToRadian(30.30);
  t.m_L = DmsToRadian(114.18);
  t.m_H = 50.0;
  ASSERT_EQ(t.BLHXYZ(), 1);
  EXPECT_EQ(Format("%.4lf %.4lf %.4lf", t.m_X, t.m_Y, t.m_Z), "-2263483.8885 5013061.1228 3218279.9226");
  EXPECT_NEAR(t.m_b, 6356752.314245, 1e-6);  // WGS84 semi-minor axis
}

struct ProjectionReference {
  int type;
  const char* expected;
};

class BLXYReference : public testing::TestWithParam<ProjectionReference> {};

TEST_P(BLXYReference, ThirtyDegreesThirtyMinutesAtOneAndAHalfDegrees) {
  ScopedProjection projection(GetParam().type);
  Wgs84Transfer t;
  t.m_L0 = DmsToRadian(114.0);
  t.m_B = DmsToRadian(30.30);
  t.m_L = DmsToRadian(115.30);
  ASSERT_EQ(t.BLXY(), 1);
  EXPECT_EQ(Format("%.4lf %.4lf", t.m_X, t.m_Y), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(GaussAndUtm, BLXYReference,
                         testing::Values(ProjectionReference{0, "3376498.6002 144006.4264"},
                                         ProjectionReference{1, "3375148.0007 143948.8238"}),
                         [](const testing::TestParamInfo<ProjectionReference>& info) {
                           return std::string(info.param.type == 0 ? "Gauss" : "Utm");
                         });

TEST(GPSTransferProjection, CentralMeridianGivesTheMeridianArc) {
  ScopedProjection projection(0);
  Wgs84Transfer t;
  t.m_L0 = t.m_L = DmsToRadian(117.0);
  // Published WGS84 meridian distances from the equator to 45 deg and to the pole.
  t.m_B = PI / 4;
  ASSERT_EQ(t.BLXY(), 1);
  EXPECT_NEAR(t.m_X, 4984944.378, 1e-3);
  EXPECT_EQ(t.m_Y, 0.0);
  t.m_B = PI / 2;
  ASSERT_EQ(t.BLXY(), 1);
  EXPECT_NEAR(t.m_X, 10001965.729, 1e-3);
}

TEST(GPSTransferProjection, SouthernLatitudeGivesNegativeNorthingAndKeepsItsMagnitude) {
  ScopedProjection projection(0);
  Wgs84Transfer t;
  t.m_L0 = 0.0;
  t.m_B = -DmsToRadian(30.30);
  t.m_L = DmsToRadian(1.30);
  ASSERT_EQ(t.BLXY(), 1);
  EXPECT_EQ(Format("%.4lf %.4lf", t.m_X, t.m_Y), "-3376498.6002 144006.4264");
  EXPECT_DOUBLE_EQ(t.m_B, DmsToRadian(30.30));  // the member keeps |B|
  ASSERT_EQ(t.XYBL(), 1);
  EXPECT_NEAR(t.m_B, -DmsToRadian(30.30), 1e-9);
  EXPECT_NEAR(t.m_X, 3376498.6002, 1e-4);  // the member keeps |x|
}

TEST(GPSTransferProjection, UtmScalesGaussKruegerByTheCentralScaleFactor) {
  Wgs84Transfer t;
  t.m_L0 = t.m_L = 0.0;
  t.m_B = 0.0;
  {
    ScopedProjection utm(1);
    ASSERT_EQ(t.BLXY(), 1);
    EXPECT_EQ(t.m_X, 0.0);
    EXPECT_EQ(t.m_Y, 0.0);
  }
  double gauss, utm;
  t.m_B = PI / 4;
  t.m_L = DmsToRadian(2.0);
  {
    ScopedProjection p(0);
    t.BLXY();
    gauss = t.m_X;
  }
  t.m_B = PI / 4;
  {
    ScopedProjection p(1);
    t.BLXY();
    utm = t.m_X;
  }
  EXPECT_NEAR(utm, 0.9996 * gauss, 1e-9);
}

TEST(GPSTransferProjection, AnotherProjectionTypeLeavesTheCoordinatesAlone) {
  ScopedProjection projection(2);
  Wgs84Transfer t;
  t.m_X = 11.0;
  t.m_Y = 22.0;
  t.m_B = 0.5;
  t.m_L = 0.1;
  EXPECT_EQ(t.BLXY(), 1);
  EXPECT_EQ(t.m_X, 11.0);
  EXPECT_EQ(t.m_Y, 22.0);
  EXPECT_EQ(t.XYBL(), 1);
  EXPECT_EQ(t.m_B, 0.5);
  EXPECT_EQ(t.m_L, 0.1);
}

TEST(GPSTransferGeocentric, NegativeZGivesSouthernLatitudeAndKeepsItsMagnitude) {
  Wgs84Transfer t;
  t.m_X = -2263483.8885;
  t.m_Y = 5013061.1228;
  t.m_Z = -3218279.9226;
  ASSERT_EQ(t.XYZBLH(), 1);
  EXPECT_EQ(Format("%.9lf %.9lf %.4lf", RadianToDms(t.m_B), RadianToDms(t.m_L), t.m_H),
            "-30.300000000 114.180000000 50.0000");
  EXPECT_EQ(t.m_Z, 3218279.9226);
}

// The polar axis lies outside the iteration (it divides by the distance from the axis), and
// a non-finite input would never satisfy the stop rule: both are refused, never looped on.
TEST(GPSTransferGeocentric, PolarAxisAndNonFiniteInputAreRefused) {
  struct Case {
    double x, y, z;
  };
  for (Case c : {Case{0, 0, 6356752.3}, Case{0, 0, -6356752.3}, Case{0, 0, 0}, Case{NAN, 1, 1}, Case{1, INFINITY, 1},
                 Case{1, 1, NAN}}) {
    Wgs84Transfer t;
    t.m_B = 7.0;
    t.m_X = c.x;
    t.m_Y = c.y;
    t.m_Z = c.z;
    EXPECT_EQ(t.XYZBLH(), 0) << c.x << " " << c.y << " " << c.z;
    EXPECT_EQ(t.m_B, 7.0);
  }
  // Close to the axis the iteration still works.
  Wgs84Transfer t;
  t.m_X = 100.0;
  t.m_Y = 0.0;
  t.m_Z = 6356752.3142;
  ASSERT_EQ(t.XYZBLH(), 1);
  EXPECT_NEAR(t.m_B, PI / 2, 2e-5);
}

TEST(GPSTransferGeocentric, ForwardConversionRefusesNonFiniteResults) {
  Wgs84Transfer t;
  t.m_B = NAN;
  EXPECT_EQ(t.BLHXYZ(), 0);
  t.m_InvF = 0.0;  // a damaged ellipsoid
  t.m_B = 0.5;
  EXPECT_EQ(t.BLHXYZ(), 0);
}

// Round trips on every predefined ellipsoid.
class EllipsoidRoundTrip : public testing::TestWithParam<CCoorsSystemSet> {};

TEST_P(EllipsoidRoundTrip, GeodeticToGeocentricAndBack) {
  GPSTransfer t(GPSTransfer::kModeBLH);
  t.m_a = GetParam().m_a;
  t.m_InvF = GetParam().m_InvF;
  double worstB = 0, worstL = 0, worstH = 0;
  for (double degrees = -80.0; degrees <= 80.0; degrees += 1.7) {
    for (double H : {-500.0, 0.0, 49.99, 2500.0, 9000.0}) {
      for (double lon : {-179.5, -45.25, 0.0, 114.3, 179.9}) {
        const double B = degrees * PI / 180, L = lon * PI / 180;
        t.m_B = B;
        t.m_L = L;
        t.m_H = H;
        ASSERT_EQ(t.BLHXYZ(), 1);
        ASSERT_EQ(t.XYZBLH(), 1);
        worstB = std::max(worstB, std::fabs(t.m_B - B));
        worstL = std::max(worstL, std::fabs(t.m_L - L));
        worstH = std::max(worstH, std::fabs(t.m_H - H));
      }
    }
  }
  EXPECT_LT(worstB, 1e-9);  // rad
  EXPECT_LT(worstL, 1e-12);
  EXPECT_LT(worstH, 1e-3);  // m
}

TEST_P(EllipsoidRoundTrip, ProjectionAndInverseWithinThreeDegrees) {
  for (int type : {0, 1}) {
    ScopedProjection projection(type);
    GPSTransfer t(GPSTransfer::kModeBL);
    t.m_a = GetParam().m_a;
    t.m_InvF = GetParam().m_InvF;
    t.m_L0 = DmsToRadian(117.0);
    double worst = 0;
    for (double degrees = -80.0; degrees <= 80.0; degrees += 0.9) {
      for (double l = -3.0; l <= 3.0; l += 0.25) {
        const double B = degrees * PI / 180, L = t.m_L0 + l * PI / 180;
        t.m_B = B;
        t.m_L = L;
        ASSERT_EQ(t.BLXY(), 1);
        ASSERT_EQ(t.XYBL(), 1);
        worst = std::max({worst, std::fabs(t.m_B - B), std::fabs(t.m_L - L)});
      }
    }
    EXPECT_LT(worst, 1e-9) << "projection type " << type;  // rad
  }
}

INSTANTIATE_TEST_SUITE_P(Predefined, EllipsoidRoundTrip, testing::ValuesIn(PredefinedCoorsSystems()),
                         [](const testing::TestParamInfo<CCoorsSystemSet>& info) {
                           // The Chinese names in pinyin; the others are ASCII.
                           if (info.param.m_Name == vemo::T(u8"北京54")) return std::string("Beijing54");
                           if (info.param.m_Name == vemo::T(u8"西安80")) return std::string("Xian80");
                           return vemo::test::CaseName(info.param.m_Name);
                         });

TEST(CommasToBlanks, AsciiAndFullWidthCommasOnCharacterBoundariesOnly) {
  EXPECT_EQ(CommasToBlanks(G(u8"武汉2，30.25,114.2 ，5")), G(u8"武汉2 30.25 114.2  5"));
  // 0xB0A3 followed by 0xAC40: the bytes A3 AC straddle two characters and are no comma.
  const std::string straddle = "\xB0\xA3\xAC\x40";
  EXPECT_EQ(CommasToBlanks(straddle), straddle);
  EXPECT_EQ(CommasToBlanks("a,,b"), "a  b");
  EXPECT_EQ(CommasToBlanks("\xA3"), "\xA3");  // a lone lead byte at the end
}

struct ScanCase {
  const char* name;
  const char* line;
  int maxValues;
  int fields;
};

class ScanPointLineTest : public testing::TestWithParam<ScanCase> {};

// Counts like sscanf("%s %lf %lf %lf"): extra fields are ignored, the count stops at the
// first field that does not convert; non-finite numbers do not convert.
TEST_P(ScanPointLineTest, CountsFieldsLikeTheFormatScan) {
  std::string name;
  double values[6];
  EXPECT_EQ(ScanPointLine(GetParam().line, name, values, GetParam().maxValues), GetParam().fields)
      << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Lines, ScanPointLineTest,
                         testing::Values(ScanCase{"NameAndThree", "P1 1 2 3", 3, 4},
                                         ScanCase{"ExtraFieldsIgnored", "  P1\t1 2 3 4 5", 3, 4},
                                         ScanCase{"TextForANumber", "P1 1 x 3", 3, 2},
                                         ScanCase{"NumberEndsAtALetter", "P1 1.5abc 2", 3, 2},
                                         ScanCase{"Nan", "P1 nan 1 2", 3, 1}, ScanCase{"Inf", "P1 1 inf 2", 3, 2},
                                         ScanCase{"Overflow", "P1 1e999 1 2", 3, 1}, ScanCase{"EmptyLine", "", 3, 0},
                                         ScanCase{"BlankLine", "   ", 3, 0}, ScanCase{"NameOnly", "P1", 3, 1},
                                         ScanCase{"SignsAndLeadingPoint", "P1 +1 -2 .5", 3, 4},
                                         ScanCase{"NameAndSix", "P1 1 2 3 4 5 6", 6, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScanPointLine, TakesTheNameWholeAndTheValues) {
  std::string name;
  double v[3] = {};
  std::string longName(150, 'N');
  ASSERT_EQ(ScanPointLine(longName + " 1 -2.5 3e2", name, v, 3), 4);
  EXPECT_EQ(name, longName);
  EXPECT_EQ(v[0], 1.0);
  EXPECT_EQ(v[1], -2.5);
  EXPECT_EQ(v[2], 300.0);
}

class GetDataFileTest : public testing::Test {
 protected:
  vemo::test::ScopedTestHost scoped;
  vemo::test::TestHost& host = scoped.host;
  vemo::test::TempDir data;
};

TEST_F(GetDataFileTest, DialogOfTheModeStartsInTheRememberedDirectory) {
  const std::string chosen = data.str() + "/sub/pts.v1.BLH";
  host.QueueFiles(std::vector<std::string>{chosen});
  GPSTransfer t(GPSTransfer::kModeBLH);
  ASSERT_EQ(t.GetDataFile(nullptr), 1);
  ASSERT_EQ(host.fileDialogs.size(), 1u);
  const vemo::FileDialogRequest& r = host.fileDialogs[0];
  EXPECT_TRUE(r.open);
  EXPECT_TRUE(r.mustExist);
  EXPECT_EQ(r.title, G(u8"输入三维大地坐标文件"));
  ASSERT_EQ(r.filters.size(), 2u);
  EXPECT_EQ(r.filters[0].description, G(u8"三维大地坐标文件(*.BLH)"));
  EXPECT_EQ(r.filters[0].pattern, "*.BLH");
  EXPECT_EQ(r.filters[1].description, G(u8"所有文件(*.*)"));
  EXPECT_EQ(r.filters[1].pattern, "*.*");
  EXPECT_EQ(r.initialDirectory, std::filesystem::current_path().string() + "/");

  EXPECT_EQ(t.m_DataFile, chosen);
  EXPECT_EQ(GlobalDataDir(), data.str() + "/sub/");
  EXPECT_EQ(GlobalDataName(), "pts.v1");
  EXPECT_EQ(vemo::CSettingsStore::GetString(kDataPathSection, kDataPathKey, "?"), data.str() + "/sub/");

  // The next choice starts where the last one was made; a cancel changes nothing.
  GPSTransfer next(GPSTransfer::kModeXYZXYZ);
  EXPECT_EQ(next.GetDataFile(""), 0);
  ASSERT_EQ(host.fileDialogs.size(), 2u);
  EXPECT_EQ(host.fileDialogs[1].initialDirectory, data.str() + "/sub/");
  EXPECT_EQ(host.fileDialogs[1].title, G(u8"输入三维直角坐标变换文件"));
  EXPECT_EQ(host.fileDialogs[1].filters[0].pattern, "*.XYZXYZ");
  EXPECT_EQ(GlobalDataName(), "pts.v1");
}

TEST_F(GetDataFileTest, GivenPathNeedsNoDialogAndIsMadeAbsolute) {
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(data.path());
  GPSTransfer t(GPSTransfer::kModeXY);
  EXPECT_EQ(t.GetDataFile("grid"), 1);
  std::filesystem::current_path(previous);
  EXPECT_TRUE(host.fileDialogs.empty());
  EXPECT_EQ(t.m_DataFile, data.str() + "/grid");
  EXPECT_EQ(GlobalDataDir(), data.str() + "/");
  EXPECT_EQ(GlobalDataName(), "grid");  // no extension: the whole name
}

}  // namespace

// Known 3D points whose first value is small: B, L, H only where that reading is possible,
// geocentric X, Y, Z near longitude ±90° (where |X| is below 1000 m), a read error otherwise.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "project/AppState.h"
#include "project/data/EntryDialogs.h"
#include "project/data/KnownPointReading.h"
#include "project/data/ReadGPS3dCombinedNet.h"
#include "project/data/ReadGPS3dVector.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using test::G;

constexpr double kDegree = std::numbers::pi / 180.0;

// Geocentric coordinates on WGS84 (m), written out here as an independent reference.
struct Xyz {
  double x, y, z;
};
Xyz Geocentric(double bDegrees, double lDegrees, double h) {
  const double a = 6378137.0, f = 1.0 / 298.257223563, e2 = f * (2.0 - f);
  const double b = bDegrees * kDegree, l = lDegrees * kDegree;
  const double n = a / std::sqrt(1.0 - e2 * std::sin(b) * std::sin(b));
  return {(n + h) * std::cos(b) * std::cos(l), (n + h) * std::cos(b) * std::sin(l), (n * (1.0 - e2) + h) * std::sin(b)};
}

struct ReadingCase {
  const char* what;
  double v1, v2, v3;
  KnownPointReading expected;
};

TEST(KnownPointReading, SmallFirstValuesAreReadByWhatIsPossible) {
  const Xyz dakota = Geocentric(45.5, -90.0003, 400.0);   // the middle of North America
  const Xyz dhaka = Geocentric(23.7, 89.9990, 10.0);      // Bangladesh
  const Xyz tibet = Geocentric(31.0, 90.0050, 4500.0);    // |X| just below 1000 m
  const Xyz pole = {50.0, 30.0, 6356700.0};               // beside the polar axis
  ASSERT_LT(std::fabs(dakota.x), 1000.0);
  ASSERT_LT(std::fabs(dhaka.x), 1000.0);
  ASSERT_LT(std::fabs(tibet.x), 1000.0);
  const ReadingCase cases[] = {
      {"B L H", 30.1522, 114.2030, 25.3, KnownPointReading::Geodetic},
      {"southern, western", -33.5210, -70.3945, 520.0, KnownPointReading::Geodetic},
      {"59'59.9\"", 30.595999, 359.595999, 0.0, KnownPointReading::Geodetic},
      {"latitude 90", 90.0, 0.0, 0.0, KnownPointReading::Geodetic},
      {"X Y Z at -90", dakota.x, dakota.y, dakota.z, KnownPointReading::Geocentric},
      {"X Y Z at 90", dhaka.x, dhaka.y, dhaka.z, KnownPointReading::Geocentric},
      {"X Y Z at 90.005", tibet.x, tibet.y, tibet.z, KnownPointReading::Geocentric},
      {"X Y Z at the pole", pole.x, pole.y, pole.z, KnownPointReading::Geocentric},
      {"X Y Z far out", 5000.0, 1.0, 1.0, KnownPointReading::Geocentric},  // the rule, as it was
      {"60 minutes", 30.60, 114.2, 25.0, KnownPointReading::Impossible},
      {"60 seconds", 30.1560, 114.2, 25.0, KnownPointReading::Impossible},
      {"longitude seconds", 30.15, 114.2075, 25.0, KnownPointReading::Impossible},
      {"latitude 95", 95.0, 114.0, 25.0, KnownPointReading::Impossible},
      {"longitude 400", 30.0, 400.0, 25.0, KnownPointReading::Impossible},
      {"neither", 500.0, 600.0, 700.0, KnownPointReading::Impossible},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadKnownPointValues(c.v1, c.v2, c.v3, GeodeticBound::Below1000), c.expected) << c.what;
  // 1000 itself: X, Y, Z for the 3D network, the B, L, H reading for the ellipsoidal set.
  EXPECT_EQ(ReadKnownPointValues(1000.0, 5.0, 5.0, GeodeticBound::Below1000), KnownPointReading::Geocentric);
  EXPECT_EQ(ReadKnownPointValues(1000.0, 5.0, 5.0, GeodeticBound::UpTo1000), KnownPointReading::Impossible);
}

// A project "t" on WGS84 with a vector file tying the known points to one new point.
class KnownPointLoad : public testing::Test {
 protected:
  KnownPointLoad() {
    Project().projectDir = dir.str();
    Project().projectName = "t";
    Project().configuration.m_CurrentCoorsSystem = {"WGS84", 6378137.0, 298.257223563, 1};
  }
  void Write(const std::string& extension, const std::string& content) {
    ASSERT_TRUE(WriteFileAtomically(dir.str() + "/t." + extension, content));
  }
  std::string LastMessage() { return scoped.host.messages.empty() ? "" : scoped.host.messages.back().text; }

  test::ScopedTestHost scoped;
  test::TempDir dir;
};

TEST_F(KnownPointLoad, GeocentricPointsNearLongitudeNinetyAreReadAsXyz) {
  const Xyz k1 = Geocentric(45.5, -90.0003, 400.0), k2 = Geocentric(45.6, -90.0002, 380.0);
  Write("GPS3dKnownXYZ", Format("K1 %.4f %.4f %.4f\nK2 %.4f %.4f %.4f\n", k1.x, k1.y, k1.z, k2.x, k2.y, k2.z));
  Write("GPS3dVector", "K1 N1 10 20 30 1 1 1 0 0 0\nK2 N1 10 20 30 1 1 1 0 0 0\n");
  CReadGPS3dVector set(0);
  ASSERT_EQ(set.Load(), 1) << LastMessage();
  ASSERT_EQ(set.m_KnownPointCount, 2);
  EXPECT_NEAR(set.m_KnownX[0], k1.x, 1e-4);
  EXPECT_NEAR(set.m_KnownY[0], k1.y, 1e-4);
  EXPECT_NEAR(set.m_KnownZ[1], k2.z, 1e-4);

  CReadGPS3dCombinedNet ellipsoidal;
  Write("GPS3dVector", "K1 N1 10 20 30 1 1 1 0 0 0\n");
  ASSERT_EQ(ellipsoidal.Load(), 1) << LastMessage();
  EXPECT_NEAR(ellipsoidal.m_B[0] / kDegree, 45.5, 1e-9);
  EXPECT_NEAR(ellipsoidal.m_L[0] / kDegree, -90.0003, 1e-9);
  EXPECT_NEAR(ellipsoidal.m_H[0], 400.0, 1e-3);
}

TEST_F(KnownPointLoad, AnImpossibleReadingIsAReadErrorWithItsLine) {
  Write("GPS3dVector", "K1 N1 10 20 30 1 1 1 0 0 0\n");
  const char* lines[] = {"P 30.6 114.2 25\n", "P 30.1560 114 25\n", "P 95 114 25\n", "P 500 600 700\n"};
  for (const char* line : lines) {
    scoped.host.messages.clear();
    Write("GPS3dKnownXYZ", std::string("K1 30.1522 114.2030 25.3\n\n") + line);
    CReadGPS3dVector set(0);
    EXPECT_EQ(set.Load(), 0) << line;
    EXPECT_EQ(set.m_ErrorFlag, 1);
    EXPECT_EQ(LastMessage(), G(u8"在第 3 行读取数据错误!")) << line;
    CReadGPS3dCombinedNet ellipsoidal;
    scoped.host.messages.clear();
    EXPECT_EQ(ellipsoidal.Load(), 0) << line;
    EXPECT_EQ(LastMessage(), G(u8"在第 3 行读取数据错误!")) << line;
  }
  // A horizontal-only point of the ellipsoidal set is held to the same latitude and longitude.
  Write("GPS3dKnownXYZ", "K1 30.1522 114.2030 25.3\nH 30.60 114.2\n");
  CReadGPS3dCombinedNet ellipsoidal;
  scoped.host.messages.clear();
  EXPECT_EQ(ellipsoidal.Load(), 0);
  EXPECT_EQ(LastMessage(), G(u8"在第 2 行读取数据错误!"));
}

TEST_F(KnownPointLoad, TheEntryDialogRefusesRowsNoLoaderCanRead) {
  CEntryGridRecord grid;
  ASSERT_TRUE(OpenEntryDialog(EntryKind::KnownXYZ, grid));
  const Xyz k = Geocentric(23.7, 89.9990, 10.0);
  grid.rows[0] = {"K1", "30.1522", "114.2030", "25.3"};
  grid.rows[1] = {"K2", Format("%.4f", k.x), Format("%.4f", k.y), Format("%.4f", k.z)};
  grid.rows[2] = {"K3", "", "", "12.5"};  // a height-only point
  ASSERT_TRUE(AcceptEntryDialog(grid));
  const std::string written = ReadWholeFile(dir.str() + "/t.GPS3dKnownXYZ").value_or("");

  grid.rows[3] = {"K4", "30.60", "114.2", "25"};
  EXPECT_FALSE(AcceptEntryDialog(grid));
  ASSERT_FALSE(scoped.host.messages.empty());
  EXPECT_NE(scoped.host.messages.back().Utf8Text().find(u8"第4行点K4的数值既不是可能的B、L"), std::string::npos);
  grid.rows[3] = {"K4", "30.1560", "114.2", ""};  // B, L only
  EXPECT_FALSE(AcceptEntryDialog(grid));
  EXPECT_EQ(ReadWholeFile(dir.str() + "/t.GPS3dKnownXYZ").value_or(""), written);  // nothing written
}

}  // namespace

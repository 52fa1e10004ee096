#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/Angles.h"
#include "geodesy/Format.h"

namespace {

std::string Printed(double v, const char* format = "%.11lf") { return vemo::Format(format, v); }

// Reference values are hand computations of the packed-angle algorithms (the 1e-7" seconds
// bias shows as 1e-11 in the packed number).
TEST(DegreeToDms, PackedValuesAndCarries) {
  EXPECT_EQ(Printed(DegreeToDms(30.261805555555554)), "30.15425000001");
  EXPECT_EQ(Printed(DegreeToDms(29.9999999999)), "30.00000000000");  // 60" -> 1', 60' -> 1 deg
  EXPECT_EQ(Printed(DegreeToDms(29.99999999)), "29.59599999641");    // 60 - s = 3.6e-5: no carry
  EXPECT_EQ(Printed(DegreeToDms(-0.5)), "-0.30000000001");           // sign on the whole number
  EXPECT_EQ(Printed(DegreeToDms(0.0)), "0.00000000001");
}

TEST(DmsToDegree, MinutesFromRoundedTextSecondsFromValue) {
  EXPECT_NEAR(DmsToDegree(30.15425), 30.261805555555554, 1e-12);
  EXPECT_DOUBLE_EQ(DmsToDegree(30.3), 30.5);
  EXPECT_EQ(Printed(DmsToDegree(30.599999999), "%.10lf"), "30.9999999972");
  EXPECT_NEAR(DmsToDegree(-120.3), -120.5, 1e-12);
  EXPECT_TRUE(std::isnan(DmsToDegree(NAN)));
  // Huge values do not overflow the text buffer of the reader.
  EXPECT_NEAR(DmsToDegree(1e300), 1e300, 1e288);
}

// Seconds within 5e-6" of 60 carry, so a round trip is exact to 5e-6" (1.4e-9 deg, 2.4e-11 rad).
TEST(DmsRoundTrip, OverWholeCircle) {
  for (double deg = -359.9; deg < 360.0; deg += 0.0137) {
    EXPECT_NEAR(DmsToDegree(DegreeToDms(deg)), deg, 1.4e-9) << deg;
    double rad = deg * PI / 180.0;
    EXPECT_NEAR(DmsToRadian(RadianToDms(rad)), rad, 2.5e-11) << deg;
  }
}

TEST(CentesimalTwins, RoundTripAndSign) {
  for (double g = 0.0; g < 400.0; g += 0.731) {
    EXPECT_NEAR(gDmsToDegree(gDegreeToDms(g)), g, 1e-9) << g;
    double rad = gDegreeToRadian(g);
    EXPECT_NEAR(gDmsToRadian(gRadianToDms(rad)), rad, 1e-10) << g;
  }
  EXPECT_DOUBLE_EQ(gRadianToDms(-1.2), gRadianToDms(1.2));
  EXPECT_GE(gRadianToDms(-1.2), 0.0);
  EXPECT_LT(RadianToDms(-1.2), 0.0);  // the sexagesimal twin keeps the sign
  EXPECT_NEAR(gDmsToRadian(100.0), PI / 2, 1e-15);
}

TEST(Azimuth, QuadrantsAndTinyDifferences) {
  EXPECT_EQ(Azimuth(0.0, 0.0), 0.0);
  EXPECT_DOUBLE_EQ(Azimuth(-1.0, 0.0), PI);
  EXPECT_DOUBLE_EQ(Azimuth(0.0, -1.0), 3.0 * PI / 2.0);
  EXPECT_DOUBLE_EQ(Azimuth(1.0, 1.0), PI / 4.0);
  EXPECT_DOUBLE_EQ(Azimuth(5e-6, 2e-5), std::atan2(2e-5, 5e-6));  // only one is below 1e-5
  EXPECT_EQ(Azimuth(9e-6, -9e-6), 0.0);
  double a = Azimuth(1.0, -1e-17);
  EXPECT_GE(a, 0.0);
  EXPECT_LT(a, 2.0 * PI);
}

TEST(Conversions, RadiansAndPi) {
  EXPECT_DOUBLE_EQ(PI, std::acos(-1.0));
  EXPECT_DOUBLE_EQ(DegreeToRadian(180.0), PI);
  EXPECT_DOUBLE_EQ(DmsToRadian(90.0), PI / 2);
  EXPECT_EQ(Square(-3.0), 9.0);
}

}  // namespace

// A D.MMSS value printed with fewer than nine decimals is rounded in seconds and carried, so
// that no printed value holds 60 seconds or minutes; with nine or more the stored digits stay.
TEST(PrintedDms, RoundsInSecondsAndCarries) {
  const double secondsToRadians = PI / (180.0 * 3600.0);
  auto printed = [&](double seconds, int decimals, double wrap = 0.0) {
    return vemo::Format("%.*f", decimals, RadianToDms(seconds * secondsToRadians, decimals, wrap));
  };
  EXPECT_EQ(printed(12 * 3600 + 59 * 60 + 59.99999, 5), "13.00000");
  EXPECT_EQ(printed(12 * 3600 + 59 * 60 + 59.94, 5), "12.59599");
  EXPECT_EQ(printed(359 * 3600 + 59 * 60 + 59.99996, 5, 360.0), "0.00000");
  EXPECT_EQ(printed(179 * 3600 + 59 * 60 + 59.6, 4, 180.0), "0.0000");
  EXPECT_EQ(printed(-(30 * 3600 + 15 * 60 + 42.5), 5), "-30.15425");
  EXPECT_EQ(printed(-0.01, 4), "0.0000");
  const double angle = (30 * 3600 + 15 * 60 + 42.5) * secondsToRadians;
  EXPECT_EQ(printed(30 * 3600 + 15 * 60 + 42.5, 9), vemo::Format("%.9f", RadianToDms(angle)));
}

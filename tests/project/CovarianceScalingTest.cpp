// The covariance scaling of the vectors: its formulas on cases checked by hand, the sessions
// of the independent baseline file, the refusal of a bad file and the statement the reports
// carry.
#include <gtest/gtest.h>

#include <cmath>

#include "project/data/CovarianceScaling.h"
#include "project/data/ReadGPS3dVector.h"
#include "tests/adjust3d/AdjustFixture.h"

namespace {
using namespace vemo;
using namespace vemo::test;

constexpr double kA = 6378137.0, kInvF = 298.257223563;

void ExpectMatrix(const Matrix3& actual, const Matrix3& expected) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(actual[i][j], expected[i][j], 1e-12) << i << "," << j;
}

// At latitude 0, longitude 0 the local north is Z, east is Y and up is X.
TEST(CovarianceScaling, ScaleThenCentringInTheLocalFrameOfTheMidpoint) {
  CCovScaleEntry e;
  e.scale = 2.0, e.centringHorizontalMm = 1.0, e.centringVerticalMm = 2.0;
  const Matrix3 C{{{0.01, 0, 0}, {0, 0.04, 0}, {0, 0, 0.09}}};
  const CCovLinearForm form = ScalingForm(e, C, {0, 1000, 0}, {kA, 0, 0}, kA, kInvF);
  // 2·C plus 2·(1 mm)² on N and E, 2·(2 mm)² on U, in cm².
  ExpectMatrix(ApplyScalingForm(form, C, form, true), {{{0.10, 0, 0}, {0, 0.10, 0}, {0, 0, 0.20}}});
  // A block between two vectors (a cluster's) is scaled but gets no centring.
  ExpectMatrix(ApplyScalingForm(form, C, form, false), {{{0.02, 0, 0}, {0, 0.08, 0}, {0, 0, 0.18}}});
}

TEST(CovarianceScaling, FloorRaisesOnlyTheLowVarianceAndKeepsCorrelations) {
  CCovScaleEntry e;
  e.floorMm = 1.0, e.floorPpm = 1.0;  // over √3 km: 1 + 3 = 4 mm² = 0.04 cm²
  const Matrix3 C{{{0.01, 0.005, 0}, {0.005, 0.09, 0}, {0, 0, 0.09}}};
  const double s = 1000.0 * std::sqrt(3.0);
  const CCovLinearForm form = ScalingForm(e, C, {0, s, 0}, {kA, 0, 0}, kA, kInvF);
  // Up (X) rises from 0.01 to 0.04: its row and column doubled; east and north stay.
  ExpectMatrix(ApplyScalingForm(form, C, form, true), {{{0.04, 0.01, 0}, {0.01, 0.09, 0}, {0, 0, 0.09}}});
}

TEST(CovarianceScaling, SessionIsTheUpperCasedBaseNameOfTheSourceLine) {
  EXPECT_EQ(SessionOfSourceLine("C:\\data\\Day1a.GPS3dVector_S"), "DAY1A");
  EXPECT_EQ(SessionOfSourceLine("  /home/survey/s2.txt  "), "S2");
  EXPECT_EQ(SessionOfSourceLine("plain"), "PLAIN");
  // A double-byte character whose second byte is a backslash is part of the name.
  EXPECT_EQ(SessionOfSourceLine("d:\\x\\\x95\x5c.asc"), "\x95\x5c");
}

TEST(CovarianceScaling, BadLinesAreRefusedNamingFileAndLine) {
  struct Case {
    const char* text;
    int line;
  } cases[] = {
      {"* 1 0 0 0 0\n# note\nS1 0 0 0 0 0\n", 3},      // scale zero
      {"S1 -1 0 0 0 0\n", 1},                          // scale below zero
      {"\nS1 1 -0.5 0 0 0\n", 2},                      // negative centring
      {"S1 1 0 0 0 -1\n", 1},                          // negative floor
      {"S1 1 0 0 0 0\ns1 2 0 0 0 0\n", 2},             // a session named twice (any case)
      {"S1 1 0 0 0\n", 1},                             // five items
      {"S1 1 0 0 0 0 7\n", 1},                         // seven items
      {"S1 1 0 1mm 0 0\n", 1},                         // an item that is not a number
  };
  for (const Case& c : cases) {
    ScopedTestHost scope;
    CCovarianceScaling scaling;
    EXPECT_FALSE(ParseCovarianceScaling(c.text, "/p/net.GPS3dCovScale", scaling)) << c.text;
    ASSERT_EQ(scope.host.messages.size(), 1u) << c.text;
    const std::string text = scope.host.messages[0].Utf8Text();
    EXPECT_NE(text.find("net.GPS3dCovScale"), std::string::npos) << text;
    EXPECT_NE(text.find(Format("第 %d 行", c.line)), std::string::npos) << text;
  }
  CCovarianceScaling scaling;
  ASSERT_TRUE(ParseCovarianceScaling("# default\n* 1.5 1 2 3 0.5\n\tS1\t4 0 0 0 0\n", "p", scaling));
  EXPECT_EQ(scaling.For("S1")->scale, 4.0);
  EXPECT_EQ(scaling.For("OTHER")->scale, 1.5);
}

// Two sessions in the independent baseline file, one with its own line, the other under the
// default; the vectors read are scaled as the forms say, and the statement names both.
TEST(CovarianceScaling, AppliedToTheVectorsOfEachSessionWhenRead) {
  AdjustProject project;
  project.Write("GPS3dKnownXYZ", "A 6378137.0 0.0 0.0\n");
  project.Write("GPS3dVector",
                "C:\\gps\\day1.S\n"
                " 0 A B 0.0 1000.0 0.0 0.01 0.04 0.09 0 0 0\n"
                "/data/day2.S\n"
                " 0 B C 0.0 1000.0 0.0 0.01 0.04 0.09 0 0 0\n");
  project.Write("GPS3dCovScale", "DAY1 2 1 2 0 0\n* 3 0 0 0 0\n");
  CReadGPS3dVector set;
  ASSERT_EQ(set.Load(), 1);
  ASSERT_EQ(set.m_VectorCount, 2);
  EXPECT_EQ(set.m_Session, (std::vector<std::string>{"DAY1", "DAY2"}));
  // The first vector's midpoint is 500 m east of (a, 0, 0): the frame turns by 500/a rad.
  CCovScaleEntry day1;
  day1.scale = 2, day1.centringHorizontalMm = 1, day1.centringVerticalMm = 2;
  const Matrix3 C{{{0.01, 0, 0}, {0, 0.04, 0}, {0, 0, 0.09}}};
  const CCovLinearForm form = ScalingForm(day1, C, {0, 1000, 0}, {kA, 500, 0}, kA, kInvF);
  const Matrix3 expected = ApplyScalingForm(form, C, form, true);
  EXPECT_NEAR(set.m_Dxx[0], expected[0][0], 1e-12);
  EXPECT_NEAR(set.m_Dxy[0], expected[0][1], 1e-12);
  EXPECT_NEAR(set.m_Dzz[0], 0.20, 1e-12);
  EXPECT_NEAR(set.m_Dyy[1], 0.12, 1e-12);
  ASSERT_EQ(set.m_ReportPreamble.size(), 2u);
  EXPECT_NE(GbkToUtf8(set.m_ReportPreamble[0]).find("时段DAY1，1条基线"), std::string::npos);
  EXPECT_NE(GbkToUtf8(set.m_ReportPreamble[1]).find("时段缺省，1条基线"), std::string::npos);
}

}  // namespace

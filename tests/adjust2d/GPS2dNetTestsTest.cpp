// The statistical tests of the plane adjustment: a 10-sigma blunder in one vector component
// is the one suspect, removing it passes the global test, the redundancy numbers are those of
// the result file, and the global test rejects clean networks at about the significance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "adjust2d/GPS2dNetTests.h"
#include "tests/adjust2d/PlaneNetwork.h"
#include "tests/adjust3d/AdjustFixture.h"

namespace {
using namespace vemo;
using namespace vemo::test;

// The plane vector file carries the 3D adjustment's covariances carried onto the plane, in
// cm²: the generated network's m² are converted, so that the a-priori unit weight is right.
CNetworkTests AdjustAndTest(PlaneNetwork plane, CGPS2dNetAdjust& net, double scale = 1.0) {
  for (PlaneVector& v : plane.vectors) v.xx *= 1e4 * scale, v.yy *= 1e4 * scale, v.xy *= 1e4 * scale;
  WritePlaneProject(plane, Project().projectDir, "net");
  if (!net.Load() || net.Adjust() != 1) return {};
  return TestGPS2dNetwork(net, CTestSettings{});
}

CTestSettings FixedAlpha(double alpha) {
  CTestSettings s;
  s.rule = TestLevelRule::FixedAlpha;
  s.alpha = alpha;
  return s;
}

PlaneNetworkOptions CleanVectorsOnly(int points, unsigned seed) {
  PlaneNetworkOptions o;
  o.points = points;
  o.seed = seed;
  o.distances = o.azimuths = 0;
  return o;
}

TEST(GPS2dNetTests, TenSigmaBlunderIsFound) {
  AdjustProject project;
  PlaneNetwork plane = MakePlaneNetwork(CleanVectorsOnly(25, 4));
  const int corrupted = 20;
  plane.vectors[corrupted].dx += 10.0 * std::sqrt(plane.vectors[corrupted].xx);
  {
    CGPS2dNetAdjust net(0);
    const CNetworkTests t = AdjustAndTest(plane, net);
    ASSERT_TRUE(t.global.defined);
    EXPECT_FALSE(t.global.passed) << t.global.varianceFactor;
    EXPECT_EQ(t.snooping.worstGroup, corrupted);
    EXPECT_EQ(t.snooping.worstComponent, 0);
    // A vector that shares an end with the blunder can be rejected too (the blunder spreads
    // into its residual); the largest w names the blunder.
    for (int j = 0; j < net.m_VectorCount; ++j)
      if (j != corrupted && (t.snooping.groups[j][0].rejected || t.snooping.groups[j][1].rejected)) {
        const int ends[] = {net.m_From[corrupted], net.m_To[corrupted]};
        EXPECT_TRUE(std::count(ends, ends + 2, net.m_From[j]) + std::count(ends, ends + 2, net.m_To[j]) > 0) << j;
      }
    // The redundancy numbers of the result file come from the same design and cofactors.
    for (int j = 0; j < net.m_VectorCount; ++j)
      for (int c = 0; c < 2; ++c)
        EXPECT_NEAR(t.snooping.groups[j][c].redundancy, net.m_RedundancyNumber[2 * j + c], 1e-9);
  }
  plane.vectors.erase(plane.vectors.begin() + corrupted);
  CGPS2dNetAdjust net(0);
  const CNetworkTests t = AdjustAndTest(plane, net);
  EXPECT_TRUE(t.global.passed) << t.global.varianceFactor;
  EXPECT_EQ(t.snooping.rejectedGroups, 0);
}

// 200 clean plane networks: as the 3D test, the rate must lie within four binomial standard
// deviations of the significance, 5 % with alpha fixed, the derived tails by default.
TEST(GPS2dNetTests, GlobalTestRejectsAtTheChosenSignificanceOverSeeds) {
  constexpr int kSeeds = 200;
  AdjustProject project;
  int rejectedFixedAlpha = 0, rejectedFixedAlpha0 = 0;
  double size = 0;
  for (unsigned seed = 1; seed <= kSeeds; ++seed) {
    CGPS2dNetAdjust net(0);
    const CNetworkTests t = AdjustAndTest(MakePlaneNetwork(CleanVectorsOnly(9, 500 + seed)), net);
    ASSERT_TRUE(t.global.defined) << seed;
    if (!t.global.passed) ++rejectedFixedAlpha0;
    size = t.limits.lowerTail + t.limits.upperTail;
    if (!TestGPS2dNetwork(net, FixedAlpha(0.05)).global.passed) ++rejectedFixedAlpha;
  }
  for (auto [rejected, expected] : {std::pair{rejectedFixedAlpha, 0.05}, std::pair{rejectedFixedAlpha0, size}}) {
    const double rate = static_cast<double>(rejected) / kSeeds;
    std::printf("plane global test at %.1f %%: %d of %d clean networks rejected (%.1f %%)\n", expected * 100.0,
                rejected, kSeeds, rate * 100.0);
    EXPECT_NEAR(rate, expected, 4.0 * std::sqrt(expected * (1.0 - expected) / kSeeds));
  }
}

// With the a-priori unit weight the confidence ellipses are scaled by the a-priori sigma:
// covariances 100 times larger make them 10 times larger (a fixed 1 cm would not move them).
TEST(GPS2dNetTests, AprioriUnitWeightScalesTheConfidenceEllipses) {
  AdjustProject project;
  project.Configuration().m_UseAprioriUnitWeight = 1;
  const PlaneNetwork plane = MakePlaneNetwork(CleanVectorsOnly(9, 3));
  auto ellipse = [&](double scale) {
    CGPS2dNetAdjust net(0);
    AdjustAndTest(plane, net, scale);
    if (!WriteGPS2dTestReport(net, CTestSettings{})) return std::vector<double>{};
    const std::string report = project.Read("GPS2dTest");
    const std::string row = Lines(report.substr(report.find(G(u8"置信误差椭圆")))).at(4);
    std::istringstream in(row.substr(22));  // after the number and the name
    std::vector<double> values;
    for (double v; in >> v;) values.push_back(v);
    return values;
  };
  const std::vector<double> unit = ellipse(1.0), larger = ellipse(100.0);
  ASSERT_EQ(unit.size(), 5u);
  ASSERT_EQ(larger.size(), 5u);
  for (int column : {0, 1, 3, 4}) EXPECT_NEAR(larger[column] / unit[column], 10.0, 0.15) << column;
}

}  // namespace

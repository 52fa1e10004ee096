// The tests that the plane adjustment gives its ground distances, azimuths and known points,
// and the statistics of the height fitting: false-alarm rates over noise-only networks and
// planted blunders found.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "adjust2d/GPS1dHeightTests.h"
#include "adjust2d/GPS2dNetTests.h"
#include "tests/adjust/FalseAlarms.h"
#include "tests/adjust2d/PlaneNetwork.h"
#include "tests/adjust3d/AdjustFixture.h"

namespace {
using namespace vemo;
using namespace vemo::test;

// Adjusts the plane network (its covariances in cm², as the 3D adjustment writes them).
bool AdjustPlane(PlaneNetwork plane, CGPS2dNetAdjust& net) {
  for (PlaneVector& v : plane.vectors) v.xx *= 1e4, v.yy *= 1e4, v.xy *= 1e4;
  WritePlaneProject(plane, Project().projectDir, "net");
  return net.Load() && net.Adjust() == 1;
}

PlaneNetworkOptions WithGround(int points, unsigned seed) {
  PlaneNetworkOptions o;
  o.points = points;
  o.seed = seed;
  o.knownCount = 4;
  o.distances = 6;
  o.azimuths = 4;
  return o;
}

TEST(GPS2dNetTests, GroundAndKnownPointTestsKeepTheirLevelOverSeeds) {
  constexpr int kSeeds = 200;
  AdjustProject project;
  int ground = 0, groundRejected = 0, known = 0, knownRejected = 0;
  double knownLevel = 0;
  for (unsigned seed = 1; seed <= kSeeds; ++seed) {
    CGPS2dNetAdjust net(0);
    ASSERT_TRUE(AdjustPlane(MakePlaneNetwork(WithGround(12, 700 + seed)), net)) << seed;
    const CNetworkTests t = TestGPS2dNetwork(net, Lenient());
    const CGPS2dMoreTests more = TestGPS2dGroundAndKnownPoints(net, Lenient(), t);
    for (const auto& g : more.ground.groups) ground += g[0].controlled, groundRejected += g[0].rejected;
    for (const CKnownPointTest& k : more.known.points) known += k.defined, knownRejected += k.rejected;
    knownLevel = more.known.limit.alpha;
  }
  ExpectFalseAlarmRate("ground distance and azimuth w-test", groundRejected, ground, 0.05);
  ExpectFalseAlarmRate("plane known-point test (2 dof)", knownRejected, known, knownLevel);
}

TEST(GPS2dNetTests, BlundersInADistanceAnAzimuthAndAKnownPointAreNamed) {
  AdjustProject project;
  const PlaneNetwork clean = MakePlaneNetwork(WithGround(25, 9));
  auto test = [&](const PlaneNetwork& plane, std::string* report = nullptr) {
    CGPS2dNetAdjust net(0);
    EXPECT_TRUE(AdjustPlane(plane, net));
    const CNetworkTests t = TestGPS2dNetwork(net, CTestSettings{});
    if (report && WriteGPS2dTestReport(net, CTestSettings{})) *report = project.Read("GPS2dTest");
    return TestGPS2dGroundAndKnownPoints(net, CTestSettings{}, t);
  };
  PlaneNetwork plane = clean;
  plane.distances[3].value += 10.0 * plane.distances[3].sd / 100.0;
  std::string report;
  CGPS2dMoreTests more = test(plane, &report);
  EXPECT_EQ(more.ground.worstGroup, 3);
  EXPECT_NE(report.find(G(u8"最可疑为第4条地面边长")), std::string::npos);
  EXPECT_NE(TestReportSummary(report).find(G(u8"个地面观测可疑")), std::string::npos);

  plane = clean;
  plane.azimuths[1].value += 10.0 * plane.azimuths[1].sd / 206264.80624709636;
  more = test(plane);
  EXPECT_EQ(more.ground.worstGroup, static_cast<int>(clean.distances.size()) + 1);
  EXPECT_EQ(more.ground.rejectedGroups, 1);

  plane = clean;
  plane.Y[plane.known[1]] += 0.06;
  more = test(plane, &report);
  ASSERT_EQ(more.known.worst, 1);
  EXPECT_NEAR(more.known.points[1].discrepancy[1], -0.06, 0.01);
  EXPECT_NE(report.find(G(u8"最不相容为已知点") + plane.names[plane.known[1]]), std::string::npos);
}

// Known heights of twelve points on a tilted anomaly with noise of sigma0, model plane.
struct HeightProject {
  AdjustProject project;
  CGPS1dHeightFit fit;
  bool ok = false;
  HeightProject(unsigned seed, double sigmaCm, int corrupted = -1) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> gauss(0.0, sigmaCm / 100.0);
    std::string blh, heights;
    for (int i = 0; i < 12; ++i) {
      const int bm = 10 + (i * 7) % 25, lm = 12 + (i * 11) % 23;
      const double H = 30.0 + 2.0 * i;
      blh += Format("%16s 30.%02d0000 114.%02d0000 %12.4lf\n", Format("H%02d", i + 1).c_str(), bm, lm, H);
      const double zeta = 12.0 + 0.002 * bm - 0.003 * lm;
      const double blunder = i == corrupted ? 10.0 * sigmaCm / 100.0 : 0.0;
      heights += Format("%16s %14.5lf\n", Format("H%02d", i + 1).c_str(), H - zeta + gauss(rng) + blunder);
    }
    project.Write("GPS3dBLH", blh);
    project.Write("GPS1dKnownH", heights);
    ok = fit.Load() && fit.SelectKnownPoints() && fit.SetModel(CHeightModelDlg::kPlane) && fit.FitHeights() == 1;
  }
};

TEST(GPS1dHeightTests, FalseAlarmsOverSeedsAndAPlantedBlunder) {
  constexpr int kSeeds = 200;
  int rejected = 0, heights = 0, heightsRejected = 0;
  for (unsigned seed = 1; seed <= kSeeds; ++seed) {
    HeightProject h(seed, 2.0);
    ASSERT_TRUE(h.ok) << seed;
    CTestSettings alpha = Lenient();
    alpha.rule = TestLevelRule::FixedAlpha;
    rejected += !TestGPS1dHeights(h.fit, alpha, 2.0).global.passed;
    for (const auto& g : TestGPS1dHeights(h.fit, Lenient(), 2.0).snooping.groups)
      heights += g[0].controlled, heightsRejected += g[0].rejected;
  }
  ExpectFalseAlarmRate("height fit global test", rejected, kSeeds, 0.05);
  ExpectFalseAlarmRate("known height w-test", heightsRejected, heights, 0.05);

  HeightProject h(3, 2.0, 5);
  ASSERT_TRUE(h.ok);
  const CNetworkTests t = TestGPS1dHeights(h.fit, CTestSettings{}, 2.0);
  EXPECT_FALSE(t.global.passed);
  EXPECT_EQ(t.snooping.worstGroup, 5);
  ASSERT_TRUE(WriteGPS1dTestReport(h.fit, CTestSettings{}, 2.0));
  EXPECT_EQ(TestReportSummary(h.project.Read("GPS1dTest")),
            G(u8"全局检验不通过，") + Format("%d", t.snooping.rejectedGroups) + G(u8"个已知高程点可疑"));
}

}  // namespace

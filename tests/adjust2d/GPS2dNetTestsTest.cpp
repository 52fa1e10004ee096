// The statistical tests of the plane adjustment: a 10-sigma blunder in one vector component
// is the one suspect, removing it passes the global test, the redundancy numbers are those of
// the result file, and the global test rejects clean networks at about the significance.
#include <gtest/gtest.h>

#include "adjust2d/GPS2dNetTests.h"
#include "tests/adjust2d/PlaneNetwork.h"
#include "tests/adjust3d/AdjustFixture.h"

namespace {
using namespace vemo;
using namespace vemo::test;

// The plane vector file carries the 3D adjustment's covariances carried onto the plane, in
// cm²: the generated network's m² are converted, so that the a-priori unit weight is right.
CNetworkTests AdjustAndTest(PlaneNetwork plane, CGPS2dNetAdjust& net) {
  for (PlaneVector& v : plane.vectors) v.xx *= 1e4, v.yy *= 1e4, v.xy *= 1e4;
  WritePlaneProject(plane, Project().projectDir, "net");
  if (!net.Load() || net.Adjust() != 1) return {};
  return TestGPS2dNetwork(net, CTestSettings{});
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
    EXPECT_EQ(t.snooping.rejectedGroups, 1);
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

// 200 clean plane networks at 5 %: as the 3D test, the rate must lie in [1 %, 10 %].
TEST(GPS2dNetTests, GlobalTestRejectsAtTheChosenSignificanceOverSeeds) {
  constexpr int kSeeds = 200;
  AdjustProject project;
  int rejected = 0;
  for (unsigned seed = 1; seed <= kSeeds; ++seed) {
    CGPS2dNetAdjust net(0);
    const CNetworkTests t = AdjustAndTest(MakePlaneNetwork(CleanVectorsOnly(9, 500 + seed)), net);
    ASSERT_TRUE(t.global.defined) << seed;
    if (!t.global.passed) ++rejected;
  }
  const double rate = static_cast<double>(rejected) / kSeeds;
  std::printf("plane global test at 5 %%: %d of %d clean networks rejected (%.1f %%)\n", rejected, kSeeds,
              rate * 100.0);
  EXPECT_GE(rate, 0.01);
  EXPECT_LE(rate, 0.10);
}

}  // namespace

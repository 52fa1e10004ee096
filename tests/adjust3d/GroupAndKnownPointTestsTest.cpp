// The tests beyond the component tests: a whole vector (three degrees of freedom in the local
// east, north and up) and the compatibility of each known point in the 3D network, and the
// statistics of the ellipsoidal adjustment. Their false-alarm rates over noise-only networks,
// planted blunders found, the known-point test against a network re-adjusted without the point.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>

#include "adjust3d/GPS3dCombinedTests.h"
#include "adjust3d/GPS3dNetTests.h"
#include "tests/adjust/FalseAlarms.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;

struct Adjusted3d {
  AdjustProject project;
  CGPS3dNetAdjust net{0};
  bool ok = false;
  explicit Adjusted3d(const SyntheticNetwork& synthetic) {
    WriteSyntheticProject(synthetic, project.dir.str(), "net");
    ok = net.Load() && net.Adjust() == 1;
  }
};

struct AdjustedEllipsoid {
  AdjustProject project;
  CGPS3dCombinedAdjust net;
  bool ok = false;
  explicit AdjustedEllipsoid(const SyntheticNetwork& synthetic) {
    WriteSyntheticProject(synthetic, project.dir.str(), "net");
    ok = net.Load() && net.Adjust() == 1;
  }
};

// The local up at a geocentric position (sphere: enough for a direction).
Eigen::Vector3d Up(double x, double y, double z) { return Eigen::Vector3d(x, y, z).normalized(); }

TEST(GPS3dNetTests, WholeVectorAndKnownPointTestsKeepTheirLevelOverSeeds) {
  constexpr int kSeeds = 200;
  int vectors = 0, vectorsRejected = 0, known = 0, knownRejected = 0;
  double vectorLevel = 0, knownLevel = 0;
  for (unsigned seed = 1; seed <= kSeeds; ++seed) {
    Adjusted3d a(MakeSyntheticNetwork(9, 3000 + seed, 1.0, 4));
    ASSERT_TRUE(a.ok) << seed;
    const CNetworkTests t = TestGPS3dNetwork(a.net, Lenient());
    const CGPS3dGroupTests g = TestGPS3dVectorsAndKnownPoints(a.net, Lenient(), t);
    for (const CGroupTest& v : g.vectors) vectors += v.defined, vectorsRejected += v.rejected;
    for (const CKnownPointTest& k : g.known.points) known += k.defined, knownRejected += k.rejected;
    vectorLevel = g.vectorLimit.alpha, knownLevel = g.known.limit.alpha;
  }
  ExpectFalseAlarmRate("whole-vector test (3 dof)", vectorsRejected, vectors, vectorLevel);
  ExpectFalseAlarmRate("known-point test (3 dof)", knownRejected, known, knownLevel);
}

TEST(GPS3dNetTests, AVectorBlunderAndAKnownPointSixCentimetresOffAreNamed) {
  const SyntheticNetwork clean = MakeSyntheticNetwork(16, 77, 1.0, 4);
  {
    // Ten sigma along the local up of one vector.
    SyntheticNetwork synthetic = clean;
    const int corrupted = 12;
    SyntheticVector& v = synthetic.vectors[corrupted];
    const Eigen::Vector3d up = Up(synthetic.x[v.from], synthetic.y[v.from], synthetic.z[v.from]);
    Eigen::Matrix3d C;
    C << v.cov[0], v.cov[3], v.cov[4], v.cov[3], v.cov[1], v.cov[5], v.cov[4], v.cov[5], v.cov[2];
    const Eigen::Vector3d blunder = 10.0 * std::sqrt(up.dot(C * up)) / 100.0 * up;
    v.dx += blunder[0], v.dy += blunder[1], v.dz += blunder[2];
    Adjusted3d a(synthetic);
    ASSERT_TRUE(a.ok);
    const CNetworkTests t = TestGPS3dNetwork(a.net, CTestSettings{});
    const CGPS3dGroupTests g = TestGPS3dVectorsAndKnownPoints(a.net, CTestSettings{}, t);
    const CGroupTest& worst = g.vectors[corrupted];
    ASSERT_TRUE(worst.rejected);
    for (const CGroupTest& other : g.vectors) EXPECT_LE(other.statistic, worst.statistic);
    EXPECT_GT(std::fabs(worst.w[2]), std::fabs(worst.w[0]));
    EXPECT_GT(std::fabs(worst.w[2]), std::fabs(worst.w[1]));
  }
  // A known point 6 cm off in X: the test names it, and its discrepancy is the error.
  SyntheticNetwork synthetic = clean;
  const int bad = synthetic.known[2];
  synthetic.x[bad] += 0.06;
  Adjusted3d a(synthetic);
  ASSERT_TRUE(a.ok);
  const CNetworkTests t = TestGPS3dNetwork(a.net, CTestSettings{});
  const CGPS3dGroupTests g = TestGPS3dVectorsAndKnownPoints(a.net, CTestSettings{}, t);
  ASSERT_EQ(g.known.worst, 2);
  const CKnownPointTest& k = g.known.points[2];
  EXPECT_NEAR(Eigen::Vector3d(k.discrepancy[0], k.discrepancy[1], k.discrepancy[2]).norm(), 60.0, 10.0);
  ASSERT_TRUE(WriteGPS3dTestReport(a.net, CTestSettings{}));
  const std::string report = a.project.Read("GPS3dTest");
  EXPECT_NE(report.find(G(u8"最不相容为已知点") + synthetic.names[bad]), std::string::npos);
  EXPECT_NE(TestReportSummary(report).find(G(u8"个已知点不相容")), std::string::npos);

  // The same network adjusted without the point among the known ones: its adjusted position
  // less the given one is the discrepancy, and the test value is that difference weighed by
  // the inverse of its covariance.
  SyntheticNetwork freed = synthetic;
  freed.known.erase(freed.known.begin() + 2);
  Adjusted3d b(freed);
  ASSERT_TRUE(b.ok);
  int i = 0;
  while (b.net.m_PointName[i] != synthetic.names[bad]) ++i;
  const Eigen::Vector3d d((b.net.m_X[i] - synthetic.x[bad]) * 1000.0, (b.net.m_Y[i] - synthetic.y[bad]) * 1000.0,
                          (b.net.m_Z[i] - synthetic.z[bad]) * 1000.0);
  const int p = b.net.UnknownOf(i), index[3] = {p, p + 1, p + 2};
  double q[9];
  b.net.m_Normal->Cofactors(index, 3, q);
  const Eigen::Matrix3d Q = Eigen::Map<Eigen::Matrix<double, 3, 3, Eigen::RowMajor>>(q);
  EXPECT_NEAR(d.dot(Q.inverse() * d) / (t.sigma0 * t.sigma0), k.statistic, 1e-6 * k.statistic);
  // The discrepancy is printed north, east, up: the lengths agree.
  EXPECT_NEAR(Eigen::Vector3d(k.discrepancy[0], k.discrepancy[1], k.discrepancy[2]).norm(), d.norm(), 1e-6);
}

TEST(GPS3dCombinedTests, GlobalTestAndSnoopingKeepTheirLevelOverSeeds) {
  constexpr int kSeeds = 200;
  int networks = 0, rejected = 0, components = 0, componentsRejected = 0;
  for (unsigned seed = 1; seed <= kSeeds; ++seed) {
    AdjustedEllipsoid a(MakeSyntheticNetwork(9, 5000 + seed, 1.0, 3));
    ASSERT_TRUE(a.ok) << seed;
    CTestSettings alpha = Lenient();
    alpha.rule = TestLevelRule::FixedAlpha;
    ++networks, rejected += !TestGPS3dCombinedNetwork(a.net, alpha).global.passed;
    for (const auto& group : TestGPS3dCombinedNetwork(a.net, Lenient()).snooping.groups)
      for (const CComponentTest& c : group) components += c.controlled, componentsRejected += c.rejected;
  }
  ExpectFalseAlarmRate("ellipsoidal global test", rejected, networks, 0.05);
  ExpectFalseAlarmRate("ellipsoidal w-test", componentsRejected, components, 0.05);
}

// The ellipsoidal model has the 3D network's vectors and four more unknowns: its redundancy
// numbers are at most the 3D ones and its biases and their effects (in metres, from seconds of
// arc) close to them; a blunder is named.
TEST(GPS3dCombinedTests, ABlunderIsNamedAndTheReliabilityMatchesTheVectorNetwork) {
  SyntheticNetwork synthetic = MakeSyntheticNetwork(16, 31, 1.0, 3);
  const int corrupted = 17;
  synthetic.vectors[corrupted].dy += 10.0 * std::sqrt(synthetic.vectors[corrupted].cov[1]) / 100.0;
  Adjusted3d plain(synthetic);
  AdjustedEllipsoid ellipsoidal(synthetic);
  ASSERT_TRUE(plain.ok && ellipsoidal.ok);
  const CNetworkTests t3 = TestGPS3dNetwork(plain.net, CTestSettings{});
  const CNetworkTests te = TestGPS3dCombinedNetwork(ellipsoidal.net, CTestSettings{});
  EXPECT_EQ(te.snooping.worstGroup, corrupted);
  EXPECT_EQ(te.snooping.worstComponent, 1);
  for (size_t j = 0; j < t3.snooping.groups.size(); ++j)
    for (int c = 0; c < 3; ++c) {
      const CComponentTest &a = t3.snooping.groups[j][c], &b = te.snooping.groups[j][c];
      EXPECT_LE(b.redundancy, a.redundancy + 1e-6) << j;
      EXPECT_NEAR(b.mdb * 1000.0 / a.mdb, 1.0, 0.25) << j;
      // The frame parameters carry a part of a bias into a turn or scale of the whole network.
      EXPECT_GT(b.effect * 1000.0 / a.effect, 0.5) << j;
      EXPECT_LT(b.effect * 1000.0 / a.effect, 2.0) << j;
    }
  // The report beside the result, which stays as the adjustment wrote it.
  const std::string result = ellipsoidal.project.Read("GPS3dBLHResult");
  ASSERT_TRUE(WriteGPS3dCombinedTestReport(ellipsoidal.net, CTestSettings{}));
  EXPECT_EQ(ellipsoidal.project.Read("GPS3dBLHResult"), result);
  const std::string report = ellipsoidal.project.Read("GPS3dBLHTest");
  EXPECT_EQ(TestReportSummary(report), G(u8"全局检验不通过，1条基线可疑"));
  EXPECT_NE(report.find(G(u8"旋转Az(s)")), std::string::npos);
}

}  // namespace

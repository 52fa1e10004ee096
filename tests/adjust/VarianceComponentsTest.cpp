// Variance component estimation on generated networks whose sessions were observed with
// covariances other than the ones their files state, and the commands' options around it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "adjust2d/GPS2dVarianceComponents.h"
#include "adjust3d/GPS3dVarianceComponents.h"
#include "project/data/DataFileReader.h"
#include "tests/adjust2d/PlaneNetwork.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;

// The true factor of each of three sessions: its noise is drawn from the stated covariance
// times this.
constexpr double kTrueFactor[3] = {1.0, 4.0, 0.25};

// Writes a generated network as three sessions (vector j in session j % 3, each session under
// its source-file line), the noise of session s scaled by the root of its true factor.
// spur: one more point tied by a single vector in a session of its own. weighted: five known
// points given with 1 cm noise but a stated covariance of 0.25 cm² (true factor 4), and the
// second session's vectors in clusters of four (block-diagonal: their noise was drawn apart).
void WriteSessions(const AdjustProject& project, unsigned seed, bool spur = false, bool weighted = false) {
  SyntheticNetwork net = MakeSyntheticNetwork(25, seed, 1.0, weighted ? 5 : 3);
  std::string known, sessions[4], knownCov, clusters;
  std::mt19937 rng(seed);
  std::normal_distribution<double> cm(0.0, 0.01);
  for (int p : net.known) {
    const double e = weighted ? 1.0 : 0.0;
    known += Format("%s %.6f %.6f %.6f\n", net.names[p].c_str(), net.x[p] + e * cm(rng), net.y[p] + e * cm(rng),
                    net.z[p] + e * cm(rng));
    knownCov += net.names[p] + " 0.25 0.25 0.25 0 0 0\n";
  }
  for (size_t first = 1; first + 9 < net.vectors.size(); first += 12) {
    clusters += "CLUSTER 4\n";
    std::vector<double> C(144, 0.0);
    for (size_t k = 0; k < 4; ++k) {
      const SyntheticVector& v = net.vectors[first + 3 * k];
      clusters += net.names[v.from] + " " + net.names[v.to] + "\n";
      const double b[3][3] = {{v.cov[0], v.cov[3], v.cov[4]}, {v.cov[3], v.cov[1], v.cov[5]}, {v.cov[4], v.cov[5], v.cov[2]}};
      for (size_t r = 0; r < 3; ++r)
        for (size_t c = 0; c < 3; ++c) C[(3 * k + r) * 12 + 3 * k + c] = b[r][c];
    }
    for (size_t r = 0; r < 12; ++r)
      for (size_t c = r; c < 12; ++c) clusters += Format("%.10f%s", C[r * 12 + c], c == 11 ? "\n" : " ");
  }
  if (weighted) project.Write("GPS3dKnownCov", knownCov), project.Write("GPS3dCluster", clusters);
  for (size_t j = 0; j < net.vectors.size(); ++j) {
    const SyntheticVector& v = net.vectors[j];
    const double k = std::sqrt(kTrueFactor[j % 3]);
    const double tx = net.x[v.to] - net.x[v.from], ty = net.y[v.to] - net.y[v.from], tz = net.z[v.to] - net.z[v.from];
    sessions[j % 3] += Format("%s %s %.6f %.6f %.6f %.10f %.10f %.10f %.10f %.10f %.10f\n", net.names[v.from].c_str(),
                              net.names[v.to].c_str(), tx + k * (v.dx - tx), ty + k * (v.dy - ty), tz + k * (v.dz - tz),
                              v.cov[0], v.cov[1], v.cov[2], v.cov[3], v.cov[4], v.cov[5]);
  }
  std::string text;
  for (int s = 0; s < 3; ++s) text += Format("D:\\gps\\s%d.GPS3dVector_S\n", s + 1) + sessions[s];
  if (spur) text += "D:\\gps\\lone.GPS3dVector_S\nP0001 SPUR 10.0 20.0 30.0 0.01 0.01 0.01 0 0 0\n";
  project.Write("GPS3dKnownXYZ", known);
  project.Write("GPS3dVector", text);
}

// Over 100 networks (300 estimates) each estimated factor is compared with the truth: about
// 95 % of them must lie within two of their printed standard errors, and the printed errors
// must match the scatter that the estimates really have.
TEST(VarianceComponents, SessionFactorsRecoveredWithinTheirPrecision) {
  AdjustProject project;
  constexpr int kNetworks = 100;
  int within = 0, total = 0;
  double scatter[3] = {}, printed[3] = {};
  for (int n = 0; n < kNetworks; ++n) {
    WriteSessions(project, 1000u + static_cast<unsigned>(n));
    CGPS3dNetAdjust network;
    ASSERT_EQ(network.Load(), 1);
    const CVectorGroups groups = SessionGroups(network);
    ASSERT_EQ(groups.names, (std::vector<std::string>{"S1", "S2", "S3"}));
    CVarianceComponents result;
    ASSERT_TRUE(EstimateGPS3dVarianceComponents(network, groups, 0.05, result));
    ASSERT_TRUE(result.converged);
    ASSERT_TRUE(result.rigorous);
    for (int s = 0; s < 3; ++s) {
      const CVarianceComponent& g = result.groups[static_cast<size_t>(s)];
      ASSERT_TRUE(g.estimable);
      ++total;
      if (std::fabs(g.factor - kTrueFactor[s]) <= 2.0 * g.sigma) ++within;
      scatter[s] += std::pow(g.factor / kTrueFactor[s] - 1.0, 2);
      printed[s] += std::pow(g.sigma / g.factor, 2);
    }
  }
  // Binomial with p = 0.95 over 300: 285 ± 3.8; the bounds lie beyond 3 sigma.
  EXPECT_GE(within, 273) << within << " of " << total;
  EXPECT_LE(within, 297) << within << " of " << total;
  for (int s = 0; s < 3; ++s) {
    const double ratio = std::sqrt(scatter[s] / printed[s]);
    EXPECT_NEAR(ratio, 1.0, 0.2) << "session " << s + 1;
  }
}

// The plane adjustment's kinds carry their own units (vectors in cm² on the plane, distances
// in cm, azimuths in seconds): distances observed with twice and azimuths with half the
// standard error their files state (true factors 4 and 0.25) over 60 networks (180
// estimates); as in 3D, the printed standard errors must match the real scatter.
TEST(VarianceComponents, PlaneKindsRecoveredWithinTheirPrecision) {
  AdjustProject project;
  const double truth[3] = {1.0, 4.0, 0.25};
  int within = 0, total = 0;
  double scatter[3] = {}, printed[3] = {};
  for (unsigned n = 0; n < 60; ++n) {
    PlaneNetworkOptions o;
    o.points = 49, o.seed = 500 + n, o.distances = 60, o.azimuths = 40;
    PlaneNetwork plane = MakePlaneNetwork(o);
    // The generator states 1.2 σ² for DY but draws σ²: the file states what was drawn, in cm².
    for (PlaneVector& v : plane.vectors) v.xx *= 1e4, v.yy = v.xx, v.xy *= 1e4;
    for (PlaneObservation& d : plane.distances) d.sd /= 2.0;
    for (PlaneObservation& a : plane.azimuths) a.sd *= 2.0;
    WritePlaneProject(plane, Project().projectDir, "net");
    CGPS2dNetAdjust net(0);
    ASSERT_EQ(net.Load(), 1);
    CVarianceComponents result;
    ASSERT_TRUE(EstimateGPS2dVarianceComponents(net, 0.05, result));
    ASSERT_EQ(result.groups.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
      const CVarianceComponent& g = result.groups[k];
      ++total;
      if (std::fabs(g.factor - truth[k]) <= 2.0 * g.sigma) ++within;
      scatter[k] += std::pow(g.factor / truth[k] - 1.0, 2);
      printed[k] += std::pow(g.sigma / g.factor, 2);
    }
  }
  // Binomial with p = 0.95 over 180: 171 ± 2.9.
  EXPECT_GE(within, 162) << within << " of " << total;
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(std::sqrt(scatter[k] / printed[k]), 1.0, 0.2) << "kind " << k + 1;
}

TEST(VarianceComponents, GroupWithoutRedundancyIsNotEstimable) {
  AdjustProject project;
  WriteSessions(project, 7u, true);
  CGPS3dNetAdjust network;
  ASSERT_EQ(network.Load(), 1);
  const CVectorGroups groups = SessionGroups(network);
  ASSERT_EQ(groups.names.size(), 4u);
  CVarianceComponents result;
  ASSERT_TRUE(EstimateGPS3dVarianceComponents(network, groups, 0.05, result));
  const CVarianceComponent& lone = result.groups[3];
  EXPECT_FALSE(lone.estimable);
  EXPECT_NEAR(lone.redundancy, 0.0, 1e-9);
  EXPECT_EQ(Factors(result)[3], 1.0);
  for (size_t k = 0; k < 3; ++k) EXPECT_TRUE(std::isfinite(result.groups[k].sigma));
}

// WriteSessions' weighted networks, over 40 of them (160 estimates): the clusters belong to
// the second session (factor 4), the weighted known points are a fourth group (factor 4). The
// first network is then adjusted with its factors applied: every group's vᵀPv is then its
// redundancy times the unit variance, so M0 is the unit weight's, which it is only if the
// clusters and the weighted points took their factors in the adjustment too.
TEST(VarianceComponents, ClustersAndWeightedKnownPointsRecovered) {
  AdjustProject project;
  const double truth[4] = {kTrueFactor[0], kTrueFactor[1], kTrueFactor[2], 4.0};
  int within = 0, total = 0;
  for (unsigned n = 0; n < 40; ++n) {
    WriteSessions(project, 2000u + n, false, true);
    CGPS3dNetAdjust network;
    ASSERT_EQ(network.Load(), 1);
    ASSERT_EQ(network.ReadCovarianceFiles(), 1);
    ASSERT_EQ(network.m_Clusters.size(), 7u);
    const CVectorGroups groups = VarianceGroups(network);
    ASSERT_EQ(groups.names, (std::vector<std::string>{"S1", "S2", "S3", Utf8ToGbk("加权已知点")}));
    CVarianceComponents result;
    ASSERT_TRUE(EstimateGPS3dVarianceComponents(network, groups, 0.05, result));
    ASSERT_TRUE(result.converged && result.rigorous);
    for (size_t k = 0; k < 4; ++k) {
      ++total;
      if (std::fabs(result.groups[k].factor - truth[k]) <= 2.0 * result.groups[k].sigma) ++within;
    }
    if (n > 0) continue;
    ApplyVarianceFactors(network, groups, result);
    ASSERT_EQ(network.Adjust(), 1);
    EXPECT_NEAR(network.m_M0mm * network.m_M0mm / (network.m_MeanVariance * 100.0), 1.0, 2e-3);
  }
  // Binomial with p = 0.95 over 160: 152 ± 2.8.
  EXPECT_GE(within, 143) << within << " of " << total;
}

// The command: the statistics report gains the section only when asked; with --vce-apply the
// result report states the factors at its top and its M0 reflects the new weights.
TEST(VarianceComponents, CommandOptionsReportAndApply) {
  AdjustProject source;
  WriteSessions(source, 42u);
  ProgramProject plain(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  ProgramProject estimated(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  ProgramProject applied(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  ASSERT_EQ(plain.Run({"adjust-3d"}).status, 0);
  ASSERT_EQ(estimated.Run({"adjust-3d", "--vce", "session"}).status, 0);
  ASSERT_EQ(applied.Run({"adjust-3d", "--vce-apply"}).status, 0);
  auto read = [](const ProgramProject& p, const char* ext) {
    return GbkToUtf8(ReadWholeFile(p.dir + "/net." + ext).value_or(""));
  };
  EXPECT_EQ(read(plain, "GPS3dResult"), read(estimated, "GPS3dResult"));
  const std::string test = read(estimated, "GPS3dTest");
  EXPECT_EQ(read(plain, "GPS3dTest"), test.substr(0, read(plain, "GPS3dTest").size()));
  EXPECT_NE(test.find("方差分量估计(按时段"), std::string::npos);
  EXPECT_NE(test.find("--vce-apply"), std::string::npos);
  const std::string result = read(applied, "GPS3dResult");
  EXPECT_EQ(result.rfind("已按方差分量估计调整基线协方差(S1): 方差因子", 0), 0u) << result.substr(0, 200);
  EXPECT_NE(read(applied, "GPS3dTest").find("已按上列方差因子调整"), std::string::npos);
  EXPECT_NE(plain.Run({"adjust-3d", "--vce", "kind"}).status, 0);
  // A weighted datum is one group more, and its factor reaches the adjustment.
  std::string name;
  std::istringstream(ReadWholeFile(applied.dir + "/net.GPS3dKnownXYZ").value_or("")) >> name;
  std::ofstream(applied.dir + "/net.GPS3dKnownCov") << name << " 1 1 1 0 0 0\n";
  std::filesystem::remove(applied.dir + "/net.GPS3dResult");
  ASSERT_EQ(applied.Run({"adjust-3d", "--vce-apply"}).status, 0);
  EXPECT_NE(read(applied, "GPS3dResult").find("已按方差分量估计调整已知点协方差(加权已知点): "), std::string::npos);
}

// Every report computed from scaled vectors states the scaling at its top; the ellipsoidal
// adjustment reads the vectors without source lines (one session).
TEST(VarianceComponents, ScalingStatedAtTheTopOfEveryReport) {
  AdjustProject source;
  WriteSessions(source, 9u);
  ProgramProject project(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  WriteFileAtomically(project.dir + "/net.GPS3dCovScale", "* 2 1 1 0 0\nS2 1 0 0 1 1\n");
  auto starts = [&](const char* ext, const char* utf8) {
    const std::string text = GbkToUtf8(ReadWholeFile(project.dir + "/net." + ext).value_or(""));
    return text.rfind(utf8, 0) == 0;
  };
  const char* first = "基线协方差缩放(时段缺省，";
  ASSERT_EQ(project.Run({"adjust-3d"}).status, 0);
  EXPECT_TRUE(starts("GPS3dResult", first));
  EXPECT_TRUE(starts("GPS3dTest", first));
  ASSERT_EQ(project.Run({"async-loops"}).status, 0);
  EXPECT_TRUE(starts("GPS3dMisclosure", first));
  std::string plain;
  for (const auto& [number, line] : SplitLines(ReadWholeFile(project.dir + "/net.GPS3dVector").value_or("")))
    if (line.rfind("D:", 0) != 0) plain += line + "\n";
  WriteFileAtomically(project.dir + "/net.GPS3dVector", plain);
  ASSERT_EQ(project.Run({"adjust-ellipsoid"}).status, 0);
  EXPECT_TRUE(starts("GPS3dBLHResult", first));
}

// A scaling file that does not read stops the command before anything is written.
TEST(VarianceComponents, BadScalingFileWritesNothing) {
  AdjustProject source;
  WriteSessions(source, 5u);
  ProgramProject project(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  WriteFileAtomically(project.dir + "/net.GPS3dCovScale", "* 1 0 0 0 0\nS2 0 0 0 0 0\n");
  const ProgramRun run = project.Run({"adjust-3d"});
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("net.GPS3dCovScale第 2 行"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(project.dir + "/net.GPS3dResult"));
  EXPECT_FALSE(std::filesystem::exists(project.dir + "/net.GPS3dTest"));
}

}  // namespace

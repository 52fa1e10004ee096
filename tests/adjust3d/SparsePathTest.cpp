// The 3D adjustment through the sparse normal equations against the dense reference: every
// file it writes, on networks of several shapes; a value on a rounding tie of its format may
// print one unit apart, anything more is a fault.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "adjust3d/GPS3dNetAdjust.h"
#include "adjust/NormalEquations.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/ReportComparison.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;

const char* const kFiles[] = {"GPS3dResult", "GPS3dBLH", "GPS3dXYHEFT", "GPS3dXYH", "GPS2dVector", "GPS3dBLHVector"};

struct FormScope {
  explicit FormScope(NormalForm form) { SetNormalForm(form); }
  ~FormScope() { SetNormalForm(NormalForm::Sparse); }
};

std::vector<std::string> Adjusted(AdjustProject& project, NormalForm form) {
  FormScope scope(form);
  CGPS3dNetAdjust net(0);
  EXPECT_EQ(net.Load(), 1);
  EXPECT_EQ(net.Adjust(), 1);
  std::vector<std::string> files;
  for (const char* ext : kFiles) files.push_back(project.Read(ext));
  return files;
}

// Counts the lines that differ only by numbers one last-digit unit apart; fails on any other
// difference.
int TieLines(const std::string& sparse, const std::string& dense, const std::string& what) {
  const ReportDifference d = CompareReports(sparse, dense);
  EXPECT_EQ(d.faults, 0) << what << " " << d.firstFault;
  return d.ties;
}

int CompareForms(AdjustProject& project) {
  const auto dense = Adjusted(project, NormalForm::Dense);
  const auto sparse = Adjusted(project, NormalForm::Sparse);
  int ties = 0;
  for (size_t f = 0; f < dense.size(); ++f) ties += TieLines(sparse[f], dense[f], kFiles[f]);
  return ties;
}

// Writes a network from the synthetic points with the vectors chosen by `pairs` (each
// vector's observation and covariance computed as the generator does, from the truth).
void WriteShape(AdjustProject& project, const SyntheticNetwork& grid, const std::vector<std::pair<int, int>>& pairs,
                const std::vector<int>& known) {
  std::string knownText, vectors;
  for (int p : known) knownText += KnownXYZ(grid.names[p], grid.x[p], grid.y[p], grid.z[p]);
  unsigned n = 0;
  for (auto [f, t] : pairs) {
    const double wiggle = 0.001 * (static_cast<int>(n++ * 7919 % 11) - 5);  // a few mm, deterministic
    const double dx = grid.x[t] - grid.x[f] + wiggle, dy = grid.y[t] - grid.y[f] - wiggle,
                 dz = grid.z[t] - grid.z[f] + 0.5 * wiggle;
    vectors += Vector(grid.names[f], grid.names[t], dx, dy, dz, 0.25 + 0.01 * (n % 5), 0.36, 0.49, 0.05, -0.03, 0.04);
  }
  project.Write("GPS3dKnownXYZ", knownText);
  project.Write("GPS3dVector", vectors);
}

TEST(SparsePath, GeneratedGridNetworksOf200PointsGiveTheSameFiles) {
  for (unsigned seed : {11u, 12u}) {
    AdjustProject project;
    const SyntheticNetwork net = MakeSyntheticNetwork(200, seed);
    WriteSyntheticProject(net, project.dir.str(), "net");
    // A tie is rare: a few lines in a network this size at most.
    EXPECT_LE(CompareForms(project), 3) << seed;
  }
}

TEST(SparsePath, AChainAStarAndADenseClusterGiveTheSameFiles) {
  const SyntheticNetwork points = MakeSyntheticNetwork(64, 5);
  {
    AdjustProject project;  // a traverse: each point tied to the next, known at both ends
    std::vector<std::pair<int, int>> chain;
    for (int i = 0; i + 1 < 64; ++i) chain.push_back({i, i + 1});
    WriteShape(project, points, chain, {0, 63});
    EXPECT_LE(CompareForms(project), 2);
  }
  {
    AdjustProject project;  // a radial survey from one station, with a few ties between rays
    std::vector<std::pair<int, int>> star;
    for (int i = 1; i < 64; ++i) star.push_back({0, i});
    for (int i = 1; i + 1 < 64; i += 2) star.push_back({i, i + 1});
    WriteShape(project, points, star, {0, 5});
    EXPECT_LE(CompareForms(project), 2);
  }
  {
    // Every pair of 16 points observed with like covariances: every redundancy number is
    // close to 1 - 2/16 = 0.875, a tie of its two-decimal format, which either path prints as
    // 0.87 or 0.88 by the last bit (the dense path mixes them too). Nothing else may differ.
    AdjustProject project;
    std::vector<std::pair<int, int>> cluster;
    for (int i = 0; i < 16; ++i)
      for (int j = i + 1; j < 16; ++j) cluster.push_back({i, j});
    WriteShape(project, points, cluster, {0, 15});
    EXPECT_LE(CompareForms(project), 120);
  }
}

}  // namespace

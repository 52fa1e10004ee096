// The covariance-based tolerances of an asynchronous loop with two vectors of one cluster: the
// misclosure's variance takes their covariance.
#include <gtest/gtest.h>

#include <cmath>

#include "checks/LoopChecks.h"
#include "tests/checks/CheckFixture.h"

namespace {
using namespace vemo;
using test::G;
using test::TruePoint;

const TruePoint A{"A", -2263483.8885, 5013061.1228, 3218279.9226};
const TruePoint B{"B", -2268000.0000, 5010000.0000, 3220000.0000};
const TruePoint C{"C", -2261000.0000, 5009000.0000, 3225000.0000};

TEST(ClusterLoops, CovariancesOfAClusterWidenTheSecondTolerances) {
  test::CheckProject project(0);  // "国标A级": the covariance-based evaluation
  project.Write("GPS3dKnownXYZ", test::KnownLine(A));
  project.Write("GPS3dVector", test::VectorLine(A, B) + test::VectorLine(B, C) + test::VectorLine(A, C));
  project.Write("GPS3dLoop", "A B C\n");
  // A-B and B-C: own variances 0.01 cm², the same components correlated by 0.005 cm².
  project.Write("GPS3dCluster", "CLUSTER 2\nA B\nB C\n"
                                "0.01 0 0 0.005 0 0\n0.01 0 0 0.005 0\n0.01 0 0 0.005\n0.01 0 0\n0.01 0\n0.01\n");
  project.scope.host.QueueAnswer(MessageAnswer::No);
  ASSERT_EQ(RunAsyncLoopCheck(), 1);
  std::string report = project.Read("GPS3dMisclosure");
  const std::string line = report.substr(report.find(G("精处理")));
  // A->B and B->C enter with the same sign: 0.03 + 2 * 0.005 cm².
  EXPECT_NE(line.find(Format(", %10.2lf, ", 2 * std::sqrt(0.04) * 10)), std::string::npos) << line;

  // A cluster naming a vector that is not there: the message, and no report.
  std::filesystem::remove(project.File("GPS3dMisclosure"));
  project.Write("GPS3dCluster", "CLUSTER 2\nA B\nB A\n1 0 0 0 0 0\n1 0 0 0 0\n1 0 0 0\n1 0 0\n1 0\n1\n");
  EXPECT_EQ(RunAsyncLoopCheck(), 0);
  EXPECT_FALSE(std::filesystem::exists(project.File("GPS3dMisclosure")));
}

}  // namespace

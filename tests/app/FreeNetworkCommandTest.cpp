// The free-network command on a network whose full cofactor files would be gigabytes: refused
// with their size before anything is written, and run on the points asked for.
#include <gtest/gtest.h>

#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "tests/adjust3d/SyntheticNetwork.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;

TEST(FreeNetworkCommand, FullCofactorsOfALargeNetworkAreRefusedWithTheirSizeAndAskedPointsAreWritten) {
  test::TempDir work;
  const std::string config = work.str() + "/config", dir = work.str() + "/p", prj = dir + "/demo.prj";
  ASSERT_EQ(test::RunProgram({"new-project", "--name", "demo", "--dir", dir}, config).status, 0);
  const int points = 3000;  // five triangles of order 9000: about 2.6 GB
  const test::SyntheticNetwork net = test::MakeSyntheticNetwork(points, 3, 1.0, 1);
  test::WriteSyntheticProject(net, dir, "demo");
  std::string plan;
  for (int i = 0; i < points; ++i)
    plan += Format("%16s %15.3lf %15.3lf %15.3lf\n", net.names[i].c_str(), net.x[i], net.y[i], net.z[i]);
  const std::string approximate = work.str() + "/plan.GPS3dApproximateXYZ";
  ASSERT_TRUE(WriteFileAtomically(approximate, plan));

  auto run = test::RunProgram({"--project", prj, "free-network", "--approx", approximate}, config);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find(u8"网有3000个点，全部点的协因数阵文件共约2.6 GB，超过2 GB，不予计算"), std::string::npos) << run.err;
  EXPECT_FALSE(FileExists(dir + "/demo.GPS3dFreeQxxInput"));

  run = test::RunProgram({"--project", prj, "free-network", "--approx", approximate, "--points", "P0002,NOSUCH"}, config);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"点NOSUCH不在网中"), std::string::npos) << run.err;

  run = test::RunProgram({"--project", prj, "--yes", "free-network", "--approx", approximate, "--points", "P0002,P1500"},
                         config);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string campaign = ReadWholeFile(dir + "/demo.GPS3dFreeXXQxx").value_or("");
  EXPECT_EQ(campaign.substr(0, 6), "    3 ");  // P0002, P1500 and the held point P0001
  EXPECT_NE(campaign.find("P1500"), std::string::npos);
}

}  // namespace

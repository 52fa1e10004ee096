// The preparation step of the transformation parameter commands: the 3D solution on WGS-84
// whatever the project's ellipsoid, the 8-character name fields, a failure that leaves the
// files of an earlier run, and the command "height-parameters" that builds on it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "adjust2d/GPS3dPreparation.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;

class Preparation : public testing::Test {
 protected:
  void SetUp() override {
    // The project's ellipsoid is not that of the baselines.
    project.Configuration().m_CurrentCoorsSystem = {"BJ54", 6378245.0, 298.3, 1};
    net = MakeSyntheticNetwork(9, 17);
  }
  void WriteNetwork() { WriteSyntheticProject(net, project.dir.str(), "net"); }

  AdjustProject project;
  SyntheticNetwork net;
};

TEST_F(Preparation, CoordinatesAreThoseOfThe3dAdjustmentOnWgs84) {
  WriteNetwork();
  CGPS3dNetAdjust adjusted(0);
  ASSERT_EQ(adjusted.Load(), 1);
  ASSERT_EQ(adjusted.Adjust(), 1);
  const auto projectBlh = Lines(project.Read("GPS3dBLH"));
  CGPS3dPreparation prepared;
  ASSERT_EQ(prepared.Load(), 1);
  ASSERT_EQ(prepared.Prepare(), 1);
  EXPECT_TRUE(project.MessagesUtf8().empty());

  // The weights of the 3D adjustment are those of the preparation scaled alike: the same
  // solution. Its coordinates converted on WGS-84 (not on the project's ellipsoid) are the
  // lines of the files.
  GPSTransfer wgs84(0);
  wgs84.m_a = 6378137.0, wgs84.m_InvF = 298.257223563, wgs84.m_L0 = DmsToRadian(114.0);
  const auto blh = Lines(project.Read("GPS3dBLH")), xyh = Lines(project.Read("GPS3dXYH"));
  ASSERT_EQ(blh.size(), 9u);
  ASSERT_EQ(xyh.size(), 9u);
  for (int i = 0; i < adjusted.m_PointCount; ++i) {
    SCOPED_TRACE(adjusted.m_PointName[i]);
    EXPECT_NEAR(prepared.m_X[i], adjusted.m_X[i], 1e-6);
    EXPECT_NEAR(prepared.m_Z[i], adjusted.m_Z[i], 1e-6);
    wgs84.m_X = adjusted.m_X[i], wgs84.m_Y = adjusted.m_Y[i], wgs84.m_Z = adjusted.m_Z[i];
    ASSERT_EQ(wgs84.XYZBLH(), 1);
    const double B = wgs84.m_B, L = wgs84.m_L, H = wgs84.m_H;
    ASSERT_EQ(wgs84.BLXY(), 1);
    std::istringstream b(blh[i]), x(xyh[i]);
    std::string name, name2;
    double dmsB, dmsL, h, gridX, gridY, h2;
    b >> name >> dmsB >> dmsL >> h;
    x >> name2 >> gridX >> gridY >> h2;
    EXPECT_EQ(name, adjusted.m_PointName[i]);
    EXPECT_EQ(name2, name);
    // Printed to 1e-5" (4.8e-11 rad).
    EXPECT_NEAR(DmsToRadian(dmsB), B, 2.5e-11);
    EXPECT_NEAR(DmsToRadian(dmsL), L, 2.5e-11);
    EXPECT_NEAR(h, H, 1e-4);
    EXPECT_EQ(h2, h);
    EXPECT_NEAR(gridX, wgs84.m_X, 1e-4);
    EXPECT_NEAR(gridY, wgs84.m_Y + 500000.0, 1e-4);  // the y constant, 500 km
    // The 3D adjustment's own file is on the project's ellipsoid: other heights.
    std::istringstream own(projectBlh[i]);
    double ownB, ownL, ownH;
    own >> name >> ownB >> ownL >> ownH;
    EXPECT_GT(std::fabs(h - ownH), 1.0);
  }
  // The plane vector file is reduced on WGS-84 too: written again by the preparation.
  EXPECT_TRUE(project.Exists("GPS2dVector"));
}

TEST_F(Preparation, NamesLongerThanEightCharactersWidenTheirLines) {
  net.names[4] = "LONGNAME99";
  WriteNetwork();
  CGPS3dPreparation prepared;
  ASSERT_EQ(prepared.Load(), 1);
  ASSERT_EQ(prepared.Prepare(), 1);
  for (const char* ext : {"GPS3dBLH", "GPS3dXYH"}) {
    SCOPED_TRACE(ext);
    for (const std::string& line : Lines(project.Read(ext))) {
      const bool longName = line.rfind("LONGNAME99 ", 0) == 0;
      EXPECT_EQ(line.size(), longName ? 58u : 56u) << line;
      if (!longName) {
        EXPECT_EQ(line.substr(0, 3), "   ");  // P0001 .. in 8 characters
      }
    }
  }
}

TEST_F(Preparation, AFailureLeavesTheFilesOfAnEarlierRun) {
  net.vectors[3].cov = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  WriteNetwork();
  project.Write("GPS3dBLH", "earlier\n");
  project.Write("GPS3dXYH", "earlier\n");
  CGPS3dPreparation prepared;
  ASSERT_EQ(prepared.Load(), 1);
  EXPECT_EQ(prepared.Prepare(), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_NE(project.MessagesUtf8()[0].find(u8"方差阵不是正定矩阵"), std::string::npos);
  EXPECT_EQ(project.Read("GPS3dBLH"), "earlier\n");
  EXPECT_EQ(project.Read("GPS3dXYH"), "earlier\n");
}

// Both transformation parameter commands, when their 3D input is there but cannot be used (no
// vector among its lines; a damaged line): status 1, the coordinate files of the earlier run and the
// parameter files as they were. plane-parameters used to estimate from the older files after
// the read error and append a line with status 0; height-parameters, on the file without
// vectors, cut the coordinate files down to the known points and fitted them alone.
TEST_F(Preparation, ParameterCommandsRefuseA3dInputTheyCannotUse) {
  test::TempDir config, work;
  const std::string dir = (work.path() / "prj").string();
  ASSERT_EQ(CreateProgramProject(dir, config.str()).status, 0);
  WriteSyntheticProject(net, dir, "net");
  std::string heights;
  for (int i = 0; i < 9; ++i) heights += Format("%s %.4f\n", net.names[i].c_str(), 20.0 + 1.5 * i);
  WriteFileAtomically(dir + "/net.GPS1dKnownH", heights);
  WriteFileAtomically(dir + "/net.GPS2dKnownXY", Format("%s 1 2\n%s 3 4\n", net.names[net.known[0]].c_str(),
                                                        net.names[net.known[1]].c_str()));
  const std::string prj = dir + "/net.prj";
  ASSERT_EQ(RunProgram({"--project", prj, "height-parameters"}, config.str()).status, 0);
  ASSERT_EQ(RunProgram({"--project", prj, "plane-parameters"}, config.str()).status, 0);
  const std::string vectors = ReadWholeFile(dir + "/net.GPS3dVector").value_or("");
  auto snapshot = [&] {
    std::map<std::string, std::string> files;
    for (const char* name : {"net.GPS3dBLH", "net.GPS3dXYH", "net.GPS2dVector", "Parameter.1d", "Parameter.2d"})
      files[name] = ReadWholeFile(dir + "/" + name).value_or("<missing>");
    return files;
  };
  const auto before = snapshot();
  // What remains of an independent baseline file whose baselines were deleted (the lines that
  // name its source files, which the reader passes over), and a damaged line.
  const std::string sourcesOnly = "/data/S01.GPS3DVector_S\n";
  const std::string damaged = vectors.substr(0, vectors.find('\n') + 1) + "P1 P2 abc 1 2 3 4 5 6 7 8\n";
  for (const std::string& content : {sourcesOnly, damaged}) {
    WriteFileAtomically(dir + "/net.GPS3dVector", content);
    for (const char* command : {"height-parameters", "plane-parameters"}) {
      SCOPED_TRACE(command);
      auto run = RunProgram({"--project", prj, command}, config.str());
      EXPECT_EQ(run.status, 1) << run.err;
      EXPECT_EQ(run.out, "");
      EXPECT_NE(run.err, "");
      EXPECT_EQ(snapshot(), before);
    }
  }
}

TEST_F(Preparation, HeightParametersCommandAppendsOneLineARun) {
  test::TempDir config, work;
  const std::string dir = (work.path() / "prj").string();
  auto created = CreateProgramProject(dir, config.str());
  ASSERT_EQ(created.status, 0) << created.err;
  WriteSyntheticProject(net, dir, "net");
  std::string heights;
  for (int i = 0; i < 9; ++i) heights += Format("%s %.4f\n", net.names[i].c_str(), 20.0 + 1.5 * i);
  WriteFileAtomically(dir + "/net.GPS1dKnownH", heights);
  const std::string prj = dir + "/net.prj";
  for (int run = 1; run <= 2; ++run) {
    auto result = RunProgram({"--project", prj, "height-parameters", "--model", "plane"}, config.str());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, dir + "/net.GPS1dResult\n" + dir + "/Parameter.1d\n");
    const auto lines = Lines(ReadWholeFile(dir + "/Parameter.1d").value_or(""));
    ASSERT_EQ(lines.size(), static_cast<size_t>(run));
    // "%25s %20.9lf %20.9lf %20.9lf": the project name and the three coefficients.
    EXPECT_EQ(lines.back().size(), 25u + 3 * 21u);
    EXPECT_EQ(lines.back().substr(0, 25), std::string(22, ' ') + "net");
  }
  EXPECT_FALSE(fs::exists(dir + "/net.GPS1dH"));
  const std::string report = ReadWholeFile(dir + "/net.GPS1dResult").value_or("");
  EXPECT_NE(report.find("   P0001 "), std::string::npos);  // 8-character name columns
  EXPECT_NE(report.find(G(u8"拟合模型: N=f(B,L)=f1+f2*B+f3*L\n")), std::string::npos);
  // Without the vector file the 3D loading fails: nothing is fitted.
  fs::remove(dir + "/net.GPS3dVector");
  auto failed = RunProgram({"--project", prj, "height-parameters"}, config.str());
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(Lines(ReadWholeFile(dir + "/Parameter.1d").value_or("")).size(), 2u);
}

}  // namespace

// The sample project generator: its files load, agree with the true coordinates it writes,
// and come out the same for the same seed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "project/AppState.h"
#include "project/data/ReadGPS3dCombinedNet.h"
#include "project/data/ReadGPS3dVector.h"
#include "project/ProjectDialogs.h"
#include "geodesy/Angles.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
namespace fs = std::filesystem;

struct Truth {
  double x, y, z, b, l, h, gridX, gridY;
};

class SampleProjectTest : public testing::Test {
 protected:
  void SetUp() override {
    auto run = test::RunProgram({"new-project", "--name", "sample", "--dir", dir, "--grade", "3", "--ellipsoid",
                                 "CGCS2000", "--central-meridian", "114", "--y-constant", "500"},
                                config.str());
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(Generate(1), 0);
    std::ifstream in(dir + "/truth.txt");
    std::string line;
    std::getline(in, line);  // heading
    for (std::string name; in >> name;) {
      Truth t{};
      in >> t.x >> t.y >> t.z >> t.b >> t.l >> t.h >> t.gridX >> t.gridY;
      truth[name] = t;
    }
    ASSERT_EQ(truth.size(), 15u);
    ASSERT_EQ(OpenProject(dir + "/sample.prj"), 1);
  }
  int Generate(int seed) {
    const std::string generator = fs::path(VEMO_PROGRAM).parent_path() / "make_sample_project";
    std::string command = "VEMOGPS_CONFIG_DIR='" + config.str() + "' '" + generator + "' --project '" + dir +
                          "/sample.prj' --seed " + std::to_string(seed) + " > /dev/null";
    return std::system(command.c_str());
  }
  std::string Bytes(const std::string& name) { return ReadWholeFile(dir + "/" + name).value_or("<missing>"); }

  test::ScopedTestHost scoped;
  test::TempDir work, config;
  std::string dir = work.str() + "/sample";
  std::map<std::string, Truth> truth;
};

TEST_F(SampleProjectTest, NetworkLoadsAndAgreesWithTheTrueCoordinates) {
  CReadGPS3dVector set(0);
  ASSERT_EQ(set.Load(), 1);
  EXPECT_TRUE(scoped.host.messages.empty());
  ASSERT_EQ(set.m_KnownPointCount, 3);
  EXPECT_EQ(set.m_PointCount, 15);
  EXPECT_EQ(set.m_VectorCount, 7 * 3);  // the chain rule keeps receivers - 1 baselines a period
  for (int i = 0; i < 3; ++i) {
    const Truth& t = truth.at(set.m_PointName[i]);
    // K01 is given as B, L, H on the project ellipsoid and converted back by the loader.
    EXPECT_NEAR(set.m_X[i], t.x, 0.001) << set.m_PointName[i];
    EXPECT_NEAR(set.m_Y[i], t.y, 0.001) << set.m_PointName[i];
    EXPECT_NEAR(set.m_Z[i], t.z, 0.001) << set.m_PointName[i];
  }
  for (int j = 0; j < set.m_VectorCount; ++j) {
    const Truth &a = truth.at(set.m_FromName[j]), &b = truth.at(set.m_ToName[j]);
    const double length = std::sqrt(std::pow(b.x - a.x, 2) + std::pow(b.y - a.y, 2) + std::pow(b.z - a.z, 2));
    // Noise of a few millimetres: well inside 5 sigma of the covariance written with it.
    const double sigma = std::sqrt(set.m_Dxx[j] + set.m_Dyy[j] + set.m_Dzz[j]) / 100.0;  // m
    const double error = std::sqrt(std::pow(set.m_DX[j] - (b.x - a.x), 2) + std::pow(set.m_DY[j] - (b.y - a.y), 2) +
                                   std::pow(set.m_DZ[j] - (b.z - a.z), 2));
    EXPECT_LT(error, 5 * sigma + 0.005) << set.m_FromName[j] << "-" << set.m_ToName[j];
    EXPECT_GT(length, 500.0);
    // The covariance is a proper one: positive variances, correlations within 1.
    EXPECT_GT(set.m_Dxx[j], 0.0);
    EXPECT_LE(set.m_Dxy[j] * set.m_Dxy[j], set.m_Dxx[j] * set.m_Dyy[j]);
  }
  // The independent baseline file carries flags and source lines: not for the ellipsoidal set.
  CReadGPS3dCombinedNet ellipsoidal;
  EXPECT_EQ(ellipsoidal.Load(), 0);
}

TEST_F(SampleProjectTest, KnownPlaneHeightAndGroundDataAgreeWithTheGeometry) {
  std::istringstream plane(Bytes("sample.GPS2dKnownXY"));
  int count = 0;
  for (std::string name; plane >> name; ++count) {
    double x, y;
    plane >> x >> y;
    EXPECT_NEAR(x, truth.at(name).gridX, 0.015) << name;
    EXPECT_NEAR(y, truth.at(name).gridY, 0.015) << name;
    EXPECT_GT(y, 500000.0 - 20000.0);  // the y add constant of the project
  }
  EXPECT_EQ(count, 3);
  std::istringstream distances(Bytes("sample.GPS2dDistance"));
  for (std::string from, to; distances >> from >> to;) {
    double s, sd;
    distances >> s >> sd;
    const Truth &a = truth.at(from), &b = truth.at(to);
    EXPECT_NEAR(s, std::hypot(b.gridX - a.gridX, b.gridY - a.gridY), 0.025) << from << "-" << to;
    EXPECT_EQ(sd, 0.5);
  }
  std::istringstream azimuths(Bytes("sample.GPS2dAzimuth"));
  for (std::string from, to; azimuths >> from >> to;) {
    double dms, sd;
    azimuths >> dms >> sd;
    const Truth &a = truth.at(from), &b = truth.at(to);
    EXPECT_NEAR(DmsToRadian(dms), Azimuth(b.gridX - a.gridX, b.gridY - a.gridY), 10.0 / 206265) << from;
  }
  // Normal heights lie 11 to 13 m below the ellipsoidal ones: a smooth height anomaly.
  std::istringstream heights(Bytes("sample.GPS1dKnownH"));
  count = 0;
  for (std::string name; heights >> name; ++count) {
    double h;
    heights >> h;
    EXPECT_GT(truth.at(name).h - h, 11.0) << name;
    EXPECT_LT(truth.at(name).h - h, 13.0) << name;
  }
  EXPECT_GE(count, 6);
  EXPECT_NE(Bytes("sample.gti"), "<missing>");
  EXPECT_EQ(Bytes("design/plan.xyz").substr(0, 12), "5.0 1.0 1.0\n");
}

TEST_F(SampleProjectTest, SameSeedGivesTheSameFiles) {
  const std::string first = Bytes("S03.GPS3DVector_S"), heights = Bytes("sample.GPS1dKnownH");
  ASSERT_EQ(Generate(1), 0);
  EXPECT_EQ(Bytes("S03.GPS3DVector_S"), first);
  EXPECT_EQ(Bytes("sample.GPS1dKnownH"), heights);
  ASSERT_EQ(Generate(2), 0);
  EXPECT_NE(Bytes("S03.GPS3DVector_S"), first);
}

}  // namespace

namespace {

// The vectors of one period come from one solution of its receivers' positions, as a real
// survey's do: every synchronous loop closes within its tolerance.
TEST_F(SampleProjectTest, SynchronousLoopsCloseAsARealSurveysDo) {
  std::vector<std::string> arguments = {"--project", dir + "/sample.prj", "sync-loops"};
  for (int s = 1; s <= 7; ++s) arguments.push_back(dir + Format("/S%02d.GPS3DVector_S", s));
  const auto run = test::RunProgram(arguments, config.str());
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string report = Bytes("sample.GPS3dSyncMisclosure");
  EXPECT_NE(report.find("S07"), std::string::npos);
  EXPECT_EQ(report.find(test::G(u8"超限")), std::string::npos);
}

}  // namespace

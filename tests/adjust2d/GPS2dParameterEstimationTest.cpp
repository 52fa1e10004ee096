// The plane transformation parameters: ground observations made from the GPS network by a
// known rotation and scale give those back; what the result depends on and what it does not;
// refused input; the command on a network computed from its vectors.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

#include "adjust2d/GPS2dParameterEstimation.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;

constexpr double kSecond = std::numbers::pi / 180.0 / 3600.0;

// The plane coordinates of a GPS network (GPS3dXYH) and its exact plane vectors; one known
// point K. The ground grid is the GPS network turned by theta (azimuths grow by theta) and
// stretched by 1 + kappa about K: its distances and azimuths are the ground observations.
class PlaneParameters : public testing::Test {
 protected:
  struct Point {
    const char* name;
    double x, y;
  };
  const std::vector<Point> points = {{"K", 3376000.0, 500000.0},   {"P1", 3378500.0, 501200.0},
                                     {"P2", 3377100.0, 503400.0},  {"P3", 3374300.0, 502600.0},
                                     {"P4", 3373800.0, 499100.0}};
  const std::vector<std::pair<int, int>> vectors = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 0}, {0, 2}, {1, 3}};

  // Ground coordinates of point i.
  std::pair<double, double> Ground(int i, double theta, double kappa) const {
    const double dx = points[i].x - points[0].x, dy = points[i].y - points[0].y;
    const double f = 1.0 + kappa;
    return {points[0].x + f * (std::cos(theta) * dx - std::sin(theta) * dy),
            points[0].y + f * (std::sin(theta) * dx + std::cos(theta) * dy)};
  }
  void WriteProject(double theta, double kappa) {
    std::string xyh, vectorFile, distances, azimuths;
    for (const Point& p : points) xyh += Format("%8s %15.4lf %15.4lf %15.4lf\n", p.name, p.x, p.y, 30.0);
    for (auto [f, t] : vectors)
      vectorFile += Format("%s %s %.4lf %.4lf 0.25 0.36 0.05\n", points[f].name, points[t].name,
                           points[t].x - points[f].x, points[t].y - points[f].y);
    for (auto [f, t] : {std::pair{0, 1}, std::pair{2, 3}, std::pair{1, 4}}) {
      auto [xf, yf] = Ground(f, theta, kappa);
      auto [xt, yt] = Ground(t, theta, kappa);
      distances += Format("%s %s %.5lf 0.5\n", points[f].name, points[t].name, std::hypot(xt - xf, yt - yf));
    }
    for (auto [f, t] : {std::pair{0, 3}, std::pair{2, 4}}) {
      auto [xf, yf] = Ground(f, theta, kappa);
      auto [xt, yt] = Ground(t, theta, kappa);
      double azimuth = std::atan2(yt - yf, xt - xf);
      if (azimuth < 0) azimuth += 2 * std::numbers::pi;
      azimuths += Format("%s %s %.9lf 1.0\n", points[f].name, points[t].name, RadianToDms(azimuth));
    }
    project.Write("GPS3dXYH", xyh);
    project.Write("GPS2dVector", vectorFile);
    project.Write("GPS2dKnownXY", "K 3376000.0 500000.0\n");
    project.Write("GPS2dDistance", distances);
    project.Write("GPS2dAzimuth", azimuths);
  }
  int Estimate() {
    CGPS2dParameterEstimation estimation;
    if (!estimation.Load()) return 0;
    return estimation.Estimate();
  }
  std::vector<std::string> ParameterLines() {
    return Lines(ReadWholeFile(project.dir.str() + "/Parameter.2d").value_or(""));
  }

  AdjustProject project;
};

TEST_F(PlaneParameters, GiveBackTheRotationAndScaleOfTheGroundGrid) {
  struct Case {
    double theta, kappa;
  };
  for (const Case c : {Case{10.0 * kSecond, 25e-6}, Case{-3.0 * kSecond, -8e-6}, Case{0.0, 0.0}}) {
    SCOPED_TRACE(c.theta / kSecond);
    WriteProject(c.theta, c.kappa);
    fs::remove(project.dir.str() + "/Parameter.2d");
    CGPS2dParameterEstimation estimation;
    ASSERT_EQ(estimation.Load(), 1);
    ASSERT_EQ(estimation.Estimate(), 1);
    EXPECT_TRUE(project.MessagesUtf8().empty());
    // GPS -> ground: the scale 1 + kappa; the rotation, by its definition -atan2(s, c) with
    // DX_gps = c dX + s dY, is the opposite of the growth of the azimuths.
    EXPECT_NEAR(estimation.m_Scale - 1.0, c.kappa, 1e-8);
    EXPECT_NEAR(estimation.m_Rotation, -c.theta, 0.001 * kSecond);
    const auto lines = ParameterLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 25u + 2 * 16u);
    EXPECT_EQ(lines[0].substr(0, 25), std::string(22, ' ') + "net");
    EXPECT_NEAR(std::stod(lines[0].substr(25, 16)), RadianToDms(-c.theta), 1e-7);
    EXPECT_NEAR(std::stod(lines[0].substr(41)), c.kappa * 1e6, 0.01);
  }
}

TEST_F(PlaneParameters, KnownPlaneCoordinatesDoNotMatterGroundDistancesDo) {
  WriteProject(10.0 * kSecond, 25e-6);
  ASSERT_EQ(Estimate(), 1);
  project.Write("GPS2dKnownXY", "K 3376012.5 499993.0\n");
  ASSERT_EQ(Estimate(), 1);
  std::string distances = project.Read("GPS2dDistance");
  distances.replace(distances.find(" 0.5\n") - 1, 1, "9");  // the first distance 0.1 mm or so longer
  project.Write("GPS2dDistance", distances);
  ASSERT_EQ(Estimate(), 1);
  // Every run appends one line.
  const auto lines = ParameterLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], lines[0]);
  EXPECT_NE(lines[2], lines[0]);
}

TEST_F(PlaneParameters, RefusedNetworksAppendNothing) {
  struct Case {
    const char* what;
    const char* extension;
    std::string content;
    const char* message;
  };
  const Case cases[] = {
      {"a point without plane coordinates", "GPS3dXYH", "K 3376000 500000 30\nP1 3378500 501200 30\n",
       u8"没有近似坐标，不能计算转换参数!"},
      {"no known point", "GPS2dKnownXY", "\n", u8"没有二维已知点"},
      {"one known point without an azimuth", "GPS2dAzimuth", "", u8"只有一个二维已知点时"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteProject(10.0 * kSecond, 25e-6);
    project.Write(c.extension, c.content);
    project.scope.host.messages.clear();
    EXPECT_EQ(Estimate(), 0);
    ASSERT_EQ(project.MessagesUtf8().size(), 1u);
    EXPECT_NE(project.MessagesUtf8()[0].find(c.message), std::string::npos) << project.MessagesUtf8()[0];
    EXPECT_TRUE(ParameterLines().empty());
  }
}

TEST_F(PlaneParameters, CommandPreparesTheNetworkFromItsVectors) {
  const SyntheticNetwork net = MakeSyntheticNetwork(9, 5);
  test::TempDir config, work;
  const std::string dir = (work.path() / "prj").string();
  auto created = CreateProgramProject(dir, config.str());
  ASSERT_EQ(created.status, 0) << created.err;
  WriteSyntheticProject(net, dir, "net");
  // Two known plane points: which points hold the network, not where.
  WriteFileAtomically(dir + "/net.GPS2dKnownXY", Format("%s 1 2\n%s 3 4\n", net.names[net.known[0]].c_str(),
                                                        net.names[net.known[1]].c_str()));
  const std::string prj = dir + "/net.prj";
  for (int run = 1; run <= 2; ++run) {
    auto result = RunProgram({"--project", prj, "plane-parameters"}, config.str());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, dir + "/Parameter.2d\n");
    EXPECT_EQ(result.err, "");
  }
  const auto lines = Lines(ReadWholeFile(dir + "/Parameter.2d").value_or(""));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], lines[0]);
  // Vectors and coordinates of one solution, no ground observation: GPS and ground agree to
  // the reduction of the vectors to the plane.
  EXPECT_LT(std::fabs(std::stod(lines[0].substr(25, 16))), 0.00001);  // under 0.1"
  EXPECT_LT(std::fabs(std::stod(lines[0].substr(41))), 1.0);          // ppm
  EXPECT_NE(ReadWholeFile(dir + "/net.GPS3dXYH").value_or(""), "");
  EXPECT_EQ(RunProgram({"--project", prj, "plane-parameters", "extra"}, config.str()).status, 2);
}

}  // namespace

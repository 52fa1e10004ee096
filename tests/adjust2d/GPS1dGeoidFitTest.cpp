// Height fitting on a geoid model: a generated 60 x 60 km area in the eastern Himalaya, where
// EGM96 bends by metres, fitted from 8 known heights; the report and the command.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <numbers>

#include "adjust2d/GPS1dHeightFit.h"
#include "geodesy/Angles.h"
#include "geodesy/Geoid.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/support/GeoidGrid.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;

constexpr double kRad = std::numbers::pi / 180.0;

// 48 points on a jittered 8 x 6 grid over 60 x 60 km about 27.5°N 92.5°E; the known heights
// are at the four corners and four points inside.
constexpr double kB0 = 27.5 * kRad, kL0 = 92.5 * kRad;
constexpr double kSideB = 60.0 / 6378.137 * 0.9966, kSideL = 60.0 / (6378.137 * 0.8875);  // radians
const std::vector<int> kKnown = {0, 7, 40, 47, 10, 13, 34, 37};

struct Area {
  std::vector<std::string> names;
  std::vector<double> B, L, h;  // radians, true normal height (m)
};

Area GeneratedArea() {
  Area area;
  for (int row = 0; row < 6; ++row)
    for (int column = 0; column < 8; ++column) {
      const int i = row * 8 + column;
      area.names.push_back(Format("G%02d", i + 1));
      area.B.push_back(kB0 + kSideB * ((row + 0.5 + 0.3 * std::sin(1.7 * i)) / 6.0 - 0.5));
      area.L.push_back(kL0 + kSideL * ((column + 0.5 + 0.3 * std::cos(2.3 * i)) / 8.0 - 0.5));
      area.h.push_back(3000.0 + 900.0 * std::sin(0.37 * i));
    }
  return area;
}

// What the polynomial is to find: the anomaly's departure from the model, a plane of a few
// decimetres (the datum's offset and tilt).
double Plane(double B, double L) { return -0.45 + 30.0 * (B - kB0) - 25.0 * (L - kL0); }

class GeoidHeightFit : public testing::Test {
 protected:
  // The project's files from the truth: ellipsoidal heights H = h + N + plane, known heights h.
  void WriteProject() {
    std::string error;
    egm96 = CGeoidModel::Open(CGeoidModel::kEgm96, error);
    ASSERT_TRUE(egm96) << error;
    ASSERT_TRUE(egm96->Undulations(area.names, area.B, area.L, N, error));
    std::string blh, known;
    for (size_t i = 0; i < area.B.size(); ++i)
      blh += Format("%16s %18.12lf %18.12lf %12.4lf\n", area.names[i].c_str(), RadianToDms(area.B[i]),
                    RadianToDms(area.L[i]), area.h[i] + N[i] + Plane(area.B[i], area.L[i]));
    for (int k : kKnown) known += Format("%16s %12.4lf\n", area.names[k].c_str(), area.h[k]);
    project.Write("GPS3dBLH", blh);
    project.Write("GPS1dKnownH", known);
  }
  // The largest error of the fitted heights at the points without a known height (m).
  double LargestError(const CGPS1dHeightFit& fit) const {
    double largest = 0;
    for (size_t i = 0; i < area.B.size(); ++i)
      if (std::find(kKnown.begin(), kKnown.end(), static_cast<int>(i)) == kKnown.end())
        largest = std::max(largest, std::fabs(fit.m_H[i] - fit.m_Zeta[i] - area.h[i]));
    return largest;
  }
  void Load(CGPS1dHeightFit& fit, int model = CHeightModelDlg::kPlane) {
    ASSERT_EQ(fit.Load(), 1);
    ASSERT_EQ(fit.SelectKnownPoints(), 1);
    ASSERT_EQ(fit.SetModel(model), 1);
  }

  AdjustProject project;
  Area area = GeneratedArea();
  std::unique_ptr<CGeoidModel> egm96;
  std::vector<double> N;
};

TEST_F(GeoidHeightFit, SixtyKilometresFromEightKnownHeightsWithinACentimetreWhereAPlaneAloneFails) {
  WriteProject();
  CGPS1dHeightFit onGeoid, plain, surface;
  Load(surface, CHeightModelDlg::kSurface);
  ASSERT_EQ(surface.FitHeights(), 1);
  Load(plain);
  ASSERT_EQ(plain.FitHeights(), 1);
  Load(onGeoid);
  ASSERT_EQ(onGeoid.UseGeoid(*egm96), 1);
  ASSERT_EQ(onGeoid.FitHeights(), 1);
  const double withGeoid = LargestError(onGeoid), alone = LargestError(plain), curved = LargestError(surface);
  std::cout << Format("largest error of the 40 fitted heights: plane on EGM96 %.4f m, plane alone %.4f m, "
                      "quadratic surface alone %.4f m\n", withGeoid, alone, curved);
  EXPECT_LT(withGeoid, 0.01);
  EXPECT_GT(alone, 0.1);
  EXPECT_GT(curved, 0.1);
  // The model found is the plane put in.
  EXPECT_NEAR(onGeoid.Anomaly(kB0, kL0), Plane(kB0, kL0), 0.002);
  EXPECT_TRUE(project.MessagesUtf8().empty());

  // The report names the model and gives each known point's residual before and after.
  const std::string report = GbkToUtf8(project.Read("GPS1dResult"));
  EXPECT_NE(report.find(u8"参考面模型: EGM96 (/"), std::string::npos) << report;
  const std::string g01 = Format("%16s %15.4lf %15.4lf %15.4lf %15.4lf\n", "G01",
                                 onGeoid.m_H[0] - area.h[0], N[0], onGeoid.m_H[0] - area.h[0] - N[0],
                                 onGeoid.m_H[0] - area.h[0] - onGeoid.m_Zeta[0]);
  EXPECT_NE(report.find(g01), std::string::npos) << report;
  EXPECT_NE(report.find(u8"拟合前残差均方根="), std::string::npos);
  // The height file holds the heights restored onto the geoid.
  EXPECT_NE(project.Read("GPS1dH").find(Format("%16s %15.4lf        U\n", "G02", area.h[1])), std::string::npos);
}

TEST_F(GeoidHeightFit, ParameterLineNamesTheModel) {
  WriteProject();
  CGPS1dHeightFit fit;
  Load(fit, CHeightModelDlg::kConstant);
  ASSERT_EQ(fit.UseGeoid(*egm96), 1);
  ASSERT_EQ(fit.FitParameters(), 1);
  const std::string line = ReadWholeFile(project.dir.str() + "/Parameter.1d").value_or("");
  EXPECT_EQ(line, Format("%25s %20.9lf \"EGM96\"\n", "net", fit.m_x[0]));
}

TEST_F(GeoidHeightFit, CommandFitsOnTheModelAndRefusesGridsItCannotUse) {
  WriteProject();
  ProgramProject program(project, {"GPS3dBLH", "GPS1dKnownH"});
  ASSERT_EQ(program.created.status, 0) << program.created.err;
  const std::string result = program.dir + "/net.GPS1dResult";
  // A grid that misses the area, one that is not a grid: a message naming the point or the
  // file, and no result.
  const std::string elsewhere = program.work.Write("elsewhere.gtx", GtxGrid(30, 114, 0.25, 5, 5, [](double, double) { return 1.0; }));
  const std::string text = program.work.Write("text.gtx", "no grid\n");
  struct Refusal {
    std::string file, named;
  };
  for (const Refusal& r : {Refusal{elsewhere, "G01"}, Refusal{text, text}}) {
    auto run = program.Run({"fit-heights", "--geoid", r.file});
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find(r.named), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(result));
  }
  // Without proj-data (PROJ reads its data folder's variable once a process: the program's).
  setenv("PROJ_DATA", program.work.str().c_str(), 1);
  auto run = program.Run({"fit-heights", "--geoid", "egm96"});
  unsetenv("PROJ_DATA");
  EXPECT_NE(run.err.find("egm96_15.gtx"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("proj-data"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(result));
  run = program.Run({"fit-heights", "--geoid", "egm96"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(GbkToUtf8(ReadWholeFile(result).value_or("")).find(u8"参考面模型: EGM96"), std::string::npos);
  // Without the option the report is the plain fit's.
  ASSERT_EQ(program.Run({"fit-heights"}).status, 0);
  EXPECT_EQ(GbkToUtf8(ReadWholeFile(result).value_or("")).find(u8"参考面模型"), std::string::npos);
}

}  // namespace

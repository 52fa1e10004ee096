// The one-point-one-direction engineering network: its dialog record and remembered input, the
// files it writes, the plane adjustment held on the fixed point and turned onto the fixed
// azimuth (against the variant-1 3D adjustment and against itself unturned), the ordinary
// project files left as they were, its refusals, golden files and the command.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

#include "adjust2d/GPS2dNetAdjust.h"
#include "adjust3d/GPS3dNetAdjust.h"
#include "app/commands/PlaneResults.h"
#include "project/OneFixOneAzimuth.h"
#include "geodesy/Angles.h"
#include "geodesy/GPSTransfer.h"
#include "tests/adjust3d/AdjustFixture.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;

const std::string kGolden = std::string(VEMO_TEST_DATA_DIR) + "/adjust2d/";

class OneFixTest : public testing::Test {
 protected:
  void SetUp() override {
    // The small network of the 3D adjustment's tests (K1 ... P3, about 30°18'N 114°10'E) with
    // its ordinary known files, a ground distance and a tunnel guide file.
    project.Write("GPS3dKnownXYZ", KnownXYZ("K1", -2260788.2828, 5016590.7313, 3214662.3666) +
                                       KnownXYZ("K2", -2259692.1703, 5012208.3513, 3222226.2457));
    project.Write("GPS3dVector",
                  Vector("K1", "P1", -2563.1762, -1874.4797, 1118.4343, 0.21, 0.34, 0.27, 0.02, -0.01, 0.03) +
                      Vector("P1", "P2", 3764.3950, 916.3582, 1200.5152, 0.25, 0.31, 0.29, -0.02, 0.01, 0.02) +
                      Vector("P2", "K2", -105.0943, -3424.2539, 5244.9247, 0.33, 0.38, 0.41, 0.03, 0.02, -0.01) +
                      Vector("P1", "P3", 1819.0578, -620.2995, 2234.7497, 0.22, 0.30, 0.26, 0.01, 0.01, 0.01) +
                      Vector("P3", "K2", 1840.2366, -1887.5952, 4210.6898, 0.30, 0.36, 0.35, 0.02, -0.02, 0.03) +
                      Vector("P2", "P3", -1945.3379, -1536.6685, 1034.2276, 0.24, 0.28, 0.27, -0.01, 0.02, 0.01) +
                      Vector("K1", "K2", 1096.1060, -4382.3810, 7563.8784, 0.40, 0.45, 0.50, 0.02, 0.01, 0.02) +
                      Vector("P3", "P2", 1945.3867, 1536.6641, -1034.2322, 0.24, 0.28, 0.27, -0.01, 0.02, 0.01));
    project.Write("GPS2dKnownXY", Format("%20s %20.4lf %20.4lf\n", "K1", 3350561.1234, 485295.4321) +
                                      Format("%20s %20.4lf %20.4lf\n", "K2", 3355913.5678, 486004.8765));
    project.Write("GPS2dAzimuth", Format("%20s %20s %20.12lf %10.3lf\n", "K1", "K2", 7.3412, 1.0));
    project.Write("gti", "K1 P1 K2 P3 T1 1500.0 2500.0 45.0\n");
    dialog.m_PointName = "K1";
    dialog.m_x = 1000.0, dialog.m_y = 2000.0, dialog.m_h = 35.0;
    dialog.m_B = 30.274402258, dialog.m_L = 114.153345812, dialog.m_h0 = 2.49;
    dialog.m_From = "K1", dialog.m_To = "P2";
    dialog.m_Azimuth = 45.1530;
  }
  // The command's flow in process: the dialog's OK, the variant-1 3D adjustment, the plane
  // adjustment (by the original weights of its ground distances when asked); returns what
  // AdjustOneFix returns (-1 when a step before it fails).
  int Run(bool legacyRules = false) {
    if (!dialog.OnOK()) return -1;
    SetApproximateFileMode(0);
    CGPS3dNetAdjust network(1);
    if (!network.Load() || !network.Adjust()) return -1;
    plane = std::make_unique<CGPS2dNetAdjust>(1);
    plane->m_LegacyGroundWeights = legacyRules;
    if (!plane->Load()) return -1;
    const int adjusted = plane->AdjustOneFix();
    if (adjusted == 1) ExtractBreakthroughOf(*plane);
    return adjusted;
  }
  int Index(const std::string& name) const {
    for (int i = 0; i < plane->m_PointCount; ++i)
      if (plane->m_PointName[i] == name) return i;
    return -1;
  }
  double AzimuthOf(int from, int to) const {
    return Azimuth(plane->m_X[to] - plane->m_X[from], plane->m_Y[to] - plane->m_Y[from]);
  }
  // Every file of the project directory with its bytes.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(project.dir.path()))
      files[entry.path().filename().string()] = ReadWholeFile(entry.path().string()).value_or("");
    return files;
  }

  AdjustProject project;
  OneFixOneAzimuth dialog;
  std::unique_ptr<CGPS2dNetAdjust> plane;
};

TEST_F(OneFixTest, FixedPointAndAzimuthAreExactlyTheEnteredOnes) {
  ASSERT_EQ(Run(), 1);
  EXPECT_TRUE(project.scope.host.messages.empty());
  EXPECT_EQ(plane->m_X[0], 1000.0);
  EXPECT_EQ(plane->m_Y[0], 2000.0);
  EXPECT_NEAR(AzimuthOf(Index("K1"), Index("P2")), DmsToRadian(45.1530), 1e-12);
  const auto xy = Lines(project.Read("GPS2dXY1"));
  ASSERT_GE(xy.size(), 4u);
  EXPECT_EQ(xy[3], Format("%16s%15.4lf%15.4lf        K", "K1", 1000.0, 2000.0));
  // The side K1 -> P2 is not a vector; the side P2 -> P1 of vector 2 lies on the reverse.
  EXPECT_NEAR(AzimuthOf(Index("P2"), Index("K1")), DmsToRadian(225.1530), 1e-12);
}

TEST_F(OneFixTest, DistancesKeepTheScaleOfTheVariantOneAdjustment) {
  ASSERT_EQ(Run(), 1);
  // The plane coordinates of the 3D adjustment: "%16s %15.4lf %15.4lf %12.4lf".
  std::map<std::string, std::pair<double, double>> grid;
  for (const std::string& line : Lines(project.Read("GPS3dXYH1"))) {
    char name[64];
    double x, y, h;
    if (std::sscanf(line.c_str(), "%63s %lf %lf %lf", name, &x, &y, &h) == 4) grid[name] = {x, y};
  }
  ASSERT_EQ(grid.size(), 5u);
  for (int a = 0; a < plane->m_PointCount; ++a)
    for (int b = a + 1; b < plane->m_PointCount; ++b) {
      const auto& ga = grid[plane->m_PointName[a]];
      const auto& gb = grid[plane->m_PointName[b]];
      const double adjusted = std::hypot(plane->m_X[b] - plane->m_X[a], plane->m_Y[b] - plane->m_Y[a]);
      const double gps = std::hypot(gb.first - ga.first, gb.second - ga.second);
      EXPECT_NEAR(adjusted, gps, 0.003) << plane->m_PointName[a] << "-" << plane->m_PointName[b];
    }
}

TEST_F(OneFixTest, AzimuthEqualToTheNetworksOwnLeavesItAsAdjusted) {
  ASSERT_EQ(Run(), 1);
  const double theta = std::atan2(plane->m_s0, plane->m_c0);
  ASSERT_GT(std::fabs(theta), 1e-3);
  // The network's own azimuth of K1 -> P2 before the turn.
  const double own = DmsToRadian(45.1530) + theta;
  std::vector<double> X = plane->m_X, Y = plane->m_Y;
  const std::string report = project.Read("GPS2dResult1");
  dialog.m_Azimuth = RadianToDms(own);
  project.scope.host.messages.clear();
  ASSERT_EQ(Run(), 1);
  EXPECT_NEAR(plane->m_s0, 0.0, 1e-11);
  for (int i = 1; i < plane->m_PointCount; ++i) {
    // The first run's coordinates turned back about the fixed point.
    const double dx = X[i] - 1000.0, dy = Y[i] - 2000.0;
    EXPECT_NEAR(plane->m_X[i], 1000.0 + std::cos(theta) * dx - std::sin(theta) * dy, 1e-6);
    EXPECT_NEAR(plane->m_Y[i], 2000.0 + std::cos(theta) * dy + std::sin(theta) * dx, 1e-6);
  }
  // The precisions turn with the network: the axes of the error ellipses stay, only their
  // orientation moves. Q + R Q R^T would double every variance.
  const std::string turned = project.Read("GPS2dResult1");
  auto mp = [](const std::string& text, const std::string& name) {
    for (const std::string& line : Lines(text)) {
      int n;
      char found[32];
      double x, y, mx, my, mp;
      if (std::sscanf(line.c_str(), "%d %31s %lf %lf %lf %lf %lf", &n, found, &x, &y, &mx, &my, &mp) == 7 &&
          name == found)
        return mp;
    }
    return -1.0;
  };
  for (const char* name : {"P1", "P2", "P3", "K2"}) {
    EXPECT_GT(mp(report, name), 0.0);
    EXPECT_EQ(mp(report, name), mp(turned, name)) << name;
  }
}

TEST_F(OneFixTest, GroundDistancesChangeCoordinatesButNotTheRedundancy) {
  ASSERT_EQ(Run(), 1);
  const int redundancy = plane->m_Redundancy;
  const std::vector<double> X = plane->m_X;
  EXPECT_EQ(redundancy, 2 * 8 - 2 * 4);
  // A distance 2 cm longer than the GPS one.
  const double K1P1 = std::hypot(plane->m_X[Index("P1")] - plane->m_X[0], plane->m_Y[Index("P1")] - plane->m_Y[0]);
  project.Write("GPS2dDistance", Format("%20s %20s %20.4lf %10.3lf\n", "K1", "P1", K1P1 + 0.02, 0.1));
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(plane->m_Redundancy, redundancy);
  EXPECT_EQ(plane->m_DistanceCount, 1);
  EXPECT_GT(std::fabs(plane->m_X[Index("P1")] - X[Index("P1")]), 1e-4);
  EXPECT_NE(project.Read("GPS2dResult1").find(G(u8"地面边长(m)")), std::string::npos);
}

TEST_F(OneFixTest, ProjectionHeightEqualToTheHeightPutsTheFixedPointOnTheEllipsoid) {
  dialog.m_h0 = dialog.m_h;
  ASSERT_EQ(dialog.OnOK(), 1);
  GPSTransfer t(0);
  t.m_a = 6378137.0, t.m_InvF = 298.257223563;
  t.m_B = DmsToRadian(dialog.m_B), t.m_L = DmsToRadian(dialog.m_L), t.m_H = 0.0;
  ASSERT_EQ(t.BLHXYZ(), 1);
  EXPECT_EQ(project.Read("GPS3dKnownXYZ1"), Format("%20s %20.4lf %20.4lf %20.4lf\n", "K1", t.m_X, t.m_Y, t.m_Z));
}

TEST_F(OneFixTest, OrdinaryProjectFilesStayByteForByte) {
  // The ordinary 3D results and a breakthrough extract of an ordinary plane run exist.
  CGPS3dNetAdjust ordinary(0);
  ASSERT_EQ(ordinary.Load(), 1);
  ASSERT_EQ(ordinary.Adjust(), 1);
  project.Write("gtt", "the ordinary network's extract\n");
  project.Write("GPS2dDistance", Format("%20s %20s %20.4lf %10.3lf\n", "K1", "P1", 3366.66, 1.0));
  const auto before = Files();
  ASSERT_EQ(Run(), 1);
  const auto after = Files();
  for (const auto& [name, bytes] : before) {
    ASSERT_TRUE(after.count(name)) << name;
    EXPECT_EQ(after.at(name), bytes) << name;
  }
  for (const auto& [name, bytes] : after)
    if (!before.count(name)) {
      EXPECT_TRUE(name.back() == '1' || name == "net.OneFix") << name;
    }
  EXPECT_TRUE(project.Exists("gtt1"));
  EXPECT_TRUE(project.Exists("GPS3dApproximateXYZ1"));
}

// The golden numbers are those of the original weighting of the ground distance, which the
// option keeps byte for byte (the default weighting: GPS2dNetAdjustTest).
TEST_F(OneFixTest, GoldenFiles) {
  project.Write("GPS2dDistance", Format("%20s %20s %20.4lf %10.3lf\n", "P1", "P2", 4056.02, 0.5));
  ASSERT_EQ(Run(true), 1);
  EXPECT_TRUE(project.scope.host.messages.empty());
  const bool update = std::getenv("VEMO_UPDATE_GOLDEN") != nullptr;
  for (const char* ext : {"OneFix", "GPS3dKnownXYZ1", "GPS2dKnownXY1", "GPS2dAzimuth1", "GPS2dResult1", "GPS2dXY1",
                          "GPS2dXYEFT1", "gtt1"}) {
    const std::string actual = project.Read(ext), path = kGolden + "onefix." + ext;
    if (update) WriteFileAtomically(path, actual);
    EXPECT_EQ(actual, ReadWholeFile(path).value_or("<missing golden file>")) << ext;
  }
}

TEST_F(OneFixTest, DialogStartsFromTheRememberedInput) {
  project.Write("OneFix", "  A1, 10.5, 20.25, 30\n30.1, 114.2,1.5\nA1 B2 45.3030");
  OneFixOneAzimuth remembered;
  remembered.OnInitDialog();
  EXPECT_EQ(remembered.m_PointName, "A1");
  EXPECT_EQ(remembered.m_x, 10.5);
  EXPECT_EQ(remembered.m_y, 20.25);
  EXPECT_EQ(remembered.m_h, 30.0);
  EXPECT_EQ(remembered.m_B, 30.1);
  EXPECT_EQ(remembered.m_L, 114.2);
  EXPECT_EQ(remembered.m_h0, 1.5);
  EXPECT_EQ(remembered.m_From, "A1");
  EXPECT_EQ(remembered.m_To, "B2");
  EXPECT_EQ(remembered.m_Azimuth, 45.303);
  // A file it wrote reads back the same.
  project.Write("OneFix", dialog.OneFixText());
  OneFixOneAzimuth again;
  again.OnInitDialog();
  EXPECT_EQ(again.OneFixText(), dialog.OneFixText());
  // Short lines keep the defaults of what they do not give.
  project.Write("OneFix", "B7 1.5\n");
  OneFixOneAzimuth partial;
  partial.OnInitDialog();
  EXPECT_EQ(partial.m_PointName, "B7");
  EXPECT_EQ(partial.m_x, 1.5);
  EXPECT_EQ(partial.m_y, 0.0);
  EXPECT_EQ(partial.m_From, "");
  EXPECT_EQ(partial.m_Azimuth, 0.0);
  // ... and mark them: the run must not take those defaults for the person's input.
  EXPECT_EQ(partial.m_UnreadFields, 0b1111111100u);
  EXPECT_EQ(remembered.m_UnreadFields, 0u);
  EXPECT_EQ(again.m_UnreadFields, 0u);
}

TEST_F(OneFixTest, ANumberOfTheRememberedFileThatDoesNotReadIsNeverZero) {
  // Scanned as "%s %lf %lf %lf", one damaged number left it and the rest of its line
  // at zero, and the run fixed the point at x = y = h = 0.
  project.Write("OneFix", "K1 1000.0x 2000 35\n30.274402258 114.153345812 2.49\nK1 P2 4S.1530");
  OneFixOneAzimuth remembered;
  remembered.OnInitDialog();
  EXPECT_EQ(remembered.m_PointName, "K1");
  EXPECT_EQ(remembered.m_B, 30.274402258);
  EXPECT_EQ(remembered.m_To, "P2");
  EXPECT_EQ(remembered.m_UnreadFields, (1u << 1 | 1u << 2 | 1u << 3 | 1u << 9));
  EXPECT_EQ(remembered.CheckRemembered(), 0);
  EXPECT_EQ(project.MessagesUtf8(),
            std::vector<std::string>{u8"上次输入的文件" + project.File("OneFix") +
                                     u8"中的数据不完整或无法读取(第 1 行的平面坐标x[m]、平面坐标y[m]、正常高h[m]，"
                                     u8"第 3 行的方位角[dms])，不能作为本次的输入!\n请重新输入这些数据。"});
  for (int field : {1, 2, 3, 9}) remembered.Given(field);
  EXPECT_EQ(remembered.CheckRemembered(), 1);
}

TEST_F(OneFixTest, NumbersAtTheirBoundsAreTaken) {
  dialog.m_x = 1e8, dialog.m_y = -1e8, dialog.m_h = 1e5, dialog.m_h0 = -1e5;
  dialog.m_L = 359.595999, dialog.m_Azimuth = 359.5959;
  EXPECT_EQ(dialog.OnOK(), 1);
  dialog.m_L = -180.0, dialog.m_Azimuth = -359.5959, dialog.m_B = -90.0;
  EXPECT_EQ(dialog.OnOK(), 1);
  EXPECT_TRUE(project.MessagesUtf8().empty());
}

// Input that the run cannot use: the message, and no file written or changed. Numbers no
// survey's fixed point or azimuth can have among them (1e308 was written with 309 digits that
// the reader then refused for ever; --lon 360, 114.9999 and an azimuth of 0.6 were taken).
struct BadDialog {
  const char* name;
  std::function<void(OneFixOneAzimuth&)> set;
  const char* message;
};
std::function<void(OneFixOneAzimuth&)> Name(std::string OneFixOneAzimuth::*field, const char* value) {
  return [=](OneFixOneAzimuth& d) { d.*field = value; };
}
std::function<void(OneFixOneAzimuth&)> Number(double OneFixOneAzimuth::*field, double value) {
  return [=](OneFixOneAzimuth& d) { d.*field = value; };
}

class OneFixRefusal : public OneFixTest, public testing::WithParamInterface<BadDialog> {};

TEST_P(OneFixRefusal, BeforeAnyFileIsWritten) {
  project.Write("OneFix", "remembered\n");
  GetParam().set(dialog);
  const auto before = Files();
  EXPECT_EQ(dialog.OnOK(), 0);
  EXPECT_EQ(Files(), before);
  const auto messages = project.MessagesUtf8();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(GetParam().message), std::string::npos) << messages[0];
}

using F = OneFixOneAzimuth;
INSTANTIATE_TEST_SUITE_P(
    Cases, OneFixRefusal,
    testing::Values(BadDialog{"FixedPointOutsideTheNetwork", Name(&F::m_PointName, "K9"), u8"点K9不在基线向量文件"},
                    BadDialog{"AzimuthEndOutsideTheNetwork", Name(&F::m_To, "p7"), u8"点P7不在基线向量文件"},
                    BadDialog{"NoFixedPoint", Name(&F::m_PointName, " "), u8"请输入固定点点名"},
                    BadDialog{"NoAzimuthStart", Name(&F::m_From, ""), u8"请输入固定点点名"},
                    BadDialog{"NameWithABlank", Name(&F::m_To, "P 2"), u8"点名P 2无效"},
                    BadDialog{"NameTooLong", Name(&F::m_To, "P23456789012345678901"), u8"无效"},
                    BadDialog{"SameEnds", Name(&F::m_To, "k1"), u8"起点与终点是同一点"},
                    BadDialog{"LongitudeOf360", Number(&F::m_L, 360.0), u8"大地经度L应在-180度与360度(不含)之间"},
                    BadDialog{"LongitudeWith99Minutes", Number(&F::m_L, 114.9999), u8"大地经度L应在"},
                    BadDialog{"LongitudeWith60Seconds", Number(&F::m_L, 114.1560), u8"大地经度L应在"},
                    BadDialog{"LongitudeWestOf180", Number(&F::m_L, -180.0001), u8"大地经度L应在"},
                    BadDialog{"LatitudeWith60Minutes", Number(&F::m_B, 30.6), u8"大地纬度B应在"},
                    BadDialog{"AzimuthOf400", Number(&F::m_Azimuth, 400.0), u8"方位角的绝对值应小于360度"},
                    BadDialog{"AzimuthOf60Minutes", Number(&F::m_Azimuth, 0.6), u8"方位角的绝对值"},
                    BadDialog{"AzimuthOfMinus360", Number(&F::m_Azimuth, -360.0), u8"方位角的绝对值"},
                    BadDialog{"XOf1e308", Number(&F::m_x, 1e308), u8"平面坐标x、y的绝对值应不超过100000000 m"},
                    BadDialog{"YBeyond1e8", Number(&F::m_y, -1.00000001e8), u8"平面坐标x、y"},
                    BadDialog{"HeightBeyond1e5", Number(&F::m_h, 100000.5), u8"正常高h与投影面正常高h0"},
                    BadDialog{"SurfaceBelowMinus1e5", Number(&F::m_h0, -1e6), u8"正常高h与投影面正常高h0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OneFixTest, PlaneAdjustmentRefusesInputWithoutADefinedTurn) {
  ASSERT_EQ(Run(), 1);
  // Two fixed points: the turn about "the" fixed point is not defined.
  project.Write("GPS2dKnownXY1", Format("%20s %20.4lf %20.4lf\n", "K1", 1000.0, 2000.0) +
                                     Format("%20s %20.4lf %20.4lf\n", "K2", 1500.0, 2500.0));
  project.scope.host.messages.clear();
  CGPS2dNetAdjust two(1);
  ASSERT_EQ(two.Load(), 1);
  EXPECT_EQ(two.AdjustOneFix(), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_NE(project.MessagesUtf8()[0].find(u8"只能有一个固定点"), std::string::npos);
  // No azimuth at all.
  project.Write("GPS2dKnownXY1", Format("%20s %20.4lf %20.4lf\n", "K1", 1000.0, 2000.0));
  project.Write("GPS2dAzimuth1", "");
  project.scope.host.messages.clear();
  CGPS2dNetAdjust none(1);
  ASSERT_EQ(none.Load(), 1);
  EXPECT_EQ(none.AdjustOneFix(), 0);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_NE(project.MessagesUtf8()[0].find(u8"没有固定方位角"), std::string::npos);
}

TEST_F(OneFixTest, CommandOpensBothReportsAndRemembersItsInput) {
  const ProgramProject program(project, {"GPS3dKnownXYZ", "GPS3dVector"});
  ASSERT_EQ(program.created.status, 0) << program.created.err;
  auto run = program.Run({"adjust-one-fix", "--point", "K1", "--x", "1000", "--y", "2000", "--h", "35", "--lat",
                          "30.274402258", "--lon", "114.153345812", "--h0", "2.49", "--from", "K1", "--to", "P2",
                          "--azimuth", "45.153"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, program.dir + "/net.GPS3dResult1\n" + program.dir + "/net.GPS2dResult1\n");
  EXPECT_EQ(run.err, "");
  const std::string remembered = ReadWholeFile(program.dir + "/net.OneFix").value_or("");
  EXPECT_EQ(remembered, dialog.OneFixText());
  // Without options the remembered values are taken; one option changes its field only.
  auto again = program.Run({"adjust-one-fix", "--azimuth", "50"});
  ASSERT_EQ(again.status, 0) << again.err;
  dialog.m_Azimuth = 50.0;
  EXPECT_EQ(ReadWholeFile(program.dir + "/net.OneFix").value_or(""), dialog.OneFixText());
  EXPECT_EQ(program.Run({"adjust-one-fix", "--x", "abc"}).status, 2);
  auto outside = program.Run({"adjust-one-fix", "--to", "Z9"});
  EXPECT_EQ(outside.status, 1);
  EXPECT_EQ(outside.out, "");
  EXPECT_NE(outside.err.find(u8"点Z9不在基线向量文件"), std::string::npos) << outside.err;
}

// The command on a remembered file with a number that does not read: refused with the line
// and the fields, nothing rewritten, until the fields are given; impossible values refused.
TEST_F(OneFixTest, CommandRefusesAnUnreadableRememberedFileAndImpossibleValues) {
  const ProgramProject program(project, {"GPS3dKnownXYZ", "GPS3dVector"});
  ASSERT_EQ(program.created.status, 0) << program.created.err;
  auto snapshot = [&] {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(program.dir))
      if (!entry.path().string().ends_with(".prj"))
        files[entry.path().filename().string()] = ReadWholeFile(entry.path().string()).value_or("");
    return files;
  };
  const std::string damaged = "K1 abc 2000 35\n30.274402258 114.153345812 2.49\nK1 P2 45.153";
  WriteFileAtomically(program.dir + "/net.OneFix", damaged);
  const auto before = snapshot();
  auto refused = program.Run({"adjust-one-fix"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_NE(refused.err.find(u8"中的数据不完整或无法读取(第 1 行的平面坐标x[m]、平面坐标y[m]、正常高h[m])"),
            std::string::npos)
      << refused.err;
  EXPECT_EQ(snapshot(), before);
  // An impossible value given with them: refused, nothing written either.
  EXPECT_EQ(program.Run({"adjust-one-fix", "--x", "1000", "--y", "2000", "--h", "35", "--lon", "360"}).status, 1);
  EXPECT_EQ(snapshot(), before);
  // The fields given: the run takes them and rewrites the remembered file.
  auto given = program.Run({"adjust-one-fix", "--x", "1000", "--y", "2000", "--h", "35"});
  ASSERT_EQ(given.status, 0) << given.err;
  EXPECT_NE(ReadWholeFile(program.dir + "/net.OneFix").value_or(damaged), damaged);
}

}  // namespace

// The tunnel breakthrough error: the computation against hand-derived cases (a sighting point's
// lateral error carried to the breakthrough point, the circle, a vanishing minor axis), the
// report from the extract of the plane adjustment's golden network, truncated and missing
// extracts, and the command.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/commands/Handlers.h"
#include "geodesy/Angles.h"
#include "geodesy/FileUtil.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tools/Breakthrough.h"

namespace vemo::test {
namespace {

namespace fs = std::filesystem;

const std::string kGolden = std::string(VEMO_TEST_DATA_DIR) + "/adjust2d/";

// Entry station A at the origin sighting B 1000 m north; exit station C 2000 m north sighting
// D 1000 m north; the breakthrough point P halfway between A and C.
const double kGeometry[5][2] = {{0, 0}, {1000, 0}, {2000, 0}, {1000, 0}, {500, 0}};

TEST(Breakthrough, LateralErrorOfASightingPointIsCarriedInProportionToTheDistance) {
  // Only the east coordinate of B is uncertain (cofactor 1): the entry direction turns by
  // sigma / 1000 m and P, 500 m along it, moves east by sigma / 2.
  float Q[8][8] = {};
  Q[3][3] = 1.0f;
  const BreakthroughErrors e = ComputeBreakthrough(2.0, 90.0, kGeometry, Q);
  EXPECT_NEAR(e.E, 1.0, 1e-12);
  EXPECT_NEAR(e.F, 0.0, 1e-12);
  EXPECT_NEAR(e.majorAzimuth, PI / 2, 1e-12);
  EXPECT_NEAR(e.lateral, 1.0, 1e-12);      // measured east, along the major axis
  EXPECT_NEAR(e.longitudinal, 0.0, 1e-12);
  // Measured north instead: the roles exchange.
  const BreakthroughErrors n = ComputeBreakthrough(2.0, 0.0, kGeometry, Q);
  EXPECT_NEAR(n.lateral, 0.0, 1e-12);
  EXPECT_NEAR(n.longitudinal, 1.0, 1e-12);
}

TEST(Breakthrough, EqualVariancesWithoutCorrelationGiveACircle) {
  // The entry station's own coordinates carry P straight: with the sighting points exact and
  // A's cofactor the unit matrix, the discrepancy is a circle.
  float Q[8][8] = {};
  Q[0][0] = Q[1][1] = 1.0f;
  const double geometry[5][2] = {{0, 0}, {1000, 0}, {2000, 0}, {1000, 0}, {0, 0}};  // P at A
  const BreakthroughErrors e = ComputeBreakthrough(3.0, 37.2, geometry, Q);
  EXPECT_EQ(e.majorAzimuth, 0.0);
  EXPECT_NEAR(e.E, 3.0, 1e-12);
  EXPECT_NEAR(e.F, 3.0, 1e-12);
  EXPECT_NEAR(e.lateral, e.longitudinal, 1e-12);
  EXPECT_NEAR(e.lateral, 3.0, 1e-12);
}

TEST(Breakthrough, MinorAxisBelowTheBoundIsZero) {
  float Q[8][8] = {};
  Q[3][3] = 1.0f;
  Q[0][0] = 5e-11f;  // A's north error moves P along the tunnel by a hair
  const BreakthroughErrors e = ComputeBreakthrough(1.0, 90.0, kGeometry, Q);
  EXPECT_EQ(e.F, 0.0);  // not the square root of the 5e-11 left below the bound
  Q[0][0] = 4e-10f;
  EXPECT_NEAR(ComputeBreakthrough(1.0, 90.0, kGeometry, Q).F, 2e-5, 1e-9);
}

class BreakthroughCommand : public ::testing::Test {
 protected:
  CommandContext context{Args({})};
  AdjustProject project;
};

TEST_F(BreakthroughCommand, ReportOfTheGoldenExtract) {
  fs::copy_file(kGolden + "expected.gtt", project.File("gtt"));
  EXPECT_EQ(RunBreakthrough(context), kCommandDone);
  EXPECT_EQ(project.MessagesUtf8(), std::vector<std::string>{u8"贯通误差计算完毕"});
  ASSERT_EQ(project.scope.host.openedDocuments, std::vector<std::string>{project.File("gto")});
  const std::string path = kGolden + "expected.gto";
  if (std::getenv("VEMO_UPDATE_GOLDEN")) WriteFileAtomically(path, project.Read("gto"));
  EXPECT_EQ(project.Read("gto"), ReadWholeFile(path).value_or("<missing golden file>"));
}

TEST_F(BreakthroughCommand, KnownEntryStationContributesNothing) {
  // In the golden extract the entry station of the first breakthrough is a known point: its
  // rows and columns are zero, the others are not.
  const std::vector<std::string> lines = Lines(ReadWholeFile(kGolden + "expected.gtt").value_or(""));
  ASSERT_GE(lines.size(), 14u);
  const std::string zeros = "0.000000000000 0.000000000000 0.000000000000 0.000000000000 0.000000000000 "
                            "0.000000000000 0.000000000000 0.000000000000";
  EXPECT_EQ(lines[6], zeros);
  EXPECT_EQ(lines[7], zeros);
  EXPECT_NE(lines[8], zeros);
  for (size_t row = 6; row < 14; ++row) EXPECT_EQ(lines[row].substr(0, 30), zeros.substr(0, 30));
}

// An extract cut inside its last line was cut while written: refused, not read as whole.
TEST_F(BreakthroughCommand, TruncatedBlockEndsTheReport) {
  std::string extract = ReadWholeFile(kGolden + "expected.gtt").value_or("");
  extract.resize(extract.size() - 40);
  project.Write("gtt", extract);
  EXPECT_EQ(RunBreakthrough(context), kCommandFailed);
  EXPECT_FALSE(project.Exists("gto"));
}

TEST_F(BreakthroughCommand, WithoutExtractWarnsAndWritesNothing) {
  EXPECT_EQ(RunBreakthrough(context), kCommandFailed);
  EXPECT_EQ(project.MessagesUtf8(),
            std::vector<std::string>{u8"没建立贯通误差引导文件\n请建立引导文件后重新平差\n然后再计算贯通误差"});
  EXPECT_FALSE(project.Exists("gto"));
  EXPECT_TRUE(project.scope.host.openedDocuments.empty());
}

TEST_F(BreakthroughCommand, StationOnItsSightingPointIsNamedNotPrintedAsNotANumber) {
  std::string extract = ReadWholeFile(kGolden + "expected.gtt").value_or("");
  // The first block's sighting point C placed on its station A.
  extract.replace(extract.find("C 3000999.9883 501500.0060"), 26, "C 3000000.0000 500000.0000");
  project.Write("gtt", extract);
  EXPECT_EQ(RunBreakthrough(context), kCommandDone);
  EXPECT_EQ(project.MessagesUtf8().size(), 2u);
  EXPECT_EQ(project.Read("gto").find("nan"), std::string::npos);
  EXPECT_EQ(Lines(project.Read("gto")).size(), 5u);  // the second block only
}

}  // namespace
}  // namespace vemo::test

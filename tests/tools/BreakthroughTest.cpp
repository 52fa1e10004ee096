// The tunnel breakthrough error: the computation against hand-derived cases (a sighting point's
// lateral error carried to the breakthrough point, the circle, a vanishing minor axis), the
// report from the extract of the plane adjustment's golden network, truncated and missing
// extracts, and the command.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

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

// An extract that is not whole as the extraction writes it is refused with its first damaged
// line, and no report is begun: the original stopped at the first damaged block and reported
// "贯通误差计算完毕" over the table of the blocks before it (or over none).
struct DamagedExtract {
  const char* name;
  std::function<void(std::string&)> damage;
  int line;  // the line the message names
};
class DamagedExtractTest : public BreakthroughCommand, public testing::WithParamInterface<DamagedExtract> {};

TEST_P(DamagedExtractTest, IsRefusedNamingTheLine) {
  std::string extract = ReadWholeFile(kGolden + "expected.gtt").value_or("");
  ASSERT_EQ(Lines(extract).size(), 28u);  // two blocks of 14 lines
  GetParam().damage(extract);
  project.Write("gtt", extract);
  project.Write("gto", "earlier report\n");
  EXPECT_EQ(RunBreakthrough(context), kCommandFailed);
  ASSERT_EQ(project.MessagesUtf8().size(), 1u);
  EXPECT_EQ(project.MessagesUtf8()[0], u8"贯通误差数据文件" + project.File("gtt") + u8"第 " +
                                           std::to_string(GetParam().line) +
                                           u8" 行读取数据错误，该文件已损坏或不完整!\n请重新进行二维网平差以重新生成该文件。");
  EXPECT_FALSE(project.Exists("gto"));  // the command's result files are this run's or none
  EXPECT_TRUE(project.scope.host.openedDocuments.empty());
}

// The line of the extract (from 1) replaced by text.
std::function<void(std::string&)> ReplaceLine(int line, std::string text) {
  return [=](std::string& extract) {
    size_t start = 0;
    for (int i = 1; i < line; ++i) start = extract.find('\n', start) + 1;
    extract.replace(start, extract.find('\n', start) - start, text);
  };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedExtractTest,
    testing::Values(
        DamagedExtract{"CutInsideTheLastNumber", [](std::string& e) { e.resize(e.size() - 5); }, 28},
        DamagedExtract{"CutBeforeTheLastRows", [](std::string& e) { e.resize(e.find("P2")); }, 20},
        DamagedExtract{"CutAfterAWholeLine",
                       [](std::string& e) { e.resize(e.rfind('\n', e.size() - 2) + 1); }, 28},
        DamagedExtract{"WordInTheFirstBlock", ReplaceLine(3, "C 3000999.9883 x"), 3},
        DamagedExtract{"NumberMissingInTheHeader", ReplaceLine(15, "0.950391"), 15},
        DamagedExtract{"ExtraItemInACofactorRow", ReplaceLine(7, "0 0 0 0 0 0 0 0 1"), 7},
        DamagedExtract{"NegativeUnitWeightError", ReplaceLine(1, "-0.950391 90.0000000"), 1},
        DamagedExtract{"CofactorBeyondSinglePrecision", ReplaceLine(27, "1e39 0 0 0 0 0 0 0"), 27},
        DamagedExtract{"PointWithoutItsEasting", ReplaceLine(6, "P1 3001200.0000"), 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BreakthroughCommand, AnExtractWithoutBlocksIsRefused) {
  for (const char* empty : {"", "\n  \n"}) {
    project.Write("gtt", empty);
    project.scope.host.messages.clear();
    EXPECT_EQ(RunBreakthrough(context), kCommandFailed);
    ASSERT_EQ(project.MessagesUtf8().size(), 1u);
    EXPECT_NE(project.MessagesUtf8()[0].find(u8"中没有贯通点的数据，未计算贯通误差!"), std::string::npos);
    EXPECT_FALSE(project.Exists("gto"));
  }
}

// Without --project the command ran on the project last remembered, where every other
// command that reads a project refuses with status 2.
TEST(BreakthroughProgram, NeedsAnOpenProjectAsEveryProjectCommandDoes) {
  TempDir config, work;
  const std::string dir = (work.path() / "prj").string();
  ASSERT_EQ(CreateProgramProject(dir, config.str()).status, 0);
  fs::copy_file(kGolden + "expected.gtt", dir + "/net.gtt");
  const ProgramRun without = RunProgram({"breakthrough"}, config.str());
  EXPECT_EQ(without.status, 2);
  EXPECT_NE(without.err.find("VemoGPS: breakthrough needs an open project"), std::string::npos) << without.err;
  EXPECT_EQ(RunProgram({"adjust-2d"}, config.str()).status, 2);  // as the others do
  EXPECT_FALSE(fs::exists(dir + "/net.gto"));
  const ProgramRun with = RunProgram({"--project", dir + "/net.prj", "breakthrough"}, config.str());
  EXPECT_EQ(with.status, 0) << with.err;
  EXPECT_TRUE(fs::exists(dir + "/net.gto"));
}

TEST_F(BreakthroughCommand, WithoutExtractWarnsAndWritesNothing) {
  EXPECT_EQ(RunBreakthrough(context), kCommandFailed);
  EXPECT_EQ(project.MessagesUtf8(),
            std::vector<std::string>{u8"没建立贯通误差引导文件\n请建立引导文件后重新平差\n然后再计算贯通误差"});
  EXPECT_FALSE(project.Exists("gto"));
  EXPECT_TRUE(project.scope.host.openedDocuments.empty());
}

TEST_F(BreakthroughCommand, StationOnItsSightingPointIsNamedAndNoReportWritten) {
  std::string extract = ReadWholeFile(kGolden + "expected.gtt").value_or("");
  // The first block's sighting point C placed on its station A.
  extract.replace(extract.find("C 3000999.9883 501500.0060"), 26, "C 3000000.0000 500000.0000");
  project.Write("gtt", extract);
  EXPECT_EQ(RunBreakthrough(context), kCommandFailed);
  EXPECT_EQ(project.MessagesUtf8(),
            std::vector<std::string>{u8"测站A与照准点C或测站B与照准点D重合(贯通误差数据文件" + project.File("gtt") +
                                     u8"第 1 行起)，无法计算贯通误差!"});
  EXPECT_FALSE(project.Exists("gto"));
}

}  // namespace
}  // namespace vemo::test

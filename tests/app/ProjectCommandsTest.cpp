#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "project/AppState.h"
#include "app/commands/CommandTable.h"
#include "project/ProjectDialogs.h"
#include "project/ProjectFile.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Settings.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using test::G;
namespace fs = std::filesystem;

std::string Bytes(const std::string& path) { return ReadWholeFile(path).value_or("<missing>"); }

// The program itself, as a surveyor runs it.
class ProgramTest : public testing::Test {
 protected:
  test::TempDir work;
  std::string config = (work.path() / "config").string();
  test::ProgramRun Run(const std::vector<std::string>& args) { return test::RunProgram(args, config, work.str()); }
};

TEST_F(ProgramTest, NewProjectCreatesEveryLevelWithCreationModeValues) {
  std::string dir = (work.path() / "a" / "b" / "c").string();
  auto run = Run({"new-project", "--name", "demo", "--dir", dir});
  ASSERT_EQ(run.status, 0) << run.err;
  std::string prj = dir + "/demo.prj";
  ASSERT_TRUE(FileExists(prj));
  CGPSConfiguration c;
  ASSERT_TRUE(DeserializeConfiguration(Bytes(prj), c));
  EXPECT_EQ(c.m_ProjectName, "demo");
  EXPECT_EQ(c.m_ProjectDir, dir);
  EXPECT_EQ(c.m_GradeIndex, 0);
  EXPECT_EQ(c.m_CentralMeridian, 117.0);
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kInstrumentFixedError], 5.0);
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kInstrumentProportionalError], 1.0);
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kRepeatBaselineCoefficient], 4.243);
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kWeakestSideRelativeError], 100000000.0);
  EXPECT_EQ(c.m_CurrentCoorsSystem.m_Name, G(u8"北京54"));
  EXPECT_EQ(c.m_CoorsSystems.GetCount(), 5);
  EXPECT_EQ(c.m_IndependentBaselineCount, -1);
  EXPECT_EQ(c.m_BaselineVarianceFactor, 1.0);
  EXPECT_EQ(c.m_ProjectionType, 0);
  // Remembered for the next start.
  setenv("VEMOGPS_CONFIG_DIR", (work.path() / "own").c_str(), 1);  // this process's settings
  EXPECT_EQ(CSettingsStore::GetString("Gps Settings", "Last GPS Project", "?"), "?");
  setenv("VEMOGPS_CONFIG_DIR", config.c_str(), 1);
  EXPECT_EQ(CSettingsStore::GetString("Gps Settings", "Last GPS Project", "?"), "demo");
  EXPECT_EQ(CSettingsStore::GetString("Gps Settings", "Last GPS Project Path", "?"), dir);
}

TEST_F(ProgramTest, NewProjectOverExistingOneAsksAndNoKeepsTheFile) {
  std::string dir = work.str() + "/p";
  ASSERT_EQ(Run({"new-project", "--name", "demo", "--dir", dir, "--grade", "5"}).status, 0);
  std::string prj = dir + "/demo.prj";
  std::string before = Bytes(prj);
  auto mtime = fs::last_write_time(prj);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));

  auto run = Run({"new-project", "--name", "demo", "--dir", dir});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"工程'" + prj + u8"'已存在,覆盖该工程? [No]"), std::string::npos) << run.err;
  EXPECT_EQ(Bytes(prj), before);
  EXPECT_EQ(fs::last_write_time(prj), mtime);

  run = Run({"--yes", "new-project", "--name", "demo", "--dir", dir});
  EXPECT_EQ(run.status, 0) << run.err;
  CGPSConfiguration c;
  ASSERT_TRUE(DeserializeConfiguration(Bytes(prj), c));
  EXPECT_EQ(c.m_GradeIndex, 0);
}

TEST_F(ProgramTest, ProjectOptionsReachTheFile) {
  std::string dir = work.str() + "/opts";
  auto run = Run({"new-project", "--name", u8"测试", "--dir", dir, "--grade", "34", "--custom-precision",
                  "7,2,,,,,,1.5,,,,,,9", "--ellipsoid", "wgs84", "--projection", "utm", "--central-meridian",
                  "114.3", "--x-constant", "-10", "--y-constant", "500", "--instrument-a", "3", "--instrument-b",
                  "0.5", "--independent-baselines", "12", "--variance-factor", "2.5", "--modify-covariance",
                  "--apriori-unit-weight", "--mean-latitude", "30.3", "--baseline-type", "8"});
  ASSERT_EQ(run.status, 0) << run.err;
  // The file name on disk is UTF-8; the name inside the file is GBK.
  std::string prj = dir + u8"/测试.prj";
  CGPSConfiguration c;
  ASSERT_TRUE(DeserializeConfiguration(Bytes(prj), c));
  EXPECT_EQ(c.m_ProjectName, G(u8"测试"));
  const auto& p = c.m_NetClass;
  EXPECT_EQ(c.m_GradeIndex, 34);
  EXPECT_EQ(p[NetClassParameters::kFixedError], 7.0);
  EXPECT_EQ(p[NetClassParameters::kProportionalError], 2.0);
  EXPECT_EQ(p[NetClassParameters::kRepeatBaselineCoefficient], 2.828);  // start value kept
  EXPECT_EQ(p[NetClassParameters::kBaselineDirectionError], 1.5);
  EXPECT_EQ(p.m_LoopSideLimit, 9);
  EXPECT_EQ(p[NetClassParameters::kInstrumentFixedError], 3.0);
  EXPECT_EQ(c.m_CurrentCoorsSystem.m_Name, "WGS84");
  EXPECT_EQ(c.m_ProjectionType, 1);
  EXPECT_EQ(c.m_CentralMeridian, 114.3);
  EXPECT_EQ(c.m_XConstant, -10.0);
  EXPECT_EQ(c.m_YConstant, 500.0);
  EXPECT_EQ(c.m_IndependentBaselineCount, 12);
  EXPECT_EQ(c.m_BaselineVarianceFactor, 2.5);
  EXPECT_EQ(c.m_ModifyBaselineCov, 1);
  EXPECT_EQ(c.m_UseAprioriUnitWeight, 1);
  EXPECT_EQ(c.m_MeanLatitude, 30.3);
  EXPECT_EQ(c.m_BaselineType, 8);

  run = Run({"--project", prj, "settings", "--grade", "12", "--no-modify-covariance"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(u8"等级: 12 高铁CPI/二等"), std::string::npos) << run.out;
  ASSERT_TRUE(DeserializeConfiguration(Bytes(prj), c));
  EXPECT_EQ(c.m_GradeIndex, 12);
  EXPECT_EQ(c.m_ModifyBaselineCov, 0);
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kConstrainedRelativeError], 250000.0);
  EXPECT_EQ(c.m_CurrentCoorsSystem.m_Name, "WGS84");  // unchanged fields survive
}

TEST_F(ProgramTest, UsageErrorsExitTwoAndChangeNothing) {
  std::string dir = work.str() + "/u";
  EXPECT_EQ(Run({"new-project", "--name", "x"}).status, 2);
  EXPECT_EQ(Run({"new-project", "--name", "x", "--dir", dir, "--grade", "35"}).status, 2);
  EXPECT_EQ(Run({"new-project", "--name", "x", "--dir", dir, "--grade", "two"}).status, 2);
  EXPECT_EQ(Run({"new-project", "--name", "x", "--dir", dir, "--ellipsoid", "MARS"}).status, 2);
  EXPECT_EQ(Run({"new-project", "--name", "x", "--dir", dir, "--bogus"}).status, 2);
  EXPECT_EQ(Run({"new-project", "--name", "../x", "--dir", dir}).status, 2);
  EXPECT_EQ(Run({"no-such-command"}).status, 2);
  EXPECT_EQ(Run({"--frobnicate", "help"}).status, 2);
  EXPECT_FALSE(fs::exists(dir));
  auto help = Run({"help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("new-project"), std::string::npos);
  auto one = Run({"help", "settings"});
  EXPECT_NE(one.out.find("--custom-precision"), std::string::npos);
  // One version: --version, the first line of help and the application title agree.
  auto version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  ASSERT_EQ(version.out.rfind("VemoGPS ", 0), 0u) << version.out;
  EXPECT_EQ(help.out.substr(0, help.out.find('\n') + 1), version.out);
  const std::string number = version.out.substr(8, version.out.size() - 9);
  EXPECT_EQ(std::string(AppTitle()).substr(std::string(AppTitle()).size() - number.size() - 1), "V" + number);
}

TEST_F(ProgramTest, StartupWithoutStoredValuesUsesTheWorkingDirectory) {
  auto run = Run({"settings"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(u8"工程名: \n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(u8"路  径: " + fs::canonical(work.path()).string() + "\n"), std::string::npos) << run.out;
  // A change without a project cannot be kept: said, and a failure.
  run = Run({"settings", "--grade", "3"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"当前没有工程，设置未能保存!"), std::string::npos);
}

TEST_F(ProgramTest, OpeningAMissingOrDamagedProjectFails) {
  auto run = Run({"--project", work.str() + "/none.prj", "settings"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"打开文件"), std::string::npos);
  ASSERT_TRUE(WriteFileAtomically(work.str() + "/bad.prj", "\x05" "ab"));
  run = Run({"--project", work.str() + "/bad.prj", "settings"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"无效的工程文件或该文件\n已被破坏,继续进行？ [No]"), std::string::npos) << run.err;
}

TEST_F(ProgramTest, ExitNeverOverwritesAProjectFileItCouldNotRead) {
  std::string dir = work.str() + "/d";
  ASSERT_EQ(Run({"new-project", "--name", "p", "--dir", dir}).status, 0);
  std::string prj = dir + "/p.prj";
  std::string damaged = Bytes(prj).substr(0, 40);
  ASSERT_TRUE(WriteFileAtomically(prj, damaged));
  // The next start restores p, whose file is damaged; the question is answered No.
  auto run = Run({"help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Bytes(prj), damaged);
}

TEST_F(ProgramTest, CoordinateSystemsAreEditedAndKept) {
  std::string dir = work.str() + "/cs";
  ASSERT_EQ(Run({"new-project", "--name", "p", "--dir", dir}).status, 0);
  std::string prj = dir + "/p.prj";
  auto run = Run({"--project", prj, "coordinate-systems", "--add", " mine ", "6378000", "298.5"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("MINE                 6378000.000000     298.500000000"), std::string::npos) << run.out;
  CGPSConfiguration c;
  ASSERT_TRUE(DeserializeConfiguration(Bytes(prj), c));
  ASSERT_NE(c.m_CoorsSystems.Lookup("MINE"), nullptr);
  EXPECT_EQ(c.m_CoorsSystems.Lookup("MINE")->m_Predefined, 0);

  run = Run({"--project", prj, "coordinate-systems", "--remove", "WGS84"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"预定义的坐标系统'WGS84'不能删除!"), std::string::npos);
  EXPECT_EQ(Run({"--project", prj, "coordinate-systems", "--add", "X", "0", "298"}).status, 2);
  ASSERT_EQ(Run({"--project", prj, "coordinate-systems", "--remove", "mine"}).status, 0);
  CGPSConfiguration fresh;  // loading never empties the set, so read into a fresh object
  ASSERT_TRUE(DeserializeConfiguration(Bytes(prj), fresh));
  EXPECT_EQ(fresh.m_CoorsSystems.Lookup("MINE"), nullptr);
  EXPECT_EQ(fresh.m_CoorsSystems.GetCount(), 5);
}

// The project life cycle inside the program, through the dialog records.
class ProjectLifeCycle : public testing::Test {
 protected:
  test::ScopedTestHost scope;
  test::TempDir work;
};

TEST_F(ProjectLifeCycle, EmptyNameOrDirectoryKeepsTheDialogOpen) {
  CProjectDlgRecord r = OpenNewProjectDialog(Project().configuration);
  r.directory = work.str();
  EXPECT_EQ(AcceptNewProject(r), DialogOutcome::StaysOpen);
  r.name = "a";
  r.directory.clear();
  EXPECT_EQ(AcceptNewProject(r), DialogOutcome::StaysOpen);
  EXPECT_EQ(Project().projectOpen, 0);
  EXPECT_TRUE(scope.host.messages.empty());
}

TEST_F(ProjectLifeCycle, NewProjectHandsItToTheLibrary) {
  CProjectDlgRecord r = OpenNewProjectDialog(Project().configuration);
  r.name = "lib";
  r.directory = work.str() + "/x";
  r.gradeIndex = 6;
  bool saved = false;
  ASSERT_EQ(AcceptNewProject(r, &saved), DialogOutcome::Accepted);
  EXPECT_TRUE(saved);
  EXPECT_EQ(Project().projectOpen, 1);
  EXPECT_EQ(GlobalConfiguration(), &Project().configuration);
  EXPECT_EQ(GlobalProjectDir(), work.str() + "/x");
  EXPECT_EQ(GlobalProjectName(), "lib");
  EXPECT_EQ(Project().configuration.m_NetClass[NetClassParameters::kFixedError], 10.0);  // grade applied
}

TEST_F(ProjectLifeCycle, SameProjectInAnotherLetterCaseIsNotReadAgain) {
  CProjectDlgRecord r = OpenNewProjectDialog(Project().configuration);
  r.name = "Demo";
  r.directory = work.str();
  ASSERT_EQ(AcceptNewProject(r), DialogOutcome::Accepted);
  // Change the file behind the program's back; reopening the same project must not read it.
  CGPSConfiguration other;
  other.m_GradeIndex = 9;
  ASSERT_TRUE(WriteFileAtomically(work.str() + "/Demo.prj", SerializeConfiguration(other)));
  ASSERT_EQ(OpenProject(work.str() + "/DEMO.PRJ"), 1);
  EXPECT_EQ(Project().configuration.m_GradeIndex, 0);
  // A different project is read.
  ASSERT_TRUE(WriteFileAtomically(work.str() + "/other.prj", SerializeConfiguration(other)));
  ASSERT_EQ(OpenProject(work.str() + "/other.prj/"), 0);  // a directory part only: no such file
  ASSERT_EQ(OpenProject(work.str() + "/other.prj"), 1);
  EXPECT_EQ(Project().configuration.m_GradeIndex, 9);
  EXPECT_EQ(Project().projectName, "other");
}

TEST_F(ProjectLifeCycle, ExitSavesTheProjectWhereItsFileIsAfterADataFolderWasOpened) {
  CProjectDlgRecord r = OpenNewProjectDialog(Project().configuration);
  r.name = "home";
  r.directory = work.str() + "/project";
  ASSERT_EQ(AcceptNewProject(r), DialogOutcome::Accepted);
  fs::create_directories(work.path() / "data");
  Project().projectDir = work.str() + "/data";  // as "打开(&O)..." leaves it
  Project().configuration.m_GradeIndex = 7;
  SaveOnExit();
  EXPECT_FALSE(fs::exists(work.path() / "data" / "home.prj"));
  EXPECT_EQ(CSettingsStore::GetString("Gps Settings", "Last GPS Project Path", ""), work.str() + "/project");
  CGPSConfiguration saved;
  ASSERT_TRUE(DeserializeConfiguration(Bytes(work.str() + "/project/home.prj"), saved));
  EXPECT_EQ(saved.m_GradeIndex, 7);
  EXPECT_EQ(Project().projectDir, work.str() + "/data");
}

TEST_F(ProjectLifeCycle, RestoreWithoutSettingsKeepsCommandsDisabled) {
  RestoreLastProject();
  EXPECT_EQ(Project().projectName, "");
  EXPECT_EQ(Project().projectDir, fs::current_path().string());
  EXPECT_EQ(Project().projectOpen, 0);
  CommandSpec needsProject{CommandId::None, "", nullptr, true, "x", "", "", "", nullptr};
  CommandSpec always{CommandId::None, "", nullptr, false, "y", "", "", "", nullptr};
  EXPECT_FALSE(IsCommandEnabled(needsProject));
  EXPECT_TRUE(IsCommandEnabled(always));
  Project().projectOpen = 1;
  EXPECT_TRUE(IsCommandEnabled(needsProject));
}

TEST_F(ProjectLifeCycle, CoordinateSystemGridRoundTrip) {
  auto rows = OpenCoorsSystemDialog(Project().configuration);
  ASSERT_GE(rows.size(), 9u);
  EXPECT_EQ(rows[0].semiMajorAxis, "6378245.000000");
  EXPECT_EQ(rows[0].flatteningDenominator, "298.300000000");
  EXPECT_TRUE(rows[0].readOnly);
  rows[6] = {" new1 ", "abc", "298.0", false};  // text that is no number gives 0, as the grid does
  EXPECT_EQ(AcceptCoorsSystemDialog(rows), 0);   // no project name: nothing saved
  const CCoorsSystemSet* cs = Project().configuration.m_CoorsSystems.Lookup("NEW1");
  ASSERT_NE(cs, nullptr);
  EXPECT_EQ(cs->m_a, 0.0);
  EXPECT_EQ(Project().configuration.m_CoorsSystems.GetCount(), 6);
}

}  // namespace

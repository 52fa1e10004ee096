// A new project that is not created, and a project named by a relative path: the open project
// and the remembered last project must come out of such runs exactly as they went in.
#include <gtest/gtest.h>

#include <filesystem>

#include "geodesy/FileUtil.h"
#include "geodesy/Settings.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"
#include "project/ProjectFile.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using test::G;
namespace fs = std::filesystem;

std::string Bytes(const std::string& path) { return ReadWholeFile(path).value_or("<missing>"); }

class ProjectRefusal : public testing::Test {
 protected:
  test::TempDir work;
  std::string config = (work.path() / "config").string();
  std::string home = work.str() + "/home";
  std::string prj = home + "/a.prj";
  test::ProgramRun Run(const std::vector<std::string>& args, const std::string& cwd = "") {
    return test::RunProgram(args, config, cwd.empty() ? work.str() : cwd);
  }
  std::string Remembered(const char* key) {
    setenv("VEMOGPS_CONFIG_DIR", config.c_str(), 1);
    return CSettingsStore::GetString("Gps Settings", key, "?");
  }

  // Project a with a user coordinate system as its current system.
  void SetUp() override {
    ASSERT_EQ(Run({"new-project", "--name", "a", "--dir", home, "--grade", "5"}).status, 0);
    ASSERT_EQ(Run({"--project", prj, "coordinate-systems", "--add", "MINE", "6378000", "298.5"}).status, 0);
    auto run = Run({"--project", prj, "settings", "--ellipsoid", "MINE"});
    ASSERT_EQ(run.status, 0) << run.err;
  }
};

TEST_F(ProjectRefusal, ARefusedNewProjectLeavesTheLastProjectAsItWas) {
  const std::string before = Bytes(prj);
  CGPSConfiguration c;
  ASSERT_TRUE(DeserializeConfiguration(before, c));
  ASSERT_EQ(c.m_CurrentCoorsSystem.m_Name, "MINE");
  ASSERT_NE(c.m_CoorsSystems.Lookup("MINE"), nullptr);

  const std::string other = work.str() + "/other";
  struct Case {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {{"new-project", "--name", "b", "--dir", other, "--ellipsoid", "WGS8"}, 2},  // typo
      {{"new-project", "--name", "", "--dir", other}, 2},                           // empty name
      {{"new-project", "--name", "b", "--dir", other, "--bogus"}, 2},               // bad option
      {{"new-project", "--name", "b", "--dir", other, "--custom-precision", "9", "--ellipsoid", "MARS"}, 2},
      {{"new-project", "--name", "a", "--dir", home}, 1},  // the existing project, answered No
  };
  for (const auto& k : cases) {
    auto run = Run(k.args);
    EXPECT_EQ(run.status, k.status) << k.args[2] << " " << run.err;
    EXPECT_EQ(Bytes(prj), before) << k.args.back();
    EXPECT_EQ(Remembered("Last GPS Project"), "a");
    EXPECT_EQ(Remembered("Last GPS Project Path"), home);
  }
  EXPECT_FALSE(fs::exists(other));
  // The next command still computes on the project's own datum.
  auto run = Run({"--project", prj, "settings"});
  EXPECT_NE(run.out.find(u8"坐标系统: MINE"), std::string::npos) << run.out;
}

TEST_F(ProjectRefusal, AFolderThatCannotBeMadeRefusesTheNewProject) {
  ASSERT_TRUE(WriteFileAtomically(work.str() + "/plain", "a file, not a folder\n"));
  const std::string before = Bytes(prj);
  auto run = Run({"new-project", "--name", "b", "--dir", work.str() + "/plain/sub"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"不能创建工程路径" + work.str() + "/plain/sub"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(u8"新工程未建立!"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(home + "/b.prj"));  // no stray file in the previous project's folder
  EXPECT_EQ(Bytes(prj), before);
  EXPECT_EQ(Remembered("Last GPS Project"), "a");
  EXPECT_EQ(Remembered("Last GPS Project Path"), home);
}

TEST_F(ProjectRefusal, APathWithoutAGbkFormIsRefusedWithItsCharacter) {
  const std::string before = Bytes(prj);
  const std::string emoji = work.str() + u8"/测区\U0001F600";
  auto run = Run({"new-project", "--name", "b", "--dir", emoji});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"中的字符U+1F600不能用GBK编码保存"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(emoji));
  run = Run({"new-project", "--name", u8"b\U0001F600", "--dir", work.str() + "/b"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"U+1F600"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(work.str() + "/b/?.prj"));
  EXPECT_EQ(Bytes(prj), before);
  EXPECT_EQ(Remembered("Last GPS Project"), "a");
}

TEST_F(ProjectRefusal, SourceFilesWithoutAGbkFormAreNotStored) {
  const std::string folder = work.str() + u8"/测区\U0001F600";
  fs::create_directories(folder);
  const std::string sync = folder + "/p1.GPS3DVector_S";
  ASSERT_TRUE(WriteFileAtomically(sync, "A B 1 2 3 1 1 1 0 0 0\n"));
  ASSERT_TRUE(WriteFileAtomically(folder + "/p1.asc", "no matter\n"));
  const std::string before = Bytes(prj);
  auto run = Run({"--project", prj, "form-independent", sync});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"中的字符U+1F600不能用GBK编码保存"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(home + "/a.GPS3dVector"));
  run = Run({"--project", prj, "import-baselines", folder + "/p1.asc"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"U+1F600"), std::string::npos) << run.err;
  EXPECT_EQ(Bytes(prj), before);
}

TEST_F(ProjectRefusal, ARelativeProjectPathIsRememberedAbsolute) {
  // A bare file name opens the file of the working folder.
  auto run = Run({"--project", "a.prj", "settings", "--grade", "6"}, home);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Remembered("Last GPS Project Path"), home);
  run = Run({"--project", "./a.prj", "settings"}, home);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Remembered("Last GPS Project Path"), home);
  run = Run({"--project", "home/a.prj", "settings"}, work.str());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Remembered("Last GPS Project Path"), home);
  // Run later from elsewhere, the last project is found, not a new default one.
  fs::create_directories(work.path() / "elsewhere");
  run = Run({"settings"}, work.str() + "/elsewhere");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(u8"工程名: a\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(u8"等级: 6 "), std::string::npos) << run.out;
  EXPECT_TRUE(fs::is_empty(work.path() / "elsewhere"));
}

// The dialog records: Cancel changes nothing, OK of a new project takes the dialog's set.
class NewProjectDialog : public testing::Test {
 protected:
  test::ScopedTestHost scope;
  test::TempDir work;
};

TEST_F(NewProjectDialog, CancelChangesNothingAndOkTakesTheDialogsSet) {
  CGPSConfiguration& c = Project().configuration;
  c.m_CoorsSystems.SetAt("USER", {"USER", 6378000, 298, 0});
  c.m_CurrentCoorsSystem = {"USER", 6378000, 298, 0};
  const CGPSConfiguration before = c;
  CProjectDlgRecord r = OpenNewProjectDialog(c);
  EXPECT_EQ(r.coordinateSystems.GetCount(), 5);
  EXPECT_EQ(r.coordinateSystem, G(u8"北京54"));
  CCustomPrecisionRecord custom;
  custom.fixedError = 8.0;
  custom.loopSideLimit = 4;
  r.gradeIndex = kCustomGrade;
  AcceptCustomPrecision(custom, r);
  // Nothing has reached the open project yet: a cancel leaves it as it was.
  EXPECT_EQ(c.m_CoorsSystems, before.m_CoorsSystems);
  EXPECT_EQ(c.m_CurrentCoorsSystem, before.m_CurrentCoorsSystem);
  EXPECT_EQ(c.m_NetClass, before.m_NetClass);

  r.name = "n";
  r.directory = work.str() + "/n";
  ASSERT_EQ(AcceptNewProject(r), DialogOutcome::Accepted);
  EXPECT_EQ(c.m_CoorsSystems.GetCount(), 5);
  EXPECT_EQ(c.m_CoorsSystems.Lookup("USER"), nullptr);
  EXPECT_EQ(c.m_CurrentCoorsSystem.m_Name, G(u8"北京54"));
  EXPECT_EQ(c.m_NetClass[NetClassParameters::kFixedError], 8.0);
  EXPECT_EQ(c.m_NetClass.m_LoopSideLimit, 4);
}

TEST_F(NewProjectDialog, AProjectFileThatCannotBeSavedLeavesTheOpenProject) {
  // A folder where the project file should be: it cannot be written, even by root.
  const std::string dir = work.str() + "/d";
  fs::create_directories(dir + "/n.prj/inside");
  Project().projectName = "old";
  Project().projectDir = work.str();
  CProjectDlgRecord r = OpenNewProjectDialog(Project().configuration);
  r.name = "n";
  r.directory = dir;
  bool saved = true;
  EXPECT_EQ(AcceptNewProject(r, &saved), DialogOutcome::StaysOpen);
  EXPECT_FALSE(saved);
  EXPECT_EQ(Project().projectName, "old");
  EXPECT_EQ(Project().projectDir, work.str());
  EXPECT_EQ(Project().projectOpen, 0);
  ASSERT_FALSE(scope.host.messages.empty());
  EXPECT_NE(scope.host.messages.back().Utf8Text().find(u8"不能创建工程文件"), std::string::npos);
}

}  // namespace

// The command set: the table of menu commands, the enabling rule, and the data commands of
// the command line (enter, view, show-result) as a surveyor runs them.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "project/AppState.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/CommandTable.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using test::G;

// Identifiers of the menu commands and whether each needs an open project.
const std::vector<std::pair<int, bool>> kMenu = {
    {32816, false}, {32817, false}, {57600, false}, {57601, false}, {57602, false}, {57603, false}, {57604, false},
    {57607, false}, {57609, false}, {57606, false}, {57616, false}, {57665, false}, {32820, true},  {32821, true},
    {32822, true},  {32823, true},  {32824, true},  {32819, true},  {32853, true},  {32815, true},  {32825, true},
    {32829, true},  {32847, true},  {32826, true},  {32842, true},  {32843, false}, {32828, false}, {32830, true},
    {32831, true},  {32837, true},  {32832, true},  {32833, true},  {32834, true},  {32841, true},  {59392, false},
    {59393, false}, {32856, true},  {32840, true},  {32844, true},  {32784, true},  {32839, true},  {32850, false},
    {32780, false}, {32848, false}, {32783, false}, {32787, false}, {32788, false}, {32789, false}, {32851, false},
    {32790, false}, {32799, false}, {61448, false}, {32811, false}, {32835, true},  {32836, true},  {57648, false},
    {57650, false}, {57651, false}, {57649, false}, {57667, false}, {57664, false}};

TEST(CommandTable, HoldsEveryMenuCommandOnceWithItsEnablingRule) {
  std::set<int> ids;
  for (const auto& c : MenuCommands())
    if (c.id != 0) {
      EXPECT_TRUE(ids.insert(c.id).second) << "identifier twice: " << c.id;
    }
  EXPECT_EQ(ids.size(), kMenu.size());
  for (auto [id, needsProject] : kMenu) {
    const CommandSpec* c = FindMenuCommand(id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_EQ(c->needsProject, needsProject) << id;
  }
  EXPECT_STREQ(FindMenuCommand(32815)->menuText, u8"三维向量网平差");
  EXPECT_STREQ(FindMenuCommand(32815)->prompt, u8"用独立的GPS三维基线向量进行平差\nGPS三维向量网");
  EXPECT_STREQ(FindMenuCommand(32788)->menuText, u8"BL ->XY");
}

TEST(CommandTable, CommandLineListsOneRowPerNameAndOnlyCommandsThatWork) {
  std::set<std::string> names;
  for (const auto& c : Commands()) {
    EXPECT_NE(c.run, nullptr) << c.name;
    EXPECT_TRUE(names.insert(c.name).second) << c.name;
    EXPECT_EQ(FindCommand(c.name), &c);
  }
  // Menu commands sharing a name share its handler and its enabling, and differ by selector.
  std::set<std::pair<std::string, std::string>> selectors;
  for (const auto& m : MenuCommands()) {
    if (!m.name) continue;
    const CommandSpec* c = FindCommand(m.name);
    if (!m.run) {
      EXPECT_EQ(c, nullptr) << m.name << " is listed without a handler";
      continue;
    }
    ASSERT_NE(c, nullptr) << m.name;
    EXPECT_EQ(c->run, m.run) << m.name;
    EXPECT_EQ(c->needsProject, m.needsProject) << m.name;
    EXPECT_TRUE(selectors.emplace(m.name, m.selector ? m.selector : "").second) << m.name;
  }
  for (const char* name : {"new-project", "settings", "coordinate-systems", "help", "enter", "view", "show-result"})
    EXPECT_NE(FindCommand(name), nullptr) << name;
}

TEST(CommandTable, ProjectCommandsAreEnabledExactlyWhenAProjectIsOpen) {
  test::ScopedTestHost scoped;
  Project().projectName = "remembered";
  for (int open : {0, 1}) {
    Project().projectOpen = open;
    for (const auto& c : MenuCommands()) EXPECT_EQ(IsCommandEnabled(c), !c.needsProject || open == 1) << c.id;
  }
  Project().projectOpen = 0;
  for (int id : {32828, 32843, 32783, 32787, 32788, 32789, 32851, 32790, 32799, 61448, 32811})
    EXPECT_TRUE(IsCommandEnabled(*FindMenuCommand(id))) << id;
  EXPECT_FALSE(IsCommandEnabled(*FindMenuCommand(32815)));
}

TEST(CommandFlow, OpensTheResultsOnlyWhenLoadAndEngineSucceed) {
  test::ScopedTestHost scoped;
  std::vector<std::string> calls;
  auto load = [&](int result) { return [&calls, result] { calls.push_back("load"); return result; }; };
  auto run = [&](int result) { return [&calls, result] { calls.push_back("run"); return result; }; };
  EXPECT_EQ(RunComputation(load(0), run(1), {"a"}), kCommandFailed);
  EXPECT_EQ(calls, (std::vector<std::string>{"load"}));
  EXPECT_EQ(RunComputation(load(1), run(0), {"a"}), kCommandFailed);
  EXPECT_TRUE(scoped.host.openedDocuments.empty());
  EXPECT_EQ(RunComputation(load(1), run(1), {"a", "b"}), kCommandDone);
  EXPECT_EQ(scoped.host.openedDocuments, (std::vector<std::string>{"a", "b"}));
  SetApproximateFileMode(1);
  EXPECT_EQ(Project().approxXYZFromFile, 1);
}

TEST(CommandFlow, OpeningAnyFileMakesItsFolderTheProjectDirectory) {
  test::ScopedTestHost scoped;
  test::TempDir dir;
  Project().projectDir = "/somewhere/else";
  Project().projectName = "p";
  Project().projectOpen = 1;
  std::string file = dir.str() + "/data.GPS3dVector";
  EXPECT_EQ(OpenAnyFile(file), kCommandFailed);  // the file must exist
  EXPECT_EQ(scoped.host.messages.back().text, Format(G(u8"打开文件%s出错!").c_str(), file.c_str()));
  EXPECT_EQ(Project().projectDir, "/somewhere/else");
  std::ofstream(file) << "x\n";
  EXPECT_EQ(OpenAnyFile(file), kCommandDone);
  EXPECT_EQ(Project().projectDir, dir.str());
  EXPECT_EQ(GlobalProjectDir(), dir.str());
  EXPECT_EQ(Project().projectName, "p");
  EXPECT_EQ(Project().projectOpen, 1);  // the project commands stay enabled
  EXPECT_EQ(scoped.host.openedDocuments, (std::vector<std::string>{file}));
}

// The program, as a surveyor runs it.
class CommandLineTest : public testing::Test {
 protected:
  CommandLineTest() {
    auto run = Run({"new-project", "--name", "demo", "--dir", project});
    EXPECT_EQ(run.status, 0) << run.err;
  }
  test::ProgramRun Run(const std::vector<std::string>& args) { return test::RunProgram(args, config, work.str()); }
  test::ProgramRun RunInProject(std::vector<std::string> args) {
    args.insert(args.begin(), {"--project", prj});
    return Run(args);
  }
  void WriteRows(const std::string& text) { std::ofstream(rows) << text; }
  std::string Bytes(const std::string& extension) {
    return ReadWholeFile(project + "/demo." + extension).value_or("<missing>");
  }

  test::TempDir work;
  std::string config = (work.path() / "config").string();
  std::string project = work.str() + "/p";
  std::string prj = project + "/demo.prj";
  std::string rows = work.str() + "/rows.txt";
};

TEST_F(CommandLineTest, RememberedProjectLeavesProjectCommandsDisabledUntilItIsNamed) {
  WriteRows("K1\t30.1522\t114.2030\t25.3\n");
  auto refused = Run({"enter", "known-xyz", rows});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("needs an open project"), std::string::npos);
  EXPECT_EQ(Bytes("GPS3dKnownXYZ"), "<missing>");
  if (FindCommand("adjust-3d")) {
    EXPECT_EQ(Run({"adjust-3d"}).status, 2);
  }
  EXPECT_EQ(Run({"show-result", "3d"}).status, 2);
  EXPECT_EQ(Run({"settings"}).status, 0);
  std::ofstream(work.str() + "/points.XYZ") << "P1 -2263483.8885 5013061.1228 3218279.9226\n";
  if (FindCommand("xyz2blh")) {
    EXPECT_EQ(Run({"xyz2blh", work.str() + "/points.XYZ"}).status, 0);
  }

  // Named with --project, every project command is enabled: it runs (and may fail on data).
  EXPECT_EQ(RunInProject({"enter", "known-xyz", rows}).status, 0);
  for (const auto& c : Commands()) {
    if (!c.needsProject || std::string(c.name) == "enter") continue;
    auto run = RunInProject({c.name});
    EXPECT_EQ(run.err.find("needs an open project"), std::string::npos) << c.name << ": " << run.err;
  }
}

TEST_F(CommandLineTest, EnterMergesRowsByPointAndWritesTheWholeFile) {
  WriteRows("K1\t30.1522\t114.2030\t25.3\nK2\t\t\t12.5\n");
  auto run = RunInProject({"enter", "known-xyz", rows});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Bytes("GPS3dKnownXYZ"),
            "                  K1         30.152200000        114.203000000         25.300000000\n"
            "                  K2         12.500000000\n");
  // A row of the same point (any letter case) replaces it; a new point is added.
  WriteRows("k2\t31\t115\t\nN1\t1\t2\t3\n");
  ASSERT_EQ(RunInProject({"enter", "known-xyz", rows}).status, 0);
  EXPECT_EQ(Bytes("GPS3dKnownXYZ"),
            "                  K1         30.152200000        114.203000000         25.300000000\n"
            "                  k2         31.000000000        115.000000000\n"
            "                  N1          1.000000000          2.000000000          3.000000000\n");
  WriteRows("A\t1\t2\t3\n");
  ASSERT_EQ(RunInProject({"enter", "known-xyz", rows, "--replace"}).status, 0);
  EXPECT_EQ(Bytes("GPS3dKnownXYZ"), "                   A          1.000000000          2.000000000          3.000000000\n");
  // Without rows the grid is shown and nothing is written.
  run = RunInProject({"enter", "known-xyz", "-"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("A\t1.000000000\t2.000000000\t3.000000000"), std::string::npos) << run.out;
  WriteRows("A\t1\t2\t3\t4\n");
  EXPECT_EQ(RunInProject({"enter", "known-xyz", rows}).status, 2);
  EXPECT_EQ(RunInProject({"enter", "known-abc", rows}).status, 2);
}

TEST_F(CommandLineTest, EnterRefusesCellsThatAreNoNumberAndWritesNothing) {
  WriteRows("A\tB\t12x\t0.5\n");
  auto run = RunInProject({"enter", "distance", rows});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"当前输入的不是一个有效的坐标值!"), std::string::npos) << run.err;
  EXPECT_EQ(Bytes("GPS2dDistance"), "<missing>");
}

TEST_F(CommandLineTest, EnterAsksBeforeDroppingLinesTheGridCannotHold) {
  std::ofstream(project + "/demo.GPS1dKnownH") << "K1 12.5\nbroken\n";
  WriteRows("K2\t13\n");
  auto run = RunInProject({"enter", "known-h", rows});
  EXPECT_EQ(run.status, 1);  // the answer that keeps the file
  EXPECT_EQ(Bytes("GPS1dKnownH"), "K1 12.5\nbroken\n");
  run = RunInProject({"--yes", "enter", "known-h", rows});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Bytes("GPS1dKnownH"), "                  K1        12.500000\n                  K2        13.000000\n");
}

TEST_F(CommandLineTest, ViewAndShowResultPrintTheFile) {
  std::ofstream(project + "/demo.GPS3dVector") << "A B 1 2 3 1 1 1 0 0 0\n";
  auto run = RunInProject({"show-result", "vector-3d"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, project + "/demo.GPS3dVector\nA B 1 2 3 1 1 1 0 0 0\n");
  run = RunInProject({"show-result", "misclosure"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"打开文件" + project + "/demo.GPS3dMisclosure出错!"), std::string::npos) << run.err;

  std::string other = work.str() + "/other";
  std::filesystem::create_directories(other);
  std::ofstream(other + "/notes.txt") << "text\n";
  run = RunInProject({"view", other + "/notes.txt"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, other + "/notes.txt\ntext\n");
  // The run's exit left the project where it was: no project file in the other folder.
  EXPECT_FALSE(FileExists(other + "/demo.prj"));
  EXPECT_EQ(Run({"view", other + "/missing.txt"}).status, 1);
}

}  // namespace

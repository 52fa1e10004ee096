// The command set: the table of menu commands, the enabling rule, and the data commands of
// the command line (enter, view, show-result) as a surveyor runs them.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "project/AppState.h"
#include "app/commands/CommandFlow.h"
#include "app/commands/CommandTable.h"
#include "app/commands/DialogArguments.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using test::G;

// The menu commands and whether each needs an open project.
const std::vector<std::pair<CommandId, bool>> kMenu = {
    {CommandId::NewProject, false}, {CommandId::OpenProject, false}, {CommandId::FileNew, false},
    {CommandId::FileOpen, false}, {CommandId::FileClose, false}, {CommandId::FileSave, false},
    {CommandId::FileSaveAs, false}, {CommandId::FilePrint, false}, {CommandId::FilePrintPreview, false},
    {CommandId::FilePrintSetup, false}, {CommandId::RecentFiles, false}, {CommandId::AppExit, false},
    {CommandId::EnterKnownXYZ, true}, {CommandId::EnterKnownXY, true}, {CommandId::EnterKnownH, true},
    {CommandId::EnterDistance, true}, {CommandId::EnterAzimuth, true}, {CommandId::ImportBaselines, true},
    {CommandId::FormIndependent, true}, {CommandId::Adjust3d, true}, {CommandId::Adjust2d, true},
    {CommandId::AdjustEllipsoid, true}, {CommandId::AdjustOneFix, true}, {CommandId::FitHeights, true},
    {CommandId::FreeNetwork, true}, {CommandId::Stability, false}, {CommandId::Settings, false},
    {CommandId::ShowResult3d, true}, {CommandId::ShowResult2d, true}, {CommandId::ShowResult1d, true},
    {CommandId::ShowResultEllipsoid, true}, {CommandId::ShowVector3d, true}, {CommandId::ShowVector2d, true},
    {CommandId::ShowMisclosure, true}, {CommandId::ViewToolBar, false}, {CommandId::ViewStatusBar, false},
    {CommandId::SyncLoops, true}, {CommandId::AsyncLoops, true}, {CommandId::RepeatBaselines, true},
    {CommandId::MapWgs84, true}, {CommandId::MapLocal, true}, {CommandId::ExportDxf, false},
    {CommandId::Breakthrough, false}, {CommandId::Design, false}, {CommandId::XyzToBlh, false},
    {CommandId::BlhToXyz, false}, {CommandId::BlToXy, false}, {CommandId::XyToBl, false},
    {CommandId::ChangeZone, false}, {CommandId::Transform3, false}, {CommandId::Transform4, false},
    {CommandId::Transform6, false}, {CommandId::Transform7, false}, {CommandId::PlaneParameters, true},
    {CommandId::HeightParameters, true}, {CommandId::WindowNew, false}, {CommandId::WindowCascade, false},
    {CommandId::WindowTile, false}, {CommandId::WindowArrange, false}, {CommandId::HelpTopics, false},
    {CommandId::About, false}};

TEST(CommandTable, HoldsEveryMenuCommandOnceWithItsEnablingRule) {
  std::set<CommandId> ids;
  for (const auto& c : MenuCommands())
    if (c.id != CommandId::None) {
      EXPECT_TRUE(ids.insert(c.id).second) << "identifier twice: " << c.menuText;
    }
  EXPECT_EQ(ids.size(), kMenu.size());
  for (auto [id, needsProject] : kMenu) {
    const CommandSpec* c = FindMenuCommand(id);
    ASSERT_NE(c, nullptr) << static_cast<int>(id);
    EXPECT_EQ(c->needsProject, needsProject) << c->menuText;
  }
  EXPECT_STREQ(FindMenuCommand(CommandId::Adjust3d)->menuText, u8"三维向量网平差");
  EXPECT_STREQ(FindMenuCommand(CommandId::Adjust3d)->prompt, u8"用独立的GPS三维基线向量进行平差\nGPS三维向量网");
  EXPECT_STREQ(FindMenuCommand(CommandId::BlToXy)->menuText, u8"BL ->XY");
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

// The desktop asks for the files that the command line takes: each file that a synopsis
// requires (a name in capitals outside brackets, after its option if it has one) is a file
// dialog of the row, in order, unless a form of the command gives its arguments.
TEST(CommandTable, DesktopAsksForTheFilesOfTheSynopsis) {
  for (const auto& c : MenuCommands()) {
    if (!c.run || c.input.form != CommandForm::None) continue;
    std::vector<std::string> required;
    std::istringstream tokens(c.synopsis);
    std::string token, option;
    int optionalDepth = 0;
    while (tokens >> token) {
      if (token.front() == '[') ++optionalDepth;
      if (optionalDepth > 0) {
        if (token.back() == ']') --optionalDepth;
      } else if (token.rfind("--", 0) == 0) {
        option = token + " ";
      } else if (token.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_") == std::string::npos) {
        required.push_back(option + token);
        option.clear();
      }
    }
    std::vector<std::string> dialogs;
    for (const FileArgument& file : c.input.files) {
      dialogs.push_back((file.option ? std::string(file.option) + " " : "") + file.name);
      EXPECT_EQ(file.save, std::string(file.name) == "OUTPUT") << c.menuText << " " << file.name;
    }
    EXPECT_EQ(dialogs, required) << c.menuText;
  }
}

// A form's record becomes the handler's options without losing a digit or a character.
TEST(DialogArguments, NumbersAndNamesReadBackAsTheFormHadThem) {
  OneFixOneAzimuth oneFix;
  oneFix.m_PointName = G(u8"甲1");
  oneFix.m_From = "A";
  oneFix.m_To = G(u8"乙");
  oneFix.m_x = 0.1 + 0.2;
  oneFix.m_B = 30.152233333333333;
  oneFix.m_Azimuth = 1e-17;
  Args args(OneFixArguments(oneFix));
  EXPECT_EQ(Utf8ToGbk(*args.TakeValue("--point")), oneFix.m_PointName);
  EXPECT_EQ(Utf8ToGbk(*args.TakeValue("--to")), oneFix.m_To);
  EXPECT_EQ(*args.TakeDouble("--x"), oneFix.m_x);
  EXPECT_EQ(*args.TakeDouble("--lat"), oneFix.m_B);
  EXPECT_EQ(*args.TakeDouble("--azimuth"), oneFix.m_Azimuth);

  CChangZoneOfXY zone;
  zone.m_L01 = 114.30000000000001;
  zone.m_Method = CChangZoneOfXY::kEnlargeBothAxes;
  Args zoneArgs(ChangeZoneArguments(zone, "/d/p.XY"));
  EXPECT_EQ(*zoneArgs.TakeDouble("--l01"), zone.m_L01);
  EXPECT_EQ(*zoneArgs.TakeInt("--method"), zone.m_Method);
  for (const char* option : {"--h1", "--h2", "--l02"}) EXPECT_EQ(*zoneArgs.TakeDouble(option), 0.0);
  EXPECT_EQ(zoneArgs.Positionals(), std::vector<std::string>{"/d/p.XY"});
}

TEST(CommandTable, ProjectCommandsAreEnabledExactlyWhenAProjectIsOpen) {
  test::ScopedTestHost scoped;
  Project().projectName = "remembered";
  for (int open : {0, 1}) {
    Project().projectOpen = open;
    for (const auto& c : MenuCommands()) EXPECT_EQ(IsCommandEnabled(c), !c.needsProject || open == 1) << c.menuText;
  }
  Project().projectOpen = 0;
  for (CommandId id : {CommandId::Settings, CommandId::Stability, CommandId::XyzToBlh, CommandId::BlhToXyz,
                       CommandId::BlToXy, CommandId::XyToBl, CommandId::ChangeZone, CommandId::Transform3,
                       CommandId::Transform4, CommandId::Transform6, CommandId::Transform7})
    EXPECT_TRUE(IsCommandEnabled(*FindMenuCommand(id))) << static_cast<int>(id);
  EXPECT_FALSE(IsCommandEnabled(*FindMenuCommand(CommandId::Adjust3d)));
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

TEST(CommandFlow, OpeningAnyFileLeavesTheProjectWhereItIs) {
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
  EXPECT_EQ(Project().projectDir, "/somewhere/else");
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

// "读取同步基线数据": the selection dialog record, storing the choice, running the importer
// of the project's type and opening the results; and the command line import-baselines.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "project/AppState.h"
#include "baselines/SelectBaselineDlg.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Platform.h"
#include "tests/geodesy/BaselineTestSupport.h"
#include "tests/support/CaseNames.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;

struct MaskCase {
  const char* name;
  const char* mask;
  bool matches;
};

class FileMaskTest : public testing::TestWithParam<MaskCase> {};

TEST_P(FileMaskTest, MatchesWithoutRegardToLetterCase) {
  EXPECT_EQ(MatchesFileMask(GetParam().name, GetParam().mask), GetParam().matches)
      << GetParam().name << " ~ " << GetParam().mask;
}

INSTANTIATE_TEST_SUITE_P(
    Masks, FileMaskTest,
    testing::Values(MaskCase{"S1631.ASC", "*.asc", true}, MaskCase{"s1631.asc.bak", "*.asc", false},
                    MaskCase{"O1631A.31", "o*.*", true}, MaskCase{"o1631a", "o*.*", true},
                    MaskCase{"x1631a.31", "o*.*", false}, MaskCase{"readme", "*.*", true},
                    MaskCase{"a.iob", "*.isb", false}, MaskCase{"session.ISB", "*.isb", true},
                    MaskCase{"anything at all", "", true}, MaskCase{"a1.txt", "a?.TXT", true},
                    MaskCase{"a12.txt", "a?.txt", false}, MaskCase{"b.txt", "*b*.*t", true}),
    [](const auto& info) { return CaseName(info.param.name); });

class ImportCommandTest : public BaselineFixture {
 protected:
  void SetUp() override {
    BaselineFixture::SetUp();
    for (const char* name : {"s1.ASC", "s2.asc", "notes.txt", "o1631a.31"}) Export(name, "x\n");
    fs::create_directories(exportsDir + "/folder.asc");
  }
};

TEST_F(ImportCommandTest, DialogOpensWithTheMaskOfTheTypeAndTheFolderChosenLastTime) {
  config().m_BaselineType = 2;
  config().m_SyncBaselineFiles = {PathToGbk(exportsDir + "/s1.ASC")};
  CSelectBaselineDlg d = CSelectBaselineDlg::Open();
  EXPECT_EQ(d.mask, "*.asc");
  EXPECT_EQ(d.files.directory, exportsDir);
  EXPECT_EQ(d.files.candidates, (std::vector<std::string>{"s1.ASC", "s2.asc"}));
  EXPECT_TRUE(d.files.chosen.empty());
  EXPECT_FALSE(d.merge);
  // Without an earlier choice: the project directory.
  config().m_SyncBaselineFiles.clear();
  config().m_BaselineType = 3;  // no mask: every file
  d = CSelectBaselineDlg::Open();
  EXPECT_EQ(d.files.directory, projectDir);
  d.files.directory = exportsDir;
  d.ListCandidates();
  EXPECT_EQ(d.files.candidates, (std::vector<std::string>{"notes.txt", "o1631a.31", "s1.ASC", "s2.asc"}));
}

TEST_F(ImportCommandTest, ChosenFilesAndTheMergedFileWithItsDefault) {
  config().m_BaselineType = 1;
  CSelectBaselineDlg d = CSelectBaselineDlg::Open();
  scoped.host.QueueFolder(exportsDir);
  scoped.host.QueueFolder(work.str());
  ASSERT_TRUE(d.BrowseDirectory());
  EXPECT_EQ(d.files.candidates, std::vector<std::string>{"o1631a.31"});
  EXPECT_EQ(d.DefaultMergedFile(), "");
  d.files.ChooseAll();
  d.files.ChooseAll();
  EXPECT_EQ(d.files.chosen, std::vector<std::string>{exportsDir + "/o1631a.31"});
  EXPECT_EQ(d.DefaultMergedFile(), projectDir + "/o1631a.GPS3DVector_S");
  ASSERT_TRUE(d.BrowseMergedFile());
  EXPECT_FALSE(d.BrowseMergedFile());  // cancelled: unchanged
  EXPECT_EQ(scoped.host.folderTitles,
            (std::vector<std::string>{G(u8"选择基线文件路径"), G(u8"选择存放同步基线文件路径"),
                                      G(u8"选择存放同步基线文件路径")}));
  EXPECT_EQ(d.mergedFile, work.str() + "/o1631a.GPS3DVector_S");
  d.merge = true;
  AcceptSelectBaselineDlg(d);
  EXPECT_EQ(config().m_SyncBaselineFiles, std::vector<std::string>{exportsDir + "/o1631a.31"});
  EXPECT_TRUE(config().m_MergeFiles);
  EXPECT_EQ(config().m_ConvertedBaselineFile, work.str() + "/o1631a.GPS3DVector_S");
}

TEST_F(ImportCommandTest, OkStoresTheDefaultMergedFileAndGbkPaths) {
  const std::string chinese = exportsDir + "/时段1.txt";
  Export("时段1.txt", "x\n");
  CSelectBaselineDlg d;
  d.files.chosen = {chinese};
  d.merge = false;
  AcceptSelectBaselineDlg(d);
  EXPECT_EQ(config().m_SyncBaselineFiles, std::vector<std::string>{G(chinese.c_str())});
  EXPECT_FALSE(config().m_MergeFiles);
  EXPECT_EQ(config().m_ConvertedBaselineFile, G((projectDir + "/时段1.GPS3DVector_S").c_str()));
}

TEST_F(ImportCommandTest, ImportOpensEachSynchronousFileOrTheMergedOne) {
  config().m_BaselineType = 6;
  CSelectBaselineDlg d;
  d.files.chosen = {Sample("vemo-1631.txt"), Sample("gamit-o1631.txt")};
  AcceptSelectBaselineDlg(d);
  ASSERT_EQ(ImportChosenBaselines(), 1);
  EXPECT_EQ(host().openedDocuments, (std::vector<std::string>{SyncPath("vemo-1631"), SyncPath("gamit-o1631")}));
  host().openedDocuments.clear();
  d.merge = true;
  AcceptSelectBaselineDlg(d);
  ASSERT_EQ(ImportChosenBaselines(), 1);
  EXPECT_EQ(host().openedDocuments, std::vector<std::string>{SyncPath("vemo-1631")});
}

// Two exports of one base name from two folders would write one synchronous file, the second
// silently replacing the first: the clash is named before anything is written.
TEST_F(ImportCommandTest, TwoInputsOfOneBaseNameAreRefusedBeforeAnythingIsWritten) {
  const std::string content = Content(BaselineData("vemo-1631.txt"));
  std::filesystem::create_directories(exportsDir + "/a");
  std::filesystem::create_directories(exportsDir + "/b");
  const std::string first = Export("a/S1.txt", content), second = Export("b/s1.TXT", content);
  config().m_BaselineType = 6;
  CSelectBaselineDlg d;
  d.files.chosen = {first, second};
  AcceptSelectBaselineDlg(d);
  EXPECT_EQ(ImportChosenBaselines(), 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], u8"基线文件" + first + u8"和" + second + u8"都将写入同步基线文件" + projectDir +
                               u8"/s1.GPS3DVector_S,后者会覆盖前者,请改名后再读取!");
  EXPECT_FALSE(FileExists(SyncPath("S1")));
  EXPECT_FALSE(FileExists(SyncPath("s1")));
  EXPECT_TRUE(host().openedDocuments.empty());
}

TEST_F(ImportCommandTest, TypeFourAndUnknownTypesDoNothingAndAFailureOpensNothing) {
  CSelectBaselineDlg d;
  d.files.chosen = {Sample("vemo-1631.txt")};
  AcceptSelectBaselineDlg(d);
  for (int type : {4, -3, static_cast<int>(BaselinePackages().size())}) {
    config().m_BaselineType = type;
    EXPECT_EQ(ImportChosenBaselines(), 1);
  }
  EXPECT_FALSE(FileExists(SyncPath("vemo-1631")));
  config().m_BaselineType = 2;  // Leica without a known file
  EXPECT_EQ(ImportChosenBaselines(), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{"未输入参考站名！"});
  EXPECT_TRUE(host().openedDocuments.empty());
}

// The program as a surveyor runs it.
class ImportProgramTest : public testing::Test {
 protected:
  TempDir work;
  std::string config = (work.path() / "config").string();
  std::string project = (work.path() / "p").string();
  ProgramRun Run(const std::vector<std::string>& args) { return RunProgram(args, config, work.str()); }
  void SetUp() override {
    ASSERT_EQ(Run({"new-project", "--name", "demo", "--dir", project, "--baseline-type", "7"}).status, 0);
  }
};

TEST_F(ImportProgramTest, ImportsTheFilesGivenWithTheProjectsTypeAndListsTheResults) {
  auto run = Run({"--project", project + "/demo.prj", "import-baselines", BaselineData("javad-1632.txt"),
                  BaselineData("javad-cn-1632.txt")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, project + "/javad-1632.GPS3DVector_S\n" + project + "/javad-cn-1632.GPS3DVector_S\n");
  EXPECT_EQ(Content(project + "/javad-1632.GPS3DVector_S"),
            Content(BaselineData("expected/javad-1632.GPS3DVector_S")));
  // --merge, a relative path, and another type set with settings.
  ASSERT_EQ(Run({"--project", project + "/demo.prj", "settings", "--baseline-type", "0"}).status, 0);
  run = Run({"--project", project + "/demo.prj", "--print", "import-baselines", "--merge", "p/all.GPS3DVector_S",
             BaselineData("trimble-own.asc"), BaselineData("real/small.asc")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string merged = Content(BaselineData("expected/trimble-own.GPS3DVector_S")) +
                             Content(BaselineData("expected/small.GPS3DVector_S"));
  EXPECT_EQ(Content(project + "/all.GPS3DVector_S"), merged);
  EXPECT_EQ(run.out, project + "/all.GPS3DVector_S\n" + merged);
  EXPECT_FALSE(FileExists(project + "/small.GPS3DVector_S"));
}

// The package chosen for one import leaves the project's alone; the import ends with the
// summary of what it read, naming the file of which nothing was read.
TEST_F(ImportProgramTest, AnotherPackageForOneImportAndTheSummary) {
  const std::string notes = work.str() + "/notes.asc";
  ASSERT_TRUE(WriteFileAtomically(notes, "field notes, no baselines\n"));
  auto run = Run({"--project", project + "/demo.prj", "import-baselines", "--baseline-type", "0",
                  BaselineData("trimble-own.asc"), notes});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string expected = Content(BaselineData("expected/trimble-own.GPS3DVector_S"));
  const auto lines = std::count(expected.begin(), expected.end(), '\n');
  EXPECT_NE(run.err.find(u8"读取完毕: 基线文件2个，基线" + std::to_string(lines) + u8"条。\n其中1个文件没有读出基线:\n" +
                         notes),
            std::string::npos)
      << run.err;
  // Still Javad for the project: its export imports without the option.
  run = Run({"--project", project + "/demo.prj", "import-baselines", BaselineData("javad-1632.txt")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find(u8"基线文件1个"), std::string::npos) << run.err;
  EXPECT_EQ(Run({"--project", project + "/demo.prj", "import-baselines", "--baseline-type", "99", notes}).status, 2);
}

TEST_F(ImportProgramTest, FailuresAndMisuse) {
  // The message of the importer, exit status 1.
  auto run = Run({"--project", project + "/demo.prj", "import-baselines", work.str() + "/gone.txt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("基线文件:" + work.str() + "/gone.txt不存在!"), std::string::npos) << run.err;
  // No file, or no open project: usage.
  EXPECT_EQ(Run({"--project", project + "/demo.prj", "import-baselines"}).status, 2);
  EXPECT_EQ(Run({"import-baselines", BaselineData("javad-1632.txt")}).status, 2);
  run = Run({"help", "import-baselines"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("--merge FILE"), std::string::npos);
}

}  // namespace

// Hostile input at the program's edges, as a surveyor (or a script) meets it: rows and data
// that are folders, FIFOs or cells the files cannot hold, options and project fields beyond
// what they can mean, and commands that must not lose the file they were meant to rewrite.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "geodesy/FileUtil.h"
#include "project/ProjectFile.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
namespace fs = std::filesystem;

class HostileInput : public testing::Test {
 protected:
  HostileInput() {
    auto run = Run({"new-project", "--name", "demo", "--dir", project});
    EXPECT_EQ(run.status, 0) << run.err;
  }
  test::ProgramRun Run(const std::vector<std::string>& args) { return test::RunProgram(args, config, work.str()); }
  test::ProgramRun InProject(std::vector<std::string> args) {
    args.insert(args.begin(), {"--project", prj});
    return Run(args);
  }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = work.str() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::string Bytes(const std::string& path) { return ReadWholeFile(path).value_or("<missing>"); }
  std::string ProjectFile(const std::string& extension) { return project + "/demo." + extension; }
  std::string Fifo(const std::string& path) {
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
    return path;
  }

  test::TempDir work;
  std::string config = (work.path() / "config").string();
  std::string project = work.str() + "/p";
  std::string prj = project + "/demo.prj";
};

TEST_F(HostileInput, RowsThatAreAFolderOrAFifoEndWithAMessageNotAnAbortOrAHang) {
  const std::string folder = work.str() + "/rows";
  fs::create_directories(folder);
  for (const std::string& rows : {folder, Fifo(work.str() + "/rows.fifo")}) {
    auto run = InProject({"enter", "known-xyz", rows});
    EXPECT_EQ(run.status, 1) << rows << run.err;
    EXPECT_NE(run.err.find(rows + u8"不是普通文件,不能读取!"), std::string::npos) << run.err;
  }
  EXPECT_FALSE(FileExists(ProjectFile("GPS3dKnownXYZ")));
  // A FIFO as a data file of the project, or as an input of a conversion: refused at once.
  Fifo(ProjectFile("GPS3dKnownXYZ"));
  auto run = InProject({"enter", "known-xyz", "-"});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find(u8"不是普通文件"), std::string::npos) << run.err;
  run = Run({"view", Fifo(work.str() + "/view.fifo")});
  EXPECT_EQ(run.status, 1) << run.err;
  for (const char* command : {"bl2xy", "transform-4"}) {
    const std::string input = Fifo(work.str() + "/" + command + ".fifo");
    run = Run({command, input});
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_NE(run.err.find(input + u8"不是普通文件,不能读取!"), std::string::npos) << run.err;
  }
}

TEST_F(HostileInput, ASettingsFileThatIsAFifoNeitherBlocksHelpNorIsReplaced) {
  const std::string settings = config + "/settings.ini";
  fs::remove(settings);
  Fifo(settings);
  auto run = Run({"help"});
  EXPECT_EQ(run.status, 0) << run.err;
  struct stat st {};
  ASSERT_EQ(::stat(settings.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(HostileInput, EnterRefusesCellsItCouldNotWriteAsGivenNamingTheLine) {
  struct Case {
    const char* kind;
    const char* rows;
    const char* message;
  } cases[] = {
      {"known-h", "K1\t12.5\nK2\tabc\n", u8"第2行的\"abc\": 当前输入的不是一个有效的坐标值!"},
      {"distance", "A\tB\t1 2\t0.5\n", u8"第1行的\"1 2\": 当前输入的不是一个有效的坐标值!"},
      {"distance", "A\tB\t12x\t0.5\n", u8"第1行的\"12x\": 当前输入的不是一个有效的坐标值!"},
      {"known-xy", "P\t1-2.\t3\n", u8"第1行的\"1-2.\": 当前输入的不是一个有效的坐标值!"},
      {"known-xyz", "P\t30.1\t114.2\t1e999\n", u8"第1行的\"1e999\": 当前输入的不是一个有效的坐标值!"},
      {"known-xy", "K 1\t1\t2\n", u8"第1行的点名\"K 1\"含有空格,请改正后再确认!"},
      {"azimuth", "A\tTWENTYCHARACTERS1234\t1\t1\n", u8"第1行的点名TWENTYCHARACTERS1234超过19个字符"},
  };
  for (const auto& c : cases) {
    auto run = InProject({"enter", c.kind, Write("rows.txt", c.rows)});
    EXPECT_EQ(run.status, 1) << c.rows;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  for (const char* extension : {"GPS1dKnownH", "GPS2dDistance", "GPS2dKnownXY", "GPS3dKnownXYZ", "GPS2dAzimuth"})
    EXPECT_FALSE(FileExists(ProjectFile(extension))) << extension;
}

TEST_F(HostileInput, ReplacingADataFileWithNoRowsAsksAndTheSafeAnswerKeepsIt) {
  ASSERT_EQ(InProject({"enter", "known-h", Write("rows.txt", "K1\t12.5\n")}).status, 0);
  const std::string before = Bytes(ProjectFile("GPS1dKnownH"));
  auto run = InProject({"enter", "known-h", "--replace"});  // standard input is empty
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"没有输入任何行,确认后文件" + ProjectFile("GPS1dKnownH") + u8"中的数据将全部删除。是否继续? [No]"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Bytes(ProjectFile("GPS1dKnownH")), before);
  EXPECT_EQ(InProject({"--yes", "enter", "known-h", "--replace"}).status, 0);
  EXPECT_EQ(Bytes(ProjectFile("GPS1dKnownH")), "");
}

TEST_F(HostileInput, OptionsBeyondWhatTheyCanMeanAreRefusedAndTheProjectKept) {
  const std::string before = Bytes(prj);
  for (std::vector<std::string> option : {std::vector<std::string>{"--independent-baselines", "1000000000"},
                                          {"--x-constant", "1e308"},
                                          {"--y-constant", "-1e300"},
                                          {"--custom-precision", "1e308"},
                                          {"--custom-precision", "5,1,2,3,4,5,6,7,8,9,10,11,12,99999999999"},
                                          {"--variance-factor", "1e300"}}) {
    option.insert(option.begin(), "settings");
    auto run = InProject(option);
    EXPECT_EQ(run.status, 2) << option[1] << " " << run.err;
    EXPECT_EQ(Bytes(prj), before) << option[1];
  }
  auto run = InProject({"settings", "--independent-baselines", "1000000", "--x-constant", "-99999"});
  EXPECT_EQ(run.status, 0) << run.err;
}

// A project file whose fields hold values the program never writes: the field is named, the
// file is not taken as the project, and nothing is computed or rewritten with it.
TEST_F(HostileInput, AProjectFieldWithoutMeaningIsNamedAndTheFileKept) {
  const std::string points = Write("points.BLH", "P1 30.3000 114.3000 20.0\n");
  CGPSConfiguration good;
  ASSERT_TRUE(DeserializeConfiguration(Bytes(prj), good));
  struct Case {
    const char* field;
    void (*damage)(CGPSConfiguration&);
  } cases[] = {
      {u8"投影类型", [](CGPSConfiguration& c) { c.m_ProjectionType = 7; }},
      {u8"中央子午线", [](CGPSConfiguration& c) { c.m_CentralMeridian = std::numeric_limits<double>::quiet_NaN(); }},
      {u8"Y常数", [](CGPSConfiguration& c) { c.m_YConstant = 1e308; }},
      {u8"独立基线条数", [](CGPSConfiguration& c) { c.m_IndependentBaselineCount = 1000000000; }},
      {u8"坐标系统", [](CGPSConfiguration& c) { c.m_CurrentCoorsSystem.m_a = -INFINITY; }},
      {u8"精度指标",
       [](CGPSConfiguration& c) {
         c.m_GradeIndex = 34;
         c.m_NetClass.m_Value[5] = std::numeric_limits<double>::quiet_NaN();
       }},
  };
  for (const auto& c : cases) {
    CGPSConfiguration damaged = good;
    c.damage(damaged);
    const std::string bytes = SerializeConfiguration(damaged);
    ASSERT_TRUE(WriteFileAtomically(prj, bytes));
    auto run = InProject({"bl2xy", points});
    EXPECT_EQ(run.status, 1) << c.field;
    EXPECT_NE(run.err.find(u8"工程文件" + prj + u8"中\"" + c.field + u8"\"的值无效!"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("0.0000"), std::string::npos) << run.out;
    EXPECT_EQ(Bytes(prj), bytes) << c.field;
  }
  // A file of zeros is no project: refused, and not rewritten by the exit of a run that only
  // views a file.
  const std::string zeros(Bytes(prj).size(), '\0');
  ASSERT_TRUE(WriteFileAtomically(prj, zeros));
  EXPECT_EQ(InProject({"settings"}).status, 1);
  ASSERT_EQ(Run({"view", points}).status, 0);
  EXPECT_EQ(Bytes(prj), zeros);
}

TEST_F(HostileInput, SyncLoopsKeepsTheLoopFileUntilItsInputsAreRead) {
  const std::string loops = ProjectFile("GPS3dSyncLoop");
  auto run = InProject({"sync-loops"});  // no file chosen, no loop file to compute again
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"没有选取同步基线文件,同步环文件" + loops + u8"也不存在,没有可计算的同步环!"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(loops));

  const std::string kept = u8"同步基线文件：earlier\nA B 1 2 3 1 1 1 0 0 0\n";
  std::ofstream(loops, std::ios::binary) << kept;
  run = InProject({"--yes", "sync-loops", work.str() + "/S1.GPS3dVector_Sx"});  // a mistyped name
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(u8"保持不变"), std::string::npos) << run.err;
  EXPECT_EQ(Bytes(loops), kept);
}

}  // namespace

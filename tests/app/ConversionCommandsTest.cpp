#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "project/AppState.h"
#include "app/commands/CommandTable.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
using test::G;
namespace fs = std::filesystem;

std::string DataFile(const std::string& name) { return std::string(VEMO_TEST_DATA_DIR) + "/coord/" + name; }
std::string Golden(const std::string& name) { return ReadWholeFile(DataFile("golden/" + name)).value_or("<missing>"); }

// The configuration of the golden files: WGS84, central meridian 114, Gauss-Krueger, Y
// constant 500 km, mean latitude 30.3.
void ConfigureGoldenProject(CGPSConfiguration& c) {
  c.m_CurrentCoorsSystem = {"WGS84", 6378137.0, 298.257223563, 1};
  c.m_CentralMeridian = 114.0;
  c.m_ProjectionType = 0;
  c.m_XConstant = 0.0;
  c.m_YConstant = 500.0;
  c.m_MeanLatitude = 30.3;
}

class ConversionCommandTest : public testing::Test {
 protected:
  ConversionCommandTest() { ConfigureGoldenProject(Project().configuration); }

  int Run(const std::string& command, std::vector<std::string> args) {
    const CommandSpec* row = FindCommand(command);
    EXPECT_NE(row, nullptr) << command;
    if (!row) return -1;
    EXPECT_TRUE(IsCommandEnabled(*row));  // no project is open
    CommandContext context{Args(std::move(args))};
    return row->run(context);
  }
  std::string Copy(const std::string& name) {
    fs::copy_file(DataFile(name), dir.path() / name);
    return (dir.path() / name).string();
  }
  std::string Write(const std::string& name, const std::string& content) {
    std::string path = (dir.path() / name).string();
    EXPECT_TRUE(WriteFileAtomically(path, content));
    return path;
  }
  std::string Read(const std::string& name) { return ReadWholeFile((dir.path() / name).string()).value_or("<missing>"); }
  std::string Path(const std::string& name) { return (dir.path() / name).string(); }
  std::vector<std::string> Messages() const {
    std::vector<std::string> m;
    for (const auto& r : scoped.host.messages) m.push_back(r.Utf8Text());
    return m;
  }

  test::ScopedTestHost scoped;
  test::TempDir dir;
};

struct ConversionCase {
  const char* command;
  const char* input;
  const char* output;
  bool opensInput;
  std::vector<std::string> messages;  // UTF-8
};

class ConversionGolden : public ConversionCommandTest, public testing::WithParamInterface<ConversionCase> {};

// The golden result files were checked once by hand against the line formats and with an
// independent implementation of the conversions. A second run appends a second block.
TEST_P(ConversionGolden, ResultMatchesByteForByteAndASecondRunAppends) {
  const ConversionCase& c = GetParam();
  std::string input = Copy(c.input);
  ASSERT_EQ(Run(c.command, {input}), kCommandDone);
  EXPECT_EQ(Read(c.output), Golden(c.output));
  std::vector<std::string> opened;
  if (c.opensInput) opened.push_back(input);
  opened.push_back(Path(c.output));
  EXPECT_EQ(scoped.host.openedDocuments, opened);
  EXPECT_EQ(Messages(), c.messages);

  ASSERT_EQ(Run(c.command, {input}), kCommandDone);
  EXPECT_EQ(Read(c.output), Golden(c.output) + Golden(c.output));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ConversionGolden,
    testing::Values(ConversionCase{"blh2xyz", "geodetic.BLH", "geodetic.XYZ", true, {}},
                    ConversionCase{"xyz2blh", "geocentric.XYZ", "geocentric.blh", false,
                                   {u8"点AXIS位于椭球旋转轴上(X=Y=0)，无法计算大地坐标，已跳过!"}},
                    ConversionCase{"bl2xy", "latlon.BL", "latlon.XY", true, {}},
                    ConversionCase{"xy2bl", "grid.XY", "grid.BL", true, {}}),
    [](const testing::TestParamInfo<ConversionCase>& info) { return std::string(info.param.command); });

TEST_F(ConversionCommandTest, CommasSeparateLikeBlanks) {
  std::string blanks = Write("blanks.BLH", G(u8"点1 30.3 114.18 50\n"));
  std::string commas = Write("commas.BLH", G(u8"点1，30.3,114.18 ， 50\r\n"));
  ASSERT_EQ(Run("blh2xyz", {blanks}), kCommandDone);
  ASSERT_EQ(Run("blh2xyz", {commas}), kCommandDone);
  EXPECT_EQ(Read("blanks.XYZ"), G(u8"             点1   -2263483.8885    5013061.1228    3218279.9226\n\n\n"));
  EXPECT_EQ(Read("commas.XYZ"), Read("blanks.XYZ"));
}

TEST_F(ConversionCommandTest, UtmAndCoordinateConstantsOfTheProject) {
  Project().configuration.m_ProjectionType = 1;
  Project().configuration.m_XConstant = 10.0;
  std::string bl = Write("utm.BL", "P 30.3 115.3\n");
  ASSERT_EQ(Run("bl2xy", {bl}), kCommandDone);
  EXPECT_EQ(Read("utm.XY"), "               P    3385148.0007     643948.8238\n\n\n");
  std::string xy = Write("back.XY", "P 3385148.0007 643948.8238\n");
  ASSERT_EQ(Run("xy2bl", {xy}), kCommandDone);
  EXPECT_EQ(Read("back.BL"), "               P    30.300000000   115.300000000\n\n\n");
}

TEST_F(ConversionCommandTest, MissingOrAbsentFileArgument) {
  EXPECT_THROW(Run("xyz2blh", {}), UsageError);
  EXPECT_THROW(Run("bl2xy", {"a", "b"}), UsageError);
  EXPECT_EQ(Run("xy2bl", {Path("none.XY")}), kCommandFailed);
  EXPECT_EQ(Messages(), std::vector<std::string>{u8"打开文件" + Path("none.XY") + u8"出错!"});
  EXPECT_FALSE(fs::exists(Path("none.BL")));
}

// BLH->XYZ of a file named .XYZ would append its results to the file it is reading.
TEST_F(ConversionCommandTest, InputThatIsItsOwnResultFileIsRefused) {
  const std::string content = "P 30.3 114.18 50\n";
  std::string input = Write("loop.XYZ", content);
  EXPECT_EQ(Run("blh2xyz", {input}), kCommandFailed);
  EXPECT_EQ(Read("loop.XYZ"), content);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], u8"结果文件'" + input + u8"'就是输入文件，请更改输入文件的扩展名后再计算!");
}

// A FIFO where the result goes would block the command for ever: refused with a message.
TEST_F(ConversionCommandTest, AFifoWhereTheResultGoesIsRefused) {
  std::string input = Copy("geodetic.BLH");
  ASSERT_EQ(mkfifo(Path("geodetic.XYZ").c_str(), 0600), 0);
  EXPECT_EQ(Run("blh2xyz", {input}), kCommandFailed);
  EXPECT_EQ(Messages().back(), Path("geodetic.XYZ") + u8"不是普通文件，不能写入!");
}

// A result file of another letter case is the same file on the original platform.
TEST_F(ConversionCommandTest, ExistingResultOfAnotherLetterCaseIsAppendedTo) {
  Write("p.BLH", "P1 30.3 114.18 50\n");
  Write("p.xyz", "earlier\n");
  ASSERT_EQ(Run("blh2xyz", {Path("p.BLH")}), kCommandDone);
  EXPECT_EQ(Read("p.xyz"), "earlier\n              P1   -2263483.8885    5013061.1228    3218279.9226\n\n\n");
  EXPECT_FALSE(fs::exists(Path("p.XYZ")));
}

TEST_F(ConversionCommandTest, NameLongerThanTheBufferIsReportedAndSkipped) {
  const std::string longName(100, 'N'), fits(99, 'F');
  std::string input = Write("long.BL", longName + " 30.3 114\n" + fits + " 30.3 114\n");
  ASSERT_EQ(Run("bl2xy", {input}), kCommandDone);
  EXPECT_EQ(Messages(), std::vector<std::string>{u8"第1行的点名超过99个字符，该行未转换!"});
  EXPECT_EQ(Read("long.XY"), fits + "    3375541.7330     500000.0000\n\n\n");
}

TEST_F(ConversionCommandTest, DamagedEllipsoidIsReportedBeforeAnythingIsWritten) {
  Project().configuration.m_CurrentCoorsSystem.m_InvF = 0.0;
  ASSERT_EQ(Run("blh2xyz", {Write("e.BLH", "P 30 114 0\n")}), kCommandFailed);
  EXPECT_EQ(Messages(), std::vector<std::string>{u8"椭球参数无效(a=6378137.000, 1/f=0.000000000)，无法进行坐标转换!"});
  EXPECT_FALSE(fs::exists(Path("e.XYZ")));
}

TEST_F(ConversionCommandTest, TransformationCommandsWriteTheirReports) {
  std::string input = Copy("plane.XYXY");
  ASSERT_EQ(Run("transform-6", {input}), kCommandDone);
  EXPECT_EQ(Read("plane.XYXY_O"), Golden("plane-6.XYXY_O"));
  std::string space = Copy("space.XYZXYZ");
  ASSERT_EQ(Run("transform-7", {space}), kCommandDone);
  EXPECT_EQ(Read("space.XYZXYZ_O"), Golden("space.XYZXYZ_O"));
  EXPECT_EQ(Run("transform-4", {Write("few.XYXY", "A 1 2 3 4\n")}), kCommandFailed);
  EXPECT_FALSE(fs::exists(Path("few.XYXY_O")));
}

// A coordinate no point has (1e308) left out with its line, instead of sums that overflow
// into parameters and coordinates that are no numbers.
TEST_F(ConversionCommandTest, TransformationLeavesOutCoordinatesBeyondAnyPoint) {
  const std::string input = Write("far.XYXY", "K1 3376498.6002 144006.4264 3380123.5106 69747.4259\n"
                                              "K2 3378012.3150 146220.9021 3381685.1929 71928.3899\n"
                                              "K3 3374110.8033 147830.2170 3377819.6597 73622.4601\n"
                                              "BAD 1e308 147830.2170 3377819.6597 73622.4601\n"
                                              "P1 3377000.0 145000.0\n");
  ASSERT_EQ(Run("transform-4", {input}), kCommandDone);
  const std::string output = Read("far.XYXY_O");
  EXPECT_EQ(output.find("inf"), std::string::npos) << output;
  EXPECT_EQ(output.find("nan"), std::string::npos) << output;
  EXPECT_NE(output.find("P1"), std::string::npos) << output;
  EXPECT_EQ(Messages(), std::vector<std::string>{u8"第4行的点BAD的坐标超出范围，该行未参与计算!"});
}

TEST_F(ConversionCommandTest, ChangeZoneTakesTheDialogFromOptions) {
  std::string input = Copy("zone.XY");
  ASSERT_EQ(Run("change-zone", {input, "--h1", "20", "--l01", "114", "--h2", "50", "--l02", "117.3", "--method", "2"}),
            kCommandDone);
  EXPECT_EQ(Read("zone-117.3000-50.xy"), Golden("zone-117.3000-50.xy"));
}

TEST_F(ConversionCommandTest, ChangeZoneRefusesOutOfRangeValuesBeforeReading) {
  std::string input = Copy("zone.XY");
  EXPECT_EQ(Run("change-zone", {input, "--h2", "9500"}), kCommandUsage);
  EXPECT_EQ(Messages(), std::vector<std::string>{u8"第二带投影面大地高(m): 请输入一个介于 -500 和 9000 之间的数。"});
  EXPECT_TRUE(scoped.host.openedDocuments.empty());
  EXPECT_THROW(Run("change-zone", {input, "--method", "x"}), UsageError);
}

// Hostile input: random lines of digits, signs, separators, GBK bytes, huge exponents and
// words. Every command ends, and no result line carries a non-finite number.
TEST_F(ConversionCommandTest, RandomLinesNeverCrashOrWriteNonFiniteNumbers) {
  std::mt19937 random(20240611);
  const std::vector<std::string> pieces = {"0", "1", "-", "+", ".", "e", "e308", "e-400", " ", "  ", ",", "\t",
                                           G(u8"，"), G(u8"点"), "\xA3", "\xAC", "nan", "inf", "x", "\r",
                                           "6378137", "-6356752.3", "30.3", "114.18", "99999999999"};
  std::string content;
  for (int line = 0; line < 1500; ++line) {
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) content += pieces[random() % pieces.size()];
    content += "\n";
  }
  const std::vector<std::pair<std::string, std::string>> runs = {
      {"xyz2blh", "f.XYZ"}, {"blh2xyz", "f.BLH"},       {"bl2xy", "f.BL"},         {"xy2bl", "f.XY"},
      {"transform-3", "f.XYXY"}, {"transform-6", "g.XYXY"}, {"transform-7", "f.XYZXYZ"}, {"change-zone", "z.XY"}};
  for (const auto& [command, name] : runs) {
    fs::create_directory(dir.path() / command);
    int status = Run(command, {Write(command + "/" + name, content)});
    EXPECT_TRUE(status == kCommandDone || status == kCommandFailed) << command;
    for (const auto& entry : fs::directory_iterator(dir.path() / command)) {
      if (entry.path().filename() == name) continue;  // the input
      std::istringstream lines(ReadWholeFile(entry.path().string()).value_or(""));
      for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string field;
        fields >> field;  // the point name may be any word
        while (fields >> field) {
          EXPECT_EQ(field.find("nan"), std::string::npos) << entry.path() << ": " << line;
          EXPECT_EQ(field.find("inf"), std::string::npos) << entry.path() << ": " << line;
        }
      }
    }
  }
}

// The program as a surveyor runs it: the conversions need no open project and use the one
// restored at start-up.
TEST(ConversionProgram, RunsWithTheRestoredProjectAndWritesTheGoldenResult) {
  test::TempDir work;
  const std::string config = (work.path() / "config").string();
  auto created = test::RunProgram({"new-project", "--name", "g", "--dir", (work.path() / "prj").string(), "--ellipsoid",
                                   "WGS84", "--central-meridian", "114", "--y-constant", "500", "--projection", "gauss"},
                                  config, work.str());
  ASSERT_EQ(created.status, 0) << created.err;
  fs::copy_file(DataFile("latlon.BL"), work.path() / "latlon.BL");
  auto run = test::RunProgram({"bl2xy", "latlon.BL"}, config, work.str());
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string output = (work.path() / "latlon.XY").string();
  EXPECT_EQ(run.out, (work.path() / "latlon.BL").string() + "\n" + output + "\n");
  EXPECT_EQ(ReadWholeFile(output).value_or(""), Golden("latlon.XY"));

  auto missing = test::RunProgram({"xyz2blh", "none.XYZ"}, config, work.str());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find(u8"打开文件none.XYZ出错!"), std::string::npos) << missing.err;

  auto refused = test::RunProgram({"change-zone", "latlon.BL", "--l02", "400"}, config, work.str());
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find(u8"第二带中央子午线(dms): 请输入一个介于 0 和 360 之间的数。"), std::string::npos);
}

}  // namespace

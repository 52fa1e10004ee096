// The test options of the adjustment commands run through the program: the adjustments' own
// files and outputs are byte-identical whatever the options are, the options are remembered
// per user and checked, and the exports of an adjusted project come out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "adjust3d/GPS3dNetAdjust.h"
#include "geodesy/FileUtil.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;

// A 12-point synthetic network as the source of the program's projects.
class StatisticsCommands : public testing::Test {
 protected:
  void SetUp() override { WriteSyntheticProject(MakeSyntheticNetwork(12, 5, 1.0, 2), source.dir.str(), "net"); }

  // The known plane points of the 2D adjustment, taken from the 3D run's plane coordinates.
  static void WriteKnownPlanePoints(const ProgramProject& p) {
    std::ifstream xyh(p.dir + "/net.GPS3dXYH");
    std::ofstream known(p.dir + "/net.GPS2dKnownXY");
    std::string name;
    double x, y, h;
    for (int i = 0; i < 2 && xyh >> name >> x >> y >> h; ++i) known << name << ' ' << x << ' ' << y << '\n';
  }

  // Every file of the project folder but the project file and the statistics reports.
  static std::map<std::string, std::string> PartsFiles(const ProgramProject& p) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(p.dir)) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".prj") || name.find("Test") != std::string::npos) continue;
      files[name] = ReadWholeFile(entry.path().string()).value_or("<unreadable>");
    }
    return files;
  }

  AdjustProject source;
};

TEST_F(StatisticsCommands, PartsOutputsAreByteIdenticalWithAndWithoutTheOptions) {
  ProgramProject plain(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  ProgramProject tuned(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  ASSERT_EQ(plain.created.status, 0);
  ASSERT_EQ(tuned.created.status, 0);
  const ProgramRun a3 = plain.Run({"adjust-3d"});
  const ProgramRun b3 = tuned.Run({"adjust-3d", "--alpha", "1", "--power", "90", "--confidence", "99"});
  ASSERT_EQ(a3.status, 0) << a3.err;
  ASSERT_EQ(b3.status, 0) << b3.err;
  WriteKnownPlanePoints(plain);
  WriteKnownPlanePoints(tuned);
  const ProgramRun a2 = plain.Run({"adjust-2d"});
  const ProgramRun b2 = tuned.Run({"adjust-2d", "--alpha=0.5", "--confidence", "90"});
  ASSERT_EQ(a2.status, 0) << a2.err;
  ASSERT_EQ(b2.status, 0) << b2.err;
  // The documents opened are the result files alone, and no message is added.
  EXPECT_EQ(a3.out, plain.dir + "/net.GPS3dResult\n");
  EXPECT_EQ(a2.out, plain.dir + "/net.GPS2dResult\n");
  EXPECT_EQ(a3.err, b3.err);
  EXPECT_EQ(a2.err, b2.err);
  EXPECT_EQ(a3.out.substr(plain.dir.size()), b3.out.substr(tuned.dir.size()));
  const auto plainFiles = PartsFiles(plain), tunedFiles = PartsFiles(tuned);
  EXPECT_EQ(plainFiles, tunedFiles);
  EXPECT_TRUE(plainFiles.count("net.GPS2dResult"));
  // The statistics reports differ by the chosen values: by default alpha0 is fixed, --alpha
  // fixes the global test's level instead.
  const std::string plainTest = ReadWholeFile(plain.dir + "/net.GPS3dTest").value_or("");
  const std::string tunedTest = ReadWholeFile(tuned.dir + "/net.GPS3dTest").value_or("");
  EXPECT_NE(plainTest.find(G(u8"  单个观测显著水平α0(%)=      0.10 (给定)\n")), std::string::npos);
  EXPECT_NE(plainTest.find(G(u8"(由α0与检验功效导出，上侧)\n")), std::string::npos);
  EXPECT_NE(tunedTest.find(G(u8"   全局检验显著水平α(%)=      1.00 (给定，双侧)\n")), std::string::npos);
  EXPECT_NE(tunedTest.find(G(u8"(由α与检验功效导出)\n")), std::string::npos);
  EXPECT_NE(tunedTest.find(G(u8"             置信概率(%)=     99.00")), std::string::npos);
  const std::string test2d = ReadWholeFile(tuned.dir + "/net.GPS2dTest").value_or("");
  EXPECT_NE(test2d.find(G(u8"二维网平差统计检验")), std::string::npos);
  EXPECT_NE(test2d.find(G(u8"             置信概率(%)=     90.00")), std::string::npos);
}

TEST_F(StatisticsCommands, OptionsAreRememberedAndChecked) {
  ProgramProject p(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  ASSERT_EQ(p.created.status, 0);
  EXPECT_EQ(p.Run({"adjust-3d", "--alpha", "0"}).status, 2);
  EXPECT_EQ(p.Run({"adjust-3d", "--power", "100"}).status, 2);
  EXPECT_EQ(p.Run({"adjust-3d", "--confidence", "abc"}).status, 2);
  EXPECT_EQ(p.Run({"adjust-3d", "--alpha0", "0"}).status, 2);
  EXPECT_EQ(p.Run({"adjust-3d", "--alpha0", "11"}).status, 2);
  EXPECT_EQ(p.Run({"adjust-3d", "--alpha0", "1e-11"}).status, 2);
  EXPECT_EQ(p.Run({"adjust-3d", "--alpha0", "0.1", "--alpha", "5"}).status, 2);
  // A refused command remembers nothing: the next run has the defaults.
  ASSERT_EQ(p.Run({"adjust-3d", "--confidence", "99", "extra"}).status, 2);
  ASSERT_EQ(p.Run({"adjust-3d"}).status, 0);
  EXPECT_NE(ReadWholeFile(p.dir + "/net.GPS3dTest").value_or("").find(G(u8"置信概率(%)=     95.00")),
            std::string::npos);
  // The level given is remembered as the fixed one, with its value.
  auto report = [&] { return ReadWholeFile(p.dir + "/net.GPS3dTest").value_or(""); };
  ASSERT_EQ(p.Run({"adjust-3d", "--alpha", "2.5"}).status, 0);
  ASSERT_EQ(p.Run({"adjust-3d"}).status, 0);
  EXPECT_NE(report().find(G(u8"全局检验显著水平α(%)=      2.50 (给定，双侧)")), std::string::npos);
  ASSERT_EQ(p.Run({"adjust-3d", "--alpha0", "0.05"}).status, 0);
  ASSERT_EQ(p.Run({"adjust-3d"}).status, 0);
  EXPECT_NE(report().find(G(u8"单个观测显著水平α0(%)=      0.05 (给定)")), std::string::npos);
}

// A probability of 1 - 1e-16 made Boost's Student quantile throw: the process aborted, and the
// value, remembered before the run, aborted the runs after it. The levels and probabilities
// the distributions cannot serve are usage errors now, remembered by nothing.
TEST_F(StatisticsCommands, LevelsBeyondTheDistributionsAreUsageErrorsAndNeverRemembered) {
  ProgramProject p(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  ASSERT_EQ(p.created.status, 0);
  const std::string settings = p.config.str() + "/settings.ini";
  const std::string remembered = ReadWholeFile(settings).value_or("");
  for (std::vector<std::string> options : {std::vector<std::string>{"--confidence", "99.99999999999999"},
                                           {"--power", "99.99995"}, {"--alpha", "1e-14"}, {"--alpha0", "1e-14"}}) {
    options.insert(options.begin(), "adjust-3d");
    for (const char* command : {"adjust-3d", "adjust-2d"}) {
      options[0] = command;
      const ProgramRun run = p.Run(options);
      EXPECT_EQ(run.status, 2) << command << ' ' << options[1] << ' ' << options[2] << run.err;
      EXPECT_NE(run.err.find("VemoGPS: " + options[1] + " must be a percentage from"), std::string::npos) << run.err;
    }
  }
  EXPECT_EQ(ReadWholeFile(settings).value_or(""), remembered);
  // The bounds themselves are served.
  ASSERT_EQ(p.Run({"adjust-3d", "--alpha", "1e-10", "--power", "99.9999", "--confidence", "99.9999"}).status, 0);
  ASSERT_EQ(p.Run({"adjust-3d", "--alpha0", "1e-10"}).status, 0);
}

// Only a run that succeeded remembers its options (here the first fails: no datum). A settings
// file that holds a value outside its domain (from an earlier version, or by hand) is read with
// the default in its place and a warning, and the run that succeeds puts the defaults back.
TEST_F(StatisticsCommands, OnlyASucceededRunRemembersAndABadRememberedValueFallsBack) {
  ProgramProject p(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  ASSERT_EQ(p.created.status, 0);
  const std::string settings = p.config.str() + "/settings.ini", known = p.dir + "/net.GPS3dKnownXYZ";
  const std::string knownPoints = ReadWholeFile(known).value_or("");
  WriteFileAtomically(known, "");
  EXPECT_EQ(p.Run({"adjust-3d", "--confidence", "99"}).status, 1);
  EXPECT_EQ(ReadWholeFile(settings).value_or("").find("Confidence"), std::string::npos);
  WriteFileAtomically(known, knownPoints);
  WriteFileAtomically(settings, ReadWholeFile(settings).value_or("") +
                                    "\n[Adjustment Tests]\nFixed Significance=Alpha\nSignificance=1e-14\n"
                                    "Power=abc\nConfidence=99.99999999999999\n");
  const ProgramRun run = p.Run({"adjust-3d"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find(u8"用户设置文件" + settings +
                         u8"中[Adjustment Tests]的Significance=1e-14, Power=abc, Confidence=99.99999999999999无效，"
                         u8"改用默认值!"),
            std::string::npos)
      << run.err;
  const std::string report = ReadWholeFile(p.dir + "/net.GPS3dTest").value_or("");
  EXPECT_NE(report.find(G(u8"   全局检验显著水平α(%)=      5.00 (给定，双侧)")), std::string::npos);
  EXPECT_NE(report.find(G(u8"置信概率(%)=     95.00")), std::string::npos);
  EXPECT_EQ(p.Run({"adjust-3d"}).err, "");
}

TEST_F(StatisticsCommands, AFailedAdjustmentLeavesNoStaleTestReport) {
  ProgramProject p(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  ASSERT_EQ(p.Run({"adjust-3d"}).status, 0);
  ASSERT_TRUE(FileExists(p.dir + "/net.GPS3dTest"));
  WriteFileAtomically(p.dir + "/net.GPS3dKnownXYZ", "");  // no datum: the adjustment refuses
  EXPECT_EQ(p.Run({"adjust-3d"}).status, 1);
  EXPECT_FALSE(FileExists(p.dir + "/net.GPS3dTest"));
}

// adjust-ellipsoid and fit-heights: their results are the same whatever the options, their
// reports sit beside them, and a fit that fails leaves no report of an earlier one.
TEST_F(StatisticsCommands, EllipsoidAndHeightFittingWriteTheirReportsBesideUnchangedResults) {
  ProgramProject plain(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  ProgramProject tuned(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  for (const ProgramProject* p : {&plain, &tuned}) {
    // The ellipsoidal adjustment needs a third known point for its orientation and scale.
    WriteSyntheticProject(MakeSyntheticNetwork(12, 5, 1.0, 3), p->dir, "net");
    ASSERT_EQ(p->Run({"adjust-3d"}).status, 0);
    // Known heights of six points: their ellipsoidal heights less 12 m and a few mm.
    std::ifstream blh(p->dir + "/net.GPS3dBLH");
    std::ofstream known(p->dir + "/net.GPS1dKnownH");
    std::string name;
    double B, L, H;
    for (int i = 0; i < 6 && blh >> name >> B >> L >> H; ++i) known << name << ' ' << H - 12.0 + 0.003 * (i % 3) << '\n';
  }
  const ProgramRun a = plain.Run({"adjust-ellipsoid"});
  const ProgramRun b = tuned.Run({"adjust-ellipsoid", "--alpha", "1", "--confidence", "99"});
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(a.out, plain.dir + "/net.GPS3dBLHResult\n");
  const ProgramRun c = plain.Run({"fit-heights"});
  const ProgramRun d = tuned.Run({"fit-heights", "--sigma0", "0.5", "--alpha0", "1"});
  ASSERT_EQ(c.status, 0) << c.err;
  ASSERT_EQ(d.status, 0) << d.err;
  EXPECT_EQ(a.err + c.err, b.err + d.err);
  EXPECT_EQ(PartsFiles(plain), PartsFiles(tuned));
  const std::string ellipsoid = ReadWholeFile(tuned.dir + "/net.GPS3dBLHTest").value_or("");
  EXPECT_NE(ellipsoid.find(G(u8"椭球面三维平差统计检验")), std::string::npos);
  EXPECT_NE(ellipsoid.find(G(u8"置信概率99.00%")), std::string::npos) << "the frame parameters";
  const std::string heights = ReadWholeFile(tuned.dir + "/net.GPS1dTest").value_or("");
  EXPECT_NE(heights.find(G(u8"验前单位权中误差=         0.500(cm)")), std::string::npos);
  EXPECT_EQ(tuned.Run({"fit-heights", "--sigma0", "0"}).status, 2);
  const std::string known = ReadWholeFile(tuned.dir + "/net.GPS1dKnownH").value_or("");
  WriteFileAtomically(tuned.dir + "/net.GPS1dKnownH", known.substr(0, known.find('\n') + 1));
  EXPECT_EQ(tuned.Run({"fit-heights"}).status, 1);  // one known height for three terms
  EXPECT_FALSE(FileExists(tuned.dir + "/net.GPS1dTest"));
}

TEST_F(StatisticsCommands, ExportsOfTheAdjustedNetwork) {
  ProgramProject p(source, {"GPS3dKnownXYZ", "GPS3dVector"});
  // Before any adjustment there is nothing to export.
  const ProgramRun none = p.Run({"export-geojson"});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find(u8"的坐标数据不存在"), std::string::npos);
  ASSERT_EQ(p.Run({"adjust-3d"}).status, 0);
  ASSERT_EQ(p.Run({"export-geojson"}).status, 0);
  ASSERT_EQ(p.Run({"export-kml", p.dir + "/map.kml"}).status, 0);
  const std::string json = ReadWholeFile(p.dir + "/net.geojson").value_or("");
  const std::string kml = ReadWholeFile(p.dir + "/map.kml").value_or("");
  // 12 points and their vectors; the parsers' checks are GisExport's tests.
  auto count = [](const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count(json, "\"Point\""), 12u);
  EXPECT_EQ(count(kml, "<Point>"), 12u);
  EXPECT_EQ(count(json, "\"LineString\""), count(kml, "<LineString>"));
  EXPECT_GT(count(kml, "<LineString>"), 12u);
  EXPECT_EQ(p.Run({"export-kml", "a", "b"}).status, 2);
}

}  // namespace

// The common frame of the importers and the edge cases of the records: unit conversions,
// merging, the reference station and the known file, messages and their effects, baselines
// that cannot be written, and the sscanf-like scanning of the records.
#include <gtest/gtest.h>

#include <filesystem>

#include "geodesy/BaselineImport.h"
#include "tests/geodesy/BaselineTestSupport.h"
#include "tests/support/CaseNames.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;

// "K2_5": a case named by its variance factor.
std::string VarianceFactorName(const testing::TestParamInfo<double>& info) {
  return "K" + CaseName(Format("%g", info.param));
}

// A line of the synchronous file.
std::string Line(const char* from, const char* to, double dx, double dy, double dz, double xx, double yy, double zz,
                 double xy, double xz, double yz) {
  return Format("%16s %16s %15.4lf %15.4lf %15.4lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n", from,
                to, dx, dy, dz, xx, yy, zz, xy, xz, yz);
}

using BaselineImportTest = BaselineFixture;

// ---------------------------------------------------------------------------------------------
// Unit conversions

class LeicaUnitCofactorTest : public BaselineFixture, public testing::WithParamInterface<double> {};

TEST_P(LeicaUnitCofactorTest, S0OfOneMillimetreAndCofactorOneGiveOneHundredthOfK) {
  const double k = GetParam();
  WriteKnown("A001 -2263471.9234 5011702.8729 3220339.8825\n");
  std::string file = Export("one.asc",
                            "@%Unit: m\n"
                            "@+A001  -2263471.9234  5011702.8729  3220339.8825\n"
                            "@-B002   1000.0000  2000.0000  -3000.0000\n"
                            "@= 0.001 1 0 0 1 0 1\n");
  ASSERT_EQ(Import(2, {file}, std::nullopt, k), 1);
  // 1e-6 m² is 0.01 cm².
  EXPECT_EQ(Output("one"), Line("A001", "B002", 1000, 2000, -3000, 0.01 * k, 0.01 * k, 0.01 * k, 0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(VarianceFactors, LeicaUnitCofactorTest, testing::Values(1.0, 2.5), VarianceFactorName);

class JavadSigmaTest : public BaselineFixture, public testing::WithParamInterface<double> {};

TEST_P(JavadSigmaTest, MillimetresAndPercentBecomeSquareCentimetres) {
  const double k = GetParam();
  std::string file = Export("javad.txt",
                            "Baseline report\n"
                            " From - To    dX  dY  dZ  L  sX sY sZ  rXY rXZ rYZ\n"
                            " -------------------------------------------------\n"
                            "  1  a01-B-2  100.0 200.0 300.0 374.1657  2 3 4  50 0 0\n"
                            " -------------------------------------------------\n");
  ASSERT_EQ(Import(7, {file}, std::nullopt, k), 1);
  // sigma X 2 mm = 0.2 cm, sigma Y 0.3 cm, rho XY 0.5: XX 0.04 k, XY 0.2 * 0.3 * 0.5 k; the
  // pair is split at its first hyphen.
  EXPECT_EQ(Output("javad"), Line("A01", "B-2", 100, 200, 300, 0.04 * k, 0.09 * k, 0.16 * k, 0.03 * k, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(VarianceFactors, JavadSigmaTest, testing::Values(1.0, 2.0), VarianceFactorName);

TEST_F(BaselineImportTest, OwnFormatIsCopiedWithoutTheVarianceFactor) {
  std::string file = Export("own.txt", "a01  b02 1 2 3 0.1 0.2 0.3 0.01 0.02 0.03\nshort\n");
  ASSERT_EQ(Import(6, {file}, std::nullopt, 3.0), 1);
  EXPECT_EQ(Output("own"), Line("A01", "B02", 1, 2, 3, 0.1, 0.2, 0.3, 0.01, 0.02, 0.03));
}

struct AshtechCase {
  const char* name;
  const char* file;
  const char* header;   // the first line decides the version
  const char* names;    // the line after "STATION"
  const char* sigmas;   // the format of the three sigma lines
};

class AshtechNamesTest : public BaselineFixture, public testing::WithParamInterface<AshtechCase> {};

TEST_P(AshtechNamesTest, NamesLoseTheirFirstAndLastCharacter) {
  const AshtechCase& c = GetParam();
  std::string text = std::string(c.header) + "\nThe fixed double difference solution\nStation  Site\n" + c.names + "\n";
  for (auto [axis, sigma] : {std::pair{'X', 0.001}, std::pair{'Y', 0.002}, std::pair{'Z', 0.003}})
    text += Format(c.sigmas, axis, sigma) + "\n";
  text += "Y 0.5\nZ 0.25 Z -0.5\nBaseline Vector: 10.0 20.0 30.0\n";
  ASSERT_EQ(Import(1, {Export(c.file, text)}), 1);
  EXPECT_EQ(Output(fs::path(c.file).stem().string()),
            Line("A001", "B02", 10, 20, 30, 0.01, 0.04, 0.09, 0.01, 0.0075, -0.03));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, AshtechNamesTest,
    testing::Values(
        // Version 5.2.00: words 2 and 4 of "1 [A001] 2 [B02]"; the sigma is the third word.
        AshtechCase{"Version5_2", "o0001a.520", "GPPS-2 Version 5.2.00", "1 [A001] 2 [B02]", "Sigma %c %.4lf m"},
        // Version 3.1: words 1 and 2; the sigma is the fourth word.
        AshtechCase{"Version3_1", "o0002a.31", "VERSION: 3.1", "'A001' 'B02'", "SIGMA %c (M) %.4lf"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Merging and the per-file outputs

TEST_F(BaselineImportTest, MergingTwoFilesWritesTheirBaselinesInFileOrderAndNoPerFileFiles) {
  const std::string merged = projectDir + "/all.GPS3DVector_S";
  ASSERT_EQ(Import(0, {Sample("trimble-report.asc"), Sample("trimble-own.asc")}, merged), 1);
  EXPECT_EQ(Content(merged), Content(BaselineData("expected/trimble-report.GPS3DVector_S")) +
                                 Content(BaselineData("expected/trimble-own.GPS3DVector_S")));
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(projectDir)) files.push_back(e.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"all.GPS3DVector_S"});
}

TEST_F(BaselineImportTest, EachFileGetsItsOwnSynchronousFileCreatedAnew) {
  WriteTestFile(SyncPath("vemo-1631"), "old content\n");
  ASSERT_EQ(Import(6, {Sample("vemo-1631.txt"), Sample("gamit-o1631.txt")}), 1);
  EXPECT_EQ(Output("vemo-1631"), Content(BaselineData("expected/vemo-1631.GPS3DVector_S")));
  EXPECT_EQ(Output("gamit-o1631"), "");  // not the configured package
}

TEST_F(BaselineImportTest, SyncFileNameIsTheProjectDirectoryAndTheBaseName) {
  CReadGPS3dBaseline b;
  std::string in = "/data/receiver/day163/s1631a.ssf.asc", out;
  b.CreateSyncFile(in, out);
  EXPECT_EQ(out, projectDir + "/s1631a.ssf.GPS3DVector_S");
  // A file of another letter case (copied from Windows) is the one written.
  WriteTestFile(projectDir + "/S1632A.gps3dvector_s", "");
  in = "/data/S1632A.asc";
  b.CreateSyncFile(in, out);
  EXPECT_EQ(out, projectDir + "/S1632A.gps3dvector_s");
}

struct EmptyFileCase {
  const char* name;
  const char* content;  // nullptr: no file
  int result;
};

class IsFileEmptyTest : public BaselineFixture, public testing::WithParamInterface<EmptyFileCase> {};

TEST_P(IsFileEmptyTest, FilesShorterThanFiveBytesAreEmpty) {
  std::string path = exportsDir + "/v.txt";
  if (GetParam().content) Export("v.txt", GetParam().content);
  CReadGPS3dBaseline b;
  EXPECT_EQ(b.IsFileEmpty(path), GetParam().result);
  if (GetParam().result)
    EXPECT_EQ(Messages(), std::vector<std::string>{"基线向量文件有误，请检查设置对话框中的基线解软件类型!"});
  else
    EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, IsFileEmptyTest,
                         testing::Values(EmptyFileCase{"NoFile", nullptr, 1}, EmptyFileCase{"NoByte", "", 1},
                                         EmptyFileCase{"FourBytes", "1234", 1}, EmptyFileCase{"FiveBytes", "12345", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BaselineImportTest, TypeFourAndTypesOutsideTheTableImportNothing) {
  const int past = static_cast<int>(BaselinePackages().size());
  for (int type : {-1, past, 1000}) {
    EXPECT_EQ(BaselinePackageOf(type), nullptr) << type;
    EXPECT_EQ(BaselineTypeName(type), nullptr) << type;
    EXPECT_STREQ(BaselineFileMask(type), "") << type;
  }
  EXPECT_EQ(BaselinePackageOf(4)->reader, nullptr);
  const std::string file = Export("own.txt", "A B 1 2 3 0.1 0.2 0.3 0 0 0\n");
  config().m_SyncBaselineFiles = {PathToGbk(file)};
  for (int type : {4, -1, past}) EXPECT_EQ(CReadGPS3dBaseline().Import(type), 1) << type;
  EXPECT_FALSE(FileExists(SyncPath("own")));
  EXPECT_TRUE(Messages().empty());
  EXPECT_STREQ(BaselineFileMask(1), "o*.*");
  EXPECT_STREQ(BaselineFileMask(3), "");
  EXPECT_STREQ(BaselineFileMask(12), "*.isb");
}

// ---------------------------------------------------------------------------------------------
// Messages and their effects

TEST_F(BaselineImportTest, MissingInputStopsTheRunAndKeepsTheEarlierOutput) {
  const std::string missing = exportsDir + "/gone.txt";
  ASSERT_EQ(Import(6, {Sample("vemo-1631.txt"), missing, Sample("javad-1632.txt")}), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{"基线文件:" + missing + "不存在!"});
  EXPECT_EQ(Output("vemo-1631"), Content(BaselineData("expected/vemo-1631.GPS3DVector_S")));
  EXPECT_FALSE(FileExists(SyncPath("javad-1632")));
}

TEST_F(BaselineImportTest, LeicaAlsoSaysWhichInputIsMissing) {
  WriteKnown("GP01 1 2 3\n");
  const std::string missing = exportsDir + "/gone.asc";
  ASSERT_EQ(Import(2, {missing}), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{"基线文件:" + missing + "不存在!"});
}

TEST_F(BaselineImportTest, OutputThatCannotBeCreatedStopsTheRun) {
  const std::string input = Sample("vemo-1631.txt");
  fs::remove_all(projectDir);
  ASSERT_EQ(Import(6, {input}), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{"打开文件" + SyncPath("vemo-1631") + "出错!"});
  const std::string merged = work.str() + "/no/such/dir/all.GPS3DVector_S";
  host().messages.clear();
  ASSERT_EQ(Import(6, {input}, merged), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{"打开文件" + merged + "出错!"});
}

TEST_F(BaselineImportTest, AWriteThatDoesNotReachTheDiskIsAFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  // A device is no output: refused before anything is written.
  ASSERT_EQ(Import(6, {Sample("vemo-1631.txt")}, "/dev/full"), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{"打开文件/dev/full出错!"});
}

TEST_F(BaselineImportTest, AnOutputThatIsAnInputIsRefusedBeforeAnythingIsWritten) {
  // The own format read from the project directory: its synchronous file is the file itself.
  const std::string own = projectDir + "/p1.GPS3DVector_S";
  const std::string text = Content(BaselineData("expected/vemo-1631.GPS3DVector_S"));
  WriteTestFile(own, text);
  ASSERT_EQ(Import(6, {own}), 0);
  EXPECT_EQ(Content(own), text);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("就是输入文件"), std::string::npos);
  // A merged file that is one of the inputs, or the output of a file that is a later input.
  ASSERT_EQ(Import(6, {Sample("vemo-1631.txt"), own}, own), 0);
  ASSERT_EQ(Import(6, {exportsDir + "/p1.txt", own}), 0);
  EXPECT_EQ(Content(own), text);
}

// ---------------------------------------------------------------------------------------------
// The reference station and the known-coordinate file

const char* const kLeicaWithStation =
    "@%Unit: m\n"
    "@#GP01   -2263471.9234   5011702.8729   3220339.8825\n"
    "@#GP02   -2265691.6171   5009318.4573   3222487.0508\n"
    "@+GP02   -2265691.6000   5009318.4000   3222487.0000\n"
    "@-GP01   2219.6937   2384.4156   -2147.1683\n"
    "@= 0.001 1 0 0 1 0 1\n";

TEST_F(BaselineImportTest, LeicaRewritesABareStationNameWithItsLastCoordinates) {
  WriteKnown("gp02\n");
  ASSERT_EQ(Import(2, {Export("s1.asc", kLeicaWithStation)}), 1);
  // The "@+" record came after the "@#" record of GP02.
  EXPECT_EQ(Content(KnownFile()), "GP02   -2265691.6000    5009318.4000    3222487.0000\n");
  EXPECT_EQ(Output("s1"), Line("GP02", "GP01", 2219.6937, 2384.4156, -2147.1683, 0.01, 0.01, 0.01, 0, 0, 0));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(BaselineImportTest, LeicaRewriteKeepsTheOtherKnownPoints) {
  WriteKnown("GP01\r\nK7   -2264000.1  5011000.2  3221000.3\r\n");
  ASSERT_EQ(Import(2, {Export("s1.asc", kLeicaWithStation)}), 1);
  EXPECT_EQ(Content(KnownFile()),
            "GP01   -2263471.9234    5011702.8729    3220339.8825\nK7   -2264000.1  5011000.2  3221000.3\r\n");
}

TEST_F(BaselineImportTest, LipRewritesTheStationFoundAsFromOrToStation) {
  WriteKnown("b02\n");
  const std::string block =
      "Fixed double difference solution\n"
      " Sta. name  A01  B02\n"
      " WGS84_X  -100.0 m  -90.0 m  dX  10.0 m\n"
      " WGS84_Y  200.0 m  220.0 m  dY  20.0 m\n"
      " WGS84_Z  300.0 m  330.0 m  dZ  30.0 m\n"
      " Variance covariance matrix\n"
      "        X  Y  Z\n"
      " X 1e-6 0 0\n Y 1e-6 0\n Z 1e-6\n";
  ASSERT_EQ(Import(5, {Export("lip.txt", "LIP report\n" + block)}), 1);
  EXPECT_EQ(Content(KnownFile()), "B02        -90.0000        220.0000        330.0000\n");
  EXPECT_EQ(Output("lip"), Line("A01", "B02", 10, 20, 30, 0.01, 0.01, 0.01, 0, 0, 0));
}

struct KnownFileCase {
  const char* name;
  const char* content;
};

class CompleteKnownFileTest : public BaselineFixture, public testing::WithParamInterface<KnownFileCase> {};

TEST_P(CompleteKnownFileTest, IsLeftAlone) {
  WriteKnown(GetParam().content);
  ASSERT_EQ(Import(2, {Export("s1.asc", kLeicaWithStation)}), 1);
  EXPECT_EQ(Content(KnownFile()), GetParam().content);
  EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(FirstLines, CompleteKnownFileTest,
                         testing::Values(KnownFileCase{"Geocentric", "GP02 -2265691.6171 5009318.4573 3222487.0508\n"},
                                         KnownFileCase{"CommasAndCrLf",
                                                       "  GP02,-2265691.6171,5009318.4573,3222487.0508\r\nGP01\n"},
                                         KnownFileCase{"Geodetic", "GP02 30.3215 114.2011 25.1\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BaselineImportTest, ReferenceStationInNoBaselineFileLeavesTheKnownFileAndSaysSo) {
  WriteKnown("zz99\nK7 1 2 3\n");
  ASSERT_EQ(Import(2, {Export("s1.asc", kLeicaWithStation)}), 1);
  EXPECT_EQ(Content(KnownFile()), "zz99\nK7 1 2 3\n");
  EXPECT_EQ(Messages(), std::vector<std::string>{"基线文件中没有参考站ZZ99的坐标，已知坐标文件未改写!"});
  EXPECT_NE(Output("s1"), "");
}

TEST_F(BaselineImportTest, SouthRequiresTheNameButLeavesTheKnownFileAlone) {
  WriteKnown("gp01\n");
  ASSERT_EQ(Import(11, {Sample("south-lgo.asc")}), 1);
  EXPECT_EQ(Content(KnownFile()), "gp01\n");
  EXPECT_EQ(Output("south-lgo"), Content(BaselineData("expected/south-lgo.GPS3DVector_S")));
}

struct NoReferenceCase {
  const char* name;
  int type;
  const char* known;  // nullptr: no known file
};

class NoReferenceStationTest : public BaselineFixture, public testing::WithParamInterface<NoReferenceCase> {};

TEST_P(NoReferenceStationTest, StopsBeforeAnyBaselineFileIsRead) {
  if (GetParam().known) WriteKnown(GetParam().known);
  const std::string merged = projectDir + "/all.GPS3DVector_S";
  WriteTestFile(merged, "earlier result\n");
  // The baseline file does not exist: had it been read, its message would show.
  ASSERT_EQ(Import(GetParam().type, {exportsDir + "/gone.asc"}), 0);
  ASSERT_EQ(Import(GetParam().type, {exportsDir + "/gone.asc"}, merged), 0);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"未输入参考站名！", "未输入参考站名！"}));
  EXPECT_FALSE(FileExists(SyncPath("gone")));
  EXPECT_EQ(Content(merged), "earlier result\n");
}

INSTANTIATE_TEST_SUITE_P(Importers, NoReferenceStationTest,
                         testing::Values(NoReferenceCase{"LeicaEmptyKnownFile", 2, ""},
                                         NoReferenceCase{"LipEmptyKnownFile", 5, ""},
                                         NoReferenceCase{"SouthEmptyKnownFile", 11, ""},
                                         NoReferenceCase{"LeicaNoKnownFile", 2, nullptr},
                                         NoReferenceCase{"LipBlankFirstLine", 5, " \r\nGP01 1 2 3\n"},
                                         NoReferenceCase{"SouthNoKnownFile", 11, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

// A known file that is there but cannot be read (a folder, a FIFO) is named as such, not
// reported as a file without a reference station.
TEST_F(BaselineImportTest, AKnownFileThatCannotBeReadIsNamed) {
  std::filesystem::create_directory(KnownFile());
  ASSERT_EQ(Import(2, {exportsDir + "/gone.asc"}), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{u8"打开文件'" + KnownFile() + u8"'出错!"});
}

// ---------------------------------------------------------------------------------------------
// Records that do not scan, baselines that were never complete or cannot be written

TEST_F(BaselineImportTest, ARecordThatDoesNotScanLeavesThePreviousFields) {
  WriteKnown("GP01 1 2 3\n");
  std::string file = Export("s2.asc",
                            "@+A01 1 2 3\n"
                            "@-B02 10 20 30\n"
                            "@= 0.001 1 0 0 1 0 1\n"
                            "@-C03 40 fifty 60\n"  // the name and dX scan
                            "@= 0.001 bad\n");     // only s0 scans
  ASSERT_EQ(Import(2, {file}), 1);
  EXPECT_EQ(Output("s2"), Line("A01", "B02", 10, 20, 30, 0.01, 0.01, 0.01, 0, 0, 0) +
                              Line("A01", "C03", 40, 20, 30, 0.01, 0.01, 0.01, 0, 0, 0));
}

struct IncompleteCase {
  const char* name;
  int type;
  const char* file;
  const char* content;
  const char* lines;  // of the message
  int written;        // baselines written
};

const IncompleteCase kIncomplete[] = {
    {"LeicaCovarianceBeforeAnyVector", 2, "a.asc", "@%Unit: m\n@= 0.001 1 0 0 1 0 1\n@+A 1 2 3\n@-B 1 2 3\n@= 0.001 1 0 0 1 0 1\n",
     "2", 1},
    {"LeicaVectorWithoutItsComponents", 2, "a.asc", "@+A 1 2 3\n@-B 1 2\n@= 0.001 1 0 0 1 0 1\n", "3", 0},
    {"TrimbleReportWithoutComponents", 0, "a.asc",
     "Report\nFrom Station: A\nTo Station: B\nAposteriori Covariance Matrix: 1e-6\n 0 1e-6\n 0 0 1e-6\n", "6", 0},
    {"TrimbleExchangeWithMissingValue", 0, "a.asc", "[GENERAL]\nVector=1:?:A:B:1:2:3:1e-6:?:0:1e-6:0:1e-6:1.5\n", "2", 0},
    {"SokkiaCovarianceWithoutStations", 3, "a.rep",
     "Fixed double difference solution\nWGS84_X a b c d e 1 m\nWGS84_Y a b c d e 2 m\nWGS84_Z a b c d e 3 m\n"
     "Variance covariance matrix\n\nX 1e-6 0 0\nY 1e-6 0\nZ 1e-6\n",
     "9", 0},
    {"NovatelRowsMissing", 9, "a.iob", "NovAtel\n DXYZ A B 1 2 3\n\nX 1e-6 0 0\nY 1e-6\nZ 1e-6\n", "6", 0},
    {"ZhonghaidaBlockWithoutStations", 10, "a.rpt",
     "HDS\n双差整数解\n\n\n分量 (m) 1 2 3\n\n\n\n\n\n\n\n\n\n\n\nXX 0.1 0 0\nYY 0.1 0\nZZ 0.1\n", "19", 0},
    {"ZhonghaidaVectorOfTwelveWords", 10, "a.vec", "HDS\nVector=1:?:A:B:1:2:3:1e-6:0:0:*1e-6:0\n", "2", 0},
    {"HuaceBlockWithoutStations", 12, "a.isb",
     "华测\n整数解\n\n\n分量 (m) 1 2 3\n\n\n\n\n\n\n\n\n\n\n\nXX 0.1 0 0\nYY 0.1 0\nZZ 0.1\n", "19", 0},
    {"JavadRowsThatDoNotScan", 7, "a.txt", "from - to\n---\n1 A-B 1 2 3 4 5 6 7 8 9 10\n1 AB 1 2 3 4 5 6 7 8 9 10\n2 C-D x\n-----\n",
     "4,5", 1},
    {"GamitQBlockWithoutSigmas", 8, "a.txt",
     "VEMOGPS FOR GAMIT Q-FILE\n Baseline vector (m ): A01   (1) to            B02 \n  1.0  2.0  3.0\n\n"
     " Correlations (X-Y,X-Z,Y-Z)     0.1       0.2       0.3\n",
     "5", 0},
    {"AshtechBlockWithoutCorrelations", 1, "o1.520",
     "GPPS\nTHE FIXED DOUBLE DIFFERENCE SOLUTION\nSTATION\n1 [A] 2 [B]\nSIGMA X 0.001 M\nSIGMA Y 0.001 M\n"
     "SIGMA Z 0.001 M\nBASELINE VECTOR: 1 2 3\n",
     "8", 0},
};

class IncompleteBaselineTest : public BaselineFixture, public testing::WithParamInterface<IncompleteCase> {};

TEST_P(IncompleteBaselineTest, IsSkippedWithAMessageNamingTheFileAndLine) {
  const IncompleteCase& c = GetParam();
  WriteKnown("A 1 2 3\n");
  const std::string path = Export(c.file, G(c.content));  // the exports are GBK
  ASSERT_EQ(Import(c.type, {path}), 1);
  const std::string out = Output(fs::path(c.file).stem().string());
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), c.written) << out;
  EXPECT_EQ(Messages(), std::vector<std::string>{"基线文件:" + path + "第" + c.lines +
                                                 "行的基线缺少点名、基线分量或协方差，未写入同步基线文件!"});
}

INSTANTIATE_TEST_SUITE_P(Records, IncompleteBaselineTest, testing::ValuesIn(kIncomplete),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BaselineImportTest, BaselinesTheSynchronousFileCannotHoldAreSkippedWithAMessage) {
  std::string file = Export("own.txt",
                            "A123456789012345678901234567890 B 1 2 3 0.1 0.2 0.3 0 0 0\n"  // name of 31
                            "A B 1e300 2 3 0.1 0.2 0.3 0 0 0\n"                                // a line of 300+
                            "A B 1 2 3 0.1 0.2 0.3 0 0 0\n");
  ASSERT_EQ(Import(6, {file}), 1);
  EXPECT_EQ(Output("own"), Line("A", "B", 1, 2, 3, 0.1, 0.2, 0.3, 0, 0, 0));
  // A covariance that overflows: sigma squared is infinite.
  std::string javad = Export("big.txt", "from\n-\n1 A-B 1 2 3 4 1e200 1 1 0 0 0\n-----\n");
  ASSERT_EQ(Import(7, {javad}), 1);
  EXPECT_EQ(Output("big"), "");
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "基线文件:" + file + "第1,2行的基线点名无效或数值超出范围，未写入同步基线文件!",
                            "基线文件:" + javad + "第3行的基线点名无效或数值超出范围，未写入同步基线文件!"}));
}

TEST_F(BaselineImportTest, GamitFixedColumnsShorterThanTheirLineAreNotRead) {
  std::string line = Content(BaselineData("gamit-o1631.txt"));
  line = line.substr(line.find("GP01_GP02"));
  line = line.substr(0, line.find('\n'));
  ASSERT_EQ(line.size(), 192u);
  // Cut inside the last correlation: the rest of it is no number to read.
  std::string file = Export("o.txt", "VEMOGPS FOR GAMIT O-FILE\n" + line.substr(0, 183) + "\n" + line + "\n");
  ASSERT_EQ(Import(8, {file}), 1);
  const std::string out = Output("o");
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
  EXPECT_EQ(Messages(), std::vector<std::string>{"基线文件:" + file +
                                                 "第2行的基线缺少点名、基线分量或协方差，未写入同步基线文件!"});
}

TEST_F(BaselineImportTest, TrimbleVariantIsDecidedByTheFirstLineOfTwoCharacters) {
  const std::string own = Content(BaselineData("trimble-own.asc"));
  ASSERT_EQ(Import(0, {Export("t.asc", "\r\n \r\n\n" + own)}), 1);
  EXPECT_EQ(Output("t"), Content(BaselineData("expected/trimble-own.GPS3DVector_S")));
  // The marker on a later line: a survey report without its records.
  ASSERT_EQ(Import(0, {Export("t.asc", "Report\n" + own)}), 1);
  EXPECT_EQ(Output("t"), "");
}

// ---------------------------------------------------------------------------------------------
// Scanning of the records

struct ScanCase {
  const char* name;
  const char* line;
  const char* format;
  int count;
  const char* word;
  double number;
};

class ScanTest : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanTest, ConvertsLikeSscanf) {
  const ScanCase& c = GetParam();
  std::string word = "unchanged";
  double number = -1.0;
  baseline::CReadNumber tracked;
  EXPECT_EQ(baseline::Scan(c.line, c.format, {&word, &number, &tracked}), c.count) << c.line;
  EXPECT_EQ(word, c.word);
  EXPECT_EQ(number, c.number);
  EXPECT_EQ(tracked.read, c.count == 3);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanTest,
    testing::Values(ScanCase{"EveryConversion", "@#A01  1.5  2", "%s %lf %lf", 3, "@#A01", 1.5},
                    ScanCase{"BlanksOfEveryKind", "  A\t-2.5e-3\r\n7", "%s %lf %lf", 3, "A", -0.0025},
                    ScanCase{"NumberEndsAtALetter", "A 1.5abc 2", "%s %lf %lf", 2, "A", 1.5},
                    ScanCase{"NanIsNoNumber", "A nan 2", "%s %lf %lf", 1, "A", -1.0},
                    ScanCase{"OverflowIsNoNumber", "A 1e999 2", "%s %lf %lf", 1, "A", -1.0},
                    ScanCase{"LineEndsEarly", "A", "%s %lf %lf", 1, "A", -1.0},
                    ScanCase{"EmptyLine", "", "%s %lf %lf", 0, "unchanged", -1.0},
                    ScanCase{"LiteralThenWord", "Y 0.25 Z", "Y %s %lf", 1, "0.25", -1.0},
                    ScanCase{"LiteralBetweenConversions", "Z 0.25 Z 0.5 1", "Z %s Z %lf %lf", 3, "0.25", 0.5},
                    ScanCase{"LiteralDiffers", "Z 0.25 X 0.5", "Z %s Z %lf", 1, "0.25", -1.0},
                    ScanCase{"FirstLiteralDiffers", "X 1 2", "Y %s %lf", 0, "unchanged", -1.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BaselineLinesTest, TextModeLinesEndAtTheirFirstZeroByte) {
  using baseline::SplitLines;
  EXPECT_EQ(SplitLines(std::string("a\r\nb\rc\n\nd", 9)), (std::vector<std::string>{"a", "b\rc", "", "d"}));
  EXPECT_EQ(SplitLines(std::string("ab\0cd\nef\r", 9)), (std::vector<std::string>{"ab", "ef\r"}));
  EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
  EXPECT_EQ(baseline::Column("abcdef", 4, 10), "ef");
  EXPECT_EQ(baseline::Column("abcdef", 6, 2), "");
  EXPECT_EQ(baseline::Column("abcdef", 100, 2), "");
}

}  // namespace

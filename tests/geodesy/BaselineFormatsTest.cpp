// Every importer on its sample exports (tests/data/baselines, written by make_samples.py from
// true vectors; the expected synchronous files are computed there from the printed values),
// files of the wrong package, and the real exports that receiver software wrote.
#include <gtest/gtest.h>

#include "geodesy/BaselineImport.h"
#include "tests/geodesy/BaselineTestSupport.h"

namespace {
using namespace vemo;
using namespace vemo::test;

struct SampleCase {
  int type;
  const char* file;
  const char* stem;  // of the synchronous file
};

const SampleCase kSamples[] = {
    {0, "trimble-report.asc", "trimble-report"},  {0, "trimble-exchange.asc", "trimble-exchange"},
    {0, "trimble-own.asc", "trimble-own"},        {1, "o1631a.31", "o1631a"},
    {1, "o1632a.520", "o1632a"},                  {1, "o1633a.sol", "o1633a"},
    {2, "leica-1631.asc", "leica-1631"},          {3, "sokkia-1631.rep", "sokkia-1631"},
    {5, "lip-1632.txt", "lip-1632"},              {6, "vemo-1631.txt", "vemo-1631"},
    {7, "javad-1632.txt", "javad-1632"},          {7, "javad-cn-1632.txt", "javad-cn-1632"},
    {8, "gamit-o1631.txt", "gamit-o1631"},        {8, "gamit-q1633.txt", "gamit-q1633"},
    {9, "novatel-1633.iob", "novatel-1633"},      {10, "zhonghaida-1633.vec", "zhonghaida-1633"},
    {10, "zhonghaida-1631.rpt", "zhonghaida-1631"},             {11, "south-lgo.asc", "south-lgo"},
    {11, "south-tgo.asc", "south-tgo"},           {12, "huace-1632.isb", "huace-1632"},
};

// A complete first line: the importers with a reference station need one and leave it alone.
const char* const kCompleteKnownFile = "GP01  -2263471.9234  5011702.8729  3220339.8825\r\nGP03 30.30 114.21 22.4\r\n";

class BaselineSampleTest : public BaselineFixture, public testing::WithParamInterface<SampleCase> {};

TEST_P(BaselineSampleTest, TurnsItsSampleIntoExactlyTheExpectedLines) {
  const SampleCase& s = GetParam();
  WriteKnown(kCompleteKnownFile);
  const std::string input = Sample(s.file);
  for (auto [expected, k] : {std::pair{"expected/", 1.0}, std::pair{"expected-k/", 1.7}}) {
    ASSERT_EQ(Import(s.type, {input}, std::nullopt, k), 1);
    EXPECT_EQ(Output(s.stem), Content(BaselineData(std::string(expected) + s.stem + ".GPS3DVector_S")))
        << s.file << " with k = " << k;
  }
  EXPECT_TRUE(Messages().empty()) << Messages().front();
  EXPECT_EQ(Content(KnownFile()), kCompleteKnownFile);
}

INSTANTIATE_TEST_SUITE_P(Samples, BaselineSampleTest, testing::ValuesIn(kSamples),
                         [](const auto& info) {
                           std::string name = info.param.stem;
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

// A file of another package: an empty synchronous file, and a message that no baseline was
// read, with the project's package and the package whose reader does read the file.
class BaselineWrongFormatTest : public BaselineFixture, public testing::WithParamInterface<int> {};

TEST_P(BaselineWrongFormatTest, YieldsAnEmptySynchronousFileAndSaysWhichPackageItLooksLike) {
  const int type = GetParam();
  WriteKnown(kCompleteKnownFile);
  // The GAMIT summary lines are nobody else's records; GAMIT itself gets a Leica file (whose
  // records the South reader takes too, but in an element order that makes no covariance).
  const bool gamit = type == 8;
  const std::string input = Sample(gamit ? "leica-1631.asc" : "gamit-o1631.txt");
  ASSERT_EQ(Import(type, {input}), 1);
  EXPECT_EQ(Output(gamit ? "leica-1631" : "gamit-o1631"), "");
  const std::string looksLike = gamit ? "Leica(SKI/LGO)" : "Gamit";
  EXPECT_EQ(Messages(), std::vector<std::string>{u8"基线文件:" + input + u8"中没有读出任何基线!\n工程设置的基线解算软件是" +
                                                 BaselinePackageOf(type)->name + u8"，该文件像是" + looksLike +
                                                 u8"的基线文件，请在设置中改选基线解算软件后重新读取。"});
}

// Every type with an importer, named by its package.
std::vector<int> ImporterTypes() {
  std::vector<int> types;
  for (const CBaselinePackage& package : BaselinePackages())
    if (package.reader) types.push_back(package.type);
  return types;
}

INSTANTIATE_TEST_SUITE_P(Importers, BaselineWrongFormatTest, testing::ValuesIn(ImporterTypes()),
                         [](const testing::TestParamInfo<int>& info) {
                           return std::string(BaselinePackageOf(info.param)->helpName);
                         });

// The importers under the names the library exports them by run the importer of their type.
using NamedImporterTest = BaselineFixture;

TEST_F(NamedImporterTest, RunsTheImporterOfItsType) {
  using Named = int (CReadGPS3dBaseline::*)();
  const std::pair<Named, int> named[] = {
      {&CReadGPS3dBaseline::TrimbleBaseline, 0}, {&CReadGPS3dBaseline::AshtechBaseline, 1},
      {&CReadGPS3dBaseline::LeicaBaseline, 2},   {&CReadGPS3dBaseline::SokkiaBaseline, 3},
      {&CReadGPS3dBaseline::LipBaseline, 5},     {&CReadGPS3dBaseline::VemogpsBaseline, 6},
      {&CReadGPS3dBaseline::JavadBaseline, 7},   {&CReadGPS3dBaseline::GamitBaseline, 8},
      {&CReadGPS3dBaseline::NovatelBaseline, 9}, {&CReadGPS3dBaseline::ZhonghaidaBaseline, 10},
      {&CReadGPS3dBaseline::SouthBaseline, 11},  {&CReadGPS3dBaseline::HuaceBaseline, 12}};
  WriteKnown(kCompleteKnownFile);
  for (auto [importer, type] : named) {
    const SampleCase& s = *std::find_if(std::begin(kSamples), std::end(kSamples),
                                        [type = type](const SampleCase& c) { return c.type == type; });
    ASSERT_EQ(Import(type, {Sample(s.file)}), 1);  // chooses the sample
    std::filesystem::remove(SyncPath(s.stem));
    EXPECT_EQ((CReadGPS3dBaseline().*importer)(), 1) << s.file;
    EXPECT_EQ(Output(s.stem), Content(BaselineData(std::string("expected/") + s.stem + ".GPS3DVector_S"))) << s.file;
  }
}

// Exports written by receiver software (tests/data/baselines/real, see its README).
class RealExportTest : public BaselineFixture {};

TEST_F(RealExportTest, TrimbleDataExchangeFilesImportWithThePublishedCovariance) {
  ASSERT_EQ(Import(0, {Sample("real/myrtleford.asc"), Sample("real/small.asc")}), 1);
  const std::string myrtleford = Output("myrtleford"), small = Output("small");
  EXPECT_EQ(std::count(myrtleford.begin(), myrtleford.end(), '\n'), 31);
  EXPECT_EQ(std::count(small.begin(), small.end(), '\n'), 3);
  EXPECT_EQ(myrtleford, Content(BaselineData("expected/myrtleford.GPS3DVector_S")));
  EXPECT_EQ(small, Content(BaselineData("expected/small.GPS3DVector_S")));
  // The first vector of small.asc: xx, xy, xz, yy, yz, zz = 3.7577006879e-005,
  // -2.4803755878e-005, 3.0683288060e-005, 1.9898328901e-005, -2.1731964807e-005,
  // 3.0889535992e-005 m², written as XX, YY, ZZ, XY, XZ, YZ in cm².
  EXPECT_EQ(small.substr(0, small.find('\n') + 1),
            "315301790     GLNG     2369.1251     6067.8342     1979.1341     0.375770     0.198983     0.308895"
            "    -0.248038     0.306833    -0.217320\n");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(RealExportTest, TheSectionHeaderIsRecognisedInAnyLetterCase) {
  // The software writes "[General]"; the record description spells it "[GENERAL]".
  const std::string small = Content(BaselineData("real/small.asc"));
  ASSERT_EQ(small.rfind("[General]", 0), 0u);
  for (const char* header : {"[GENERAL]", "[general]"}) {
    ASSERT_EQ(Import(0, {Export("small.asc", header + small.substr(9))}), 1);
    EXPECT_EQ(Output("small"), Content(BaselineData("expected/small.GPS3DVector_S"))) << header;
  }
}

TEST_F(RealExportTest, GamitOFileExcerptWithTheMarkerLineImportsItsBaselines) {
  const std::string excerpt = Content(BaselineData("real/olamba.020.excerpt"));
  ASSERT_EQ(Import(8, {Export("olamba.020.excerpt", "VEMOGPS FOR GAMIT O-FILE\n" + excerpt)}), 1);
  const std::string out = Output("olamba.020");
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 190);
  EXPECT_EQ(out, Content(BaselineData("expected/olamba.020.GPS3DVector_S")));
  // A36__AV23: sigmas 0.1590, 0.1773, 0.3374 m, correlations 0.36760, -0.48241, -0.91666.
  std::string from, to;
  double v[9];
  ASSERT_EQ(baseline::Scan(out, "%s %s %lf %lf %lf %lf %lf %lf %lf %lf %lf",
                           {&from, &to, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8]}),
            11);
  EXPECT_EQ(from + "-" + to, "A36_-AV23");
  EXPECT_DOUBLE_EQ(v[0], 49577.5869);
  EXPECT_NEAR(v[3], 15.90 * 15.90, 1e-9);
  EXPECT_NEAR(v[4], 17.73 * 17.73, 1e-9);
  EXPECT_NEAR(v[5], 33.74 * 33.74, 1e-9);
  EXPECT_NEAR(v[6], 15.90 * 17.73 * 0.36760, 1e-9);
  EXPECT_NEAR(v[7], 15.90 * 33.74 * -0.48241, 1e-9);
  EXPECT_NEAR(v[8], 17.73 * 33.74 * -0.91666, 1e-9);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(RealExportTest, GamitFileWithoutAMarkerLineGivesAnEmptyFile) {
  const std::string input = Sample("real/olamba.020.excerpt");
  ASSERT_EQ(Import(8, {input}), 1);
  EXPECT_EQ(Output("olamba.020"), "");
  // No other reader finds a baseline in it (the system's own format takes a table of channel
  // numbers for two, whose "covariances" are none).
  EXPECT_EQ(Messages(), std::vector<std::string>{u8"基线文件:" + input + u8"中没有读出任何基线!\n工程设置的基线解算软件是Gamit，"
                                                 u8"用其他基线解算软件的格式也读不出基线，请检查该文件。"});
}

}  // namespace

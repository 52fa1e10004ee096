// Exchange with other adjustment programs: the DynaML and DNA samples read with their counts,
// a DynaML network carried through the project into a gama-local input without losing a
// printed digit, the gama-local example adjusted here as there, and bad input refused whole.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "adjust3d/GPS3dNetAdjust.h"
#include "geodesy/Encoding.h"
#include "project/exchange/DynaReader.h"
#include "project/exchange/GamaExchange.h"
#include "project/exchange/ProjectExchange.h"
#include "project/exchange/XmlTree.h"
#include "tests/adjust3d/AdjustFixture.h"

namespace {
using namespace vemo;
using namespace vemo::exchange;
namespace fs = std::filesystem;

// The peers' public sample files (their folders hold the licences).
std::string Peer(const std::string& file) {
  const char* dir = std::getenv("VEMO_PEERS_DIR");
  return std::string(dir ? dir : VEMO_TEST_DATA_DIR "/peers") + "/" + file;
}

#define REQUIRE_PEERS()                                                              \
  if (!fs::exists(Peer("dynaml/sa-gnss-msr.xml"))) GTEST_SKIP() << "no peer samples at " << Peer("")

// Half a unit of the last digit printed in a number's text: what "equal to the printed digits"
// allows.
double HalfUnit(const std::string& text) {
  const size_t e = text.find_first_of("eE");
  const std::string mantissa = text.substr(0, e);
  const size_t dot = mantissa.find('.');
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(mantissa.size() - dot - 1);
  const int exponent = e == std::string::npos ? 0 : std::atoi(text.c_str() + e + 1);
  return 0.5 * std::pow(10.0, exponent - decimals);
}

const XmlElement* Find(const XmlElement& e, const std::string& name) { return e.Child(name); }

TEST(ExchangeSamples, EveryPeerSampleImportsWithItsCounts) {
  REQUIRE_PEERS();
  // South Australian GNSS set: 11 station records of 10 stations (ALIC twice, 9.2 mm apart),
  // one G baseline and three X clusters of 2, 3 and 3 baselines, no point cluster.
  Network sa = ReadDynaml(Peer("dynaml/sa-gnss-stn.xml"), Peer("dynaml/sa-gnss-msr.xml"));
  EXPECT_EQ(sa.stations.size(), 10u);
  ASSERT_EQ(sa.notes.size(), 1u);  // the repeated station
  EXPECT_NE(GbkToUtf8(sa.notes[0]).find("\"ALIC\"重复,取第 43 行的记录(两者相距0.0092 m)"), std::string::npos);
  EXPECT_EQ(sa.baselines.size(), 9u);
  ASSERT_EQ(sa.clusters.size(), 3u);
  EXPECT_EQ(sa.clusters[0].baselines.size(), 2u);
  EXPECT_EQ(sa.clusters[2].baselines.size(), 3u);
  EXPECT_TRUE(sa.pointClusters.empty());
  EXPECT_TRUE(sa.notImported.empty());
  EXPECT_EQ(sa.measurementFrames, (std::map<std::string, int>{{"GDA2020@01.01.2020", 3}, {"ITRF1992@03.08.1992", 1}}));
  // AU001 is given in packed degrees: its position agrees with ALIC plus the measured baseline
  // (ITRF1992 at 1992, the stations GDA2020) within 15 m; read as decimal degrees it would lie
  // 43 km away.
  const Baseline& g = sa.baselines.back();
  std::map<std::string, std::array<double, 3>> at;
  for (const auto& s : sa.stations) at[s.name] = s.xyz;
  EXPECT_LT(std::hypot(at["AU001"][0] - at["ALIC"][0] - g.d[0], at["AU001"][1] - at["ALIC"][1] - g.d[1],
                       at["AU001"][2] - at["ALIC"][2] - g.d[2]),
            15.0);

  // The tutorial set in DNA: 6 stations, 9 G baselines.
  Network skye = ReadDna(Peer("dynaml/skye-tutorial.stn"), Peer("dynaml/skye-tutorial.msr"));
  EXPECT_EQ(skye.stations.size(), 6u);
  EXPECT_EQ(skye.baselines.size(), 9u);
  EXPECT_TRUE(skye.clusters.empty());
  EXPECT_EQ(skye.measurementFrames, (std::map<std::string, int>{{"GDA94@01.01.1994", 9}}));
  // Its lower triangle by rows, m² -> cm²: the first baseline's XY is the second row's first.
  EXPECT_DOUBLE_EQ(skye.baselines[0].cov[1], -1.613e-06 * 1e4);
  EXPECT_DOUBLE_EQ(skye.baselines[0].cov[8], 2.843e-06 * 1e4);
  // Its stations close the baselines to millimetres: the coordinates are packed degrees.
  std::map<std::string, std::array<double, 3>> pos;
  for (const auto& s : skye.stations) pos[s.name] = s.xyz;
  for (const Baseline& b : skye.baselines)
    EXPECT_LT(std::hypot(pos[b.to][0] - pos[b.from][0] - b.d[0], pos[b.to][1] - pos[b.from][1] - b.d[1],
                         pos[b.to][2] - pos[b.from][2] - b.d[2]),
              0.05)
        << b.from << " " << b.to;
}

// The DynaML measurements as printed: per cluster or baseline, the V scale and the texts of
// the 3n x 3n covariance (m², full), from the XML itself.
struct PrintedMeasurement {
  double v = 1, p = 1, l = 1, h = 1;
  std::vector<std::array<std::string, 3>> components;
  std::map<std::pair<size_t, size_t>, std::string> cov;  // (row, column) -> text
};

std::vector<PrintedMeasurement> PrintedDynaml(const std::string& path) {
  std::string error;
  int line;
  auto root = ParseXml(ReadWholeFile(path).value(), error, line);
  std::vector<PrintedMeasurement> out;
  for (const auto& m : root->children) {
    PrintedMeasurement pm;
    pm.v = std::stod(Find(*m, "Vscale")->text), pm.p = std::stod(Find(*m, "Pscale")->text);
    pm.l = std::stod(Find(*m, "Lscale")->text), pm.h = std::stod(Find(*m, "Hscale")->text);
    size_t i = 0;
    for (const auto& b : m->children) {
      if (b->name != "GPSBaseline") continue;
      pm.components.push_back({Find(*b, "X")->text, Find(*b, "Y")->text, Find(*b, "Z")->text});
      const char* own[6] = {"SigmaXX", "SigmaXY", "SigmaXZ", "SigmaYY", "SigmaYZ", "SigmaZZ"};
      const int rc[6][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 1}, {1, 2}, {2, 2}};
      for (int k = 0; k < 6; ++k) pm.cov[{3 * i + rc[k][0], 3 * i + rc[k][1]}] = Find(*b, own[k])->text;
      size_t j = i + 1;
      for (const auto& c : b->children) {
        if (c->name != "GPSCovariance") continue;
        for (int k = 0; k < 9; ++k)
          pm.cov[{3 * i + k / 3, 3 * j + k % 3}] = Find(*c, "m" + std::to_string(k / 3 + 1) + std::to_string(k % 3 + 1))->text;
        ++j;
      }
      ++i;
    }
    out.push_back(std::move(pm));
  }
  return out;
}

class ExchangeProject : public testing::Test {
 protected:
  test::AdjustProject project;
};

TEST_F(ExchangeProject, DynamlThroughTheProjectIntoGamaKeepsEveryPrintedDigit) {
  REQUIRE_PEERS();
  const std::string stn = Peer("dynaml/sa-gnss-stn.xml"), msr = Peer("dynaml/sa-gnss-msr.xml");
  ASSERT_TRUE(ImportIntoProject(ReadDynaml(stn, msr), "DynaML", {stn, msr}));
  // Five stations renamed: "4936/ 1009" holds a blank.
  EXPECT_NE(GbkToUtf8(project.Read(Extension(ProjectFile::ImportLog))).find("4936/ 1009 -> 4936/_1009"), std::string::npos);
  EXPECT_NE(project.Read(Extension(ProjectFile::Cluster3d)).find("CLUSTER 3\n5237/_1004 4936/_1009 1\n"), std::string::npos);
  // No station is constrained in the sample: hold ALIC, as a user would, for the export.
  project.Write("GPS3dKnownXYZ", "ALIC -4052052.7379 4212835.9824 -2545104.5871\n");

  const std::string xml = WriteGama(ReadProjectNetwork(), "");
  const std::string exported = project.dir.Write("sa.xml", xml);
  double sigmaApriori = 0;
  Network back = ReadGama(exported, &sigmaApriori);
  ASSERT_EQ(back.baselines.size(), 9u);
  ASSERT_EQ(back.clusters.size(), 3u);
  EXPECT_EQ(back.stations.size(), 10u);
  EXPECT_EQ(back.stations[0].name, "ALIC");
  EXPECT_TRUE(back.stations[0].constrained);

  const auto printed = PrintedDynaml(msr);
  ASSERT_EQ(printed.size(), 4u);
  size_t first = 0;
  for (size_t m = 0; m < printed.size(); ++m) {
    const PrintedMeasurement& pm = printed[m];
    const size_t count = pm.components.size(), dim = 3 * count;
    // The exported full matrix of this measurement (mm²): the cluster block or the vector's own.
    Matrix cov(dim * dim);
    if (count > 1) cov = back.clusters[m].cov;
    else cov = back.baselines[first].cov;
    for (size_t i = 0; i < count; ++i)
      for (int a = 0; a < 3; ++a) EXPECT_EQ(back.baselines[first + i].d[a], std::stod(pm.components[i][a]));
    if (pm.p == 1 && pm.l == 1 && pm.h == 1) {
      for (const auto& [rc, text] : pm.cov) {
        const double expected = std::stod(text) * pm.v * 1e4;  // cm², as ReadGama gives
        EXPECT_NEAR(cov[rc.first * dim + rc.second], expected, HalfUnit(text) * pm.v * 1e4) << m << " " << text;
        EXPECT_EQ(cov[rc.first * dim + rc.second], cov[rc.second * dim + rc.first]);
      }
    } else {
      // The P, L, H scales multiply the latitude, longitude and height variances at the first
      // station and keep the correlations there.
      Matrix raw(9);
      for (const auto& [rc, text] : pm.cov) raw[rc.first * 3 + rc.second] = raw[rc.second * 3 + rc.first] = std::stod(text) * 1e4;
      std::array<double, 3> alic{};
      for (const auto& s : back.stations)
        if (s.name == "ALIC") alic = s.xyz;
      auto blh = GeocentricToGeodetic(alic);
      const Matrix R = exchange::LocalFrame(blh[0], blh[1]);
      const Matrix before = Multiply(R, Multiply(raw, Transpose(R, 3), 3), 3);
      const Matrix after = Multiply(R, Multiply(cov, Transpose(R, 3), 3), 3);
      const double scale[3] = {pm.p, pm.l, pm.h};
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
          EXPECT_NEAR(after[r * 3 + c], before[r * 3 + c] * std::sqrt(scale[r] * scale[c]) * pm.v,
                      1e-12 * std::abs(after[r * 3 + r]));
    }
    first += count;
  }
}

TEST_F(ExchangeProject, GamaExampleAdjustsHereAsThere) {
  REQUIRE_PEERS();
  const std::string input = Peer("gama/example-02-a-local-inp.xml");
  double sigmaApriori = 0;
  ASSERT_TRUE(ImportIntoProject(ReadGama(input, &sigmaApriori), "gama-local", {input}));
  EXPECT_EQ(sigmaApriori, 1.0);
  CGPS3dNetAdjust net(0);
  ASSERT_EQ(net.Load(), 1);
  ASSERT_EQ(net.Adjust(), 1) << testing::PrintToString(project.MessagesUtf8());

  std::string error;
  int line;
  auto adjusted = ParseXml(ReadWholeFile(Peer("gama/example-02-a-local-adj.xml")).value(), error, line);
  ASSERT_TRUE(adjusted);
  const XmlElement* points = adjusted->Child("coordinates")->Child("adjusted");
  int compared = 0;
  for (const auto& p : points->children) {
    const std::string id = p->Child("id")->text;
    for (int i = 0; i < net.m_PointCount; ++i)
      if (net.m_PointName[i] == id) {
        EXPECT_NEAR(net.m_X[i], std::stod(p->Child("x")->text), 1e-4) << id;
        EXPECT_NEAR(net.m_Y[i], std::stod(p->Child("y")->text), 1e-4) << id;
        EXPECT_NEAR(net.m_Z[i], std::stod(p->Child("z")->text), 1e-4) << id;
        ++compared;
      }
  }
  EXPECT_EQ(compared, 3);  // Q, R, S; P is fixed
  // Here the unit weight is the mean variance of the vectors' components (110 mm²), there the
  // a priori sigma (1 mm): the a posteriori sigmas differ by the ratio of the two.
  const double there = std::stod(adjusted->Child("network-processing-summary")->Child("standard-deviation")->Child("aposteriori")->text);
  EXPECT_NEAR(net.m_M0mm / std::sqrt(110.0) * sigmaApriori, there, 5e-8);
  // The export states the mean variance as its a priori sigma, so the two agree directly.
  const std::string xml = WriteGama(ReadProjectNetwork(), "");
  EXPECT_NE(xml.find("sigma-apr=\"10.4880884817015\""), std::string::npos);
}

TEST_F(ExchangeProject, PointClustersAndLongNamesBecomeWeightedKnownPointsAndValidNames) {
  // Two point clusters (one of two points), a cluster of two baselines, names too long or with
  // blanks, a direction set and an ignored baseline.
  const std::string stn = project.dir.Write("s.xml", R"(<?xml version="1.0"?>
<DnaXmlFormat type="Station File" referenceframe="ITRF2014" epoch="01.01.2020">
<DnaStation><Name>A station with a long name 1</Name><Constraints>CCC</Constraints><Type>XYZ</Type>
<StationCoord><Name>x</Name><XAxis>-4052052.7379</XAxis><YAxis>4212835.9824</YAxis><Height>-2545104.5871</Height></StationCoord></DnaStation>
<DnaStation><Name>A station with a long name 2</Name><Constraints>FFF</Constraints><Type>LLH</Type>
<StationCoord><Name>x</Name><XAxis>-23.4532366108</XAxis><YAxis>133.5257273702</YAxis><Height>556.0946</Height></StationCoord></DnaStation>
<DnaStation><Name>B</Name><Constraints>CCF</Constraints><Type>UTM</Type>
<StationCoord><Name>x</Name><XAxis>386924.6200</XAxis><YAxis>7374617.1000</YAxis><Height>600.0</Height><HemisphereZone>S53</HemisphereZone></StationCoord></DnaStation>
</DnaXmlFormat>
)");
  const std::string msr = project.dir.Write("m.xml", R"(<?xml version="1.0"?>
<DnaXmlFormat type="Measurement File">
<DnaMeasurement><Type>Y</Type><Vscale>4</Vscale><Total>2</Total><Coords>XYZ</Coords>
<First>A station with a long name 1</First><Clusterpoint><X>-4052052.7</X><Y>4212835.9</Y><Z>-2545104.5</Z>
<SigmaXX>1e-6</SigmaXX><SigmaXY>0</SigmaXY><SigmaXZ>0</SigmaXZ><SigmaYY>2e-6</SigmaYY><SigmaYZ>0</SigmaYZ><SigmaZZ>3e-6</SigmaZZ>
<PointCovariance><m11>1e-7</m11><m12>0</m12><m13>0</m13><m21>0</m21><m22>1e-7</m22><m23>0</m23><m31>0</m31><m32>0</m32><m33>1e-7</m33></PointCovariance></Clusterpoint>
<First>B</First><Clusterpoint><X>-4049066.7</X><Y>4210171.5</Y><Z>-2554106.8</Z>
<SigmaXX>1e-6</SigmaXX><SigmaXY>0</SigmaXY><SigmaXZ>0</SigmaXZ><SigmaYY>1e-6</SigmaYY><SigmaYZ>0</SigmaYZ><SigmaZZ>1e-6</SigmaZZ></Clusterpoint></DnaMeasurement>
<DnaMeasurement><Type>X</Type><Total>2</Total>
<First>A station with a long name 1</First><Second>A station with a long name 2</Second><GPSBaseline><X>2981.7290</X><Y>-2666.8400</Y><Z>-9000.4630</Z>
<SigmaXX>1e-6</SigmaXX><SigmaXY>0</SigmaXY><SigmaXZ>0</SigmaXZ><SigmaYY>1e-6</SigmaYY><SigmaYZ>0</SigmaYZ><SigmaZZ>1e-6</SigmaZZ>
<GPSCovariance><m11>2e-7</m11><m12>0</m12><m13>0</m13><m21>0</m21><m22>2e-7</m22><m23>0</m23><m31>0</m31><m32>0</m32><m33>2e-7</m33></GPSCovariance></GPSBaseline>
<First>A station with a long name 2</First><Second>B</Second><GPSBaseline><X>1</X><Y>2</Y><Z>3</Z>
<SigmaXX>1e-6</SigmaXX><SigmaXY>0</SigmaXY><SigmaXZ>0</SigmaXZ><SigmaYY>1e-6</SigmaYY><SigmaYZ>0</SigmaYZ><SigmaZZ>1e-6</SigmaZZ></GPSBaseline></DnaMeasurement>
<DnaMeasurement><Type>D</Type><First>B</First></DnaMeasurement>
<DnaMeasurement><Type>G</Type><Ignore>*</Ignore><First>B</First></DnaMeasurement>
</DnaXmlFormat>
)");
  Network n = ReadDynaml(stn, msr);
  EXPECT_TRUE(n.stations[2].partlyConstrained);
  // The UTM station lies where its grid coordinates say (zone 53 south, near Alice Springs).
  auto blh = GeocentricToGeodetic(n.stations[2].xyz);
  EXPECT_NEAR(blh[0] * 180 / M_PI, -23.7, 0.05);
  EXPECT_NEAR(blh[1] * 180 / M_PI, 133.9, 0.05);
  ASSERT_TRUE(ImportIntoProject(n, "DynaML", {stn, msr}));
  EXPECT_EQ(project.Read("GPS3dKnownCov"),
            "GROUP 2\nA_STATION_WITH_A_LO\nB\n"
            "0.0400000000000 0.0000000000000 0.0000000000000 0.0040000000000 0.0000000000000 0.0000000000000\n"
            "0.0800000000000 0.0000000000000 0.0000000000000 0.0040000000000 0.0000000000000\n"
            "0.12 0.0000000000000 0.0000000000000 0.0040000000000\n"
            "0.0400000000000 0.0000000000000 0.0000000000000\n0.0400000000000 0.0000000000000\n0.0400000000000\n");
  // The second long name is cut to make room for its number; the cluster names both vectors.
  EXPECT_EQ(project.Read(Extension(ProjectFile::Cluster3d)).substr(0, 76),
            "CLUSTER 2\nA_STATION_WITH_A_LO A_STATION_WITH_A_~2 1\nA_STATION_WITH_A_~2 B 1\n");
  const std::string log = GbkToUtf8(project.Read(Extension(ProjectFile::ImportLog)));
  for (const char* expected : {"未导入的观测: D类 1个", "源文件标为忽略的观测: 1个", "部分约束1个",
                               "A station with a long name 2 -> A_STATION_WITH_A_~2"})
    EXPECT_NE(log.find(expected), std::string::npos) << expected << "\n" << log;
  // Read back, the weighted points are adjusted points observed with their covariance.
  Network back = ReadProjectNetwork();
  ASSERT_EQ(back.pointClusters.size(), 1u);
  EXPECT_DOUBLE_EQ(back.pointClusters[0].cov[3 * 6 + 3], 0.04);
  EXPECT_DOUBLE_EQ(back.pointClusters[0].xyz[1][2], -2554106.8);
  for (const auto& s : back.stations) EXPECT_FALSE(s.constrained) << s.name;
  EXPECT_NE(WriteGama(back, "").find("<coordinates>\n<point id=\"A_STATION_WITH_A_LO\" x=\"-4052052.7000\""),
            std::string::npos);
}

TEST_F(ExchangeProject, AWeightedPointGivenAsBLHExportsItsNorthEastUpCovarianceRotated) {
  project.Write("GPS3dKnownXYZ", "K1 30.1523456 114.2012345 56.789\nK2 -2148744.3 4426641.2 4044655.9\n");
  project.Write("GPS3dVector", "K1 P 100 200 300 1 1 1 0 0 0\nK2 P 10 20 30 1 1 1 0 0 0\n");
  project.Write("GPS3dKnownCov", "# north 1, east 4, up 9 cm²\nK1 1 4 9 0 0 0\n");
  Network n = ReadProjectNetwork();
  ASSERT_EQ(n.pointClusters.size(), 1u);
  const Matrix& c = n.pointClusters[0].cov;
  // The up variance lies along the ellipsoid's normal at the point, north and east across it.
  const double b = (30 + 15 / 60.0 + 23.456 / 3600) * M_PI / 180, l = (114 + 20 / 60.0 + 12.345 / 3600) * M_PI / 180;
  const double up[3] = {std::cos(b) * std::cos(l), std::cos(b) * std::sin(l), std::sin(b)};
  const double east[3] = {-std::sin(l), std::cos(l), 0};
  auto along = [&](const double* u, const double* v) {
    double s = 0;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) s += u[i] * c[i * 3 + j] * v[j];
    return s;
  };
  EXPECT_NEAR(along(up, up), 9.0, 1e-9);
  EXPECT_NEAR(along(east, east), 4.0, 1e-9);
  EXPECT_NEAR(along(up, east), 0.0, 1e-9);
  EXPECT_NEAR(c[0] + c[4] + c[8], 14.0, 1e-9);
  // K1 is weighted, K2 stays fixed; P has no approximate coordinates.
  EXPECT_FALSE(n.stations[0].constrained);
  EXPECT_TRUE(n.stations[1].constrained);
  EXPECT_FALSE(n.stations[2].hasPosition);
}

// Bad input, through the program: a message naming the file and the line, nothing written.
class ExchangeRefusal : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(test::RunProgram({"new-project", "--name", "p", "--dir", dir}, config.str()).status, 0);
  }
  test::ProgramRun Run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--project", dir + "/p.prj"});
    return test::RunProgram(arguments, config.str());
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    return names;
  }
  test::TempDir config, work;
  std::string dir = (work.path() / "p").string();
};

TEST_F(ExchangeRefusal, BadFilesAreNamedWithTheirLineAndNothingIsWritten) {
  REQUIRE_PEERS();
  const std::string stn = ReadWholeFile(Peer("dynaml/sa-gnss-stn.xml")).value();
  const std::string msr = ReadWholeFile(Peer("dynaml/sa-gnss-msr.xml")).value();
  const std::string goodStn = work.Write("stn.xml", stn);
  auto replaced = [](std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
  };
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    const char* message;  // UTF-8, after the file's name
  };
  const std::vector<Case> cases = {
      {"a gama file given as DynaML", {"import-dynaml", goodStn, Peer("gama/example-02-a-local-inp.xml")},
       "第 2 行: 不是DynaML文件(根元素为<gama-local>)!"},
      {"DynaML given as DNA", {"import-dna", goodStn, goodStn}, "第 1 行: 不是DNA格式的测站文件"},
      {"a DynaML file given as gama", {"import-gama", goodStn}, "第 2 行: 不是gama-local输入文件"},
      {"XML cut short", {"import-dynaml", goodStn, work.Write("cut.xml", msr.substr(0, 5000))}, "第 142 行: XML格式错误(unclosed token)"},
      {"not positive definite",
       {"import-dynaml", goodStn,
        work.Write("npd.xml", replaced(msr, "<SigmaZZ>8.9829335174000e-07", "<SigmaZZ>-8.9829335174000e-07"))},
       "第 228 行: 协方差阵不正定!"},
      {"a station never defined",
       {"import-dynaml", goodStn, work.Write("undef.xml", replaced(msr, "<Second>AU001<", "<Second>AU009<"))},
       "第 240 行: 测站\"AU009\"未在测站文件中定义!"},
      {"a gama cov-mat cut short",
       {"import-gama",
        work.Write("g.xml", replaced(ReadWholeFile(Peer("gama/example-02-a-local-inp.xml")).value(), "110 1.5\n120", "110 1.5"))},
       "第 28 行: <cov-mat>的元素不足!"},
  };
  for (const Case& c : cases) {
    const auto run = Run(c.arguments);
    EXPECT_EQ(run.status, 1) << c.what;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
    EXPECT_EQ(Files(), std::vector<std::string>{"p.prj"}) << c.what;
  }
  // An import over an earlier one asks first; without a yes every file stays as it was.
  ASSERT_EQ(Run({"import-gama", Peer("gama/example-02-a-local-inp.xml")}).status, 0);
  const std::string vectors = ReadWholeFile(dir + "/p.GPS3dVector").value();
  const auto refused = Run({"import-dynaml", goodStn, Peer("dynaml/sa-gnss-msr.xml")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(ReadWholeFile(dir + "/p.GPS3dVector").value(), vectors);
  EXPECT_FALSE(fs::exists(dir + "/p.GPS3dCluster"));
  ASSERT_EQ(Run({"--yes", "import-dynaml", goodStn, Peer("dynaml/sa-gnss-msr.xml")}).status, 0);
  EXPECT_TRUE(fs::exists(dir + "/p.GPS3dCluster"));
}

}  // namespace

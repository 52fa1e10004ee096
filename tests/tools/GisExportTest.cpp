// The GIS exports read back by real parsers: the GeoJSON by Qt's JSON parser, checked against
// the structure RFC 7946 requires, the KML by Qt's XML stream reader (well-formed, the
// placemarks expected). The network comes from a result file in the adjustment's layout.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>

#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "project/AppState.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/support/GeoidGrid.h"
#include "tests/support/TestHost.h"
#include "tools/GisExport.h"

namespace {
using namespace vemo;
using test::G;

const std::string kDash(96, '-');

// The adjusted-coordinate and residual tables of a result file, as the 3D adjustment writes
// them (other sections left out: the reader looks for these two headings only). Points near
// 30.5 N 114.3 E; the second new point has a Chinese name.
std::string ResultText() {
  std::string t;
  auto line = [&](const std::string& s) { t += s + "\n"; };
  line(kDash);
  line(G(u8"                            平差后坐标(X,Y,Z)"));
  line(kDash);
  line(" No.        Name             X(m)         Y(m)          Z(m)     Mx(cm) My(cm) Mz(cm) Mp(cm)");
  line(kDash);
  line(Format("%4d %16s %13.4lf %13.4lf %13.4lf", 1, "K01", -2267749.1234, 5009154.5678, 3221290.4321));
  line(Format("%4d %16s %13.4lf %13.4lf %13.4lf %6.2f %6.2f %6.2f %6.2f", 2, "P&1", -2266749.0, 5009654.0,
              3221990.0, 0.31, 0.42, 0.55, 0.76));
  line(Format("%4d %16s %13.4lf %13.4lf %13.4lf %6.2f %6.2f %6.2f %6.2f", 3, G(u8"测站").c_str(), -2268749.0,
              5008654.0, 3221990.0, 0.30, 0.40, 0.50, 0.71) + "\r");  // a line from Windows
  line(kDash);
  line(G(u8"                        三维基线向量残差"));
  line(kDash);
  line(" No.        From              To           V_DX(cm)    V_DY(cm)   V_DZ(cm)  限差(cm)");
  line(kDash);
  line(Format("%4d %16s %16s %10.2f %10.2f %10.2f %10.2f", 1, "K01", "P&1", 0.12, -0.30, 0.05, 1.60) + G(u8"  合格"));
  line(Format("%4d %16s %16s %10.2f %10.2f %10.2f %10.2f", 2, "P&1", G(u8"测站").c_str(), 2.10, 0.30, 0.05, 1.60) +
       G(u8"  超限"));
  line(kDash);
  return t;
}

TEST(GisExport, ReadsTheResultTables) {
  CGisNetwork net;
  std::string error;
  ASSERT_TRUE(ReadGPS3dResultNetwork(ResultText(), net, error)) << error;
  ASSERT_EQ(net.points.size(), 3u);
  EXPECT_TRUE(net.points[0].known);
  EXPECT_FALSE(net.points[1].known);
  EXPECT_DOUBLE_EQ(net.points[2].mp, 0.71);
  EXPECT_EQ(net.points[2].name, G(u8"测站"));
  // The longitude is atan2(Y, X); the latitude about atan(Z / (p (1 - e²))), degrees.
  EXPECT_NEAR(net.points[0].longitude, 114.355, 0.01);
  EXPECT_NEAR(net.points[0].latitude, 30.52, 0.02);
  ASSERT_EQ(net.baselines.size(), 2u);
  EXPECT_TRUE(net.baselines[0].passed);
  EXPECT_FALSE(net.baselines[1].passed);
  EXPECT_EQ(net.baselines[1].from, 1);
  EXPECT_EQ(net.baselines[1].to, 2);
}

TEST(GisExport, RefusesResultsWithoutCoordinatesOrWithBrokenRows) {
  CGisNetwork net;
  std::string error;
  EXPECT_FALSE(ReadGPS3dResultNetwork("", net, error));
  EXPECT_EQ(error, G(u8"平差结果文件中没有平差后坐标"));
  std::string text = ResultText();
  text.replace(text.find("-2268749.0000"), 13, "-22687x9.0000");
  EXPECT_FALSE(ReadGPS3dResultNetwork(text, net, error));
  EXPECT_NE(error.find(G(u8"无法识别")), std::string::npos);
}

// A result cut inside a table, a damaged residual row and an unknown verdict are refused, not
// exported as a whole network or as passed.
TEST(GisExport, RefusesCutResultsDamagedResidualsAndUnknownVerdicts) {
  CGisNetwork net;
  std::string error;
  const std::string whole = ResultText();
  for (const std::string& cut : {whole.substr(0, whole.find(G(u8"  超限"))),   // inside the residuals
                                 whole.substr(0, whole.find("-2268749.0000")),  // inside the coordinates
                                 whole.substr(0, whole.find(G(u8"三维基线向量残差")))}) {
    EXPECT_FALSE(ReadGPS3dResultNetwork(cut, net, error));
    EXPECT_NE(error.find(G(u8"不完整")), std::string::npos) << error;
  }
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"1.60", "1.6O"}, {G(u8"超限"), G(u8"通过")},
                                 {"   2 ", "   7 "}}) {
    std::string text = whole;
    text.replace(text.rfind(from), from.size(), to);
    EXPECT_FALSE(ReadGPS3dResultNetwork(text, net, error)) << to;
    EXPECT_NE(error.find(G(u8"残差行")), std::string::npos) << error;
  }
}

// The export's output may not be its result file nor another data file of the project.
TEST(GisExport, RefusesToWriteOverTheProjectsFiles) {
  test::ScopedTestHost scope;
  test::TempDir dir;
  CProjectState& project = Project();
  project.projectName = "net";
  project.projectDir = dir.str();
  project.projectOpen = 1;
  const std::string result = dir.Write("net.GPS3dResult", ResultText());
  const std::string vectors = dir.Write("net.GPS3dVector", "A B 1 2 3 0.1 0.1 0.1 0 0 0\n");
  for (const std::string& output : {result, vectors, dir.str() + "/net.GPS2dXY1"}) {
    EXPECT_FALSE(ExportAdjustedNetwork(GisFormat::Kml, output)) << output;
    EXPECT_NE(scope.host.messages.back().text.find(G(u8"请另选结果文件名")), std::string::npos);
  }
  EXPECT_EQ(ReadWholeFile(vectors).value_or(""), "A B 1 2 3 0.1 0.1 0.1 0 0 0\n");
  EXPECT_TRUE(ExportAdjustedNetwork(GisFormat::Kml, dir.str() + "/net.kml"));
}

TEST(GisExport, GeoJsonIsAFeatureCollectionOfPointsAndLines) {
  CGisNetwork net;
  std::string error;
  ASSERT_TRUE(ReadGPS3dResultNetwork(ResultText(), net, error));
  const std::string text = GeoJsonDocument(net, G(u8"样例"));
  QJsonParseError parse;
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &parse);
  ASSERT_EQ(parse.error, QJsonParseError::NoError) << parse.errorString().toStdString();
  const QJsonObject root = doc.object();
  EXPECT_EQ(root["type"].toString(), "FeatureCollection");
  EXPECT_EQ(root["name"].toString(), QString::fromUtf8(u8"样例"));
  const QJsonArray features = root["features"].toArray();
  ASSERT_EQ(features.size(), 5);
  int points = 0, lines = 0;
  for (const QJsonValue& value : features) {
    const QJsonObject f = value.toObject();
    EXPECT_EQ(f["type"].toString(), "Feature");
    ASSERT_TRUE(f["properties"].isObject());
    const QJsonObject g = f["geometry"].toObject();
    const QJsonArray c = g["coordinates"].toArray();
    auto checkPosition = [](const QJsonArray& p) {
      ASSERT_EQ(p.size(), 3);  // longitude, latitude, height (RFC 7946 order)
      EXPECT_GT(p[0].toDouble(), 114.0);
      EXPECT_LT(p[0].toDouble(), 114.7);
      EXPECT_GT(p[1].toDouble(), 30.3);
      EXPECT_LT(p[1].toDouble(), 30.8);
    };
    if (g["type"].toString() == "Point") {
      ++points;
      checkPosition(c);
      const QJsonObject p = f["properties"].toObject();
      const bool known = p["kind"].toString() == "known";
      EXPECT_EQ(known, points == 1);
      EXPECT_EQ(p["mp_cm"].isNull(), known);
    } else {
      ++lines;
      EXPECT_EQ(g["type"].toString(), "LineString");
      ASSERT_EQ(c.size(), 2);
      checkPosition(c[0].toArray());
      checkPosition(c[1].toArray());
      EXPECT_EQ(f["properties"].toObject()["passed"].toBool(), lines == 1);
    }
  }
  EXPECT_EQ(points, 3);
  EXPECT_EQ(lines, 2);
  EXPECT_EQ(features[2].toObject()["properties"].toObject()["name"].toString(), QString::fromUtf8(u8"测站"));
}

TEST(GisExport, KmlIsWellFormedWithOnePlacemarkPerPointAndBaseline) {
  CGisNetwork net;
  std::string error;
  ASSERT_TRUE(ReadGPS3dResultNetwork(ResultText(), net, error));
  const std::string text = KmlDocument(net, "A&B <net>");
  QXmlStreamReader xml(QByteArray::fromStdString(text));
  std::vector<QString> names, coordinates;
  QString element;
  int placemarks = 0;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      element = xml.name().toString();
      if (element == "Placemark") ++placemarks;
      if (element == "kml") {
        EXPECT_EQ(xml.namespaceUri().toString(), "http://www.opengis.net/kml/2.2");
      }
    } else if (xml.isCharacters() && !xml.isWhitespace()) {
      if (element == "name") names.push_back(xml.text().toString());
      if (element == "coordinates") coordinates.push_back(xml.text().toString());
    }
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(placemarks, 5);
  ASSERT_EQ(names.size(), 8u);  // the document, two folders, five placemarks
  EXPECT_EQ(names[0], "A&B <net>");
  EXPECT_EQ(names[3], "P&1");
  EXPECT_EQ(names[4], QString::fromUtf8(u8"测站"));
  EXPECT_EQ(names[7], QString::fromUtf8(u8"P&1-测站"));
  ASSERT_EQ(coordinates.size(), 5u);
  EXPECT_EQ(coordinates[3].split(' ').size(), 2);  // a line between two positions
  EXPECT_EQ(coordinates[0].split(',').size(), 3);
}

}  // namespace

// Heights on a geoid model: the grid's undulation at every point, the orthometric height in the
// GeoJSON properties, the KML altitudes and the map's labels; a point off the grid refuses the
// export without a file.
TEST(GisExport, GeoidHeightsReachTheDocumentsAndTheMap) {
  auto undulation = [](double lat, double lon) { return -10.0 + 3.0 * (lat - 30.0) - 2.0 * (lon - 114.0); };
  test::TempDir grids, config, work;
  const std::string grid = grids.Write("local.gtx", test::GtxGrid(30.0, 114.0, 0.25, 5, 5, undulation));
  const std::string dir = (work.path() / "prj").string();
  ASSERT_EQ(test::CreateProgramProject(dir, config.str()).status, 0);
  WriteFileAtomically(dir + "/net.GPS3dResult", ResultText());
  auto run = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--project", dir + "/net.prj"});
    return test::RunProgram(arguments, config.str());
  };
  ASSERT_EQ(run({"export-geojson", "--geoid", grid}).status, 0);
  const QJsonObject root =
      QJsonDocument::fromJson(QByteArray::fromStdString(ReadWholeFile(dir + "/net.geojson").value_or(""))).object();
  EXPECT_EQ(root["geoid_model"].toString(), "local.gtx");
  std::vector<double> orthometric;
  for (const QJsonValue& value : root["features"].toArray()) {
    const QJsonObject f = value.toObject(), p = f["properties"].toObject();
    if (f["geometry"].toObject()["type"].toString() != "Point") continue;
    const QJsonArray c = f["geometry"].toObject()["coordinates"].toArray();
    EXPECT_NEAR(p["geoid_undulation_m"].toDouble(), undulation(c[1].toDouble(), c[0].toDouble()), 2e-4);
    EXPECT_NEAR(p["orthometric_height_m"].toDouble(), c[2].toDouble() - p["geoid_undulation_m"].toDouble(), 2e-4);
    orthometric.push_back(p["orthometric_height_m"].toDouble());
  }
  ASSERT_EQ(orthometric.size(), 3u);

  ASSERT_EQ(run({"export-kml", "--geoid", grid}).status, 0);
  const std::string kml = ReadWholeFile(dir + "/net.kml").value_or("");
  EXPECT_NE(kml.find(Format(",%.4f</coordinates></Point>", orthometric[0])), std::string::npos) << kml;

  // The map of the same points: "name height" beside each.
  WriteFileAtomically(dir + "/net.GPS3dXYHEFT", "K01 3375000 500000 40 0 0 0\nP&1 3376000 501000 41 1 0.5 0.3\n");
  ASSERT_EQ(run({"map", "wgs84", "--geoid", grid, "--svg", dir + "/map.svg"}).status, 0);
  EXPECT_NE(ReadWholeFile(dir + "/map.svg").value_or("").find(Format("K01 %.3f", orthometric[0])), std::string::npos);
  EXPECT_EQ(run({"map", "local", "--geoid", grid, "--svg", dir + "/map.svg"}).status, 2);

  // A grid south of the points: the first one is named, nothing is written.
  const std::string south = grids.Write("south.gtx", test::GtxGrid(20.0, 114.0, 0.25, 5, 5, undulation));
  const auto refused = run({"export-geojson", "--geoid", south, dir + "/other.geojson"});
  EXPECT_NE(refused.status, 0);
  EXPECT_NE(refused.err.find("K01"), std::string::npos) << refused.err;
  EXPECT_FALSE(FileExists(dir + "/other.geojson"));
}

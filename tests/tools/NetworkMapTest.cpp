// The network map checked on its own geometry: the document's scales and factor, and the SVG
// that the drawing routine writes, read back element by element (the SVG's user unit is the
// millimetre of paper, so ellipse sizes and symbol positions are measured directly).
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <regex>

#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "project/AppState.h"
#include "tests/support/CaseNames.h"
#include "tests/support/TestHost.h"
#include "tools/DXF.h"
#include "tools/MapDecorations.h"
#include "tools/NetworkMapFiles.h"

namespace {
using namespace vemo;
using test::G;

struct SvgShape {
  std::string element;  // polyline, polygon, ellipse, text, ...
  std::string stroke;   // of the enclosing group
  std::vector<double> points;  // x0 y0 x1 y1 ... of a polyline or path; cx cy r r of a circle
  std::string text;     // of a text
};

std::string Attribute(const std::string& tag, const std::string& name) {
  std::smatch m;
  if (std::regex_search(tag, m, std::regex("\\s" + name + "=\"([^\"]*)\""))) return m[1];
  return "";
}

std::vector<double> Numbers(const std::string& text) {
  std::vector<double> v;
  const char* p = text.c_str();
  while (*p) {
    char* end = nullptr;
    double d = std::strtod(p, &end);
    if (end == p) {
      ++p;
      continue;
    }
    v.push_back(d);
    p = end;
  }
  return v;
}

// Every drawing element with the stroke of its group.
std::vector<SvgShape> ReadSvg(const std::string& svg) {
  std::vector<SvgShape> shapes;
  std::vector<std::string> strokes{""};
  std::regex tagPattern("<(/?)([a-z]+)([^>]*)>");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), tagPattern); it != std::sregex_iterator(); ++it) {
    const std::string closing = (*it)[1], name = (*it)[2], tag = (*it)[3];
    if (name == "g") {
      if (!closing.empty()) {
        if (strokes.size() > 1) strokes.pop_back();
      } else {
        std::string stroke = Attribute(tag, "stroke");
        strokes.push_back(stroke.empty() ? strokes.back() : stroke);
        if (!tag.empty() && tag.back() == '/') strokes.pop_back();
      }
      continue;
    }
    if (!closing.empty()) continue;
    SvgShape shape{name, strokes.back(), {}, ""};
    if (name == "polyline") shape.points = Numbers(Attribute(tag, "points"));
    if (name == "path") shape.points = Numbers(Attribute(tag, "d"));
    if (name == "rect") {
      const double x = std::stod(Attribute(tag, "x")), y = std::stod(Attribute(tag, "y"));
      shape.points = {x, y, x + std::stod(Attribute(tag, "width")), y + std::stod(Attribute(tag, "height"))};
    }
    if (name == "ellipse" || name == "circle")
      shape.points = {std::stod(Attribute(tag, "cx")), std::stod(Attribute(tag, "cy")),
                      std::stod(Attribute(tag, name == "circle" ? "r" : "rx")),
                      std::stod(Attribute(tag, name == "circle" ? "r" : "ry"))};
    if (name == "text") {
      size_t from = it->position() + it->length();
      shape.text = svg.substr(from, svg.find("</text>", from) - from);
    }
    shapes.push_back(std::move(shape));
  }
  return shapes;
}

// The shapes of the network alone: those that start inside the boxes of the legend, the north
// arrow and the scale bar are left out (texts, which carry no position here, stay).
std::vector<SvgShape> NetworkShapes(const std::vector<SvgShape>& shapes, const CVemoGPSDoc& doc,
                                    const CMapDisplay& display) {
  const CMapDecorations d = PlaceMapDecorations(doc, display, PagePlacement(doc, display.sameScale));
  std::vector<SvgShape> network;
  for (const SvgShape& s : shapes) {
    const bool decoration = s.points.size() >= 2 && (d.legend.contains(QPointF(s.points[0], s.points[1])) ||
                                                     d.northArrow.contains(QPointF(s.points[0], s.points[1])) ||
                                                     d.scaleBar.contains(QPointF(s.points[0], s.points[1])));
    if (!decoration) network.push_back(s);
  }
  return network;
}

std::vector<const SvgShape*> Select(const std::vector<SvgShape>& shapes, const std::string& element,
                                    const std::string& stroke = "") {
  std::vector<const SvgShape*> list;
  for (const auto& s : shapes)
    if (s.element == element && (stroke.empty() || s.stroke == stroke)) list.push_back(&s);
  return list;
}

// The texts in drawing order, one after the other (a line of mixed scripts may come in runs).
bool HasText(const std::vector<SvgShape>& shapes, const std::string& utf8) {
  std::string all;
  for (const auto& s : shapes)
    if (s.element == "text") all += s.text;
  return all.find(utf8) != std::string::npos;
}

class NetworkMap : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(EnsureDrawingApplication()); }
  test::ScopedTestHost scope;
  test::TempDir dir;
  std::string Write(const std::string& name, const std::string& content) { return dir.Write(name, content); }
};

// Known K1 and K2, adjusted P3 and P4; the network is 5240 m high and 1000 m wide.
const char* const kCoordinates =
    "              K1    3000000.0000     500000.0000      10.0000       0.00       0.00       0.0000\n"
    "              K2    3005240.0000     500000.0000      12.0000       0.00       0.00       0.0000\n"
    "              P3    3002000.0000     501000.0000      11.0000       2.50       1.00      30.0000\n"
    "              P4    3003000.0000     500500.0000      11.0000       1.25       0.50     120.0000\n";
const char* const kVectors =
    "K1 P3 1 2 3 0.1 0.1 0.1 0 0 0\n"
    "0 P3 K2 1 2 3 0.1 0.1 0.1 0 0 0\n"
    "1 K1 K2 1 2 3 0.1 0.1 0.1 0 0 0\n"  // not used: no line
    "P4 K2 1 2 3 0.1 0.1 0.1 0 0 0\n";

TEST_F(NetworkMap, ScalesEllipseFactorAndTheDrawingsGeometry) {
  CVemoGPSDoc doc;
  ASSERT_EQ(doc.Load(Write("net.GPS3dXYHEFT", kCoordinates), Write("net.GPS3dVector", kVectors), "net"), 1);
  EXPECT_TRUE(scope.host.messages.empty());
  ASSERT_EQ(doc.Points().size(), 4u);
  EXPECT_EQ(doc.KnownCount(), 2);
  EXPECT_EQ(doc.Lines().size(), 3u);
  // 5240 m over the 262 mm of the A4 drawing area: 20 m/mm; 1000 m over 190 mm: 5.27 m/mm.
  EXPECT_DOUBLE_EQ(doc.ScaleX(), 20.0);
  EXPECT_DOUBLE_EQ(doc.ScaleY(), 5.27);
  EXPECT_DOUBLE_EQ(doc.Scale(), 20.0);
  EXPECT_DOUBLE_EQ(doc.EMax(), 2.5);
  EXPECT_NEAR(doc.EllipseOnPaper(2.5), 10.0, 1e-9);
  EXPECT_NEAR(doc.ShortestLine(), std::hypot(2000.0, 1000.0), 1e-6);  // K1-P3
  EXPECT_NEAR(doc.LongestLine(), std::hypot(3240.0, 1000.0), 1e-6);   // P3-K2
  EXPECT_EQ(doc.ScaleLine(true), G(u8"网图 1:20000   椭圆 1:2.500"));
  EXPECT_EQ(doc.ScaleLine(false), G(u8"网图X 1:20000   网图Y 1:5270   椭圆 1:2.500"));

  auto shapes = NetworkShapes(ReadSvg(RenderMapSvg(doc, CMapDisplay{})), doc, CMapDisplay{});
  // The SVG writes six significant digits: positions hold to 1e-3 mm.
  const double mm = 2e-3;
  // Two ellipses in red, 61 vertices each; P3's semi-major axis is 10 mm.
  auto ellipses = Select(shapes, "polyline", "#ff0000");
  ASSERT_EQ(ellipses.size(), 2u);
  for (auto* e : ellipses) ASSERT_EQ(e->points.size(), 2u * 61u);
  const auto& p3 = ellipses[0]->points;
  // Parameter 0 and 180 degrees are the ends of the major axis.
  EXPECT_NEAR(std::hypot(p3[60] - p3[0], p3[61] - p3[1]), 20.0, mm);
  EXPECT_NEAR(std::hypot(p3[120] - p3[0], p3[121] - p3[1]), 0.0, mm);  // closed
  // Azimuth 30 degrees: the major axis leans east of north (x right, y down on paper).
  EXPECT_NEAR(std::atan2(p3[0] - p3[60], p3[61] - p3[1]) * 180 / M_PI, 30.0, 0.02);
  // Three baselines (the flagged "1" one is left out), black.
  EXPECT_EQ(Select(shapes, "polyline", "#000000").size(), 3u);
  // Two known triangles (closed paths), two circles of radius 0.8 mm.
  auto triangles = Select(shapes, "path");
  ASSERT_EQ(triangles.size(), 2u);
  ASSERT_EQ(triangles[0]->points.size(), 8u);
  EXPECT_NEAR(triangles[0]->points[4] - triangles[0]->points[0], 1.6, mm);
  EXPECT_NEAR(triangles[0]->points[1] - triangles[0]->points[3], 2 * 0.6928203230275201, mm);  // apex north
  auto circles = Select(shapes, "circle");
  ASSERT_EQ(circles.size(), 2u);
  EXPECT_NEAR(circles[0]->points[2], 0.8, 1e-9);
  // K1 and K2 are 5240 m apart: 262 mm on paper at 1:20000.
  EXPECT_NEAR(triangles[0]->points[1] - triangles[1]->points[1], 262.0, mm);
  // Names and the title block as text.
  EXPECT_TRUE(HasText(shapes, "P4"));
  EXPECT_TRUE(HasText(shapes, u8"net控制网网图"));
  EXPECT_TRUE(HasText(shapes, u8"网图 1:20000   椭圆 1:2.500"));
}

TEST_F(NetworkMap, SwitchesLeaveOutEllipsesAndNamesAndSeparateTheScales) {
  CVemoGPSDoc doc;
  ASSERT_EQ(doc.Load(Write("net.GPS3dXYHEFT", kCoordinates), Write("net.GPS3dVector", kVectors), "net"), 1);
  auto shapes = NetworkShapes(ReadSvg(RenderMapSvg(doc, CMapDisplay{false, false, false})), doc,
                              CMapDisplay{false, false, false});
  EXPECT_TRUE(Select(shapes, "polyline", "#ff0000").empty());
  EXPECT_FALSE(HasText(shapes, "P4"));
  EXPECT_TRUE(HasText(shapes, u8"网图X 1:20000   网图Y 1:5270   椭圆 1:2.500"));
  // With separate scales K1-P3 spans 1000 m east at 5.27 m/mm.
  auto triangles = Select(shapes, "path");
  auto circles = Select(shapes, "circle");
  ASSERT_EQ(triangles.size(), 2u);
  ASSERT_FALSE(circles.empty());
  EXPECT_NEAR(circles[0]->points[0] - triangles[0]->points[2], 1000.0 / 5.27, 2e-3);
}

TEST_F(NetworkMap, PlaneResultUnknownNamesAndThePageFile) {
  CVemoGPSDoc doc;
  std::string coordinates = Write("net.GPS2dXYEFT",
                                  "A 1000.0 2000.0 0.00 0.00 0.0000\n"
                                  "B 1500.0 2000.0 1.00 0.50 90.0000\n");
  Write("net.par", "420 297 10 10 10 10 20\n");
  ASSERT_EQ(doc.Load(coordinates, Write("net.GPS3dVector", "A B 1 2 3 0.1 0.1 0.1 0 0 0\nA Q 1 2 3 0.1 0.1 0.1 0 0 0\n"),
                     "net"),
            1);
  ASSERT_EQ(scope.host.messages.size(), 1u);
  EXPECT_EQ(scope.host.messages[0].text, G(u8"网图数据中点名：Q不存在！"));
  EXPECT_EQ(doc.Lines().size(), 1u);
  EXPECT_DOUBLE_EQ(doc.Page().width, 420.0);
  // 500 m over 297 - 10 - 10 - 20 - 5 = 252 mm, rounded up to two decimals.
  EXPECT_DOUBLE_EQ(doc.ScaleX(), 1.99);
  EXPECT_NEAR(doc.Points()[1].T, M_PI / 2, 1e-7);

  // A page file that makes no page is reported and the A4 page kept.
  Write("net.par", "100 50 60 60 10 10 10\n");
  ASSERT_EQ(doc.Load(coordinates, (dir.path() / "none").string(), "net"), 1);
  EXPECT_EQ(scope.host.messages.size(), 2u);
  EXPECT_DOUBLE_EQ(doc.Page().width, 210.0);
}

struct DegenerateCase {
  const char* what;
  const char* coordinates;
  size_t ellipses;
};

class DegenerateMap : public NetworkMap, public ::testing::WithParamInterface<DegenerateCase> {};

TEST_P(DegenerateMap, DrawsWhatCanBeDrawnWithoutNonFiniteNumbers) {
  const DegenerateCase& c = GetParam();
  CVemoGPSDoc doc;
  ASSERT_EQ(doc.Load(Write("d.GPS3dXYHEFT", c.coordinates), Write("d.GPS3dVector", "A B 1 2 3 0.1 0.1 0.1 0 0 0\n"),
                     "d"),
            1);
  EXPECT_GT(doc.Scale(), 0);
  EXPECT_GT(doc.ScaleX(), 0);
  EXPECT_GT(doc.ScaleY(), 0);
  for (bool same : {true, false}) {
    CMapDisplay display;
    display.sameScale = same;
    std::string svg = RenderMapSvg(doc, display);
    EXPECT_EQ(svg.find("nan"), std::string::npos) << c.what;
    EXPECT_EQ(svg.find("inf"), std::string::npos) << c.what;
    auto shapes = NetworkShapes(ReadSvg(svg), doc, display);
    EXPECT_EQ(Select(shapes, "polyline", "#ff0000").size(), c.ellipses) << c.what;
    EXPECT_EQ(Select(shapes, "path").size() + Select(shapes, "circle").size(), doc.Points().size()) << c.what;
    EXPECT_TRUE(HasText(shapes, "A")) << c.what;
    EXPECT_EQ(doc.ScaleLine(same).find("nan"), std::string::npos);
    EXPECT_EQ(doc.ScaleLine(same).find("inf"), std::string::npos);
  }
  std::string pdf = RenderMapPdf(doc, CMapDisplay{});
  EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Networks, DegenerateMap,
    ::testing::Values(DegenerateCase{"single point", "A 1000 2000 5 0.5 0.2 10\n", 1},
                      DegenerateCase{"one northing", "A 1000 2000 5 0 0 0\nB 1000 2600 5 0.5 0.2 10\n", 1},
                      DegenerateCase{"one easting", "A 1000 2000 5 0 0 0\nB 1600 2000 5 0.5 0.2 10\n", 1},
                      DegenerateCase{"every E = 0", "A 1000 2000 5 0 0 0\nB 1600 2300 5 0 0.3 0\n", 0}),
    [](const auto& info) { return vemo::test::CaseName(info.param.what); });

TEST_F(NetworkMap, CoordinatesBeyondAnyPageDrawNoNonFiniteNumber) {
  CVemoGPSDoc doc;
  ASSERT_EQ(doc.Load(Write("far.GPS3dXYHEFT", "A -1e300 0 0 0 0 0\nB 1e300 1e300 0 1 1 0\nC 0 0 0 1e30 1 0\n"),
                     Write("far.GPS3dVector", "A B 1 2 3 0.1 0.1 0.1 0 0 0\n"), "far"),
            1);
  std::string svg = RenderMapSvg(doc, CMapDisplay{});
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  EXPECT_EQ(svg.find("inf"), std::string::npos);
  EXPECT_EQ(doc.ScaleLine(true).find("nan"), std::string::npos);
  EXPECT_EQ(RenderMapPdf(doc, CMapDisplay{}).rfind("%PDF", 0), 0u);
}

TEST_F(NetworkMap, TheCommandWritesTheThreeFilesOrOpensTheMap) {
  CProjectState& project = Project();
  project.projectName = "net";
  project.projectDir = dir.str();
  project.projectOpen = 1;
  Write("net.GPS3dXYHEFT", kCoordinates);
  Write("net.GPS3dVector", kVectors);
  CMapFiles files{(dir.path() / "map.svg").string(), (dir.path() / "map.pdf").string(),
                  (dir.path() / "map.png").string()};
  CVemoGPSDoc doc;
  ASSERT_EQ(doc.LoadProject(MapKind::Wgs84), 1);
  ASSERT_TRUE(WriteNetworkMapFiles(doc, CMapDisplay{}, files));
  EXPECT_EQ(ReadWholeFile(files.png).value_or("").substr(1, 3), "PNG");
  EXPECT_EQ(ReadWholeFile(files.pdf).value_or("").substr(0, 4), "%PDF");
  EXPECT_NE(ReadWholeFile(files.svg).value_or("").find("<svg"), std::string::npos);
  // The local map without a plane result.
  EXPECT_EQ(doc.LoadProject(MapKind::Local), 0);
  ASSERT_EQ(scope.host.messages.size(), 1u);
  EXPECT_EQ(scope.host.messages[0].text, G(u8"工程net的坐标数据不存在，请平差后再进行此项处理!"));
  // An output that cannot be written.
  EXPECT_FALSE(WriteNetworkMapFiles(doc, CMapDisplay{}, {(dir.path() / "no" / "map.svg").string(), "", ""}));
  EXPECT_EQ(scope.host.messages.size(), 2u);
}

// A page beyond the limit, a picture beyond the raster's and outputs over the inputs are
// refused with their reason before anything is drawn; names missing from the coordinates come
// in one message however many baselines name them.
TEST_F(NetworkMap, RefusesOversizedPagesPicturesAndOutputsOverItsInputs) {
  CProjectState& project = Project();
  project.projectName = "net";
  project.projectDir = dir.str();
  project.projectOpen = 1;
  const std::string coordinates = Write("net.GPS3dXYHEFT", kCoordinates);
  const std::string vectors = Write("net.GPS3dVector", std::string(kVectors) + "X1 K1 1 2 3 0.1 0.1 0.1 0 0 0\n" +
                                                             "X2 K1 1 2 3 0.1 0.1 0.1 0 0 0\nX1 K2 1 2 3 0.1 0.1 0.1 0 0 0\n");
  CVemoGPSDoc doc;
  ASSERT_EQ(doc.LoadProject(MapKind::Wgs84), 1);
  ASSERT_EQ(scope.host.messages.size(), 1u);
  EXPECT_EQ(scope.host.messages[0].text, G(u8"网图数据中点名：X1,X2不存在！"));

  // 536870912.125 mm at 8 dots a millimetre would wrap an int to one pixel.
  Write("net.PAR", "536870912.125 297 10 10 10 10 10\n");
  EXPECT_EQ(doc.LoadProject(MapKind::Wgs84), 0);
  EXPECT_NE(scope.host.messages.back().text.find("3000"), std::string::npos);
  // 3000 x 2000 mm is a page, but its picture would be 24000 x 16000 pixels.
  Write("net.PAR", "3000 2000 10 10 10 10 10\n");
  ASSERT_EQ(doc.LoadProject(MapKind::Wgs84), 1);
  const std::string png = (dir.path() / "map.png").string(), svg = (dir.path() / "map.svg").string();
  EXPECT_FALSE(WriteNetworkMapFiles(doc, CMapDisplay{}, {svg, "", png}));
  EXPECT_NE(scope.host.messages.back().text.find("256"), std::string::npos);
  EXPECT_FALSE(FileExists(png) || FileExists(svg));  // nothing written when one output is refused
  EXPECT_TRUE(RenderMapPng(doc, CMapDisplay{}).empty());

  // An input, the page file and another project data file are not outputs.
  Write("net.PAR", "420 297 10 10 10 10 10\n");
  ASSERT_EQ(doc.LoadProject(MapKind::Wgs84), 1);
  for (const std::string& output : {coordinates, vectors, (dir.path() / "NET.par").string(),
                                    (dir.path() / "net.GPS3dResult").string()}) {
    const size_t before = scope.host.messages.size();
    EXPECT_FALSE(WriteNetworkMapFiles(doc, CMapDisplay{}, {"", "", output})) << output;
    ASSERT_EQ(scope.host.messages.size(), before + 1);
    EXPECT_NE(scope.host.messages.back().text.find(G(u8"请另选结果文件名")), std::string::npos);
  }
  EXPECT_EQ(ReadWholeFile(coordinates).value_or(""), kCoordinates);
}

// Under a limit of the address space the picture that cannot be had is refused with the memory
// message, not a write error or an abort inside the painter. A sanitizer reserves its shadow
// memory beyond any such limit, so the case runs in the plain build only.
TEST_F(NetworkMap, RefusesAPictureItsMemoryCannotHold) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "address space limits do not apply under AddressSanitizer";
#else
  CVemoGPSDoc doc;
  Write("net.PAR", "2000 2000 10 10 10 10 10\n");
  ASSERT_EQ(doc.Load(Write("net.GPS3dXYHEFT", kCoordinates), Write("net.GPS3dVector", kVectors), "net"), 1);
  const std::string png = (dir.path() / "map.png").string();
  const pid_t child = fork();
  if (child == 0) {
    // A gigabyte beyond what the process holds; the picture needs about three.
    unsigned long long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm || std::fscanf(statm, "%llu", &pages) != 1) _exit(2);
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = pages * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE)) + (1ull << 30);
    setrlimit(RLIMIT_AS, &limit);
    const bool written = WriteNetworkMapFiles(doc, CMapDisplay{}, {"", "", png});
    const bool memory = !scope.host.messages.empty() &&
                        scope.host.messages.back().text.find(G(u8"内存不足")) != std::string::npos;
    _exit(!written && memory ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_FALSE(FileExists(png));
#endif
}

}  // namespace

namespace vemo::test {

// A sub-millimetre network: P3's ellipse rounds to 0.00 cm in the result file, yet P3 is an
// adjusted point; only the project's known-point file says which points are fixed.
TEST(KnownPointsOfTheDrawings, AreThoseOfTheKnownPointFileNotTheRoundedEllipses) {
  ScopedTestHost scope;
  TempDir dir;
  CProjectState& project = Project();
  project.projectName = "net";
  project.projectDir = dir.str();
  project.projectOpen = 1;
  const std::string coordinates = dir.Write("net.GPS3dXYHEFT",
      "K1 3000000.0 500000.0 10.0 0.00 0.00 0.0\n"
      "P3 3002000.0 501000.0 11.0 0.00 0.00 0.0\n"
      "P4 3003000.0 500500.0 11.0 0.01 0.01 0.0\n");
  dir.Write("net.GPS3dVector", "K1 P3 1 2 3 0.1 0.1 0.1 0 0 0\nP3 P4 1 2 3 0.1 0.1 0.1 0 0 0\n");
  dir.Write("net.GPS3dKnownXYZ", "k1 -2263483.8885 5015626.2217 3213270.8231\n");
  CVemoGPSDoc doc;
  ASSERT_EQ(doc.LoadProject(MapKind::Wgs84), 1);
  EXPECT_EQ(doc.KnownCount(), 1);

  std::vector<CDXFPoint> points;
  ASSERT_TRUE(CDXF::ReadPointFile(coordinates, points));
  CDXF dxf;
  dxf.SetPoints(points);
  dxf.SetKnownNames(*CVemoGPSDoc::ProjectKnownNames(MapKind::Wgs84));
  const std::string text = dxf.DxfText();
  size_t triangles = 0;
  for (size_t at = text.find("ASDK_CONTROL"); at != std::string::npos; at = text.find("ASDK_CONTROL", at + 1))
    ++triangles;
  EXPECT_EQ(triangles, 1u);
}

// A picture drawn in bands by several threads has every pixel of the picture drawn by one:
// names, symbols, ellipses and lines (long ones across every band) straddle the band edges.
TEST_F(NetworkMap, APictureDrawnInBandsIsTheSameAsDrawnWhole) {
  std::vector<CMapPoint> points;
  for (int i = 0; i < 240; ++i) {
    CMapPoint p;
    p.name = "P" + std::to_string(i);
    p.x = 3000000.0 + (i / 16) * 137.0 + (i % 5) * 11.0;
    p.y = 500000.0 + (i % 16) * 61.0 + (i % 7) * 9.0;
    if (i >= 2) p.E = 0.5f + static_cast<float>(i % 9) * 0.3f, p.F = p.E * 0.6f, p.T = static_cast<float>(i % 13) * 0.4f;
    points.push_back(p);
  }
  std::vector<CMapLine> lines;
  for (int i = 1; i < 240; ++i) lines.push_back({i - 1, i});
  for (int i = 0; i < 16; ++i) lines.push_back({i, 239 - i});
  CVemoGPSDoc doc;
  doc.Assign(points, lines, 2, "bands");
  const double dotsPerMm = 3.0;  // a small picture keeps the test quick
  const QImage whole = RenderMapPicture(doc, CMapDisplay{}, dotsPerMm, 1);
  ASSERT_FALSE(whole.isNull());
  for (int threads : {2, 3, 4}) EXPECT_TRUE(RenderMapPicture(doc, CMapDisplay{}, dotsPerMm, threads) == whole) << threads;
  EXPECT_EQ(RenderMapPng(doc, CMapDisplay{}, dotsPerMm).size() > 0, true);
}

// A name given twice in the coordinate file: a baseline to it ends at its last point, as before.
TEST_F(NetworkMap, ABaselineToANameGivenTwiceEndsAtItsLastPoint) {
  CVemoGPSDoc doc;
  const std::string coordinates = Write("twice.GPS2dXYEFT",
                                        "A 1000.0 2000.0 0.00 0.00 0.0000\n"
                                        "B 1500.0 2000.0 1.00 0.50 90.0000\n"
                                        " b 1200.0 2100.0 1.00 0.50 90.0000\n");
  ASSERT_EQ(doc.Load(coordinates, Write("twice.GPS3dVector", "a B 1 2 3 0.1 0.1 0.1 0 0 0\n"), "twice"), 1);
  ASSERT_EQ(doc.Lines().size(), 1u);
  EXPECT_EQ(doc.Lines()[0].from, 0);
  EXPECT_EQ(doc.Lines()[0].to, 2);
}

}  // namespace vemo::test

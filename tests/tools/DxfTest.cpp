// The DXF export read back by a reader of its own: a DXF file is a sequence of pairs of lines,
// a group code and its value; group 0 starts an entity, 8 names its layer, 10/20/30 and
// 11/21 are coordinates, 40 a height, 1 a text, 62 a colour. The reader knows nothing of
// the writer: it walks the sections and collects what each entity holds.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "app/commands/Args.h"
#include "app/commands/CommandTable.h"
#include "geodesy/FileUtil.h"
#include "tests/support/TestHost.h"
#include "tools/DXF.h"

namespace {
using namespace vemo;
using test::G;

struct DxfEntity {
  std::string type;
  std::multimap<int, std::string> groups;
  std::vector<DxfEntity> vertices;  // of a POLYLINE
  double Number(int code) const {
    auto it = groups.find(code);
    return it == groups.end() ? NAN : std::stod(it->second);
  }
  std::string Text(int code) const {
    auto it = groups.find(code);
    return it == groups.end() ? "" : it->second;
  }
};

struct DxfDrawing {
  std::vector<std::string> sections;
  std::map<std::string, std::string> header;  // $VARIABLE -> its value
  DxfEntity viewport;  // the VPORT table entry
  std::vector<DxfEntity> entities;
  bool endOfFile = false;
  int Count(const std::string& type) const {
    int n = 0;
    for (const auto& e : entities) n += e.type == type;
    return n;
  }
  std::vector<const DxfEntity*> All(const std::string& type) const {
    std::vector<const DxfEntity*> list;
    for (const auto& e : entities)
      if (e.type == type) list.push_back(&e);
    return list;
  }
};

DxfDrawing ParseDxf(const std::string& text) {
  std::vector<std::pair<int, std::string>> pairs;
  size_t pos = 0;
  auto nextLine = [&](std::string& line) {
    if (pos >= text.size()) return false;
    size_t end = text.find('\n', pos);
    line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    return true;
  };
  std::string code, value;
  while (nextLine(code)) {
    if (!nextLine(value)) ADD_FAILURE() << "group code without value: " << code;
    pairs.emplace_back(std::stoi(code), value);
  }
  DxfDrawing drawing;
  std::string section;
  DxfEntity* current = nullptr;
  DxfEntity* polyline = nullptr;
  for (size_t i = 0; i < pairs.size(); ++i) {
    const auto& [c, v] = pairs[i];
    if (section == "HEADER" && c == 9 && i + 1 < pairs.size()) {
      drawing.header[v] = pairs[++i].second;
      continue;
    }
    if (c == 0) {
      current = nullptr;
      if (v == "SECTION") {
        section = pairs.at(++i).second;  // group 2
        drawing.sections.push_back(section);
      } else if (v == "ENDSEC") {
        section.clear();
      } else if (v == "EOF") {
        drawing.endOfFile = true;
      } else if (section == "TABLES" && v == "VPORT") {
        drawing.viewport.type = v;
        current = &drawing.viewport;
      } else if (section == "ENTITIES") {
        if (v == "VERTEX" && polyline) {
          polyline->vertices.push_back({v, {}, {}});
          current = &polyline->vertices.back();
        } else if (v == "SEQEND") {
          polyline = nullptr;
        } else {
          drawing.entities.push_back({v, {}, {}});
          current = &drawing.entities.back();
          polyline = v == "POLYLINE" ? current : nullptr;
        }
      }
    } else if (current) {
      current->groups.emplace(c, v);
    }
  }
  return drawing;
}

class DxfExport : public ::testing::Test {
 protected:
  test::ScopedTestHost scope;
  test::TempDir dir;
  std::string Write(const std::string& name, const std::string& content) { return dir.Write(name, content); }
  std::string Read(const std::string& path) { return ReadWholeFile(path).value_or(""); }
};

// name X(north) Y(east) H E F T
const char* const kPoints =
    "      K01   3376543.2100    512345.6700     45.1230       0.00       0.00       0.0000\n"
    "      P02   3377543.2100    513345.6700     55.0000       1.20       0.80      45.3000\n"
    "      P03   3378043.2100    512845.6700     65.0000       0.0000005  0.0        0.0\n"
    "      P04   3376043.2100    514345.6700     75.0000       0.000001   0.0        0.0\n"
    "a short line\n"
    "\n";

TEST_F(DxfExport, EveryPointLineAndKnownTriangleReadsBack) {
  std::string points = Write("net.GPS3dXYHEFT", kPoints);
  std::string lines = Write("net.GPS3dVector",
                            "K01 P02 1 2 3 0.1 0.1 0.1 0 0 0\n"
                            "1 P02 P03 1 2 3 0.1 0.1 0.1 0 0 0\n"   // not used: no line
                            "0 P03 P04 1 2 3 0.1 0.1 0.1 0 0 0\n"   // used
                            "K01 P04 1 2 3 0.1 0.1 0.1 0 0\n");     // 10 items: skipped
  std::vector<CDXFPoint> p;
  std::vector<CDXFLine> l;
  ASSERT_TRUE(CDXF::ReadPointFile(points, p));
  ASSERT_TRUE(CDXF::ReadLineFile(lines, l));
  CDXF dxf;
  dxf.SetPoints(p);
  dxf.SetLines(l);
  ASSERT_EQ(dxf.WriteDXF((dir.path() / "net.dxf").string()), 1);
  ASSERT_EQ(scope.host.messages.size(), 1u);
  EXPECT_EQ(scope.host.messages[0].text, G(u8"已生成AutoCAD格式的网图文件!"));

  const std::string written = (dir.path() / "net.dxf.dxf").string();  // always ".dxf" appended
  ASSERT_TRUE(FileExists(written));
  DxfDrawing d = ParseDxf(Read(written));
  EXPECT_EQ(d.sections, (std::vector<std::string>{"HEADER", "TABLES", "ENTITIES"}));
  // The names are GBK: the code page is declared, so that readers do not take them for Latin-1.
  EXPECT_EQ(d.header["$DWGCODEPAGE"], "ANSI_936");
  EXPECT_EQ(d.header["$ACADVER"], "AC1009");
  EXPECT_TRUE(d.endOfFile);

  // Points as read: the file's second number is the drawing's x (east).
  auto pointEntities = d.All("POINT");
  ASSERT_EQ(pointEntities.size(), 4u);
  EXPECT_EQ(pointEntities[0]->Text(8), "ASDK_POINT");
  EXPECT_DOUBLE_EQ(pointEntities[0]->Number(10), 512345.67);
  EXPECT_DOUBLE_EQ(pointEntities[0]->Number(20), 3376543.21);
  EXPECT_DOUBLE_EQ(pointEntities[0]->Number(30), 45.123);
  auto texts = d.All("TEXT");
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[1]->Text(1), "P02");
  EXPECT_DOUBLE_EQ(texts[1]->Number(10), 513345.67);

  // The view: centre of the extents, 1.1 times the north range, aspect east over north.
  const double dy = 3378043.21 - 3376043.21, dx = 514345.67 - 512345.67;
  EXPECT_NEAR(d.viewport.Number(12), (512345.67 + 514345.67) / 2, 1e-6);
  EXPECT_NEAR(d.viewport.Number(22), (3376043.21 + 3378043.21) / 2, 1e-6);
  EXPECT_NEAR(d.viewport.Number(40), 1.1 * dy, 1e-6);
  EXPECT_NEAR(d.viewport.Number(41), dx / dy, 1e-6);

  // Triangles for |e| < 1e-6 m: K01 (0) and P03 (0.0000005), not P04 (0.000001).
  auto triangles = d.All("POLYLINE");
  ASSERT_EQ(triangles.size(), 2u);
  const double s = 1.1 * dy / 250;
  const double centres[2][2] = {{512345.67, 3376543.21}, {512845.67, 3378043.21}};
  for (int t = 0; t < 2; ++t) {
    EXPECT_EQ(triangles[t]->Text(8), "ASDK_CONTROL");
    EXPECT_EQ(triangles[t]->Text(70), "1");  // closed
    ASSERT_EQ(triangles[t]->vertices.size(), 3u);
    // Every vertex at the circumradius s from the point, and one due west of it.
    for (const auto& v : triangles[t]->vertices)
      EXPECT_NEAR(std::hypot(v.Number(10) - centres[t][0], v.Number(20) - centres[t][1]), s, 2e-6);
    EXPECT_NEAR(triangles[t]->vertices[2].Number(10), centres[t][0] - s, 1e-6);
    EXPECT_NEAR(triangles[t]->vertices[2].Number(20), centres[t][1], 1e-6);
  }

  // Lines: K01-P02 and the flagged "0" line P03-P04; the "1" line and the short line none.
  auto lineEntities = d.All("LINE");
  ASSERT_EQ(lineEntities.size(), 2u);
  EXPECT_EQ(lineEntities[0]->Text(8), "ASDK_LINE");
  EXPECT_EQ(lineEntities[0]->Text(62), "5");
  EXPECT_DOUBLE_EQ(lineEntities[1]->Number(10), 512845.67);
  EXPECT_DOUBLE_EQ(lineEntities[1]->Number(21), 3376043.21);
  EXPECT_NEAR(texts[0]->Number(40), 1.1 * dy / 150, 1e-6);
}

TEST_F(DxfExport, OneNorthingGivesASoundViewAndUnknownEndsAreNamed) {
  std::string points = Write("flat.GPS3dXYHEFT",
                             "A 1000.0 2000.0 0 0 0 0\n"
                             "B 1000.0 2500.0 0 1 1 0\n");
  std::string lines = Write("flat.GPS3dVector", "A B 1 2 3 0.1 0.1 0.1 0 0 0\nA Z 1 2 3 0.1 0.1 0.1 0 0 0\n");
  CDXF dxf;
  std::vector<CDXFPoint> p;
  std::vector<CDXFLine> l;
  ASSERT_TRUE(CDXF::ReadPointFile(points, p));
  ASSERT_TRUE(CDXF::ReadLineFile(lines, l));
  dxf.SetPoints(p);
  dxf.SetLines(l);
  std::vector<std::string> skipped;
  DxfDrawing d = ParseDxf(dxf.DxfText(&skipped));
  EXPECT_EQ(skipped, std::vector<std::string>{"A-Z"});
  const double h = d.viewport.Number(40), aspect = d.viewport.Number(41);
  ASSERT_TRUE(std::isfinite(h) && std::isfinite(aspect));
  EXPECT_GT(h, 0);
  EXPECT_NEAR(h, 1.1 * 500, 1e-9);
  EXPECT_EQ(d.Count("LINE"), 1);
  ASSERT_EQ(d.Count("POLYLINE"), 1);
  EXPECT_GT(d.All("TEXT")[0]->Number(40), 0);

  // The command reports the skipped line before its success message.
  ASSERT_EQ(dxf.WriteDXF((dir.path() / "flat").string()), 1);
  ASSERT_EQ(scope.host.messages.size(), 2u);
  EXPECT_NE(scope.host.messages[0].text.find("A-Z"), std::string::npos);
  EXPECT_TRUE(FileExists((dir.path() / "flat.dxf").string()));
}

TEST_F(DxfExport, SinglePointChineseNamesAndTheDialogs) {
  std::string points = Write("cn.GPS3dXYHEFT", G(u8"测站一 100 200 3 0 0 0\n"));
  std::string lines = Write("cn.GPS3dVector", "");
  scope.host.QueueFiles(std::vector<std::string>{points});
  scope.host.QueueFiles(std::vector<std::string>{lines});
  scope.host.QueueFiles(std::vector<std::string>{(dir.path() / "cn").string()});
  ASSERT_EQ(RunDxfExport(), 1);
  ASSERT_EQ(scope.host.fileDialogs.size(), 3u);
  EXPECT_EQ(scope.host.fileDialogs[0].filters[0].description, G(u8"坐标文件(*.GPS3dXYHEFT)"));
  EXPECT_EQ(scope.host.fileDialogs[1].filters[0].pattern, "*.GPS3dVector");
  EXPECT_FALSE(scope.host.fileDialogs[2].open);
  DxfDrawing d = ParseDxf(Read((dir.path() / "cn.dxf").string()));
  ASSERT_EQ(d.Count("TEXT"), 1);
  EXPECT_EQ(d.All("TEXT")[0]->Text(1), G(u8"测站一"));  // GBK bytes as in the project files
  EXPECT_NEAR(d.viewport.Number(40), 1.1, 1e-9);         // a single point: a view of 1.1 m

  // A cancelled save dialog writes nothing; no points: nothing either.
  scope.host.QueueFiles(std::vector<std::string>{points});
  scope.host.QueueFiles(std::vector<std::string>{lines});
  scope.host.QueueFiles(std::nullopt);
  EXPECT_EQ(RunDxfExport(), 0);
  CDXF empty;
  EXPECT_EQ(empty.WriteDXF((dir.path() / "none").string()), 0);
  EXPECT_FALSE(FileExists((dir.path() / "none.dxf").string()));
}

// The command refuses a coordinate no drawing can hold (it made "inf" and "nan" of the view)
// and an output that is one of its inputs, and writes nothing.
TEST_F(DxfExport, TheCommandRefusesHugeCoordinatesAndOutputsOverItsInputs) {
  const std::string lines = Write("net.GPS3dVector", "K01 P02 1 2 3 0.1 0.1 0.1 0 0 0\n");
  auto run = [&](const std::string& points, const std::string& output) {
    CommandContext context{Args({points, lines, output})};
    return FindCommand("export-dxf")->run(context);
  };
  const std::string huge = Write("huge.GPS3dXYHEFT", std::string(kPoints) + "P05 1e308 -1e308 0 1 1 0\n");
  EXPECT_EQ(run(huge, (dir.path() / "huge").string()), kCommandFailed);
  EXPECT_FALSE(FileExists((dir.path() / "huge.dxf").string()));
  ASSERT_FALSE(scope.host.messages.empty());
  EXPECT_NE(scope.host.messages.back().text.find("huge.GPS3dXYHEFT"), std::string::npos);
  EXPECT_NE(scope.host.messages.back().text.find("P05"), std::string::npos);

  // "net" gets ".dxf" appended: the points' own file.
  const std::string points = Write("net.dxf", kPoints);
  EXPECT_EQ(run(points, (dir.path() / "net").string()), kCommandFailed);
  EXPECT_EQ(Read(points), kPoints);
  EXPECT_NE(scope.host.messages.back().text.find(G(u8"就是输入文件")), std::string::npos);
}

TEST_F(DxfExport, UnreadableInputsAndLongNames) {
  std::vector<CDXFPoint> p;
  EXPECT_FALSE(CDXF::ReadPointFile((dir.path() / "missing").string(), p));
  ASSERT_EQ(scope.host.messages.size(), 1u);
  EXPECT_NE(scope.host.messages[0].text.find(G(u8"打开文件")), std::string::npos);
  std::string points = Write("long.GPS3dXYHEFT", std::string(30, 'N') + " 1 2 3 0 0 0\n" + "OK 1 2 3 0 0 0\n");
  ASSERT_TRUE(CDXF::ReadPointFile(points, p));
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].name, "OK");
  EXPECT_EQ(scope.host.messages.size(), 2u);
  CDXF dxf;
  dxf.SetPoints(p);
  EXPECT_EQ(dxf.WriteDXF((dir.path() / "no-such-dir" / "x").string()), 0);
  EXPECT_NE(scope.host.messages.back().text.find(G(u8"打开文件")), std::string::npos);
}

}  // namespace

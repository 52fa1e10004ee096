#include "tools/DXF.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"
#include "tools/VemoGPSDoc.h"

namespace vemo {

namespace {

constexpr int kDxfLineBuffer = 300;
// Symbol and text sizes as parts of the view height.
constexpr double kTriangleDivisor = 250.0;
constexpr double kTextDivisor = 150.0;
constexpr double kHalfSqrt3 = 0.86602540378443864676;

std::string ChooseOne(bool open, const char* description, const char* pattern) {
  FileDialogRequest request;
  request.open = open;
  request.mustExist = open;
  request.filters = {{UiText(description), pattern}, {"All File(*.*)", "*.*"}};
  auto chosen = Platform().ChooseFiles(request);
  return chosen && !chosen->empty() ? chosen->front() : std::string();
}

// The view of the drawing: its centre, height and aspect ratio. The height is 1.1 times the
// north-south range. When every point lies on one northing that range is 0 and the ratio
// would divide by it: the view then takes the east-west range (1 m for a single point) with
// the ratio 1, so that the symbols and texts, sized from the height, stay visible.
struct DxfView {
  double cx, cy, height, aspect;
};
DxfView ViewOf(const std::vector<CDXFPoint>& points) {
  double xmin = points[0].x, xmax = xmin, ymin = points[0].y, ymax = ymin;
  for (const auto& p : points) {
    xmin = std::min(xmin, p.x), xmax = std::max(xmax, p.x);
    ymin = std::min(ymin, p.y), ymax = std::max(ymax, p.y);
  }
  DxfView view{(xmin + xmax) * 0.5, 0.5 * (ymin + ymax), 0, 0};
  const double dy = ymax - ymin, dx = xmax - xmin;
  if (dy > 0) {
    view.height = dy / 10 + dy;
    view.aspect = dx / dy;
  } else {
    const double span = dx > 0 ? dx : 1.0;
    view.height = span / 10 + span;
    view.aspect = 1.0;
  }
  return view;
}

}  // namespace

bool CDXF::ReadPointFile(const std::string& path, std::vector<CDXFPoint>& points) {
  points.clear();
  std::string content;
  if (!ReadRequiredFile(path, content)) return false;
  int lineCount = 0;
  return ForEachLine(content, kDxfLineBuffer, lineCount, [&](const std::string& line) {
    std::string name;
    double v[6];
    if (ScanPointLine(line, name, v, 6) != 7) return true;
    if (name.size() > static_cast<size_t>(kMaxName)) {
      ShowNameTooLong(path, lineCount, name, kMaxName, AppTitle());
      return true;
    }
    if (!(std::fabs(v[0]) < kMaxCoordinate && std::fabs(v[1]) < kMaxCoordinate && std::fabs(v[2]) < kMaxCoordinate)) {
      ShowMessage(Format(UiText(u8"坐标文件%s第%d行点%s的坐标超出范围(绝对值应小于%.0e米)，未生成网图文件!"),
                         PathToGbk(path).c_str(), lineCount, name.c_str(), kMaxCoordinate),
                  AppTitle());
      points.clear();
      return false;
    }
    // The file gives northing then easting; the drawing has east to the right.
    points.push_back({name, v[1], v[0], v[2], v[3], v[4], v[5]});
    return true;
  }) == 1;
}

bool CDXF::ReadLineFile(const std::string& path, std::vector<CDXFLine>& lines) {
  lines.clear();
  std::string content;
  if (!ReadRequiredFile(path, content)) return false;
  int lineCount = 0;
  std::vector<std::string> items;
  ForEachLine(content, kDxfLineBuffer, lineCount, [&](const std::string& line) {
    int n = GetItemsValue(line.c_str(), items, ' ');
    if (n == 11) {
      lines.push_back({items[0], items[1]});
    } else if (n == 12 && items[0] == "0") {
      lines.push_back({items[1], items[2]});
    }
    // Fewer items, the flag "1" (not used), and lines that are no vector record of either
    // form (another flag, more items) draw nothing.
    return true;
  });
  return true;
}

bool CDXF::LoadPoints(const std::string& path) {
  m_Inputs.push_back(path);
  return ReadPointFile(path, m_Points);
}

bool CDXF::LoadLines(const std::string& path) {
  m_Inputs.push_back(path);
  return ReadLineFile(path, m_Lines);
}

std::string CDXF::OutputName(const std::string& chosen) { return chosen + "." + "dxf"; }

std::string CDXF::DxfText(std::vector<std::string>* skipped) const {
  if (m_Points.empty()) return {};
  const DxfView view = ViewOf(m_Points);
  std::string out;
  // Names are GBK bytes. Without a declared code page every reader outside a Chinese Windows
  // system decodes them as ANSI_1252 and shows nonsense; the header names the code page (and
  // the R12 version whose entities follow, the last one that reads $DWGCODEPAGE).
  out += "0\nSECTION\n2\nHEADER";
  out += "\n9\n$ACADVER\n1\nAC1009\n9\n$DWGCODEPAGE\n3\nANSI_936";
  out += "\n0\nENDSEC\n";
  out += "0\nSECTION\n2\nTABLES";
  out += "\n0\nTABLE\n2\nVPORT";
  out += "\n70\n2\n0\nVPORT\n2\n*ACTIVE\n70\n0";
  out += "\n10\n0.0\n20\n0.0\n11\n1.0\n21\n1.0";
  out += Format("\n12\n%f\n22\n%f", view.cx, view.cy);
  out += "\n13\n0.0\n23\n0.0\n14\n1.0\n24\n1.0";
  out += "\n15\n0.0\n25\n0.0\n16\n0.0\n26\n0.0";
  out += "\n36\n1.0\n17\n0.0\n27\n0.0\n37\n0.0";
  out += Format("\n40\n%f\n41\n%f", view.height, view.aspect);
  out += "\n42\n50.0\n43\n0.0\n44\n0.0\n50\n0.0\n51\n0.0";
  out += "\n71\n0\n72\n100\n73\n1\n74\n3\n75\n0\n76\n0\n77\n0\n78\n0";
  out += "\n0\nENDTAB\n0\nENDSEC\n";

  out += "0\nSECTION\n2\nENTITIES";
  for (const auto& p : m_Points) {
    out += "\n0\nPOINT";
    out += "\n8\nASDK_POINT\n62\n1";
    out += Format("\n10\n%f\n20\n%f\n30\n%f", p.x, p.y, p.h);
  }

  // Known points: an equilateral triangle of circumradius s around the point, apex west.
  const double s = view.height / kTriangleDivisor;
  for (const auto& p : m_Points) {
    const bool known = m_KnownNames ? m_KnownNames->count(NormalizeName(p.name)) > 0 : std::fabs(p.e) < kKnownPointAxis;
    if (!known) continue;
    out += "\n0\nPOLYLINE";
    out += "\n8\nASDK_CONTROL\n62\n1\n66\n1";
    out += "\n10\n0.0\n20\n0.0\n30\n0.0";
    out += "\n70\n1";
    const double vertices[3][2] = {{p.x + s / 2, p.y - kHalfSqrt3 * s}, {p.x + s / 2, p.y + kHalfSqrt3 * s}, {p.x - s, p.y}};
    for (const auto& v : vertices) out += Format("\n0\nVERTEX\n8\nASDK_LINE\n10\n%f\n20\n%f\n30\n0.0", v[0], v[1]);
    out += "\n0\nSEQEND\n8\n0";
  }

  // Names compare exactly; a name given twice takes its last point.
  std::unordered_map<std::string, const CDXFPoint*> byName;
  for (const auto& p : m_Points) byName[p.name] = &p;
  for (const auto& line : m_Lines) {
    auto a = byName.find(line.from), b = byName.find(line.to);
    if (a == byName.end() || b == byName.end()) {
      if (skipped) skipped->push_back(line.from + "-" + line.to);
      continue;
    }
    out += "\n0\nLINE";
    out += "\n8\nASDK_LINE\n6\nCONTINUOUS\n62\n5";
    out += Format("\n10\n%f\n20\n%f\n11\n%f\n21\n%f", a->second->x, a->second->y, b->second->x, b->second->y);
  }

  const double th = view.height / kTextDivisor;
  for (const auto& p : m_Points) {
    out += "\n0\nTEXT";
    out += "\n8\nASDK_TEXT\n62\n0";
    out += Format("\n10\n%f\n20\n%f\n30\n%f", p.x, p.y, p.h);
    out += Format("\n40\n%f", th);
    out += "\n1\n" + p.name;
  }
  out += "\n0\nENDSEC";
  out += "\n0\nEOF";
  return out;
}

int CDXF::WriteDXF(const std::string& chosen) {
  if (m_Points.empty()) return 0;
  const std::string path = OutputName(chosen);
  if (!CheckOutputReplacesNoData(path, m_Inputs)) return 0;
  std::vector<std::string> skipped;
  const std::string text = DxfText(&skipped);
  if (!skipped.empty())
    ShowMessage(Format(UiText(u8"基线%s的端点不在坐标文件中，未画入网图!"), ShortList(skipped).c_str()), AppTitle());
  if (!WriteFileAtomically(path, text)) {
    ShowMessage(Format(UiText(u8"打开文件%s出错!"), PathToGbk(path).c_str()), AppTitle());
    return 0;
  }
  ShowMessage(UiText(u8"已生成AutoCAD格式的网图文件!"), AppTitle(), MessageIcon::Information);
  return 1;
}

int CDXF::WriteDXF() {
  std::string chosen = ChooseOne(false, TrNoop(u8"DXF文件(*.dxf)"), "*.dxf");
  if (chosen.empty()) return 0;
  return WriteDXF(chosen);
}

int RunDxfExport() {
  CDXF dxf;
  // A cancelled or unreadable choice leaves the drawing without points or lines.
  const std::string points = ChooseOne(true, TrNoop(u8"坐标文件(*.GPS3dXYHEFT)"), "*.GPS3dXYHEFT");
  if (!points.empty()) dxf.LoadPoints(points);
  const std::string lines = ChooseOne(true, TrNoop(u8"基线向量文件(*.GPS3dVector)"), "*.GPS3dVector");
  if (!lines.empty()) dxf.LoadLines(lines);
  return dxf.WriteDXF();
}

}  // namespace vemo

#include "tools/VemoGPSDoc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>
#include <filesystem>

#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"

namespace vemo {

namespace {

// The readers' line buffer of the coordinate and vector files.
constexpr int kMapLineBuffer = 300;
// A range is rounded up to a number of decimals of metres per millimetre.
double RoundUpScale(double metresPerMm, int decimals) {
  const double unit = std::pow(10.0, decimals);
  return std::ceil(metresPerMm * unit) / unit;
}
// The scale of a map with no extent at all (a single point): 1:1000.
constexpr double kSinglePointScale = 1.0;

// The points by name, for the baselines' ends: an open-addressed table of indices, which a
// vector file of half a million lines in random order looks up with one cache miss for the
// slot and one for the point's name, where a node-based map takes several. A name given twice
// finds its last point.
class CPointIndex {
 public:
  explicit CPointIndex(const std::vector<CMapPoint>& points) : m_Points(points) {
    size_t capacity = 16;
    while (capacity < points.size() * 2) capacity <<= 1;
    m_Slots.assign(capacity, Slot{});
    m_Mask = capacity - 1;
    for (size_t i = 0; i < points.size(); ++i) {
      Slot& slot = m_Slots[Probe(points[i].name)];
      slot.index = static_cast<int>(i);
      slot.tag = Tag(std::hash<std::string_view>{}(points[i].name));
    }
  }
  // The index of the point of that name, -1 when there is none.
  int Find(std::string_view name) const { return m_Slots[Probe(name)].index; }

 private:
  struct Slot {
    uint32_t tag = 0;  // high bits of the name's hash: most mismatches never touch the name
    int index = -1;
  };
  static uint32_t Tag(size_t hash) { return static_cast<uint32_t>(hash >> 32) | 1u; }
  // The slot that holds the name, or the empty slot where it would go.
  size_t Probe(std::string_view name) const {
    const size_t hash = std::hash<std::string_view>{}(name);
    const uint32_t tag = Tag(hash);
    for (size_t at = hash & m_Mask;; at = (at + 1) & m_Mask) {
      const Slot& slot = m_Slots[at];
      if (slot.index < 0 || (slot.tag == tag && m_Points[static_cast<size_t>(slot.index)].name == name)) return at;
    }
  }

  const std::vector<CMapPoint>& m_Points;
  std::vector<Slot> m_Slots;
  size_t m_Mask = 0;
};

}  // namespace

bool CMapPage::IsUsable() const {
  for (double v : {width, height, left, right, top, bottom, titleBlock})
    if (!std::isfinite(v) || v < 0) return false;
  return AreaWidth() > 0 && AreaHeight() > 0 && titleBlock > 0;
}

std::string ShortList(const std::vector<std::string>& names) {
  constexpr size_t kListed = 10;
  std::string list;
  for (size_t i = 0; i < names.size() && i < kListed; ++i) list += (i ? "," : "") + names[i];
  if (names.size() > kListed) list += ",...";
  return list;
}

std::string MapPageFileName(const std::string& coordinatePath) {
  std::filesystem::path p(coordinatePath);
  p.replace_extension(".PAR");
  return ResolvePathNoCase(p.string());
}

std::string CVemoGPSDoc::CoordinateExtension(MapKind kind) {
  return Extension(kind == MapKind::Wgs84 ? ProjectFile::XYHEFT3d : ProjectFile::XYEFT2d);
}

int CVemoGPSDoc::LoadProject(MapKind kind) {
  const CProjectState& project = Project();
  const std::string coordinates = CurrentProjectFile(CoordinateExtension(kind));
  if (!FileExists(coordinates)) {
    ShowMessage(Format(UiText(u8"工程%s的坐标数据不存在，请平差后再进行此项处理!"), project.projectName.c_str()), AppTitle());
    return 0;
  }
  if (!Load(coordinates, CurrentProjectFile(ProjectFile::Vector3d), project.projectName)) return 0;
  if (const auto known = ProjectKnownNames(kind)) {
    // The result files list the known points first.
    m_KnownCount = 0;
    while (m_KnownCount < static_cast<int>(m_Points.size()) && known->count(m_Points[m_KnownCount].name))
      ++m_KnownCount;
  }
  return 1;
}

std::optional<std::unordered_set<std::string>> CVemoGPSDoc::ProjectKnownNames(MapKind kind) {
  std::string content;
  if (!ReadFileContent(CurrentProjectFile(kind == MapKind::Wgs84 ? ProjectFile::KnownXYZ : ProjectFile::KnownXY),
                       content))
    return std::nullopt;
  std::unordered_set<std::string> names;
  for (const auto& [number, line] : SplitLines(content)) {
    std::string name;
    TakeToken(CommasToBlanks(line), &name);
    if (!name.empty()) names.insert(NormalizeName(name));
  }
  return names;
}

int CVemoGPSDoc::Load(const std::string& coordinatePath, const std::string& vectorPath,
                      const std::string& projectNameGbk) {
  m_Points.clear();
  m_Lines.clear();
  m_KnownCount = 0;
  m_ProjectName = projectNameGbk;
  m_CoordinatePath = coordinatePath;
  m_VectorPath = vectorPath;
  m_Page = CMapPage();
  m_ScaleDecimals = 2;
  if (!ReadCoordinates(coordinatePath)) return 0;
  ReadLines(vectorPath);
  if (!ReadPageFile(coordinatePath)) return 0;
  Layout();
  return 1;
}

std::vector<std::string> CVemoGPSDoc::InputPaths() const {
  return {m_CoordinatePath, m_VectorPath, m_CoordinatePath.empty() ? std::string() : MapPageFileName(m_CoordinatePath)};
}

void CVemoGPSDoc::Assign(std::vector<CMapPoint> points, std::vector<CMapLine> lines, int knownCount,
                         const std::string& projectNameGbk) {
  m_Points = std::move(points);
  m_Lines.clear();
  for (const auto& l : lines)
    if (l.from >= 0 && l.to >= 0 && static_cast<size_t>(l.from) < m_Points.size() &&
        static_cast<size_t>(l.to) < m_Points.size())
      m_Lines.push_back(l);
  m_KnownCount = std::clamp(knownCount, 0, static_cast<int>(m_Points.size()));
  m_ProjectName = projectNameGbk;
  Layout();
}

int CVemoGPSDoc::ReadCoordinates(const std::string& path) {
  std::string content;
  if (!ReadRequiredFile(path, content)) return 0;
  m_Points.reserve(static_cast<size_t>(std::count(content.begin(), content.end(), '\n')) + 1);
  int lineCount = 0;
  ForEachLine(content, kMapLineBuffer, lineCount, [&](const std::string& line) {
    // The 3D result "name x y H E F T", else the plane result "name x y E F T".
    std::string name;
    double v[6] = {0, 0, 0, 0, 0, 0};
    CMapPoint point;
    int n = ScanPointLine(line, name, v, 6);
    if (n >= 7) {
      point.x = v[0], point.y = v[1], point.E = static_cast<float>(v[3]), point.F = static_cast<float>(v[4]);
      point.T = static_cast<float>(DmsToRadian(v[5]));
    } else if (n == 6) {
      point.x = v[0], point.y = v[1], point.E = static_cast<float>(v[2]), point.F = static_cast<float>(v[3]);
      point.T = static_cast<float>(DmsToRadian(v[4]));
    } else {
      return true;
    }
    // Axes beyond single precision would draw nothing sensible.
    if (!std::isfinite(point.E) || !std::isfinite(point.F) || !std::isfinite(point.T)) return true;
    point.name = NormalizeName(name);
    m_Points.push_back(std::move(point));
    return true;
  });
  if (m_Points.empty()) {
    ShowMessage(Format(UiText(u8"坐标文件%s中没有点的坐标，无法绘制网图!"), PathToGbk(path).c_str()), AppTitle());
    return 0;
  }
  // Known points come first and carry no error ellipse.
  while (m_KnownCount < static_cast<int>(m_Points.size()) && m_Points[m_KnownCount].E == 0.0f &&
         m_Points[m_KnownCount].F == 0.0f)
    ++m_KnownCount;
  return 1;
}

void CVemoGPSDoc::ReadLines(const std::string& path) {
  std::string content;
  if (!ReadFileContent(path, content)) return;  // a map without baselines
  const CPointIndex index(m_Points);
  int lineCount = 0;
  // The items are looked at in place: only the two names of a line are copied.
  std::vector<std::string_view> items;
  std::vector<std::string> missingNames;
  std::unordered_set<std::string> missingSeen;
  ForEachLine(content, kMapLineBuffer, lineCount, [&](const std::string& line) {
    const int n = GetItemViews(std::string_view(line.c_str()), items, ' ');
    std::string from, to;
    if (n == 11) {
      from = NormalizeName(items[0]), to = NormalizeName(items[1]);
    } else if (n >= 12 && items[0] == "0") {
      from = NormalizeName(items[1]), to = NormalizeName(items[2]);
    } else {
      return true;
    }
    const int f = index.Find(from), t = index.Find(to);
    if (f < 0 || t < 0) {
      const std::string& missing = f < 0 ? from : to;
      if (missingSeen.insert(missing).second) missingNames.push_back(missing);
      return true;
    }
    m_Lines.push_back({f, t});
    return true;
  });
  // One message for them all: a large file would otherwise ask for one answer per baseline.
  if (!missingNames.empty())
    ShowMessage(Format(UiText(u8"网图数据中点名：%s不存在！"), ShortList(missingNames).c_str()), AppTitle());
}

bool CVemoGPSDoc::ReadPageFile(const std::string& coordinatePath) {
  const std::string path = MapPageFileName(coordinatePath);
  std::string content;
  if (!FileExists(path) || !ReadFileContent(path, content)) return true;
  // One line of seven numbers in millimetres: width, height, left, right, top and bottom
  // margins, title block height.
  CMapPage page;
  bool read = false;
  int lineCount = 0;
  ForEachLine(content, kMapLineBuffer, lineCount, [&](const std::string& line) {
    double v[7];
    char* p = const_cast<char*>(line.c_str());
    int n = 0;
    for (; n < 7; ++n) {
      char* end = nullptr;
      v[n] = std::strtod(p, &end);
      if (end == p || !std::isfinite(v[n])) break;
      p = end;
    }
    if (n == 7) {
      page = {v[0], v[1], v[2], v[3], v[4], v[5], v[6]};
      read = true;
    }
    return false;  // only the first line
  });
  if (read && page.IsUsable() && !page.IsWithinLimit()) {
    ShowMessage(Format(UiText(u8"网图页面文件%s的页面为%.0lf×%.0lf毫米，页宽和页高不能超过%.0lf毫米，未生成网图!"),
                       PathToGbk(path).c_str(), page.width, page.height, CMapPage::kMaxSide),
                AppTitle());
    return false;
  }
  if (read && page.IsUsable()) {
    m_Page = page;
    return true;
  }
  ShowMessage(Format(UiText(u8"网图页面文件%s应为一行7个数(页宽 页高 左 右 上 下边距 图框高,毫米)，"
                       u8"且绘图区不能为空；已使用默认页面(210×297毫米)!"),
                     PathToGbk(path).c_str()),
              AppTitle());
  return true;
}

void CVemoGPSDoc::SetPage(const CMapPage& page, int scaleDecimals) {
  if (page.IsUsable() && page.IsWithinLimit()) m_Page = page;
  m_ScaleDecimals = std::clamp(scaleDecimals, 0, 6);
  Layout();
}

void CVemoGPSDoc::Layout() {
  m_XMin = m_XMax = m_YMin = m_YMax = m_EMax = 0;
  m_ShortestLine = m_LongestLine = 0;
  for (size_t i = 0; i < m_Points.size(); ++i) {
    const CMapPoint& p = m_Points[i];
    if (i == 0) {
      m_XMin = m_XMax = p.x;
      m_YMin = m_YMax = p.y;
      m_EMax = p.E;
    }
    m_XMin = std::min(m_XMin, p.x), m_XMax = std::max(m_XMax, p.x);
    m_YMin = std::min(m_YMin, p.y), m_YMax = std::max(m_YMax, p.y);
    m_EMax = std::max(m_EMax, static_cast<double>(p.E));
  }
  for (size_t i = 0; i < m_Lines.size(); ++i) {
    const CMapPoint& a = m_Points[m_Lines[i].from];
    const CMapPoint& b = m_Points[m_Lines[i].to];
    double length = std::hypot(b.x - a.x, b.y - a.y);
    if (i == 0) m_ShortestLine = m_LongestLine = length;
    m_ShortestLine = std::min(m_ShortestLine, length);
    m_LongestLine = std::max(m_LongestLine, length);
  }

  // A range that is not finite (coordinates far apart beyond double range) is no extent.
  auto scaleOf = [this](double range, double area) {
    double s = RoundUpScale(range / area, m_ScaleDecimals);
    return std::isfinite(s) && s > 0 ? s : 0.0;
  };
  m_ScaleX = scaleOf(m_XMax - m_XMin, m_Page.AreaHeight());
  m_ScaleY = scaleOf(m_YMax - m_YMin, m_Page.AreaWidth());
  m_Scale = std::max(m_ScaleX, m_ScaleY);
  if (m_Scale <= 0) m_Scale = kSinglePointScale;
  if (m_ScaleX <= 0) m_ScaleX = m_Scale;
  if (m_ScaleY <= 0) m_ScaleY = m_Scale;
  const double absEMax = std::fabs(m_EMax);
  m_EllipseFactor = absEMax > 0 ? 1000.0 * m_Scale / absEMax : 0.0;
}

double CVemoGPSDoc::EllipseOnPaper(double cm) const {
  // (E / 100) / s x f, which is 10 mm x E / Emax.
  return HasEllipses() ? (cm / 100.0) / m_Scale * m_EllipseFactor : 0.0;
}

std::string CVemoGPSDoc::Title() const { return Format(T(u8"%s控制网网图"), m_ProjectName.c_str()); }

std::string CVemoGPSDoc::ScaleLine(bool sameScale) const {
  std::string line = sameScale ? Format(T(u8"网图 1:%.0lf"), m_Scale * 1000.0)
                               : Format(T(u8"网图X 1:%.0lf   网图Y 1:%.0lf"), m_ScaleX * 1000.0, m_ScaleY * 1000.0);
  // Without an ellipse the ellipse scale has no value.
  if (HasEllipses()) line += Format(T(u8"   椭圆 1:%.3lf"), m_Scale * 1000.0 / m_EllipseFactor);
  return line;
}

}  // namespace vemo

// The network map document: the adjusted points with their error ellipses, the used
// baselines, the extents, the page and the two scales of the map. It is loaded once from a
// coordinate file (".GPS3dXYHEFT" or ".GPS2dXYEFT") and the project's vector file, and then
// only read: every target (screen, printer, SVG, PDF, PNG) draws the same document through
// DrawNetworkMap (tools/NetworkMapPainter.h).
//
// Ground coordinates are metres, x northing and y easting; paper measures are millimetres.
#pragma once

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace vemo {

struct CMapPoint {
  std::string name;  // GBK, trimmed and upper-cased
  double x = 0;      // northing (m)
  double y = 0;      // easting (m)
  float E = 0;       // semi-major axis of the error ellipse (cm)
  float F = 0;       // semi-minor axis (cm)
  float T = 0;       // azimuth of the major axis from north, clockwise (radians)
  std::string label;  // GBK, drawn after the name when not empty (map --geoid: the orthometric height)
};

struct CMapLine {
  int from = 0, to = 0;  // indices into the points
};

// The page of the map in millimetres: size, margins and the title block at its foot.
struct CMapPage {
  double width = 210.0, height = 297.0;
  double left = 10.0, right = 10.0, top = 10.0, bottom = 10.0;
  double titleBlock = 10.0;
  // Space between the drawing area and the title block.
  static constexpr double kTitleGap = 5.0;

  // The drawing area: from the left margin to the width less the right margin, from the top
  // margin to the height less the bottom margin, the title block and the gap.
  double AreaLeft() const { return left; }
  double AreaTop() const { return top; }
  double AreaWidth() const { return width - left - right; }
  double AreaHeight() const { return height - top - bottom - titleBlock - kTitleGap; }
  // Whether every measure is finite and the drawing area and title block are not empty.
  bool IsUsable() const;
  // No sheet or roll is longer than this (mm); the pictures of a larger page would need
  // gigabytes.
  static constexpr double kMaxSide = 3000.0;
  bool IsWithinLimit() const { return width <= kMaxSide && height <= kMaxSide; }
};

// Which of the two map commands: the 3D result in WGS-84 (as projected) or the plane result
// of the local grid.
enum class MapKind { Wgs84, Local };

class CVemoGPSDoc {
 public:
  // Loads a coordinate file and the vector file, reads the page file beside the coordinate
  // file when there is one, and computes the scales. projectNameGbk goes into the title.
  // Returns 0 when the coordinate file cannot be read ("打开文件%s出错!" shown), holds no
  // point, or the page file asks for a page beyond CMapPage::kMaxSide (a message says so). A
  // missing vector file only leaves the map without lines; lines naming unknown points are
  // left out, and the names are listed in one "网图数据中点名：%s不存在！".
  int Load(const std::string& coordinatePath, const std::string& vectorPath, const std::string& projectNameGbk);

  // The map of the current project: its coordinate file of the kind and its vector file.
  // A missing coordinate file: "工程%s的坐标数据不存在，请平差后再进行此项处理!" and 0.
  // The known points are those of the project's known-point file of the kind (a point whose
  // error ellipse merely rounds to zero is still adjusted); without that file, the leading
  // points without an ellipse.
  int LoadProject(MapKind kind);
  static std::string CoordinateExtension(MapKind kind);
  // The names of the current project's known points for a map of the kind (the 3D or the
  // plane known-point file), normalised; nullopt when that file cannot be read.
  static std::optional<std::unordered_set<std::string>> ProjectKnownNames(MapKind kind);

  // Computes the extents, the scales and the ellipse factor again, for instance after the
  // page was changed.
  void Layout();

  const std::vector<CMapPoint>& Points() const { return m_Points; }
  void SetLabel(size_t index, std::string labelGbk) {
    if (index < m_Points.size()) m_Points[index].label = std::move(labelGbk);
  }
  const std::vector<CMapLine>& Lines() const { return m_Lines; }
  int KnownCount() const { return m_KnownCount; }
  bool IsKnown(size_t index) const { return index < static_cast<size_t>(m_KnownCount); }
  const std::string& ProjectName() const { return m_ProjectName; }  // GBK
  const std::string& CoordinatePath() const { return m_CoordinatePath; }
  // The files the document was loaded from: coordinates, vectors and the page file.
  std::vector<std::string> InputPaths() const;

  // Extents of the points (m) and the largest semi-major axis (cm).
  double XMin() const { return m_XMin; }
  double XMax() const { return m_XMax; }
  double YMin() const { return m_YMin; }
  double YMax() const { return m_YMax; }
  double EMax() const { return m_EMax; }
  // Shortest and longest plane length of the drawn lines (m); 0 without lines.
  double ShortestLine() const { return m_ShortestLine; }
  double LongestLine() const { return m_LongestLine; }

  const CMapPage& Page() const { return m_Page; }
  // Another page (an unusable one is ignored) and the decimals to which the scales are
  // rounded up (2 on the document's page, 1 on a printer's); the scales follow.
  void SetPage(const CMapPage& page, int scaleDecimals = 2);

  // Scales in metres of ground per millimetre of paper: ScaleX for the northing (drawn up),
  // ScaleY for the easting (drawn right), Scale the larger, used for both axes with "相同比例".
  // Each is the range over the drawing area rounded up to two decimals; an axis without
  // extent takes the other's scale, and a single point 1 m/mm.
  double Scale() const { return m_Scale; }
  double ScaleX() const { return m_ScaleX; }
  double ScaleY() const { return m_ScaleY; }
  // The ellipse factor f = 1000 s / Emax (the largest ellipse has a semi-major axis of
  // 10 mm); 0 when no point has an ellipse (Emax = 0), and then none is drawn.
  double EllipseFactor() const { return m_EllipseFactor; }
  bool HasEllipses() const { return m_EllipseFactor > 0; }
  // Semi-axes on paper (mm) of an ellipse given in centimetres.
  double EllipseOnPaper(double cm) const;

  // The title "%s控制网网图" and the scale line, GBK.
  std::string Title() const;
  std::string ScaleLine(bool sameScale) const;

  // Builds a document from points and lines already read (tests, the desktop's previews).
  void Assign(std::vector<CMapPoint> points, std::vector<CMapLine> lines, int knownCount,
              const std::string& projectNameGbk);

 private:
  int ReadCoordinates(const std::string& path);
  void ReadLines(const std::string& path);
  bool ReadPageFile(const std::string& coordinatePath);

  std::vector<CMapPoint> m_Points;
  std::vector<CMapLine> m_Lines;
  int m_KnownCount = 0;
  std::string m_ProjectName, m_CoordinatePath, m_VectorPath;
  double m_XMin = 0, m_XMax = 0, m_YMin = 0, m_YMax = 0, m_EMax = 0;
  double m_ShortestLine = 0, m_LongestLine = 0;
  CMapPage m_Page;
  int m_ScaleDecimals = 2;
  double m_Scale = 1, m_ScaleX = 1, m_ScaleY = 1, m_EllipseFactor = 0;
};

// The first ten of a list of names, comma-separated, with ",..." after them when there are more:
// one message for every name a drawing could not place.
std::string ShortList(const std::vector<std::string>& names);

// The name of the page file that belongs to a coordinate file: its name with the extension
// ".PAR" in its place, found without regard to letter case.
std::string MapPageFileName(const std::string& coordinatePath);

}  // namespace vemo

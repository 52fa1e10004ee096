// The DXF export of the network map ("输出ACAD_DXF网图"): the adjusted points of a
// ".GPS3dXYHEFT" file as POINT entities with their names as TEXT, known points with a
// triangle, and the used baselines of a ".GPS3dVector" file as LINE entities. The command
// does not need a project: both inputs and the output are chosen in file dialogs.
#pragma once

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace vemo {

// One point of the drawing. x is the easting and y the northing (the file's second and first
// numbers), so that east is to the right and north up; h the height; e, f the semi-axes of
// the error ellipse and t its azimuth, as the file gives them.
struct CDXFPoint {
  std::string name;  // GBK, as it stands in the file
  double x = 0, y = 0, h = 0, e = 0, f = 0, t = 0;
};

struct CDXFLine {
  std::string from, to;  // GBK
};

class CDXF {
 public:
  // Names longer than the 29 characters of the point record are reported and left out.
  static constexpr int kMaxName = 29;
  // A point whose semi-major axis is below this (m) is a known point and gets a triangle.
  static constexpr double kKnownPointAxis = 1e-6;

  // Beyond this (m) a coordinate makes no drawing: the view's range and centre would overflow.
  static constexpr double kMaxCoordinate = 1e9;

  // Reads a coordinate file: lines of "name X Y H E F T" (seven items), others skipped.
  // False after "打开文件%s出错!" when it cannot be read, and after a message naming the file
  // and the point when a coordinate is beyond kMaxCoordinate.
  static bool ReadPointFile(const std::string& path, std::vector<CDXFPoint>& points);
  // Reads a vector file: 11-item lines give their first two items, 12-item lines flagged "0"
  // their second and third; a line flagged "1" is not used. False after "打开文件%s出错!".
  static bool ReadLineFile(const std::string& path, std::vector<CDXFLine>& lines);

  // Reads the drawing's points or lines from a file and keeps its path as an input, which the
  // output may not replace. False as the readers above.
  bool LoadPoints(const std::string& path);
  bool LoadLines(const std::string& path);

  void SetPoints(std::vector<CDXFPoint> points) { m_Points = std::move(points); }
  const std::vector<CDXFPoint>& Points() const { return m_Points; }
  void SetLines(std::vector<CDXFLine> lines) { m_Lines = std::move(lines); }
  // The names (normalised) of the known points, which get the triangle; without a list, a
  // point whose semi-major axis is below kKnownPointAxis is taken as known.
  void SetKnownNames(std::unordered_set<std::string> names) { m_KnownNames = std::move(names); }

  // The text of the drawing. A line whose end is not a point of the list is left out and
  // named in skipped ("FROM-TO"). Empty without points.
  std::string DxfText(std::vector<std::string>* skipped = nullptr) const;

  // The output name of a chosen name: ".dxf" is always appended (net.dxf gives net.dxf.dxf).
  static std::string OutputName(const std::string& chosen);

  // Writes the drawing to OutputName(chosen) and shows "已生成AutoCAD格式的网图文件!".
  // Without points nothing is written (0, no message). A line that could not be drawn is
  // reported first. An output that is one of the loaded inputs or a project data file is
  // refused (0); one that cannot be written: "打开文件%s出错!" and 0.
  int WriteDXF(const std::string& chosen);

  // The Save dialog of the menu command, then WriteDXF; 0 when cancelled.
  int WriteDXF();

 private:
  std::vector<CDXFPoint> m_Points;
  std::vector<CDXFLine> m_Lines;
  std::optional<std::unordered_set<std::string>> m_KnownNames;
  std::vector<std::string> m_Inputs;
};

// The command: the point file, the line file and the output, each chosen in its dialog.
// Returns 1 when the drawing was written.
int RunDxfExport();

}  // namespace vemo

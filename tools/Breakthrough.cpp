#include "tools/Breakthrough.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "adjust/ReportFile.h"
#include "adjust/Solution.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"
#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

namespace vemo {

namespace {

// The guide file is read with a line buffer of this many characters; names hold 19.
constexpr int kGuideLineBuffer = 150;
constexpr int kGuideNameLength = 19;
// Below this the minor axis of the discrepancy ellipse is taken as 0.
constexpr double kSmallestMinorVariance = 1e-10;

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

// One line of the guide file: four control point names, the breakthrough point, its x, y and
// the azimuth of the lateral direction (D.MMSS). False when it does not yield all 8 items.
struct GuideLine {
  std::string names[5];
  double values[3] = {0, 0, 0};
};

bool ScanGuideLine(const std::string& text, GuideLine& guide) {
  const std::string line = CommasToBlanks(text);
  std::string_view rest = line;
  for (int i = 0; i < 4; ++i) rest = TakeToken(rest, &guide.names[i]);
  if (ScanPointLine(rest, guide.names[4], guide.values, 3) != 4) return false;
  for (const std::string& name : guide.names)  // a longer name does not fit the reader's buffer
    if (name.empty() || name.size() > static_cast<size_t>(kGuideNameLength)) return false;
  return true;
}

// Whitespace-separated items of a line of the extract, read in turn.
class ItemReader {
 public:
  explicit ItemReader(std::string_view text) : m_Rest(text) {}
  bool Name(std::string& name) {
    m_Rest = TakeToken(m_Rest, &name);
    return !name.empty();
  }
  bool Number(double& value) {
    std::string item;
    if (!Name(item)) return false;
    char* end = nullptr;
    value = std::strtod(item.c_str(), &end);
    return end == item.c_str() + item.size() && std::isfinite(value);
  }
  bool AtEnd() {
    std::string item;
    return !Name(item);
  }

 private:
  std::string_view m_Rest;
};

// One block of the extract, as the extraction writes it in kBlockLines lines: the unit weight
// error (cm) and the azimuth of the lateral direction (D.MMSS); the four control points and the
// breakthrough point, "name x y"; the eight rows of their cofactor matrix.
constexpr int kBlockLines = 14;
struct ExtractBlock {
  int firstLine = 0;  // its line in the file, counted from 1
  double m0 = 0, azimuth = 0;
  std::string names[5];
  double xy[5][2] = {};
  float Q[8][8] = {};
};

// Reads line `role` (0 .. kBlockLines - 1) of a block: exactly the items the extraction writes
// there, every number finite (a cofactor within single precision, as the extract is read).
bool ReadBlockLine(std::string_view line, int role, ExtractBlock& block) {
  ItemReader items(line);
  bool ok = true;
  if (role == 0) {
    ok = items.Number(block.m0) && block.m0 >= 0.0 && items.Number(block.azimuth);
  } else if (role <= 5) {
    const int p = role - 1;
    ok = items.Name(block.names[p]) && items.Number(block.xy[p][0]) && items.Number(block.xy[p][1]);
  } else {
    float* row = block.Q[role - 6];
    for (int j = 0; j < 8 && ok; ++j) {
      double value = 0.0;
      ok = items.Number(value) && std::fabs(value) <= std::numeric_limits<float>::max();
      row[j] = static_cast<float>(value);  // the extract is read into single precision
    }
  }
  return ok && items.AtEnd();
}

// The blocks of the extract. A file the extraction did not write whole (a line damaged or
// missing, the last line without its line end, a block cut short) or one without any block is
// refused: false after the message naming the file and the line.
bool ReadExtract(const std::string& path, const std::string& content, std::vector<ExtractBlock>& blocks) {
  auto refuse = [&](int line) {
    Warn(Format(UiText(u8"贯通误差数据文件%s第 %d 行读取数据错误，该文件已损坏或不完整!\n请重新进行二维网平差以重新生成该文件。"),
                PathToGbk(path).c_str(), line));
    return false;
  };
  const std::vector<std::pair<int, std::string>> lines = SplitLines(content);
  // The extraction ends every line with its line feed: a last line without one was cut.
  if (!content.empty() && content.back() != '\n') return refuse(lines.back().first);
  int role = 0;
  for (const auto& [number, line] : lines) {
    if (IsSpaceString(line.c_str())) continue;
    if (role == 0) blocks.push_back({}), blocks.back().firstLine = number;
    if (!ReadBlockLine(line, role, blocks.back())) return refuse(number);
    role = (role + 1) % kBlockLines;
  }
  if (role != 0) return refuse(lines.back().first + 1);  // the block ends before its last row
  if (blocks.empty()) {
    Warn(Format(UiText(u8"贯通误差数据文件%s中没有贯通点的数据，未计算贯通误差!\n请检查贯通误差引导文件后重新进行二维网平差。"),
                PathToGbk(path).c_str()));
    return false;
  }
  return true;
}

}  // namespace

int ExtractBreakthroughData(const std::vector<std::string>& names, const std::vector<double>& x,
                            const std::vector<double>& y, int knownCount, double m0, const CofactorFunction& cofactor,
                            const char* extractExtension) {
  const std::string guidePath = CurrentProjectFile(ProjectFile::BreakthroughGuide);
  if (!FileExists(guidePath)) return 1;
  std::string content;
  if (!ReadFileContent(guidePath, content)) {
    OpenFileError(guidePath);
    return 0;
  }
  const std::string extractPath = CurrentProjectFile(extractExtension);
  CReportFile out;
  if (!out.Create(extractPath)) {
    OpenFileError(extractPath);
    return 0;
  }
  CTextLineReader reader(content, kGuideLineBuffer);
  std::string text;
  while (reader.Next(text)) {
    if (IsSpaceString(text.c_str())) continue;
    GuideLine guide;
    if (!ScanGuideLine(text, guide)) {
      Warn(Format(UiText(u8"读贯通误差引导文件%d行出错"), reader.LineCount()));
      continue;
    }
    int point[4];
    bool found = true;
    for (int i = 0; i < 4 && found; ++i) {
      point[i] = -1;
      for (size_t p = 0; p < names.size(); ++p)
        if (names[p] == guide.names[i]) {
          point[i] = static_cast<int>(p);
          break;
        }
      if (point[i] < 0) {
        Warn(Format(UiText(u8"点%s不存在!"), guide.names[i].c_str()));
        found = false;
      }
    }
    if (!found) continue;
    out.Printf("%f %.7lf\n", m0 * 100.0, guide.values[2]);
    for (int i = 0; i < 4; ++i) out.Printf("%s %.4lf %.4lf\n", guide.names[i].c_str(), x[point[i]], y[point[i]]);
    out.Printf("%s %.4lf %.4lf\n", guide.names[4].c_str(), guide.values[0], guide.values[1]);
    for (int i = 0; i < 4; ++i)
      for (int row = 0; row < 2; ++row) {
        const int r = 2 * (point[i] - knownCount) + row;
        for (int j = 0; j < 4; ++j) {
          const int c = 2 * (point[j] - knownCount);
          const bool known = point[i] < knownCount || point[j] < knownCount;
          const double qx = known ? 0.0 : cofactor(r, c), qy = known ? 0.0 : cofactor(r, c + 1);
          out.Printf(j < 3 ? "%.12f %.12f " : "%.12f %.12f\n", qx, qy);
        }
      }
  }
  if (!out.Close()) {
    WriteFileError(extractPath, AppTitle());
    return 0;
  }
  return 1;
}

BreakthroughErrors ComputeBreakthrough(double m0, double azimuthDms, const double xy[5][2], const float Q[8][8]) {
  const double xA = xy[0][0], yA = xy[0][1], xB = xy[1][0], yB = xy[1][1];
  const double xC = xy[2][0], yC = xy[2][1], xD = xy[3][0], yD = xy[3][1];
  const double xP = xy[4][0], yP = xy[4][1];
  // Directions of the two sightings: derivative of their azimuths by the coordinates.
  const double dxAB = xB - xA, dyAB = yB - yA, sAB = dxAB * dxAB + dyAB * dyAB;
  const double p = dxAB / sAB, q = dyAB / sAB;
  const double dxCD = xD - xC, dyCD = yD - yC, sCD = dxCD * dxCD + dyCD * dyCD;
  const double pC = dxCD / sCD, qC = dyCD / sCD;
  const double u = xP - xA, w = xP - xC, v = yP - yA, z = yP - yC;
  const double gy[8] = {q * u, 1 - p * u, -q * u, p * u, -qC * w, -(1 - pC * w), qC * w, -pC * w};
  const double gx[8] = {1 - q * v, p * v, q * v, -p * v, -(1 - qC * z), -pC * z, -qC * z, pC * z};
  double Sxx = 0, Syy = 0, Sxy = 0;
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 8; ++j) {
      Sxx += gx[i] * Q[i][j] * gx[j];
      Syy += gy[i] * Q[i][j] * gy[j];
      Sxy += gx[i] * Q[i][j] * gy[j];
    }
  const CEllipse ellipse = ErrorEllipse(Sxx, Syy, Sxy);
  const double phi = ellipse.direction;
  const double mean = ellipse.mean;
  const double r = std::min(ellipse.radius, mean);
  BreakthroughErrors e;
  e.E = m0 * std::sqrt(std::max(0.0, mean + r));
  e.F = mean - r >= kSmallestMinorVariance ? m0 * std::sqrt(mean - r) : 0.0;
  double alpha = DmsToRadian(azimuthDms) - phi;
  if (alpha < 0.0) alpha += PI;
  const double c = std::cos(alpha), s = std::sin(alpha);
  e.lateral = std::sqrt(e.E * e.E * c * c + e.F * e.F * s * s);
  const double c2 = std::cos(alpha + PI / 2.0), s2 = std::sin(alpha + PI / 2.0);
  e.longitudinal = std::sqrt(e.E * e.E * c2 * c2 + e.F * e.F * s2 * s2);
  e.majorAzimuth = phi;
  return e;
}

int ComputeBreakthroughErrors() {
  const std::string extractPath = CurrentProjectFile(ProjectFile::BreakthroughExtract);
  if (!FileExists(extractPath)) {
    Warn(UiText(u8"没建立贯通误差引导文件\n请建立引导文件后重新平差\n然后再计算贯通误差"));
    return 0;
  }
  std::string content;
  if (!ReadFileContent(extractPath, content)) {
    OpenFileError(extractPath);
    return 0;
  }
  // Every block is read and computed before the report is begun: a damaged extract, or a block
  // that cannot be computed, leaves no report that would pass for the whole table.
  std::vector<ExtractBlock> blocks;
  if (!ReadExtract(extractPath, content, blocks)) return 0;
  std::vector<BreakthroughErrors> errors;
  for (const ExtractBlock& b : blocks) {
    const BreakthroughErrors e = ComputeBreakthrough(b.m0, b.azimuth, b.xy, b.Q);
    if (!(std::isfinite(e.lateral) && std::isfinite(e.longitudinal) && std::isfinite(e.majorAzimuth))) {
      // A station that coincides with its sighting point has no direction to carry.
      Warn(Format(UiText(u8"测站%s与照准点%s或测站%s与照准点%s重合(贯通误差数据文件%s第 %d 行起)，无法计算贯通误差!"),
                  b.names[0].c_str(), b.names[1].c_str(), b.names[2].c_str(), b.names[3].c_str(),
                  PathToGbk(extractPath).c_str(), b.firstLine));
      return 0;
    }
    errors.push_back(e);
  }
  const std::string reportPath = CurrentProjectFile(ProjectFile::BreakthroughReport);
  CReportFile report;
  if (!report.Create(reportPath)) {
    OpenFileError(reportPath);
    return 0;
  }
  report.Write(T(u8"=================================== 贯通点横向、纵向中误差及误差椭圆元素"
                 u8"=================================\n\n"));
  report.Write(T(u8"入口测站   入口照准点     出口测站    出口照准点      横向(CM) 纵向(CM) 长轴(CM) 短轴(CM) "
                 u8"长轴方位(D.M.S)\n\n"));
  for (size_t k = 0; k < blocks.size(); ++k) {
    const std::string* names = blocks[k].names;
    const BreakthroughErrors& e = errors[k];
    report.Printf("%8s   %8s       %8s    %8s         %6.3f   %6.3f   %6.3f   %6.3f  %9.5f\n", names[0].c_str(),
                  names[1].c_str(), names[2].c_str(), names[3].c_str(), e.lateral, e.longitudinal, e.E, e.F,
                  RadianToDms(e.majorAzimuth, 5, 180.0));
  }
  if (!report.Close()) {
    WriteFileError(reportPath, AppTitle());
    return 0;
  }
  ShowMessage(UiText(u8"贯通误差计算完毕"), AppTitle(), MessageIcon::Information);
  return 1;
}

}  // namespace vemo

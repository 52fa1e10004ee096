#include "adjust3d/FreeNetworkFiles.h"

#include <charconv>
#include <cmath>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Matrix.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"

namespace vemo {

namespace {

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// A number item as "%lf" takes it, but whole and finite: "1.5x" or "nan" is a damaged file.
bool ParseItem(std::string_view item, double& v) {
  const char* first = item.data();
  const char* last = item.data() + item.size();
  if (first != last && *first == '+') ++first;  // from_chars takes no plus sign
  auto [end, ec] = std::from_chars(first, last, v);
  if (ec == std::errc() && end == last) return std::isfinite(v);
  // Leave the rare forms (hexadecimal, underflow to a subnormal) to strtod.
  auto parsed = ParseNumber(std::string(item));
  if (!parsed) return false;
  v = *parsed;
  return true;
}

}  // namespace

bool CreateResultFile(CReportFile& file, const std::string& path) {
  if (file.Create(path)) return true;
  ShowOpenFileError(path);
  return false;
}

bool CloseResultFile(CReportFile& file) {
  if (file.Close()) return true;
  WriteFileError(file.Path(), AppTitle());
  return false;
}

void WritePackedTriangle(CReportFile& file, const std::vector<double>& packed, size_t n) {
  WriteLowerTriangle(file, n, [&](size_t r, size_t c) { return packed[r * (r + 1) / 2 + c]; });
}

size_t TriangleSize(int points) {
  if (points <= 0) return 0;
  const size_t order = 3 * static_cast<size_t>(points);
  return order * (order + 1) / 2;
}

CNumberReader::CNumberReader(std::string path, std::string_view content, int line)
    : m_Path(std::move(path)), m_Rest(content), m_Line(line) {}

bool CNumberReader::NextItem(std::string_view& item) {
  size_t i = 0;
  while (i < m_Rest.size() && IsBlank(m_Rest[i])) {
    if (m_Rest[i] == '\n') ++m_Line;
    ++i;
  }
  size_t end = i;
  while (end < m_Rest.size() && !IsBlank(m_Rest[end])) ++end;
  item = m_Rest.substr(i, end - i);
  m_Rest.remove_prefix(end);
  return !item.empty();
}

bool CNumberReader::Truncated() {
  Warn(Format(UiText(u8"文件%s不完整或已损坏：文件头给出%d个点，%s应有%zu项，只读到%zu项!"), PathToGbk(m_Path).c_str(),
              m_Points, m_What, m_Expected, m_Read));
  return false;
}

bool CNumberReader::BadItem(std::string_view item) {
  std::string shown(item.substr(0, 40));
  Warn(Format(UiText(u8"文件%s第%d行的\"%s\"不是有效的数值，文件已损坏!"), PathToGbk(m_Path).c_str(), m_Line,
              shown.c_str()));
  return false;
}

bool CNumberReader::Header(int& points, int& redundancy, double& m0, int minPoints, size_t bytesPerPoint,
                           bool withTriangle) {
  std::string_view item[3];
  double values[3] = {0, 0, 0};
  bool ok = true;
  for (int i = 0; i < 3 && ok; ++i) ok = NextItem(item[i]) && ParseItem(item[i], values[i]);
  ok = ok && values[0] == std::floor(values[0]) && values[1] == std::floor(values[1]) &&
       std::fabs(values[0]) < 1e9 && std::fabs(values[1]) < 1e9 && values[2] >= 0.0 && values[0] >= minPoints;
  if (!ok) {
    Warn(Format(UiText(u8"文件%s的文件头有误，应为点数、多余观测数和单位权中误差!"), PathToGbk(m_Path).c_str()));
    return false;
  }
  points = static_cast<int>(values[0]);
  redundancy = static_cast<int>(values[1]);
  m0 = values[2];
  // A count that the rest of the file cannot hold is a damaged header or a truncated file,
  // found before anything is allocated for it.
  const double order = 3.0 * points;
  const double bytes = points * static_cast<double>(bytesPerPoint) + (withTriangle ? order * (order + 1.0) : 0.0);
  if (bytes > static_cast<double>(m_Rest.size()) + 1.0) return TooSmall(points);
  return true;
}

bool CNumberReader::TooSmall(int points) {
  Warn(Format(UiText(u8"文件%s不完整或已损坏：文件头给出%d个点，文件容纳不下这些点的数据!"), PathToGbk(m_Path).c_str(),
              points));
  return false;
}

void CNumberReader::Section(const char* whatGbk, int points, size_t expected) {
  m_What = whatGbk;
  m_Points = points;
  m_Expected = expected;
  m_Read = 0;
}

bool CNumberReader::Item(std::string& item) {
  std::string_view view;
  if (!NextItem(view)) return Truncated();
  ++m_Read;
  item.assign(view);
  return true;
}

bool CNumberReader::Number(double& v) {
  std::string_view item;
  if (!NextItem(item)) return Truncated();
  ++m_Read;
  return ParseItem(item, v) || BadItem(item);
}

bool CNumberReader::Triangle(std::vector<double>& packed, int points, bool add, const char* whatGbk) {
  const size_t size = TriangleSize(points);
  Section(whatGbk, points, size);
  if (!add) {
    // Each value takes at least two characters.
    if (static_cast<double>(size) * 2.0 > static_cast<double>(m_Rest.size()) + 1.0) return TooSmall(points);
    packed.assign(size, 0.0);
  }
  for (size_t k = 0; k < size; ++k) {
    double v;
    if (!Number(v)) return false;
    if (add)
      packed[k] += v;
    else
      packed[k] = v;
  }
  return true;
}

bool CNumberReader::AtEnd() {
  std::string_view item;
  if (!NextItem(item)) return true;
  Warn(Format(UiText(u8"文件%s在%s之后还有多余的数据(文件头给出%d个点)，文件与点数不符!"), PathToGbk(m_Path).c_str(),
              m_What, m_Points));
  return false;
}

bool CFreeCampaign::Read(const std::string& path, std::vector<double>& packed) {
  return ReadPoints(path) && ReadCofactors(packed, false);
}

bool CFreeCampaign::ReadPoints(const std::string& path) {
  m_Path = path;
  m_Content.clear();
  if (!ReadRequiredFile(path, m_Content)) return false;
  CNumberReader reader(path, m_Content);
  // A point line takes at least 8 characters ("A 0 0 0\n").
  if (!reader.Header(pointCount, redundancy, m0, 1, 8, true)) return false;
  const size_t n = static_cast<size_t>(pointCount);
  names.assign(n, std::string());
  x.assign(3 * n, 0.0);
  reader.Section(UiText(u8"点的位移"), pointCount, 4 * n);
  for (size_t i = 0; i < n; ++i)
    if (!reader.Item(names[i]) || !reader.Number(x[3 * i]) || !reader.Number(x[3 * i + 1]) ||
        !reader.Number(x[3 * i + 2]))
      return false;
  reader.Position(m_Rest, m_Line);
  return true;
}

bool CFreeCampaign::ReadCofactors(std::vector<double>& packed, bool add) {
  CNumberReader reader(m_Path, m_Rest, m_Line);
  const bool read = reader.Triangle(packed, pointCount, add, UiText(u8"协因数阵")) && reader.AtEnd();
  m_Content = std::string();
  m_Rest = std::string_view();
  return read;
}

void WriteCampaignHead(CReportFile& file, int redundancy, double m0, const std::vector<std::string>& names,
                       const std::vector<double>& x) {
  file.Printf("%5d %5d %8.2lf\n", static_cast<int>(names.size()), redundancy, m0);
  for (size_t i = 0; i < names.size(); ++i)
    file.Printf("%16s %13.2lf %13.2lf %13.2lf\n", names[i].c_str(), x[3 * i], x[3 * i + 1], x[3 * i + 2]);
}

}  // namespace vemo

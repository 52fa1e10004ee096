#include "project/data/EntryDialogs.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "project/AppState.h"
#include "project/data/DataFileReader.h"
#include "project/data/KnownPointReading.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace {

bool IsBlank(const std::string& cell) { return IsSpaceString(cell.c_str()) != 0; }

// The leading columns that hold point names: the from and to points of a ground observation.
size_t NameColumns(EntryKind kind) { return kind == EntryKind::Distance || kind == EntryKind::Azimuth ? 2 : 1; }


// A cell converted as a decimal number: text that is no number gives 0.
double CellNumber(const std::string& cell) {
  std::string text = Trim(cell);
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  return end == text.c_str() || !std::isfinite(v) ? 0.0 : v;
}

std::string CellText(double v, const char* format) { return Format(format, v); }

void ShowReadFailure(const CEntryGridRecord& grid, const char* cause) {
  if (grid.kind == EntryKind::KnownXY) {
    ShowMessage(UiText(u8"存取二维已知点坐标错误!"), AppTitle(), MessageIcon::Warning);
  } else if (grid.kind == EntryKind::KnownH) {
    ShowMessage(Format(UiText(u8"读取文件%s出错: %s"), PathToGbk(grid.fileName).c_str(), Utf8ToGbk(cause).c_str()),
                AppTitle(), MessageIcon::Warning);
  } else {
    ShowOpenFileError(grid.fileName);
  }
}

void ShowWriteFailure(const CEntryGridRecord& grid, const std::string& cause) {
  if (grid.kind == EntryKind::KnownXY) {
    ShowMessage(UiText(u8"存取二维已知点坐标错误!"), AppTitle(), MessageIcon::Warning);
  } else if (grid.kind == EntryKind::KnownH) {
    ShowMessage(Format(UiText(u8"写入文件%s出错: %s"), PathToGbk(grid.fileName).c_str(), Utf8ToGbk(cause).c_str()),
                AppTitle(), MessageIcon::Warning);
  } else {
    ShowOpenFileError(grid.fileName);
  }
}

// The cells of one line of the file, or false when the dialog does not load that line. A line
// whose items the row cannot all hold ("K3 abc 1 2", a fifth value) is not loaded either:
// "确认" would rewrite it without them, so it goes to the lines that are asked about.
bool LoadLine(EntryKind kind, const std::string& text, std::vector<std::string>& cells) {
  std::string name, to;
  double v[3];
  switch (kind) {
    case EntryKind::KnownXYZ: {
      // The loader reads commas in this file as blanks; so does the grid, or "确认" would
      // turn a comma-separated point into a bare name.
      const std::string line = CommasToBlanks(text);
      int n = ScanPointLine(line, name, v, 3);
      if (n < 1 || CountBlankSeparatedItems(line) != n) return false;
      cells = {name, "", "", ""};
      if (n == 2) cells[3] = CellText(v[0], "%.9lf");
      if (n >= 3) cells[1] = CellText(v[0], "%.9lf"), cells[2] = CellText(v[1], "%.9lf");
      if (n == 4) cells[3] = CellText(v[2], "%.9lf");
      return true;
    }
    case EntryKind::KnownXY:
      if (ScanPointLine(text, name, v, 2) != 3 || CountBlankSeparatedItems(text) != 3) return false;
      cells = {name, CellText(v[0], "%lf"), CellText(v[1], "%lf")};
      return true;
    case EntryKind::KnownH: {
      const std::string line = CommasToBlanks(text);  // commas as for the loader
      if (ScanPointLine(line, name, v, 1) != 2 || CountBlankSeparatedItems(line) != 2) return false;
      cells = {name, CellText(v[0], "%lf")};
      return true;
    }
    case EntryKind::Distance:
    case EntryKind::Azimuth:
      if (ScanPairLine(text, name, to, v, 2) != 4 || CountBlankSeparatedItems(text) != 4) return false;
      cells = {name, to, CellText(v[0], "%lf"), CellText(v[1], "%lf")};
      return true;
  }
  return false;
}

}  // namespace

const char* EntryTitle(EntryKind kind) {
  switch (kind) {
    case EntryKind::KnownXYZ: return TrNoop(u8"输入三维已知坐标");
    case EntryKind::KnownXY: return TrNoop(u8"输入二维已知坐标");
    case EntryKind::KnownH: return TrNoop(u8"输入一维高程点");
    case EntryKind::Distance: return TrNoop(u8"  输入地面边长");
    case EntryKind::Azimuth: return TrNoop(u8"输入地面方位角");
  }
  return "";
}

std::vector<std::string> EntryColumns(EntryKind kind) {
  switch (kind) {
    case EntryKind::KnownXYZ: return {TrNoop(u8"点名"), TrNoop(u8"X坐标/B"), TrNoop(u8"Y坐标/L"), TrNoop(u8"Z坐标/H")};
    case EntryKind::KnownXY: return {TrNoop(u8"点名"), TrNoop(u8"X坐标"), TrNoop(u8"Y坐标")};
    case EntryKind::KnownH: return {TrNoop(u8"点名"), TrNoop(u8"H高程")};
    case EntryKind::Distance: return {TrNoop(u8"起点"), TrNoop(u8"终点"), TrNoop(u8"边长值"), TrNoop(u8"中误差(cm)")};
    case EntryKind::Azimuth: return {TrNoop(u8"起点"), TrNoop(u8"终点"), TrNoop(u8"方位角"), TrNoop(u8"中误差(秒)")};
  }
  return {};
}

std::vector<std::string> EntryColumnHeaders(EntryKind kind) {
  switch (kind) {
    case EntryKind::KnownXYZ: return {TrNoop(u8"点名"), TrNoop(u8"X坐标(m)/B(D.MMSS)"), TrNoop(u8"Y坐标(m)/L(D.MMSS)"), TrNoop(u8"Z坐标/H(m)")};
    case EntryKind::KnownXY: return {TrNoop(u8"点名"), TrNoop(u8"X坐标(m)"), TrNoop(u8"Y坐标(m)")};
    case EntryKind::KnownH: return {TrNoop(u8"点名"), TrNoop(u8"H高程(m)")};
    case EntryKind::Distance: return {TrNoop(u8"起点"), TrNoop(u8"终点"), TrNoop(u8"边长值(m)"), TrNoop(u8"中误差(cm)")};
    case EntryKind::Azimuth: return {TrNoop(u8"起点"), TrNoop(u8"终点"), TrNoop(u8"方位角(D.MMSS)"), TrNoop(u8"中误差(秒)")};
  }
  return {};
}

bool IsEntryValueColumn(EntryKind kind, size_t column) { return column >= NameColumns(kind); }

const char* EntryExtension(EntryKind kind) {
  switch (kind) {
    case EntryKind::KnownXYZ: return Extension(ProjectFile::KnownXYZ);
    case EntryKind::KnownXY: return Extension(ProjectFile::KnownXY);
    case EntryKind::KnownH: return Extension(ProjectFile::KnownH);
    case EntryKind::Distance: return Extension(ProjectFile::Distance);
    case EntryKind::Azimuth: return Extension(ProjectFile::Azimuth);
  }
  return "";
}

void LoadEntryGrid(CEntryGridRecord& grid, const std::string& content) {
  grid.rows.clear();
  grid.linesNotLoaded.clear();
  for (const auto& [number, line] : SplitLines(content)) {
    if (IsBlank(line)) continue;
    std::vector<std::string> cells;
    if (LoadLine(grid.kind, line, cells)) grid.rows.push_back(std::move(cells));
    else grid.linesNotLoaded.push_back(number);
  }
  while (grid.rows.size() < static_cast<size_t>(kEntryGridMinRows))
    grid.rows.emplace_back(grid.columns.size());
}

bool OpenEntryDialog(EntryKind kind, CEntryGridRecord& grid) {
  grid = CEntryGridRecord{};
  grid.kind = kind;
  grid.title = UiText(EntryTitle(kind));
  for (const auto& c : EntryColumns(kind)) grid.columns.push_back(T(c.c_str()));
  grid.fileName = CurrentProjectFile(EntryExtension(kind));
  std::string content;
  std::error_code ec;
  if (std::filesystem::exists(grid.fileName, ec)) {
    // Whatever stands under the name must be a readable regular file: the grid is written
    // back over it on "确认".
    FileReadError error = FileReadError::None;
    auto data = ReadWholeFile(grid.fileName, &error);
    if (!data) {
      if (error == FileReadError::NotRegular) ShowNotRegularFile(grid.fileName);
      else if (error == FileReadError::ReadFailed) ShowReadFailure(grid, std::strerror(EIO));
      else ShowOpenFileError(grid.fileName);
      LoadEntryGrid(grid, "");
      return false;
    }
    content = std::move(*data);
  }
  LoadEntryGrid(grid, content);
  return true;
}

bool EndEntryCellEdit(const CEntryGridRecord& grid, size_t column, const std::string& text) {
  bool checked = (grid.kind == EntryKind::KnownH && column == 1) ||
                 ((grid.kind == EntryKind::Distance || grid.kind == EntryKind::Azimuth) && (column == 2 || column == 3));
  if (!checked || IsDigit(Trim(text).c_str())) return true;
  ShowMessage(UiText(u8"当前输入的不是一个有效的坐标值!"), AppTitle(), MessageIcon::Warning);
  return false;
}

std::string FormatEntryFile(const CEntryGridRecord& grid) {
  std::string out;
  for (const auto& row : grid.rows) {
    auto cell = [&row](size_t i) -> const std::string& {
      static const std::string empty;
      return i < row.size() ? row[i] : empty;
    };
    const std::string name = Trim(cell(0));
    switch (grid.kind) {
      case EntryKind::KnownXYZ: {
        if (IsBlank(cell(0))) break;
        const bool b1 = IsBlank(cell(1)), b2 = IsBlank(cell(2)), b3 = IsBlank(cell(3));
        if (b1 && b2 && b3) out += Format("%20s\n", name.c_str());
        else if (b1) {
          if (!b3) out += Format("%20s %20.9lf\n", name.c_str(), CellNumber(cell(3)));  // a height-only point
        } else if (b3) {
          out += Format("%20s %20.9lf %20.9lf\n", name.c_str(), CellNumber(cell(1)), CellNumber(cell(2)));
        } else {
          out += Format("%20s %20.9lf %20.9lf %20.9lf\n", name.c_str(), CellNumber(cell(1)), CellNumber(cell(2)),
                        CellNumber(cell(3)));
        }
        break;
      }
      case EntryKind::KnownXY:
        if (!IsBlank(cell(0)))
          out += Format("%20s %16.6lf %16.6lf\n", name.c_str(), CellNumber(cell(1)), CellNumber(cell(2)));
        break;
      case EntryKind::KnownH:
        if (!IsBlank(cell(0))) out += Format("%20s %16.6lf\n", name.c_str(), CellNumber(cell(1)));
        break;
      case EntryKind::Distance:
      case EntryKind::Azimuth:
        if (!IsBlank(cell(0)) && !IsBlank(cell(1)))
          out += Format("%20s %20s %16.6lf %16.6lf\n", name.c_str(), Trim(cell(1)).c_str(), CellNumber(cell(2)),
                        CellNumber(cell(3)));
        break;
    }
  }
  return out;
}

namespace {

enum class CellFault { None, NameHasBlank, NameTooLong, NotANumber };

CellFault FaultOf(EntryKind kind, size_t column, const std::string& cell) {
  const std::string text = Trim(cell);
  if (text.empty()) return CellFault::None;
  if (column < NameColumns(kind)) {
    // The loaders read a name as one blank-separated item of at most kMaxPointName
    // characters: a name they would refuse is refused here, before it is written.
    if (text.find_first_of(" \t") != std::string::npos) return CellFault::NameHasBlank;
    if (NormalizeName(text).size() > static_cast<size_t>(kMaxPointName)) return CellFault::NameTooLong;
    return CellFault::None;
  }
  // What IsDigit lets through must also read whole as one finite number ("1-2." does not):
  // a cell is never written as the part of it that happens to scan, nor as 0.
  return IsDigit(text.c_str()) && ParseNumber(text) ? CellFault::None : CellFault::NotANumber;
}

std::string ColumnTitle(EntryKind kind, size_t column) {
  const auto titles = EntryColumns(kind);
  return column < titles.size() ? UiText(titles[column].c_str()) : std::string();
}

// The value cells that a named row must fill: a blank one would be written as 0, or (3D: B
// without L, L without B) the value typed would be lost.
std::optional<size_t> MissingValue(EntryKind kind, const std::vector<std::string>& cells) {
  auto blank = [&cells](size_t i) { return i >= cells.size() || IsBlank(cells[i]); };
  std::vector<size_t> needed;
  switch (kind) {
    case EntryKind::KnownXYZ:
      if (blank(1) && !blank(2)) return 1;
      if (!blank(1) && blank(2)) return 2;
      return std::nullopt;
    case EntryKind::KnownXY: needed = {1, 2}; break;
    case EntryKind::KnownH: needed = {1}; break;
    case EntryKind::Distance:
    case EntryKind::Azimuth: needed = {2, 3}; break;
  }
  for (size_t i : needed)
    if (blank(i)) return i;
  return std::nullopt;
}

// The 3D rows must give values that the loaders can read: B, L possible as a latitude and
// longitude, or three values that read as B, L, H or as X, Y, Z.
std::optional<EntryProblem> FindImpossibleKnownXyzRow(const CEntryGridRecord& grid) {
  for (size_t i = 0; i < grid.rows.size(); ++i) {
    const auto& row = grid.rows[i];
    if (row.size() < 4 || IsBlank(row[0]) || IsBlank(row[1])) continue;  // a name, a height
    const double v1 = CellNumber(row[1]), v2 = CellNumber(row[2]), v3 = CellNumber(row[3]);
    bool possible;
    if (IsBlank(row[3])) {
      possible = IsPossibleLatitudeLongitude(v1, v2);
    } else {
      possible = ReadKnownPointValues(v1, v2, v3, GeodeticBound::Below1000) != KnownPointReading::Impossible &&
                 ReadKnownPointValues(v1, v2, v3, GeodeticBound::UpTo1000) != KnownPointReading::Impossible;
    }
    if (possible) continue;
    return EntryProblem{i, 1,
                        Format(UiText(u8"第%zu行点%s的数值既不是可能的B、L(度分秒)、H,也不是地球表面附近的X、Y、Z,请改正后再确认!"),
                               i + 1, Trim(row[0]).c_str())};
  }
  return std::nullopt;
}

}  // namespace

std::string EntryCellProblem(EntryKind kind, size_t column, const std::string& text) {
  switch (FaultOf(kind, column, text)) {
    case CellFault::None: return std::string();
    case CellFault::NameHasBlank: return UiText(u8"点名不能含有空格");
    case CellFault::NameTooLong: return Format(UiText(u8"点名超过%d个字符"), kMaxPointName);
    case CellFault::NotANumber: return UiText(u8"不是一个有效的数值");
  }
  return std::string();
}

std::optional<EntryProblem> FindEntryRowProblem(EntryKind kind, const std::vector<std::string>& cells, size_t row) {
  if (IsEntryRowEmpty(cells)) return std::nullopt;
  const int number = static_cast<int>(row) + 1;
  for (size_t i = 0; i < cells.size(); ++i) {
    const std::string text = Trim(cells[i]);
    switch (FaultOf(kind, i, cells[i])) {
      case CellFault::None: break;
      case CellFault::NameHasBlank:
        return EntryProblem{row, i, Format(UiText(u8"第%d行的点名\"%s\"含有空格,请改正后再确认!"), number, text.c_str())};
      case CellFault::NameTooLong:
        return EntryProblem{row, i, Format(UiText(u8"第%d行的点名%s超过%d个字符,请改正后再确认!"), number, text.c_str(),
                                           kMaxPointName)};
      case CellFault::NotANumber:
        return EntryProblem{row, i, Format(UiText(u8"第%d行的\"%s\": 当前输入的不是一个有效的坐标值!"), number, text.c_str())};
    }
  }
  // A row with values but without its names would be skipped by the writer: lost unasked.
  for (size_t i = 0; i < NameColumns(kind); ++i)
    if (i >= cells.size() || IsBlank(cells[i]))
      return EntryProblem{row, i,
                          Format(UiText(u8"第%d行有数据但%s为空,请输入点名或删除该行后再确认!"), number,
                                 ColumnTitle(kind, i).c_str())};
  if (auto missing = MissingValue(kind, cells))
    return EntryProblem{row, *missing,
                        Format(UiText(u8"第%d行点%s的%s为空,请输入数值或删除该行后再确认!"), number, Trim(cells[0]).c_str(),
                               ColumnTitle(kind, *missing).c_str())};
  return std::nullopt;
}

std::optional<EntryProblem> FindEntryProblem(const CEntryGridRecord& grid) {
  for (size_t i = 0; i < grid.rows.size(); ++i)
    if (auto problem = FindEntryRowProblem(grid.kind, grid.rows[i], i)) return problem;
  if (grid.kind == EntryKind::KnownXYZ) return FindImpossibleKnownXyzRow(grid);
  return std::nullopt;
}

bool CheckEntryRow(EntryKind kind, const std::vector<std::string>& cells, int row) {
  auto problem = FindEntryRowProblem(kind, cells, static_cast<size_t>(std::max(row, 1) - 1));
  if (!problem) return true;
  ShowMessage(problem->message, AppTitle(), MessageIcon::Warning);
  return false;
}

std::string KnownXyzRowReading(const std::vector<std::string>& cells) {
  auto value = [&cells](size_t i) -> std::optional<double> {
    return i < cells.size() && !IsBlank(cells[i]) ? ParseNumber(Trim(cells[i])) : std::nullopt;
  };
  auto blank = [&cells](size_t i) { return i >= cells.size() || IsBlank(cells[i]); };
  const auto v1 = value(1), v2 = value(2), v3 = value(3);
  if (blank(1) && blank(2)) return v3 ? "H" : "";
  if (!v1 || !v2) return "";
  if (blank(3)) return IsPossibleLatitudeLongitude(*v1, *v2) ? "B,L" : "";
  if (!v3) return "";
  switch (ReadKnownPointValues(*v1, *v2, *v3, GeodeticBound::Below1000)) {
    case KnownPointReading::Geodetic: return "B,L,H";
    case KnownPointReading::Geocentric: return "X,Y,Z";
    case KnownPointReading::Impossible: return "";
  }
  return "";
}

bool IsEntryRowEmpty(const std::vector<std::string>& cells) {
  for (const auto& c : cells)
    if (!IsBlank(c)) return false;
  return true;
}

bool AcceptEntryDialog(const CEntryGridRecord& grid) {
  if (auto problem = FindEntryProblem(grid)) {
    ShowMessage(problem->message, AppTitle(), MessageIcon::Warning);
    return false;
  }
  std::string directory;
  GetPathFromFileName(grid.fileName, directory);
  if (directory.empty() || !DirectoryExists(directory) || ::access(directory.c_str(), W_OK) != 0 ||
      DirectoryExists(grid.fileName)) {
    ShowOpenFileError(grid.fileName);
    return false;
  }
  std::string error;
  if (!WriteFileAtomically(grid.fileName, FormatEntryFile(grid), &error)) {
    ShowWriteFailure(grid, error);
    return false;
  }
  return true;
}

}  // namespace vemo

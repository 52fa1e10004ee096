#include "project/data/EntryDialogs.h"

#include <unistd.h>

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

namespace vemo {
namespace {

bool IsBlank(const std::string& cell) { return IsSpaceString(cell.c_str()) != 0; }

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
    ShowMessage(T(u8"存取二维已知点坐标错误!"), AppTitle(), MessageIcon::Warning);
  } else if (grid.kind == EntryKind::KnownH) {
    ShowMessage(Format(T(u8"读取文件%s出错: %s"), PathToGbk(grid.fileName).c_str(), Utf8ToGbk(cause).c_str()),
                AppTitle(), MessageIcon::Warning);
  } else {
    ShowOpenFileError(grid.fileName);
  }
}

void ShowWriteFailure(const CEntryGridRecord& grid, const std::string& cause) {
  if (grid.kind == EntryKind::KnownXY) {
    ShowMessage(T(u8"存取二维已知点坐标错误!"), AppTitle(), MessageIcon::Warning);
  } else if (grid.kind == EntryKind::KnownH) {
    ShowMessage(Format(T(u8"写入文件%s出错: %s"), PathToGbk(grid.fileName).c_str(), Utf8ToGbk(cause).c_str()),
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
    case EntryKind::KnownXYZ: return u8"输入三维已知坐标";
    case EntryKind::KnownXY: return u8"输入二维已知坐标";
    case EntryKind::KnownH: return u8"输入一维高程点";
    case EntryKind::Distance: return u8"  输入地面边长";
    case EntryKind::Azimuth: return u8"输入地面方位角";
  }
  return "";
}

std::vector<std::string> EntryColumns(EntryKind kind) {
  switch (kind) {
    case EntryKind::KnownXYZ: return {u8"点名", u8"X坐标/B", u8"Y坐标/L", u8"Z坐标/H"};
    case EntryKind::KnownXY: return {u8"点名", u8"X坐标", u8"Y坐标"};
    case EntryKind::KnownH: return {u8"点名", u8"H高程"};
    case EntryKind::Distance: return {u8"起点", u8"终点", u8"边长值", u8"中误差(cm)"};
    case EntryKind::Azimuth: return {u8"起点", u8"终点", u8"方位角", u8"中误差(秒)"};
  }
  return {};
}

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
  grid.title = T(EntryTitle(kind));
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
  ShowMessage(T(u8"当前输入的不是一个有效的坐标值!"), AppTitle(), MessageIcon::Warning);
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

// The rows of the 3D dialog must give values that the loaders can read: B, L possible as a
// latitude and longitude, or three values that read as B, L, H or as X, Y, Z. False after
// the message naming the first row that cannot.
bool CheckKnownXYZRows(const CEntryGridRecord& grid) {
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
    ShowMessage(Format(T(u8"第%zu行点%s的数值既不是可能的B、L(度分秒)、H,也不是地球表面附近的X、Y、Z,请改正后再确认!"),
                       i + 1, Trim(row[0]).c_str()),
                AppTitle(), MessageIcon::Warning);
    return false;
  }
  return true;
}

bool CheckEntryRow(EntryKind kind, const std::vector<std::string>& cells, int row) {
  if (IsEntryRowEmpty(cells)) return true;
  const size_t names = kind == EntryKind::Distance || kind == EntryKind::Azimuth ? 2 : 1;
  for (size_t i = 0; i < cells.size(); ++i) {
    const std::string text = Trim(cells[i]);
    if (i < names) {
      // The loaders read a name as one blank-separated item of at most kMaxPointName
      // characters: a name they would refuse is refused here, before it is written.
      if (text.find_first_of(" \t") != std::string::npos) {
        ShowMessage(Format(T(u8"第%d行的点名\"%s\"含有空格,请改正后再确认!"), row, text.c_str()), AppTitle(),
                    MessageIcon::Warning);
        return false;
      }
      if (NormalizeName(text).size() > static_cast<size_t>(kMaxPointName)) {
        ShowMessage(Format(T(u8"第%d行的点名%s超过%d个字符,请改正后再确认!"), row, text.c_str(), kMaxPointName),
                    AppTitle(), MessageIcon::Warning);
        return false;
      }
      continue;
    }
    if (text.empty()) continue;
    // What IsDigit lets through must also read whole as one finite number ("1-2." does not):
    // a cell is never written as the part of it that happens to scan, nor as 0.
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (!IsDigit(text.c_str()) || *end != '\0' || !std::isfinite(v)) {
      ShowMessage(Format(T(u8"第%d行的\"%s\": 当前输入的不是一个有效的坐标值!"), row, text.c_str()), AppTitle(),
                  MessageIcon::Warning);
      return false;
    }
  }
  return true;
}

bool IsEntryRowEmpty(const std::vector<std::string>& cells) {
  for (const auto& c : cells)
    if (!IsBlank(c)) return false;
  return true;
}

bool AcceptEntryDialog(const CEntryGridRecord& grid) {
  for (size_t i = 0; i < grid.rows.size(); ++i)
    if (!CheckEntryRow(grid.kind, grid.rows[i], static_cast<int>(i) + 1)) return false;
  if (grid.kind == EntryKind::KnownXYZ && !CheckKnownXYZRows(grid)) return false;
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

#include "app/desktop/ResultTables.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"

namespace vemo {
namespace {

// The verdicts the reports print, as they print them.
constexpr std::string_view kExceeded = u8"超限";
constexpr std::string_view kPassed = u8"合格";

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string> SplitBlanks(std::string_view line) {
  std::vector<std::string> items;
  std::istringstream in{std::string(line)};
  std::string item;
  while (in >> item) items.push_back(item);
  return items;
}

std::vector<std::string> SplitCommas(std::string_view line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t comma = line.find(',', start);
    fields.emplace_back(Trim(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

// A finite decimal number and nothing else, as the writers print them.
bool IsNumber(const std::string& text) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && errno == 0 && std::isfinite(value);
}
bool AreNumbers(const std::vector<std::string>& items, size_t first, size_t count) {
  if (items.size() < first + count) return false;
  for (size_t i = first; i < first + count; ++i)
    if (!IsNumber(items[i])) return false;
  return true;
}
bool IsInteger(std::string_view text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The non-blank lines of a GBK text, as UTF-8.
std::vector<std::string> Lines(std::string_view gbk) {
  std::vector<std::string> lines;
  for (auto& [number, line] : SplitLines(gbk))
    if (!Trim(line).empty()) lines.push_back(GbkToUtf8(line));
  return lines;
}

// The points of a loop as the report lists them, one blank between names.
std::string JoinNames(std::string_view names) {
  std::string joined;
  for (const std::string& name : SplitBlanks(names)) joined += (joined.empty() ? "" : " ") + name;
  return joined;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
bool IsSeparator(std::string_view line) { return !line.empty() && line.find_first_not_of('-') == std::string_view::npos; }

// The records of a point file: lines of a name and then values, of which the first numbers
// are numbers; the other lines are counted in skipped.
std::vector<std::vector<std::string>> PointRecords(std::string_view content, size_t items, size_t numbers,
                                                   int* skipped) {
  std::vector<std::vector<std::string>> records;
  for (const std::string& line : Lines(content)) {
    std::vector<std::string> item = SplitBlanks(line);
    if (item.size() == items && AreNumbers(item, 1, numbers)) records.push_back(std::move(item));
    else if (skipped) ++*skipped;
  }
  return records;
}

// The second file of a coordinate table (name B L H of GPS3dBLH, name X Y code of GPS2dXY):
// the value at index of each point's record, by name.
std::map<std::string, std::string> PointValues(std::string_view extra, size_t items, size_t numbers, size_t index) {
  std::map<std::string, std::string> values;
  for (auto& record : PointRecords(extra, items, numbers, nullptr)) values.emplace(record[0], record[index]);
  return values;
}
std::string ValueOf(const std::map<std::string, std::string>& values, const std::string& name) {
  const auto it = values.find(name);
  return it == values.end() ? std::string() : it->second;
}

ResultTable Coordinates3d(std::string_view content, std::string_view extra) {
  ResultTable table;
  table.title = TrNoop(u8"三维平差坐标");
  table.columns = {TrNoop(u8"点名"), "x(m)", "y(m)", "H(m)", "B(dms)", "L(dms)", "E(cm)", "F(cm)", "T(dms)"};
  const auto b = PointValues(extra, 4, 3, 1), l = PointValues(extra, 4, 3, 2);
  for (auto& r : PointRecords(content, 7, 6, &table.skippedLines))
    table.rows.push_back({{r[0], r[1], r[2], r[3], ValueOf(b, r[0]), ValueOf(l, r[0]), r[4], r[5], r[6]}});
  return table;
}

ResultTable Coordinates2d(std::string_view content, std::string_view extra) {
  ResultTable table;
  table.title = TrNoop(u8"二维平差坐标");
  table.columns = {TrNoop(u8"点名"), "X(m)", "Y(m)", "E(cm)", "F(cm)", "T(dms)", TrNoop(u8"代码")};
  const auto codes = PointValues(extra, 4, 2, 3);
  for (auto& r : PointRecords(content, 6, 5, &table.skippedLines)) {
    r.push_back(ValueOf(codes, r[0]));
    table.rows.push_back({std::move(r)});
  }
  return table;
}

// "%6d," loop number, the names, eight values (the two tolerances blank for a grade without
// the coefficient), then ",超限" when the loop fails; the session file's line before its loops.
ResultTable SyncLoops(std::string_view content) {
  ResultTable table;
  table.title = TrNoop(u8"同步环闭合差");
  table.columns = {TrNoop(u8"同步基线文件"),      TrNoop(u8"环号"),           TrNoop(u8"闭合环点"),
                   TrNoop(u8"坐标闭合差限差(mm)"), "Wx(mm)",                   "Wy(mm)",
                   "Wz(mm)",                        TrNoop(u8"长度闭合差限差(mm)"), TrNoop(u8"长度闭合差(mm)"),
                   TrNoop(u8"闭合环总长度(m)"),    TrNoop(u8"相对闭合差(ppm)"), TrNoop(u8"备注")};
  constexpr std::string_view kSessionMark = u8"同步基线文件：";
  std::string session;
  for (const std::string& line : Lines(content)) {
    if (StartsWith(line, kSessionMark)) {
      const std::string path(Trim(std::string_view(line).substr(kSessionMark.size())));
      session = path.substr(path.find_last_of("/\\") + 1);
      continue;
    }
    const std::vector<std::string> field = SplitCommas(line);
    bool valid = (field.size() == 10 || (field.size() == 11 && field[10] == kExceeded)) && IsInteger(field[0]) &&
                 !field[1].empty();
    for (size_t i = 2; valid && i < 10; ++i)
      valid = IsNumber(field[i]) || ((i == 2 || i == 6) && field[i].empty());
    if (!valid) {
      ++table.skippedLines;
      continue;
    }
    ResultTable::Row row;
    row.cells = {session, field[0], JoinNames(field[1])};
    for (size_t i = 2; i < field.size(); ++i) row.cells.push_back(field[i]);
    if (row.cells.size() < table.columns.size()) row.cells.emplace_back();
    row.failing = field.size() == 11;
    table.rows.push_back(std::move(row));
  }
  return table;
}

// "预处理%4d, " or "精处理%4d, " (the high grades evaluate twice) or "%4d, ", the names, eight
// tolerances and misclosures, length, ppm and the verdict.
ResultTable AsyncLoops(std::string_view content) {
  ResultTable table;
  table.title = TrNoop(u8"异步环闭合差");
  table.columns = {TrNoop(u8"环号"),          TrNoop(u8"处理"),            TrNoop(u8"线路各点名"),
                   TrNoop(u8"X闭合差限差(mm)"), TrNoop(u8"X闭合差(mm)"),     TrNoop(u8"Y闭合差限差(mm)"),
                   TrNoop(u8"Y闭合差(mm)"),     TrNoop(u8"Z闭合差限差(mm)"), TrNoop(u8"Z闭合差(mm)"),
                   TrNoop(u8"S闭合差限差(mm)"), TrNoop(u8"S闭合差(mm)"),     TrNoop(u8"线路总长度(m)"),
                   "ppm",                       TrNoop(u8"备注")};
  for (const std::string& line : Lines(content)) {
    const std::vector<std::string> field = SplitCommas(line);
    std::string stage;
    std::string_view number = field[0];
    for (std::string_view prefix : {std::string_view(u8"预处理"), std::string_view(u8"精处理")})
      if (StartsWith(number, prefix)) {
        stage = prefix;
        number = Trim(number.substr(prefix.size()));
      }
    const bool valid = field.size() == 13 && IsInteger(number) && !field[1].empty() && AreNumbers(field, 2, 10) &&
                       (field[12] == kExceeded || field[12] == kPassed);
    if (!valid) {
      ++table.skippedLines;
      continue;
    }
    ResultTable::Row row;
    row.cells = {std::string(number), stage, JoinNames(field[1])};
    row.cells.insert(row.cells.end(), field.begin() + 2, field.end());
    row.failing = field[12] == kExceeded;
    table.rows.push_back(std::move(row));
  }
  return table;
}

// A group's reference row (number, from, to, DX, DY, DZ, S and the tolerances) and its
// repeats (the same with the differences and the verdict), groups closed by a hyphen line.
ResultTable RepeatBaselines(std::string_view content, bool components) {
  ResultTable table;
  const size_t tolerances = components ? 4 : 1;
  table.title = components ? TrNoop(u8"重复基线分量差") : TrNoop(u8"重复基线长度差");
  table.columns = {TrNoop(u8"组号"), TrNoop(u8"序号"), TrNoop(u8"起点"), TrNoop(u8"终点"),
                   "DX(m)",          "DY(m)",          "DZ(m)",          "S(m)"};
  if (components)
    table.columns.insert(table.columns.end(), {TrNoop(u8"X限差/差值(mm)"), TrNoop(u8"Y限差/差值(mm)"),
                                               TrNoop(u8"Z限差/差值(mm)"), TrNoop(u8"S限差/差值(mm)")});
  else
    table.columns.push_back(TrNoop(u8"S限差/差值(mm)"));
  table.columns.push_back(TrNoop(u8"备注"));
  const size_t values = 4 + tolerances;
  int group = 0;
  bool inGroup = false;
  for (const std::string& line : Lines(content)) {
    if (IsSeparator(Trim(line))) {
      inGroup = false;
      continue;
    }
    std::vector<std::string> item = SplitBlanks(line);
    const bool shape = IsInteger(item[0]) && AreNumbers(item, 3, values);
    const bool reference = shape && item.size() == 3 + values;
    std::string verdict = item.size() == 4 + values ? item.back() : std::string();
    if (!verdict.empty() && verdict.back() == '!') verdict.pop_back();
    const bool repeat = shape && inGroup && (verdict == kExceeded || verdict == kPassed);
    if (!reference && !repeat) {
      ++table.skippedLines;
      continue;
    }
    if (reference) {
      ++group;
      inGroup = true;
      verdict = u8"参考基线";
    }
    ResultTable::Row row;
    row.cells = {std::to_string(group)};
    row.cells.insert(row.cells.end(), item.begin(), item.begin() + 3 + values);
    row.cells.push_back(verdict);
    row.failing = verdict == kExceeded;
    table.rows.push_back(std::move(row));
  }
  return table;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace

std::optional<ResultTableKind> ResultTableOf(ProjectFile kind) {
  switch (kind) {
    case ProjectFile::XYHEFT3d:
    case ProjectFile::BLH3d: return ResultTableKind::Coordinates3d;
    case ProjectFile::XYEFT2d:
    case ProjectFile::XY2d: return ResultTableKind::Coordinates2d;
    case ProjectFile::SyncMisclosure: return ResultTableKind::SyncLoops;
    case ProjectFile::Misclosure: return ResultTableKind::AsyncLoops;
    case ProjectFile::RepeatBaseline: return ResultTableKind::RepeatBaselines;
    case ProjectFile::RepeatBaselineClassAB: return ResultTableKind::RepeatBaselineComponents;
    default: return std::nullopt;
  }
}

ProjectFile ResultTableFile(ResultTableKind kind) {
  switch (kind) {
    case ResultTableKind::Coordinates3d: return ProjectFile::XYHEFT3d;
    case ResultTableKind::Coordinates2d: return ProjectFile::XYEFT2d;
    case ResultTableKind::SyncLoops: return ProjectFile::SyncMisclosure;
    case ResultTableKind::AsyncLoops: return ProjectFile::Misclosure;
    case ResultTableKind::RepeatBaselines: return ProjectFile::RepeatBaseline;
    case ResultTableKind::RepeatBaselineComponents: return ProjectFile::RepeatBaselineClassAB;
  }
  return ProjectFile::XYHEFT3d;
}

ResultTable ParseResultTable(ResultTableKind kind, std::string_view content, std::string_view extra) {
  switch (kind) {
    case ResultTableKind::Coordinates3d: return Coordinates3d(content, extra);
    case ResultTableKind::Coordinates2d: return Coordinates2d(content, extra);
    case ResultTableKind::SyncLoops: return SyncLoops(content);
    case ResultTableKind::AsyncLoops: return AsyncLoops(content);
    case ResultTableKind::RepeatBaselines: return RepeatBaselines(content, false);
    case ResultTableKind::RepeatBaselineComponents: return RepeatBaselines(content, true);
  }
  return {};
}

std::optional<ResultTable> ReadResultTable(ResultTableKind kind) {
  std::string content;
  if (!ReadFileContent(ResolvePathNoCase(CurrentProjectFile(ResultTableFile(kind))), content)) return std::nullopt;
  std::string extra;
  if (kind == ResultTableKind::Coordinates3d || kind == ResultTableKind::Coordinates2d) {
    const ProjectFile second = kind == ResultTableKind::Coordinates3d ? ProjectFile::BLH3d : ProjectFile::XY2d;
    // Without its second file (or with one that was cut) the table shows the main file alone.
    if (!ReadFileContent(ResolvePathNoCase(CurrentProjectFile(second)), extra)) extra.clear();
  }
  return ParseResultTable(kind, content, extra);
}

std::string ToCsv(const std::vector<std::string>& columns, const std::vector<std::vector<std::string>>& rows) {
  std::string csv = "\xEF\xBB\xBF";
  const auto append = [&csv](const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) csv += (i ? "," : "") + CsvField(cells[i]);
    csv += "\r\n";
  };
  append(columns);
  for (const auto& row : rows) append(row);
  return csv;
}

}  // namespace vemo

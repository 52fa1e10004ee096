#include "project/data/DataFileReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "project/AppState.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/ProjectFiles.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace {

// The white space of sscanf in the "C" locale.
bool IsScanSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The files the computations write for later commands to read and nobody edits. Their writers
// end every line, so one whose last line is not ended was cut (a program killed while writing
// it over, in a version that wrote in place, or a copy cut short): read as whole, its last
// number would be cut, or it would pass for a network of fewer vectors or points. The free
// network's files are not among them: their datum weights are edited by hand, and their
// readers check the counts their heads give; nor is the tunnel extract, whose reader checks
// each line and names the damaged one.
constexpr ProjectFile kEndedFiles[] = {ProjectFile::Result3d,    ProjectFile::BLH3d,    ProjectFile::XYHEFT3d,
                                       ProjectFile::XYH3d,       ProjectFile::BLHVector3d, ProjectFile::Vector2d,
                                       ProjectFile::XY2d,        ProjectFile::XYEFT2d};

bool EndsEveryLine(const std::string& path) {
  const size_t dot = path.find_last_of("./");
  if (dot == std::string::npos || path[dot] != '.') return false;
  const std::string extension = path.substr(dot + 1);
  for (ProjectFile kind : kEndedFiles)
    if (EqualNoCase(extension, Extension(kind, 0)) || EqualNoCase(extension, Extension(kind, 1))) return true;
  return false;
}

}  // namespace

CTextLineReader::CTextLineReader(std::string_view content, int bufferSize)
    : m_Content(content), m_Limit(bufferSize > 1 ? static_cast<size_t>(bufferSize - 1) : 1) {}

bool CTextLineReader::Next(std::string& line) {
  line.clear();
  m_Cut = false;
  if (m_Pos >= m_Content.size()) return false;
  const size_t size = m_Content.size();
  // The common line: it fits the buffer and holds no carriage return, and is taken in one
  // piece; any other goes character by character below.
  const size_t room = std::min(size - m_Pos, m_Limit);
  const char* start = m_Content.data() + m_Pos;
  const void* feed = std::memchr(start, '\n', room);
  const size_t whole = feed ? static_cast<size_t>(static_cast<const char*>(feed) - start) + 1 : room;
  if ((feed || whole == size - m_Pos) && !std::memchr(start, '\r', whole)) {
    line.assign(start, whole);
    std::replace(line.begin(), line.end(), '\t', ' ');
    m_Pos += whole;
  }
  while (m_Pos < size && line.size() < m_Limit && (line.empty() || line.back() != '\n')) {
    char c = m_Content[m_Pos];
    // Text mode turns CR LF into LF before the buffer sees it.
    if (c == '\r' && m_Pos + 1 < size && m_Content[m_Pos + 1] == '\n') {
      ++m_Pos;
      continue;
    }
    // Items are separated by blanks; files made on Linux and by spreadsheets separate them
    // by tabs, which read as blanks.
    line.push_back(c == '\t' ? ' ' : c);
    ++m_Pos;
    if (c == '\n') break;
  }
  if (line.size() >= m_Limit && line.back() != '\n' && m_Pos < size) {
    // The line goes on unless what follows is its end.
    const char next = m_Content[m_Pos];
    const bool ends = next == '\n' || (next == '\r' && m_Pos + 1 < size && m_Content[m_Pos + 1] == '\n');
    m_Cut = !ends;
  }
  // The readers treat the buffer as a C string: a zero byte ends it.
  size_t zero = line.find('\0');
  if (zero != std::string::npos) line.resize(zero);
  ++m_LineCount;
  return true;
}

std::string_view TakeToken(std::string_view line, std::string* token) {
  size_t i = 0;
  while (i < line.size() && IsScanSpace(line[i])) ++i;
  size_t start = i;
  while (i < line.size() && !IsScanSpace(line[i])) ++i;
  if (token) token->assign(line.substr(start, i - start));
  return line.substr(i);
}

int ScanPairLine(std::string_view line, std::string& from, std::string& to, double* values, int maxValues) {
  std::string_view rest = TakeToken(line, &from);
  if (from.empty()) return 0;
  return 1 + ScanPointLine(rest, to, values, maxValues);
}

bool ReadPointRecord(std::string_view line, const std::string& path, int lineCount, const char* caption,
                     std::string& name, double* values, int count) {
  if (ScanPointLine(line, name, values, count) != count + 1) {
    ShowLineError(path, lineCount, caption);
    return false;
  }
  return CheckPointName(name, path, lineCount, caption);
}

bool ReadPairRecord(std::string_view line, const std::string& path, int lineCount, const char* caption,
                    std::string& from, std::string& to, double* values, int count) {
  if (ScanPairLine(line, from, to, values, count) != count + 2) {
    ShowLineError(path, lineCount, caption);
    return false;
  }
  return CheckPointName(from, path, lineCount, caption) && CheckPointName(to, path, lineCount, caption);
}

int CountBlankSeparatedItems(std::string_view line) {
  int count = 0;
  bool inItem = false;
  for (char c : line) {
    bool separator = c == ' ' || c == '\t' || c == '\n' || c == '\r';
    if (!separator && !inItem) ++count;
    inItem = !separator;
  }
  return count;
}

int ReadKnownFile(const std::string& path, int& lineCount, const std::function<bool(CKnownLine&)>& visit) {
  lineCount = 0;
  std::string content;
  if (!ReadRequiredFile(path, content)) return 0;
  CKnownLine known;
  return ForEachLine(content, kShortLineBuffer, lineCount, [&](const std::string& piece) {
    std::string line = CommasToBlanks(piece);
    known.line = lineCount;
    known.items = CountBlankSeparatedItems(line);
    known.scanned = ScanPointLine(line, known.name, known.values, 3);
    return visit(known);
  });
}

bool CheckPointName(std::string& name, const std::string& path, int line, const char* caption, int limit) {
  std::string normal = NormalizeName(name);
  if (normal.size() > static_cast<size_t>(limit)) {
    ShowNameTooLong(path, line, name, limit, caption);
    return false;
  }
  name = std::move(normal);
  return true;
}

bool ReadFileContent(const std::string& path, std::string& content, FileReadError* error) {
  auto data = ReadWholeFile(path, error);
  if (!data) return false;
  if (!data->empty() && data->back() != '\n' && EndsEveryLine(path)) {
    if (error) *error = FileReadError::Incomplete;
    return false;
  }
  content = std::move(*data);
  return true;
}

bool ReadRequiredFile(const std::string& path, std::string& content) {
  FileReadError error = FileReadError::None;
  if (ReadFileContent(path, content, &error)) return true;
  if (error == FileReadError::NotRegular) ShowNotRegularFile(path);
  else if (error == FileReadError::Incomplete) ShowIncompleteFile(path);
  else ShowOpenFileError(path);
  return false;
}

bool OpenProjectDocument(const std::string& path) {
  std::string content;
  if (!ReadRequiredFile(path, content)) return false;
  Platform().OpenTextDocument(path);
  return true;
}

std::vector<std::pair<int, std::string>> SplitLines(std::string_view text) {
  std::vector<std::pair<int, std::string>> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.emplace_back(static_cast<int>(lines.size()) + 1, std::move(line));
    start = end + 1;
  }
  return lines;
}

CKnownNameList::Result CKnownNameList::Add(const std::string& name, int line, std::vector<double> values,
                                           const std::string& path, const char* caption) {
  auto it = m_Seen.find(name);
  if (it == m_Seen.end()) {
    m_Seen.emplace(name, std::make_pair(std::move(values), line));
    return New;
  }
  if (it->second.first == values) return Repeated;
  ShowDuplicateName(path, line, name, it->second.second, caption);
  return Conflict;
}

void ShowOpenFileError(const std::string& file) {
  ShowMessage(Format(UiText(u8"打开文件%s出错!"), PathToGbk(file).c_str()), AppTitle(), MessageIcon::Warning);
}

std::string NumberList(const std::vector<int>& numbers) {
  std::string text;
  for (size_t i = 0; i < numbers.size() && i < 10; ++i) text += Format(i ? ",%d" : "%d", numbers[i]);
  if (numbers.size() > 10) text += ",...";
  return text;
}

void ShowNotRegularFile(const std::string& file) {
  ShowMessage(Format(UiText(u8"%s不是普通文件,不能读取!"), PathToGbk(file).c_str()), AppTitle(), MessageIcon::Warning);
}

void ShowIncompleteFile(const std::string& file) {
  ShowMessage(Format(UiText(u8"文件%s不完整(最后一行没有结束)，可能是写入时被中断，请重新计算产生它的命令!"), PathToGbk(file).c_str()),
              AppTitle(), MessageIcon::Warning);
}

void ShowReadBaselineError(int line) {
  ShowMessage(Format(UiText(u8"在第 %d 行读取数据错误!"), line), kReadBaselineCaption, MessageIcon::Warning);
}

void ShowLineError(const std::string& file, int line, const char* caption) {
  ShowMessage(Format(UiText(u8"文件%s第 %d 行读取数据错误!"), PathToGbk(file).c_str(), line), caption,
              MessageIcon::Warning);
}

bool IsPossibleVector(double dx, double dy, double dz, std::initializer_list<double> covariance) {
  for (double d : {dx, dy, dz})
    if (!(std::fabs(d) <= kMaxVectorComponent)) return false;
  for (double c : covariance)
    if (!(std::fabs(c) <= kMaxCovarianceElement)) return false;
  return true;
}

void ShowValueOutOfRange(const std::string& file, int line, const char* caption) {
  ShowMessage(Format(UiText(u8"文件%s第 %d 行的数值超出范围!"), PathToGbk(file).c_str(), line), caption,
              MessageIcon::Warning);
}

void ShowLineTooLong(const std::string& file, int line, int bufferSize, const char* caption) {
  ShowMessage(Format(UiText(u8"文件%s第 %d 行超过%d个字符,不能完整读取!"), PathToGbk(file).c_str(), line, bufferSize - 1),
              caption, MessageIcon::Warning);
}

void ShowNameTooLong(const std::string& file, int line, const std::string& name, int limit, const char* caption) {
  ShowMessage(Format(UiText(u8"文件%s第 %d 行的点名%s超过%d个字符!"), PathToGbk(file).c_str(), line, name.c_str(), limit),
              caption, MessageIcon::Warning);
}

void ShowDuplicateName(const std::string& file, int line, const std::string& name, int firstLine,
                       const char* caption) {
  ShowMessage(Format(UiText(u8"文件%s第 %d 行的点%s已在第 %d 行给出,且数值不同!"), PathToGbk(file).c_str(), line,
                     name.c_str(), firstLine),
              caption, MessageIcon::Warning);
}

void ShowUnknownPoint(const std::string& file, int line, const std::string& name, const char* caption) {
  ShowMessage(Format(UiText(u8"文件%s第 %d 行的点%s不是网中的点!"), PathToGbk(file).c_str(), line, name.c_str()), caption,
              MessageIcon::Warning);
}

bool CheckGbkPath(const std::string& path) {
  const char32_t bad = FirstCharacterWithoutGbk(path);
  if (bad == 0) return true;
  ShowMessage(Format(UiText(u8"路径%s中的字符U+%04X不能用GBK编码保存,请改用不含该字符的路径!"), PathToGbk(path).c_str(),
                     static_cast<unsigned>(bad)),
              AppTitle(), MessageIcon::Warning);
  return false;
}

int CPointListBuilder::Add(const std::string& name) {
  auto [it, inserted] = index.try_emplace(name, static_cast<int>(names.size()));
  if (inserted) names.push_back(name);
  return it->second;
}

int CPointListBuilder::Find(const std::string& name) const {
  auto it = index.find(name);
  return it == index.end() ? -1 : it->second;
}

void BuildPointList(const std::vector<std::string>& knownNames, const std::vector<std::string>& fromNames,
                    const std::vector<std::string>& toNames, std::vector<std::string>& pointNames,
                    std::vector<int>& from, std::vector<int>& to, std::unordered_map<std::string, int>* nameIndex) {
  CPointListBuilder list;
  list.index.reserve(knownNames.size() + fromNames.size());
  for (const auto& name : knownNames) list.Add(name);
  from.resize(fromNames.size());
  to.resize(toNames.size());
  for (size_t i = 0; i < fromNames.size(); ++i) {
    from[i] = list.Add(fromNames[i]);
    to[i] = list.Add(toNames[i]);
  }
  pointNames = std::move(list.names);
  if (nameIndex) *nameIndex = std::move(list.index);
}

}  // namespace vemo

#include "baselines/IndependentBaselines.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <unordered_map>

#include "project/AppState.h"
#include "project/data/DataFileReader.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace {

// Names of the period files are read into 30-character buffers.
constexpr int kMaxPeriodName = 29;

// The baselines of one period: every line of at least 10 characters whose first eleven items
// scan as two names and nine numbers. Returns false after the message of a name too long.
bool ReadPeriod(const std::string& path, const std::string& content, std::vector<CPeriodBaseline>& out) {
  CTextLineReader reader(content, kVectorLineBuffer);
  std::string line;
  while (reader.Next(line)) {
    if (line.size() < 10) continue;
    CPeriodBaseline b;
    double v[9];
    if (ScanPairLine(line, b.from, b.to, v, 9) != 11) continue;
    if (!CheckPointName(b.from, path, reader.LineCount(), AppTitle(), kMaxPeriodName) ||
        !CheckPointName(b.to, path, reader.LineCount(), AppTitle(), kMaxPeriodName))
      return false;
    b.dx = v[0], b.dy = v[1], b.dz = v[2];
    b.dxx = v[3], b.dyy = v[4], b.dzz = v[5], b.dxy = v[6], b.dxz = v[7], b.dyz = v[8];
    out.push_back(std::move(b));
  }
  return true;
}

}  // namespace

int AcceptIndependentBaselineDlg(const CIndependentBaselineDlg& dialog) {
  // The list is kept in the project file as GBK text: a name it cannot hold would no longer
  // name its file.
  for (const auto& f : dialog.files.chosen)
    if (!CheckGbkPath(f)) return 0;
  CGPSConfiguration& c = Project().configuration;
  c.m_IndependentBaselineFiles.clear();
  for (const auto& f : dialog.files.chosen) c.m_IndependentBaselineFiles.push_back(PathToGbk(f));
  c.m_IndependentBaselineFile = PathToGbk(CurrentProjectFile(ProjectFile::Vector3d));
  return 1;
}

std::string SourceFileLine(const std::string& path) {
  std::string name = PathToGbk(path);
  // The readers skip this line because it has fewer than eleven items. A name of ten blanks
  // or more would read as a baseline (and fail): its blanks become ideographic spaces, which
  // look alike and separate nothing.
  if (CountBlankSeparatedItems(name) >= 11) {
    std::string spaced;
    for (char ch : name) spaced += ch == ' ' || ch == '\t' ? std::string(T(u8"\u3000")) : std::string(1, ch);
    name = std::move(spaced);
  }
  return name + "\n";
}

size_t RandomStartIndex(unsigned r, size_t n) {
  if (n == 0) return 0;
  return static_cast<size_t>((r & 0x7FFF) * 3.0517578125e-5 * static_cast<double>(n - 1));
}

void SelectIndependentBaselines(std::vector<CPeriodBaseline>& b, IndependentRule rule, size_t startIndex) {
  for (auto& x : b) x.flag = 1;
  if (b.empty()) return;
  if (startIndex >= b.size()) startIndex = 0;
  // The period's point list: from-point then to-point, in baseline order.
  std::unordered_map<std::string, size_t> index;
  auto pointOf = [&index](const std::string& name) {
    return index.emplace(name, index.size()).first->second;
  };
  std::vector<size_t> from(b.size()), to(b.size());
  for (size_t i = 0; i < b.size(); ++i) {
    from[i] = pointOf(b[i].from);
    to[i] = pointOf(b[i].to);
  }
  const size_t m = index.size();
  std::vector<char> visited(m, 0);
  b[startIndex].flag = 0;
  const size_t start = from[startIndex];
  size_t end = to[startIndex];
  visited[start] = visited[end] = 1;

  switch (rule) {
    case IndependentRule::Chain: {
      const size_t steps = m > 3 ? m - 2 : 1;
      for (size_t step = 0; step < steps; ++step) {
        bool found = false;
        for (size_t i = 0; i < b.size() && !found; ++i) {
          if (b[i].flag != 1) continue;
          size_t other;
          if (from[i] == end && to[i] != start && !visited[to[i]]) other = to[i];
          else if (to[i] == end && from[i] != start && !visited[from[i]]) other = from[i];
          else continue;
          b[i].flag = 0;
          visited[other] = 1;
          end = other;
          found = true;
        }
        if (!found) break;  // no backtracking: the period keeps what it has
      }
      break;
    }
    case IndependentRule::Radial:
      for (size_t i = 0; i < b.size(); ++i)
        if (from[i] == start || to[i] == start) b[i].flag = 0;
      break;
    case IndependentRule::All:
      for (auto& x : b) x.flag = 0;
      break;
  }
}

int FormIndependentBaselines(const std::vector<std::string>& files, IndependentRule rule, bool randomStart) {
  const std::string output = CurrentProjectFile(ProjectFile::Vector3d);
  // The vector file holds the flags the user may have edited by hand: it is replaced only by
  // a formation that succeeds as a whole, and left as it is otherwise.
  if (files.empty()) {
    ShowMessage(Format(UiText(u8"没有选定同步基线文件,%s未改写!"), PathToGbk(output).c_str()), AppTitle(),
                MessageIcon::Warning);
    return 0;
  }
  std::string text;
  std::mt19937 rng(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
  for (const auto& file : files) {
    std::string content;
    if (!ReadFileContent(file, content)) {
      ShowMessage(Format(UiText(u8"基线文件:%s不存在!"), PathToGbk(file).c_str()), AppTitle(), MessageIcon::Warning);
      return 0;
    }
    text += SourceFileLine(file);
    std::vector<CPeriodBaseline> period;
    if (!ReadPeriod(file, content, period)) return 0;
    size_t start = randomStart ? RandomStartIndex(static_cast<unsigned>(rng() % 32768u), period.size()) : 0;
    SelectIndependentBaselines(period, rule, start);
    for (const auto& x : period)
      text += Format("%2d %16s %16s %15.4lf %15.4lf %15.4lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n",
                     x.flag, x.from.c_str(), x.to.c_str(), x.dx, x.dy, x.dz, x.dxx, x.dyy, x.dzz, x.dxy, x.dxz,
                     x.dyz);
  }
  if (WriteFileAtomically(output, text)) return 1;
  ShowMessage(Format(UiText(u8"打开文件%s出错!"), PathToGbk(output).c_str()), AppTitle(), MessageIcon::Warning);
  return 0;
}

}  // namespace vemo

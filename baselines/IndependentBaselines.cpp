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

void AcceptIndependentBaselineDlg(const CIndependentBaselineDlg& dialog) {
  CGPSConfiguration& c = Project().configuration;
  c.m_IndependentBaselineFiles.clear();
  for (const auto& f : dialog.files.chosen) c.m_IndependentBaselineFiles.push_back(PathToGbk(f));
  c.m_IndependentBaselineFile = PathToGbk(CurrentProjectFile("GPS3dVector"));
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
  const std::string output = CurrentProjectFile("GPS3dVector");
  std::string text;
  auto write = [&]() {
    if (WriteFileAtomically(output, text)) return true;
    ShowMessage(Format(T(u8"打开文件%s出错!"), PathToGbk(output).c_str()), AppTitle(), MessageIcon::Warning);
    return false;
  };
  if (!write()) return 0;  // the output must be creatable before any input is read
  std::mt19937 rng(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
  for (const auto& file : files) {
    std::string content;
    if (!ReadFileContent(file, content)) {
      write();
      ShowMessage(Format(T(u8"基线文件:%s不存在!"), PathToGbk(file).c_str()), AppTitle(), MessageIcon::Warning);
      return 0;
    }
    text += PathToGbk(file) + "\n";
    std::vector<CPeriodBaseline> period;
    if (!ReadPeriod(file, content, period)) {
      write();
      return 0;
    }
    size_t start = randomStart ? RandomStartIndex(static_cast<unsigned>(rng() % 32768u), period.size()) : 0;
    SelectIndependentBaselines(period, rule, start);
    for (const auto& x : period)
      text += Format("%2d %16s %16s %15.4lf %15.4lf %15.4lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n",
                     x.flag, x.from.c_str(), x.to.c_str(), x.dx, x.dy, x.dz, x.dxx, x.dyy, x.dzz, x.dxy, x.dxz,
                     x.dyz);
  }
  return write() ? 1 : 0;
}

}  // namespace vemo

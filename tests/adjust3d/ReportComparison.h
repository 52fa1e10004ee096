// Compares two versions of a report line by line for the sparse-against-dense checks: the two
// factorisations round differently in the last bits, so a value that lies on a rounding tie of
// its format (a mean of 0.625 printed with two decimals) may print one unit apart. Such lines
// are counted as ties; any other difference is a fault, reported with its line.
#pragma once

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace vemo::test {

struct ReportDifference {
  int ties = 0;               // lines that differ only by numbers one last-digit unit apart
  int faults = 0;             // lines that differ otherwise, or a different number of lines
  std::string firstFault;     // the first of them, both versions
};

inline std::vector<std::string> ReportTokens(const std::string& line) {
  std::vector<std::string> tokens;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

// One unit of the last printed digit of a number token ("0.63" -> 0.01), or 0 when the token
// is no plain number.
inline double LastDigitUnit(const std::string& token, double& value) {
  char* end = nullptr;
  value = std::strtod(token.c_str(), &end);
  if (end == token.c_str() || *end != '\0') return 0.0;
  const size_t dot = token.find('.');
  return dot == std::string::npos ? 1.0 : std::pow(10.0, -static_cast<double>(token.size() - dot - 1));
}

inline std::vector<std::string> ReportLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

inline ReportDifference CompareReports(const std::string& a, const std::string& b) {
  ReportDifference d;
  const auto la = ReportLines(a), lb = ReportLines(b);
  if (la.size() != lb.size()) {
    d.faults = 1;
    d.firstFault = "line counts " + std::to_string(la.size()) + " and " + std::to_string(lb.size());
  }
  for (size_t i = 0; i < std::min(la.size(), lb.size()); ++i) {
    if (la[i] == lb[i]) continue;
    const auto ta = ReportTokens(la[i]), tb = ReportTokens(lb[i]);
    bool tie = ta.size() == tb.size() && la[i].size() == lb[i].size();
    for (size_t t = 0; tie && t < ta.size(); ++t) {
      if (ta[t] == tb[t]) continue;
      double va = 0, vb = 0;
      const double unit = LastDigitUnit(ta[t], va);
      tie = unit > 0 && LastDigitUnit(tb[t], vb) == unit && std::fabs(va - vb) <= unit * 1.0001;
    }
    if (tie) {
      ++d.ties;
    } else if (d.faults++ == 0) {
      d.firstFault = "line " + std::to_string(i + 1) + "\n  " + la[i] + "\n  " + lb[i];
    }
  }
  return d;
}

}  // namespace vemo::test

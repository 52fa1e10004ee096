#include "geodesy/TextTools.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "geodesy/Encoding.h"

int IsSpaceString(const char* text) {
  for (const char* p = text; *p; ++p)
    if (*p != ' ' && *p != '\n' && *p != '\r') return 0;
  return -1;
}

int IsDigit(const char* text) {
  for (const char* p = text; *p; ++p)
    if (!((*p >= '0' && *p <= '9') || *p == '.' || *p == '-' || *p == '+')) return 0;
  return 1;
}

int GetItemViews(std::string_view line, std::vector<std::string_view>& items, char delimiter) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
  auto trimRight = [&](std::string_view text) {
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
  };
  auto trimLeft = [&](std::string_view text) {
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    return text;
  };
  items.clear();
  std::string_view rest = trimLeft(trimRight(line));
  // Each item is trimmed on the right, the remainder on the left, as the reader does.
  for (size_t pos = rest.find(delimiter); pos != std::string_view::npos; pos = rest.find(delimiter)) {
    items.push_back(trimRight(rest.substr(0, pos)));
    rest = trimLeft(rest.substr(pos + 1));
  }
  items.push_back(rest);
  return static_cast<int>(items.size());
}

int GetItemsValue(const char* line, std::vector<std::string>& items, char delimiter) {
  std::vector<std::string_view> views;
  GetItemViews(line, views, delimiter);
  items.assign(views.begin(), views.end());
  return static_cast<int>(items.size());
}

void FormatSpace(char* buffer, int length) {
  int i = 0;
  for (; i < length; ++i) buffer[i] = ' ';
  buffer[i] = '\0';
}

int GetPathFromFileName(const std::string& fileName, std::string& directory) {
  size_t pos = fileName.find_last_of("/\\");
  if (pos == std::string::npos) return 0;
  directory = fileName.substr(0, pos + 1);
  return 1;
}

void GetLaunchedDir(std::string& directory) {
  char path[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) {
    directory = "./";
    return;
  }
  std::string exe(path, static_cast<size_t>(n));
  size_t pos = exe.find_last_of('/');
  directory = pos == std::string::npos ? std::string("./") : exe.substr(0, pos + 1);
}

namespace vemo {

std::optional<double> ParseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || errno == ERANGE || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<int> ParseInteger(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return std::nullopt;
  return static_cast<int>(v);
}

}  // namespace vemo

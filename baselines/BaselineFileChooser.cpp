#include "baselines/BaselineFileChooser.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "geodesy/Encoding.h"

namespace vemo {
namespace fs = std::filesystem;

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchWildcards(std::string_view name, std::string_view mask) {
  // Iterative matching with one backtracking point for the last '*'.
  size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || LowerAscii(mask[m]) == LowerAscii(name[n]))) {
      ++n, ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++, starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1, n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

bool MatchesFileMask(const std::string& name, const std::string& mask) {
  if (mask.empty() || mask == "*" || mask == "*.*") return true;
  if (MatchWildcards(name, mask)) return true;
  // A mask ending in ".*" also takes names without an extension.
  return mask.size() > 2 && mask.compare(mask.size() - 2, 2, ".*") == 0 && name.find('.') == std::string::npos &&
         MatchWildcards(name, std::string_view(mask).substr(0, mask.size() - 2));
}

void CBaselineFileChooser::ListCandidates() {
  candidates.clear();
  std::error_code ec;
  for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string name = it->path().filename().string();
    if (MatchesFileMask(name, filter)) candidates.push_back(name);
  }
  std::sort(candidates.begin(), candidates.end());
}

void CBaselineFileChooser::ChoosePath(const std::string& path) {
  if (std::find(chosen.begin(), chosen.end(), path) == chosen.end()) chosen.push_back(path);
}

void CBaselineFileChooser::Choose(const std::vector<std::string>& names) {
  for (const auto& name : names) ChoosePath((fs::path(directory) / name).string());
}

void CBaselineFileChooser::ChooseAll() { Choose(candidates); }

void CBaselineFileChooser::RemoveChosen(const std::vector<std::string>& fullNames) {
  for (const auto& name : fullNames) std::erase(chosen, name);
}

}  // namespace vemo

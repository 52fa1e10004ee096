#include "app/baselines/BaselineFileChooser.h"

#include <algorithm>
#include <filesystem>

#include "geodesy/Encoding.h"

namespace vemo {
namespace fs = std::filesystem;

bool MatchesFilePattern(const std::string& name, const std::string& pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  if (pattern.rfind("*.", 0) == 0) {
    std::string ext = pattern.substr(1);  // ".GPS3DVector_S"
    return name.size() >= ext.size() && EqualNoCase(name.substr(name.size() - ext.size()), ext);
  }
  return EqualNoCase(name, pattern);
}

void CBaselineFileChooser::ListCandidates() {
  candidates.clear();
  std::error_code ec;
  for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string name = it->path().filename().string();
    if (MatchesFilePattern(name, filter)) candidates.push_back(name);
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

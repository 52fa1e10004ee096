#include "project/data/ClusterFile.h"

#include <algorithm>
#include <map>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"
#include "project/data/DataFileReader.h"

namespace vemo {

std::vector<CClusterCandidate> ClusterCandidates(const std::string& vectorPath, const std::vector<std::string>& from,
                                                 const std::vector<std::string>& to, const std::vector<int>& lines) {
  std::vector<CClusterCandidate> candidates;
  for (size_t j = 0; j < from.size() && j < to.size() && j < lines.size(); ++j)
    candidates.push_back({from[j], to[j], lines[j], static_cast<int>(j)});
  // The network has dropped the vectors its flag leaves out; the file still names them, and a
  // cluster that names one must be refused rather than bound to the next vector of the pair.
  std::string content;
  if (ReadFileContent(vectorPath, content)) {
    for (const auto& [line, text] : SplitLines(content)) {
      std::vector<std::string> items;
      std::string_view rest(text);
      std::string token;
      while (!(rest = TakeToken(rest, &token), token.empty())) items.push_back(token);
      if (items.size() == 12 && items[0] == "1")
        candidates.push_back({NormalizeName(items[1]), NormalizeName(items[2]), line, -1});
    }
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const CClusterCandidate& a, const CClusterCandidate& b) { return a.line < b.line; });
  return candidates;
}

bool ReadClusterFile(const std::string& path, const std::function<std::vector<CClusterCandidate>()>& listCandidates,
                     std::vector<CCovarianceBlock>& blocks) {
  blocks.clear();
  if (!FileExists(path)) return true;
  const std::vector<CClusterCandidate> candidates = listCandidates();
  std::map<std::pair<std::string, std::string>, std::vector<const CClusterCandidate*>> byPair;
  for (const CClusterCandidate& c : candidates) byPair[{c.from, c.to}].push_back(&c);
  const std::string file = PathToGbk(path);
  auto say = [](const std::string& text) { ShowMessage(text, AppTitle(), MessageIcon::Warning); };
  const auto resolve = [&](const std::vector<std::string>& items, int line) {
    if (items.size() < 2 || items.size() > 3) {
      ShowLineError(path, line, AppTitle());
      return -1;
    }
    std::string from = items[0], to = items[1];
    if (!CheckPointName(from, path, line, AppTitle()) || !CheckPointName(to, path, line, AppTitle())) return -1;
    int k = 0;
    if (items.size() == 3) {
      const auto n = ParseInteger(items[2]);
      if (!n || *n < 1) {
        ShowLineError(path, line, AppTitle());
        return -1;
      }
      k = *n;
    }
    const auto at = byPair.find({from, to});
    const size_t count = at == byPair.end() ? 0 : at->second.size();
    if (count == 0 || static_cast<size_t>(k) > count) {
      say(Format(UiText(u8"文件%s第 %d 行的基线向量%s-%s在基线向量文件中不存在!"), file.c_str(), line, from.c_str(),
                 to.c_str()));
      return -1;
    }
    if (k == 0 && count > 1) {
      say(Format(UiText(u8"文件%s第 %d 行的基线向量%s-%s在基线向量文件中有%d条,请在点名后给出其序号!"), file.c_str(), line,
                 from.c_str(), to.c_str(), static_cast<int>(count)));
      return -1;
    }
    const CClusterCandidate& c = *at->second[static_cast<size_t>(k > 0 ? k - 1 : 0)];
    if (c.index < 0) {
      say(Format(UiText(u8"文件%s第 %d 行的基线向量%s-%s(基线向量文件第 %d 行)已被剔除,不能列入CLUSTER!"), file.c_str(),
                 line, from.c_str(), to.c_str(), c.line));
      return -1;
    }
    return c.index;
  };
  CCovarianceFileForm form;
  form.keyword = "CLUSTER";
  form.minMembers = 2;
  form.singleLines = false;
  return ReadCovarianceBlocks(path, form, resolve, blocks);
}

}  // namespace vemo

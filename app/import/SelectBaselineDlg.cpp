#include "app/import/SelectBaselineDlg.h"

#include <algorithm>
#include <filesystem>

#include "app/AppState.h"
#include "app/commands/CommandFlow.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/ReadGPS3dBaseline.h"

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

std::string SyncFileOf(const std::string& input) {
  CReadGPS3dBaseline importer;
  std::string in = input, out;
  importer.CreateSyncFile(in, out);
  return out;
}

}  // namespace

bool MatchesFileMask(const std::string& name, const std::string& mask) {
  if (mask.empty() || mask == "*" || mask == "*.*") return true;
  if (MatchWildcards(name, mask)) return true;
  // A mask ending in ".*" also takes names without an extension.
  return mask.size() > 2 && mask.compare(mask.size() - 2, 2, ".*") == 0 && name.find('.') == std::string::npos &&
         MatchWildcards(name, std::string_view(mask).substr(0, mask.size() - 2));
}

CSelectBaselineDlg CSelectBaselineDlg::Open() {
  const CProjectState& p = Project();
  CSelectBaselineDlg d;
  d.mask = BaselineFileMask(p.configuration.m_BaselineType);
  d.files.directory = p.projectDir;
  const auto& last = p.configuration.m_SyncBaselineFiles;
  if (!last.empty()) {
    fs::path folder = fs::path(GbkToUtf8(last.front())).parent_path();
    if (DirectoryExists(folder.string())) d.files.directory = folder.string();
  }
  d.ListCandidates();
  return d;
}

void CSelectBaselineDlg::ListCandidates() {
  files.filter = "*.*";
  files.ListCandidates();
  std::erase_if(files.candidates, [&](const std::string& name) { return !MatchesFileMask(name, mask); });
}

bool CSelectBaselineDlg::BrowseDirectory() {
  auto folder = Platform().ChooseFolder(T(u8"选择基线文件路径"), files.directory);
  if (!folder) return false;
  files.directory = *folder;
  ListCandidates();
  return true;
}

bool CSelectBaselineDlg::BrowseMergedFile() {
  auto folder = Platform().ChooseFolder(T(u8"选择存放同步基线文件路径"), Project().projectDir);
  if (!folder || files.chosen.empty()) return false;
  mergedFile = (fs::path(*folder) / (fs::path(files.chosen.front()).stem().string() + ".GPS3DVector_S")).string();
  return true;
}

std::string CSelectBaselineDlg::DefaultMergedFile() const {
  return files.chosen.empty() ? std::string() : SyncFileOf(files.chosen.front());
}

void AcceptSelectBaselineDlg(const CSelectBaselineDlg& dialog) {
  CGPSConfiguration& c = Project().configuration;
  c.m_SyncBaselineFiles.clear();
  for (const auto& f : dialog.files.chosen) c.m_SyncBaselineFiles.push_back(PathToGbk(f));
  c.m_MergeFiles = dialog.merge;
  c.m_ConvertedBaselineFile = PathToGbk(dialog.mergedFile.empty() ? dialog.DefaultMergedFile() : dialog.mergedFile);
}

int ImportChosenBaselines() {
  const CGPSConfiguration& c = Project().configuration;
  BaselineImporter importer = BaselineImporterOf(c.m_BaselineType);
  if (!importer) return 1;
  CReadGPS3dBaseline baselines;
  if (!(baselines.*importer)()) return 0;
  std::vector<std::string> results;
  if (c.m_MergeFiles) {
    results.push_back(ResolvePathNoCase(GbkToUtf8(c.m_ConvertedBaselineFile)));
  } else {
    for (const auto& f : c.m_SyncBaselineFiles) {
      std::string output = SyncFileOf(GbkToUtf8(f));
      if (std::find(results.begin(), results.end(), output) == results.end()) results.push_back(output);
    }
  }
  for (const auto& r : results) OpenResultFile(r);
  return 1;
}

}  // namespace vemo

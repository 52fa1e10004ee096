#include "baselines/SelectBaselineDlg.h"

#include <algorithm>
#include <filesystem>

#include "project/AppState.h"
#include "project/data/DataFileReader.h"
#include "geodesy/BaselinePackages.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/ReadGPS3dBaseline.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace fs = std::filesystem;

namespace {

std::string SyncFileOf(const std::string& input) {
  CReadGPS3dBaseline importer;
  std::string in = input, out;
  importer.CreateSyncFile(in, out);
  return out;
}

}  // namespace

CSelectBaselineDlg CSelectBaselineDlg::Open() {
  const CProjectState& p = Project();
  CSelectBaselineDlg d;
  d.baselineType = p.configuration.m_BaselineType;
  d.mask = BaselineFileMask(d.baselineType);
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
  files.filter = mask;
  files.ListCandidates();
}

void CSelectBaselineDlg::ChooseBaselineType(int type) {
  baselineType = type;
  mask = BaselineFileMask(type);
  ListCandidates();
}

bool CSelectBaselineDlg::BrowseDirectory() {
  auto folder = Platform().ChooseFolder(UiText(u8"选择基线文件路径"), files.directory);
  if (!folder) return false;
  files.directory = *folder;
  ListCandidates();
  return true;
}

bool CSelectBaselineDlg::BrowseMergedFile() {
  auto folder = Platform().ChooseFolder(UiText(u8"选择存放同步基线文件路径"), Project().projectDir);
  if (!folder || files.chosen.empty()) return false;
  mergedFile = (fs::path(*folder) / (fs::path(files.chosen.front()).stem().string() + ".GPS3DVector_S")).string();
  return true;
}

std::string CSelectBaselineDlg::DefaultMergedFile() const {
  return files.chosen.empty() ? std::string() : SyncFileOf(files.chosen.front());
}

int AcceptSelectBaselineDlg(const CSelectBaselineDlg& dialog) {
  // The choice is kept, and the files are opened, through GBK paths: a name that GBK cannot
  // hold would no longer name its file.
  const std::string merged = dialog.mergedFile.empty() ? dialog.DefaultMergedFile() : dialog.mergedFile;
  for (const auto& f : dialog.files.chosen)
    if (!CheckGbkPath(f)) return 0;
  if (!CheckGbkPath(merged)) return 0;
  CGPSConfiguration& c = Project().configuration;
  c.m_SyncBaselineFiles.clear();
  for (const auto& f : dialog.files.chosen) c.m_SyncBaselineFiles.push_back(PathToGbk(f));
  c.m_MergeFiles = dialog.merge;
  c.m_ConvertedBaselineFile = PathToGbk(merged);
  return 1;
}

int ImportChosenBaselines() {
  CBaselineImportSummary summary;
  return ImportChosenBaselines(Project().configuration.m_BaselineType, summary);
}

int ImportChosenBaselines(int type, CBaselineImportSummary& summary) {
  const CGPSConfiguration& c = Project().configuration;
  const CBaselinePackage* package = BaselinePackageOf(type);
  if (!package || !package->reader) return 1;
  CReadGPS3dBaseline baselines;
  if (!baselines.Import(type, &summary)) return 0;
  std::vector<std::string> results;
  if (c.m_MergeFiles) {
    results.push_back(ResolvePathNoCase(GbkToUtf8(c.m_ConvertedBaselineFile)));
  } else {
    for (const auto& f : c.m_SyncBaselineFiles) {
      std::string output = SyncFileOf(GbkToUtf8(f));
      if (std::find(results.begin(), results.end(), output) == results.end()) results.push_back(output);
    }
  }
  for (const auto& r : results) OpenProjectDocument(r);
  return 1;
}

}  // namespace vemo

#include "project/AppState.h"

#include <algorithm>
#include <filesystem>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "geodesy/Version.h"

namespace vemo {

CProjectState& Project() {
  static CProjectState state;
  return state;
}

std::string CurrentProjectFile(const std::string& extension) {
  return ProjectFileName(Project().projectDir, Project().projectName, extension);
}

std::string CurrentProjectFile(ProjectFile file, int variant) { return CurrentProjectFile(Extension(file, variant)); }

bool CheckOutputReplacesNoData(const std::string& output, const std::vector<std::string>& inputs,
                               std::initializer_list<ProjectFile> own) {
  // A name that differs only in letter case is the file the readers would take.
  const std::string target = ResolvePathNoCase(output);
  for (const std::string& input : inputs)
    if (!input.empty() && IsSameFile(input, target)) {
      ShowMessage(Format(UiText(u8"结果文件'%s'就是输入文件，请另选结果文件名!"), PathToGbk(output).c_str()), AppTitle(),
                  MessageIcon::Warning);
      return false;
    }
  if (Project().projectOpen != 1) return true;
  // A name of the catalogue in the project's folder, in any letter case, or another name of
  // such a file (a link): the folders are compared once, and no folder is searched per kind.
  const std::filesystem::path path(target);
  const bool inProject = IsSameFile(path.has_parent_path() ? path.parent_path().string() : ".", Project().projectDir);
  const bool exists = FileExists(target);
  const std::string name = path.filename().string(), stem = GbkToUtf8(Project().projectName) + ".";
  for (int k = 0; k <= static_cast<int>(kLastProjectFile); ++k) {
    const auto kind = static_cast<ProjectFile>(k);
    if (std::find(own.begin(), own.end(), kind) != own.end()) continue;
    for (int variant = 0; variant <= (HasOneFixVariant(kind) ? 1 : 0); ++variant) {
      const std::string file = stem + Extension(kind, variant);
      std::error_code ec;
      if ((inProject && EqualNoCase(name, file)) ||
          (exists && std::filesystem::equivalent(Project().projectDir + "/" + file, target, ec))) {
        ShowMessage(Format(UiText(u8"结果文件'%s'是工程%s的数据文件，请另选结果文件名!"), PathToGbk(output).c_str(),
                           Project().projectName.c_str()),
                    AppTitle(), MessageIcon::Warning);
        return false;
      }
    }
  }
  return true;
}

void SetApproximateFileMode(int on) { Project().approxXYZFromFile = on ? 1 : 0; }

const char* AppTitle() {
  static const std::string title = std::string(u8"VemoGPS－GPS工程测量网通用平差软件包  V") + kVemoVersion;
  return T(title.c_str());
}

// Built at each call (the interface's catalog may be installed after the first one); the text
// stays valid until the next call in the same thread.
const char* UiAppTitle() {
  thread_local std::string title;
  title = std::string(UiText(u8"VemoGPS－GPS工程测量网通用平差软件包")) + "  V" + kVemoVersion;
  return title.c_str();
}

std::string MainWindowTitle() { return Format(T(u8"%s—[%s]"), AppTitle(), Project().projectName.c_str()); }

}  // namespace vemo

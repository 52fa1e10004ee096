#include "project/AppState.h"

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"

namespace vemo {

CProjectState& Project() {
  static CProjectState state;
  return state;
}

std::string CurrentProjectFile(const std::string& extension) {
  return ProjectFileName(Project().projectDir, Project().projectName, extension);
}

std::string CurrentProjectFile(ProjectFile file, int variant) { return CurrentProjectFile(Extension(file, variant)); }

void SetApproximateFileMode(int on) { Project().approxXYZFromFile = on ? 1 : 0; }

const char* AppTitle() { return T(u8"VemoGPS－GPS工程测量网通用平差软件包  V5.20"); }

std::string MainWindowTitle() { return Format(T(u8"%s—[%s]"), AppTitle(), Project().projectName.c_str()); }

}  // namespace vemo

#include "geodesy/LibraryState.h"

#include <cstdio>

#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"

namespace {

struct LibraryState {
  CGPSConfiguration* configuration = nullptr;
  std::string directory;
  std::string name;
};

LibraryState& State() {
  static LibraryState state;
  return state;
}

}  // namespace

void SetGlobalVal(CGPSConfiguration* configuration, const std::string& directory, const std::string& name) {
  LibraryState& s = State();
  s.configuration = configuration;
  s.directory = directory;
  s.name = name;
}

CGPSConfiguration* GlobalConfiguration() { return State().configuration; }
const std::string& GlobalProjectDir() { return State().directory; }
const std::string& GlobalProjectName() { return State().name; }

const char* ApplicationTitle() { return "VemoGPS"; }

void OpenFileError(std::string fileName) {
  vemo::ShowMessage(vemo::Format(vemo::UiText(u8"打开文件'%s'出错!"), vemo::PathToGbk(fileName).c_str()),
                    ApplicationTitle(), vemo::MessageIcon::Warning);
}

void OutOfMemory() {
  vemo::ShowMessage(vemo::UiText(u8"内存不足,请关闭一些应用程序后再试!"), ApplicationTitle(),
                    vemo::MessageIcon::Warning);
}

size_t AvailableMemory() {
  std::FILE* meminfo = std::fopen("/proc/meminfo", "r");
  if (!meminfo) return 0;
  char line[256];
  unsigned long long kb = 0;
  while (std::fgets(line, sizeof line, meminfo))
    if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1) break;
  std::fclose(meminfo);
  return static_cast<size_t>(kb) * 1024;
}

void GetWindowMessage() { vemo::Platform().PumpMessage(); }

// The process-wide project state of the program: the one configuration object, the current
// project name and directory from which every project file name is formed, and the flags
// that enable commands. It lives for the whole run.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "geodesy/GPSConfiguration.h"
#include "geodesy/ProjectFiles.h"

namespace vemo {

struct CProjectState {
  CGPSConfiguration configuration;
  std::string projectName;  // GBK: the project file's name without extension
  std::string projectDir;   // native path without trailing separator
  int projectOpen = 0;      // 1 once a project was created or opened; never back to 0
  int approxXYZFromFile = 0;  // approximate-file mode of the 3D vector loader
  // True while the configuration mirrors the project file on disk (loaded from it or written
  // to it in this run). The exit save writes only then, so a file that could not be read is
  // never overwritten with defaults.
  bool configurationFromFile = false;
  // The directory of that project file (the same as projectDir unless a caller moved the
  // working directory on its own).
  std::string projectFileDir;
};

CProjectState& Project();

// "directory/name.extension" of the current project (see ProjectFileName).
std::string CurrentProjectFile(const std::string& extension);
// The current project's file of a kind, in a network variant (see ProjectFiles.h).
std::string CurrentProjectFile(ProjectFile file, int variant = 0);

// Whether a command may write output: it is none of the command's inputs and, in an open
// project, none of the project's data files (any kind of the catalogue, in either network
// variant) except the kinds the command writes itself. Otherwise a warning names the file
// and the result is false.
bool CheckOutputReplacesNoData(const std::string& output, const std::vector<std::string>& inputs,
                               std::initializer_list<ProjectFile> own = {});

// The main window title "%s—[%s]" after a project was opened (GBK).
std::string MainWindowTitle();

// The approximate-file mode of the 3D vector loader: the 3D adjustment and the one-point-one-
// direction network switch it off before loading, the free network on; the other commands
// load with the mode as the last of these left it.
void SetApproximateFileMode(int on);

// Application title, string 128 (GBK).
const char* AppTitle();
// The same title in the interface language (GBK), for a host that shows AppTitle() captions
// itself (the console); valid until the next call in the same thread.
const char* UiAppTitle();

}  // namespace vemo

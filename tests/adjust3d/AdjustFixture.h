// A project in a temporary directory for the tests of the 3D adjustment: its configuration
// (WGS-84, central meridian 114°, y constant 500 km, grade errors a = 5 mm, b = 1 ppm), writers
// of the known point and vector files, and readers of the files the adjustment writes.
#pragma once

#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "project/AppState.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "tests/support/TestHost.h"

namespace vemo::test {

class AdjustProject {
 public:
  AdjustProject() {
    CProjectState& p = Project();
    p.projectDir = dir.str();
    p.projectName = "net";
    p.projectOpen = 1;
    CGPSConfiguration& c = p.configuration;
    c.m_CurrentCoorsSystem = {"WGS84", 6378137.0, 298.257223563, 1};
    c.m_CentralMeridian = 114.0;
    c.m_XConstant = 0.0;
    c.m_YConstant = 500.0;
    c.m_NetClass[NetClassParameters::kFixedError] = 5.0;
    c.m_NetClass[NetClassParameters::kProportionalError] = 1.0;
    SetGlobalVal(&c, p.projectDir, p.projectName);
  }
  CGPSConfiguration& Configuration() { return Project().configuration; }
  std::string File(const std::string& ext) const { return CurrentProjectFile(ext); }
  std::string Read(const std::string& ext) const { return ReadWholeFile(File(ext)).value_or("<missing>"); }
  bool Exists(const std::string& ext) const { return FileExists(File(ext)); }
  void Write(const std::string& ext, const std::string& text) const { WriteFileAtomically(File(ext), text); }
  std::vector<std::string> MessagesUtf8() const {
    std::vector<std::string> texts;
    for (const auto& m : scope.host.messages) texts.push_back(m.Utf8Text());
    return texts;
  }

  ScopedTestHost scope;
  TempDir dir;
};

// The project "net" made by the program itself in dir, configured as AdjustProject is (WGS-84,
// central meridian 114°, y constant 500 km), with the settings in configDir. Returns the
// result of the run.
inline ProgramRun CreateProgramProject(const std::string& dir, const std::string& configDir) {
  return RunProgram({"new-project", "--name", "net", "--dir", dir, "--ellipsoid", "WGS84", "--central-meridian",
                     "114", "--y-constant", "500"},
                    configDir);
}

// A project made by CreateProgramProject in its own temporary directory, holding copies of
// files of a fixture's project: for the tests of the commands, which run the program on it.
class ProgramProject {
 public:
  ProgramProject(const AdjustProject& source, std::initializer_list<const char*> extensions)
      : dir((work.path() / "prj").string()), prj(dir + "/net.prj") {
    created = CreateProgramProject(dir, config.str());
    if (created.status == 0)
      for (const char* ext : extensions) std::filesystem::copy_file(source.File(ext), dir + "/net." + ext);
  }
  // Runs the program on the project with these arguments.
  ProgramRun Run(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), {"--project", prj});
    return RunProgram(arguments, config.str());
  }

  TempDir config, work;
  std::string dir, prj;
  ProgramRun created;  // the run of "new-project"
};

// Lines of a known 3D point file and of a vector file (11 items, covariance in cm²).
inline std::string KnownXYZ(const std::string& name, double x, double y, double z) {
  return Format("%20s %20.9lf %20.9lf %20.9lf\n", name.c_str(), x, y, z);
}

inline std::string Vector(const std::string& from, const std::string& to, double dx, double dy, double dz,
                          double xx = 0.25, double yy = 0.36, double zz = 0.49, double xy = 0.05, double xz = -0.03,
                          double yz = 0.04) {
  return Format("%16s %16s %15.4lf %15.4lf %15.4lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n",
                from.c_str(), to.c_str(), dx, dy, dz, xx, yy, zz, xy, xz, yz);
}

// The lines of a text, for locating one.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace vemo::test

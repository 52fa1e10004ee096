// A project in a temporary directory for the observation checks: its configuration, and
// writers of the known point and vector files.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "project/AppState.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "tests/support/TestHost.h"

namespace vemo::test {

struct TruePoint {
  std::string name;
  double x, y, z;
};

class CheckProject {
 public:
  explicit CheckProject(int grade = 2) {
    CProjectState& p = Project();
    p.projectDir = dir.str();
    p.projectName = "chk";
    p.projectOpen = 1;
    p.configuration.m_GradeIndex = grade;
    SetGlobalVal(&p.configuration, p.projectDir, p.projectName);
  }
  std::string File(const std::string& ext) const { return CurrentProjectFile(ext); }
  std::string Read(const std::string& ext) const { return ReadWholeFile(File(ext)).value_or("<missing>"); }
  void Write(const std::string& ext, const std::string& text) const { WriteFileAtomically(File(ext), text); }
  std::string WriteSync(const std::string& name, const std::string& text) const {
    std::string path = dir.str() + "/" + name;
    WriteFileAtomically(path, text);
    return path;
  }

  ScopedTestHost scope;
  TempDir dir;
};

// An 11-item vector line with the given components and a diagonal covariance (cm²).
inline std::string VectorLine(const std::string& from, const std::string& to, double dx, double dy, double dz,
                              double variance = 0.01) {
  return Format("%s %s %.4lf %.4lf %.4lf %.6lf %.6lf %.6lf 0 0 0\n", from.c_str(), to.c_str(), dx, dy, dz, variance,
                variance, variance);
}

inline std::string VectorLine(const TruePoint& a, const TruePoint& b, double variance = 0.01) {
  return VectorLine(a.name, b.name, b.x - a.x, b.y - a.y, b.z - a.z, variance);
}

inline std::string KnownLine(const TruePoint& p) { return Format("%s %.4lf %.4lf %.4lf\n", p.name.c_str(), p.x, p.y, p.z); }

}  // namespace vemo::test

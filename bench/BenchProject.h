// The project the adjustment benchmarks run in: "bench" in the given directory, WGS-84,
// central meridian 114°, y constant 500 km, approximate coordinates computed, not read.
#pragma once

#include <string>

#include "project/AppState.h"
#include "geodesy/LibraryState.h"

namespace vemo::bench {

inline void OpenBenchProject(const std::string& dir) {
  CProjectState& p = Project();
  p.projectDir = dir;
  p.projectName = "bench";
  p.projectOpen = 1;
  p.configuration.m_CurrentCoorsSystem = {"WGS84", 6378137.0, 298.257223563, 1};
  p.configuration.m_CentralMeridian = 114.0;
  p.configuration.m_YConstant = 500.0;
  SetGlobalVal(&p.configuration, p.projectDir, p.projectName);
  p.approxXYZFromFile = 0;
}

}  // namespace vemo::bench

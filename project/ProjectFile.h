// The binary project file "<directory>/<name>.prj": records 1 to 21 of the configuration.
#pragma once

#include <string>

#include "geodesy/GPSConfiguration.h"

namespace vemo {

// The bytes of the project file for a configuration.
std::string SerializeConfiguration(const CGPSConfiguration& configuration);

// Reads records in file order into configuration (applying the grade after record 11, adding
// stored coordinate systems whose names are new). Returns false at the first damaged or
// missing record; the fields read before it keep their new values.
bool DeserializeConfiguration(const std::string& bytes, CGPSConfiguration& configuration);

// Saves the current project's file atomically. 0 when the project name is empty (nothing
// written) or the file cannot be created ("Couldn't open source file: ..." on standard
// output); 1 on success.
int SaveProjectFile();

// Loads the current project's file into the configuration. 0, configuration unchanged, when
// the file cannot be opened. A damaged file asks "无效的工程文件或该文件\n已被破坏,继续进行？":
// Yes resets the coordinate systems and counts as loaded (1), No fails (0).
int LoadProjectFile();

}  // namespace vemo

// The binary project file "<directory>/<name>.prj": records 1 to 21 of the configuration.
#pragma once

#include <cstdint>
#include <string>

#include "geodesy/GPSConfiguration.h"

namespace vemo {

// The bytes of the project file for a configuration.
std::string SerializeConfiguration(const CGPSConfiguration& configuration);

// What the fields of a project can mean. A file beyond them was not written by the program.
constexpr double kMaxAddConstantKm = 100000.0;  // X and Y add constants, km
constexpr double kMaxPrecisionValue = 1e9;      // precision indices (1/N up to 1e8), variance factor
constexpr int32_t kMaxIndependentBaselines = 1000000;  // and the loop side limit
constexpr int32_t kMaxCoorsSystems = 10000;

// Reads records in file order into configuration (applying the grade after record 11, adding
// stored coordinate systems whose names are new). Returns false at the first damaged or
// missing record; the fields read before it keep their new values. A field whose value has
// no meaning (a projection type other than 0 and 1, a variance factor that is not a positive
// number, a count beyond the bounds above) is damaged too: it keeps its old value, and its
// dialog label goes to damagedField (UTF-8) when given.
bool DeserializeConfiguration(const std::string& bytes, CGPSConfiguration& configuration,
                              std::string* damagedField = nullptr);

// Saves the current project's file atomically. 0 when the project name is empty (nothing
// written) or the file cannot be created ("Couldn't open source file: ..." on standard
// output); 1 on success.
int SaveProjectFile();

// Loads the current project's file into the configuration. 0, configuration unchanged, when
// the file cannot be opened. A damaged file asks "无效的工程文件或该文件\n已被破坏,继续进行？":
// Yes resets the coordinate systems and counts as loaded (1), No fails (0).
int LoadProjectFile();

}  // namespace vemo

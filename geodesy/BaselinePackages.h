// The receiver packages whose baseline exports the library imports: one row a package, the
// one list from which the import, the selection dialog's file mask, the project dialog, the
// project file's check and the help texts are made. A row's index is its baseline type, the
// number that project files store (CGPSConfiguration::m_BaselineType), so rows are appended,
// never reordered.
#pragma once

#include <span>

namespace vemo {

namespace baseline {
class CImportFile;
}

// How a package's importer uses the reference station named on the first line of the
// project's known-coordinate file.
enum class ReferenceUse {
  None,     // no reference station
  Require,  // the known file must name one: read, not used further
  Collect,  // collect its coordinates from the baselines and rewrite the known file
};

struct CBaselinePackage {
  int type;              // the baseline type, equal to the row's index
  const char* name;      // UTF-8, as the project dialog lists it
  const char* helpName;  // ASCII, as the command line's help lists it
  const char* mask;      // the files the selection dialog lists ("*.asc", "o*.*"); "": every file
  ReferenceUse reference;
  void (*reader)(baseline::CImportFile& file);  // nullptr: the type has no importer
};

// Every package, by baseline type.
std::span<const CBaselinePackage> BaselinePackages();

// The row of a baseline type; nullptr outside the table.
const CBaselinePackage* BaselinePackageOf(int type);

// The name of a baseline type as the project dialog lists it, in GBK; nullptr outside the
// table.
const char* BaselineTypeName(int type);

// The file mask of a baseline type; "" outside the table.
const char* BaselineFileMask(int type);

}  // namespace vemo

// The package table. A new package is its reader (in a Baseline*.cpp of its own, or beside a
// package whose records it shares, on the common frame of BaselineImport.h) and its row here,
// appended with the next type number.
#include "geodesy/BaselinePackages.h"

#include <iterator>

#include "geodesy/Encoding.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace baseline {

// The readers, each defined in the file of its package.
void ReadTrimbleFile(CImportFile& file);
void ReadAshtechFile(CImportFile& file);
void ReadLeicaFile(CImportFile& file);
void ReadSokkiaFile(CImportFile& file);
void ReadLipFile(CImportFile& file);
void ReadVemogpsFile(CImportFile& file);
void ReadJavadFile(CImportFile& file);
void ReadGamitFile(CImportFile& file);
void ReadNovatelFile(CImportFile& file);
void ReadZhonghaidaFile(CImportFile& file);
void ReadSouthFile(CImportFile& file);
void ReadHuaceFile(CImportFile& file);

}  // namespace baseline

namespace {
using namespace baseline;
using enum ReferenceUse;

constexpr CBaselinePackage kPackages[] = {
    // type, project dialog (names in Chinese letters are translated where shown), help, file
    // mask, reference station, reader
    {0, "Trimble(TGO/TTC/GPSurvey)", "Trimble", "*.asc", None, ReadTrimbleFile},
    {1, "Ashtech(GPPS/Solution)", "Ashtech", "o*.*", None, ReadAshtechFile},
    {2, "Leica(SKI/LGO)", "Leica", "*.asc", Collect, ReadLeicaFile},
    {3, "Sokkia", "Sokkia", "", None, ReadSokkiaFile},
    {4, "Rouge", "Rouge", "", None, nullptr},
    {5, "Lip", "Lip", "", Collect, ReadLipFile},
    {6, "VemoGPS", "VemoGPS", "*.txt", None, ReadVemogpsFile},
    {7, "Javad(Pinnacle)", "Javad", "*.txt", None, ReadJavadFile},
    {8, "Gamit", "Gamit", "*.txt", None, ReadGamitFile},
    {9, "Novatel", "Novatel", "*.iob", None, ReadNovatelFile},
    {10, TrNoop(u8"中海达"), "Zhonghaida", "*.*", None, ReadZhonghaidaFile},
    {11, TrNoop(u8"南方(asc)"), "South", "*.asc", Require, ReadSouthFile},
    {12, TrNoop(u8"华测"), "Huace", "*.isb", None, ReadHuaceFile},
};

// Each row states its type so that it reads without counting; a row out of place would change
// what the project files already written mean.
constexpr bool TypesAreRowIndices() {
  for (size_t i = 0; i < std::size(kPackages); ++i)
    if (kPackages[i].type != static_cast<int>(i)) return false;
  return true;
}
static_assert(TypesAreRowIndices(), "a baseline package's type number must be its row's index");

}  // namespace

std::span<const CBaselinePackage> BaselinePackages() { return kPackages; }

const CBaselinePackage* BaselinePackageOf(int type) {
  if (type < 0 || type >= static_cast<int>(std::size(kPackages))) return nullptr;
  return &kPackages[type];
}

const char* BaselineTypeName(int type) {
  const CBaselinePackage* package = BaselinePackageOf(type);
  return package ? T(package->name) : nullptr;
}

const char* BaselineFileMask(int type) {
  const CBaselinePackage* package = BaselinePackageOf(type);
  return package ? package->mask : "";
}

}  // namespace vemo

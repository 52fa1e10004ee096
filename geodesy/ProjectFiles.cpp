#include "geodesy/ProjectFiles.h"

#include <array>
#include <cstddef>

namespace vemo {

namespace {

struct CatalogueRow {
  ProjectFile file;
  const char* extension;
  bool oneFixVariant;
};

// In the order of the enumeration, which the lookup checks once.
constexpr std::array kCatalogue = {
    CatalogueRow{ProjectFile::Project, "prj", false},
    CatalogueRow{ProjectFile::Vector3d, "GPS3dVector", false},
    CatalogueRow{ProjectFile::KnownXYZ, "GPS3dKnownXYZ", true},
    CatalogueRow{ProjectFile::ApproximateXYZ, "GPS3dApproximateXYZ", true},
    CatalogueRow{ProjectFile::Result3d, "GPS3dResult", true},
    CatalogueRow{ProjectFile::Test3d, "GPS3dTest", true},
    CatalogueRow{ProjectFile::BLH3d, "GPS3dBLH", true},
    CatalogueRow{ProjectFile::XYHEFT3d, "GPS3dXYHEFT", true},
    CatalogueRow{ProjectFile::XYH3d, "GPS3dXYH", true},
    CatalogueRow{ProjectFile::BLHVector3d, "GPS3dBLHVector", true},
    CatalogueRow{ProjectFile::Vector2d, "GPS2dVector", true},
    CatalogueRow{ProjectFile::KnownXY, "GPS2dKnownXY", true},
    CatalogueRow{ProjectFile::Distance, "GPS2dDistance", false},
    CatalogueRow{ProjectFile::Azimuth, "GPS2dAzimuth", true},
    CatalogueRow{ProjectFile::RelativePairs, "GPS2dRel", false},
    CatalogueRow{ProjectFile::Result2d, "GPS2dResult", true},
    CatalogueRow{ProjectFile::Test2d, "GPS2dTest", true},
    CatalogueRow{ProjectFile::XY2d, "GPS2dXY", true},
    CatalogueRow{ProjectFile::XYEFT2d, "GPS2dXYEFT", true},
    CatalogueRow{ProjectFile::KnownH, "GPS1dKnownH", false},
    CatalogueRow{ProjectFile::Heights1d, "GPS1dH", false},
    CatalogueRow{ProjectFile::Result1d, "GPS1dResult", false},
    CatalogueRow{ProjectFile::Test1d, "GPS1dTest", false},
    CatalogueRow{ProjectFile::Combined3dResult, "GPS3dBLHResult", false},
    CatalogueRow{ProjectFile::Combined3dTest, "GPS3dBLHTest", false},
    CatalogueRow{ProjectFile::Loop, "GPS3dLoop", false},
    CatalogueRow{ProjectFile::Misclosure, "GPS3dMisclosure", false},
    CatalogueRow{ProjectFile::SyncLoop, "GPS3dSyncLoop", false},
    CatalogueRow{ProjectFile::SyncMisclosure, "GPS3dSyncMisclosure", false},
    CatalogueRow{ProjectFile::RepeatBaseline, "GPS3dRepeatBaseline", false},
    CatalogueRow{ProjectFile::RepeatBaselineClassAB, "GPS3dRepeatBaselineClassAB", false},
    CatalogueRow{ProjectFile::FreeXXInput, "GPS3dFreeXXInput", false},
    CatalogueRow{ProjectFile::FreeQxxInput, "GPS3dFreeQxxInput", false},
    CatalogueRow{ProjectFile::FreeGxxInput, "GPS3dFreeGxxInput", false},
    CatalogueRow{ProjectFile::FreeXXOut, "GPS3dFreeXXOut", false},
    CatalogueRow{ProjectFile::FreeQxxOut, "GPS3dFreeQxxOut", false},
    CatalogueRow{ProjectFile::FreeMxxOut, "GPS3dFreeMxxOut", false},
    CatalogueRow{ProjectFile::FreeXXQxx, "GPS3dFreeXXQxx", false},
    CatalogueRow{ProjectFile::FreeENUQenu, "GPS3dFreeENUQenu", false},
    CatalogueRow{ProjectFile::OneFix, "OneFix", false},
    CatalogueRow{ProjectFile::BreakthroughGuide, "gti", false},
    CatalogueRow{ProjectFile::BreakthroughExtract, "gtt", true},
    CatalogueRow{ProjectFile::BreakthroughReport, "gto", false},
    CatalogueRow{ProjectFile::GeoJson, "geojson", false},
    CatalogueRow{ProjectFile::Kml, "kml", false},
    CatalogueRow{ProjectFile::KnownCov3d, "GPS3dKnownCov", false},
    CatalogueRow{ProjectFile::KnownCov2d, "GPS2dKnownCov", false},
    CatalogueRow{ProjectFile::Cluster3d, "GPS3dCluster", false},
    CatalogueRow{ProjectFile::CovScale3d, "GPS3dCovScale", false},
    CatalogueRow{ProjectFile::ImportLog, "GPS3dImportLog", false},
};

constexpr bool InEnumerationOrder() {
  for (size_t i = 0; i < kCatalogue.size(); ++i)
    if (static_cast<size_t>(kCatalogue[i].file) != i) return false;
  return true;
}
static_assert(InEnumerationOrder(), "the catalogue's rows follow the enumeration");
static_assert(kCatalogue.size() == static_cast<size_t>(kLastProjectFile) + 1, "every kind has a row");

const CatalogueRow& Row(ProjectFile file) { return kCatalogue[static_cast<size_t>(file)]; }

}  // namespace

const char* Extension(ProjectFile file) { return Row(file).extension; }

bool HasOneFixVariant(ProjectFile file) { return Row(file).oneFixVariant; }

std::string Extension(ProjectFile file, int variant) {
  std::string extension = Row(file).extension;
  if (variant == 1 && Row(file).oneFixVariant) extension += '1';
  return extension;
}

}  // namespace vemo

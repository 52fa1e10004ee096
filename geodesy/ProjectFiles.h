// The catalogue of a project's files: each kind of file the commands read or write, its
// extension ("<project>.<extension>") and whether the one-point-one-direction network keeps a
// file of that kind of its own. That network's files carry a "1" after the extension
// ("GPS2dResult1"), so that its run never overwrites the ordinary network's files; the ground
// distances, the vectors it reads and the project's other files it shares with the ordinary
// run. Every reader and writer names its files through this catalogue.
#pragma once

#include <string>

namespace vemo {

enum class ProjectFile {
  Project,                // prj: the project file
  Vector3d,               // GPS3dVector: the independent 3D baseline vectors
  KnownXYZ,               // GPS3dKnownXYZ
  ApproximateXYZ,         // GPS3dApproximateXYZ
  Result3d,               // GPS3dResult: the report of the 3D adjustment
  Test3d,                 // GPS3dTest: its statistical tests
  BLH3d,                  // GPS3dBLH: adjusted geodetic coordinates
  XYHEFT3d,               // GPS3dXYHEFT: adjusted plane coordinates with the error ellipses
  XYH3d,                  // GPS3dXYH: adjusted plane coordinates and heights
  BLHVector3d,            // GPS3dBLHVector: the vectors as geodetic differences
  Vector2d,               // GPS2dVector: the vectors reduced to the plane
  KnownXY,                // GPS2dKnownXY
  Distance,               // GPS2dDistance: ground distances
  Azimuth,                // GPS2dAzimuth: ground azimuths
  RelativePairs,          // GPS2dRel: point pairs whose relative precision the plane report gives
  Result2d,               // GPS2dResult: the report of the plane adjustment
  Test2d,                 // GPS2dTest
  XY2d,                   // GPS2dXY: adjusted plane coordinates
  XYEFT2d,                // GPS2dXYEFT: adjusted plane coordinates with the error ellipses
  KnownH,                 // GPS1dKnownH: known normal heights
  Heights1d,              // GPS1dH: the heights to fit
  Result1d,               // GPS1dResult: the report of the height fitting
  Test1d,                 // GPS1dTest: its statistical tests
  Combined3dResult,       // GPS3dBLHResult: the report of the ellipsoidal adjustment
  Combined3dTest,         // GPS3dBLHTest: its statistical tests
  Loop,                   // GPS3dLoop: the asynchronous loops
  Misclosure,             // GPS3dMisclosure
  SyncLoop,               // GPS3dSyncLoop
  SyncMisclosure,         // GPS3dSyncMisclosure
  RepeatBaseline,         // GPS3dRepeatBaseline
  RepeatBaselineClassAB,  // GPS3dRepeatBaselineClassAB
  FreeXXInput,            // GPS3dFreeXXInput: the free network's input files
  FreeQxxInput,           // GPS3dFreeQxxInput
  FreeGxxInput,           // GPS3dFreeGxxInput
  FreeXXOut,              // GPS3dFreeXXOut: the free network's results
  FreeQxxOut,             // GPS3dFreeQxxOut
  FreeMxxOut,             // GPS3dFreeMxxOut
  FreeXXQxx,              // GPS3dFreeXXQxx: a campaign for the stability analysis
  FreeENUQenu,            // GPS3dFreeENUQenu
  OneFix,                 // OneFix: the remembered input of the one-point-one-direction network
  BreakthroughGuide,      // gti: the user's tunnel guide file
  BreakthroughExtract,    // gtt: the plane results of the tunnels' control points
  BreakthroughReport,     // gto: the breakthrough errors
  GeoJson,                // geojson
  Kml,                    // kml
  KnownCov3d,             // GPS3dKnownCov: covariances of known 3D points (a weighted datum)
  KnownCov2d,             // GPS2dKnownCov: covariances of known plane points
  Cluster3d,              // GPS3dCluster: full covariances of correlated baseline sessions
  CovScale3d,             // GPS3dCovScale: covariance scaling of the vectors, per project and session
  ImportLog,              // GPS3dImportLog: what an import from another program read and renamed
};
// The last kind of the enumeration, for walks over every kind.
constexpr ProjectFile kLastProjectFile = ProjectFile::ImportLog;

// The extension of an ordinary project file.
const char* Extension(ProjectFile file);
// The extension of the file in a network variant: variant 1 (the one-point-one-direction
// network) appends "1" where that network keeps a file of its own; otherwise the ordinary one.
std::string Extension(ProjectFile file, int variant);
// Whether the one-point-one-direction network keeps a file of this kind of its own.
bool HasOneFixVariant(ProjectFile file);

}  // namespace vemo

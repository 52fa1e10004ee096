// Exports of the adjusted 3D network to GIS formats: GeoJSON (RFC 7946) and KML 2.2, both in
// WGS-84 longitude and latitude (degrees) with the ellipsoidal height. The network is read
// from the 3D adjustment's result file, whose layout the adjustment fixes, so any adjusted
// project exports, also one adjusted elsewhere: the adjusted X, Y, Z with their precisions
// and the vector residuals with their verdicts. The baselines' frame is WGS-84 whatever
// ellipsoid the project uses for its plane coordinates.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vemo {

class CGeoidModel;

struct CGisPoint {
  std::string name;  // GBK
  bool known = false;
  double X = 0, Y = 0, Z = 0;             // m
  double mx = 0, my = 0, mz = 0, mp = 0;  // cm; 0 for a known point
  double longitude = 0, latitude = 0, height = 0;  // degrees, degrees, m (WGS-84)
  std::optional<double> undulation;  // N of the geoid model asked for (m); the orthometric height is height - N
};

struct CGisBaseline {
  int number = 0;
  int from = -1, to = -1;               // indices into the points
  double vx = 0, vy = 0, vz = 0;        // residuals, cm
  double tolerance = 0;                 // cm
  bool passed = true;                   // every residual within the tolerance
};

struct CGisNetwork {
  std::vector<CGisPoint> points;
  std::vector<CGisBaseline> baselines;
  std::string geoidName;  // GBK; empty when no geoid model was asked for
};

// Reads the adjusted coordinates and the vector residuals of a 3D result file (GBK). Returns
// false with the reason (GBK) in error when the file holds no adjusted coordinates, a table is
// missing or not closed (a cut file), or a row cannot be read: rows out of their order, a
// vector whose ends are not adjusted points, a verdict other than 合格 or 超限.
bool ReadGPS3dResultNetwork(const std::string& text, CGisNetwork& network, std::string& error);

// The current project's "<project>.GPS3dResult" read as above. false after a message when
// there is no result or it cannot be read.
bool ReadProjectAdjustedNetwork(CGisNetwork& network);

// Gives every point the undulation of the geoid model (the points are WGS-84, the frame of
// EGM96). false with the reason (GBK) in error when a point lies outside the model's grid.
bool AddGeoidHeights(CGisNetwork& network, const CGeoidModel& geoid, std::string& error);

// The documents, UTF-8. title is GBK. With undulations the GeoJSON properties and the KML
// descriptions add N and the orthometric height; the KML positions then carry the orthometric
// height, KML's altitudes being above sea level, while GeoJSON's stay above the ellipsoid.
std::string GeoJsonDocument(const CGisNetwork& network, const std::string& title);
std::string KmlDocument(const CGisNetwork& network, const std::string& title);

enum class GisFormat { GeoJson, Kml };
// Exports the current project's "<project>.GPS3dResult" to output. Returns false after a
// message when there is no result, output is the result or another project data file (the
// project's own GeoJSON and KML excepted), a point lies outside the grid of the geoid model
// (when one is given), or the file cannot be written.
bool ExportAdjustedNetwork(GisFormat format, const std::string& output, const CGeoidModel* geoid = nullptr);

}  // namespace vemo

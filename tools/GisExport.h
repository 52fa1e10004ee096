// Exports of the adjusted 3D network to GIS formats: GeoJSON (RFC 7946) and KML 2.2, both in
// WGS-84 longitude and latitude (degrees) with the ellipsoidal height. The network is read
// from the 3D adjustment's result file, whose layout the adjustment fixes, so any adjusted
// project exports, also one adjusted elsewhere: the adjusted X, Y, Z with their precisions
// and the vector residuals with their verdicts. The baselines' frame is WGS-84 whatever
// ellipsoid the project uses for its plane coordinates.
#pragma once

#include <string>
#include <vector>

namespace vemo {

struct CGisPoint {
  std::string name;  // GBK
  bool known = false;
  double X = 0, Y = 0, Z = 0;             // m
  double mx = 0, my = 0, mz = 0, mp = 0;  // cm; 0 for a known point
  double longitude = 0, latitude = 0, height = 0;  // degrees, degrees, m (WGS-84)
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
};

// Reads the adjusted coordinates and the vector residuals of a 3D result file (GBK). Returns
// false with the reason (GBK) in error when the file holds no adjusted coordinates, a table is
// missing or not closed (a cut file), or a row cannot be read: rows out of their order, a
// vector whose ends are not adjusted points, a verdict other than 合格 or 超限.
bool ReadGPS3dResultNetwork(const std::string& text, CGisNetwork& network, std::string& error);

// The documents, UTF-8. title is GBK.
std::string GeoJsonDocument(const CGisNetwork& network, const std::string& title);
std::string KmlDocument(const CGisNetwork& network, const std::string& title);

enum class GisFormat { GeoJson, Kml };
// Exports the current project's "<project>.GPS3dResult" to output. Returns false after a
// message when there is no result, output is the result or another project data file (the
// project's own GeoJSON and KML excepted), or the file cannot be written.
bool ExportAdjustedNetwork(GisFormat format, const std::string& output);

}  // namespace vemo

// What the exchange readers take from another program's files and the writers give to one: a
// GNSS network of stations, baselines, baseline clusters and point clusters, in the project's
// units (metres, covariances in cm²), with names as the source spells them.
#pragma once

#include <array>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace vemo::exchange {

// A refusal of an input: the message (GBK) names the file and the line or element; an empty
// message means that the project reader which refused has shown its own.
class ExchangeError : public std::runtime_error {
 public:
  explicit ExchangeError(const std::string& messageGbk) : std::runtime_error(messageGbk) {}
};

// Symmetric matrices are kept whole, row by row (n x n).
// The most members (baselines, points) of one cluster: its full matrix then takes 288 MB.
constexpr size_t kMaxClusterMembers = 2000;
using Matrix = std::vector<double>;

struct Station {
  std::string name;         // as the source writes it (UTF-8)
  std::array<double, 3> xyz{};  // geocentric, m
  bool constrained = false;  // held fixed: every component constrained
  bool partlyConstrained = false;  // some components constrained, others free
  bool hasPosition = true;         // false: the source gives no coordinates (the adjustment finds them)
  std::string frame, epoch;
  int line = 0;
};

struct Baseline {
  std::string from, to;
  std::array<double, 3> d{};  // to minus from, m
  Matrix cov;                 // 3 x 3, cm²
  int line = 0;
};

// Baselines whose covariances are correlated with each other: indices into the baselines, and
// their full covariance (3n x 3n, cm²), of which each baseline's own block is also its cov.
struct BaselineCluster {
  std::vector<size_t> baselines;
  Matrix cov;
  int line = 0;
};

// Observed positions of points with their full covariance (3n x 3n, cm², X, Y, Z of each).
struct PointCluster {
  std::vector<std::string> names;
  std::vector<std::array<double, 3>> xyz;
  Matrix cov;
  int line = 0;
};

struct Network {
  std::string measurementFile;  // the file the measurements came from, for messages
  std::vector<Station> stations;
  std::vector<Baseline> baselines;
  std::vector<BaselineCluster> clusters;
  std::vector<PointCluster> pointClusters;
  std::map<std::string, int> notImported;  // measurement type -> count
  int ignored = 0;                         // measurements the source marks as ignored
  // What the summary must say besides the counts (GBK lines): repeated station records (the
  // first is taken), the source's own unit weight.
  std::vector<std::string> notes;
  // Reference frames and epochs, "frame@epoch" -> count of stations and measurements.
  std::map<std::string, int> stationFrames, measurementFrames;
};

// GRS80, the ellipsoid of the frames the exchange files use (the GRS80 and WGS84 forms of a
// position differ by less than 0.1 mm).
constexpr double kGrs80A = 6378137.0, kGrs80InvF = 298.257222101;

// Geodetic latitude, longitude (radians), ellipsoidal height (m) <-> geocentric X, Y, Z (m).
std::array<double, 3> GeodeticToGeocentric(double lat, double lon, double h, double a = kGrs80A,
                                          double invF = kGrs80InvF);
std::array<double, 3> GeocentricToGeodetic(const std::array<double, 3>& xyz);
// Transverse Mercator grid (UTM: scale 0.9996, false easting 500 km, false northing 10,000 km
// in the south) to latitude and longitude (radians) for a zone; southern when south.
std::array<double, 2> UtmToGeodetic(double easting, double northing, int zone, bool south);

// The rows of the local north, east, up frame at a latitude and longitude (radians), as a 3x3
// row-major rotation from geocentric differences.
Matrix LocalFrame(double lat, double lon);

// A x B for n x n row-major; the transpose; whether a symmetric matrix is positive definite
// (Cholesky).
Matrix Multiply(const Matrix& a, const Matrix& b, size_t n);
Matrix Transpose(const Matrix& a, size_t n);
bool IsPositiveDefinite(const Matrix& a, size_t n);

}  // namespace vemo::exchange

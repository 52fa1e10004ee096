// The design simulation of a planned network ("GPS网设计"): from design coordinates of the
// planned points and a list of planned baselines it writes the baseline vectors with the
// covariance that a receiver of a given precision would give, as a baseline vector file that
// the 3D adjustment reads like observed data, to predict the precision of the network.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace vemo {

// The receiver precision model of line 1 of the design coordinate file.
struct CDesignPrecision {
  double a = 0;  // fixed error (mm)
  double b = 0;  // distance-proportional error (ppm)
  double c = 0;  // angular error across the baseline (seconds of arc)
};

struct CDesignPoint {
  std::string name;  // GBK, trimmed and upper-cased
  double X = 0, Y = 0, Z = 0;  // geocentric (m)
};

struct CDesignLine {
  std::string from, to;  // GBK, trimmed and upper-cased
};

// One simulated vector: the differences (m) and the covariance (cm²) in the order XX, YY,
// ZZ, XY, XZ, YZ.
struct CDesignVector {
  std::string from, to;
  double dX = 0, dY = 0, dZ = 0;
  std::array<double, 6> covariance{};
};

class CGPSNetDesign {
 public:
  // Seconds of arc in a radian, as the design's across-line term uses it.
  static constexpr double kRho = 206264.806;

  // Reads the design coordinate file (a line that does not scan as "name X Y Z" is passed
  // over, as the system's reader does). False after "打开文件%s出错!", after a message when line
  // 1 is no precision model, or after one naming the line of a precision term beyond 1e6 or a
  // coordinate beyond 1e8 m.
  bool ReadCoordinates(const std::string& path);
  // Reads the design line file. False after "打开文件%s出错!".
  bool ReadLines(const std::string& path);

  // Simulates every planned baseline. A baseline naming a point that is not in the
  // coordinate file, or whose horizontal length is 0 (its direction is undefined), is
  // reported and left out; the others are simulated.
  std::vector<CDesignVector> Simulate() const;

  // The vector of one baseline between two points with a precision model; false when its
  // horizontal length at the from-point is under 1 mm (its direction is undefined).
  static bool SimulateVector(const CDesignPoint& p1, const CDesignPoint& p2, const CDesignPrecision& precision,
                             CDesignVector& vector);

  // Geodetic latitude and longitude (radians) of a geocentric point on WGS84, by the
  // design's iteration (it stops once two iterates differ by at most 1e-5 rad).
  static void LatitudeLongitude(double X, double Y, double Z, double& B, double& L);

  // The output of a line file: its file name up to the first dot, ".GPS3dVector" appended,
  // in the same directory. Empty when the file name has no dot.
  static std::string OutputName(const std::string& linePath);

  const CDesignPrecision& Precision() const { return m_Precision; }
  const std::vector<CDesignPoint>& Points() const { return m_Points; }
  const std::vector<CDesignLine>& Lines() const { return m_Lines; }

 private:
  CDesignPrecision m_Precision;
  std::vector<CDesignPoint> m_Points;
  std::vector<CDesignLine> m_Lines;
};

// The command with its two files (the dialogs' choices): reads both, writes the vector file
// beside the line file and opens it in the text viewer. Returns 1 when it was written; 0 after
// the message of the failure, the vector file of an earlier run left as it was (also when no
// baseline could be simulated).
int RunNetworkDesign(const std::string& coordinatePath, const std::string& linePath);

// The menu command: the two Open dialogs, then RunNetworkDesign; 0 when one is cancelled.
int RunNetworkDesign();

}  // namespace vemo

// The height data set of GPS height fitting: the known normal heights and the geodetic
// coordinates of all points from the 3D adjustment, latitude and longitude reduced to their
// means.
#pragma once

#include <string>
#include <vector>

class CReadGPS1dHeight {
 public:
  // Reads the known heights, then the geodetic coordinates. Returns 1, or 0 after the
  // message of the failure. Shows the wait cursor.
  int Load();

  int m_KnownCount = 0;
  int m_PointCount = 0;
  double m_MeanB = 0.0, m_MeanL = 0.0;  // radians
  std::vector<std::string> m_PointName;  // of the geodetic coordinate file, trimmed, upper-cased
  std::vector<std::string> m_KnownName;  // of the known height file, trimmed, upper-cased
  std::vector<double> m_B, m_L;  // radians, as differences from the means
  std::vector<double> m_H;       // ellipsoidal height, m
  std::vector<double> m_KnownH;  // normal height, m
  std::vector<int> m_KnownLine;  // line of each known height in its file, for messages
  int m_LineCount = 0;

 private:
  int ReadKnownHeights();
  int ReadGeodeticCoordinates();
};

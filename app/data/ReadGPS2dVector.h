// The plane network data set: known plane points, the plane vectors reduced from the 3D
// baselines, the point list with approximate plane coordinates from the 3D adjustment, and
// the optional ground distances and azimuths. Loaded once by a command and extended by the
// plane adjustment; the library reads the data members only.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

class CReadGPS2dVector {
 public:
  // variant 0: the ordinary files; 1: the "1" files of the one-point-one-direction network
  // (known plane points, plane vectors, plane coordinates and azimuths have them).
  explicit CReadGPS2dVector(int variant = 0) : m_Variant(variant) {}

  // Reads the known plane points and the plane vectors, builds the point list, reads the
  // plane coordinates, then the distances and azimuths (optional: a file that cannot be
  // opened is skipped without a message). Returns 1, or 0 after the message of the failure.
  int Load();

  int m_KnownPointCount = 0;
  int m_PointCount = 0;
  int m_VectorCount = 0;
  int m_DistanceCount = 0;
  int m_AzimuthCount = 0;
  int m_Variant = 0;
  std::vector<std::string> m_PointName;           // the known points first
  std::vector<std::string> m_FromName, m_ToName;  // of each vector, trimmed, upper-cased
  std::unordered_map<std::string, int> m_NameIndex;
  std::vector<double> m_X, m_Y;            // approximate plane coordinates of each point, m
  std::vector<double> m_KnownX, m_KnownY;  // known plane coordinates (X north, Y east), m
  std::vector<int> m_From, m_To;
  std::vector<double> m_DX, m_DY;             // plane vector components, m
  std::vector<double> m_Dxx, m_Dyy, m_Dxy;    // their covariance
  std::vector<int> m_DistanceFrom, m_DistanceTo;
  std::vector<double> m_Distance, m_DistanceSd;  // m; cm
  std::vector<int> m_AzimuthFrom, m_AzimuthTo;
  std::vector<double> m_Azimuth, m_AzimuthSd;    // radians; seconds of arc
  int m_LineCount = 0;

 private:
  int ReadKnownPoints();
  int ReadVectors();
  int ReadPlaneCoordinates();
  int ReadObservations(const std::string& path, std::vector<int>& from, std::vector<int>& to,
                       std::vector<double>& value, std::vector<double>& sd, bool azimuth);
};

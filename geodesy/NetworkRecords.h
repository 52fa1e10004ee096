// The network records that cross the boundary between the program and the library: the data
// members of the 3D vector network and of the plane network. The program's loaders
// (CReadGPS3dVector, CReadGPS2dVector) derive from them and fill them from the project files;
// the library's approximate-coordinate and vector-reduction routines read and fill them. The
// caller owns them; the library keeps nothing of them after a call.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

// The 3D vector network: the known 3D points and the independent baseline vectors, with the
// point list (known points first, then the other points in the order in which they first
// appear among the vectors).
struct CGPS3dNetworkRecord {
  double m_GradeFixedMm = 0.0;  // fixed error of the network grade, mm
  double m_GradePpm = 0.0;      // proportional error of the network grade, ppm
  int m_Variant = 0;  // 0: the ordinary files; 1: the "1" files of the one-point-one-direction network
  int m_KnownPointCount = 0;  // the first points of the list are the known points
  int m_PointCount = 0;
  int m_VectorCount = 0;
  std::vector<std::string> m_PointName;  // GBK, trimmed, upper-cased (as written in approximate-file mode)
  std::vector<double> m_X, m_Y, m_Z;     // geocentric, m: known values; the engines fill the others
  std::vector<int> m_From, m_To;         // point indices of each vector's ends
  std::vector<double> m_DX, m_DY, m_DZ;  // vector components, to minus from, m
  // Covariance of each vector, cm², in the order of the synchronous baseline file.
  std::vector<double> m_Dxx, m_Dyy, m_Dzz, m_Dxy, m_Dxz, m_Dyz;
  std::vector<std::string> m_FromName, m_ToName;  // trimmed, upper-cased
  // The known points in file order (geocentric, m).
  std::vector<std::string> m_KnownName;
  std::vector<double> m_KnownX, m_KnownY, m_KnownZ;
  int m_ErrorFlag = 0;  // 1 once a read error was reported
  int m_LineCount = 0;  // lines read from the file being read, blank ones included
};

// The plane network: known plane points, the plane vectors reduced from the 3D baselines, the
// point list with approximate plane coordinates, and the optional ground distances and
// azimuths.
struct CGPS2dNetworkRecord {
  int m_KnownPointCount = 0;
  int m_PointCount = 0;
  int m_VectorCount = 0;
  int m_DistanceCount = 0;
  int m_AzimuthCount = 0;
  int m_Variant = 0;  // 0: the ordinary files; 1: the "1" files of the one-point-one-direction network
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
};

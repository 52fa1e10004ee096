// The 3D vector network data set: the known 3D points and the independent baseline vectors of
// a project, with the point list (known points first, then the other points in the order in
// which they first appear in the vector file). Built by a command, loaded once, handed to the
// library's approximate-coordinate and vector-reduction routines, and extended by the 3D
// adjustment. The library reads the data members only; it never calls Load.
#pragma once

#include <string>
#include <vector>

class CReadGPS3dVector {
 public:
  // variant 0: the ordinary files; 1: the "1" files of the one-point-one-direction network.
  // a and b are copied from the precision parameters of the configuration (rows 0 and 1).
  explicit CReadGPS3dVector(int variant = 0);

  // Reads the known points, in approximate-file mode the approximate file, then the vectors,
  // and builds the point list. Returns 1, or 0 after the message of the failure. Shows the
  // wait cursor; every file is closed on every path.
  int Load();

  double m_a = 0.0;  // fixed error of the network grade, mm
  double m_b = 0.0;  // proportional error of the network grade, ppm
  int m_Variant = 0;
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

 private:
  int ReadKnownPoints();
  int ReadApproximateFile();
  int ReadVectors();
  int BuildPointList();
  std::vector<int> m_VectorLine;  // line of each vector in the vector file, for messages
  std::string m_VectorFile;
};

// The ellipsoidal data set of the ellipsoidal 3D combined adjustment: known points with the
// components they fix (height only, horizontal position only, or both), the baseline vectors
// in their strict 11-item form, and the point list (known points first).
#pragma once

#include <string>
#include <vector>

#include "project/data/CovarianceScaling.h"

class CReadGPS3dCombinedNet {
 public:
  // Known-component codes.
  static constexpr int kKnownHeight = 1;      // name, H
  static constexpr int kKnownHorizontal = 2;  // name, B, L
  static constexpr int kKnownPosition = 3;    // name, B, L, H (or X, Y, Z)

  // Reads the known points, the vectors, and builds the point list. Returns 1, or 0 after
  // the message of the failure. Shows the wait cursor; every file is closed on every path.
  int Load();

  int m_KnownPointCount = 0;
  int m_PointCount = 0;
  int m_VectorCount = 0;
  std::vector<std::string> m_PointName;          // trimmed, upper-cased
  std::vector<std::string> m_FromName, m_ToName;  // trimmed, upper-cased
  std::vector<double> m_X, m_Y, m_Z;  // approximate Cartesian coordinates, m (filled by the engine)
  // Latitude and longitude (radians) and height (m) of each point: the known values of the
  // known points as far as their code gives them, 0 elsewhere.
  std::vector<double> m_B, m_L, m_H;
  std::vector<int> m_From, m_To;
  std::vector<double> m_DX, m_DY, m_DZ;  // m
  std::vector<double> m_Dxx, m_Dyy, m_Dzz, m_Dxy, m_Dxz, m_Dyz;  // cm²
  std::vector<int> m_KnownType;  // code of each known point
  std::vector<char> m_KnownCartesian;  // whether it was given as X, Y, Z (else as B, L, H)
  int m_ErrorFlag = 0;
  int m_LineCount = 0;
  // Lines (GBK) the report states at its top: the covariance scaling used. Empty without it.
  std::vector<std::string> m_ReportPreamble;
  // The session of each vector and the covariance scaling the vectors were read with, for the
  // clusters (empty without it).
  std::vector<std::string> m_Session;
  vemo::CVectorScaling m_Scaling;

 private:
  int ReadKnownPoints();
  int ReadVectors();
  std::vector<std::string> m_KnownName;
  std::vector<double> m_KnownB, m_KnownL, m_KnownH;
};

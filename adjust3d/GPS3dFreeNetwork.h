// The rank-deficient free network: the solution that the 3D vector network adjustment writes
// in its free-network mode (the increments x of every point in mm with their cofactor matrix
// Q, on one held point) re-expressed in the datum of the datum weights by an S-transformation,
// xS = S x and QS = S Q S^T (STransformation.h), and rotated into east, north and up at the
// centroid of the network. The datum weights are those of the XXInput file: 1 for a datum
// point, 0 for a point outside the datum, any other value a partial weight.
//
// Reads  "<project>.GPS3dFreeXXInput", ".GPS3dFreeGxxInput", ".GPS3dFreeQxxInput";
// writes "<project>.GPS3dFreeXXOut", ".GPS3dFreeQxxOut", ".GPS3dFreeMxxOut" (the three reports)
// and the campaign files ".GPS3dFreeXXQxx" and ".GPS3dFreeENUQenu" of the stability analysis.
#pragma once

#include <string>
#include <vector>

#include "geodesy/ProjectFiles.h"

namespace vemo {

class CGPS3dFreeNetwork {
 public:
  // Reads the three input files of the current project. 0 after the message naming the file
  // when one is missing, damaged or truncated, or when the files do not agree in their number
  // of points.
  int Load();
  // Transforms and writes the five result files. 0 after a message when the datum weights fix
  // no datum, when the centroid has no geodetic position, or when a file cannot be written;
  // nothing is written in the first two cases.
  int Compute();

  // The three reports, opened in the text viewer after a run.
  static std::vector<std::string> Reports();

  int m_PointCount = 0;
  int m_Redundancy = 0;
  double m_M0mm = 0.0;                  // mm
  std::vector<std::string> m_PointName;
  std::vector<double> m_Weight;       // datum weight of each point
  std::vector<double> m_x;            // 3 per point, mm
  std::vector<double> m_X0, m_Y0, m_Z0;  // approximate coordinates, m
  std::vector<double> m_G;            // 3n rows of 3
  std::vector<double> m_Q;            // packed, order 3n: Q; after Compute, QS
  std::vector<double> m_xS;           // S x, mm
  std::vector<double> m_QDiagonal;    // the diagonal of Q (QS replaces Q in place)
  double m_B = 0.0, m_L = 0.0;        // geodetic position of the centroid, radians
  double m_R[3][3] = {};              // rows E, N, U at the centroid

 private:
  int ReadPoints(const std::string& path);
  int ReadDatumMatrix(const std::string& path);
  int ReadCofactors(const std::string& path);
  int LocalFrame();
  // 1 when every value is finite; otherwise 0 after the message naming the input file.
  static int Finite(const std::vector<double>& values, ProjectFile input);
  int WriteIncrements(const std::string& path);
  int WriteCofactors(const std::string& path);
  int WritePrecisions(const std::string& path);
  int WriteCampaign(const std::string& path, bool local);
};

}  // namespace vemo

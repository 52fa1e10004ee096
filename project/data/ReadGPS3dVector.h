// The 3D vector network data set: the known 3D points and the independent baseline vectors of
// a project, with the point list (known points first, then the other points in the order in
// which they first appear in the vector file). Built by a command, loaded once, handed to the
// library's approximate-coordinate and vector-reduction routines, and extended by the 3D
// adjustment. The library reads the record (CGPS3dNetworkRecord) only; it never calls Load.
#pragma once

#include <string>
#include <vector>

#include "geodesy/NetworkRecords.h"
#include "project/data/CovarianceScaling.h"

class CReadGPS3dVector : public CGPS3dNetworkRecord {
 public:
  // variant 0: the ordinary files; 1: the "1" files of the one-point-one-direction network.
  // a and b are copied from the precision parameters of the configuration (rows 0 and 1).
  explicit CReadGPS3dVector(int variant = 0);

  // Reads the known points, in approximate-file mode the approximate file, then the vectors,
  // and builds the point list. Returns 1, or 0 after the message of the failure. Shows the
  // wait cursor; every file is closed on every path.
  int Load();

  // In approximate-file mode, the approximate file to read in place of the file dialog's
  // choice (a command that was given the path); empty: the dialog asks.
  std::string m_ApproximateFile;

  // Whether each known point was given as B, L, H (rather than X, Y, Z): the frame of its
  // covariance in a weighted datum.
  std::vector<char> m_KnownGeodetic;
  // The vector file read and the line of each vector in it.
  const std::string& VectorFile() const { return m_VectorFile; }
  const std::vector<int>& VectorLines() const { return m_VectorLine; }
  // The session of each vector (see CVectorRecord::session).
  std::vector<std::string> m_Session;
  // Lines (GBK, newline ended) that every report computed from these vectors states at its
  // top: the covariance scaling used, the variance factors applied. Empty without them.
  std::vector<std::string> m_ReportPreamble;
  // The covariance scaling the vectors were read with, for the clusters (empty without it).
  vemo::CVectorScaling m_Scaling;

 private:
  int ReadKnownPoints();
  int ReadApproximateFile();
  int ReadVectors();
  int BuildPointList();
  std::vector<int> m_VectorLine;  // line of each vector in the vector file, for messages
  std::string m_VectorFile;
};

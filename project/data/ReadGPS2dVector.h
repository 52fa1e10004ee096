// The plane network data set: known plane points, the plane vectors reduced from the 3D
// baselines, the point list with approximate plane coordinates from the 3D adjustment, and
// the optional ground distances and azimuths. Loaded once by a command and extended by the
// plane adjustment; the library reads the record (CGPS2dNetworkRecord) only.
#pragma once

#include <string>
#include <vector>

#include "geodesy/NetworkRecords.h"

class CReadGPS2dVector : public CGPS2dNetworkRecord {
 public:
  // variant 0: the ordinary files; 1: the "1" files of the one-point-one-direction network
  // (known plane points, plane vectors, plane coordinates and azimuths have them).
  explicit CReadGPS2dVector(int variant = 0) { m_Variant = variant; }

  // Reads the known plane points and the plane vectors, builds the point list, reads the
  // plane coordinates, then the distances and azimuths (optional: a file that cannot be
  // opened is skipped without a message). A plane vector shorter than 1 mm is refused with
  // its file and line. Returns 1, or 0 after the message of the failure.
  int Load();

 private:
  int ReadKnownPoints();
  int ReadVectors();
  int ReadPlaneCoordinates();
  int ReadObservations(const std::string& path, std::vector<int>& from, std::vector<int>& to,
                       std::vector<double>& value, std::vector<double>& sd, bool azimuth);
};

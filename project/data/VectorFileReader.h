// Reading the project's baseline vector file ("%s\%s.GPS3dVector") for the 3D network data
// sets: the counting pass, the exclusive second opening with the 5-byte rule, the 11- and
// 12-item line forms with their "0"/"1" flags, and the covariance remodelling.
#pragma once

#include <string>
#include <vector>

namespace vemo {

struct CVectorRecord {
  std::string from, to;  // trimmed, upper-cased
  double dx = 0, dy = 0, dz = 0;
  double dxx = 0, dyy = 0, dzz = 0, dxy = 0, dxz = 0, dyz = 0;  // cm²
  int line = 0;  // line of the vector file
  // The session: the upper-cased base name of the synchronous baseline file whose source line
  // precedes the vector in the independent baseline file, "*" without one.
  std::string session = "*";
};

struct CPointSeeds;

enum class VectorLineForm {
  // CReadGPS3dVector: lines of fewer than 11 items are skipped (the source-file lines of the
  // independent baseline file), 12-item lines carry the use flag "0" or "1".
  Flagged,
  // The ellipsoidal data set: every non-blank line must scan the eleven items.
  Strict,
};

// Reads every vector of the file, remodelling the covariance when the configuration's flag
// "改造基线解方差阵" is set (with its instrument errors, precision rows 2 and 3). Returns 1, or
// 0 after the message of the failure (errorFlag is set for a read error). lineCount receives
// the line counter of the file. With seeds (positions of known points for the vectors' local
// frames), the project's covariance scaling file, when there is one, is applied to the
// vectors and statement receives its lines for the reports (see CovarianceScaling.h); without
// the file nothing changes. kept, when given, receives the scaling and the seeds (empty
// without the file), for the clusters that replace vectors' covariances later.
struct CVectorScaling;
int ReadVectorFile(const std::string& path, VectorLineForm form, std::vector<CVectorRecord>& vectors,
                   int& lineCount, int& errorFlag, const CPointSeeds* seeds = nullptr,
                   std::vector<std::string>* statement = nullptr, CVectorScaling* kept = nullptr);

// Covariance remodelling: scales the six elements so that their trace becomes
// (a² + (b·s)²) / 100 cm², s the vector length in km, a in mm, b in ppm. Returns false, and
// changes nothing, when the variances do not sum to a positive value.
bool RemodelCovariance(CVectorRecord& vector, double fixedErrorMm, double proportionalErrorPpm);

// Moves the vectors into the arrays of a 3D network data set (CReadGPS3dVector, the
// ellipsoidal data set): names, components and covariance, each array sized once.
template <class DataSet>
void StoreVectors(std::vector<CVectorRecord>& vectors, DataSet& set) {
  const size_t m = vectors.size();
  set.m_VectorCount = static_cast<int>(m);
  set.m_FromName.resize(m), set.m_ToName.resize(m);
  set.m_DX.resize(m), set.m_DY.resize(m), set.m_DZ.resize(m);
  set.m_Dxx.resize(m), set.m_Dyy.resize(m), set.m_Dzz.resize(m);
  set.m_Dxy.resize(m), set.m_Dxz.resize(m), set.m_Dyz.resize(m);
  for (size_t i = 0; i < m; ++i) {
    CVectorRecord& v = vectors[i];
    set.m_FromName[i] = std::move(v.from), set.m_ToName[i] = std::move(v.to);
    set.m_DX[i] = v.dx, set.m_DY[i] = v.dy, set.m_DZ[i] = v.dz;
    set.m_Dxx[i] = v.dxx, set.m_Dyy[i] = v.dyy, set.m_Dzz[i] = v.dzz;
    set.m_Dxy[i] = v.dxy, set.m_Dxz[i] = v.dxz, set.m_Dyz[i] = v.dyz;
  }
}

}  // namespace vemo

#include "project/data/ReadGPS3dCombinedNet.h"

#include <cmath>

#include "project/AppState.h"
#include "project/data/DataFileReader.h"
#include "project/data/KnownPointReading.h"
#include "project/data/CovarianceScaling.h"
#include "project/data/VectorFileReader.h"
#include "geodesy/Angles.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"

using namespace vemo;

int CReadGPS3dCombinedNet::Load() {
  CWaitCursor wait;
  m_ErrorFlag = 0;
  m_LineCount = 0;
  if (!ReadKnownPoints() || !ReadVectors()) return 0;
  vemo::BuildPointList(m_KnownName, m_FromName, m_ToName, m_PointName, m_From, m_To);
  m_PointCount = static_cast<int>(m_PointName.size());
  m_X.assign(m_PointCount, 0.0), m_Y.assign(m_PointCount, 0.0), m_Z.assign(m_PointCount, 0.0);
  m_B.assign(m_PointCount, 0.0), m_L.assign(m_PointCount, 0.0), m_H.assign(m_PointCount, 0.0);
  for (int i = 0; i < m_KnownPointCount; ++i) m_B[i] = m_KnownB[i], m_L[i] = m_KnownL[i], m_H[i] = m_KnownH[i];
  return 1;
}

int CReadGPS3dCombinedNet::ReadKnownPoints() {
  const std::string path = CurrentProjectFile(ProjectFile::KnownXYZ);
  const CCoorsSystemSet& ellipsoid = Project().configuration.m_CurrentCoorsSystem;
  m_KnownName.clear(), m_KnownB.clear(), m_KnownL.clear(), m_KnownH.clear(), m_KnownType.clear();
  m_KnownCartesian.clear();
  CKnownNameList names;
  int ok = ReadKnownFile(path, m_LineCount, [&](CKnownLine& k) {
    if (k.items < 2 || k.items > 4) return true;  // no meaning for this data set: skipped
    if (k.scanned != k.items) {
      ShowReadBaselineError(k.line);
      m_ErrorFlag = 1;
      return false;
    }
    if (!CheckPointName(k.name, path, k.line, kReadBaselineCaption)) {
      m_ErrorFlag = 1;
      return false;
    }
    double b = 0, l = 0, h = 0;
    int type = kKnownHeight;
    bool cartesian = false;
    if (k.items == 2) {
      h = k.values[0];
    } else if (k.items == 3) {
      if (!IsPossibleLatitudeLongitude(k.values[0], k.values[1])) {
        ShowReadBaselineError(k.line);
        m_ErrorFlag = 1;
        return false;
      }
      b = DmsToRadian(k.values[0]), l = WrapLongitude(DmsToRadian(k.values[1]));
      type = kKnownHorizontal;
    } else {
      type = kKnownPosition;
      const KnownPointReading reading =
          ReadKnownPointValues(k.values[0], k.values[1], k.values[2], GeodeticBound::UpTo1000);
      if (reading == KnownPointReading::Impossible) {  // neither B, L, H nor X, Y, Z
        ShowReadBaselineError(k.line);
        m_ErrorFlag = 1;
        return false;
      }
      if (reading == KnownPointReading::Geodetic) {
        b = DmsToRadian(k.values[0]), l = WrapLongitude(DmsToRadian(k.values[1])), h = k.values[2];
      } else {
        if (!CheckEllipsoid(ellipsoid.m_a, ellipsoid.m_InvF, kReadBaselineCaption)) return false;
        GPSTransfer transfer(0);
        transfer.m_a = ellipsoid.m_a;
        transfer.m_InvF = ellipsoid.m_InvF;
        transfer.m_X = k.values[0], transfer.m_Y = k.values[1], transfer.m_Z = k.values[2];
        if (!transfer.XYZBLH()) {  // on the polar axis, outside the conversion's domain
          ShowReadBaselineError(k.line);
          m_ErrorFlag = 1;
          return false;
        }
        b = transfer.m_B, l = transfer.m_L, h = transfer.m_H;
        cartesian = true;
      }
    }
    switch (names.Add(k.name, k.line, {static_cast<double>(type), b, l, h}, path, kReadBaselineCaption)) {
      case CKnownNameList::Repeated: return true;
      case CKnownNameList::Conflict: m_ErrorFlag = 1; return false;
      case CKnownNameList::New: break;
    }
    m_KnownName.push_back(k.name);
    m_KnownB.push_back(b), m_KnownL.push_back(l), m_KnownH.push_back(h), m_KnownType.push_back(type);
    m_KnownCartesian.push_back(cartesian ? 1 : 0);
    return true;
  });
  m_KnownPointCount = static_cast<int>(m_KnownName.size());
  return ok;
}

int CReadGPS3dCombinedNet::ReadVectors() {
  std::vector<vemo::CVectorRecord> vectors;
  // The frames of the covariance scaling are placed from the known points with a position
  // (a height alone places nothing).
  CPointSeeds seeds;
  const CCoorsSystemSet& ellipsoid = Project().configuration.m_CurrentCoorsSystem;
  for (size_t i = 0; i < m_KnownName.size(); ++i) {
    if (m_KnownType[i] == kKnownHeight) continue;
    GPSTransfer transfer(0);
    transfer.m_a = ellipsoid.m_a, transfer.m_InvF = ellipsoid.m_InvF;
    transfer.m_B = m_KnownB[i], transfer.m_L = m_KnownL[i], transfer.m_H = m_KnownH[i];
    transfer.BLHXYZ();
    seeds.names.push_back(m_KnownName[i]), seeds.xyz.push_back({transfer.m_X, transfer.m_Y, transfer.m_Z});
  }
  m_ReportPreamble.clear();
  if (!ReadVectorFile(CurrentProjectFile(ProjectFile::Vector3d), VectorLineForm::Strict, vectors, m_LineCount, m_ErrorFlag,
                      &seeds, &m_ReportPreamble, &m_Scaling))
    return 0;
  m_Session.clear();
  for (const auto& v : vectors) m_Session.push_back(v.session);
  StoreVectors(vectors, *this);
  return 1;
}

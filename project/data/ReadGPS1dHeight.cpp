#include "project/data/ReadGPS1dHeight.h"


#include "project/AppState.h"
#include "project/data/DataFileReader.h"
#include "geodesy/Angles.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"

using namespace vemo;

int CReadGPS1dHeight::Load() {
  CWaitCursor wait;
  m_LineCount = 0;
  return ReadKnownHeights() && ReadGeodeticCoordinates();
}

int CReadGPS1dHeight::ReadKnownHeights() {
  const std::string path = CurrentProjectFile(ProjectFile::KnownH);
  m_KnownName.clear(), m_KnownH.clear(), m_KnownLine.clear();
  CKnownNameList names;
  int ok = ReadKnownFile(path, m_LineCount, [&](CKnownLine& k) {
    if (k.scanned < 2) {
      ShowLineError(path, k.line, AppTitle());
      return false;
    }
    if (!CheckPointName(k.name, path, k.line, AppTitle())) return false;
    switch (names.Add(k.name, k.line, {k.values[0]}, path, AppTitle())) {
      case CKnownNameList::Repeated: return true;
      case CKnownNameList::Conflict: return false;
      case CKnownNameList::New: break;
    }
    m_KnownName.push_back(k.name);
    m_KnownH.push_back(k.values[0]);
    m_KnownLine.push_back(k.line);
    return true;
  });
  m_KnownCount = static_cast<int>(m_KnownName.size());
  return ok;
}

int CReadGPS1dHeight::ReadGeodeticCoordinates() {
  const std::string path = CurrentProjectFile(ProjectFile::BLH3d);
  std::string content;
  if (!ReadRequiredFile(path, content)) return 0;
  m_PointName.clear(), m_B.clear(), m_L.clear(), m_H.clear();
  int ok = ForEachLine(content, kShortLineBuffer, m_LineCount, [&](const std::string& line) {
    std::string name;
    double blh[3];
    if (!ReadPointRecord(line, path, m_LineCount, AppTitle(), name, blh, 3)) return false;
    m_PointName.push_back(name);
    m_B.push_back(DmsToRadian(blh[0])), m_L.push_back(WrapLongitude(DmsToRadian(blh[1]))), m_H.push_back(blh[2]);
    return true;
  });
  m_PointCount = static_cast<int>(m_PointName.size());
  if (!ok) return 0;
  m_MeanB = m_MeanL = 0.0;
  if (m_PointCount > 0) {
    for (int i = 0; i < m_PointCount; ++i) m_MeanB += m_B[i], m_MeanL += m_L[i];
    m_MeanB /= m_PointCount, m_MeanL /= m_PointCount;
    for (int i = 0; i < m_PointCount; ++i) m_B[i] -= m_MeanB, m_L[i] -= m_MeanL;
  }
  return 1;
}

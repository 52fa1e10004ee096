#include "project/data/ReadGPS2dVector.h"

#include <cmath>

#include "project/AppState.h"
#include "project/data/DataFileReader.h"
#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"

using namespace vemo;

namespace {

// A standard error below this (zero and negative ones included) is replaced by 0.001.
constexpr double kSmallestStandardError = 0.00001;
constexpr double kStandardErrorFloor = 0.001;
// A plane vector shorter than this (m) has no direction: a baseline of zero length gives the
// rotation and scale nothing to hold on to (vectors of zeros gave a scale of 10^11 ppm).
constexpr double kShortestPlaneVector = 0.001;

const char* Caption() { return AppTitle(); }

}  // namespace

int CReadGPS2dVector::Load() {
  CWaitCursor wait;
  m_LineCount = 0;
  if (!ReadKnownPoints() || !ReadVectors()) return 0;
  std::vector<std::string> known(m_PointName.begin(), m_PointName.begin() + m_KnownPointCount);
  vemo::BuildPointList(known, m_FromName, m_ToName, m_PointName, m_From, m_To, &m_NameIndex);
  m_PointCount = static_cast<int>(m_PointName.size());
  m_X.assign(m_PointCount, 0.0), m_Y.assign(m_PointCount, 0.0);
  if (!ReadPlaneCoordinates()) return 0;
  m_DistanceFrom.clear(), m_DistanceTo.clear(), m_Distance.clear(), m_DistanceSd.clear();
  m_AzimuthFrom.clear(), m_AzimuthTo.clear(), m_Azimuth.clear(), m_AzimuthSd.clear();
  if (!ReadObservations(CurrentProjectFile(ProjectFile::Distance), m_DistanceFrom, m_DistanceTo, m_Distance, m_DistanceSd,
                        false))
    return 0;
  m_DistanceCount = static_cast<int>(m_Distance.size());
  if (!ReadObservations(CurrentProjectFile(ProjectFile::Azimuth, m_Variant), m_AzimuthFrom,
                        m_AzimuthTo, m_Azimuth, m_AzimuthSd, true))
    return 0;
  m_AzimuthCount = static_cast<int>(m_Azimuth.size());
  return 1;
}

int CReadGPS2dVector::ReadKnownPoints() {
  const std::string path = CurrentProjectFile(ProjectFile::KnownXY, m_Variant);
  m_PointName.clear(), m_KnownX.clear(), m_KnownY.clear();
  m_KnownPointCount = 0;
  std::string content;
  if (!ReadRequiredFile(path, content)) return 0;
  CKnownNameList names;
  int ok = ForEachLine(content, kShortLineBuffer, m_LineCount, [&](const std::string& line) {
    std::string name;
    double xy[2];
    if (!ReadPointRecord(line, path, m_LineCount, Caption(), name, xy, 2)) return false;
    switch (names.Add(name, m_LineCount, {xy[0], xy[1]}, path, Caption())) {
      case CKnownNameList::Repeated: return true;
      case CKnownNameList::Conflict: return false;
      case CKnownNameList::New: break;
    }
    m_PointName.push_back(name);
    m_KnownX.push_back(xy[0]), m_KnownY.push_back(xy[1]);
    return true;
  });
  m_KnownPointCount = static_cast<int>(m_PointName.size());
  return ok;
}

int CReadGPS2dVector::ReadVectors() {
  const std::string path = CurrentProjectFile(ProjectFile::Vector2d, m_Variant);
  std::string content;
  if (!ReadRequiredFile(path, content)) return 0;
  // Counting pass: the arrays are sized once.
  size_t count = 0;
  int lines = 0;
  ForEachLine(content, kVectorLineBuffer, lines, [&](const std::string&) { return ++count, true; });
  m_FromName.clear(), m_ToName.clear(), m_DX.clear(), m_DY.clear(), m_Dxx.clear(), m_Dyy.clear(), m_Dxy.clear();
  for (auto* a : {&m_FromName, &m_ToName}) a->reserve(count);
  for (auto* a : {&m_DX, &m_DY, &m_Dxx, &m_Dyy, &m_Dxy}) a->reserve(count);
  int ok = ForEachLine(content, kVectorLineBuffer, m_LineCount, [&](const std::string& line) {
    std::string from, to;
    double v[5];
    if (!ReadPairRecord(line, path, m_LineCount, Caption(), from, to, v, 5)) return false;
    if (!(std::hypot(v[0], v[1]) >= kShortestPlaneVector)) {
      ShowMessage(Format(UiText(u8"文件%s第 %d 行的基线向量%s-%s长度为0(%.4lf, %.4lf)，不能参与平差!"), PathToGbk(path).c_str(),
                         m_LineCount, from.c_str(), to.c_str(), v[0], v[1]),
                  Caption(), MessageIcon::Warning);
      return false;
    }
    m_FromName.push_back(from), m_ToName.push_back(to);
    m_DX.push_back(v[0]), m_DY.push_back(v[1]), m_Dxx.push_back(v[2]), m_Dyy.push_back(v[3]), m_Dxy.push_back(v[4]);
    return true;
  });
  m_VectorCount = static_cast<int>(m_DX.size());
  return ok;
}

int CReadGPS2dVector::ReadPlaneCoordinates() {
  const std::string path = CurrentProjectFile(ProjectFile::XYH3d, m_Variant);
  std::string content;
  if (!ReadRequiredFile(path, content)) return 0;
  return ForEachLine(content, kShortLineBuffer, m_LineCount, [&](const std::string& line) {
    std::string name;
    double xy[2];
    if (!ReadPointRecord(line, path, m_LineCount, Caption(), name, xy, 2)) return false;
    auto it = m_NameIndex.find(name);
    if (it != m_NameIndex.end()) m_X[it->second] = xy[0], m_Y[it->second] = xy[1];
    return true;  // points of other networks are ignored
  });
}

int CReadGPS2dVector::ReadObservations(const std::string& path, std::vector<int>& from, std::vector<int>& to,
                                       std::vector<double>& value, std::vector<double>& sd, bool azimuth) {
  std::string content;
  if (!ReadFileContent(path, content)) return 1;  // the observations are absent
  return ForEachLine(content, kShortLineBuffer, m_LineCount, [&](const std::string& line) {
    std::string names[2];
    double v[2];
    if (ScanPairLine(line, names[0], names[1], v, 2) != 4) {
      ShowLineError(path, m_LineCount, Caption());
      return false;
    }
    int index[2];
    for (int e = 0; e < 2; ++e) {
      if (!CheckPointName(names[e], path, m_LineCount, Caption())) return false;
      auto it = m_NameIndex.find(names[e]);
      if (it == m_NameIndex.end()) {
        // An observation to a point outside the network cannot enter the adjustment.
        ShowUnknownPoint(path, m_LineCount, names[e], Caption());
        return false;
      }
      index[e] = it->second;
    }
    from.push_back(index[0]), to.push_back(index[1]);
    value.push_back(azimuth ? DmsToRadian(v[0]) : v[0]);
    sd.push_back(v[1] < kSmallestStandardError ? kStandardErrorFloor : v[1]);
    return true;
  });
}

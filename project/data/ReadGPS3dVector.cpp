#include "project/data/ReadGPS3dVector.h"

#include <unordered_map>

#include "project/AppState.h"
#include "project/data/CovarianceScaling.h"
#include "project/data/DataFileReader.h"
#include "project/data/KnownPointReading.h"
#include "project/data/VectorFileReader.h"
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

// The filter of the approximate file dialog, "GPS 3d Approximate XYZ(*.GPS3dApproximateXYZ)|
// *.GPS3dApproximateXYZ|All File(*.*)|*.*|".
std::vector<FileFilter> ApproximateFileFilters() {
  return {{"GPS 3d Approximate XYZ(*.GPS3dApproximateXYZ)", "*.GPS3dApproximateXYZ"}, {"All File(*.*)", "*.*"}};
}

// Names of the approximate file are read with a 40-character buffer.
constexpr int kMaxApproximateName = 39;

}  // namespace

CReadGPS3dVector::CReadGPS3dVector(int variant) {
  m_Variant = variant;
  const NetClassParameters& n = Project().configuration.m_NetClass;
  m_GradeFixedMm = n[NetClassParameters::kFixedError];
  m_GradePpm = n[NetClassParameters::kProportionalError];
}

int CReadGPS3dVector::Load() {
  CWaitCursor wait;
  m_ErrorFlag = 0;
  m_LineCount = 0;
  m_KnownPointCount = m_PointCount = m_VectorCount = 0;
  m_PointName.clear();
  m_X.clear(), m_Y.clear(), m_Z.clear();
  if (!ReadKnownPoints()) return 0;
  if (Project().approxXYZFromFile && !ReadApproximateFile()) return 0;
  if (!ReadVectors()) return 0;
  return BuildPointList();
}

int CReadGPS3dVector::ReadKnownPoints() {
  const std::string path = CurrentProjectFile(ProjectFile::KnownXYZ, m_Variant);
  const CCoorsSystemSet& ellipsoid = Project().configuration.m_CurrentCoorsSystem;
  m_KnownName.clear(), m_KnownX.clear(), m_KnownY.clear(), m_KnownZ.clear();
  m_KnownGeodetic.clear();
  CKnownNameList names;
  bool ellipsoidChecked = false;
  int ok = ReadKnownFile(path, m_LineCount, [&](CKnownLine& k) {
    if (k.items < 4 || k.scanned < 4) {
      ShowReadBaselineError(k.line);
      m_ErrorFlag = 1;
      return false;
    }
    if (!CheckPointName(k.name, path, k.line, kReadBaselineCaption)) {
      m_ErrorFlag = 1;
      return false;
    }
    double x = k.values[0], y = k.values[1], z = k.values[2];
    const KnownPointReading reading = ReadKnownPointValues(x, y, z, GeodeticBound::Below1000);
    if (reading == KnownPointReading::Impossible) {  // neither B, L, H nor X, Y, Z
      ShowReadBaselineError(k.line);
      m_ErrorFlag = 1;
      return false;
    }
    if (reading == KnownPointReading::Geodetic) {  // B, L (D.MMSS) and the ellipsoidal height
      if (!ellipsoidChecked && !CheckEllipsoid(ellipsoid.m_a, ellipsoid.m_InvF, kReadBaselineCaption)) return false;
      ellipsoidChecked = true;
      GPSTransfer transfer(0);
      transfer.m_a = ellipsoid.m_a;
      transfer.m_InvF = ellipsoid.m_InvF;
      transfer.m_B = DmsToRadian(k.values[0]);
      transfer.m_L = WrapLongitude(DmsToRadian(k.values[1]));
      transfer.m_H = k.values[2];
      if (!transfer.BLHXYZ()) {
        ShowReadBaselineError(k.line);
        m_ErrorFlag = 1;
        return false;
      }
      x = transfer.m_X, y = transfer.m_Y, z = transfer.m_Z;
    }
    switch (names.Add(k.name, k.line, {x, y, z}, path, kReadBaselineCaption)) {
      case CKnownNameList::Repeated: return true;
      case CKnownNameList::Conflict: m_ErrorFlag = 1; return false;
      case CKnownNameList::New: break;
    }
    m_KnownName.push_back(k.name);
    m_KnownX.push_back(x), m_KnownY.push_back(y), m_KnownZ.push_back(z);
    m_KnownGeodetic.push_back(reading == KnownPointReading::Geodetic ? 1 : 0);
    return true;
  });
  m_KnownPointCount = static_cast<int>(m_KnownName.size());
  return ok;
}

int CReadGPS3dVector::ReadApproximateFile() {
  std::string path = m_ApproximateFile;
  if (path.empty()) {
    FileDialogRequest request;
    request.open = true;
    request.filters = ApproximateFileFilters();
    request.initialDirectory = Project().projectDir;
    request.mustExist = true;
    auto chosen = Platform().ChooseFiles(request);
    // A cancelled dialog ends the load: without the file no vector end point can be resolved.
    if (!chosen || chosen->empty()) return 0;
    path = chosen->front();
  }
  std::string content;
  if (!ReadRequiredFile(path, content)) return 0;
  // Records are read item by item; lines play no part, but they are counted for messages.
  std::string_view rest(content);
  int line = 1;
  auto take = [&](std::string& token) {
    size_t i = 0;
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t' || rest[i] == '\n' || rest[i] == '\r' ||
                               rest[i] == '\v' || rest[i] == '\f')) {
      if (rest[i] == '\n') ++line;
      ++i;
    }
    rest.remove_prefix(i);
    std::string_view after = TakeToken(rest, &token);
    rest = after;
    return !token.empty();
  };
  std::string name, number;
  while (take(name)) {
    const int recordLine = line;
    double xyz[3];
    int scanned = 1;
    for (double& v : xyz) {
      std::optional<double> value;
      if (!take(number) || !(value = ParseNumber(number))) break;
      v = *value;
      ++scanned;
    }
    if (scanned != 4) {
      ShowLineError(path, recordLine, kReadBaselineCaption);
      m_ErrorFlag = 1;
      return 0;
    }
    if (name.size() > static_cast<size_t>(kMaxApproximateName)) {
      ShowNameTooLong(path, recordLine, name, kMaxApproximateName, kReadBaselineCaption);
      m_ErrorFlag = 1;
      return 0;
    }
    m_PointName.push_back(name);  // as written: neither trimmed nor upper-cased
    m_X.push_back(xyz[0]), m_Y.push_back(xyz[1]), m_Z.push_back(xyz[2]);
  }
  m_PointCount = static_cast<int>(m_PointName.size());
  return 1;
}

int CReadGPS3dVector::ReadVectors() {
  m_VectorFile = CurrentProjectFile(ProjectFile::Vector3d);
  std::vector<vemo::CVectorRecord> vectors;
  // The frames of the covariance scaling are placed from the known points, and in
  // approximate-file mode from the approximate points too.
  CPointSeeds seeds{m_KnownName, {}};
  for (int i = 0; i < m_KnownPointCount; ++i) seeds.xyz.push_back({m_KnownX[i], m_KnownY[i], m_KnownZ[i]});
  for (size_t i = 0; i < m_PointName.size(); ++i)
    seeds.names.push_back(NormalizeName(m_PointName[i])), seeds.xyz.push_back({m_X[i], m_Y[i], m_Z[i]});
  m_ReportPreamble.clear();
  if (!ReadVectorFile(m_VectorFile, VectorLineForm::Flagged, vectors, m_LineCount, m_ErrorFlag, &seeds,
                      &m_ReportPreamble, &m_Scaling))
    return 0;
  m_VectorLine.clear();
  m_Session.clear();
  for (const auto& v : vectors) m_VectorLine.push_back(v.line), m_Session.push_back(v.session);
  StoreVectors(vectors, *this);
  return 1;
}

int CReadGPS3dVector::BuildPointList() {
  if (Project().approxXYZFromFile) {
    // The approximate file is the point list; each end point takes the index of the last
    // approximate point of its name.
    std::unordered_map<std::string, int> last;
    for (int i = 0; i < m_PointCount; ++i) last[m_PointName[i]] = i;
    m_From.resize(m_VectorCount), m_To.resize(m_VectorCount);
    for (int j = 0; j < m_VectorCount; ++j) {
      for (auto [name, index] : {std::pair{&m_FromName[j], &m_From[j]}, std::pair{&m_ToName[j], &m_To[j]}}) {
        auto it = last.find(*name);
        if (it == last.end()) {
          ShowMessage(Format(UiText(u8"文件%s第 %d 行的点%s不在近似坐标文件中!"), PathToGbk(m_VectorFile).c_str(),
                             m_VectorLine[j], name->c_str()),
                      kReadBaselineCaption, MessageIcon::Warning);
          return 0;
        }
        *index = it->second;
      }
    }
    return 1;
  }
  vemo::BuildPointList(m_KnownName, m_FromName, m_ToName, m_PointName, m_From, m_To);
  m_PointCount = static_cast<int>(m_PointName.size());
  m_X.assign(m_PointCount, 0.0), m_Y.assign(m_PointCount, 0.0), m_Z.assign(m_PointCount, 0.0);
  for (int i = 0; i < m_KnownPointCount; ++i) m_X[i] = m_KnownX[i], m_Y[i] = m_KnownY[i], m_Z[i] = m_KnownZ[i];
  return 1;
}

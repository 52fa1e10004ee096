#include "project/OneFixOneAzimuth.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "project/AppState.h"
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

namespace vemo {

namespace {

void Warn(const std::string& textGbk) { ShowMessage(textGbk, AppTitle(), MessageIcon::Warning); }

// The lines of a text, a CR before each LF dropped; a missing line is an empty one.
std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  lines.resize(std::max<size_t>(lines.size(), 3));
  return lines;
}

// A name that the loaders read back as written: one item, within their buffer.
bool UsableName(const std::string& name) {
  const std::string n = NormalizeName(name);
  return !n.empty() && n.size() <= OneFixOneAzimuth::kNameLimit && n.find_first_of(" \t") == std::string::npos;
}

}  // namespace

void OneFixOneAzimuth::OnInitDialog() {
  m_UnreadFields = 0;
  std::string text;
  if (!ReadFileContent(CurrentProjectFile(ProjectFile::OneFix), text)) return;
  const std::vector<std::string> lines = TextLines(text);
  // The fields in the order of kLabels: a name or a number.
  struct Field {
    std::string* name;
    double* number;
  };
  const Field fields[10] = {{&m_PointName, nullptr}, {nullptr, &m_x}, {nullptr, &m_y},       {nullptr, &m_h},
                            {nullptr, &m_B},         {nullptr, &m_L}, {nullptr, &m_h0},      {&m_From, nullptr},
                            {&m_To, nullptr},        {nullptr, &m_Azimuth}};
  std::string rows[3];
  std::string_view rest[3];
  bool broken[3] = {};  // an item of the line did not read: the rest of it does not either
  for (int l = 0; l < 3; ++l) rest[l] = rows[l] = CommasToBlanks(lines[static_cast<size_t>(l)]);
  for (int i = 0; i < 10; ++i) {
    const Field& f = fields[i];
    const int line = kFieldLine[i];
    std::string item;
    rest[line] = TakeToken(rest[line], &item);
    std::optional<double> number;
    if (!item.empty() && f.number) number = ParseNumber(item);
    broken[line] = broken[line] || item.empty() || (f.number && !number);
    if (broken[line]) {
      m_UnreadFields |= 1u << i;
    } else if (f.name) {
      *f.name = item;
    } else {
      *f.number = *number;
    }
  }
}

int OneFixOneAzimuth::CheckRemembered() const {
  if (m_UnreadFields == 0) return 1;
  // "第 1 行的平面坐标x[m]、正常高h[m]，第 3 行的方位角[dms]"
  std::string fields;
  int line = -1;
  for (int i = 0; i < 10; ++i) {
    if (!(m_UnreadFields & (1u << i))) continue;
    if (kFieldLine[i] != line) {
      line = kFieldLine[i];
      fields += Format(UiText(u8"%s第 %d 行的"), fields.empty() ? "" : UiText(u8"，"), line + 1);
    } else {
      fields += UiText(u8"、");
    }
    fields += UiText(kLabels[i]);
  }
  Warn(Format(UiText(u8"上次输入的文件%s中的数据不完整或无法读取(%s)，不能作为本次的输入!\n请重新输入这些数据。"),
              PathToGbk(CurrentProjectFile(ProjectFile::OneFix)).c_str(), fields.c_str()));
  return 0;
}

std::string OneFixOneAzimuth::OneFixText() const {
  return Format("%20s %20.4lf %20.4lf %20.4lf\n", Trim(m_PointName).c_str(), m_x, m_y, m_h) +
         Format("%20.12lf %20.12lf %20.4lf\n", m_B, m_L, m_h0) +
         Format("%20s %20s %20.12lf", Trim(m_From).c_str(), Trim(m_To).c_str(), m_Azimuth);
}

int OneFixOneAzimuth::CheckFields() const {
  for (const std::string* name : {&m_PointName, &m_From, &m_To})
    if (!UsableName(*name)) {
      Warn(NormalizeName(*name).empty()
               ? std::string(UiText(u8"请输入固定点点名和固定方位角的起点、终点!"))
               : Format(UiText(u8"点名%s无效：点名不能含空格，且不能超过%d个字符!"), name->c_str(),
                        static_cast<int>(kNameLimit)));
      return 0;
    }
  if (NormalizeName(m_From) == NormalizeName(m_To)) {
    Warn(Format(UiText(u8"固定方位角的起点与终点是同一点%s，无法定向!"), m_From.c_str()));
    return 0;
  }
  for (double v : {m_x, m_y, m_h, m_B, m_L, m_h0, m_Azimuth})
    if (!std::isfinite(v)) {
      Warn(UiText(u8"输入的数值无效!"));
      return 0;
    }
  if (!(std::fabs(m_x) <= kMaxPlaneCoordinate && std::fabs(m_y) <= kMaxPlaneCoordinate)) {
    Warn(Format(UiText(u8"平面坐标x、y的绝对值应不超过%.0lf m!"), kMaxPlaneCoordinate));
    return 0;
  }
  if (!(std::fabs(m_h) <= kMaxHeight && std::fabs(m_h0) <= kMaxHeight)) {
    Warn(Format(UiText(u8"正常高h与投影面正常高h0的绝对值应不超过%.0lf m!"), kMaxHeight));
    return 0;
  }
  if (!IsPossibleAngle(m_B, 90.0)) {
    Warn(UiText(u8"大地纬度B应在-90度与90度之间，且分、秒应小于60!"));
    return 0;
  }
  if (!IsPossibleAngle(m_L, 360.0) || !(DmsToDegree(m_L) >= -180.0 && DmsToDegree(m_L) < 360.0)) {
    Warn(UiText(u8"大地经度L应在-180度与360度(不含)之间，且分、秒应小于60!"));
    return 0;
  }
  if (!IsPossibleAngle(m_Azimuth, 360.0) || !(std::fabs(DmsToDegree(m_Azimuth)) < 360.0)) {
    Warn(UiText(u8"方位角的绝对值应小于360度，且分、秒应小于60!"));
    return 0;
  }
  return 1;
}

int OneFixOneAzimuth::CheckNamesInNetwork() const {
  const std::string path = CurrentProjectFile(ProjectFile::Vector3d);
  std::vector<CVectorRecord> vectors;
  int lines = 0, errorFlag = 0;
  if (!ReadVectorFile(path, VectorLineForm::Flagged, vectors, lines, errorFlag)) return 0;
  for (const std::string* name : {&m_PointName, &m_From, &m_To}) {
    const std::string n = NormalizeName(*name);
    bool found = false;
    for (const CVectorRecord& v : vectors) found = found || v.from == n || v.to == n;
    if (!found) {
      Warn(Format(UiText(u8"点%s不在基线向量文件%s中，不是网中的点，请检查后再计算!"), n.c_str(), PathToGbk(path).c_str()));
      return 0;
    }
  }
  return 1;
}

int OneFixOneAzimuth::OnOK() {
  if (!CheckFields() || !CheckNamesInNetwork()) return 0;
  const CCoorsSystemSet& ellipsoid = Project().configuration.m_CurrentCoorsSystem;
  if (!CheckEllipsoid(ellipsoid.m_a, ellipsoid.m_InvF, AppTitle())) return 0;
  // The fixed point on the ellipsoid: its ellipsoidal height is its height above the
  // projection surface.
  GPSTransfer t(0);
  t.m_a = ellipsoid.m_a;
  t.m_InvF = ellipsoid.m_InvF;
  t.m_B = DmsToRadian(m_B), t.m_L = DmsToRadian(m_L), t.m_H = m_h - m_h0;
  if (!t.BLHXYZ()) {
    Warn(UiText(u8"输入的数值无效!"));
    return 0;
  }
  const std::string name = Trim(m_PointName), from = Trim(m_From), to = Trim(m_To);
  const std::pair<ProjectFile, std::string> files[] = {
      {ProjectFile::OneFix, OneFixText()},
      {ProjectFile::KnownXYZ, Format("%20s %20.4lf %20.4lf %20.4lf\n", name.c_str(), t.m_X, t.m_Y, t.m_Z)},
      {ProjectFile::KnownXY, Format("%20s %20.4lf %20.4lf\n", name.c_str(), m_x, m_y)},
      {ProjectFile::Azimuth, Format("%20s %20s %20.12lf    0.00001\n", from.c_str(), to.c_str(), m_Azimuth)}};
  for (const auto& [kind, content] : files) {
    const std::string path = CurrentProjectFile(kind, 1);
    if (!WriteFileAtomically(path, content)) {
      Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(path).c_str()));
      return 0;
    }
  }
  return 1;
}

}  // namespace vemo

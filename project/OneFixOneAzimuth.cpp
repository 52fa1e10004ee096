#include "project/OneFixOneAzimuth.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "project/AppState.h"
#include "project/data/DataFileReader.h"
#include "project/data/VectorFileReader.h"
#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"

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
  std::string text;
  if (!ReadFileContent(CurrentProjectFile(ProjectFile::OneFix), text)) return;
  const std::vector<std::string> lines = TextLines(text);
  double values[3];
  std::string name;
  // "%s %lf %lf %lf": each field that scans is taken, as sscanf assigns it.
  int n = ScanPointLine(CommasToBlanks(lines[0]), name, values, 3);
  if (n >= 1) m_PointName = name;
  if (n >= 2) m_x = values[0];
  if (n >= 3) m_y = values[1];
  if (n >= 4) m_h = values[2];
  // "%lf %lf %lf", scanned behind a placeholder name.
  n = ScanPointLine("- " + CommasToBlanks(lines[1]), name, values, 3) - 1;
  if (n >= 1) m_B = values[0];
  if (n >= 2) m_L = values[1];
  if (n >= 3) m_h0 = values[2];
  std::vector<std::string> items;
  if (GetItemsValue(CommasToBlanks(lines[2]).c_str(), items, ' ') >= 3) {
    m_From = items[0], m_To = items[1];
    // atof: the number at the start of the item, 0 without one; never a non-finite value.
    const double azimuth = std::atof(items[2].c_str());
    m_Azimuth = std::isfinite(azimuth) ? azimuth : 0.0;
  }
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
               ? std::string(T(u8"请输入固定点点名和固定方位角的起点、终点!"))
               : Format(T(u8"点名%s无效：点名不能含空格，且不能超过%d个字符!"), name->c_str(),
                        static_cast<int>(kNameLimit)));
      return 0;
    }
  if (NormalizeName(m_From) == NormalizeName(m_To)) {
    Warn(Format(T(u8"固定方位角的起点与终点是同一点%s，无法定向!"), m_From.c_str()));
    return 0;
  }
  for (double v : {m_x, m_y, m_h, m_B, m_L, m_h0, m_Azimuth})
    if (!std::isfinite(v)) {
      Warn(T(u8"输入的数值无效!"));
      return 0;
    }
  if (!(std::fabs(DmsToDegree(m_B)) <= 90.0)) {
    Warn(T(u8"大地纬度B应在-90度与90度之间!"));
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
      Warn(Format(T(u8"点%s不在基线向量文件%s中，不是网中的点，请检查后再计算!"), n.c_str(), PathToGbk(path).c_str()));
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
    Warn(T(u8"输入的数值无效!"));
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
      Warn(Format(T(u8"打开文件%s出错!"), PathToGbk(path).c_str()));
      return 0;
    }
  }
  return 1;
}

}  // namespace vemo

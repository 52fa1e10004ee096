#include "tools/GisExport.h"

#include <cmath>
#include <locale>
#include <map>
#include <optional>
#include <sstream>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Geoid.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {

namespace {

// WGS-84 (the frame of the GPS baselines).
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84InvF = 298.257223563;
constexpr double kDegreesPerRadian = 180.0 / M_PI;

std::vector<std::string> Tokens(const std::string& line) {
  std::istringstream in(line);
  in.imbue(std::locale::classic());
  std::vector<std::string> tokens;
  for (std::string t; in >> t;) tokens.push_back(t);
  return tokens;
}

// A finite number in the "C" locale filling the whole token.
bool Number(const std::string& token, double& value) {
  std::istringstream in(token);
  in.imbue(std::locale::classic());
  in >> value;
  return in && in.peek() == std::char_traits<char>::eof() && std::isfinite(value);
}

bool IsDash(const std::string& line) { return line.size() >= 10 && line.find_first_not_of('-') == std::string::npos; }

// The rows of the table under the heading: after the heading come a dash line, the column
// header and another dash line; the rows end at the next dash line. nullopt when the heading
// is missing or no dash line closes the table: the file was cut there.
std::optional<std::vector<std::string>> TableRows(const std::vector<std::string>& lines, const char* headingUtf8) {
  const std::string heading = T(headingUtf8);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (Trim(lines[i]) != heading) continue;
    std::vector<std::string> rows;
    size_t at = i + 1, dashes = 0;
    while (at < lines.size() && dashes < 2) dashes += IsDash(lines[at++]) ? 1 : 0;
    for (; at < lines.size() && !IsDash(lines[at]); ++at)
      if (!Trim(lines[at]).empty()) rows.push_back(lines[at]);
    if (at == lines.size()) return std::nullopt;
    return rows;
  }
  return std::nullopt;
}

bool Incomplete(const char* headingUtf8, std::string& error) {
  error = Format(UiText(u8"平差结果文件中的\"%s\"表不完整(文件被截断或损坏)"), T(headingUtf8));
  return false;
}

std::string JsonString(const std::string& gbk) {
  std::string out = "\"";
  for (unsigned char c : GbkToUtf8(gbk)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      out += Format("\\u%04x", c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string XmlText(const std::string& gbk) {
  std::string out;
  for (char c : GbkToUtf8(gbk)) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters other than tab and line ends are not XML characters.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
    }
  }
  return out;
}

double Orthometric(const CGisPoint& p) { return p.height - p.undulation.value_or(0.0); }
std::string Position(const CGisPoint& p) { return Format("%.9f,%.9f,%.4f", p.longitude, p.latitude, Orthometric(p)); }
std::string JsonPosition(const CGisPoint& p) { return Format("[%.9f, %.9f, %.4f]", p.longitude, p.latitude, p.height); }

}  // namespace

bool ReadGPS3dResultNetwork(const std::string& text, CGisNetwork& network, std::string& error) {
  network = {};
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  std::map<std::string, int> index;
  const char* const coordinates = u8"平差后坐标(X,Y,Z)";
  const auto pointRows = TableRows(lines, coordinates);
  if (!pointRows && text.find(T(coordinates)) != std::string::npos) return Incomplete(coordinates, error);
  for (const std::string& row : pointRows.value_or(std::vector<std::string>{})) {
    const std::vector<std::string> t = Tokens(row);
    CGisPoint p;
    double number = 0, values[7] = {};
    // Rows are numbered from 1 in order: a gap is a damaged row.
    bool ok = (t.size() == 5 || t.size() == 9) && Number(t[0], number) &&
              number == static_cast<double>(network.points.size() + 1);
    for (size_t i = 2; ok && i < t.size(); ++i) ok = Number(t[i], values[i - 2]);
    if (!ok || index.count(t[1])) {
      error = Format(UiText(u8"平差结果文件中的坐标行\"%s\"无法识别"), Trim(row).c_str());
      return false;
    }
    p.name = t[1];
    p.known = t.size() == 5;
    p.X = values[0], p.Y = values[1], p.Z = values[2];
    if (!p.known) p.mx = values[3], p.my = values[4], p.mz = values[5], p.mp = values[6];
    GPSTransfer geodetic(0);
    geodetic.m_a = kWgs84A;
    geodetic.m_InvF = kWgs84InvF;
    geodetic.m_X = p.X, geodetic.m_Y = p.Y, geodetic.m_Z = p.Z;
    if (!geodetic.XYZBLH()) {
      error = Format(UiText(u8"点%s的坐标无法换算为经纬度"), p.name.c_str());
      return false;
    }
    p.latitude = geodetic.m_B * kDegreesPerRadian;
    p.longitude = geodetic.m_L * kDegreesPerRadian;
    p.height = geodetic.m_H;
    index[p.name] = static_cast<int>(network.points.size());
    network.points.push_back(p);
  }
  if (network.points.empty()) {
    error = UiText(u8"平差结果文件中没有平差后坐标");
    return false;
  }
  // Residual rows: number, from, to, three residuals, the tolerance and the verdict. The
  // adjustment writes every vector with both ends adjusted and one of two verdicts: any other
  // row is damaged, and exporting the rest would pass the network off as whole.
  const char* const residuals = u8"三维基线向量残差";
  const auto vectorRows = TableRows(lines, residuals);
  if (!vectorRows) return Incomplete(residuals, error);
  const std::string passes = T(u8"合格"), exceeds = T(u8"超限");
  for (const std::string& row : *vectorRows) {
    const std::vector<std::string> t = Tokens(row);
    CGisBaseline b;
    double number = 0;
    bool ok = t.size() == 8 && Number(t[0], number) && number == static_cast<double>(network.baselines.size() + 1) &&
              Number(t[3], b.vx) && Number(t[4], b.vy) && Number(t[5], b.vz) && Number(t[6], b.tolerance) &&
              index.count(t[1]) && index.count(t[2]) && (t[7] == passes || t[7] == exceeds);
    if (!ok) {
      error = Format(UiText(u8"平差结果文件中的残差行\"%s\"无法识别"), Trim(row).c_str());
      return false;
    }
    b.number = static_cast<int>(number);
    b.from = index[t[1]];
    b.to = index[t[2]];
    b.passed = t[7] == passes;
    network.baselines.push_back(b);
  }
  return true;
}

std::string GeoJsonDocument(const CGisNetwork& network, const std::string& title) {
  std::string out = "{\n  \"type\": \"FeatureCollection\",\n  \"name\": " + JsonString(title) + ",\n";
  if (!network.geoidName.empty()) out += "  \"geoid_model\": " + JsonString(network.geoidName) + ",\n";
  out += "  \"features\": [";
  const char* separator = "\n";
  for (const CGisPoint& p : network.points) {
    out += separator;
    out += "    {\"type\": \"Feature\", \"geometry\": {\"type\": \"Point\", \"coordinates\": " + JsonPosition(p) +
           "},\n     \"properties\": {\"name\": " + JsonString(p.name) + ", \"kind\": " +
           (p.known ? "\"known\"" : "\"new\"") + Format(", \"X\": %.4f, \"Y\": %.4f, \"Z\": %.4f", p.X, p.Y, p.Z);
    if (p.known)
      out += ", \"mx_cm\": null, \"my_cm\": null, \"mz_cm\": null, \"mp_cm\": null";
    else
      out += Format(", \"mx_cm\": %.2f, \"my_cm\": %.2f, \"mz_cm\": %.2f, \"mp_cm\": %.2f", p.mx, p.my, p.mz, p.mp);
    out += Format(", \"ellipsoidal_height_m\": %.4f", p.height);
    if (p.undulation)
      out += Format(", \"geoid_undulation_m\": %.4f, \"orthometric_height_m\": %.4f", *p.undulation, Orthometric(p));
    out += "}}";
    separator = ",\n";
  }
  for (const CGisBaseline& b : network.baselines) {
    const CGisPoint& from = network.points[static_cast<size_t>(b.from)];
    const CGisPoint& to = network.points[static_cast<size_t>(b.to)];
    out += separator;
    out += "    {\"type\": \"Feature\", \"geometry\": {\"type\": \"LineString\", \"coordinates\": [" +
           JsonPosition(from) + ", " + JsonPosition(to) + "]},\n     \"properties\": {" +
           Format("\"number\": %d, \"from\": ", b.number) + JsonString(from.name) + ", \"to\": " +
           JsonString(to.name) +
           Format(", \"vx_cm\": %.2f, \"vy_cm\": %.2f, \"vz_cm\": %.2f, \"tolerance_cm\": %.2f, \"passed\": %s}}",
                  b.vx, b.vy, b.vz, b.tolerance, b.passed ? "true" : "false");
    separator = ",\n";
  }
  return out + "\n  ]\n}\n";
}

std::string KmlDocument(const CGisNetwork& network, const std::string& title) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>" + XmlText(title) + "</name>\n"
      "<Style id=\"known\"><IconStyle><color>ff0000ff</color><scale>1.1</scale></IconStyle></Style>\n"
      "<Style id=\"new\"><IconStyle><color>ff00ff00</color></IconStyle></Style>\n"
      "<Style id=\"baseline\"><LineStyle><color>ff00ffff</color><width>2</width></LineStyle></Style>\n"
      "<Style id=\"rejected\"><LineStyle><color>ff0000ff</color><width>3</width></LineStyle></Style>\n"
      "<Folder><name>Points</name>\n";
  for (const CGisPoint& p : network.points) {
    out += "<Placemark><name>" + XmlText(p.name) + "</name><styleUrl>#" + (p.known ? "known" : "new") +
           "</styleUrl>\n<description>" +
           (p.known ? XmlText(T(u8"已知点"))
                    : XmlText(Format(T(u8"待定点 Mx=%.2fcm My=%.2fcm Mz=%.2fcm Mp=%.2fcm"), p.mx, p.my, p.mz, p.mp))) +
           Format(" X=%.4f Y=%.4f Z=%.4f h=%.4f", p.X, p.Y, p.Z, p.height) +
           (p.undulation ? XmlText(Format(T(u8" N=%.4f 正高=%.4f(%s)"), *p.undulation, Orthometric(p),
                                          network.geoidName.c_str()))
                         : "") +
           "</description>\n<Point><coordinates>" +
           Position(p) + "</coordinates></Point></Placemark>\n";
  }
  out += "</Folder>\n<Folder><name>Baselines</name>\n";
  for (const CGisBaseline& b : network.baselines) {
    const CGisPoint& from = network.points[static_cast<size_t>(b.from)];
    const CGisPoint& to = network.points[static_cast<size_t>(b.to)];
    out += "<Placemark><name>" + XmlText(from.name + "-" + to.name) + "</name><styleUrl>#" +
           (b.passed ? "baseline" : "rejected") + "</styleUrl>\n<description>" +
           XmlText(Format(T(u8"第%d条基线 残差 VX=%.2fcm VY=%.2fcm VZ=%.2fcm 限差%.2fcm %s"), b.number, b.vx, b.vy,
                          b.vz, b.tolerance, b.passed ? T(u8"合格") : T(u8"超限"))) +
           "</description>\n<LineString><tessellate>1</tessellate><coordinates>" + Position(from) + " " +
           Position(to) + "</coordinates></LineString></Placemark>\n";
  }
  return out + "</Folder>\n</Document>\n</kml>\n";
}

bool AddGeoidHeights(CGisNetwork& network, const CGeoidModel& geoid, std::string& error) {
  std::vector<std::string> names;
  std::vector<double> B, L, N;
  for (const CGisPoint& p : network.points)
    names.push_back(p.name), B.push_back(p.latitude / kDegreesPerRadian), L.push_back(p.longitude / kDegreesPerRadian);
  if (!geoid.Undulations(names, B, L, N, error)) return false;
  for (size_t i = 0; i < N.size(); ++i) network.points[i].undulation = N[i];
  network.geoidName = geoid.Name();
  return true;
}

bool ReadProjectAdjustedNetwork(CGisNetwork& network) {
  const std::string resultPath = CurrentProjectFile(ProjectFile::Result3d);
  const std::optional<std::string> text = ReadWholeFile(resultPath);
  if (!text || text->empty()) {
    ShowMessage(Format(UiText(u8"工程%s的坐标数据不存在，请平差后再进行此项处理!"), Project().projectName.c_str()),
                AppTitle());
    return false;
  }
  std::string error;
  if (!ReadGPS3dResultNetwork(*text, network, error)) {
    ShowMessage(Format("%s: %s", PathToGbk(resultPath).c_str(), error.c_str()), AppTitle());
    return false;
  }
  return true;
}

bool ExportAdjustedNetwork(GisFormat format, const std::string& output, const CGeoidModel* geoid) {
  if (!CheckOutputReplacesNoData(output, {CurrentProjectFile(ProjectFile::Result3d)},
                                 {ProjectFile::GeoJson, ProjectFile::Kml}))
    return false;
  CGisNetwork network;
  if (!ReadProjectAdjustedNetwork(network)) return false;
  std::string error;
  if (geoid && !AddGeoidHeights(network, *geoid, error)) {
    ShowMessage(error, AppTitle(), MessageIcon::Warning);
    return false;
  }
  const std::string& title = Project().projectName;
  const std::string document = format == GisFormat::GeoJson ? GeoJsonDocument(network, title)
                                                            : KmlDocument(network, title);
  if (!WriteFileAtomically(output, document)) {
    ShowMessage(Format(UiText(u8"打开文件%s出错!"), PathToGbk(output).c_str()), AppTitle());
    return false;
  }
  return true;
}

}  // namespace vemo

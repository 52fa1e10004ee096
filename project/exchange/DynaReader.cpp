#include "project/exchange/DynaReader.h"

#include <cctype>
#include <cmath>
#include <map>

#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"
#include "project/data/DataFileReader.h"
#include "project/exchange/XmlTree.h"

namespace vemo::exchange {

std::string ReadInput(const std::string& path) {
  auto content = ReadWholeFile(path);
  if (!content) throw ExchangeError(Format(UiText(u8"打开文件%s出错!"), PathToGbk(path).c_str()));
  return std::move(*content);
}

void Fail(const std::string& path, int line, const std::string& whatGbk) {
  throw ExchangeError(Format(UiText(u8"文件%s第 %d 行: %s"), PathToGbk(path).c_str(), line, whatGbk.c_str()));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (auto& numbered : SplitLines(text)) lines.push_back(std::move(numbered.second));
  return lines;
}

void CheckPositiveDefinite(const Matrix& cov, size_t n, const std::string& path, int line) {
  if (!IsPositiveDefinite(cov, n)) Fail(path, line, UiText(u8"协方差阵不正定!"));
}

namespace {

constexpr double kSquareMetresToCm2 = 1e4;

// The scales of a measurement: V for the whole matrix, P, L, H for the latitude, longitude and
// height variances in the local frame (their square roots scale the rows and columns there,
// which keeps the correlations).
struct Scales {
  double v = 1.0, p = 1.0, l = 1.0, h = 1.0;
};

// C'_ij = v S_i C_ij S_j^T with S_i = R_i^T diag(sqrt p, sqrt l, sqrt h) R_i, R_i the local frame
// at the first station of block i; covariances converted from m² to cm².
Matrix ScaleBlocks(const Matrix& cov, const std::vector<std::array<double, 3>>& origins, const Scales& s) {
  const size_t n = origins.size(), dim = 3 * n;
  std::vector<Matrix> S;
  const bool uniform = s.p == 1.0 && s.l == 1.0 && s.h == 1.0;  // no rotation, no rounding
  for (const auto& origin : origins) {
    if (uniform) {
      S.push_back({1, 0, 0, 0, 1, 0, 0, 0, 1});
      continue;
    }
    auto blh = GeocentricToGeodetic(origin);
    Matrix R = LocalFrame(blh[0], blh[1]);
    Matrix D = {std::sqrt(s.p), 0, 0, 0, std::sqrt(s.l), 0, 0, 0, std::sqrt(s.h)};
    S.push_back(Multiply(Transpose(R, 3), Multiply(D, R, 3), 3));
  }
  Matrix out(dim * dim);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) {
      Matrix block(9);
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) block[r * 3 + c] = cov[(3 * i + r) * dim + 3 * j + c];
      block = Multiply(S[i], Multiply(block, Transpose(S[j], 3), 3), 3);
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) out[(3 * i + r) * dim + 3 * j + c] = s.v * block[r * 3 + c] * kSquareMetresToCm2;
    }
  return out;
}

// Builds a station's position from the way its coordinates are given.
std::array<double, 3> StationPosition(const std::string& type, double a, double b, double height,
                                      const std::string& zoneText, const std::string& path, int line) {
  std::string kind = type;
  if (kind == "XYZ" || kind == "xyz") return {a, b, height};
  if (kind == "LLH" || kind == "llh") {
    const double lat = DmsToRadian(a), lon = DmsToRadian(b);
    if (std::abs(lat) > 1.5708) Fail(path, line, Format(UiText(u8"纬度%.10g超出范围!"), a));
    return GeodeticToGeocentric(lat, lon, height);
  }
  if (kind == "UTM" || kind == "utm") {
    int zone = 0;
    bool south = false, hemisphere = false;
    for (char c : zoneText) {
      if (std::isdigit(static_cast<unsigned char>(c))) zone = zone * 10 + (c - '0');
      else if (c == 'S' || c == 's') south = hemisphere = true;
      else if (c == 'N' || c == 'n') hemisphere = true;
      if (zone > 60) break;
    }
    if (zone < 1 || zone > 60 || !hemisphere)
      Fail(path, line, Format(UiText(u8"UTM坐标的半球和带号\"%s\"无效!"), Utf8ToGbk(zoneText).c_str()));
    auto bl = UtmToGeodetic(a, b, zone, south);
    return GeodeticToGeocentric(bl[0], bl[1], height);
  }
  Fail(path, line,
       Format(UiText(u8"坐标类型\"%s\"不能导入(可导入XYZ、LLH、UTM,LLh等正高需先换算为大地高)!"), Utf8ToGbk(type).c_str()));
}

void SetConstraints(Station& s, const std::string& code, const std::string& path, int line) {
  std::string c = Trim(code);
  if (c.size() != 3) Fail(path, line, Format(UiText(u8"约束代码\"%s\"应为三个字符(C或F)!"), Utf8ToGbk(c).c_str()));
  int held = 0;
  for (char ch : c) {
    if (ch == 'C' || ch == 'c') ++held;
    else if (ch != 'F' && ch != 'f')
      Fail(path, line, Format(UiText(u8"约束代码\"%s\"应为三个字符(C或F)!"), Utf8ToGbk(c).c_str()));
  }
  s.constrained = held == 3;
  s.partlyConstrained = held > 0 && held < 3;
}

std::string FrameKey(const std::string& frame, const std::string& epoch) { return Trim(frame) + "@" + Trim(epoch); }

// The stations of both files by name, for the measurements to refer to.
class StationIndex {
 public:
  explicit StationIndex(const Network& n) {
    for (size_t i = 0; i < n.stations.size(); ++i) m_Index[n.stations[i].name] = i;
  }
  const Station& Find(const Network& n, const std::string& name, const std::string& path, int line) const {
    auto it = m_Index.find(name);
    if (it == m_Index.end())
      Fail(path, line, Format(UiText(u8"测站\"%s\"未在测站文件中定义!"), Utf8ToGbk(name).c_str()));
    return n.stations[it->second];
  }

 private:
  std::map<std::string, size_t> m_Index;
};

void AddStation(Network& n, std::map<std::string, size_t>& seen, Station s, const std::string& path) {
  if (s.name.empty()) Fail(path, s.line, UiText(u8"测站名为空!"));
  for (double v : s.xyz)
    if (!std::isfinite(v)) Fail(path, s.line, UiText(u8"坐标数值超出范围!"));
  auto [it, fresh] = seen.emplace(s.name, n.stations.size());
  if (!fresh) {
    // Station files merged from several sources repeat a station; the first record holds.
    const Station& first = n.stations[it->second];
    const double apart = std::hypot(s.xyz[0] - first.xyz[0], s.xyz[1] - first.xyz[1], s.xyz[2] - first.xyz[2]);
    n.notes.push_back(Format(T(u8"文件%s第 %d 行: 测站\"%s\"重复,取第 %d 行的记录(两者相距%.4f m)"),
                                  PathToGbk(path).c_str(), s.line, Utf8ToGbk(s.name).c_str(), first.line, apart));
    return;
  }
  n.stationFrames[FrameKey(s.frame, s.epoch)]++;
  n.stations.push_back(std::move(s));
}

// ---------------------------------------------------------------- DynaML

double Number(const XmlElement& e, const std::string& path) {
  auto value = ParseNumber(Trim(e.text));
  if (!value) Fail(path, e.line, Format(UiText(u8"<%s>的值\"%s\"不是数值!"), e.name.c_str(), Utf8ToGbk(Trim(e.text)).c_str()));
  return *value;
}

const XmlElement& Required(const XmlElement& parent, const char* name, const std::string& path) {
  const XmlElement* child = parent.Child(name);
  if (!child) Fail(path, parent.line, Format(UiText(u8"<%s>中缺少<%s>!"), parent.name.c_str(), name));
  return *child;
}

double RequiredNumber(const XmlElement& parent, const char* name, const std::string& path) {
  return Number(Required(parent, name, path), path);
}

std::unique_ptr<XmlElement> ParseDynamlRoot(const std::string& path, const std::string& xml) {
  std::string error;
  int line = 0;
  auto root = ParseXml(xml, error, line);
  if (!root) Fail(path, line, Format(UiText(u8"XML格式错误(%s),文件可能不完整!"), error.c_str()));
  if (root->name != "DnaXmlFormat")
    Fail(path, root->line, Format(UiText(u8"不是DynaML文件(根元素为<%s>)!"), Utf8ToGbk(root->name).c_str()));
  return root;
}

// The 3x3 own covariance of a baseline or cluster point (upper triangle given) into the full
// matrix at block i, and the blocks with the later members from the covariance elements.
void PlaceCovariances(Matrix& cov, size_t dim, size_t i, const XmlElement& e, const char* blockName,
                      size_t total, const std::string& path) {
  const char* names[6] = {"SigmaXX", "SigmaXY", "SigmaXZ", "SigmaYY", "SigmaYZ", "SigmaZZ"};
  const int rc[6][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 1}, {1, 2}, {2, 2}};
  for (int k = 0; k < 6; ++k) {
    const double v = RequiredNumber(e, names[k], path);
    cov[(3 * i + rc[k][0]) * dim + 3 * i + rc[k][1]] = v;
    cov[(3 * i + rc[k][1]) * dim + 3 * i + rc[k][0]] = v;
  }
  size_t j = i + 1;
  for (const auto& child : e.children) {
    if (child->name != blockName) continue;
    if (j >= total) Fail(path, child->line, Format(UiText(u8"<%s>多于簇中其后的成员数!"), blockName));
    const char* m[9] = {"m11", "m12", "m13", "m21", "m22", "m23", "m31", "m32", "m33"};
    for (int k = 0; k < 9; ++k) {
      const double v = RequiredNumber(*child, m[k], path);
      const size_t r = 3 * i + k / 3, c = 3 * j + k % 3;
      cov[r * dim + c] = v;
      cov[c * dim + r] = v;
    }
    ++j;
  }
  if (j != total)
    Fail(path, e.line, Format(UiText(u8"<%s>应有%d个<%s>,实有%d个!"), e.name.c_str(), static_cast<int>(total - i - 1),
                              blockName, static_cast<int>(j - i - 1)));
}

void ReadDynamlMeasurement(Network& n, const StationIndex& stations, const XmlElement& m, const std::string& path,
                           const std::string& fileFrame, const std::string& fileEpoch) {
  const XmlElement& typeElement = Required(m, "Type", path);
  const std::string type = Trim(typeElement.text);
  if (const XmlElement* ignore = m.Child("Ignore"); ignore && !Trim(ignore->text).empty()) {
    n.ignored++;
    return;
  }
  if (type != "G" && type != "X" && type != "Y") {
    n.notImported[type.empty() ? "?" : type]++;
    return;
  }
  Scales s;
  if (auto* e = m.Child("Vscale")) s.v = Number(*e, path);
  if (auto* e = m.Child("Pscale")) s.p = Number(*e, path);
  if (auto* e = m.Child("Lscale")) s.l = Number(*e, path);
  if (auto* e = m.Child("Hscale")) s.h = Number(*e, path);
  for (double v : {s.v, s.p, s.l, s.h})
    if (!(v > 0.0)) Fail(path, m.line, UiText(u8"方差比例因子(Vscale、Pscale、Lscale、Hscale)必须大于0!"));
  std::string frame = fileFrame, epoch = fileEpoch;
  if (auto* e = m.Child("ReferenceFrame")) frame = Trim(e->text);
  if (auto* e = m.Child("Epoch")) epoch = Trim(e->text);

  // The members in order: First (and Second) name the stations of the element that follows.
  std::string first, second;
  std::vector<const XmlElement*> members;
  std::vector<std::pair<std::string, std::string>> ends;
  const char* memberName = type == "Y" ? "Clusterpoint" : "GPSBaseline";
  for (const auto& child : m.children) {
    if (child->name == "First") first = Trim(child->text);
    else if (child->name == "Second") second = Trim(child->text);
    else if (child->name == memberName) {
      members.push_back(child.get());
      ends.emplace_back(first, second);
    }
  }
  if (members.empty()) Fail(path, m.line, Format(UiText(u8"%s类观测中没有<%s>!"), type.c_str(), memberName));
  if (auto* total = m.Child("Total")) {
    auto count = ParseInteger(Trim(total->text));
    if (!count || *count != static_cast<int>(members.size()))
      Fail(path, total->line,
           Format(UiText(u8"<Total>为%s,实有%d个<%s>!"), Utf8ToGbk(Trim(total->text)).c_str(), static_cast<int>(members.size()),
                  memberName));
  }
  if (type == "G" && members.size() != 1) Fail(path, m.line, UiText(u8"G类观测只能有一条基线!"));
  const size_t count = members.size(), dim = 3 * count;
  if (count > kMaxClusterMembers) Fail(path, m.line, UiText(u8"簇中成员过多!"));
  Matrix cov(dim * dim, 0.0);
  std::vector<std::array<double, 3>> origins;
  for (size_t i = 0; i < count; ++i) {
    const XmlElement& e = *members[i];
    if (ends[i].first.empty()) Fail(path, e.line, Format(UiText(u8"<%s>前缺少<First>!"), memberName));
    origins.push_back(stations.Find(n, ends[i].first, path, e.line).xyz);
    if (type != "Y") {
      if (ends[i].second.empty()) Fail(path, e.line, UiText(u8"<GPSBaseline>前缺少<Second>!"));
      stations.Find(n, ends[i].second, path, e.line);
    }
    PlaceCovariances(cov, dim, i, e, type == "Y" ? "PointCovariance" : "GPSCovariance", count, path);
  }
  cov = ScaleBlocks(cov, origins, s);
  CheckPositiveDefinite(cov, dim, path, m.line);
  n.measurementFrames[FrameKey(frame, epoch)]++;

  if (type == "Y") {
    std::string coords = "XYZ";
    if (auto* e = m.Child("Coords")) coords = Trim(e->text);
    PointCluster cluster;
    cluster.line = m.line;
    cluster.cov = std::move(cov);
    for (size_t i = 0; i < count; ++i) {
      const XmlElement& e = *members[i];
      cluster.names.push_back(ends[i].first);
      cluster.xyz.push_back(StationPosition(coords, RequiredNumber(e, "X", path), RequiredNumber(e, "Y", path),
                                            RequiredNumber(e, "Z", path), "", path, e.line));
    }
    n.pointClusters.push_back(std::move(cluster));
    return;
  }
  BaselineCluster cluster;
  cluster.line = m.line;
  for (size_t i = 0; i < count; ++i) {
    const XmlElement& e = *members[i];
    Baseline b;
    b.from = ends[i].first, b.to = ends[i].second, b.line = e.line;
    b.d = {RequiredNumber(e, "X", path), RequiredNumber(e, "Y", path), RequiredNumber(e, "Z", path)};
    b.cov.resize(9);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) b.cov[r * 3 + c] = cov[(3 * i + r) * dim + 3 * i + c];
    cluster.baselines.push_back(n.baselines.size());
    n.baselines.push_back(std::move(b));
  }
  if (type == "X" && count > 1) {
    cluster.cov = std::move(cov);
    n.clusters.push_back(std::move(cluster));
  }
}

std::string AttributeOr(const XmlElement& e, const char* key, const char* fallback) {
  const std::string* v = e.Attribute(key);
  return v ? *v : fallback;
}

void ReadDynamlStations(Network& n, std::map<std::string, size_t>& seen, const XmlElement& root, const std::string& path) {
  const std::string frame = AttributeOr(root, "referenceframe", "GDA2020");
  const std::string epoch = AttributeOr(root, "epoch", "01.01.2020");
  for (const auto& child : root.children) {
    if (child->name != "DnaStation") continue;
    const XmlElement& e = *child;
    Station s;
    s.line = e.line;
    s.name = Trim(Required(e, "Name", path).text);
    s.frame = frame, s.epoch = epoch;
    SetConstraints(s, Required(e, "Constraints", path).text, path, e.line);
    const XmlElement& coord = Required(e, "StationCoord", path);
    const XmlElement* zone = coord.Child("HemisphereZone");
    s.xyz = StationPosition(Trim(Required(e, "Type", path).text), RequiredNumber(coord, "XAxis", path),
                            RequiredNumber(coord, "YAxis", path), RequiredNumber(coord, "Height", path),
                            zone ? zone->text : std::string(), path, coord.line);
    AddStation(n, seen, std::move(s), path);
  }
}

// ---------------------------------------------------------------- DNA

// Characters [position, position + length) of a line, trimmed; empty past its end.
std::string Field(const std::string& line, size_t position, size_t length) {
  return position >= line.size() ? std::string() : Trim(line.substr(position, length));
}

double FieldNumber(const std::string& line, size_t position, size_t length, double fallback, const std::string& path,
                   int number) {
  const std::string text = Field(line, position, length);
  if (text.empty()) return fallback;
  auto v = ParseNumber(text);
  if (!v) Fail(path, number, Format(UiText(u8"第%d列起的\"%s\"不是数值!"), static_cast<int>(position + 1), text.c_str()));
  return *v;
}

struct DnaHeader {
  std::string frame, epoch;
};

// "!#=DNA 3.01 STN    date    frame    epoch    count": the kind and the default frame.
DnaHeader CheckDnaHeader(const std::vector<std::string>& lines, const char* kind, const std::string& path) {
  const std::string first = lines.empty() ? std::string() : lines.front();
  std::vector<std::string> words;
  GetItemsValue(first.c_str(), words, ' ');
  if (words.size() < 3 || words[0] != "!#=DNA" || words[2] != kind)
    Fail(path, 1, Format(UiText(u8"不是DNA格式的%s文件(首行应为\"!#=DNA 版本 %s ...\")!"),
                         std::string(kind) == "STN" ? UiText(u8"测站") : UiText(u8"观测"), kind));
  DnaHeader h;
  h.frame = words.size() > 4 ? words[4] : "";
  h.epoch = words.size() > 5 ? words[5] : "";
  return h;
}

bool IsDnaComment(const std::string& line) {
  return line.empty() || line[0] == '*' || line[0] == '!' || IsSpaceString(line.c_str());
}

// Station records: the name in columns 1-20 (it may hold blanks), then the constraints, the
// coordinate type, the two coordinates and the height, for UTM the hemisphere and zone, and
// the description.
void ReadDnaStations(Network& n, std::map<std::string, size_t>& seen, const std::string& path, const std::string& text) {
  const auto lines = Lines(text);
  const DnaHeader header = CheckDnaHeader(lines, "STN", path);
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (IsDnaComment(line)) continue;
    const int number = static_cast<int>(i + 1);
    Station s;
    s.line = number;
    s.name = Field(line, 0, 20);
    s.frame = header.frame, s.epoch = header.epoch;
    std::vector<std::string> words;
    GetItemsValue(line.size() > 20 ? line.c_str() + 20 : "", words, ' ');
    const bool utm = words.size() > 1 && (words[1] == "UTM" || words[1] == "utm");
    if (words.size() < (utm ? 6u : 5u)) Fail(path, number, UiText(u8"测站记录不完整(应有约束、坐标类型、两个坐标和高)!"));
    SetConstraints(s, words[0], path, number);
    double v[3];
    for (int k = 0; k < 3; ++k) {
      auto value = ParseNumber(words[2 + k]);
      if (!value) Fail(path, number, Format(UiText(u8"\"%s\"不是数值!"), Utf8ToGbk(words[2 + k]).c_str()));
      v[k] = *value;
    }
    s.xyz = StationPosition(words[1], v[0], v[1], v[2], utm ? words[5] : std::string(), path, number);
    AddStation(n, seen, std::move(s), path);
  }
}

// Measurement records start with their type in column 1 (an asterisk in column 2 ignores
// them); lines that start with a blank continue the record above. A GNSS baseline (G) names
// its stations in columns 3-22 and 23-42, its V, P, L, H scales in four 10-column fields from
// column 63, the frame and epoch in two 20-column fields from column 103; three lines follow
// with the component in columns 63-82 and the lower triangle of the covariance (m²) in
// 20-column fields from column 83.
void ReadDnaMeasurements(Network& n, const StationIndex& stations, const std::string& path, const std::string& text) {
  const auto lines = Lines(text);
  const DnaHeader header = CheckDnaHeader(lines, "MSR", path);
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (IsDnaComment(line) || line[0] == ' ' || line[0] == '\t') continue;
    const int number = static_cast<int>(i + 1);
    const std::string type(1, line[0]);
    if (line.size() > 1 && line[1] == '*') {
      n.ignored++;
      continue;
    }
    if (type == "X" || type == "Y")
      Fail(path, number, Format(UiText(u8"DNA格式的%s类观测(簇)不能导入,请用DynaML格式的文件!"), type.c_str()));
    if (type != "G") {
      n.notImported[type]++;
      continue;
    }
    Baseline b;
    b.line = number;
    b.from = Field(line, 2, 20), b.to = Field(line, 22, 20);
    if (b.from.empty() || b.to.empty()) Fail(path, number, UiText(u8"基线缺少起点或终点!"));
    Scales s;
    s.v = FieldNumber(line, 62, 10, 1.0, path, number);
    s.p = FieldNumber(line, 72, 10, 1.0, path, number);
    s.l = FieldNumber(line, 82, 10, 1.0, path, number);
    s.h = FieldNumber(line, 92, 10, 1.0, path, number);
    for (double v : {s.v, s.p, s.l, s.h})
      if (!(v > 0.0)) Fail(path, number, UiText(u8"方差比例因子(V、P、L、H)必须大于0!"));
    std::string frame = Field(line, 102, 20), epoch = Field(line, 122, 20);
    if (frame.empty()) frame = header.frame;
    if (epoch.empty()) epoch = header.epoch;
    const Station& from = stations.Find(n, b.from, path, number);
    stations.Find(n, b.to, path, number);
    Matrix cov(9);
    for (int r = 0; r < 3; ++r) {
      const size_t k = i + 1 + r;
      if (k >= lines.size() || IsDnaComment(lines[k]) || (lines[k][0] != ' ' && lines[k][0] != '\t'))
        Fail(path, number, UiText(u8"基线记录不完整(应有三行分量和协方差)!"));
      const int row = static_cast<int>(k + 1);
      const std::string& l = lines[k];
      if (Field(l, 62, 20).empty()) Fail(path, row, UiText(u8"缺少基线分量!"));
      b.d[r] = FieldNumber(l, 62, 20, 0.0, path, row);
      for (int c = 0; c <= r; ++c) {
        if (Field(l, 82 + 20 * c, 20).empty()) Fail(path, row, UiText(u8"缺少协方差元素!"));
        cov[r * 3 + c] = cov[c * 3 + r] = FieldNumber(l, 82 + 20 * static_cast<size_t>(c), 20, 0.0, path, row);
      }
    }
    i += 3;
    b.cov = ScaleBlocks(cov, {from.xyz}, s);
    CheckPositiveDefinite(b.cov, 3, path, number);
    n.measurementFrames[FrameKey(frame, epoch)]++;
    n.baselines.push_back(std::move(b));
  }
}

}  // namespace

Network ParseDynaml(const std::string& stationPath, const std::string& stationXml, const std::string& measurementPath,
                    const std::string& measurementXml) {
  auto stationRoot = ParseDynamlRoot(stationPath, stationXml);
  auto measurementRoot = ParseDynamlRoot(measurementPath, measurementXml);
  Network n;
  std::map<std::string, size_t> seen;
  // A combined file holds both; the station file is read first.
  ReadDynamlStations(n, seen, *stationRoot, stationPath);
  if (measurementPath != stationPath) ReadDynamlStations(n, seen, *measurementRoot, measurementPath);
  const StationIndex index(n);
  for (const auto* root : {stationRoot.get(), measurementRoot.get()}) {
    if (root == measurementRoot.get() && measurementPath == stationPath) break;
    const std::string& path = root == stationRoot.get() ? stationPath : measurementPath;
    const std::string frame = AttributeOr(*root, "referenceframe", "GDA2020");
    const std::string epoch = AttributeOr(*root, "epoch", "01.01.2020");
    for (const auto& child : root->children)
      if (child->name == "DnaMeasurement") ReadDynamlMeasurement(n, index, *child, path, frame, epoch);
  }
  return n;
}

Network ParseDna(const std::string& stationPath, const std::string& stationText, const std::string& measurementPath,
                 const std::string& measurementText) {
  Network n;
  std::map<std::string, size_t> seen;
  ReadDnaStations(n, seen, stationPath, stationText);
  const StationIndex index(n);
  ReadDnaMeasurements(n, index, measurementPath, measurementText);
  return n;
}

Network ReadDynaml(const std::string& stationPath, const std::string& measurementPath) {
  return ParseDynaml(stationPath, ReadInput(stationPath), measurementPath, ReadInput(measurementPath));
}

Network ReadDna(const std::string& stationPath, const std::string& measurementPath) {
  return ParseDna(stationPath, ReadInput(stationPath), measurementPath, ReadInput(measurementPath));
}

}  // namespace vemo::exchange

#include "project/exchange/ProjectExchange.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <tuple>

#include "geodesy/Angles.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSConfiguration.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/ProjectFiles.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"
#include "project/data/ClusterFile.h"
#include "project/data/KnownCovariance.h"
#include "project/data/KnownPointReading.h"
#include "project/exchange/DynaReader.h"

namespace vemo::exchange {


std::string ExactNumber(double value, int decimals) {
  std::string text = Format("%.*f", decimals, value);
  if (text.size() <= 24 && std::strtod(text.c_str(), nullptr) == value) return text;
  // Fifteen significant digits: beyond what any source prints, without the noise of the last
  // bit that a unit conversion leaves.
  return Format("%.15g", value);
}

namespace {

std::string ProjectPath(const std::string& extension) {
  return ProjectFileName(GlobalProjectDir(), GlobalProjectName(), extension);
}

// ---------------------------------------------------------------- names

// Source names made into project names, each distinct source name a distinct project name.
class NameMap {
 public:
  const std::string& Map(const std::string& source) {
    auto found = m_Names.find(source);
    if (found != m_Names.end()) return found->second;
    const std::string base = Clean(source);
    std::string name = base;
    for (int k = 2; m_Taken.count(name); ++k) {
      const std::string suffix = "~" + std::to_string(k);
      name = Cut(base, kProjectNameLimit - suffix.size()) + suffix;
    }
    m_Taken.insert(name);
    if (name != source) m_Renamed.emplace_back(source, name);
    return m_Names.emplace(source, name).first->second;
  }
  const std::vector<std::pair<std::string, std::string>>& Renamed() const { return m_Renamed; }

 private:
  // At most limit bytes, never splitting a two-byte character.
  static std::string Cut(const std::string& gbk, size_t limit) {
    size_t end = 0;
    while (end < gbk.size()) {
      const size_t step = IsGbkLeadByte(static_cast<unsigned char>(gbk[end])) && end + 1 < gbk.size() ? 2 : 1;
      if (end + step > limit) break;
      end += step;
    }
    return gbk.substr(0, end);
  }
  static std::string Clean(const std::string& utf8) {
    const std::string gbk = Utf8ToGbk(Trim(utf8));
    std::string out;
    for (size_t i = 0; i < gbk.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(gbk[i]);
      if (IsGbkLeadByte(c) && i + 1 < gbk.size()) {
        out += gbk.substr(i++, 2);
        continue;
      }
      out += (c <= ' ' || c == ',' || c == 0x7f) ? '_' : static_cast<char>(c);
    }
    out = UpperGbk(out);
    if (out.empty()) out = "_";
    if (out[0] == '#') out[0] = '_';
    return Cut(out, kProjectNameLimit);
  }
  std::map<std::string, std::string> m_Names;
  std::set<std::string> m_Taken;
  std::vector<std::pair<std::string, std::string>> m_Renamed;  // source (UTF-8), project name (GBK)
};

// The upper triangle of a symmetric n x n matrix, one row a line.
std::string UpperRows(const Matrix& m, size_t n, double factor = 1.0) {
  std::string text;
  for (size_t r = 0; r < n; ++r) {
    for (size_t c = r; c < n; ++c) text += (c > r ? " " : "") + ExactNumber(m[r * n + c] * factor, 13);
    text += '\n';
  }
  return text;
}

struct PendingFile {
  std::string path, content;
};

std::string FrameLines(const std::map<std::string, int>& frames, const char* title) {
  std::string text;
  for (const auto& [key, count] : frames) {
    const size_t at = key.find('@');
    AppendFormat(text, T(u8"%s: %s  历元 %s  %d个\n"), title, Utf8ToGbk(key.substr(0, at)).c_str(),
                 Utf8ToGbk(key.substr(at + 1)).c_str(), count);
  }
  return text;
}

}  // namespace

bool ImportIntoProject(const Network& n, const std::string& formatName, const std::vector<std::string>& sources) {
  try {
    NameMap names;
    for (const Station& s : n.stations) names.Map(s.name);
    // Known points: the points of the point clusters with their observed positions, and the
    // constrained stations that no point cluster gives.
    std::map<std::string, std::array<double, 3>> clustered;
    for (const PointCluster& c : n.pointClusters)
      for (size_t i = 0; i < c.names.size(); ++i)
        if (!clustered.emplace(c.names[i], c.xyz[i]).second)
          Fail(n.measurementFile, c.line,
               Format(UiText(u8"点\"%s\"出现在多个点簇中!"), Utf8ToGbk(c.names[i]).c_str()));
    std::string known, approximate, vectors, clusters, knownCov;
    int constrained = 0, partly = 0;
    std::vector<const Station*> ordered;
    for (const Station& s : n.stations)
      if ((s.constrained && !clustered.count(s.name)) || clustered.count(s.name)) ordered.push_back(&s);
    for (const Station& s : n.stations)
      if (!((s.constrained && !clustered.count(s.name)) || clustered.count(s.name))) ordered.push_back(&s);
    for (const Station* s : ordered) {
      const bool isKnown = clustered.count(s->name) || s->constrained;
      constrained += s->constrained;
      partly += s->partlyConstrained;
      const std::array<double, 3> xyz = clustered.count(s->name) ? clustered[s->name] : s->xyz;
      const std::string& name = names.Map(s->name);
      if (isKnown) {
        if (!s->hasPosition && !clustered.count(s->name))
          Fail(n.measurementFile, s->line, Format(UiText(u8"固定点\"%s\"没有坐标!"), Utf8ToGbk(s->name).c_str()));
        known += Format("%20s %20s %20s %20s\n", name.c_str(), ExactNumber(xyz[0], 4).c_str(),
                        ExactNumber(xyz[1], 4).c_str(), ExactNumber(xyz[2], 4).c_str());
      }
      if (isKnown || s->hasPosition)
        approximate += Format("%16s %15s %15s %15s\n", name.c_str(), ExactNumber(xyz[0], 4).c_str(),
                              ExactNumber(xyz[1], 4).c_str(), ExactNumber(xyz[2], 4).c_str());
    }
    // Points of point clusters that no station record gives.
    std::set<std::string> stationNames;
    for (const Station& s : n.stations) stationNames.insert(s.name);
    for (const auto& [source, xyz] : clustered) {
      if (stationNames.count(source)) continue;
      const std::string& name = names.Map(source);
      known += Format("%20s %20s %20s %20s\n", name.c_str(), ExactNumber(xyz[0], 4).c_str(),
                      ExactNumber(xyz[1], 4).c_str(), ExactNumber(xyz[2], 4).c_str());
    }
    std::map<std::pair<std::string, std::string>, int> pairCount;
    std::vector<int> occurrence;
    for (const Baseline& b : n.baselines) {
      const std::string& from = names.Map(b.from);
      const std::string& to = names.Map(b.to);
      occurrence.push_back(++pairCount[{from, to}]);
      vectors += Format("%16s %16s %15s %15s %15s", from.c_str(), to.c_str(), ExactNumber(b.d[0], 4).c_str(),
                        ExactNumber(b.d[1], 4).c_str(), ExactNumber(b.d[2], 4).c_str());
      for (int k : {0, 4, 8, 1, 2, 5}) vectors += Format(" %20s", ExactNumber(b.cov[k], 13).c_str());
      vectors += '\n';
    }
    for (const BaselineCluster& c : n.clusters) {
      clusters += Format("CLUSTER %d\n", static_cast<int>(c.baselines.size()));
      for (size_t i : c.baselines)
        clusters += Format("%s %s %d\n", names.Map(n.baselines[i].from).c_str(), names.Map(n.baselines[i].to).c_str(),
                           occurrence[i]);
      clusters += UpperRows(c.cov, 3 * c.baselines.size());
    }
    for (const PointCluster& c : n.pointClusters) {
      if (c.names.size() == 1) {
        knownCov += names.Map(c.names[0]);
        for (int k : {0, 4, 8, 1, 2, 5}) knownCov += " " + ExactNumber(c.cov[k], 13);
        knownCov += '\n';
        continue;
      }
      knownCov += Format("GROUP %d\n", static_cast<int>(c.names.size()));
      for (const auto& name : c.names) knownCov += names.Map(name) + "\n";
      knownCov += UpperRows(c.cov, 3 * c.names.size());
    }

    // The summary, which is also the import record.
    std::string summary = Format(T(u8"导入%s格式的网:\n"), formatName.c_str());
    for (const auto& source : sources) AppendFormat(summary, T(u8"源文件: %s\n"), PathToGbk(source).c_str());
    AppendFormat(summary, T(u8"测站: %d个(固定%d个"), static_cast<int>(n.stations.size()), constrained);
    if (partly) AppendFormat(summary, T(u8",部分约束%d个按未知点处理"), partly);
    AppendFormat(summary, T(u8")\n基线: %d条\n基线簇: %d个\n点簇(带协方差的已知点): %d个\n"),
                 static_cast<int>(n.baselines.size()), static_cast<int>(n.clusters.size()),
                 static_cast<int>(n.pointClusters.size()));
    summary += FrameLines(n.stationFrames, T(u8"测站参考框架"));
    summary += FrameLines(n.measurementFrames, T(u8"观测参考框架"));
    for (const auto& note : n.notes) summary += note + "\n";
    for (const auto& [type, count] : n.notImported)
      AppendFormat(summary, T(u8"未导入的观测: %s类 %d个\n"), Utf8ToGbk(type).c_str(), count);
    if (n.ignored) AppendFormat(summary, T(u8"源文件标为忽略的观测: %d个(未导入)\n"), n.ignored);
    if (known.empty()) summary += T(u8"注意: 没有固定点或带协方差的已知点,平差前请输入已知点!\n");
    if (!names.Renamed().empty()) {
      summary += T(u8"改名的测站(原名 -> 工程点名):\n");
      for (const auto& [source, name] : names.Renamed())
        AppendFormat(summary, "  %s -> %s\n", Utf8ToGbk(source).c_str(), name.c_str());
    }

    std::vector<PendingFile> files = {{ProjectPath(Extension(ProjectFile::KnownXYZ)), known},
                                      {ProjectPath(Extension(ProjectFile::ApproximateXYZ)), approximate},
                                      {ProjectPath(Extension(ProjectFile::Vector3d)), vectors},
                                      {ProjectPath(Extension(ProjectFile::ImportLog)), summary}};
    std::vector<std::string> stale;
    for (const auto& [extension, content] : {std::pair{Extension(ProjectFile::Cluster3d), clusters}, std::pair{Extension(ProjectFile::KnownCov3d), knownCov}}) {
      if (!content.empty()) files.push_back({ProjectPath(extension), content});
      else if (FileExists(ProjectPath(extension))) stale.push_back(ProjectPath(extension));
    }
    std::string existing;
    for (const auto& f : files)
      if (FileExists(f.path)) existing += "  " + PathToGbk(f.path) + "\n";
    for (const auto& path : stale) existing += "  " + PathToGbk(path) + UiText(u8"(删除)\n");
    if (!existing.empty() &&
        !AskYesNo(Format(UiText(u8"以下文件已经存在,导入将覆盖:\n%s是否继续?"), existing.c_str()), ApplicationTitle(),
                  MessageIcon::Question, 1, MessageAnswer::No))
      return false;

    // Every file is written beside its old one first; only when all are whole do they replace them.
    std::vector<std::unique_ptr<CAtomicFile>> outputs;
    for (const auto& f : files) {
      auto out = std::make_unique<CAtomicFile>();
      if (!out->Open(f.path) || !out->Write(f.content.data(), f.content.size())) {
        WriteFileError(f.path, ApplicationTitle());
        return false;
      }
      outputs.push_back(std::move(out));
    }
    for (size_t i = 0; i < outputs.size(); ++i)
      if (!outputs[i]->Commit()) {
        WriteFileError(files[i].path, ApplicationTitle());
        return false;
      }
    std::string failed;
    if (!RemoveFilesDurably(stale, &failed)) {
      WriteFileError(failed, ApplicationTitle());
      return false;
    }
    Platform().ShowText(UiText(u8"导入"), summary);
    return true;
  } catch (const ExchangeError& e) {
    ShowMessage(e.what(), ApplicationTitle(), MessageIcon::Warning);
    return false;
  }
}

// ---------------------------------------------------------------- the project's network

namespace {

std::vector<std::string> Items(std::string line) {
  for (char& c : line)
    if (c == '\t' || c == '\r') c = ' ';
  std::vector<std::string> items;
  if (!IsSpaceString(line.c_str())) GetItemsValue(line.c_str(), items, ' ');
  return items;
}

double NumberAt(const std::string& text, const std::string& path, int line) {
  auto v = ParseNumber(text);
  if (!v) Fail(path, line, Format(UiText(u8"\"%s\"不是数值!"), text.c_str()));
  return *v;
}

}  // namespace

Network ReadProjectNetwork() {
  Network n;
  const CGPSConfiguration* config = GlobalConfiguration();
  const double a = config ? config->m_CurrentCoorsSystem.m_a : kGrs80A;
  const double invF = config ? config->m_CurrentCoorsSystem.m_InvF : kGrs80InvF;
  std::map<std::string, size_t> pointIndex;
  std::map<std::string, bool> geodetic;

  const std::string knownPath = ProjectPath(Extension(ProjectFile::KnownXYZ));
  const auto knownLines = Lines(ReadInput(knownPath));
  for (size_t i = 0; i < knownLines.size(); ++i) {
    std::string line = knownLines[i];
    for (char& c : line)
      if (c == ',') c = ' ';
    auto items = Items(line);
    if (items.empty()) continue;
    const int number = static_cast<int>(i + 1);
    if (items.size() < 4) Fail(knownPath, number, UiText(u8"已知点应有点名和三个坐标!"));
    Station s;
    s.name = NormalizeName(items[0]);
    s.constrained = true;
    s.line = number;
    double v[3];
    for (int k = 0; k < 3; ++k) v[k] = NumberAt(items[1 + k], knownPath, number);
    const KnownPointReading reading = ReadKnownPointValues(v[0], v[1], v[2], GeodeticBound::Below1000);
    if (reading == KnownPointReading::Impossible) Fail(knownPath, number, UiText(u8"坐标不是可能的B、L、H!"));
    geodetic[s.name] = reading == KnownPointReading::Geodetic;
    s.xyz = geodetic[s.name] ? GeodeticToGeocentric(DmsToRadian(v[0]), DmsToRadian(v[1]), v[2], a, invF)
                             : std::array<double, 3>{v[0], v[1], v[2]};
    if (pointIndex.count(s.name)) continue;  // the first line of a name holds, as the adjustment reads it
    pointIndex[s.name] = n.stations.size();
    n.stations.push_back(std::move(s));
  }

  const size_t knownCount = n.stations.size();

  std::map<std::string, std::array<double, 3>> approximate;
  const std::string approximatePath = ProjectPath(Extension(ProjectFile::ApproximateXYZ));
  if (FileExists(approximatePath)) {
    std::vector<std::string> items;
    for (const auto& line : Lines(ReadInput(approximatePath)))
      for (auto& item : Items(line)) items.push_back(std::move(item));
    for (size_t i = 0; i + 3 < items.size(); i += 4) {
      auto x = ParseNumber(items[i + 1]), y = ParseNumber(items[i + 2]), z = ParseNumber(items[i + 3]);
      if (!x || !y || !z) break;
      approximate[NormalizeName(items[i])] = {*x, *y, *z};
    }
  }

  const std::string vectorPath = ProjectPath(Extension(ProjectFile::Vector3d));
  n.measurementFile = vectorPath;
  const auto vectorLines = Lines(ReadInput(vectorPath));
  for (size_t i = 0; i < vectorLines.size(); ++i) {
    auto items = Items(vectorLines[i]);
    const int number = static_cast<int>(i + 1);
    bool use = true;
    if (items.size() == 12 && (items[0] == "0" || items[0] == "1")) {
      use = items[0] == "0";
      items.erase(items.begin());
    }
    if (items.size() != 11) continue;  // the source-file lines of a formed vector file
    Baseline b;
    b.from = NormalizeName(items[0]), b.to = NormalizeName(items[1]), b.line = number;
    if (!use) continue;
    for (int c = 0; c < 3; ++c) b.d[c] = NumberAt(items[2 + c], vectorPath, number);
    double e[6];
    for (int c = 0; c < 6; ++c) e[c] = NumberAt(items[5 + c], vectorPath, number);
    b.cov = {e[0], e[3], e[4], e[3], e[1], e[5], e[4], e[5], e[2]};
    for (const std::string& end : {b.from, b.to})
      if (!pointIndex.count(end)) {
        Station s;
        s.name = end;
        s.line = number;
        auto found = approximate.find(end);
        s.hasPosition = found != approximate.end();
        if (s.hasPosition) s.xyz = found->second;
        pointIndex[end] = n.stations.size();
        n.stations.push_back(std::move(s));
      }
    n.baselines.push_back(std::move(b));
  }
  // A known point that no vector reaches stays in the export: it is part of the datum.

  // The weighted known points and the clusters, read by the readers the adjustments use; they
  // name the file and line of a fault themselves.
  std::vector<std::string> knownNames;
  for (size_t i = 0; i < knownCount; ++i) knownNames.push_back(n.stations[i].name);
  std::vector<CCovarianceBlock> blocks;
  if (!ReadKnownCovariance(ProjectPath(Extension(ProjectFile::KnownCov3d)), 3, knownNames, blocks))
    throw ExchangeError(std::string());
  for (CCovarianceBlock& block : blocks) {
    // Points given as B, L, H carry their covariance in the local north, east, up frame.
    std::vector<Matrix> toXyz;
    for (int member : block.members) {
      const Station& s = n.stations[static_cast<size_t>(member)];
      Matrix S = {1, 0, 0, 0, 1, 0, 0, 0, 1};
      if (geodetic[s.name]) {
        auto blh = GeocentricToGeodetic(s.xyz);
        S = Transpose(LocalFrame(blh[0], blh[1]), 3);
      }
      toXyz.push_back(std::move(S));
    }
    TransformCovarianceBlock(block, 3, [&](size_t k) { return toXyz[k].data(); });
    PointCluster c;
    c.line = block.line;
    for (int member : block.members) {
      Station& s = n.stations[static_cast<size_t>(member)];
      c.names.push_back(s.name);
      c.xyz.push_back(s.xyz);
      s.constrained = false;
    }
    c.cov = std::move(block.cov);
    n.pointClusters.push_back(std::move(c));
  }

  std::vector<std::string> from, to;
  std::vector<int> lines;
  for (const Baseline& b : n.baselines) from.push_back(b.from), to.push_back(b.to), lines.push_back(b.line);
  blocks.clear();
  if (!ReadClusterFile(ProjectPath(Extension(ProjectFile::Cluster3d)),
                       [&] { return ClusterCandidates(vectorPath, from, to, lines); }, blocks))
    throw ExchangeError(std::string());
  for (CCovarianceBlock& block : blocks) {
    BaselineCluster c;
    c.line = block.line;
    for (int member : block.members) c.baselines.push_back(static_cast<size_t>(member));
    c.cov = std::move(block.cov);
    n.clusters.push_back(std::move(c));
  }
  return n;
}

}  // namespace vemo::exchange

#include "project/exchange/GamaExchange.h"

#include <cmath>
#include <map>

#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"
#include "project/exchange/DynaReader.h"
#include "project/exchange/ProjectExchange.h"
#include "project/exchange/XmlTree.h"

namespace vemo::exchange {
namespace {

constexpr double kMm2PerCm2 = 100.0;

double AttributeNumber(const XmlElement& e, const char* key, const std::string& path) {
  const std::string* text = e.Attribute(key);
  if (!text) Fail(path, e.line, Format(UiText(u8"<%s>缺少属性%s!"), e.name.c_str(), key));
  auto v = ParseNumber(Trim(*text));
  if (!v) Fail(path, e.line, Format(UiText(u8"<%s>的属性%s=\"%s\"不是数值!"), e.name.c_str(), key, Utf8ToGbk(*text).c_str()));
  return *v;
}

std::string AttributeText(const XmlElement& e, const char* key, const std::string& path) {
  const std::string* text = e.Attribute(key);
  if (!text || Trim(*text).empty()) Fail(path, e.line, Format(UiText(u8"<%s>缺少属性%s!"), e.name.c_str(), key));
  return Trim(*text);
}

bool HasXyz(const std::string* flags) {
  if (!flags) return false;
  std::string f = *flags;
  for (char& c : f) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return f.find('x') != std::string::npos && f.find('y') != std::string::npos && f.find('z') != std::string::npos;
}

// <cov-mat dim="n" band="b">: the upper band by rows (row i from the diagonal, min(b, n-1-i)+1
// values), mm²; outside the band zero.
Matrix ReadCovMat(const XmlElement& e, size_t dim, const std::string& path) {
  const double declared = AttributeNumber(e, "dim", path);
  if (declared != static_cast<double>(dim))
    Fail(path, e.line, Format(UiText(u8"<cov-mat>的dim应为%d!"), static_cast<int>(dim)));
  const double bandValue = AttributeNumber(e, "band", path);
  if (bandValue < 0 || bandValue != static_cast<double>(static_cast<long>(bandValue)))
    Fail(path, e.line, UiText(u8"<cov-mat>的band无效!"));
  const size_t band = std::min(static_cast<size_t>(bandValue), dim - 1);
  std::vector<std::string> items;
  std::string text = e.text;
  for (char& c : text)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  if (!IsSpaceString(text.c_str())) GetItemsValue(text.c_str(), items, ' ');
  Matrix m(dim * dim, 0.0);
  size_t k = 0;
  for (size_t r = 0; r < dim; ++r)
    for (size_t c = r; c <= std::min(dim - 1, r + band); ++c) {
      if (k >= items.size()) Fail(path, e.line, UiText(u8"<cov-mat>的元素不足!"));
      auto v = ParseNumber(items[k++]);
      if (!v) Fail(path, e.line, Format(UiText(u8"<cov-mat>的元素\"%s\"不是数值!"), Utf8ToGbk(items[k - 1]).c_str()));
      m[r * dim + c] = m[c * dim + r] = *v / kMm2PerCm2;
    }
  if (k != items.size()) Fail(path, e.line, UiText(u8"<cov-mat>的元素过多!"));
  CheckPositiveDefinite(m, dim, path, e.line);
  return m;
}

std::string Escape(const std::string& utf8) {
  std::string out;
  for (char c : utf8) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Id(const std::string& gbk) { return Escape(GbkToUtf8(gbk)); }

std::string CovMat(const Matrix& cov, size_t dim) {
  std::string text = Format("<cov-mat dim=\"%d\" band=\"%d\">\n", static_cast<int>(dim), static_cast<int>(dim - 1));
  for (size_t r = 0; r < dim; ++r) {
    for (size_t c = r; c < dim; ++c) text += (c > r ? " " : "") + ExactNumber(cov[r * dim + c] * kMm2PerCm2, 13);
    text += '\n';
  }
  return text + "</cov-mat>\n";
}

}  // namespace

Network ParseGama(const std::string& path, const std::string& xml, double* sigmaApriori) {
  std::string error;
  int errorLine = 0;
  auto root = ParseXml(xml, error, errorLine);
  if (!root) Fail(path, errorLine, Format(UiText(u8"XML格式错误(%s),文件可能不完整!"), error.c_str()));
  if (root->name != "gama-local")
    Fail(path, root->line, Format(UiText(u8"不是gama-local输入文件(根元素为<%s>)!"), Utf8ToGbk(root->name).c_str()));
  const XmlElement* network = root->Child("network");
  if (!network) Fail(path, root->line, UiText(u8"<gama-local>中缺少<network>!"));
  const XmlElement* data = network->Child("points-observations");
  if (!data) Fail(path, network->line, UiText(u8"<network>中缺少<points-observations>!"));
  Network n;
  double apriori = 1.0;
  if (const XmlElement* parameters = network->Child("parameters"); parameters && parameters->Attribute("sigma-apr"))
    apriori = AttributeNumber(*parameters, "sigma-apr", path);
  if (sigmaApriori) *sigmaApriori = apriori;
  // The covariances are taken as they are; the 3D adjustment's unit weight is their mean variance.
  n.notes.push_back(Format(T(u8"gama-local的验前单位权中误差sigma-apr=%s(mm),协方差按原值导入"),
                           ExactNumber(apriori, 3).c_str()));
  n.measurementFile = path;
  std::map<std::string, size_t> index;
  auto stationOf = [&](const std::string& id, int line) -> const Station& {
    auto found = index.find(id);
    if (found == index.end()) Fail(path, line, Format(UiText(u8"点\"%s\"未用<point>定义!"), Utf8ToGbk(id).c_str()));
    return n.stations[found->second];
  };
  for (const auto& child : data->children) {
    const XmlElement& e = *child;
    if (e.name == "point") {
      Station s;
      s.name = AttributeText(e, "id", path);
      s.line = e.line;
      s.hasPosition = e.Attribute("x") && e.Attribute("y") && e.Attribute("z");
      if (s.hasPosition)
        s.xyz = {AttributeNumber(e, "x", path), AttributeNumber(e, "y", path), AttributeNumber(e, "z", path)};
      s.constrained = HasXyz(e.Attribute("fix"));
      s.partlyConstrained = !s.constrained && e.Attribute("fix") && !Trim(*e.Attribute("fix")).empty();
      if (index.count(s.name)) Fail(path, e.line, Format(UiText(u8"点\"%s\"重复定义!"), Utf8ToGbk(s.name).c_str()));
      index[s.name] = n.stations.size();
      n.stations.push_back(std::move(s));
    } else if (e.name == "vectors") {
      std::vector<Baseline> block;
      const XmlElement* cov = nullptr;
      for (const auto& item : e.children) {
        if (item->name == "vec") {
          Baseline b;
          b.from = AttributeText(*item, "from", path), b.to = AttributeText(*item, "to", path);
          b.line = item->line;
          stationOf(b.from, b.line), stationOf(b.to, b.line);
          b.d = {AttributeNumber(*item, "dx", path), AttributeNumber(*item, "dy", path), AttributeNumber(*item, "dz", path)};
          block.push_back(std::move(b));
        } else if (item->name == "cov-mat") {
          cov = item.get();
        }
      }
      if (block.empty()) continue;
      if (!cov) Fail(path, e.line, UiText(u8"<vectors>中缺少<cov-mat>!"));
      if (block.size() > kMaxClusterMembers) Fail(path, e.line, UiText(u8"簇中成员过多!"));
      const size_t dim = 3 * block.size();
      Matrix m = ReadCovMat(*cov, dim, path);
      BaselineCluster cluster;
      cluster.line = e.line;
      for (size_t i = 0; i < block.size(); ++i) {
        block[i].cov.resize(9);
        for (int r = 0; r < 3; ++r)
          for (int c = 0; c < 3; ++c) block[i].cov[r * 3 + c] = m[(3 * i + r) * dim + 3 * i + c];
        cluster.baselines.push_back(n.baselines.size());
        n.baselines.push_back(std::move(block[i]));
      }
      n.measurementFrames["@"]++;
      if (cluster.baselines.size() > 1) {
        cluster.cov = std::move(m);
        n.clusters.push_back(std::move(cluster));
      }
    } else if (e.name == "coordinates") {
      PointCluster cluster;
      cluster.line = e.line;
      const XmlElement* cov = nullptr;
      for (const auto& item : e.children) {
        if (item->name == "point") {
          const std::string id = AttributeText(*item, "id", path);
          stationOf(id, item->line);
          cluster.names.push_back(id);
          cluster.xyz.push_back(
              {AttributeNumber(*item, "x", path), AttributeNumber(*item, "y", path), AttributeNumber(*item, "z", path)});
        } else if (item->name == "cov-mat") {
          cov = item.get();
        }
      }
      if (cluster.names.empty()) continue;
      if (!cov) Fail(path, e.line, UiText(u8"<coordinates>中缺少<cov-mat>!"));
      if (cluster.names.size() > kMaxClusterMembers) Fail(path, e.line, UiText(u8"簇中成员过多!"));
      cluster.cov = ReadCovMat(*cov, 3 * cluster.names.size(), path);
      n.pointClusters.push_back(std::move(cluster));
    } else if (e.name == "obs" || e.name == "height-differences") {
      for (const auto& item : e.children)
        if (item->name != "cov-mat") n.notImported[item->name]++;
    } else {
      n.notImported[e.name]++;
    }
  }
  n.measurementFrames.clear();
  return n;
}

Network ReadGama(const std::string& path, double* sigmaApriori) { return ParseGama(path, ReadInput(path), sigmaApriori); }

std::string WriteGama(const Network& n, const std::string& descriptionGbk) {
  // The a priori unit weight is the mean variance of the vectors' components, as the 3D
  // adjustment takes it, so that both programs print the same a posteriori sigma0 (mm).
  double sum = 0.0;
  for (const Baseline& b : n.baselines) sum += b.cov[0] + b.cov[4] + b.cov[8];
  const double sigmaApriori = n.baselines.empty() ? 1.0 : std::sqrt(sum / (3.0 * n.baselines.size()) * kMm2PerCm2);
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gama-local xmlns=\"http://www.gnu.org/software/gama/gama-local\">\n"
      "<network axes-xy=\"en\" angles=\"left-handed\">\n\n"
      "<description>\n" +
      Escape(GbkToUtf8(descriptionGbk)) +
      "\n</description>\n\n"
      "<parameters sigma-apr=\"" +
      ExactNumber(sigmaApriori, 6) +
      "\" conf-pr=\"0.95\" sigma-act=\"aposteriori\" />\n\n"
      "<points-observations>\n\n";
  for (const Station& s : n.stations) {
    xml += "<point id=\"" + Id(s.name) + "\"";
    if (s.hasPosition)
      xml += " x=\"" + ExactNumber(s.xyz[0], 4) + "\" y=\"" + ExactNumber(s.xyz[1], 4) + "\" z=\"" +
             ExactNumber(s.xyz[2], 4) + "\"";
    xml += s.constrained ? " fix=\"xyz\" />\n" : " adj=\"xyz\" />\n";
  }
  std::vector<int> clusterOf(n.baselines.size(), -1);
  for (size_t c = 0; c < n.clusters.size(); ++c)
    for (size_t i : n.clusters[c].baselines) clusterOf[i] = static_cast<int>(c);
  auto vec = [&](const Baseline& b) {
    return "<vec from=\"" + Id(b.from) + "\" to=\"" + Id(b.to) + "\" dx=\"" + ExactNumber(b.d[0], 4) + "\" dy=\"" +
           ExactNumber(b.d[1], 4) + "\" dz=\"" + ExactNumber(b.d[2], 4) + "\" />\n";
  };
  for (size_t i = 0; i < n.baselines.size(); ++i) {
    if (clusterOf[i] >= 0) {
      const BaselineCluster& c = n.clusters[clusterOf[i]];
      if (c.baselines.front() != i) continue;  // the block is written at its first vector
      xml += "\n<vectors>\n";
      for (size_t k : c.baselines) xml += vec(n.baselines[k]);
      xml += CovMat(c.cov, 3 * c.baselines.size()) + "</vectors>\n";
      continue;
    }
    xml += "\n<vectors>\n" + vec(n.baselines[i]) + CovMat(n.baselines[i].cov, 3) + "</vectors>\n";
  }
  for (const PointCluster& c : n.pointClusters) {
    xml += "\n<coordinates>\n";
    for (size_t i = 0; i < c.names.size(); ++i)
      xml += "<point id=\"" + Id(c.names[i]) + "\" x=\"" + ExactNumber(c.xyz[i][0], 4) + "\" y=\"" +
             ExactNumber(c.xyz[i][1], 4) + "\" z=\"" + ExactNumber(c.xyz[i][2], 4) + "\" />\n";
    xml += CovMat(c.cov, 3 * c.names.size()) + "</coordinates>\n";
  }
  return xml + "\n</points-observations>\n</network>\n</gama-local>\n";
}

}  // namespace vemo::exchange

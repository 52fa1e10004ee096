#include "project/data/CovarianceScaling.h"

#include <cmath>
#include <deque>
#include <unordered_map>

#include "project/AppState.h"
#include "project/data/KnownCovariance.h"
#include "project/data/DataFileReader.h"
#include "project/data/VectorFileReader.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace {

std::vector<std::string> SplitItems(std::string_view line) {
  std::vector<std::string> items;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) items.emplace_back(line.substr(start, i - start));
  }
  return items;
}

void LineError(const std::string& path, int line, const char* whatUtf8) {
  ShowMessage(Format(UiText(u8"协方差缩放文件%s第 %d 行%s"), PathToGbk(path).c_str(), line, UiText(whatUtf8)), AppTitle(),
              MessageIcon::Warning);
}

Matrix3 Multiply(const Matrix3& x, const Matrix3& y) {
  Matrix3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) r[i][j] += x[i][k] * y[k][j];
  return r;
}

Matrix3 Transpose(const Matrix3& x) {
  Matrix3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i][j] = x[j][i];
  return r;
}

}  // namespace

const CCovScaleEntry* CCovarianceScaling::For(const std::string& session) const {
  const CCovScaleEntry* fallback = nullptr;
  for (const CCovScaleEntry& e : entries) {
    if (e.session == session) return &e;
    if (e.session == "*") fallback = &e;
  }
  return fallback;
}

bool ParseCovarianceScaling(std::string_view text, const std::string& path, CCovarianceScaling& scaling) {
  scaling.entries.clear();
  std::unordered_map<std::string, int> seen;
  for (const auto& [number, line] : SplitLines(text)) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    const std::vector<std::string> items = SplitItems(trimmed);
    if (items.size() != 6) {
      LineError(path, number, TrNoop(u8"应有6项: 时段 方差比例 平面对中误差(mm) 高程对中误差(mm) 下限(mm) 下限(ppm)!"));
      return false;
    }
    CCovScaleEntry e;
    e.session = items[0] == "*" ? "*" : NormalizeName(items[0]);
    e.line = number;
    double* values[5] = {&e.scale, &e.centringHorizontalMm, &e.centringVerticalMm, &e.floorMm, &e.floorPpm};
    for (int k = 0; k < 5; ++k) {
      const std::optional<double> v = ParseNumber(items[static_cast<size_t>(k) + 1]);
      if (!v || !std::isfinite(*v)) {
        LineError(path, number, TrNoop(u8"的数值有误!"));
        return false;
      }
      *values[k] = *v;
    }
    if (!(e.scale > 0.0)) {
      LineError(path, number, TrNoop(u8"的方差比例应大于0!"));
      return false;
    }
    if (e.centringHorizontalMm < 0 || e.centringVerticalMm < 0 || e.floorMm < 0 || e.floorPpm < 0) {
      LineError(path, number, TrNoop(u8"的对中误差与下限不能为负!"));
      return false;
    }
    const auto [at, added] = seen.emplace(e.session, number);
    if (!added) {
      ShowMessage(Format(UiText(u8"协方差缩放文件%s第 %d 行的时段%s已在第 %d 行给出!"), PathToGbk(path).c_str(), number,
                         e.session.c_str(), at->second),
                  AppTitle(), MessageIcon::Warning);
      return false;
    }
    scaling.entries.push_back(std::move(e));
  }
  return true;
}

bool ReadCovarianceScaling(const std::string& path, CCovarianceScaling& scaling) {
  std::string content;
  if (!ReadRequiredFile(path, content)) return false;
  return ParseCovarianceScaling(content, path, scaling);
}

std::string SessionOfSourceLine(std::string_view line) {
  // The last folder separator outside a double-byte character.
  size_t nameStart = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c >= 0x81 && i + 1 < line.size()) {
      ++i;
      continue;
    }
    if (c == '/' || c == '\\' || c == ':') nameStart = i + 1;
  }
  std::string name = Trim(line.substr(nameStart));
  size_t dot = std::string::npos;
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c >= 0x81 && i + 1 < name.size()) ++i;
    else if (c == '.') dot = i;
  }
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return NormalizeName(name);
}

Matrix3 LocalFrame(double b, double l) {
  const std::array<double, 9> R = LocalFrameRows(b, l);
  return {{{R[0], R[1], R[2]}, {R[3], R[4], R[5]}, {R[6], R[7], R[8]}}};
}

CCovLinearForm ScalingForm(const CCovScaleEntry& entry, const Matrix3& C, const Vector3& vector, const Vector3& midpoint,
                           double a, double invF) {
  GPSTransfer geodetic(0);
  geodetic.m_a = a, geodetic.m_InvF = invF;
  geodetic.m_X = midpoint[0], geodetic.m_Y = midpoint[1], geodetic.m_Z = midpoint[2];
  // A midpoint on the polar axis has no longitude: any meridian's frame serves there.
  const Matrix3 R = geodetic.XYZBLH() ? LocalFrame(geodetic.m_B, geodetic.m_L)
                                      : LocalFrame(midpoint[2] >= 0 ? M_PI / 2 : -M_PI / 2, 0.0);
  const Matrix3 Rt = Transpose(R);
  // Centring of both ends, mm² -> cm², in the local frame.
  const double h2 = 2.0 * entry.centringHorizontalMm * entry.centringHorizontalMm / 100.0;
  const double v2 = 2.0 * entry.centringVerticalMm * entry.centringVerticalMm / 100.0;
  const Matrix3 centringLocal{{{h2, 0, 0}, {0, h2, 0}, {0, 0, v2}}};
  const Matrix3 centring = Multiply(Multiply(Rt, centringLocal), R);
  Matrix3 scaled{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) scaled[i][j] = entry.scale * C[i][j] + centring[i][j];
  // The floor, cm².
  const double km = std::sqrt(vector[0] * vector[0] + vector[1] * vector[1] + vector[2] * vector[2]) / 1000.0;
  const double floor2 = (entry.floorMm * entry.floorMm + std::pow(entry.floorPpm * km, 2)) / 100.0;
  const Matrix3 local = Multiply(Multiply(R, scaled), Rt);
  Matrix3 D{};
  for (int i = 0; i < 3; ++i) D[i][i] = local[i][i] > 0.0 && local[i][i] < floor2 ? std::sqrt(floor2 / local[i][i]) : 1.0;
  const Matrix3 T = Multiply(Multiply(Rt, D), R);
  CCovLinearForm form;
  const double root = std::sqrt(entry.scale);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) form.S[i][j] = root * T[i][j];
  form.A = Multiply(Multiply(T, centring), Transpose(T));
  return form;
}

Matrix3 ApplyScalingForm(const CCovLinearForm& formI, const Matrix3& Cij, const CCovLinearForm& formJ, bool ownBlock) {
  Matrix3 r = Multiply(Multiply(formI.S, Cij), Transpose(formJ.S));
  if (ownBlock)
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) r[i][j] += formI.A[i][j];
  return r;
}

std::vector<std::string> ScalingStatement(const CCovarianceScaling& scaling, const std::vector<int>& vectorsPerEntry) {
  std::vector<std::string> lines;
  for (size_t k = 0; k < scaling.entries.size(); ++k) {
    if (k >= vectorsPerEntry.size() || vectorsPerEntry[k] == 0) continue;
    const CCovScaleEntry& e = scaling.entries[k];
    lines.push_back(Format(T(u8"基线协方差缩放(时段%s，%d条基线): 方差比例%.4f，对中误差平面%.2fmm、高程%.2fmm，"
                             u8"下限%.2fmm+%.2fppm\n"),
                           e.session == "*" ? T(u8"缺省") : e.session.c_str(), vectorsPerEntry[k], e.scale,
                           e.centringHorizontalMm, e.centringVerticalMm, e.floorMm, e.floorPpm));
  }
  return lines;
}

namespace {

// Positions of every point of the vectors: the seeds, then breadth first along the vectors;
// a part no seed reaches starts at the first seed.
std::vector<Vector3> ChainPositions(const CPointSeeds& seeds, const std::vector<CVectorRecord>& vectors,
                                    std::unordered_map<std::string, size_t>& index) {
  index.clear();
  std::vector<Vector3> xyz;
  std::vector<char> placed;
  auto id = [&](const std::string& name) {
    auto [it, added] = index.emplace(name, xyz.size());
    if (added) xyz.push_back({}), placed.push_back(0);
    return it->second;
  };
  std::deque<size_t> queue;
  for (size_t i = 0; i < seeds.names.size(); ++i) {
    const size_t p = id(seeds.names[i]);
    if (placed[p]) continue;
    xyz[p] = seeds.xyz[i], placed[p] = 1;
    queue.push_back(p);
  }
  // Adjacency: for each point, the vectors that touch it.
  std::vector<std::vector<size_t>> touching;
  std::vector<size_t> from(vectors.size()), to(vectors.size());
  for (size_t j = 0; j < vectors.size(); ++j) {
    from[j] = id(vectors[j].from), to[j] = id(vectors[j].to);
    touching.resize(xyz.size());
    touching[from[j]].push_back(j), touching[to[j]].push_back(j);
  }
  touching.resize(xyz.size());
  const Vector3 fallback = seeds.xyz.empty() ? Vector3{6378137.0, 0.0, 0.0} : seeds.xyz.front();
  for (size_t start = 0;; ++start) {
    while (!queue.empty()) {
      const size_t p = queue.front();
      queue.pop_front();
      for (size_t j : touching[p]) {
        const bool forward = from[j] == p;
        const size_t q = forward ? to[j] : from[j];
        if (placed[q]) continue;
        const double sign = forward ? 1.0 : -1.0;
        xyz[q] = {xyz[p][0] + sign * vectors[j].dx, xyz[p][1] + sign * vectors[j].dy, xyz[p][2] + sign * vectors[j].dz};
        placed[q] = 1;
        queue.push_back(q);
      }
    }
    while (start < xyz.size() && placed[start]) ++start;
    if (start >= xyz.size()) break;
    xyz[start] = fallback, placed[start] = 1;
    queue.push_back(start);
  }
  return xyz;
}

}  // namespace

std::vector<CCovLinearForm> ScalingForms(const CCovarianceScaling& scaling, const std::vector<CVectorRecord>& vectors,
                                         const CPointSeeds& seeds, double a, double invF, std::vector<int>* vectorsPerEntry) {
  std::unordered_map<std::string, size_t> index;
  const std::vector<Vector3> xyz = ChainPositions(seeds, vectors, index);
  if (vectorsPerEntry) vectorsPerEntry->assign(scaling.entries.size(), 0);
  CCovLinearForm identity;
  for (int i = 0; i < 3; ++i) identity.S[i][i] = 1.0;
  std::vector<CCovLinearForm> forms(vectors.size(), identity);
  for (size_t j = 0; j < vectors.size(); ++j) {
    const CVectorRecord& v = vectors[j];
    const CCovScaleEntry* entry = scaling.For(v.session);
    if (!entry) continue;
    if (vectorsPerEntry) ++(*vectorsPerEntry)[static_cast<size_t>(entry - scaling.entries.data())];
    const Vector3& p = xyz[index.at(v.from)];
    const Vector3& q = xyz[index.at(v.to)];
    const Vector3 mid{(p[0] + q[0]) / 2, (p[1] + q[1]) / 2, (p[2] + q[2]) / 2};
    const Matrix3 C{{{v.dxx, v.dxy, v.dxz}, {v.dxy, v.dyy, v.dyz}, {v.dxz, v.dyz, v.dzz}}};
    forms[j] = ScalingForm(*entry, C, {v.dx, v.dy, v.dz}, mid, a, invF);
  }
  return forms;
}

void ScaleClusters(const CVectorScaling& kept, std::vector<CVectorRecord> vectors, std::vector<CCovarianceBlock>& clusters,
                   double a, double invF) {
  if (kept.Empty() || clusters.empty()) return;
  auto block = [](const CCovarianceBlock& c, size_t k, size_t l) {
    const size_t order = 3 * c.members.size();
    Matrix3 m;
    for (size_t r = 0; r < 3; ++r)
      for (size_t q = 0; q < 3; ++q) m[r][q] = c.cov[(3 * k + r) * order + 3 * l + q];
    return m;
  };
  for (const CCovarianceBlock& c : clusters)
    for (size_t k = 0; k < c.members.size(); ++k) {
      const Matrix3 d = block(c, k, k);
      CVectorRecord& v = vectors[static_cast<size_t>(c.members[k])];
      v.dxx = d[0][0], v.dyy = d[1][1], v.dzz = d[2][2], v.dxy = d[0][1], v.dxz = d[0][2], v.dyz = d[1][2];
    }
  const std::vector<CCovLinearForm> forms = ScalingForms(kept.scaling, vectors, kept.seeds, a, invF);
  for (CCovarianceBlock& c : clusters) {
    const size_t n = c.members.size(), order = 3 * n;
    std::vector<double> scaled(c.cov.size());
    for (size_t k = 0; k < n; ++k)
      for (size_t l = 0; l < n; ++l) {
        const Matrix3 m = ApplyScalingForm(forms[static_cast<size_t>(c.members[k])], block(c, k, l),
                                           forms[static_cast<size_t>(c.members[l])], k == l);
        for (size_t r = 0; r < 3; ++r)
          for (size_t q = 0; q < 3; ++q) scaled[(3 * k + r) * order + 3 * l + q] = m[r][q];
      }
    // Symmetric to the last bit, as the readers and the factorisation expect.
    for (size_t r = 0; r < order; ++r)
      for (size_t q = 0; q < r; ++q) scaled[r * order + q] = scaled[q * order + r] = (scaled[r * order + q] + scaled[q * order + r]) / 2;
    c.cov = std::move(scaled);
  }
}

std::vector<std::string> ScaleVectors(const CCovarianceScaling& scaling, std::vector<CVectorRecord>& vectors,
                                      const CPointSeeds& seeds, double a, double invF) {
  std::vector<int> used;
  const std::vector<CCovLinearForm> forms = ScalingForms(scaling, vectors, seeds, a, invF, &used);
  for (size_t j = 0; j < vectors.size(); ++j) {
    CVectorRecord& v = vectors[j];
    const Matrix3 C{{{v.dxx, v.dxy, v.dxz}, {v.dxy, v.dyy, v.dyz}, {v.dxz, v.dyz, v.dzz}}};
    const Matrix3 c = ApplyScalingForm(forms[j], C, forms[j], true);
    v.dxx = c[0][0], v.dyy = c[1][1], v.dzz = c[2][2];
    v.dxy = (c[0][1] + c[1][0]) / 2, v.dxz = (c[0][2] + c[2][0]) / 2, v.dyz = (c[1][2] + c[2][1]) / 2;
  }
  return ScalingStatement(scaling, used);
}

}  // namespace vemo

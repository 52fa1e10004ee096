#include "checks/LoopChecks.h"

#include "adjust3d/GPS3dNetAdjustClusters.h"
#include "project/data/ClusterFile.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>
#include <limits>

#include "project/AppState.h"
#include "project/data/DataFileReader.h"
#include "project/data/ReadGPS3dVector.h"
#include "checks/LoopSearch.h"
#include "geodesy/DisplayMessageDlg.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace {

using R = NetClassParameters;

// Grades whose synchronous tolerances grow with the loop length alone: the city grades and
// the hydropower construction grades.
bool LengthProportionalGrade(int grade) { return (grade >= 5 && grade <= 9) || (grade >= 25 && grade <= 27); }

// Grades with the second, covariance-based evaluation of asynchronous loops.
bool HighGrade(int grade) { return grade == 0 || grade == 1 || grade == 10; }

bool CreateEmpty(const std::string& path) { return WriteFileAtomically(path, ""); }

// The first vector (in file order) joining each pair of points: a loop's sides are looked up,
// not searched for among all the vectors, which made the checks grow with the square of the
// network. One flat table of open addressing: a lookup in a national network's index costs
// one cache miss, where a node-based map costs two or three.
class VectorIndex {
 public:
  VectorIndex() = default;
  VectorIndex(const std::vector<int>& from, const std::vector<int>& to) : m_From(&from) {
    size_t capacity = 16;
    while (capacity < 2 * from.size()) capacity *= 2;
    m_Slots.assign(capacity, Slot{0, kEmpty});
    m_Mask = capacity - 1;
    for (size_t i = 0; i < from.size(); ++i) {
      const uint64_t key = PointPairKey(from[i], to[i]);
      Slot& slot = m_Slots[SlotOf(key)];
      if (slot.index == kEmpty) slot = {key, i};  // the first vector of the pair stays
    }
  }
  // The vector joining a and b, negated when it runs from b to a.
  bool Find(int a, int b, size_t& index, double& sign) const {
    if (m_Slots.empty()) return false;
    const Slot& slot = m_Slots[SlotOf(PointPairKey(a, b))];
    if (slot.index == kEmpty) return false;
    index = slot.index;
    sign = (*m_From)[index] == a ? 1.0 : -1.0;
    return true;
  }

 private:
  static constexpr size_t kEmpty = static_cast<size_t>(-1);
  struct Slot {
    uint64_t key;
    size_t index;
  };
  // The slot of key, or the empty slot where it would go.
  size_t SlotOf(uint64_t key) const {
    for (size_t at = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & m_Mask;; at = (at + 1) & m_Mask)
      if (m_Slots[at].index == kEmpty || m_Slots[at].key == key) return at;
  }

  const std::vector<int>* m_From = nullptr;
  std::vector<Slot> m_Slots;
  size_t m_Mask = 0;
};

std::vector<std::string> LoopNames(const std::string& line) {
  std::vector<std::string> items;
  GetItemsValue(UpperGbk(Trim(line)).c_str(), items, ' ');
  if (items.size() == 1 && items[0].empty()) items.clear();
  return items;
}

void Info(const std::string& text) { ShowMessage(text, AppTitle(), MessageIcon::Information); }

// The loop files are the program's own: their lines are read whole, however many points a
// loop has (no line buffer cuts a long loop into two).
constexpr int kWholeLine = std::numeric_limits<int>::max();

}  // namespace

namespace {

// SearchLoops, its lines appended to out (a national network's loop lines are tens of
// megabytes, not to be copied again). False when the person cancelled the search.
bool AppendSearchedLoops(const std::vector<std::string>& pointNames, const std::vector<int>& from,
                         const std::vector<int>& to, std::string& out) {
  std::vector<line> vectors;
  vectors.reserve(from.size());
  for (size_t i = 0; i < from.size(); ++i) vectors.push_back({from[i], to[i], 0.0});
  CLoopSearch search(pointNames, vectors);
  CDisplayMessageDlg progress;
  progress.Create();
  CLoopSearchResult result = search.Search(&progress);
  if (progress.CancelRequested()) return false;
  if (result.noLoopGraph) {
    ShowMessage("No Close Circle", "Program", MessageIcon::None);
    return true;
  }
  if (result.unreachableChords > 0)
    Info(Format(UiText(u8"有%d个闭合环的两端在网中不连通,未能搜索!"), result.unreachableChords));
  search.AppendLoops(result, out);
  return true;
}

int SyncMisclosureOfText(std::string_view content, const std::string& loopFile, const std::string& reportFile,
                         const CGPSConfiguration& configuration, const std::function<bool()>& ready);

}  // namespace

std::optional<std::string> SearchLoops(const std::vector<std::string>& pointNames, const std::vector<int>& from,
                        const std::vector<int>& to) {
  std::string out;
  if (!AppendSearchedLoops(pointNames, from, to, out)) return std::nullopt;
  return out;
}

int LoadSyncBaselineSet(const std::string& path, CSyncBaselineSet& set, std::string& loopText) {
  set = CSyncBaselineSet{};
  std::string content;
  if (!ReadFileContent(path, content)) {
    ShowMessage(Format(UiText(u8"打开文件%s出错,请检查基线向量文件!"), PathToGbk(path).c_str()), AppTitle(),
                MessageIcon::Warning);
    return 0;
  }
  int nonBlank = 0, lineCount = 0;
  ForEachLine(content, kVectorLineBuffer, lineCount, [&](const std::string&) { return ++nonBlank, false; });
  if (nonBlank == 0) {
    ShowMessage(UiText(u8"基线向量文件有误!"), AppTitle(), MessageIcon::Warning);
    return 0;
  }
  // A file given up on half way leaves nothing of itself in the loop file.
  const size_t mark = loopText.size();
  loopText += Format(T(u8"同步基线文件：%s\n"), PathToGbk(path).c_str());
  // Room for the file's vector lines, which are at most the file, and for the period's loop
  // lines that follow them: a national network's text is not copied as it grows, and room
  // that is never written takes no memory.
  loopText.reserve(loopText.size() + content.size() + content.size() / 2 + 256);
  const size_t lines = static_cast<size_t>(std::count(content.begin(), content.end(), '\n')) + 1;
  for (auto* names : {&set.fromName, &set.toName}) names->reserve(lines);
  for (auto* values : {&set.dx, &set.dy, &set.dz}) values->reserve(lines);
  bool ok = true;
  auto cut = [&](int line) {
    ShowLineTooLong(path, line, kVectorLineBuffer, AppTitle());
    ok = false;
  };
  ForEachWholeLine(content, kVectorLineBuffer, lineCount, [&](const std::string& piece) {
    const int items = CountBlankSeparatedItems(piece);
    std::string_view rest = piece;
    if (items == 12) {
      std::string flag;
      rest = TakeToken(piece, &flag);
      if (flag != "0") return true;  // "1": left out of the period's independent baselines
    } else if (items != 11) {
      return true;
    }
    std::string from, to;
    double v[9];
    if (ScanPairLine(rest, from, to, v, 9) != 11) return true;
    if (!IsPossibleVector(v[0], v[1], v[2], {v[3], v[4], v[5], v[6], v[7], v[8]})) {
      ShowValueOutOfRange(path, lineCount, AppTitle());
      ok = false;
      return false;
    }
    if (!CheckPointName(from, path, lineCount, AppTitle()) || !CheckPointName(to, path, lineCount, AppTitle())) {
      ok = false;
      return false;
    }
    if (items == 11) {
      loopText += piece;
      if (piece.back() != '\n') loopText += '\n';
    }
    set.fromName.push_back(from);
    set.toName.push_back(to);
    set.dx.push_back(v[0]);
    set.dy.push_back(v[1]);
    set.dz.push_back(v[2]);
    return true;
  }, cut);
  if (!ok) {
    loopText.resize(mark);
    return 0;
  }
  BuildPointList({}, set.fromName, set.toName, set.pointName, set.from, set.to);
  return 1;
}

int RunSyncLoopCheck(const std::vector<std::string>& files) {
  const std::string loopFile = CurrentProjectFile(ProjectFile::SyncLoop);
  const bool exists = FileExists(loopFile);
  bool search = true;
  if (exists) {
    search = AskYesNo(Format(UiText(u8"同步环文件：%s已经存在，是否覆盖？"), PathToGbk(loopFile).c_str()),
                      UiText(u8"同步环闭合差计算"), MessageIcon::Question, 0, MessageAnswer::No);
  }
  if (search && files.empty()) {
    // No file chosen: there is nothing to replace the loop file with, so it stays as it was.
    if (!exists) {
      ShowMessage(Format(UiText(u8"没有选取同步基线文件,同步环文件%s也不存在,没有可计算的同步环!"), PathToGbk(loopFile).c_str()),
                  AppTitle(), MessageIcon::Warning);
      return 0;
    }
    search = false;
  }
  // The loop file's text when it is written here: the report is computed from it as it is
  // in memory, not read back.
  std::string text;
  if (search) {
    // Every input is read before the loop file is written: a file that cannot be read never
    // costs the loops found earlier.
    int loaded = 0;
    for (const auto& file : files) {
      CSyncBaselineSet set;
      if (!LoadSyncBaselineSet(file, set, text)) continue;
      ++loaded;
      text += T(u8"\n=============================同步环==========================\n");
      if (!AppendSearchedLoops(set.pointName, set.from, set.to, text)) return 0;
    }
    if (loaded == 0) {
      if (exists)
        Info(Format(UiText(u8"没有读入任何同步基线文件,同步环文件%s保持不变!"), PathToGbk(loopFile).c_str()));
      return 0;
    }
  }
  const std::string report = CurrentProjectFile(ProjectFile::SyncMisclosure);
  if (search) {
    // The loop file goes to disk, whose flush takes a while, as the report is computed from
    // the same text; the report is written only once the loop file is.
    std::future<bool> written = std::async(std::launch::async, [&] { return WriteFileAtomically(loopFile, text); });
    auto loopFileWritten = [&] {
      if (written.get()) return true;
      ShowMessage(Format(UiText(u8"打开文件：%s出错！"), PathToGbk(loopFile).c_str()), AppTitle(), MessageIcon::Warning);
      return false;
    };
    if (!SyncMisclosureOfText(text, loopFile, report, Project().configuration, loopFileWritten)) return 0;
  } else if (!ComputeSyncMisclosure(loopFile, report, Project().configuration)) {
    return 0;
  }
  Platform().OpenTextDocument(report);
  return 1;
}

int ComputeSyncMisclosure(const std::string& loopFile, const std::string& reportFile,
                          const CGPSConfiguration& configuration) {
  std::string content;
  if (!ReadFileContent(loopFile, content)) {
    OpenFileError(loopFile);
    return 0;
  }
  return SyncMisclosureOfText(content, loopFile, reportFile, configuration, [] { return true; });
}

namespace {

// The report of the loop file at loopFile, whose text is content. It is written only when
// ready() agrees, after the report is computed; the messages of the computation wait for it.
int SyncMisclosureOfText(std::string_view content, const std::string& loopFile, const std::string& reportFile,
                         const CGPSConfiguration& configuration, const std::function<bool()>& ready) {
  if (content.size() < 10) {
    Info(Format(UiText(u8"同步环文件%s不足10个字节,没有可计算的同步环!"), PathToGbk(loopFile).c_str()));
    return 0;
  }
  std::string out = T(u8"闭合环号, 闭合环点, 坐标闭合差限差(mm), Wx(mm),Wy(mm),Wz(mm),长度闭合差限差(mm),"
                      u8"长度闭合差(mm),闭合环总长度(m),相对闭合差(ppm),备注\n");
  out.reserve(content.size());  // about the report of the loop files the search writes
  const NetClassParameters& p = configuration.m_NetClass;
  const double a = p[R::kFixedError], b = p[R::kProportionalError], k = p[R::kSyncLoopCoefficient];
  const int grade = configuration.m_GradeIndex;
  const std::string headerMark = T(u8"同步基线文件"), loopMark = T(u8"同步环");

  CSyncBaselineSet period;
  CNameIndex pointIndex;
  VectorIndex vectors;
  std::vector<std::string> notes;
  bool readingLoops = false, periodStopped = false;
  int loopNumber = 0;
  int notComputable = 0;  // loops of values beyond what a misclosure can show
  CTextLineReader reader(content, kWholeLine);
  std::string piece;
  while (reader.Next(piece)) {
    if (IsSpaceString(piece.c_str())) continue;
    if (ContainsGbk(piece, headerMark)) {
      out += piece.back() == '\n' ? piece : piece + "\n";
      period = CSyncBaselineSet{};
      readingLoops = periodStopped = false;
      continue;
    }
    if (!readingLoops) {
      if (ContainsGbk(piece, loopMark)) {
        BuildPointList({}, period.fromName, period.toName, period.pointName, period.from, period.to);
        pointIndex = CNameIndex(period.pointName);
        vectors = VectorIndex(period.from, period.to);
        readingLoops = true;
        loopNumber = 0;
        continue;
      }
      if (CountBlankSeparatedItems(piece) != 11) continue;
      std::string from, to;
      double v[3];
      if (ScanPairLine(piece, from, to, v, 3) != 5) continue;
      period.fromName.push_back(NormalizeName(from));
      period.toName.push_back(NormalizeName(to));
      period.dx.push_back(v[0]);
      period.dy.push_back(v[1]);
      period.dz.push_back(v[2]);
      continue;
    }
    if (periodStopped) continue;
    // A loop of the period.
    std::vector<std::string> names = LoopNames(piece);
    if (names.empty()) continue;
    std::vector<int> points;
    for (const auto& name : names) {
      const int found = pointIndex.Find(name);
      if (found < 0) {
        notes.push_back(Format(UiText(u8"点%s不存在!"), name.c_str()));
        periodStopped = true;
        break;
      }
      points.push_back(found);
    }
    if (periodStopped) continue;
    double wx = 0, wy = 0, wz = 0, s = 0;
    const size_t n = points.size();
    for (size_t i = 0; i < n && !periodStopped; ++i) {
      size_t index;
      double sign;
      if (!vectors.Find(points[i], points[(i + 1) % n], index, sign)) {
        periodStopped = true;  // the rest of the period is not computed
        break;
      }
      wx += sign * period.dx[index];
      wy += sign * period.dy[index];
      wz += sign * period.dz[index];
      s += std::sqrt(period.dx[index] * period.dx[index] + period.dy[index] * period.dy[index] +
                     period.dz[index] * period.dz[index]);
    }
    if (periodStopped) continue;
    const double w = std::sqrt(wx * wx + wy * wy + wz * wz);
    const double nv = static_cast<double>(n);
    const double sigma = std::sqrt(a * a + std::pow(b * s / (1000.0 * nv), 2));
    double componentTolerance, lengthTolerance;
    if (LengthProportionalGrade(grade)) {
      componentTolerance = k * s / 1000.0;
      lengthTolerance = std::floor(1.732 * k) * s / 1000.0;
    } else {
      componentTolerance = k * std::sqrt(nv) * sigma;
      lengthTolerance = 1.732 * k * std::sqrt(nv) * sigma;
    }
    if (!std::isfinite(w * s * componentTolerance * lengthTolerance)) {
      ++notComputable;
      continue;
    }
    AppendFormat(out, "%6d,", ++loopNumber);
    for (int pt : points) AppendFormat(out, "%10s", period.pointName[pt].c_str());
    const double ppm = s > 0 ? w / s * 1e6 : 0.0;
    if (k >= 0) {
      AppendFormat(out, ", %10.1f, %10.1f, %10.1f, %10.1f, %10.1f, %10.1f, %8.3f, %6.2f", componentTolerance,
                   wx * 1000, wy * 1000, wz * 1000, lengthTolerance, w * 1000, s, ppm);
      const bool exceeded = std::fabs(wx * 1000) > componentTolerance || std::fabs(wy * 1000) > componentTolerance ||
                            std::fabs(wz * 1000) > componentTolerance || w * 1000 > lengthTolerance;
      out += exceeded ? T(u8",超限\n") : "\n";
    } else {
      AppendFormat(out, ", %10s, %10.1f, %10.1f, %10.1f, %10s, %10.1f, %8.3f, %6.2f\n", "", wx * 1000, wy * 1000,
                   wz * 1000, "", w * 1000, s, ppm);
    }
  }
  if (!ready()) return 0;
  for (const auto& note : notes) Info(note);
  if (!WriteFileAtomically(reportFile, out)) {
    OpenFileError(reportFile);
    return 0;
  }
  if (notComputable > 0)
    Info(Format(UiText(u8"同步环文件%s中有%d个同步环的数值超出范围,闭合差无法计算,未列入结果!"), PathToGbk(loopFile).c_str(),
                notComputable));
  return 1;
}

}  // namespace

int RunAsyncLoopCheck() {
  CReadGPS3dVector set(0);
  if (!set.Load()) return 0;
  // Correlated sessions: read (and refused) before anything is written.
  std::vector<CCovarianceBlock> clusters;
  std::vector<int> clusterOf;
  if (!ReadClusterFile(CurrentProjectFile(ProjectFile::Cluster3d),
                       [&] { return ClusterCandidates(set.VectorFile(), set.m_FromName, set.m_ToName, set.VectorLines()); },
                       clusters))
    return 0;
  FormClusterCovariances(clusters, set, clusterOf);
  const std::string loopFile = CurrentProjectFile(ProjectFile::Loop);
  bool search = true;
  if (FileExists(loopFile))
    search = AskYesNo(UiText(u8"闭合环路文件已存在，重新产生？"), AppTitle(), MessageIcon::Question, 0, MessageAnswer::No);
  if (search) {
    std::string loops;
    if (!AppendSearchedLoops(set.m_PointName, set.m_From, set.m_To, loops)) return 0;
    if (!WriteFileAtomically(loopFile, loops)) {
      OpenFileError(loopFile);
      return 0;
    }
  }
  const std::string report = CurrentProjectFile(ProjectFile::Misclosure);
  if (!ComputeAsyncMisclosure(set, loopFile, report, Project().configuration, clusters, clusterOf)) return 0;
  Platform().OpenTextDocument(report);
  return 1;
}

int ComputeAsyncMisclosure(const CReadGPS3dVector& set, const std::string& loopFile, const std::string& reportFile,
                           const CGPSConfiguration& configuration, const std::vector<CCovarianceBlock>& clusters,
                           const std::vector<int>& clusterOf) {
  std::string content;
  if (!ReadFileContent(loopFile, content)) {
    OpenFileError(loopFile);
    return 0;
  }
  if (!CreateEmpty(reportFile)) {
    OpenFileError(reportFile);
    return 0;
  }
  std::string out = T(u8"异步环闭合差计算结果\n");
  out += T(u8"环号,线路各点名...,X闭合差限差(mm),X闭合差(mm),Y闭合差限差(mm),Y闭合差(mm),Z闭合差限差(mm),"
           u8"Z闭合差(mm),S闭合差限差(mm),S闭合差(mm),线路总长度(m),ppm,备注\n");
  const double a = set.m_GradeFixedMm, b = set.m_GradePpm;
  const double k = configuration.m_NetClass[R::kAsyncLoopCoefficient];
  const bool high = HighGrade(configuration.m_GradeIndex);
  const CNameIndex index(set.m_PointName);

  const VectorIndex vectors(set.m_From, set.m_To);
  int loopNumber = 0, computed = 0;
  std::vector<int> notClosed;  // loops with a pair of points that no vector joins
  std::vector<int> notComputable;  // loops whose tolerance is no number (a negative variance)
  CTextLineReader reader(content, kWholeLine);
  std::string piece;
  bool stop = false;
  while (!stop && reader.Next(piece)) {
    if (IsSpaceString(piece.c_str())) continue;
    ++loopNumber;
    std::vector<std::string> names = LoopNames(piece);
    std::vector<int> points;
    for (const auto& name : names) {
      const int found = index.Find(name);
      if (found < 0) {
        Info(Format(UiText(u8"第%d行点%s不存在!"), reader.LineCount(), name.c_str()));
        stop = true;
        break;
      }
      points.push_back(found);
    }
    if (stop) break;
    if (points.size() < 3) {
      Info(Format(UiText(u8"第%d条线路点太少,计算失败!"), loopNumber));
      continue;
    }
    const size_t n = points.size();
    double wx = 0, wy = 0, wz = 0, s = 0;
    std::vector<size_t> used;
    std::vector<double> signs;
    bool closed = true;
    for (size_t i = 0; i < n; ++i) {
      size_t v;
      double sign;
      if (!vectors.Find(points[i], points[(i + 1) % n], v, sign)) {
        closed = false;
        break;
      }
      used.push_back(v);
      signs.push_back(sign);
      wx += sign * set.m_DX[v];
      wy += sign * set.m_DY[v];
      wz += sign * set.m_DZ[v];
      s += std::sqrt(set.m_DX[v] * set.m_DX[v] + set.m_DY[v] * set.m_DY[v] + set.m_DZ[v] * set.m_DZ[v]);
    }
    if (!closed) {
      notClosed.push_back(loopNumber);
      continue;
    }
    ++computed;
    const double w = std::sqrt(wx * wx + wy * wy + wz * wz);
    const double nv = static_cast<double>(n);
    const double d = s / nv;
    const double sigma = std::sqrt(nv * (a * a + std::pow(b * d / 1000.0, 2)));
    const double t = k * sigma, ts = std::sqrt(3.0) * k * sigma;
    const double ppm = s > 0 ? w / s * 1000000.0 : 0.0;
    double sxx = 0, syy = 0, szz = 0, sw2 = 0;
    if (high) {
      double u[3] = {1 / std::sqrt(3.0), 1 / std::sqrt(3.0), 1 / std::sqrt(3.0)};
      if (w > 0.002) u[0] = wx / w, u[1] = wy / w, u[2] = wz / w;
      for (size_t v : used) {
        sxx += set.m_Dxx[v];
        syy += set.m_Dyy[v];
        szz += set.m_Dzz[v];
        sw2 += u[0] * u[0] * set.m_Dxx[v] + u[1] * u[1] * set.m_Dyy[v] + u[2] * u[2] * set.m_Dzz[v] +
               2 * (u[0] * u[1] * set.m_Dxy[v] + u[0] * u[2] * set.m_Dxz[v] + u[1] * u[2] * set.m_Dyz[v]);
      }
      // Two vectors of one cluster: the misclosure's variance takes 2 s_i s_j C_ij.
      for (size_t i = 0; !clusterOf.empty() && i < used.size(); ++i)
        for (size_t j = i + 1; j < used.size(); ++j) {
          const int c = clusterOf[used[i]];
          if (c < 0 || c != clusterOf[used[j]] || used[i] == used[j]) continue;
          const CCovarianceBlock& cluster = clusters[static_cast<size_t>(c)];
          const auto position = [&](size_t vector) {
            return static_cast<size_t>(std::find(cluster.members.begin(), cluster.members.end(), static_cast<int>(vector)) -
                                       cluster.members.begin());
          };
          const size_t order = 3 * cluster.members.size(), a = 3 * position(used[i]), b = 3 * position(used[j]);
          const double g = 2.0 * signs[i] * signs[j];
          sxx += g * cluster.cov[a * order + b];
          syy += g * cluster.cov[(a + 1) * order + b + 1];
          szz += g * cluster.cov[(a + 2) * order + b + 2];
          for (size_t r = 0; r < 3; ++r)
            for (size_t q = 0; q < 3; ++q) sw2 += g * u[r] * cluster.cov[(a + r) * order + b + q] * u[q];
        }
    }
    // A tolerance from variances that are not positive is no number: the loop is named
    // instead of printed with "nan" and a verdict.
    if (!std::isfinite(t * ts * w * s) || (high && !(sxx >= 0 && syy >= 0 && szz >= 0))) {
      --computed;
      notComputable.push_back(loopNumber);
      continue;
    }
    // One row: the loop's number after head, its points, the tolerances and misclosures, the
    // verdict. Written straight into the report: it has a row or two for every loop.
    auto row = [&](const char* head, double tx, double ty, double tz, double tw) {
      AppendFormat(out, head, loopNumber);
      for (int pt : points) AppendFormat(out, "%10s ", set.m_PointName[pt].c_str());
      AppendFormat(out, ", %10.2lf, %10.2lf, %10.2lf, %10.2lf, %10.2lf, %10.2lf, %10.2lf, %10.2lf, ", tx, wx * 1000, ty,
                   wy * 1000, tz, wz * 1000, tw, w * 1000);
      AppendFormat(out, "%12.4lf, %8.2lf", s, ppm);
      const bool exceeded = std::fabs(wx * 1000) > tx || std::fabs(wy * 1000) > ty || std::fabs(wz * 1000) > tz ||
                            w * 1000 > tw;
      out += exceeded ? T(u8", 超限\n") : T(u8", 合格\n");
    };
    row(high ? T(u8"预处理%4d, ") : "%4d, ", t, t, t, ts);
    if (high) {
      row(T(u8"精处理%4d, "), 2 * std::sqrt(sxx) * 10, 2 * std::sqrt(syy) * 10, 2 * std::sqrt(szz) * 10,
          3 * std::sqrt(std::max(sw2, 0.0)) * 10);
    }
  }
  if (!WriteFileAtomically(reportFile, out)) {
    OpenFileError(reportFile);
    return 0;
  }
  if (!notClosed.empty())
    Info(Format(UiText(u8"第%s条线路(共%d条)有相邻两点之间没有基线向量,未计算!"), NumberList(notClosed).c_str(),
                static_cast<int>(notClosed.size())));
  if (!notComputable.empty())
    Info(Format(UiText(u8"第%s条线路(共%d条)的闭合差限差无法计算(基线方差不为正),未计算!"), NumberList(notComputable).c_str(),
                static_cast<int>(notComputable.size())));
  Info(Format(UiText(u8"%d条线路推算完成!"), computed));
  return 1;
}

}  // namespace vemo

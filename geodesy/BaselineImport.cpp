#include "geodesy/BaselineImport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/GPSConfiguration.h"
#include "geodesy/GPSTransfer.h"
#include "geodesy/LibraryState.h"
#include "geodesy/ProjectFiles.h"
#include "geodesy/Platform.h"
#include "geodesy/ReadGPS3dBaseline.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"

namespace vemo::baseline {
namespace {

// The white space of sscanf in the "C" locale.
bool IsScanSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The synchronous files are read back with 300-character line buffers and 30-character name
// buffers (independent baselines, synchronous loops); what they cannot hold in one piece is
// not written.
constexpr size_t kReaderLineLimit = 299;  // characters of a line, its line feed included
constexpr size_t kReaderNameLimit = 29;

constexpr const char* kLongFormat =
    "%16s %16s %15.4lf %15.4lf %15.4lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf %20.13lf\n";
constexpr const char* kShortFormat = "%8s %8s %13.4lf %13.4lf %13.4lf %12.6lf %12.6lf %12.6lf %12.6lf %12.6lf %12.6lf\n";

void Warn(const std::string& textGbk) { ShowMessage(textGbk, ApplicationTitle(), MessageIcon::Warning); }

bool IsWritableName(const std::string& name) {
  if (name.empty() || name.size() > kReaderNameLimit) return false;
  for (char c : name)
    if (IsScanSpace(c)) return false;
  return true;
}

// "3,17,25" for a message; at most ten numbers, then ",...".
std::string LineList(const std::vector<int>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size() && i < 10; ++i) text += Format(i ? ",%d" : "%d", lines[i]);
  if (lines.size() > 10) text += ",...";
  return text;
}

// The known-coordinate file of the project and what its first line says.
struct CKnownFile {
  std::string path;
  std::string content;
};

// Reads the reference station from the first line of the known file. False after the
// message "未输入参考站名！" when the file cannot be read or its first line is empty.
bool ReadReferenceStation(CKnownFile& known, CReferenceStation& reference) {
  known.path = ProjectFileName(GlobalProjectDir(), GlobalProjectName(), Extension(ProjectFile::KnownXYZ));
  auto content = ReadWholeFile(known.path);
  std::error_code ec;
  if (!content && std::filesystem::exists(known.path, ec)) {
    // A file that is there but cannot be read is not a file without a station: say which.
    OpenFileError(known.path);
    return false;
  }
  std::vector<std::string> lines;
  if (content) lines = SplitLines(*content);
  // The known file's reader takes commas for blanks.
  const std::string first = lines.empty() ? std::string() : CommasToBlanks(Trim(lines.front()));
  if (IsSpaceString(first.c_str())) {
    Warn(UiText(u8"未输入参考站名！"));
    return false;
  }
  known.content = std::move(*content);
  std::string name;
  double x, y, z;
  if (Scan(first, "%s %lf %lf %lf", {&name, &x, &y, &z}) == 4) {
    reference.name.clear();  // the known file is complete: left alone
    return true;
  }
  reference.name = UpperGbk(Words(first).front());
  return true;
}

// Replaces the first line of the known file with the reference station and its coordinates.
// The other lines of the file are known points of the user's and stay as they were.
bool RewriteKnownFile(const CKnownFile& known, const CReferenceStation& reference) {
  if (!(reference.xyz[0].read && reference.xyz[1].read && reference.xyz[2].read)) {
    Warn(Format(UiText(u8"基线文件中没有参考站%s的坐标，已知坐标文件未改写!"), reference.name.c_str()));
    return true;
  }
  std::string text = Format("%s %15.4lf %15.4lf %15.4lf\n", reference.name.c_str(), reference.xyz[0].value,
                            reference.xyz[1].value, reference.xyz[2].value);
  size_t end = known.content.find('\n');
  if (end != std::string::npos) text += known.content.substr(end + 1);
  if (!WriteFileAtomically(known.path, text)) {
    WriteFileError(known.path, ApplicationTitle());
    return false;
  }
  return true;
}

// The output of the run: the merged file, or the file of the input being read. It replaces
// the file of its name only when finished, so that a failed or killed import leaves the
// previous file whole.
class COutputFile {
 public:
  bool Create(const std::string& path) {
    m_Path = path;
    if (m_File.Open(path)) return true;
    Warn(Format(UiText(u8"打开文件%s出错!"), PathToGbk(path).c_str()));
    return false;
  }
  bool Append(const std::string& text) {
    if (m_File.Write(text.data(), text.size())) return true;
    Fail();
    return false;
  }
  // Puts the file in place; false after the message when what was written did not reach the disk.
  bool Finish() {
    if (m_File.Commit()) return true;
    Fail();
    return false;
  }

 private:
  void Fail() { WriteFileError(m_Path, ApplicationTitle()); }
  std::string m_Path;
  CAtomicFile m_File;  // abandoned when the import ends before Finish
};

}  // namespace

std::vector<std::string> SplitLines(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    size_t next = end == std::string::npos ? content.size() : end + 1;
    if (end == std::string::npos) end = content.size();
    if (end > start && end < content.size() && content[end - 1] == '\r') --end;
    std::string line = content.substr(start, end - start);
    size_t zero = line.find('\0');
    if (zero != std::string::npos) line.resize(zero);
    lines.push_back(std::move(line));
    start = next;
  }
  return lines;
}

int Scan(std::string_view line, const char* format, std::initializer_list<ScanTarget> targets) {
  const std::string text(line);  // strtod needs a terminated string
  const char* p = text.c_str();
  const char* const end = p + text.size();
  auto target = targets.begin();
  int count = 0;
  for (const char* f = format; *f;) {
    if (IsScanSpace(*f)) {
      while (p < end && IsScanSpace(*p)) ++p;
      ++f;
      continue;
    }
    if (*f != '%') {
      if (p == end || *p != *f) return count;
      ++p, ++f;
      continue;
    }
    bool number;
    if (f[1] == 's') {
      number = false, f += 2;
    } else if (f[1] == 'l' && f[2] == 'f') {
      number = true, f += 3;
    } else {
      return count;
    }
    if (target == targets.end()) return count;
    while (p < end && IsScanSpace(*p)) ++p;
    if (p == end) return count;
    if (number) {
      char* stop = nullptr;
      double v = std::strtod(p, &stop);
      if (stop == p || !std::isfinite(v)) return count;
      p = stop;
      if (auto* d = std::get_if<double*>(&*target)) **d = v;
      else if (auto* n = std::get_if<CReadNumber*>(&*target)) (*n)->Set(v);
      else return count;
    } else {
      const char* start = p;
      while (p < end && !IsScanSpace(*p)) ++p;
      std::string word(start, p);
      if (auto* s = std::get_if<std::string*>(&*target)) **s = std::move(word);
      else if (auto* w = std::get_if<CReadWord*>(&*target)) (*w)->Set(std::move(word));
      else return count;
    }
    ++count, ++target;
  }
  return count;
}

bool ReadNumber(std::string_view text, double& value) { return Scan(text, "%lf", {&value}) == 1; }

std::vector<std::string> Words(std::string_view line) {
  std::string spaced(line);
  for (char& c : spaced)
    if (c == '\t') c = ' ';
  std::vector<std::string> items;
  GetItemsValue(spaced.c_str(), items, ' ');
  return items;
}

std::string_view Column(std::string_view line, size_t position, size_t length) {
  if (position >= line.size()) return {};
  return line.substr(position, length);
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool CBaselineRecord::Complete() const {
  if (!from.read || !to.read) return false;
  for (const auto& v : d)
    if (!v.read) return false;
  for (const auto& v : e)
    if (!v.read) return false;
  return true;
}

CSyncBaseline CBaselineRecord::Covariance(const ElementOrder& order, double factor) const {
  CSyncBaseline b;
  b.from = from.value, b.to = to.value;
  b.dx = d[0].value, b.dy = d[1].value, b.dz = d[2].value;
  double* out[6] = {&b.xx, &b.yy, &b.zz, &b.xy, &b.xz, &b.yz};
  for (int i = 0; i < 6; ++i) *out[order[i]] = e[i].value * factor;
  return b;
}

CSyncBaseline CBaselineRecord::Sigmas(double sigmaToCm, double rhoScale, double k) const {
  CSyncBaseline b = Covariance(kOutputOrder, 0.0);
  const double sx = e[0].value * sigmaToCm, sy = e[1].value * sigmaToCm, sz = e[2].value * sigmaToCm;
  b.xx = sx * sx * k;
  b.yy = sy * sy * k;
  b.zz = sz * sz * k;
  b.xy = sx * sy * (e[3].value * rhoScale) * k;
  b.xz = sx * sz * (e[4].value * rhoScale) * k;
  b.yz = sy * sz * (e[5].value * rhoScale) * k;
  return b;
}

void SetStationWords(CBaselineRecord& r, std::string_view line, size_t n) {
  auto w = Words(line);
  if (w.size() >= n) SetName(r.from, w[n - 1]);
  if (w.size() >= n + 1) SetName(r.to, w[n]);
}

size_t FirstLineOf(const CImportFile& file, size_t minLength) {
  for (size_t i = 0; i < file.size(); ++i)
    if (file.line(i).size() >= minLength) return i;
  return file.size();
}

void ReadUpperRows(const CImportFile& file, size_t first, CReadNumber e[6]) {
  std::string label;
  Scan(file.line(first), "%s %lf %lf %lf", {&label, &e[0], &e[1], &e[2]});
  Scan(file.line(first + 1), "%s %lf %lf", {&label, &e[3], &e[4]});
  Scan(file.line(first + 2), "%s %lf", {&label, &e[5]});
}

size_t ReadIntegerSolutionBlock(CImportFile& file, size_t i, CBaselineRecord& r) {
  // Word n (counted from 1) of a line into a field, when it is a number.
  auto take = [](const std::vector<std::string>& words, size_t n, CReadNumber& field) {
    double v;
    if (n <= words.size() && ReadNumber(words[n - 1], v)) field.Set(v);
  };
  const size_t components = i + 3, rows = components + 12;
  auto w = Words(file.line(components));
  for (int a = 0; a < 3; ++a) take(w, 3 + a, r.d[a]);
  w = Words(file.line(rows));
  take(w, 2, r.e[0]), take(w, 3, r.e[1]), take(w, 4, r.e[2]);
  w = Words(file.line(rows + 1));
  take(w, 2, r.e[3]), take(w, 3, r.e[4]);
  w = Words(file.line(rows + 2));
  take(w, 2, r.e[5]);
  const size_t last = rows + 2;
  if (last < file.size()) file.Write(last, r.Complete(), r.Covariance(kUpperByRows, file.k()), SyncFormat::Long);
  return last;
}

CImportFile::CImportFile(const std::string& path, std::vector<std::string> lines, double k,
                         CReferenceStation* reference, std::string* output)
    : m_Path(path), m_Lines(std::move(lines)), m_K(k), m_Reference(reference), m_Output(output) {}

void CImportFile::Write(size_t i, bool complete, const CSyncBaseline& b, SyncFormat format) {
  const int number = static_cast<int>(i + 1);
  if (!complete) {
    m_Incomplete.push_back(number);
    return;
  }
  bool sound = IsWritableName(b.from) && IsWritableName(b.to);
  for (double v : {b.dx, b.dy, b.dz, b.xx, b.yy, b.zz, b.xy, b.xz, b.yz}) sound = sound && std::isfinite(v);
  std::string line;
  if (sound)
    line = Format(format == SyncFormat::Long ? kLongFormat : kShortFormat, b.from.c_str(), b.to.c_str(), b.dx, b.dy,
                  b.dz, b.xx, b.yy, b.zz, b.xy, b.xz, b.yz);
  if (!sound || line.size() > kReaderLineLimit) {
    m_Invalid.push_back(number);
    return;
  }
  *m_Output += line;
  ++m_Written;
}

void CImportFile::ReportSkipped() const {
  const std::string file = PathToGbk(m_Path);
  if (!m_Incomplete.empty())
    Warn(Format(UiText(u8"基线文件:%s第%s行的基线缺少点名、基线分量或协方差，未写入同步基线文件!"), file.c_str(),
                LineList(m_Incomplete).c_str()));
  if (!m_Invalid.empty())
    Warn(Format(UiText(u8"基线文件:%s第%s行的基线点名无效或数值超出范围，未写入同步基线文件!"), file.c_str(),
                LineList(m_Invalid).c_str()));
}

namespace {

// Whether the synchronous lines hold a baseline with a positive definite covariance: a reader
// as permissive as the system's own format takes any eleven items for a baseline (a table of
// channel numbers), while a real solution's covariance is positive definite.
bool HoldsPlausibleBaseline(const std::string& text) {
  for (const std::string& line : SplitLines(text)) {
    std::string from, to;
    double d[3], xx, yy, zz, xy, xz, yz;
    if (Scan(line, "%s %s %lf %lf %lf %lf %lf %lf %lf %lf %lf",
             {&from, &to, &d[0], &d[1], &d[2], &xx, &yy, &zz, &xy, &xz, &yz}) != 11)
      continue;
    const double minor = xx * yy - xy * xy;
    const double determinant = xx * (yy * zz - yz * yz) - xy * (xy * zz - yz * xz) + xz * (xy * yz - yy * xz);
    if (xx > 0 && minor > 0 && determinant > 0) return true;
  }
  return false;
}

// The names of the other packages whose readers find plausible baselines in lines ("A或B"),
// or "": a hint for a file that the project's package reads nothing from. The trial readers
// write to a text of their own and collect no reference station.
std::string LookAlikePackages(const CBaselinePackage& chosen, const std::string& path,
                              const std::vector<std::string>& lines) {
  std::string names;
  for (const CBaselinePackage& other : BaselinePackages()) {
    if (!other.reader || other.type == chosen.type) continue;
    CReferenceStation none;
    std::string text;
    CImportFile trial(path, lines, 1.0, &none, &text);
    other.reader(trial);
    if (!HoldsPlausibleBaseline(text)) continue;
    if (!names.empty()) names += UiText(u8"或");
    names += BaselineTypeName(other.type);
  }
  return names;
}

// A file of another package reads as no baseline at all, which would pass unseen as a session
// without baselines.
void ReportNothingRead(const CBaselinePackage& package, const std::string& path, const std::string& pathGbk,
                       const std::vector<std::string>& lines) {
  std::string text = Format(UiText(u8"基线文件:%s中没有读出任何基线!\n工程设置的基线解算软件是%s，"), pathGbk.c_str(),
                            BaselineTypeName(package.type));
  const std::string others = LookAlikePackages(package, path, lines);
  if (others.empty())
    text += UiText(u8"用其他基线解算软件的格式也读不出基线，请检查该文件。");
  else
    text += Format(UiText(u8"该文件像是%s的基线文件，请在设置中改选基线解算软件后重新读取。"), others.c_str());
  Warn(text);
}

}  // namespace

int RunImport(const CBaselinePackage& package, CBaselineImportSummary* summary) {
  CGPSConfiguration* configuration = GlobalConfiguration();
  if (!configuration) return 0;
  const CGPSConfiguration& c = *configuration;
  CReadGPS3dBaseline names;
  std::vector<std::string> inputs, outputs;
  const bool merge = c.m_MergeFiles;
  const std::string merged = merge ? ResolvePathNoCase(GbkToUtf8(c.m_ConvertedBaselineFile)) : std::string();
  for (const auto& gbk : c.m_SyncBaselineFiles) {
    inputs.push_back(GbkToUtf8(gbk));
    std::string output = merged;
    if (!merge) names.CreateSyncFile(inputs.back(), output);
    outputs.push_back(output);
  }
  // Two inputs of the same base name (a/S1.txt, b/S1.txt) would give the same synchronous
  // file, the second replacing the first unseen: the clash is named and nothing is written.
  if (!merge)
    for (size_t i = 0; i < outputs.size(); ++i)
      for (size_t j = 0; j < i; ++j)
        if (EqualNoCase(outputs[i], outputs[j])) {
          Warn(Format(UiText(u8"基线文件%s和%s都将写入同步基线文件%s,后者会覆盖前者,请改名后再读取!"),
                      c.m_SyncBaselineFiles[j].c_str(), c.m_SyncBaselineFiles[i].c_str(),
                      PathToGbk(outputs[i]).c_str()));
          return 0;
        }
  // An output never replaces an input before it is read.
  for (const auto& output : outputs)
    for (const auto& input : inputs)
      if (!CheckOutputIsNotInput(input, output, ApplicationTitle())) return 0;

  CReferenceStation reference;
  CKnownFile known;
  if (package.reference != ReferenceUse::None && !ReadReferenceStation(known, reference)) return 0;
  if (package.reference != ReferenceUse::Collect) reference.name.clear();

  COutputFile out;
  if (merge && !out.Create(merged)) return 0;
  for (size_t i = 0; i < inputs.size(); ++i) {
    auto content = DirectoryExists(inputs[i]) ? std::nullopt : ReadWholeFile(inputs[i]);
    if (!content) {
      Warn(Format(UiText(u8"基线文件:%s不存在!"), c.m_SyncBaselineFiles[i].c_str()));
      return 0;
    }
    if (!merge && !out.Create(outputs[i])) return 0;
    std::string text;
    CImportFile file(inputs[i], SplitLines(*content), c.m_BaselineVarianceFactor, &reference, &text);
    package.reader(file);
    if (!out.Append(text) || (!merge && !out.Finish())) return 0;
    file.ReportSkipped();
    if (text.empty() && !file.SkippedAny()) ReportNothingRead(package, inputs[i], c.m_SyncBaselineFiles[i], file.lines());
    if (summary) {
      ++summary->filesRead;
      summary->baselinesRead += file.Written();
      if (file.Written() == 0) summary->filesWithNothingRead.push_back(inputs[i]);
    }
  }
  if (merge && !out.Finish()) return 0;
  if (!reference.name.empty() && !RewriteKnownFile(known, reference)) return 0;
  return 1;
}

}  // namespace vemo::baseline

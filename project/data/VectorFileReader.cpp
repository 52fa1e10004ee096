#include "project/data/VectorFileReader.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>

#include "project/AppState.h"
#include "project/data/CovarianceScaling.h"
#include "project/data/DataFileReader.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/TextTools.h"
#include "geodesy/UiText.h"

namespace vemo {
namespace {

// Two names (after the flag of a flagged file) and at least three numbers, nothing else: what
// is left of a vector line cut short.
bool LooksLikeDamagedVector(const std::vector<std::string>& items, int count) {
  const int first = (items[0] == "0" || items[0] == "1") ? 3 : 2;
  if (count < first + 3) return false;
  for (int k = first; k < count; ++k)
    if (!ParseNumber(items[k])) return false;
  return true;
}

void ShowBadVectorFile() {
  ShowMessage(UiText(u8"基线向量文件有误，请检查设置对话框中的基线解软件类型!"), AppTitle(), MessageIcon::Warning);
}

// The second opening: exclusive access stands for "no other program holds the file open".
// Linux has no mandatory sharing modes, so an advisory lock takes its place: a writer that
// holds the file locked makes the reader refuse it. The file must hold at least 5 bytes.
enum class OpenResult { Read, CannotOpen, Refused };
OpenResult ReadExclusively(const std::string& path, std::string& content) {
  int fd = OpenRegularFileForReading(path);
  if (fd < 0) return OpenResult::CannotOpen;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }  // closing releases the lock
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) return OpenResult::CannotOpen;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return OpenResult::Refused;
  if (st.st_size < 5) return OpenResult::Refused;
  content.clear();
  content.reserve(static_cast<size_t>(st.st_size));
  if (!ReadDescriptor(fd, content)) return OpenResult::CannotOpen;
  if (content.size() < 5) return OpenResult::Refused;
  return OpenResult::Read;
}

// "%s %s %lf %lf %lf %lf %lf %lf %lf %lf %lf"; true when all eleven items scan.
bool ScanVector(std::string_view line, CVectorRecord& v) {
  double values[9];
  if (ScanPairLine(line, v.from, v.to, values, 9) != 11) return false;
  v.dx = values[0], v.dy = values[1], v.dz = values[2];
  v.dxx = values[3], v.dyy = values[4], v.dzz = values[5];
  v.dxy = values[6], v.dxz = values[7], v.dyz = values[8];
  return true;
}

}  // namespace

bool RemodelCovariance(CVectorRecord& v, double fixedErrorMm, double proportionalErrorPpm) {
  const double trace = v.dxx + v.dyy + v.dzz;
  if (!(trace > 0.0)) return false;
  const double s = std::sqrt(v.dx * v.dx + v.dy * v.dy + v.dz * v.dz) / 1000.0;  // km
  const double sigma2 = (fixedErrorMm * fixedErrorMm + std::pow(proportionalErrorPpm * s, 2)) / 100.0;  // cm²
  const double k = sigma2 / trace;
  for (double* e : {&v.dxx, &v.dyy, &v.dzz, &v.dxy, &v.dxz, &v.dyz}) *e *= k;
  return true;
}

int ReadVectorFile(const std::string& path, VectorLineForm form, std::vector<CVectorRecord>& vectors,
                   int& lineCount, int& errorFlag, const CPointSeeds* seeds, std::vector<std::string>* statement,
                   CVectorScaling* kept) {
  if (kept) *kept = CVectorScaling{};
  vectors.clear();
  lineCount = 0;
  std::string content;

  // Counting pass: the arrays are sized once from the number of non-blank lines.
  if (!ReadFileContent(path, content)) {
    ShowMessage(Format(UiText(u8"打开文件%s出错,请检查基线向量文件!"), PathToGbk(path).c_str()), AppTitle(),
                MessageIcon::Warning);
    return 0;
  }
  size_t nonBlank = 0;
  ForEachLine(content, kVectorLineBuffer, lineCount, [&](const std::string&) { return ++nonBlank, true; });
  lineCount = 0;

  switch (ReadExclusively(path, content)) {
    case OpenResult::CannotOpen:
      ShowOpenFileError(path);
      return 0;
    case OpenResult::Refused:
      ShowBadVectorFile();
      return 0;
    case OpenResult::Read:
      break;
  }
  vectors.reserve(nonBlank);

  const CGPSConfiguration& configuration = Project().configuration;
  const bool remodel = configuration.m_ModifyBaselineCov == 1;
  const double a = configuration.m_NetClass[NetClassParameters::kInstrumentFixedError];
  const double b = configuration.m_NetClass[NetClassParameters::kInstrumentProportionalError];

  std::vector<std::string> items;
  auto cut = [&](int line) {
    ShowLineTooLong(path, line, kVectorLineBuffer, kReadBaselineCaption);
    errorFlag = 1;
  };
  std::string session = "*";
  const int read = ForEachWholeLine(content, kVectorLineBuffer, lineCount, [&](const std::string& line) {
    CVectorRecord v;
    v.line = lineCount;
    v.session = session;
    bool scanned = false;
    if (form == VectorLineForm::Strict) {
      scanned = ScanVector(line, v);
    } else {
      const int count = GetItemsValue(line.c_str(), items, ' ');
      // The source-file lines of the independent baseline file are paths; a line of two names
      // followed by numbers only is a vector that lost some of its items, which must not
      // vanish from the network unnoticed.
      if (count < 11 && !LooksLikeDamagedVector(items, count)) {
        session = SessionOfSourceLine(line);
        return true;
      }
      if (count == 12 && items[0] == "1") return true;  // a baseline left out
      if (count == 11) scanned = ScanVector(line, v);
      else if (count == 12 && items[0] == "0") scanned = ScanVector(TakeToken(line, nullptr), v);
      // A 12-item line with another flag, or more than 12 items, has no meaning: an error
      // rather than a baseline silently dropped or misread.
    }
    if (!scanned) {
      ShowReadBaselineError(lineCount);
      errorFlag = 1;
      return false;
    }
    if (!IsPossibleVector(v.dx, v.dy, v.dz, {v.dxx, v.dyy, v.dzz, v.dxy, v.dxz, v.dyz})) {
      ShowValueOutOfRange(path, lineCount, kReadBaselineCaption);
      errorFlag = 1;
      return false;
    }
    if (!CheckPointName(v.from, path, lineCount, kReadBaselineCaption) ||
        !CheckPointName(v.to, path, lineCount, kReadBaselineCaption)) {
      errorFlag = 1;
      return false;
    }
    if (remodel && !RemodelCovariance(v, a, b)) {
      ShowMessage(Format(UiText(u8"文件%s第 %d 行的基线方差之和不大于零,不能改造方差阵!"), PathToGbk(path).c_str(),
                         lineCount),
                  kReadBaselineCaption, MessageIcon::Warning);
      errorFlag = 1;
      return false;
    }
    vectors.push_back(std::move(v));
    return true;
  }, cut);
  if (!read || !seeds) return read;
  const std::string scalingPath = CurrentProjectFile(ProjectFile::CovScale3d);
  if (!FileExists(scalingPath)) return read;
  CCovarianceScaling scaling;
  if (!ReadCovarianceScaling(scalingPath, scaling)) {
    errorFlag = 1;
    return 0;
  }
  const CCoorsSystemSet& ellipsoid = configuration.m_CurrentCoorsSystem;
  std::vector<std::string> lines = ScaleVectors(scaling, vectors, *seeds, ellipsoid.m_a, ellipsoid.m_InvF);
  if (statement) *statement = std::move(lines);
  if (kept) kept->scaling = std::move(scaling), kept->seeds = *seeds;
  return read;
}

}  // namespace vemo

// What the baseline importers share: the lines of an input file, the sscanf-like scanning of
// their records, the fields a baseline is assembled from, the unit conversions, and the frame
// that runs one package's reader over every chosen file and writes the synchronous files.
// Internal to the library's importers (CReadGPS3dBaseline and the readers of the package
// table, BaselinePackages.h).
#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "geodesy/BaselinePackages.h"
#include "geodesy/Encoding.h"

namespace vemo {
struct CBaselineImportSummary;
}

namespace vemo::baseline {

// The lines of a file as the text-mode reader sees them: split at LF, a CR before the LF
// dropped, each line ending at its first zero byte (the readers treat it as a C string).
std::vector<std::string> SplitLines(const std::string& content);

// A field of a baseline that records give a value to. read tells whether any record of the
// file did; a record that does not scan leaves the field as it was.
struct CReadNumber {
  double value = 0.0;
  bool read = false;
  void Set(double v) { value = v, read = true; }
};
struct CReadWord {
  std::string value;
  bool read = false;
  void Set(std::string v) { value = std::move(v), read = true; }
};

// What a conversion of Scan stores into: "%s" into a word, "%lf" into a number. Targets
// without a read flag take the value only.
using ScanTarget = std::variant<std::string*, double*, CReadWord*, CReadNumber*>;

// Scans line as sscanf does with a format of "%s" and "%lf" conversions, blanks (any run of
// white space, also none) and literal characters, storing each conversion into the next
// target as it succeeds. "%lf" takes the longest number at that point and only a finite one.
// Returns the number of conversions stored; scanning stops at the first that fails.
int Scan(std::string_view line, const char* format, std::initializer_list<ScanTarget> targets);

// The number at the start of text (after blanks), as "%lf" reads it; false when none.
bool ReadNumber(std::string_view text, double& value);

// The words of a line: GetItemsValue at blanks, tabs counting as blanks. Counted from 0.
std::vector<std::string> Words(std::string_view line);

// The characters [position, position + length) of line, clipped to its end: a fixed column
// never reaches past the line.
std::string_view Column(std::string_view line, size_t position, size_t length);

bool StartsWith(std::string_view text, std::string_view prefix);

// One baseline in the output unit: components in m, covariance in cm² times k.
struct CSyncBaseline {
  std::string from, to;
  double dx = 0, dy = 0, dz = 0;
  double xx = 0, yy = 0, zz = 0, xy = 0, xz = 0, yz = 0;
};

// The order in which a record lists the six covariance elements: for each element of the
// record, its place among XX, YY, ZZ, XY, XZ, YZ.
using ElementOrder = std::array<int, 6>;
constexpr ElementOrder kOutputOrder = {0, 1, 2, 3, 4, 5};   // XX YY ZZ XY XZ YZ
constexpr ElementOrder kUpperByRows = {0, 3, 4, 1, 5, 2};   // XX XY XZ / YY YZ / ZZ
constexpr ElementOrder kLowerByRows = {0, 3, 1, 4, 5, 2};   // XX / XY YY / XZ YZ ZZ

// Factors to the output unit, k the variance factor.
inline double SquareMetresToCm2(double k) { return 10000.0 * k; }                // covariance in m²
inline double CofactorsToCm2(double s0, double k) { return s0 * s0 * 10000.0 * k; }  // cofactors, s0 in m
// Standard deviations with correlations: a sigma times sigmaToCm is in cm (100 for m, 0.1 for
// mm), a correlation times rhoScale is a coefficient (1, or 0.01 for percent).
constexpr double kMetresToCm = 100.0, kMillimetresToCm = 0.1, kPercent = 0.01;

// The two line formats of the synchronous file.
enum class SyncFormat { Long, Short };

// The reference station of the importers that take one (Leica, Lip, South): the name from
// the first line of the known-coordinate file and the coordinates last found for it.
struct CReferenceStation {
  std::string name;  // empty: the known file is complete, nothing is collected
  CReadNumber xyz[3];
  // A station of a baseline file: its coordinates become the reference coordinates.
  void Offer(const std::string& station, int axis, double value) {
    if (!name.empty() && station == name) xyz[axis].Set(value);
  }
};

// One input file while its reader runs: the lines, the variance factor, the reference
// station, and the output of the baselines.
class CImportFile {
 public:
  CImportFile(const std::string& path, std::vector<std::string> lines, double k, CReferenceStation* reference,
              std::string* output);

  const std::vector<std::string>& lines() const { return m_Lines; }
  size_t size() const { return m_Lines.size(); }
  // Line i, or an empty line past the end of the file.
  std::string_view line(size_t i) const { return i < m_Lines.size() ? std::string_view(m_Lines[i]) : std::string_view(); }
  double k() const { return m_K; }
  CReferenceStation& reference() { return *m_Reference; }

  // The baseline completed by the record at line index i. complete is false when a field of
  // it was never read in this file (or a one-line record does not scan): the baseline is
  // then skipped, as is one that the synchronous file cannot hold (a name that is empty,
  // holds a blank or is longer than the readers' 29 characters; a value that is not finite;
  // a line longer than the readers' 300-character buffer). Skipped baselines are reported
  // once, when the file ends.
  void Write(size_t i, bool complete, const CSyncBaseline& baseline, SyncFormat format);

  // Shows the messages of the skipped baselines.
  void ReportSkipped() const;
  // Whether a record of the file was taken for a baseline and skipped.
  bool SkippedAny() const { return !m_Incomplete.empty() || !m_Invalid.empty(); }
  // The baselines written so far.
  int Written() const { return m_Written; }

 private:
  std::string m_Path;
  std::vector<std::string> m_Lines;
  double m_K;
  CReferenceStation* m_Reference;
  std::string* m_Output;
  std::vector<int> m_Incomplete, m_Invalid;  // line numbers, counted from 1
  int m_Written = 0;
};

// The fields of a baseline that several records assemble. A record that does not scan leaves
// them as they were; the baseline is written with what the last records gave.
struct CBaselineRecord {
  CReadWord from, to;
  CReadNumber d[3];  // dX, dY, dZ (m)
  CReadNumber e[6];  // the covariance as the package lists it, or sigma X, Y, Z and rho XY, XZ, YZ

  // Every field was read at least once.
  bool Complete() const;
  // Names and components; the elements e times factor, placed by order.
  CSyncBaseline Covariance(const ElementOrder& order, double factor) const;
  // Names and components; XX = sX sX k, XY = sX sY rXY k, ... from the sigmas and correlations.
  CSyncBaseline Sigmas(double sigmaToCm, double rhoScale, double k) const;
};

// Station names of the packages are trimmed and upper-cased.
inline void SetName(CReadWord& field, std::string_view name) { field.Set(NormalizeName(name)); }

// The from- and to-station: words n and n + 1 (counted from 1) of a line, when it has them.
void SetStationWords(CBaselineRecord& record, std::string_view line, size_t n);

// Index of the first line of at least minLength characters, or size() when there is none.
size_t FirstLineOf(const CImportFile& file, size_t minLength);

// What several packages share.
// "Vector=1:?:" records of the data-exchange text (Trimble, South TGO): the 11 characters
// dropped, colons read as blanks, from, to, dX, dY, dZ and the six elements in m², written in
// the short format.
void ReadExchangeRecords(CImportFile& file, const ElementOrder& order);
// The "@#", "@+", "@-", "@=" records (Leica, South LGO); cofactors in the given order.
void ReadLgoRecords(CImportFile& file, const ElementOrder& order);
// The three rows "%s %lf %lf %lf", "%s %lf %lf", "%s %lf" of an upper-triangle covariance
// (XX XY XZ / YY YZ / ZZ) starting at line first (Sokkia, Lip, Novatel), into e[0..5].
void ReadUpperRows(const CImportFile& file, size_t first, CReadNumber e[6]);
// The integer-solution block of Zhonghaida and Huace that begins at line i: its third line
// after gives dX, dY, dZ as words 3 to 5, eleven lines are skipped, the next three give XX XY
// XZ (words 2 to 4), YY YZ (2, 3) and ZZ (2), already in cm²; the baseline is written at the
// last of them. Returns the index of the last line of the block.
size_t ReadIntegerSolutionBlock(CImportFile& file, size_t i, CBaselineRecord& record);

// The common frame: checks, for every chosen file in order, that its output is not one of
// the inputs; reads the reference station as the package uses it; creates the merged file
// when merging; then for each file reads it, creates its synchronous file (unless merging),
// runs the package's reader and writes what it gave; at the end rewrites the known file when
// a reference station was collected. A file in which the reader finds no record at all is
// named, with the project's package and the packages whose readers do find baselines in it
// (its synchronous file stays empty, as before). Returns 1, or 0 after the message of the
// failure. summary, when given, counts the files read and the baselines written.
// package.reader must not be nullptr.
int RunImport(const CBaselinePackage& package, CBaselineImportSummary* summary = nullptr);

}  // namespace vemo::baseline

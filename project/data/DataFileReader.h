// The reading rules shared by every loader of the project data files: text-mode lines read
// into a fixed buffer (a longer line continues as the next "line"), the line counter, the
// sscanf-like scanning of "%s" and "%lf" items, the name length limit, and the messages that
// name a file and a line.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "geodesy/FileUtil.h"
#include "geodesy/TextTools.h"

namespace vemo {

// Line buffers of the readers: known points, heights, distances, azimuths and coordinate
// files use 100 characters, vector files 300. At most bufferSize - 1 characters are read at
// a time, the line feed included.
constexpr int kShortLineBuffer = 100;
constexpr int kVectorLineBuffer = 300;
// Point names are read into a buffer of 20 characters: at most 19 characters.
constexpr int kMaxPointName = 19;

// Caption of the messages of the 3D network loaders.
constexpr const char* kReadBaselineCaption = "Read GPS 3D Baseline";

// The lines of a file's content as the system's reader sees them: text mode (a CR that
// precedes a LF is dropped), tabs read as blanks, fixed buffer, reading stops at the first zero byte of a piece
// as a C string would. LineCount() counts every piece read, blank ones included. The content
// is not copied: it must outlive the reader.
class CTextLineReader {
 public:
  CTextLineReader(std::string_view content, int bufferSize);
  // The next piece, with its line feed when the piece ends the line; false at the end.
  bool Next(std::string& line);
  int LineCount() const { return m_LineCount; }
  // Whether the last piece filled the buffer before its line ended: the rest of that line
  // comes as the next piece. A line of exactly bufferSize - 1 characters is read whole.
  bool LastPieceCut() const { return m_Cut; }

 private:
  std::string_view m_Content;
  size_t m_Pos = 0;
  size_t m_Limit;
  int m_LineCount = 0;
  bool m_Cut = false;
};

// The first white-space separated item of line in token (when given) and the rest of the
// line after it; an empty rest and token for a blank line.
std::string_view TakeToken(std::string_view line, std::string* token);

// Scans "%s %s %lf ..." like sscanf, as ScanPointLine does for "%s %lf ...": the two names,
// then up to maxValues finite numbers. Returns the number of fields scanned.
int ScanPairLine(std::string_view line, std::string& from, std::string& to, double* values, int maxValues);

// One record of a plane, height or coordinate file: "name v1 .. vcount" with the name in its
// normal form. False after the message when the line does not scan or the name is too long.
bool ReadPointRecord(std::string_view line, const std::string& path, int lineCount, const char* caption,
                     std::string& name, double* values, int count);
// The same for "from to v1 .. vcount".
bool ReadPairRecord(std::string_view line, const std::string& path, int lineCount, const char* caption,
                    std::string& from, std::string& to, double* values, int count);

// Number of items separated by blank, tab, LF or CR.
int CountBlankSeparatedItems(std::string_view line);

// Hands every non-blank line of content, read with the given buffer, to visit (a callable
// taking const std::string&), which returns false to end the load. Returns 1 at the end of
// the content, 0 when visit ended it. lineCount follows the line counter.
template <class Visit>
int ForEachLine(std::string_view content, int bufferSize, int& lineCount, Visit visit) {
  CTextLineReader reader(content, bufferSize);
  std::string line;
  while (reader.Next(line)) {
    lineCount = reader.LineCount();
    if (IsSpaceString(line.c_str())) continue;
    if (!visit(line)) return 0;
  }
  return 1;
}

// The same for the readers whose records must each fit the buffer (the vector files): a line
// longer than the buffer is not handed on in pieces, whose first piece could scan as a
// record with a cut number and whose rest would be skipped unseen; cut(lineCount) is called
// instead and the load ends with 0.
template <class Visit, class Cut>
int ForEachWholeLine(std::string_view content, int bufferSize, int& lineCount, Visit visit, Cut cut) {
  CTextLineReader reader(content, bufferSize);
  std::string line;
  while (reader.Next(line)) {
    lineCount = reader.LineCount();
    if (reader.LastPieceCut()) {
      cut(lineCount);
      return 0;
    }
    if (IsSpaceString(line.c_str())) continue;
    if (!visit(line)) return 0;
  }
  return 1;
}

// One non-blank line of a known-point or known-height file, commas read as blanks.
struct CKnownLine {
  int line = 0;     // the line counter
  int items = 0;    // items separated by blank, LF or CR
  int scanned = 0;  // fields of "%s %lf %lf %lf" that scan
  std::string name;  // as scanned (not yet trimmed or upper-cased)
  double values[3] = {0, 0, 0};
};
// Reads the file with the short line buffer and hands every non-blank line to visit, which
// returns false to end the load. Returns 1 when the file was read to its end; 0 when it
// cannot be opened ("打开文件%s出错!" shown) or visit ended the load. lineCount follows the
// line counter.
int ReadKnownFile(const std::string& path, int& lineCount, const std::function<bool(CKnownLine&)>& visit);

// The normal form of a point name read from path at line, or false after the message when
// it is longer than limit characters.
bool CheckPointName(std::string& name, const std::string& path, int line, const char* caption,
                    int limit = kMaxPointName);

// The content of a regular file, or false (with the reason in error, if given) when it cannot
// be opened or read, or when it is a result file of the program that was cut (its last line
// not ended, FileReadError::Incomplete).
bool ReadFileContent(const std::string& path, std::string& content, FileReadError* error = nullptr);
// The same for a file the load needs: false after "打开文件%s出错!", or after the message
// that it is no regular file (a directory, a FIFO, a device).
bool ReadRequiredFile(const std::string& path, std::string& content);

// Asks the host to open a result file of the project as a text document. A missing or
// unreadable file is reported as the document framework does ("打开文件%s出错!") and nothing
// opens; returns false then.
bool OpenProjectDocument(const std::string& path);

// The whole lines of a text (a CR before the LF dropped), numbered from 1; for the readers
// without a fixed buffer (the entry dialogs, the rows of the command line).
std::vector<std::pair<int, std::string>> SplitLines(std::string_view text);

// The names of a known file. A name given twice would put the known points and the point
// list out of step: a plain repetition (the same values) is read once, other values are an
// error with the file and both lines.
class CKnownNameList {
 public:
  enum Result { New, Repeated, Conflict };
  Result Add(const std::string& name, int line, std::vector<double> values, const std::string& path,
             const char* caption);

 private:
  std::unordered_map<std::string, std::pair<std::vector<double>, int>> m_Seen;
};

// Messages. file is a native path; it is shown in GBK. The caption of the 3D network loaders
// is kReadBaselineCaption, every other loader shows the application title.
// "打开文件%s出错!"
void ShowOpenFileError(const std::string& file);
// "1,4,7" of the first ten numbers, then ",...": the lines or items a message names.
std::string NumberList(const std::vector<int>& numbers);

// "%s不是普通文件,不能读取!": a directory, FIFO or device named where a file is read.
void ShowNotRegularFile(const std::string& file);
// A file the program wrote (a result another command reads) whose last line is not ended: it
// was cut, and is not read as if whole.
void ShowIncompleteFile(const std::string& file);
// "在第 %d 行读取数据错误!" in the 3D loaders' box.
void ShowReadBaselineError(int line);
// A line of another file that does not hold what its record needs.
void ShowLineError(const std::string& file, int line, const char* caption);
// Whether a baseline vector's values can be those of a vector on the Earth (components within
// kMaxVectorComponent metres, covariance elements within kMaxCovarianceElement): beyond that
// their squares and sums would leave the numbers a report can show.
constexpr double kMaxVectorComponent = 1e8;
constexpr double kMaxCovarianceElement = 1e12;
bool IsPossibleVector(double dx, double dy, double dz, std::initializer_list<double> covariance);
// "文件%s第 %d 行的数值超出范围!"
void ShowValueOutOfRange(const std::string& file, int line, const char* caption);
// A line longer than the reader's buffer of bufferSize characters holds.
void ShowLineTooLong(const std::string& file, int line, int bufferSize, const char* caption);
// A point name longer than the reader's buffer: never cut and never merged with another name.
void ShowNameTooLong(const std::string& file, int line, const std::string& name, int limit, const char* caption);
// The same point given twice with different values.
void ShowDuplicateName(const std::string& file, int line, const std::string& name, int firstLine,
                       const char* caption);
// A point of an observation that is not a point of the network.
void ShowUnknownPoint(const std::string& file, int line, const std::string& name, const char* caption);

// A path that is stored as GBK text (in the project file, in a file the program writes) must
// keep naming its file: a character without a GBK form would be stored as '?'. False after a
// message naming the path and the character.
bool CheckGbkPath(const std::string& path);

// The index of each name of a list: one flat table of open addressing whose slots hold point
// names themselves, so that a lookup costs one cache miss, where a node-based map costs two or
// three. A longer name is compared in the list: the list must outlive the index, and change
// only through Add.
class CNameIndex {
 public:
  CNameIndex() = default;
  // An index of the names of a list that does not change; a name given twice keeps its first
  // index.
  explicit CNameIndex(const std::vector<std::string>& names);
  // An index of a list that grows through Add only.
  explicit CNameIndex(std::vector<std::string>* growing) : m_Names(growing), m_Growing(growing) {}
  // The index of name, or -1.
  int Find(std::string_view name) const;
  // The index of name, appended to the list when new.
  int Add(const std::string& name);

 private:
  static constexpr uint8_t kLongName = 255;
  struct Slot {
    uint32_t hash;
    int32_t index;   // -1: empty
    uint8_t length;  // of the name in text, or kLongName for one that does not fit
    char text[23];
  };
  static Slot MakeSlot(int32_t index, uint32_t hash, std::string_view name);
  size_t SlotOf(std::string_view name, uint32_t hash) const;
  void Insert(const Slot& slot);
  void Reserve(size_t count);

  const std::vector<std::string>* m_Names = nullptr;
  std::vector<std::string>* m_Growing = nullptr;
  std::vector<Slot> m_Slots;
  size_t m_Count = 0;
};

// The point list of a network data set: known points first (in file order), then the vector
// end points in order of first appearance (from-point before to-point).
struct CPointListBuilder {
  CPointListBuilder() = default;
  CPointListBuilder(const CPointListBuilder&) = delete;
  CPointListBuilder& operator=(const CPointListBuilder&) = delete;
  std::vector<std::string> names;
  CNameIndex index{&names};
  // The index of name, appended when new.
  int Add(const std::string& name) { return index.Add(name); }
  // The index of name, or -1.
  int Find(const std::string& name) const { return index.Find(name); }
};

// Builds the point list from known names and vector end names and gives each vector its two
// indices. A known name already listed receives no index of its own.
void BuildPointList(const std::vector<std::string>& knownNames, const std::vector<std::string>& fromNames,
                    const std::vector<std::string>& toNames, std::vector<std::string>& pointNames,
                    std::vector<int>& from, std::vector<int>& to,
                    std::unordered_map<std::string, int>* nameIndex = nullptr);

}  // namespace vemo

// A result file written line by line with the system's fixed printf formats: created ("wt")
// when a computation starts, so that a failed run leaves it empty or partial, and checked
// when it is closed, so that a full disk is reported instead of a truncated report being
// taken for a result. Numbers are formatted in the "C" locale the program runs in.
#pragma once

#include <cstdio>
#include <string>

namespace vemo {

class CReportFile {
 public:
  CReportFile() = default;
  ~CReportFile() { Close(); }
  CReportFile(const CReportFile&) = delete;
  CReportFile& operator=(const CReportFile&) = delete;

  // Creates (or empties) the file at path, a native path. False when it cannot be created.
  bool Create(const std::string& path);
  // Opens the file at path for appending, creating it when missing ("at"): files that grow by
  // one line a run. False when it cannot be opened.
  bool Append(const std::string& path);
  bool IsOpen() const { return m_File != nullptr; }
  const std::string& Path() const { return m_Path; }

  // Appends formatted text; the format holds GBK text, so field widths count GBK bytes.
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Write(const std::string& text);

  // Closes the file; false when any write failed or the file could not be completed. Closing
  // a file that is not open returns true.
  bool Close();

 private:
  bool Open(const std::string& path, const char* mode);
  std::FILE* m_File = nullptr;
  bool m_Failed = false;
  std::string m_Path;
};

// The reports name the first of equal maxima (the weakest point, the weakest side). Two
// values that differ only in their last bits are equal there: which of them the rounding of
// a solution makes larger is chance, and the order of the report must not be.
inline bool ClearlyGreater(double a, double b) { return a > b + 1e-9 * (b < 0 ? -b : b); }

}  // namespace vemo

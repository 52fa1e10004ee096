// A result file written line by line with the system's fixed printf formats. It replaces the
// file of its path only when it is closed complete: until then it is written beside (a
// CAtomicFile), so that a failed, interrupted or killed run leaves the previous file whole
// instead of a truncated one that a later command would read as a result. A full disk is
// reported by Close instead of a truncated report being taken for a result. Numbers are
// formatted in the "C" locale the program runs in.
#pragma once

#include <cstdio>
#include <string>

#include "geodesy/FileUtil.h"

namespace vemo {

class CReportFile {
 public:
  CReportFile() = default;
  // A file not closed (an error ended the computation) is abandoned: its path keeps the old file.
  ~CReportFile() { Abandon(); }
  CReportFile(const CReportFile&) = delete;
  CReportFile& operator=(const CReportFile&) = delete;

  // Starts a new file for path, a native path. False when it cannot be created, or when a
  // directory, FIFO or device stands at path (never written, never waited on).
  bool Create(const std::string& path);
  // The same for a file that grows by one line a run: the new file starts as a copy of the
  // one at path (if any), and what is written is appended to it.
  bool Append(const std::string& path);
  bool IsOpen() const { return m_File != nullptr; }
  const std::string& Path() const { return m_Path; }

  // Appends formatted text; the format holds GBK text, so field widths count GBK bytes. Once
  // the command is asked to stop (vemo::StopRequested), nothing more is written.
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Write(const std::string& text);

  // Puts the file in place of the old one; false, and the old file stays, when any write
  // failed, the file could not be completed, or the command was asked to stop. Closing a
  // file that is not open returns true.
  bool Close();
  // Drops what was written; the old file stays.
  void Abandon();

 private:
  bool Open(const std::string& path, const std::string* start);
  bool Writable();
  CAtomicFile m_Replacement;
  std::FILE* m_File = nullptr;
  bool m_Failed = false;
  std::string m_Path;
};

// The reports name the first of equal maxima (the weakest point, the weakest side). Two
// values that differ only in their last bits are equal there: which of them the rounding of
// a solution makes larger is chance, and the order of the report must not be.
inline bool ClearlyGreater(double a, double b) { return a > b + 1e-9 * (b < 0 ? -b : b); }

}  // namespace vemo

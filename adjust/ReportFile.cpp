#include "adjust/ReportFile.h"

#include <unistd.h>

#include <cstdarg>

#include "geodesy/Format.h"
#include "geodesy/Platform.h"

namespace vemo {

namespace {
// Large reports (the cofactor matrix of a free network) are written in pieces of this size.
constexpr size_t kBufferSize = 64 << 10;
}  // namespace

bool CReportFile::Create(const std::string& path) { return Open(path, nullptr); }

bool CReportFile::Append(const std::string& path) {
  // The old lines are copied into the new file: the file is replaced whole like any other,
  // and a run that fails leaves it as it was. Such files hold a line a run, so the copy is
  // small.
  FileReadError error = FileReadError::None;
  const std::optional<std::string> old = ReadWholeFile(path, &error);
  // A file there that cannot be read is not replaced by one without its lines.
  if (!old && (error != FileReadError::CannotOpen || FileExists(path))) return false;
  return Open(path, old ? &*old : nullptr);
}

bool CReportFile::Open(const std::string& path, const std::string* start) {
  Abandon();
  m_Path = path;
  m_Failed = false;
  if (!m_Replacement.Open(path)) return false;
  // A stream of its own on the temporary file; the replacement keeps its descriptor for the
  // flush to disk and the rename.
  const int fd = ::dup(m_Replacement.Descriptor());
  m_File = fd >= 0 ? ::fdopen(fd, "w") : nullptr;
  if (!m_File) {
    if (fd >= 0) ::close(fd);
    m_Replacement.Abandon();
    return false;
  }
  std::setvbuf(m_File, nullptr, _IOFBF, kBufferSize);
  if (start) Write(*start);
  return true;
}

bool CReportFile::Writable() {
  if (!m_File || m_Failed) return false;
  if (StopRequested()) m_Failed = true;
  return !m_Failed;
}

void CReportFile::Printf(const char* format, ...) {
  if (!Writable()) return;
  // Formatted by the library's formatter, which converts numbers faster than vfprintf.
  thread_local std::string line;
  line.clear();
  va_list args;
  va_start(args, format);
  AppendFormatV(line, format, args);
  va_end(args);
  Write(line);
}

void CReportFile::Write(const std::string& text) {
  if (!Writable()) return;
  if (std::fwrite(text.data(), 1, text.size(), m_File) != text.size()) m_Failed = true;
}

bool CReportFile::Close() {
  if (!m_File) return true;
  const bool written = std::fclose(m_File) == 0 && !m_Failed && !StopRequested();
  m_File = nullptr;
  if (!written) {
    m_Replacement.Abandon();
    return false;
  }
  return m_Replacement.Commit();
}

void CReportFile::Abandon() {
  if (m_File) std::fclose(m_File);
  m_File = nullptr;
  m_Replacement.Abandon();
}

}  // namespace vemo

#include "adjust/ReportFile.h"

#include <cstdarg>

#include "geodesy/Format.h"

namespace vemo {

namespace {
// Large reports (the cofactor matrix of a free network) are written in pieces of this size.
constexpr size_t kBufferSize = 64 << 10;
}  // namespace

bool CReportFile::Create(const std::string& path) { return Open(path, "w"); }

bool CReportFile::Append(const std::string& path) { return Open(path, "a"); }

bool CReportFile::Open(const std::string& path, const char* mode) {
  Close();
  m_Path = path;
  m_Failed = false;
  m_File = std::fopen(path.c_str(), mode);
  if (m_File) std::setvbuf(m_File, nullptr, _IOFBF, kBufferSize);
  return m_File != nullptr;
}

void CReportFile::Printf(const char* format, ...) {
  if (!m_File) return;
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
  if (!m_File) return;
  if (std::fwrite(text.data(), 1, text.size(), m_File) != text.size()) m_Failed = true;
}

bool CReportFile::Close() {
  if (!m_File) return true;
  const bool ok = std::fclose(m_File) == 0 && !m_Failed;
  m_File = nullptr;
  return ok;
}

}  // namespace vemo

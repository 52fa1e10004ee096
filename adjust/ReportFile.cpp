#include "adjust/ReportFile.h"

#include <cstdarg>

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
  va_list args;
  va_start(args, format);
  if (std::vfprintf(m_File, format, args) < 0) m_Failed = true;
  va_end(args);
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

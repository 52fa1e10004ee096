#include "app/desktop/GbkText.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace vemo {
namespace {

// One iconv conversion state for the life of a call.
class Converter {
 public:
  Converter(const char* to, const char* from) : m_Cd(iconv_open(to, from)) {}
  ~Converter() {
    if (m_Cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_Cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Valid() const { return m_Cd != reinterpret_cast<iconv_t>(-1); }
  // Converts as much of [in, in + size) as is valid; returns the bytes consumed and appends the
  // output. Stops at the first sequence that does not convert.
  size_t Convert(const char* in, size_t size, std::string& out) {
    char buffer[4096];
    char* input = const_cast<char*>(in);
    size_t left = size;
    while (left > 0) {
      char* output = buffer;
      size_t room = sizeof buffer;
      size_t r = iconv(m_Cd, &input, &left, &output, &room);
      out.append(buffer, static_cast<size_t>(output - buffer));
      if (r == static_cast<size_t>(-1) && errno != E2BIG) break;
    }
    iconv(m_Cd, nullptr, nullptr, nullptr, nullptr);
    return size - left;
  }

 private:
  iconv_t m_Cd;
};

bool IsUniformCrlf(std::string_view bytes) {
  size_t lineEnds = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\n') continue;
    if (i == 0 || bytes[i - 1] != '\r') return false;
    ++lineEnds;
  }
  return lineEnds > 0;
}

void AppendUtf16(QString& text, const std::string& utf16le) {
  const size_t units = utf16le.size() / 2;
  text.reserve(text.size() + static_cast<qsizetype>(units));
  for (size_t i = 0; i < units; ++i) {
    const auto lo = static_cast<unsigned char>(utf16le[2 * i]);
    const auto hi = static_cast<unsigned char>(utf16le[2 * i + 1]);
    text.append(QChar(static_cast<char16_t>(lo | (hi << 8))));
  }
}

bool IsRawByteChar(char16_t c) { return c >= kRawByteBase && c <= kRawByteBase + 0xFF; }

}  // namespace

DecodedText DecodeGbkPreserving(std::string_view bytes) {
  DecodedText result;
  result.crlf = IsUniformCrlf(bytes);
  Converter gbk("UTF-16LE", "GBK");
  std::string utf16;
  size_t i = 0;
  auto raw = [&](unsigned char byte) { result.text.append(QChar(static_cast<char16_t>(kRawByteBase + byte))); };
  while (i < bytes.size()) {
    // The run of text that is neither a NUL nor a CR.
    size_t end = i;
    while (end < bytes.size() && bytes[end] != '\0' && bytes[end] != '\r') ++end;
    while (i < end) {
      utf16.clear();
      size_t used = gbk.Valid() ? gbk.Convert(bytes.data() + i, end - i, utf16) : 0;
      AppendUtf16(result.text, utf16);
      i += used;
      if (i < end) raw(static_cast<unsigned char>(bytes[i++]));  // does not decode: keep the byte
    }
    if (i < bytes.size()) {
      const bool lineEnd = bytes[i] == '\r' && result.crlf && i + 1 < bytes.size() && bytes[i + 1] == '\n';
      if (!lineEnd) raw(static_cast<unsigned char>(bytes[i]));
      ++i;
    }
  }
  return result;
}

std::string EncodeGbkPreserving(const QString& text, bool crlf) {
  Converter gbk("GBK", "UTF-16LE");
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  std::string run;  // UTF-16LE of the characters waiting for conversion
  auto flush = [&] {
    size_t i = 0;
    while (i < run.size()) {
      size_t used = gbk.Valid() ? gbk.Convert(run.data() + i, run.size() - i, out) : 0;
      i += used;
      if (i < run.size()) {  // a character without a GBK form
        out += '?';
        const auto hi = static_cast<unsigned char>(run[i + 1]);
        i += (hi >= 0xD8 && hi <= 0xDB) ? 4 : 2;  // a surrogate pair is one character
      }
    }
    run.clear();
  };
  for (QChar qc : text) {
    const char16_t c = qc.unicode();
    if (IsRawByteChar(c) || c == u'\n') {
      flush();
      if (c == u'\n') out += crlf ? "\r\n" : "\n";
      else out += static_cast<char>(c - kRawByteBase);
      continue;
    }
    run += static_cast<char>(c & 0xFF);
    run += static_cast<char>(c >> 8);
  }
  flush();
  return out;
}

}  // namespace vemo

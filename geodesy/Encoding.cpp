#include "geodesy/Encoding.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>
#include <unordered_map>

namespace vemo {
namespace {

// Length of the UTF-8 character at the start of text, 1 for a malformed byte.
size_t Utf8CharLength(const char* text, size_t left) {
  unsigned char c = static_cast<unsigned char>(text[0]);
  size_t len = 1;
  if (c >= 0xF0 && c <= 0xF4) len = 4;
  else if (c >= 0xE0 && c <= 0xEF) len = 3;
  else if (c >= 0xC2 && c <= 0xDF) len = 2;
  if (len > left) return 1;
  for (size_t i = 1; i < len; ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
  return len;
}

// One conversion through iconv. Undecodable input is replaced, never fatal: a file from a
// receiver with a stray byte must still open. badUnit tells how many input bytes to skip.
template <typename SkipLength>
std::string Convert(const char* to, const char* from, std::string_view in, const char* replacement,
                    SkipLength badUnit) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);  // no converter: pass through
  std::string out;
  out.reserve(in.size() * 3 / 2 + 8);
  char buffer[1024];
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      // EILSEQ or EINVAL (truncated sequence): replace one unit and go on.
      out += replacement;
      size_t skip = badUnit(inPtr, inLeft);
      inPtr += skip;
      inLeft -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  char* outPtr = buffer;
  size_t outLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  out.append(buffer, outPtr);
  iconv_close(cd);
  return out;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  return Convert("UTF-8", "GBK", gbk, "\xEF\xBF\xBD", [](const char*, size_t) -> size_t { return 1; });
}

std::string Utf8ToGbk(std::string_view utf8) {
  return Convert("GBK", "UTF-8", utf8, "?", Utf8CharLength);
}

char32_t FirstCharacterWithoutGbk(std::string_view utf8) {
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const size_t length = Utf8CharLength(utf8.data() + i, utf8.size() - i);
    if (length == 1) return lead;  // malformed
    char32_t code = lead & (0xFF >> (length + 1));
    for (size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    if (Utf8ToGbk(utf8.substr(i, length)) == "?") return code;
    i += length;
  }
  return 0;
}

std::string Utf16ToGbk(const char16_t* text, size_t count) {
  std::string_view bytes(reinterpret_cast<const char*>(text), count * 2);
  return Convert("GBK", "UTF-16LE", bytes, "?",
                 [](const char*, size_t left) -> size_t { return left < 2 ? left : 2; });
}

const char* T(const char* utf8Literal) {
  static std::mutex mutex;
  // Keyed by content, not address, so a caller's buffer can never alias another text.
  static std::unordered_map<std::string, std::string> cache;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = cache.find(utf8Literal);
  if (it == cache.end()) it = cache.emplace(utf8Literal, Utf8ToGbk(utf8Literal)).first;
  return it->second.c_str();
}

std::string TrimLeft(std::string_view text) {
  size_t b = 0;
  while (b < text.size() && IsBlank(text[b])) ++b;
  return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
  size_t e = text.size();
  while (e > 0 && IsBlank(text[e - 1])) --e;
  return std::string(text.substr(0, e));
}

std::string Trim(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return std::string(text.substr(b, e - b));
}

std::string UpperGbk(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (IsGbkLeadByte(c)) {
      ++i;  // keep the trail byte
    } else if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 'a' + 'A');
    }
  }
  return out;
}

bool ContainsGbk(std::string_view text, std::string_view needle) {
  if (needle.empty()) return true;
  // Not anywhere in the bytes, then not at a character's start either: the common answer, for
  // the lines of a long file searched for a heading, without comparing at every byte.
  if (text.find(needle) == std::string_view::npos) return false;
  for (size_t i = 0; i + needle.size() <= text.size(); ++i) {
    if (text.compare(i, needle.size(), needle) == 0) return true;
    if (IsGbkLeadByte(static_cast<unsigned char>(text[i]))) ++i;  // skip the trail byte
  }
  return false;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && UpperGbk(a) == UpperGbk(b);
}

}  // namespace vemo

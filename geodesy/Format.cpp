#include "geodesy/Format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "geodesy/Encoding.h"

namespace vemo {

namespace {

std::string FormatSlow(const char* format, va_list args) {
  char small[512];
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) return std::string();
  if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
  std::vector<char> big(static_cast<size_t>(n) + 1);
  std::vsnprintf(big.data(), big.size(), format, args);
  return std::string(big.data(), static_cast<size_t>(n));
}

struct Field {
  bool left = false, plus = false, space = false, alternate = false, zero = false;
  int width = 0;
  int precision = -1;  // none
};

// body (sign-free digits), with its sign character (0 for none), padded to the width as
// printf pads a number: zeros after the sign when asked and not left-justified.
void AppendPadded(std::string& out, const Field& s, char sign, const char* body, size_t length, bool zeroAllowed) {
  const size_t total = length + (sign ? 1 : 0);
  const size_t pad = s.width > 0 && static_cast<size_t>(s.width) > total ? static_cast<size_t>(s.width) - total : 0;
  if (s.left) {
    if (sign) out += sign;
    out.append(body, length);
    out.append(pad, ' ');
  } else if (s.zero && zeroAllowed) {
    if (sign) out += sign;
    out.append(pad, '0');
    out.append(body, length);
  } else {
    out.append(pad, ' ');
    if (sign) out += sign;
    out.append(body, length);
  }
}

char SignOf(bool negative, const Field& s) { return negative ? '-' : s.plus ? '+' : s.space ? ' ' : 0; }

void AppendInteger(std::string& out, const Field& s, bool negative, unsigned long long magnitude) {
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  AppendPadded(out, s, SignOf(negative, s), digits, static_cast<size_t>(end - digits), true);
}

// %f of a finite value with a precision to_chars can hold; false otherwise.
bool AppendFloat(std::string& out, const Field& s, double v) {
  if (!std::isfinite(v) || s.alternate || s.precision > 60) return false;
  char digits[400];  // a double's integer part has at most 309 digits
  const auto [end, ec] =
      std::to_chars(digits, digits + sizeof digits, v, std::chars_format::fixed, s.precision < 0 ? 6 : s.precision);
  if (ec != std::errc()) return false;
  const bool negative = digits[0] == '-';  // also -0.0 and negatives that round to zero, as printf
  const char* body = digits + (negative ? 1 : 0);
  AppendPadded(out, s, SignOf(negative, s), body, static_cast<size_t>(end - body), true);
  return true;
}

// One conversion by snprintf, for the values the fast path leaves alone (inf, nan).
void AppendBySnprintf(std::string& out, const Field& s, double v) {
  char conversion[48];
  std::snprintf(conversion, sizeof conversion, "%%%s%s%s%s%s*.*f", s.left ? "-" : "", s.plus ? "+" : "", s.space ? " " : "",
                s.alternate ? "#" : "", s.zero ? "0" : "");
  const int n = std::snprintf(nullptr, 0, conversion, s.width, s.precision, v);
  if (n <= 0) return;
  std::vector<char> text(static_cast<size_t>(n) + 1);
  std::snprintf(text.data(), text.size(), conversion, s.width, s.precision, v);
  out.append(text.data(), static_cast<size_t>(n));
}

// The fast path; false (out possibly extended) at the first conversion it does not handle.
bool TryAppendFormat(std::string& out, const char* f, va_list args) {
  while (*f) {
    const char* literal = f;
    while (*f && *f != '%') ++f;
    out.append(literal, static_cast<size_t>(f - literal));
    if (!*f) break;
    ++f;  // '%'
    if (*f == '%') {
      out += '%';
      ++f;
      continue;
    }
    Field s;
    for (;; ++f) {
      if (*f == '-') s.left = true;
      else if (*f == '+') s.plus = true;
      else if (*f == ' ') s.space = true;
      else if (*f == '#') s.alternate = true;
      else if (*f == '0') s.zero = true;
      else break;
    }
    if (*f == '*') {
      s.width = va_arg(args, int);
      if (s.width < 0) s.left = true, s.width = -s.width;
      ++f;
    } else {
      while (*f >= '0' && *f <= '9') s.width = s.width * 10 + (*f++ - '0');
    }
    if (*f == '.') {
      ++f;
      if (*f == '*') {
        s.precision = va_arg(args, int);
        if (s.precision < 0) s.precision = -1;
        ++f;
      } else {
        s.precision = 0;
        while (*f >= '0' && *f <= '9') s.precision = s.precision * 10 + (*f++ - '0');
      }
    }
    int longs = 0;  // l, ll; 'z' and 't' as long, 'j' as long long
    bool shorts = false;
    for (;; ++f) {
      if (*f == 'l') ++longs;
      else if (*f == 'z' || *f == 't') longs = 1;
      else if (*f == 'j') longs = 2;
      else if (*f == 'h') shorts = true;
      else if (*f == 'L' || *f == 'q') return false;
      else break;
    }
    const char conversion = *f++;
    switch (conversion) {
      case 'd':
      case 'i': {
        if (s.precision >= 0 || shorts) return false;
        const long long v = longs >= 2 ? va_arg(args, long long) : longs == 1 ? va_arg(args, long) : va_arg(args, int);
        const unsigned long long magnitude = v < 0 ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
        AppendInteger(out, s, v < 0, magnitude);
        break;
      }
      case 'u': {
        if (s.precision >= 0 || shorts) return false;
        const unsigned long long v = longs >= 2   ? va_arg(args, unsigned long long)
                                     : longs == 1 ? va_arg(args, unsigned long)
                                                  : va_arg(args, unsigned);
        Field unsignedField = s;
        unsignedField.plus = unsignedField.space = false;  // no sign for %u
        AppendInteger(out, unsignedField, false, v);
        break;
      }
      case 'f':
      case 'F': {
        if (longs >= 2 || shorts) return false;
        const double v = va_arg(args, double);
        if (conversion == 'F' && !std::isfinite(v)) return false;
        if (!AppendFloat(out, s, v)) {
          if (s.precision < 0) s.precision = 6;
          AppendBySnprintf(out, s, v);
        }
        break;
      }
      case 's': {
        if (longs || shorts || s.zero) return false;
        const char* text = va_arg(args, const char*);
        if (!text) return false;
        const size_t length = s.precision >= 0 ? strnlen(text, static_cast<size_t>(s.precision)) : std::strlen(text);
        AppendPadded(out, s, 0, text, length, false);
        break;
      }
      case 'c': {
        if (longs || shorts || s.zero) return false;
        const char c = static_cast<char>(va_arg(args, int));
        AppendPadded(out, s, 0, &c, 1, false);
        break;
      }
      default:
        return false;
    }
  }
  return true;
}

}  // namespace

void AppendFormatV(std::string& out, const char* format, va_list args) {
  const size_t start = out.size();
  va_list copy;
  va_copy(copy, args);
  const bool done = TryAppendFormat(out, format, copy);
  va_end(copy);
  if (done) return;
  out.resize(start);
  out += FormatSlow(format, args);
}

void AppendFormat(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatV(out, format, args);
  va_end(args);
}

std::string FormatV(const char* format, va_list args) {
  std::string s;
  AppendFormatV(s, format, args);
  return s;
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = FormatV(format, args);
  va_end(args);
  return s;
}

void AppendFixed(std::string& out, double v, int width, int precision) {
  Field s;
  s.width = width;
  s.precision = precision;
  if (!AppendFloat(out, s, v)) AppendBySnprintf(out, s, v);
}

std::string PathToGbk(const std::string& path) { return Utf8ToGbk(path); }

}  // namespace vemo

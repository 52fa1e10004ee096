// The formatter's fast path against the C library, byte for byte: every conversion the
// reports use, with flags, widths and precisions, on values that stress the rounding (ties,
// negative zero, negatives that round to zero, huge and tiny magnitudes, inf and nan).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "geodesy/Format.h"

namespace {
using vemo::Format;

std::string Libc(const char* format, ...) {
  va_list args;
  va_start(args, format);
  char text[1024];
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

TEST(FastFormat, FixedPointMatchesPrintf) {
  std::vector<double> values = {0.0, -0.0, -1e-9, 0.5, -0.5, 1.5, 2.5, 0.125, 0.375, -0.00005, 0.99995, 9999.99995,
                                1e20, -3.4e38, std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN()};
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-10, 14);
  for (int i = 0; i < 20000; ++i) values.push_back(mantissa(rng) * std::pow(10.0, exponent(rng)));
  // Decimal ties of the printed digit: exact in binary only sometimes, both ways must agree.
  for (int i = 0; i < 2000; ++i) values.push_back((std::floor(mantissa(rng) * 1e6) + 0.5) / 1e4);
  const char* formats[] = {"%13.4lf", "%5.2f", "%-8.3f|", "%+.1f", "% 09.2lf", "%010.4f", "%.0f", "%f", "%15.9lf",
                           "%-+12.2f|", "%#.0f", "%F"};
  for (const char* f : formats)
    for (double v : values) ASSERT_EQ(Format(f, v), Libc(f, v)) << f << " " << v;
  for (double v : values) ASSERT_EQ(Format("%*.*lf", -11, 3, v), Libc("%*.*lf", -11, 3, v)) << v;
}

TEST(FastFormat, IntegersStringsAndMixedLinesMatchPrintf) {
  const long long ints[] = {0, 1, -1, 42, -42, 2147483647, -2147483647 - 1};
  for (long long i : ints) {
    const int n = static_cast<int>(i);
    for (const char* f : {"%d", "%4d", "%-6d|", "%+d", "% d", "%05d", "%-05d|", "%i"}) ASSERT_EQ(Format(f, n), Libc(f, n));
    ASSERT_EQ(Format("%lld %ld %zu %u %8u", i * 4096, static_cast<long>(i), static_cast<size_t>(i), static_cast<unsigned>(n),
                     static_cast<unsigned>(n)),
              Libc("%lld %ld %zu %u %8u", i * 4096, static_cast<long>(i), static_cast<size_t>(i), static_cast<unsigned>(n),
                   static_cast<unsigned>(n)));
  }
  const char* names[] = {"", "A", "\xb5\xe3\xc3\xfb", "A-very-long-point-name-of-30-ch"};
  for (const char* s : names)
    for (const char* f : {"%s", "%16s", "%-16s|", "%.3s", "%5.2s|"}) ASSERT_EQ(Format(f, s), Libc(f, s)) << f << s;
  // %c takes a character (a pointer there printed a byte of its address, which was 0 in some
  // builds); 0 itself is left out, as the reference stops at it.
  for (int c : {int{'K'}, int{' '}, 0xb5, 0x7f}) ASSERT_EQ(Format("%c%%", c), Libc("%c%%", c)) << c;
  ASSERT_EQ(Format("%4d %16s %15.9lf %5.2lf 1/%-10.0lf %6.2lf\n", 12, "P12", 31.123456789, -0.004, 123456.0, 0.5),
            Libc("%4d %16s %15.9lf %5.2lf 1/%-10.0lf %6.2lf\n", 12, "P12", 31.123456789, -0.004, 123456.0, 0.5));
  // Conversions outside the fast path go whole through the C library.
  ASSERT_EQ(Format("%s %g %e %x %5.3d %hd %Lf", "x", 0.1, 12345.678, 255, 7, static_cast<short>(-3), 1.5L),
            Libc("%s %g %e %x %5.3d %hd %Lf", "x", 0.1, 12345.678, 255, 7, static_cast<short>(-3), 1.5L));
  std::string out = "kept ";
  vemo::AppendFormat(out, "%g|%6.2f", 2.0, 3.14159);
  EXPECT_EQ(out, "kept 2|  3.14");
}

}  // namespace

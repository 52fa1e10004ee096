// printf-style formatting into a std::string, in the "C" locale the program runs in. Reports
// and messages use the system's fixed formats through this one function, with GBK texts so
// that field widths count GBK bytes.
//
// A national network's report is hundreds of megabytes of fixed-point numbers, and the C
// library's general float conversion is most of the time spent writing it. The common
// conversions (%d %i %u with their length modifiers, %s, %c, %f, %%, with flags, widths and
// precisions) are therefore formatted here, std::to_chars doing the numbers: the same bytes,
// since printf's %.*f and to_chars' fixed precision both round the exact binary value
// correctly. A format with any other conversion goes whole through vsnprintf.
#pragma once

#include <cstdarg>
#include <string>

namespace vemo {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args);
// Appends the formatted text to out.
void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void AppendFormatV(std::string& out, const char* format, va_list args);
// Appends v as printf("%*.*lf", width, precision, v) would write it.
void AppendFixed(std::string& out, double v, int width, int precision);

// A path of the file system (UTF-8) in the GBK form that messages and file contents use.
std::string PathToGbk(const std::string& path);

}  // namespace vemo

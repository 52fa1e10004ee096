// printf-style formatting into a std::string, in the "C" locale the program runs in. Reports
// and messages use the system's fixed formats through this one function, with GBK texts so
// that field widths count GBK bytes.
#pragma once

#include <cstdarg>
#include <string>

namespace vemo {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args);

// A path of the file system (UTF-8) in the GBK form that messages and file contents use.
std::string PathToGbk(const std::string& path);

}  // namespace vemo

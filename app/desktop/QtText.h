// Text crossing into the toolkit: the program holds GBK bytes, the widgets hold Unicode.
#pragma once

#include <QString>
#include <string>

#include "geodesy/Encoding.h"

namespace vemo {

// GBK bytes -> QString (undecodable bytes become U+FFFD).
inline QString FromGbk(const std::string& gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }
// One of the system's own UTF-8 literals -> QString.
inline QString FromUtf8(const char* utf8) { return QString::fromUtf8(utf8); }
// QString -> GBK bytes (characters without a GBK form become '?').
inline std::string ToGbk(const QString& text) { return Utf8ToGbk(text.toStdString()); }
// Native paths are UTF-8 on Linux.
inline QString FromPath(const std::string& path) { return QString::fromStdString(path); }
inline std::string ToPath(const QString& path) { return path.toStdString(); }

}  // namespace vemo

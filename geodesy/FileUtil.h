// File helpers shared by every subsystem: atomic replacement of user files, whole-file reads,
// and the letter-case-blind lookup that lets a project copied from Windows open unchanged.
#pragma once

#include <optional>
#include <string>

namespace vemo {

// Replaces path with content atomically: writes a temporary file in the same directory,
// flushes it to disk and renames it over the old file. On failure the old file is intact and
// errorText (if given) receives the system's description of the failure.
bool WriteFileAtomically(const std::string& path, const std::string& content,
                         std::string* errorText = nullptr);

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// When path exists, path itself; otherwise the entry of its directory whose name equals the
// file name without regard to ASCII letter case, if exactly such an entry exists; otherwise
// path unchanged (the spelling to create).
std::string ResolvePathNoCase(const std::string& path);

// "directory/name.extension", the Linux form of the system's "%s\%s.ext". The name is GBK
// (as the program holds project and data names) and is converted to UTF-8 for the file
// system; the directory is a native path. An existing file of another letter case is found.
std::string ProjectFileName(const std::string& directory, const std::string& nameGbk,
                            const std::string& extension);

// "directory/fileName" for files named by the directory alone (Parameter.2d and the like).
std::string DirectoryFileName(const std::string& directory, const std::string& fileName);

}  // namespace vemo

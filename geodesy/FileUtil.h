// File helpers shared by every subsystem: atomic replacement of user files, whole-file reads,
// and the letter-case-blind lookup that lets a project copied from Windows open unchanged.
#pragma once

#include <optional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vemo {

// The replacement of a file, written piece by piece: a temporary file beside path (so that the
// rename stays on one file system), which Commit flushes to disk and renames over path. Until
// then path is untouched; Abandon, and the destructor without a Commit, remove the temporary
// file, so a failed or interrupted write leaves the old file whole. A process killed while it
// writes leaves the temporary file, which RemoveLeftoverSaves removes.
class CAtomicFile {
 public:
  CAtomicFile() = default;
  ~CAtomicFile() { Abandon(); }
  CAtomicFile(const CAtomicFile&) = delete;
  CAtomicFile& operator=(const CAtomicFile&) = delete;

  // Starts the replacement of path. Refused (false, errorText if given receives why) when a
  // directory, a FIFO, a device or a socket stands at path, which a write would not replace
  // but block on or destroy, when the file there may not be written, or when no temporary file
  // can be made beside it.
  bool Open(const std::string& path, std::string* errorText = nullptr);
  bool IsOpen() const { return m_Fd >= 0; }
  // The temporary file's descriptor (write only), -1 when not open.
  int Descriptor() const { return m_Fd; }
  // Writes all of data; false on a write error.
  bool Write(const char* data, size_t size);
  // Flushes the temporary file to disk and renames it over path; false (the temporary file
  // removed, path unchanged) when that fails.
  bool Commit(std::string* errorText = nullptr);
  void Abandon();

 private:
  std::string m_Path, m_Temporary;
  int m_Fd = -1;
};

// Replaces path with content atomically (CAtomicFile). On failure the old file is intact and
// errorText (if given) receives the system's description of the failure.
bool WriteFileAtomically(const std::string& path, const std::string& content,
                         std::string* errorText = nullptr);
// The same for content made of pieces, written one after the other (no copy of them joined).
bool WriteFileAtomically(const std::string& path, std::initializer_list<std::string_view> pieces,
                         std::string* errorText = nullptr);

// Whether something other than a regular file (a directory, a FIFO, a device, a socket) stands
// at path: an output must not be opened there, since opening a FIFO for writing waits for a
// reader forever.
bool IsNonRegularFile(const std::string& path);

// Removes the files at paths the way a save replaces one: each by a single unlink, which
// another program sees as done or not done, then one flush of their directories so that the
// removals reach the disk and a crash cannot bring a file back. A file that does not exist is
// no error. Stops at the first file that cannot be removed: it stays intact, failedPath and
// errorText (if given) receive its path and the system's description, and false is returned.
bool RemoveFilesDurably(const std::vector<std::string>& paths, std::string* failedPath = nullptr,
                        std::string* errorText = nullptr);

// Why a file could not be read.
enum class FileReadError {
  None,
  CannotOpen,  // missing, no permission
  NotRegular,  // a directory, a FIFO, a device or a socket
  ReadFailed,  // an error while reading
  Incomplete,  // a file the program wrote whose last line is not ended: it was cut
};

// The whole content of a regular file, or nothing when it cannot be read. Only regular files
// are read: a FIFO, a device or a directory given where a file is expected would block the
// command or read nothing sensible, so it is refused without ever waiting on it. error (if
// given) receives the reason.
std::optional<std::string> ReadWholeFile(const std::string& path, FileReadError* error = nullptr);

// The same through an open descriptor, for readers that also lock what they read: a
// read-only descriptor of a regular file (close-on-exec), or -1 with the reason.
int OpenRegularFileForReading(const std::string& path, FileReadError* error = nullptr);
// Reads what is left of fd to its end; false on a read error.
bool ReadDescriptor(int fd, std::string& content);

// Removes the temporary files that saves into directory left when their process died (killed
// or crashed before the rename); files of saves still running are kept. Programs call it when
// they start using a directory of user files. Returns the number removed.
int RemoveLeftoverSaves(const std::string& directory);

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

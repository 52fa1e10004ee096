#include "geodesy/FileUtil.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>

#include "geodesy/Encoding.h"

namespace vemo {
namespace fs = std::filesystem;

namespace {

// The temporary file of a save: ".NAME.tmp" and 16 hexadecimal digits, beside NAME.
constexpr std::string_view kTemporaryTag = ".tmp";
constexpr size_t kTemporaryDigits = 16;

bool IsTemporaryName(const std::string& name) {
  if (name.size() < 2 + kTemporaryTag.size() + kTemporaryDigits || name[0] != '.') return false;
  const size_t tag = name.size() - kTemporaryDigits - kTemporaryTag.size();
  if (name.compare(tag, kTemporaryTag.size(), kTemporaryTag) != 0 || tag < 2) return false;
  for (size_t i = tag + kTemporaryTag.size(); i < name.size(); ++i)
    if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

bool SameFile(int fd, const std::string& path) {
  struct stat open, named;
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

}  // namespace

bool IsNonRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool CAtomicFile::Open(const std::string& path, std::string* errorText) {
  Abandon();
  auto fail = [&](const std::string& why) {
    if (errorText) *errorText = why;
    return false;
  };
  struct stat st;
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return fail("not a regular file");
  // The file's own permission is kept: a result the user made read-only is not replaced.
  if (exists && ::access(path.c_str(), W_OK) != 0) return fail(std::strerror(errno));
  fs::path target(path);
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  // A name of our own beside the target. The write holds a lock on it until the rename: a
  // process killed while it writes leaves a file nobody holds, which the next start removes
  // (RemoveLeftoverSaves); one that is still writing is left alone.
  static std::mt19937_64 rng{std::random_device{}()};
  for (int attempt = 0; attempt < 16 && m_Fd < 0; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%.*s%016llx", static_cast<int>(kTemporaryTag.size()), kTemporaryTag.data(),
                  static_cast<unsigned long long>(rng()));
    m_Temporary = (dir / ("." + target.filename().string() + suffix)).string();
    m_Fd = ::open(m_Temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_Fd < 0 && errno != EEXIST) return fail(std::strerror(errno));
    // A cleaner may have taken the new file for a leftover between its creation and the
    // lock: then it is gone, and another name is tried.
    if (m_Fd >= 0 && (::flock(m_Fd, LOCK_EX) != 0 || !SameFile(m_Fd, m_Temporary))) {
      ::close(m_Fd);
      m_Fd = -1;
    }
  }
  if (m_Fd < 0) return fail(std::strerror(EEXIST));
  m_Path = path;
  // Keep the permissions of the file we replace.
  if (exists) ::fchmod(m_Fd, st.st_mode & 07777);
  return true;
}

bool CAtomicFile::Write(const char* data, size_t size) {
  if (m_Fd < 0) return false;
  while (size > 0) {
    const ssize_t n = ::write(m_Fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool CAtomicFile::Commit(std::string* errorText) {
  if (m_Fd < 0) {
    if (errorText) *errorText = std::strerror(EBADF);
    return false;
  }
  if (::fsync(m_Fd) != 0 || ::rename(m_Temporary.c_str(), m_Path.c_str()) != 0) {
    if (errorText) *errorText = std::strerror(errno);
    Abandon();
    return false;
  }
  // The rename itself reaches the disk with the directory.
  fs::path dir = fs::path(m_Path).parent_path();
  const int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  const bool closed = ::close(m_Fd) == 0;
  m_Fd = -1;
  if (!closed && errorText) *errorText = std::strerror(errno);
  return closed;
}

void CAtomicFile::Abandon() {
  if (m_Fd < 0) return;
  ::unlink(m_Temporary.c_str());
  ::close(m_Fd);
  m_Fd = -1;
}

bool WriteFileAtomically(const std::string& path, const std::string& content, std::string* errorText) {
  return WriteFileAtomically(path, {std::string_view(content)}, errorText);
}

bool WriteFileAtomically(const std::string& path, std::initializer_list<std::string_view> pieces,
                         std::string* errorText) {
  CAtomicFile file;
  if (!file.Open(path, errorText)) return false;
  for (const std::string_view piece : pieces)
    if (!file.Write(piece.data(), piece.size())) {
      if (errorText) *errorText = std::strerror(errno);
      return false;
    }
  return file.Commit(errorText);
}

bool RemoveFilesDurably(const std::vector<std::string>& paths, std::string* failedPath, std::string* errorText) {
  std::vector<fs::path> directories;
  bool ok = true;
  for (const std::string& path : paths) {
    if (::unlink(path.c_str()) != 0) {
      if (errno == ENOENT) continue;
      if (failedPath) *failedPath = path;
      if (errorText) *errorText = std::strerror(errno);
      ok = false;
      break;
    }
    fs::path dir = fs::path(path).parent_path();
    if (dir.empty()) dir = ".";
    if (std::find(directories.begin(), directories.end(), dir) == directories.end()) directories.push_back(dir);
  }
  for (const fs::path& dir : directories) {
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) continue;
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return ok;
}

int OpenRegularFileForReading(const std::string& path, FileReadError* error) {
  auto fail = [&](FileReadError e) {
    if (error) *error = e;
    return -1;
  };
  // O_NONBLOCK: opening a FIFO without a writer would otherwise wait for one forever. It has
  // no effect on the reads of a regular file.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return fail(errno == EISDIR ? FileReadError::NotRegular : FileReadError::CannotOpen);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return fail(FileReadError::CannotOpen);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return fail(FileReadError::NotRegular);
  }
  if (error) *error = FileReadError::None;
  return fd;
}

bool ReadDescriptor(int fd, std::string& content) {
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    content.append(buffer, static_cast<size_t>(n));
  }
}

std::optional<std::string> ReadWholeFile(const std::string& path, FileReadError* error) {
  int fd = OpenRegularFileForReading(path, error);
  if (fd < 0) return std::nullopt;
  std::string content;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) content.reserve(static_cast<size_t>(st.st_size));
  const bool read = ReadDescriptor(fd, content);
  ::close(fd);
  if (!read) {
    if (error) *error = FileReadError::ReadFailed;
    return std::nullopt;
  }
  return content;
}

int RemoveLeftoverSaves(const std::string& directory) {
  std::error_code ec;
  int removed = 0;
  fs::directory_iterator it(directory.empty() ? fs::path(".") : fs::path(directory), ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!IsTemporaryName(name)) continue;
    const std::string path = it->path().string();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    // A save in progress holds the lock; a file nobody holds was left by a save that died.
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, path) &&
        ::unlink(path.c_str()) == 0)
      ++removed;
    ::close(fd);
  }
  return removed;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool DirectoryExists(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

std::string ResolvePathNoCase(const std::string& path) {
  std::error_code ec;
  if (fs::exists(path, ec)) return path;
  fs::path p(path);
  fs::path dir = p.parent_path();
  std::string wanted = p.filename().string();
  fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec), end;
  std::string found;
  int matches = 0;
  for (; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (EqualNoCase(name, wanted)) {
      found = name;
      ++matches;
    }
  }
  if (matches == 1) return (dir / found).string();
  return path;
}

std::string ProjectFileName(const std::string& directory, const std::string& nameGbk,
                            const std::string& extension) {
  return ResolvePathNoCase(directory + "/" + GbkToUtf8(nameGbk) + "." + extension);
}

std::string DirectoryFileName(const std::string& directory, const std::string& fileName) {
  return ResolvePathNoCase(directory + "/" + fileName);
}

}  // namespace vemo

#include "geodesy/FileUtil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "geodesy/Encoding.h"

namespace vemo {
namespace fs = std::filesystem;

bool WriteFileAtomically(const std::string& path, const std::string& content, std::string* errorText) {
  auto fail = [&](int err) {
    if (errorText) *errorText = std::strerror(err);
    return false;
  };
  fs::path target(path);
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  // A name of our own beside the target, so the rename stays on one file system.
  static std::mt19937_64 rng{std::random_device{}()};
  std::string tmp;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp%016llx", static_cast<unsigned long long>(rng()));
    tmp = (dir / ("." + target.filename().string() + suffix)).string();
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return fail(errno);
  }
  if (fd < 0) return fail(EEXIST);
  // Keep the permissions of the file we replace.
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
  const char* data = content.data();
  size_t left = content.size();
  while (left > 0) {
    ssize_t n = ::write(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      ::unlink(tmp.c_str());
      return fail(err);
    }
    data += n;
    left -= static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    return fail(err);
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    return fail(err);
  }
  return true;
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

#include "app/cli/HugePages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#if defined(__linux__) && defined(__GLIBC__)
#include <gnu/libc-version.h>
#include <unistd.h>
#endif

namespace vemo {

namespace {

constexpr const char* kTunable = "glibc.malloc.hugetlb=1";

bool AtLeast235(const char* version) {
  int major = 0, minor = 0;
  if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2) return false;
  return major > 2 || (major == 2 && minor >= 35);
}

}  // namespace

std::optional<std::string> HugePageTunables(const char* tunables, const std::string& transparentHugePageMode,
                                            const char* glibcVersion, const char* preload) {
  const std::string current = tunables ? tunables : "";
  if (current.find("glibc.malloc.hugetlb") != std::string::npos) return std::nullopt;
  if (transparentHugePageMode.find("[madvise]") == std::string::npos) return std::nullopt;
  if (!AtLeast235(glibcVersion)) return std::nullopt;
  if (preload && std::strstr(preload, "vgpreload")) return std::nullopt;
  return current.empty() ? std::string(kTunable) : current + ":" + kTunable;
}

void PreferHugePages(char** argv) {
#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
  std::ifstream file("/sys/kernel/mm/transparent_hugepage/enabled");
  std::stringstream mode;
  mode << file.rdbuf();
  const char* previous = std::getenv("GLIBC_TUNABLES");
  const std::optional<std::string> tunables =
      HugePageTunables(previous, mode.str(), gnu_get_libc_version(), std::getenv("LD_PRELOAD"));
  if (!tunables || !argv || !argv[0]) return;
  const std::string kept = previous ? previous : "";
  if (setenv("GLIBC_TUNABLES", tunables->c_str(), 1) != 0) return;
  execv("/proc/self/exe", argv);
  // No exec: the program goes on with ordinary pages, and its children see what it was given.
  if (previous)
    setenv("GLIBC_TUNABLES", kept.c_str(), 1);
  else
    unsetenv("GLIBC_TUNABLES");
#else
  (void)argv;
#endif
}

}  // namespace vemo

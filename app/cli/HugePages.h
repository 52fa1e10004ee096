#pragma once
// A national network's adjustment touches gigabytes of heap in a few seconds: with pages of
// 4 KB a third of its processor time went to page faults and missed translations. The kernel
// gives huge pages to memory that asks for them when transparent huge pages are in "madvise"
// mode (the common default), and glibc's allocator asks for them only when its tunable says so
// at start-up. The program therefore starts itself again, once, with that tunable set.
#include <optional>
#include <string>

namespace vemo {

// The GLIBC_TUNABLES value that makes the allocator ask for huge pages, or none when there is
// nothing to gain or the person decided: the variable already names the tunable (their choice,
// or this process is the started-again one), the kernel gives huge pages always or never, the C
// library is older than the tunable (2.35), or the process runs under a tool that would lose it
// on an exec (valgrind's preloaded core).
std::optional<std::string> HugePageTunables(const char* tunables, const std::string& transparentHugePageMode,
                                            const char* glibcVersion, const char* preload);

// Starts the program again with the tunable when HugePageTunables gives one; returns when it
// does not, or when the exec fails (the program then runs as it is).
void PreferHugePages(char** argv);

}  // namespace vemo

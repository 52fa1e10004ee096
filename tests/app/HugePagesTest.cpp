#include "app/cli/HugePages.h"

#include <gtest/gtest.h>

namespace vemo {
namespace {

const char* const kMadvise = "always [madvise] never\n";

TEST(HugePages, AsksOnlyWhereTheKernelWaitsForTheRequest) {
  EXPECT_EQ(HugePageTunables(nullptr, kMadvise, "2.36", nullptr), "glibc.malloc.hugetlb=1");
  // The person's other tunables stay, in front.
  EXPECT_EQ(HugePageTunables("glibc.malloc.arena_max=2", kMadvise, "2.40", ""),
            "glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1");
  // Nothing to gain, or not ours to change; the started-again process stops here too.
  EXPECT_FALSE(HugePageTunables(nullptr, "[always] madvise never\n", "2.36", nullptr));
  EXPECT_FALSE(HugePageTunables(nullptr, "always madvise [never]\n", "2.36", nullptr));
  EXPECT_FALSE(HugePageTunables(nullptr, "", "2.36", nullptr));
  EXPECT_FALSE(HugePageTunables("glibc.malloc.hugetlb=0", kMadvise, "2.36", nullptr));
  EXPECT_FALSE(HugePageTunables("glibc.malloc.hugetlb=1", kMadvise, "2.36", nullptr));
  EXPECT_FALSE(HugePageTunables(nullptr, kMadvise, "2.34", nullptr));
  EXPECT_FALSE(HugePageTunables(nullptr, kMadvise, "", nullptr));
  EXPECT_FALSE(HugePageTunables(nullptr, kMadvise, "2.36", "/usr/libexec/valgrind/vgpreload_core-amd64-linux.so"));
}

}  // namespace
}  // namespace vemo

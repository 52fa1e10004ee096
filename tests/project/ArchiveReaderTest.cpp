// Strings of the project file as the fuzzing of its reader found them.
#include <gtest/gtest.h>

#include "project/Archive.h"
#include "project/ProjectFile.h"

namespace {
using namespace vemo;

TEST(ArchiveReader, EmptyUnicodeStringReadsAsEmpty) {
  // The Unicode marker (FF FE FF) and a length of 0: nothing to copy, then the next string.
  const std::string bytes("\xFF\xFE\xFF\x00\x02" "fz", 7);
  ArchiveReader reader(bytes);
  EXPECT_EQ(reader.ReadString(), "");
  EXPECT_EQ(reader.ReadString(), "fz");
}

TEST(ArchiveReader, ProjectFileOpeningWithAnEmptyUnicodeNameIsReadWithoutFault) {
  // The fuzz finding: a project file whose name is an empty Unicode string, then a path and
  // numbers cut short. Under the sanitizers the empty copy was undefined behaviour.
  static const char kFinding[] =
      "\xFF\xFE\xFF\x00\x02" "fz\x1D/dev/shm/vemo-fuzz-29677/base\x03\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
      "\x00\x14@\x00\x00\x00\x00\x00\xF0?\x00\x00\x00\x00\x00\x00\x00\x14@\x00\x00\x00\x00\x00\x00\xF0?9\xB4\xC8v\xBE"
      "\x9F\x06@\x9A\x99";
  const std::string bytes(kFinding, sizeof kFinding - 1);
  ASSERT_EQ(bytes.size(), 87u);
  CGPSConfiguration configuration;
  EXPECT_FALSE(DeserializeConfiguration(bytes, configuration));  // cut short: refused, not a fault
}

}  // namespace

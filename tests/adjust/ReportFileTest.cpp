// A result file replaces its old version only when it is closed complete: a run that fails, is
// stopped or is abandoned leaves the old file and no temporary one; what is not a regular file
// is never opened for writing.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "adjust/ReportFile.h"
#include "geodesy/Platform.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;

size_t Entries(const test::TempDir& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++n;
  return n;
}

TEST(ReportFile, TheOldFileStaysUntilTheNewOneIsClosedComplete) {
  test::ScopedTestHost scope;
  test::TempDir dir;
  const std::string path = dir.Write("net.GPS2dVector", "old\n");
  {
    CReportFile f;
    ASSERT_TRUE(f.Create(path));
    f.Printf("%s\n", "new");
    EXPECT_EQ(ReadWholeFile(path), "old\n");
  }  // abandoned
  EXPECT_EQ(ReadWholeFile(path), "old\n");
  CReportFile f;
  ASSERT_TRUE(f.Append(path));
  f.Write("more\n");
  RequestStop();  // Ctrl-C: nothing is put in place any more
  EXPECT_FALSE(f.Close());
  EXPECT_EQ(ReadWholeFile(path), "old\n");
  ClearStopRequest();
  ASSERT_TRUE(f.Append(path));
  f.Write("more\n");
  EXPECT_TRUE(f.Close());
  EXPECT_EQ(ReadWholeFile(path), "old\nmore\n");
  EXPECT_EQ(Entries(dir), 1u);  // no temporary file left
}

TEST(ReportFile, NoOutputWhereAFifoOrADirectoryStands) {
  test::TempDir dir;
  const std::string fifo = (dir.path() / "net.GPS2dResult").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // A reader holds the FIFO open, so that a write that opened it would not block the test.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  CReportFile f;
  EXPECT_FALSE(f.Create(fifo));
  EXPECT_FALSE(f.Append(fifo));
  EXPECT_FALSE(f.Create(dir.str()));
  EXPECT_FALSE(WriteFileAtomically(fifo, "x"));
  ::close(reader);
  EXPECT_EQ(Entries(dir), 1u);
}

}  // namespace

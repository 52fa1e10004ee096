#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "geodesy/FileUtil.h"
#include "geodesy/Settings.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
namespace fs = std::filesystem;

TEST(Settings, ValuesRoundTripThroughTheFile) {
  test::ScopedTestHost scope;
  EXPECT_EQ(CSettingsStore::FilePath(), scope.configDir.str() + "/settings.ini");
  EXPECT_EQ(CSettingsStore::GetString("Gps Settings", "Last GPS Project", "none"), "none");
  EXPECT_TRUE(CSettingsStore::SetString("Gps Settings", "Last GPS Project", u8"测试"));
  EXPECT_TRUE(CSettingsStore::SetString(u8"坐标转换", "Recent Data Path", "/data/with=equals\nand newline\\"));
  EXPECT_TRUE(CSettingsStore::SetInt("Gps Settings", "Count", -7));
  EXPECT_EQ(CSettingsStore::GetString("Gps Settings", "Last GPS Project", ""), u8"测试");
  EXPECT_EQ(CSettingsStore::GetString(u8"坐标转换", "Recent Data Path", ""), "/data/with=equals\nand newline\\");
  EXPECT_EQ(CSettingsStore::GetInt("Gps Settings", "Count", 0), -7);
  EXPECT_EQ(CSettingsStore::GetInt("Gps Settings", "Last GPS Project", 3), 3);  // not a number
  std::string text = ReadWholeFile(CSettingsStore::FilePath()).value();
  EXPECT_NE(text.find("[Gps Settings]\nLast GPS Project=测试\n"), std::string::npos) << text;
  // Only the settings file is left: the replacement went through a temporary.
  EXPECT_EQ(std::distance(fs::directory_iterator(scope.configDir.path()), {}), 1);
}

TEST(Settings, RecentFilesKeepTheNewestFour) {
  test::ScopedTestHost scope;
  for (const char* f : {"/a", "/b", "/c", "/d", "/e", "/c"}) CSettingsStore::AddRecentFile(f);
  EXPECT_EQ(CSettingsStore::RecentFiles(), (std::vector<std::string>{"/c", "/e", "/d", "/b"}));
}

TEST(Settings, LocationFollowsTheEnvironment) {
  test::ScopedTestHost scope;
  const char* home = std::getenv("HOME");
  std::string savedHome = home ? home : "";
  unsetenv("VEMOGPS_CONFIG_DIR");
  setenv("XDG_CONFIG_HOME", "/xdg", 1);
  EXPECT_EQ(CSettingsStore::FilePath(), "/xdg/VemoGPS/settings.ini");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(CSettingsStore::FilePath(), "/home/u/.config/VemoGPS/settings.ini");
  if (home) setenv("HOME", savedHome.c_str(), 1);
  else unsetenv("HOME");
  setenv("VEMOGPS_CONFIG_DIR", scope.configDir.str().c_str(), 1);
}

TEST(Settings, DamagedFileReadsAsDefaults) {
  test::ScopedTestHost scope;
  ASSERT_TRUE(WriteFileAtomically(CSettingsStore::FilePath(), std::string("\x00\xFF garbage\n[x\nno equals\n", 24)));
  EXPECT_EQ(CSettingsStore::GetString("Gps Settings", "Last GPS Project", "d"), "d");
  EXPECT_TRUE(CSettingsStore::SetString("Gps Settings", "Last GPS Project", "p"));
  EXPECT_EQ(CSettingsStore::GetString("Gps Settings", "Last GPS Project", "d"), "p");
}

TEST(FileUtil, FilesAreFoundWithoutRegardToLetterCase) {
  test::TempDir dir;
  ASSERT_TRUE(WriteFileAtomically(dir.str() + "/Demo.GPS3DVector", "x"));
  EXPECT_EQ(ProjectFileName(dir.str(), "demo", "GPS3dVector"), dir.str() + "/Demo.GPS3DVector");
  EXPECT_EQ(ProjectFileName(dir.str(), "demo", "GPS3dResult"), dir.str() + "/demo.GPS3dResult");
  EXPECT_EQ(ProjectFileName(dir.str(), "\xB2\xE2\xCA\xD4", "prj"), dir.str() + u8"/测试.prj");
  EXPECT_EQ(DirectoryFileName(dir.str(), "parameter.2D"), dir.str() + "/parameter.2D");
  // Two spellings on disk: none is preferred, the requested one is used.
  ASSERT_TRUE(WriteFileAtomically(dir.str() + "/DEMO.GPS3DVECTOR", "y"));
  EXPECT_EQ(ProjectFileName(dir.str(), "demo", "GPS3dVector"), dir.str() + "/demo.GPS3dVector");
  EXPECT_EQ(ResolvePathNoCase("/no/such/dir/file"), "/no/such/dir/file");
}

TEST(FileUtil, AtomicReplacementKeepsPermissionsAndReportsErrors) {
  test::TempDir dir;
  std::string path = dir.str() + "/f.txt";
  ASSERT_TRUE(WriteFileAtomically(path, "one"));
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(WriteFileAtomically(path, "two"));
  EXPECT_EQ(ReadWholeFile(path).value(), "two");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dir.str() + "/missing/f.txt", "x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ReadWholeFile(dir.str() + "/missing/f.txt").has_value());
}


// Read in place up to the room reserved, then through the buffer: a descriptor with more than
// was reserved (a pipe) and what the string held before are kept whole, in order.
TEST(FileUtil, ReadDescriptorAppendsBeyondTheReservedRoom) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  std::string sent(50000, 'x');
  for (size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>('a' + i % 26);
  ASSERT_EQ(::write(ends[1], sent.data(), sent.size()), static_cast<ssize_t>(sent.size()));
  ::close(ends[1]);
  std::string content = "head";
  content.reserve(1000);
  EXPECT_TRUE(ReadDescriptor(ends[0], content));
  ::close(ends[0]);
  EXPECT_EQ(content, "head" + sent);
}


// A settings file of 40,000 lines added seconds to every command (each read was quadratic):
// reading is linear, and only what a settings file may hold is read and kept.
TEST(Settings, AHugeFileIsReadQuicklyAndOnlyWhatASettingsFileMayHold) {
  test::ScopedTestHost scope;
  std::string text = "[Gps Settings]\nLast GPS Project=first\n" + std::string(5000, 'x') + "=too long\n";
  for (int i = 0; i < 40000; ++i) text += "Key" + std::to_string(i) + "=value\n";
  ASSERT_TRUE(WriteFileAtomically(CSettingsStore::FilePath(), text));
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10; ++i) EXPECT_EQ(CSettingsStore::GetString("Gps Settings", "Last GPS Project", ""), "first");
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
  EXPECT_EQ(CSettingsStore::GetString("Gps Settings", "Key998", ""), "value");  // entry 1000
  EXPECT_EQ(CSettingsStore::GetString("Gps Settings", "Key999", "beyond"), "beyond");
  ASSERT_TRUE(CSettingsStore::SetString("Gps Settings", "Last GPS Project", "second"));
  const std::string kept = ReadWholeFile(CSettingsStore::FilePath()).value();
  EXPECT_LT(kept.size(), 20000u);
  EXPECT_EQ(kept.find("too long"), std::string::npos);
}

// Something other than a file under the name (a FIFO would block every command, help too)
// is neither read nor replaced.
TEST(Settings, AFifoInPlaceOfTheFileIsLeftAlone) {
  test::ScopedTestHost scope;
  ASSERT_EQ(::mkfifo(CSettingsStore::FilePath().c_str(), 0600), 0);
  EXPECT_EQ(CSettingsStore::GetString("Gps Settings", "Last GPS Project", "none"), "none");
  EXPECT_FALSE(CSettingsStore::SetString("Gps Settings", "Last GPS Project", "x"));
  EXPECT_TRUE(fs::is_fifo(CSettingsStore::FilePath()));
}

TEST(FileUtil, OnlyRegularFilesAreReadAndNothingWaitsOnAFifo) {
  test::TempDir dir;
  const std::string fifo = dir.str() + "/fifo", file = dir.str() + "/file";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_TRUE(WriteFileAtomically(file, "text"));
  struct Case {
    std::string path;
    FileReadError error;
  } cases[] = {{fifo, FileReadError::NotRegular},
               {dir.str(), FileReadError::NotRegular},
               {"/dev/null", FileReadError::NotRegular},
               {dir.str() + "/missing", FileReadError::CannotOpen}};
  for (const auto& c : cases) {
    FileReadError error = FileReadError::None;
    EXPECT_FALSE(ReadWholeFile(c.path, &error)) << c.path;
    EXPECT_EQ(error, c.error) << c.path;
  }
  FileReadError error = FileReadError::CannotOpen;
  EXPECT_EQ(ReadWholeFile(file, &error), "text");
  EXPECT_EQ(error, FileReadError::None);
}

}  // namespace

// The user's files that are rewritten whole are replaced atomically: a saving process killed
// at any moment leaves the complete old or the complete new file, and the next start removes
// the temporary file a killed save left.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <random>

#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Settings.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"
#include "project/ProjectFile.h"
#include "project/data/EntryDialogs.h"
#include "tests/support/TestHost.h"

namespace {
using namespace vemo;
namespace fs = std::filesystem;

std::vector<std::string> Leftovers(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".tmp") != std::string::npos) names.push_back(name);
  }
  return names;
}

// Runs body in a child process (a fork of this one, as small a "program" as can be) and
// waits for it.
void InChild(const std::function<void()>& body) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    body();
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// One kind of user file: how the program starts on it, and how it saves its two versions.
struct SavedFile {
  fs::path path;
  std::function<void()> start;
  std::function<void(int version)> save;
};

// 200 times: a child starts as the program does, then saves the two versions in turn until it
// is killed at a random moment. The file is always one whole version; a killed save leaves at
// most one temporary file, which the next start removes.
void KillWhileSaving(const SavedFile& file) {
  std::string versions[2];
  for (int v = 0; v < 2; ++v) {
    InChild([&] {
      file.start();
      file.save(v);
    });
    versions[v] = ReadWholeFile(file.path.string()).value_or("<missing>");
  }
  ASSERT_NE(versions[0], versions[1]);
  // Kills spread from late in a child's start to the end of its second save.
  auto timed = [](const std::function<void()>& body) {
    const auto begin = std::chrono::steady_clock::now();
    InChild(body);
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begin).count();
  };
  const long started = timed(file.start);
  const long saved = timed([&] {
    file.start();
    file.save(0);
    file.save(1);
  });
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<long> delay(started * 3 / 4, std::max(saved, started));
  int interrupted = 0;
  for (int kill = 0; kill < 200; ++kill) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      file.start();
      for (int i = 0;; ++i) file.save(i % 2);
    }
    usleep(static_cast<useconds_t>(delay(rng)));
    ::kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    const std::string now = ReadWholeFile(file.path.string()).value_or("<missing>");
    ASSERT_TRUE(now == versions[0] || now == versions[1]) << "kill " << kill << ": " << now.size() << " bytes";
    const auto left = Leftovers(file.path.parent_path());
    ASSERT_LE(left.size(), 1u) << "kill " << kill << ": temporary files pile up";
    interrupted += !left.empty();
  }
  // How many kills caught a save before its rename (in the test's XML output).
  testing::Test::RecordProperty("interrupted_saves", interrupted);
  // Whatever the last kill left, and the temporary file of one more dead save: the next start
  // removes them.
  const fs::path dead = file.path.parent_path() / ("." + file.path.filename().string() + ".tmp00000000deadbeef");
  ASSERT_TRUE(WriteFileAtomically(dead.string(), versions[0].substr(0, versions[0].size() / 2)));
  InChild(file.start);
  EXPECT_TRUE(Leftovers(file.path.parent_path()).empty());
}

// A directory in memory when the machine has one: a kill tests the process, not the disk, and
// saves without a disk's flush are quick, so 200 kills take a moment.
class MemoryDir {
 public:
  MemoryDir() {
    std::error_code ec;
    const fs::path parent = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (parent / "vemo-crash-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    m_Path = pattern;
  }
  ~MemoryDir() {
    std::error_code ec;
    fs::remove_all(m_Path, ec);
  }
  const fs::path& path() const { return m_Path; }
  std::string str() const { return m_Path.string(); }

 private:
  fs::path m_Path;
};

// A project whose file is some 15 KB long (many coordinate systems), so that a save takes a
// while.
class CrashSafety : public testing::Test {
 protected:
  CrashSafety() {
    CProjectState& p = Project();
    p.projectDir = dir.str();
    p.projectName = "crash";
    for (int i = 0; i < 500; ++i)
      p.configuration.m_CoorsSystems.SetAt(Format("LOCAL%04d", i), {Format("LOCAL%04d", i), 6378140.0 + i, 298.257, 0});
    SaveProjectFile();
  }
  std::string Prj() const { return (dir.path() / "crash.prj").string(); }
  // The start of a program on the project: nothing of it is known yet.
  void Start() const {
    Project() = CProjectState{};
    if (!OpenProject(Prj())) _exit(3);
  }

  test::ScopedTestHost scope;
  MemoryDir dir;
};

TEST_F(CrashSafety, ProjectFileIsOldOrNewWhenKilledDuringSaves) {
  KillWhileSaving({dir.path() / "crash.prj", [&] { Start(); },
                   [&](int version) {
                     Project().configuration.m_CentralMeridian = version ? 117.0 : 114.0;
                     Project().configuration.m_XConstant = version ? 0.0 : 1000.0;
                     SaveProjectFile();
                   }});
}

TEST_F(CrashSafety, EntryFileIsOldOrNewWhenKilledDuringSaves) {
  KillWhileSaving({dir.path() / "crash.GPS1dKnownH", [&] { Start(); },
                   [&](int version) {
                     CEntryGridRecord grid;
                     grid.kind = EntryKind::KnownH;
                     grid.fileName = (dir.path() / "crash.GPS1dKnownH").string();
                     for (int i = 0; i < 1000; ++i)
                       grid.rows.push_back({Format("H%04d", i), Format("%.4f", 20.0 + i * 0.01 + version)});
                     AcceptEntryDialog(grid);
                   }});
}

TEST_F(CrashSafety, SettingsAreOldOrNewWhenKilledDuringSaves) {
  // Settings of their own, which this (parent) process never reads: each child's first read
  // is its start.
  const fs::path config = dir.path() / "config";
  fs::create_directories(config);
  setenv("VEMOGPS_CONFIG_DIR", config.c_str(), 1);
  KillWhileSaving({config / "settings.ini", [] { CSettingsStore::GetString("Gps Settings", "Last GPS Project Path", ""); },
                   [](int version) {
                     CSettingsStore::SetString("Gps Settings", "Last GPS Project Path",
                                               std::string(30000, version ? 'b' : 'a'));
                   }});
}

TEST(LeftoverSaves, OnlyFilesOfDeadSavesAreRemoved) {
  test::TempDir dir;
  auto make = [&](const std::string& name) {
    const std::string path = (dir.path() / name).string();
    EXPECT_TRUE(WriteFileAtomically(path, "x"));
    return path;
  };
  make(".a.prj.tmp0123456789abcdef");           // left by a dead save
  make("notes.tmp0123456789abcdef");            // not hidden: not ours
  make(".a.prj.tmp0123");                       // too few digits
  make(".a.prj.tmp0123456789abcdeg");           // not hexadecimal
  const std::string live = make(".b.prj.tmpfedcba9876543210");
  // A save still running holds its lock.
  const int fd = ::open(live.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  EXPECT_EQ(RemoveLeftoverSaves(dir.str()), 1);
  EXPECT_FALSE(fs::exists(dir.path() / ".a.prj.tmp0123456789abcdef"));
  EXPECT_TRUE(fs::exists(live));
  EXPECT_TRUE(fs::exists(dir.path() / "notes.tmp0123456789abcdef"));
  EXPECT_TRUE(fs::exists(dir.path() / ".a.prj.tmp0123"));
  EXPECT_TRUE(fs::exists(dir.path() / ".a.prj.tmp0123456789abcdeg"));
  ::close(fd);
  EXPECT_EQ(RemoveLeftoverSaves(dir.str()), 1);  // its save died
  EXPECT_FALSE(fs::exists(live));
}

TEST(LeftoverSaves, TheProgramRemovesThemWhenItStarts) {
  test::TempDir home, config;
  const fs::path prj = home.path() / "p.prj";
  // A project made by the program, then a save of the project and one of the settings that
  // died before their rename.
  ASSERT_EQ(test::RunProgram({"new-project", "--name", "p", "--dir", home.str()}, config.str()).status, 0);
  const fs::path dead[] = {home.path() / ".p.prj.tmp00000000000000a1", home.path() / ".p.GPS1dKnownH.tmp00000000000000a2",
                           config.path() / ".settings.ini.tmp00000000000000a3"};
  for (const fs::path& f : dead) ASSERT_TRUE(WriteFileAtomically(f.string(), "half a fi"));
  const test::ProgramRun run = test::RunProgram({"--project", prj.string(), "settings"}, config.str());
  EXPECT_EQ(run.status, 0) << run.err;
  for (const fs::path& f : dead) EXPECT_FALSE(fs::exists(f)) << f;
}

}  // namespace

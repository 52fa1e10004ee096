// Ctrl-C or kill -9 at any moment of a long computation: after Ctrl-C the command stops with 130
// and says so; either way every file of the project is then the one before the run, the
// complete one the run writes, or a result of the command that it removed (it removes its
// results before it computes) - never a cut file, and a temporary one only after a kill.
#include <gtest/gtest.h>

#include <csignal>
#include <chrono>
#include <filesystem>
#include <map>

#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "tests/adjust3d/AdjustFixture.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {
using namespace vemo;
using namespace vemo::test;
namespace fs = std::filesystem;

long Microseconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - since).count();
}

struct Saved {
  std::string content;
  fs::file_time_type time;  // results are checked against their inputs' times
};
using Snapshot = std::map<std::string, Saved>;

Snapshot Take(const std::string& dir) {
  Snapshot s;
  for (const auto& e : fs::directory_iterator(dir))
    s[e.path().filename().string()] = {ReadWholeFile(e.path().string()).value_or("<unreadable>"), e.last_write_time()};
  return s;
}

void Restore(const std::string& dir, const Snapshot& s) {
  for (const auto& e : fs::directory_iterator(dir)) fs::remove(e.path());
  for (const auto& [name, saved] : s) {
    ASSERT_TRUE(WriteFileAtomically(dir + "/" + name, saved.content));
    fs::last_write_time(dir + "/" + name, saved.time);
  }
}

// The project of network seed adjusted in 3D (one known point) and in the plane (two known
// points from the 3D run), and as a free network when asked.
Snapshot Adjusted(const ProgramProject& p, unsigned seed, int points, bool free) {
  for (const auto& e : fs::directory_iterator(p.dir))
    if (e.path().extension() != ".prj") fs::remove(e.path());
  WriteSyntheticProject(MakeSyntheticNetwork(points, seed, 1.0, 1), p.dir, "net");
  EXPECT_EQ(p.Run({"adjust-3d"}).status, 0);
  const std::string xyh = ReadWholeFile(p.dir + "/net.GPS3dXYH").value_or("");
  EXPECT_TRUE(WriteFileAtomically(p.dir + "/net.GPS2dKnownXY", xyh.substr(0, xyh.find('\n', xyh.find('\n') + 1) + 1)));
  EXPECT_EQ(p.Run({"adjust-2d"}).status, 0);
  if (free) EXPECT_EQ(p.Run({"free-network", "--approx", p.dir + "/net.GPS3dApproximateXYZ"}).status, 0);
  return Take(p.dir);
}

TEST(Interrupt, CtrlCOrKillLeavesEveryFileOldOrNewAndCtrlCExits130) {
  AdjustProject unused;  // the settings of the program's runs go to its own directory
  ProgramProject p(unused, {});
  ASSERT_EQ(p.created.status, 0) << p.created.err;
  // Before the program's own start is done (its libraries loaded) Ctrl-C ends it as any
  // program: the Ctrl-Cs come after twice that time.
  const auto started = std::chrono::steady_clock::now();
  RunProgram({"help"}, p.config.str());
  const long startup = 2 * Microseconds(started);
  // The free network's dense cofactors grow with the square of the points: a smaller network.
  struct Case {
    std::vector<std::string> command;
    int points;
    std::vector<std::string> inputs;  // taken from network b, over the results of network a
  } cases[] = {
      {{"adjust-3d"}, 2000, {"GPS3dKnownXYZ", "GPS3dVector"}},
      {{"adjust-2d"}, 2000, {"GPS2dKnownXY", "GPS2dVector", "GPS3dXYH"}},
      {{"--yes", "free-network", "--approx", p.dir + "/net.GPS3dApproximateXYZ"}, 500,
       {"GPS3dKnownXYZ", "GPS3dVector", "GPS3dApproximateXYZ"}},
  };
  for (const Case& c : cases) {
    const bool free = c.points < 1000;
    const std::string& name = c.command[free];
    const Snapshot a = Adjusted(p, 11, c.points, free), b = Adjusted(p, 12, c.points, free);
    Snapshot start = a;
    for (const std::string& input : c.inputs) start["net." + input] = {b.at("net." + input).content, fs::file_time_type::clock::now()};
    std::vector<std::string> args = {"--project", p.prj};
    args.insert(args.end(), c.command.begin(), c.command.end());
    Restore(p.dir, start);
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(RunProgram(args, p.config.str()).status, 0) << name;
    const long full = Microseconds(begin);
    const Snapshot complete = Take(p.dir);
    for (const int signal : {SIGINT, SIGKILL}) {
      int stopped = 0, old = 0, fresh = 0, removed = 0, temporary = 0;
      for (int k = 1; k <= 6; ++k) {
        Restore(p.dir, start);
        const ProgramRun run = RunProgram(args, p.config.str(), "", startup + (full - startup) * k / 7, signal);
        const bool stoppedByIt = run.status == (signal == SIGINT ? 130 : -1);
        // A Ctrl-C before the console takes it (a loaded machine's slow start) or after the
        // command has put it back (its work written) ends the process as any program's: its
        // files must still be old or new, but the command did not stop itself.
        const bool ended = stoppedByIt || (signal == SIGINT && run.status == -1);
        ASSERT_TRUE(ended || run.status == 0) << name << " " << k << ": " << run.status << run.err;
        if (signal == SIGINT && stoppedByIt) EXPECT_NE(run.err.find(u8"命令已被中断(Ctrl-C)"), std::string::npos) << run.err;
        stopped += stoppedByIt;
        const Snapshot now = Take(p.dir);
        for (const auto& [file, saved] : now) {
          const bool isOld = start.count(file) && start.at(file).content == saved.content;
          const bool isNew = complete.count(file) && complete.at(file).content == saved.content;
          // A killed write leaves its temporary file, which the next start removes.
          const bool isTemporary = signal == SIGKILL && file[0] == '.' && file.find(".tmp") != std::string::npos;
          EXPECT_TRUE(ended ? isOld || isNew || isTemporary : isNew) << name << " " << k << ": " << file;
          old += isOld, fresh += isNew && !isOld, temporary += isTemporary;
        }
        for (const auto& [file, saved] : start) removed += !now.count(file);
        if (run.status == 0) EXPECT_EQ(now.size(), complete.size()) << name << " " << k;
        for (const std::string& input : c.inputs) EXPECT_TRUE(now.count("net." + input)) << input;
      }
      // How often the signal came before the end (on a loaded machine a run may be quicker
      // than the measured one), and what the files were then.
      std::fflush(stdout);
      std::printf("%s (%ld ms), %s: %d of 6 runs ended; files old %d, new %d, removed results %d, temporary %d\n",
                  name.c_str(), full / 1000, signal == SIGINT ? "Ctrl-C" : "kill -9", stopped, old, fresh, removed,
                  temporary);
      std::fflush(stdout);
      EXPECT_GE(stopped, 2) << name;  // a loaded machine makes some runs quicker than the measured one
    }
  }
}

}  // namespace

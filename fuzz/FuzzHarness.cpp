#include "fuzz/FuzzHarness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

#include "app/commands/Args.h"
#include "app/commands/CommandTable.h"
#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"

namespace vemo::fuzz {
namespace fs = std::filesystem;

namespace {

constexpr const char* kName = "fz";

// The directories of this process: the sample project made once, and the copy each input
// works in. Under /dev/shm when there is one, so that the many small writes stay in memory.
struct Directories {
  fs::path root, base, project, scratch, settings;
};

// The slowest input of this process, said at exit (scripts/fuzz.sh records it).
std::chrono::steady_clock::time_point g_InputStart;
double g_SlowestSeconds = 0.0;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz harness: %s\n", what.c_str());
  std::abort();
}

// libFuzzer's timer signal may interrupt a system call of the file system library, which
// reports it instead of resuming: the step is tried again from its start.
template <class Step>
void Retry(const char* what, Step step) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::error_code ec;
    step(ec);
    if (!ec) return;
    if (ec != std::errc::interrupted) Fail(std::string(what) + ": " + ec.message());
  }
  Fail(std::string(what) + ": interrupted again and again");
}

int RunInProcess(const std::string& command, std::vector<std::string> arguments) {
  const CommandSpec* found = FindCommand(command);
  if (!found) Fail("no command " + command);
  CommandContext context{Args(std::move(arguments))};
  try {
    return found->run(context);
  } catch (const UsageError&) {
    return kCommandUsage;
  } catch (const std::bad_alloc&) {
    return kCommandFailed;
  }
}

void RunProgram(const std::vector<std::string>& arguments) {
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  // libFuzzer's timer signal interrupts the wait on a slow or loaded machine: wait again.
  pid_t waited = -1;
  if (pid > 0)
    do waited = waitpid(pid, &status, 0);
    while (waited < 0 && errno == EINTR);
  if (pid < 0 || waited != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    Fail("could not run " + arguments[0]);
}

// The sample project: created as new-project does, filled by the sample generator, adjusted
// in 3D (which writes the result files the plane, height and map readers need) and in 2D,
// with its loops searched.
void MakeBase(const Directories& d) {
  test::TestHost host;
  PlatformHost* previous = InstallPlatformHost(&host);
  fs::create_directories(d.base);
  if (RunInProcess("new-project", {"--name", kName, "--dir", d.base.string(), "--grade", "3", "--ellipsoid",
                                   "CGCS2000", "--central-meridian", "114", "--y-constant", "500",
                                   "--instrument-a", "5", "--instrument-b", "1"}) != 0)
    Fail("new-project failed");
  RunProgram({VEMO_SAMPLE_GENERATOR, "--project", (d.base / (std::string(kName) + ".prj")).string()});
  if (!OpenProject((d.base / (std::string(kName) + ".prj")).string())) Fail("cannot open the sample");
  RunInProcess("adjust-3d", {});
  RunInProcess("adjust-2d", {});
  // Both loop files, for the seeds of their readers.
  RunInProcess("async-loops", {});
  std::vector<std::string> periods;
  for (const auto& entry : fs::directory_iterator(d.base))
    if (entry.path().extension() == ".GPS3DVector_S") periods.push_back(entry.path().string());
  std::sort(periods.begin(), periods.end());
  RunInProcess("sync-loops", periods);
  InstallPlatformHost(previous);
}

const Directories& Prepare() {
  static const Directories directories = [] {
    Directories d;
    const char* chosen = std::getenv("VEMO_FUZZ_WORK");
    fs::path parent = chosen ? fs::path(chosen) : fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    d.root = parent / ("vemo-fuzz-" + std::to_string(getpid()));
    d.base = d.root / "base";
    d.project = d.root / "project";
    d.scratch = d.root / "scratch";
    d.settings = d.root / "settings";
    fs::remove_all(d.root);
    fs::create_directories(d.settings);
    setenv("VEMOGPS_CONFIG_DIR", d.settings.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    MakeBase(d);
    if (const char* keep = std::getenv("VEMO_FUZZ_KEEP_SAMPLE")) {  // seeds for scripts/fuzz.sh
      fs::remove_all(keep);
      fs::copy(d.base, keep, fs::copy_options::recursive);
    }
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(Prepare().root, ec);
      std::fprintf(stderr, "fuzz harness: slowest input %.3f s\n", g_SlowestSeconds);
    });
    return d;
  }();
  return directories;
}

}  // namespace

int Input::Select(int count) {
  if (m_Bytes.empty() || count <= 0) return 0;
  const int choice = static_cast<unsigned char>(m_Bytes.front()) % count;
  m_Bytes.remove_prefix(1);
  return choice;
}

Session::Session() {
  const Directories& d = Prepare();
  g_InputStart = std::chrono::steady_clock::now();
  Retry("fresh directories", [&](std::error_code& ec) {
    for (const fs::path& dir : {d.project, d.scratch, d.settings})
      if (fs::remove_all(dir, ec), ec) return;
    if (fs::create_directories(d.scratch, ec), ec) return;
    if (fs::create_directories(d.settings, ec), ec) return;
    fs::copy(d.base, d.project, fs::copy_options::recursive, ec);
  });
  InstallPlatformHost(&host);
  Project() = CProjectState{};
  SetGlobalVal(&Project().configuration, "", "");
  SetApproximateFileMode(0);
  if (!OpenProject(ProjectFile("prj"))) Fail("cannot open the copy of the sample");
}

Session::~Session() {
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - g_InputStart).count();
  if (seconds > g_SlowestSeconds) g_SlowestSeconds = seconds;
  InstallPlatformHost(nullptr);
  Project() = CProjectState{};
  SetGlobalVal(nullptr, "", "");
}

std::string Session::ProjectFile(const std::string& extension) const {
  return (Prepare().project / (std::string(kName) + "." + extension)).string();
}
std::string Session::SampleFile(const std::string& name) const { return (Prepare().base / name).string(); }
std::string Session::TestDataFile(const std::string& name) { return std::string(VEMO_TEST_DATA_DIR) + "/" + name; }
std::string Session::ScratchFile(const std::string& name) const { return (Prepare().scratch / name).string(); }
std::string Session::ProjectDir() const { return Prepare().project.string(); }
std::string Session::SettingsFile() const { return (Prepare().settings / "settings.ini").string(); }

void Session::Write(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int Session::Run(const std::string& command, std::vector<std::string> arguments) {
  return RunInProcess(command, std::move(arguments));
}

}  // namespace vemo::fuzz

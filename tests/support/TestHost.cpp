#include "tests/support/TestHost.h"

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include "project/AppState.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "geodesy/LibraryState.h"

namespace vemo::test {

std::string RecordedMessage::Utf8Text() const { return GbkToUtf8(text); }

namespace {

// No test may read or write the settings of the user who runs it: before any test starts,
// the settings point at a directory of the test run, which tests that need their own
// settings replace.
const struct TestRunSettings {
  TestRunSettings() : dir(std::make_unique<TempDir>()) {
    setenv("VEMOGPS_CONFIG_DIR", (dir->path() / "config").c_str(), 1);
  }
  std::unique_ptr<TempDir> dir;
} g_TestRunSettings;

class RecordingProgress final : public ProgressWindow {
 public:
  explicit RecordingProgress(RecordedProgress& record) : m_Record(record) {}
  void SetTitle(const std::string& gbk) override { m_Record.titles.push_back(gbk); }
  void SetText(const std::string& gbk) override { m_Record.texts.push_back(gbk); }
  void SetPercentText(const std::string& gbk) override { m_Record.percents.push_back(gbk); }

 private:
  RecordedProgress& m_Record;
};

}  // namespace

MessageAnswer TestHost::ShowMessage(const MessageRequest& r) {
  MessageAnswer answer = r.safeAnswer;
  if (r.buttons != MessageButtons::Ok && !m_Answers.empty()) {
    answer = m_Answers.front();
    m_Answers.pop_front();
  }
  messages.push_back({r.text, r.caption, r.icon, r.buttons, r.defaultButton, answer});
  return answer;
}

std::optional<std::vector<std::string>> TestHost::ChooseFiles(const FileDialogRequest& request) {
  fileDialogs.push_back(request);
  if (m_Files.empty()) return std::nullopt;
  auto f = m_Files.front();
  m_Files.pop_front();
  return f;
}

std::optional<std::string> TestHost::ChooseFolder(const std::string& titleGbk, const std::string&) {
  folderTitles.push_back(titleGbk);
  if (m_Folders.empty()) return std::nullopt;
  auto f = m_Folders.front();
  m_Folders.pop_front();
  return f;
}

std::unique_ptr<ProgressWindow> TestHost::OpenProgressWindow(std::function<void()> onCancel) {
  m_OnCancel = std::move(onCancel);
  progress.emplace_back();
  return std::make_unique<RecordingProgress>(progress.back());
}

void TestHost::PumpMessage() {
  ++pumps;
  if (m_CancelAtPump > 0 && pumps == m_CancelAtPump && m_OnCancel) m_OnCancel();
}

void TestHost::BeginWaitCursor() {
  ++waitCursorCount;
  if (++waitCursorDepth > waitCursorMaxDepth) waitCursorMaxDepth = waitCursorDepth;
}

void TestHost::EndWaitCursor() { --waitCursorDepth; }

TempDir::TempDir() {
  static std::mt19937_64 rng{std::random_device{}()};
  std::filesystem::path base = std::filesystem::temp_directory_path();
  for (;;) {
    m_Path = base / ("vemo-test-" + std::to_string(rng()));
    std::error_code ec;
    if (std::filesystem::create_directory(m_Path, ec)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(m_Path, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
  const std::string path = (m_Path / name).string();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file) {
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
  }
  return path;
}

ScopedTestHost::ScopedTestHost() {
  m_Previous = InstallPlatformHost(&host);
  ClearStopRequest();
  setenv("VEMOGPS_CONFIG_DIR", configDir.str().c_str(), 1);
  Project() = CProjectState{};
  SetGlobalVal(&Project().configuration, Project().projectDir, Project().projectName);
}

ScopedTestHost::~ScopedTestHost() {
  InstallPlatformHost(m_Previous);
  Project() = CProjectState{};
  SetGlobalVal(nullptr, "", "");
}

std::string G(const char* utf8) { return Utf8ToGbk(utf8); }

ProgramRun RunProgram(const std::vector<std::string>& arguments, const std::string& configDir,
                      const std::string& workingDir, long interruptAfterUs, int signal) {
  TempDir scratch;
  std::string outPath = (scratch.path() / "out").string();
  std::string errPath = (scratch.path() / "err").string();
  ProgramRun run;
  pid_t pid = fork();
  if (pid == 0) {
    if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) _exit(127);
    setenv("VEMOGPS_CONFIG_DIR", configDir.c_str(), 1);
    setenv("LC_ALL", "C", 1);
    if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr)) _exit(127);
    if (!freopen("/dev/null", "r", stdin)) _exit(127);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(VEMO_PROGRAM));
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(VEMO_PROGRAM, argv.data());
    _exit(127);
  }
  int status = 0;
  if (interruptAfterUs > 0) {
    usleep(static_cast<useconds_t>(interruptAfterUs));
    kill(pid, signal);
  }
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadWholeFile(outPath).value_or("");
  run.err = ReadWholeFile(errPath).value_or("");
  return run;
}

}  // namespace vemo::test

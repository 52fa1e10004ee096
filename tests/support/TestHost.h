// The test host of the platform layer: scripted answers and chosen files, and a record of
// every message, question, progress text and opened document, so tests assert on the exact
// texts. Install it for a test with ScopedTestHost; settings go to a temporary directory.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "geodesy/Platform.h"

namespace vemo::test {

struct RecordedMessage {
  std::string text;     // GBK as given
  std::string caption;  // GBK
  MessageIcon icon;
  MessageButtons buttons;
  int defaultButton;
  MessageAnswer answer;
  std::string Utf8Text() const;
};

struct RecordedProgress {
  std::vector<std::string> titles, texts, percents;  // GBK, every value set, in order
};

class TestHost final : public PlatformHost {
 public:
  // Answers for the next questions, in order; when none is queued the safe answer is given.
  void QueueAnswer(MessageAnswer answer) { m_Answers.push_back(answer); }
  // Results of the next file or folder dialogs; std::nullopt stands for Cancel.
  void QueueFiles(std::optional<std::vector<std::string>> files) { m_Files.push_back(std::move(files)); }
  void QueueFolder(std::optional<std::string> folder) { m_Folders.push_back(std::move(folder)); }
  // Clicks "取消" of the progress window at the n-th pump (counted from 1).
  void CancelAtPump(int n) { m_CancelAtPump = n; }

  std::vector<RecordedMessage> messages;
  std::vector<FileDialogRequest> fileDialogs;
  std::vector<std::string> folderTitles;  // GBK titles of the folder browsers, in order
  std::deque<RecordedProgress> progress;  // a deque keeps each record in place
  std::vector<std::string> openedDocuments, openedMaps;
  std::vector<std::string> shownTexts;  // GBK
  int pumps = 0;
  int waitCursorDepth = 0, waitCursorMaxDepth = 0, waitCursorCount = 0;

  MessageAnswer ShowMessage(const MessageRequest& request) override;
  std::optional<std::vector<std::string>> ChooseFiles(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& titleGbk, const std::string& initialDirectory) override;
  std::unique_ptr<ProgressWindow> OpenProgressWindow(std::function<void()> onCancel) override;
  void PumpMessage() override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void OpenTextDocument(const std::string& path) override { openedDocuments.push_back(path); }
  void OpenNetworkMap(const std::string& path) override { openedMaps.push_back(path); }
  void ShowText(const std::string&, const std::string& textGbk) override { shownTexts.push_back(textGbk); }

 private:
  std::deque<MessageAnswer> m_Answers;
  std::deque<std::optional<std::vector<std::string>>> m_Files;
  std::deque<std::optional<std::string>> m_Folders;
  std::function<void()> m_OnCancel;
  int m_CancelAtPump = 0;
};

// A temporary directory removed at the end of the scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return m_Path; }
  std::string str() const { return m_Path.string(); }
  // Writes content as the file name in the directory; returns its path.
  std::string Write(const std::string& name, const std::string& content) const;

 private:
  std::filesystem::path m_Path;
};

// Installs a fresh TestHost, points the settings at a temporary directory and resets the
// program's project state for one test.
class ScopedTestHost {
 public:
  ScopedTestHost();
  ~ScopedTestHost();
  TestHost host;
  TempDir configDir;

 private:
  PlatformHost* m_Previous;
};

// UTF-8 literal -> GBK bytes, for expectations.
std::string G(const char* utf8);

// Runs the built program with arguments; captures its exit status and outputs. With
// interruptAfterUs, the signal (Ctrl-C's SIGINT unless told) is sent that many microseconds
// after the start.
struct ProgramRun {
  int status = -1;  // -1 when a signal ended the program
  std::string out, err;
};
ProgramRun RunProgram(const std::vector<std::string>& arguments, const std::string& configDir,
                      const std::string& workingDir = "", long interruptAfterUs = 0, int signal = 2);

}  // namespace vemo::test

// The platform layer: the one interface through which engines and commands talk to a person.
// It stands in for the message boxes, common dialogs, progress window, message pump, wait
// cursor and document windows of the original desktop platform. A host (command line, test,
// desktop) is installed once at start-up; engines never touch the terminal or a toolkit.
//
// Texts (message text, caption, titles, filter descriptions) are GBK bytes, as everywhere
// inside the program; the host converts them for display. Paths are native file-system
// paths (UTF-8 on Linux).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vemo {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

struct MessageRequest {
  std::string text;     // GBK
  std::string caption;  // GBK
  MessageIcon icon = MessageIcon::Warning;
  MessageButtons buttons = MessageButtons::Ok;
  int defaultButton = 0;  // index of the default button, counted from 0
  // The answer that keeps the user's existing files and data; a host without a person to
  // ask (the command line without --yes/--no) gives this one.
  MessageAnswer safeAnswer = MessageAnswer::Ok;
};

struct FileFilter {
  std::string description;  // GBK, e.g. "GPS工程文件(*.PRJ)"
  std::string pattern;      // e.g. "*.PRJ"; several patterns separated by ';'
};

struct FileDialogRequest {
  bool open = true;  // false: a save dialog
  std::string title;  // GBK; empty means the host's default title
  std::vector<FileFilter> filters;
  std::string initialDirectory;
  std::string defaultName;
  bool mustExist = true;          // open dialogs only
  bool allowMultiple = false;
};

// The modeless progress window of a computation. The model (CDisplayMessageDlg) drives it.
class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;
  virtual void SetTitle(const std::string& gbk) = 0;
  virtual void SetText(const std::string& gbk) = 0;         // the message line
  virtual void SetPercentText(const std::string& gbk) = 0;  // the percentage control
};

class PlatformHost {
 public:
  virtual ~PlatformHost() = default;

  // A modal message box or question; returns the answer.
  virtual MessageAnswer ShowMessage(const MessageRequest& request) = 0;

  // File-open or file-save dialog: the chosen paths, or nothing when cancelled.
  virtual std::optional<std::vector<std::string>> ChooseFiles(const FileDialogRequest& request) = 0;

  // Folder browser: the chosen folder, or nothing when cancelled.
  virtual std::optional<std::string> ChooseFolder(const std::string& titleGbk,
                                                  const std::string& initialDirectory) = 0;

  // Opens a modeless progress window. onCancel is called when the person asks to cancel
  // (on the desktop a click on the cancel button, seen during PumpMessage).
  virtual std::unique_ptr<ProgressWindow> OpenProgressWindow(std::function<void()> onCancel) = 0;

  // Dispatches at most one pending user-interface event; never waits.
  virtual void PumpMessage() = 0;

  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;

  // Requests to show a file: in the text viewer, or as a network map.
  virtual void OpenTextDocument(const std::string& path) = 0;
  virtual void OpenNetworkMap(const std::string& path) = 0;

  // Shows a text that is no file (a listing, the help): the desktop opens an untitled text
  // document, the command line prints it on standard output.
  virtual void ShowText(const std::string& titleGbk, const std::string& textGbk) = 0;

  // The viewing commands ("打开(&O)...", the result views) show a document's content where
  // the host has no viewer: the command line prints what opens from then on. A host with a
  // viewer of its own ignores the request.
  virtual void ShowDocumentContents() {}
};

// The installed host. Before any host is installed a silent host answers every question with
// its safe answer and opens nothing, so library code is never left without one.
PlatformHost& Platform();

// Installs a host (not owned; it must outlive its use). Passing nullptr restores the silent
// host. Returns the previous host.
PlatformHost* InstallPlatformHost(PlatformHost* host);

// Convenience for the common cases.
MessageAnswer ShowMessage(const std::string& textGbk, const std::string& captionGbk,
                          MessageIcon icon = MessageIcon::Warning,
                          MessageButtons buttons = MessageButtons::Ok, int defaultButton = 0);

// A Yes/No question; safeAnswer is what a host without a person answers.
bool AskYesNo(const std::string& textGbk, const std::string& captionGbk, MessageIcon icon,
              int defaultButton, MessageAnswer safeAnswer);

// The person's request to stop the running command: Ctrl-C on the command line, "取消" of a
// progress window on the desktop. It stays set until the next command starts (a later progress
// window does not clear it): the computation stops at its next stage, and no result file is
// replaced after it (CReportFile), so every file is the old one or a complete new one.
// RequestStop is safe in a signal handler.
void RequestStop();
bool StopRequested();
void ClearStopRequest();

// The wait cursor for the life of a scope.
class CWaitCursor {
 public:
  CWaitCursor() { Platform().BeginWaitCursor(); }
  ~CWaitCursor() { Platform().EndWaitCursor(); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
};

}  // namespace vemo

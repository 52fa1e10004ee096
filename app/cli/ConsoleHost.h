// The command-line host of the platform layer: messages on standard error as "caption: text"
// in UTF-8; questions answered by --yes / --no, otherwise by the answer that keeps existing
// files; every opened document printed as its path on standard output (and its content with
// --print); the progress window as one updating line on standard error when that is a
// terminal. File and folder dialogs return what the command put in from its arguments. While a
// host lives (the command), Ctrl-C requests the command's stop (vemo::RequestStop).
#pragma once

#include <signal.h>

#include <deque>
#include <optional>
#include <string>

#include "geodesy/Platform.h"

namespace vemo {

class ConsoleHost final : public PlatformHost {
 public:
  enum class Answers { Safe, Yes, No };

  ConsoleHost();
  ~ConsoleHost() override;

  void SetAnswers(Answers answers) { m_Answers = answers; }
  void SetPrintDocuments(bool print) { m_Print = print; }
  void ShowDocumentContents() override { m_Print = true; }
  // The path the next file or folder dialog returns (the command's argument).
  void PresetChoice(const std::string& path) { m_Choices.push_back(path); }

  MessageAnswer ShowMessage(const MessageRequest& request) override;
  std::optional<std::vector<std::string>> ChooseFiles(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& titleGbk, const std::string& initialDirectory) override;
  std::unique_ptr<ProgressWindow> OpenProgressWindow(std::function<void()> onCancel) override;
  void PumpMessage() override;
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  void OpenTextDocument(const std::string& path) override;
  void OpenNetworkMap(const std::string& path) override;
  void ShowText(const std::string& titleGbk, const std::string& textGbk) override;

 private:
  Answers m_Answers = Answers::Safe;
  bool m_Print = false;
  std::deque<std::string> m_Choices;
  struct sigaction m_PreviousInterrupt {};
};

}  // namespace vemo

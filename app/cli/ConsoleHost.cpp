#include "app/cli/ConsoleHost.h"

#include <unistd.h>

#include <signal.h>
#include <cstdio>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "project/AppState.h"

namespace vemo {
namespace {

// The first Ctrl-C asks the command to stop at its next stage; the handler is then the
// default again, so that a second one ends the process at once (every file it replaces is
// still the old or the new one: they are written beside and renamed).
extern "C" void OnInterrupt(int) { RequestStop(); }

const char* AnswerName(MessageAnswer a) {
  switch (a) {
    case MessageAnswer::Ok: return "OK";
    case MessageAnswer::Cancel: return "Cancel";
    case MessageAnswer::Yes: return "Yes";
    case MessageAnswer::No: return "No";
    case MessageAnswer::Retry: return "Retry";
  }
  return "";
}

bool IsQuestion(MessageButtons b) { return b != MessageButtons::Ok; }

// One line on standard error that rewrites itself; only on a terminal, so redirected output
// stays free of progress noise.
class ConsoleProgress final : public ProgressWindow {
 public:
  ConsoleProgress() { m_Tty = ::isatty(STDERR_FILENO) != 0; }
  ~ConsoleProgress() override {
    if (m_Tty && m_Shown) std::fputs("\r\033[K", stderr);
  }
  void SetTitle(const std::string& gbk) override { m_Title = GbkToUtf8(gbk); Draw(); }
  void SetText(const std::string& gbk) override { m_Text = GbkToUtf8(gbk); Draw(); }
  void SetPercentText(const std::string& gbk) override { m_Percent = GbkToUtf8(gbk); Draw(); }

 private:
  void Draw() {
    if (!m_Tty) return;
    std::fprintf(stderr, "\r\033[K%s: %s %s", m_Title.c_str(), m_Text.c_str(), m_Percent.c_str());
    std::fflush(stderr);
    m_Shown = true;
  }
  bool m_Tty = false;
  bool m_Shown = false;
  std::string m_Title, m_Text, m_Percent;
};

}  // namespace

// Ctrl-C is caught for the whole command, not only while a progress window is open: the
// stages without one (a factorisation, the writing of a report) stop as well, at their end.
ConsoleHost::ConsoleHost() {
  ClearStopRequest();
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &action, &m_PreviousInterrupt);
}

ConsoleHost::~ConsoleHost() {
  sigaction(SIGINT, &m_PreviousInterrupt, nullptr);
  ClearStopRequest();
}

MessageAnswer ConsoleHost::ShowMessage(const MessageRequest& request) {
  MessageAnswer answer = request.safeAnswer;
  if (IsQuestion(request.buttons)) {
    bool hasYes = request.buttons == MessageButtons::YesNo || request.buttons == MessageButtons::YesNoCancel;
    if (m_Answers == Answers::Yes) answer = hasYes ? MessageAnswer::Yes : MessageAnswer::Ok;
    if (m_Answers == Answers::No) answer = hasYes ? MessageAnswer::No : MessageAnswer::Cancel;
  }
  // The system's title names the program: the person reads it in the interface's language.
  const std::string& caption = request.caption == AppTitle() ? std::string(UiAppTitle()) : request.caption;
  std::string line = GbkToUtf8(caption) + ": " + GbkToUtf8(request.text);
  if (IsQuestion(request.buttons)) line += std::string(" [") + AnswerName(answer) + "]";
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  return answer;
}

std::optional<std::vector<std::string>> ConsoleHost::ChooseFiles(const FileDialogRequest&) {
  if (m_Choices.empty()) return std::nullopt;
  std::vector<std::string> chosen{m_Choices.front()};
  m_Choices.pop_front();
  return chosen;
}

std::optional<std::string> ConsoleHost::ChooseFolder(const std::string&, const std::string&) {
  if (m_Choices.empty()) return std::nullopt;
  std::string chosen = m_Choices.front();
  m_Choices.pop_front();
  return chosen;
}

// Ctrl-C reaches the computation through the stop request, which its progress model reads.
std::unique_ptr<ProgressWindow> ConsoleHost::OpenProgressWindow(std::function<void()>) {
  return std::make_unique<ConsoleProgress>();
}

void ConsoleHost::PumpMessage() {}

void ConsoleHost::OpenTextDocument(const std::string& path) {
  std::printf("%s\n", path.c_str());
  if (m_Print) {
    if (auto content = ReadWholeFile(path)) {
      std::string text = GbkToUtf8(*content);
      std::fwrite(text.data(), 1, text.size(), stdout);
      if (!text.empty() && text.back() != '\n') std::fputc('\n', stdout);
    }
  }
  std::fflush(stdout);
}

void ConsoleHost::ShowText(const std::string&, const std::string& textGbk) {
  std::string text = GbkToUtf8(textGbk);
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (!text.empty() && text.back() != '\n') std::fputc('\n', stdout);
  std::fflush(stdout);
}

void ConsoleHost::OpenNetworkMap(const std::string& path) {
  std::printf("%s\n", path.c_str());
  std::fflush(stdout);
}

}  // namespace vemo

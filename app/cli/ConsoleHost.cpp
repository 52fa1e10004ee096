#include "app/cli/ConsoleHost.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"

namespace vemo {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) { g_interrupted = 1; }

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
// stays free of progress noise. While it is open, Ctrl-C asks the computation to cancel.
class ConsoleProgress final : public ProgressWindow {
 public:
  explicit ConsoleProgress(std::function<void()>& onCancelSlot) : m_Slot(onCancelSlot) {
    m_Tty = ::isatty(STDERR_FILENO) != 0;
    g_interrupted = 0;
    m_Previous = std::signal(SIGINT, OnInterrupt);
  }
  ~ConsoleProgress() override {
    if (m_Tty && m_Shown) std::fputs("\r\033[K", stderr);
    std::signal(SIGINT, m_Previous == SIG_ERR ? SIG_DFL : m_Previous);
    m_Slot = nullptr;
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
  std::function<void()>& m_Slot;
  bool m_Tty = false;
  bool m_Shown = false;
  void (*m_Previous)(int) = SIG_DFL;
  std::string m_Title, m_Text, m_Percent;
};

}  // namespace

ConsoleHost::ConsoleHost() = default;
ConsoleHost::~ConsoleHost() = default;

MessageAnswer ConsoleHost::ShowMessage(const MessageRequest& request) {
  MessageAnswer answer = request.safeAnswer;
  if (IsQuestion(request.buttons)) {
    bool hasYes = request.buttons == MessageButtons::YesNo || request.buttons == MessageButtons::YesNoCancel;
    if (m_Answers == Answers::Yes) answer = hasYes ? MessageAnswer::Yes : MessageAnswer::Ok;
    if (m_Answers == Answers::No) answer = hasYes ? MessageAnswer::No : MessageAnswer::Cancel;
  }
  std::string line = GbkToUtf8(request.caption) + ": " + GbkToUtf8(request.text);
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

std::unique_ptr<ProgressWindow> ConsoleHost::OpenProgressWindow(std::function<void()> onCancel) {
  m_OnCancel = std::move(onCancel);
  return std::make_unique<ConsoleProgress>(m_OnCancel);
}

void ConsoleHost::PumpMessage() {
  if (g_interrupted && m_OnCancel) {
    g_interrupted = 0;
    m_OnCancel();
  }
}

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

#include "geodesy/Platform.h"

#include <atomic>

namespace vemo {
namespace {

class SilentProgressWindow final : public ProgressWindow {
 public:
  void SetTitle(const std::string&) override {}
  void SetText(const std::string&) override {}
  void SetPercentText(const std::string&) override {}
};

class SilentHost final : public PlatformHost {
 public:
  MessageAnswer ShowMessage(const MessageRequest& request) override { return request.safeAnswer; }
  std::optional<std::vector<std::string>> ChooseFiles(const FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::unique_ptr<ProgressWindow> OpenProgressWindow(std::function<void()>) override {
    return std::make_unique<SilentProgressWindow>();
  }
  void PumpMessage() override {}
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  void OpenTextDocument(const std::string&) override {}
  void OpenNetworkMap(const std::string&) override {}
  void ShowText(const std::string&, const std::string&) override {}
};

SilentHost& Silent() {
  static SilentHost host;
  return host;
}

PlatformHost* g_host = nullptr;

// Lock-free, so that a signal handler may set it.
std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free);

}  // namespace

PlatformHost& Platform() { return g_host ? *g_host : Silent(); }

PlatformHost* InstallPlatformHost(PlatformHost* host) {
  PlatformHost* previous = g_host;
  g_host = host;
  return previous;
}

namespace {

MessageRequest Request(const std::string& textGbk, const std::string& captionGbk, MessageIcon icon,
                       MessageButtons buttons, int defaultButton, MessageAnswer safeAnswer) {
  MessageRequest request;
  request.text = textGbk;
  request.caption = captionGbk;
  request.icon = icon;
  request.buttons = buttons;
  request.defaultButton = defaultButton;
  request.safeAnswer = safeAnswer;
  return request;
}

}  // namespace

MessageAnswer ShowMessage(const std::string& textGbk, const std::string& captionGbk, MessageIcon icon,
                          MessageButtons buttons, int defaultButton) {
  MessageAnswer safe = buttons == MessageButtons::Ok      ? MessageAnswer::Ok
                       : buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                          : MessageAnswer::Cancel;
  return Platform().ShowMessage(Request(textGbk, captionGbk, icon, buttons, defaultButton, safe));
}

bool AskYesNo(const std::string& textGbk, const std::string& captionGbk, MessageIcon icon,
              int defaultButton, MessageAnswer safeAnswer) {
  return Platform().ShowMessage(Request(textGbk, captionGbk, icon, MessageButtons::YesNo, defaultButton,
                                        safeAnswer)) == MessageAnswer::Yes;
}

void RequestStop() { g_stop.store(true, std::memory_order_relaxed); }
bool StopRequested() { return g_stop.load(std::memory_order_relaxed); }
void ClearStopRequest() { g_stop.store(false, std::memory_order_relaxed); }

}  // namespace vemo

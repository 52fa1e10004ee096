// The desktop host of the platform layer: message boxes, questions, file and folder dialogs,
// the modeless progress window and the wait cursor as Qt widgets; opened documents go to the
// main window's text viewer and map view.
#pragma once

#include <QElapsedTimer>
#include <QPointer>

#include "geodesy/Platform.h"

class QWidget;

namespace vemo {

class MainWindow;

class DesktopHost final : public PlatformHost {
 public:
  explicit DesktopHost(MainWindow* window = nullptr) : m_Window(window) {}
  void SetMainWindow(MainWindow* window) { m_Window = window; }

  MessageAnswer ShowMessage(const MessageRequest& request) override;
  std::optional<std::vector<std::string>> ChooseFiles(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& titleGbk, const std::string& initialDirectory) override;
  std::unique_ptr<ProgressWindow> OpenProgressWindow(std::function<void()> onCancel) override;
  void PumpMessage() override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void OpenTextDocument(const std::string& path) override;
  void OpenNetworkMap(const std::string& path) override;
  void ShowText(const std::string& titleGbk, const std::string& textGbk) override;

  // The "取消" of the progress window that is open, if any (the main window uses it when it is
  // closed during a computation).
  void CancelRunningComputation();

 private:
  QWidget* Parent() const;

  MainWindow* m_Window;
  QElapsedTimer m_LastPump;
  int m_WaitDepth = 0;
};

// The Qt filter string of one of the system's filters: the description, followed by the
// pattern in parentheses unless the description already ends with it ("GPS数据文件(*.GPS*)").
QString QtFilter(const FileFilter& filter);

}  // namespace vemo

// Support of the desktop tests: a registry of the test classes (each runs as its own ctest
// entry), a watcher that answers the modal dialogs the desktop opens, and the sample project
// made by the program and the sample generator in a temporary directory.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/desktop/DesktopHost.h"
#include "app/desktop/MainWindow.h"

namespace vemo::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::map<std::string, TestFactory>& DesktopTests();

struct RegisterDesktopTest {
  RegisterDesktopTest(const char* name, TestFactory factory) { DesktopTests()[name] = std::move(factory); }
};
#define VEMO_DESKTOP_TEST(Class) \
  static ::vemo::test::RegisterDesktopTest register##Class(#Class, [] { return std::make_unique<Class>(); })

// Answers every modal window that opens while it lives: message boxes are recorded and
// answered (by the queued button, else by their default button); other dialogs go to the
// handler (which closes them), or are rejected.
//
// The timer only notices a modal window; the answer is posted and runs from the modal's own
// event loop. Answering inside the timer's slot would hang whenever the answer opens another
// modal window (an accepted form that shows a message), since Qt does not fire a timer again
// while its slot is still running.
class ModalWatcher final : public QObject {
 public:
  ModalWatcher();
  QStringList messages;  // texts of the message boxes, in order
  std::deque<QMessageBox::StandardButton> answers;
  std::function<void(QWidget*)> handler;

 private:
  void Poll();
  void Answer(QWidget* modal);
  QTimer m_Timer;
  QPointer<QWidget> m_Pending;
};

// Chooses path in a file dialog and accepts it. The name goes into the dialog's name field,
// which QFileDialog::selectFile leaves alone once the field has the focus (it has once the
// dialog window is active, which under load can come before the watcher looks).
void AcceptFileDialog(QWidget* dialog, const QString& path);


// A fresh per-user settings folder and an empty project state for one test.
class DesktopScope {
 public:
  DesktopScope();
  ~DesktopScope();
  QTemporaryDir config;
};

// The sample project ("sample.prj" with its data) made in dir; returns the project file.
QString MakeSampleProject(const QString& dir);

// A main window as start-up makes it, with the desktop host installed, shown.
struct Desktop {
  Desktop();
  ~Desktop();
  // Opens a project as "打开工程" does, and enables the menus by it.
  bool Open(const QString& prj);
  bool Enabled(CommandId id) const;
  int Windows() const;
  DesktopHost host;
  MainWindow window;
  PlatformHost* previous;
};

// Runs the program with arguments (settings in configDir); returns its exit status.
int RunProgram(const QStringList& arguments, const QString& configDir);

}  // namespace vemo::test

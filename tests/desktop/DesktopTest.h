// Support of the desktop tests: a registry of the test classes (each runs as its own ctest
// entry), a watcher that answers the modal dialogs the desktop opens, and the sample project
// made by the program and the sample generator in a temporary directory.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

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
class ModalWatcher final : public QObject {
 public:
  ModalWatcher();
  QStringList messages;  // texts of the message boxes, in order
  std::deque<QMessageBox::StandardButton> answers;
  std::function<void(QWidget*)> handler;

 private:
  void Poll();
  QTimer m_Timer;
};

// A fresh per-user settings folder and an empty project state for one test.
class DesktopScope {
 public:
  DesktopScope();
  ~DesktopScope();
  QTemporaryDir config;
};

// The sample project ("sample.prj" with its data) made in dir; returns the project file.
QString MakeSampleProject(const QString& dir);

// Runs the program with arguments (settings in configDir); returns its exit status.
int RunProgram(const QStringList& arguments, const QString& configDir);

}  // namespace vemo::test

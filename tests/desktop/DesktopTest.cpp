#include "tests/desktop/DesktopTest.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QProcess>
#include <QTest>
#include <cstdio>

#include "geodesy/LibraryState.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"

namespace vemo::test {

std::map<std::string, TestFactory>& DesktopTests() {
  static std::map<std::string, TestFactory> tests;
  return tests;
}

ModalWatcher::ModalWatcher() {
  connect(&m_Timer, &QTimer::timeout, this, &ModalWatcher::Poll);
  m_Timer.start(20);
}

void ModalWatcher::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || !modal->isVisible() || m_Pending == modal) return;
  m_Pending = modal;
  QMetaObject::invokeMethod(this, [this, window = QPointer<QWidget>(modal)] {
    m_Pending = nullptr;
    // Still the modal window that was seen: the answer is given once.
    if (window && window == QApplication::activeModalWidget() && window->isVisible()) Answer(window);
  }, Qt::QueuedConnection);
}

void ModalWatcher::Answer(QWidget* modal) {
  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    messages << box->text();
    QAbstractButton* button = nullptr;
    if (!answers.empty()) {
      button = box->button(answers.front());
      answers.pop_front();
    }
    if (!button) button = box->defaultButton();
    if (button) button->click();
    else box->reject();
    return;
  }
  if (handler) handler(modal);
  else if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
}

void AcceptFileDialog(QWidget* modal, const QString& path) {
  auto* dialog = qobject_cast<QFileDialog*>(modal);
  if (!dialog) return;
  auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (name) name->setText(path);
  else dialog->selectFile(path);
  static_cast<QDialog*>(dialog)->accept();
}

Desktop::Desktop() : window(host) {
  previous = InstallPlatformHost(&host);
  host.SetMainWindow(&window);
  window.ReopenLastProject();
  window.show();
}

Desktop::~Desktop() {
  host.SetMainWindow(nullptr);
  InstallPlatformHost(previous);
}

bool Desktop::Open(const QString& prj) {
  const bool opened = OpenProject(prj.toStdString()) != 0;
  window.UpdateMenus();
  return opened;
}

bool Desktop::Enabled(CommandId id) const { return window.CommandAction(id)->isEnabled(); }

int Desktop::Windows() const { return static_cast<int>(window.Mdi()->subWindowList().size()); }

DesktopScope::DesktopScope() {
  qputenv("VEMOGPS_CONFIG_DIR", config.path().toUtf8());
  Project() = CProjectState{};
  SetGlobalVal(&Project().configuration, Project().projectDir, Project().projectName);
}

DesktopScope::~DesktopScope() {
  Project() = CProjectState{};
  SetGlobalVal(nullptr, "", "");
}

int RunProgram(const QStringList& arguments, const QString& configDir) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("VEMOGPS_CONFIG_DIR"), configDir);
  process.setProcessEnvironment(environment);
  process.start(QString::fromUtf8(VEMO_PROGRAM), arguments);
  process.waitForFinished(30000);
  return process.exitCode();
}

QString MakeSampleProject(const QString& dir) {
  QTemporaryDir config;
  const QString project = dir + QStringLiteral("/sample");
  RunProgram({"new-project", "--name", "sample", "--dir", project, "--grade", "3", "--ellipsoid", "CGCS2000",
              "--central-meridian", "114", "--y-constant", "500"},
             config.path());
  const QString prj = project + QStringLiteral("/sample.prj");
  QProcess generator;
  generator.start(QString::fromUtf8(VEMO_SAMPLE_GENERATOR), {QStringLiteral("--project"), prj});
  generator.waitForFinished(30000);
  return prj;
}

}  // namespace vemo::test

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The test classes named on the command line, or all of them.
  std::vector<std::string> names;
  for (int i = 1; i < argc; ++i) names.emplace_back(argv[i]);
  if (names.empty())
    for (const auto& [name, factory] : vemo::test::DesktopTests()) names.push_back(name);
  int failures = 0;
  for (const auto& name : names) {
    auto it = vemo::test::DesktopTests().find(name);
    if (it == vemo::test::DesktopTests().end()) {
      std::fprintf(stderr, "no desktop test %s\n", name.c_str());
      return 2;
    }
    std::unique_ptr<QObject> test = it->second();
    char program[] = "vemo_desktop_tests";
    char* arguments[] = {program};
    failures += QTest::qExec(test.get(), 1, arguments);
  }
  return failures == 0 ? 0 : 1;
}

// The main window: the enabling rule at start-up and after "打开工程", computation commands
// that open their report or nothing, one window per document, the line pane.
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTest>

#include "app/commands/CommandTable.h"
#include "app/desktop/DesktopHost.h"
#include "app/desktop/GbkText.h"
#include "app/desktop/MainWindow.h"
#include "app/desktop/TextView.h"
#include "geodesy/Platform.h"
#include "geodesy/Settings.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_Dir;
  QString m_Project;

  // Opens the sample project as "打开工程" does through its file dialog.
  void OpenThroughMenu(Desktop& d, ModalWatcher& watcher) {
    watcher.handler = [this](QWidget* modal) { AcceptFileDialog(modal, m_Project); };
    d.window.CommandAction(CommandId::OpenProject)->trigger();
    watcher.handler = nullptr;
  }

 private slots:
  void initTestCase() {
    m_Project = MakeSampleProject(m_Dir.path());
    QVERIFY(QFile::exists(m_Project));
  }

  void enablingRuleFollowsTheOpenProject() {
    DesktopScope scope;
    // The first start, with no project to reopen: the commands needing one are disabled.
    Desktop d;
    QVERIFY(!d.Enabled(CommandId::Adjust3d));
    QVERIFY(!d.Enabled(CommandId::ShowResult3d));
    QVERIFY(d.Enabled(CommandId::Settings));
    for (CommandId conversion :
         {CommandId::XyzToBlh, CommandId::BlhToXyz, CommandId::BlToXy, CommandId::XyToBl, CommandId::ChangeZone})
      QVERIFY(d.Enabled(conversion));
    // Stability analysis is not subject to the rule: only a missing engine disables it.
    QCOMPARE(d.Enabled(CommandId::Stability), FindMenuCommand(CommandId::Stability)->run != nullptr);
    QVERIFY(d.window.windowTitle().startsWith(QString::fromUtf8(u8"VemoGPS－GPS工程测量网通用平差软件包")));

    ModalWatcher watcher;
    OpenThroughMenu(d, watcher);
    QCOMPARE(Project().projectOpen, 1);
    for (const CommandSpec& c : MenuCommands()) {
      if (!c.needsProject || c.id == CommandId::None) continue;
      QCOMPARE(d.Enabled(c.id), c.run != nullptr);
      if (!c.run) QVERIFY(d.window.CommandAction(c.id)->toolTip().contains(QString::fromUtf8(u8"尚未提供")));
    }
    QVERIFY(d.window.windowTitle().endsWith(QStringLiteral("[sample]")));
    QVERIFY(watcher.messages.isEmpty());
  }

  void computationOpensItsReportOnceAndAFailedOneNothing() {
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    QVERIFY(d.Open(m_Project));
    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    QCOMPARE(d.window.LastStatus(), 0);
    QCOMPARE(d.Windows(), 1);
    QVERIFY(d.window.ActiveTextView()->Path().endsWith(QStringLiteral("sample.GPS3dResult")));
    QVERIFY(d.window.ActiveTextView()->toPlainText().contains(QString::fromUtf8(u8"平差")));
    // The report again, through the viewing command: the one window is activated.
    d.window.CommandAction(CommandId::ShowResult3d)->trigger();
    QCOMPARE(d.Windows(), 1);

    // Without its vector file the adjustment fails with the loader's message: nothing opens,
    // and the window takes the next command.
    const QString vectors = QFileInfo(m_Project).path() + QStringLiteral("/sample.GPS3dVector");
    QVERIFY(QFile::rename(vectors, vectors + QStringLiteral(".away")));
    d.window.Mdi()->closeAllSubWindows();
    QCoreApplication::processEvents();
    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    QVERIFY(QFile::rename(vectors + QStringLiteral(".away"), vectors));
    QCOMPARE(d.window.LastStatus(), 1);
    QCOMPARE(d.Windows(), 0);
    QCOMPARE(watcher.messages.size(), 1);
    QVERIFY(watcher.messages[0].contains(QStringLiteral("sample.GPS3dVector")));
    QVERIFY(d.Enabled(CommandId::Adjust3d));
    // Nor does the report of the run before stay to be shown as this one's.
    d.window.CommandAction(CommandId::ShowResult3d)->trigger();
    QCOMPARE(d.Windows(), 0);
    QCOMPARE(watcher.messages.size(), 2);
    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    QCOMPARE(d.window.LastStatus(), 0);
  }

  void anOpenReportFollowsTheRunsOfItsCommand() {
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    QVERIFY(d.Open(m_Project));
    const QString dir = QFileInfo(m_Project).path();
    const QString known = dir + QStringLiteral("/sample.GPS3dKnownXYZ");
    const QString reportPath = dir + QStringLiteral("/sample.GPS3dResult");
    QFile file(known);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray allKnown = file.readAll();
    file.close();
    auto writeKnown = [&](const QByteArray& bytes) {
      QFile out(known);
      QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
      out.write(bytes);
    };
    auto onDisk = [&] {
      QFile in(reportPath);
      return in.open(QIODevice::ReadOnly) ? DecodeGbkPreserving(in.readAll().toStdString()).text : QString();
    };
    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    TextView* report = d.window.ActiveTextView();
    QVERIFY(report);
    const QString first = report->toPlainText();

    // Run again with a known point fewer: the unedited report shows the new numbers.
    writeKnown(allKnown.left(allKnown.lastIndexOf('\n', allKnown.size() - 2) + 1));
    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    QCOMPARE(d.Windows(), 1);
    QVERIFY(report->toPlainText() != first);
    QCOMPARE(report->toPlainText(), onDisk());
    QVERIFY(!report->document()->isModified());

    // With unsaved edits it asks: "否" keeps them, "是" reads the new report.
    report->moveCursor(QTextCursor::End);
    report->insertPlainText(QStringLiteral("note\n"));
    writeKnown(allKnown);
    watcher.answers = {QMessageBox::No};
    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    QCOMPARE(watcher.messages.size(), 1);
    QVERIFY(watcher.messages[0].contains(QStringLiteral("sample.GPS3dResult")));
    QVERIFY(report->toPlainText().endsWith(QStringLiteral("note\n")));
    watcher.answers = {QMessageBox::Yes};
    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    QCOMPARE(watcher.messages.size(), 2);
    QCOMPARE(report->toPlainText(), first);

    // A failed run takes its report away, and the view of it closes.
    const QString vectors = dir + QStringLiteral("/sample.GPS3dVector");
    QVERIFY(QFile::rename(vectors, vectors + QStringLiteral(".away")));
    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    QVERIFY(QFile::rename(vectors + QStringLiteral(".away"), vectors));
    QTRY_COMPARE(d.Windows(), 0);
    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    QCOMPARE(d.window.LastStatus(), 0);
  }

  void theLastProjectIsReopenedAndListedApartFromFiles() {
    DesktopScope scope;
    // A second project beside the sample: its own folder, the sample's parameters.
    const QString secondDir = m_Dir.path() + QStringLiteral("/second");
    const QString second = secondDir + QStringLiteral("/second.prj");
    QVERIFY(QDir().mkpath(secondDir));
    QFile::remove(second);
    QVERIFY(QFile::copy(m_Project, second));
    const QString sampleDir = QFileInfo(m_Project).path();
    QVERIFY(CSettingsStore::SetString("Gps Settings", "Last GPS Project Path", sampleDir.toStdString()));
    QVERIFY(CSettingsStore::SetString("Gps Settings", "Last GPS Project", "sample"));
    {
      Desktop d;
      ModalWatcher watcher;
      QCOMPARE(Project().projectOpen, 1);
      QVERIFY(d.Enabled(CommandId::Adjust3d));
      QVERIFY(d.Enabled(CommandId::ShowResult3d));
      QVERIFY(d.window.windowTitle().endsWith(QStringLiteral("[sample]")));
      QMenu* projects = d.window.RecentProjectMenu();
      QCOMPARE(projects->actions().size(), 1);
      QVERIFY(projects->actions()[0]->text().endsWith(QStringLiteral("/sample.prj")));

      // "打开工程" puts the other project on top; the list reopens the sample.
      watcher.handler = [&](QWidget* modal) { AcceptFileDialog(modal, second); };
      d.window.CommandAction(CommandId::OpenProject)->trigger();
      watcher.handler = nullptr;
      QVERIFY(d.window.windowTitle().endsWith(QStringLiteral("[second]")));
      QCOMPARE(projects->actions().size(), 2);
      QVERIFY(projects->actions()[0]->text().endsWith(QStringLiteral("/second.prj")));
      projects->actions()[1]->trigger();
      QCOMPARE(Project().projectName, std::string("sample"));
      QVERIFY(d.window.windowTitle().endsWith(QStringLiteral("[sample]")));
      QVERIFY(projects->actions()[0]->text().endsWith(QStringLiteral("/sample.prj")));

      // A project file viewed as text is no recent file; a data file is.
      QVERIFY(d.window.OpenTextDocument(m_Project));
      QVERIFY(d.window.OpenTextDocument(sampleDir + QStringLiteral("/sample.GPS3dVector")));
      const std::vector<std::string> files = CSettingsStore::RecentFiles();
      QCOMPARE(files.size(), size_t{1});
      QVERIFY(QString::fromStdString(files[0]).endsWith(QStringLiteral("sample.GPS3dVector")));
      QVERIFY(watcher.messages.isEmpty());
    }

    // A remembered project whose file is gone is not opened: nothing would work in it.
    QVERIFY(QFile::remove(second));
    QVERIFY(CSettingsStore::SetString("Gps Settings", "Last GPS Project Path", secondDir.toStdString()));
    QVERIFY(CSettingsStore::SetString("Gps Settings", "Last GPS Project", "second"));
    Project() = CProjectState{};
    Desktop d;
    QCOMPARE(Project().projectOpen, 0);
    QVERIFY(!d.Enabled(CommandId::Adjust3d));
    QVERIFY(!d.window.windowTitle().contains(QStringLiteral("[second]")));
  }

  void openingAFileElsewhereLeavesTheProjectWhereItIs() {
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    QVERIFY(d.Open(m_Project));
    const QString sampleDir = QFileInfo(m_Project).path();
    // Another job's report, with a vector file of its own that must not be read.
    QTemporaryDir other;
    const QString report = other.path() + QStringLiteral("/other.GPS3dResult");
    for (const QString& name : {report, other.path() + QStringLiteral("/sample.GPS3dVector")}) {
      QFile file(name);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("x\n");
    }
    watcher.handler = [&](QWidget* modal) { AcceptFileDialog(modal, report); };
    d.window.CommandAction(CommandId::FileOpen)->trigger();
    QVERIFY(d.window.ActiveTextView());
    QCOMPARE(QFileInfo(d.window.ActiveTextView()->Path()).fileName(), QStringLiteral("other.GPS3dResult"));
    QCOMPARE(QString::fromStdString(Project().projectDir), sampleDir);
    QVERIFY(d.window.windowTitle().endsWith(QStringLiteral("[sample]")));

    // The open dialog remembers its own folder; the project's dialog starts in the project.
    QString openStart, projectStart;
    watcher.handler = [&](QWidget* modal) {
      if (auto* dialog = qobject_cast<QFileDialog*>(modal)) openStart = dialog->directory().absolutePath();
      static_cast<QDialog*>(modal)->reject();
    };
    d.window.CommandAction(CommandId::FileOpen)->trigger();
    watcher.handler = [&](QWidget* modal) {
      if (auto* dialog = qobject_cast<QFileDialog*>(modal)) projectStart = dialog->directory().absolutePath();
      static_cast<QDialog*>(modal)->reject();
    };
    d.window.CommandAction(CommandId::OpenProject)->trigger();
    watcher.handler = nullptr;
    QCOMPARE(QFileInfo(openStart).canonicalFilePath(), QFileInfo(other.path()).canonicalFilePath());
    QCOMPARE(QFileInfo(projectStart).canonicalFilePath(), QFileInfo(sampleDir).canonicalFilePath());

    // The adjustment reads the project's own files and writes its report there.
    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    QCOMPARE(d.window.LastStatus(), 0);
    QVERIFY(watcher.messages.isEmpty());
    QCOMPARE(QFileInfo(d.window.ActiveTextView()->Path()).path(), sampleDir);
  }

  void theProgramWithoutACommandStartsTheDesktop() {
    // The start-up measurement ends the program once its window is usable; on the offscreen
    // platform it needs no display.
    QTemporaryDir config;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VEMOGPS_CONFIG_DIR"), config.path());
    environment.insert(QStringLiteral("VEMOGPS_STARTUP_TIME"), QStringLiteral("exit"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QString::fromUtf8(VEMO_PROGRAM), {QStringLiteral("--no-splash")});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    const QString report = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(report.contains(QStringLiteral("usable after")), qPrintable(report));
    qInfo("%s", qPrintable(report.trimmed()));
  }

  void downKeyToTheFifthLineShowsItInTheLinePane() {
    DesktopScope scope;
    Desktop d;
    TextView* view = d.window.OpenTextDocument(QFileInfo(m_Project).path() + QStringLiteral("/sample.GPS3dVector"));
    QVERIFY(view);
    view->setFocus();
    view->moveCursor(QTextCursor::Start);
    for (int i = 0; i < 4; ++i) QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(d.window.LinePane()->text(), QString::fromUtf8(u8"当前行:5"));
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(d.window.LinePane()->text(), QString::fromUtf8(u8"当前行:4"));
  }
};

VEMO_DESKTOP_TEST(MainWindowTest);

}  // namespace vemo::test

#include "MainWindowTest.moc"

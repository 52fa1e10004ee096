// The commands' forms and file dialogs, and the window under bad input: the one-point-one-
// direction form stays open on a refused name and prefills from its remembered file; the
// design asks for its two files with the system's filters; closing during a computation asks
// and loses no file; unsaved edits ask before the window closes; a command that fails in an
// unexpected way leaves a message and a usable window.
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "app/commands/CommandTable.h"
#include "app/desktop/DesktopCommands.h"
#include "app/desktop/TextView.h"
#include "geodesy/FileUtil.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {
namespace {

QByteArray Content(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteText(const QString& path, const QByteArray& text) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(text);
}

void Fill(QWidget* form, const QStringList& values) {
  for (int i = 0; i < values.size(); ++i) {
    auto* edit = form->findChild<QLineEdit*>(QStringLiteral("field%1").arg(i));
    QVERIFY(edit);
    edit->setText(values[i]);
  }
}

}  // namespace

class CommandFormsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_Dir;
  QString m_Project;
  QString ProjectFile(const char* extension) const {
    return QFileInfo(m_Project).path() + QStringLiteral("/sample.") + QLatin1String(extension);
  }

 private slots:
  void initTestCase() {
    m_Project = MakeSampleProject(m_Dir.path());
    QVERIFY(QFile::exists(m_Project));
  }

  void oneFixFormStaysOpenOnARefusedNameAndPrefillsFromItsFile() {
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    QVERIFY(d.Open(m_Project));
    int shown = 0;
    const QStringList good = {"K01", "1000", "2000", "35.0", "30.274402258", "114.153345812", "2.488", "K01", "K02", "0"};
    watcher.handler = [&](QWidget* form) {
      ++shown;
      QStringList values = good;
      if (shown == 1) values[0] = QStringLiteral("NOPE");  // not a point of the network
      Fill(form, values);
      static_cast<QDialog*>(form)->accept();
    };
    d.window.CommandAction(CommandId::AdjustOneFix)->trigger();
    QCOMPARE(shown, 2);
    QCOMPARE(watcher.messages.size(), 1);
    QVERIFY(watcher.messages[0].contains(QStringLiteral("NOPE")));
    QCOMPARE(d.window.LastStatus(), 0);
    // Both reports of the network opened.
    QCOMPARE(d.Windows(), 2);
    QVERIFY(QFile::exists(ProjectFile("GPS2dResult1")));
    QVERIFY(Content(ProjectFile("OneFix")).contains("K02"));

    // Next time the form shows the remembered values; cancelled, it runs nothing.
    QFile::remove(ProjectFile("GPS2dResult1"));
    QStringList prefilled;
    watcher.handler = [&](QWidget* form) {
      for (int i = 0; i < 10; ++i)
        prefilled << form->findChild<QLineEdit*>(QStringLiteral("field%1").arg(i))->text();
      static_cast<QDialog*>(form)->reject();
    };
    d.window.CommandAction(CommandId::AdjustOneFix)->trigger();
    QCOMPARE(prefilled.value(0), QStringLiteral("K01"));
    QCOMPARE(prefilled.value(4), QStringLiteral("30.274402258"));
    QCOMPARE(prefilled.value(8), QStringLiteral("K02"));
    QCOMPARE(prefilled.value(6).toDouble(), 2.488);
    QVERIFY(!QFile::exists(ProjectFile("GPS2dResult1")));
  }

  void designAsksForItsTwoFilesWithTheSystemsFilters() {
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    QTemporaryDir dir;
    const QString points = dir.filePath(QStringLiteral("net.xyz")), lines = dir.filePath(QStringLiteral("net.line"));
    WriteText(points, "5 1 1\nA -2267000.0 5009000.0 3221000.0\nB -2268000.0 5008500.0 3221500.0\n"
                      "C -2266500.0 5008800.0 3222000.0\n");
    WriteText(lines, "A B\nB C\nC A\n");
    QStringList filters;
    watcher.handler = [&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (!dialog) return;
      filters << dialog->nameFilters().value(0);
      AcceptFileDialog(dialog, filters.size() == 1 ? points : lines);
    };
    d.window.CommandAction(CommandId::Design)->trigger();
    QCOMPARE(filters, QStringList({QString::fromUtf8(u8"GPS设计坐标文件(*.xyz)"),
                                   QString::fromUtf8(u8"GPS设计网图连线文件(*.line)")}));
    QCOMPARE(d.window.LastStatus(), 0);
    QVERIFY(d.window.ActiveTextView());
    QVERIFY(d.window.ActiveTextView()->Path().endsWith(QStringLiteral("/net.GPS3dVector")));
    QCOMPARE(d.window.ActiveTextView()->document()->blockCount(), 4);  // three lines and the end
  }

  void closingDuringAComputationAsksFinishesAndLosesNoFile() {
    DesktopScope scope;
    const QString coordinates = ProjectFile("GPS3dXYHEFT");
    QByteArray reference;
    {
      // Refused: the computation goes on, its report opens, the window stays.
      Desktop d;
      ModalWatcher watcher;
      QVERIFY(d.Open(m_Project));
      watcher.answers = {QMessageBox::No};
      QTimer::singleShot(0, &d.window, [&] { d.window.close(); });
      d.window.CommandAction(CommandId::Adjust3d)->trigger();
      QCOMPARE(watcher.messages, QStringList(QString::fromUtf8(u8"计算正在进行。是否停止计算并退出?")));
      QVERIFY(d.window.isVisible());
      QCOMPARE(d.Windows(), 1);
      reference = Content(coordinates);
      QVERIFY(!reference.isEmpty());
    }
    QFile::remove(coordinates);
    const QByteArray project = Content(m_Project);
    Desktop d;
    ModalWatcher watcher;
    QVERIFY(d.Open(m_Project));
    watcher.answers = {QMessageBox::Yes};
    QTimer::singleShot(0, &d.window, [&] { d.window.close(); });
    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    // The computation ended with all its files, then the window closed and remembered the
    // project.
    QCOMPARE(watcher.messages.size(), 1);
    QCOMPARE(d.window.LastStatus(), 0);
    QVERIFY(!d.window.isVisible());
    QCOMPARE(Content(coordinates), reference);
    QCOMPARE(Content(m_Project), project);
    QVERIFY(Content(scope.config.filePath(QStringLiteral("settings.ini"))).contains("sample"));
  }

  void unsavedEditsAskBeforeTheWindowCloses() {
    DesktopScope scope;
    QTemporaryDir dir;
    const QString notes = dir.filePath(QStringLiteral("notes.txt"));
    WriteText(notes, "one\n");
    auto edit = [&](Desktop& d) {
      TextView* view = d.window.OpenTextDocument(notes);
      QVERIFY(view);
      view->moveCursor(QTextCursor::End);
      view->insertPlainText(QStringLiteral("two\n"));
    };
    {
      Desktop d;
      ModalWatcher watcher;
      edit(d);
      // "取消": nothing closes.
      watcher.answers = {QMessageBox::Cancel};
      d.window.close();
      QCOMPARE(watcher.messages.size(), 1);
      QVERIFY(watcher.messages[0].contains(QStringLiteral("notes.txt")));
      QVERIFY(d.window.isVisible());
      QCOMPARE(d.Windows(), 1);
      // "否": the window closes and the file stays as it was.
      watcher.answers = {QMessageBox::No};
      d.window.close();
      QVERIFY(!d.window.isVisible());
      QCOMPARE(Content(notes), QByteArray("one\n"));
    }
    Desktop d;
    ModalWatcher watcher;
    edit(d);
    // "是": saved, then closed.
    watcher.answers = {QMessageBox::Yes};
    d.window.close();
    QVERIFY(!d.window.isVisible());
    QCOMPARE(Content(notes), QByteArray("one\ntwo\n"));
  }

  void everyCommandGetsItsInputFromAFormOrAFileDialog() {
    // Every menu command with an engine, its dialogs cancelled: none reaches its handler
    // without the input its synopsis needs.
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    QVERIFY(d.Open(m_Project));
    int triggered = 0;
    for (const CommandSpec& c : MenuCommands()) {
      QAction* action = c.id != CommandId::None && c.run ? d.window.CommandAction(c.id) : nullptr;
      if (!action || !action->isEnabled()) continue;
      action->trigger();
      ++triggered;
      QVERIFY2(d.window.LastStatus() != kCommandUsage, c.menuText);
      d.window.Mdi()->closeAllSubWindows();
    }
    QVERIFY(triggered > 30);
    for (const QString& message : watcher.messages)
      QVERIFY2(!message.contains(QString::fromUtf8(u8"此命令缺少输入")), qPrintable(message));
  }

  void anUnexpectedFailureOfACommandBecomesAMessage() {
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    const CommandSpec failing{CommandId::None, u8"测试", nullptr, false, "failing", "", "", "",
                              [](CommandContext&) -> int { throw std::runtime_error("disk gone"); }};
    QCOMPARE(RunDesktopCommand(failing, &d.window), kCommandFailed);
    QCOMPARE(watcher.messages.size(), 1);
    QVERIFY(watcher.messages[0].contains(QStringLiteral("disk gone")));
  }
};

VEMO_DESKTOP_TEST(CommandFormsTest);

}  // namespace vemo::test

#include "CommandFormsTest.moc"

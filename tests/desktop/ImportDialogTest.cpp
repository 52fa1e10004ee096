// "读取同步基线数据" from the menu: the dialog shows the receiver package (the project's) and
// the file mask with the folder's matching files listed at once; another package for this
// import relists by its mask and leaves the project's setting alone; the import ends with a
// summary of the files and baselines read and the files of which nothing was read.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "project/AppState.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {
namespace {

// Baselines in a synchronous file: its lines of two names and nine numbers.
int BaselineLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  int count = 0;
  for (const QByteArray& line : file.readAll().split('\n'))
    if (line.simplified().split(' ').size() == 11) ++count;
  return count;
}

QStringList Items(QWidget* dialog, const char* list) {
  QStringList items;
  if (auto* widget = dialog->findChild<QListWidget*>(QLatin1String(list)))
    for (int i = 0; i < widget->count(); ++i) items << widget->item(i)->text();
  return items;
}

}  // namespace

class ImportDialogTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_Dir;
  QString m_Project;

 private slots:
  void initTestCase() { m_Project = MakeSampleProject(m_Dir.path()); }

  void showsPackageAndMaskAndEndsWithASummary() {
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    QVERIFY(d.Open(m_Project));
    const QString folder = QFileInfo(m_Project).path();
    // The seven periods as the receiver software exports them, and a file that holds none.
    QStringList periods;
    int baselines = 0;
    for (int i = 1; i <= 7; ++i) {
      periods << folder + QStringLiteral("/S0%1.GPS3DVector_S").arg(i);
      baselines += BaselineLines(periods.back());
    }
    QVERIFY(baselines > 20);
    QProcess exports;
    exports.start(QString::fromUtf8(VEMO_EXPORT_GENERATOR),
                  QStringList{QStringLiteral("--format"), QStringLiteral("trimble"), QStringLiteral("--out"), folder} + periods);
    QVERIFY(exports.waitForFinished(30000) && exports.exitCode() == 0);
    QFile notes(folder + QStringLiteral("/notes.asc"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("field notes, no baselines\n");
    notes.close();
    // The project's package is the system's own (mask *.txt); the dialog opens in the project
    // folder.
    Project().configuration.m_BaselineType = 6;
    Project().configuration.m_SyncBaselineFiles.clear();

    QString packageAtStart, maskAtStart, maskAfter;
    QStringList listedAtStart, listedAfter;
    watcher.handler = [&](QWidget* dialog) {
      auto* package = dialog->findChild<QComboBox*>(QStringLiteral("package"));
      auto* mask = dialog->findChild<QLineEdit*>(QStringLiteral("mask"));
      if (package && mask) {
        packageAtStart = package->currentText();
        maskAtStart = mask->text();
        listedAtStart = Items(dialog, "candidates");
        package->setCurrentIndex(package->findData(0));  // Trimble, for this import
        maskAfter = mask->text();
        listedAfter = Items(dialog, "candidates");
      }
      for (auto* button : dialog->findChildren<QPushButton*>())
        if (button->text() == QString::fromUtf8(u8"全选─〉")) button->click();
      if (auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("ok"))) ok->click();
    };
    d.window.RunMenuCommand(CommandId::ImportBaselines);
    watcher.handler = nullptr;

    QCOMPARE(packageAtStart, QStringLiteral("VemoGPS"));
    QCOMPARE(maskAtStart, QStringLiteral("*.txt"));
    QVERIFY(listedAtStart.contains(QStringLiteral("truth.txt")));
    QCOMPARE(maskAfter, QStringLiteral("*.asc"));
    QCOMPARE(listedAfter.size(), 8);
    QVERIFY(listedAfter.contains(QStringLiteral("S01.asc")) && listedAfter.contains(QStringLiteral("notes.asc")));

    QCOMPARE(d.window.LastStatus(), 0);
    QCOMPARE(Project().configuration.m_BaselineType, 6);
    QVERIFY(!watcher.messages.isEmpty());
    QCOMPARE(watcher.messages.back(), QString::fromUtf8(u8"读取完毕: 基线文件8个，基线%1条。\n其中1个文件没有读出基线:\n")
                                          .arg(baselines) + folder + QStringLiteral("/notes.asc"));
    // The counts are those of the files written.
    int written = 0;
    for (const QString& period : periods) written += BaselineLines(period);
    QCOMPARE(written, baselines);
  }
};

VEMO_DESKTOP_TEST(ImportDialogTest);

}  // namespace vemo::test

#include "ImportDialogTest.moc"

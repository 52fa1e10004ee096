// The grid control and the data-entry dialog over it.
#include <QPushButton>
#include <QHeaderView>
#include <QTest>

#include "app/desktop/DesktopHost.h"
#include "app/desktop/dialogs/Dialogs.h"
#include "app/desktop/grid/GridCtrl.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {

class GridTest : public QObject {
  Q_OBJECT

 private slots:
  void pastedBlockWritesTheFileTheEntryDialogWrites() {
    DesktopScope scope;
    QTemporaryDir dir;
    CProjectDlgRecord project = OpenNewProjectDialog(Project().configuration);
    project.name = "grid";
    project.directory = dir.path().toStdString();
    QVERIFY(AcceptNewProject(project) == DialogOutcome::Accepted);

    CEntryGridRecord record;
    QVERIFY(OpenEntryDialog(EntryKind::Distance, record));
    EntryDialog dialog(record);
    CGridCtrl* grid = dialog.Grid();
    QCOMPARE(grid->rowCount(), kEntryGridMinRows);
    QCOMPARE(grid->columnCount(), static_cast<int>(record.columns.size()));
    // A spreadsheet block of eleven rows pasted at the second row: the grid grows to hold it.
    QString block;
    std::vector<std::vector<std::string>> expected(1, std::vector<std::string>(record.columns.size()));
    for (int i = 0; i < 11; ++i) {
      block += QStringLiteral("P%1\tP%2\t%3.1234\t0.5\r\n").arg(i).arg(i + 1).arg(1000 + i);
      expected.push_back({"P" + std::to_string(i), "P" + std::to_string(i + 1), std::to_string(1000 + i) + ".1234", "0.5"});
    }
    grid->setCurrentCell(1, 0);
    grid->PasteText(block);
    QCOMPARE(grid->rowCount(), 12);
    QCOMPARE(grid->item(11, 2)->text(), QStringLiteral("1010.1234"));
    // Copy gives the block back, tab-separated.
    grid->setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 3), true);
    QCOMPARE(grid->SelectedText(), QStringLiteral("P0\tP1\t1000.1234\t0.5\nP1\tP2\t1001.1234\t0.5\n"));

    dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    CEntryGridRecord reference = record;
    reference.rows = expected;
    const auto written = ReadWholeFile(CurrentProjectFile("GPS2dDistance"));
    QVERIFY(written.has_value());
    QCOMPARE(*written, FormatEntryFile(reference));
  }

  void draggedRowsAreReadInTheirNewPlace() {
    CGridCtrl grid;
    grid.SetColumnTitles({QStringLiteral("a"), QStringLiteral("b")});
    grid.SetRows({{"1", "x"}, {"2", "y"}, {"3", "z"}}, 3);
    grid.verticalHeader()->moveSection(2, 0);
    const auto rows = grid.Rows();
    QCOMPARE(rows[0][0], std::string("3"));
    QCOMPARE(rows[1][0], std::string("1"));
  }

  void valueCellThatIsNoNumberWarnsAndKeepsItsText() {
    DesktopScope scope;
    DesktopHost host;
    PlatformHost* previous = InstallPlatformHost(&host);
    ModalWatcher watcher;
    CEntryGridRecord record;
    record.kind = EntryKind::KnownH;
    for (const auto& c : EntryColumns(EntryKind::KnownH)) record.columns.push_back(Utf8ToGbk(c));
    record.rows.assign(kEntryGridMinRows, std::vector<std::string>(record.columns.size()));
    EntryDialog dialog(record);
    dialog.Grid()->item(0, 1)->setText(QStringLiteral("12.3a"));
    dialog.Grid()->item(1, 1)->setText(QStringLiteral("12.3"));
    dialog.Grid()->item(2, 0)->setText(QStringLiteral("name, no number"));
    InstallPlatformHost(previous);
    QCOMPARE(watcher.messages, QStringList{QString::fromUtf8(u8"当前输入的不是一个有效的坐标值!")});
    QCOMPARE(dialog.Grid()->item(0, 1)->text(), QStringLiteral("12.3a"));
  }
};

VEMO_DESKTOP_TEST(GridTest);

}  // namespace vemo::test

#include "GridTest.moc"

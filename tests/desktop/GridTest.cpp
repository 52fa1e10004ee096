// The grid control and the data-entry dialog over it.
#include <QPushButton>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

#include "app/desktop/DesktopHost.h"
#include "app/desktop/dialogs/Dialogs.h"
#include "app/desktop/grid/GridCtrl.h"
#include "app/desktop/grid/GridState.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {
namespace {

// The desktop host installed, with its message boxes answered and recorded.
struct AnsweredHost {
  AnsweredHost() : previous(InstallPlatformHost(&host)) {}
  ~AnsweredHost() { InstallPlatformHost(previous); }
  DesktopHost host;
  PlatformHost* previous;
  ModalWatcher watcher;
};

// A new project in dir, so that the entry dialogs have files to write.
void NewProject(const QTemporaryDir& dir) {
  CProjectDlgRecord project = OpenNewProjectDialog(Project().configuration);
  project.name = "grid";
  project.directory = dir.path().toStdString();
  QVERIFY(AcceptNewProject(project) == DialogOutcome::Accepted);
}

QStringList Column(const CGridCtrl& grid, int column, int rows) {
  QStringList cells;
  for (int r = 0; r < rows; ++r) cells << grid.item(r, column)->text();
  return cells;
}

}  // namespace

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
  void pastedBlocksSplitAtTabsCommasOrRunsOfBlanks() {
    using Block = QList<QStringList>;
    // A spreadsheet's blank cell stays a cell; a report's aligned columns are one separator.
    QCOMPARE(SplitPastedText(QStringLiteral("K1\t\t12.5\r\nK2\t1\t2\r\n")),
             (Block{{"K1", "", "12.5"}, {"K2", "1", "2"}}));
    QCOMPARE(SplitPastedText(QString::fromUtf8(u8"K1, 30.1522 ,114.2\nK2，1,2")),
             (Block{{"K1", "30.1522", "114.2"}, {"K2", "1", "2"}}));
    QCOMPARE(SplitPastedText(QStringLiteral("   K1      3376498.600    38500000.1\n\nK2 1 2\n")),
             (Block{{"K1", "3376498.600", "38500000.1"}, {}, {"K2", "1", "2"}}));
  }

  void editsPastesRowsAndSortsUndoAndRedo() {
    CGridCtrl grid;
    grid.SetColumnTitles({QStringLiteral("name"), QStringLiteral("value")});
    grid.SetNumericColumns({1});
    grid.SetRows({{"P10", "9"}, {"P9", "10"}, {"P2", "-1.5"}}, 5);
    QVERIFY(!grid.IsModified());
    grid.item(0, 1)->setText(QStringLiteral("100"));  // as the cell editor leaves it
    QVERIFY(grid.IsModified());
    grid.setCurrentCell(2, 0);
    grid.PasteText(QStringLiteral("A\t1\nB\t2\nC\t3\nD\t4\n"));
    QCOMPARE(grid.rowCount(), 6);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);  // the paste, rows and cells, is one step
    QCOMPARE(grid.rowCount(), 5);
    QCOMPARE(Column(grid, 0, 3), (QStringList{"P10", "P9", "P2"}));
    QCOMPARE(grid.item(0, 1)->text(), QStringLiteral("100"));
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(grid.item(0, 1)->text(), QStringLiteral("9"));
    QVERIFY(!grid.IsModified());  // back where it started: nothing to ask about
    QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Column(grid, 0, 6), (QStringList{"P10", "P9", "A", "B", "C", "D"}));
    grid.UndoStack()->undo();

    // Numbers sort by value, names as text; empty rows stay last either way.
    grid.SortByColumn(1, Qt::AscendingOrder);
    QCOMPARE(Column(grid, 1, 5), (QStringList{"-1.5", "10", "100", "", ""}));
    grid.SortByColumn(0, Qt::DescendingOrder);
    QCOMPARE(Column(grid, 0, 5), (QStringList{"P9", "P2", "P10", "", ""}));
    emit grid.horizontalHeader()->sectionClicked(0);  // a click on a title sorts ascending
    QCOMPARE(Column(grid, 0, 3), (QStringList{"P10", "P2", "P9"}));

    // Rows inserted above the selection, deleted down to the least number of rows.
    grid.clearSelection();
    grid.setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 1), true);
    grid.InsertRows();
    QCOMPARE(Column(grid, 0, 5), (QStringList{"P10", "", "", "P2", "P9"}));
    grid.clearSelection();
    grid.setRangeSelected(QTableWidgetSelectionRange(0, 0, 4, 1), true);
    grid.DeleteRows();
    QCOMPARE(grid.rowCount(), 5);
    QCOMPARE(Column(grid, 0, 5), (QStringList{"", "", "", "", ""}));
    for (int i = 0; i < 5; ++i) grid.UndoStack()->undo();
    QCOMPARE(Column(grid, 0, 3), (QStringList{"P10", "P9", "P2"}));
    QCOMPARE(grid.item(0, 1)->text(), QStringLiteral("100"));
    // A row dragged by its header moves in the cells, and back by undo.
    grid.verticalHeader()->moveSection(2, 0);
    QCOMPARE(grid.Rows()[0][0], std::string("P2"));
    QCOMPARE(grid.item(0, 0)->text(), QStringLiteral("P2"));
    grid.UndoStack()->undo();
    QCOMPARE(grid.Rows()[0][0], std::string("P10"));
  }

  void wideBlockAsksBeforeItsColumnsAreDropped() {
    AnsweredHost scope;
    CGridCtrl grid;
    grid.SetColumnTitles({QStringLiteral("name"), QStringLiteral("x"), QStringLiteral("y")});
    grid.SetRows({}, 3);
    grid.setCurrentCell(0, 1);
    const QString block = QStringLiteral("1 2 3\n4 5\n");
    scope.watcher.answers = {QMessageBox::No};
    grid.PasteText(block);
    QCOMPARE(scope.watcher.messages.size(), 1);
    QVERIFY(scope.watcher.messages[0].contains(QString::fromUtf8(u8"多出的1列将被舍去")));
    QVERIFY(!grid.IsModified());
    scope.watcher.answers = {QMessageBox::Yes};
    grid.PasteText(block);
    QCOMPARE(Column(grid, 2, 2), (QStringList{"2", "5"}));
    grid.setCurrentCell(0, 0);
    grid.PasteText(block);  // fits: no question
    QCOMPARE(scope.watcher.messages.size(), 2);
  }

  void escapeAsksOnlyWhenThereAreEdits() {
    DesktopScope desktop;
    AnsweredHost scope;
    QTemporaryDir dir;
    NewProject(dir);
    const std::string file = CurrentProjectFile("GPS1dKnownH");
    CEntryGridRecord record;
    QVERIFY(OpenEntryDialog(EntryKind::KnownH, record));
    {
      EntryDialog dialog(record);
      dialog.show();
      QTest::keyClick(dialog.Grid(), Qt::Key_Escape);
      QVERIFY(!dialog.isVisible());
      QVERIFY(scope.watcher.messages.isEmpty());
    }
    EntryDialog dialog(record);
    dialog.show();
    dialog.Grid()->item(0, 0)->setText(QStringLiteral("K1"));
    dialog.Grid()->item(0, 1)->setText(QStringLiteral("12.5"));
    scope.watcher.answers = {QMessageBox::Cancel};  // keep editing
    QTest::keyClick(dialog.Grid(), Qt::Key_Escape);
    QCOMPARE(scope.watcher.messages.size(), 1);
    QVERIFY(scope.watcher.messages[0].startsWith(QString::fromUtf8(u8"表格中的数据已修改,是否保存?")));
    QVERIFY(dialog.isVisible());
    scope.watcher.answers = {QMessageBox::Yes};  // the window's close button, then save
    dialog.close();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(ReadWholeFile(file).value_or(""), std::string("                  K1        12.500000\n"));

    EntryDialog again(record);
    again.show();
    again.Grid()->item(1, 0)->setText(QStringLiteral("K2"));
    scope.watcher.answers = {QMessageBox::No};  // "取消", then discard
    again.findChild<QPushButton*>(QStringLiteral("cancel"))->click();
    QVERIFY(!again.isVisible());
    QCOMPARE(scope.watcher.messages.size(), 3);
    QCOMPARE(ReadWholeFile(file).value_or(""), std::string("                  K1        12.500000\n"));
  }

  void enterMovesDownAndBadCellsAreShown() {
    DesktopScope desktop;
    AnsweredHost scope;
    QTemporaryDir dir;
    NewProject(dir);
    CEntryGridRecord record;
    QVERIFY(OpenEntryDialog(EntryKind::Distance, record));
    EntryDialog dialog(record);
    dialog.show();
    CGridCtrl* grid = dialog.Grid();
    QCOMPARE(grid->horizontalHeaderItem(2)->text(), QString::fromUtf8(u8"边长值(m)"));
    // Enter ends the edit and moves down a row; the dialog stays open.
    grid->setCurrentCell(0, 2);
    grid->editItem(grid->item(0, 2));
    auto* editor = grid->findChild<QLineEdit*>();
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("1000.25"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(grid->currentRow(), 1);
    QCOMPARE(grid->item(0, 2)->text(), QStringLiteral("1000.25"));
    QTest::keyClick(grid, Qt::Key_Enter);
    QCOMPARE(grid->currentRow(), 2);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(scope.watcher.messages.isEmpty());

    // A value that is no number is marked as typed (red, its reason as its tip).
    grid->item(1, 2)->setText(QStringLiteral("0.5x"));
    QVERIFY(grid->item(1, 2)->data(Qt::BackgroundRole).isValid());
    QVERIFY(!grid->item(1, 3)->data(Qt::BackgroundRole).isValid());
    grid->item(1, 2)->setText(QStringLiteral("0.5"));
    QVERIFY(!grid->item(1, 2)->data(Qt::BackgroundRole).isValid());
    grid->item(1, 2)->setText(QString());

    // The row holds values but no from-point: "确认" selects the cell and writes nothing.
    grid->item(0, 1)->setText(QStringLiteral("N1"));
    grid->item(0, 3)->setText(QStringLiteral("0.5"));
    grid->setCurrentCell(5, 3);
    scope.watcher.messages.clear();
    dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QCOMPARE(scope.watcher.messages,
             QStringList{QString::fromUtf8(u8"第1行有数据但起点为空,请输入点名或删除该行后再确认!")});
    QCOMPARE(grid->currentRow(), 0);
    QCOMPARE(grid->currentColumn(), 0);
    QVERIFY(dialog.isVisible());
    QVERIFY(!ReadWholeFile(CurrentProjectFile("GPS2dDistance")).has_value());
  }

  void knownPointRowsSayHowTheyRead() {
    CEntryGridRecord record;
    record.kind = EntryKind::KnownXYZ;
    for (const auto& c : EntryColumns(EntryKind::KnownXYZ)) record.columns.push_back(Utf8ToGbk(c));
    record.rows = {{"K1", "30.1522", "114.2030", "25.3"},
                   {"K2", "-2263483.8885", "5013061.1228", "3218279.9226"},
                   {"K3", "", "", ""}};
    EntryDialog dialog(record);
    CGridCtrl* grid = dialog.Grid();
    QCOMPARE(grid->verticalHeaderItem(0)->text(), QStringLiteral("1 B,L,H"));
    QCOMPARE(grid->verticalHeaderItem(1)->text(), QStringLiteral("2 X,Y,Z"));
    QCOMPARE(grid->verticalHeaderItem(2)->text(), QStringLiteral("3"));
    grid->item(2, 1)->setText(QStringLiteral("30.60"));  // sixty minutes, and far from any X, Y, Z
    grid->item(2, 2)->setText(QStringLiteral("114.2"));
    grid->item(2, 3)->setText(QStringLiteral("25"));
    QCOMPARE(grid->verticalHeaderItem(2)->text(), QStringLiteral("3"));  // reads neither way
    grid->item(2, 1)->setText(QStringLiteral("30.50"));
    QCOMPARE(grid->verticalHeaderItem(2)->text(), QStringLiteral("3 B,L,H"));
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), QString::fromUtf8(u8"X坐标(m)/B(D.MMSS)"));
  }
};

VEMO_DESKTOP_TEST(GridTest);

}  // namespace vemo::test

#include "GridTest.moc"

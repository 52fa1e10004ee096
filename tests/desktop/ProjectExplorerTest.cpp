// The project explorer and the result tables: a result older than an input is marked stale and
// a missing one missing, also when a file changes behind the program's back; a double click
// opens the file; the tables read what the checks and adjustments really write, sort numbers
// by value with the failing rows highlighted, copy the selection and export CSV.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <chrono>
#include <filesystem>
#include <set>

#include "app/desktop/ProjectExplorer.h"
#include "app/desktop/ResultTableView.h"
#include "app/desktop/TextView.h"
#include "geodesy/Encoding.h"
#include "geodesy/Format.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {
namespace {

namespace fs = std::filesystem;

void SetAge(ProjectFile kind, std::chrono::seconds age) {
  fs::last_write_time(CurrentProjectFile(kind), fs::file_time_type::clock::now() - age);
}

void WriteProjectFile(ProjectFile kind, const std::string& content) {
  QFile file(QString::fromStdString(CurrentProjectFile(kind)));
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(content.data(), static_cast<qint64>(content.size()));
}

// An asynchronous misclosure report as the check writes it for an ordinary grade: three
// loops whose lengths misclose by 3.10, 12.50 and 100.00 mm, the last beyond its tolerance,
// and a damaged line.
const char* const kAsyncReport =
    u8"异步环闭合差计算结果\n"
    u8"环号,线路各点名...,X闭合差限差(mm),X闭合差(mm),Y闭合差限差(mm),Y闭合差(mm),Z闭合差限差(mm),Z闭合差(mm),"
    u8"S闭合差限差(mm),S闭合差(mm),线路总长度(m),ppm,备注\n"
    u8"   1,          A          B          C , 30.00, 1.00, 30.00, 2.00, 30.00, 2.20, 51.96, 3.10, 3000.0000, 1.03, 合格\n"
    u8"   2,          B          C          D , 30.00, 5.00, 30.00, 6.00, 30.00, 9.70, 51.96, 12.50, 4000.0000, 3.12, 合格\n"
    u8"   3,          C          D          E , 30.00, 90.00, 30.00, 40.00, 30.00, 20.00, 51.96, 100.00, 5000.0000, 20.00, 超限\n"
    u8"   4,          D          E          F , 30.00, 1.0\n";

class ProjectExplorerTest : public QObject {
  Q_OBJECT

 private slots:
  void everyKindOfTheCatalogueIsListedOnce() {
    std::multiset<int> listed;
    for (const ExplorerGroup& group : ExplorerGroups())
      for (const ExplorerEntry& entry : group.entries) listed.insert(static_cast<int>(entry.kind));
    for (int kind = 0; kind <= static_cast<int>(kLastProjectFile); ++kind) QCOMPARE(listed.count(kind), size_t{1});
  }

  void marksStaleAndMissingResultsAndOpensOnDoubleClick() {
    QTemporaryDir dir;
    const QString prj = MakeSampleProject(dir.path());
    DesktopScope scope;
    Desktop d;
    ProjectExplorer* explorer = d.window.Explorer();
    QVERIFY(explorer);
    QVERIFY(!explorer->isVisible());  // no project yet
    QVERIFY(d.Open(prj));
    QVERIFY(explorer->isVisible());

    // Before any adjustment its coordinates are missing; the sample's inputs are there.
    QTreeWidgetItem* coordinates = explorer->ItemOf(ProjectFile::XYHEFT3d);
    QTreeWidgetItem* known = explorer->ItemOf(ProjectFile::KnownXYZ);
    QVERIFY(coordinates && known);
    QCOMPARE(ProjectExplorer::StateOf(coordinates), ProjectExplorer::FileState::Missing);
    QVERIFY(coordinates->toolTip(0).contains(QString::fromUtf8(u8"文件不存在")));
    QCOMPARE(ProjectExplorer::StateOf(known), ProjectExplorer::FileState::Present);

    // A result written, then an input changed after it: stale, seen without being told.
    WriteProjectFile(ProjectFile::XYHEFT3d, "            K1  3380000.0000   500000.0000      10.0000 0.00 0.00 0.0000\n");
    SetAge(ProjectFile::XYHEFT3d, std::chrono::seconds(120));
    SetAge(ProjectFile::KnownXYZ, std::chrono::seconds(0));
    QTRY_COMPARE(ProjectExplorer::StateOf(explorer->ItemOf(ProjectFile::XYHEFT3d)), ProjectExplorer::FileState::Stale);
    coordinates = explorer->ItemOf(ProjectFile::XYHEFT3d);
    QVERIFY(coordinates->toolTip(0).contains(QString::fromUtf8(u8"比输入文件旧")));
    QVERIFY(coordinates->toolTip(0).contains(QStringLiteral("sample.GPS3dKnownXYZ")));
    QVERIFY(coordinates->foreground(0).color() != known->foreground(0).color());
    // The inputs of the computation are the ones compared: the height fitting's result does
    // not go stale by a change of the known 3D points.
    WriteProjectFile(ProjectFile::Result1d, "x\n");
    SetAge(ProjectFile::KnownH, std::chrono::seconds(300));
    SetAge(ProjectFile::Result1d, std::chrono::seconds(60));
    explorer->Refresh();
    QCOMPARE(ProjectExplorer::StateOf(explorer->ItemOf(ProjectFile::Result1d)), ProjectExplorer::FileState::Present);

    // Running the adjustment makes it current again.
    d.window.RunMenuCommand(CommandId::Adjust3d);
    QCOMPARE(ProjectExplorer::StateOf(explorer->ItemOf(ProjectFile::XYHEFT3d)), ProjectExplorer::FileState::Present);

    // A double click opens the file in the text viewer.
    known = explorer->ItemOf(ProjectFile::KnownXYZ);
    explorer->Tree()->scrollToItem(known);
    const QRect rect = explorer->Tree()->visualItemRect(known);
    const QPoint at(rect.left() + 20, rect.center().y());
    QTest::mouseClick(explorer->Tree()->viewport(), Qt::LeftButton, {}, at);  // a double click's first press
    QTest::mouseDClick(explorer->Tree()->viewport(), Qt::LeftButton, {}, at);
    TextView* view = d.window.ActiveTextView();
    QVERIFY(view);
    QCOMPARE(QFileInfo(view->Path()).fileName(), QStringLiteral("sample.GPS3dKnownXYZ"));
  }

  void tablesReadTheReportsTheCommandsWrite() {
    QTemporaryDir dir;
    const QString prj = MakeSampleProject(dir.path());
    QTemporaryDir config;
    const QString sessions = QFileInfo(prj).absolutePath();
    QStringList syncFiles;
    for (const QFileInfo& f : QDir(sessions).entryInfoList({QStringLiteral("*.GPS3DVector_S")}, QDir::Files))
      syncFiles << f.absoluteFilePath();
    for (const QStringList& command :
         {QStringList{"adjust-3d"}, QStringList{"adjust-2d"}, QStringList{"async-loops"}, QStringList{"repeat-baselines"},
          QStringList{"sync-loops"} + syncFiles})
      QCOMPARE(RunProgram(QStringList{"--yes", "--project", prj} + command, config.path()), 0);
    DesktopScope scope;
    QVERIFY(OpenProject(prj.toStdString()));
    for (ResultTableKind kind : {ResultTableKind::Coordinates3d, ResultTableKind::Coordinates2d,
                                 ResultTableKind::AsyncLoops, ResultTableKind::SyncLoops}) {
      const std::optional<ResultTable> table = ReadResultTable(kind);
      QVERIFY(table);
      QVERIFY2(!table->rows.empty(), table->title.c_str());
      for (const auto& row : table->rows) {
        QCOMPARE(row.cells.size(), table->columns.size());
        // The joined columns find their points: B of the 3D table, the code of the plane one.
        if (kind == ResultTableKind::Coordinates3d) QVERIFY(!row.cells[4].empty());
        if (kind == ResultTableKind::Coordinates2d) QVERIFY(row.cells[6] == "K" || row.cells[6] == "U");
      }
    }
    // The report's heading lines are the only ones not read as rows.
    QCOMPARE(ReadResultTable(ResultTableKind::AsyncLoops)->skippedLines, 2);
    QCOMPARE(ReadResultTable(ResultTableKind::SyncLoops)->skippedLines, 1);
    QVERIFY(ReadResultTable(ResultTableKind::RepeatBaselines));
    QCOMPARE(ReadResultTable(ResultTableKind::RepeatBaselines)->skippedLines, 2);
  }

  void repeatedBaselineGroupsAndCsvQuoting() {
    // Two groups as the comparison writes them: a reference and a repeat that passes, then a
    // reference and a repeat beyond the tolerance.
    const std::string d100 = std::string(100, '-') + "\n";
    std::string report = Utf8ToGbk(u8"重复基线长度差值比较\n") + d100 + "    No.\n" + d100;
    for (const auto& [number, verdict] : {std::pair{1, ""}, {7, u8"  合格"}, {2, ""}, {9, u8"  超限"}}) {
      report += Format("%8d %8s %8s %13.4lf %13.4lf %13.4lf %13.4lf %10.4lf", number, "A", "B", 100.0, 200.0, 300.0,
                       374.1657, 12.5) + Utf8ToGbk(verdict) + "\n";
      if (number > 2) report += d100;
    }
    const ResultTable table = ParseResultTable(ResultTableKind::RepeatBaselines, report);
    QCOMPARE(table.rows.size(), size_t{4});
    QCOMPARE(table.rows[1].cells.front(), std::string("1"));
    QCOMPARE(table.rows[3].cells.front(), std::string("2"));
    QCOMPARE(table.rows[2].cells.back(), std::string(u8"参考基线"));
    QVERIFY(!table.rows[1].failing && table.rows[3].failing);
    // A session file's name may hold a comma or a quote: the field is quoted.
    QCOMPARE(ToCsv({"a", "b"}, {{"S,1", "say \"x\""}}), std::string("\xEF\xBB\xBF" "a,b\r\n\"S,1\",\"say \"\"x\"\"\"\r\n"));
  }

  void tableSortsHighlightsCopiesAndExports() {
    const ResultTable table = ParseResultTable(ResultTableKind::AsyncLoops, Utf8ToGbk(kAsyncReport));
    QCOMPARE(table.rows.size(), size_t{3});
    QCOMPARE(table.skippedLines, 3);  // two headings and the damaged line
    DesktopScope scope;
    Desktop d;  // its host shows the messages
    ModalWatcher watcher;
    ResultTableView view(table, QStringLiteral("/nowhere/net.GPS3dMisclosure"));
    view.show();
    ResultTableModel* model = view.Model();
    const int misclosure = 10;  // S闭合差(mm)
    QCOMPARE(model->headerData(misclosure, Qt::Horizontal).toString(), QString::fromUtf8(u8"S闭合差(mm)"));

    // Descending by value, not by text ("3.10" > "12.50" > "100.00" as text).
    view.Grid()->sortByColumn(misclosure, Qt::DescendingOrder);
    QCOMPARE(model->index(0, misclosure).data().toString(), QStringLiteral("100.00"));
    QCOMPARE(model->index(2, misclosure).data().toString(), QStringLiteral("3.10"));
    // The failing loop keeps its highlight wherever it goes.
    QCOMPARE(model->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), ResultTableModel::FailingBackground());
    QVERIFY(!model->index(1, 0).data(Qt::BackgroundRole).isValid());
    view.Grid()->sortByColumn(misclosure, Qt::AscendingOrder);
    QCOMPARE(model->index(0, misclosure).data().toString(), QStringLiteral("3.10"));
    QCOMPARE(model->index(2, 0).data(Qt::BackgroundRole).value<QColor>(), ResultTableModel::FailingBackground());

    // Ctrl+C copies the selected block as tab-separated rows.
    view.Grid()->setFocus();
    view.Grid()->selectionModel()->select(
        QItemSelection(model->index(0, 0), model->index(1, 2)), QItemSelectionModel::ClearAndSelect);
    QTest::keySequence(view.Grid(), QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(),
             QString::fromUtf8(u8"1\t\tA B C\n2\t\tB C D\n"));

    // The CSV holds every row in the order shown, behind a byte order mark.
    QTemporaryDir out;
    const QString csvPath = out.filePath(QStringLiteral("loops.csv"));
    QVERIFY(view.ExportCsv(csvPath));
    QFile csv(csvPath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.size(), 5);  // heading, three rows, nothing after the last line end
    QVERIFY(lines[0].startsWith("\xEF\xBB\xBF"));
    QVERIFY(lines[0].contains(QString::fromUtf8(u8"S闭合差(mm)").toUtf8()));
    QVERIFY(lines[1].startsWith("1,,A B C,30.00,"));
    QVERIFY(lines[3].endsWith(QString::fromUtf8(u8",超限\r").toUtf8()));
    QVERIFY(watcher.messages.isEmpty());
    // A target that cannot be written says so.
    QVERIFY(!view.ExportCsv(out.filePath(QStringLiteral("missing/loops.csv"))));
    QCOMPARE(watcher.messages.size(), 1);
  }
};

VEMO_DESKTOP_TEST(ProjectExplorerTest);

}  // namespace
}  // namespace vemo::test

#include "ProjectExplorerTest.moc"

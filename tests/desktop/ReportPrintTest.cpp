// Printing a report from the text viewer: the print preview shows the report's pages (their
// number and orientation), and a printer that cannot be used gives a message.
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTest>

#include "app/desktop/TextView.h"
#include "app/print/ReportPages.h"
#include "geodesy/Encoding.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {

class ReportPrintTest : public QObject {
  Q_OBJECT

 private slots:
  void thePreviewShowsTheReportsPages_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("landscape");
    QTest::newRow("narrow") << 60 << false;
    QTest::newRow("wide") << 120 << true;
  }
  void thePreviewShowsTheReportsPages() {
    QFETCH(int, columns);
    QFETCH(bool, landscape);
    std::string text;
    for (int i = 0; i < 150; ++i)
      text += Utf8ToGbk(u8"多余观测数 = ") + std::string(static_cast<size_t>(columns) - 13, '0') + "\n";
    TextView view(QStringLiteral("report"), text);
    const ReportPages pages(text, {});
    QCOMPARE(pages.Landscape(), landscape);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(landscape ? QPageLayout::Portrait : QPageLayout::Landscape);
    QPrintPreviewWidget preview(&printer);
    connect(&preview, &QPrintPreviewWidget::paintRequested, &view, &TextView::PrintTo);
    preview.updatePreview();
    QCOMPARE(preview.pageCount(), pages.PageCount());
    QVERIFY(preview.pageCount() > 1);
    QCOMPARE(preview.orientation(), landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  }

  void aPrinterThatCannotBeUsedGivesAMessage() {
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    TextView view(QStringLiteral("report"), "line\n");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent-folder/report.pdf"));
    QVERIFY(!view.PrintTo(&printer));
    QCOMPARE(watcher.messages.size(), 1);
    QVERIFY(watcher.messages[0].contains(QString::fromUtf8(u8"打印机不可用")));
  }
};

VEMO_DESKTOP_TEST(ReportPrintTest);

}  // namespace vemo::test

#include "ReportPrintTest.moc"

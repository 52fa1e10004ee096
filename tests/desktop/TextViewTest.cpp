// The text viewer's encoding: GBK shown as Chinese, undecodable bytes kept, line ends kept.
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QTest>
#include <QTextBlock>

#include "app/desktop/GbkText.h"
#include "app/desktop/PagedText.h"
#include "app/desktop/TextView.h"
#include "geodesy/Encoding.h"
#include "geodesy/FileUtil.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {

class TextViewTest : public QObject {
  Q_OBJECT

 private slots:
  void decodesChineseAndKeepsEveryByte_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    // "点名" in GBK is B5 E3 C3 FB.
    QTest::newRow("chinese") << QByteArray("\xB5\xE3\xC3\xFB K01\n") << QString::fromUtf8(u8"点名 K01\n");
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb\n");
    QTest::newRow("mixed line ends") << QByteArray("a\r\nb\n") << QStringLiteral("a") + QChar(0xF70D) + QStringLiteral("\nb\n");
    QTest::newRow("stray lead byte") << QByteArray("x\x81 y\n") << QStringLiteral("x") + QChar(0xF781) + QStringLiteral(" y\n");
    QTest::newRow("lead byte at end") << QByteArray("ab\xB5") << QStringLiteral("ab") + QChar(0xF7B5);
    QTest::newRow("0xFF and NUL") << QByteArray("\xFF\x00z", 3) << QString(QChar(0xF7FF)) + QChar(0xF700) + QStringLiteral("z");
    QTest::newRow("empty") << QByteArray() << QString();
  }
  void decodesChineseAndKeepsEveryByte() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    DecodedText decoded = DecodeGbkPreserving(bytes.toStdString());
    QCOMPARE(decoded.text, shown);
    QCOMPARE(QByteArray::fromStdString(EncodeGbkPreserving(decoded.text, decoded.crlf)), bytes);
  }

  void unencodableCharactersBecomeQuestionMarks() {
    QCOMPARE(EncodeGbkPreserving(QString::fromUtf8(u8"a😀b€"), false), std::string("a?b\x80"));
  }

  void savingAnUnchangedOrEditedFileKeepsTheInvalidBytes() {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/r.GPS3dResult");
    const std::string bytes = "\xB5\xE3\xC3\xFB \x81\x20 \xFF\r\nline 2\r\n";
    QVERIFY(WriteFileAtomically(path.toStdString(), bytes));
    std::unique_ptr<TextView> view(TextView::Load(path));
    QVERIFY(view);
    QVERIFY(view->toPlainText().startsWith(QString::fromUtf8(u8"点名 ")));
    QVERIFY(view->Save());
    QCOMPARE(ReadWholeFile(path.toStdString()).value(), bytes);
    // An edit elsewhere keeps the undecodable bytes and the CR LF line ends.
    view->moveCursor(QTextCursor::End);
    view->insertPlainText(QStringLiteral("3\n"));
    QVERIFY(view->document()->isModified());
    QVERIFY(view->Save());
    QCOMPARE(ReadWholeFile(path.toStdString()).value(), bytes + "3\r\n");
  }

  void aLongReportOpensInPiecesAsOneUnchangedDocument() {
    // About 1.2 million characters, several pieces of the load; an undecodable byte and CR LF
    // line ends among them.
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/long.GPS3dResult");
    std::string bytes;
    for (int i = 0; i < 30000; ++i) {
      bytes += "P" + std::to_string(100000 + i) + "  \xB5\xE3\xC3\xFB  1234.5678  9.8765  0.0012 0.0034 0.0056\r\n";
      if (i == 15000) bytes += "stray \x81\r\n";
    }
    QVERIFY(WriteFileAtomically(path.toStdString(), bytes));
    std::unique_ptr<TextView> view(TextView::Load(path));
    QVERIFY(view);
    QCOMPARE(view->toPlainText(), DecodeGbkPreserving(bytes).text);
    QCOMPARE(view->document()->blockCount(), 30002);
    QCOMPARE(view->CaretLine(), 1);
    QVERIFY(!view->document()->isModified());
    // Loading is no edit to undo.
    QVERIFY(!view->document()->isUndoAvailable());
    QVERIFY(view->Save());
    QCOMPARE(ReadWholeFile(path.toStdString()).value(), bytes);
  }

  void aLongFileOpensInPagesThatShowFindAndCopyWhatTheEditorWould() {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/long.GPS3dResult");
    // CR LF line ends, Chinese, a stray byte; "\xB0\x41" is one character whose trail byte is
    // the letter A.
    std::string bytes;
    for (int i = 0; i < 3000; ++i) bytes += "P" + std::to_string(1000 + i) + " \xB5\xE3\xC3\xFB\xB0\x41 1.5\r\n";
    bytes += "stub \x81 A_K99 K99\r\n";
    QVERIFY(WriteFileAtomically(path.toStdString(), bytes));
    std::unique_ptr<TextView> view(TextView::Load(path, nullptr, 0));
    QVERIFY(view && view->Pages());
    PagedTextArea& area = *view->Pages();
    PagedText& text = area.Text();
    text.IndexAll();
    QCOMPARE(text.LineCount(), qint64{3002});
    QCOMPARE(text.Text(0, text.Size()), DecodeGbkPreserving(bytes).text);
    QTest::keyClick(&area, Qt::Key_PageDown);
    QTest::keyClick(&area, Qt::Key_Down);
    QVERIFY(view->CaretLine() > 2);

    TextView::Search search;
    search.text = QStringLiteral("a");
    search.matchCase = true;
    QVERIFY(!view->FindText(search, true));  // no ASCII "a", and no trail byte is one
    search.text = QStringLiteral("k99");
    search.matchCase = false;
    QVERIFY(view->FindText(search, true));
    QCOMPARE(view->CaretLine(), 3001);
    QCOMPARE(area.SelectedText(), QStringLiteral("K99"));
    search.wholeWord = true;  // "A_K99" is one word: the next whole word is the last one
    area.Select(0, 0);
    QVERIFY(view->FindText(search, true));
    QCOMPARE(area.SelectionEnd() - text.LineStart(3000), qint64{16});
    search.wholeWord = false;
    search.text = QString::fromUtf8(u8"点名");
    search.backward = true;
    QVERIFY(view->FindText(search, true));
    QCOMPARE(view->CaretLine(), 3000);

    // A selection across a line end copies as the editor would.
    area.Select(text.LineStart(2999) + 6, text.LineStart(3000) + 4);
    view->copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8(u8"点名") + QChar(0x7646) +
                                                      QStringLiteral(" 1.5\nstub"));

    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.path() + QStringLiteral("/long.pdf"));
    view->PrintTo(&printer);
    QVERIFY(QFileInfo(dir.path() + QStringLiteral("/long.pdf")).size() > 0);

    // Written again by a command: the change is seen and the view reads the new file.
    QCOMPARE(view->CheckFile(), TextView::FileChange::None);
    QVERIFY(WriteFileAtomically(path.toStdString(), "one\ntwo\n"));
    QCOMPARE(view->CheckFile(), TextView::FileChange::Rewritten);
    QVERIFY(view->Reload());
    text.IndexAll();
    QCOMPARE(text.LineCount(), qint64{3});
    QCOMPARE(QString::fromStdString(text.LineBytes(1)), QStringLiteral("two"));
    QCOMPARE(view->CaretLine(), 3);
    // "另存为" writes a copy of the file.
    const QString copy = dir.path() + QStringLiteral("/copy.txt");
    QVERIFY(view->SaveTo(copy));
    QCOMPARE(ReadWholeFile(copy.toStdString()).value(), std::string("one\ntwo\n"));
  }

  void chineseCharactersTakeTwoColumnsSoReportColumnsLineUp() {
    // Two report lines whose "=" stand in the same byte column: 7 blanks, "GPS", seven
    // characters; 14 blanks and five characters.
    const std::string text = Utf8ToGbk(u8"       GPS三维基线向量数=        21\n              中央子午线=  114\n"
                                       "0123456789012345678901234567890123456789\n");
    TextView view(QString(), text);
    view.resize(800, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto columnX = [&view](int line, int column) {
      QTextCursor cursor(view.document()->findBlockByNumber(line));
      cursor.setPosition(cursor.position() + column);
      return view.cursorRect(cursor).x();
    };
    const QString first = view.document()->findBlockByNumber(0).text();
    const QString second = view.document()->findBlockByNumber(1).text();
    QCOMPARE(columnX(0, static_cast<int>(first.indexOf(QLatin1Char('=')))),
             columnX(1, static_cast<int>(second.indexOf(QLatin1Char('=')))));
    // The first line is 35 bytes: its end stands under the 35th column of an ASCII line.
    QCOMPARE(columnX(0, static_cast<int>(first.size())), columnX(2, 35));
    QVERIFY(!view.document()->isModified());
  }

  void findAndReplaceAll() {
    TextView view(QString(), "K01 K02\nk01\n");
    TextView::Search search;
    search.text = QStringLiteral("K01");
    search.replacement = QStringLiteral("P01");
    QVERIFY(view.FindText(search, true));
    QCOMPARE(view.textCursor().selectedText(), QStringLiteral("K01"));
    QCOMPARE(view.ReplaceAll(search), 2);  // without "区分大小写" k01 matches too
    QCOMPARE(view.toPlainText(), QStringLiteral("P01 K02\nP01\n"));
    search.text = QStringLiteral("K09");
    QVERIFY(!view.FindText(search, true));
  }
};

VEMO_DESKTOP_TEST(TextViewTest);

}  // namespace vemo::test

#include "TextViewTest.moc"

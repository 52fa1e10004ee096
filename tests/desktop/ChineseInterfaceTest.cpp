// The Chinese interface: Qt's own catalogs loaded at start-up (and start-up unharmed without
// them), and "帮助主题" opening the user guide whose chapters, links and pictures all resolve.
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include "app/desktop/HelpWindow.h"
#include "app/desktop/Translations.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {
namespace {

bool HasChinese(const QString& text) {
  return text.contains(QRegularExpression(QStringLiteral("[\\x{4E00}-\\x{9FFF}]")));
}

// The first "# " heading of a guide file.
QString FirstHeading(const QString& file) {
  QFile guide(QStringLiteral(":/guide/") + file);
  if (!guide.open(QIODevice::ReadOnly)) return {};
  static const QRegularExpression heading(QStringLiteral(R"(^#\s+(.+?)\s*$)"), QRegularExpression::MultilineOption);
  return heading.match(QString::fromUtf8(guide.readAll())).captured(1);
}

class ChineseInterfaceTest : public QObject {
  Q_OBJECT

 private slots:
  // Later tests see the toolkit as their own start-up leaves it.
  void cleanup() {
    qDeleteAll(qApp->findChildren<QTranslator*>());
    QLocale::setDefault(QLocale::c());
  }

  void standardDialogsAndMenusSpeakChinese() {
    QCOMPARE(InstallTranslations(*qApp, InterfaceLocale()), 1);
    QVERIFY(HasChinese(QCoreApplication::translate("QWidgetTextControl", "&Copy")));  // context menus
    QVERIFY(HasChinese(QCoreApplication::translate("QMdiSubWindow", "&Close")));       // the system menu
    // The file dialog's type column, which the catalog of this Qt lacks.
    QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), QString::fromUtf8(u8"文件夹"));
    QFileDialog dialog;  // made after start-up, it shows them
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    bool chineseLabel = false;
    for (QLabel* label : dialog.findChildren<QLabel*>()) chineseLabel = chineseLabel || HasChinese(label->text());
    QVERIFY(chineseLabel);
    QCOMPARE(QLocale().measurementSystem(), QLocale::MetricSystem);  // the page set-up in mm
  }

  void missingCatalogsLeaveStartUpGoing() {
    QTemporaryDir empty;
    QCOMPARE(InstallTranslations(*qApp, InterfaceLocale(), empty.path()), 0);
    QVERIFY(qApp->findChildren<QTranslator*>().isEmpty());  // English throughout, not half
    QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), QStringLiteral("Folder"));
  }

  void helpTopicsOpensTheChineseGuide() {
    DesktopScope scope;
    Desktop d;
    d.window.CommandAction(CommandId::HelpTopics)->trigger();
    auto* help = d.window.findChild<HelpWindow*>();
    QVERIFY(help && help->isVisible());
    QVERIFY(HasChinese(help->windowTitle()));
    const QString first = FirstHeading(QStringLiteral("README.md"));
    QVERIFY(!first.isEmpty() && help->Browser()->toPlainText().contains(first));
    QCOMPARE(d.Windows(), 0);  // no text window of the command-line usage
    d.window.CommandAction(CommandId::HelpTopics)->trigger();
    QCOMPARE(d.window.findChildren<HelpWindow*>().size(), 1);  // asked again: the same window
  }

  void everyChapterLinkAndPictureResolves() {
    HelpWindow help;
    const auto chapters = HelpWindow::Chapters();
    QVERIFY(chapters.size() >= 8);
    QCOMPARE(help.Contents()->count(), static_cast<int>(chapters.size()));
    static const QRegularExpression link(QStringLiteral(R"(\]\(([^)#\s:]+)(#[^)]*)?\))"));
    QStringList files{QStringLiteral("README.md")};
    for (const auto& [title, file] : chapters) files << file;
    for (const QString& file : files) {
      // The chapter renders as a document: its heading without the Markdown marks.
      help.Browser()->setSource(HelpWindow::Chapter(file));
      const QString heading = FirstHeading(file);
      QVERIFY2(!heading.isEmpty() && help.Browser()->toPlainText().startsWith(heading), qPrintable(file));
      QFile text(QStringLiteral(":/guide/") + file);
      QVERIFY(text.open(QIODevice::ReadOnly));
      for (auto m = link.globalMatch(QString::fromUtf8(text.readAll())); m.hasNext();) {
        const QString target = m.next().captured(1);
        const QUrl resolved = HelpWindow::Chapter(file).resolved(QUrl(target));
        QVERIFY2(QFile::exists(QLatin1Char(':') + resolved.path()), qPrintable(file + QStringLiteral(" -> ") + target));
      }
    }
    // Full-screen pictures are scaled down to fit beside the contents.
    const QVariant picture = help.Browser()->loadResource(QTextDocument::ImageResource,
                                                          HelpWindow::Chapter(QStringLiteral("images/main-3d-report.png")));
    QCOMPARE(picture.typeId(), QMetaType::QImage);
    QCOMPARE(picture.value<QImage>().width(), 760);
    // Following a link from the index goes to the chapter, and the contents mark it.
    help.Browser()->setSource(HelpWindow::Home());
    const auto& [title, file] = chapters.back();
    help.Browser()->setSource(HelpWindow::Home().resolved(QUrl(file)));
    QVERIFY(help.Browser()->toPlainText().startsWith(FirstHeading(file)));
    QCOMPARE(help.Contents()->currentItem()->text(), title);
  }
};

}  // namespace
VEMO_DESKTOP_TEST(ChineseInterfaceTest);
}  // namespace vemo::test

#include "ChineseInterfaceTest.moc"

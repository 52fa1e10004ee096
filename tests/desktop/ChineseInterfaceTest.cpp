// The Chinese interface: Qt's own catalogs loaded at start-up (and start-up unharmed without
// them), and "帮助主题" opening the user guide whose chapters, links and pictures all resolve.
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
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
  for (QChar c : text)
    if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
  return false;
}

// Takes the translators of a test off the application again, so later tests see the toolkit
// as their own start-up leaves it.
void RemoveTranslators() {
  for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
  }
  QLocale::setDefault(QLocale::c());
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
  void cleanup() { RemoveTranslators(); }

  void standardDialogsAndMenusSpeakChinese() {
    QCOMPARE(InstallTranslations(*qApp, InterfaceLocale()), 1);
    // The text edit's context menu and the file dialog, as the widgets ask for them.
    const QString copy = QCoreApplication::translate("QWidgetTextControl", "&Copy");
    QVERIFY2(HasChinese(copy), qPrintable(copy));
    QVERIFY(HasChinese(QCoreApplication::translate("QFileDialog", "Look in:")));
    QVERIFY(HasChinese(QCoreApplication::translate("QMdiSubWindow", "&Close")));
    // The file dialog's type column, which the catalog of this Qt lacks.
    QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), QString::fromUtf8(u8"文件夹"));
    // A dialog made after start-up shows them.
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    bool chineseLabel = false;
    for (QLabel* label : dialog.findChildren<QLabel*>()) chineseLabel = chineseLabel || HasChinese(label->text());
    QVERIFY(chineseLabel);
    QCOMPARE(QLocale().measurementSystem(), QLocale::MetricSystem);
  }

  void missingCatalogsLeaveStartUpGoing() {
    QTemporaryDir empty;
    QCOMPARE(InstallTranslations(*qApp, InterfaceLocale(), empty.path()), 0);
    QVERIFY(qApp->findChildren<QTranslator*>().isEmpty());
    QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "&Copy"), QStringLiteral("&Copy"));
    // A broken catalog is no catalog either.
    QFile broken(empty.path() + QStringLiteral("/qtbase_zh_CN.qm"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a catalog");
    broken.close();
    QCOMPARE(InstallTranslations(*qApp, InterfaceLocale(), empty.path()), 0);
    DesktopScope scope;
    Desktop d;  // the main window still comes up
    QVERIFY(d.window.isVisible());
  }

  void helpTopicsOpensTheChineseGuide() {
    DesktopScope scope;
    Desktop d;
    d.window.CommandAction(CommandId::HelpTopics)->trigger();
    auto* help = d.window.findChild<HelpWindow*>();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QVERIFY(HasChinese(help->windowTitle()));
    const QString first = FirstHeading(QStringLiteral("README.md"));
    QVERIFY(!first.isEmpty());
    QVERIFY(help->Browser()->toPlainText().contains(first));
    QCOMPARE(d.Windows(), 0);  // no text window of the command-line usage
    // Asking again raises the same window.
    d.window.CommandAction(CommandId::HelpTopics)->trigger();
    QCOMPARE(d.window.findChildren<HelpWindow*>().size(), 1);
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
      // The chapter renders as a document (its heading without the Markdown marks).
      help.Browser()->setSource(HelpWindow::Chapter(file));
      const QString heading = FirstHeading(file);
      QVERIFY2(!heading.isEmpty(), qPrintable(file));
      QVERIFY2(help.Browser()->toPlainText().startsWith(heading), qPrintable(file));
      QFile text(QStringLiteral(":/guide/") + file);
      QVERIFY(text.open(QIODevice::ReadOnly));
      const QString markdown = QString::fromUtf8(text.readAll());
      for (auto m = link.globalMatch(markdown); m.hasNext();) {
        const QString target = m.next().captured(1);
        const QUrl resolved = HelpWindow::Chapter(file).resolved(QUrl(target));
        QVERIFY2(QFile::exists(QLatin1Char(':') + resolved.path()), qPrintable(file + QStringLiteral(" -> ") + target));
      }
    }
    // Following a link goes to the chapter, and the contents mark it.
    help.Browser()->setSource(HelpWindow::Home());
    const auto& [title, file] = chapters.back();
    help.Browser()->setSource(HelpWindow::Home().resolved(QUrl(file)));
    QVERIFY(help.Browser()->toPlainText().startsWith(FirstHeading(file)));
    QCOMPARE(help.Contents()->currentItem()->text(), title);
    help.Browser()->backward();
    QCOMPARE(help.Browser()->source(), HelpWindow::Home());
  }
};

}  // namespace
VEMO_DESKTOP_TEST(ChineseInterfaceTest);
}  // namespace vemo::test

#include "ChineseInterfaceTest.moc"

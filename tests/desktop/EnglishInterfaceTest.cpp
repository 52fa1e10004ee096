// The English interface: with the program's catalog installed the main window's menus,
// actions, toolbars and status bar hold no Chinese; a text the catalog lacks still shows, in
// Chinese; the view menu stores the language chosen for the next start.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "app/desktop/Translations.h"
#include "geodesy/Encoding.h"
#include "geodesy/UiText.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {
namespace {

// CJK ideographs and punctuation, and the full-width forms.
bool HasCjk(const QString& text) {
  static const QRegularExpression cjk(QStringLiteral("[\\x{3000}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
  return text.contains(cjk);
}

// The texts of an action (and of its submenu's actions) that still hold Chinese.
void CollectChinese(QAction* action, const QString& where, QStringList& found) {
  for (const QString& text : {action->text(), action->toolTip(), action->statusTip()})
    if (HasCjk(text)) found << where + QStringLiteral(": ") + text;
  if (QMenu* menu = action->menu())
    for (QAction* item : menu->actions()) CollectChinese(item, where + QLatin1Char('/') + action->text(), found);
}

class EnglishInterfaceTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { InstallTranslations(*qApp, QLocale(QLocale::English, QLocale::UnitedStates)); }
  void cleanup() { RemoveTranslations(*qApp); }

  void mainWindowHoldsNoChinese() {
    DesktopScope scope;
    Desktop d;
    QStringList found;
    if (HasCjk(d.window.windowTitle())) found << d.window.windowTitle();
    for (QAction* action : d.window.menuBar()->actions()) CollectChinese(action, QStringLiteral("menu"), found);
    for (QToolBar* bar : d.window.findChildren<QToolBar*>()) {
      if (HasCjk(bar->windowTitle())) found << bar->windowTitle();
      for (QAction* action : bar->actions()) CollectChinese(action, QStringLiteral("toolbar"), found);
    }
    if (HasCjk(d.window.statusBar()->currentMessage())) found << d.window.statusBar()->currentMessage();
    for (QLabel* pane : d.window.statusBar()->findChildren<QLabel*>())
      if (HasCjk(pane->text())) found << pane->text();
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    QCOMPARE(d.window.statusBar()->currentMessage(), QStringLiteral("Ready"));
  }

  void textMissingFromTheCatalogStaysChinese() {
    const char* missing = u8"目录里没有的文字";
    QCOMPARE(QLabel(Tr(missing)).text(), QString::fromUtf8(missing));
    QCOMPARE(std::string(UiText(missing)), Utf8ToGbk(missing));
    QCOMPARE(Tr(u8"就绪"), QStringLiteral("Ready"));  // while the catalog's own texts are English
  }

  void languageMenuStoresTheChoice() {
    DesktopScope scope;
    Desktop d;
    auto* menu = d.window.findChild<QMenu*>(QStringLiteral("interfaceLanguage"));
    QVERIFY(menu);
    const QList<QAction*> choices = menu->actions();
    QCOMPARE(choices.size(), 3);
    QVERIFY(choices[0]->isChecked());  // nothing stored: the system decides
    ModalWatcher watcher;
    choices[1]->trigger();
    QCOMPARE(InterfaceLanguageSetting(), QStringLiteral("zh_CN"));
    QVERIFY(choices[1]->isChecked() && !choices[0]->isChecked());
    QCOMPARE(watcher.messages.size(), 1);
    QVERIFY(!HasCjk(watcher.messages.front()));  // said in the language of this start
    choices[2]->trigger();
    QCOMPARE(InterfaceLanguageSetting(), QStringLiteral("en"));
  }
};

}  // namespace
VEMO_DESKTOP_TEST(EnglishInterfaceTest);
}  // namespace vemo::test

#include "EnglishInterfaceTest.moc"

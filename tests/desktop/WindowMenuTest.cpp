// The document windows: the window menu's numbered list with the active one checked and
// "全部关闭" asking for unsaved edits; new windows that open inside the area from the second to
// the fifteenth, readable cascade and tile, the maximized way of working remembered; the
// accelerators of the main road clear of Qt's standard keys.
#include <QAction>
#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSet>
#include <QTest>

#include "app/desktop/Accelerators.h"
#include "app/desktop/TextView.h"
#include "app/desktop/WindowMenu.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {
namespace {

TextView* OpenText(Desktop& d, const QString& title) {
  return d.window.ShowText(title, "line\n");
}

QRect Area(Desktop& d) { return d.window.Mdi()->viewport()->rect(); }

}  // namespace

class WindowMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void listsTheWindowsNumberedWithTheActiveCheckedAndClosesAll() {
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    WindowMenu* windows = d.window.Windows();
    QVERIFY(windows);
    QVERIFY(!windows->CloseAllAction()->isEnabled());
    OpenText(d, QStringLiteral("a&b"));
    TextView* second = OpenText(d, QStringLiteral("second"));
    OpenText(d, QStringLiteral("third"));
    windows->UpdateList();
    QList<QAction*> entries = windows->WindowActions();
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0]->text(), QStringLiteral("&1 a&&b"));
    QCOMPARE(entries[1]->text(), QStringLiteral("&2 second"));
    QCOMPARE(entries[2]->text(), QStringLiteral("&3 third"));
    QVERIFY(!entries[0]->isChecked() && !entries[1]->isChecked() && entries[2]->isChecked());
    // Choosing an entry activates its window, and the list checks it.
    entries[1]->trigger();
    QCOMPARE(d.window.ActiveTextView(), second);
    windows->UpdateList();
    entries = windows->WindowActions();
    QVERIFY(entries[1]->isChecked() && !entries[2]->isChecked());

    // "全部关闭" asks for the edited one as its own close does; cancelled, it stays open.
    second->insertPlainText(QStringLiteral("typed"));
    watcher.answers = {QMessageBox::Cancel};
    QVERIFY(!windows->CloseAll());
    QCoreApplication::processEvents();
    QCOMPARE(watcher.messages.size(), 1);
    QVERIFY(watcher.messages[0].contains(QString::fromUtf8(u8"是否保存")));
    QCOMPARE(windows->WindowActions().size(), 1);
    watcher.answers = {QMessageBox::No};
    windows->CloseAllAction()->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(watcher.messages.size(), 2);
    QVERIFY(windows->WindowActions().isEmpty());
    QVERIFY(!windows->CloseAllAction()->isEnabled());
  }

  void newWindowsOpenInsideTheAreaAndArrangeReadably() {
    DesktopScope scope;
    Desktop d;
    d.window.resize(1024, 720);
    QCoreApplication::processEvents();
    QList<QMdiSubWindow*> opened;
    QSet<QPoint> corners;
    for (int i = 1; i <= 15; ++i) {
      OpenText(d, QStringLiteral("report %1").arg(i));
      QMdiSubWindow* window = d.window.Mdi()->activeSubWindow();
      QVERIFY(window);
      opened << window;
      QVERIFY2(Area(d).contains(window->geometry()), qPrintable(QStringLiteral("window %1").arg(i)));
      corners.insert(window->pos());
    }
    // Cascaded, not piled up: several corners, each caption visible.
    QVERIFY(corners.size() >= 5);
    // A window closed in the middle frees its slot for the next one (a slot no other window
    // shares once the cascade has wrapped round).
    int alone = -1;
    for (int i = 1; i < opened.size() && alone < 0; ++i) {
      int sharing = 0;
      for (QMdiSubWindow* other : opened) sharing += other->pos() == opened[i]->pos() ? 1 : 0;
      if (sharing == 1) alone = i;
    }
    QVERIFY(alone > 0);
    const QPoint freed = opened[alone]->pos();
    opened[alone]->close();
    QCoreApplication::processEvents();
    OpenText(d, QStringLiteral("next"));
    QCOMPARE(d.window.Mdi()->activeSubWindow()->pos(), freed);

    const QRect area = Area(d);
    d.window.RunMenuCommand(CommandId::WindowCascade);
    for (QMdiSubWindow* window : d.window.Mdi()->subWindowList()) {
      QVERIFY(area.contains(window->geometry()));
      QVERIFY(window->width() >= area.width() * 2 / 3 && window->height() >= area.height() * 2 / 3);
    }
    d.window.RunMenuCommand(CommandId::WindowTile);
    for (QMdiSubWindow* window : d.window.Mdi()->subWindowList()) {
      QVERIFY(area.contains(window->geometry()));
      QVERIFY(window->width() >= 340 && window->height() >= 200);
    }
  }

  void theCellsOfATilingCoverTheAreaWithoutOverlap() {
    const QRect area(0, 0, 1000, 600);
    for (int count : {1, 2, 3, 5, 14}) {
      const std::vector<QRect> cells = WindowMenu::TileCells(area, count);
      QVERIFY(!cells.empty() && static_cast<int>(cells.size()) <= count);
      int covered = 0;
      for (size_t i = 0; i < cells.size(); ++i) {
        QVERIFY(area.contains(cells[i]));
        covered += cells[i].width() * cells[i].height();
        for (size_t j = 0; j < i; ++j) QVERIFY(!cells[i].intersects(cells[j]));
      }
      QCOMPARE(covered, area.width() * area.height());
    }
    // An area smaller than a readable window: one slot, the whole area.
    const QRect small(0, 0, 300, 200);
    QCOMPARE(WindowMenu::SlotCount(small, 24), 1);
    QCOMPARE(WindowMenu::CascadeSlot(small, 7, 24), small);
  }

  void workingMaximizedIsRemembered() {
    DesktopScope scope;
    {
      Desktop d;
      OpenText(d, QStringLiteral("one"));
      d.window.Mdi()->activeSubWindow()->showMaximized();
      OpenText(d, QStringLiteral("two"));
      QVERIFY(d.window.Mdi()->activeSubWindow()->isMaximized());
    }
    {
      Desktop d;  // the next session
      OpenText(d, QStringLiteral("three"));
      QMdiSubWindow* window = d.window.Mdi()->activeSubWindow();
      QVERIFY(window->isMaximized());
      // Cascading is a choice to work with normal windows, also remembered.
      d.window.RunMenuCommand(CommandId::WindowCascade);
      QVERIFY(!window->isMaximized());
      OpenText(d, QStringLiteral("four"));
      QVERIFY(!d.window.Mdi()->activeSubWindow()->isMaximized());
    }
  }

  void acceleratorsAreShownAndClearOfStandardKeys() {
    DesktopScope scope;
    Desktop d;
    QSet<QKeySequence> taken;
    // F1 (HelpContents) is left out: the user guide takes it for its own meaning.
    for (int k = QKeySequence::HelpContents + 1; k <= QKeySequence::Cancel; ++k)
      for (const QKeySequence& key : QKeySequence::keyBindings(static_cast<QKeySequence::StandardKey>(k))) taken << key;
    taken << QKeySequence(Qt::CTRL | Qt::Key_H);  // the edit menu's replace
    QSet<QKeySequence> seen;
    for (const Accelerator& accelerator : Accelerators()) {
      const QKeySequence key = d.window.CommandAction(accelerator.id)->shortcut();
      QVERIFY2(!key.isEmpty(), accelerator.key);
      QCOMPARE(key.toString(QKeySequence::PortableText), QString::fromLatin1(accelerator.key));
      QVERIFY2(!taken.contains(key), accelerator.key);
      QVERIFY2(!seen.contains(key), accelerator.key);
      seen << key;
    }
  }
};

VEMO_DESKTOP_TEST(WindowMenuTest);

}  // namespace vemo::test

#include "WindowMenuTest.moc"

// The verdicts of the statistical tests in the result menu: disabled until an adjustment has
// written its report, then the verdict of that report, which the entry opens.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/desktop/TestVerdictMenu.h"
#include "app/desktop/TextView.h"
#include "project/ProjectDialogs.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {
namespace {

class TestVerdictMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheVerdictOfEachReportAndOpensIt() {
    QTemporaryDir dir;
    const QString project = MakeSampleProject(dir.path());
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    QMenu* results = nullptr;
    for (QAction* a : d.window.menuBar()->actions())
      if (a->text() == QString::fromUtf8(u8"结果显示(&R)")) results = a->menu();
    QVERIFY(results);
    auto* test3d = results->findChild<QAction*>(QStringLiteral("GPS3dTest"));
    auto* test2d = results->findChild<QAction*>(QStringLiteral("GPS2dTest"));
    QVERIFY(test3d && test2d);
    QVERIFY(!test3d->isEnabled());
    QCOMPARE(test3d->text(), QString::fromUtf8(u8"三维网统计检验(尚无检验报告)"));

    QVERIFY(OpenProject(project.toStdString()));
    d.window.UpdateMenus();
    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    d.window.CommandAction(CommandId::Adjust2d)->trigger();
    emit results->aboutToShow();
    QVERIFY(test3d->isEnabled());
    // The verdicts depend on the sample's noise (its centring errors are not in the vectors'
    // covariances, and the fixed outlier level sees them), so only their form is checked.
    QVERIFY(test3d->text().startsWith(QString::fromUtf8(u8"三维网统计检验: 全局检验")));
    QVERIFY(test2d->isEnabled());
    QVERIFY(test2d->text().startsWith(QString::fromUtf8(u8"二维网统计检验: 全局检验")));

    test3d->trigger();
    TextView* view = d.window.ActiveTextView();
    QVERIFY(view);
    QVERIFY(view->toPlainText().contains(QString::fromUtf8(u8"三维网平差统计检验")));
    QVERIFY(watcher.messages.isEmpty());
  }
};

VEMO_DESKTOP_TEST(TestVerdictMenuTest);

}  // namespace
}  // namespace vemo::test

#include "TestVerdictMenuTest.moc"

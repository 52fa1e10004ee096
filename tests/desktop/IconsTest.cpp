// The pictures of the toolbar: each button has one at every size and scale whatever icon
// theme the system has, the theme's own picture where the theme has the name, and the
// program's drawing where it does not.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "app/desktop/Icons.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {
namespace {

// The share of pixels that are drawn (not transparent) in the icon at that size and scale.
double Drawn(const QIcon& icon, int size, qreal scale) {
  const QImage image = icon.pixmap(QSize(size, size), scale).toImage().convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) return 0;
  int drawn = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) drawn += qAlpha(image.pixel(x, y)) > 0;
  return double(drawn) / (image.width() * image.height());
}

// Selects an icon theme for the life of the scope.
struct ThemeScope {
  ThemeScope(const QStringList& paths, const QString& name)
      : m_Paths(QIcon::themeSearchPaths()), m_Name(QIcon::themeName()) {
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(name);
  }
  ~ThemeScope() {
    QIcon::setThemeSearchPaths(m_Paths);
    QIcon::setThemeName(m_Name);
  }
  QStringList m_Paths;
  QString m_Name;
};

class IconsTest : public QObject {
  Q_OBJECT

 private slots:
  void everyToolbarButtonHasItsOwnPictureAtEveryScale() {
    QTemporaryDir empty;
    ThemeScope theme({empty.path()}, QStringLiteral("no-such-theme"));
    DesktopScope scope;
    Desktop d;
    auto* toolbar = d.window.findChild<QToolBar*>(QStringLiteral("toolbar"));
    QVERIFY(toolbar);
    QSet<QByteArray> pictures;
    int buttons = 0;
    for (QAction* action : toolbar->actions()) {
      if (action->isSeparator()) continue;
      ++buttons;
      for (int size : {16, 24, 32, 48})
        for (qreal scale : {1.0, 2.0})
          QVERIFY2(Drawn(action->icon(), size, scale) > 0.05, qPrintable(action->text()));
      const QImage image = action->icon().pixmap(24).toImage();
      pictures.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    QVERIFY(buttons >= 15);
    QCOMPARE(pictures.size(), buttons);  // no two commands look alike
    QVERIFY(Drawn(ApplicationIcon(), 48, 1.0) > 0.3);
  }

  void theThemesPictureWinsWhereTheThemeHasTheName() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("test/24x24/actions")));
    QFile index(dir.path() + QStringLiteral("/test/index.theme"));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=test\nDirectories=24x24/actions\n\n[24x24/actions]\nSize=24\nType=Fixed\n");
    index.close();
    QImage magenta(24, 24, QImage::Format_ARGB32);
    magenta.fill(QColor(255, 0, 255));
    QVERIFY(magenta.save(dir.path() + QStringLiteral("/test/24x24/actions/document-new.png")));
    ThemeScope theme({dir.path()}, QStringLiteral("test"));

    const QImage themed = CommandIcon(CommandId::FileNew).pixmap(24).toImage();
    QCOMPARE(QColor(themed.pixel(12, 12)), QColor(255, 0, 255));
    // A name the theme lacks: the program's own drawing, never a blank.
    const QIcon open = CommandIcon(CommandId::FileOpen);
    QCOMPARE(open.pixmap(24).toImage(), BundledCommandIcon(CommandId::FileOpen).pixmap(24).toImage());
    QVERIFY(Drawn(open, 24, 1.0) > 0.05);
    // The domain commands are always the program's drawings.
    QCOMPARE(CommandIcon(CommandId::Adjust3d).pixmap(24).toImage(),
             BundledCommandIcon(CommandId::Adjust3d).pixmap(24).toImage());
  }
};

VEMO_DESKTOP_TEST(IconsTest);

}  // namespace
}  // namespace vemo::test

#include "IconsTest.moc"

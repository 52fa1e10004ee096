// Renders an SVG icon into the PNG sizes of an icon theme:
//   render_icon SVG THEME_DIR CONTEXT NAME SIZE...
// writes THEME_DIR/SIZExSIZE/CONTEXT/NAME.png for each size, with Qt's SVG renderer (no
// display needed).
#include <QGuiApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: render_icon SVG THEME_DIR CONTEXT NAME SIZE...\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
  if (!renderer.isValid()) {
    std::fprintf(stderr, "render_icon: %s is no SVG picture\n", argv[1]);
    return 1;
  }
  for (int i = 5; i < argc; ++i) {
    const int size = QByteArray(argv[i]).toInt();
    if (size <= 0) return 2;
    const QString dir = QStringLiteral("%1/%2x%2/%3").arg(QString::fromLocal8Bit(argv[2])).arg(size).arg(QString::fromLocal8Bit(argv[3]));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    const QString path = dir + QLatin1Char('/') + QString::fromLocal8Bit(argv[4]) + QStringLiteral(".png");
    if (!QDir().mkpath(dir) || !image.save(path)) {
      std::fprintf(stderr, "render_icon: cannot write %s\n", path.toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}

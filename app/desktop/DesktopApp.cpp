#include "app/desktop/DesktopApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QSplashScreen>
#include <QTimer>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <utility>

#include "app/desktop/DesktopHost.h"
#include "app/desktop/Icons.h"
#include "app/desktop/MainWindow.h"
#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "geodesy/Platform.h"
#include "geodesy/Version.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"

namespace vemo {
namespace {

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[text.size() - tail.size() + i])) != tail[i]) return false;
  return true;
}

bool HasDisplay() {
  for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return true;
  }
  return false;
}

// The splash window: the program's title over a plain picture, for 2750 ms or until the
// first key or mouse input.
class Splash final : public QSplashScreen {
 public:
  explicit Splash(const QPixmap& pixmap) : QSplashScreen(pixmap) { QApplication::instance()->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::MouseButtonPress:
        close();
        break;
      default:
        break;
    }
    return QSplashScreen::eventFilter(object, event);
  }
};

QPixmap SplashPicture() {
  QPixmap pixmap(480, 240);
  pixmap.fill(QColor(22, 62, 120));
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(255, 255, 255, 90), 1.2));
  // A small network of triangles and circles.
  const QPointF points[] = {{60, 170}, {150, 90}, {250, 150}, {330, 70}, {420, 160}};
  for (size_t i = 0; i + 1 < std::size(points); ++i) painter.drawLine(points[i], points[i + 1]);
  painter.drawLine(points[0], points[2]);
  painter.drawLine(points[2], points[4]);
  for (const QPointF& p : points) painter.drawEllipse(p, 4, 4);
  QFont font(QStringLiteral("WenQuanYi Micro Hei"));
  font.setPixelSize(40);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRectF(0, 20, 480, 60), Qt::AlignCenter, QStringLiteral("VemoGPS"));
  font.setPixelSize(16);
  font.setBold(false);
  painter.setFont(font);
  painter.drawText(QRectF(0, 190, 480, 30), Qt::AlignCenter, Tr(u8"GPS工程测量网通用平差软件包  V%1").arg(QString::fromLatin1(kVemoVersion)));
  return pixmap;
}

// Milliseconds since the process started: its start time in clock ticks after boot against
// the boot-time clock (10 ms resolution).
double MillisecondsSinceProcessStart() {
  std::FILE* stat = std::fopen("/proc/self/stat", "r");
  if (!stat) return -1;
  char buffer[1024] = {};
  const size_t n = std::fread(buffer, 1, sizeof buffer - 1, stat);
  std::fclose(stat);
  buffer[n] = 0;
  // The fields after the command name (which may hold blanks) start behind its ')'.
  const char* rest = std::strrchr(buffer, ')');
  unsigned long long startTicks = 0;
  if (!rest || std::sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                           &startTicks) != 1)
    return -1;
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return (now.tv_sec + now.tv_nsec * 1e-9 - static_cast<double>(startTicks) / sysconf(_SC_CLK_TCK)) * 1000.0;
}

// The start-up measurement (VEMOGPS_STARTUP_TIME set): once the main window has painted and
// the event loop has nothing left to do, the window is usable; the time goes to standard
// error, and with the value "exit" the program ends there.
void ReportWhenUsable(QWidget& window, const QElapsedTimer& clock, const char* measure) {
  struct FirstPaint final : QObject {
    std::function<void()> then;
    bool eventFilter(QObject* object, QEvent* event) override {
      if (event->type() == QEvent::Paint && then) {
        // Queued behind whatever the paint started: the first idle moment.
        QTimer::singleShot(0, std::exchange(then, nullptr));
      }
      return QObject::eventFilter(object, event);
    }
  };
  auto* watcher = new FirstPaint;
  watcher->setParent(&window);
  const bool exit = std::strcmp(measure, "exit") == 0;
  watcher->then = [&clock, exit] {
    std::fprintf(stderr, "VemoGPS: usable after %.0f ms from process start (%lld ms after QApplication began)\n",
                 MillisecondsSinceProcessStart(), static_cast<long long>(clock.elapsed()));
    if (exit) QCoreApplication::quit();
  };
  window.installEventFilter(watcher);
}

}  // namespace

bool ParseDesktopArguments(const std::vector<std::string>& arguments, DesktopStart& start) {
  for (const std::string& a : arguments) {
    if (a == "--no-splash") start.splash = false;
    else if (start.projectFile.empty() && a.rfind("-", 0) != 0 && EndsWithNoCase(a, ".prj")) start.projectFile = a;
    else return false;
  }
  return true;
}

int RunDesktop(int argc, char** argv, const DesktopStart& start) {
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "VemoGPS: no display for the desktop (DISPLAY is not set); give a command to run headless,\n"
                 "see: VemoGPS help\n");
    return 2;
  }
  QElapsedTimer clock;
  clock.start();
  QApplication application(argc, argv);
  application.setApplicationName(QStringLiteral("VemoGPS"));
  application.setApplicationVersion(QString::fromLatin1(kVemoVersion));
  // The window manager matches the windows to the installed desktop entry and its icon.
  application.setDesktopFileName(QStringLiteral("vemogps"));
  application.setWindowIcon(ApplicationIcon());
  application.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 10));
  // Before any window: the standard dialogs and context menus take their texts when made.
  InstallTranslations(application, InterfaceLocale());

  DesktopHost host;
  PlatformHost* previous = InstallPlatformHost(&host);
  int status = 0;
  {
    std::unique_ptr<Splash> splash;
    if (start.splash) {
      splash = std::make_unique<Splash>(SplashPicture());
      splash->show();
      QTimer::singleShot(2750, splash.get(), &QWidget::close);
    }
    MainWindow window(host);
    host.SetMainWindow(&window);
    window.showMaximized();
    if (splash) splash->raise();
    window.ReopenLastProject(start.projectFile);

    if (const char* measure = std::getenv("VEMOGPS_STARTUP_TIME")) ReportWhenUsable(window, clock, measure);
    status = application.exec();
    host.SetMainWindow(nullptr);
  }
  InstallPlatformHost(previous);
  return status;
}

}  // namespace vemo

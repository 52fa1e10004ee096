// How the desktop answers while "三维向量网平差" runs from its menu action on a generated
// network (default 2000 points): a helper thread stands in for the person and posts an input
// event every 20 ms; the time until the window's event loop dispatches it is the delay a
// click or a repaint request would see. One of them, 300 ms in, clicks "取消" of the progress
// window. Reports the longest and the median delay, the repaints of the progress window and
// the main window, and where the click on "取消" arrived.
// Usage: bench_desktop_responsiveness [POINTS]; runs on any Qt platform (offscreen as well).
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "app/desktop/DesktopHost.h"
#include "app/desktop/MainWindow.h"
#include "bench/BenchProject.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"
#include "tests/adjust3d/SyntheticNetwork.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kInputInterval = std::chrono::milliseconds(20);
constexpr auto kCancelAfter = std::chrono::milliseconds(300);

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// An input event stamped when the person made it.
struct InputEvent final : QEvent {
  static const QEvent::Type kType;
  explicit InputEvent(Clock::time_point made) : QEvent(kType), made(made) {}
  Clock::time_point made;
};
const QEvent::Type InputEvent::kType = static_cast<QEvent::Type>(QEvent::registerEventType());

// Lives on the user-interface thread: records each input's delay, counts repaints, and
// clicks "取消" with the first input made after kCancelAfter.
class Recorder final : public QObject {
 public:
  std::vector<double> delays;  // ms
  std::vector<std::pair<double, double>> seen;  // (made, seen) ms after the start
  int progressPaints = 0, windowPaints = 0;
  Clock::time_point started;
  double cancelMade = -1, cancelSeen = -1;  // ms after the start
  QWidget* window = nullptr;

  bool event(QEvent* e) override {
    if (e->type() != InputEvent::kType) return QObject::event(e);
    const auto now = Clock::now();
    const auto made = static_cast<InputEvent*>(e)->made;
    delays.push_back(Ms(now - made));
    seen.emplace_back(Ms(made - started), Ms(now - started));
    if (cancelSeen < 0 && made - started >= kCancelAfter) {
      for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* cancel = top->isVisible() ? top->findChild<QAbstractButton*>(QStringLiteral("cancel")) : nullptr) {
          cancel->click();
          cancelMade = Ms(made - started);
          cancelSeen = Ms(now - started);
        }
    }
    return true;
  }
  bool eventFilter(QObject* object, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      auto* widget = qobject_cast<QWidget*>(object);
      if (widget && widget->window() == window) ++windowPaints;
      else if (widget && qobject_cast<QDialog*>(widget->window())) ++progressPaints;
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const int points = argc > 1 ? std::max(4, std::atoi(argv[1])) : 2000;
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("vemo-bench-desktop-" + std::to_string(QCoreApplication::applicationPid()));
  fs::create_directories(dir);
  vemo::test::WriteSyntheticProject(vemo::test::MakeSyntheticNetwork(points, 7u + points), dir.string(), "bench");
  qputenv("VEMOGPS_CONFIG_DIR", QByteArray::fromStdString(dir.string()));

  vemo::DesktopHost host;
  vemo::PlatformHost* previous = vemo::InstallPlatformHost(&host);
  int status = 1;
  {
    vemo::MainWindow window(host);
    host.SetMainWindow(&window);
    window.resize(1200, 800);
    window.show();
    vemo::bench::OpenBenchProject(dir.string());
    window.UpdateMenus();

    Recorder recorder;
    recorder.window = &window;
    application.installEventFilter(&recorder);
    std::atomic<bool> running{false}, done{false};
    std::thread person([&] {
      while (!done) {
        std::this_thread::sleep_for(kInputInterval);
        if (running) QCoreApplication::postEvent(&recorder, new InputEvent(Clock::now()));
      }
    });
    double total = 0;
    QTimer::singleShot(100, [&] {
      recorder.started = Clock::now();
      running = true;
      window.CommandAction(vemo::CommandId::Adjust3d)->trigger();
      running = false;
      total = Ms(Clock::now() - recorder.started);
      // The inputs made during the computation that it did not let through come now.
      QCoreApplication::sendPostedEvents(&recorder, InputEvent::kType);
      status = window.LastStatus();
      QCoreApplication::quit();
    });
    application.exec();
    done = true;
    person.join();
    application.removeEventFilter(&recorder);

    std::vector<double> d = recorder.delays;
    std::sort(d.begin(), d.end());
    std::printf("points %d, adjustment (command, with its reports) %.0f ms, exit status %d\n", points, total, status);
    if (!d.empty())
      std::printf("input delay over %zu inputs: median %.1f ms, 90%% %.1f ms, longest %.0f ms\n", d.size(),
                  d[d.size() / 2], d[d.size() * 9 / 10], d.back());
    // The stretches in which nothing was let through: from the first input that waited to
    // its dispatch.
    for (size_t i = 0; i < recorder.seen.size(); ++i)
      if (recorder.seen[i].second - recorder.seen[i].first > 100 &&
          (i == 0 || recorder.seen[i].second - recorder.seen[i - 1].second > 1))
        std::printf("  no dispatch from %.0f ms to %.0f ms\n", recorder.seen[i].first, recorder.seen[i].second);
    std::printf("repaints: progress window %d, main window %d\n", recorder.progressPaints, recorder.windowPaints);
    if (recorder.cancelSeen >= 0)
      std::printf("\"取消\" clicked at %.0f ms, seen at %.0f ms\n", recorder.cancelMade, recorder.cancelSeen);
    else
      std::printf("\"取消\" was not reached while the progress window was open\n");
    host.SetMainWindow(nullptr);
  }
  vemo::InstallPlatformHost(previous);
  fs::remove_all(dir);
  return status;
}

// How the desktop answers while "三维向量网平差" runs from its menu action on a generated
// network (default 2000 points): a helper thread stands in for the person and posts an input
// event every 20 ms; the time until the window's event loop dispatches it is the delay a
// click or a repaint request would see. One of them, 300 ms in, clicks "取消" of the progress
// window. Reports the longest and the median delay, the repaints of the progress window and
// the main window, and where the click on "取消" arrived.
// Usage: bench_desktop_responsiveness [POINTS]; runs on any Qt platform (offscreen as well).
//
// With --open FILE it measures the text viewer instead: the time from the request to open the
// file (a report) to the first screen of it, to the whole file indexed, and of a search over
// the whole file for a text it does not hold; the longest input delay while the file loads and
// during the search; the process's peak resident size. The last line is
// "BENCH viewer 0 <first-screen seconds> <cpu seconds> <peak MB>". With --screenshot PNG the
// window is saved as PNG.top.png on its first screen and as PNG after a match of "P0005" is
// selected.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QTimer>
#include <sys/resource.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/desktop/DesktopHost.h"
#include "app/desktop/MainWindow.h"
#include "app/desktop/PagedText.h"
#include "app/desktop/TextView.h"
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

// Stands in for the person: posts an input to the recorder every kInputInterval while running.
class Person {
 public:
  explicit Person(Recorder& recorder)
      : m_Thread([this, &recorder] {
          while (!m_Done) {
            std::this_thread::sleep_for(kInputInterval);
            if (running) QCoreApplication::postEvent(&recorder, new InputEvent(Clock::now()));
          }
        }) {}
  ~Person() {
    m_Done = true;
    m_Thread.join();
  }
  std::atomic<bool> running{false};

 private:
  std::atomic<bool> m_Done{false};
  std::thread m_Thread;
};

// Runs measure(window) in a main window of 1200 x 800 on the desktop's host; its status.
template <class Measure>
int InMainWindow(Measure measure) {
  vemo::DesktopHost host;
  vemo::PlatformHost* previous = vemo::InstallPlatformHost(&host);
  int status = 1;
  {
    vemo::MainWindow window(host);
    host.SetMainWindow(&window);
    window.resize(1200, 800);
    window.show();
    status = measure(window);
    host.SetMainWindow(nullptr);
  }
  vemo::InstallPlatformHost(previous);
  return status;
}

// The viewer opening path in window, measured as the header describes.
int MeasureViewer(QApplication& application, vemo::MainWindow& window, const QString& path, const QString& screenshot) {
  using vemo::TextView;
  Recorder recorder;
  recorder.window = &window;
  // The first paint of a text view after the request.
  struct FirstPaint final : QObject {
    Clock::time_point at{};
    bool eventFilter(QObject* object, QEvent* e) override {
      if (e->type() == QEvent::Paint && at == Clock::time_point{})
        for (auto* w = qobject_cast<QWidget*>(object); w; w = w->parentWidget())
          if (qobject_cast<TextView*>(w)) at = Clock::now();
      return false;
    }
  } firstPaint;
  application.installEventFilter(&recorder);
  application.installEventFilter(&firstPaint);
  auto person = std::make_unique<Person>(recorder);
  std::atomic<bool>& running = person->running;
  Clock::time_point indexedAt{}, findStart{}, findEnd{};
  bool found = true;
  auto search = [&](TextView* view) {
    findStart = Clock::now();
    TextView::Search absent;
    absent.text = QString::fromUtf8(u8"不在报告中的文字");
    found = view->FindText(absent, true);
    findEnd = Clock::now();
    if (!screenshot.isEmpty()) {  // the first screen, and the view with a match selected
      window.grab().save(screenshot + QStringLiteral(".top.png"));
      absent.text = QStringLiteral("P0005");
      view->FindText(absent, true);
      QCoreApplication::processEvents();
      window.grab().save(screenshot);
    }
    // Let the inputs made during the search through, then stop.
    QTimer::singleShot(50, [&] {
      running = false;
      QCoreApplication::quit();
    });
  };
  QTimer::singleShot(100, [&] {
    recorder.started = Clock::now();
    running = true;
    TextView* view = window.OpenTextDocument(path);
    if (!view) {
      running = false;
      QCoreApplication::quit();
      return;
    }
    auto indexedNow = [&, view] {
      indexedAt = Clock::now();
      QTimer::singleShot(200, [&, view] { search(view); });
    };
    if (vemo::PagedTextArea* pages = view->Pages(); pages && !pages->Text().Indexed())
      QObject::connect(&pages->Text(), &vemo::PagedText::indexed, &recorder, indexedNow);
    else
      indexedNow();
  });
  application.exec();
  person.reset();
  application.removeEventFilter(&firstPaint);
  application.removeEventFilter(&recorder);
  if (firstPaint.at == Clock::time_point{} || findEnd == Clock::time_point{}) {
    std::fprintf(stderr, "the file did not open\n");
    return 1;
  }
  // An input made less than one interval before the search began may wait for it.
  const double searchFrom = Ms(findStart - recorder.started) - static_cast<double>(kInputInterval.count());
  double loadDelay = 0, findDelay = 0;
  for (size_t i = 0; i < recorder.seen.size(); ++i) {
    double& longest = recorder.seen[i].first < searchFrom ? loadDelay : findDelay;
    longest = std::max(longest, recorder.delays[i]);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  const double peak = static_cast<double>(usage.ru_maxrss) / 1024.0;
  const double size = static_cast<double>(QFileInfo(path).size()) / 1048576.0;
  std::printf("viewer: file %.0f MB, first screen %.0f ms, whole file indexed %.0f ms, search over the whole file "
              "%.0f ms%s; longest input delay %.0f ms while it loads, %.0f ms during the search; peak %.0f MB\n",
              size, Ms(firstPaint.at - recorder.started), Ms(indexedAt - recorder.started), Ms(findEnd - findStart),
              found ? " (found?)" : "", loadDelay, findDelay, peak);
  std::printf("BENCH viewer 0 %.3f %.2f %.0f\n", Ms(firstPaint.at - recorder.started) / 1000.0, cpu, peak);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if ((argc == 3 || (argc == 5 && std::strcmp(argv[3], "--screenshot") == 0)) && std::strcmp(argv[1], "--open") == 0) {
    const QString path = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const QString screenshot = argc == 5 ? QString::fromLocal8Bit(argv[4]) : QString();
    return InMainWindow([&](vemo::MainWindow& window) { return MeasureViewer(application, window, path, screenshot); });
  }
  const int points = argc > 1 ? std::max(4, std::atoi(argv[1])) : 2000;
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("vemo-bench-desktop-" + std::to_string(QCoreApplication::applicationPid()));
  fs::create_directories(dir);
  vemo::test::WriteSyntheticProject(vemo::test::MakeSyntheticNetwork(points, 7u + points), dir.string(), "bench");
  qputenv("VEMOGPS_CONFIG_DIR", QByteArray::fromStdString(dir.string()));

  const int status = InMainWindow([&](vemo::MainWindow& window) {
    int result = 1;
    vemo::bench::OpenBenchProject(dir.string());
    window.UpdateMenus();

    Recorder recorder;
    recorder.window = &window;
    application.installEventFilter(&recorder);
    auto person = std::make_unique<Person>(recorder);
    std::atomic<bool>& running = person->running;
    double total = 0;
    QTimer::singleShot(100, [&] {
      recorder.started = Clock::now();
      running = true;
      window.CommandAction(vemo::CommandId::Adjust3d)->trigger();
      running = false;
      total = Ms(Clock::now() - recorder.started);
      // The inputs made during the computation that it did not let through come now.
      QCoreApplication::sendPostedEvents(&recorder, InputEvent::kType);
      result = window.LastStatus();
      QCoreApplication::quit();
    });
    application.exec();
    person.reset();
    application.removeEventFilter(&recorder);

    std::vector<double> d = recorder.delays;
    std::sort(d.begin(), d.end());
    std::printf("points %d, adjustment (command, with its reports) %.0f ms, exit status %d\n", points, total, result);
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
    return result;
  });
  fs::remove_all(dir);
  return status;
}

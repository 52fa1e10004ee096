// The network map view: zoom, window, wheel and previous restore the views they should, the
// scroll bars move the window over the map, the switches change what is drawn, printing
// follows the printer's page; the two map commands open one view per coordinate file.
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QRegularExpression>
#include <QStatusBar>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <cmath>

#include "app/desktop/MapView.h"
#include "project/AppState.h"
#include "project/ProjectDialogs.h"
#include "tests/desktop/DesktopTest.h"

namespace vemo::test {
namespace {

constexpr double kGroundTolerance = 1e-6;  // m: the view keeps a ground point to this

// Two known points and two adjusted points with ellipses; the network is 5240 m from south to
// north, so that the default page has the scale 5240 / 262 = 20.0 m/mm.
std::shared_ptr<CVemoGPSDoc> SquareNetwork() {
  auto doc = std::make_shared<CVemoGPSDoc>();
  std::vector<CMapPoint> points = {{"K1", 0, 0, 0, 0, 0},
                                   {"K2", 5240, 1000, 0, 0, 0},
                                   {"P1", 2000, 3000, 2.5f, 1.0f, 0.5f},
                                   {"P2", 4000, 500, 1.2f, 0.8f, 1.0f}};
  doc->Assign(points, {{0, 2}, {2, 1}, {1, 3}, {3, 0}}, 2, "square");
  return doc;
}

struct Ground {
  double x, y;
};
Ground Centre(const MapView& view) { return {view.View().x0, view.View().y0}; }
Ground Under(const MapView& view, QPointF device) {
  Ground g{};
  view.FromDevice(device, g.x, g.y);
  return g;
}
bool Same(const Ground& a, const Ground& b) {
  return std::fabs(a.x - b.x) < kGroundTolerance && std::fabs(a.y - b.y) < kGroundTolerance;
}
bool SameView(const tagScreenParametersStruct& a, const tagScreenParametersStruct& b) {
  return Same({a.x0, a.y0}, {b.x0, b.y0}) && std::fabs(a.k - b.k) < 1e-12 * b.k;
}

int CountPixels(const QImage& image, bool (*match)(QRgb)) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += match(image.pixel(x, y)) ? 1 : 0;
  return count;
}
// Thin red lines are antialiased into pale reds.
bool IsRed(QRgb c) { return qRed(c) > qGreen(c) + 40 && qRed(c) > qBlue(c) + 40; }
bool IsDark(QRgb c) { return qRed(c) < 90 && qGreen(c) < 90 && qBlue(c) < 90; }

struct ShownView {
  ShownView() : view(SquareNetwork()) {
    view.resize(820, 620);
    view.show();
  }
  QPointF Middle() const { return QPointF(view.viewport()->width() / 2.0, view.viewport()->height() / 2.0); }
  MapView view;
};

}  // namespace

class MapViewTest : public QObject {
  Q_OBJECT

 private slots:
  void firstDisplayFitsThePage() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.view));
    // The page's corners are inside the window and one pair of edges nearly touches it.
    const CMapPage& page = s.view.Document().Page();
    const double k = s.view.View().k;
    const double spareX = s.view.viewport()->width() - page.width / k;
    const double spareY = s.view.viewport()->height() - page.height / k;
    QVERIFY(spareX >= 0 && spareY >= 0);
    QVERIFY(std::min(spareX, spareY) < 30);
    QCOMPARE(s.view.HistorySize(), size_t{0});
    // The whole map is in the window: the bars have nothing to scroll.
    QCOMPARE(s.view.horizontalScrollBar()->maximum(), 0);
    QCOMPARE(s.view.verticalScrollBar()->maximum(), 0);
  }

  void zoomKeepsTheCentreAndPreviousWalksBackThroughTheViews() {
    ShownView s;
    const tagScreenParametersStruct fitted = s.view.View();
    s.view.ZoomIn();
    s.view.ZoomIn();
    QVERIFY(std::fabs(s.view.View().k - fitted.k * 0.64) < 1e-12 * fitted.k);
    QVERIFY(Same(Centre(s.view), {fitted.x0, fitted.y0}));
    // The centre of the window shows the view's ground point.
    QVERIFY(Same(Under(s.view, s.Middle()), Centre(s.view)));
    s.view.ZoomOut();
    QVERIFY(std::fabs(s.view.View().k - fitted.k * 0.8) < 1e-12 * fitted.k);
    QCOMPARE(s.view.HistorySize(), size_t{3});
    s.view.PreviousView();
    QVERIFY(std::fabs(s.view.View().k - fitted.k * 0.64) < 1e-12 * fitted.k);
    s.view.PreviousView();
    s.view.PreviousView();
    QVERIFY(SameView(s.view.View(), fitted));
    // Without history "前级" leaves the view.
    s.view.PreviousView();
    QVERIFY(SameView(s.view.View(), fitted));
  }

  void windowBecomesTheViewAndPreviousRestoresTheOldOne() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.view));
    const tagScreenParametersStruct before = s.view.View();
    QWidget* viewport = s.view.viewport();
    const QPoint from(100, 120), to(300, 220);
    const Ground centre = Under(s.view, QRectF(QPointF(from), QPointF(to)).center());
    const Ground corner = Under(s.view, QPointF(from));

    s.view.BeginWindowZoom();
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    QTest::mouseMove(viewport, QPoint(200, 170));
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
    QVERIFY(!s.view.InWindowZoom());
    QVERIFY(Same(Centre(s.view), centre));
    // The band's longer side (relative to the window) fills the window.
    const double fill = std::max(200.0 / viewport->width(), 100.0 / viewport->height());
    QVERIFY(std::fabs(s.view.View().k - before.k * fill) < 1e-9 * before.k);
    const QPointF cornerNow = s.view.ToDevice(corner.x, corner.y);
    QVERIFY(std::fabs(cornerNow.x()) < 1e-6 || std::fabs(cornerNow.y()) < 1e-6);

    s.view.PreviousView();
    QVERIFY(SameView(s.view.View(), before));

    // A click without a drag, and Escape, leave the view as it is.
    s.view.BeginWindowZoom();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(50, 50));
    QVERIFY(SameView(s.view.View(), before));
    QVERIFY(!s.view.InWindowZoom());
    s.view.BeginWindowZoom();
    QTest::keyClick(&s.view, Qt::Key_Escape);
    QVERIFY(!s.view.InWindowZoom());
    QCOMPARE(s.view.HistorySize(), size_t{0});
  }

  void wheelZoomsAboutThePointUnderTheMouse() {
    ShownView s;
    const tagScreenParametersStruct before = s.view.View();
    const QPointF at(180, 140);
    const Ground under = Under(s.view, at);
    auto wheel = [&](int delta) {
      QWheelEvent event(at, s.view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(s.view.viewport(), &event);
    };
    wheel(240);
    QVERIFY(std::fabs(s.view.View().k - before.k * 0.64) < 1e-12 * before.k);
    QVERIFY(Same(Under(s.view, at), under));
    wheel(-240);
    QVERIFY(std::fabs(s.view.View().k - before.k) < 1e-9 * before.k);
    QVERIFY(Same(Under(s.view, at), under));
    // A touch pad's fractions of a notch make a step once they add up to one.
    wheel(60);
    QCOMPARE(s.view.View().k, before.k);
    wheel(60);
    QVERIFY(std::fabs(s.view.View().k - before.k * 0.8) < 1e-9 * before.k);
  }

  void scrollBarsMoveTheWindowOverTheMap() {
    ShownView s;
    for (int i = 0; i < 4; ++i) s.view.ZoomIn();
    QScrollBar* across = s.view.horizontalScrollBar();
    QScrollBar* down = s.view.verticalScrollBar();
    QVERIFY(across->maximum() > 0 && down->maximum() > 0);
    QCOMPARE(across->pageStep(), s.view.viewport()->width());
    // One step of a page to the right moves the centre east by a window's width of paper.
    const double k = s.view.View().k, scale = s.view.Document().Scale();
    across->setValue(std::max(0, across->value() - across->pageStep() / 2));
    const int from = across->value();
    const Ground left = Centre(s.view);
    across->setValue(from + across->pageStep() / 2);
    QVERIFY(std::fabs(Centre(s.view).y - left.y - (across->value() - from) * k * scale) < 1e-6);
    // Scrolling down goes south; the scale stays and no view enters the history.
    const double north = Centre(s.view).x;
    down->setValue(std::min(down->maximum(), down->value() + 10));
    QVERIFY(Centre(s.view).x < north);
    QCOMPARE(s.view.View().k, k);
    QCOMPARE(s.view.HistorySize(), size_t{4});
  }

  void switchesChangeWhatIsDrawn() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.view));
    const int red = CountPixels(s.view.viewport()->grab().toImage(), IsRed);
    const int dark = CountPixels(s.view.viewport()->grab().toImage(), IsDark);
    QVERIFY(red > 20);
    s.view.SetEllipses(false);
    QCOMPARE(CountPixels(s.view.viewport()->grab().toImage(), IsRed), 0);
    s.view.SetNames(false);
    QVERIFY(CountPixels(s.view.viewport()->grab().toImage(), IsDark) < dark);
    // Separate scales: the centre stays; east-west takes its own scale, 3000 m over 190 mm
    // rounded up to 15.79 m/mm instead of the common 20.00.
    const Ground centre = Centre(s.view);
    const QPointF k1 = s.view.ToDevice(0, 0), p1 = s.view.ToDevice(2000, 3000);
    s.view.SetSameScale(false);
    QVERIFY(Same(Centre(s.view), centre));
    const QPointF k1Now = s.view.ToDevice(0, 0), p1Now = s.view.ToDevice(2000, 3000);
    QVERIFY(std::fabs((p1Now - k1Now).x() / (p1 - k1).x() - 20.0 / 15.79) < 1e-9);
    QVERIFY(std::fabs(std::fabs((p1Now - k1Now).y()) - std::fabs((p1 - k1).y())) < 1e-6);
  }

  void draggingMovesTheMapWithTheMouseAndFullViewShowsEveryPoint() {
    ShownView s;
    QVERIFY(QTest::qWaitForWindowExposed(&s.view));
    s.view.ZoomIn();
    s.view.ZoomIn();
    const double k = s.view.View().k;
    QWidget* viewport = s.view.viewport();
    // The ground point under the press follows the mouse, with the left button and with the
    // middle one; the scale stays and no view enters the history.
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
      const QPoint from(300, 200), to(420, 130);
      const Ground grabbed = Under(s.view, QPointF(from));
      QTest::mousePress(viewport, button, {}, from);
      QVERIFY(s.view.Panning());
      QTest::mouseMove(viewport, QPoint(360, 170));
      QTest::mouseMove(viewport, to);
      QTest::mouseRelease(viewport, button, {}, to);
      QVERIFY(!s.view.Panning());
      QVERIFY(Same(Under(s.view, QPointF(to)), grabbed));
      QCOMPARE(s.view.View().k, k);
      QCOMPARE(s.view.HistorySize(), size_t{2});
    }
    // While "窗口" waits, the left button draws its rectangle and the middle one still pans.
    s.view.BeginWindowZoom();
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(50, 50));
    QVERIFY(!s.view.Panning());
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(50, 50));

    // "全图": far into a corner, then every point is in the window, as large as fits.
    for (int i = 0; i < 10; ++i) s.view.ZoomIn();
    s.view.ZoomExtent();
    QCOMPARE(s.view.HistorySize(), size_t{13});
    const QRectF window = QRectF(viewport->rect());
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    for (const CMapPoint& p : s.view.Document().Points()) {
      const QPointF at = s.view.ToDevice(p.x, p.y);
      QVERIFY2(window.contains(at), p.name.c_str());
      left = std::min(left, at.x()), right = std::max(right, at.x());
      top = std::min(top, at.y()), bottom = std::max(bottom, at.y());
    }
    QVERIFY(bottom - top > 0.8 * window.height() || right - left > 0.6 * window.width());
  }

  void statusBarReadsTheGroundPositionUnderTheMouse() {
    QTemporaryDir dir;
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    auto write = [&](const QString& name, const char* text) {
      QFile file(dir.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(text);
    };
    write(QStringLiteral("net.GPS2dXYEFT"),
          "K1 3000000.0000 500000.0000 0.00 0.00 0.0000\n"
          "K2 3005240.0000 500000.0000 0.00 0.00 0.0000\n"
          "P3 3002000.1234 501000.5678 2.50 1.00 30.0000\n");
    write(QStringLiteral("net.GPS3dVector"), "K1 P3 1 2 3 0.1 0.1 0.1 0 0 0\nP3 K2 1 2 3 0.1 0.1 0.1 0 0 0\n");
    MapView* view = d.window.OpenNetworkMap(dir.filePath(QStringLiteral("net.GPS2dXYEFT")));
    QVERIFY(view);
    QVERIFY(QTest::qWaitForWindowExposed(view));
    auto* pane = d.window.statusBar()->findChild<QLabel*>(QStringLiteral("positionPane"));
    QVERIFY(pane);
    // The mouse on P3: the read-out is P3's position within a pixel's ground, to as many
    // decimals as a pixel tells apart (a pixel of several metres: whole metres).
    auto readAt = [&](double x, double y, double& readX, double& readY, int& decimals) {
      QTest::mouseMove(view->viewport(), view->ToDevice(x, y).toPoint());
      const QRegularExpressionMatch m =
          QRegularExpression(QStringLiteral("^(\\S+)  X=(\\d+(\\.(\\d+))?) m  Y=(\\d+(\\.\\d+)?) m$")).match(pane->text());
      QVERIFY2(m.hasMatch(), qPrintable(pane->text()));
      QCOMPARE(m.captured(1), QString::fromUtf8(u8"地方坐标"));
      readX = m.captured(2).toDouble(), readY = m.captured(5).toDouble();
      decimals = static_cast<int>(m.captured(4).size());
    };
    const double pixel = view->View().k * view->Document().Scale();  // metres of ground
    QVERIFY(pixel > 1);
    double x = 0, y = 0;
    int decimals = -1;
    readAt(3002000.1234, 501000.5678, x, y, decimals);
    QCOMPARE(decimals, 0);
    QVERIFY(std::fabs(x - 3002000.1234) <= pixel && std::fabs(y - 501000.5678) <= pixel);
    // Zoomed in on P3 (dragged back to the middle after each few steps) to centimetres a
    // pixel: two decimals, within the pixel.
    const QPoint middle(view->viewport()->width() / 2, view->viewport()->height() / 2);
    while (view->View().k * view->Document().Scale() > 0.05) {
      QTest::mousePress(view->viewport(), Qt::LeftButton, {}, view->ToDevice(3002000.1234, 501000.5678).toPoint());
      QTest::mouseMove(view->viewport(), middle);
      QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, middle);
      for (int i = 0; i < 3 && view->View().k * view->Document().Scale() > 0.05; ++i) view->ZoomIn();
    }
    const double fine = view->View().k * view->Document().Scale();
    QVERIFY(fine > 0.01 && fine <= 0.05);
    readAt(3002000.1234, 501000.5678, x, y, decimals);
    QCOMPARE(decimals, 2);
    QVERIFY(std::fabs(x - 3002000.1234) <= fine && std::fabs(y - 501000.5678) <= fine);
    QVERIFY(watcher.messages.isEmpty());
  }

  // Regression: the symbols, copied as pictures, landed off their points by the view's offset
  // in its window whenever the view was painted into the window (on screen, in a grab).
  void symbolsStayOnTheirPointsInsideAWindow() {
    auto doc = std::make_shared<CVemoGPSDoc>();
    doc->Assign({{"K1", 0, 0, 0, 0, 0, ""}, {"P1", 2000, 3000, 0, 0, 0, ""}, {"P2", 4000, 500, 0, 0, 0, ""}}, {}, 1,
                "dots");
    QWidget window;
    window.resize(820, 700);
    auto* view = new MapView(doc, &window);
    view->setGeometry(0, 80, 820, 620);
    view->SetNames(false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage picture = window.grab().toImage();
    for (const CMapPoint& p : doc->Points()) {
      const QPoint at = view->viewport()->mapTo(&window, view->ToDevice(p.x, p.y).toPoint());
      int dark = 0;
      for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx) dark += qGray(picture.pixel(at + QPoint(dx, dy))) < 200 ? 1 : 0;
      QVERIFY2(dark > 0, p.name.c_str());
    }
  }

  void printingUsesThePrintersPageAndItsScales() {
    const auto doc = SquareNetwork();
    QCOMPARE(doc->ScaleX(), 20.0);
    // A printable area of 190 x 277 mm: the drawing area is 212 mm high (277 less 20, 10,
    // the title block and the gap beyond the 10 mm margins), 5240 / 212 = 24.72 rounds up
    // to 24.8 at one decimal.
    const CVemoGPSDoc printed = PrinterDocument(*doc, 190, 277);
    QCOMPARE(printed.Page().left, 20.0);
    QCOMPARE(printed.Page().top, 30.0);
    QCOMPARE(printed.ScaleX(), 24.8);
    QCOMPARE(doc->Page().width, 210.0);  // the view's document keeps its page

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("map.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    ShownView s;
    s.view.PrintTo(&printer);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QVERIFY(file.size() > 2000);
  }

  void mapCommandsOpenOneViewPerResultAndAMissingResultNone() {
    QTemporaryDir dir;
    const QString project = MakeSampleProject(dir.path());
    DesktopScope scope;
    Desktop d;
    ModalWatcher watcher;
    QVERIFY(d.Open(project));
    // Before any adjustment there is no coordinate file: the message, no window.
    d.window.CommandAction(CommandId::MapWgs84)->trigger();
    QCOMPARE(d.Windows(), 0);
    QCOMPARE(watcher.messages.size(), 1);
    QVERIFY(watcher.messages[0].contains(QString::fromUtf8(u8"的坐标数据不存在")));
    QCOMPARE(d.window.LastStatus(), 1);

    d.window.CommandAction(CommandId::Adjust3d)->trigger();
    d.window.CommandAction(CommandId::Adjust2d)->trigger();
    d.window.Mdi()->closeAllSubWindows();
    QCoreApplication::processEvents();
    d.window.CommandAction(CommandId::MapWgs84)->trigger();
    MapView* wgs84 = d.window.ActiveMapView();
    QVERIFY(wgs84);
    QVERIFY(wgs84->Path().endsWith(QStringLiteral("sample.GPS3dXYHEFT")));
    QVERIFY(wgs84->Document().Points().size() > 3);
    QVERIFY(!wgs84->Document().Lines().empty());
    QVERIFY(wgs84->Document().HasEllipses());
    QCOMPARE(wgs84->Document().ProjectName(), std::string("sample"));
    d.window.CommandAction(CommandId::MapLocal)->trigger();
    QVERIFY(d.window.ActiveMapView()->Path().endsWith(QStringLiteral("sample.GPS2dXYEFT")));
    QCOMPARE(d.Windows(), 2);
    // Again: the open view is activated.
    d.window.CommandAction(CommandId::MapWgs84)->trigger();
    QCOMPARE(d.Windows(), 2);
    QCOMPARE(d.window.ActiveMapView(), wgs84);

    // "新建窗口(&N)": a second view of the same map in the same state.
    wgs84->ZoomIn();
    d.window.CommandAction(CommandId::WindowNew)->trigger();
    QCOMPARE(d.Windows(), 3);
    MapView* copy = d.window.ActiveMapView();
    QVERIFY(copy && copy != wgs84);
    QVERIFY(SameView(copy->View(), wgs84->View()));
    QVERIFY(watcher.messages.size() == 1);
  }
};

VEMO_DESKTOP_TEST(MapViewTest);

}  // namespace vemo::test

#include "MapViewTest.moc"

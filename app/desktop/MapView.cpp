#include "app/desktop/MapView.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QRubberBand>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "geodesy/FileUtil.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "geodesy/UiText.h"
#include "project/AppState.h"

namespace vemo {
namespace {

// "放大" multiplies k by this, "缩小" divides by it; one notch of the wheel is one step.
constexpr double kZoomStep = 0.8;
constexpr int kWheelNotch = 120;
// Between 1000 pixels per millimetre of paper and a kilometre of paper per pixel the view
// stops zooming: beyond them a pixel no longer means anything on the map.
constexpr double kSmallestK = 1e-3, kLargestK = 1e6;
// The page fits into the window with this border (pixels) on first display.
constexpr int kFitBorder = 12;
// "全图" leaves this much paper (mm) around the points for their symbols, and for their
// names to the east and above.
constexpr double kSymbolMargin = 2.0, kNameReach = 15.0, kNameRise = 5.0;
// The read-out shows no more decimals of a metre than the coordinate files hold.
constexpr int kMostDecimals = 4;
// A rubber band narrower or lower than this (pixels) is a click, not a window.
constexpr int kSmallestBand = 4;
const QColor kDesk(160, 160, 160);

bool IsUsableK(double k) { return std::isfinite(k) && k >= kSmallestK && k <= kLargestK; }

}  // namespace

MapView::MapView(std::shared_ptr<const CVemoGPSDoc> doc, QWidget* parent)
    : QAbstractScrollArea(parent), m_Doc(std::move(doc)) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  // The position under the mouse is reported while it moves, with or without a button.
  viewport()->setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(160, 120);
  // A provisional view until the window has its size.
  FitPage();
}

MapView* MapView::Load(const QString& path, QWidget* parent) {
  const QFileInfo info(path);
  // The baselines come from the vector file of the project the coordinate file belongs to:
  // the same name with the vector file's extension, beside it.
  const QString stem = info.completeBaseName();
  const std::string vectors = ResolvePathNoCase(ToPath(info.absolutePath() + QLatin1Char('/') + stem) + ".GPS3dVector");
  auto doc = std::make_shared<CVemoGPSDoc>();
  if (!doc->Load(ToPath(path), vectors, PathToGbk(ToPath(stem)))) return nullptr;
  return new MapView(std::move(doc), parent);
}

QString MapView::Path() const { return FromPath(m_Doc->CoordinatePath()); }

MapView* MapView::Clone(QWidget* parent) const {
  auto* copy = new MapView(m_Doc, parent);
  copy->m_Display = m_Display;
  copy->m_View = m_View;
  copy->m_History = m_History;
  copy->m_Fitted = true;
  copy->UpdateScrollBars();
  return copy;
}

const std::vector<MapView::Command>& MapView::Commands() {
  static const std::vector<Command> commands = {{TrNoop(u8"放大"), &MapView::ZoomIn},
                                                {TrNoop(u8"缩小"), &MapView::ZoomOut},
                                                {TrNoop(u8"窗口"), &MapView::BeginWindowZoom},
                                                {TrNoop(u8"前级"), &MapView::PreviousView},
                                                {TrNoop(u8"全图"), &MapView::ZoomExtent}};
  return commands;
}

const std::vector<MapView::Switch>& MapView::Switches() {
  static const std::vector<Switch> switches = {{TrNoop(u8"误差椭圆"), &MapView::SetEllipses, &MapView::Ellipses},
                                               {TrNoop(u8"控制点名"), &MapView::SetNames, &MapView::Names},
                                               {TrNoop(u8"相同比例"), &MapView::SetSameScale, &MapView::SameScale}};
  return switches;
}

// --- the world-to-view transform ---------------------------------------------------------

QPointF MapView::PaperCentre() const { return Placement().ToPaper(m_View.x0, m_View.y0); }

QPointF MapView::ToPaper(const QPointF& device) const {
  const QPointF centre(viewport()->width() / 2.0, viewport()->height() / 2.0);
  return PaperCentre() + (device - centre) * m_View.k;
}

QPointF MapView::ToDevice(double x, double y) const {
  const QPointF centre(viewport()->width() / 2.0, viewport()->height() / 2.0);
  return centre + (Placement().ToPaper(x, y) - PaperCentre()) / m_View.k;
}

void MapView::FromDevice(const QPointF& device, double& x, double& y) const {
  Placement().FromPaper(ToPaper(device), x, y);
}

// --- view changes --------------------------------------------------------------------------

void MapView::SetViewNow(const tagScreenParametersStruct& view) {
  m_View = view;
  UpdateScrollBars();
  viewport()->update();
  emit viewChanged();
}

void MapView::ChangeView(const tagScreenParametersStruct& view) {
  if (!IsUsableK(view.k) || !std::isfinite(view.x0) || !std::isfinite(view.y0)) return;
  m_History.push_back(m_View);
  m_Fitted = true;
  SetViewNow(view);
}

void MapView::FitPage() {
  const CMapPage& page = m_Doc->Page();
  const double width = std::max(1, viewport()->width() - 2 * kFitBorder);
  const double height = std::max(1, viewport()->height() - 2 * kFitBorder);
  tagScreenParametersStruct view;
  view.k = std::clamp(std::max(page.width / width, page.height / height), kSmallestK, kLargestK);
  Placement().FromPaper(QPointF(page.width / 2, page.height / 2), view.x0, view.y0);
  SetViewNow(view);
}

void MapView::ZoomExtent() {
  // The points' rectangle on paper, widened by their symbols and the names beside them
  // (which rise above their point's baseline and run east of it).
  const CMapPlacement placement = Placement();
  const QRectF points = QRectF(placement.ToPaper(m_Doc->XMax(), m_Doc->YMin()), placement.ToPaper(m_Doc->XMin(), m_Doc->YMax()))
                            .normalized();
  const double east = m_Display.names ? kNameReach : kSymbolMargin;
  const double north = m_Display.names ? kNameRise : kSymbolMargin;
  const QRectF extent = points.adjusted(-kSymbolMargin, -north, east, kSymbolMargin);
  const double width = std::max(1, viewport()->width() - 2 * kFitBorder);
  const double height = std::max(1, viewport()->height() - 2 * kFitBorder);
  tagScreenParametersStruct view;
  view.k = std::clamp(std::max(extent.width() / width, extent.height() / height), kSmallestK, kLargestK);
  placement.FromPaper(extent.center(), view.x0, view.y0);
  ChangeView(view);
}

void MapView::ZoomAbout(double factor, const QPointF& device) {
  tagScreenParametersStruct view = m_View;
  view.k = m_View.k * factor;
  if (!IsUsableK(view.k)) return;
  // The paper point under the device point stays under it.
  const QPointF centre(viewport()->width() / 2.0, viewport()->height() / 2.0);
  const QPointF paper = ToPaper(device) - (device - centre) * view.k;
  Placement().FromPaper(paper, view.x0, view.y0);
  ChangeView(view);
}

void MapView::ZoomIn() { ZoomAbout(kZoomStep, QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0)); }

void MapView::ZoomOut() { ZoomAbout(1 / kZoomStep, QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0)); }

void MapView::PreviousView() {
  if (m_History.empty()) return;
  const tagScreenParametersStruct view = m_History.back();
  m_History.pop_back();
  SetViewNow(view);
}

void MapView::BeginWindowZoom() {
  m_WindowZoom = true;
  viewport()->setCursor(Qt::CrossCursor);
}

void MapView::EndWindowZoom() {
  m_WindowZoom = false;
  viewport()->unsetCursor();
  if (m_Band) m_Band->hide();
}

void MapView::SetEllipses(bool on) {
  m_Display.ellipses = on;
  viewport()->update();
  emit viewChanged();
}

void MapView::SetNames(bool on) {
  m_Display.names = on;
  viewport()->update();
  emit viewChanged();
}

void MapView::SetSameScale(bool on) {
  // The ground point at the centre stays there; the scale of each axis changes.
  m_Display.sameScale = on;
  SetViewNow(m_View);
}

// --- scroll bars -------------------------------------------------------------------------

void MapView::UpdateScrollBars() {
  const double k = m_View.k;
  const QSizeF window(viewport()->width() * k, viewport()->height() * k);
  const QRectF visible(PaperCentre() - QPointF(window.width() / 2, window.height() / 2), window);
  // The page, the network (which may lie beyond a page it does not fit) and the window.
  const CMapPage& page = m_Doc->Page();
  const CMapPlacement placement = Placement();
  const QPointF corner1 = placement.ToPaper(m_Doc->XMax(), m_Doc->YMin());
  const QPointF corner2 = placement.ToPaper(m_Doc->XMin(), m_Doc->YMax());
  QRectF extents = QRectF(0, 0, page.width, page.height).united(QRectF(corner1, corner2).normalized());
  extents = extents.united(visible);
  m_Extents = extents;
  // Positions in pixels of the current zoom; the bars step by a window.
  auto set = [](QScrollBar* bar, double extent, double window, double position, int pageStep) {
    const double range = std::max(0.0, extent - window);
    bar->setRange(0, static_cast<int>(std::min(range, 1e9)));
    bar->setPageStep(std::max(1, pageStep));
    bar->setSingleStep(std::max(1, pageStep / 10));
    bar->setValue(static_cast<int>(std::lround(std::clamp(position, 0.0, range))));
  };
  m_SettingScrollBars = true;
  set(horizontalScrollBar(), extents.width() / k, window.width() / k, (visible.left() - extents.left()) / k,
      viewport()->width());
  set(verticalScrollBar(), extents.height() / k, window.height() / k, (visible.top() - extents.top()) / k,
      viewport()->height());
  m_SettingScrollBars = false;
}

void MapView::scrollContentsBy(int, int) {
  if (m_SettingScrollBars) return;
  // The window moves over the extents the bars were set for; the scale stays.
  const double k = m_View.k;
  const QPointF centre(m_Extents.left() + (horizontalScrollBar()->value() + viewport()->width() / 2.0) * k,
                       m_Extents.top() + (verticalScrollBar()->value() + viewport()->height() / 2.0) * k);
  Placement().FromPaper(centre, m_View.x0, m_View.y0);
  m_Fitted = true;
  viewport()->update();
  emit viewChanged();
}

// --- events ----------------------------------------------------------------------------------

void MapView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), kDesk);
  const QPointF centre(viewport()->width() / 2.0, viewport()->height() / 2.0);
  painter.translate(centre);
  painter.scale(1 / m_View.k, 1 / m_View.k);
  painter.translate(-PaperCentre());
  DrawMapPage(painter, *m_Doc, m_Display);
  // The edge of the paper.
  QPen edge(Qt::black);
  edge.setCosmetic(true);
  painter.setPen(edge);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(0, 0, m_Doc->Page().width, m_Doc->Page().height));
}

void MapView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  // Until the person changes the view, the page stays fitted to the window.
  if (!m_Fitted) FitPage();
  else UpdateScrollBars();
}

void MapView::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  if (!m_Fitted) FitPage();
}

void MapView::wheelEvent(QWheelEvent* event) {
  // Touch pads send fractions of a notch: they add up to whole steps.
  m_WheelDelta += event->angleDelta().y();
  const int notches = m_WheelDelta / kWheelNotch;
  m_WheelDelta -= notches * kWheelNotch;
  // Forward zooms in, about the point under the mouse.
  if (notches != 0) ZoomAbout(std::pow(kZoomStep, notches), event->position());
  event->accept();
}

void MapView::mousePressEvent(QMouseEvent* event) {
  const bool drag = event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && !m_WindowZoom);
  if (drag && !m_Panning) {
    m_Panning = true;
    m_PanButton = event->button();
    m_PanStart = event->position().toPoint();
    m_PanView = m_View;
    viewport()->setCursor(Qt::ClosedHandCursor);
    event->accept();
    return;
  }
  if (!m_WindowZoom || event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  m_BandStart = event->position().toPoint();
  if (!m_Band) m_Band = new QRubberBand(QRubberBand::Rectangle, viewport());
  m_Band->setGeometry(QRect(m_BandStart, QSize()));
  m_Band->show();
}

void MapView::mouseMoveEvent(QMouseEvent* event) {
  if (m_Panning) {
    // The paper point under the mouse at the start of the drag stays under the mouse; the
    // scale stays, and the history is left as it is, as for the scroll bars.
    tagScreenParametersStruct view = m_PanView;
    const CMapPlacement placement = Placement();
    const QPointF paper = placement.ToPaper(m_PanView.x0, m_PanView.y0) - (event->position() - QPointF(m_PanStart)) * m_View.k;
    placement.FromPaper(paper, view.x0, view.y0);
    if (std::isfinite(view.x0) && std::isfinite(view.y0)) {
      m_Fitted = true;
      SetViewNow(view);
    }
  } else if (m_WindowZoom && m_Band && m_Band->isVisible()) {
    m_Band->setGeometry(QRect(m_BandStart, event->position().toPoint()).normalized());
  }
  emit positionReported(PositionText(event->position()));
  event->accept();
}

void MapView::mouseReleaseEvent(QMouseEvent* event) {
  if (m_Panning) {
    if (event->button() == m_PanButton) {
      m_Panning = false;
      if (m_WindowZoom) viewport()->setCursor(Qt::CrossCursor);
      else viewport()->unsetCursor();
    }
    event->accept();
    return;
  }
  if (!m_WindowZoom || event->button() != Qt::LeftButton || !m_Band || !m_Band->isVisible()) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    return;
  }
  const QRectF band = QRectF(QPointF(m_BandStart), event->position()).normalized();
  EndWindowZoom();
  if (band.width() < kSmallestBand || band.height() < kSmallestBand) return;
  // The rectangle fills the window in its longer direction, centred.
  tagScreenParametersStruct view;
  view.k = m_View.k * std::max(band.width() / viewport()->width(), band.height() / viewport()->height());
  FromDevice(band.center(), view.x0, view.y0);
  ChangeView(view);
}

void MapView::leaveEvent(QEvent* event) {
  QAbstractScrollArea::leaveEvent(event);
  emit positionReported(QString());
}

QString MapView::PositionText(const QPointF& device) const {
  double x = 0, y = 0;
  FromDevice(device, x, y);
  // Enough decimals that the next pixel changes the last one: a pixel of 6 m shows whole
  // metres, one of 4 cm two decimals.
  const CMapPlacement placement = Placement();
  const double metresPerPixel = m_View.k * std::min(placement.scaleX, placement.scaleY);
  int decimals = kMostDecimals;
  if (std::isfinite(metresPerPixel) && metresPerPixel > 0)
    decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(metresPerPixel))), 0, kMostDecimals);
  const bool local = QFileInfo(Path()).suffix().compare(FromPath(CVemoGPSDoc::CoordinateExtension(MapKind::Local)),
                                                        Qt::CaseInsensitive) == 0;
  return QStringLiteral("%1  X=%2 m  Y=%3 m")
      .arg(local ? Tr(u8"地方坐标") : QStringLiteral("WGS84"))
      .arg(x, 0, 'f', decimals)
      .arg(y, 0, 'f', decimals);
}

void MapView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      if (m_WindowZoom) EndWindowZoom();
      break;
    case Qt::Key_Plus: ZoomIn(); break;
    case Qt::Key_Minus: ZoomOut(); break;
    case Qt::Key_Home: ZoomExtent(); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  event->accept();
}

void MapView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  for (const Command& command : Commands()) {
    auto run = command.run;
    menu.addAction(Tr(command.text), this, [this, run] { (this->*run)(); });
  }
  menu.addSeparator();
  for (const Switch& item : Switches()) {
    QAction* action = menu.addAction(Tr(item.text));
    action->setCheckable(true);
    action->setChecked((this->*item.get)());
    auto set = item.set;
    connect(action, &QAction::toggled, this, [this, set](bool on) { (this->*set)(on); });
  }
  menu.exec(event->globalPos());
}

// --- printing --------------------------------------------------------------------------------

CVemoGPSDoc PrinterDocument(const CVemoGPSDoc& doc, double widthMm, double heightMm) {
  CVemoGPSDoc printed = doc;
  printed.SetPage(PrinterMapPage(widthMm, heightMm), kPrinterScaleDecimals);
  return printed;
}

void MapView::PrintTo(QPrinter* printer) const {
  const QRectF paint = printer->pageLayout().paintRect(QPageLayout::Millimeter);
  const CVemoGPSDoc printed = PrinterDocument(*m_Doc, paint.width(), paint.height());
  QPainter painter;
  if (!painter.begin(printer)) {
    ShowMessage(UiText(u8"打印机不可用，网图未能打印!"), AppTitle(), MessageIcon::Warning);
    return;
  }
  const double dotsPerMm = printer->resolution() / 25.4;
  painter.scale(dotsPerMm, dotsPerMm);
  DrawMapPage(painter, printed, m_Display);
}

}  // namespace vemo

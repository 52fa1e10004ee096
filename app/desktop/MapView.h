// The network map view: the map document drawn on screen through the one drawing routine of
// the map (tools/NetworkMapPainter.h), zoomed, scrolled and printed. The view shows the page
// of the document as it prints (network and title block on white paper) over a grey desk;
// its state is the ground point at the centre of the window and the millimetres of paper per
// screen pixel, with a history of earlier states for "前级". Dragging with the left button (when
// "窗口" is not waiting for its rectangle) or the middle button moves the map with the mouse;
// the ground position under the mouse is reported for the status bar.
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <memory>
#include <vector>

#include "tools/NetworkMapPainter.h"
#include "tools/VemoGPSDoc.h"

class QPrinter;
class QRubberBand;

namespace vemo {

// One view of the map: the ground point at the centre of the window (x0 northing, y0
// easting, m) and k, millimetres of paper per device pixel.
struct tagScreenParametersStruct {
  double x0 = 0, y0 = 0;
  double k = 1;
};

class MapView final : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // A view of a document; the first display fits the whole page into the window.
  explicit MapView(std::shared_ptr<const CVemoGPSDoc> doc, QWidget* parent = nullptr);

  // Reads the coordinate file and the vector file of the same project beside it (the
  // document's own messages); nullptr when the map cannot be drawn.
  static MapView* Load(const QString& path, QWidget* parent = nullptr);
  QString Path() const;
  const CVemoGPSDoc& Document() const { return *m_Doc; }
  // A second view of the same document in the same state ("新建窗口(&N)").
  MapView* Clone(QWidget* parent) const;

  // The commands of the view, as the map menu and the view's context menu offer them.
  struct Command {
    const char* text;  // UTF-8
    void (MapView::*run)();
  };
  struct Switch {
    const char* text;  // UTF-8
    void (MapView::*set)(bool);
    bool (MapView::*get)() const;
  };
  static const std::vector<Command>& Commands();
  static const std::vector<Switch>& Switches();

  // "放大" and "缩小": k times or divided by 0.8, the centre kept.
  void ZoomIn();
  void ZoomOut();
  // "窗口": the next drag of the left button draws a rectangle that becomes the view;
  // Escape or a click without a drag leaves the view as it is.
  void BeginWindowZoom();
  bool InWindowZoom() const { return m_WindowZoom; }
  // "前级": the view before the last change of scale or window; nothing when there is none.
  void PreviousView();
  // Fits the whole page into the window (the first display).
  void FitPage();
  // "全图": every point with its symbol (and its name when names are drawn) in the window, as
  // large as it fits, centred.
  void ZoomExtent();
  bool Panning() const { return m_Panning; }

  void SetEllipses(bool on);
  void SetNames(bool on);
  void SetSameScale(bool on);
  bool Ellipses() const { return m_Display.ellipses; }
  bool Names() const { return m_Display.names; }
  bool SameScale() const { return m_Display.sameScale; }

  const tagScreenParametersStruct& View() const { return m_View; }
  size_t HistorySize() const { return m_History.size(); }
  // Where a ground point lies in the viewport (pixels), and the ground point under a
  // viewport position.
  QPointF ToDevice(double x, double y) const;
  void FromDevice(const QPointF& device, double& x, double& y) const;
  // The ground position under a viewport position as the status bar shows it: the map's
  // coordinate system ("WGS84" or "地方坐标"), then x (northing) and y (easting) in metres, to
  // as many decimals (0 to 4) as a pixel of the current zoom can tell apart.
  QString PositionText(const QPointF& device) const;

  // The map as printed on the printer's page (the printer's page rules) and its document.
  void PrintTo(QPrinter* printer) const;

 signals:
  void viewChanged();
  // The text of PositionText under the mouse; empty when the mouse leaves the map.
  void positionReported(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  CMapPlacement Placement() const { return PagePlacement(*m_Doc, m_Display.sameScale); }
  // Paper millimetres of the window centre, and of a viewport position.
  QPointF PaperCentre() const;
  QPointF ToPaper(const QPointF& device) const;
  // A new view after a change of scale or window: the old one goes into the history.
  void ChangeView(const tagScreenParametersStruct& view);
  void SetViewNow(const tagScreenParametersStruct& view);
  // The zoom by a factor about a viewport point that stays where it is.
  void ZoomAbout(double factor, const QPointF& device);
  void EndWindowZoom();
  void UpdateScrollBars();

  std::shared_ptr<const CVemoGPSDoc> m_Doc;
  CMapDisplay m_Display;
  tagScreenParametersStruct m_View;
  std::vector<tagScreenParametersStruct> m_History;
  bool m_Fitted = false;
  // The paper rectangle (mm) the scroll bars cover: the page, the network and the window.
  QRectF m_Extents;
  bool m_SettingScrollBars = false;
  bool m_WindowZoom = false;
  QRubberBand* m_Band = nullptr;
  QPoint m_BandStart;
  int m_WheelDelta = 0;  // eighths of a degree not yet a whole notch
  // A drag that moves the map: the button, where it started and the view then.
  bool m_Panning = false;
  Qt::MouseButton m_PanButton = Qt::NoButton;
  QPoint m_PanStart;
  tagScreenParametersStruct m_PanView;
};

// The document as it prints on a printable area of widthMm x heightMm: the printer's page
// and its scales rounded up to one decimal.
CVemoGPSDoc PrinterDocument(const CVemoGPSDoc& doc, double widthMm, double heightMm);

}  // namespace vemo

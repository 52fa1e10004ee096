// The network map view: the adjusted network drawn on screen, zoomed and printed.
#pragma once

#include <QWidget>

class QPrinter;

namespace vemo {

class MapView : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;
  // Reads the coordinate file and the project's vectors; nullptr after the message when the
  // map cannot be drawn.
  static MapView* Load(const QString& path, QWidget* parent = nullptr);
  virtual QString Path() const { return QString(); }
  virtual MapView* Clone(QWidget* /*parent*/) const { return nullptr; }
  virtual void PrintTo(QPrinter* /*printer*/) {}
  virtual void ZoomIn() {}
  virtual void ZoomOut() {}
  virtual void BeginWindowZoom() {}
  virtual void PreviousView() {}
  virtual void SetEllipses(bool /*on*/) {}
  virtual void SetNames(bool /*on*/) {}
  virtual void SetSameScale(bool /*on*/) {}
  virtual bool Ellipses() const { return true; }
  virtual bool Names() const { return true; }
  virtual bool SameScale() const { return true; }
};

}  // namespace vemo

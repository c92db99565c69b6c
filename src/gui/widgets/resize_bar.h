// A thin horizontal bar that resizes the widget below it: dragging it up makes that
// widget taller (and its neighbour above shorter), like a splitter between the two.
#pragma once

#include <QFrame>

namespace lq::gui {

class ResizeBar : public QFrame {
  Q_OBJECT
 public:
  ResizeBar(QWidget* target, QWidget* parent = nullptr);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  QWidget* target_;
  int drag_y_ = -1;
  int start_h_ = 0;
};

}  // namespace lq::gui

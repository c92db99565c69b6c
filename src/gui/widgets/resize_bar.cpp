#include "gui/widgets/resize_bar.h"

#include <QMouseEvent>

namespace lq::gui {

ResizeBar::ResizeBar(QWidget* target, QWidget* parent) : QFrame(parent), target_(target) {
  setFixedHeight(5);
  setCursor(Qt::SizeVerCursor);
  setFrameShape(QFrame::NoFrame);
}

void ResizeBar::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  drag_y_ = e->globalPosition().toPoint().y();
  start_h_ = target_->height();
}

void ResizeBar::mouseMoveEvent(QMouseEvent* e) {
  if (drag_y_ < 0) return;
  const int h = start_h_ + drag_y_ - e->globalPosition().toPoint().y();
  target_->setFixedHeight(std::max(target_->minimumSizeHint().height(), h));
}

void ResizeBar::mouseReleaseEvent(QMouseEvent*) {
  drag_y_ = -1;
}

}  // namespace lq::gui

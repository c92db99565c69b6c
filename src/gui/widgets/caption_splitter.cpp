#include "gui/widgets/caption_splitter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace lq::gui {

CaptionSplitter::CaptionSplitter(const QString& caption, QWidget* parent)
    : QWidget(parent),
      bar_(new QWidget(this)),
      caption_(new QLabel(caption, bar_)),
      layout_(new QVBoxLayout(this)) {
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);
  bar_->setObjectName("tsp1");
  bar_->setCursor(Qt::SizeVerCursor);
  bar_->setAutoFillBackground(true);
  bar_->setStyleSheet("#tsp1 { background: #dfe6f0; border-top: 1px solid #a9b8cc; }");
  auto* row = new QHBoxLayout(bar_);
  row->setContentsMargins(6, 2, 2, 2);
  row->addWidget(caption_);
  row->addStretch(1);
  bar_->installEventFilter(this);
  layout_->addWidget(bar_);
  setAccessibleName(caption);
}

void CaptionSplitter::setBody(QWidget* body) {
  layout_->addWidget(body, 1);
}

void CaptionSplitter::addBarWidget(QWidget* w) {
  static_cast<QHBoxLayout*>(bar_->layout())->addWidget(w);
}

bool CaptionSplitter::eventFilter(QObject* watched, QEvent* event) {
  if (watched != bar_) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* m = static_cast<QMouseEvent*>(event);
      if (m->button() != Qt::LeftButton) break;
      drag_y_ = m->globalPosition().toPoint().y();
      start_h_ = height();
      return true;
    }
    case QEvent::MouseMove: {
      if (drag_y_ < 0) break;
      auto* m = static_cast<QMouseEvent*>(event);
      // Dragging the bar up makes this panel taller and its neighbour shorter.
      const int h = start_h_ + drag_y_ - m->globalPosition().toPoint().y();
      setFixedHeight(std::max(bar_->sizeHint().height(), h));
      return true;
    }
    case QEvent::MouseButtonRelease:
      drag_y_ = -1;
      return true;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace lq::gui

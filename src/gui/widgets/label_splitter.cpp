#include "gui/widgets/label_splitter.h"

#include <QPainter>

namespace lq::gui {

LabelSplitter::LabelSplitter(const QStringList& labels, QWidget* parent)
    : QSplitter(Qt::Vertical, parent), labels_(labels) {
  setChildrenCollapsible(false);
}

QSplitterHandle* LabelSplitter::createHandle() {
  // Handles are made as panes are added: the handle before pane k (k >= 1) is made when
  // pane k is added, the first (invisible) one with pane 0.
  const int k = count();
  const QString label = k >= 1 && k - 1 < labels_.size() ? labels_[k - 1] : QString();
  return new LabelSplitterHandle(label, this);
}

LabelSplitterHandle::LabelSplitterHandle(const QString& label, QSplitter* parent)
    : QSplitterHandle(Qt::Vertical, parent), label_(label) {
  setAccessibleName(label);
}

QSize LabelSplitterHandle::sizeHint() const {
  return {0, fontMetrics().height() + 6};
}

void LabelSplitterHandle::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(0xdf, 0xe6, 0xf0));
  p.setPen(QColor(0xa9, 0xb8, 0xcc));
  p.drawLine(0, 0, width(), 0);
  p.setPen(palette().color(QPalette::WindowText));
  p.drawText(rect().adjusted(6, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, label_);
}

}  // namespace lq::gui

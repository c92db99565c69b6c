#include "gui/widgets/color_widgets.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/widgets/accessible_factory.h"

namespace lq::gui {
namespace {

const char* kBorderStyle =
    "%1 { border: 1px solid #8fa8c8; border-radius: 2px; background: white; padding: 1px; }"
    "%1:focus { border: 1px solid #2f6fd0; }"
    "%1:disabled { border: 1px solid #c8c8c8; background: #f2f2f2; }";

}  // namespace

ColorEdit::ColorEdit(QWidget* parent) : QLineEdit(parent) {
  setStyleSheet(QString(kBorderStyle).arg("QLineEdit"));
}

void ColorEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  emit entered();
}

ColorListBox::ColorListBox(QWidget* parent) : QListWidget(parent) {
  setStyleSheet(QString(kBorderStyle).arg("QListWidget"));
}

ColorComboBox::ColorComboBox(QWidget* parent) : QComboBox(parent) {
  setStyleSheet(
      "QComboBox { border: 1px solid #8fa8c8; border-radius: 2px; padding: 1px 4px; }"
      "QComboBox:focus { border: 1px solid #2f6fd0; }");
}

ColorUpDown::ColorUpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  for (auto* b : {up_, down_}) {
    b->setFixedSize(16, 11);
    b->setAutoRepeat(true);
    // The buddy edit takes the keys; the arrows are for the mouse.
    b->setFocusPolicy(Qt::NoFocus);
    box->addWidget(b);
  }
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  up_->setToolTip("+1");
  down_->setToolTip("-1");
  // Read out as Qt's own spin boxes name their arrows.
  up_->setAccessibleName("增加");
  down_->setAccessibleName("减少");
  install_accessible_factory();
  connect(up_, &QToolButton::clicked, this, &ColorUpDown::stepUp);
  connect(down_, &QToolButton::clicked, this, &ColorUpDown::stepDown);
  setFixedWidth(16);
}

void ColorUpDown::setRange(int min, int max) {
  min_ = min;
  max_ = max;
  setPosition(pos_);
}

void ColorUpDown::setPosition(int pos) {
  pos = std::clamp(pos, min_, max_);
  const bool changed = pos != pos_;
  pos_ = pos;
  if (buddy_ && buddy_->text() != QString::number(pos_)) buddy_->setText(QString::number(pos_));
  if (changed) emit positionChanged(pos_);
}

void ColorUpDown::setBuddy(QLineEdit* edit) {
  buddy_ = edit;
  if (!edit) return;
  edit->installEventFilter(this);
  connect(edit, &QLineEdit::textEdited, this, &ColorUpDown::buddyEdited);
  edit->setText(QString::number(pos_));
}

void ColorUpDown::buddyEdited(const QString& text) {
  // Only a number inside the range moves the position; anything else stays as typed.
  bool ok = false;
  const int v = text.trimmed().toInt(&ok);
  if (ok && v >= min_ && v <= max_ && v != pos_) {
    pos_ = v;
    emit positionChanged(pos_);
  }
}

bool ColorUpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == buddy_ && event->type() == QEvent::KeyPress && isEnabled()) {
    auto* k = static_cast<QKeyEvent*>(event);
    if (k->key() == Qt::Key_Up) {
      stepUp();
      return true;
    }
    if (k->key() == Qt::Key_Down) {
      stepDown();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace lq::gui

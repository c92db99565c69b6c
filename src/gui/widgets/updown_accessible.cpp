#include "gui/widgets/updown_accessible.h"

#include "gui/widgets/color_widgets.h"

namespace lq::gui {

UpDownAccessible::UpDownAccessible(ColorUpDown* updown)
    : QAccessibleWidget(updown, QAccessible::SpinBox) {}

ColorUpDown* UpDownAccessible::updown() const {
  return static_cast<ColorUpDown*>(widget());
}

QString UpDownAccessible::text(QAccessible::Text t) const {
  QString s = QAccessibleWidget::text(t);
  if (t == QAccessible::Name && s.isEmpty() && updown()->buddy())
    s = updown()->buddy()->accessibleName();
  if (t == QAccessible::Value) s = QString::number(updown()->position());
  return s;
}

void* UpDownAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
  return QAccessibleWidget::interface_cast(t);
}

QVariant UpDownAccessible::currentValue() const {
  return updown()->position();
}

void UpDownAccessible::setCurrentValue(const QVariant& value) {
  updown()->setPosition(value.toInt());
}

QVariant UpDownAccessible::maximumValue() const {
  return updown()->maximum();
}

QVariant UpDownAccessible::minimumValue() const {
  return updown()->minimum();
}

}  // namespace lq::gui

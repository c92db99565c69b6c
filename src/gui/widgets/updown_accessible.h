// The up-down as a spin box: named like the box it steps, with its value and range.
#pragma once

#include <QAccessibleWidget>

namespace lq::gui {

class ColorUpDown;

class UpDownAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit UpDownAccessible(ColorUpDown* updown);

  QString text(QAccessible::Text t) const override;
  void* interface_cast(QAccessible::InterfaceType t) override;

  QVariant currentValue() const override;
  void setCurrentValue(const QVariant& value) override;
  QVariant maximumValue() const override;
  QVariant minimumValue() const override;
  QVariant minimumStepSize() const override { return 1; }

 private:
  ColorUpDown* updown() const;
};

}  // namespace lq::gui

// ComboBox_view1: the drop-down list of saved layouts. It tells before its list opens, so
// the list can be read again from the disk.
#pragma once

#include "gui/widgets/color_widgets.h"

namespace lq::gui {

class LayoutComboBox : public ColorComboBox {
  Q_OBJECT
 public:
  explicit LayoutComboBox(QWidget* parent = nullptr) : ColorComboBox(parent) {}

  void showPopup() override {
    emit aboutToShowPopup();
    ColorComboBox::showPopup();
  }

 signals:
  void aboutToShowPopup();
};

}  // namespace lq::gui

#include "gui/widgets/caption_radio.h"

#include "gui/widgets/accessible_factory.h"

namespace lq::gui {

CaptionRadio::CaptionRadio(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
  // Nothing reads it, so it takes neither the focus nor a check mark.
  setCheckable(false);
  setFocusPolicy(Qt::NoFocus);
  setAccessibleName(text);
  install_accessible_factory();
  setStyleSheet(
      "QRadioButton { spacing: 0px; }"
      "QRadioButton::indicator { width: 0px; height: 0px; }");
}

}  // namespace lq::gui

#include "gui/widgets/caption_radio.h"

namespace lq::gui {

CaptionRadio::CaptionRadio(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
  // Nothing reads it, so it takes neither the focus nor a check mark.
  setCheckable(false);
  setFocusPolicy(Qt::NoFocus);
  setAccessibleName(text);
  setStyleSheet(
      "QRadioButton { spacing: 0px; }"
      "QRadioButton::indicator { width: 0px; height: 0px; }");
}

}  // namespace lq::gui

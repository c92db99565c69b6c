// A caption that looks like a radio button's text: the numbered caption of an operation
// panel stands beside the plain "启用" box in the same style as the choices of other
// panels, but its circle is out of sight and it has no state of its own.
#pragma once

#include <QRadioButton>

namespace lq::gui {

class CaptionRadio : public QRadioButton {
  Q_OBJECT
 public:
  explicit CaptionRadio(const QString& text, QWidget* parent = nullptr);
};

}  // namespace lq::gui

#include "gui/widgets/image_buttons.h"

namespace lq::gui {

ImageButton::ImageButton(const QIcon& icon, const QString& text, const QString& hint,
                         QWidget* parent)
    : QToolButton(parent) {
  setIcon(icon);
  setText(text);
  setToolTip(hint);
  setAutoRaise(true);
  setFocusPolicy(Qt::TabFocus);
  setToolButtonStyle(text.isEmpty() || icon.isNull()
                         ? (text.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly)
                         : Qt::ToolButtonTextBesideIcon);
  const QString name = text.isEmpty() ? hint.simplified() : text;
  setAccessibleName(name);
}

ImageCheckBox::ImageCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
  setAccessibleName(text);
  setStyleSheet("QCheckBox::indicator { width: 13px; height: 13px; }");
}

}  // namespace lq::gui

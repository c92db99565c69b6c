// Flat buttons and check boxes drawn with an image. An image-only button always carries
// a tooltip and an accessible name, so it can be found without seeing it.
#pragma once

#include <QCheckBox>
#include <QIcon>
#include <QToolButton>

namespace lq::gui {

class ImageButton : public QToolButton {
  Q_OBJECT
 public:
  // text may be empty for an image-only button; hint then names it.
  ImageButton(const QIcon& icon, const QString& text, const QString& hint,
              QWidget* parent = nullptr);
};

class ImageCheckBox : public QCheckBox {
  Q_OBJECT
 public:
  explicit ImageCheckBox(const QString& text, QWidget* parent = nullptr);
};

}  // namespace lq::gui

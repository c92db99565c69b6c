// 帮助 → 关于: the program's name, version and what it is for.
#pragma once

#include <QDialog>

namespace lq::gui {

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace lq::gui

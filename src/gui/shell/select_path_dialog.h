// The directory dialog "目录选择": a path box, a "..." button for the folder browser, and
// OK/Cancel. The main window keeps one, so it shows the previous text again.
#pragma once

#include <QDialog>

class QLineEdit;

namespace lq::gui {

class Tform_select_path1 : public QDialog {
  Q_OBJECT
 public:
  explicit Tform_select_path1(QWidget* parent = nullptr);
  QString path() const;
  QLineEdit* edit() const { return edit_; }

 private:
  QLineEdit* edit_;
};

}  // namespace lq::gui

// The directory dialog "目录选择": a path box, a "..." button for the folder browser, and
// OK/Cancel. The main window keeps one, so it shows the previous text again.
#pragma once

#include <QDialog>

class QLineEdit;

namespace lq::gui {

class SelectPathDialog : public QDialog {
  Q_OBJECT
 public:
  explicit SelectPathDialog(QWidget* parent = nullptr);
  QString path() const;
  QLineEdit* edit() const { return edit_; }

 private:
  QLineEdit* edit_;
};

}  // namespace lq::gui

// Tex_form_java, "java字符字节化": writes a text as "\u00" escapes, one per byte of its GBK
// form, the way a Java string literal spells 8-bit text byte by byte.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace lq::gui {

class Tex_form_java : public QDialog {
  Q_OBJECT

 public:
  explicit Tex_form_java(QWidget* parent = nullptr);

  QLineEdit* Edit1() const { return edit1_; }
  QLineEdit* Edit2() const { return edit2_; }
  void convert_clicked();

 private:
  QLineEdit* edit1_ = nullptr;
  QLineEdit* edit2_ = nullptr;
  QPushButton* button1_ = nullptr;
};

}  // namespace lq::gui

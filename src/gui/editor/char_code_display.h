// The character-code display of the main window: the label "当前字符编码:", Edit_code1
// holding one byte of text and Edit_code2 showing that byte with its decimal and
// hexadecimal value. The editor's key-down puts the byte before the caret into Edit_code1;
// typing into Edit_code1 shows the code of what was typed.
#pragma once

#include <QWidget>
#include <string>

namespace lq::gui {

class ColorEdit;

class CharCodeDisplay : public QWidget {
  Q_OBJECT

 public:
  explicit CharCodeDisplay(QWidget* parent = nullptr);

  // Edit_code1 := byte (one byte, or empty when there is none).
  void show_byte(const std::string& byte);
  ColorEdit* Edit_code1() const { return code1_; }
  ColorEdit* Edit_code2() const { return code2_; }

 private:
  void code1_changed(const QString& text);

  ColorEdit* code1_ = nullptr;
  ColorEdit* code2_ = nullptr;
  // The exact byte behind Edit_code1's text: half of a double-byte character has no
  // character of its own to stand for it.
  std::string byte_;
  bool setting_ = false;
};

}  // namespace lq::gui

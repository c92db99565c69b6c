// Tform_mod_out, the template window "模板功能/宏替换" of [17]: parameter rows in memo1,
// the template in memo2, and the expansion, one copy of the template per row, in memo3.
// At most one exists; closing it destroys it with its texts.
#pragma once

#include <QWidget>

namespace lq::gui {

class EditorView;

class Tform_mod_out : public QWidget {
  Q_OBJECT

 public:
  explicit Tform_mod_out(QWidget* parent = nullptr);
  ~Tform_mod_out() override;

  // Creates the window when there is none; in every case shows it and gives it the focus.
  static Tform_mod_out* show_window();
  // The window, or nullptr when none is open.
  static Tform_mod_out* instance();

  EditorView* memo1() const { return memo1_; }
  EditorView* memo2() const { return memo2_; }
  EditorView* memo3() const { return memo3_; }

  void expand();            // expand
  void load_example_one();  // "例子1"
  void load_example_two();  // "例子2"

 private:
  void load_example(int n);

  EditorView* memo1_;
  EditorView* memo2_;
  EditorView* memo3_;
};

}  // namespace lq::gui

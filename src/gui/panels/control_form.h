// TControlForm_: the panel of one operation, stacked in the main window's pnlControls.
// It shows the enable box "启用", the caption, one widget per declared parameter and the
// hide button, and owns the core operation it stands for. Widgets carry their control
// names as objectName, so a panel's parameters are found and read by name.
//
// Panels are made by create_panel_form (panel_forms.h), which picks the class that lays
// out the operation's controls and then calls build(). The base lays every declared
// parameter out on one row; panels with more to show override build_body().
#pragma once

#include <QFrame>
#include <memory>
#include <string>
#include <vector>

#include "core/operations/catalogue.h"
#include "core/operations/operation.h"

class QCheckBox;
class QLabel;
class QHBoxLayout;
class QVBoxLayout;

namespace lq::gui {

class ImageButton;

class TControlForm_ : public QFrame, public IControlTF {
  Q_OBJECT

 public:
  // op is the panel's operation in the main window's PanelStack, which owns it.
  TControlForm_(const PanelClass& cls, Operation* op, QWidget* parent = nullptr);
  ~TControlForm_() override;

  // Lays out the controls and shows the operation's current values. Called once, by
  // create_panel_form, after construction (so the subclass's build_body runs).
  void build();

  const std::string& class_name() const { return class_name_; }
  QCheckBox* chkEnable() const { return chk_enable_; }
  ImageButton* btnClose() const { return btn_close_; }
  bool is_enabled() const;

  Operation* operation() const { return op_; }
  // Shows the operation's enable state.
  void show_enabled();

  // IControlTF. set_enabled changes only the check mark (no click handling).
  void set_enabled(bool value) override;
  void line_step(std::string& text) override;
  void document_step(LineList& lines, const std::string& file_name) override;

  // Copies the widgets' values into the operation (before a run, on the GUI thread) and
  // back (after it, for parameters a run rewrote).
  virtual void push_params();
  void pull_params();

  // Every declared control's value as shown (GBK), and setting them as a user would.
  ParamValues values() const;
  void set_values(const ParamValues& values);

 signals:
  // The user toggled chkEnable; the main window applies the one-enabled rule.
  void enableClicked(lq::gui::TControlForm_* panel, bool checked);
  // The user pressed btnClose; the main window removes the panel and its operation.
  void closeClicked(lq::gui::TControlForm_* panel);

 protected:
  // The controls below the top row. The base puts every declared parameter on one row.
  virtual void build_body();

  // Layout helpers for build_body: a new row below the previous ones, indented under
  // the caption; the widget of a declared parameter (with its label, when it has one)
  // added to a row (without a row: a memo gets a row of its own, anything else is left
  // for the caller to place); a plain label.
  QHBoxLayout* add_row();
  QVBoxLayout* body() const { return body_; }
  QWidget* add_param(QHBoxLayout* row, const std::string& name, int edit_width = 0);
  QLabel* add_label(QHBoxLayout* row, const QString& text);
  const ParamDecl* decl(const std::string& name) const;
  const QString& caption() const { return caption_; }
  // Hides the numbered caption label (the [20]/[21] panel shows its choices instead).
  void hide_caption();
  QWidget* panel1() const { return panel1_; }
  // Puts a widget in the top row, after the caption.
  void add_to_top_row(QWidget* w);

 private:
  QWidget* param_widget(const ParamDecl& d) const;
  QString widget_value(const ParamDecl& d) const;
  void set_widget_value(const ParamDecl& d, const QString& value);

  std::string class_name_;
  std::vector<ParamDecl> params_;
  Operation* op_;
  QString caption_;
  QWidget* panel1_;
  QCheckBox* chk_enable_;
  QWidget* caption_label_ = nullptr;
  ImageButton* btn_close_;
  QVBoxLayout* body_;
  QHBoxLayout* top_;
};

}  // namespace lq::gui

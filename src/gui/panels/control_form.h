// TControlForm_: the panel of one operation, stacked in the main window's pnlControls.
// It shows the enable box "启用", the caption, one widget per declared parameter and the
// hide button, and owns the core operation it stands for. Widgets carry their control
// names as objectName, so a panel's parameters are found and read by name.
#pragma once

#include <QFrame>
#include <memory>
#include <string>
#include <vector>

#include "core/operations/catalogue.h"
#include "core/operations/operation.h"

class QCheckBox;
class QLabel;
class QGridLayout;

namespace lq::gui {

class ImageButton;

class TControlForm_ : public QFrame, public IControlTF {
  Q_OBJECT

 public:
  // op is the panel's operation in the main window's PanelStack, which owns it.
  TControlForm_(const PanelClass& cls, Operation* op, QWidget* parent = nullptr);
  ~TControlForm_() override;

  const std::string& class_name() const { return class_name_; }
  QCheckBox* chkEnable() const { return chk_enable_; }
  ImageButton* btnClose() const { return btn_close_; }
  bool is_enabled() const;

  Operation* operation() const { return op_; }
  // Shows the operation's enable state.
  void show_enabled();

  // IControlTF. SetEnabled changes only the check mark (no click handling).
  void SetEnabled(bool value) override;
  void LineStep(std::string& text) override;
  void DocumentStep(LineList& lines, const std::string& file_name) override;

  // Copies the widgets' values into the operation (before a run, on the GUI thread) and
  // back (after it, for parameters a run rewrote).
  void push_params();
  void pull_params();

  // Panels of later work add their own controls below the declared ones.
  QGridLayout* body() const { return body_; }

 signals:
  // The user toggled chkEnable; the main window applies the one-enabled rule.
  void enableClicked(lq::gui::TControlForm_* panel, bool checked);
  // The user pressed btnClose; the main window removes the panel and its operation.
  void closeClicked(lq::gui::TControlForm_* panel);

 private:
  QWidget* param_widget(const ParamDecl& d) const;
  QString widget_value(const ParamDecl& d) const;
  void set_widget_value(const ParamDecl& d, const QString& value);

  std::string class_name_;
  std::vector<ParamDecl> params_;
  Operation* op_;
  QCheckBox* chk_enable_;
  ImageButton* btn_close_;
  QGridLayout* body_;
};

}  // namespace lq::gui

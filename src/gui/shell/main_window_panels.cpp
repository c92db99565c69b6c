// The operation panels of the main window: one widget per panel of the PanelStack, in the
// same order, so the chain a run applies is the order the user sees.
#include <QVBoxLayout>

#include "core/operations/catalogue.h"
#include "gui/panels/control_form.h"
#include "gui/panels/panel_forms.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {

std::vector<TControlForm_*> MainWindow::panels() const {
  // Children are listed in insertion order, which is the order of the stack.
  std::vector<TControlForm_*> out;
  for (QObject* o : pnl_controls_body_->children())
    if (auto* p = qobject_cast<TControlForm_*>(o)) out.push_back(p);
  return out;
}

void MainWindow::collect_operations() {
  operation_chain_ = panel_stack_.collect_operations();
}

TControlForm_* MainWindow::ensure_panel(const std::string& class_name) {
  if (Operation* present = panel_stack_.find(class_name)) {
    for (TControlForm_* p : panels())
      if (p->operation() == present) return p;
  }
  std::string unknown;
  Operation* op = panel_stack_.ensure_panel(class_name, &unknown);
  if (!op) {
    show_message_box(from_utf8(unknown), this);
    return nullptr;
  }
  const PanelClass* cls = PanelClassRegistry::instance().find(class_name);
  TControlForm_* panel = create_panel_form(*cls, op, pnl_controls_body_);
  // The trailing stretch stays last, so a new panel goes below all present ones.
  pnl_controls_layout_->insertWidget(pnl_controls_layout_->count() - 1, panel);
  panel->setFont(panel_font_);
  connect(panel, &TControlForm_::enableClicked, this, &MainWindow::panel_enable_toggled);
  connect(panel, &TControlForm_::closeClicked, this, &MainWindow::close_panel);
  panel->setEnabled(!running());
  panel->show();
  return panel;
}

void MainWindow::show_all_panels() {
  for (const std::string& name : PanelClassRegistry::instance().class_names()) ensure_panel(name);
}

void MainWindow::panel_enable_toggled(TControlForm_* panel, bool checked) {
  collect_operations();
  panel_stack_.enable_clicked(panel->operation(), checked);
  for (TControlForm_* p : panels()) p->show_enabled();
}

void MainWindow::close_panel(TControlForm_* panel) {
  // The panel and its parameters are gone; its operation leaves the next run.
  if (running()) return;
  panel_stack_.remove(panel->operation());
  panel->hide();
  panel->setParent(nullptr);
  panel->deleteLater();
}

}  // namespace lq::gui

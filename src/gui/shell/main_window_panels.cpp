// The operation panels of the main window: creating them by class name, the chain a run
// applies, and the rule that at most one of them is enabled.
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "core/operations/catalogue.h"
#include "core/textsvc/str_helpers.h"
#include "gui/panels/control_form.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {

std::vector<TControlForm_*> MainWindow::panels() const {
  // Children are listed in insertion order, which is the order of the chain.
  std::vector<TControlForm_*> out;
  for (QObject* o : pnl_controls_body_->children())
    if (auto* p = qobject_cast<TControlForm_*>(o)) out.push_back(p);
  return out;
}

void MainWindow::collect_operations1() {
  operation_chain_.clear();
  for (TControlForm_* p : panels()) operation_chain_.append(p);
}

TControlForm_* MainWindow::ensure_panel1(const std::string& class_name) {
  for (TControlForm_* p : panels())
    if (same_text(p->class_name(), class_name)) return p;
  const PanelClass* cls = PanelClassRegistry::instance().find(class_name);
  if (!cls) {
    show_message1(from_utf8(unknown_panel_message(class_name)), this);
    return nullptr;
  }
  auto* panel = new TControlForm_(*cls, pnl_controls_body_);
  // The trailing stretch stays last, so a new panel goes below all present ones.
  pnl_controls_layout_->insertWidget(pnl_controls_layout_->count() - 1, panel);
  connect(panel, &TControlForm_::enableClicked, this, &MainWindow::chkEnableClick);
  panel->setEnabled(!running());
  panel->show();
  return panel;
}

void MainWindow::show_all_panels1() {
  for (const std::string& name : PanelClassRegistry::instance().class_names()) ensure_panel1(name);
}

void MainWindow::chkEnableClick(TControlForm_* panel, bool checked) {
  collect_operations1();
  operation_chain_.apply_enable_rule(panel, checked);
}

}  // namespace lq::gui

#include "core/operations/panel_stack.h"

#include "core/operations/catalogue.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

Operation* PanelStack::ensure_panel(std::string_view class_name, std::string* unknown_message) {
  if (Operation* present = find(class_name)) return present;
  const PanelClass* cls = PanelClassRegistry::instance().find(class_name);
  if (!cls) {
    if (unknown_message) *unknown_message = unknown_panel_message(class_name);
    return nullptr;
  }
  Panel panel{cls->class_name, cls->factory ? cls->factory() : nullptr, true};
  if (!panel.op) {
    panel.op = std::make_unique<Operation>(cls->params);
    panel.built = false;
  }
  panels_.push_back(std::move(panel));
  return panels_.back().op.get();
}

void PanelStack::show_all_panels(std::vector<std::string>* messages) {
  for (const std::string& name : PanelClassRegistry::instance().class_names()) {
    std::string message;
    if (!ensure_panel(name, &message) && messages) messages->push_back(message);
  }
}

Operation* PanelStack::find(std::string_view class_name) const {
  for (const Panel& p : panels_)
    if (same_text(p.class_name, class_name)) return p.op.get();
  return nullptr;
}

bool PanelStack::remove(const Operation* op) {
  for (auto it = panels_.begin(); it != panels_.end(); ++it) {
    if (it->op.get() == op) {
      panels_.erase(it);
      return true;
    }
  }
  return false;
}

OperationChain PanelStack::collect_operations() const {
  OperationChain chain;
  for (const Panel& p : panels_) chain.append(p.op.get());
  return chain;
}

void PanelStack::enable_clicked(Operation* op, bool state) const {
  collect_operations().apply_enable_rule(op, state);
}

}  // namespace lq

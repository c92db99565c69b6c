#include "core/batch/operation_snapshot.h"

#include "core/operations/catalogue.h"

namespace lq {
namespace {

bool same_values(const ParamValues& a, const ParamValues& b) {
  if (a.all() != b.all()) return false;
  for (const auto& [name, value] : a.all())
    if (a.form(name) != b.form(name) || a.unicode_text(name) != b.unicode_text(name)) return false;
  return true;
}

bool same_rows(const std::optional<std::vector<ReplaceRow>>& a,
               const std::optional<std::vector<ReplaceRow>>& b) {
  if (a.has_value() != b.has_value()) return false;
  if (!a) return true;
  if (a->size() != b->size()) return false;
  for (size_t k = 0; k < a->size(); ++k)
    if ((*a)[k].old_text != (*b)[k].old_text || (*a)[k].new_text != (*b)[k].new_text) return false;
  return true;
}

}  // namespace

bool OperationSnapshot::Panel::operator==(const Panel& o) const {
  return class_name == o.class_name && built == o.built && enabled == o.enabled &&
         same_values(values, o.values) && same_rows(multi_rows, o.multi_rows);
}

OperationSnapshot snapshot_operations(const PanelStack& stack) {
  OperationSnapshot s;
  for (const PanelStack::Panel& p : stack.panels()) {
    OperationSnapshot::Panel copy{p.class_name, p.built, p.op->enabled(), p.op->params(), {}};
    if (const auto* replace = dynamic_cast<const ReplaceOp*>(p.op.get()))
      copy.multi_rows = replace->multi_rows();
    s.panels.push_back(std::move(copy));
  }
  return s;
}

WorkerOperations make_operations(const OperationSnapshot& snapshot) {
  WorkerOperations w;
  for (const OperationSnapshot::Panel& p : snapshot.panels) {
    const PanelClass* cls = PanelClassRegistry::instance().find(p.class_name);
    std::unique_ptr<Operation> op;
    if (cls && p.built && cls->factory) op = cls->factory();
    if (!op) op = std::make_unique<Operation>(cls ? cls->params : std::vector<ParamDecl>{});
    op->params() = p.values;
    op->set_enabled(p.enabled);
    if (auto* replace = dynamic_cast<ReplaceOp*>(op.get())) replace->set_multi_rows(p.multi_rows);
    w.chain.append(op.get());
    w.owned.push_back(std::move(op));
  }
  return w;
}

}  // namespace lq

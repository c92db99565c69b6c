// The ordered operations a run applies. Non-owning: the GUI's panels or the CLI's
// operation objects own them.
#pragma once

#include <string>
#include <vector>

#include "core/operations/operation.h"

namespace lq {

class OperationChain {
 public:
  void clear() { members_.clear(); }
  void append(IControlTF* op) { members_.push_back(op); }
  const std::vector<IControlTF*>& members() const { return members_; }
  bool empty() const { return members_.empty(); }

  // Every member's document step, in order.
  void run_document_steps(LineList& lines, const std::string& file_name) const {
    for (auto* op : members_) op->document_step(lines, file_name);
  }

  // Every member's line step, each on the previous one's result.
  std::string run_line_steps(std::string text) const {
    for (auto* op : members_) op->line_step(text);
    return text;
  }

  // At most one operation is enabled: enabling one disables all others.
  void apply_enable_rule(IControlTF* clicked, bool new_state) const {
    for (auto* op : members_) op->set_enabled(false);
    if (clicked) clicked->set_enabled(new_state);
  }

 private:
  std::vector<IControlTF*> members_;
};

}  // namespace lq

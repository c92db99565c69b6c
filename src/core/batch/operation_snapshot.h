// The operations of a run as they stood when it started: class, enable state and values of
// every panel, in stack order. A run works on operations made from it, never on the
// window's own, so nothing the window does while the run works can reach the worker, and a
// preview can later run exactly what it showed.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/batch/run_driver.h"
#include "core/operations/panel_stack.h"
#include "core/operations/param.h"
#include "core/operations/replace_op.h"

namespace lq {

struct OperationSnapshot {
  struct Panel {
    std::string class_name;
    bool built = true;  // false: declared only, its steps change nothing
    bool enabled = false;
    ParamValues values;
    std::optional<std::vector<ReplaceRow>> multi_rows;  // [4] with its table open
    bool operator==(const Panel& o) const;
  };
  std::vector<Panel> panels;
  bool operator==(const OperationSnapshot&) const = default;
};

OperationSnapshot snapshot_operations(const PanelStack& stack);

// Fresh operations with the snapshot's values, owned by the result, in chain order.
WorkerOperations make_operations(const OperationSnapshot& snapshot);

}  // namespace lq

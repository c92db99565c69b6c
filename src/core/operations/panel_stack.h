// The operation panels present in the main window, in the order they were inserted: the
// order in which a run applies them. The GUI keeps one stack and shows a widget per
// panel; the CLI builds one per worker. Panels are created only through ensure_panel.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/operations/operation.h"
#include "core/operations/operation_chain.h"

namespace lq {

class PanelStack {
 public:
  struct Panel {
    std::string class_name;  // as registered, e.g. "TControlForm_th"
    std::unique_ptr<Operation> op;
    bool built = true;  // false: the operation is declared but not built yet; the panel
                        // shows its parameters and its steps change nothing
  };

  // The panel of that class (names compare without regard to ASCII case); when there is
  // none, a new one with its defaults, not enabled, at the end. A class that is not
  // registered gives nullptr and, when asked for, the text of the box to show.
  Operation* ensure_panel(std::string_view class_name, std::string* unknown_message = nullptr);

  // ensure_panel for all 27 classes in their fixed order; the texts of unknown classes
  // (none with the built-in registry) are appended to messages.
  void show_all_panels(std::vector<std::string>* messages = nullptr);

  // The panel of that class, or nullptr.
  Operation* find(std::string_view class_name) const;
  const std::vector<Panel>& panels() const { return panels_; }

  // The hide button: the panel and its parameters are gone. False when op is not here.
  bool remove(const Operation* op);
  // Applying a layout starts from an empty stack.
  void clear() { panels_.clear(); }

  // Every panel, in insertion order.
  OperationChain collect_operations() const;

  // The enable check box of op was clicked and now shows `state`: every other panel is
  // unchecked, op keeps `state`.
  void enable_clicked(Operation* op, bool state) const;

 private:
  std::vector<Panel> panels_;
};

}  // namespace lq

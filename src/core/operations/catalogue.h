// The catalogue of the 28 operations and the registry that creates them by class name.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/operations/operation.h"

namespace lq {

using OperationFactory = std::function<std::unique_ptr<Operation>()>;

struct PanelClass {
  std::string class_name;
  std::vector<OperationInfo> entries;  // one per catalogue number ([20]/[21] share a class)
  std::vector<ParamDecl> params;       // every control of the panel
  OperationFactory factory;            // empty while the operation is not built
};

class PanelClassRegistry {
 public:
  // The process-wide registry holding all 27 panel classes.
  static PanelClassRegistry& instance();

  void add(PanelClass cls);
  // Class names compare without regard to ASCII case.
  const PanelClass* find(std::string_view class_name) const;
  const PanelClass* find_number(int number) const;
  const std::vector<PanelClass>& classes() const { return classes_; }

  // The 27 class names in the fixed order of "显示所有控件".
  std::vector<std::string> class_names() const;

  // Installs a factory for an already declared class.
  void set_factory(std::string_view class_name, OperationFactory factory);

  // A new operation of that class with its defaults, or nothing when the class is unknown
  // or not built yet.
  std::unique_ptr<Operation> create(std::string_view class_name) const;

 private:
  std::vector<PanelClass> classes_;
};

// Text of the box shown for a class name that is not registered (UTF-8).
std::string unknown_panel_message(std::string_view class_name);

}  // namespace lq

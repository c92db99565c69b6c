// Base for operations built on a catalogue entry: the parameters are the ones declared
// for the panel class, with their defaults, so nothing about them is repeated here.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "core/operations/catalogue.h"
#include "core/operations/operation.h"

namespace lq {

class PanelOperation : public Operation {
 public:
  explicit PanelOperation(std::string_view class_name) : Operation(declared(class_name)) {}

 private:
  static const std::vector<ParamDecl>& declared(std::string_view class_name) {
    static const std::vector<ParamDecl> none;
    const PanelClass* c = PanelClassRegistry::instance().find(class_name);
    return c ? c->params : none;
  }
};

// A line operation given by a function of (operation, piece): the step calls it only when
// the operation is enabled.
template <class Fn>
class LineOperation final : public PanelOperation {
 public:
  LineOperation(std::string_view class_name, Fn fn) : PanelOperation(class_name), fn_(fn) {}
  void line_step(std::string& text) override {
    if (enabled()) fn_(static_cast<const Operation&>(*this), text);
  }

 private:
  Fn fn_;
};

template <class Fn>
std::unique_ptr<Operation> make_line_operation(std::string_view class_name, Fn fn) {
  return std::make_unique<LineOperation<Fn>>(class_name, std::move(fn));
}

}  // namespace lq

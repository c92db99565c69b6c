// Operation and scope parameters are data: each is declared once by its control name,
// and the GUI, the CLI and recipe files all read and write them through that name.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lq {

enum class ParamKind {
  Text,    // single-line edit box
  Memo,    // multi-line edit box
  Check,   // check box: "1" or "0"
  Radio,   // radio button: "1" or "0"
  UpDown,  // edit box bound to an up-down control with a range
};

struct ParamDecl {
  std::string name;  // control name, e.g. "Edit_th1"
  ParamKind kind = ParamKind::Text;
  std::string default_value;  // GBK bytes; "1"/"0" for check boxes and radio buttons
  std::string caption;        // label or caption shown beside the control (UTF-8)
  int min = 0;                // range of an up-down control
  int max = 0;
  std::string updown = {};  // name of the up-down control bound to this edit box, if any
};

// Current values by control name. Values are GBK bytes, exactly as the user typed them.
class ParamValues {
 public:
  ParamValues() = default;
  explicit ParamValues(const std::vector<ParamDecl>& decls) { reset(decls); }

  void reset(const std::vector<ParamDecl>& decls) {
    values_.clear();
    for (const auto& d : decls) values_[d.name] = d.default_value;
  }

  bool has(std::string_view name) const { return values_.find(std::string(name)) != values_.end(); }

  const std::string& text(std::string_view name) const {
    static const std::string empty;
    auto it = values_.find(std::string(name));
    return it == values_.end() ? empty : it->second;
  }

  bool checked(std::string_view name) const { return text(name) == "1"; }

  void set(std::string_view name, std::string value) {
    values_[std::string(name)] = std::move(value);
  }
  void set_checked(std::string_view name, bool on) { set(name, on ? "1" : "0"); }

  const std::map<std::string, std::string>& all() const { return values_; }

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace lq

// The scope box: which of the fifteen modes is selected and every parameter control, by
// the controls' names. The GUI builds the box from these declarations and copies what the
// user typed in; the CLI and recipe files set the same names. A run works on its own copy
// and reports the one value it may rewrite (the [8] fallback) through RunHost.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/operations/param.h"

namespace lq {

// One piece of a mode's row as shown: a caption or a parameter control, in display order.
struct ScopeRowItem {
  enum class Kind { Caption, Control };
  Kind kind = Kind::Caption;
  std::string text;  // caption text (UTF-8) or control name
  int tag = 0;       // message-catalogue id of a caption, 0 when it has none
};

struct ScopeModeInfo {
  int mode = 0;       // 1..15
  std::string radio;  // the radio button's name, e.g. "RadioButton_fw_all1"
  int tag = 0;        // catalogue id of the radio button's caption
  // The radio button's caption comes first, then the further captions and the
  // parameter controls in the order they are shown.
  std::vector<ScopeRowItem> row;
};

class ScopeSettings {
 public:
  // Every control of the scope box with its initial value: the fifteen radio buttons
  // (Radio), the parameter edit boxes (Text; UpDown for the five bound to an up-down
  // control, whose name is in ParamDecl::updown) and CheckBox_fw_qz3 (Check).
  static const std::vector<ParamDecl>& decls();
  static const std::vector<ScopeModeInfo>& modes();
  static const ScopeModeInfo* mode_info(int mode);

  // The mode that focusing the named parameter box selects; 0 for controls that select
  // nothing (CheckBox_fw_qz3, the radio buttons themselves, unknown names).
  static int mode_of_control(std::string_view name);

  // True for every name set() accepts: the declared controls and the up-down controls.
  static bool knows(std::string_view name);

  ScopeSettings();  // the defaults of a fresh start: [1] selected

  // The selected mode, 1..15, or 0 when no radio button is checked.
  int mode() const;
  // Checks that mode's radio button and clears every other one (the shared click handler).
  void select(int mode);

  // Current text of a control: "1"/"0" for radio buttons and the check box, the position
  // for an up-down control, the text as typed for edit boxes.
  std::string text(std::string_view name) const;
  bool checked(std::string_view name) const { return text(name) == "1"; }

  // Sets a control as the user would. A radio button set to "1" selects its mode (clearing
  // the others); "0" only clears it. An edit box bound to an up-down control moves the
  // up-down when the text is an integer (clamped to its range); setting the up-down writes
  // its clamped position into the edit box. Returns false for an unknown name or a value
  // a check box or radio button does not take ("1"/"0"), or an up-down value that is not
  // an integer; nothing changes then.
  bool set(std::string_view name, std::string_view value);
  // The same for an edit box with text as typed (UTF-8) or raw bytes: see ParamValues.
  bool set_text(std::string_view name, std::string_view utf8);
  bool set_bytes(std::string_view name, std::string_view bytes);
  ValueForm form(std::string_view name) const { return enc_.form(name); }
  std::string unicode_text(std::string_view name) const {
    return enc_.unicode_text(name, text(name));
  }
  // While a run is at a file, text() answers in its code page; throws ParamEncodeError.
  void use_page(const CodePage* page) { enc_.use_page(page, values_); }

  // The 16-bit position of an up-down control, by its own name or its edit box's name.
  int position(std::string_view name) const;

  // Every declared control with its current value, in declaration order (for saving).
  std::vector<std::pair<std::string, std::string>> values() const;

  bool operator==(const ScopeSettings& o) const {
    return values_ == o.values_ && positions_ == o.positions_ && values() == o.values() &&
           unicode_values() == o.unicode_values();
  }
  // Every declared control with its value as UTF-8 text.
  std::vector<std::pair<std::string, std::string>> unicode_values() const;

 private:
  bool set_value(std::string_view name, std::string_view value);

  std::map<std::string, std::string, std::less<>> values_;  // edit, check and radio texts
  std::map<std::string, int, std::less<>> positions_;       // up-down name -> position
  EncodedValues enc_;
};

// Radio button names of the modes, for readable code.
namespace scope_mode {
inline constexpr int kWhole = 1, kFirstN = 2, kBeforeNth = 3, kContaining = 4, kBetween = 5,
                     kNotContaining = 6, kMarkerLines = 7, kLastN = 8, kLineNumber = 9,
                     kLineRange = 10, kLength = 11, kEnclosed = 12, kEveryN = 13, kAfterLast = 14,
                     kAfterFirst = 15;
}  // namespace scope_mode

}  // namespace lq

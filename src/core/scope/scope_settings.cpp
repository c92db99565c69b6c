#include "core/scope/scope_settings.h"

#include <algorithm>

#include "core/encoding/code_page.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

using Kind = ScopeRowItem::Kind;

ScopeRowItem cap(std::string text, int tag = 0) {
  return {Kind::Caption, std::move(text), tag};
}
ScopeRowItem ctl(std::string name) {
  return {Kind::Control, std::move(name), 0};
}

struct Tables {
  std::vector<ParamDecl> decls;
  std::vector<ScopeModeInfo> modes;
};

const Tables& tables() {
  static const Tables t = [] {
    Tables t;
    auto mode = [&](int n, std::string radio, int tag, std::vector<ScopeRowItem> row) {
      t.modes.push_back({n, std::move(radio), tag, std::move(row)});
    };
    mode(1, "RadioButton_fw_all1", 10300001, {cap("[1]全部", 10300001)});
    mode(2, "RadioButton_fw_qj1", 10300002,
         {cap("[2]每一行的前?个字符", 10300002), ctl("Edit_fw_qj1")});
    mode(3, "RadioButton_fw_qz1", 10300003,
         {cap("[3]每一行的第..", 10300003), ctl("Edit_fw_qz1"), cap("个..", 10300004),
          ctl("Edit_fw_qz2"), cap("字符串之前", 10300005), ctl("CheckBox_fw_qz3")});
    mode(4, "RadioButton_hy1", 10300006, {cap("[4]含有..的行", 10300006), ctl("Edit_hy1")});
    mode(5, "RadioButton_fw_qjhj1", 10300008,
         {cap("[5]每一行的第..", 10300008), ctl("Edit_qjhj1"), cap("个..", 10300009),
          ctl("Edit_qjhj2"), cap("之后到", 10300010), cap("第..", 10300011), ctl("Edit_qjhj3"),
          cap("个..", 10300012), ctl("Edit_qjhj4"), cap("之前", 10300013)});
    mode(6, "RadioButton_bh1", 10300014, {cap("[6]不含有..的行", 10300014), ctl("edit_bh1")});
    mode(7, "RadioButton_fw_hqjhj1", 10300016,
         {cap("[7]从第..", 10300016), ctl("Edit_qj1"), cap("个含有..", 10300017), ctl("Edit_qj2"),
          cap("的行之后到", 10300018), cap("第..", 10300019), ctl("Edit_qj3"),
          cap("个含有..", 10300020), ctl("Edit_qj4"), cap("之前", 10300021)});
    mode(8, "RadioButton_fw_hj1", 10300022,
         {cap("[8]每一行的后?个字符", 10300022), ctl("Edit_fw_hj1")});
    mode(9, "RadioButton_line1", 10300023, {cap("[9]第?行", 10300023), ctl("Edit_line1")});
    mode(10, "RadioButton_line_m1", 10300024,
         {cap("[10]第?行", 10300024), ctl("Edit_line_m1"), cap("至 第?行", 10300025),
          ctl("Edit_line_m2")});
    mode(11, "RadioButton_fw_len1", 10300030,
         {cap("[11]长度为?的行", 10300030), ctl("Edit_fw_len1")});
    mode(12, "RadioButton_fw_sp1", 10300031,
         {cap("[12]每行中", 10300031), cap("各个", 10300032), ctl("Edit_fw_b_sp1"),
          cap("与", 10300033), ctl("Edit_fw_e_sp1"), cap("之间的字符串", 10300034)});
    mode(13, "RadioButton_fw_mg1", 10300035,
         {cap("[13]每行中每隔?个字符单独处理", 10300035), ctl("Edit_fw_mg1")});
    mode(14, "RadioButton_fw_sp_r1", 10300035,
         {cap("[14]右边第一个分隔符..之后", 10300035), ctl("edit_fw_sp_r1")});
    mode(15, "RadioButton_fw_sp_l1", 10300035,
         {cap("[15]左边第一个分隔符..之后", 10300035), ctl("Edit_fw_sp_l1")});

    for (const auto& m : t.modes) {
      ParamDecl d;
      d.name = m.radio;
      d.kind = ParamKind::Radio;
      d.default_value = m.mode == 1 ? "1" : "0";
      d.caption = m.row.front().text;
      t.decls.push_back(d);
    }
    auto text = [&](std::string name, std::string def) {
      ParamDecl d;
      d.name = std::move(name);
      d.default_value = std::move(def);
      t.decls.push_back(d);
    };
    auto updown = [&](std::string name, std::string updown, int pos) {
      ParamDecl d;
      d.name = std::move(name);
      d.kind = ParamKind::UpDown;
      d.default_value = std::to_string(pos);
      d.min = 1;
      d.max = 32767;
      d.updown = std::move(updown);
      t.decls.push_back(d);
    };
    text("Edit_fw_qj1", "10");
    text("Edit_fw_qz1", "1");
    text("Edit_fw_qz2", "");
    {
      ParamDecl d;
      d.name = "CheckBox_fw_qz3";
      d.kind = ParamKind::Check;
      d.default_value = "0";
      d.caption = "没找到字符串时处理整行";
      t.decls.push_back(d);
    }
    text("Edit_hy1", "");
    text("Edit_qjhj1", "1");
    text("Edit_qjhj2", "");
    text("Edit_qjhj3", "1");
    text("Edit_qjhj4", "");
    text("edit_bh1", "");
    text("Edit_qj1", "1");
    text("Edit_qj2", "");
    text("Edit_qj3", "1");
    text("Edit_qj4", "");
    text("Edit_fw_hj1", "1");
    updown("Edit_line1", "UpDown_line1", 1);
    updown("Edit_line_m1", "UpDown_line_m1", 1);
    updown("Edit_line_m2", "UpDown_line_m2", 2);
    updown("Edit_fw_len1", "UpDown1", 1);
    text("Edit_fw_b_sp1", "(");
    text("Edit_fw_e_sp1", ")");
    updown("Edit_fw_mg1", "UpDown2", 1);
    text("edit_fw_sp_r1", "");
    text("Edit_fw_sp_l1", "");
    return t;
  }();
  return t;
}

const ParamDecl* find_decl(std::string_view name) {
  for (const auto& d : tables().decls)
    if (d.name == name) return &d;
  return nullptr;
}

// The declaration of the edit box an up-down control is bound to.
const ParamDecl* find_updown(std::string_view updown_name) {
  for (const auto& d : tables().decls)
    if (d.kind == ParamKind::UpDown && d.updown == updown_name) return &d;
  return nullptr;
}

int mode_of_radio(std::string_view radio) {
  for (const auto& m : tables().modes)
    if (m.radio == radio) return m.mode;
  return 0;
}

int clamp_to(const ParamDecl& d, int v) {
  return std::clamp(v, d.min, d.max);
}

}  // namespace

const std::vector<ParamDecl>& ScopeSettings::decls() {
  return tables().decls;
}
const std::vector<ScopeModeInfo>& ScopeSettings::modes() {
  return tables().modes;
}

const ScopeModeInfo* ScopeSettings::mode_info(int mode) {
  if (mode < 1 || mode > static_cast<int>(tables().modes.size())) return nullptr;
  return &tables().modes[mode - 1];
}

int ScopeSettings::mode_of_control(std::string_view name) {
  if (name == "CheckBox_fw_qz3") return 0;
  for (const auto& m : tables().modes)
    for (const auto& item : m.row)
      if (item.kind == Kind::Control && item.text == name) return m.mode;
  return 0;
}

bool ScopeSettings::knows(std::string_view name) {
  return find_decl(name) != nullptr || find_updown(name) != nullptr;
}

ScopeSettings::ScopeSettings() {
  for (const auto& d : tables().decls) {
    values_[d.name] = d.default_value;
    if (d.kind == ParamKind::UpDown) positions_[d.updown] = std::stoi(d.default_value);
  }
}

int ScopeSettings::mode() const {
  for (const auto& m : tables().modes)
    if (checked(m.radio)) return m.mode;
  return 0;
}

void ScopeSettings::select(int mode) {
  for (const auto& m : tables().modes) values_[m.radio] = m.mode == mode ? "1" : "0";
}

std::string ScopeSettings::text(std::string_view name) const {
  if (const std::string* e = enc_.find(name)) return *e;
  if (auto it = values_.find(name); it != values_.end()) return it->second;
  if (auto it = positions_.find(name); it != positions_.end()) return std::to_string(it->second);
  return {};
}

bool ScopeSettings::set(std::string_view name, std::string_view value) {
  if (!set_value(name, value)) return false;
  enc_.note(name, ValueForm::Program);
  enc_.refresh(values_);
  return true;
}

bool ScopeSettings::set_text(std::string_view name, std::string_view utf8) {
  if (!set_value(name, code_page().from_utf8(utf8))) return false;
  const ParamDecl* d = find_decl(name);
  if (d && d->kind == ParamKind::Text) enc_.note(name, ValueForm::Unicode, utf8);
  enc_.refresh(values_);
  return true;
}

bool ScopeSettings::set_bytes(std::string_view name, std::string_view bytes) {
  if (!set_value(name, bytes)) return false;
  const ParamDecl* d = find_decl(name);
  if (d && d->kind == ParamKind::Text) enc_.note(name, ValueForm::Bytes);
  enc_.refresh(values_);
  return true;
}

std::vector<std::pair<std::string, std::string>> ScopeSettings::unicode_values() const {
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& d : tables().decls)
    out.emplace_back(d.name, enc_.unicode_text(d.name, values_.find(d.name)->second));
  return out;
}

bool ScopeSettings::set_value(std::string_view name, std::string_view value) {
  if (const ParamDecl* d = find_decl(name)) {
    switch (d->kind) {
      case ParamKind::Radio:
        if (value == "1") {
          select(mode_of_radio(name));
        } else if (value == "0") {
          values_.find(name)->second = "0";
        } else {
          return false;
        }
        return true;
      case ParamKind::Check:
        if (value != "1" && value != "0") return false;
        values_.find(name)->second = std::string(value);
        return true;
      case ParamKind::UpDown:
        values_.find(name)->second = std::string(value);
        // Like a bound up-down control: a text that reads as a number moves it, any other
        // text leaves it where it was.
        if (int v; parse_int(trim(value), v)) positions_[d->updown] = clamp_to(*d, v);
        return true;
      default:
        values_.find(name)->second = std::string(value);
        return true;
    }
  }
  if (const ParamDecl* d = find_updown(name)) {
    int v;
    if (!parse_int(trim(value), v)) return false;
    int pos = clamp_to(*d, v);
    positions_[d->updown] = pos;
    values_.find(d->name)->second = std::to_string(pos);
    return true;
  }
  return false;
}

int ScopeSettings::position(std::string_view name) const {
  if (auto it = positions_.find(name); it != positions_.end()) return it->second;
  if (const ParamDecl* d = find_decl(name); d && d->kind == ParamKind::UpDown)
    return positions_.find(d->updown)->second;
  return 0;
}

std::vector<std::pair<std::string, std::string>> ScopeSettings::values() const {
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& d : tables().decls) out.emplace_back(d.name, values_.find(d.name)->second);
  return out;
}

}  // namespace lq

#include "core/operations/param.h"

#include "core/encoding/byte_scan.h"
#include "core/encoding/code_page.h"

namespace lq {
namespace {

bool is_ascii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

void EncodedValues::note(std::string_view name, ValueForm form, std::string_view utf8) {
  if (form == ValueForm::Program) {
    if (auto it = forms_.find(name); it != forms_.end()) forms_.erase(it);
  } else {
    forms_.insert_or_assign(std::string(name), form);
  }
  if (form == ValueForm::Unicode)
    unicode_.insert_or_assign(std::string(name), std::string(utf8));
  else if (auto it = unicode_.find(name); it != unicode_.end())
    unicode_.erase(it);
}

ValueForm EncodedValues::form(std::string_view name) const {
  auto it = forms_.find(name);
  return it == forms_.end() ? ValueForm::Program : it->second;
}

std::string EncodedValues::unicode_text(std::string_view name, const std::string& stored) const {
  if (auto it = unicode_.find(name); it != unicode_.end()) return it->second;
  if (form(name) == ValueForm::Bytes && is_utf8_text(stored)) return stored;
  return code_page().to_utf8(stored);
}

void EncodedValues::use_page(const CodePage* page,
                             const std::map<std::string, std::string, std::less<>>& values) {
  if (page == page_) return;
  page_ = page;
  encoded_.clear();
  same_ = true;
  if (!page) return;
  for (const auto& [name, value] : values) {
    const ValueForm f = form(name);
    std::string out, missing;
    if (f == ValueForm::Bytes || (is_ascii(value) && f == ValueForm::Program)) {
      out = value;
    } else if (f == ValueForm::Unicode) {
      if (!page->from_utf8_exact(unicode_.find(name)->second, out, missing)) {
        page_ = nullptr;
        encoded_.clear();
        throw ParamEncodeError(name, missing);
      }
    } else if (page == &code_page()) {
      out = value;
    } else {
      // Bytes of the program's code page that do not decode stay bytes.
      const std::string utf8 = code_page().to_utf8(value);
      if (!page->from_utf8_exact(utf8, out, missing) ||
          utf8.find("\xEF\xBF\xBD") != std::string::npos)
        out = value;
    }
    if (out != value) same_ = false;
    encoded_.emplace(name, std::move(out));
  }
  // Nothing to look up line after line when every value reads the same in this page.
  if (same_) encoded_.clear();
}

const std::string* EncodedValues::find(std::string_view name) const {
  if (!page_ || same_) return nullptr;
  auto it = encoded_.find(name);
  return it == encoded_.end() ? nullptr : &it->second;
}

void EncodedValues::update(std::string_view name, const std::string& value) {
  if (page_ && !same_) encoded_.insert_or_assign(std::string(name), value);
}

void EncodedValues::refresh(const std::map<std::string, std::string, std::less<>>& values) {
  if (!page_ || same_) return;
  for (const auto& [name, value] : values)
    if (form(name) == ValueForm::Program && is_ascii(value)) encoded_.insert_or_assign(name, value);
}

void ParamValues::set_text(std::string_view name, std::string_view utf8) {
  std::string program = code_page().from_utf8(utf8);
  enc_.note(name, ValueForm::Unicode, utf8);
  enc_.update(name, program);
  values_.insert_or_assign(std::string(name), std::move(program));
}

void ParamValues::set_bytes(std::string_view name, std::string bytes) {
  enc_.note(name, ValueForm::Bytes);
  enc_.update(name, bytes);
  values_.insert_or_assign(std::string(name), std::move(bytes));
}

void ParamValues::merge_from(const ParamValues& other) {
  for (const auto& [name, value] : other.values_) {
    switch (other.form(name)) {
      case ValueForm::Unicode:
        set_text(name, other.unicode_text(name));
        break;
      case ValueForm::Bytes:
        set_bytes(name, value);
        break;
      case ValueForm::Program:
        set(name, value);
        break;
    }
  }
}

}  // namespace lq

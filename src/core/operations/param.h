// Operation and scope parameters are data: each is declared once by its control name,
// and the GUI, the CLI and recipe files all read and write them through that name.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lq {

class CodePage;

enum class ParamKind {
  Text,    // single-line edit box
  Memo,    // multi-line edit box
  Check,   // check box: "1" or "0"
  Radio,   // radio button: "1" or "0"
  UpDown,  // edit box bound to an up-down control with a range
  Choice,  // drop-down list: the index of the chosen item, "0" for the first
};

struct ParamDecl {
  std::string name;  // control name, e.g. "Edit_th1"
  ParamKind kind = ParamKind::Text;
  std::string default_value;  // GBK bytes; "1"/"0" for check boxes and radio buttons
  std::string caption;        // label or caption shown beside the control (UTF-8)
  int min = 0;                // range of an up-down control
  int max = 0;
  std::string updown = {};  // name of the up-down control bound to this edit box, if any
  std::vector<std::string> items = {};  // the items of a drop-down list (UTF-8)
};

// How a value was given, which decides how it becomes bytes of a file's code page.
enum class ValueForm : std::uint8_t {
  Program,  // bytes in the program's code page (GBK): converted for files in another one
  Unicode,  // text as typed (UTF-8): encoded into each file's code page
  Bytes,    // raw bytes, the same for every code page
};

// A value holds a character the file's code page lacks.
struct ParamEncodeError : std::runtime_error {
  ParamEncodeError(std::string name, std::string missing)
      : std::runtime_error("parameter " + name + " cannot be encoded"),
        name(std::move(name)),
        missing(std::move(missing)) {}
  std::string name;     // the control
  std::string missing;  // the characters the code page lacks, UTF-8
};

// The forms of a set of values and, while a run is at a file, the values as bytes of that
// file's code page.
class EncodedValues {
 public:
  // A value was set in `form` (with Unicode, `utf8` is the text as typed).
  void note(std::string_view name, ValueForm form, std::string_view utf8 = {});
  ValueForm form(std::string_view name) const;
  // The value as UTF-8 text, `stored` being what the owner holds for it.
  std::string unicode_text(std::string_view name, const std::string& stored) const;

  // Encodes every value for page (null: back to the values as stored). Nothing is redone
  // while the page stays the same. Throws ParamEncodeError.
  void use_page(const CodePage* page,
                const std::map<std::string, std::string, std::less<>>& values);
  // The encoded value while a page is in use, else null.
  const std::string* find(std::string_view name) const;
  // A value the run itself set while at a file: taken as bytes of that file.
  void update(std::string_view name, const std::string& value);
  // After values of the program's form changed while at a file: takes them over.
  void refresh(const std::map<std::string, std::string, std::less<>>& values);

 private:
  std::map<std::string, ValueForm, std::less<>> forms_;
  std::map<std::string, std::string, std::less<>> unicode_;
  std::map<std::string, std::string, std::less<>> encoded_;
  const CodePage* page_ = nullptr;
  bool same_ = false;  // every value reads as stored in page_: encoded_ is empty
};

// Current values by control name: bytes in the program's code page (GBK) as set(), text
// as typed with set_text(), raw bytes with set_bytes(). While a run is at a file
// (use_page), text() answers in that file's code page.
class ParamValues {
 public:
  ParamValues() = default;
  explicit ParamValues(const std::vector<ParamDecl>& decls) { reset(decls); }

  void reset(const std::vector<ParamDecl>& decls) {
    values_.clear();
    enc_ = {};
    for (const auto& d : decls) values_[d.name] = d.default_value;
  }

  bool has(std::string_view name) const { return values_.find(name) != values_.end(); }

  const std::string& text(std::string_view name) const {
    static const std::string empty;
    if (const std::string* e = enc_.find(name)) return *e;
    auto it = values_.find(name);
    return it == values_.end() ? empty : it->second;
  }

  bool checked(std::string_view name) const { return text(name) == "1"; }

  void set(std::string_view name, std::string value) {
    enc_.note(name, ValueForm::Program);
    enc_.update(name, value);
    values_[std::string(name)] = std::move(value);
  }
  void set_checked(std::string_view name, bool on) { set(name, on ? "1" : "0"); }
  void set_text(std::string_view name, std::string_view utf8);
  void set_bytes(std::string_view name, std::string bytes);

  ValueForm form(std::string_view name) const { return enc_.form(name); }
  std::string unicode_text(std::string_view name) const {
    auto it = values_.find(name);
    return enc_.unicode_text(name, it == values_.end() ? std::string() : it->second);
  }

  void use_page(const CodePage* page) { enc_.use_page(page, values_); }

  // Every value of `other`, in its form, over the value of the same name here.
  void merge_from(const ParamValues& other);

  // The values as set (Program and Bytes forms as bytes, Unicode text in the program's
  // code page); see form() and unicode_text() for the rest.
  const std::map<std::string, std::string, std::less<>>& all() const { return values_; }

 private:
  std::map<std::string, std::string, std::less<>> values_;
  EncodedValues enc_;
};

}  // namespace lq

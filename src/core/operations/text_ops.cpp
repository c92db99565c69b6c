// [1] prefix, [2] suffix, [3] pad, [9] lower case, [10] upper case, [12] delete and
// [13] full-width blanks from web pages.
#include "core/encoding/code_page.h"
#include "core/operations/line_operations.h"
#include "core/operations/panel_operation.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

// Changes the ASCII letters of s through fold, walking whole characters so that the
// second byte of a double-byte character (which may look like a letter) is never touched.
template <class Fold>
void fold_single_bytes(std::string& s, const CodePage& cp, Fold fold) {
  for (size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      s[i] = fold(s[i]);
      ++i;
    } else {
      i += cp.char_len_at(s, i);
    }
  }
}

}  // namespace

std::unique_ptr<Operation> make_ladd() {
  return make_line_operation("TControlForm_LAdd", [](const Operation& op, std::string& s) {
    s.insert(0, op.params().text("Edit_leftadd1"));
  });
}

std::unique_ptr<Operation> make_radd() {
  return make_line_operation("TControlForm_radd", [](const Operation& op, std::string& s) {
    s += op.params().text("Edit_rightadd1");
  });
}

std::unique_ptr<Operation> make_fill_str() {
  return make_line_operation("TControlForm_FillStr", [](const Operation& op, std::string& s) {
    int n = 10;
    if (!parse_int(op.params().text("Edit_full1"), n)) n = 10;
    if (n > 0 && s.size() < static_cast<size_t>(n)) s.resize(static_cast<size_t>(n), ' ');
  });
}

std::unique_ptr<Operation> make_lower_case() {
  return make_line_operation("TControlForm_lcase", [](const Operation& op, std::string& s) {
    fold_single_bytes(s, op.text_page(),
                      [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; });
  });
}

std::unique_ptr<Operation> make_upper_case() {
  return make_line_operation("TControlForm_ucase", [](const Operation& op, std::string& s) {
    fold_single_bytes(s, op.text_page(),
                      [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; });
  });
}

std::unique_ptr<Operation> make_delete_text() {
  return make_line_operation("TControlForm_del",
                             [](const Operation&, std::string& s) { s.clear(); });
}

// Only the full-width blank (0xA1 0xA1) and a 0xA1 byte standing alone become blanks. The
// byte also starts the full-width punctuation characters and ends many ideographs (啊 is
// 0xB0 0xA1); those characters are left whole. In UTF-8 the full-width blank is U+3000
// (E3 80 80); it becomes two blanks, as it does in GBK.
std::unique_ptr<Operation> make_web_text() {
  return make_line_operation("TControlForm_delwebtext", [](const Operation& op, std::string& s) {
    const CodePage& cp = op.text_page();
    if (&cp == &utf8_code_page()) {
      for (size_t at = s.find("\xE3\x80\x80"); at != std::string::npos;
           at = s.find("\xE3\x80\x80", at))
        s.replace(at, 3, "  ");
      return;
    }
    constexpr char kA1 = static_cast<char>(0xA1);
    for (size_t i = s.find(kA1, 0) == std::string::npos ? s.size() : 0; i < s.size();) {
      size_t len = cp.char_len_at(s, i);
      if (len == 1 && s[i] == kA1) {
        s[i] = ' ';
      } else if (len == 2 && s[i] == kA1 && s[i + 1] == kA1) {
        s[i] = s[i + 1] = ' ';
      }
      i += len;
    }
  });
}

}  // namespace lq

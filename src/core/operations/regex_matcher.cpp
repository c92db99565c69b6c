#define PCRE2_CODE_UNIT_WIDTH 8
#include "core/operations/regex_matcher.h"

#include <pcre2.h>

#include <cstdint>
#include <cstring>

#include "core/encoding/byte_scan.h"
#include "core/encoding/code_page.h"
#include "core/run_error.h"

namespace lq {
namespace {

// Large enough for any sensible pattern on a line, small enough that a pattern which
// backtracks without end stops within a second or two instead of hanging the run.
constexpr uint32_t kMatchLimit = 10'000'000;
constexpr uint32_t kDepthLimit = 100'000;
constexpr size_t kJitStackMax = 8 * 1024 * 1024;

std::string engine_message(int code) {
  PCRE2_UCHAR buf[256];
  int n = pcre2_get_error_message(code, buf, sizeof buf);
  if (n < 0) return "regular expression error " + std::to_string(code);
  return std::string(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
}

RunError too_complex_error(const std::string& pattern, int code) {
  return RunError(code_page().from_utf8("正则表达式 \"") + pattern +
                  code_page().from_utf8("\" 匹配时回溯过多，已停止处理 (") + engine_message(code) +
                  ")");
}

// Length of the UTF-8 sequence that starts with byte b (the matching form is valid UTF-8).
size_t utf8_len(unsigned char b) {
  return b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
}

}  // namespace

struct RegexMatcher::Impl {
  pcre2_code* code = nullptr;
  pcre2_match_context* context = nullptr;
  pcre2_jit_stack* jit_stack = nullptr;
  pcre2_match_data* data = nullptr;
  std::string form;  // the matching form of the current text, reused from line to line

  ~Impl() {
    pcre2_match_data_free(data);
    pcre2_jit_stack_free(jit_stack);
    pcre2_match_context_free(context);
    pcre2_code_free(code);
  }
};

RegexMatcher::RegexMatcher(std::string_view pattern, bool caseless, const CodePage& page)
    : pattern_(pattern), page_(page), impl_(std::make_unique<Impl>()) {
  std::string form;
  page.append_match_form(pattern, form);
  // The matching form is valid UTF-8 by construction, so the engine need not check it; "\C"
  // would match half a character and is refused.
  uint32_t options = PCRE2_UTF | PCRE2_NO_UTF_CHECK | PCRE2_NEVER_BACKSLASH_C | PCRE2_DOTALL |
                     PCRE2_DOLLAR_ENDONLY;
  if (caseless) options |= PCRE2_CASELESS;
  int error = 0;
  PCRE2_SIZE offset = 0;
  impl_->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(form.data()), form.size(), options,
                              &error, &offset, nullptr);
  if (!impl_->code) throw RunError(engine_message(error) + " at offset " + std::to_string(offset));
  // Without the JIT a caseless pattern that never matches is far too slow on big files;
  // when the JIT is not available the interpreter still gives the right answer.
  pcre2_jit_compile(impl_->code, PCRE2_JIT_COMPLETE);
  impl_->context = pcre2_match_context_create(nullptr);
  pcre2_set_match_limit(impl_->context, kMatchLimit);
  pcre2_set_depth_limit(impl_->context, kDepthLimit);
  impl_->jit_stack = pcre2_jit_stack_create(32 * 1024, kJitStackMax, nullptr);
  if (impl_->jit_stack) pcre2_jit_stack_assign(impl_->context, nullptr, impl_->jit_stack);
  impl_->data = pcre2_match_data_create_from_pattern(impl_->code, nullptr);
}

RegexMatcher::~RegexMatcher() = default;

std::string RegexMatcher::replace_all(std::string_view text, std::string_view replacement) const {
  std::string out;
  if (!append_replaced(text, replacement, out)) return std::string(text);
  return out;
}

bool RegexMatcher::replace_all_in_place(std::string& text, std::string& scratch,
                                        std::string_view replacement) const {
  scratch.clear();
  if (!append_replaced(text, replacement, scratch)) return false;
  text.swap(scratch);
  return true;
}

bool RegexMatcher::replace_in_lines(std::string_view text, std::string_view replacement,
                                    std::string& out) const {
  const char* const base = text.data();
  const size_t n = text.size();
  size_t copied = 0;  // bytes of text already moved to out
  bool any = false;
  for (size_t start = 0; start < n;) {
    const void* lf = std::memchr(base + start, '\n', n - start);
    size_t stop = lf ? static_cast<size_t>(static_cast<const char*>(lf) - base) : n;
    const size_t next = lf ? stop + 1 : n;
    if (lf && stop > start && base[stop - 1] == '\r') --stop;
    if (append_replaced(text.substr(start, stop - start), replacement, out,
                        text.substr(copied, start - copied))) {
      any = true;
      copied = stop;
    }
    start = next;
  }
  if (any) out.append(text, copied, std::string_view::npos);
  return any;
}

bool RegexMatcher::append_replaced(std::string_view text, std::string_view replacement,
                                   std::string& out, std::string_view lead) const {
  // ASCII text is its own matching form; other text is converted, and offsets in the form
  // are walked back to offsets in the text, character by character, as matches come.
  const bool ascii = ascii_prefix(text) == text.size();
  std::string_view subject_text = text;
  if (!ascii) {
    impl_->form.clear();
    page_.append_match_form(text, impl_->form);
    subject_text = impl_->form;
  }
  size_t walked_form = 0, walked_text = 0;
  auto text_offset = [&](size_t form_offset) {
    if (ascii) return form_offset;
    while (walked_form < form_offset) {
      // ASCII is the same in both: skip it a run at a time.
      if (form_offset - walked_form >= 8) {
        const size_t run = ascii_prefix(text.substr(walked_text, form_offset - walked_form));
        if (run >= 8) {
          walked_form += run;
          walked_text += run;
          continue;
        }
      }
      if (static_cast<unsigned char>(text[walked_text]) < 0x80) {
        ++walked_form;
        ++walked_text;
        continue;
      }
      const size_t len = page_.char_len_at(text, walked_text);
      walked_form += page_.match_form_len(text, walked_text, len);
      walked_text += len;
    }
    return walked_text;
  };

  auto subject = reinterpret_cast<PCRE2_SPTR>(subject_text.data());
  const size_t len = subject_text.size();
  PCRE2_SIZE* ov = pcre2_get_ovector_pointer(impl_->data);
  size_t copied = 0;     // bytes of text already moved to out
  size_t offset = 0;     // where the next search starts, in the form
  uint32_t options = 0;  // set after an empty match: retry there, but not empty again
  bool any = false;
  while (offset <= len) {
    int rc = pcre2_match(impl_->code, subject, len, offset, options | PCRE2_NO_UTF_CHECK,
                         impl_->data, impl_->context);
    if (rc == PCRE2_ERROR_NOMATCH) {
      if (options == 0) break;
      // Nothing non-empty at the place of an empty match: step over one character.
      options = 0;
      offset += offset < len ? utf8_len(static_cast<unsigned char>(subject_text[offset])) : 1;
      continue;
    }
    if (rc < 0) {
      if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT ||
          rc == PCRE2_ERROR_HEAPLIMIT || rc == PCRE2_ERROR_JIT_STACKLIMIT)
        throw too_complex_error(pattern_, rc);
      throw RunError(engine_message(rc));
    }
    const size_t start = ov[0], end = ov[1];
    if (!any) {
      out.reserve(out.size() + lead.size() + text.size() + 16);
      out.append(lead);
    }
    any = true;
    const size_t text_start = text_offset(start);
    out.append(text, copied, text_start - copied);
    out.append(replacement);
    copied = text_offset(end);
    offset = end;
    options = start == end ? (PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED) : 0;
  }
  if (any) out.append(text, copied, std::string_view::npos);
  return any;
}

std::string wildcard_to_regex(std::string_view wildcard) {
  std::string out;
  out.reserve(wildcard.size() * 2);
  for (char c : wildcard) {
    switch (c) {
      case '$':
      case '(':
      case ')':
      case '+':
      case '.':
      case '[':
      case '\\':
      case '^':
      case '{':
      case '|':
        out += '\\';
        out += c;
        break;
      case '?':
        out += '.';
        break;
      case '*':
        out += ".*";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace lq

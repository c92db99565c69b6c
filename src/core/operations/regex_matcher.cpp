#define PCRE2_CODE_UNIT_WIDTH 8
#include "core/operations/regex_matcher.h"

#include <pcre2.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "core/encoding/byte_scan.h"
#include "core/encoding/code_page.h"
#include "core/operations/low_byte_pattern.h"
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

// Bit 7 set in each byte of `word` that lies in [low, high], two bytes on the same side
// of 0x80; no other bit set. Every sum stays within its byte.
std::uint64_t bytes_in_range(std::uint64_t word, unsigned low, unsigned high) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  const std::uint64_t side = low >= 0x80 ? word : ~word;
  const std::uint64_t seven = word & (kOnes * 0x7F);
  const std::uint64_t at_least_low = seven + kOnes * (0x80 - (low & 0x7F));
  const std::uint64_t above_high = seven + kOnes * (0x7F - (high & 0x7F));
  return at_least_low & ~above_high & side & (kOnes * 0x80);
}

}  // namespace

struct RegexMatcher::Impl {
  pcre2_code* code = nullptr;
  pcre2_match_context* context = nullptr;
  pcre2_jit_stack* jit_stack = nullptr;
  pcre2_match_data* data = nullptr;
  std::string form;  // the matching form of the current text, reused from text to text
  // The pattern only takes bytes below 0x40 and is matched on the text's own bytes; and,
  // when it cannot take a line end either, over all lines at once.
  bool on_bytes = false;
  bool whole_text = false;
  // The bytes of the form a match can begin with, when the engine knows them: a search
  // from a place with none of them after it fails before it starts, so it is not made.
  // Most lines of a big file end that way, and each search costs a call into the engine.
  bool knows_starts = false;
  int only_start = -1;  // the one such byte, when there is only one
  std::array<bool, 256> starts{};
  // The lowest and highest of them, when both lie on the same side of 0x80: eight bytes of
  // the form are then tested at a time.
  bool in_one_half = false;
  unsigned low = 0, high = 0;

  ~Impl() {
    pcre2_match_data_free(data);
    pcre2_jit_stack_free(jit_stack);
    pcre2_match_context_free(context);
    pcre2_code_free(code);
  }

  // What the engine looks for before it tries the pattern: its first code unit, or the
  // bitmap of first code units. Neither is kept when the engine was told not to look.
  void learn_starts() {
    uint32_t all = 0, type = 0;
    pcre2_pattern_info(code, PCRE2_INFO_ALLOPTIONS, &all);
    if (all & PCRE2_NO_START_OPTIMIZE) return;
    pcre2_pattern_info(code, PCRE2_INFO_FIRSTCODETYPE, &type);
    if (type == 1) {
      uint32_t unit = 0;
      pcre2_pattern_info(code, PCRE2_INFO_FIRSTCODEUNIT, &unit);
      if (unit > 0xFF) return;
      starts[unit] = true;
      // Whether the unit is caseless the engine does not tell; it only ever is for a
      // single-byte character, and then the engine also looks for the other case, which
      // only ASCII letters have here.
      const uint32_t folded = unit | 0x20;
      if (folded >= 'a' && folded <= 'z') starts[unit ^ 0x20] = true;
    } else {
      const uint8_t* map = nullptr;
      if (pcre2_pattern_info(code, PCRE2_INFO_FIRSTBITMAP, &map) != 0 || !map) return;
      for (int b = 0; b < 256; ++b) starts[b] = (map[b / 8] >> (b % 8) & 1) != 0;
    }
    knows_starts = true;
    low = static_cast<unsigned>(std::find(starts.begin(), starts.end(), true) - starts.begin());
    if (low == starts.size()) return;  // no byte at all: every search fails at once
    high =
        static_cast<unsigned>(starts.rend() - std::find(starts.rbegin(), starts.rend(), true)) - 1;
    if (low == high) only_start = static_cast<int>(low);
    in_one_half = (low < 0x80) == (high < 0x80);
  }
};

// Where the next byte that can begin a match lies in one form, found once and kept while
// the searches move through the form's lines.
class RegexMatcher::Starts {
 public:
  Starts(const Impl& impl, std::string_view form)
      : impl_(impl),
        end_(reinterpret_cast<const unsigned char*>(form.data()) + form.size()),
        next_(impl.knows_starts ? find(reinterpret_cast<const unsigned char*>(form.data()))
                                : end_) {}

  // Whether a match may begin in [from, to) (pointers into the form).
  bool may_begin(const char* from, const char* to) {
    if (!impl_.knows_starts) return true;
    const auto* f = reinterpret_cast<const unsigned char*>(from);
    if (next_ < f) next_ = find(f);
    return next_ < reinterpret_cast<const unsigned char*>(to);
  }

 private:
  const unsigned char* find(const unsigned char* p) const {
    if (impl_.only_start >= 0) {
      const void* hit = std::memchr(p, impl_.only_start, static_cast<size_t>(end_ - p));
      return hit ? static_cast<const unsigned char*>(hit) : end_;
    }
    if constexpr (std::endian::native == std::endian::little) {
      if (impl_.in_one_half) {
        for (; end_ - p >= 8; p += 8) {
          std::uint64_t word;
          std::memcpy(&word, p, 8);
          for (std::uint64_t hits = bytes_in_range(word, impl_.low, impl_.high); hits;
               hits &= hits - 1) {
            const unsigned char* at = p + std::countr_zero(hits) / 8;
            if (impl_.starts[*at]) return at;
          }
        }
      }
    }
    while (p < end_ && !impl_.starts[*p]) ++p;
    return p;
  }

  const Impl& impl_;
  const unsigned char* const end_;
  const unsigned char* next_;
};

RegexMatcher::RegexMatcher(std::string_view pattern, bool caseless, const CodePage& page)
    : pattern_(pattern), page_(page), impl_(std::make_unique<Impl>()) {
  uint32_t options = PCRE2_NEVER_BACKSLASH_C | PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY;
  if (caseless) options |= PCRE2_CASELESS;
  int error = 0;
  PCRE2_SIZE offset = 0;
  if (const std::optional<LowBytePattern> low = low_byte_pattern(pattern)) {
    // Such a pattern is its own matching form. An empty match could fall between the two
    // bytes of a character: a pattern that may match nothing is matched by characters.
    impl_->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                options, &error, &offset, nullptr);
    uint32_t least = 0;
    if (impl_->code && pcre2_pattern_info(impl_->code, PCRE2_INFO_MINLENGTH, &least) == 0 &&
        least > 0) {
      impl_->on_bytes = true;
      impl_->whole_text = !low->sees_lines;
    } else {
      pcre2_code_free(impl_->code);
      impl_->code = nullptr;
    }
  }
  if (!impl_->code) {
    std::string form;
    page.append_match_form(pattern, form);
    // The matching form is valid UTF-8 by construction, so the engine need not check it;
    // "\C" would match half a character and is refused.
    impl_->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(form.data()), form.size(),
                                options | PCRE2_UTF | PCRE2_NO_UTF_CHECK, &error, &offset, nullptr);
  }
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
  impl_->learn_starts();
}

RegexMatcher::~RegexMatcher() = default;

std::string_view RegexMatcher::match_form(std::string_view text) const {
  if (impl_->on_bytes || ascii_prefix(text) == text.size()) return text;
  impl_->form.clear();
  page_.append_match_form(text, impl_->form);
  return impl_->form;
}

std::string RegexMatcher::replace_all(std::string_view text, std::string_view replacement) const {
  std::string out;
  const std::string_view form = match_form(text);
  Starts starts(*impl_, form);
  if (!append_replaced(text, form, replacement, out, {}, starts)) return std::string(text);
  return out;
}

bool RegexMatcher::replace_all_in_place(std::string& text, std::string& scratch,
                                        std::string_view replacement) const {
  scratch.clear();
  const std::string_view form = match_form(text);
  Starts starts(*impl_, form);
  if (!append_replaced(text, form, replacement, scratch, {}, starts)) return false;
  text.swap(scratch);
  return true;
}

namespace {

// The line of s that starts at `start`: where its text stops (before LF, or CR LF) and
// where the next line starts.
std::pair<size_t, size_t> line_at(std::string_view s, size_t start) {
  const void* lf = std::memchr(s.data() + start, '\n', s.size() - start);
  if (!lf) return {s.size(), s.size()};
  size_t stop = static_cast<size_t>(static_cast<const char*>(lf) - s.data());
  const size_t next = stop + 1;
  if (stop > start && s[stop - 1] == '\r') --stop;
  return {stop, next};
}

}  // namespace

bool RegexMatcher::replace_in_lines(std::string_view text, std::string_view replacement,
                                    std::string& out) const {
  // A pattern that takes no line end and has no anchor never sees where lines end: one
  // search over all of them finds what a search in each line finds.
  if (impl_->whole_text) {
    Starts starts(*impl_, text);
    return append_replaced(text, text, replacement, out, {}, starts);
  }
  // The whole text is turned into its matching form at once. Line ends are themselves in
  // the form and belong to no other character, so the form's lines are the text's lines,
  // in step.
  const std::string_view form = match_form(text);
  const bool same = form.data() == text.data();
  Starts starts(*impl_, form);
  size_t copied = 0;  // bytes of text already moved to out
  bool any = false;
  for (size_t start = 0, form_start = 0; start < text.size();) {
    const auto [stop, next] = line_at(text, start);
    const auto [form_stop, form_next] = same ? std::pair{stop, next} : line_at(form, form_start);
    if (starts.may_begin(form.data() + form_start, form.data() + form_stop) &&
        append_replaced(text.substr(start, stop - start),
                        form.substr(form_start, form_stop - form_start), replacement, out,
                        text.substr(copied, start - copied), starts)) {
      if (!any) out.reserve(out.size() + (text.size() - stop) + 16);
      any = true;
      copied = stop;
    }
    start = next;
    form_start = form_next;
  }
  if (any) out.append(text, copied, std::string_view::npos);
  return any;
}

bool RegexMatcher::append_replaced(std::string_view text, std::string_view form,
                                   std::string_view replacement, std::string& out,
                                   std::string_view lead, Starts& starts) const {
  // Offsets in the form are walked back to offsets in the text as matches come.
  const bool same = form.data() == text.data();
  size_t walked_form = 0, walked_text = 0;
  auto text_offset = [&](size_t form_offset) {
    if (same) return form_offset;
    walked_text = page_.skip_match_form(text, walked_text, form_offset - walked_form);
    walked_form = form_offset;
    return walked_text;
  };

  auto subject = reinterpret_cast<PCRE2_SPTR>(form.data());
  const size_t len = form.size();
  PCRE2_SIZE* ov = pcre2_get_ovector_pointer(impl_->data);
  size_t copied = 0;     // bytes of text already moved to out
  size_t offset = 0;     // where the next search starts, in the form
  uint32_t options = 0;  // set after an empty match: retry there, but not empty again
  bool any = false;
  while (offset <= len) {
    int rc = starts.may_begin(form.data() + offset, form.data() + len)
                 ? pcre2_match(impl_->code, subject, len, offset, options | PCRE2_NO_UTF_CHECK,
                               impl_->data, impl_->context)
                 : PCRE2_ERROR_NOMATCH;
    if (rc == PCRE2_ERROR_NOMATCH) {
      if (options == 0) break;
      // Nothing non-empty at the place of an empty match: step over one character.
      options = 0;
      offset += offset < len ? utf8_len(static_cast<unsigned char>(form[offset])) : 1;
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

#include "core/operations/text_match.h"

#include <cstring>
#include <optional>

#include "core/encoding/code_page.h"
#include "core/textsvc/byte_find.h"

namespace lq {

std::vector<size_t> find_all_aligned(std::string_view hay, std::string_view needle,
                                     bool case_sensitive, const CodePage& page) {
  std::vector<size_t> out;
  for_each_aligned(hay, needle, case_sensitive, page, [&](size_t at) {
    out.push_back(at);
    return true;
  });
  return out;
}

bool contains_aligned(std::string_view hay, std::string_view needle, bool case_sensitive,
                      const CodePage& page) {
  return find_chars(hay, needle, case_sensitive, page) != std::string_view::npos;
}

namespace {

// Appends `text` with every match replaced to `out`; false (and `out` untouched) when
// nothing matched.
bool append_replaced(std::string_view text, std::string_view search, std::string_view replacement,
                     bool case_sensitive, const CodePage& page, std::string& out) {
  size_t copied = 0;
  bool any = false;
  for_each_aligned(text, search, case_sensitive, page, [&](size_t at) {
    if (!any) out.reserve(text.size() + 16);
    any = true;
    out.append(text, copied, at - copied);
    out.append(replacement);
    copied = at + search.size();
    return true;
  });
  if (any) out.append(text, copied, std::string_view::npos);
  return any;
}

}  // namespace

std::string replace_all_aligned(std::string_view text, std::string_view search,
                                std::string_view replacement, bool case_sensitive,
                                const CodePage& page) {
  std::string out;
  if (!append_replaced(text, search, replacement, case_sensitive, page, out))
    return std::string(text);
  return out;
}

bool replace_all_aligned_in_place(std::string& text, std::string& scratch, std::string_view search,
                                  std::string_view replacement, bool case_sensitive,
                                  const CodePage& page) {
  scratch.clear();
  if (!append_replaced(text, search, replacement, case_sensitive, page, scratch)) return false;
  text.swap(scratch);
  return true;
}

bool replace_in_lines_aligned(std::string_view text, std::string_view search,
                              std::string_view replacement, const CodePage& page,
                              std::string& out) {
  if (search.empty() || search.size() > text.size()) return false;
  // Where the search's last character starts: the text may go on with a byte that makes
  // it longer, and then the occurrence would end inside a character.
  size_t last = 0;
  for (size_t i = 0; i < search.size(); i += page.char_len_at(search, i)) last = i;
  const size_t last_len = search.size() - last;
  const char* const base = text.data();
  const size_t n = text.size();
  // Characters are walked from the start of the line of an occurrence only: an LF always
  // starts a character, so each line is cut into characters as it would be on its own.
  std::optional<CharStarts> starts;
  starts.emplace(text, page, 0);
  size_t copied = 0, from = 0;
  bool any = false;
  const ByteFinder finder(search, text);
  while (from + search.size() <= n) {
    const size_t at = finder.find(text, from);
    if (at == std::string_view::npos) break;
    if (const void* lf = memrchr(base + from, '\n', at - from))
      starts.emplace(text, page, static_cast<size_t>(static_cast<const char*>(lf) - base) + 1);
    if (!starts->is_start(at) || page.char_len_at(text, at + last) != last_len) {
      from = at + 1;
      continue;
    }
    if (!any) out.reserve(out.size() + n + n / 8);
    any = true;
    out.append(text, copied, at - copied);
    out.append(replacement);
    copied = from = at + search.size();
  }
  if (any) out.append(text, copied, std::string_view::npos);
  return any;
}

}  // namespace lq

#include "core/operations/text_match.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/encoding/code_page.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

CharStarts::CharStarts(std::string_view text, const CodePage& page) : text_(text), page_(page) {}

bool CharStarts::is_start(size_t pos) {
  const size_t stop = std::min(pos, text_.size());
  while (next_ < stop) {
    // A byte below 0x80 is a character of its own in every code page, so runs of them are
    // passed eight at a time; only the others need the code page to tell how long their
    // character is.
    uint64_t eight;
    if (stop - next_ >= 8) {
      std::memcpy(&eight, text_.data() + next_, 8);
      if ((eight & 0x8080808080808080ull) == 0) {
        next_ += 8;
        continue;
      }
    }
    if (static_cast<unsigned char>(text_[next_]) < 0x80)
      ++next_;
    else
      next_ += page_.char_len_at(text_, next_);
  }
  return next_ == pos;
}

void for_each_aligned(std::string_view hay, std::string_view needle, bool case_sensitive,
                      bool (*on_match)(void* state, size_t offset), void* state) {
  if (needle.empty() || needle.size() > hay.size()) return;
  std::string folded_hay, folded_needle;
  std::string_view h = hay, n = needle;
  if (!case_sensitive) {
    folded_hay = lower_ascii(hay);
    folded_needle = lower_ascii(needle);
    h = folded_hay;
    n = folded_needle;
  }
  CharStarts starts(hay, code_page());
  size_t from = 0;
  while (from <= h.size()) {
    const size_t at = h.find(n, from);
    if (at == std::string_view::npos) return;
    if (!starts.is_start(at)) {
      from = at + 1;
      continue;
    }
    if (!on_match(state, at)) return;
    from = at + n.size();
  }
}

std::vector<size_t> find_all_aligned(std::string_view hay, std::string_view needle,
                                     bool case_sensitive) {
  std::vector<size_t> out;
  for_each_aligned(hay, needle, case_sensitive, [&](size_t at) {
    out.push_back(at);
    return true;
  });
  return out;
}

bool contains_aligned(std::string_view hay, std::string_view needle, bool case_sensitive) {
  bool found = false;
  for_each_aligned(hay, needle, case_sensitive, [&](size_t) {
    found = true;
    return false;
  });
  return found;
}

std::string replace_all_aligned(std::string_view text, std::string_view search,
                                std::string_view replacement, bool case_sensitive) {
  std::string out;
  size_t copied = 0;
  bool any = false;
  for_each_aligned(text, search, case_sensitive, [&](size_t at) {
    if (!any) out.reserve(text.size() + 16);
    any = true;
    out.append(text, copied, at - copied);
    out.append(replacement);
    copied = at + search.size();
    return true;
  });
  if (!any) return std::string(text);
  out.append(text, copied, std::string_view::npos);
  return out;
}

}  // namespace lq

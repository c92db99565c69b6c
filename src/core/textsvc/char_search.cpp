#include "core/textsvc/char_search.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "core/encoding/code_page.h"
#include "core/textsvc/byte_find.h"

namespace lq {
namespace {

constexpr uint64_t kOnes = 0x0101010101010101ULL, kHigh = 0x8080808080808080ULL;

bool is_upper(unsigned char b) {
  return b >= 'A' && b <= 'Z';
}

// True when some letter of s is a character of its own: only then can folding matter.
bool has_single_letter(std::string_view s, const CodePage& page) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      if ((b | 0x20) >= 'a' && (b | 0x20) <= 'z') return true;
      ++i;
    } else {
      i += page.char_len_at(s, i);
    }
  }
  return false;
}

}  // namespace

CharStarts::CharStarts(std::string_view text, const CodePage& page, size_t from)
    : text_(text), page_(page), next_(from) {}

size_t CharStarts::start_at_or_after(size_t pos) {
  // One call to the code page walks the whole way, without a virtual call per character.
  if (next_ < pos) next_ = page_.char_start_at_or_after(text_, next_, pos);
  return std::max(next_, pos);
}

bool CharStarts::is_start(size_t pos) {
  start_at_or_after(pos);
  return next_ == pos;
}

void fold_letters_in_place(char* k, size_t n, std::string_view text, const CodePage& page) {
  // Letters are found eight bytes at a time, and only a letter asks where characters start:
  // most text has few capitals, and the walk between them is one call to the code page.
  CharStarts starts(text, page);
  size_t j = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; j + 8 <= n; j += 8) {
      uint64_t w;
      std::memcpy(&w, k + j, 8);
      // Bit 7 of every byte cleared first, so that adding carries into no other byte.
      const uint64_t low = w & ~kHigh;
      const uint64_t ge_a = low + (0x80 - 'A') * kOnes, gt_z = low + (0x80 - 'Z' - 1) * kOnes;
      for (uint64_t upper = ge_a & ~gt_z & ~w & kHigh; upper; upper &= upper - 1) {
        const size_t at = j + static_cast<size_t>(std::countr_zero(upper)) / 8;
        if (starts.is_start(at)) k[at] = static_cast<char>(k[at] + 32);
      }
    }
  }
  for (; j < n; ++j)
    if (is_upper(static_cast<unsigned char>(k[j])) && starts.is_start(j))
      k[j] = static_cast<char>(k[j] + 32);
}

std::string fold_letters(std::string_view s, const CodePage& page) {
  std::string out(s);
  fold_letters_in_place(out.data(), out.size(), s, page);
  return out;
}

size_t char_floor(std::string_view s, size_t i, const CodePage& page) {
  if (i >= s.size()) return s.size();
  size_t j = 0;
  while (j < i) {
    const size_t next = j + page.char_len_at(s, j);
    if (next > i) return j;
    j = next;
  }
  return j;
}

size_t char_ceil(std::string_view s, size_t i, const CodePage& page) {
  CharStarts starts(s, page);
  return std::min(starts.start_at_or_after(i), s.size());
}

void for_each_match(std::string_view hay, std::string_view needle, bool case_sensitive,
                    const CodePage& page, bool overlapping, size_t from,
                    bool (*on_match)(void* state, size_t offset), void* state) {
  if (needle.empty() || needle.size() > hay.size() || from > hay.size() - needle.size()) return;
  std::string folded_hay, folded_needle;
  std::string_view h = hay, n = needle;
  // Without a letter in the needle, folding cannot change what matches.
  if (!case_sensitive && has_single_letter(needle, page)) {
    folded_hay = fold_letters(hay, page);
    folded_needle = fold_letters(needle, page);
    h = folded_hay;
    n = folded_needle;
  }
  // The needle's last character: where the needle stops, the text may go on with a byte
  // that makes it longer (a lone lead byte followed by a trail byte), and then the match
  // would end inside a character.
  size_t last = 0;
  for (size_t i = 0; i < needle.size(); i += page.char_len_at(needle, i)) last = i;
  const size_t last_len = needle.size() - last;

  CharStarts starts(hay, page, from);
  const ByteFinder finder(n);
  size_t at_from = from;
  while (at_from + n.size() <= h.size()) {
    const size_t at = finder.find(h, at_from);
    if (at == std::string_view::npos) return;
    if (!starts.is_start(at) || page.char_len_at(hay, at + last) != last_len) {
      at_from = at + 1;
      continue;
    }
    if (!on_match(state, at)) return;
    at_from = overlapping ? at + page.char_len_at(hay, at) : at + n.size();
  }
}

size_t find_chars(std::string_view hay, std::string_view needle, bool case_sensitive,
                  const CodePage& page, size_t from) {
  size_t found = std::string_view::npos;
  for_each_match(hay, needle, case_sensitive, page, false, from, [&](size_t at) {
    found = at;
    return false;
  });
  return found;
}

size_t find_nth_chars(std::string_view hay, std::string_view needle, int n, bool case_sensitive,
                      const CodePage& page) {
  if (n < 1) return std::string_view::npos;
  size_t found = std::string_view::npos;
  int count = 0;
  for_each_match(hay, needle, case_sensitive, page, false, 0, [&](size_t at) {
    if (++count < n) return true;
    found = at;
    return false;
  });
  return found;
}

size_t rfind_chars(std::string_view hay, std::string_view needle, bool case_sensitive,
                   const CodePage& page) {
  size_t found = std::string_view::npos;
  for_each_match(hay, needle, case_sensitive, page, true, 0, [&](size_t at) {
    found = at;
    return true;
  });
  return found;
}

}  // namespace lq

// Searching and folding text by the characters of its code page. A match starts and ends
// on character boundaries, and case folding changes single-byte letters only: the second
// byte of a double-byte character may look like "y" or "@", yet it is never found, folded
// or cut on its own (結 and 統 differ only in a trail byte that folds from "Y" to "y").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace lq {

class CodePage;

// Answers whether a byte position starts a character, for positions asked in
// non-decreasing order; walks the text once overall.
class CharStarts {
 public:
  // `from` is a position known to start a character; the walk begins there.
  CharStarts(std::string_view text, const CodePage& page, size_t from = 0);
  bool is_start(size_t pos);
  // The first character start at or after pos.
  size_t start_at_or_after(size_t pos);

 private:
  std::string_view text_;
  const CodePage& page_;
  size_t next_ = 0;  // the first character start not yet passed
};

// The letters A-Z that are characters of their own lowered; every other byte kept.
std::string fold_letters(std::string_view s, const CodePage& page);
// The same over n bytes at k, which hold a copy of text (the code page reads text).
void fold_letters_in_place(char* k, size_t n, std::string_view text, const CodePage& page);

// The largest character start at or before byte index i (i itself when it is the end).
size_t char_floor(std::string_view s, size_t i, const CodePage& page);
// The smallest character start at or after byte index i, at most s.size().
size_t char_ceil(std::string_view s, size_t i, const CodePage& page);

// Calls on_match(offset) for every occurrence of `needle` in `hay` at or after byte `from`
// (a character start) that starts and ends on character boundaries, left to right, until on_match
// returns false. Occurrences do not overlap unless `overlapping`, when the next search starts one
// character after the previous occurrence's start. Nothing for an empty needle.
void for_each_match(std::string_view hay, std::string_view needle, bool case_sensitive,
                    const CodePage& page, bool overlapping, size_t from,
                    bool (*on_match)(void* state, size_t offset), void* state);

template <typename F>
void for_each_match(std::string_view hay, std::string_view needle, bool case_sensitive,
                    const CodePage& page, bool overlapping, size_t from, F&& on_match) {
  using Fn = std::remove_reference_t<F>;
  for_each_match(
      hay, needle, case_sensitive, page, overlapping, from,
      [](void* f, size_t at) -> bool { return (*static_cast<Fn*>(f))(at); },
      const_cast<void*>(static_cast<const void*>(&on_match)));
}

// 0-based offset of the first occurrence at or after `from` (a character start), or npos.
size_t find_chars(std::string_view hay, std::string_view needle, bool case_sensitive,
                  const CodePage& page, size_t from = 0);
// 0-based offset of the n-th non-overlapping occurrence (n >= 1), or npos.
size_t find_nth_chars(std::string_view hay, std::string_view needle, int n, bool case_sensitive,
                      const CodePage& page);
// 0-based offset of the last occurrence, overlapping ones included, or npos.
size_t rfind_chars(std::string_view hay, std::string_view needle, bool case_sensitive,
                   const CodePage& page);

}  // namespace lq

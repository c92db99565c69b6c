// Plain-text matching shared by replace, find and the template tool. Occurrences are found
// left to right without overlap, character by character in the text's code page (see
// core/textsvc/char_search.h): a byte search alone would find "f" inside a Chinese
// character whose second byte happens to be that letter, and replacing there breaks it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/textsvc/char_search.h"

namespace lq {

class CodePage;

// Calls on_match(offset) for every occurrence of `needle` in `hay`, left to right, without
// overlap, until on_match returns false. Nothing for an empty needle.
template <typename F>
void for_each_aligned(std::string_view hay, std::string_view needle, bool case_sensitive,
                      const CodePage& page, F&& on_match) {
  for_each_match(hay, needle, case_sensitive, page, false, 0, std::forward<F>(on_match));
}

// 0-based offsets of every occurrence of `needle` in `hay`, left to right, without
// overlap. Nothing for an empty needle.
std::vector<size_t> find_all_aligned(std::string_view hay, std::string_view needle,
                                     bool case_sensitive, const CodePage& page);

// True when `needle` occurs in `hay`.
bool contains_aligned(std::string_view hay, std::string_view needle, bool case_sensitive,
                      const CodePage& page);

// Every occurrence of `search` replaced by `replacement`, which is never searched again.
// An empty search changes nothing.
std::string replace_all_aligned(std::string_view text, std::string_view search,
                                std::string_view replacement, bool case_sensitive,
                                const CodePage& page);
// The same in place: `text` is only rewritten when something matched, through `scratch`
// (whose buffer is kept for the next call). Answers whether it was.
bool replace_all_aligned_in_place(std::string& text, std::string& scratch, std::string_view search,
                                  std::string_view replacement, bool case_sensitive,
                                  const CodePage& page);

// Every occurrence of `search`, which holds no CR or LF, replaced by `replacement` in the
// lines of `text` (ending at LF) as replace_all_aligned would replace it in each line on
// its own, letter case counting; line ends stay as they are. Appends the result to `out`;
// false, `out` untouched, when nothing matched.
bool replace_in_lines_aligned(std::string_view text, std::string_view search,
                              std::string_view replacement, const CodePage& page, std::string& out);

}  // namespace lq

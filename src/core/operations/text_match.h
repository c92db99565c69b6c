// Plain-text matching shared by replace, find, the template tool and the script host.
// Occurrences are found left to right without overlap, and never start on the second
// byte of a double-byte character: a byte search alone would find "f" inside a Chinese
// character whose second byte happens to be that letter, and replacing there breaks it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lq {

class CodePage;

// Answers whether a byte position starts a character, for positions asked in
// non-decreasing order; walks the text once overall.
class CharStarts {
 public:
  CharStarts(std::string_view text, const CodePage& page);
  bool is_start(size_t pos);

 private:
  std::string_view text_;
  const CodePage& page_;
  size_t next_ = 0;  // the first character start not yet passed
};

// 0-based offsets of every occurrence of `needle` in `hay`, left to right, without
// overlap. Nothing for an empty needle.
std::vector<size_t> find_all_aligned(std::string_view hay, std::string_view needle,
                                     bool case_sensitive);

// True when `needle` occurs in `hay` at a character start.
bool contains_aligned(std::string_view hay, std::string_view needle, bool case_sensitive);

// Every occurrence of `search` replaced by `replacement`, which is never searched again.
// An empty search changes nothing.
std::string replace_all_aligned(std::string_view text, std::string_view search,
                                std::string_view replacement, bool case_sensitive);

}  // namespace lq

// Plain-text matching shared by replace, find, the template tool and the script host.
// Occurrences are found left to right without overlap, and never start on the second
// byte of a double-byte character: a byte search alone would find "f" inside a Chinese
// character whose second byte happens to be that letter, and replacing there breaks it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
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

// Calls on_match(offset) for every occurrence of `needle` in `hay` that starts a
// character, left to right, without overlap, until on_match returns false. Nothing for an
// empty needle.
void for_each_aligned(std::string_view hay, std::string_view needle, bool case_sensitive,
                      bool (*on_match)(void* state, size_t offset), void* state);

template <typename F>
void for_each_aligned(std::string_view hay, std::string_view needle, bool case_sensitive,
                      F&& on_match) {
  using Fn = std::remove_reference_t<F>;
  for_each_aligned(
      hay, needle, case_sensitive,
      [](void* f, size_t at) -> bool { return (*static_cast<Fn*>(f))(at); },
      const_cast<void*>(static_cast<const void*>(&on_match)));
}

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

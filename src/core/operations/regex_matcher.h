// A compiled regular expression over the bytes of 8-bit text (Perl syntax, "." matches
// every byte including CR and LF, "^" and "$" only at the ends of the text), with
// replace-all that inserts the replacement literally.
//
// Matching is byte-based on purpose ("??" is one Chinese character), yet a match may not
// start on the second byte of a double-byte character unless the previous match ended
// exactly there. So a letter, "\" or "[" that is really half of a Chinese character is
// never matched on its own, while a pattern that walks byte by byte ("?" or ".") still
// sees every byte.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace lq {

class RegexMatcher {
 public:
  // Throws RunError with the engine's message when the pattern does not compile.
  RegexMatcher(std::string_view pattern, bool caseless);
  ~RegexMatcher();
  RegexMatcher(const RegexMatcher&) = delete;
  RegexMatcher& operator=(const RegexMatcher&) = delete;

  // Every match, found left to right, replaced by `replacement` taken literally. Empty
  // matches are allowed and the scan then moves on, as in Perl. Throws RunError when a
  // match exceeds the engine's limits (a pattern that backtracks without end).
  std::string replace_all(std::string_view text, std::string_view replacement) const;

  const std::string& pattern() const { return pattern_; }

 private:
  struct Impl;
  std::string pattern_;
  std::unique_ptr<Impl> impl_;
};

// The regular expression for a wildcard pattern: the ten characters $ ( ) + . [ \ ^ { |
// get a backslash, then "?" becomes "." and "*" becomes ".*". Nothing else changes.
std::string wildcard_to_regex(std::string_view wildcard);

}  // namespace lq

// A compiled regular expression over text of a code page (Perl syntax, "." matches every
// character including CR and LF, "^" and "$" only at the ends of the text), with
// replace-all that inserts the replacement literally.
//
// Pattern and text are seen as characters: both are turned into the code page's matching
// form (UTF-8, see CodePage::append_match_form) and matched in the engine's UTF mode, so
// ".", classes, "\W", quantifiers and caseless matching take whole characters, and a
// letter, "\" or "[" that is the second byte of a Chinese character is never seen on its
// own. Matches map back to the original bytes; text between matches is copied unchanged.
// "\w", "\d" and "\s" keep their ASCII meaning. A pattern that only takes digits, spaces
// and punctuation (see low_byte_pattern.h) finds the same matches on the text's own bytes,
// and is matched there.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace lq {

class CodePage;

class RegexMatcher {
 public:
  // The pattern is text in `page`, as is every text given to replace_all. Throws RunError
  // with the engine's message when the pattern does not compile.
  RegexMatcher(std::string_view pattern, bool caseless, const CodePage& page);
  ~RegexMatcher();
  RegexMatcher(const RegexMatcher&) = delete;
  RegexMatcher& operator=(const RegexMatcher&) = delete;

  // Every match, found left to right, replaced by `replacement` taken literally. Empty
  // matches are allowed and the scan then moves on, as in Perl. Throws RunError when a
  // match exceeds the engine's limits (a pattern that backtracks without end).
  std::string replace_all(std::string_view text, std::string_view replacement) const;
  // The same in place: `text` is only rewritten when something matched, through `scratch`
  // (whose buffer is kept for the next call). Answers whether it was.
  bool replace_all_in_place(std::string& text, std::string& scratch,
                            std::string_view replacement) const;

  // The same in each line of `text` on its own (lines end at LF, a CR before the LF
  // belonging to the end), line ends kept: appends the result to `out`; false, `out`
  // untouched, when nothing matched.
  bool replace_in_lines(std::string_view text, std::string_view replacement,
                        std::string& out) const;

  const std::string& pattern() const { return pattern_; }

 private:
  struct Impl;
  class Starts;
  // Appends `lead`, then `text` with every match replaced, to `out` when something
  // matched; false, `out` untouched, otherwise. `form` is the matching form of `text` (the
  // same bytes when text is ASCII or the pattern is matched on bytes); `starts` saves
  // searches that cannot succeed.
  bool append_replaced(std::string_view text, std::string_view form, std::string_view replacement,
                       std::string& out, std::string_view lead, Starts& starts) const;
  // `text` as it is matched: its matching form, held in the matcher until the next call,
  // or text itself when it is ASCII or the pattern is matched on bytes.
  std::string_view match_form(std::string_view text) const;
  std::string pattern_;
  const CodePage& page_;
  std::unique_ptr<Impl> impl_;
};

// The regular expression for a wildcard pattern: the ten characters $ ( ) + . [ \ ^ { |
// get a backslash, then "?" becomes "." and "*" becomes ".*". Nothing else changes.
std::string wildcard_to_regex(std::string_view wildcard);

}  // namespace lq

// Patterns that only ever take bytes below 0x40: digits, spaces, punctuation. No code page
// here uses such a byte inside a longer character, so a match of such a pattern starts and
// ends between characters and takes the same characters whether the engine looks at a
// file's bytes or at its characters. The file then need not be turned into its matching
// form, which is most of the work of a search for numbers in Chinese text.
//
// The test is by the pattern's syntax, and says no to whatever it does not know: letters
// and every byte from 0x40 up outside the syntax, ".", "\w", "\b", negated classes,
// lookaround, back references, options, verbs.
#pragma once

#include <optional>
#include <string_view>

namespace lq {

struct LowBytePattern {
  // Some part of the pattern may take a CR or an LF, or it holds "^" or "$": it must be
  // matched a line at a time.
  bool sees_lines = false;
};

std::optional<LowBytePattern> low_byte_pattern(std::string_view pattern);

}  // namespace lq

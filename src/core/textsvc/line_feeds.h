// Counting the lines a search passes over: when hits are a line or two apart, a count and
// a backward search per hit cost more than the search itself, so both come from one pass.
#pragma once

#include <cstddef>
#include <string_view>

namespace lq {

struct LineFeeds {
  size_t count = 0;                      // LF bytes in the range
  size_t last = std::string_view::npos;  // offset in text of the last one
};

// The LF bytes of text[from, to). Bytes of text outside the range may be read (never
// counted), so that a short range costs one block rather than a byte at a time.
LineFeeds line_feeds(std::string_view text, size_t from, size_t to);

}  // namespace lq

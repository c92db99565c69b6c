#include "core/textsvc/line_feeds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace lq {
namespace {

// Every range of texts around the block size agrees with a plain walk: ranges shorter
// than a block near either end of the text, LFs just outside the range (which must not be
// counted), and bytes with the high bit set.
TEST(LineFeeds, AgreeWithAPlainWalk) {
  std::mt19937 rng(5);
  const std::string alphabet = "a\n\r\xD6\n\xFF";
  for (int k = 0; k < 200; ++k) {
    std::string text(static_cast<size_t>(k % 50), '\0');
    for (char& c : text) c = alphabet[rng() % alphabet.size()];
    for (size_t from = 0; from <= text.size(); ++from)
      for (size_t to = from; to <= text.size(); ++to) {
        const std::string_view range = std::string_view(text).substr(from, to - from);
        const LineFeeds got = line_feeds(text, from, to);
        const size_t last = range.rfind('\n');
        ASSERT_EQ(got.count, static_cast<size_t>(std::count(range.begin(), range.end(), '\n')))
            << k << " " << from << " " << to;
        ASSERT_EQ(got.last, last == std::string_view::npos ? last : from + last)
            << k << " " << from << " " << to;
      }
  }
  // Ranges long enough for the per-byte counters to be summed on the way.
  const std::string lfs(10000, '\n');
  EXPECT_EQ(line_feeds(lfs, 3, 9999).count, 9996u);
  EXPECT_EQ(line_feeds(lfs, 3, 9999).last, 9998u);
}

}  // namespace
}  // namespace lq

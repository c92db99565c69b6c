#include "core/textsvc/byte_find.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace lq {
namespace {

// Every way of choosing the byte looked for first (by a sample where the needle's bytes are
// rare, by one where they are everywhere, by the needle alone) finds what a plain search
// finds, from every start, up to the very end of the text.
TEST(ByteFinder, FindsWhatAPlainSearchFinds) {
  std::mt19937 rng(3);
  const std::string alphabet = "ab\xE6\x96\x87\xE4\xBB\xB6 \n";
  const std::string dense(4096, 'a');
  for (int k = 0; k < 400; ++k) {
    std::string hay(rng() % 120, '\0');
    for (char& c : hay) c = alphabet[rng() % alphabet.size()];
    std::string needle(1 + rng() % 4, '\0');
    for (char& c : needle) c = alphabet[rng() % alphabet.size()];
    if (k % 4 == 0) needle = "\xE6\x96\x87\xE4\xBB\xB6";
    const ByteFinder finders[] = {ByteFinder(needle, hay), ByteFinder(needle, dense),
                                  ByteFinder(needle)};
    for (const ByteFinder& finder : finders)
      for (size_t from = 0; from <= hay.size() + 1; ++from)
        ASSERT_EQ(finder.find(hay, from), std::string_view(hay).find(needle, from))
            << k << " from " << from;
  }
  EXPECT_EQ(ByteFinder("", "abc").find("abc", 0), std::string_view::npos);
  EXPECT_EQ(ByteFinder("abcd").find("abc", 0), std::string_view::npos);
}

}  // namespace
}  // namespace lq

#include "core/textsvc/natural_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace lq {
namespace {

struct OrderCase {
  const char* name;
  std::vector<std::string> sorted;  // the one right order
};

class NaturalOrder : public ::testing::TestWithParam<OrderCase> {};

// Every pair of the list compares as its places say, both ways round, and sorting any
// shuffle of it gives it back.
TEST_P(NaturalOrder, SortsAsAFileManagerLists) {
  const std::vector<std::string>& want = GetParam().sorted;
  for (size_t i = 0; i < want.size(); ++i)
    for (size_t j = 0; j < want.size(); ++j) {
      const int c = natural_compare(want[i], want[j]);
      EXPECT_EQ(c < 0, i < j) << want[i] << " vs " << want[j];
      EXPECT_EQ(c == 0, i == j) << want[i] << " vs " << want[j];
    }
  std::mt19937 rng(7);
  for (int round = 0; round < 5; ++round) {
    std::vector<std::string> got = want;
    std::shuffle(got.begin(), got.end(), rng);
    std::sort(got.begin(), got.end(), natural_less);
    EXPECT_EQ(got, want);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NaturalOrder,
    ::testing::Values(
        OrderCase{"NumbersByValue", {"F1", "f2", "f10", "f0292", "f0985"}},
        OrderCase{"CaseOnlyBreaksTies", {"A.txt", "a.txt", "B.txt", "b.TXT", "b.txt"}},
        OrderCase{"LeadingZerosOnlyBreakTies", {"f001", "f01", "f1", "f2"}},
        OrderCase{"SeveralNumbers", {"v1.2.9", "v1.2.10", "v1.10.1", "v2"}},
        OrderCase{"NumbersBeforeLetters", {"", "1", "9a", "10", "a", "a1", "ab"}},
        // Longer than any integer type: compared as digits, never overflowing.
        OrderCase{"HugeNumbers",
                  {"n99999999999999999999", "n100000000000000000000", "n100000000000000000001"}},
        // Bytes beyond ASCII (UTF-8 here) keep their value order and are never folded.
        OrderCase{"NonAsciiAfterAscii",
                  {"z", "\xC3\x80", "\xC3\xA0",
                   "\xE4\xB8\xAD"
                   "2",
                   "\xE4\xB8\xAD"
                   "10"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lq

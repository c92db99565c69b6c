#include "core/operations/low_byte_pattern.h"

#include <gtest/gtest.h>

#include <string>

namespace lq {
namespace {

TEST(LowBytePattern, TakesOnlyWhatCannotTakeHighBytes) {
  struct Row {
    std::string pattern;
    int want;  // -1: refused; else whether it sees lines
  };
  const Row rows[] = {
      {"[0-9]+", 0},
      {"\\d+(?:\\.\\d+)?", 0},
      {"(1|23){2,}[,;]", 0},
      {"\\(\\d{1,3}\\)", 0},
      {"[!-/]+", 0},
      {"\\s+", 1},
      {"^\\d", 1},
      {"\\d$", 1},
      {"[\t-!]", 1},  // a range from below CR
      {"a\n", -1},
      {"1\n", 1},
      {"\\w+", -1},
      {"\\bx", -1},
      {"a", -1},
      {".", -1},
      {"[^0-9]", -1},
      {"[]0]", -1},
      {"[[:digit:]]", -1},
      {"[0-9", -1},
      {"(?i)1", -1},
      {"(?=1)1", -1},
      {"(*UTF)1", -1},
      {"(1)\\1", -1},
      {"\\x31", -1},
      {"\\[", -1},
      {"1{", -1},
      {"1{,2}", -1},
      {"\xD6\xD0", -1},
      {"\\", -1},
  };
  for (const Row& row : rows) {
    const auto got = low_byte_pattern(row.pattern);
    if (row.want < 0) {
      EXPECT_FALSE(got) << row.pattern;
    } else {
      ASSERT_TRUE(got) << row.pattern;
      EXPECT_EQ(got->sees_lines, row.want == 1) << row.pattern;
    }
  }
}

}  // namespace
}  // namespace lq

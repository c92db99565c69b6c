#include "core/textsvc/text_layout.h"

#include <gtest/gtest.h>

namespace lq {
namespace {

struct LayoutCase {
  const char* name;
  std::string text;
  LineList lines;
  std::vector<LineEnd> ends;
};

class SplitAndJoin : public ::testing::TestWithParam<LayoutCase> {};

// Splitting and joining again gives the bytes back, whatever the line ends.
TEST_P(SplitAndJoin, RoundTrip) {
  const LayoutCase& c = GetParam();
  LineList lines{"stale", "buffers", "reused", "here", "too"};
  TextLayout layout;
  split_keeping_ends(c.text, lines, layout.ends);
  EXPECT_EQ(lines, c.lines);
  EXPECT_EQ(layout.ends, c.ends);
  EXPECT_EQ(join_lines(lines, layout, EolPolicy::Keep), c.text);
}

using E = LineEnd;
INSTANTIATE_TEST_SUITE_P(
    Texts, SplitAndJoin,
    ::testing::Values(LayoutCase{"empty", "", {}, {}},
                      LayoutCase{"lf", "a\nb\n", {"a", "b"}, {E::Lf, E::Lf}},
                      LayoutCase{"crlf", "a\r\n\r\n", {"a", ""}, {E::CrLf, E::CrLf}},
                      LayoutCase{"no_final_end", "a\r\nb", {"a", "b"}, {E::CrLf, E::None}},
                      LayoutCase{"mixed", "a\nb\r\nc\n", {"a", "b", "c"}, {E::Lf, E::CrLf, E::Lf}},
                      LayoutCase{"lone_cr_inside", "a\rb\r\n", {"a\rb"}, {E::CrLf}},
                      LayoutCase{"cr_at_the_very_end", "a\r", {"a\r"}, {E::None}},
                      LayoutCase{"only_a_break", "\n", {""}, {E::Lf}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JoinLines, LineCountChangedOrEndsForced) {
  TextLayout crlf{false, {E::CrLf, E::CrLf}};
  TextLayout open{true, {E::Lf, E::None}};
  const LineList three{"a", "b", "c"};
  EXPECT_EQ(join_lines(three, crlf, EolPolicy::Keep), "a\r\nb\r\nc\r\n");
  // The byte-order mark comes back; the missing last end stays missing.
  EXPECT_EQ(join_lines(three, open, EolPolicy::Keep),
            "\xEF\xBB\xBF"
            "a\nb\nc");
  EXPECT_EQ(join_lines(three, open, EolPolicy::CrLf),
            "\xEF\xBB\xBF"
            "a\r\nb\r\nc\r\n");
  EXPECT_EQ(join_lines(three, crlf, EolPolicy::Lf), "a\nb\nc\n");
  // Nothing read: CR LF, as the program always wrote.
  EXPECT_EQ(join_lines({"x"}, TextLayout{}, EolPolicy::Keep), "x\r\n");
  EXPECT_EQ(join_lines({}, open, EolPolicy::Keep), "\xEF\xBB\xBF");
}

TEST(EolPolicyNames, ReadBackAnyCase) {
  for (EolPolicy p : {EolPolicy::Keep, EolPolicy::CrLf, EolPolicy::Lf}) {
    EolPolicy back = EolPolicy::Keep;
    EXPECT_TRUE(parse_eol_policy(eol_policy_name(p), back));
    EXPECT_EQ(back, p);
  }
  EolPolicy p = EolPolicy::Lf;
  EXPECT_TRUE(parse_eol_policy("CRLF", p));
  EXPECT_EQ(p, EolPolicy::CrLf);
  EXPECT_FALSE(parse_eol_policy("cr", p));
}

}  // namespace
}  // namespace lq

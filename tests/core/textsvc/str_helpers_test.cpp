#include "core/textsvc/str_helpers.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/run_error.h"

namespace lq {
namespace {

// GBK bytes of two Chinese characters: 中 and 文.
const std::string kZhong = "\xD6\xD0";
const std::string kWen = "\xCE\xC4";

LineList split(std::string_view s, std::string_view delim) {
  LineList out{"stale"};
  split_str(s, out, delim);
  return out;
}

TEST(Substring, FollowsTheClampingRule) {
  EXPECT_EQ(sub("abcdef", 2, 3), "bcd");
  EXPECT_EQ(sub("abcdef", 0, 2), "ab");
  EXPECT_EQ(sub("abcdef", -5, 2), "ab");
  EXPECT_EQ(sub("abcdef", 3, -1), "");
  EXPECT_EQ(sub("abcdef", 5, 100), "ef");
  EXPECT_EQ(sub("abcdef", 7, 1), "");
}

TEST(TrimAndFold, TouchOnlyWhatTheyShould) {
  EXPECT_EQ(trim(std::string("\t\x01 a b \r\n\0", 10)), "a b");
  EXPECT_EQ(trim(" \x80 "), "\x80");
  EXPECT_EQ(trim_view(std::string_view("\t\x01 a b \r\n\0", 10)), "a b");
  EXPECT_EQ(trim_view("  "), "");
  EXPECT_TRUE(is_blank(" \t\r\n"));
  // ASCII folding changes a letter byte even as the second byte of a double-byte
  // character ("\x81\x41" is one GBK character), and nothing else.
  EXPECT_EQ(lower_ascii("AbC\x81\x41\xC1"), "abc\x81\x61\xC1");
  EXPECT_EQ(upper_ascii("abz\xE1"), "ABZ\xE1");
  EXPECT_TRUE(same_text("Hello", "hELLO"));
  EXPECT_FALSE(same_text("\xC1", "\xE1"));
  EXPECT_LT(compare_text("abc", "ABD"), 0);
  EXPECT_EQ(pos_text("B", "aab"), 3);
  EXPECT_EQ(pos("b", "abab", 3), 4);
  EXPECT_EQ(replace_all("a--b--", "--", "+"), "a+b+");
}

TEST(SplitStr, PiecesBetweenDelimiters) {
  EXPECT_EQ(split("a;b;", ";"), (LineList{"a", "b", ""}));
  EXPECT_EQ(split("a;;b", ";"), (LineList{"a", "", "b"}));
  EXPECT_EQ(split(";", ";"), (LineList{"", ""}));
  EXPECT_EQ(split("a::b:::c", "::"), (LineList{"a", "b", ":c"}));
  EXPECT_EQ(split("abc", "x"), (LineList{"abc"}));
  EXPECT_EQ(split("", ";"), LineList{});
  EXPECT_EQ(split("abc", ""), (LineList{"abc", ""}));
  EXPECT_EQ(split("", ""), (LineList{""}));
}

TEST(DelBlankItems, KeepsOthersUntrimmed) {
  LineList l{" a ", "", " \t", "b", "\r"};
  del_blank_items(l);
  EXPECT_EQ(l, (LineList{" a ", "b"}));
}

struct NthPosCase {
  const char* name;
  const char* s;
  const char* sub;
  int n;
  int expected;
};

class NthPos : public ::testing::TestWithParam<NthPosCase> {};

TEST_P(NthPos, FindsNonOverlappingOccurrence) {
  const auto& c = GetParam();
  EXPECT_EQ(nth_pos(c.s, c.sub, c.n), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, NthPos,
                         ::testing::Values(NthPosCase{"second", "a::b::c", "::", 2, 5},
                                           NthPosCase{"too_few", "a,b", ",", 3, 0},
                                           NthPosCase{"empty_sub", "abc", "", 1, 0},
                                           NthPosCase{"n_zero", "abc", "a", 0, 0},
                                           NthPosCase{"no_overlap", "xxxx", "xx", 2, 3},
                                           NthPosCase{"no_overlap_third", "xxxxx", "xx", 3, 0},
                                           NthPosCase{"case_sensitive", "aAa", "a", 2, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

struct IntCase {
  const char* name;
  const char* text;
  bool valid;
  int value;
};

class IntegerSyntax : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntegerSyntax, ReadsTrimmedText) {
  const auto& c = GetParam();
  EXPECT_EQ(is_int(c.text), c.valid);
  EXPECT_EQ(str_to_int_def(c.text, 7), c.valid ? c.value : 7);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntegerSyntax,
    ::testing::Values(
        IntCase{"blanks_around", " 12 ", true, 12}, IntCase{"dollar_hex", "$1F", true, 31},
        IntCase{"zero_x_hex", "0x1f", true, 31}, IntCase{"x_hex", "X1F", true, 31},
        IntCase{"negative_hex", "-$10", true, -16}, IntCase{"plus", "+5", true, 5},
        IntCase{"negative", "-42", true, -42}, IntCase{"int_max", "2147483647", true, 2147483647},
        IntCase{"int_min", "-2147483648", true, INT_MIN},
        IntCase{"too_big", "3000000000", false, 0}, IntCase{"just_over", "2147483648", false, 0},
        IntCase{"hex_too_big", "$FFFFFFFF", false, 0}, IntCase{"trailing_letter", "12a", false, 0},
        IntCase{"inner_blank", "1 2", false, 0}, IntCase{"sign_only", "-", false, 0},
        IntCase{"prefix_only", "0x", false, 0}, IntCase{"hex_digit_in_decimal", "1F", false, 0},
        IntCase{"empty", "", false, 0}, IntCase{"double_sign", "--1", false, 0},
        IntCase{"huge", "99999999999999999999999999", false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StrToInt, ThrowsTheRunErrorText) {
  EXPECT_EQ(str_to_int(" 10"), 10);
  try {
    str_to_int("12a");
    FAIL() << "no error";
  } catch (const RunError& e) {
    EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
  }
  EXPECT_THROW(str_to_int("10 "), RunError);
}

TEST(JoinList, SeparatorsBetweenOnly) {
  EXPECT_EQ(join_list({}, ","), "");
  EXPECT_EQ(join_list({"a"}, ","), "a");
  EXPECT_EQ(join_list({"a", "", "b"}, ", "), "a, , b");
}

TEST(Hex, EncodeAndDecode) {
  EXPECT_EQ(str_to_hex("AB"), "41 42");
  EXPECT_EQ(str_to_hex(""), "");
  EXPECT_EQ(str_to_hex(std::string("\x00\xff", 2)), "00 FF");

  std::string out = "old";
  EXPECT_TRUE(hex_to_str("41 4 20", out));
  EXPECT_EQ(out, std::string("A\x04 "));
  EXPECT_TRUE(hex_to_str("  6a   6B ", out));
  EXPECT_EQ(out, "jk");
  EXPECT_FALSE(hex_to_str("41 414", out));
  EXPECT_EQ(out, "A");
  EXPECT_FALSE(hex_to_str("41 zz 42", out));
  EXPECT_EQ(out, "A");
  EXPECT_TRUE(hex_to_str("", out));
  EXPECT_EQ(out, "");
}

TEST(AllPos, AppendsEveryNonOverlappingPosition) {
  LineList l{"keep"};
  all_pos(l, "axbxx", "x");
  EXPECT_EQ(l, (LineList{"keep", "2", "4", "5"}));
  l.clear();
  all_pos(l, "xxxxx", "xx");
  EXPECT_EQ(l, (LineList{"1", "3"}));
  l.clear();
  all_pos(l, "abc", "");
  EXPECT_TRUE(l.empty());
}

TEST(Base64, RoundTripsAndSkipsNoise) {
  const struct {
    const char* plain;
    const char* coded;
  } rows[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}};
  for (const auto& r : rows) {
    EXPECT_EQ(to_base64(r.plain), r.coded) << r.plain;
    EXPECT_EQ(from_base64(r.coded), r.plain) << r.coded;
  }
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string coded = to_base64(all);
  EXPECT_EQ(coded.find('\n'), std::string::npos);
  EXPECT_EQ(from_base64(coded), all);
  EXPECT_EQ(from_base64("Zm9v\r\nYm Fy"), "foobar");
}

TEST(StrBetween, CaseInsensitiveCutFromOriginal) {
  EXPECT_EQ(str_between("Name=Value", "=", ""), "Value");
  EXPECT_EQ(str_between("a<B>c</b>", "<b>", "</B>"), "c");
  EXPECT_EQ(str_between("abc", "x", ""), "");
  EXPECT_EQ(str_between("abc", "", "c"), "ab");
  EXPECT_EQ(str_between("aXbXc", "x", "Q"), "bXc");
  EXPECT_EQ(str_between("k=v=w", "", "="), "k");
  EXPECT_EQ(text_parts::text_between("AbCdE", "b", "D"), "C");
}

TEST(SplitByLen, NeverCutsACharacter) {
  LineList l;
  split_by_len("abcde", l, 2);
  EXPECT_EQ(l, (LineList{"ab", "cd", "e"}));
  split_by_len("", l, 2);
  EXPECT_TRUE(l.empty());
  // "a中文": the 2nd byte starts 中, so the first piece is one byte shorter.
  split_by_len("a" + kZhong + kWen, l, 2);
  EXPECT_EQ(l, (LineList{"a", kZhong, kWen}));
  split_by_len(kZhong + "ab", l, 3);
  EXPECT_EQ(l, (LineList{kZhong + "a", "b"}));
  // Degenerate lengths still end: one character per piece.
  split_by_len(kZhong + "a", l, 1);
  EXPECT_EQ(l, (LineList{kZhong, "a"}));
  split_by_len("ab", l, 0);
  EXPECT_EQ(l, (LineList{"a", "b"}));
}

TEST(SplitLinesByLen, BytesOrCharacters) {
  LineList dst{"stale"};
  split_lines_by_len({"abcdef", ""}, dst, 4, false);
  EXPECT_EQ(dst, (LineList{"abcd", "ef"}));

  // Wide mode counts a double-byte character once.
  LineList lines{kZhong + kWen + "ab" + kZhong, "x"};
  split_lines_by_len(lines, lines, 2, true);
  EXPECT_EQ(lines, (LineList{kZhong + kWen, "ab", kZhong, "x"}));

  // Byte mode may cut a character; that is the caller's choice.
  split_lines_by_len({kZhong + kWen}, dst, 3, false);
  EXPECT_EQ(dst, (LineList{kZhong + kWen.substr(0, 1), kWen.substr(1)}));
}

TEST(LastPos, CountsOverlappingOccurrences) {
  EXPECT_EQ(text_parts::last_pos("xx", "xxx"), 2);
  EXPECT_EQ(text_parts::last_pos("a", "abca"), 4);
  EXPECT_EQ(text_parts::last_pos("A", "abca"), 0);
  EXPECT_EQ(text_parts::last_pos("", "abc"), 0);
}

TEST(LineBreakEncoding, RoundTripsCrLf) {
  EXPECT_EQ(text_parts::crlf_to_tab("a\r\nb\rc\nd"), "a\t\tb\tc\td");
  EXPECT_EQ(text_parts::tab_to_crlf(text_parts::crlf_to_tab("a\r\nb")), "a\r\nb");
  EXPECT_EQ(text_parts::tab_to_crlf(text_parts::crlf_to_tab("a\nb")), "a\r\nb");
  EXPECT_EQ(text_parts::tab_to_crlf("A\t\t\tB"), "A\r\n\r\nB");
  EXPECT_EQ(text_parts::split_to_text("a;b", ";"), "a\r\nb\r\n");
}

TEST(FindKey, LowerBoundOnKeys) {
  const LineList table{"apple=1", "Banana=2", "cherry=3", "cherry=4", "plum"};
  int index = -1;
  EXPECT_TRUE(text_parts::find_sorted_key(table, "banana", "=", index));
  EXPECT_EQ(index, 1);
  EXPECT_TRUE(text_parts::find_sorted_key(table, "PLUM", "=", index));
  EXPECT_EQ(index, 4);
  EXPECT_FALSE(text_parts::find_sorted_key(table, "blueberry", "=", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(text_parts::find_sorted_key(table, "zz", "=", index));
  EXPECT_EQ(index, 5);
  EXPECT_TRUE(text_parts::find_sorted_key(table, "cherry", "=", index, true));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(text_parts::find_sorted_key({}, "a", "=", index));
  EXPECT_EQ(index, 0);
}

struct MarkedCase {
  const char* name;
  const char* s;
  const char* start;
  const char* end;
  LineList expected;
};

class SplitMarked : public ::testing::TestWithParam<MarkedCase> {};

TEST_P(SplitMarked, AlternatesOutsideAndInside) {
  const auto& c = GetParam();
  LineList got{"kept"};
  text_parts::split_marked(c.s, got, c.start, c.end);
  LineList expected{"kept"};
  expected.insert(expected.end(), c.expected.begin(), c.expected.end());
  EXPECT_EQ(got, expected);
  // Outside pieces, and start + inside + end, give the text back.
  std::string rebuilt;
  for (size_t k = 1; k < got.size(); ++k)
    rebuilt += got[k][0] == '1' ? c.start + got[k].substr(2) + c.end : got[k].substr(2);
  EXPECT_EQ(rebuilt, c.s);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitMarked,
    ::testing::Values(MarkedCase{"one_pair", "a(b)c", "(", ")", {"0=a", "1=b", "0=c"}},
                      MarkedCase{"two_pairs", "(a)(b)", "(", ")", {"0=", "1=a", "0=", "1=b"}},
                      MarkedCase{"unmatched", "x(y", "(", ")", {"0=x", "0=(y"}},
                      MarkedCase{"no_marker", "ab", "(", ")", {"0=ab"}},
                      MarkedCase{"empty", "", "(", ")", {}},
                      MarkedCase{
                          "long_markers", "a<<b>>c<<d", "<<", ">>", {"0=a", "1=b", "0=c", "0=<<d"}},
                      MarkedCase{"empty_end", "a(b", "(", "", {"0=a", "0=(b"}},
                      MarkedCase{"empty_start", "a)b", "", ")", {"0=a)b"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lq

// Replacing in each line of a whole text must give what replacing in every line on its own
// gives: the text is turned into its matching form at once, and lines without a byte that
// can begin a match are never searched.
#include "core/operations/regex_matcher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/encoding/code_page.h"
#include "core/operations/op_test_support.h"

namespace lq {
namespace {

using namespace lq::testing;

// The text with each line (ending at LF, a CR before the LF belonging to the end) replaced
// on its own.
std::string line_by_line(const RegexMatcher& m, std::string_view text, std::string_view with) {
  std::string out;
  for (size_t start = 0; start < text.size();) {
    size_t lf = text.find('\n', start);
    size_t stop = lf == std::string_view::npos ? text.size() : lf;
    const size_t next = lf == std::string_view::npos ? text.size() : lf + 1;
    if (lf != std::string_view::npos && stop > start && text[stop - 1] == '\r') --stop;
    out += m.replace_all(text.substr(start, stop - start), with);
    out += text.substr(stop, next - stop);
    start = next;
  }
  return out;
}

struct Case {
  const char* name;
  bool utf8;  // the text's code page: UTF-8, else GBK
  bool caseless;
  std::string pattern, text;
  const char* want;  // the result, where the case pins it down
};

const std::vector<Case>& cases() {
  // 結 is BD 59 and 統 BD 79 in GBK, 説 E8 AA AC in UTF-8; 0x80 is the euro sign in GBK.
  static const std::vector<Case> table = {
      {"DigitsAcrossLineEnds", false, true, "[0-9]+", gbk("a1結\r\n22\rb3\n\n統4\r\n"), nullptr},
      {"NoLineEndAtTheEnd", false, true, "[0-9]+", gbk("結1\r\n2"), nullptr},
      {"TrailByteLooksLikeLetter", false, false, "[A-Z]", gbk("結Y\r\nY統y"), nullptr},
      {"TrailByteLooksLikeBackslash", false, true, "\\\\", "\xB3\x5C\\\r\n\xB3\x5C", nullptr},
      {"EmptyMatches", false, true, "x*", gbk("a結x\r\n\r\nxx\n"), nullptr},
      {"EmptyPattern", false, true, "", gbk("結\r\n\na"), nullptr},
      {"AnchorsPerLine", false, true, "^|$", gbk("結\r\na\n\r\n"), nullptr},
      {"DotTakesLoneCarriageReturn", false, true, "a.b", "a\rb\r\na\nb", "N\r\na\nb"},
      {"LookBehindStopsAtLineStart", false, true, "(?<=a)b", "a\nb ab", "a\nb aN"},
      {"LookAheadStopsAtLineEnd", false, true, "a(?=\\r|\\n)", "a\r\na\rb", "a\r\nN\rb"},
      {"UnmappedBytesAndEuro", false, true, ".", "\x80\xFF\x81\r\n\xB0\n", nullptr},
      {"ChineseFirstCharacter", false, true, gbk("統"), gbk("a統\r\n結統"), nullptr},
      {"CaselessFirstLetter", false, true, "abc", "xABC\r\naBc\nab", "xN\r\nN\nab"},
      {"CaselessInPattern", false, false, "(?i)abc", "ABC\nabc", "N\nN"},
      {"CaselessLetterWithManyCases", true, true, "k", "\xE2\x84\xAA\r\nK", "N\r\nN"},
      {"CaselessLongS", true, true, "s", "\xC5\xBF\ns", "N\nN"},
      // Р and р differ in their first byte in UTF-8 and in GBK alike.
      {"CaselessCyrillic", true, true, "\xD1\x80", "\xD0\xA0\r\n\xD1\x80", "N\r\nN"},
      {"CaselessCyrillicInGbk", false, true, gbk("р"), gbk("Р\r\nр"), "N\r\nN"},
      {"NoStartOptimisation", false, true, "(*NO_START_OPT)b", "ab\r\nb", "aN\r\nN"},
      {"Utf8WithBrokenBytes", true, true, "[^a]+", "a\xFF\xE8\xAA\xAC\r\n\xE8\xAA", nullptr},
      {"Utf8Digits", true, true, "\\d+",
       "\xE8\xAA\xAC"
       "12\r\n3\xE8\xAA\xAC\r",
       nullptr},
      {"NothingMatches", false, true, "z", gbk("結\r\na"), nullptr},
  };
  return table;
}

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class WholeText : public ::testing::TestWithParam<Case> {};

TEST_P(WholeText, ReplacesAsLineByLine) {
  const Case& c = GetParam();
  const RegexMatcher m(c.pattern, c.caseless, c.utf8 ? utf8_code_page() : gbk_code_page());
  const std::string expected = line_by_line(m, c.text, "N");
  std::string out = "kept";
  const bool changed = m.replace_in_lines(c.text, "N", out);
  EXPECT_EQ(changed, expected != c.text);
  EXPECT_EQ(out, changed ? "kept" + expected : "kept") << hex(out);
  if (c.want) {
    EXPECT_EQ(expected, c.want) << hex(expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, WholeText, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A pattern of digits, spaces and punctuation is matched on the text's own bytes; an empty
// lookahead in front makes the same pattern go by characters. Both must agree on texts
// full of what could go wrong: pairs whose second byte is a letter or "\\", broken pairs,
// lone CRs, UTF-8 with stray bytes.
TEST(LowBytePatterns, MatchAsCharactersDo) {
  std::mt19937 rng(11);
  const std::vector<std::string> pieces = {"1",        "23",       " ",        ",",
                                           "(",        ")",        ".",        "=",
                                           "\r\n",     "\n",       "\r",       "a",
                                           "\xBD\x59", "\xBD\x79", "\xB3\x5C", "\xD6\xD0",
                                           "\x81",     "\x80",     "\xFF",     "\xE8\xAA\xAC",
                                           "\xE8\xAA"};
  const char* patterns[] = {"[0-9]+", "\\d+(?:\\.\\d+)?", "[ ,]+", "\\s+", "^\\d", "\\d$",
                            "(1|23){2}", "\\(\\d*\\)", "=", "\\d*", "[!-/]",
                            // Bytes that end Chinese characters: never matched on bytes.
                            "Y", "y", "\\\\"};
  for (int k = 0; k < 300; ++k) {
    std::string text;
    for (int n = static_cast<int>(rng() % 30); n > 0; --n) text += pieces[rng() % pieces.size()];
    const CodePage& page = k % 3 == 0 ? utf8_code_page() : gbk_code_page();
    for (const char* pattern : patterns) {
      for (bool caseless : {false, true}) {
        const RegexMatcher bytes(pattern, caseless, page);
        const RegexMatcher chars(std::string("(?=)") + pattern, caseless, page);
        std::string by_bytes = "kept", by_chars = "kept";
        EXPECT_EQ(bytes.replace_in_lines(text, "N", by_bytes),
                  chars.replace_in_lines(text, "N", by_chars));
        EXPECT_EQ(by_bytes, by_chars) << pattern << " " << hex(text);
        EXPECT_EQ(bytes.replace_all(text, "N"), chars.replace_all(text, "N"))
            << pattern << " " << hex(text);
      }
    }
  }
}

}  // namespace
}  // namespace lq

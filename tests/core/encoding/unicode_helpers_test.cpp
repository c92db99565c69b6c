#include "core/encoding/unicode_helpers.h"

#include <gtest/gtest.h>

namespace lq {
namespace {

TEST(JavaEscape, OneEscapePerByte) {
  EXPECT_EQ(java_escape("A"), "\\u0041");
  EXPECT_EQ(java_escape("\xD6\xD0"), "\\u00D6\\u00D0");  // 中
  EXPECT_EQ(java_escape(""), "");
  EXPECT_EQ(java_escape(std::string("\0\xFF\n", 3)), "\\u0000\\u00FF\\u000A");
}

TEST(CharCode, ShowsTheByteBeforeTheCaret) {
  struct Row {
    const char* name;
    std::string line;
    int column;
    std::string text;  // empty: nothing to show
  };
  const Row rows[] = {
      {"after A", "xA", 3, "A D= 65,H=41"},
      {"after a TAB", "\tx", 2, "\t D=  9,H= 9"},
      {"after a double-byte character", "\xD6\xD0", 3, "\xD0 D=208,H=D0"},
      {"column 1 shows the first byte", "Qz", 1, "Q D= 81,H=51"},
      {"past the end", "ab", 4, ""},
      {"empty line", "", 1, ""},
  };
  for (const Row& r : rows) {
    std::string byte = code_byte(r.line, r.column);
    std::string shown = byte.empty() ? "" : char_code_text(static_cast<unsigned char>(byte[0]));
    EXPECT_EQ(shown, r.text) << r.name;
  }
  EXPECT_EQ(char_code_text(0xFF), "\xFF D=255,H=FF");
}

TEST(WideText, ConvertsThroughTheCodePage) {
  EXPECT_EQ(to_wide("\xD6\xD0\xCE\xC4"), u"中文");
  EXPECT_EQ(from_wide(u"中文"), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(from_wide(u"a\uAC00b"), "a?b");  // Hangul is outside GBK
  EXPECT_EQ(from_wide(u""), "");
}

}  // namespace
}  // namespace lq

#include "core/encoding/code_page.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <random>

#include "core/support/iconv_reference.h"

namespace lq {
namespace {

using test::hex;
using test::iconv_ref;
using test::utf16le;

const CodePage& gbk = gbk_code_page();

TEST(GbkCodePage, EveryPairDecodesAsGlibcDoes) {
  int characters = 0;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0x00; trail <= 0xFF; ++trail) {
      std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      ASSERT_EQ(gbk.to_utf8(pair), iconv_ref("UTF-8", "GBK", pair, "\xEF\xBF\xBD", 1)) << hex(pair);
      ASSERT_EQ(utf16le(gbk.to_utf16(pair)),
                iconv_ref("UTF-16LE", "GBK", pair, std::string_view("\xFD\xFF", 2), 1))
          << hex(pair);
      if (gbk.char_len_at(pair, 0) == 2 && gbk.to_utf16(pair).size() == 1) ++characters;
    }
  }
  EXPECT_EQ(characters, 21791);
}

TEST(GbkCodePage, EveryBmpCharacterEncodesAsGlibcDoes) {
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::u16string wide(1, static_cast<char16_t>(c));
    std::string raw = utf16le(wide);
    std::string expected = iconv_ref("GBK", "UTF-16LE", raw, "?", 2);
    ASSERT_EQ(gbk.from_utf16(wide), expected) << std::hex << static_cast<unsigned>(c);
    ASSERT_EQ(gbk.from_utf8(iconv_ref("UTF-8", "UTF-16LE", raw, "", 2)), expected)
        << std::hex << static_cast<unsigned>(c);
  }
}

TEST(GbkCodePage, RandomBytesDecodeAsGlibcDoes) {
  // Mostly high bytes, so that lone leads, bad trails and unassigned pairs all occur.
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(rng() % 40, '\0');
    for (char& c : bytes)
      c = static_cast<char>(rng() % 4 == 0 ? rng() % 0x80 : 0x80 + rng() % 0x80);
    ASSERT_EQ(gbk.to_utf8(bytes), iconv_ref("UTF-8", "GBK", bytes, "\xEF\xBF\xBD", 1))
        << hex(bytes);
  }
}

// The whole-file conversion: glibc's reading, each byte it rejects kept as it is, and the
// same result however the text is cut into pieces.
TEST(GbkCodePage, KeepingConversionReadsAsGlibcAndKeepsTheRest) {
  auto glibc_keeping = [](std::string_view in) {
    iconv_t cd = iconv_open("UTF-8", "GBK");
    std::string out;
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buf[256];
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      const size_t r = iconv(cd, &src, &left, &dst, &room);
      out.append(buf, sizeof buf - room);
      if (r == static_cast<size_t>(-1) && errno != E2BIG) {
        out += *src++;
        --left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
      }
    }
    iconv_close(cd);
    return out;
  };
  std::mt19937 rng(5);
  for (int round = 0; round < 500; ++round) {
    std::string bytes(rng() % 60, '\0');
    for (char& c : bytes)
      c = static_cast<char>(rng() % 3 == 0 ? 0x80 + rng() % 0x80 : 0x20 + rng() % 0x60);
    const std::string expected = glibc_keeping(bytes);
    std::string whole;
    ASSERT_EQ(append_gbk_as_utf8_keeping(bytes, true, whole), bytes.size());
    ASSERT_EQ(whole, expected) << hex(bytes);
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
      std::string pieces;
      const size_t taken = append_gbk_as_utf8_keeping(bytes.substr(0, cut), false, pieces);
      append_gbk_as_utf8_keeping(std::string_view(bytes).substr(taken), true, pieces);
      ASSERT_EQ(pieces, expected) << hex(bytes) << " cut at " << cut;
    }
  }
}

TEST(GbkCodePage, SingleHighBytesTripleInUtf8) {
  std::string bytes = std::string(5000, '\x80') + "\xD6\xD0" + std::string(5000, '\xFF');
  std::string expected;
  for (int k = 0; k < 5000; ++k) expected += "\xE2\x82\xAC";
  expected += "\xE4\xB8\xAD";
  for (int k = 0; k < 5000; ++k) expected += "\xEF\xBF\xBD";
  EXPECT_EQ(gbk.to_utf8(bytes), expected);
}

struct Utf8Case {
  const char* name;
  std::string utf8;
  std::string gbk;
};

class FromUtf8 : public testing::TestWithParam<Utf8Case> {};

TEST_P(FromUtf8, Converts) {
  EXPECT_EQ(hex(gbk.from_utf8(GetParam().utf8)), hex(GetParam().gbk));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FromUtf8,
    testing::Values(Utf8Case{"Empty", "", ""}, Utf8Case{"Ascii", "A b\t~", "A b\t~"},
                    Utf8Case{"Chinese", "中文", "\xD6\xD0\xCE\xC4"},
                    Utf8Case{"EmbeddedNul", std::string("a\0b", 3), std::string("a\0b", 3)},
                    Utf8Case{"Euro", "€", "\x80"},
                    Utf8Case{"NotInGbkIsOneQuestionMark", "x한y", "x?y"},
                    Utf8Case{"BeyondBmpIsOneQuestionMark", "😀", "?"},
                    Utf8Case{"LoneContinuationByte", "a\x80z", "a?z"},
                    Utf8Case{"TruncatedAtEnd", "\xE4\xB8", "??"},
                    Utf8Case{"Overlong", "\xC0\xAF", "??"},
                    Utf8Case{"EncodedSurrogate", "\xED\xA0\x80", "???"}),
    [](const auto& info) { return info.param.name; });

TEST(GbkCodePage, Utf16OutsideGbk) {
  EXPECT_EQ(gbk.from_utf16(u"中\U0001F600文"), "\xD6\xD0?\xCE\xC4");
  EXPECT_EQ(gbk.from_utf16(std::u16string(1, char16_t(0xD800)) + u"a"), "?a");
  EXPECT_EQ(gbk.from_utf16(u"\uAC00"), "?");
}

TEST(GbkCodePage, LeadByteRuleAndSplit) {
  EXPECT_TRUE(gbk.is_lead_byte(0x81));
  EXPECT_TRUE(gbk.is_lead_byte(0xFE));
  EXPECT_FALSE(gbk.is_lead_byte(0x80));
  EXPECT_FALSE(gbk.is_lead_byte(0xFF));
  EXPECT_FALSE(gbk.is_lead_byte('A'));

  struct Row {
    const char* name;
    std::string text;
    std::vector<std::string> chars;
  };
  const Row rows[] = {
      {"empty", "", {}},
      {"mixed",
       "a\xD6\xD0"
       "b",
       {"a", "\xD6\xD0", "b"}},
      {"trail in ASCII range", "\x81\x40\x81\x7E", {"\x81\x40", "\x81\x7E"}},
      {"lone lead at end", "a\xB0", {"a", "\xB0"}},
      {"lead before 0x7F", "\xB0\x7F", {"\xB0", "\x7F"}},
      {"lead before a control byte", "\xB0\n", {"\xB0", "\n"}},
      {"0x80 and 0xFF stand alone", "\x80\xFF\xA1", {"\x80", "\xFF", "\xA1"}},
  };
  for (const Row& row : rows) {
    std::vector<std::string> got;
    for (std::string_view c : gbk.split_chars(row.text)) got.emplace_back(c);
    EXPECT_EQ(got, row.chars) << row.name;
  }
}

TEST(GbkCodePage, MatchFormKeepsEveryCharacterWholeAndMapsBack) {
  // Every byte pair and single byte: skip_match_form goes over each character's form,
  // decodable characters are their UTF-8, and the rest get code points of their own.
  const CodePage& cp = gbk_code_page();
  std::string text;
  for (int lead = 0x80; lead <= 0xFF; ++lead)
    for (int trail = 0x00; trail <= 0xFF; trail += 1) {
      text.push_back(static_cast<char>(lead));
      text.push_back(static_cast<char>(trail));
    }
  std::string form;
  cp.append_match_form(text, form);
  size_t at = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t len = cp.char_len_at(text, i);
    std::string one;
    cp.append_match_form(text.substr(i, len), one);
    const size_t form_len = one.size();
    ASSERT_EQ(cp.skip_match_form(text, i, form_len), i + len) << i;
    // A place inside the character's form never maps to a place inside the character.
    ASSERT_EQ(cp.skip_match_form(text, i, form_len - 1), i) << i;
    ASSERT_EQ(form.substr(at, form_len), one) << i;
    const std::string utf8 = cp.to_utf8(text.substr(i, len));
    if (utf8.find("\xEF\xBF\xBD") == std::string::npos)
      EXPECT_EQ(one, utf8) << i;
    else
      EXPECT_EQ(form_len, 4u) << i;
    at += form_len;
    i += len;
  }
  EXPECT_EQ(at, form.size());
  // The same in one walk, ASCII runs between the characters included.
  const std::string mixed = "ab\x80" + text + "0123456789\xFF";
  std::string mixed_form;
  cp.append_match_form(mixed, mixed_form);
  EXPECT_EQ(cp.skip_match_form(mixed, 0, mixed_form.size()), mixed.size());
}

TEST(GbkCodePage, CurrentCodePageIsGbk) {
  EXPECT_STREQ(code_page().name(), "GBK");
}

}  // namespace
}  // namespace lq

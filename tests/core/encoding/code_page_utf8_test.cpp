#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <ostream>
#include <random>

#include "core/encoding/code_page.h"
#include "core/support/iconv_reference.h"

namespace lq {
namespace {

const CodePage& utf8 = utf8_code_page();

using test::hex;
using test::iconv_ref;
using test::utf16le;

const std::string kFffd = "\xEF\xBF\xBD";

// Bytes that hit every kind of sequence: ASCII, continuation bytes, the leads that are never
// valid (C0, C1, F5..FF) and the edges of the valid ranges (E0 A0, ED 9F, F0 90, F4 8F).
std::string random_bytes(std::mt19937& rng, size_t max_len) {
  static constexpr unsigned char kPool[] = {'a',  '\n', 0x00, 0x7F, 0x80, 0x8F, 0x90, 0x9F,
                                            0xA0, 0xBF, 0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE4,
                                            0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
  std::string bytes(rng() % (max_len + 1), '\0');
  for (char& c : bytes)
    c = static_cast<char>(rng() % 3 ? kPool[rng() % sizeof kPool] : 0x80 + rng() % 0x40);
  return bytes;
}

// glibc's decoding of UTF-8 with `bad` (UTF-16LE) for each byte it rejects, as UTF-16LE. Its
// UTF-8 to UTF-8 conversion passes ill-formed sequences through, so UTF-16 is the reference.
std::string glibc_utf16(std::string_view bytes, std::string_view bad) {
  return iconv_ref("UTF-16LE", "UTF-8", bytes, bad, 1);
}

std::string glibc_utf8(std::string_view bytes, std::string_view bad) {
  return iconv_ref("UTF-8", "UTF-16LE", glibc_utf16(bytes, bad), "", 2);
}

TEST(Utf8CodePage, RandomBytesDecodeAsGlibcDoes) {
  const std::string_view fffd("\xFD\xFF", 2), question("?\0", 2);
  std::mt19937 rng(11);
  for (int round = 0; round < 5000; ++round) {
    const std::string bytes = random_bytes(rng, 24);
    ASSERT_EQ(utf16le(utf8.to_utf16(bytes)), glibc_utf16(bytes, fffd)) << hex(bytes);
    ASSERT_EQ(hex(utf8.to_utf8(bytes)), hex(glibc_utf8(bytes, fffd))) << hex(bytes);
    ASSERT_EQ(hex(utf8.from_utf8(bytes)), hex(glibc_utf8(bytes, question))) << hex(bytes);
  }
}

TEST(Utf8CodePage, EveryCodePointEncodesAsGlibcDoes) {
  // One UTF-16 string with every code point (pairs for those beyond the BMP).
  std::u16string all;
  for (char32_t c = 1; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    if (c < 0x10000) {
      all.push_back(static_cast<char16_t>(c));
    } else {
      all.push_back(static_cast<char16_t>(0xD7C0 + (c >> 10)));
      all.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
    }
  }
  const std::string text = utf8.from_utf16(all);
  ASSERT_EQ(text, iconv_ref("UTF-8", "UTF-16LE", utf16le(all), "", 2));
  EXPECT_EQ(utf8.to_utf16(text), all);
  EXPECT_EQ(utf8.to_utf8(text), text);
  EXPECT_EQ(utf8.from_utf8(text), text);
}

TEST(Utf8CodePage, LeadBytes) {
  for (int b = 0; b < 0x100; ++b)
    EXPECT_EQ(utf8.is_lead_byte(static_cast<unsigned char>(b)), b >= 0xC2 && b <= 0xF4) << b;
}

struct SplitCase {
  const char* name;
  std::string text;
  std::vector<std::string> chars;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << c.name;
}

class Utf8Split : public testing::TestWithParam<SplitCase> {};

TEST_P(Utf8Split, CutsIntoCharacters) {
  std::vector<std::string> got;
  for (std::string_view c : utf8.split_chars(GetParam().text)) got.emplace_back(c);
  EXPECT_EQ(got, GetParam().chars);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Split,
    testing::Values(
        SplitCase{"Empty", "", {}},
        SplitCase{"EveryLength",
                  "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80",
                  {"a", "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80"}},
        SplitCase{
            "LastCodePoints", "\xEF\xBF\xBF\xF4\x8F\xBF\xBF", {"\xEF\xBF\xBF", "\xF4\x8F\xBF\xBF"}},
        SplitCase{"Overlong", "\xC0\xAF\xE0\x80\xAF", {"\xC0", "\xAF", "\xE0", "\x80", "\xAF"}},
        SplitCase{
            "Surrogate", "\xED\xA0\x80\xED\x9F\xBF", {"\xED", "\xA0", "\x80", "\xED\x9F\xBF"}},
        SplitCase{"AboveLastCodePoint", "\xF4\x90\x80\x80", {"\xF4", "\x90", "\x80", "\x80"}},
        SplitCase{
            "NeverLeadBytes", "\xC1\xBF\xF5\x80\xFF", {"\xC1", "\xBF", "\xF5", "\x80", "\xFF"}},
        SplitCase{"TruncatedAtEnd", "a\xE4\xB8", {"a", "\xE4", "\xB8"}},
        SplitCase{"LeadBeforeAscii",
                  "\xE4\xB8"
                  "a",
                  {"\xE4", "\xB8", "a"}},
        SplitCase{"LeadBeforeLead", "\xC3\xC3\xA9", {"\xC3", "\xC3\xA9"}}),
    [](const auto& info) { return info.param.name; });

struct ConvertCase {
  const char* name;
  std::string bytes;
  std::string to_utf8;    // U+FFFD for each byte that is no character
  std::string from_utf8;  // "?" for each
  std::string exact;      // what from_utf8_exact keeps
  std::string missing;    // and reports
};

void PrintTo(const ConvertCase& c, std::ostream* os) {
  *os << c.name;
}

class Utf8Convert : public testing::TestWithParam<ConvertCase> {};

TEST_P(Utf8Convert, Converts) {
  const ConvertCase& c = GetParam();
  EXPECT_EQ(hex(utf8.to_utf8(c.bytes)), hex(c.to_utf8));
  EXPECT_EQ(hex(utf8.from_utf8(c.bytes)), hex(c.from_utf8));
  std::string out = "stale", missing = "stale";
  EXPECT_EQ(utf8.from_utf8_exact(c.bytes, out, missing), c.missing.empty());
  EXPECT_EQ(hex(out), hex(c.exact));
  EXPECT_EQ(hex(missing), hex(c.missing));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Convert,
    testing::Values(ConvertCase{"Empty", "", "", "", "", ""},
                    ConvertCase{"Valid", "a中😀", "a中😀", "a中😀", "a中😀", ""},
                    ConvertCase{"EmbeddedNul", std::string("a\0b", 3), std::string("a\0b", 3),
                                std::string("a\0b", 3), std::string("a\0b", 3), ""},
                    ConvertCase{"OneBadByte", "a\xFFz", "a\xEF\xBF\xBDz", "a?z", "az",
                                "\xEF\xBF\xBD"},
                    ConvertCase{"EachBadByteOnce", "\xE4\xB8\xE4\xB8\xAD\xC0\xAF",
                                "\xEF\xBF\xBD\xEF\xBF\xBD\xE4\xB8\xAD\xEF\xBF\xBD\xEF\xBF\xBD",
                                "??\xE4\xB8\xAD??", "\xE4\xB8\xAD", "\xEF\xBF\xBD"},
                    ConvertCase{"GbkText", "\xD6\xD0\xCE\xC4",
                                "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", "????", "",
                                "\xEF\xBF\xBD"}),
    [](const auto& info) { return info.param.name; });

TEST(Utf8CodePage, HighByteAtEveryOffsetOfAnAsciiRun) {
  // The ASCII runs are read eight bytes at a time: a byte above ASCII anywhere in or after
  // such a word must still be seen.
  for (size_t len = 1; len <= 20; ++len) {
    for (size_t at = 0; at < len; ++at) {
      std::string bytes(len, 'x');
      bytes[at] = '\xFF';
      std::string fixed = bytes;
      fixed.replace(at, 1, kFffd);
      ASSERT_EQ(utf8.to_utf8(bytes), fixed) << len << " " << at;
      ASSERT_EQ(utf8.to_utf16(bytes).size(), len) << len << " " << at;
      ASSERT_EQ(utf8.to_utf16(bytes)[at], u'\uFFFD') << len << " " << at;
      std::string form;
      utf8.append_match_form(bytes, form);
      ASSERT_EQ(form.size(), len + 3) << len << " " << at;
    }
  }
}

TEST(Utf8CodePage, Utf16) {
  EXPECT_EQ(utf8.to_utf16("a\xC3\xA9\xF0\x9F\x98\x80\xFF"), u"a\u00E9\U0001F600\uFFFD");
  const char16_t lone_high[] = {u'a', 0xD83D, u'b', 0};
  const char16_t lone_low[] = {0xDE00, 0xD83D, 0};
  EXPECT_EQ(utf8.from_utf16(lone_high), "a?b");
  EXPECT_EQ(utf8.from_utf16(lone_low), "??");
  EXPECT_EQ(utf8.from_utf16(u"\U0001F600\uFFFF"), "\xF0\x9F\x98\x80\xEF\xBF\xBF");
}

// The UTF-8 of code point c (beyond the BMP).
std::string utf8_of(char32_t c) {
  const char16_t pair[] = {static_cast<char16_t>(0xD7C0 + (c >> 10)),
                           static_cast<char16_t>(0xDC00 | (c & 0x3FF)), 0};
  return utf8.from_utf16(pair);
}

TEST(Utf8CodePage, MatchFormKeepsEveryCharacterWholeAndMapsBack) {
  // Every pair of bytes, then random text: the form is valid UTF-8, skip_match_form goes
  // over each character's part, characters are themselves and every other byte b is
  // U+100000 + b.
  std::string text;
  for (int a = 0; a < 0x100; ++a)
    for (int b = 0; b < 0x100; ++b) {
      text.push_back(static_cast<char>(a));
      text.push_back(static_cast<char>(b));
    }
  std::mt19937 rng(5);
  for (int round = 0; round < 2000; ++round) text += random_bytes(rng, 12);

  std::string form;
  utf8.append_match_form(text, form);
  ASSERT_EQ(utf8.to_utf8(form), form) << "the form is not valid UTF-8";
  size_t at = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t len = utf8.char_len_at(text, i);
    std::string one = "kept";
    utf8.append_match_form(text.substr(i, len), one);
    ASSERT_EQ(one.substr(0, 4), "kept");
    one.erase(0, 4);
    const size_t form_len = one.size();
    ASSERT_EQ(utf8.skip_match_form(text, i, form_len), i + len) << i;
    ASSERT_EQ(utf8.skip_match_form(text, i, form_len - 1), i) << i;
    ASSERT_EQ(form.substr(at, form_len), one) << i;
    const auto byte = static_cast<unsigned char>(text[i]);
    if (len > 1 || byte < 0x80)
      ASSERT_EQ(one, text.substr(i, len)) << i;
    else
      ASSERT_EQ(one, utf8_of(kMatchByteBase + byte)) << i;
    at += form_len;
    i += len;
  }
  EXPECT_EQ(at, form.size());
  EXPECT_EQ(utf8.skip_match_form(text, 0, form.size()), text.size());
}

}  // namespace
}  // namespace lq

// The code pages' own walks over characters, the word-at-a-time byte scans and the one-pass
// UTF-8 to GBK conversion against the plain forms they stand for, on text that is broken in
// every way a file can be.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/encoding/byte_scan.h"
#include "core/encoding/code_page.h"
#include "core/textsvc/char_search.h"

namespace lq {
namespace {

// The walk by char_len_at, one character at a time.
size_t walked_start(std::string_view s, size_t from, size_t pos, const CodePage& page) {
  size_t i = from;
  while (i < std::min(pos, s.size())) i += page.char_len_at(s, i);
  return i;
}

// GBK pairs and their edges (lead 81/FE, trail 40/7E/80/FE, the no-trail 7F, the single
// bytes 80 and FF), UTF-8 sequences cut short, overlong, surrogate and beyond U+10FFFF, and
// ASCII runs long enough for the eight-byte steps.
const std::vector<std::string> kTexts = {
    "",
    "plain ascii text, longer than one word",
    "\x81",
    "ab\x81",
    "\xFE\x40\xFE\xFE\x81\x7F\x81\x80\x80\xFF\x81",
    "\xD6\xD0\xCE\xC4 abc \xCE\xC4\xBC\xFE\x81\x81\x81\x40 end",
    "\x81\x81\x81\x81\x81\x81\x81\x81\x81\x81\x81\x81\x81\x81\x81\x81\x81",
    "12345678\x81"
    "12345678\x81\x7F",
    "\xE4\xB8\xAD\xE6\x96\x87 \xE6\x96\x87\xE4\xBB\xB6 text",
    "\xE4\xB8",
    "abc\xE4",
    "\xC0\xAF\xE0\x80\xAF\xED\xA0\x80\xF4\x90\x80\x80\xF5\x80",
    "\xF0\x9F\x98\x80\xF0\x9F\x98\xE4\xB8\xAD\x80\xBF\xC2",
    "\xEF\xBB\xBF\xE4\xB8\xAD\xED\x9F\xBF\xF4\x8F\xBF\xBF\xF0\x90\x80\x80",
    "abcdefgh\xE4\xB8\xAD"
    "abcdefghijklmno\xE4\xB8\xAD\xE4",
};

// Random text of the bytes that matter to both code pages.
std::string random_text(std::mt19937& rng) {
  static constexpr unsigned char kPool[] = {'a',  ' ',  '@',  0x7E, 0x7F, 0x80, 0x81, 0x9F,
                                            0xA0, 0xBF, 0xC0, 0xC2, 0xD6, 0xE0, 0xE4, 0xED,
                                            0xEF, 0xF0, 0xF4, 0xF5, 0xFE, 0xFF};
  std::string s(rng() % 40, '\0');
  for (char& c : s) c = static_cast<char>(kPool[rng() % sizeof kPool]);
  return s;
}

std::vector<std::string> all_texts() {
  std::vector<std::string> texts = kTexts;
  std::mt19937 rng(11);
  for (int k = 0; k < 2000; ++k) texts.push_back(random_text(rng));
  return texts;
}

TEST(CharWalk, EveryCodePageAgreesWithTheWalkByCharLen) {
  for (const CodePage* page : {&gbk_code_page(), &utf8_code_page()}) {
    for (const std::string& text : all_texts()) {
      // From every character start, to every position up to past the end.
      for (size_t from = 0; from <= text.size(); from += page->char_len_at(text, from)) {
        for (size_t pos = 0; pos <= text.size() + 2; ++pos)
          ASSERT_EQ(page->char_start_at_or_after(text, from, pos),
                    walked_start(text, from, pos, *page))
              << page->name() << " from " << from << " pos " << pos << " in "
              << testing::PrintToString(text);
        if (from == text.size()) break;
      }
      // The same through the searcher's walker, queried in increasing order.
      CharStarts starts(text, *page);
      for (size_t pos = 0; pos <= text.size(); ++pos)
        ASSERT_EQ(starts.is_start(pos), walked_start(text, 0, pos, *page) == pos)
            << page->name() << " pos " << pos << " in " << testing::PrintToString(text);
    }
  }
}

// Folding lowers exactly the capitals that are characters of their own, as a walk one
// character at a time does: 結 (BD 59) keeps its "Y", a lone capital after it is lowered.
TEST(CharWalk, FoldingLowersOnlyCapitalsOfTheirOwn) {
  const auto folded_by_walk = [](const std::string& s, const CodePage& page) {
    std::string out = s;
    for (size_t i = 0; i < s.size(); i += page.char_len_at(s, i))
      if (s[i] >= 'A' && s[i] <= 'Z') out[i] = static_cast<char>(s[i] + 32);
    return out;
  };
  static constexpr unsigned char kPool[] = {'A',  'Y',  'Z',  'a',  '@',  '[',  ' ', 0x80,
                                            0x81, 0xBD, 0xC2, 0xE4, 0xB8, 0xFE, 0xFF};
  std::vector<std::string> texts = kTexts;
  texts.push_back("\xBD\x59\xBD\x59YZ ABCDEFGHIJ\xBD\x59Q\xBD\x59\x59XYZ");
  std::mt19937 rng(5);
  for (int k = 0; k < 3000; ++k) {
    std::string t(rng() % 40, '\0');
    for (char& c : t) c = static_cast<char>(kPool[rng() % sizeof kPool]);
    texts.push_back(t);
  }
  for (const CodePage* page : {&gbk_code_page(), &utf8_code_page()})
    for (const std::string& text : texts)
      ASSERT_EQ(fold_letters(text, *page), folded_by_walk(text, *page))
          << page->name() << " " << testing::PrintToString(text);
}

TEST(CharWalk, SequenceLengthMatchesTheDecoder) {
  // Every lead byte with every second byte; the third and fourth count only by whether they
  // continue a sequence, so the edges of that range stand for the rest.
  unsigned char b[4];
  for (int x = 0x80; x <= 0xFF; ++x)
    for (int y = 0; y <= 0xFF; ++y)
      for (int z : {0x00, 0x7F, 0x80, 0xBF, 0xC0, 0xFF})
        for (int w : {0x00, 0x7F, 0x80, 0xBF, 0xC0}) {
          b[0] = static_cast<unsigned char>(x);
          b[1] = static_cast<unsigned char>(y);
          b[2] = static_cast<unsigned char>(z);
          b[3] = static_cast<unsigned char>(w);
          for (size_t left = 1; left <= 4; ++left)
            ASSERT_EQ(utf8_seq_len(b, left), well_formed_utf8(b, left))
                << std::hex << x << ' ' << y << ' ' << z << ' ' << w << " left " << left;
        }
}

// The valid length by decoding one sequence at a time.
size_t decoded_valid_run(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + i;
    const size_t n = *p < 0x80 ? 1 : well_formed_utf8(p, s.size() - i);
    if (n == 0) break;
    i += n;
  }
  return i;
}

TEST(CharWalk, BlockCheckAgreesWithDecoding) {
  const auto begin = [](const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
  };
  // Valid text of every kind of character, long enough for many blocks, then one fault put
  // in at a random place: a byte replaced, or the text cut there.
  const std::vector<std::string> chars = {"a",
                                          " ",
                                          "\xC2\x80",
                                          "\xDF\xBF",
                                          "\xE0\xA0\x80",
                                          "\xE4\xB8\xAD",
                                          "\xED\x9F\xBF",
                                          "\xEE\x80\x80",
                                          "\xF0\x90\x80\x80",
                                          "\xF4\x8F\xBF\xBF",
                                          "0123456789abcdefghijklmnopqrstuvwxyz0123456789"};
  std::mt19937 rng(5);
  for (int k = 0; k < 3000; ++k) {
    std::string s;
    const size_t len = k < 1500 ? rng() % 200 : rng() % 20000;
    while (s.size() < len) s += chars[rng() % chars.size()];
    if (k % 3 && !s.empty()) {
      static constexpr unsigned char kBad[] = {0x80, 0xBF, 0xC0, 0xC1, 0xC2, 0xE0,
                                               0xED, 0xF0, 0xF4, 0xF5, 0xFF, 'a'};
      s[rng() % s.size()] = static_cast<char>(kBad[rng() % sizeof kBad]);
    } else if (!s.empty()) {
      s.resize(rng() % s.size());
    }
    const size_t expected = decoded_valid_run(s);
    ASSERT_EQ(utf8_valid_run(begin(s), begin(s) + s.size()), expected) << k;
    ASSERT_EQ(utf8_block_valid(begin(s), begin(s) + s.size()), expected == s.size()) << k;
  }
  for (const std::string& t : all_texts())
    ASSERT_EQ(utf8_block_valid(begin(t), begin(t) + t.size()), decoded_valid_run(t) == t.size())
        << testing::PrintToString(t);
}

TEST(CharWalk, AsciiRunStopsAtTheFirstHighByte) {
  for (size_t len = 0; len <= 20; ++len)
    for (size_t high = 0; high <= len; ++high) {
      std::string s(len, 'a');
      if (high < len) s[high] = static_cast<char>(0x80 + high);
      if (high + 3 < len) s[high + 3] = '\xFF';  // a second one behind it changes nothing
      EXPECT_EQ(ascii_prefix(s), high) << len << ' ' << high;
      EXPECT_EQ(is_utf8_text(s), high == len) << len << ' ' << high;
    }
}

TEST(CharWalk, Utf8ToGbkInOnePassAsThroughUnicode) {
  const CodePage& gbk = gbk_code_page();
  const CodePage& utf8 = utf8_code_page();
  std::vector<std::string> texts = all_texts();
  texts.push_back("\xE2\x82\xAC \xC2\xB7 \xEF\xBF\xBD \xE2\x82 \xF0\x9F\x98\x80 12345678901");
  for (const std::string& text : texts) {
    // The reference: each well-formed sequence through UTF-16, "?" for every other byte.
    std::string expected;
    for (size_t i = 0; i < text.size();) {
      const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + i;
      const size_t n = *p < 0x80 ? 1 : well_formed_utf8(p, text.size() - i);
      expected += n ? gbk.from_utf16(utf8.to_utf16(text.substr(i, n))) : "?";
      i += n ? n : 1;
    }
    std::string out = "kept";
    append_converted(text, utf8, gbk, out);
    ASSERT_EQ(out, "kept" + expected) << testing::PrintToString(text);
    ASSERT_EQ(gbk.from_utf8(text), expected) << testing::PrintToString(text);
    out.clear();
    append_converted(text, gbk, utf8, out);
    ASSERT_EQ(out, utf8.from_utf8(gbk.to_utf8(text)));
  }
}

}  // namespace
}  // namespace lq

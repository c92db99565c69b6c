#include "core/encoding/gb_big5.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include "core/encoding/code_page.h"

namespace lq {
namespace {

std::string big5_to_utf8(std::string_view big5) {
  iconv_t cd = iconv_open("UTF-8", "BIG5");
  char out[16];
  char* src = const_cast<char*>(big5.data());
  size_t left = big5.size();
  char* dst = out;
  size_t room = sizeof out;
  size_t r = iconv(cd, &src, &left, &dst, &room);
  iconv_close(cd);
  return r == static_cast<size_t>(-1) ? std::string() : std::string(out, sizeof out - room);
}

struct Row {
  const char* name;
  bool gb_to_big5;
  std::uint16_t source;
  int index;
  std::uint16_t result;
};

class TellingRow : public testing::TestWithParam<Row> {};

TEST_P(TellingRow, IndexTableAndConversionAgree) {
  const Row& r = GetParam();
  std::string source = CodeToChars(r.source);
  int index = r.gb_to_big5 ? GBIndex(source) : Big5Index(source);
  EXPECT_EQ(index, r.index);
  const std::uint16_t* table = r.gb_to_big5 ? GBToBig5Table : Big5ToGBTable;
  EXPECT_EQ(table[index], r.result) << std::hex << table[index];
  EXPECT_EQ(r.gb_to_big5 ? GBToBig5(source) : Big5ToGB(source), CodeToChars(r.result));
}

INSTANTIATE_TEST_SUITE_P(Rows, TellingRow,
                         testing::Values(Row{"GbIdeographicSpace", true, 0xA1A1, 0, 0x2020},
                                         Row{"GbIdeographicComma", true, 0xA1A2, 1, 0xA142},
                                         Row{"GbFullwidthExclamation", true, 0xA3A1, 188, 0xA149},
                                         Row{"GbFullwidthA", true, 0xA3C1, 220, 0xA2CF},
                                         Row{"GbBoxDrawing", true, 0xA9A5, 756, 0xF9F9},
                                         Row{"GbUnassigned", true, 0xAAA1, 846, 0x2020},
                                         Row{"GbSameCharacter", true, 0xB0A1, 1410, 0xB0DA},
                                         Row{"GbAi", true, 0xB0AE, 1423, 0xB752},
                                         Row{"GbBan", true, 0xB0EC, 1485, 0xBFEC},
                                         Row{"GbGuo", true, 0xB9FA, 2345, 0xB0EA},
                                         Row{"GbGuiWithoutCounterpart", true, 0xB9E8, 2327, 0x2020},
                                         Row{"GbLastPosition", true, 0xF7FE, 8177, 0x2020},
                                         Row{"Big5IdeographicSpace", false, 0xA140, 0, 0x2020},
                                         Row{"Big5Comma", false, 0xA141, 1, 0xA3AC},
                                         Row{"Big5HyphenationPoint", false, 0xA145, 5, 0xA1A4},
                                         Row{"Big5Parenthesis", false, 0xA15D, 29, 0xA3A8},
                                         Row{"Big5Slash", false, 0xA1FE, 156, 0xA3AF},
                                         Row{"Big5FullwidthA", false, 0xA2CF, 266, 0xA3C1},
                                         Row{"Big5Yi", false, 0xA440, 471, 0xD2BB},
                                         Row{"Big5Guo", false, 0xB0EA, 2491, 0xB9FA},
                                         Row{"Big5Ai", false, 0xB752, 3472, 0xB0AE},
                                         Row{"Big5Unassigned", false, 0xC879, 6180, 0x2020},
                                         Row{"Big5QiWithoutCounterpart", false, 0xF9D6, 13932,
                                             0x2020},
                                         Row{"Big5LastPosition", false, 0xFEFE, 14757, 0x2020}),
                         [](const auto& info) { return info.param.name; });

TEST(GbBig5Tables, EveryCodeIsAPairOfTheTargetOrThePlaceholder) {
  for (int i = 0; i < kGBToBig5TableSize; ++i) {
    std::uint16_t c = GBToBig5Table[i];
    EXPECT_TRUE(c == kNoCounterpart || IsBig5Pair(c >> 8, c & 0xFF)) << i;
  }
  for (int i = 0; i < kBig5ToGBTableSize; ++i) {
    std::uint16_t c = Big5ToGBTable[i];
    EXPECT_TRUE(c == kNoCounterpart || IsGBPair(c >> 8, c & 0xFF)) << i;
  }
  // The GBK table: Big5 pairs or the placeholder, and GB2312's positions as above.
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      std::uint16_t c = GbkToBig5Table[(lead - 0x81) * kGbkTrails + (trail - 0x40)];
      EXPECT_TRUE(c == kNoCounterpart || IsBig5Pair(c >> 8, c & 0xFF)) << lead << " " << trail;
      if (IsGBPair(lead, trail)) {
        EXPECT_EQ(c, GBToBig5Table[GBIndex(CodeToChars(lead << 8 | trail))]);
      }
    }
  }
  // Rows 0xAA-0xAF and D7FA-D7FE are unassigned in GB2312.
  for (int lead = 0xAA; lead <= 0xAF; ++lead)
    for (int trail = 0xA1; trail <= 0xFE; ++trail)
      EXPECT_EQ(GBToBig5Table[GBIndex(CodeToChars(lead << 8 | trail))], kNoCounterpart);
  for (int trail = 0xFA; trail <= 0xFE; ++trail)
    EXPECT_EQ(GBToBig5Table[GBIndex(CodeToChars(0xD700 | trail))], kNoCounterpart);
}

TEST(GbBig5Tables, AtMostFourBig5CodesShareOneGbCode) {
  std::vector<int> count(0x10000);
  for (std::uint16_t c : Big5ToGBTable)
    if (c != kNoCounterpart) {
      EXPECT_LE(++count[c], 4) << std::hex << c;
    }
}

TEST(GbBig5Tables, IdeographsThatStayTheSameComeBack) {
  // Every GB2312 ideograph whose Big5 form is the same character converts back to itself,
  // except the few that are also the traditional form of a more common simplified character:
  // Big5 text means that one (後来 is 后来), so they come back as it.
  const CodePage& gbk = gbk_code_page();
  const std::string traditional_too = gbk.from_utf8("乾菸薹捱摺吒後徵夥甯於麴醣");
  int same = 0;
  for (int lead = 0xB0; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      std::string gb = CodeToChars(lead << 8 | trail);
      std::string big5 = GBToBig5(gb);
      if (big5 == "  " || big5_to_utf8(big5) != gbk.to_utf8(gb)) continue;
      ++same;
      bool exception = false;
      for (size_t k = 0; k < traditional_too.size(); k += 2)
        exception |= traditional_too.substr(k, 2) == gb;
      if (exception)
        EXPECT_NE(Big5ToGB(big5), gb) << gbk.to_utf8(gb);
      else
        EXPECT_EQ(Big5ToGB(big5), gb) << gbk.to_utf8(gb) << " " << gbk.to_utf8(Big5ToGB(big5));
    }
  }
  EXPECT_EQ(same, 4264);
}

TEST(GbBig5Tables, SimplifiedCharactersTakeTheFormBig5Holds) {
  // The first traditional form of each (爲, 啓, 麽) is missing from Big5; the next one
  // that Big5 holds is used, not two spaces. 台 and 制 stay, as before.
  const CodePage& gbk = gbk_code_page();
  EXPECT_EQ(big5_to_utf8(GBToBig5(gbk.from_utf8("为启么着"))), "為啟麼著");
  EXPECT_EQ(big5_to_utf8(GBToBig5(gbk.from_utf8("台制发"))), "台制發");
}

TEST(GbBig5Pairs, TestsAndIndexes) {
  EXPECT_TRUE(IsGBPair(0xA1, 0xA1));
  EXPECT_TRUE(IsGBPair(0xF7, 0xFE));
  EXPECT_FALSE(IsGBPair(0xF8, 0xA1));
  EXPECT_FALSE(IsGBPair(0xB0, 0xA0));
  EXPECT_FALSE(IsGBPair(0xB0, 0xFF));
  EXPECT_TRUE(IsBig5Pair(0xA1, 0x40));
  EXPECT_TRUE(IsBig5Pair(0xFF, 0x7E));  // a lead of 0xFF passes; its index lies outside
  EXPECT_FALSE(IsBig5Pair(0xA0, 0x40));
  for (int trail : {0x3F, 0x7F, 0x80, 0xA0, 0xFF}) EXPECT_FALSE(IsBig5Pair(0xA4, trail)) << trail;

  EXPECT_EQ(GBIndex(""), -1);
  EXPECT_EQ(GBIndex("\xB0"), -1);
  EXPECT_EQ(GBIndex("\xA1\xA1zz"), 0);
  EXPECT_EQ(GBIndex("AB"), ('A' - 0xA1) * 94 + ('B' - 0xA1));  // no range check
  EXPECT_EQ(Big5Index("\xA1"), -1);
  EXPECT_EQ(Big5Index("\xA1\x7F"), -1);
  EXPECT_EQ(Big5Index("\xA1\x7E"), 62);
  EXPECT_EQ(Big5Index("\xA1\xA1"), 63);
  EXPECT_EQ(Big5Index("\xFF\x40"), 14758);  // beyond the table: the conversion copies it
  EXPECT_EQ(CodeToChars(0xB0EA), "\xB0\xEA");
  EXPECT_EQ(CodeToChars(0x2020), "  ");
}

struct TextCase {
  const char* name;
  bool gb_to_big5;
  std::string in;
  std::string out;
};

class Conversion : public testing::TestWithParam<TextCase> {};

TEST_P(Conversion, KeepsLengthAndSingleBytes) {
  const TextCase& c = GetParam();
  std::string got = c.gb_to_big5 ? GBToBig5(c.in) : Big5ToGB(c.in);
  EXPECT_EQ(got, c.out);
  EXPECT_EQ(got.size(), c.in.size());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Conversion,
    testing::Values(
        TextCase{"GbEmpty", true, "", ""}, TextCase{"Big5Empty", false, "", ""},
        TextCase{"GbAscii", true, "Hello, world! 1+1=2", "Hello, world! 1+1=2"},
        TextCase{"Big5Ascii", false, "Hello, world! 1+1=2", "Hello, world! 1+1=2"},
        TextCase{"GbMixed", true, "a\xB0\xAE\xB9\xFA!", "a\xB7\x52\xB0\xEA!"},
        TextCase{"Big5Mixed", false, "a\xB7\x52\xB0\xEA!", "a\xB0\xAE\xB9\xFA!"},
        TextCase{"GbNoCounterpartKeepsLength", true, "x\xB9\xE8y", "x  y"},
        TextCase{"GbLoneLeadAtEnd", true, "\xB9\xFA\xB0", "\xB0\xEA\xB0"},
        TextCase{"Big5LoneLeadAtEnd", false, "\xB0\xEA\xB0", "\xB9\xFA\xB0"},
        // 0xB0 before a byte that ends no GBK character is a single byte; "1" is examined
        // afresh.
        TextCase{"GbLeadBeforeNonTrail", true,
                 "\xB0"
                 "1\xB9\xFA",
                 "\xB0"
                 "1\xB0\xEA"},
        // Every GBK character is one character, inside GB2312 or not: 癆 (B0 41, with an ASCII
        // trail) and 儲 (83 A6) convert whole, and 存。中文 after 儲 keeps its step.
        TextCase{"GbkAsciiTrail", true, "\xB0\x41\xB9\xFA", "\xC0\xF7\xB0\xEA"},
        TextCase{"GbkOutsideGb2312KeepsStep", true, "\x83\xA6\xB4\xE6\xA1\xA3\xD6\xD0\xCE\xC4",
                 "\xC0\x78\xA6\x73\xA1\x43\xA4\xA4\xA4\xE5"},
        // 丂 (81 40) has no Big5 form: two spaces, and the next character is found.
        TextCase{"GbkWithoutBig5Form", true, "\x81\x40\xB0\xAE", "  \xB7\x52"},
        TextCase{"GbkBadTrailIsSingle", true, "\x81\x7F\xB0\xAE", "\x81\x7F\xB7\x52"},
        TextCase{"Big5BadTrails", false, "\xA4\x7F\xA4\x80\xA4\xA0\xA4\xFF",
                 "\xA4\x7F\xA4\x80\xA4\xA0\xA4\xFF"},
        TextCase{"Big5LeadFF", false, "\xFF\x40\xFF\xA1", "\xFF\x40\xFF\xA1"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace lq

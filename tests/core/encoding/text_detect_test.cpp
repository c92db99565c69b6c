#include "core/encoding/text_detect.h"

#include <gtest/gtest.h>

#include <ostream>

#include "core/encoding/byte_scan.h"
#include "core/encoding/code_page.h"

namespace lq {
namespace {

std::string gbk(std::string_view utf8) {
  return gbk_code_page().from_utf8(utf8);
}

std::string repeat(std::string_view s, size_t n) {
  std::string out;
  for (size_t k = 0; k < n; ++k) out += s;
  return out;
}

const char* detected(std::string_view bytes) {
  return detect_code_page(bytes, EncodingChoice::Auto).page->name();
}

// Short GBK text that happens to be valid UTF-8: the UTF-8 reading (after the arrow) is no
// ordinary text, so GBK wins.
struct GbkLine {
  const char* name;
  const char* text;  // written here in UTF-8, tested in GBK
};

void PrintTo(const GbkLine& c, std::ostream* os) {
  *os << c.name;
}

class ShortGbkValidAsUtf8 : public testing::TestWithParam<GbkLine> {};

TEST_P(ShortGbkValidAsUtf8, IsGbk) {
  const std::string bytes = gbk(GetParam().text);
  ASSERT_TRUE(is_utf8_text(bytes)) << "not a hard case";
  EXPECT_STREQ(detected(bytes), "GBK");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortGbkValidAsUtf8,
    testing::Values(GbkLine{"Wei", "为"},                     // Ϊ
                    GbkLine{"Shi", "十"},                     // ʮ, IPA: Latin but no alphabet's
                    GbkLine{"Xiao", "小"},                    // С, Cyrillic
                    GbkLine{"ShiShi", "实时"},                // ʵʱ
                    GbkLine{"TongShi", "同时"},               // a combining mark, then ʱ
                    GbkLine{"MaoTai", "茅台"},                // é and a combining ogonek
                    GbkLine{"WeiShenMe", "为什么"},           // Ϊʲô
                    GbkLine{"ZhuanYeZhiShi", "专业知识"},     // רҵ֪ʶ
                    GbkLine{"WeiShenMeXueXi", "为什么学习"},  // Ϊʲôѧϰ
                    GbkLine{"XueXiYiXieZhiShi", "学习一些知识"},  // ѧϰһЩ֪ʶ
                    GbkLine{"AmidAscii", "1. 学习: ok"},
                    // Over ten double-byte characters ICU's frequency count joins in.
                    GbkLine{"RepeatedPastIcuThreshold", "为什么为什么为什么为什么"}),
    [](const auto& info) { return info.param.name; });

struct Utf8Line {
  const char* name;
  const char* text;
};

void PrintTo(const Utf8Line& c, std::ostream* os) {
  *os << c.name;
}

class ShortUtf8 : public testing::TestWithParam<Utf8Line> {};

TEST_P(ShortUtf8, IsUtf8) {
  const DetectedText d = detect_code_page(GetParam().text, EncodingChoice::Auto);
  EXPECT_STREQ(d.page->name(), "UTF-8");
  EXPECT_EQ(d.bom_len, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortUtf8,
    testing::Values(Utf8Line{"FuLu", "附录"}, Utf8Line{"ZhongWen", "中文"},
                    Utf8Line{"OneCharacter", "中"}, Utf8Line{"Pinyin", "zhōng wén"},
                    // Both readings are ordinary here (人们 reads 浜轰滑 in GBK, é reads 茅,
                    // ü 眉, ° 掳): valid UTF-8 stays UTF-8.
                    Utf8Line{"GbkReadingIsHanziToo", "人们"}, Utf8Line{"EAcute", "é"},
                    Utf8Line{"Umlaut", "Müller"}, Utf8Line{"Degree", "25°C"},
                    Utf8Line{"Copyright", "© 2024"}, Utf8Line{"Accents", "naïve café"},
                    Utf8Line{"Cyrillic", "Привет"}, Utf8Line{"Greek", "λόγος"},
                    // The GBK reading is ordinary (伪尾纬...) and the Greek is not, but ICU
                    // finds none of those characters frequent.
                    Utf8Line{"DozenGreekLetters", "the α β γ δ ε ζ η θ ι κ λ μ values"}),
    [](const auto& info) { return info.param.name; });

TEST(DetectCodePage, LoneGreekLetterReadsAsACommonCharacter) {
  // α is CE B1, which is 伪 in GBK: too little to tell, and GBK wins.
  EXPECT_STREQ(detected("α"), "GBK");
}

struct Rule {
  const char* name;
  std::string bytes;
  EncodingChoice choice;
  const CodePage& (*page)();
  size_t bom_len;
};

void PrintTo(const Rule& c, std::ostream* os) {
  *os << c.name;
}

class DetectRules : public testing::TestWithParam<Rule> {};

TEST_P(DetectRules, Detects) {
  const Rule& r = GetParam();
  const DetectedText d = detect_code_page(r.bytes, r.choice);
  EXPECT_EQ(d.page, &r.page()) << d.page->name();
  EXPECT_EQ(d.bom_len, r.bom_len);
}

// The detection window is 64 KB from the first byte above ASCII. The text before a character
// cut by its end: 中 is three bytes, and 2 + 3 * 21844 = 65534.
const std::string kUpToCut = "é" + repeat("中", 21844);

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectRules,
    testing::Values(
        Rule{"Empty", "", EncodingChoice::Auto, code_page, 0},
        Rule{"AsciiIsTheProgramsPage", "plain\r\ntext\n", EncodingChoice::Auto, code_page, 0},
        Rule{"BomOnly", "\xEF\xBB\xBF", EncodingChoice::Auto, utf8_code_page, 3},
        Rule{"BomBeforeGbk", "\xEF\xBB\xBF" + gbk("中文"), EncodingChoice::Auto, utf8_code_page, 3},
        Rule{"GbkNotValidUtf8", gbk("中文"), EncodingChoice::Auto, gbk_code_page, 0},
        Rule{"TruncatedUtf8AtEndOfFile", "中文\xE4\xB8", EncodingChoice::Auto, gbk_code_page, 0},
        Rule{"AsciiBeyondWindowThenGbk", repeat("header\n", 20000) + gbk("中文"),
             EncodingChoice::Auto, gbk_code_page, 0},
        Rule{"AsciiBeyondWindowThenUtf8", repeat("header\n", 20000) + "中文", EncodingChoice::Auto,
             utf8_code_page, 0},
        Rule{"WindowCutsACharacter", kUpToCut + "中中", EncodingChoice::Auto, utf8_code_page, 0},
        Rule{"BadByteAtWindowEnd", kUpToCut + "a\xC0zz", EncodingChoice::Auto, gbk_code_page, 0},
        Rule{"GbkForcedOverBom", "\xEF\xBB\xBF中文", EncodingChoice::Gbk, gbk_code_page, 0},
        Rule{"Utf8ForcedOnGbk", gbk("中文"), EncodingChoice::Utf8, utf8_code_page, 0},
        Rule{"Utf8ForcedWithBom", "\xEF\xBB\xBF" + gbk("中文"), EncodingChoice::Utf8,
             utf8_code_page, 3},
        Rule{"Utf8ForcedOnAscii", "abc", EncodingChoice::Utf8, utf8_code_page, 0}),
    [](const auto& info) { return info.param.name; });

struct NameCase {
  const char* name;
  const char* text;
  bool ok;
  EncodingChoice choice;
};

void PrintTo(const NameCase& c, std::ostream* os) {
  *os << c.name;
}

class DetectChoiceNames : public testing::TestWithParam<NameCase> {};

TEST_P(DetectChoiceNames, Reads) {
  EncodingChoice c = EncodingChoice::Auto;
  ASSERT_EQ(parse_encoding_choice(GetParam().text, c), GetParam().ok);
  if (GetParam().ok) {
    EXPECT_EQ(c, GetParam().choice);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, DetectChoiceNames,
                         testing::Values(NameCase{"Auto", "auto", true, EncodingChoice::Auto},
                                         NameCase{"AutoUpper", "AUTO", true, EncodingChoice::Auto},
                                         NameCase{"Gbk", "gbk", true, EncodingChoice::Gbk},
                                         NameCase{"GbkMixedCase", "Gbk", true, EncodingChoice::Gbk},
                                         NameCase{"Utf8", "utf-8", true, EncodingChoice::Utf8},
                                         NameCase{"Utf8Upper", "UTF-8", true, EncodingChoice::Utf8},
                                         NameCase{"Utf8NoDash", "utf8", true, EncodingChoice::Utf8},
                                         NameCase{"Empty", "", false, {}},
                                         NameCase{"Underscore", "utf_8", false, {}},
                                         NameCase{"OtherCodePage", "gb2312", false, {}},
                                         NameCase{"Padded", " gbk", false, {}}),
                         [](const auto& info) { return info.param.name; });

TEST(DetectChoiceName, ReadsBack) {
  for (EncodingChoice c : {EncodingChoice::Auto, EncodingChoice::Gbk, EncodingChoice::Utf8}) {
    EncodingChoice back = c == EncodingChoice::Auto ? EncodingChoice::Gbk : EncodingChoice::Auto;
    ASSERT_TRUE(parse_encoding_choice(encoding_choice_name(c), back));
    EXPECT_EQ(back, c);
  }
}

}  // namespace
}  // namespace lq

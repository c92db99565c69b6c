#include <gtest/gtest.h>

#include "core/operations/op_test_support.h"

namespace lq {
namespace {

using namespace lq::testing;

struct ChineseCase {
  const char* name;
  int op;
  Params params;
  std::string in;
  std::string out;
};

const Params kToSimplified = {{"RadioButton_ft2gb", "1"}};
const Params kToTraditional = {{"RadioButton_gb2ft", "1"}};
const Params kPhraseToTraditional = {{"RadioButton_gb2ft", "1"}, {"ComboBox_ft2gb1", "1"}};
const Params kPhraseToHongKong = {{"RadioButton_gb2ft", "1"}, {"ComboBox_ft2gb1", "3"}};
const Params kPhraseToSimplified = {{"RadioButton_ft2gb", "1"}, {"ComboBox_ft2gb1", "1"}};

const std::vector<ChineseCase>& chinese_cases() {
  static const std::vector<ChineseCase> cases = {
      {"GbToBig5", 7, {}, gbk("中文 a1"), "\xA4\xA4\xA4\xE5 a1"},
      {"GbToBig5Traditional", 7, {}, gbk("国"), "\xB0\xEA"},
      {"Big5ToGb", 8, {}, "\xA4\xA4\xA4\xE5 a1", gbk("中文 a1")},
      {"Big5ToGbSimplified", 8, {}, "\xB0\xEA", gbk("国")},
      {"ToTraditional", 20, kToTraditional, gbk("爱国 ok"), gbk("愛國 ok")},
      {"ToTraditionalOneFormEverywhere", 21, kToTraditional, gbk("头发"), gbk("頭發")},
      {"ToSimplified", 20, kToSimplified, gbk("愛國"), gbk("爱国")},
      {"ToSimplifiedHou", 20, kToSimplified, gbk("後"), gbk("后")},
      {"NoEntryUnchanged", 21, kToTraditional, gbk("只台面"), gbk("只台面")},
      {"ToSimplifiedBlankPiece", 20, kToSimplified, " \t", " \t"},
      {"NeitherChoiceChangesNothing", 20, {}, gbk("爱國"), gbk("爱國")},
      // Big5 lacks 爲, 啓, 麽 and 着: the next traditional form it holds.
      {"GbToBig5NextForm", 7, {}, gbk("为启么着"), "\xAC\xB0\xB1\xD2\xBB\xF2\xB5\xDB"},
      // 儲 (GBK outside GB2312) converts whole; 。中文 after it keeps its step.
      {"GbToBig5GbkCharacterWhole",
       7,
       {},
       gbk("儲存。中文"),
       "\xC0\x78\xA6\x73\xA1\x43\xA4\xA4\xA4\xE5"},
      {"ToSimplifiedEveryForm", 20, kToSimplified, gbk("為爲啟裡製"), gbk("为为启里制")},
      {"ClassicOneFormForFu", 21, kToTraditional, gbk("复杂 恢复"), gbk("復雜 恢復")},
      {"PhraseFu", 21, kPhraseToTraditional, gbk("复杂 恢复"), gbk("複雜 恢復")},
      {"PhraseTaiwanCommon", 21, kPhraseToTraditional, gbk("台湾"), gbk("臺灣")},
      {"PhraseHongKongStandard", 21, kPhraseToHongKong, gbk("台湾"), gbk("台灣")},
      {"PhraseToSimplified", 20, kPhraseToSimplified, gbk("複雜 恢復 臺灣"), gbk("复杂 恢复 台湾")},
      // Bytes that are no GBK character pass as they are, the text around them converts.
      {"PhraseKeepsBadBytes", 21, kPhraseToTraditional,
       "\xFF" + gbk("复杂") + std::string(1, '\0') + "\x81",
       "\xFF" + gbk("複雜") + std::string(1, '\0') + "\x81"},
  };
  return cases;
}

class ChineseOperations : public ::testing::TestWithParam<ChineseCase> {};

TEST_P(ChineseOperations, ConvertPiece) {
  const ChineseCase& c = GetParam();
  auto op = make_op(c.op, c.params);
  ASSERT_NE(op, nullptr);
  std::string got = apply_line(*op, c.in);
  EXPECT_EQ(got, c.out) << hex(got) << " != " << hex(c.out);
}

TEST_P(ChineseOperations, DisabledChangesNothing) {
  const ChineseCase& c = GetParam();
  auto op = make_op(c.op, c.params, false);
  ASSERT_NE(op, nullptr);
  EXPECT_EQ(apply_line(*op, c.in), c.in);
}

// A piece of a file in `page`, converted as a run does; the characters kept unconverted.
std::int64_t apply_in_page(Operation& op, std::string& piece, const CodePage& page) {
  RunContext context;
  context.page = &page;
  OperationEnv env;
  env.context = &context;
  op.set_env(env);
  piece = apply_line(op, piece);
  op.set_env({});
  return context.unconverted_chars;
}

TEST(ChinesePhrases, Utf8TextConvertsWithoutGbk) {
  // 𠮷 has no GBK form and stays; the phrase around it still converts.
  auto op = make_op(21, kPhraseToTraditional);
  std::string piece = "复杂𠮷恢复";
  EXPECT_EQ(apply_in_page(*op, piece, utf8_code_page()), 0);
  EXPECT_EQ(piece, "複雜𠮷恢復");
}

TEST(ChinesePhrases, GbkKeepsWhatItCannotHoldAndCountsIt) {
  // 鳚's traditional form 䲁 is not in GBK: 鳚 stays, 鱼 becomes 魚.
  auto op = make_op(21, kPhraseToTraditional);
  std::string piece = gbk("鳚鱼 复杂");
  EXPECT_EQ(apply_in_page(*op, piece, gbk_code_page()), 1);
  EXPECT_EQ(piece, gbk("鳚魚 複雜"));
}

TEST(ChinesePhrases, ClassicIsTheDefault) {
  auto op = make_op(21, kToTraditional);
  EXPECT_EQ(op->params().text("ComboBox_ft2gb1"), "0");
}

INSTANTIATE_TEST_SUITE_P(Table, ChineseOperations, ::testing::ValuesIn(chinese_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lq

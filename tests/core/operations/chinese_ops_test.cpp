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

INSTANTIATE_TEST_SUITE_P(Table, ChineseOperations, ::testing::ValuesIn(chinese_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lq

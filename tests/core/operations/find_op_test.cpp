#include "core/operations/find_op.h"

#include <gtest/gtest.h>

#include "core/encoding/code_page.h"
#include "core/operations/catalogue.h"
#include "core/operations/find_result_line.h"
#include "core/operations/operation_chain.h"
#include "core/run/run_context.h"

namespace lq {
namespace {

std::string gbk(const char* utf8) {
  return code_page().from_utf8(utf8);
}

struct Found {
  std::string key;
  int column;
};

struct Case {
  const char* name;
  bool case_sensitive;
  std::string query, piece;
  std::vector<Found> expected;
};

class FindCases : public ::testing::TestWithParam<Case> {};

TEST_P(FindCases, ResultsThroughTheChain) {
  const Case& c = GetParam();
  RunContext ctx;
  ctx.file_name = "/d/a.txt";
  ctx.line_index = 12;
  FindResults results;
  FindOp op;
  op.set_enabled(true);
  op.params().set("Edit_find1", c.query);
  op.set_env({&ctx, &results, nullptr, c.case_sensitive});
  OperationChain chain;
  chain.append(&op);
  EXPECT_EQ(chain.run_line_steps(c.piece), c.piece);
  EXPECT_TRUE(ctx.find_ran);
  ASSERT_EQ(results.size(), c.expected.size());
  for (size_t i = 0; i < results.size(); ++i)
    EXPECT_EQ(results[i],
              format_find_result("/d/a.txt", 12, c.expected[i].column, c.expected[i].key, c.piece));
}

INSTANTIATE_TEST_SUITE_P(
    Find, FindCases,
    ::testing::Values(
        Case{"two_occurrences", false, "abc", "xabcabc", {{"abc", 2}, {"abc", 5}}},
        Case{"no_overlap", false, "aa", "aaaa", {{"aa", 1}, {"aa", 3}}},
        Case{"and_query_all_present", false, "1 and 2", "12", {{"1", 1}}},
        Case{"and_query_one_missing", false, "1 and 2", "13", {}},
        Case{"and_query_records_every_first_term", false, "a and b", "ab a", {{"a", 1}, {"a", 4}}},
        Case{"and_query_blank_parts_dropped", false, " and x and  and y", "yx", {{"x", 2}}},
        Case{"connector_must_be_lower_case", false, "1 AND 2", "1 AND 2", {{"1 AND 2", 1}}},
        Case{"caseless_keeps_query_and_piece", false, "ABC", "xabc", {{"ABC", 2}}},
        Case{"exact_case", true, "ABC", "xabc", {}},
        Case{"and_terms_exact_case", true, "a and B", "ab", {}},
        Case{"empty_query", false, "", "abc", {}},
        // "f" is the second byte of 說 (D5 66): not an occurrence.
        Case{"second_byte_is_no_match",
             true,
             "f",
             "\xD5\x66"
             "f",
             {{"f", 3}}},
        // The same behind runs of ASCII long enough to be passed in blocks, and with the
        // character inside such a block.
        Case{"second_byte_after_long_ascii",
             true,
             "f",
             "0123456789abcdef\xD5\x66"
             "f",
             {{"f", 16}, {"f", 19}}},
        Case{"second_byte_inside_ascii_block",
             true,
             "f",
             "0123456\xD5\x66"
             "f",
             {{"f", 10}}},
        Case{"and_term_inside_character_is_missing", false, "x and f", "x\xD5\x66", {}},
        // 統 (BD 79) is no caseless 結 (BD 59); "@" is the second byte of 丂 (81 40); half
        // of 中 (D6 D0) is no match inside it.
        Case{"caseless_jie_column_of_first_byte",
             false,
             "\xBD\x59",
             "\xBD\x79\xBD\x59",
             {{"\xBD\x59", 3}}},
        Case{"at_sign_after_kao", false, "@", "\x81\x40@", {{"@", 3}}},
        Case{"lead_byte_alone_inside_character", true, "\xD6", "\xD6\xD0", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Find, ResultLineLayout) {
  EXPECT_EQ(format_find_result("D:\\x\\a.txt", 12, 5, "abc", "xxxxabcxx"),
            gbk("文件名=D:\\x\\a.txt;行=12;列=5;查找内容=abc;内容=xxxxabcxx"));
}

TEST(Find, DisabledFindsNothingAndDoesNotMarkTheRun) {
  RunContext ctx;
  FindResults results;
  FindOp op;
  op.params().set("Edit_find1", "a");
  op.set_env({&ctx, &results, nullptr, false});
  std::string text = "aaa";
  op.line_step(text);
  EXPECT_FALSE(ctx.find_ran);
  EXPECT_TRUE(results.empty());
}

TEST(Find, DocumentStepRecordsQueryLengthEnabledOrNot) {
  RunContext ctx;
  FindOp op;
  op.set_env({&ctx, nullptr, nullptr, false});
  op.params().set("Edit_find1", gbk("中文 and x"));
  LineList lines{"a"};
  op.document_step(lines, "f");
  EXPECT_EQ(ctx.find_query_len, 10);
  EXPECT_EQ(lines, LineList{"a"});
}

TEST(Find, FactoryIsRegistered) {
  auto op = PanelClassRegistry::instance().create("TControlForm_find");
  EXPECT_NE(dynamic_cast<FindOp*>(op.get()), nullptr);
}

struct ParseCase {
  const char* name;
  std::string line;
  std::string path;
  int line_index, column;
};

class ParseResult : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseResult, ReadsPathLineColumn) {
  const ParseCase& c = GetParam();
  FindLocation loc = parse_find_result(c.line);
  EXPECT_EQ(loc.path, c.path);
  EXPECT_EQ(loc.line, c.line_index);
  EXPECT_EQ(loc.column, c.column);
}

INSTANTIATE_TEST_SUITE_P(
    Find, ParseResult,
    ::testing::Values(
        ParseCase{"plain", format_find_result("/d/a.txt", 3, 7, "q;x", "a;b=c"), "/d/a.txt", 3, 7},
        ParseCase{"semicolon_in_file_name", format_find_result("/d/a;b.txt", 0, 1, "q", "p"),
                  "/d/a;b.txt", 0, 1},
        ParseCase{"lookalike_in_file_name",
                  format_find_result(gbk("/d/x;行=1;y.txt"), 9, 2, "q", "p"),
                  gbk("/d/x;行=1;y.txt"), 9, 2},
        ParseCase{"clipboard", format_find_result(kClipboardEntry, 4, 2, "q", "p"), kClipboardEntry,
                  4, 2},
        ParseCase{"numbers_trimmed", gbk("文件名=f;行= 5 ;列=2"), "f", 5, 2},
        ParseCase{"bad_numbers_read_as_zero", gbk("文件名=f;行=x;列=;查找内容=a"), "f", 0, 0},
        ParseCase{"fields_in_other_order", gbk("列=3;行=2;文件名=g"), "g", 2, 3},
        ParseCase{"not_a_result", "hello", "", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lq

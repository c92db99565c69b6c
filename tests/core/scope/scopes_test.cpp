#include "core/scope/scopes.h"

#include <gtest/gtest.h>

#include "core/encoding/code_page.h"
#include "core/run/run_host.h"
#include "core/run_error.h"

namespace lq {
namespace {

// C(x) = {x}, so every selected piece shows where it was cut.
struct Braces : Operation {
  Braces() : Operation({}) { set_enabled(true); }
  void line_step(std::string& t) override {
    if (enabled()) t = "{" + t + "}";
  }
};

std::string gbk(std::string_view utf8) {
  return gbk_code_page().from_utf8(utf8);
}

struct ScopeCase {
  std::string name;
  int mode;
  std::vector<std::pair<std::string, std::string>> set;
  LineList in;
  LineList out;
  bool case_sensitive = false;
};

std::ostream& operator<<(std::ostream& os, const ScopeCase& c) {
  return os << c.name;
}

class ScopeTable : public testing::TestWithParam<ScopeCase> {};

TEST_P(ScopeTable, CutsAndGluesBack) {
  const ScopeCase& c = GetParam();
  Braces braces;
  OperationChain chain;
  chain.append(&braces);
  ScopeSettings settings;
  settings.select(c.mode);
  for (const auto& [name, value] : c.set) ASSERT_TRUE(settings.set(name, value)) << name;
  RunContext context;
  ScopeRun run{chain, settings, context, nullptr, c.case_sensitive};
  LineList lines = c.in;
  run_scope(lines, run);
  EXPECT_EQ(lines, c.out);
}

using V = std::vector<std::pair<std::string, std::string>>;

INSTANTIATE_TEST_SUITE_P(
    PerLine, ScopeTable,
    testing::Values(
        ScopeCase{"whole", 1, {}, {"ab", ""}, {"{ab}", "{}"}},
        ScopeCase{"first2", 2, V{{"Edit_fw_qj1", " 2 "}}, {"abcd"}, {"{ab}cd"}},
        ScopeCase{"first10_longer_than_line", 2, V{{"Edit_fw_qj1", "10"}}, {"abcd"}, {"{abcd}"}},
        ScopeCase{"first0_calls_C_on_nothing", 2, V{{"Edit_fw_qj1", "0"}}, {"ab"}, {"{}ab"}},
        ScopeCase{"first_negative", 2, V{{"Edit_fw_qj1", "-3"}}, {"ab"}, {"{}ab"}},
        ScopeCase{"before_2nd_comma",
                  3,
                  V{{"Edit_fw_qz1", "2"}, {"Edit_fw_qz2", ","}},
                  {"a,b,c"},
                  {"{a,b},c"}},
        ScopeCase{"before_missing_unchanged",
                  3,
                  V{{"Edit_fw_qz1", "2"}, {"Edit_fw_qz2", ","}},
                  {"a,b"},
                  {"a,b"}},
        ScopeCase{"before_missing_whole_line",
                  3,
                  V{{"Edit_fw_qz1", "2"}, {"Edit_fw_qz2", ","}, {"CheckBox_fw_qz3", "1"}},
                  {"a,b"},
                  {"{a,b}"}},
        ScopeCase{"before_empty_X_never_found", 3, V{{"Edit_fw_qz1", "1"}}, {"ab"}, {"ab"}},
        ScopeCase{
            "containing_folds_case", 4, V{{"Edit_hy1", "ABC"}}, {"xabcx", "xy"}, {"{xabcx}", "xy"}},
        ScopeCase{
            "containing_case_sensitive", 4, V{{"Edit_hy1", "ABC"}}, {"xabcx"}, {"xabcx"}, true},
        ScopeCase{"containing_empty_X_no_line", 4, {}, {"a"}, {"a"}},
        ScopeCase{"not_containing", 6, V{{"edit_bh1", "b"}}, {"abc", "xyz"}, {"abc", "{xyz}"}},
        ScopeCase{"not_containing_empty_X_every_line", 6, {}, {"a", ""}, {"{a}", "{}"}},
        ScopeCase{"between_commas",
                  5,
                  V{{"Edit_qjhj2", ","}, {"Edit_qjhj3", "2"}, {"Edit_qjhj4", ","}},
                  {"a,b,c"},
                  {"a,{b},c"}},
        ScopeCase{"between_longer_X_keeps_rest_of_X_inside",
                  5,
                  V{{"Edit_qjhj2", "<<"}, {"Edit_qjhj4", ">"}},
                  {"a<<b>c"},
                  {"a<{<b}>c"}},
        ScopeCase{"between_no_X_starts_at_line_start",
                  5,
                  V{{"Edit_qjhj2", "#"}, {"Edit_qjhj4", ","}},
                  {"ab,c"},
                  {"{ab},c"}},
        ScopeCase{
            "between_bad_counts_are_zero",
            5,
            V{{"Edit_qjhj1", "x"}, {"Edit_qjhj2", ","}, {"Edit_qjhj3", "1"}, {"Edit_qjhj4", ","}},
            {"a,b"},
            {"{a},b"}},
        ScopeCase{"between_no_Y_runs_to_end",
                  5,
                  V{{"Edit_qjhj2", ","}, {"Edit_qjhj4", ";"}},
                  {"a,b,c"},
                  {"a,{b,c}"}},
        ScopeCase{"between_Y_before_X_empty_selection",
                  5,
                  V{{"Edit_qjhj2", ","}, {"Edit_qjhj4", ";"}},
                  {"a;b,c"},
                  {"a;b,{}c"}},
        ScopeCase{
            "between_Y_is_X", 5, V{{"Edit_qjhj2", ","}, {"Edit_qjhj4", ","}}, {"a,b"}, {"a,{}b"}},
        ScopeCase{"last2", 8, V{{"Edit_fw_hj1", "2"}}, {"abcd"}, {"ab{cd}"}},
        ScopeCase{"last0_appends_C_of_nothing", 8, V{{"Edit_fw_hj1", "0"}}, {"ab"}, {"ab{}"}},
        ScopeCase{"last_more_than_line", 8, V{{"Edit_fw_hj1", "9"}}, {"ab"}, {"{ab}"}},
        ScopeCase{"last_bad_text_takes_first_length",
                  8,
                  V{{"Edit_fw_hj1", "x"}},
                  {"abc", "abcde"},
                  {"{abc}", "ab{cde}"}},
        ScopeCase{"length3",
                  11,
                  V{{"Edit_fw_len1", "3"}},
                  {"abc", "ab", "a=bcd"},
                  {"{abc}", "ab", "a=bcd"}},
        ScopeCase{"length_counts_bytes",
                  11,
                  V{{"Edit_fw_len1", "4"}},
                  {gbk("中文")},
                  {"{" + gbk("中文") + "}"}},
        ScopeCase{"enclosed_two",
                  12,
                  {},
                  {"f(a)(b)", "()", "a(b", "(a)b"},
                  {"f({a})({b})", "({})", "a(b", "({a})b"}},
        ScopeCase{"enclosed_empty_marker_nothing", 12, V{{"Edit_fw_e_sp1", ""}}, {"(a)"}, {"(a)"}},
        ScopeCase{"enclosed_multibyte_markers",
                  12,
                  V{{"Edit_fw_b_sp1", "<<"}, {"Edit_fw_e_sp1", ">>"}},
                  {"x<<y>>z<<w"},
                  {"x<<{y}>>z<<w"}},
        ScopeCase{"every2", 13, V{{"Edit_fw_mg1", "2"}}, {"abcde", ""}, {"{ab}{cd}{e}", ""}},
        ScopeCase{"every2_never_splits_a_character",
                  13,
                  V{{"Edit_fw_mg1", "2"}},
                  {"a" + gbk("中")},
                  {"{a}{" + gbk("中") + "}"}},
        ScopeCase{"every1_keeps_characters_whole",
                  13,
                  V{{"Edit_fw_mg1", "1"}},
                  {gbk("中") + "a"},
                  {"{" + gbk("中") + "}{a}"}},
        ScopeCase{"every0_one_character_each",
                  13,
                  V{{"Edit_fw_mg1", "0"}},
                  {"ab" + gbk("中")},
                  {"{a}{b}{" + gbk("中") + "}"}},
        ScopeCase{"after_last",
                  14,
                  V{{"edit_fw_sp_r1", ","}},
                  {"a,b,cd", "a,b,", "abc"},
                  {"a,b,{cd}", "a,b,{}", "abc"}},
        ScopeCase{"after_last_overlapping", 14, V{{"edit_fw_sp_r1", "xx"}}, {"axxxb"}, {"axxx{b}"}},
        ScopeCase{
            "after_first", 15, V{{"Edit_fw_sp_l1", ","}}, {"a,b,cd", "abc"}, {"a,{b,cd}", "abc"}},
        ScopeCase{"after_first_empty_D", 15, {}, {"a,b"}, {"a,b"}}),
    [](const auto& info) { return info.param.name; });

// 丂 is 81 40: its second byte is "@". 統 is BD 79 and 結 BD 59: they differ in a second
// byte that ASCII folding would make equal. No search may find, and no cut may split, half
// a character.
const std::string kKao = gbk("丂");

INSTANTIATE_TEST_SUITE_P(
    Characters, ScopeTable,
    testing::Values(
        ScopeCase{
            "containing_at_not_in_kao", 4, V{{"Edit_hy1", "@"}}, {kKao, "a@"}, {kKao, "{a@}"}},
        ScopeCase{"containing_caseless_jie_not_tong",
                  4,
                  V{{"Edit_hy1", gbk("結")}},
                  {gbk("統"), gbk("結")},
                  {gbk("統"), "{" + gbk("結") + "}"}},
        ScopeCase{"not_containing_at", 6, V{{"edit_bh1", "@"}}, {kKao}, {"{" + kKao + "}"}},
        ScopeCase{"first1_keeps_zhong_whole",
                  2,
                  V{{"Edit_fw_qj1", "1"}},
                  {gbk("中文")},
                  {"{}" + gbk("中文")}},
        ScopeCase{"first3_one_character",
                  2,
                  V{{"Edit_fw_qj1", "3"}},
                  {gbk("中文")},
                  {"{" + gbk("中") + "}" + gbk("文")}},
        ScopeCase{"last1_keeps_wen_whole",
                  8,
                  V{{"Edit_fw_hj1", "1"}},
                  {gbk("中文")},
                  {gbk("中文") + "{}"}},
        ScopeCase{"last3_one_character",
                  8,
                  V{{"Edit_fw_hj1", "3"}},
                  {gbk("中文")},
                  {gbk("中") + "{" + gbk("文") + "}"}},
        ScopeCase{"before_at", 3, V{{"Edit_fw_qz2", "@"}}, {kKao + "@x"}, {"{" + kKao + "}@x"}},
        ScopeCase{"between_characters",
                  5,
                  V{{"Edit_qjhj2", gbk("中")}, {"Edit_qjhj4", gbk("文")}},
                  {"a" + gbk("中") + "b" + gbk("文") + "c"},
                  {"a" + gbk("中") + "{b}" + gbk("文") + "c"}},
        ScopeCase{"between_at_markers",
                  5,
                  V{{"Edit_qjhj2", "@"}, {"Edit_qjhj4", "@"}, {"Edit_qjhj3", "2"}},
                  {kKao + "@x" + kKao + "@"},
                  {kKao + "@{x" + kKao + "}@"}},
        ScopeCase{"enclosed_at",
                  12,
                  V{{"Edit_fw_b_sp1", "@"}, {"Edit_fw_e_sp1", "@"}},
                  {kKao + "@x@"},
                  {kKao + "@{x}@"}},
        ScopeCase{
            "after_last_at", 14, V{{"edit_fw_sp_r1", "@"}}, {"a@" + kKao}, {"a@{" + kKao + "}"}},
        ScopeCase{
            "after_first_at", 15, V{{"Edit_fw_sp_l1", "@"}}, {kKao + "b@c"}, {kKao + "b@{c}"}},
        ScopeCase{"markers_at", 7, V{{"Edit_qj2", "@"}}, {kKao, "a"}, {kKao, "a"}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    LineRanges, ScopeTable,
    testing::Values(ScopeCase{"markers",
                              7,
                              V{{"Edit_qj2", "start"}, {"Edit_qj4", "end"}},
                              {"x", "start", "a", "end", "b"},
                              {"x", "start", "{a}", "{end}", "b"}},
                    ScopeCase{"markers_same_line",
                              7,
                              V{{"Edit_qj2", "start"}, {"Edit_qj4", "end"}},
                              {"a", "start end", "b"},
                              {"a", "start end", "b"}},
                    ScopeCase{"markers_second_X_missing",
                              7,
                              V{{"Edit_qj1", "2"}, {"Edit_qj2", "start"}, {"Edit_qj4", "end"}},
                              {"start", "a", "end"},
                              {"start", "a", "end"}},
                    ScopeCase{"markers_a0_from_first_line",
                              7,
                              V{{"Edit_qj1", "0"}, {"Edit_qj2", "s"}, {"Edit_qj4", "e"}},
                              {"a", "e", "b"},
                              {"{a}", "{e}", "b"}},
                    ScopeCase{"markers_b0_nothing",
                              7,
                              V{{"Edit_qj2", "s"}, {"Edit_qj3", "0"}, {"Edit_qj4", "e"}},
                              {"s", "a"},
                              {"s", "a"}},
                    ScopeCase{"markers_empty_Y_to_end",
                              7,
                              V{{"Edit_qj2", "s"}},
                              {"s", "a", "b"},
                              {"s", "{a}", "{b}"}},
                    ScopeCase{
                        "markers_empty_X_nothing", 7, V{{"Edit_qj4", "e"}}, {"a", "e"}, {"a", "e"}},
                    ScopeCase{"line3_of_two", 9, V{{"Edit_line1", "3"}}, {"a", "b"}, {"a", "b"}},
                    ScopeCase{"line2", 9, V{{"UpDown_line1", "2"}}, {"a", "b"}, {"a", "{b}"}},
                    ScopeCase{"range2to3",
                              10,
                              V{{"Edit_line_m1", "2"}, {"Edit_line_m2", "3"}},
                              {"a", "b", "c", "d"},
                              {"a", "{b}", "{c}", "d"}},
                    ScopeCase{"range_reversed_nothing",
                              10,
                              V{{"Edit_line_m1", "3"}, {"Edit_line_m2", "2"}},
                              {"a", "b", "c"},
                              {"a", "b", "c"}},
                    ScopeCase{"range_past_end",
                              10,
                              V{{"Edit_line_m1", "2"}, {"Edit_line_m2", "99"}},
                              {"a", "b", "c"},
                              {"a", "{b}", "{c}"}}),
    [](const auto& info) { return info.param.name; });

TEST(Scopes, NoModeSelectedLeavesLines) {
  Braces braces;
  OperationChain chain;
  chain.append(&braces);
  ScopeSettings settings;
  settings.set("RadioButton_fw_all1", "0");
  ASSERT_EQ(settings.mode(), 0);
  RunContext context;
  ScopeRun run{chain, settings, context};
  LineList lines{"a"};
  run_scope(lines, run);
  EXPECT_EQ(lines, LineList{"a"});
}

struct Recorder : RunHost {
  std::vector<std::pair<std::string, std::string>> changes;
  void scope_param_changed(std::string_view name, std::string_view value) override {
    changes.emplace_back(name, value);
  }
};

TEST(Scopes, LastCharsFallbackRewritesTheBoxOnce) {
  Braces braces;
  OperationChain chain;
  chain.append(&braces);
  ScopeSettings settings;
  settings.select(8);
  settings.set("Edit_fw_hj1", "x");
  RunContext context;
  Recorder host;
  ScopeRun run{chain, settings, context, &host};
  LineList lines{"abc", "abcdef"};
  run_scope(lines, run);
  EXPECT_EQ(settings.text("Edit_fw_hj1"), "3");
  EXPECT_EQ(host.changes, (V{{"Edit_fw_hj1", "3"}}));
  EXPECT_EQ(lines, (LineList{"{abc}", "abc{def}"}));
}

TEST(Scopes, ConversionErrorsNameTheText) {
  struct Row {
    int mode;
    const char* name;
    const char* value;
  };
  // [3] is not trimmed, so a trailing blank is an error; [11] and [13] trim.
  for (const Row& r : {Row{3, "Edit_fw_qz1", "2 "}, Row{11, "Edit_fw_len1", "abc"},
                       Row{13, "Edit_fw_mg1", "1x"}}) {
    OperationChain chain;
    ScopeSettings settings;
    settings.select(r.mode);
    settings.set(r.name, r.value);
    RunContext context;
    ScopeRun run{chain, settings, context};
    LineList lines{"a", "b"};
    try {
      run_scope(lines, run);
      ADD_FAILURE() << r.name << " accepted";
    } catch (const RunError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(r.value) + "' is not a valid integer value");
      EXPECT_EQ(context.line_index, 0) << r.name;
    }
  }
}

TEST(Scopes, LineIndexFollowsEveryProcessedLine) {
  // An operation that records the line index it is called for.
  struct Spy : Operation {
    RunContext* ctx;
    std::vector<int> seen;
    explicit Spy(RunContext* c) : Operation({}), ctx(c) {}
    void line_step(std::string&) override { seen.push_back(ctx->line_index); }
  };
  struct Row {
    int mode;
    V set;
    std::vector<int> seen;
  };
  for (const Row& r :
       {Row{1, {}, {0, 1, 2}}, Row{9, V{{"Edit_line1", "2"}}, {1}},
        Row{10, V{{"Edit_line_m1", "2"}, {"Edit_line_m2", "3"}}, {1, 2}}, Row{12, {}, {0, 0, 2}}}) {
    RunContext context;
    Spy spy(&context);
    OperationChain chain;
    chain.append(&spy);
    ScopeSettings settings;
    settings.select(r.mode);
    for (const auto& [n, v] : r.set) settings.set(n, v);
    ScopeRun run{chain, settings, context};
    LineList lines{"(a)(b)", "c", "(d)"};
    run_scope(lines, run);
    EXPECT_EQ(spy.seen, r.seen) << "mode " << r.mode;
  }
}

}  // namespace
}  // namespace lq

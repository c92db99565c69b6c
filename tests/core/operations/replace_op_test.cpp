#include "core/operations/replace_op.h"

#include <gtest/gtest.h>

#include <random>

#include "core/encoding/code_page.h"
#include "core/operations/catalogue.h"
#include "core/operations/operation_chain.h"
#include "core/run_error.h"

namespace lq {
namespace {

// GBK characters whose second byte is printable ASCII: 說 = D5 66 ("f"),
// 機 = 99 43 ("C"), 誠 = D5 5C ("\").
const std::string kShuo = "\xD5\x66";
const std::string kJi = "\x99\x43";
const std::string kCheng = "\xD5\x5C";

// GBK bytes of UTF-8 text.
std::string g(const char* utf8) {
  return gbk_code_page().from_utf8(utf8);
}

enum class Mode { Plain, Wildcard, Regex };

struct Case {
  const char* name;
  Mode mode;
  bool case_sensitive;
  std::string search, replacement, piece, expected;
};

std::string hex(const std::string& s) {
  static const char* d = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += d[c >> 4];
      out += d[c & 15];
    }
  }
  return out;
}

std::unique_ptr<ReplaceOp> make_op(Mode mode, bool case_sensitive) {
  auto op = std::make_unique<ReplaceOp>();
  op->set_enabled(true);
  op->params().set_checked("CheckBox_th_r1", mode == Mode::Wildcard);
  op->params().set_checked("CheckBox_th_r2", mode == Mode::Regex);
  OperationEnv env;
  env.case_sensitive = case_sensitive;
  op->set_env(env);
  return op;
}

class ReplaceCases : public ::testing::TestWithParam<Case> {};

TEST_P(ReplaceCases, ThroughTheChain) {
  const Case& c = GetParam();
  auto op = make_op(c.mode, c.case_sensitive);
  op->params().set("Edit_th1", c.search);
  op->params().set("Edit_th2", c.replacement);
  OperationChain chain;
  chain.append(op.get());
  EXPECT_EQ(hex(chain.run_line_steps(c.piece)), hex(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Replace, ReplaceCases,
    ::testing::Values(
        Case{"plain_ignores_case", Mode::Plain, false, "ab", "X", "aBcAB", "XcX"},
        Case{"plain_exact_case", Mode::Plain, true, "ab", "X", "aBcAB", "aBcAB"},
        Case{"plain_no_overlap_no_rescan", Mode::Plain, false, "aa", "a", "aaaa", "aa"},
        Case{"plain_empty_search", Mode::Plain, false, "", "X", "abc", "abc"},
        Case{"plain_replacement_not_rescanned", Mode::Plain, false, "a", "aa", "aXa", "aaXaa"},
        Case{"wildcard_star", Mode::Wildcard, false, "a*c", "Y", "xabcx", "xYx"},
        Case{"wildcard_question_one_byte", Mode::Wildcard, false, "a?c", "Y", "abc ac", "Y ac"},
        Case{"wildcard_dot_is_literal", Mode::Wildcard, false, "a.c", "Y", "abc a.c", "abc Y"},
        Case{"wildcard_parens_plus_literal", Mode::Wildcard, false, "(1+1)", "2", "x(1+1)", "x2"},
        Case{"wildcard_lone_star_matches_end_too", Mode::Wildcard, false, "*", "X", "abc", "XX"},
        Case{"wildcard_brackets", Mode::Wildcard, false, "[a]", "X", "[a]a", "Xa"},
        Case{"regex_replacement_is_literal", Mode::Regex, false, "(b)", "$1\\0", "abc", "a$1\\0c"},
        Case{"regex_ignores_case", Mode::Regex, false, "abc", "X", "ABC", "X"},
        Case{"regex_exact_case", Mode::Regex, true, "abc", "X", "ABC", "ABC"},
        Case{"regex_inline_modifier_wins", Mode::Regex, false, "(?-i)abc", "X", "ABCabc", "ABCX"},
        Case{"regex_empty_pattern", Mode::Regex, false, "", "-", "abc", "-a-b-c-"},
        Case{"regex_dot_matches_cr_lf", Mode::Regex, false, "a.b", "X", "a\rb a\nb", "X X"},
        Case{"regex_dollar_only_at_end", Mode::Regex, false, "b$", "X", "ab\n", "ab\n"},
        Case{"regex_empty_match_after_match", Mode::Regex, false, "x*", "-", "axb", "-a--b-"},
        // A letter, backslash or bracket that is the second half of a character is no match.
        Case{"plain_trail_letter", Mode::Plain, true, "f", "X", kShuo + "f", kShuo + "X"},
        Case{"plain_trail_letter_caseless", Mode::Plain, false, "c", "X", kJi, kJi},
        Case{"regex_trail_letter", Mode::Regex, true, "f", "X", kShuo + "f", kShuo + "X"},
        Case{"regex_trail_letter_caseless", Mode::Regex, false, "c", "X", kJi + "c", kJi + "X"},
        Case{"regex_trail_backslash", Mode::Regex, false, "\\\\", "/", kCheng + "\\", kCheng + "/"},
        Case{"regex_class_skips_trail", Mode::Regex, false, "[a-z]+", "X", kShuo + "abc",
             kShuo + "X"},
        Case{"regex_empty_pattern_keeps_characters", Mode::Regex, false, "", "-", kShuo,
             "-" + kShuo + "-"},
        Case{"regex_whole_character", Mode::Regex, false, kShuo, "X", "a" + kShuo, "aX"},
        Case{"wildcard_trail_letter", Mode::Wildcard, false, "f*", "X", kShuo + "x", kShuo + "x"},
        Case{"wildcard_trail_backslash", Mode::Wildcard, false, "\\", "/", kCheng, kCheng},
        Case{"wildcard_question_is_one_character", Mode::Wildcard, false, "?", "X", kShuo + kJi,
             "XX"},
        Case{"wildcard_character_then_letter", Mode::Wildcard, false, "?f", "X", kShuo + "f" + kJi,
             "X" + kJi},
        // Real text: a trail byte that folds, or that is a class member, is no letter.
        Case{"plain_caseless_jie_not_tong", Mode::Plain, false, g("結"), g("结"), g("結統"),
             g("结統")},
        Case{"plain_caseless_jian_not_suo", Mode::Plain, false, g("鍵"), g("键"), g("鎖鍵"),
             g("鎖键")},
        Case{"regex_caseless_alternation", Mode::Regex, false, g("鍵|結"), "X", g("統鎖結鍵"),
             g("統鎖XX")},
        Case{"regex_dot_takes_a_character", Mode::Regex, false, g("文件."), "<F>", g("文件夹里"),
             g("<F>里")},
        Case{"regex_counted_dots", Mode::Regex, false, ".{2}", "X", g("中文a"), "Xa"},
        Case{"regex_negated_class", Mode::Regex, false, "[^a]", "X", g("a中b"), "aXX"},
        Case{"regex_non_word", Mode::Regex, false, "\\W", "X", g("a中_"), "aX_"},
        Case{"regex_caseless_letters_beside_gbk", Mode::Regex, false, "[a-z]+", "X", g("Ab說cD機"),
             g("X說X機")},
        Case{"regex_undecodable_bytes_stay", Mode::Regex, false, ".", "X", "\xFF\x81", "XX"},
        Case{"wildcard_star_keeps_bytes", Mode::Wildcard, false, "a*", "X",
             "b" + g("中") + "a" + g("文"), "b" + g("中") + "X"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Replace, DisabledLeavesText) {
  auto op = make_op(Mode::Regex, false);
  op->set_enabled(false);
  op->params().set("Edit_th1", "(");
  std::string text = "abc";
  op->line_step(text);
  EXPECT_EQ(text, "abc");
}

TEST(Replace, InvalidPatternStopsWithEngineMessage) {
  struct Bad {
    const char* pattern;
    const char* message;
  };
  for (Bad bad : {Bad{"a(b", "missing closing parenthesis at offset 3"},
                  Bad{"[z-a]", "range out of order in character class at offset 3"},
                  Bad{"a\\Cb", "using \\C is disabled by the application at offset 3"}}) {
    auto op = make_op(Mode::Regex, false);
    op->params().set("Edit_th1", bad.pattern);
    std::string text = "ab";
    try {
      op->line_step(text);
      ADD_FAILURE() << bad.pattern << ": no error";
    } catch (const RunError& e) {
      EXPECT_EQ(std::string(e.what()), bad.message);
    }
    EXPECT_EQ(text, "ab");
  }
}

TEST(Replace, RunawayBacktrackingStopsWithError) {
  for (const char* pattern : {"(a+)+$", "^(a|a)*$"}) {
    auto op = make_op(Mode::Regex, false);
    op->params().set("Edit_th1", pattern);
    std::string text = std::string(40, 'a') + "X";
    EXPECT_THROW(op->line_step(text), RunError) << pattern;
    EXPECT_EQ(text, std::string(40, 'a') + "X");
  }
}

TEST(Replace, MultiRowsInOrderAndEditsIgnored) {
  auto op = make_op(Mode::Plain, false);
  op->params().set("Edit_th1", "a");
  op->params().set("Edit_th2", "Z");
  op->set_multi_rows(std::vector<ReplaceRow>{parse_replace_row("a=b"), parse_replace_row("b=c"),
                                             parse_replace_row("=q")});
  std::string text = "a";
  op->line_step(text);
  EXPECT_EQ(text, "c");
  op->set_multi_rows(std::nullopt);
  text = "a";
  op->line_step(text);
  EXPECT_EQ(text, "Z");
}

TEST(Replace, ParseRowSplitsAtFirstEquals) {
  ReplaceRow r = parse_replace_row("k=v=w");
  EXPECT_EQ(r.old_text, "k");
  EXPECT_EQ(r.new_text, "v=w");
  r = parse_replace_row("alone");
  EXPECT_EQ(r.old_text, "alone");
  EXPECT_EQ(r.new_text, "");
}

TEST(Replace, FactoryIsRegistered) {
  auto op = PanelClassRegistry::instance().create("TControlForm_th");
  ASSERT_NE(op, nullptr);
  EXPECT_NE(dynamic_cast<ReplaceOp*>(op.get()), nullptr);
}

// A plain search over ASCII agrees with a straightforward reference, in both case modes.
std::string reference_replace(const std::string& s, const std::string& from, const std::string& to,
                              bool exact) {
  auto eq = [&](char a, char b) {
    if (exact) return a == b;
    auto low = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return low(a) == low(b);
  };
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    bool hit = !from.empty() && i + from.size() <= s.size();
    for (size_t k = 0; hit && k < from.size(); ++k) hit = eq(s[i + k], from[k]);
    if (hit) {
      out += to;
      i += from.size();
    } else {
      out += s[i++];
    }
  }
  return out;
}

TEST(Replace, PlainAgreesWithReferenceOnRandomText) {
  std::mt19937 rng(7);
  auto random_text = [&](size_t max_len) {
    static const char alphabet[] = "aAbB";
    std::string s(rng() % (max_len + 1), ' ');
    for (char& c : s) c = alphabet[rng() % 4];
    return s;
  };
  for (int round = 0; round < 2000; ++round) {
    bool exact = round % 2;
    std::string text = random_text(20), from = random_text(3), to = random_text(3);
    auto op = make_op(Mode::Plain, exact);
    op->params().set("Edit_th1", from);
    op->params().set("Edit_th2", to);
    std::string got = text;
    op->line_step(got);
    ASSERT_EQ(got, reference_replace(text, from, to, exact))
        << text << " / " << from << " -> " << to << (exact ? " exact" : " caseless");
  }
}

}  // namespace
}  // namespace lq

#include "core/operations/template_expand.h"

#include <gtest/gtest.h>

#include "core/encoding/code_page.h"

namespace lq {
namespace {

std::string gbk(const char* utf8) {
  return code_page().from_utf8(utf8);
}

struct Case {
  const char* name;
  std::string params, tmpl, expected;
};

class TemplateCases : public ::testing::TestWithParam<Case> {};

TEST_P(TemplateCases, Expands) {
  const Case& c = GetParam();
  EXPECT_EQ(expand_template_text(c.params, c.tmpl), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Template, TemplateCases,
    ::testing::Values(Case{"no_semicolon_is_one_row", "a=1", "a-a", "1-1"},
                      Case{"blank_row_gives_no_copy", "a=1; \t;a=2", "a", "12"},
                      Case{"unmatched_row_copies_template", "zz=1", "abc", "abc"},
                      Case{"pairs_apply_in_order", "a=b,b=c", "a", "c"},
                      Case{"line_break_does_not_end_a_row", "a=1,b=2\r\na=3", "ab", "12a=3"},
                      Case{"empty_template", "a=1;b=2", "", ""},
                      Case{"names_and_values_keep_blanks", " a = x ", "[ a ]a", "[ x ]a"},
                      Case{"pair_without_equals_does_nothing", "a,b=2", "ab", "a2"},
                      Case{"empty_name_does_nothing", "=x", "ab", "ab"},
                      Case{"value_split_at_first_equals", "a=b=c", "a", "b=c"},
                      Case{"no_rescan_of_value", "a=aa", "a", "aa"},
                      // "f" is the second byte of 說 (D5 66): the character is kept whole.
                      Case{"name_inside_character_is_kept", "f=X",
                           "\xD5\x66"
                           "f",
                           "\xD5\x66"
                           "X"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Template, Examples) {
  TemplateExample one = template_example(1);
  EXPECT_EQ(expand_template_text(one.params, one.tmpl), "1 2 3 d11 22 33 d");
  TemplateExample two = template_example(2);
  EXPECT_EQ(expand_template_text(two.params, two.tmpl),
            gbk(" insert into temp1 values (select * from table1 where f1=1 and f2=-1 )"
                " insert into temp2 values (select * from table1 where f1=2 and f2=-2 )"));
}

}  // namespace
}  // namespace lq

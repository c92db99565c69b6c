#include "core/editor/edit_commands.h"

#include <gtest/gtest.h>

#include "core/editor/bookmarks.h"
#include "core/editor/find_history.h"
#include "core/encoding/code_page.h"
#include "core/textsvc/text_data.h"
#include "editor_test_util.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

using test::Ed;
using test::show;

const std::string A1 = "\xA1";

struct CopyCase {
  const char* name;
  std::string selected;
  std::string web;
  std::string code;
  const CodePage* page = &gbk_code_page();
};

const std::string U3000 = "\xE3\x80\x80";  // the ideographic space in UTF-8

class CopyForms : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyForms, WebAndCode) {
  const CopyCase& c = GetParam();
  EXPECT_EQ(show(as_web_text(c.selected, *c.page)), show(c.web));
  EXPECT_EQ(show(code_text(c.selected, *c.page)), show(c.code));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CopyForms,
    ::testing::Values(
        // Only the leading run changes; the blank between a and b stays.
        CopyCase{"tab_and_blanks", "\t  a b", A1 + A1 + A1 + "a b\r\n", "\t  a b\r\n"},
        CopyCase{"ideographic_space", A1 + A1 + A1 + "a b", A1 + A1 + A1 + "a b\r\n", "   a b\r\n"},
        CopyCase{"two_lines", " x\r\n\ty ", A1 + "x\r\n" + A1 + "y \r\n", " x\r\n\ty \r\n"},
        // A selection ending at a row's start has a last break and no empty last line.
        CopyCase{"break_at_end", "a\r\n", "a\r\n", "a\r\n"}, CopyCase{"empty", "", "", ""},
        // In UTF-8 two blanks make one whole space, and a byte of a space is never written.
        CopyCase{"utf8_blanks", "\t  a", U3000 + " a\r\n", "\t  a\r\n", &utf8_code_page()},
        CopyCase{"utf8_spaces",
                 U3000 + U3000 +
                     "\xE3\x80"
                     "a",
                 U3000 + U3000 +
                     "\xE3\x80"
                     "a\r\n",
                 "    \xE3\x80"
                 "a\r\n",
                 &utf8_code_page()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CopyForms, CodeUndoesWeb) {
  for (const CodePage* page : {&gbk_code_page(), &utf8_code_page()})
    EXPECT_EQ(show(code_text(as_web_text("\t  a b", *page), *page)), show("   a b\r\n"))
        << page->name();
}

struct FindCase {
  const char* name;
  int caret_col;
  int caret_line;
  const char* text;
  bool found;
  EditPos anchor;
  EditPos end;
};

class FindNext : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindNext, SelectsTheNextMatch) {
  const FindCase& c = GetParam();
  Ed ed({"xxabcxxabc", "no", "ABC here"});
  ed.caret(c.caret_col, c.caret_line);
  ASSERT_EQ(find_next_in(ed.m, c.text), c.found);
  if (!c.found) {
    EXPECT_FALSE(ed.m.has_selection());
    EXPECT_EQ(ed.m.current_index(), c.caret_line);
    return;
  }
  EXPECT_EQ(ed.m.sel_anchor(), c.anchor);
  EXPECT_EQ(ed.m.sel_end(), c.end);
  EXPECT_EQ(ed.m.top_line(), c.anchor.line);
  EXPECT_EQ(ed.m.caret_row(), 0);
  EXPECT_EQ(ed.m.caret_abs_col(), c.end.col);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FindNext,
    ::testing::Values(FindCase{"caret_mid_match_finds_second", 4, 0, "abc", true, {8, 0}, {11, 0}},
                      FindCase{"caret_on_match_finds_it", 3, 0, "abc", true, {3, 0}, {6, 0}},
                      FindCase{"folds_latin_letters", 1, 0, "ABC", true, {3, 0}, {6, 0}},
                      FindCase{"next_rows", 11, 0, "abc", true, {1, 2}, {4, 2}},
                      FindCase{"no_wrap_around", 4, 2, "abc", false, {}, {}},
                      FindCase{"empty_text", 1, 0, "", false, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FindNext, SecondByteOfACharacterIsNoMatch) {
  // 丂 is 81 40 and 統 BD 79: "@" and a caseless 結 (BD 59) must pass them by.
  Ed ed({"\x81\x40@", "\xBD\x79\xBD\x59"});
  ed.caret(1, 0);
  ASSERT_TRUE(find_next_in(ed.m, "@"));
  EXPECT_EQ(ed.m.sel_anchor(), (EditPos{3, 0}));
  ed.caret(1, 1);
  ASSERT_TRUE(find_next_in(ed.m, "\xBD\x59"));
  EXPECT_EQ(ed.m.sel_anchor(), (EditPos{3, 1}));
}

TEST(FindNext, RepeatedCallsWalkEveryMatchThenStop) {
  Ed ed({"abc abc", "", "xabc"});
  std::vector<EditPos> found;
  while (find_next_in(ed.m, "abc")) found.push_back(ed.m.sel_anchor());
  EXPECT_EQ(found, (std::vector<EditPos>{{1, 0}, {5, 0}, {2, 2}}));
}

TEST(FindNext, MatchLeftOfTheViewScrollsBackAMatchInViewKeepsTheView) {
  Ed ed({"zzz", "abc"});
  ed.m.set_h_offset(20);
  ASSERT_TRUE(find_next_in(ed.m, "abc"));
  EXPECT_EQ(ed.m.h_offset(), 0);
  EXPECT_EQ(ed.m.caret_abs_col(), 4);

  Ed far({"", std::string(30, 'x') + "abc"});
  far.m.set_h_offset(25);
  ASSERT_TRUE(find_next_in(far.m, "abc"));
  EXPECT_EQ(far.m.h_offset(), 25);
  EXPECT_EQ(far.m.caret_abs_col(), 34);
}

TEST(FindHistory, NewestFirstEachEntryOnce) {
  EXPECT_EQ(push_find_history({"b", "a", "c", "d", "e", "a"}, "a"),
            (LineList{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(push_find_history({"x"}, ""), LineList{"x"});
}

TEST(FindHistory, OnlyTheFirst10002EntriesAreExamined) {
  LineList many;
  for (int i = 0; i < 10005; ++i) many.push_back(std::to_string(i));
  const LineList out = push_find_history(many, "new");
  ASSERT_EQ(out.size(), kFindHistoryKept);
  EXPECT_EQ(out.front(), "new");
  EXPECT_EQ(out.back(), "10000");
}

class FindHistoryFile : public test::TempDirTest {};

TEST_F(FindHistoryFile, RoundTripAndMissingFile) {
  EXPECT_TRUE(load_find_history(path("none")).empty());
  save_find_history(path("find1"), {"one", "\xD6\xD0"});
  EXPECT_EQ(read("find1"), "one\r\n\xD6\xD0\r\n");
  EXPECT_EQ(load_find_history(path("find1")), (LineList{"one", "\xD6\xD0"}));
}

TEST(NumberMarks, RememberPathAndTopLine) {
  NumberMarks marks;
  EXPECT_FALSE(marks.mark_at(3));
  marks.set_mark(3, "/home/u/a=b.txt", 42);
  auto m = marks.mark_at(3);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->path, "/home/u/a=b.txt");  // a file name may hold "="
  EXPECT_EQ(m->top_line, 42);
  marks.set_mark(3, "/x", 0);
  EXPECT_EQ(marks.mark_at(3)->path, "/x");
  marks.set_mark(10, "/y", 1);
  EXPECT_FALSE(marks.mark_at(10));
  EXPECT_FALSE(marks.mark_at(-1));
}

class Bookmarks : public test::TempDirTest {};

TEST_F(Bookmarks, SameFileTwiceIsListedTwice) {
  test::ScopedEnv home("LEXOQUILL_HOME", dir());
  TTextData marks = make_c_mark();
  add_bookmark(marks, "/a.txt");
  add_bookmark(marks, "  ");
  add_bookmark(marks, "/a.txt");
  TTextData fresh = make_c_mark();
  EXPECT_EQ(bookmark_list(fresh), (LineList{"/a.txt", "/a.txt"}));
  EXPECT_EQ(read("bookmark1.txt"), "id1|filename1\r\n|/a.txt\r\n|/a.txt\r\n");
}

}  // namespace
}  // namespace lq

#include "core/editor/editor_model.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/run_error.h"
#include "editor_test_util.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

using Rows = std::vector<std::string>;
using test::Ed;

TEST(EditorModel, NewEditorState) {
  EditorModel m;
  EXPECT_EQ(m.row_count(), 0);
  EXPECT_FALSE(m.auto_line());
  EXPECT_EQ(m.caret_col(), 1);
  EXPECT_EQ(m.sel_anchor(), (EditPos{1, 0}));
  EXPECT_EQ(m.sel_end(), (EditPos{1, 0}));
  EXPECT_TRUE(m.undo_list().empty());
  EXPECT_EQ(m.current_line(), "");
}

TEST(SetCurrentLine, AppendsExactlyTheMissingRows) {
  Ed empty;
  empty.m.set_current_line("x");
  EXPECT_EQ(empty.rows(), Rows{"x"});

  Ed two({"a", "b"});
  two.caret(1, 5);
  two.m.set_current_line("x");
  EXPECT_EQ(two.rows(), (Rows{"a", "b", "", "", "", "x"}));

  Ed scrolled({"a", "b"});
  scrolled.m.set_top_line(1);
  scrolled.m.set_caret_row(0);
  scrolled.m.set_current_line("y");
  EXPECT_EQ(scrolled.rows(), (Rows{"a", "y"}));
  scrolled.m.set_caret_row(-5);  // a negative line writes nothing
  scrolled.m.set_current_line("z");
  EXPECT_EQ(scrolled.rows(), (Rows{"a", "y"}));
}

class Selection : public testing::Test {
 protected:
  Ed ed{{"abcd", "ef", "ghi"}};
};

TEST_F(Selection, TextAcrossRowsAndClamping) {
  ed.select({3, 0}, {2, 2});
  EXPECT_EQ(ed.m.selected_text(), "cd\r\nef\r\ng");
  ed.select({2, 2}, {3, 0});  // either direction
  EXPECT_EQ(ed.m.selected_text(), "cd\r\nef\r\ng");
  ed.select({3, 1}, {1, 1});  // one row, columns exchanged
  EXPECT_EQ(ed.m.selected_text(), "ef");
  ed.select({2, 1}, {9, 40});  // an end below the text is clamped
  EXPECT_EQ(ed.m.selected_text(), "f\r\nghi");
  EXPECT_EQ(ed.m.norm_end(), (EditPos{4, 2}));
  ed.select({1, 7}, {1, 9});  // a start below the text selects nothing
  EXPECT_EQ(ed.m.selected_text(), "");
}

TEST_F(Selection, DeleteJoinsTheEndsAndMovesTheCaret) {
  ed.select({3, 0}, {2, 2});
  ed.m.delete_selection();
  EXPECT_EQ(ed.rows(), Rows{"abhi"});
  EXPECT_EQ(ed.m.caret_abs_col(), 3);
  EXPECT_EQ(ed.m.current_index(), 0);
  EXPECT_FALSE(ed.m.has_selection());
  EXPECT_EQ(ed.client.changes, 1);

  ed.caret(4, 0);
  ed.select({2, 0}, {2, 0});  // empty: no change, but the caret goes there
  ed.m.delete_selection();
  EXPECT_EQ(ed.rows(), Rows{"abhi"});
  EXPECT_EQ(ed.m.caret_abs_col(), 2);
}

TEST_F(Selection, SelectAllAndCopy) {
  ed.caret(2, 1);
  ed.m.select_all();
  EXPECT_EQ(ed.m.sel_anchor(), (EditPos{1, 0}));
  EXPECT_EQ(ed.m.sel_end(), (EditPos{4, 2}));
  EXPECT_EQ(ed.m.caret_abs_col(), 2);
  ed.m.copy_selection();
  EXPECT_EQ(ed.clip.content, "abcd\r\nef\r\nghi");
  ed.clip.fail = true;
  EXPECT_NO_THROW(ed.m.copy_selection());
}

TEST(SelectWord, DelimitersBoundTheWord) {
  struct {
    const char* name;
    int caret;
    EditPos anchor, end;
    int caret_after;
  } cases[] = {
      {"inside_word", 6, {5, 0}, {8, 0}, 8},
      {"on_delimiter_selects_it", 4, {5, 0}, {4, 0}, 4},
      {"past_the_end_takes_the_last_byte", 40, {13, 0}, {12, 0}, 12},
      {"first_column", 1, {1, 0}, {4, 0}, 4},
  };
  for (const auto& c : cases) {
    Ed ed({"foo.bar(baz)"});
    ed.caret(c.caret, 0);
    ed.m.select_word();
    EXPECT_EQ(ed.m.sel_anchor(), c.anchor) << c.name;
    EXPECT_EQ(ed.m.sel_end(), c.end) << c.name;
    EXPECT_EQ(ed.m.caret_abs_col(), c.caret_after) << c.name;
    EXPECT_EQ(ed.client.words, 1) << c.name;
  }
  Ed ed({"foo.bar(baz)"});
  ed.caret(6, 0);
  ed.m.select_word();
  EXPECT_EQ(ed.m.selected_text(), "bar");
  Ed blank({""});
  blank.m.select_word();
  EXPECT_EQ(blank.client.words, 0);
}

TEST(Paste, BreaksBecomeRowsAndTheCaretStays) {
  Ed ed({"ab"});
  ed.clip.content = "x\r\ny";
  ed.caret(2, 0);
  ed.m.paste_clipboard();
  EXPECT_EQ(ed.rows(), (Rows{"ax", "yb"}));
  EXPECT_EQ(ed.m.caret_abs_col(), 2);
  EXPECT_EQ(ed.m.current_index(), 0);
  EXPECT_EQ(ed.m.undo_list().size(), 1u);
  EXPECT_EQ(ed.client.changes, 1);

  ed.caret(9, 1);  // beyond the end: after the last byte, no blanks
  ed.clip.content = "!";
  ed.m.paste_clipboard();
  EXPECT_EQ(ed.rows(), (Rows{"ax", "yb!"}));

  ed.clip.content.clear();  // nothing to paste: a snapshot and OnChange all the same
  ed.m.paste_clipboard();
  EXPECT_EQ(ed.m.undo_list().size(), 3u);
  ed.clip.fail = true;
  EXPECT_NO_THROW(ed.m.paste_clipboard());
}

TEST(Paste, OverASelectionRecordsTwice) {
  Ed ed({"hello world"});
  ed.clip.content = "there";
  ed.select({7, 0}, {12, 0});
  ed.m.paste_over();
  EXPECT_EQ(ed.rows(), Rows{"hello there"});
  EXPECT_EQ(ed.m.undo_list().size(), 2u);
  ed.m.undo_step();
  EXPECT_EQ(ed.rows(), Rows{"hello "});
}

TEST(InsertText, PadsWithoutMovingOrNotifying) {
  Ed ed({"ab"});
  ed.caret(5, 0);
  ed.m.insert_text("x\r\ny");
  EXPECT_EQ(ed.rows(), Rows{"ab  x\r\ny"});  // the break stays inside the row
  EXPECT_EQ(ed.m.caret_abs_col(), 5);
  EXPECT_EQ(ed.client.changes, 0);
  EXPECT_EQ(ed.m.undo_list().size(), 1u);
  EXPECT_EQ(ed.m.get_all_text(), "ab  x\r\ny\r\n");
  ed.m.undo_step();
  ed.m.redo_step();  // reading a record back splits it
  EXPECT_EQ(ed.rows(), (Rows{"ab  x", "y"}));
}

// Typing, deleting and joining: the key actions that change text.
TEST(Keys, TypingPadsUpToTheCaret) {
  Ed ed;
  ed.caret(5, 0);
  EXPECT_TRUE(ed.m.type_char('a', false));
  EXPECT_TRUE(ed.m.type_char('b', false));
  EXPECT_EQ(ed.rows(), Rows{"    ab"});
  EXPECT_EQ(ed.m.caret_abs_col(), 7);
  EXPECT_EQ(ed.m.undo_list().size(), 2u);
  EXPECT_FALSE(ed.m.type_char(8, false));
  EXPECT_FALSE(ed.m.type_char(13, false));
  EXPECT_EQ(ed.rows(), Rows{"    ab"});
}

TEST(Keys, TypingReplacesTheSelectionAndScrollsAtTheEdge) {
  Ed ed({"abcdef"});
  ed.select({2, 0}, {4, 0});
  ed.caret(4, 0);
  EXPECT_FALSE(ed.m.type_char('\t', false));  // TAB with a selection is Tab indentation
  ed.m.type_char('X', true);
  EXPECT_EQ(ed.rows(), Rows{"aXdef"});
  EXPECT_EQ(ed.m.h_offset(), 10);
  EXPECT_EQ(ed.m.caret_col(), 1);  // 3 - 10, never below 1
}

TEST(Keys, DeleteAndBackspaceTakeWholeCharacters) {
  const std::string zh = "\xD6\xD0";
  struct {
    const char* name;
    Rows rows;
    int col, line;
    bool backspace;
    Rows after;
    EditPos caret;
  } cases[] = {
      {"backspace_after_double_byte", {"a" + zh + "b"}, 4, 0, true, {"ab"}, {2, 0}},
      {"delete_before_double_byte", {"a" + zh + "b"}, 2, 0, false, {"ab"}, {2, 0}},
      {"backspace_ascii", {"abc"}, 3, 0, true, {"ac"}, {2, 0}},
      {"backspace_joins_lines",
       {"l0", "l1", "two", "three"},
       1,
       3,
       true,
       {"l0", "l1", "twothree"},
       {4, 2}},
      {"backspace_col1_line0", {"ab", "c"}, 1, 0, true, {"ab", "c"}, {1, 0}},
      {"backspace_beyond_end_moves_only", {"ab"}, 6, 0, true, {"ab"}, {5, 0}},
      {"delete_at_end_pulls_next_row", {"ab", "cd"}, 5, 0, false, {"abcd"}, {5, 0}},
      {"delete_after_last_byte", {"ab", "cd"}, 3, 1, false, {"ab", "cd"}, {3, 1}},
      {"delete_below_the_text", {"ab"}, 1, 4, false, {"ab"}, {1, 4}},
  };
  for (const auto& c : cases) {
    Ed ed(c.rows);
    ed.caret(c.col, c.line);
    ed.m.set_sel_anchor({c.col, c.line});
    ed.m.set_sel_end({c.col, c.line});
    if (c.backspace) {
      ed.m.backspace_key();
    } else {
      ed.m.delete_key();
    }
    EXPECT_EQ(ed.rows(), c.after) << c.name;
    EXPECT_EQ((EditPos{ed.m.caret_abs_col(), ed.m.current_index()}), c.caret) << c.name;
    EXPECT_EQ(ed.m.undo_list().size(), 1u) << c.name;  // a snapshot even when nothing changed
    EXPECT_EQ(ed.client.changes, 1) << c.name;
  }
}

TEST(Keys, BackspaceScrollsBackWhenTheCaretLeavesTheView) {
  Ed ed({"0123456789abc", "x"});
  ed.m.set_top_line(1);
  ed.m.set_caret_row(0);
  ed.m.set_caret_col(1);
  ed.m.backspace_key();  // joins into the row above the view
  EXPECT_EQ(ed.m.top_line(), 0);
  EXPECT_EQ(ed.m.caret_abs_col(), 14);
  ed.m.set_h_offset(12);
  ed.m.set_caret_col(1);  // absolute column 13
  ed.m.backspace_key();
  EXPECT_EQ(ed.rows()[0], "0123456789acx");
  EXPECT_EQ(ed.m.caret_abs_col(), 12);
  EXPECT_EQ(ed.m.h_offset(), 11);
  EXPECT_EQ(ed.m.caret_col(), 1);
}

TEST(Keys, EnterSplitsTheLine) {
  Ed ed({"abcd"});
  ed.m.set_h_offset(1);
  ed.m.set_caret_col(2);  // absolute column 3
  ed.m.enter_key();
  EXPECT_EQ(ed.rows(), (Rows{"ab", "cd"}));
  EXPECT_EQ(ed.m.current_index(), 1);
  EXPECT_EQ(ed.m.caret_abs_col(), 1);
  EXPECT_EQ(ed.m.h_offset(), 0);
  ed.caret(9, 1);
  ed.m.enter_key();
  EXPECT_EQ(ed.rows(), (Rows{"ab", "cd", ""}));
  EXPECT_EQ(ed.client.changes, 2);
}

TEST(Keys, CutSelection) {
  Ed ed({"abcdef"});
  ed.select({2, 0}, {4, 0});
  ed.m.cut_selection();
  EXPECT_EQ(ed.clip.content, "bc");
  EXPECT_EQ(ed.rows(), Rows{"adef"});
  EXPECT_EQ(ed.m.undo_list().size(), 1u);
}

TEST(Keys, TabIndentsAndShiftTabTakesItBack) {
  Ed ed({"abcd", "ef", "gh", "untouched"});
  ed.select({3, 0}, {2, 2});
  ASSERT_TRUE(ed.m.tab_key(false));
  EXPECT_EQ(ed.rows(), (Rows{"ab cd", " ef", " gh", "untouched"}));
  EXPECT_EQ(ed.m.sel_anchor(), (EditPos{3, 0}));
  ASSERT_TRUE(ed.m.tab_key(true));
  EXPECT_EQ(ed.rows(), (Rows{"abcd", "ef", "gh", "untouched"}));
  EXPECT_EQ(ed.m.undo_list().size(), 2u);
  EXPECT_EQ(ed.client.changes, 2);

  Ed one({"abcd"});  // within one row: before the start column, then in front
  one.select({3, 0}, {4, 0});
  one.m.indent_selection(true);
  EXPECT_EQ(one.rows(), Rows{" ab cd"});

  Ed none({"abcd"});
  EXPECT_FALSE(none.m.tab_key(false));
  EXPECT_EQ(none.rows(), Rows{"abcd"});
  EXPECT_TRUE(none.m.undo_list().empty());
}

TEST(Keys, UnconsumedKeysRaiseOnChangeExceptNavigation) {
  Ed ed;
  for (int code : {114 /* F3 */, 16 /* Shift */, 65, 32, 9}) ed.m.key_down_unconsumed(code);
  EXPECT_EQ(ed.client.changes, 5);
  for (int code = 33; code <= 40; ++code) ed.m.key_down_unconsumed(code);
  EXPECT_EQ(ed.client.changes, 5);
}

TEST(Keys, CtrlLCopiesTheCurrentLine) {
  Ed ed({"first", "second"});
  ed.caret(3, 1);
  ed.m.collapse_selection();
  ed.m.copy_line();
  EXPECT_EQ(ed.clip.content, "second");
}

TEST(WrapKeys, DoubleByteCharacterWaitsForItsSecondByte) {
  Ed ed;
  ed.m.set_wrap_width(6);
  ed.m.set_wrap(true);
  ed.m.set_all_text("abc");
  ed.caret(4, 0);
  EXPECT_FALSE(ed.m.type_char(0xD6, false));
  EXPECT_EQ(ed.m.pending_bytes(), "\xD6");
  EXPECT_EQ(ed.rows(), Rows{"0:abc"});
  EXPECT_TRUE(ed.m.type_char(0xD0, false));
  EXPECT_EQ(ed.m.pending_bytes(), "");
  EXPECT_EQ(ed.m.caret_abs_col(), 6);
  ed.m.type_char('d', false);
  ed.m.type_char('e', false);
  EXPECT_EQ(ed.rows(), (Rows{"0:abc\xD6\xD0"
                             "d",
                             "1:e"}));
  EXPECT_EQ(ed.m.get_all_text(),
            "abc\xD6\xD0"
            "de");
}

// Deleting a selection that starts in one logical line and ends in the next keeps the break
// before the first of them.
TEST(WrapKeys, DeletingASelectionKeepsTheStartRowsMarker) {
  Ed ed({"xx", "abcdefgh"});
  ed.m.set_wrap_width(5);
  ed.m.set_wrap(true);
  ASSERT_EQ(ed.rows(), (Rows{"0:xx", "0:abcde", "1:fgh"}));
  ed.select({2, 1}, {2, 2});
  ed.m.delete_selection();
  EXPECT_EQ(ed.m.get_all_text(), "xx\r\nagh");
}

TEST(WrapKeys, EnterBeforeMarkerLikeTextKeepsIt) {
  Ed ed({"ab1:cd"});
  ed.m.set_wrap_width(40);
  ed.m.set_wrap(true);
  ed.caret(3, 0);
  ed.m.enter_key();
  EXPECT_EQ(ed.m.get_all_text(), "ab\r\n1:cd");
}

TEST(WrapKeys, PasteRewrapsNowOrWhenTheViewAsks) {
  Ed ed({"abc"});
  ed.m.set_wrap_width(5);
  ed.m.set_wrap(true);
  ed.client.defer_rewrap = true;
  ed.clip.content = "12345";
  ed.caret(2, 0);
  ed.m.paste_clipboard();
  EXPECT_EQ(ed.rows(), Rows{"0:a12345bc"});  // waits for the view
  ed.m.rows_from_logical();
  EXPECT_EQ(ed.rows(), (Rows{"0:a1234", "1:5bc"}));
}

class Files : public testing::Test {
 protected:
  std::string path(const char* name) const { return (dir_ / name).string(); }
  static std::string read(const std::string& p) { return lq::test::read_file(p); }
  static void write(const std::string& p, const std::string& bytes) {
    lq::test::write_file(p, bytes);
  }
  lq::test::TempDir temp_;
  std::filesystem::path dir_ = temp_.path();
};

TEST_F(Files, LoadKeepsCaretSelectionAndHistory) {
  write(path("a.txt"), "one\r\ntwo\rx\n\n");
  Ed ed({"old"});
  ed.m.record_undo();
  ed.m.set_top_line(3);
  ed.m.set_h_offset(4);
  ed.caret(6, 5);
  ed.select({2, 0}, {3, 1});
  ASSERT_TRUE(ed.m.load_file(path("a.txt")));
  EXPECT_EQ(ed.rows(), (Rows{"one", "twox", ""}));
  EXPECT_EQ(ed.m.top_line(), 0);
  EXPECT_EQ(ed.m.h_offset(), 0);
  EXPECT_EQ(ed.m.caret_col(), 2);
  EXPECT_EQ(ed.m.sel_end(), (EditPos{3, 1}));
  EXPECT_EQ(ed.m.undo_list().size(), 1u);
  EXPECT_EQ(ed.client.changes, 0);

  EXPECT_FALSE(ed.m.load_file(path("missing.txt")));
  EXPECT_EQ(ed.rows(), (Rows{"one", "twox", ""}));
}

TEST_F(Files, SaveWritesCrLfAfterEveryLine) {
  Ed ed({"a", "", "\xD6\xD0"});
  ed.m.save_file(path("out.txt"));
  EXPECT_EQ(read(path("out.txt")), "a\r\n\r\n\xD6\xD0\r\n");
  Ed empty;
  empty.m.save_file(path("empty.txt"));
  EXPECT_EQ(read(path("empty.txt")), "");
}

TEST_F(Files, SavingAReadOnlyFileSucceeds) {
  write(path("ro.txt"), "old\r\n");
  ::chmod(path("ro.txt").c_str(), 0444);
  Ed ed({"new"});
  ASSERT_NO_THROW(ed.m.save_file(path("ro.txt")));
  EXPECT_EQ(read(path("ro.txt")), "new\r\n");
}

TEST_F(Files, FailedSaveReportsAndKeepsTheOldFile) {
  Ed ed({"new"});
  EXPECT_THROW(ed.m.save_file(path("no/such/dir.txt")), RunError);
  std::filesystem::create_directory(path("d"));
  EXPECT_THROW(ed.m.save_file(path("d")), RunError);
  EXPECT_TRUE(std::filesystem::is_directory(path("d")));
  std::vector<std::string> left;
  for (auto& e : std::filesystem::directory_iterator(dir_)) left.push_back(e.path().filename());
  EXPECT_EQ(left, std::vector<std::string>{"d"});  // no temporary file left behind
}

TEST_F(Files, WrapOnSaveWritesTheLogicalLines) {
  write(path("w.txt"), "1:abcdefgh\r\nz\r\n");
  Ed ed;
  ed.m.set_wrap_width(5);
  ed.m.set_wrap(true);
  ASSERT_TRUE(ed.m.load_file(path("w.txt")));
  EXPECT_EQ(ed.rows(), (Rows{"0:1:abc", "1:defgh", "1:", "0:z"}));
  ed.m.save_file(path("w.txt"));
  EXPECT_EQ(read(path("w.txt")), "1:abcdefgh\r\nz\r\n");
  ed.m.set_wrap(false);
  EXPECT_EQ(ed.rows(), (Rows{"1:abcdefgh", "z"}));
}

}  // namespace
}  // namespace lq

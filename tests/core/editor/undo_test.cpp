#include <gtest/gtest.h>

#include "core/editor/editor_model.h"
#include "editor_test_util.h"

namespace lq {
namespace {

using test::Ed;

TEST(Undo, TenEditsTenUndosTenRedos) {
  Ed ed({"start", "second"});
  std::vector<std::string> texts{ed.m.get_all_text()};
  for (int i = 0; i < 10; ++i) {
    ed.caret(1 + i, i % 2);
    ed.m.collapse_selection();
    if (i % 3 == 2) {
      ed.m.enter_key();
    } else {
      ed.m.type_char(static_cast<unsigned char>('a' + i), false);
    }
    texts.push_back(ed.m.get_all_text());
  }
  ASSERT_EQ(ed.m.undo_list().size(), 10u);
  for (int i = 9; i >= 0; --i) {
    ed.m.undo_step();
    EXPECT_EQ(ed.m.get_all_text(), texts[static_cast<size_t>(i)]) << "undo to " << i;
  }
  for (int i = 1; i <= 10; ++i) {
    ed.m.redo_step();
    EXPECT_EQ(ed.m.get_all_text(), texts[static_cast<size_t>(i)]) << "redo to " << i;
  }
}

TEST(Undo, UndoNotifiesAndRedoDoesNot) {
  Ed ed({"abc"});
  ed.m.undo_step();  // an empty history still raises OnChange and changes nothing else
  EXPECT_EQ(ed.client.changes, 1);
  EXPECT_EQ(ed.m.get_all_text(), "abc\r\n");
  ed.m.redo_step();
  EXPECT_EQ(ed.client.changes, 1);
}

TEST(Undo, RecordsSwapSelectionAndText) {
  Ed ed({"abc"});
  ed.select({1, 0}, {3, 0});
  ed.m.record_undo();
  ed.m.set_all_text("xyz\r\n");
  ed.select({2, 0}, {2, 0});
  ed.m.undo_step();
  EXPECT_EQ(ed.m.get_all_text(), "abc\r\n");
  EXPECT_EQ(ed.m.sel_end(), (EditPos{3, 0}));
  const auto& r = ed.m.redo_list()[0];
  EXPECT_EQ(r.kind, 2);
  EXPECT_EQ(r.text(), "xyz\r\n");
  EXPECT_EQ(r.anchor, (EditPos{2, 0}));
  ed.m.redo_step();
  EXPECT_EQ(ed.m.get_all_text(), "xyz\r\n");
  EXPECT_EQ(ed.m.sel_anchor(), (EditPos{2, 0}));
}

// The oldest records go first, at recording; undo and redo drop nothing, and undo tells
// when it finds no older step because of the limit.
TEST(Undo, StepLimitDropsTheOldestAndUndoSaysWhereItEnds) {
  Ed ed({"x"});
  ed.m.set_undo_limits({100, size_t{1} << 30});
  for (int i = 0; i < 150; ++i) {
    ed.m.record_undo();
    ed.m.set_all_text("t" + std::to_string(i) + "\r\n");
  }
  EXPECT_EQ(ed.m.undo_list().size(), 100u);
  EXPECT_EQ(ed.m.undo_list()[0].text(), "t49\r\n");
  for (int i = 0; i < 100; ++i) ed.m.undo_step();
  EXPECT_EQ(ed.m.get_all_text(), "t49\r\n");
  EXPECT_EQ(ed.m.redo_list().size(), 100u);
  EXPECT_TRUE(ed.client.troubles.empty());
  ed.m.undo_step();
  EXPECT_EQ(ed.m.get_all_text(), "t49\r\n");
  EXPECT_EQ(ed.client.troubles, std::vector<HistoryTrouble>{HistoryTrouble::LimitReached});
  for (int i = 0; i < 100; ++i) ed.m.redo_step();
  EXPECT_EQ(ed.m.get_all_text(), "t149\r\n");

  // Lowering the limit applies at once; an emptied history is a plain empty one again.
  ed.m.set_undo_limits({10, size_t{1} << 30});
  EXPECT_EQ(ed.m.undo_list().size(), 10u);
  ed.m.clear_history();
  ed.m.undo_step();
  EXPECT_EQ(ed.client.troubles.size(), 1u);
}

// Keystrokes in a large text: each snapshot costs the chunk that the keystroke rebuilt, and
// the history stays within its byte bound however long the typing goes on.
TEST(Undo, ByteLimitBoundsTheHistoryOfManyKeystrokes) {
  std::string text;
  for (int i = 0; i < 40000; ++i) text += "row number " + std::to_string(i) + " of the text\r\n";
  Ed ed;
  ed.m.set_all_text(text);
  const size_t limit = size_t{2} << 20;
  ed.m.set_undo_limits({100000, limit});
  ed.caret(3, 20000);
  for (int i = 0; i < 600; ++i) {
    ed.m.type_char('!', false);
    ASSERT_LE(ed.m.history_bytes(), limit);
  }
  // Each step holds one rebuilt chunk of some tens of kilobytes, so fewer than all fit.
  EXPECT_LT(ed.m.undo_list().size(), 600u);
  EXPECT_GT(ed.m.undo_list().size(), 10u);
  size_t steps = 0;
  while (!ed.m.undo_list().empty()) {
    ed.m.undo_step();
    ++steps;
  }
  EXPECT_EQ(ed.m.get_row(20000),
            "ro" + std::string(600 - steps, '!') + "w number 20000 of the text");
  EXPECT_LE(ed.m.history_bytes(), limit);
}

// A snapshot of a large text shares its rows: the undo record of one keystroke must not
// hold a second copy of the document.
TEST(Undo, SnapshotsShareUnchangedRows) {
  std::string text;
  for (int i = 0; i < 50000; ++i) text += "row number " + std::to_string(i) + "\r\n";
  Ed ed;
  ed.m.set_all_text(text);
  ed.caret(3, 25000);
  ed.m.type_char('!', false);
  const RowStore& before = ed.m.undo_list()[0].rows;
  const RowStore& now = ed.m.Lines();
  size_t same = 0;
  for (size_t i = 0; i < now.size(); ++i) same += before[i].data() == now[i].data();
  EXPECT_GT(same, now.size() - 4096);
  EXPECT_EQ(before[25000], "row number 25000");
  EXPECT_EQ(now[25000], "ro!w number 25000");
}

TEST(Undo, WrapModeUndoKeepsLogicalLinesInStep) {
  Ed ed({"abcdefgh", "z"});
  ed.m.set_wrap_width(5);
  ed.m.set_wrap(true);
  ed.caret(1, 2);
  ed.m.type_char('Q', false);
  EXPECT_EQ(ed.m.get_all_text(), "abcdefgh\r\nQz");
  ed.m.undo_step();
  EXPECT_EQ(ed.m.get_all_text(), "abcdefgh\r\nz");
}

}  // namespace
}  // namespace lq

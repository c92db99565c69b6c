#include <gtest/gtest.h>

#include <random>

#include "core/editor/dbcs.h"
#include "core/editor/editor_model.h"
#include "core/editor/wrap.h"
#include "core/encoding/code_page.h"
#include "editor_test_util.h"

namespace lq {
namespace {

using test::show;

struct BoundaryCase {
  const char* name;
  std::string text;
  int p;
  bool splits;
  int forward, backward;
  const CodePage* page = &gbk_code_page();
};

class CharBoundary : public testing::TestWithParam<BoundaryCase> {};

TEST_P(CharBoundary, ForwardAndBackward) {
  const auto& c = GetParam();
  EXPECT_EQ(splits_char(c.p, c.text, *c.page), c.splits);
  EXPECT_EQ(char_boundary(c.p, c.text, true, *c.page), c.forward);
  EXPECT_EQ(char_boundary(c.p, c.text, false, *c.page), c.backward);
}

const CodePage* const kUtf8 = &utf8_code_page();

INSTANTIATE_TEST_SUITE_P(
    Cases, CharBoundary,
    testing::Values(BoundaryCase{"before_zhong",
                                 "\xD6\xD0"
                                 "a",
                                 1, false, 1, 1},
                    BoundaryCase{"inside_zhong",
                                 "\xD6\xD0"
                                 "a",
                                 2, true, 3, 1},
                    BoundaryCase{"after_zhong",
                                 "\xD6\xD0"
                                 "a",
                                 3, false, 3, 3},
                    BoundaryCase{"second_of_two", "a\xD6\xD0\xCE\xC4", 5, true, 6, 4},
                    // A GBK character whose second byte is ASCII stays one character.
                    BoundaryCase{"low_second_byte",
                                 "\x81\x40"
                                 "b",
                                 2, true, 3, 1},
                    BoundaryCase{"after_low_second",
                                 "\x81\x40"
                                 "b",
                                 3, false, 3, 3},
                    BoundaryCase{"past_the_end", "\xD6", 5, false, 5, 5},
                    // UTF-8: 中 is E4 B8 AD, 😀 F0 9F 98 80.
                    BoundaryCase{"utf8_second_byte",
                                 "a\xE4\xB8\xAD"
                                 "b",
                                 3, true, 5, 2, kUtf8},
                    BoundaryCase{"utf8_third_byte",
                                 "a\xE4\xB8\xAD"
                                 "b",
                                 4, true, 5, 2, kUtf8},
                    BoundaryCase{"utf8_after",
                                 "a\xE4\xB8\xAD"
                                 "b",
                                 5, false, 5, 5, kUtf8},
                    BoundaryCase{"utf8_four_bytes", "x\xF0\x9F\x98\x80", 5, true, 6, 2, kUtf8},
                    // Bytes that form no UTF-8 character stand alone: nothing to split.
                    BoundaryCase{"utf8_gbk_bytes", "\xD6\xD0", 2, false, 2, 2, kUtf8}),
    [](const auto& info) { return std::string(info.param.name); });

struct WrapCase {
  const char* name;
  std::string line;
  int w;
  std::vector<std::string> rows;
  const CodePage* page = &gbk_code_page();
};

class SplitRow : public testing::TestWithParam<WrapCase> {};

TEST_P(SplitRow, RowsAndMarkers) {
  EXPECT_EQ(split_row(GetParam().line, GetParam().w, *GetParam().page), GetParam().rows);
}

const std::string k20(20, 'x');
const std::string k10(10, 'x');
const std::string k9(9, 'y');

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitRow,
    testing::Values(WrapCase{"exact_fill_adds_empty_row", k20, 10, {"0:" + k10, "1:" + k10, "1:"}},
                    WrapCase{"narrow_means_no_wrap", k20, 4, {"0:" + k20}},
                    WrapCase{
                        "character_moves_down", k9 + "\xD6\xD0", 10, {"0:" + k9, "1:\xD6\xD0"}},
                    WrapCase{"utf8_character_moves_down",
                             k9 + "\xE4\xB8\xAD",
                             10,
                             {"0:" + k9, "1:\xE4\xB8\xAD"},
                             kUtf8},
                    WrapCase{"empty_line", "", 10, {"0:"}},
                    WrapCase{"short_line", "abc", 10, {"0:abc"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogicalFromRows, MarkersJoinAndUnmarkedRowsStartLines) {
  EditorModel m;
  m.set_wrap(true);
  // Rows as typing, Enter and pasting leave them; rows appended below the text are written
  // as they are, markers included.
  const char* rows[] = {"0:ab", "1:cd", "x", "1:ef", "0:"};
  for (int i = 0; i < 5; ++i) {
    m.set_caret_row(i);
    m.set_current_line(rows[i]);
  }
  m.logical_from_rows();
  EXPECT_EQ(m.logical_lines().to_lines(), (LineList{"abcd", "xef", ""}));
}

// A logical line that itself begins with "1:" must not become a continuation.
TEST(Wrap, LineStartingWithMarkerSurvivesWrapSaveAndUnwrap) {
  test::Ed ed({"1:starts like a marker", "0:", "plain"});
  ed.m.set_wrap_width(8);
  ed.m.set_wrap(true);
  EXPECT_EQ(ed.m.Lines()[0], "0:1:starts");
  EXPECT_EQ(ed.m.get_all_text(), "1:starts like a marker\r\n0:\r\nplain");
  ed.m.set_wrap(false);
  EXPECT_EQ(ed.rows(), (std::vector<std::string>{"1:starts like a marker", "0:", "plain"}));
}

TEST(Wrap, TextAndRowsFollowEachOtherBothWays) {
  test::Ed ed({"a", "b"});
  EXPECT_EQ(ed.m.get_all_text(), "a\r\nb\r\n");
  ed.m.set_wrap_width(10);
  ed.m.set_wrap(true);
  EXPECT_EQ(ed.m.get_all_text(), "a\r\nb");
  EXPECT_EQ(ed.rows(), (std::vector<std::string>{"0:a", "0:b"}));
  EXPECT_EQ(ed.m.get_row(1), "b");
  ed.m.put_row(1, "xyz");
  EXPECT_EQ(ed.m.Lines()[1], "0:xyz");
  // A change of the rows reaches the logical lines before they are read.
  EXPECT_EQ(ed.m.get_all_text(), "a\r\nxyz");
  ed.m.rewrap(5);
  ed.m.set_all_text("abcdefgh");
  EXPECT_EQ(ed.rows(), (std::vector<std::string>{"0:abcde", "1:fgh"}));
  // Switching to the state in force changes nothing.
  ed.m.set_wrap(true);
  EXPECT_EQ(ed.m.get_all_text(), "abcdefgh");
  ed.m.set_wrap(false);
  ed.m.set_wrap(false);
  EXPECT_EQ(ed.rows(), (std::vector<std::string>{"abcdefgh"}));
}

}  // namespace
}  // namespace lq

namespace lq {
namespace {

// Wrapping only the logical lines that changed must give exactly what wrapping all of them
// gives. The reference groups the rows by the markers and wraps every line again.
TEST(Wrap, RewrappingChangedLinesEqualsRewrappingAll) {
  auto full = [](const LineList& rows, int w) {
    LineList lines;
    for (const auto& r : rows) {
      bool next = r.rfind("1:", 0) == 0;
      std::string text = next || r.rfind("0:", 0) == 0 ? r.substr(2) : r;
      if (next && !lines.empty()) {
        lines.back() += text;
      } else {
        lines.push_back(text);
      }
    }
    LineList out;
    for (const auto& l : lines)
      for (auto& r : split_row(l, w, gbk_code_page())) out.push_back(r);
    return out;
  };
  std::mt19937 rng(11);
  test::Ed ed;
  std::string text;
  for (int i = 0; i < 3000; ++i)
    text += std::string(rng() % 30, 'a' + static_cast<char>(i % 26)) + "\r\n";
  ed.m.set_wrap_width(12);
  ed.m.set_wrap(true);
  ed.m.set_all_text(text);
  ed.clip.content = "p\r\nq";
  for (int step = 0; step < 400; ++step) {
    // Several changes may come between two re-wraps.
    for (int edits = 1 + static_cast<int>(rng() % 4); edits > 0; --edits) {
      int line = static_cast<int>(rng() % static_cast<unsigned>(ed.m.row_count() + 2));
      ed.caret(1 + static_cast<int>(rng() % 14), line);
      ed.select({1 + static_cast<int>(rng() % 5), line},
                {1 + static_cast<int>(rng() % 5), line + static_cast<int>(rng() % 3)});
      switch (rng() % 8) {
        case 0:
          ed.m.delete_key();
          break;
        case 1:
          ed.m.backspace_key();
          break;
        case 2:
          ed.m.enter_key();
          break;
        case 3:
          ed.m.insert_text(rng() % 2 ? "xyz" : "u\nv");
          break;
        case 4:
          ed.m.delete_selection();
          break;
        case 5:
          ed.m.undo_step();
          break;
        case 6:
          ed.m.paste_over();
          break;
        default:
          ed.m.put_row(line, "1:looks like a marker");
          break;
      }
    }
    LineList before = ed.m.Lines().to_lines();
    ed.m.rows_from_logical();
    ASSERT_EQ(ed.m.Lines().to_lines(), full(before, 12)) << "step " << step;
  }
}

}  // namespace
}  // namespace lq

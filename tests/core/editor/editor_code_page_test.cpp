// The editor on documents in a code page of their own: UTF-8 characters stay whole as GBK
// pairs do, files come back byte for byte, and text crosses from one code page to another
// only converted.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/editor/edit_commands.h"
#include "core/editor/editor_model.h"
#include "core/encoding/code_page.h"
#include "editor_test_util.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

using Rows = std::vector<std::string>;
using test::Ed;
using test::show;

const CodePage& utf8 = utf8_code_page();
const CodePage& gbk = gbk_code_page();

std::string in_gbk(const char* utf8_text) {
  return gbk.from_utf8(utf8_text);
}

// An editor holding UTF-8 rows (the source text is UTF-8).
struct Utf8Ed : Ed {
  explicit Utf8Ed(std::vector<std::string> rows) : Ed(std::move(rows)) { m.set_page(utf8); }
};

TEST(Utf8Document, CaretNeverStopsInsideACharacter) {
  // 中 takes columns 2 to 4.
  struct {
    const char* name;
    int col, h_offset;
    bool forward;
    int fixed;
  } cases[] = {
      {"second_byte_forward", 3, 0, true, 5},
      {"third_byte_back", 4, 0, false, 2},
      {"scrolled_view", 3, 1, true, 5},
      {"start_stays", 2, 0, true, 2},
  };
  for (const auto& c : cases) {
    Utf8Ed ed({"a中b"});
    ed.m.set_h_offset(c.h_offset);
    ed.caret(c.col, 0);
    ed.m.fix_caret_dbcs(c.forward);
    EXPECT_EQ(ed.m.caret_abs_col(), c.fixed) << c.name;
  }
}

TEST(Utf8Document, DeleteAndBackspaceTakeWholeCharacters) {
  Utf8Ed del({"a中b"});
  del.caret(2, 0);
  del.m.delete_key();
  EXPECT_EQ(del.rows(), Rows{"ab"});

  Utf8Ed back({"a中b", "x😀"});
  back.caret(5, 0);
  back.m.backspace_key();
  EXPECT_EQ(back.rows()[0], "ab");
  EXPECT_EQ(back.m.caret_abs_col(), 2);
  back.caret(6, 1);  // after the four bytes of 😀
  back.m.backspace_key();
  EXPECT_EQ(back.rows()[1], "x");
}

TEST(Utf8Document, FindMatchesOnUtf8Boundaries) {
  // Read as GBK pairs, 文中 is E696 87E4 B8AD and 中 would start inside a pair.
  Utf8Ed ed({"文中", "中中"});
  ASSERT_TRUE(find_next_in(ed.m, "中"));
  EXPECT_EQ(ed.m.sel_anchor(), (EditPos{4, 0}));
  EXPECT_EQ(ed.m.sel_end(), (EditPos{7, 0}));
  // From inside a character the search starts after it.
  ed.caret(2, 1);
  ASSERT_TRUE(find_next_in(ed.m, "中"));
  EXPECT_EQ(ed.m.sel_anchor(), (EditPos{4, 1}));
}

TEST(Utf8Document, TypingInsertsWholeCharactersAndWrapNeverCutsThem) {
  Utf8Ed ed({"ab"});
  ed.caret(2, 0);
  EXPECT_TRUE(ed.m.type_chars("中", false));
  EXPECT_EQ(ed.rows(), Rows{"a中b"});
  EXPECT_EQ(ed.m.caret_abs_col(), 5);

  Utf8Ed wrapped({"abcd"});
  wrapped.m.set_wrap_width(5);
  wrapped.m.set_wrap(true);
  wrapped.caret(5, 0);
  // Byte by byte, the character waits until its last byte.
  EXPECT_FALSE(wrapped.m.type_char(0xE4, false));
  EXPECT_FALSE(wrapped.m.type_char(0xB8, false));
  EXPECT_EQ(wrapped.rows(), Rows{"0:abcd"});
  EXPECT_TRUE(wrapped.m.type_char(0xAD, false));
  EXPECT_EQ(wrapped.m.pending_bytes(), "");
  EXPECT_EQ(wrapped.rows(), (Rows{"0:abcd", "1:中"}));
}

class CodePageFiles : public test::TempDirTest {
 protected:
  std::string read(const std::string& p) const { return test::read_file(p); }
};

TEST_F(CodePageFiles, LoadAndSaveGiveTheFileBack) {
  struct {
    const char* name;
    std::string bytes;
    const char* format;
    Rows rows;
  } cases[] = {
      {"utf8_lf", "第一行\n第二行\n", "UTF-8 · LF", {"第一行", "第二行"}},
      {"utf8_bom_no_final_end",
       "\xEF\xBB\xBF中文\r\n最后一行",
       "UTF-8 BOM · CR LF",
       {"中文", "最后一行"}},
      {"gbk_crlf", in_gbk("中文\r\n第二行\r\n"), "GBK · CR LF", {in_gbk("中文"), in_gbk("第二行")}},
      {"mixed_ends", "一\n二\r\n三", "UTF-8 · LF", {"一", "二", "三"}},
  };
  for (const auto& c : cases) {
    Ed ed;
    ASSERT_TRUE(ed.m.load_file(write(std::string(c.name) + ".txt", c.bytes))) << c.name;
    EXPECT_EQ(ed.m.format_text(), c.format) << c.name;
    EXPECT_EQ(ed.rows(), c.rows) << c.name;
    ed.m.save_file(path("out.txt"));
    EXPECT_EQ(show(read(path("out.txt"))), show(c.bytes)) << c.name;
  }
  EXPECT_EQ(Ed().m.format_text(), "GBK · CR LF");
}

TEST_F(CodePageFiles, NewLinesTakeTheFirstLineEnd) {
  Ed ed;
  ASSERT_TRUE(ed.m.load_file(write("mixed.txt", "一\n二\r\n三")));
  ed.caret(4, 0);
  ed.m.enter_key();
  ed.m.save_file(path("mixed.txt"));
  EXPECT_EQ(show(read(path("mixed.txt"))), show("一\n\n二\n三"));
  // Saved, the file's ends are the ones written: the CR LF is not back with the old count.
  ed.m.backspace_key();
  ed.m.save_file(path("mixed.txt"));
  EXPECT_EQ(show(read(path("mixed.txt"))), show("一\n二\n三"));

  Ed bom;
  ASSERT_TRUE(bom.m.load_file(write("bom.txt",
                                    "\xEF\xBB\xBF"
                                    "a\r\nb")));
  bom.caret(2, 0);
  bom.m.enter_key();
  bom.m.save_file(path("bom.txt"));
  EXPECT_EQ(show(read(path("bom.txt"))), show("\xEF\xBB\xBF"
                                              "a\r\n\r\nb"));
}

TEST_F(CodePageFiles, ConvertingToGbkDropsTheMarkForGood) {
  Ed ed;
  ASSERT_TRUE(ed.m.load_file(write("m.txt", "\xEF\xBB\xBF中\n")));
  ASSERT_TRUE(ed.m.convert_page(gbk).ok());
  EXPECT_EQ(ed.m.format_text(), "GBK · LF");
  ed.m.save_file(path("m.txt"));
  EXPECT_EQ(show(read(path("m.txt"))), show(in_gbk("中\n")));
  ASSERT_TRUE(ed.m.convert_page(utf8).ok());
  ed.m.save_file(path("m.txt"));
  EXPECT_EQ(show(read(path("m.txt"))), show("中\n"));
}

TEST(ConvertPage, RefusesWhatTheTargetLacksAndChangesNothing) {
  Utf8Ed ed({"a😀b✓", "😀c"});
  const PageConversion found = ed.m.convert_page(gbk);
  EXPECT_EQ(found.missing, (Rows{"😀", "✓"}));
  EXPECT_EQ(ed.rows(), (Rows{"a😀b✓", "😀c"}));
  EXPECT_EQ(&ed.m.page(), &utf8);
  EXPECT_EQ(ed.client.changes, 0);
  EXPECT_TRUE(ed.m.undo_list().empty());

  // Bytes that are no GBK character would come out as U+FFFD: refused as well.
  Ed bad({"a\xFF", "b\xFF"});
  EXPECT_EQ(bad.m.convert_page(utf8).undecodable, Rows{"\xFF"});
  EXPECT_EQ(bad.rows(), (Rows{"a\xFF", "b\xFF"}));
  EXPECT_EQ(&bad.m.page(), &gbk);
}

TEST(ConvertPage, KeepsCaretAndSelectionOnTheirCharactersAndUndoes) {
  // 中 is columns 1-3, a 4, 文 5-7 in UTF-8; 1-2, 3 and 4-5 in GBK.
  Utf8Ed ed({"中a文", "b"});
  ed.select({4, 0}, {8, 0});
  ed.caret(5, 0);
  ASSERT_TRUE(ed.m.convert_page(gbk).ok());
  EXPECT_EQ(ed.rows(), (Rows{in_gbk("中a文"), "b"}));
  EXPECT_EQ(ed.m.sel_anchor(), (EditPos{3, 0}));
  EXPECT_EQ(ed.m.sel_end(), (EditPos{6, 0}));
  EXPECT_EQ(ed.m.caret_abs_col(), 4);
  EXPECT_EQ(ed.client.changes, 1);
  ed.m.undo_step();
  EXPECT_EQ(ed.rows(), (Rows{"中a文", "b"}));
  EXPECT_EQ(&ed.m.page(), &utf8);

  Utf8Ed wrapped({"中文字"});
  wrapped.m.set_wrap_width(5);
  wrapped.m.set_wrap(true);
  EXPECT_EQ(wrapped.rows(), (Rows{"0:中", "1:文", "1:字"}));
  ASSERT_TRUE(wrapped.m.convert_page(gbk).ok());
  EXPECT_EQ(wrapped.rows(), (Rows{"0:" + in_gbk("中文"), "1:" + in_gbk("字")}));
}

TEST(ClipboardPages, PasteConvertsFromTheCopyingDocumentsPage) {
  Utf8Ed ed({"ab"});
  ed.caret(2, 0);
  ed.clip.content = in_gbk("中");
  ed.clip.page = &gbk;
  ed.m.paste_clipboard();
  EXPECT_EQ(ed.rows(), Rows{"a中b"});
  ed.m.select_all();
  ed.m.copy_selection();
  EXPECT_EQ(ed.clip.page, &utf8);

  Ed gbk_doc({""});
  gbk_doc.clip.content = ed.clip.content;
  gbk_doc.clip.page = ed.clip.page;
  gbk_doc.m.paste_clipboard();
  EXPECT_EQ(show(gbk_doc.rows()[0]), show(in_gbk("a中b")));
  gbk_doc.clip.content = "😀";  // GBK lacks it
  gbk_doc.clip.page = &utf8;
  gbk_doc.m.select_all();
  gbk_doc.m.paste_over();
  EXPECT_EQ(gbk_doc.rows(), Rows{"?"});
}

}  // namespace
}  // namespace lq

#include "core/textsvc/text_data.h"

#include <gtest/gtest.h>

#include "core/encoding/code_page.h"
#include "core/run_error.h"
#include "support/temp_dir.h"
#include "core/textsvc/message_catalogue.h"

namespace lq {
namespace {

std::string gbk(const char* utf8) {
  return code_page().from_utf8(utf8);
}

TEST(TextDataSplit, KeepsEmptyItems) {
  const struct {
    const char* name;
    const char* text;
    LineList items;
  } rows[] = {
      {"adjacent", "a||b", {"a", "", "b"}},
      {"trailing", "a|b|", {"a", "b", ""}},
      {"only_sep", "|", {"", ""}},
      {"plain", "abc", {"abc"}},
      {"empty", "", {}},
  };
  for (const auto& r : rows) EXPECT_EQ(TTextData::split_fields(r.text, "|"), r.items) << r.name;
  EXPECT_EQ(TTextData::split_fields("a<>b", "<>"), (LineList{"a", "b"}));
}

TEST(TextDataValues, LineBreaksAndBase64) {
  TTextData t;
  EXPECT_EQ(t.field_separator(), "\t");
  EXPECT_EQ(t.encode_value("a\r\nb\rc\nd"), "a<br>b<br>c<br>d");
  EXPECT_EQ(t.decode_value("a<br>b"), "a\r\nb");
  t.use_base64 = true;
  EXPECT_EQ(t.field_separator(), "|");
  EXPECT_EQ(t.encode_value("a\r\nb|"), "YQ0KYnw=");
  EXPECT_EQ(t.decode_value("YQ0KYnw="), "a\r\nb|");
  t.enable_user_sp = true;
  t.user_sp = ";;";
  EXPECT_EQ(t.field_separator(), ";;");
}

class TextDataRecords : public ::testing::Test {
 protected:
  void SetUp() override {
    t.enable_user_sp = true;
    t.user_sp = "|";
    t.record_list = {"id1|Name|note", "1|alpha|x<br>y", "2|beta", "3|gamma|z"};
    set_msg_box_handler([this](std::string_view text, bool, std::string_view caption) {
      shown.push_back(std::string(caption) + ":" + std::string(text));
      return false;
    });
  }
  void TearDown() override { set_msg_box_handler(nullptr); }

  TTextData t;
  LineList shown;
};

TEST_F(TextDataRecords, LocateFoldsFieldNameAndComparesValueExactly) {
  EXPECT_EQ(t.record_count(), 3);
  EXPECT_TRUE(t.locate("  NAME ", "gamma"));
  EXPECT_EQ(t.current_record(), 2);
  EXPECT_FALSE(t.locate("name", "Gamma"));
  EXPECT_EQ(t.current_record(), 2);
  EXPECT_TRUE(t.locate("note", "x\r\ny"));  // values are decoded first
  EXPECT_EQ(t.current_record(), 0);
  EXPECT_FALSE(t.locate("note", ""));  // "2|beta" is too short and is skipped
  EXPECT_TRUE(shown.empty());

  EXPECT_FALSE(t.locate("missing", "x"));
  EXPECT_EQ(shown, LineList{":" + gbk("没有字段") + "\"missing\"!"});
}

TEST_F(TextDataRecords, GetAndSetNeedTheExactName) {
  t.set_current(0);
  EXPECT_EQ(t.get_value("note"), "x\r\ny");
  EXPECT_EQ(t.get_value("name"), "");
  t.next_record();
  EXPECT_EQ(t.get_value("Name"), "beta");
  EXPECT_EQ(t.get_value("note"), "");  // short record
  t.set_field("note", "line1\r\nline2");
  EXPECT_EQ(t.record_list[2], "2|beta|line1<br>line2");
  t.set_field("NOTE", "ignored");
  EXPECT_EQ(t.record_list[2], "2|beta|line1<br>line2");
  t.set_current(7);
  EXPECT_EQ(t.get_value("Name"), "");
  t.set_field("Name", "nowhere");  // beyond the table: nothing happens
  EXPECT_EQ(t.record_list.size(), 4u);
}

TEST_F(TextDataRecords, AppendMakesEmptyCurrentRecord) {
  t.append_record();
  EXPECT_EQ(t.record_list.back(), "||");
  EXPECT_EQ(t.current_record(), 3);
  t.set_field("Name", "delta");
  EXPECT_EQ(t.record_list.back(), "|delta|");
  EXPECT_EQ(t.get_value("Name"), "delta");

  TTextData empty;
  EXPECT_EQ(empty.record_count(), -1);
  EXPECT_EQ(empty.get_value("x"), "");
  EXPECT_FALSE(empty.locate("x", "y"));
  empty.append_record();
  EXPECT_EQ(empty.record_count(), 1);
}

using TextDataFiles = test::TempDirTest;

TEST_F(TextDataFiles, BookmarksRoundTripWithAppliedHeader) {
  test::ScopedEnv home("LEXOQUILL_HOME", dir());
  write(kBookmarkFileName, "id1|filename1|lineno1\r\n1|/a b/c.txt|12\r\n");
  TTextData marks = make_c_mark();
  marks.load_records();
  EXPECT_EQ(marks.record_list, (LineList{"id1|filename1", "1|/a b/c.txt|12"}));

  marks.append_record();
  marks.set_field("filename1", "/d.txt");
  marks.save_records();
  EXPECT_EQ(read(kBookmarkFileName), "id1|filename1\r\n1|/a b/c.txt|12\r\n|/d.txt\r\n");

  marks.load_records();
  marks.set_current(0);
  LineList names;
  for (int k = 0; k < marks.record_count(); ++k, marks.next_record())
    names.push_back(marks.get_value("filename1"));
  EXPECT_EQ(names, (LineList{"/a b/c.txt", "/d.txt"}));
}

TEST_F(TextDataFiles, MissingFileAndFileNameHook) {
  TTextData t = make_c_mark();
  t.is_full_path = true;
  t.store_file_name = path("sub/dir/marks.txt");
  t.load_records();
  EXPECT_EQ(t.record_list, LineList{"id1|filename1"});

  std::string hooked;
  t.OnGetFileName = [&](TTextData&, std::string& name) {
    hooked = name;
    name = path("other.txt");
  };
  t.save_records();
  EXPECT_EQ(hooked, path("sub/dir/marks.txt"));
  EXPECT_EQ(read("other.txt"), "id1|filename1\r\n");

  t.OnGetFileName = nullptr;
  t.save_records();  // creates the missing directories
  EXPECT_EQ(read("sub/dir/marks.txt"), "id1|filename1\r\n");

  write("blocker", "a file where a directory is needed");
  EXPECT_THROW(t.save_records(path("blocker/x.txt")), RunError);
}

TEST(TextDataConfigured, HelpStoreFindsTheFindKeyword) {
  TTextData help = make_text_data();
  ASSERT_TRUE(help.locate("help_key1", "find1"));
  EXPECT_EQ(help.get_value("help_data1"),
            gbk("查找内容。") + "\r\n" + gbk("可以用 and 在多个关键字当中查找。"));
}

}  // namespace
}  // namespace lq

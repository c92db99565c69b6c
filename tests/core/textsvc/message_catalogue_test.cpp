#include "core/textsvc/message_catalogue.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/encoding/code_page.h"
#include "core/run_error.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

std::string gbk(const char* utf8) {
  return code_page().from_utf8(utf8);
}

TEST(MessageCatalogue, LookupStoresDefaultOnce) {
  MessageCatalogue cat;
  EXPECT_EQ(catalogue_text::get_text(cat, msg::kNotFound), gbk("没找到。"));
  EXPECT_EQ(catalogue_text::get_text(cat, msg::kNotFound), gbk("没找到。"));
  EXPECT_EQ(cat.lines(), LineList{"20000010=" + gbk("没找到。")});
}

TEST(MessageCatalogue, IdIsTrimmed) {
  MessageCatalogue cat;
  catalogue_text::get_text(cat, " 20000005 ", "done");
  EXPECT_EQ(cat.lines(), LineList{"20000005=done"});
}

TEST(MessageCatalogue, StoredValueWinsUnlessBlank) {
  MessageCatalogue cat;
  cat.set_value("1", "mine");
  cat.set_value("2", "  ");
  EXPECT_EQ(catalogue_text::get_text(cat, "1", "default"), "mine");
  EXPECT_EQ(catalogue_text::get_text(cat, "2", "default"), "default");
  EXPECT_EQ(cat.lines(), (LineList{"1=mine", "2=default"}));
}

TEST(MessageCatalogue, LineBreakEncoding) {
  const struct {
    const char* name;
    const char* stored;
    const char* shown;
  } rows[] = {
      {"two_tabs", "A\t\tB", "A\r\nB"},
      {"one_tab", "A\tB", "A\r\nB"},
      {"three_tabs", "A\t\t\tB", "A\r\n\r\nB"},
  };
  for (const auto& r : rows) {
    MessageCatalogue cat;
    cat.set_value("7", r.stored);
    EXPECT_EQ(catalogue_text::get_text(cat, "7", "x"), r.shown) << r.name;
  }
  MessageCatalogue cat;
  EXPECT_EQ(catalogue_text::get_text(cat, "8", "a\r\nb\nc"), "a\r\nb\r\nc");
  EXPECT_EQ(cat.lines(), LineList{"8=a\t\tb\tc"});
  // The no-files message keeps its two line breaks.
  EXPECT_EQ(cat.value("20000003"), "");
  const std::string t = catalogue_text::get_text(cat, msg::kNoFiles);
  EXPECT_NE(t.find("\r\n"), std::string::npos);
  EXPECT_EQ(cat.value("20000003").find('\n'), std::string::npos);
}

TEST(MessageCatalogue, NamesCompareCaseInsensitivelyAndEmptyDeletes) {
  MessageCatalogue cat;
  cat.set_value("Key", "1");
  cat.set_value("other", "x=y");
  cat.set_value("KEY", "2");
  EXPECT_EQ(cat.lines(), (LineList{"KEY=2", "other=x=y"}));
  EXPECT_EQ(cat.value("key"), "2");
  EXPECT_EQ(cat.value("other"), "x=y");
  cat.set_value("key", "");
  EXPECT_EQ(cat.lines(), LineList{"other=x=y"});
  cat.set_value("absent", "");
  EXPECT_EQ(cat.lines().size(), 1u);
}

struct Item {
  int tag;
  std::string text;
  std::string hint;
};

class FakeForm : public ITranslatableForm {
 public:
  explicit FakeForm(std::vector<Item> items) : items(std::move(items)) {}
  int item_count() const override { return static_cast<int>(items.size()); }
  int tag(int i) const override { return items[static_cast<size_t>(i)].tag; }
  std::string text(int i) const override { return items[static_cast<size_t>(i)].text; }
  std::string hint(int i) const override { return items[static_cast<size_t>(i)].hint; }
  void set_text(int i, std::string_view t) override { items[static_cast<size_t>(i)].text = t; }
  void set_hint(int i, std::string_view h) override { items[static_cast<size_t>(i)].hint = h; }
  std::vector<Item> items;
};

TEST(ApplyForm, OnlyTagsAbove100) {
  MessageCatalogue cat;
  cat.set_value("100", "low");
  cat.set_value("101", "high\t\tline");
  cat.set_value("101.hint", "tip");
  cat.set_value("-5", "negative");
  FakeForm form({{100, "a", ""}, {101, "b", "old"}, {-5, "c", ""}, {102, "d", "keep"}});
  catalogue_text::apply_form(form, cat);
  EXPECT_EQ(form.items[0].text, "a");
  EXPECT_EQ(form.items[1].text, "high\r\nline");
  EXPECT_EQ(form.items[1].hint, "tip");
  EXPECT_EQ(form.items[2].text, "c");
  EXPECT_EQ(form.items[3].text, "d");
  EXPECT_EQ(form.items[3].hint, "keep");
}

using SaveForm = test::TempDirTest;

TEST_F(SaveForm, TagZeroItemsOverwriteOneName) {
  MessageCatalogue cat;
  catalogue_text::get_text(cat, msg::kNotFound);
  FakeForm quick_find({{0, "", ""}, {0, gbk("确定"), ""}, {0, gbk("取消"), ""}});
  catalogue_text::save_form(quick_find, &cat, path(kLanguageFileName));
  EXPECT_EQ(read(kLanguageFileName),
            "20000010=" + gbk("没找到。") + "\r\n0=" + gbk("取消") + "\r\n");
}

TEST_F(SaveForm, WithoutCatalogueAndLineBreaksEncoded) {
  FakeForm form({{5, "two\r\nlines", "a hint"}});
  const std::string f = write("language.txt", "previous content\r\n");
  catalogue_text::save_form(form, nullptr, f);
  EXPECT_EQ(read("language.txt"), "5=two\t\tlines\r\n5.hint=a hint\r\n");
  EXPECT_THROW(catalogue_text::save_form(form, nullptr, path("missing/language.txt")), RunError);
}

TEST(MsgBox, GoesThroughTheHandler) {
  std::string seen;
  set_msg_box_handler([&](std::string_view text, bool ask, std::string_view caption) {
    seen = std::string(text) + "|" + (ask ? "ask" : "ok") + "|" + std::string(caption);
    return true;
  });
  EXPECT_FALSE(msg_box("done"));  // OK only: never "Yes"
  EXPECT_EQ(seen, "done|ok|");    // the interface's own caption
  EXPECT_TRUE(msg_box("reload?", true, "Lexoquill"));
  EXPECT_EQ(seen, "reload?|ask|Lexoquill");
  set_msg_box_handler(nullptr);
}

}  // namespace
}  // namespace lq

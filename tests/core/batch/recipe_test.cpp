#include "core/batch/recipe.h"

#include <gtest/gtest.h>

#include "core/encoding/code_page.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

class RecipeFile : public test::TempDirTest {
 protected:
  Recipe load(std::string_view text) {
    Recipe r;
    load_recipe(r, write("r.ini", text));
    return r;
  }
};

// Text as typed survives a save and a load whole, also what GBK cannot hold; a run then
// writes it in each file's code page.
TEST_F(RecipeFile, TextOutsideGbkRoundTrips) {
  Recipe r;
  choose_operation(r, "4");
  set_control(r, "Edit_th1", "文件", ValueForm::Unicode);
  set_control(r, "Edit_th2", "😀 \"x\"\n", ValueForm::Unicode);
  set_control(r, "Edit_hy1", "✓", ValueForm::Unicode);
  r.encoding = EncodingChoice::Utf8;
  r.eol = EolPolicy::Lf;
  const Recipe back = load(recipe_text(r));
  EXPECT_EQ(back.values.unicode_text("Edit_th2"), "😀 \"x\"\n");
  EXPECT_EQ(back.values.form("Edit_th2"), ValueForm::Unicode);
  EXPECT_EQ(back.scope.unicode_text("Edit_hy1"), "✓");
  EXPECT_EQ(back.encoding, EncodingChoice::Utf8);
  EXPECT_EQ(back.eol, EolPolicy::Lf);
  EXPECT_FALSE(back.binary.has_value());

  ParamValues v = back.values;
  v.use_page(&utf8_code_page());
  EXPECT_EQ(v.text("Edit_th1"), "文件");
  v.use_page(nullptr);
  EXPECT_EQ(v.text("Edit_th1"), gbk_code_page().from_utf8("文件"));
  ParamValues emoji;
  emoji.set_text("Edit_th2", "😀");
  EXPECT_THROW(emoji.use_page(&gbk_code_page()), ParamEncodeError);
}

// A recipe written before files had code pages reads exactly as it did: GBK bytes.
TEST_F(RecipeFile, OldRecipesReadAsBefore) {
  const Recipe r = load(
      "[scope]\nRadioButton_hy1=1\nEdit_hy1=中\n[operation]\nop=TControlForm_th\n"
      "Edit_th1=旧\nEdit_th2=\"\\xB0\\xA1\\x00z\"\n");
  EXPECT_EQ(r.values.text("Edit_th1"), gbk_code_page().from_utf8("旧"));
  EXPECT_EQ(r.values.text("Edit_th2"), std::string("\xB0\xA1\0z", 4));
  EXPECT_EQ(r.values.form("Edit_th2"), ValueForm::Program);
  EXPECT_EQ(r.scope.text("Edit_hy1"), gbk_code_page().from_utf8("中"));
  EXPECT_EQ(r.scope.mode(), 4);
  // Bytes written with escapes come back as the same bytes.
  EXPECT_EQ(load(recipe_text(r)).values.text("Edit_th2"), std::string("\xB0\xA1\0z", 4));
}

// The conversion list of [20]/[21]: an item number; a recipe without it converts by the
// tables as before.
TEST_F(RecipeFile, ConversionChoiceIsAnItemNumber) {
  EXPECT_EQ(load("[operation]\nop=TControlForm_ft2gb\nRadioButton_gb2ft=1\n")
                .values.text("ComboBox_ft2gb1"),
            "0");
  const Recipe r = load("[operation]\nop=21\nComboBox_ft2gb1=2\n");
  EXPECT_EQ(load(recipe_text(r)).values.text("ComboBox_ft2gb1"), "2");
  for (const char* bad : {"4", "-1", "x", ""})
    EXPECT_THROW(load(std::string("[operation]\nop=21\nComboBox_ft2gb1=") + bad + "\n"),
                 RecipeError)
        << bad;
}

TEST_F(RecipeFile, FileSectionRefusesWhatItDoesNotKnow) {
  EXPECT_EQ(load("[file]\nencoding=GBK\nbinary=1\n").binary, true);
  for (const char* bad : {"[file]\nencoding=latin1\n", "[file]\neol=cr\n", "[file]\nbinary=yes\n",
                          "[file]\ncolour=red\n"})
    EXPECT_THROW(load(bad), RecipeError) << bad;
}

}  // namespace
}  // namespace lq

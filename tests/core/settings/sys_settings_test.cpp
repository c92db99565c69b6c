#include "core/settings/sys_settings.h"

#include <gtest/gtest.h>

#include "core/encoding/code_page.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

TEST(SysSettings, NamesAreTheGbkBytesOfTheWords) {
  const CodePage& cp = code_page();
  EXPECT_EQ(sys_keys::kOps, cp.from_utf8("操作"));
  EXPECT_EQ(sys_keys::kCaseSensitive, cp.from_utf8("区分大小写"));
  EXPECT_EQ(sys_keys::kShellMenu, cp.from_utf8("右键菜单"));
  EXPECT_EQ(kDefaultFontName, cp.from_utf8("宋体"));
}

TEST(SysSettings, DefaultsWithoutAFile) {
  const SysSettings s = read_sys_settings(IniFile());
  EXPECT_FALSE(s.case_sensitive);
  EXPECT_TRUE(s.shell_menu);
  EXPECT_TRUE(s.alternation_paint);
  EXPECT_EQ(s.alternation_paint_color, -16777201);
  EXPECT_EQ(s.edit_font, (FontSpec{kDefaultFontName, 11, 0}));
  EXPECT_EQ(s.form_font, (FontSpec{kDefaultFontName, 9, 0}));
  EXPECT_EQ(s, SysSettings{});
}

TEST(SysSettings, ReadsTheFile) {
  const IniFile ini =
      IniFile::from_text(std::string("[") + sys_keys::kOps + "]\r\n" + sys_keys::kCaseSensitive +
                         "=1\r\n" + sys_keys::kShellMenu +
                         "=0\r\n"
                         "[EDIT]\r\nalternation_paint=0\r\n"
                         "alternation_paint_color=255\r\n"
                         "font_name=Mono\r\nfont_size=abc\r\n"
                         "font_charset=390\r\n"
                         "[form]\r\nfont_size=12\r\n");
  const SysSettings s = read_sys_settings(ini);
  EXPECT_TRUE(s.case_sensitive);
  EXPECT_FALSE(s.shell_menu);
  EXPECT_FALSE(s.alternation_paint);
  EXPECT_EQ(s.alternation_paint_color, 255);
  EXPECT_EQ(s.edit_font, (FontSpec{"Mono", 11, 390 & 0xFF}));
  EXPECT_EQ(s.form_font, (FontSpec{kDefaultFontName, 12, 0}));
}

using SysSettingsFiles = test::TempDirTest;

TEST_F(SysSettingsFiles, WriteStoresSignedColourAndRoundTrips) {
  test::ScopedEnv home("LEXOQUILL_HOME", dir());
  EXPECT_EQ(sys_ini_path(), path("sys1.ini"));
  write("sys1.ini", "[ScrollBox_fw1]\r\nPosition=40\r\n");
  IniFile ini(sys_ini_path());
  SysSettings s;
  s.case_sensitive = true;
  s.form_font.size = 10;
  s.journal_runs = 5;
  write_sys_settings(ini, s);
  const std::string text = read("sys1.ini");
  EXPECT_NE(text.find("alternation_paint_color=-16777201\r\n"), std::string::npos);
  EXPECT_NE(text.find(std::string(sys_keys::kCaseSensitive) + "=1\r\n"), std::string::npos);
  EXPECT_EQ(text.rfind("[ScrollBox_fw1]\r\nPosition=40\r\n", 0), 0u);  // left alone
  EXPECT_EQ(read_sys_settings(IniFile(sys_ini_path())), s);
}

TEST_F(SysSettingsFiles, ExtensionList) {
  const LineList builtin = builtin_ext_list();
  ASSERT_EQ(builtin.size(), 18u);
  EXPECT_EQ(builtin.front(), ".txt");
  EXPECT_EQ(builtin.back(), ".py");

  const std::string f = path("ext1.txt");
  EXPECT_FALSE(read_ext_file(f).has_value());
  EXPECT_EQ(ext_list(f), builtin);
  save_ext_file(f, {".md", ".txt"});
  EXPECT_EQ(read("ext1.txt"), ".md\r\n.txt\r\n");
  EXPECT_EQ(ext_list(f), (LineList{".md", ".txt"}));
  save_ext_file(f, {});
  EXPECT_EQ(ext_list(f), LineList{});  // an emptied list stays empty
}

}  // namespace
}  // namespace lq

#include "core/settings/layout_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/settings/sys_settings.h"
#include "core/settings/window_geometry.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

class LayoutStore : public test::TempDirTest {};

TEST_F(LayoutStore, SaveThenReadGivesTheSamePanelsInOrder) {
  IniFile ini(path("work.dsk"));
  ini.write_string("keep", "me", "1");
  write_layout(ini, 42, {"TControlForm_LAdd", "TControlForm_th"});
  const IniFile back(path("work.dsk"));
  EXPECT_EQ(back.read_string("com_list", "list"), "TControlForm_LAdd;TControlForm_th;");
  EXPECT_EQ(read_panel_list(back), (LineList{"TControlForm_LAdd", "TControlForm_th"}));
  EXPECT_EQ(read_scroll_position(back, 0), 42);
  EXPECT_EQ(back.read_string("keep", "me"), "1");
}

TEST_F(LayoutStore, PanelListDropsEmptyPiecesAndRepeats) {
  const IniFile ini =
      IniFile::from_text("[com_list]\r\nlist=;; TControlForm_th ;X;tcontrolform_TH;;x;Y\r\n");
  EXPECT_EQ(read_panel_list(ini), (LineList{"TControlForm_th", "X", "Y"}));
  EXPECT_TRUE(read_panel_list(IniFile()).empty());
  EXPECT_EQ(read_scroll_position(IniFile::from_text("[ScrollBox_fw1]\r\nPosition=-3\r\n"), 9), 9);
}

TEST_F(LayoutStore, BlankNameMeansTheSettingsFile) {
  test::ScopedEnv home("LEXOQUILL_HOME", dir());
  EXPECT_EQ(layout_file_path("  "), sys_ini_path());
  EXPECT_EQ(layout_file_path("work.dsk"), dir() + "work.dsk");
}

TEST_F(LayoutStore, NamesOfTheDskFilesOnly) {
  write("a.dsk", "");
  write("B.DSK", "");
  write("c.ini", "");
  write(".dsk", "");
  write("sub/d.dsk", "");
  LineList names = layout_names(dir());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (LineList{"B", "a"}));
}

TEST_F(LayoutStore, NamesThatCouldLeaveTheDirectoryAreRefused) {
  for (const char* bad : {"", ".", "..", "../x", "a/b", "/etc/x"})
    EXPECT_FALSE(layout_name_usable(bad)) << bad;
  for (const char* good : {"work", "我的 方案", "a.b", "..."})
    EXPECT_TRUE(layout_name_usable(good));

  write("keep.dsk", "");
  write("sub/x.dsk", "");
  EXPECT_FALSE(delete_layout(dir(), "sub/x"));
  EXPECT_FALSE(delete_layout(dir(), "missing"));
  EXPECT_TRUE(delete_layout(dir(), " keep "));
  EXPECT_TRUE(layout_names(dir()).empty());
}

// Whatever a damaged file holds, every read answers a usable value.
TEST(LayoutAndGeometry, RandomBytesGiveUsableValues) {
  std::mt19937 rng(7);
  const std::string heads[] = {"[com_list]\r\nlist=", "[ScrollBox_fw1]\r\nPosition=",
                               "[TForm1 Position]\r\nWidth=", "[edit]\r\nfont_size="};
  for (int round = 0; round < 300; ++round) {
    std::string bytes = heads[round % 4];
    const int n = static_cast<int>(rng() % 4000);
    for (int i = 0; i < n; ++i) bytes += static_cast<char>(rng() & 0xFF);
    const IniFile ini = IniFile::from_text(bytes);
    for (const std::string& name : read_panel_list(ini)) EXPECT_FALSE(name.empty());
    EXPECT_GE(read_scroll_position(ini, 0), 0);
    const Bounds b = read_window_bounds(ini, "TForm1", {0, 0, 800, 600});
    EXPECT_GE(b.width, 1);
    EXPECT_LE(b.width, 32767);
    EXPECT_GE(b.height, 1);
    const SysSettings s = read_sys_settings(ini);
    EXPECT_GE(s.edit_font.charset, 0);
  }
}

}  // namespace
}  // namespace lq

#include "core/settings/window_geometry.h"

#include <gtest/gtest.h>

namespace lq {
namespace {

TEST(WindowGeometry, PositionFileIsNamedAfterTheExecutable) {
  EXPECT_EQ(position_file_name("/usr/bin/lexoquill"), "lexoquill.ini");
  EXPECT_EQ(position_file_name("/opt/q/Lexoquill.exe"), "Lexoquill.ini");
  EXPECT_EQ(position_file_name("/a.b/prog.x.y"), "prog.x.ini");
  EXPECT_EQ(position_file_name("/x/.hidden"), ".hidden.ini");
  EXPECT_EQ(position_file_name(""), "lexoquill.ini");
}

TEST(WindowGeometry, SectionNames) {
  EXPECT_EQ(window_section("TForm1"), "TForm1 Position");
  EXPECT_EQ(control_section("TForm1", "Panel1"), "TForm1.Panel1 Position");
}

TEST(WindowGeometry, MaximizedKeepsTheNormalBoundsSavedBefore) {
  IniFile ini;
  write_window(ini, "TForm1", WindowState::kNormal, {10, 20, 800, 600}, false);
  write_window(ini, "TForm1", WindowState::kMaximized, {0, 0, 1920, 1080}, false);
  EXPECT_EQ(ini.to_text(),
            "[TForm1 Position]\r\nWindowState=2\r\nLeft=10\r\nTop=20\r\nWidth=800\r\n"
            "Height=600\r\n");
  EXPECT_EQ(read_window_state(ini, "TForm1"), WindowState::kMaximized);
  EXPECT_EQ(read_window_bounds(ini, "tform1", {}), (Bounds{10, 20, 800, 600}));
}

TEST(WindowGeometry, MinimizedApplicationIsStoredAsOne) {
  IniFile ini;
  write_window(ini, "TForm1", WindowState::kNormal, {1, 2, 3, 4}, true);
  EXPECT_EQ(ini.read_integer("TForm1 Position", "WindowState", -1), 1);
  EXPECT_EQ(ini.read_integer("TForm1 Position", "Width", -1), 3);
}

TEST(WindowGeometry, DamagedValuesKeepTheCurrentOnes) {
  const IniFile ini = IniFile::from_text(
      "[TForm1 Position]\r\nWindowState=7\r\nLeft=-99999999\r\nTop=abc\r\nWidth=0\r\n"
      "Height=99999999999\r\n"
      "[TForm1.Panel1 Position]\r\nWidth=-5\r\nHeight=120\r\n");
  const Bounds current{5, 6, 700, 500};
  EXPECT_EQ(read_window_state(ini, "TForm1"), WindowState::kNormal);
  EXPECT_EQ(read_window_bounds(ini, "TForm1", current), current);
  EXPECT_EQ(read_window_bounds(IniFile(), "TForm1", current), current);
  EXPECT_EQ(read_area_size(ini, "TForm1", "Panel1", Align::kLeft, 300), 300);
}

TEST(WindowGeometry, AreaTakesWidthOrHeightByItsSide) {
  IniFile ini;
  write_area(ini, "TForm1", "Panel1", {1, 2, 250, 400});
  struct Case {
    Align align;
    int expected;
  } cases[] = {{Align::kLeft, 250},   {Align::kRight, 250}, {Align::kTop, 400},
               {Align::kBottom, 400}, {Align::kNone, 77},   {Align::kClient, 77}};
  for (const Case& c : cases)
    EXPECT_EQ(read_area_size(ini, "TForm1", "Panel1", c.align, 77), c.expected)
        << static_cast<int>(c.align);
  EXPECT_EQ(ini.read_integer("TForm1.Panel1 Position", "Left", -1), 1);
  EXPECT_EQ(ini.read_integer("TForm1.Panel1 Position", "Top", -1), 2);
}

}  // namespace
}  // namespace lq

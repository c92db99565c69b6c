// Window geometry as kept in the position file and in ".dsk" layouts: one section per
// window ("TForm1 Position": WindowState, Left, Top, Width, Height) and one per area that a
// splitter of the window resizes ("TForm1.Panel1 Position": Left, Top, Width, Height).
// The files are shared with older versions of the program, so names and value meanings
// stay as they are.
//
// Reads never fail: a missing key keeps the current value, and so does a value that no
// screen could hold (a damaged or hand-edited file must not make the window vanish).
#pragma once

#include <string>
#include <string_view>

#include "core/settings/ini_file.h"

namespace lq {

// The window's state as stored: 0 normal, 1 minimized, 2 maximized.
enum class WindowState { kNormal = 0, kMinimized = 1, kMaximized = 2 };

struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  bool operator==(const Bounds&) const = default;
};

// The side of its area that a splitter sits on. A left- or right-aligned area keeps its
// width, a top- or bottom-aligned one its height.
enum class Align { kNone, kTop, kBottom, kLeft, kRight, kClient };

// "lexoquill.ini" for "/usr/bin/lexoquill": the executable's file name with its
// extension, if any, replaced by ".ini".
std::string position_file_name(std::string_view exe_path);
// app_path() + position_file_name(the running executable).
std::string position_file_path();

// "TForm1 Position" / "TForm1.Panel1 Position".
std::string window_section(std::string_view class_name);
std::string control_section(std::string_view class_name, std::string_view control_name);

// The stored state (default normal; anything but 0, 1, 2 counts as normal).
WindowState read_window_state(const IniFile& ini, std::string_view class_name);
// The stored bounds, each key defaulting to the current value.
Bounds read_window_bounds(const IniFile& ini, std::string_view class_name, const Bounds& current);
// Writes WindowState, and the bounds unless the window is maximized (it then keeps the
// normal bounds saved before). With app_minimized, WindowState is written as 1.
void write_window(IniFile& ini, std::string_view class_name, WindowState state,
                  const Bounds& bounds, bool app_minimized);

// The width (left/right) or height (top/bottom) stored for an area; current for every
// other alignment, when the key is missing or when the value is out of range.
int read_area_size(const IniFile& ini, std::string_view class_name, std::string_view control_name,
                   Align align, int current);
// Writes all four bounds, whatever the alignment.
void write_area(IniFile& ini, std::string_view class_name, std::string_view control_name,
                const Bounds& bounds);

}  // namespace lq

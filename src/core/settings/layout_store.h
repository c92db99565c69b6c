// Operation layouts: the scroll position of the scope list and the ordered list of the
// operation panels shown, kept under a name as "<name>.dsk" in the program's directory, or
// without a name in "sys1.ini" from one run to the next. A layout file also holds the main
// window's geometry sections (window_geometry.h); a save leaves other keys alone.
#pragma once

#include <string>
#include <string_view>

#include "core/settings/ini_file.h"
#include "core/textsvc/line_list.h"

namespace lq {

inline constexpr const char* kLayoutExt = ".dsk";

// The file a layout operation works on: "sys1.ini" for a blank name, otherwise the name
// taken relative to the program's directory.
std::string layout_file_path(std::string_view file_name);

// "ScrollBox_fw1"/"Position"; current when missing or negative.
int read_scroll_position(const IniFile& ini, int current);

// "com_list"/"list": the class names between the ";", in order, blanks trimmed, empty
// pieces and repeats (compared without regard to ASCII case) dropped.
LineList read_panel_list(const IniFile& ini);

// "TControlForm_LAdd;TControlForm_th;": each name followed by ";".
std::string panel_list_text(const LineList& class_names);

// Writes both keys. Throws RunError when the file cannot be written.
void write_layout(IniFile& ini, int scroll_position, const LineList& class_names);

// The names of the ".dsk" files in dir (no recursion), without directory and extension,
// in the file system's order.
LineList layout_names(const std::string& dir);

// A name the user typed for a new layout, already trimmed, is usable when it is not empty
// and names a file directly in the program's directory: no "/", no NUL, not "." or "..".
bool layout_name_usable(std::string_view name);

// Deletes "<name>.dsk" (name trimmed) in dir; false when there is nothing to delete or the
// name could reach outside dir.
bool delete_layout(const std::string& dir, std::string_view name);

}  // namespace lq

// The program's options as kept in "sys1.ini", and the default extension list kept in
// "ext1.txt", both in the program's directory (app_path).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/encoding/text_detect.h"
#include "core/settings/ini_file.h"
#include "core/textsvc/line_list.h"
#include "core/textsvc/text_layout.h"

namespace lq {

inline constexpr const char* kSysIniName = "sys1.ini";
inline constexpr const char* kExtFileName = "ext1.txt";

// Section and key names of the options, as GBK bytes.
namespace sys_keys {
inline constexpr const char* kOps = "\xB2\xD9\xD7\xF7";  // 操作
inline constexpr const char* kCaseSensitive =
    "\xC7\xF8\xB7\xD6\xB4\xF3\xD0\xA1\xD0\xB4";                                // 区分大小写
inline constexpr const char* kShellMenu = "\xD3\xD2\xBC\xFC\xB2\xCB\xB5\xA5";  // 右键菜单
inline constexpr const char* kEdit = "edit";
inline constexpr const char* kForm = "form";
inline constexpr const char* kAlternationPaint = "alternation_paint";
inline constexpr const char* kAlternationPaintColor = "alternation_paint_color";
inline constexpr const char* kFontName = "font_name";
inline constexpr const char* kFontSize = "font_size";
inline constexpr const char* kFontCharset = "font_charset";
inline constexpr const char* kUndoSteps = "undo_steps";
inline constexpr const char* kUndoMb = "undo_max_mb";
inline constexpr const char* kJournal = "journal";
inline constexpr const char* kJournalRuns = "runs";
inline constexpr const char* kJournalMb = "max_mb";
inline constexpr const char* kFile = "file";
inline constexpr const char* kEncoding = "encoding";  // auto, gbk, utf-8
inline constexpr const char* kEol = "eol";            // keep, crlf, lf
inline constexpr const char* kBinary = "binary";
}  // namespace sys_keys

// 宋体 as GBK bytes: the default font of editors and windows.
inline constexpr const char* kDefaultFontName = "\xCB\xCE\xCC\xE5";

// The system button-face colour in the toolkit's colour format: 0xFF00000F, kept in the
// file as its signed value -16777201.
inline constexpr std::int32_t kButtonFaceColor = static_cast<std::int32_t>(0xFF00000FU);

struct FontSpec {
  std::string name;  // GBK bytes
  int size = 0;      // points
  int charset = 0;   // 0..255

  bool operator==(const FontSpec&) const = default;
};

struct SysSettings {
  bool case_sensitive = false;
  bool shell_menu = true;
  bool alternation_paint = true;
  std::int32_t alternation_paint_color = kButtonFaceColor;
  FontSpec edit_font{kDefaultFontName, 11, 0};
  FontSpec form_font{kDefaultFontName, 9, 0};
  // The editor's undo history: how many steps and how many megabytes each document keeps.
  int undo_steps = 1000;
  int undo_mb = 128;
  // The journal of batch runs: how many runs and how many megabytes it keeps.
  int journal_runs = 20;
  int journal_mb = 1024;
  // How the batch reads and writes files: the code page ("自动" decides per file), the
  // line ends ("保持原样" keeps each line's) and whether files with NUL bytes are processed.
  EncodingChoice encoding = EncodingChoice::Auto;
  EolPolicy eol = EolPolicy::Keep;
  bool binary = false;

  bool operator==(const SysSettings&) const = default;
};

// Reads the options; every key that is missing or unreadable takes its default.
SysSettings read_sys_settings(const IniFile& ini);
// Writes every option (booleans as 1/0, the colour as its signed value).
void write_sys_settings(IniFile& ini, const SysSettings& settings);

// app_path() + "sys1.ini" / "ext1.txt".
std::string sys_ini_path();
std::string ext_file_path();

// The extension list as built into the options dialog: ".txt", ".htm", ... ".py".
LineList builtin_ext_list();
// The lines of the extension file, or nothing when it does not exist or cannot be read.
std::optional<LineList> read_ext_file(const std::string& path);
// The list that adding a directory filters with: the file's lines, or the built-in list
// while the file has not been written yet.
LineList ext_list(const std::string& path);
// Writes the list, one extension per line, CR LF. Throws RunError on failure.
void save_ext_file(const std::string& path, const LineList& exts);

}  // namespace lq

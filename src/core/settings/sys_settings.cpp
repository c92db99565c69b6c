#include "core/settings/sys_settings.h"

#include <algorithm>

#include "core/run_error.h"
#include "core/textsvc/file_services.h"

namespace lq {

namespace {

FontSpec read_font(const IniFile& ini, const char* section, int default_size) {
  FontSpec f;
  f.name = ini.read_string(section, sys_keys::kFontName, kDefaultFontName);
  f.size = ini.read_integer(section, sys_keys::kFontSize, default_size);
  f.charset = ini.read_integer(section, sys_keys::kFontCharset, 0) & 0xFF;
  return f;
}

void write_font(IniFile& ini, const char* section, const FontSpec& f) {
  ini.write_string(section, sys_keys::kFontName, f.name);
  ini.write_integer(section, sys_keys::kFontSize, f.size);
  ini.write_integer(section, sys_keys::kFontCharset, f.charset & 0xFF);
}

}  // namespace

SysSettings read_sys_settings(const IniFile& ini) {
  using namespace sys_keys;
  SysSettings s;
  s.case_sensitive = ini.read_bool(kOps, kCaseSensitive, false);
  s.shell_menu = ini.read_bool(kOps, kShellMenu, true);
  s.edit_font = read_font(ini, kEdit, 11);
  s.form_font = read_font(ini, kForm, 9);
  s.alternation_paint = ini.read_bool(kEdit, kAlternationPaint, true);
  s.alternation_paint_color = ini.read_integer(kEdit, kAlternationPaintColor, kButtonFaceColor);
  // At least one step is always kept: an editor without undo would lose work to a slip.
  s.undo_steps = std::max(1, ini.read_integer(kEdit, kUndoSteps, 1000));
  s.undo_mb = std::max(1, ini.read_integer(kEdit, kUndoMb, 128));
  // Negative limits make no sense; they count as none kept.
  s.journal_runs = std::max(0, ini.read_integer(kJournal, kJournalRuns, 20));
  s.journal_mb = std::max(0, ini.read_integer(kJournal, kJournalMb, 1024));
  // A value this version does not know keeps the default.
  parse_encoding_choice(ini.read_string(kFile, kEncoding, "auto"), s.encoding);
  parse_eol_policy(ini.read_string(kFile, kEol, "keep"), s.eol);
  s.binary = ini.read_bool(kFile, kBinary, false);
  return s;
}

void write_sys_settings(IniFile& ini, const SysSettings& s) {
  using namespace sys_keys;
  // One save at the end rather than one per key.
  const bool was = ini.write_through();
  ini.set_write_through(false);
  try {
    ini.write_bool(kOps, kCaseSensitive, s.case_sensitive);
    ini.write_bool(kOps, kShellMenu, s.shell_menu);
    ini.write_bool(kEdit, kAlternationPaint, s.alternation_paint);
    ini.write_integer(kEdit, kAlternationPaintColor, s.alternation_paint_color);
    ini.write_integer(kEdit, kUndoSteps, s.undo_steps);
    ini.write_integer(kEdit, kUndoMb, s.undo_mb);
    write_font(ini, kEdit, s.edit_font);
    write_font(ini, kForm, s.form_font);
    ini.write_integer(kJournal, kJournalRuns, s.journal_runs);
    ini.write_integer(kJournal, kJournalMb, s.journal_mb);
    ini.write_string(kFile, kEncoding, encoding_choice_name(s.encoding));
    ini.write_string(kFile, kEol, eol_policy_name(s.eol));
    ini.write_bool(kFile, kBinary, s.binary);
    ini.set_write_through(was);
    if (was) ini.update_file();
  } catch (...) {
    ini.set_write_through(was);
    throw;
  }
}

std::string sys_ini_path() {
  return app_path() + kSysIniName;
}
std::string ext_file_path() {
  return app_path() + kExtFileName;
}

LineList builtin_ext_list() {
  return {".txt", ".htm", ".html", ".c",   ".cpp", ".h",   ".hpp", ".pas",  ".dpr",
          ".bpr", ".asp", ".php",  ".cgi", ".ini", ".bat", ".inc", ".java", ".py"};
}

std::optional<LineList> read_ext_file(const std::string& path) {
  if (!file_exists(path)) return std::nullopt;
  LineList lines;
  try {
    load_lines(path, lines);
  } catch (const RunError&) {
    return std::nullopt;
  }
  return lines;
}

LineList ext_list(const std::string& path) {
  std::optional<LineList> lines = read_ext_file(path);
  return lines ? *lines : builtin_ext_list();
}

void save_ext_file(const std::string& path, const LineList& exts) {
  save_lines(path, exts);
}

}  // namespace lq

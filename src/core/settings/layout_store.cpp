#include "core/settings/layout_store.h"

#include <cstdio>

#include "core/settings/sys_settings.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

namespace {

constexpr const char* kScrollSection = "ScrollBox_fw1";
constexpr const char* kScrollKey = "Position";
constexpr const char* kListSection = "com_list";
constexpr const char* kListKey = "list";

}  // namespace

std::string layout_file_path(std::string_view file_name) {
  if (is_blank(file_name)) return sys_ini_path();
  return app_path() + std::string(file_name);
}

int read_scroll_position(const IniFile& ini, int current) {
  const int v = ini.read_integer(kScrollSection, kScrollKey, current);
  return v < 0 ? current : v;
}

LineList read_panel_list(const IniFile& ini) {
  LineList pieces;
  split_str(ini.read_string(kListSection, kListKey), pieces, ";");
  LineList names;
  for (const std::string& piece : pieces) {
    std::string name = trim(piece);
    if (name.empty()) continue;
    bool seen = false;
    for (const std::string& n : names) seen = seen || same_text(n, name);
    if (!seen) names.push_back(std::move(name));
  }
  return names;
}

std::string panel_list_text(const LineList& class_names) {
  std::string text;
  for (const std::string& n : class_names) text += n + ";";
  return text;
}

void write_layout(IniFile& ini, int scroll_position, const LineList& class_names) {
  const bool was = ini.write_through();
  ini.set_write_through(false);
  try {
    ini.write_integer(kScrollSection, kScrollKey, scroll_position);
    ini.write_string(kListSection, kListKey, panel_list_text(class_names));
    ini.set_write_through(was);
    if (was) ini.update_file();
  } catch (...) {
    ini.set_write_through(was);
    throw;
  }
}

LineList layout_names(const std::string& dir) {
  LineList files;
  list_dir(dir, files, false, "file");
  filter_by_masks(files, kLayoutExt);
  LineList names;
  for (const std::string& f : files) {
    std::string name = f.substr(f.rfind('/') + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

bool layout_name_usable(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

bool delete_layout(const std::string& dir, std::string_view name) {
  const std::string n = trim(name);
  if (!layout_name_usable(n)) return false;
  return std::remove((dir + n + kLayoutExt).c_str()) == 0;
}

}  // namespace lq

#include "core/settings/ini_file.h"

#include <utility>

#include "core/encoding/code_page.h"
#include "core/run_error.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trim_spaces(std::string_view s) {
  while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
  return s;
}

std::string unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

std::string one_line(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

}  // namespace

bool same_ini_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const CodePage& cp = code_page();
  for (size_t i = 0; i < a.size();) {
    const size_t len = cp.char_len_at(a, i);
    if (len == 1) {
      if (lower_ascii(a[i]) != lower_ascii(b[i])) return false;
    } else if (a.substr(i, len) != b.substr(i, len)) {
      return false;
    }
    i += len;
  }
  return true;
}

IniFile::IniFile(std::string file_name) : file_name_(std::move(file_name)) {
  reload();
}

IniFile IniFile::from_text(std::string_view bytes) {
  IniFile ini;
  LineList lines;
  split_str(bytes, lines, "\n");
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  for (std::string& l : lines)
    if (!l.empty() && l.back() == '\r') l.pop_back();
  ini.parse_all(lines);
  return ini;
}

std::string IniFile::to_text() const {
  std::string out;
  for (const Line& l : lines_) {
    out += l.raw;
    out += "\r\n";
  }
  return out;
}

void IniFile::reload() {
  LineList lines;
  if (!file_name_.empty() && file_exists(file_name_)) {
    try {
      load_lines(file_name_, lines);
    } catch (const RunError&) {
      lines.clear();  // unreadable: defaults everywhere
    }
  }
  parse_all(lines);
}

IniFile::Line IniFile::parse(std::string raw) {
  Line line;
  std::string_view t = trim_spaces(raw);
  // A UTF-8 mark left by an editor must not hide the first section.
  if (t.substr(0, 3) == "\xEF\xBB\xBF") t = trim_spaces(t.substr(3));
  if (!t.empty() && t.front() == '[') {
    const size_t close = t.find(']');
    line.kind = Kind::kSection;
    line.name = std::string(
        trim_spaces(t.substr(1, close == std::string_view::npos ? t.size() - 1 : close - 1)));
  } else if (!t.empty() && t.front() != ';') {
    const size_t eq = t.find('=');
    if (eq != std::string_view::npos && eq > 0) {
      line.kind = Kind::kKey;
      line.name = std::string(trim_spaces(t.substr(0, eq)));
      line.value = unquote(trim_spaces(t.substr(eq + 1)));
    }
  }
  line.raw = std::move(raw);
  return line;
}

void IniFile::parse_all(const LineList& lines) {
  lines_.clear();
  lines_.reserve(lines.size());
  for (const std::string& l : lines) lines_.push_back(parse(l));
}

int IniFile::find_section(std::string_view section) const {
  const std::string_view name = trim_spaces(section);
  for (size_t k = 0; k < lines_.size(); ++k)
    if (lines_[k].kind == Kind::kSection && same_ini_name(lines_[k].name, name))
      return static_cast<int>(k);
  return -1;
}

int IniFile::section_end(int header) const {
  size_t k = static_cast<size_t>(header) + 1;
  while (k < lines_.size() && lines_[k].kind != Kind::kSection) ++k;
  return static_cast<int>(k);
}

int IniFile::find_key(int header, std::string_view key) const {
  if (header < 0) return -1;
  const std::string_view name = trim_spaces(key);
  const int end = section_end(header);
  for (int k = header + 1; k < end; ++k) {
    const Line& l = lines_[static_cast<size_t>(k)];
    if (l.kind == Kind::kKey && same_ini_name(l.name, name)) return k;
  }
  return -1;
}

std::string IniFile::read_string(std::string_view section, std::string_view key,
                                 std::string_view def) const {
  const int k = find_key(find_section(section), key);
  return k < 0 ? std::string(def) : lines_[static_cast<size_t>(k)].value;
}

int IniFile::read_integer(std::string_view section, std::string_view key, int def) const {
  const int k = find_key(find_section(section), key);
  if (k < 0) return def;
  return str_to_int_def(lines_[static_cast<size_t>(k)].value, def);
}

bool IniFile::read_bool(std::string_view section, std::string_view key, bool def) const {
  return read_integer(section, key, def ? 1 : 0) != 0;
}

bool IniFile::section_exists(std::string_view section) const {
  return find_section(section) >= 0;
}

bool IniFile::value_exists(std::string_view section, std::string_view key) const {
  return find_key(find_section(section), key) >= 0;
}

LineList IniFile::read_section(std::string_view section) const {
  LineList keys;
  const int header = find_section(section);
  if (header < 0) return keys;
  const int end = section_end(header);
  for (int k = header + 1; k < end; ++k) {
    const Line& l = lines_[static_cast<size_t>(k)];
    if (l.kind != Kind::kKey) continue;
    bool seen = false;
    for (const std::string& have : keys) seen = seen || same_ini_name(have, l.name);
    if (!seen) keys.push_back(l.name);
  }
  return keys;
}

LineList IniFile::read_sections() const {
  LineList names;
  for (const Line& l : lines_) {
    if (l.kind != Kind::kSection) continue;
    bool seen = false;
    for (const std::string& have : names) seen = seen || same_ini_name(have, l.name);
    if (!seen) names.push_back(l.name);
  }
  return names;
}

void IniFile::write_string(std::string_view section, std::string_view key, std::string_view value) {
  const std::string sec = one_line(trim_spaces(section));
  const std::string name = one_line(trim_spaces(key));
  const std::string raw = name + "=" + one_line(value);
  int header = find_section(sec);
  if (header < 0) {
    lines_.push_back(parse("[" + sec + "]"));
    lines_.push_back(parse(raw));
  } else if (const int k = find_key(header, name); k >= 0) {
    lines_[static_cast<size_t>(k)] = parse(raw);
  } else {
    // After the section's last non-blank line, so blank lines stay between sections.
    int at = section_end(header);
    while (at - 1 > header && trim_spaces(lines_[static_cast<size_t>(at - 1)].raw).empty()) --at;
    lines_.insert(lines_.begin() + at, parse(raw));
  }
  changed();
}

void IniFile::write_integer(std::string_view section, std::string_view key, int value) {
  write_string(section, key, std::to_string(value));
}

void IniFile::write_bool(std::string_view section, std::string_view key, bool value) {
  write_string(section, key, value ? "1" : "0");
}

void IniFile::delete_key(std::string_view section, std::string_view key) {
  const int k = find_key(find_section(section), key);
  if (k < 0) return;
  lines_.erase(lines_.begin() + k);
  changed();
}

void IniFile::erase_section(std::string_view section) {
  const int header = find_section(section);
  if (header < 0) return;
  lines_.erase(lines_.begin() + header, lines_.begin() + section_end(header));
  changed();
}

void IniFile::update_file() {
  if (file_name_.empty()) return;
  write_file_atomically(file_name_, to_text());
}

void IniFile::changed() {
  if (write_through_) update_file();
}

}  // namespace lq

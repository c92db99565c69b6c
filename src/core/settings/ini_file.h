// A Windows-style INI file: "[section]" headers, "key=value" lines, ";" comments, in the
// program's code page (GBK bytes, never converted). Used for "sys1.ini", the position
// file, ".dsk" layouts and recipes.
//
// Reading follows the system profile functions: section and key names are trimmed and
// compare case-insensitively (ASCII letters only, never the bytes of a double-byte
// character); values are trimmed and lose one pair of surrounding quotes; the first of
// duplicate sections or keys wins. Whatever the file holds, reads answer their default
// rather than fail: a missing or unreadable file is an empty one.
//
// Writing keeps every other line as it was (comments, unknown lines, order). By default
// each change is saved at once, as with the profile functions; the file is replaced as a
// whole through a temporary file, so it is never half-written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/textsvc/line_list.h"

namespace lq {

class IniFile {
 public:
  // An empty INI with no file behind it (update_file does nothing).
  IniFile() = default;
  // Reads file_name; a missing or unreadable file gives an empty INI that is created on
  // the first write.
  explicit IniFile(std::string file_name);

  static IniFile from_text(std::string_view bytes);
  // The content as written to disk: every line followed by CR LF.
  std::string to_text() const;

  const std::string& file_name() const { return file_name_; }
  // Reads the file again, dropping unsaved changes.
  void reload();

  std::string read_string(std::string_view section, std::string_view key,
                          std::string_view def = {}) const;
  // The value read with the integer syntax ("0x1F", "$1F", sign, 32-bit); def when absent
  // or not an integer.
  int read_integer(std::string_view section, std::string_view key, int def) const;
  // Any integer other than 0 is true; def when absent or not an integer.
  bool read_bool(std::string_view section, std::string_view key, bool def) const;

  bool section_exists(std::string_view section) const;
  bool value_exists(std::string_view section, std::string_view key) const;
  // Key names of a section, in file order, duplicates dropped.
  LineList read_section(std::string_view section) const;
  // Section names in file order, duplicates dropped.
  LineList read_sections() const;

  // Replaces the key's value or adds the key (after the section's last line; a missing
  // section is appended at the end). Line breaks in the value become blanks, so one value
  // never turns into several lines. Throws RunError when the file cannot be written.
  void write_string(std::string_view section, std::string_view key, std::string_view value);
  void write_integer(std::string_view section, std::string_view key, int value);
  void write_bool(std::string_view section, std::string_view key, bool value);
  void delete_key(std::string_view section, std::string_view key);
  void erase_section(std::string_view section);

  // With write-through off, changes stay in memory until update_file().
  void set_write_through(bool on) { write_through_ = on; }
  bool write_through() const { return write_through_; }
  void update_file();

 private:
  enum class Kind { kOther, kSection, kKey };
  struct Line {
    std::string raw;
    Kind kind = Kind::kOther;
    std::string name;   // section or key name, trimmed
    std::string value;  // key value, trimmed and unquoted
  };

  static Line parse(std::string raw);
  void parse_all(const LineList& lines);
  int find_section(std::string_view section) const;
  int section_end(int header) const;
  int find_key(int header, std::string_view key) const;
  void changed();

  std::string file_name_;
  std::vector<Line> lines_;
  bool write_through_ = true;
};

// Equality of INI names: ASCII letters fold, double-byte characters compare exactly.
bool same_ini_name(std::string_view a, std::string_view b);

}  // namespace lq

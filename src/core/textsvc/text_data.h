// TTextData: a small table of text records kept in a list of lines and stored as a text
// file. Line 0 is the header (field names joined by the separator); every further line is
// one record, its values joined the same way. Values never hold a raw line break: they
// are stored with "<br>" in its place, or Base64-encoded.
//
// One record is current at a time; field access always goes through it. Lookups of a
// missing field, a short record or a record beyond the table answer empty or false.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/textsvc/line_list.h"

namespace lq {

class TTextData {
 public:
  // The table: line 0 the header, lines 1..n the records.
  LineList record_list;
  // When its first line is not blank, that line becomes the header whenever fields are
  // applied (by set_fields and after every load_records).
  LineList field_names;
  bool enable_user_sp = false;
  std::string user_sp;
  bool use_base64 = false;
  std::string store_file_name;
  // store_file_name is a full path; otherwise it is relative to app_path().
  bool is_full_path = false;
  // Called before every load and save; may replace the file name.
  std::function<void(TTextData& sender, std::string& file_name)> OnGetFileName;

  // Assigns field_names and applies it at once.
  void set_fields(LineList fields);

  std::string field_separator() const;
  // Pieces between separators, empty ones included; a trailing separator adds one empty
  // item; an empty text gives no items.
  static LineList split_fields(std::string_view text, std::string_view separator);
  std::string decode_value(std::string_view stored) const;
  std::string encode_value(std::string_view text) const;

  void clear_records() { record_list.clear(); }
  int record_count() const { return static_cast<int>(record_list.size()) - 1; }
  void next_record() { ++current1_; }
  int current_record() const { return current1_; }
  void set_current(int index) { current1_ = index; }
  // Appends a record with every field empty and makes it current.
  void append_record();
  // Makes current the first record whose field equals value exactly. The field name is
  // matched ASCII-case-insensitively after trimming; a name the header lacks is reported
  // through msg_box ("没有字段"...).
  bool locate(std::string_view field_name, std::string_view value);
  // Field names match exactly here.
  std::string get_value(std::string_view field_name) const;
  void set_field(std::string_view field_name, std::string_view value);

  // A blank name means the default file name. A missing file leaves only the header of
  // field_names. Throws RunError when an existing file cannot be read (load) or the file
  // cannot be written (save); save creates missing directories first.
  void load_records(const std::string& file_name = {});
  void save_records(const std::string& file_name = {});
  std::string default_file_name() const;

 private:
  void apply_fields();
  std::string resolve_file_name(const std::string& file_name);

  int current1_ = 0;
};

// The main window's two stores, configured as designed.
// help_texts: the per-control help texts, with the record for the help keyword "find1".
TTextData make_text_data();
// c_mark: the bookmark list in "bookmark1.txt".
TTextData make_c_mark();

inline constexpr const char* kBookmarkFileName = "bookmark1.txt";

}  // namespace lq

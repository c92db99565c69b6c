#include "core/textsvc/text_data.h"

#include "core/encoding/code_page.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/message_catalogue.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

void TTextData::set_fields(LineList fields) {
  field_names = std::move(fields);
  apply_fields();
}

void TTextData::apply_fields() {
  if (field_names.empty() || is_blank(field_names.front())) return;
  if (record_list.empty())
    record_list.push_back(field_names.front());
  else
    record_list.front() = field_names.front();
}

std::string TTextData::field_separator() const {
  if (enable_user_sp) return user_sp;
  return use_base64 ? "|" : "\t";
}

LineList TTextData::split_fields(std::string_view text, std::string_view separator) {
  LineList items;
  if (text.empty()) return items;
  if (separator.empty()) {
    items.emplace_back(text);
    return items;
  }
  size_t start = 0;
  for (size_t p = text.find(separator); p != std::string_view::npos;
       p = text.find(separator, start)) {
    items.emplace_back(text.substr(start, p - start));
    start = p + separator.size();
  }
  // The rest after the last separator; an empty rest means the text ended with one.
  items.emplace_back(text.substr(start));
  return items;
}

std::string TTextData::decode_value(std::string_view stored) const {
  if (use_base64) return from_base64(stored);
  return replace_all(stored, "<br>", "\r\n");
}

std::string TTextData::encode_value(std::string_view text) const {
  if (use_base64) return to_base64(text);
  std::string t = replace_all(text, "\r\n", "\n");
  t = replace_all(t, "\r", "\n");
  return replace_all(t, "\n", "<br>");
}

void TTextData::append_record() {
  // Without a header the new record would become one; keep an empty header instead.
  if (record_list.empty()) record_list.emplace_back();
  const size_t names = split_fields(record_list.front(), field_separator()).size();
  std::string record;
  const std::string sep = field_separator();
  for (size_t k = 1; k < names; ++k) record += sep;
  record_list.push_back(std::move(record));
  current1_ = static_cast<int>(record_list.size()) - 2;
}

bool TTextData::locate(std::string_view field_name, std::string_view value) {
  if (record_list.empty()) return false;
  const std::string sep = field_separator();
  const LineList names = split_fields(record_list.front(), sep);
  const std::string wanted = lower_ascii(trim(field_name));
  size_t field = names.size();
  for (size_t k = 0; k < names.size(); ++k) {
    if (lower_ascii(trim(decode_value(names[k]))) == wanted) {
      field = k;
      break;
    }
  }
  if (field == names.size()) {
    msg_box(code_page().from_utf8("没有字段") + "\"" + std::string(field_name) + "\"!");
    return false;
  }
  for (size_t r = 1; r < record_list.size(); ++r) {
    const LineList values = split_fields(record_list[r], sep);
    if (field < values.size() && decode_value(values[field]) == value) {
      current1_ = static_cast<int>(r) - 1;
      return true;
    }
  }
  return false;
}

std::string TTextData::get_value(std::string_view field_name) const {
  if (record_list.size() <= 1) return {};
  const long long line = static_cast<long long>(current1_) + 1;
  if (line < 1 || line >= static_cast<long long>(record_list.size())) return {};
  const std::string sep = field_separator();
  const LineList names = split_fields(record_list.front(), sep);
  const LineList values = split_fields(record_list[static_cast<size_t>(line)], sep);
  for (size_t k = 0; k < names.size(); ++k) {
    if (decode_value(names[k]) == field_name)
      return k < values.size() ? decode_value(values[k]) : std::string();
  }
  return {};
}

void TTextData::set_field(std::string_view field_name, std::string_view value) {
  const long long line = static_cast<long long>(current1_) + 1;
  if (record_list.empty() || line < 1 || line >= static_cast<long long>(record_list.size())) return;
  const std::string sep = field_separator();
  const LineList names = split_fields(record_list.front(), sep);
  LineList values = split_fields(record_list[static_cast<size_t>(line)], sep);
  for (size_t k = 0; k < names.size(); ++k) {
    if (decode_value(names[k]) == field_name) {
      // A record shorter than the header grows to hold the value rather than lose it.
      if (values.size() <= k) values.resize(k + 1);
      values[k] = encode_value(value);
      break;
    }
  }
  record_list[static_cast<size_t>(line)] = join_list(values, sep);
}

std::string TTextData::default_file_name() const {
  return is_full_path ? store_file_name : app_path() + store_file_name;
}

std::string TTextData::resolve_file_name(const std::string& file_name) {
  std::string name = is_blank(file_name) ? default_file_name() : file_name;
  if (OnGetFileName) OnGetFileName(*this, name);
  return name;
}

void TTextData::load_records(const std::string& file_name) {
  clear_records();
  const std::string name = resolve_file_name(file_name);
  if (file_exists(name)) load_lines(name, record_list);
  apply_fields();
}

void TTextData::save_records(const std::string& file_name) {
  const std::string name = resolve_file_name(file_name);
  // A bare file name lives in the working directory, which exists.
  if (name.find('/') != std::string::npos) force_dir(name, true);
  save_lines(name, record_list);
}

TTextData make_text_data() {
  TTextData t;
  // Set as stored with the window: the header stays as designed (fields are applied only
  // by a load, and this store is never loaded).
  t.record_list = {
      "help_key1|help_data1",
      "find1|" + code_page().from_utf8("查找内容。<br>可以用 and 在多个关键字当中查找。")};
  t.field_names = {"id1|filename1"};
  t.enable_user_sp = true;
  t.user_sp = "|";
  return t;
}

TTextData make_c_mark() {
  TTextData t;
  t.record_list = {"id1|filename1|lineno1"};
  t.field_names = {"id1|filename1"};
  t.store_file_name = kBookmarkFileName;
  t.enable_user_sp = true;
  t.user_sp = "|";
  return t;
}

}  // namespace lq

#include "core/textsvc/text_data.h"

#include "core/encoding/code_page.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/message_catalogue.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

void TTextData::set_fields1(LineList fields) {
  fields1 = std::move(fields);
  apply_fields();
}

void TTextData::apply_fields() {
  if (fields1.empty() || is_blank(fields1.front())) return;
  if (data1.empty())
    data1.push_back(fields1.front());
  else
    data1.front() = fields1.front();
}

std::string TTextData::separator1() const {
  if (enable_user_sp) return user_sp;
  return use_base64 ? "|" : "\t";
}

LineList TTextData::split1(std::string_view text, std::string_view separator) {
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

std::string TTextData::decode_value1(std::string_view stored) const {
  if (use_base64) return base64_decode1(stored);
  return replace_all(stored, "<br>", "\r\n");
}

std::string TTextData::encode_value1(std::string_view text) const {
  if (use_base64) return base64_encode1(text);
  std::string t = replace_all(text, "\r\n", "\n");
  t = replace_all(t, "\r", "\n");
  return replace_all(t, "\n", "<br>");
}

void TTextData::append1() {
  // Without a header the new record would become one; keep an empty header instead.
  if (data1.empty()) data1.emplace_back();
  const size_t names = split1(data1.front(), separator1()).size();
  std::string record;
  const std::string sep = separator1();
  for (size_t k = 1; k < names; ++k) record += sep;
  data1.push_back(std::move(record));
  current1_ = static_cast<int>(data1.size()) - 2;
}

bool TTextData::locate1(std::string_view field_name, std::string_view value) {
  if (data1.empty()) return false;
  const std::string sep = separator1();
  const LineList names = split1(data1.front(), sep);
  const std::string wanted = lower_ascii(trim(field_name));
  size_t field = names.size();
  for (size_t k = 0; k < names.size(); ++k) {
    if (lower_ascii(trim(decode_value1(names[k]))) == wanted) {
      field = k;
      break;
    }
  }
  if (field == names.size()) {
    msg_box1(code_page().from_utf8("没有字段") + "\"" + std::string(field_name) + "\"!");
    return false;
  }
  for (size_t r = 1; r < data1.size(); ++r) {
    const LineList values = split1(data1[r], sep);
    if (field < values.size() && decode_value1(values[field]) == value) {
      current1_ = static_cast<int>(r) - 1;
      return true;
    }
  }
  return false;
}

std::string TTextData::get_value1(std::string_view field_name) const {
  if (data1.size() <= 1) return {};
  const long long line = static_cast<long long>(current1_) + 1;
  if (line < 1 || line >= static_cast<long long>(data1.size())) return {};
  const std::string sep = separator1();
  const LineList names = split1(data1.front(), sep);
  const LineList values = split1(data1[static_cast<size_t>(line)], sep);
  for (size_t k = 0; k < names.size(); ++k) {
    if (decode_value1(names[k]) == field_name)
      return k < values.size() ? decode_value1(values[k]) : std::string();
  }
  return {};
}

void TTextData::set_value1(std::string_view field_name, std::string_view value) {
  const long long line = static_cast<long long>(current1_) + 1;
  if (data1.empty() || line < 1 || line >= static_cast<long long>(data1.size())) return;
  const std::string sep = separator1();
  const LineList names = split1(data1.front(), sep);
  LineList values = split1(data1[static_cast<size_t>(line)], sep);
  for (size_t k = 0; k < names.size(); ++k) {
    if (decode_value1(names[k]) == field_name) {
      // A record shorter than the header grows to hold the value rather than lose it.
      if (values.size() <= k) values.resize(k + 1);
      values[k] = encode_value1(value);
      break;
    }
  }
  data1[static_cast<size_t>(line)] = join_list1(values, sep);
}

std::string TTextData::default_file_name1() const {
  return is_full_path1 ? file_name1 : app_path1() + file_name1;
}

std::string TTextData::resolve_file_name(const std::string& file_name) {
  std::string name = is_blank(file_name) ? default_file_name1() : file_name;
  if (OnGetFileName1) OnGetFileName1(*this, name);
  return name;
}

void TTextData::load1(const std::string& file_name) {
  clear1();
  const std::string name = resolve_file_name(file_name);
  if (file_exists1(name)) load_lines1(name, data1);
  apply_fields();
}

void TTextData::save1(const std::string& file_name) {
  const std::string name = resolve_file_name(file_name);
  // A bare file name lives in the working directory, which exists.
  if (name.find('/') != std::string::npos) force_dir1(name, true);
  save_lines1(name, data1);
}

TTextData make_text_data1() {
  TTextData t;
  // Set as stored with the window: the header stays as designed (fields are applied only
  // by a load, and this store is never loaded).
  t.data1 = {"help_key1|help_data1",
             "find1|" + code_page().from_utf8("查找内容。<br>可以用 and 在多个关键字当中查找。")};
  t.fields1 = {"id1|filename1"};
  t.enable_user_sp = true;
  t.user_sp = "|";
  return t;
}

TTextData make_c_mark1() {
  TTextData t;
  t.data1 = {"id1|filename1|lineno1"};
  t.fields1 = {"id1|filename1"};
  t.file_name1 = kBookmarkFileName;
  t.enable_user_sp = true;
  t.user_sp = "|";
  return t;
}

}  // namespace lq

#include "core/operations/find_result_line.h"

#include <charconv>
#include <cstring>

#include "core/encoding/code_page.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

struct FieldNames {
  std::string file, line, column, query, content;
};

const FieldNames& names() {
  static const FieldNames n{code_page().from_utf8("文件名"), code_page().from_utf8("行"),
                            code_page().from_utf8("列"), code_page().from_utf8("查找内容"),
                            code_page().from_utf8("内容")};
  return n;
}

bool starts_with(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// Reads "NAME=int" followed by ";" or the end, at `at`; on success `at` moves past it.
bool read_number_field(std::string_view s, size_t& at, std::string_view name, int& value) {
  std::string_view rest = s.substr(at);
  if (!starts_with(rest, name) || rest.size() <= name.size() || rest[name.size()] != '=')
    return false;
  rest.remove_prefix(name.size() + 1);
  size_t end = rest.find(';');
  if (!parse_int(trim(rest.substr(0, end)), value)) return false;
  at += name.size() + 1 + (end == std::string_view::npos ? rest.size() : end + 1);
  return true;
}

// The plain reading: items split at every ";", the first of each name wins.
FindLocation parse_by_items(std::string_view s) {
  FindLocation loc;
  LineList items;
  split_str(s, items, ";");
  bool have_file = false, have_line = false, have_column = false;
  for (const auto& item : items) {
    size_t eq = item.find('=');
    std::string name = eq == std::string::npos ? item : item.substr(0, eq);
    std::string value = eq == std::string::npos ? std::string() : item.substr(eq + 1);
    if (!have_file && name == names().file) {
      loc.path = value;
      have_file = true;
    } else if (!have_line && name == names().line) {
      loc.line = str_to_int_def(value, 0);
      have_line = true;
    } else if (!have_column && name == names().column) {
      loc.column = str_to_int_def(value, 0);
      have_column = true;
    }
  }
  return loc;
}

std::string_view decimal(char (&buf)[16], int32_t value) {
  return {buf, static_cast<size_t>(std::to_chars(buf, buf + sizeof buf, value).ptr - buf)};
}

}  // namespace

std::string format_find_result(std::string_view file_name, int32_t line_index, int32_t column,
                               std::string_view key, std::string_view piece) {
  std::string out;
  append_find_result(out, file_name, line_index, column, key, piece);
  return out;
}

void append_find_result(std::string& out, std::string_view file_name, int32_t line_index,
                        int32_t column, std::string_view key, std::string_view piece) {
  // A run records one of these per occurrence: the line is sized once, then filled.
  const FieldNames& n = names();
  char line_buf[16], column_buf[16];
  const std::string_view line_text = decimal(line_buf, line_index);
  const std::string_view column_text = decimal(column_buf, column);
  const size_t size = n.file.size() + file_name.size() + n.line.size() + line_text.size() +
                      n.column.size() + column_text.size() + n.query.size() + key.size() +
                      n.content.size() + piece.size() + 9;  // four ";", five "="
  const size_t from = out.size();
  out.resize(from + size);
  char* at = out.data() + from;
  auto put = [&at](std::string_view part) {
    if (!part.empty()) std::memcpy(at, part.data(), part.size());
    at += part.size();
  };
  auto field = [&](std::string_view name, std::string_view value) {
    put(name);
    *at++ = '=';
    put(value);
  };
  field(n.file, file_name);
  *at++ = ';';
  field(n.line, line_text);
  *at++ = ';';
  field(n.column, column_text);
  *at++ = ';';
  field(n.query, key);
  *at++ = ';';
  field(n.content, piece);
}

FindLocation parse_find_result(std::string_view s) {
  const FieldNames& n = names();
  const std::string head = n.file + "=";
  if (starts_with(s, head)) {
    // Take the first ";行=N;列=N" after the name as the end of the name, so a ";" inside
    // the name does not cut it.
    for (size_t semi = s.find(';', head.size()); semi != std::string_view::npos;
         semi = s.find(';', semi + 1)) {
      FindLocation loc;
      size_t at = semi + 1;
      if (read_number_field(s, at, n.line, loc.line) &&
          read_number_field(s, at, n.column, loc.column)) {
        loc.path = std::string(s.substr(head.size(), semi - head.size()));
        return loc;
      }
    }
  }
  return parse_by_items(s);
}

}  // namespace lq

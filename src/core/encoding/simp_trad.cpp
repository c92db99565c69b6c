#include "core/encoding/simp_trad.h"

#include <algorithm>

#include "core/encoding/code_page.h"
#include "core/encoding/simp_trad_tables.h"

namespace lq {

namespace {

std::string_view key_of(std::string_view line) {
  return line.substr(0, line.find('='));
}

// Replaces every character that is a key of table by its value.
std::string convert(const StringStore1& table, std::string_view text) {
  std::string out;
  out.reserve(text.size());
  int index = 0;
  for (std::string_view ch : code_page().split_chars(text)) {
    if (ch.size() > 1 && table.find_key1(ch, index))
      out.append(table.value_of(index));
    else
      out.append(ch);
  }
  return out;
}

}  // namespace

StringStore1::StringStore1(std::span<const char* const> utf8_lines) {
  lines_.reserve(utf8_lines.size());
  for (const char* line : utf8_lines) lines_.push_back(code_page().from_utf8(line));
  // The order the lookup relies on; a stable sort keeps the published order of the lines
  // of a repeated key, so the first of them is the one found.
  std::stable_sort(lines_.begin(), lines_.end(), [](const std::string& a, const std::string& b) {
    return key_of(a) < key_of(b);
  });
}

bool StringStore1::find_key1(std::string_view key, int& index) const {
  // Lower-bound search: on a match it goes on looking to the left, so a repeated key
  // answers its first line.
  int low = 0;
  int high = static_cast<int>(lines_.size()) - 1;
  bool found = false;
  while (low <= high) {
    int mid = low + (high - low) / 2;
    std::string_view mid_key = key_of(lines_[mid]);
    if (mid_key < key) {
      low = mid + 1;
    } else {
      high = mid - 1;
      if (mid_key == key) found = true;
    }
  }
  index = low;
  return found;
}

std::string_view StringStore1::value_of(int index) const {
  std::string_view line = lines_[index];
  size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
}

const StringStore1& sl_lib_gb2old() {
  static const StringStore1 store(gb2old_lines);
  return store;
}

const StringStore1& sl_lib_old2gb() {
  static const StringStore1 store(old2gb_lines);
  return store;
}

std::span<const char* const> published_gb2old_lines() {
  return gb2old_lines;
}
std::span<const char* const> published_old2gb_lines() {
  return old2gb_lines;
}

std::string gb2old1(std::string_view text) {
  return convert(sl_lib_gb2old(), text);
}
std::string old2gb1(std::string_view text) {
  return convert(sl_lib_old2gb(), text);
}

}  // namespace lq

#include "core/encoding/simp_trad.h"

#include <algorithm>

#include "core/encoding/code_page.h"
#include "core/encoding/gbk_table.h"
#include "core/encoding/simp_trad_tables.h"

namespace lq {

namespace {

std::string_view key_of(std::string_view line) {
  return line.substr(0, line.find('='));
}

bool is_pair(unsigned char lead, unsigned char trail) {
  return lead >= kGbkFirstLead && lead <= 0xFE && trail >= kGbkFirstTrail && trail <= 0xFE &&
         trail != 0x7F;
}

int pair_index(unsigned char lead, unsigned char trail) {
  return (lead - kGbkFirstLead) * kGbkTrails + (trail - kGbkFirstTrail);
}

// What find_sorted_key answers for every GBK pair, worked out once: the value's two bytes, or 0
// for a pair that is no key. A conversion then costs one array read per character.
struct Replacements {
  std::vector<std::uint16_t> code;
  explicit Replacements(const StringStore& table) : code(kGbkLeads * kGbkTrails) {
    for (const std::string& line : table.all_lines()) {
      std::string_view key = key_of(line);
      int index = 0;
      if (key.size() != 2 || !is_pair(key[0], key[1]) || !table.find_sorted_key(key, index))
        continue;
      std::string_view value = table.value_of(index);
      if (value.size() != 2) continue;
      code[pair_index(key[0], key[1])] = static_cast<std::uint16_t>(
          static_cast<unsigned char>(value[0]) << 8 | static_cast<unsigned char>(value[1]));
    }
  }
};

// Replaces every character that is a key of the table by its value; everything else,
// single bytes and bytes that form no character included, is copied.
std::string convert(const Replacements& table, std::string_view text) {
  std::string out(text);
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  size_t n = text.size();
  for (size_t i = 0; i < n;) {
    if (p[i] < 0x80) {
      ++i;
    } else if (i + 1 < n && is_pair(p[i], p[i + 1])) {
      if (std::uint16_t code = table.code[pair_index(p[i], p[i + 1])]) {
        out[i] = static_cast<char>(code >> 8);
        out[i + 1] = static_cast<char>(code & 0xFF);
      }
      i += 2;
    } else {
      ++i;
    }
  }
  return out;
}

}  // namespace

StringStore::StringStore(std::span<const char* const> utf8_lines) {
  lines_.reserve(utf8_lines.size());
  for (const char* line : utf8_lines) lines_.push_back(code_page().from_utf8(line));
  // The order the lookup relies on; a stable sort keeps the published order of the lines
  // of a repeated key, so the first of them is the one found.
  std::stable_sort(lines_.begin(), lines_.end(), [](const std::string& a, const std::string& b) {
    return key_of(a) < key_of(b);
  });
}

bool StringStore::find_sorted_key(std::string_view key, int& index) const {
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

std::string_view StringStore::value_of(int index) const {
  std::string_view line = lines_[index];
  size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
}

const StringStore& sl_lib_gb2old() {
  static const StringStore store(gb2old_lines);
  return store;
}

const StringStore& sl_lib_old2gb() {
  static const StringStore store(old2gb_lines);
  return store;
}

std::span<const char* const> published_gb2old_lines() {
  return gb2old_lines;
}
std::span<const char* const> published_old2gb_lines() {
  return old2gb_lines;
}

std::string simp_to_trad(std::string_view text) {
  static const Replacements table(sl_lib_gb2old());
  return convert(table, text);
}

std::string trad_to_simp(std::string_view text) {
  static const Replacements table(sl_lib_old2gb());
  return convert(table, text);
}

}  // namespace lq

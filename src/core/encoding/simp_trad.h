// Simplified <-> traditional conversion inside GBK: the encoding stays the same, only the
// characters that are keys of a pair table are replaced. The tables are lists of
// "key=value" lines (one GBK character on either side). They are published in the order
// of the keys' readings; at load time each table is ordered by the byte values of its keys,
// the comparison its lookup uses, so every key is found whatever the locale.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lq {

// A loaded pair table: its lines, in GBK, ordered by key bytes. Lines with the same key
// keep their published order, and a lookup finds the first of them.
class StringStore {
 public:
  explicit StringStore(std::span<const char* const> utf8_lines);

  const std::vector<std::string>& all_lines() const { return lines_; }

  // Binary search for the line whose key (text before the first "=") equals key. On
  // success index is that line (the first one of a repeated key); otherwise it is where
  // such a line would be inserted.
  bool find_sorted_key(std::string_view key, int& index) const;

  // The text after the first "=" of line index.
  std::string_view value_of(int index) const;

 private:
  std::vector<std::string> lines_;
};

// Simplified -> traditional pairs and traditional -> simplified pairs, loaded on first use.
const StringStore& sl_lib_gb2old();
const StringStore& sl_lib_old2gb();

// The tables as published (UTF-8, in the order of the keys' readings).
std::span<const char* const> published_gb2old_lines();
std::span<const char* const> published_old2gb_lines();

// Replace every simplified character that is a key of sl_lib_gb2old by its traditional
// form, and the reverse. Everything else, including bytes that are not valid GBK, is
// copied unchanged.
std::string simp_to_trad(std::string_view text);
std::string trad_to_simp(std::string_view text);

}  // namespace lq

#include "core/textsvc/natural_order.h"

#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The end of the run of digits that starts at i.
size_t digits_end(std::string_view s, size_t i) {
  while (i < s.size() && is_digit(s[i])) ++i;
  return i;
}

// Two runs of digits by value, however long: without leading zeros, the longer run is the
// larger number, and runs of one length compare digit by digit.
int compare_numbers(std::string_view a, std::string_view b) {
  while (a.size() > 1 && a.front() == '0') a.remove_prefix(1);
  while (b.size() > 1 && b.front() == '0') b.remove_prefix(1);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

int natural_compare(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (is_digit(a[i]) && is_digit(b[j])) {
      const size_t ai = digits_end(a, i), bj = digits_end(b, j);
      if (const int c = compare_numbers(a.substr(i, ai - i), b.substr(j, bj - j))) return c;
      i = ai;
      j = bj;
      continue;
    }
    // A digit against anything else compares as that digit, so all numbers sort together
    // where the digits stand among the other bytes.
    const auto x = static_cast<unsigned char>(lower_ascii(a[i]));
    const auto y = static_cast<unsigned char>(lower_ascii(b[j]));
    if (x != y) return x < y ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  const int plain = a.compare(b);
  return plain < 0 ? -1 : (plain > 0 ? 1 : 0);
}

}  // namespace lq

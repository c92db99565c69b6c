#include "core/textsvc/str_helpers.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "core/encoding/code_page.h"
#include "core/run_error.h"
#include "core/textsvc/char_search.h"

namespace lq {

namespace {

bool is_trim_byte(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 0-based index of the first occurrence at or after `from`, npos when absent or empty.
size_t find_at(std::string_view s, std::string_view what, size_t from) {
  if (what.empty() || from > s.size()) return std::string_view::npos;
  return s.find(what, from);
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string sub(std::string_view s, long long i, long long n) {
  if (i < 1) i = 1;
  if (n < 0) n = 0;
  const long long size = static_cast<long long>(s.size());
  if (i > size) return {};
  const long long len = std::min(n, size - i + 1);
  return std::string(s.substr(static_cast<size_t>(i - 1), static_cast<size_t>(len)));
}

std::string trim(std::string_view s) {
  return trim_right(trim_left(s));
}

std::string trim_left(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && is_trim_byte(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string trim_right(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && is_trim_byte(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

std::string_view trim_view(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && is_trim_byte(s[b])) ++b;
  while (e > b && is_trim_byte(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool is_blank(std::string_view s) {
  return std::all_of(s.begin(), s.end(), is_trim_byte);
}

char lower_ascii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
char upper_ascii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string lower_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lower_ascii(c);
  return out;
}

std::string upper_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = upper_ascii(c);
  return out;
}

bool same_text(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t k = 0; k < a.size(); ++k)
    if (lower_ascii(a[k]) != lower_ascii(b[k])) return false;
  return true;
}

int compare_text(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t k = 0; k < n; ++k) {
    const auto x = static_cast<unsigned char>(lower_ascii(a[k]));
    const auto y = static_cast<unsigned char>(lower_ascii(b[k]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int pos(std::string_view sub_text, std::string_view s, int from) {
  if (from < 1) from = 1;
  const size_t p = find_at(s, sub_text, static_cast<size_t>(from - 1));
  return p == std::string_view::npos ? 0 : static_cast<int>(p + 1);
}

int pos_text(std::string_view sub_text, std::string_view s, int from) {
  return pos(lower_ascii(sub_text), lower_ascii(s), from);
}

std::string replace_all(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  size_t start = 0;
  for (size_t p = s.find(from); p != std::string_view::npos; p = s.find(from, start)) {
    out.append(s.substr(start, p - start));
    out.append(to);
    start = p + from.size();
  }
  out.append(s.substr(start));
  return out;
}

bool parse_int(std::string_view text, int& value) {
  size_t k = 0;
  while (k < text.size() && text[k] == ' ') ++k;
  bool negative = false;
  if (k < text.size() && (text[k] == '+' || text[k] == '-')) {
    negative = text[k] == '-';
    ++k;
  }
  int base = 10;
  if (k < text.size() && (text[k] == '$' || text[k] == 'x' || text[k] == 'X')) {
    base = 16;
    ++k;
  } else if (k + 1 < text.size() && text[k] == '0' && (text[k + 1] == 'x' || text[k + 1] == 'X')) {
    base = 16;
    k += 2;
  }
  if (k >= text.size()) return false;
  // Accumulate the magnitude; one past INT_MAX is allowed for the negative end.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
  std::int64_t magnitude = 0;
  for (; k < text.size(); ++k) {
    const int d = hex_digit(text[k]);
    if (d < 0 || d >= base) return false;
    magnitude = magnitude * base + d;
    if (magnitude > limit) return false;
  }
  value = static_cast<int>(negative ? -magnitude : magnitude);
  return true;
}

void split_str(std::string_view s, LineList& list, std::string_view delim) {
  list.clear();
  if (delim.empty()) {
    if (!s.empty()) list.emplace_back(s);
    list.emplace_back();
    return;
  }
  if (s.empty()) return;
  size_t start = 0;
  for (size_t p = s.find(delim); p != std::string_view::npos; p = s.find(delim, start)) {
    list.emplace_back(s.substr(start, p - start));
    start = p + delim.size();
  }
  // The rest after the last delimiter; empty exactly when s ends with delim.
  list.emplace_back(s.substr(start));
}

void del_blank_items(LineList& list) {
  list.erase(
      std::remove_if(list.begin(), list.end(), [](const std::string& t) { return is_blank(t); }),
      list.end());
}

int nth_pos(std::string_view s, std::string_view sub_text, int n) {
  if (n < 1 || sub_text.empty()) return 0;
  size_t from = 0;
  size_t p = std::string_view::npos;
  for (int k = 0; k < n; ++k) {
    p = find_at(s, sub_text, from);
    if (p == std::string_view::npos) return 0;
    from = p + sub_text.size();
  }
  return static_cast<int>(p + 1);
}

int str_to_int_def(std::string_view text, int def) {
  int v = 0;
  return parse_int(trim(text), v) ? v : def;
}

int str_to_int(std::string_view text) {
  int v = 0;
  if (!parse_int(text, v)) throw invalid_integer_error(text);
  return v;
}

bool is_int(std::string_view text) {
  int v = 0;
  return parse_int(trim(text), v);
}

std::string join_list(const LineList& list, std::string_view sep) {
  std::string out;
  for (size_t k = 0; k < list.size(); ++k) {
    if (k > 0) out.append(sep);
    out.append(list[k]);
  }
  return out;
}

std::string str_to_hex(std::string_view s) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(s.size() * 3);
  for (size_t k = 0; k < s.size(); ++k) {
    if (k > 0) out.push_back(' ');
    const auto b = static_cast<unsigned char>(s[k]);
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0x0F]);
  }
  return out;
}

bool hex_to_str(std::string_view text, std::string& out) {
  out.clear();
  LineList items;
  split_str(text, items, " ");
  del_blank_items(items);
  for (const std::string& item : items) {
    if (item.size() > 2) return false;
    int value = 0;
    for (char c : item) {
      const int d = hex_digit(c);
      if (d < 0) return false;
      value = value * 16 + d;
    }
    out.push_back(static_cast<char>(value));
  }
  return true;
}

void all_pos(LineList& list, std::string_view s, std::string_view sub_text) {
  if (sub_text.empty()) return;
  for (size_t p = s.find(sub_text); p != std::string_view::npos;
       p = s.find(sub_text, p + sub_text.size()))
    list.push_back(std::to_string(p + 1));
}

std::string to_base64(std::string_view s) {
  std::string out;
  out.reserve((s.size() + 2) / 3 * 4);
  size_t k = 0;
  for (; k + 3 <= s.size(); k += 3) {
    const std::uint32_t v = (static_cast<unsigned char>(s[k]) << 16) |
                            (static_cast<unsigned char>(s[k + 1]) << 8) |
                            static_cast<unsigned char>(s[k + 2]);
    out.push_back(kBase64[(v >> 18) & 63]);
    out.push_back(kBase64[(v >> 12) & 63]);
    out.push_back(kBase64[(v >> 6) & 63]);
    out.push_back(kBase64[v & 63]);
  }
  const size_t rest = s.size() - k;
  if (rest > 0) {
    std::uint32_t v = static_cast<unsigned char>(s[k]) << 16;
    if (rest == 2) v |= static_cast<unsigned char>(s[k + 1]) << 8;
    out.push_back(kBase64[(v >> 18) & 63]);
    out.push_back(kBase64[(v >> 12) & 63]);
    out.push_back(rest == 2 ? kBase64[(v >> 6) & 63] : '=');
    out.push_back('=');
  }
  return out;
}

std::string from_base64(std::string_view text) {
  std::int8_t value_of[256];
  std::fill(std::begin(value_of), std::end(value_of), static_cast<std::int8_t>(-1));
  for (int k = 0; k < 64; ++k)
    value_of[static_cast<unsigned char>(kBase64[k])] = static_cast<std::int8_t>(k);
  std::string out;
  out.reserve(text.size() / 4 * 3);
  std::uint32_t acc = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=') {
      // Padding ends a group: its leftover bits are no byte, and what follows (another
      // encoding appended to this one) starts afresh.
      acc = 0;
      bits = 0;
      continue;
    }
    const int v = value_of[static_cast<unsigned char>(c)];
    if (v < 0) continue;  // line breaks, blanks and other foreign bytes
    acc = (acc << 6) | static_cast<std::uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<char>((acc >> bits) & 0xFF));
    }
  }
  return out;
}

std::string str_between(std::string_view s, std::string_view start, std::string_view end) {
  const std::string folded = lower_ascii(s);
  size_t p = 0;
  if (!start.empty()) {
    p = folded.find(lower_ascii(start));
    if (p == std::string::npos) return {};
  }
  const size_t rest = p + start.size();
  if (!end.empty()) {
    const size_t q = folded.find(lower_ascii(end), rest);
    if (q != std::string::npos) return std::string(s.substr(rest, q - rest));
  }
  return std::string(s.substr(rest));
}

void split_by_len(std::string_view s, LineList& list, int n, const CodePage& cp) {
  list.clear();
  const size_t want = n < 1 ? 0 : static_cast<size_t>(n);
  size_t start = 0;
  while (start < s.size()) {
    // Whole characters while they fit in n bytes; a piece shorter than n rather than one
    // that ends inside a character.
    size_t end = start;
    while (end < s.size()) {
      const size_t len = cp.char_len_at(s, end);
      if (end + len - start > want) break;
      end += len;
    }
    // n < 1, or n smaller than the next character, would never advance.
    if (end == start) end += cp.char_len_at(s, start);
    list.emplace_back(s.substr(start, end - start));
    start = end;
  }
}

void split_lines_by_len(const LineList& src, LineList& dst, int n, bool wide, const CodePage& cp) {
  const size_t units = n < 1 ? 1 : static_cast<size_t>(n);
  LineList pieces;
  for (const std::string& line : src) {
    size_t start = 0;
    while (start < line.size()) {
      size_t end = start;
      if (wide) {
        // Counting characters of the code page rather than converting to UTF-16 and back
        // keeps every byte, including bytes that would not survive a round trip.
        for (size_t count = 0; count < units && end < line.size(); ++count)
          end += cp.char_len_at(line, end);
      } else {
        end = std::min(line.size(), start + units);
      }
      pieces.emplace_back(line.substr(start, end - start));
      start = end;
    }
  }
  dst = std::move(pieces);
}

namespace text_parts {

int last_pos(std::string_view sub_text, std::string_view s) {
  if (sub_text.empty()) return 0;
  const size_t p = s.rfind(sub_text);
  return p == std::string_view::npos ? 0 : static_cast<int>(p + 1);
}

std::string crlf_to_tab(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = '\t';
  return out;
}

std::string tab_to_crlf(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 8);
  for (size_t k = 0; k < s.size(); ++k) {
    if (s[k] != '\t') {
      out.push_back(s[k]);
      continue;
    }
    out.append("\r\n");
    if (k + 1 < s.size() && s[k + 1] == '\t') ++k;  // a pair stands for one CR LF
  }
  return out;
}

std::string split_to_text(std::string_view s, std::string_view delim) {
  LineList pieces;
  split_str(s, pieces, delim);
  std::string out;
  for (const std::string& p : pieces) {
    out.append(p);
    out.append("\r\n");
  }
  return out;
}

std::string text_between(std::string_view s, std::string_view start, std::string_view end) {
  return str_between(s, start, end);
}

bool find_sorted_key(const LineList& list, std::string_view key, std::string_view sep, int& index,
                     bool accept_duplicates) {
  bool found = false;
  int lo = 0;
  int hi = static_cast<int>(list.size()) - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int c = compare_text(str_between(list[static_cast<size_t>(mid)], "", sep), key);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (!accept_duplicates) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void split_marked(std::string_view s, LineList& list, std::string_view start, std::string_view end,
                  const CodePage& page) {
  size_t p = 0;  // 0-based
  bool inside = false;
  size_t open_at = 0;  // where the start marker of an open inside piece began
  for (;;) {
    const std::string_view looking = inside ? end : start;
    const size_t found = find_chars(s, looking, true, page, p);
    if (found == std::string_view::npos) break;
    list.push_back((inside ? "1=" : "0=") + std::string(s.substr(p, found - p)));
    if (!inside) open_at = found;
    p = found + looking.size();
    inside = !inside;
  }
  if (inside) p = open_at;
  if (p < s.size()) list.push_back("0=" + std::string(s.substr(p)));
}

}  // namespace text_parts

}  // namespace lq

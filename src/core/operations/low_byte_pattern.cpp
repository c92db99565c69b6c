#include "core/operations/low_byte_pattern.h"

#include <algorithm>
#include <cstddef>

namespace lq {
namespace {

bool is_low(unsigned char c) {
  return c < 0x40;
}

bool is_line_end(unsigned char c) {
  return c == '\n' || c == '\r';
}

bool is_digit(unsigned char c) {
  return c >= '0' && c <= '9';
}

class Scan {
 public:
  explicit Scan(std::string_view p) : p_(p) {}

  std::optional<LowBytePattern> run() {
    while (i_ < p_.size()) {
      const auto c = static_cast<unsigned char>(p_[i_]);
      bool ok = true;
      switch (c) {
        case '\\':
          ok = escape() >= 0;
          break;
        case '[':
          ok = char_class();
          break;
        case '(':
          ok = group_start();
          break;
        case '{':
          ok = counted();
          break;
        case '^':
        case '$':
          out_.sees_lines = true;
          ++i_;
          break;
        case ')':
        case '|':
        case '*':
        case '+':
        case '?':
          ++i_;
          break;
        case '.':
          ok = false;
          break;
        default:
          ok = is_low(c);
          if (is_line_end(c)) out_.sees_lines = true;
          ++i_;
      }
      if (!ok) return std::nullopt;
    }
    return out_;
  }

 private:
  // An escape at i_: the byte it stands for, 0x100 for "\d" or "\s", -1 when it may take
  // anything else.
  int escape() {
    if (i_ + 1 >= p_.size()) return -1;
    const auto c = static_cast<unsigned char>(p_[i_ + 1]);
    i_ += 2;
    if (c == 'd') return 0x100;
    if (c == 's') {
      out_.sees_lines = true;
      return 0x100;
    }
    // Below 0x40 an escaped byte other than a digit (a back reference, an octal code)
    // stands for itself.
    if (!is_low(c) || is_digit(c)) return -1;
    if (is_line_end(c)) out_.sees_lines = true;
    return c;
  }

  // A class: no negation, every member below 0x40. A range between two such bytes stays
  // below 0x40; it may take a line end when it starts at or below CR.
  bool char_class() {
    ++i_;
    if (i_ < p_.size() && (p_[i_] == '^' || p_[i_] == ']')) return false;
    unsigned lowest = 0x100;
    bool dash = false;
    while (i_ < p_.size()) {
      const auto c = static_cast<unsigned char>(p_[i_]);
      if (c == ']') {
        ++i_;
        if (dash && lowest <= '\r') out_.sees_lines = true;
        return true;
      }
      if (c == '\\') {
        const int e = escape();
        if (e < 0) return false;
        lowest = std::min(lowest, static_cast<unsigned>(e));
        continue;
      }
      if (!is_low(c)) return false;
      if (c == '-') dash = true;
      if (is_line_end(c)) out_.sees_lines = true;
      lowest = std::min<unsigned>(lowest, c);
      ++i_;
    }
    return false;
  }

  // "(" and "(?:" group; "(?" with anything else and "(*" verbs change what is matched.
  bool group_start() {
    const std::string_view rest = p_.substr(i_);
    if (rest.starts_with("(?:")) {
      i_ += 3;
      return true;
    }
    if (rest.starts_with("(?") || rest.starts_with("(*")) return false;
    ++i_;
    return true;
  }

  // "{n}", "{n,}" or "{n,m}"; a brace that is no such count is a literal "{".
  bool counted() {
    size_t j = i_ + 1;
    const size_t first = j;
    while (j < p_.size() && is_digit(static_cast<unsigned char>(p_[j]))) ++j;
    if (j == first) return false;
    if (j < p_.size() && p_[j] == ',') {
      ++j;
      while (j < p_.size() && is_digit(static_cast<unsigned char>(p_[j]))) ++j;
    }
    if (j >= p_.size() || p_[j] != '}') return false;
    i_ = j + 1;
    return true;
  }

  std::string_view p_;
  size_t i_ = 0;
  LowBytePattern out_;
};

}  // namespace

std::optional<LowBytePattern> low_byte_pattern(std::string_view pattern) {
  return Scan(pattern).run();
}

}  // namespace lq

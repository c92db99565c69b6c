// Small scans over bytes that the code pages, the detector and the matcher share: runs of
// ASCII, eight bytes at a time, the length of one well-formed UTF-8 sequence, and whether
// a text is UTF-8 at all.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

namespace lq {

// Number of ASCII bytes at the start of [p, end). Eight bytes are read at a time; in a
// word that holds a byte above ASCII, the first such byte is found from the word itself, so
// the short runs between the characters of Chinese text cost one read each.
inline size_t ascii_run(const unsigned char* p, const unsigned char* end) {
  const unsigned char* start = p;
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    const std::uint64_t high = word & 0x8080808080808080ull;
    if (high) {
      // The byte that comes first in memory is the lowest one on a little-endian machine
      // and the highest on a big-endian one.
      const int bit = std::endian::native == std::endian::little ? std::countr_zero(high)
                                                                 : std::countl_zero(high);
      return static_cast<size_t>(p - start) + static_cast<size_t>(bit / 8);
    }
    p += 8;
  }
  while (p < end && *p < 0x80) ++p;
  return static_cast<size_t>(p - start);
}

inline size_t ascii_prefix(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  return ascii_run(p, p + s.size());
}

// The walk behind CodePage::skip_match_form: the byte index in s reached from byte i over
// the whole characters whose matching form takes form_len bytes in all. ASCII is its own
// form and goes a run at a time; other(p, end) answers the bytes and the form bytes of the
// character at p, which is above ASCII.
template <class Other>
size_t skip_match_form_by(std::string_view s, size_t i, size_t form_len, Other other) {
  const auto* const base = reinterpret_cast<const unsigned char*>(s.data());
  const auto* p = base + i;
  const auto* const end = base + s.size();
  while (form_len > 0 && p < end) {
    if (*p < 0x80) {
      const size_t n = ascii_run(p, p + std::min(form_len, static_cast<size_t>(end - p)));
      p += n;
      form_len -= n;
      continue;
    }
    const auto [len, form] = other(p, end);
    if (form > form_len) break;
    p += len;
    form_len -= form;
  }
  return static_cast<size_t>(p - base);
}

// Length of the well-formed UTF-8 sequence at p (p[0] >= 0x80; no overlong form, no
// surrogate, at most U+10FFFF), 0 when there is none; at most `left` bytes are read. The
// code point goes to *cp when asked for.
inline size_t well_formed_utf8(const unsigned char* p, size_t left, char32_t* cp = nullptr) {
  const size_t len = *p >= 0xF0 ? 4 : *p >= 0xE0 ? 3 : 2;
  if (*p < 0xC2 || *p > 0xF4 || left < len) return 0;
  char32_t c = *p & (0x7F >> len);
  for (size_t k = 1; k < len; ++k) {
    if ((p[k] & 0xC0) != 0x80) return 0;
    c = c << 6 | (p[k] & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  if (cp) *cp = c;
  return len;
}

// Length of the well-formed UTF-8 sequence at p (p[0] >= 0x80), 0 when there is none, as
// well_formed_utf8 answers it, without working out the code point: the bounds of the second
// byte rule out overlong forms, surrogates and what lies above U+10FFFF.
inline size_t utf8_seq_len(const unsigned char* p, size_t left) {
  const unsigned b = p[0];
  auto cont = [](unsigned char c) { return (c & 0xC0) == 0x80; };
  if (b < 0xC2) return 0;
  if (b < 0xE0) return left >= 2 && cont(p[1]) ? 2 : 0;
  if (b < 0xF0) {
    if (left < 3 || !cont(p[2])) return 0;
    const unsigned lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
    return p[1] >= lo && p[1] <= hi ? 3 : 0;
  }
  if (b > 0xF4 || left < 4 || !cont(p[2]) || !cont(p[3])) return 0;
  const unsigned lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
  return p[1] >= lo && p[1] <= hi ? 4 : 0;
}

// Whether all of [p, end) is well-formed UTF-8, 32 bytes at a time where the processor
// allows.
bool utf8_block_valid(const unsigned char* p, const unsigned char* end);

// Number of bytes at the start of [p, end) that are well-formed UTF-8.
inline size_t utf8_valid_run(const unsigned char* p, const unsigned char* end) {
  const unsigned char* start = p;
  // Long text goes by blocks that end before a byte that can start a character; only the
  // block that holds the first error, if any, is read one character at a time.
  constexpr ptrdiff_t kBlock = 4096;
  while (end - p > kBlock) {
    const unsigned char* stop = p + kBlock;
    for (int k = 0; k < 3 && (*stop & 0xC0) == 0x80; ++k) --stop;
    if (!utf8_block_valid(p, stop)) break;
    p = stop;
  }
  while (p < end) {
    if (*p < 0x80) {
      p += ascii_run(p, end);
      continue;
    }
    const size_t n = utf8_seq_len(p, static_cast<size_t>(end - p));
    if (n == 0) break;
    p += n;
  }
  return static_cast<size_t>(p - start);
}

// Whether all of s is well-formed UTF-8 (ASCII alone is).
inline bool is_utf8_text(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  return utf8_valid_run(p, p + s.size()) == s.size();
}

}  // namespace lq

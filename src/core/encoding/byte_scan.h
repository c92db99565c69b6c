// Small scans over bytes that the code pages, the detector and the matcher share: runs of
// ASCII, eight bytes at a time, the length of one well-formed UTF-8 sequence, and whether
// a text is UTF-8 at all.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace lq {

// Number of ASCII bytes at the start of [p, end).
inline size_t ascii_run(const unsigned char* p, const unsigned char* end) {
  const unsigned char* start = p;
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (const std::uint64_t high = word & 0x8080808080808080ull) {
      // Runs are often short (words between Chinese characters): the first high byte of
      // the word ends the run.
      if constexpr (std::endian::native == std::endian::little)
        return static_cast<size_t>(p - start) + static_cast<size_t>(std::countr_zero(high)) / 8;
      break;
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

// Whether all of s is well-formed UTF-8 (ASCII alone is).
inline bool is_utf8_text(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* const end = p + s.size();
  while (p < end) {
    if (*p < 0x80) {
      p += ascii_run(p, end);
      continue;
    }
    const size_t n = well_formed_utf8(p, static_cast<size_t>(end - p));
    if (n == 0) return false;
    p += n;
  }
  return true;
}

}  // namespace lq

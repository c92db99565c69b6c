#include "core/textsvc/line_feeds.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lq {
namespace {

// Without a population-count instruction in the baseline, the builtin is a library call.
unsigned bits_set(uint32_t x) {
  x = x - ((x >> 1) & 0x55555555u);
  x = (x & 0x33333333u) + ((x >> 2) & 0x33333333u);
  x = (x + (x >> 4)) & 0x0F0F0F0Fu;
  return (x * 0x01010101u) >> 24;
}

#if defined(__SSE2__)
// Bit i set when p[i] is an LF, for the 16 bytes at p.
uint32_t lf_mask(const char* p) {
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8('\n'))));
}
#endif

}  // namespace

LineFeeds line_feeds(std::string_view text, size_t from, size_t to) {
  LineFeeds out;
  const char* const base = text.data();
  auto take = [&](size_t at, uint32_t mask) {
    if (mask == 0) return;
    out.count += bits_set(mask);
    out.last = at + 31 - static_cast<size_t>(__builtin_clz(mask));
  };
#if defined(__SSE2__)
  constexpr size_t kBlock = 16;
  if (text.size() >= kBlock && to > from) {
    size_t i = from;
    for (; i + kBlock <= to; i += kBlock) take(i, lf_mask(base + i));
    if (i < to) {
      // The rest in the one block that ends at `to`, or that starts the text when `to` is
      // nearer its start; the bytes outside [i, to) are masked off.
      const size_t at = to >= kBlock ? to - kBlock : 0;
      const uint32_t keep = ((uint32_t{1} << (to - i)) - 1) << (i - at);
      take(at, lf_mask(base + at) & keep);
    }
    return out;
  }
#endif
  for (size_t i = from; i < to; ++i)
    if (base[i] == '\n') take(i, 1);
  return out;
}

}  // namespace lq

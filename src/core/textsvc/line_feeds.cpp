#include "core/textsvc/line_feeds.h"

#include <cstdint>
#include <cstring>

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
// The sum of the sixteen byte counters in v.
size_t counted(__m128i v) {
  const __m128i sums = _mm_sad_epu8(v, _mm_setzero_si128());
  return static_cast<size_t>(_mm_cvtsi128_si64(sums) +
                             _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
}
#endif

}  // namespace

LineFeeds line_feeds(std::string_view text, size_t from, size_t to) {
  LineFeeds out;
  if (to <= from) return out;
  const char* const base = text.data();
#if defined(__SSE2__)
  constexpr size_t kBlock = 16;
  if (text.size() >= kBlock) {
    // Each block adds one to a byte counter per LF; the counters are summed before any
    // can pass 255.
    const __m128i lf = _mm_set1_epi8('\n');
    __m128i counters = _mm_setzero_si128();
    size_t i = from, blocks = 0;
    for (; i + kBlock <= to; i += kBlock) {
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
      counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(x, lf));
      if (++blocks == 255) {
        out.count += counted(counters);
        counters = _mm_setzero_si128();
        blocks = 0;
      }
    }
    out.count += counted(counters);
    if (i < to) {
      // The rest in the one block that ends at `to`, or that starts the text when `to` is
      // nearer its start; the bytes outside [i, to) are masked off.
      const size_t at = to >= kBlock ? to - kBlock : 0;
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + at));
      const auto mask = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, lf)));
      out.count += bits_set(mask & ((uint32_t{1} << (to - i)) - 1) << (i - at));
    }
    // The last one is most often in the last line or two.
    if (out.count > 0)
      out.last = static_cast<size_t>(
          static_cast<const char*>(memrchr(base + from, '\n', to - from)) - base);
    return out;
  }
#endif
  for (size_t i = from; i < to; ++i)
    if (base[i] == '\n') {
      ++out.count;
      out.last = i;
    }
  return out;
}

}  // namespace lq

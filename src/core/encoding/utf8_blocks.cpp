// Checking UTF-8 32 bytes at a time: every byte is classified by table lookups on its own
// high nibble and on both nibbles of the byte before it, which tells apart every error
// that two bytes show (a lone continuation, a lead cut short, overlong forms, surrogates,
// what lies above U+10FFFF); the bytes two and three back tell where a third or fourth
// byte must continue a sequence. Long runs of ASCII cost one test per 32 bytes.
#include <cstdint>
#include <cstring>

#include "core/encoding/byte_scan.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define LQ_UTF8_AVX2 1
#endif

namespace lq {
namespace {

#ifdef LQ_UTF8_AVX2

// What a pair of bytes can be wrong with, one bit each; a byte's lookups meet in a bit
// only when the pair has that fault.
constexpr std::uint8_t kTooShort = 1 << 0;   // a lead not followed by a continuation
constexpr std::uint8_t kTooLong = 1 << 1;    // a continuation after ASCII
constexpr std::uint8_t kOverlong3 = 1 << 2;  // E0 80..9F
constexpr std::uint8_t kTooLarge = 1 << 3;   // F4 90..BF, F5..FF
constexpr std::uint8_t kSurrogate = 1 << 4;  // ED A0..BF
constexpr std::uint8_t kOverlong2 = 1 << 5;  // C0, C1
constexpr std::uint8_t kTooLarge1000 = 1 << 6;
constexpr std::uint8_t kOverlong4 = 1 << 6;  // F0 80..8F
constexpr std::uint8_t kTwoConts = 1 << 7;   // a continuation after a continuation
constexpr std::uint8_t kCarry = kTooShort | kTooLong | kTwoConts;

#define LQ_TABLE(...) _mm256_setr_epi8(__VA_ARGS__, __VA_ARGS__)

__attribute__((target("avx2"))) inline __m256i lookup(__m256i table, __m256i nibbles) {
  return _mm256_shuffle_epi8(table, nibbles);
}

__attribute__((target("avx2"))) inline __m256i high_nibbles(__m256i v) {
  return _mm256_and_si256(_mm256_srli_epi16(v, 4), _mm256_set1_epi8(0x0F));
}

// The bytes of `in` moved n places later, the last n bytes of `prev` in front.
template <int N>
__attribute__((target("avx2"))) inline __m256i before(__m256i in, __m256i prev) {
  return _mm256_alignr_epi8(in, _mm256_permute2x128_si256(prev, in, 0x21), 16 - N);
}

// The error bits of the 32 bytes `in`, which follow the 32 bytes `prev`.
__attribute__((target("avx2"))) inline __m256i block_errors(__m256i in, __m256i prev) {
  const auto c = [](int v) { return static_cast<char>(v); };
  const __m256i first_high =
      LQ_TABLE(c(kTooLong), c(kTooLong), c(kTooLong), c(kTooLong), c(kTooLong), c(kTooLong),
               c(kTooLong), c(kTooLong), c(kTwoConts), c(kTwoConts), c(kTwoConts), c(kTwoConts),
               c(kTooShort | kOverlong2), c(kTooShort), c(kTooShort | kOverlong3 | kSurrogate),
               c(kTooShort | kTooLarge | kTooLarge1000 | kOverlong4));
  const __m256i first_low = LQ_TABLE(
      c(kCarry | kOverlong3 | kOverlong2 | kOverlong4), c(kCarry | kOverlong2), c(kCarry),
      c(kCarry), c(kCarry | kTooLarge), c(kCarry | kTooLarge | kTooLarge1000),
      c(kCarry | kTooLarge | kTooLarge1000), c(kCarry | kTooLarge | kTooLarge1000),
      c(kCarry | kTooLarge | kTooLarge1000), c(kCarry | kTooLarge | kTooLarge1000),
      c(kCarry | kTooLarge | kTooLarge1000), c(kCarry | kTooLarge | kTooLarge1000),
      c(kCarry | kTooLarge | kTooLarge1000), c(kCarry | kTooLarge | kTooLarge1000 | kSurrogate),
      c(kCarry | kTooLarge | kTooLarge1000), c(kCarry | kTooLarge | kTooLarge1000));
  const __m256i second_high =
      LQ_TABLE(c(kTooShort), c(kTooShort), c(kTooShort), c(kTooShort), c(kTooShort), c(kTooShort),
               c(kTooShort), c(kTooShort),
               c(kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge1000 | kOverlong4),
               c(kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge),
               c(kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge),
               c(kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge), c(kTooShort),
               c(kTooShort), c(kTooShort), c(kTooShort));
  const __m256i prev1 = before<1>(in, prev);
  const __m256i special = _mm256_and_si256(
      _mm256_and_si256(lookup(first_high, high_nibbles(prev1)),
                       lookup(first_low, _mm256_and_si256(prev1, _mm256_set1_epi8(0x0F)))),
      lookup(second_high, high_nibbles(in)));
  // A third byte (two after E0..FF) or a fourth (three after F0..FF) must continue, which
  // the lookups above mark as two continuations in a row.
  const __m256i third = _mm256_subs_epu8(before<2>(in, prev), _mm256_set1_epi8(c(0xE0 - 0x80)));
  const __m256i fourth = _mm256_subs_epu8(before<3>(in, prev), _mm256_set1_epi8(c(0xF0 - 0x80)));
  const __m256i must_continue =
      _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(c(0x80)));
  return _mm256_xor_si256(must_continue, special);
}

// Non-zero where the last bytes of `in` start a sequence that needs more bytes.
__attribute__((target("avx2"))) inline __m256i unfinished(__m256i in) {
  const auto c = [](int v) { return static_cast<char>(v); };
  const __m256i max = _mm256_setr_epi8(
      c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF),
      c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF),
      c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xFF), c(0xF0 - 1),
      c(0xE0 - 1), c(0xC0 - 1));
  return _mm256_subs_epu8(in, max);
}

__attribute__((target("avx2"))) bool valid_avx2(const unsigned char* p, size_t n) {
  __m256i prev = _mm256_setzero_si256(), errors = _mm256_setzero_si256();
  __m256i pending = _mm256_setzero_si256();  // the previous block ended inside a sequence
  size_t i = 0;
  for (; n - i >= 32; i += 32) {
    const __m256i in = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
    if (_mm256_movemask_epi8(in) == 0) {
      errors = _mm256_or_si256(errors, pending);
      pending = _mm256_setzero_si256();
    } else {
      errors = _mm256_or_si256(errors, block_errors(in, prev));
      pending = unfinished(in);
    }
    prev = in;
  }
  // The rest padded with NUL bytes, which are ASCII, so that a sequence cut by the end shows.
  alignas(32) unsigned char tail[32] = {};
  if (n > i) std::memcpy(tail, p + i, n - i);
  const __m256i in = _mm256_load_si256(reinterpret_cast<const __m256i*>(tail));
  errors = _mm256_or_si256(errors, block_errors(in, prev));
  errors = _mm256_or_si256(errors, unfinished(in));
  return _mm256_testz_si256(errors, errors);
}

#undef LQ_TABLE

#endif

}  // namespace

bool utf8_block_valid(const unsigned char* p, const unsigned char* end) {
  const auto n = static_cast<size_t>(end - p);
#ifdef LQ_UTF8_AVX2
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2) return valid_avx2(p, n);
#endif
  size_t i = 0;
  while (i < n) {
    if (p[i] < 0x80) {
      i += ascii_run(p + i, end);
      continue;
    }
    const size_t len = utf8_seq_len(p + i, n - i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

}  // namespace lq

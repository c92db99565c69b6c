#include "core/textsvc/byte_find.h"

#include <array>
#include <cstring>

namespace lq {
namespace {

// How much of the text is counted, and from how many hits in it a byte is too common to
// look for first: where it is on every few bytes, a call per hit costs more than a general
// search.
constexpr size_t kSample = 4096;
constexpr size_t kTooCommonIn = 32;

}  // namespace

ByteFinder::ByteFinder(std::string_view needle, std::string_view sample) : needle_(needle) {
  if (needle.empty()) return;
  sample = sample.substr(0, kSample);
  std::array<size_t, 256> count{};
  for (unsigned char b : sample) ++count[b];
  for (size_t k = 1; k < needle.size(); ++k)
    if (count[static_cast<unsigned char>(needle[k])] <
        count[static_cast<unsigned char>(needle[rare_])])
      rare_ = k;
  general_ = count[static_cast<unsigned char>(needle[rare_])] * kTooCommonIn > sample.size() &&
             sample.size() >= kTooCommonIn;
}

ByteFinder::ByteFinder(std::string_view needle) : needle_(needle) {
  for (size_t k = needle.size(); k-- > 0;) {
    const auto b = static_cast<unsigned char>(needle[k]);
    if (b >= 0x80 && b <= 0xBF) {
      rare_ = k;
      break;
    }
  }
}

size_t ByteFinder::find(std::string_view hay, size_t from) const {
  const size_t n = needle_.size();
  if (n == 0 || from > hay.size() || hay.size() - from < n) return std::string_view::npos;
  const char* const base = hay.data();
  if (general_) {
    const void* hit = memmem(base + from, hay.size() - from, needle_.data(), n);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - base) : std::string_view::npos;
  }
  // The rare byte of an occurrence at `at` is at at + rare_; the last occurrence that fits
  // has it at hay.size() - n + rare_.
  const char* p = base + from + rare_;
  const char* const end = base + hay.size() - n + rare_ + 1;
  const char c = needle_[rare_];
  while (p < end) {
    const auto* q = static_cast<const char*>(std::memchr(p, c, static_cast<size_t>(end - p)));
    if (!q) break;
    const char* at = q - rare_;
    if (std::memcmp(at, needle_.data(), n) == 0) return static_cast<size_t>(at - base);
    p = q + 1;
  }
  return std::string_view::npos;
}

}  // namespace lq

// Shared pieces of the fuzz targets. A failed invariant aborts, so libFuzzer keeps the
// input. Inputs are read through FuzzInput rather than the fuzzer's own helper, so the same
// targets also build with the normal compiler for the replay runs of the test suite.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

#define FUZZ_CHECK(cond)                                                                 \
  do {                                                                                   \
    if (!(cond)) {                                                                       \
      std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)

namespace lq::fuzz {

// Takes parameters from the front of the input and leaves the rest as the text. Numbers
// and flags are read from the back, so mutating the text rarely shifts the parameters.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size)
      : data_(reinterpret_cast<const char*>(data)), size_(size) {}

  bool flag() { return (back_byte() & 1) != 0; }

  // A value in [lo, hi], from as many bytes as the range needs.
  template <typename T>
  T in_range(T lo, T hi) {
    static_assert(std::is_integral_v<T>);
    const uint64_t span = static_cast<uint64_t>(hi) - static_cast<uint64_t>(lo);
    uint64_t v = 0;
    for (uint64_t seen = 0; seen < span && size_ > 0; seen = (seen << 8) | 0xFF)
      v = (v << 8) | back_byte();
    if (span != UINT64_MAX) v %= span + 1;
    return static_cast<T>(static_cast<uint64_t>(lo) + v);
  }

  // Up to max_len bytes from the front, ended early by a backslash that is not doubled
  // (the fuzzer then learns where a piece ends).
  std::string text(size_t max_len) {
    std::string out;
    while (size_ > 0 && out.size() < max_len) {
      const char c = take_front();
      if (c == '\\' && size_ > 0) {
        if (*data_ != '\\') break;
        take_front();
      }
      out += c;
    }
    return out;
  }

  std::string rest() {
    std::string out(data_, size_);
    size_ = 0;
    return out;
  }

 private:
  uint8_t back_byte() {
    if (size_ == 0) return 0;
    return static_cast<uint8_t>(data_[--size_]);
  }
  char take_front() {
    --size_;
    return *data_++;
  }

  const char* data_;
  size_t size_;
};

}  // namespace lq::fuzz

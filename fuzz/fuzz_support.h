// Shared pieces of the fuzz targets: a failed invariant aborts, so libFuzzer keeps the input.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(cond)                                                                 \
  do {                                                                                   \
    if (!(cond)) {                                                                       \
      std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)

namespace lq::fuzz {

// A short string that favours the bytes that matter to the parsers: markers, separators,
// line breaks and GBK lead bytes.
inline std::string short_text(FuzzedDataProvider& in, size_t max_len = 12) {
  return in.ConsumeRandomLengthString(max_len);
}

}  // namespace lq::fuzz

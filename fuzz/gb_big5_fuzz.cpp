// GB2312 <-> Big5 over arbitrary bytes: the length never changes, and GB -> Big5 -> GB is
// stable on its image, except that a character the Big5 -> GB table gives but the
// GB -> Big5 table lacks (a handful) becomes the two spaces of "no counterpart" once more.
#include "core/encoding/gb_big5.h"
#include "fuzz_support.h"

namespace {
std::string round_trip(const std::string& s) {
  return lq::Big5ToGB(lq::GBToBig5(s));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(lq::GBToBig5(bytes).size() == size && lq::Big5ToGB(bytes).size() == size);
  const std::string once = round_trip(bytes);
  const std::string twice = round_trip(once);
  FUZZ_CHECK(twice.size() == size);
  for (size_t i = 0; i < size; ++i) FUZZ_CHECK(twice[i] == once[i] || twice[i] == ' ');
  FUZZ_CHECK(round_trip(twice) == twice);
  return 0;
}

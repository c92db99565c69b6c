// Simplified <-> traditional over arbitrary bytes: no fault, ASCII text passes through,
// and converting a converted text again changes nothing.
#include "core/encoding/simp_trad.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string trad = lq::gb2old1(bytes);
  const std::string simp = lq::old2gb1(bytes);
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) FUZZ_CHECK(trad == bytes && simp == bytes);
  FUZZ_CHECK(lq::old2gb1(simp) == simp);
  FUZZ_CHECK(lq::gb2old1(trad) == trad);
  return 0;
}

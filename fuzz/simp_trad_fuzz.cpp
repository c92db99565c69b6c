// Simplified <-> traditional over arbitrary bytes: no fault, the length stays, ASCII text
// passes through, and converting again changes nothing more after the second time (one
// published pair chains: 么 -> 麽 -> 麼).
#include "core/encoding/simp_trad.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string trad = lq::gb2old1(bytes);
  const std::string simp = lq::old2gb1(bytes);
  FUZZ_CHECK(trad.size() == size && simp.size() == size);
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) FUZZ_CHECK(trad == bytes && simp == bytes);
  FUZZ_CHECK(lq::old2gb1(simp) == simp);
  const std::string trad2 = lq::gb2old1(trad);
  FUZZ_CHECK(lq::gb2old1(trad2) == trad2);
  return 0;
}

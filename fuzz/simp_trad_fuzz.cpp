// Simplified <-> traditional over arbitrary bytes: no fault, the length stays, ASCII text
// passes through, and converting again changes nothing more after the second time (one
// published pair chains: 么 -> 麽 -> 麼).
#include "core/encoding/simp_trad.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string trad = lq::simp_to_trad(bytes);
  const std::string simp = lq::trad_to_simp(bytes);
  FUZZ_CHECK(trad.size() == size && simp.size() == size);
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) FUZZ_CHECK(trad == bytes && simp == bytes);
  FUZZ_CHECK(lq::trad_to_simp(simp) == simp);
  const std::string trad2 = lq::simp_to_trad(trad);
  FUZZ_CHECK(lq::simp_to_trad(trad2) == trad2);
  return 0;
}

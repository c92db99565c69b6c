// Base64: any text decodes without fault, and decoding an encoding gives the bytes back.
#include "core/textsvc/str_helpers.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  lq::from_base64(bytes);
  FUZZ_CHECK(lq::from_base64(lq::to_base64(bytes)) == bytes);
  return 0;
}

// GBK <-> UTF-8 over arbitrary bytes: no crash either way, and the round trip is stable on
// its image (converting a converted text again changes nothing).
#include "core/encoding/code_page.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const lq::CodePage& cp = lq::code_page();
  const std::string once = cp.from_utf8(cp.to_utf8(bytes));
  const std::string twice = cp.from_utf8(cp.to_utf8(once));
  FUZZ_CHECK(once == twice);
  const std::string u = cp.to_utf8(cp.from_utf8(bytes));
  FUZZ_CHECK(cp.to_utf8(cp.from_utf8(u)) == u);
  return 0;
}

// split_marked: the outside pieces, and the inside pieces within their markers,
// concatenate back to the input.
#include "core/textsvc/str_helpers.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lq::fuzz::FuzzInput in(data, size);
  const std::string start = in.text(4);
  const std::string end = in.text(4);
  const std::string s = in.rest();
  lq::LineList pieces;
  lq::text_parts::split_marked(s, pieces, start, end);
  std::string back;
  for (const std::string& p : pieces) {
    FUZZ_CHECK(p.size() >= 2 && (p[0] == '0' || p[0] == '1') && p[1] == '=');
    back += p[0] == '1' ? start + p.substr(2) + end : p.substr(2);
  }
  FUZZ_CHECK(back == s);
  return 0;
}

// The record store over arbitrary table text: lookups answer, and a value stored (Base64
// or with "<br>") reads back as written.
#include "core/textsvc/text_data.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lq::fuzz::FuzzInput in(data, size);
  lq::TTextData store;
  store.use_base64 = in.flag();
  store.enable_user_sp = in.flag();
  store.user_sp = in.text(3);
  const std::string value = in.text(16);
  std::string text = in.rest();
  size_t p = 0;
  while (p <= text.size()) {
    size_t q = text.find('\n', p);
    if (q == std::string::npos) q = text.size();
    store.record_list.push_back(text.substr(p, q - p));
    p = q + 1;
  }
  const lq::LineList header =
      lq::TTextData::split_fields(store.record_list.front(), store.field_separator());
  for (int r = -1; r <= store.record_count() + 1; ++r) {
    store.set_current(r);
    for (const std::string& name : header) store.get_value(name);
  }
  std::string round = value;
  if (!store.use_base64) {
    // Stored without Base64, line breaks become CR LF and "<br>" reads as one.
    if (round.find("<br>") != std::string::npos || round.find('\r') != std::string::npos ||
        round.find('\n') != std::string::npos)
      return 0;
  }
  FUZZ_CHECK(store.decode_value(store.encode_value(round)) == round);
  return 0;
}

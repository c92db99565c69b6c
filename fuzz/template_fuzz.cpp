// Template expansion with arbitrary parameters and template text: no crash, no runaway.
#include "core/operations/template_expand.h"
#include "core/run_error.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lq::fuzz::FuzzInput in(data, size);
  const std::string params = in.text(256);
  const std::string tmpl = in.rest();
  try {
    lq::expand_template_text(params, tmpl);
  } catch (const lq::RunError&) {
  }
  return 0;
}

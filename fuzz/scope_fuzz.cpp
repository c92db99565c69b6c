// Every scope mode with random parameters over random lines: with C(x) = x the document
// comes back unchanged, whatever the mode selects.
#include "core/run/run_context.h"
#include "core/run_error.h"
#include "core/scope/scopes.h"
#include "fuzz_support.h"

namespace {

struct Identity : lq::Operation {
  Identity() : Operation({}) { set_enabled(true); }
  void line_step(std::string&) override {}
  void document_step(lq::LineList&, const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lq::fuzz::FuzzInput in(data, size);
  lq::ScopeSettings settings;
  settings.select(in.in_range<int>(1, 15));
  for (const lq::ParamDecl& d : lq::ScopeSettings::decls()) {
    if (d.kind != lq::ParamKind::Text || !in.flag()) continue;
    // Numbers most of the time, so the numeric modes get past their checks.
    std::string v = in.flag() ? std::to_string(in.in_range<int>(-3, 40)) : in.text(6);
    settings.set(d.name, v);
  }
  settings.set("CheckBox_fw_qz3", in.flag() ? "1" : "0");
  lq::LineList lines;
  std::string rest = in.rest();
  size_t p = 0;
  while (p <= rest.size() && lines.size() < 64) {
    size_t q = rest.find('\n', p);
    if (q == std::string::npos) q = rest.size();
    lines.push_back(rest.substr(p, q - p));
    p = q + 1;
  }
  const lq::LineList before = lines;

  Identity op;
  lq::OperationChain chain;
  chain.append(&op);
  lq::RunContext context;
  lq::ScopeRun run{chain, settings, context};
  try {
    lq::run_scope(lines, run);
  } catch (const lq::RunError&) {
    return 0;  // a parameter the mode cannot use: reported, nothing changed
  }
  FUZZ_CHECK(lines == before);
  return 0;
}

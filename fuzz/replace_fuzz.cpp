// The replace operation in its three modes with random patterns and texts: a clear error
// or a result, never a crash or a hang; replacing a plain text by itself changes nothing.
#include "core/operations/replace_op.h"
#include "core/run_error.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lq::fuzz::FuzzInput in(data, size);
  const int mode = in.in_range<int>(0, 2);
  const bool case_sensitive = in.flag();
  const std::string search = in.text(16);
  const std::string replacement = in.text(8);
  std::string text = in.rest();
  const std::string original = text;

  lq::ReplaceOp op;
  op.set_enabled(true);
  op.params().set_checked("CheckBox_th_r1", mode == 1);
  op.params().set_checked("CheckBox_th_r2", mode == 2);
  op.params().set("Edit_th1", search);
  op.params().set("Edit_th2", mode == 0 ? search : replacement);
  lq::OperationEnv env;
  env.case_sensitive = case_sensitive;
  op.set_env(env);
  try {
    op.line_step(text);
  } catch (const lq::RunError&) {
    return 0;
  }
  if (mode == 0 && case_sensitive) FUZZ_CHECK(text == original);
  return 0;
}

#include "core/operations/operation.h"

#include "core/encoding/code_page.h"
#include "core/run/run_context.h"

namespace lq {

const CodePage& Operation::text_page() const {
  if (env_.context && env_.context->page) return *env_.context->page;
  return code_page();
}

}  // namespace lq

#include "core/operations/operation.h"

#include "core/batch/run_context.h"
#include "core/encoding/code_page.h"

namespace lq {

const CodePage& Operation::text_page() const {
  if (env_.context && env_.context->page) return *env_.context->page;
  return code_page();
}

}  // namespace lq

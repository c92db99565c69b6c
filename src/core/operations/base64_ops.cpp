// [14] Base64 decoding and [15] Base64 encoding of each piece.
#include "core/operations/line_operations.h"
#include "core/operations/panel_operation.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

std::unique_ptr<Operation> make_base64_decode() {
  return make_line_operation("TControlForm_base64decode",
                             [](const Operation&, std::string& s) { s = from_base64(s); });
}

std::unique_ptr<Operation> make_base64_encode() {
  return make_line_operation("TControlForm_base64encode",
                             [](const Operation&, std::string& s) { s = to_base64(s); });
}

}  // namespace lq

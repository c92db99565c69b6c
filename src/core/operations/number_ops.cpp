// [18] and [19]: the piece read as a number, plus or minus the operand. Anything that does
// not read as an integer leaves the piece exactly as it was, and the run goes on.
#include <cstdint>

#include "core/operations/line_operations.h"
#include "core/operations/panel_operation.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

void add_to_number(std::string& s, std::string_view operand_text, bool subtract) {
  std::string value_text = trim(s);
  if (value_text.empty()) return;
  int v = 0, d = 0;
  if (!parse_int(value_text, v) || !parse_int(trim(operand_text), d)) return;
  // 32-bit two's-complement arithmetic that wraps instead of overflowing.
  uint32_t r = subtract ? uint32_t(v) - uint32_t(d) : uint32_t(v) + uint32_t(d);
  s = std::to_string(static_cast<int32_t>(r));
}

}  // namespace

std::unique_ptr<Operation> make_number_add() {
  return make_line_operation("TControlForm_as_num_add1", [](const Operation& op, std::string& s) {
    add_to_number(s, op.params().text("Edit_add1"), false);
  });
}

std::unique_ptr<Operation> make_number_subtract() {
  return make_line_operation("TControlForm_as_num_dec", [](const Operation& op, std::string& s) {
    add_to_number(s, op.params().text("Edit_dec1"), true);
  });
}

}  // namespace lq

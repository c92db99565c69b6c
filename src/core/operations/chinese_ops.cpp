// [7] GB2312 -> Big5, [8] Big5 -> GB2312, and [20]/[21] traditional <-> simplified within
// GBK. A conversion that fails leaves the piece as it was; nothing is reported.
#include <exception>

#include "core/encoding/gb_big5.h"
#include "core/encoding/simp_trad.h"
#include "core/operations/line_operations.h"
#include "core/operations/panel_operation.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

template <class Convert>
void convert_or_keep(std::string& s, Convert convert) {
  try {
    s = convert(s);
  } catch (const std::exception&) {
    // The piece stays unchanged.
  }
}

}  // namespace

std::unique_ptr<Operation> make_gb_to_big5() {
  return make_line_operation("TControlForm_big5", [](const Operation&, std::string& s) {
    convert_or_keep(s, [](std::string_view t) { return GBToBig5(t); });
  });
}

std::unique_ptr<Operation> make_big5_to_gb() {
  return make_line_operation("TControlForm_big52", [](const Operation&, std::string& s) {
    convert_or_keep(s, [](std::string_view t) { return Big5ToGB(t); });
  });
}

// One panel, two choices: with neither selected the enabled panel changes nothing.
std::unique_ptr<Operation> make_trad_simp() {
  return make_line_operation("TControlForm_ft2gb", [](const Operation& op, std::string& s) {
    if (op.params().checked("RadioButton_ft2gb")) {
      if (!is_blank(s)) convert_or_keep(s, [](std::string_view t) { return old2gb1(t); });
    } else if (op.params().checked("RadioButton_gb2ft")) {
      convert_or_keep(s, [](std::string_view t) { return gb2old1(t); });
    }
  });
}

}  // namespace lq

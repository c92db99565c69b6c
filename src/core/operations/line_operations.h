// Operations that transform one piece of text at a time: the scope hands each piece it
// selects to line_step, and the result goes back in place of the piece. None of them
// knows the file, the line number or the text around the piece.
#pragma once

#include <memory>

#include "core/operations/operation.h"

namespace lq {

std::unique_ptr<Operation> make_ladd();             // [1] prefix
std::unique_ptr<Operation> make_radd();             // [2] suffix
std::unique_ptr<Operation> make_fill_str();         // [3] pad with blanks
std::unique_ptr<Operation> make_gb_to_big5();       // [7]
std::unique_ptr<Operation> make_big5_to_gb();       // [8]
std::unique_ptr<Operation> make_lower_case();       // [9]
std::unique_ptr<Operation> make_upper_case();       // [10]
std::unique_ptr<Operation> make_delete_text();      // [12]
std::unique_ptr<Operation> make_web_text();         // [13]
std::unique_ptr<Operation> make_base64_decode();    // [14]
std::unique_ptr<Operation> make_base64_encode();    // [15]
std::unique_ptr<Operation> make_number_add();       // [18]
std::unique_ptr<Operation> make_number_subtract();  // [19]
std::unique_ptr<Operation> make_trad_simp();        // [20] and [21]
std::unique_ptr<Operation> make_md5();              // [25]

}  // namespace lq

// Operations that work on a whole document at once. The run calls their document_step on
// the freshly loaded line list of every file, before any scope processing, and saves the
// line list as they leave it.
#pragma once

#include <memory>

#include "core/operations/operation.h"

namespace lq {

std::unique_ptr<Operation> make_save_as();             // [5] save a copy
std::unique_ptr<Operation> make_delete_blank_lines();  // [11]
std::unique_ptr<Operation> make_merge_lines();         // [16]
std::unique_ptr<Operation> make_delete_duplicates();   // [22]
std::unique_ptr<Operation> make_transpose();           // [23]
std::unique_ptr<Operation> make_split_file();          // [24]
std::unique_ptr<Operation> make_unicode();             // [26] UTF-8 <-> code page
std::unique_ptr<Operation> make_blank_run_limit();     // [27]

}  // namespace lq

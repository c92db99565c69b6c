// One factory per built operation. A factory left as nullptr marks an operation that is
// declared in the catalogue but not built yet.
#pragma once

#include <memory>

#include "core/operations/document_operations.h"
#include "core/operations/find_op.h"
#include "core/operations/line_operations.h"
#include "core/operations/operation.h"
#include "core/operations/replace_op.h"
#include "core/operations/script_op.h"

namespace lq::factories {

using Make = std::unique_ptr<Operation> (*)();

inline constexpr Make ladd = &make_ladd;
inline constexpr Make radd = &make_radd;
inline constexpr Make fill_str = &make_fill_str;
inline constexpr Make replace = make_replace_op;
inline constexpr Make save_as = &make_save_as;
inline constexpr Make find = make_find_op;
inline constexpr Make gb_to_big5 = &make_gb_to_big5;
inline constexpr Make big5_to_gb = &make_big5_to_gb;
inline constexpr Make lower_case = &make_lower_case;
inline constexpr Make upper_case = &make_upper_case;
inline constexpr Make delete_blank_lines = &make_delete_blank_lines;
inline constexpr Make delete_text = &make_delete_text;
inline constexpr Make web_text = &make_web_text;
inline constexpr Make base64_decode = &make_base64_decode;
inline constexpr Make base64_encode = &make_base64_encode;
inline constexpr Make merge_lines = &make_merge_lines;
inline constexpr Make number_add = &make_number_add;
inline constexpr Make number_subtract = &make_number_subtract;
inline constexpr Make trad_simp = &make_trad_simp;
inline constexpr Make delete_duplicates = &make_delete_duplicates;
inline constexpr Make transpose = &make_transpose;
inline constexpr Make split_file = &make_split_file;
inline constexpr Make md5 = &make_md5;
inline constexpr Make unicode = &make_unicode;
inline constexpr Make blank_run_limit = &make_blank_run_limit;
inline constexpr Make script = make_script_op;

}  // namespace lq::factories

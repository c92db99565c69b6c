// One factory per built operation. A factory left as nullptr marks an operation that is
// declared in the catalogue but not built yet.
#pragma once

#include <memory>

#include "core/operations/operation.h"

namespace lq::factories {

using Make = std::unique_ptr<Operation> (*)();

inline constexpr Make ladd = nullptr;
inline constexpr Make radd = nullptr;
inline constexpr Make fill_str = nullptr;
inline constexpr Make replace = nullptr;
inline constexpr Make save_as = nullptr;
inline constexpr Make find = nullptr;
inline constexpr Make gb_to_big5 = nullptr;
inline constexpr Make big5_to_gb = nullptr;
inline constexpr Make lower_case = nullptr;
inline constexpr Make upper_case = nullptr;
inline constexpr Make delete_blank_lines = nullptr;
inline constexpr Make delete_text = nullptr;
inline constexpr Make web_text = nullptr;
inline constexpr Make base64_decode = nullptr;
inline constexpr Make base64_encode = nullptr;
inline constexpr Make merge_lines = nullptr;
inline constexpr Make number_add = nullptr;
inline constexpr Make number_subtract = nullptr;
inline constexpr Make trad_simp = nullptr;
inline constexpr Make delete_duplicates = nullptr;
inline constexpr Make transpose = nullptr;
inline constexpr Make split_file = nullptr;
inline constexpr Make md5 = nullptr;
inline constexpr Make unicode = nullptr;
inline constexpr Make blank_run_limit = nullptr;
inline constexpr Make script = nullptr;

}  // namespace lq::factories

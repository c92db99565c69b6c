#pragma once

namespace lq::cli {

inline constexpr const char* kProgramName = "lexoquill-batch";

}  // namespace lq::cli

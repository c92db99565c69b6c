// The instance check at start-up: is another copy of the program running?
#pragma once

#include <string_view>

namespace lq {

// name := trimmed name, or the executable's file name when that is empty. Answers true when
// another running process already holds the instance lock of that name. Either way this
// process holds it from now on until it ends, so a copy started after the first one has
// gone still counts as running. False when the private runtime directory is unavailable.
bool instance_exists(std::string_view name);

// The executable's file name without directory ("lexoquill").
std::string_view exe_file_name();

}  // namespace lq

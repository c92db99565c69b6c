// Single-window mode as the main window switches it: the two shared values name the
// process whose window takes the files of later starts.
#pragma once

#include <cstdint>

namespace lq {

// Mode on for the window of process self: creates both values (their handles stay open
// until the process ends), then "quorbeam_one_form" := 1 and "quorbeam_mainform" := self.
// False when a value could not be written.
bool announce_single_window(std::int32_t self);

// Mode off: both values := 0, but only while they still name self, so switching off (or
// closing) one window never switches off a window that took the mode over later.
void withdraw_single_window(std::int32_t self);

}  // namespace lq

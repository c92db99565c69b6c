// "新建空白窗口": a further copy of the program with a window of its own, also while
// single-window mode would hand a start over to a running window.
#pragma once

#include <QString>

namespace lq::gui {

// The environment variable that tells a starting copy to open its own window; main()
// reads and removes it, so it does not reach what that copy starts in turn.
inline constexpr const char* kNoHandoffEnv = "LEXOQUILL_NO_HANDOFF";

// Starts program (this program when empty) detached, without arguments. False when it
// could not be started.
bool start_blank_window(const QString& program = {});

}  // namespace lq::gui

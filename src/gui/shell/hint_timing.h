// How hints behave in the whole program: they appear at once and stay up for ten minutes,
// since the longer ones are read slowly.
#pragma once

namespace lq::gui {

inline constexpr int kHintShownMs = 600000;

// Call once after the application object exists.
void install_hint_timing();

}  // namespace lq::gui

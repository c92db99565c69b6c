// The private directory where running copies of the program meet: the instance lock, the
// shared values and the hand-off sockets live there, so only the same user can reach them.
#pragma once

#include <string>

namespace lq {

// $XDG_RUNTIME_DIR/lexoquill/, or /tmp/lexoquill-UID/ when XDG_RUNTIME_DIR is unset or
// unusable; created with mode 0700 and ending in "/". "" when no such directory can be had
// safely: it must be a real directory (not a link) owned by the user with no access for
// anyone else. Read from the environment at every call.
std::string runtime_dir();

}  // namespace lq

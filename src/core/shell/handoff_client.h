// The sending half of the hand-off: a second start gives its path to the window that
// asked for it, over a local socket in the private runtime directory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lq {

enum class HandoffResult {
  kDelivered,    // the window confirmed the path
  kUnreachable,  // nobody listens (nothing was sent)
  kNoAnswer,     // sent, but not confirmed in time
};

// The socket of the window whose "quorbeam_mainform" value is target (the id of its
// process): runtime_dir() + "form-" + target + ".sock". "" when there is no runtime
// directory or the path would not fit in a socket address.
std::string handoff_socket_path(std::int32_t target);

// Sends one path (at most 260 bytes are carried) and waits up to timeout_ms for the
// window to confirm it, as a synchronous window message would.
HandoffResult send_handoff(const std::string& socket_path, std::string_view path, int timeout_ms);

}  // namespace lq

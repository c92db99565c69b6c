// Who is at the other end of a local socket.
#pragma once

namespace lq {

// True when the process connected through the local socket fd runs as this process's
// user; false for another user or when the system cannot tell.
bool peer_is_same_user(int fd);

}  // namespace lq

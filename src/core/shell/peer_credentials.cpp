#include "core/shell/peer_credentials.h"

#include <sys/socket.h>
#include <unistd.h>

namespace lq {

bool peer_is_same_user(int fd) {
  struct ucred cred {};
  socklen_t len = sizeof cred;
  if (fd < 0 || ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || len != sizeof cred)
    return false;
  return cred.uid == ::getuid();
}

}  // namespace lq

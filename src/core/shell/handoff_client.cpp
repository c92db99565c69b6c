#include "core/shell/handoff_client.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/shell/handoff_message.h"
#include "core/shell/runtime_dir.h"

namespace lq {

namespace {

using Clock = std::chrono::steady_clock;

int remaining_ms(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for events on fd until the deadline; false on timeout or error.
bool wait_for(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int r = ::poll(&p, 1, remaining_ms(deadline));
    if (r > 0) return true;
    if (r == 0 || errno != EINTR) return false;
  }
}

struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

std::string handoff_socket_path(std::int32_t target) {
  const std::string dir = runtime_dir();
  if (dir.empty()) return {};
  const std::string path = dir + "form-" + std::to_string(target) + ".sock";
  return path.size() < sizeof(sockaddr_un::sun_path) ? path : std::string();
}

HandoffResult send_handoff(const std::string& socket_path, std::string_view path, int timeout_ms) {
  sockaddr_un addr{};
  if (socket_path.empty() || socket_path.size() >= sizeof addr.sun_path)
    return HandoffResult::kUnreachable;
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, socket_path.data(), socket_path.size());
  Fd s{::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)};
  if (s.fd < 0) return HandoffResult::kUnreachable;
  if (::connect(s.fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
    return HandoffResult::kUnreachable;

  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  const std::string msg = encode_handoff(path);
  std::size_t sent = 0;
  while (sent < msg.size()) {
    if (!wait_for(s.fd, POLLOUT, deadline)) return HandoffResult::kNoAnswer;
    const ssize_t n = ::send(s.fd, msg.data() + sent, msg.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return sent == 0 ? HandoffResult::kUnreachable : HandoffResult::kNoAnswer;
    sent += static_cast<std::size_t>(n);
  }
  for (;;) {
    if (!wait_for(s.fd, POLLIN, deadline)) return HandoffResult::kNoAnswer;
    char ack = 0;
    const ssize_t n = ::recv(s.fd, &ack, 1, 0);
    if (n < 0 && errno == EINTR) continue;
    return n == 1 && ack == kHandoffAck ? HandoffResult::kDelivered : HandoffResult::kNoAnswer;
  }
}

}  // namespace lq

#include "core/shell/peer_credentials.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "support/temp_dir.h"

namespace lq {
namespace {

using PeerCredentials = test::TempDirTest;

TEST_F(PeerCredentials, SameUserOnlyAndNoGuessing) {
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  EXPECT_TRUE(peer_is_same_user(pair[0]));
  ::close(pair[0]);
  ::close(pair[1]);
  EXPECT_FALSE(peer_is_same_user(-1));
  int pipe_fd[2];
  ASSERT_EQ(::pipe(pipe_fd), 0);
  EXPECT_FALSE(peer_is_same_user(pipe_fd[0]));  // not a socket
  ::close(pipe_fd[0]);
  ::close(pipe_fd[1]);
}

// Only root can play another user here.
TEST_F(PeerCredentials, AnotherUserIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to connect as another user";
  ::chmod(dir().c_str(), 0777);
  const std::string path = dir() + "s";
  const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.data(), path.size());
  ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::chmod(path.c_str(), 0777);
  ASSERT_EQ(::listen(server, 1), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(1);
    const int c = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::connect(c, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) ::_exit(2);
    char b;
    (void)!::read(c, &b, 1);
    ::_exit(0);
  }
  const int conn = ::accept(server, nullptr, nullptr);
  ASSERT_GE(conn, 0);
  EXPECT_FALSE(peer_is_same_user(conn));
  ::close(conn);
  ::close(server);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace lq

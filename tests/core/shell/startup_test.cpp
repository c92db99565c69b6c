#include "core/shell/startup.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <thread>

#include "core/shell/handoff_client.h"
#include "core/shell/handoff_message.h"
#include "core/shell/instance_lock.h"
#include "core/shell/runtime_env.h"
#include "core/shell/shared_values.h"

namespace lq {
namespace {

// A window's end of the socket, without the window: takes connections one after another,
// reads one message from each and answers as told.
class FakeWindow {
 public:
  enum Answer { kAck, kHangUp, kSilent };

  FakeWindow(const std::string& path, Answer answer, int connections) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.data(), path.size());
    ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(fd_, 8);
    thread_ = std::thread([this, answer, connections] {
      for (int i = 0; i < connections; ++i) {
        const int c = ::accept(fd_, nullptr, nullptr);
        if (c < 0) return;
        std::string msg(kHandoffMessageSize, '\0');
        std::size_t got = 0;
        while (got < msg.size()) {
          const ssize_t n = ::read(c, msg.data() + got, msg.size() - got);
          if (n <= 0) break;
          got += static_cast<std::size_t>(n);
        }
        if (auto p = decode_handoff(msg)) paths_.push_back(*p);
        if (answer == kAck) (void)!::write(c, &kHandoffAck, 1);
        if (answer == kSilent) ::usleep(500 * 1000);
        ::close(c);
      }
    });
  }
  ~FakeWindow() {
    ::shutdown(fd_, SHUT_RDWR);
    if (thread_.joinable()) thread_.join();
    ::close(fd_);
  }
  // Valid once the expected connections were served.
  const std::vector<std::string>& paths() {
    if (thread_.joinable()) thread_.join();
    return paths_;
  }

 private:
  int fd_;
  std::thread thread_;
  std::vector<std::string> paths_;
};

using HandoffSend = test::RuntimeDirTest;

TEST_F(HandoffSend, AnswerDecidesTheResult) {
  const std::string sock = handoff_socket_path(31);
  ASSERT_FALSE(sock.empty());
  EXPECT_EQ(send_handoff(sock, "/x", 1000), HandoffResult::kUnreachable);
  {
    FakeWindow w(sock, FakeWindow::kAck, 1);
    EXPECT_EQ(send_handoff(sock, "/tmp/with blank.txt", 5000), HandoffResult::kDelivered);
    EXPECT_EQ(w.paths(), std::vector<std::string>{"/tmp/with blank.txt"});
  }
  ::unlink(sock.c_str());
  {
    FakeWindow w(sock, FakeWindow::kHangUp, 1);
    EXPECT_EQ(send_handoff(sock, "/x", 5000), HandoffResult::kNoAnswer);
  }
  ::unlink(sock.c_str());
  {
    FakeWindow w(sock, FakeWindow::kSilent, 1);
    EXPECT_EQ(send_handoff(sock, "/x", 100), HandoffResult::kNoAnswer);
  }
  EXPECT_EQ(send_handoff("", "/x", 100), HandoffResult::kUnreachable);
  EXPECT_EQ(handoff_socket_path(1).size() < 108, true);
}

class HandOffAtStart : public test::RuntimeDirTest {
 protected:
  void SetUp() override {
    RuntimeDirTest::SetUp();
    instance_exists("");  // this process plays the running copy
    one_ = shared_mem::create_share_handle(shared_mem::kOneForm);
    main_ = shared_mem::create_share_handle(shared_mem::kMainForm);
    shared_mem::set_share_handle(shared_mem::kMainForm, 4711);
    sock_ = handoff_socket_path(4711);
  }
  void TearDown() override {
    shared_mem::close_share_handle(one_);
    shared_mem::close_share_handle(main_);
    RuntimeDirTest::TearDown();
  }
  int one_ = 0, main_ = 0;
  std::string sock_;
};

TEST_F(HandOffAtStart, OnlyWhenSingleWindowModeIsOn) {
  HandOff r = hand_off({"/a"}, 1000);
  EXPECT_FALSE(r.ended);
  EXPECT_EQ(r.rest, std::vector<std::string>{"/a"});

  ASSERT_TRUE(shared_mem::set_share_handle(shared_mem::kOneForm, 1));
  {
    FakeWindow w(sock_, FakeWindow::kAck, 3);
    r = hand_off({"/My Files/a.txt", "/b.txt"}, 5000);
    EXPECT_TRUE(r.ended);
    EXPECT_TRUE(r.rest.empty());
    r = hand_off({}, 5000);  // no argument: one empty path
    EXPECT_TRUE(r.ended);
    EXPECT_EQ(w.paths(), (std::vector<std::string>{"/My Files/a.txt", "/b.txt", ""}));
  }
}

TEST_F(HandOffAtStart, LongPathsAndLostWindowsStayHere) {
  ASSERT_TRUE(shared_mem::set_share_handle(shared_mem::kOneForm, 1));
  const std::string long_path = "/" + std::string(299, 'p');
  {
    FakeWindow w(sock_, FakeWindow::kAck, 1);
    const HandOff r = hand_off({"/short", long_path}, 5000);
    EXPECT_FALSE(r.ended);
    EXPECT_EQ(r.rest, (std::vector<std::string>{"/short", long_path}));
    EXPECT_EQ(send_handoff(sock_, "/probe", 5000), HandoffResult::kDelivered);
    EXPECT_EQ(w.paths(), std::vector<std::string>{"/probe"});  // nothing cut arrived
  }
  ::unlink(sock_.c_str());
  const HandOff r = hand_off({"/a"}, 1000);  // the window stopped listening
  EXPECT_FALSE(r.ended);
  EXPECT_EQ(r.rest, std::vector<std::string>{"/a"});
}

using StartupPaths = test::TempDirTest;

TEST_F(StartupPaths, OnePathOrSeveral) {
  const std::string spaced = write("My Files/a b.txt", "x");
  const std::string one = write("one.txt", "1"), two = write("two.txt", "2");
  const std::string quoted = write("q\"uote.txt", "q");
  const struct {
    std::vector<std::string> args, paths;
  } cases[] = {
      {{}, {}},
      {{spaced}, {spaced}},
      {{dir() + "My", "Files/a", "b.txt"}, {spaced}},  // split by a shell
      {{one, two}, {one, two}},                        // several selected files
      {{"\"" + one + "\""}, {one}},
      {{"  " + one + " "}, {one}},
      {{quoted}, {quoted}},  // an existing name keeps its quote
      {{"", "  "}, {}},
      {{dir()}, {dir()}},
      {{"/no/such file"}, {"/no/such file"}},
  };
  for (const auto& c : cases) EXPECT_EQ(startup_paths_from_args(c.args), c.paths);

  // Relative to the working directory, also when a shell split the name.
  char old[PATH_MAX];
  ASSERT_NE(::getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(::chdir(path("My Files").c_str()), 0);
  EXPECT_EQ(startup_paths_from_args({"a", "b.txt"}), std::vector<std::string>{spaced});
  EXPECT_EQ(startup_paths_from_args({"./a b.txt"}),
            std::vector<std::string>{dir() + "My Files/./a b.txt"});
  EXPECT_EQ(startup_paths_from_args({"new.txt"}),
            std::vector<std::string>{dir() + "My Files/new.txt"});
  ASSERT_EQ(::chdir(old), 0);
}

}  // namespace
}  // namespace lq

#include "core/shell/shared_values.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <csignal>
#include <filesystem>

#include "core/encoding/code_page.h"
#include "core/shell/instance_lock.h"
#include "core/shell/runtime_env.h"
#include "core/shell/single_window.h"
#include "core/textsvc/message_catalogue.h"

extern char** environ;

namespace lq {
namespace {

class SharedValues : public test::RuntimeDirTest {
 protected:
  void SetUp() override {
    RuntimeDirTest::SetUp();
    set_msg_box_handler([this](std::string_view text, bool, std::string_view) {
      boxes_.push_back(code_page().to_utf8(text));
      return false;
    });
  }
  void TearDown() override {
    set_msg_box_handler({});
    RuntimeDirTest::TearDown();
  }
  std::vector<std::string> boxes_;
};

TEST_F(SharedValues, CreateSetGetWhileHeld) {
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kOneForm), 0);
  const int h = shared_mem::create_share_handle(shared_mem::kOneForm);
  ASSERT_GT(h, 0);
  EXPECT_EQ(shared_mem::create_share_handle(shared_mem::kOneForm), 0);  // exists already
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kOneForm), 0);
  EXPECT_TRUE(shared_mem::set_share_handle(shared_mem::kOneForm, 1));
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kOneForm), 1);
  EXPECT_TRUE(shared_mem::set_share_handle(shared_mem::kOneForm, -123456));
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kOneForm), -123456);
  EXPECT_TRUE(boxes_.empty());

  // Gone with its last holder; a later creator starts from 0.
  shared_mem::close_share_handle(h);
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kOneForm), 0);
  const int again = shared_mem::create_share_handle(shared_mem::kOneForm);
  ASSERT_GT(again, 0);
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kOneForm), 0);
  shared_mem::close_share_handle(again);
}

TEST_F(SharedValues, SetWithoutHolderShowsItsMessage) {
  EXPECT_FALSE(shared_mem::set_share_handle(shared_mem::kMainForm, 5));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0],
            "error:[mem1.set_share_handle1]?先要调用[create_share_handle1]quorbeam_mainform");
}

TEST_F(SharedValues, ValueVanishesWhenItsProcessEnds) {
  test::Child holder([] {
    shared_mem::create_share_handle(shared_mem::kMainForm);
    shared_mem::set_share_handle(shared_mem::kMainForm, 4242);
  });
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kMainForm), 4242);
  EXPECT_EQ(shared_mem::create_share_handle(shared_mem::kMainForm), 0);
  EXPECT_TRUE(shared_mem::set_share_handle(shared_mem::kMainForm, 77));  // anyone may write it
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kMainForm), 77);
  holder.release();
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kMainForm), 0);
  EXPECT_FALSE(shared_mem::set_share_handle(shared_mem::kMainForm, 1));
}

// A program started later (a new blank window) must not keep the value alive.
TEST_F(SharedValues, StartedProgramsDoNotInheritTheHold) {
  const int h = shared_mem::create_share_handle(shared_mem::kOneForm);
  ASSERT_GT(h, 0);
  ASSERT_TRUE(shared_mem::set_share_handle(shared_mem::kOneForm, 1));
  pid_t pid;
  char arg0[] = "sleep", arg1[] = "30";
  char* argv[] = {arg0, arg1, nullptr};
  ASSERT_EQ(::posix_spawnp(&pid, "sleep", nullptr, nullptr, argv, environ), 0);
  shared_mem::close_share_handle(h);
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kOneForm), 0);
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

TEST_F(SharedValues, LeftoversAndOddNamesReadAsAbsent) {
  // A file left behind by a crashed holder, short or long, holds nothing.
  write("lexoquill/quorbeam_one_form", "\x01");
  write("lexoquill/quorbeam_mainform", "\x01\x00\x00\x00garbage");
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kOneForm), 0);
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kMainForm), 0);
  const int h = shared_mem::create_share_handle(shared_mem::kMainForm);
  ASSERT_GT(h, 0);
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kMainForm), 0);
  shared_mem::close_share_handle(h);

  for (std::string_view bad : {"", "../x", "a/b", ".hidden"}) {
    EXPECT_EQ(shared_mem::create_share_handle(bad), 0) << bad;
    EXPECT_EQ(shared_mem::get_share_handle(bad), 0) << bad;
  }
  // A link planted in place of a value is not followed.
  std::filesystem::create_symlink(path("target"), path("lexoquill/linked"));
  EXPECT_EQ(shared_mem::create_share_handle("linked"), 0);
  EXPECT_FALSE(std::filesystem::exists(path("target")));
}

TEST_F(SharedValues, SingleWindowModeNamesTheLastWindowThatSwitchedItOn) {
  EXPECT_TRUE(announce_single_window(100));
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kOneForm), 1);
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kMainForm), 100);
  EXPECT_TRUE(announce_single_window(200));  // another window takes it over
  withdraw_single_window(100);               // the first one switching off changes nothing
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kOneForm), 1);
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kMainForm), 200);
  withdraw_single_window(200);
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kOneForm), 0);
  EXPECT_EQ(shared_mem::get_share_handle(shared_mem::kMainForm), 0);
  EXPECT_TRUE(boxes_.empty());
}

using InstanceLock = test::RuntimeDirTest;

TEST_F(InstanceLock, ExistsWhileAnotherProcessRuns) {
  test::Child first([] { instance_exists("lq-test"); });
  EXPECT_TRUE(instance_exists(" lq-test "));
  // The first has gone; this process, started second, still counts as running.
  first.release();
  int pipe_fd[2];
  ASSERT_EQ(::pipe(pipe_fd), 0);
  test::Child third([&] {
    const char r = instance_exists("lq-test") ? 1 : 0;
    (void)!::write(pipe_fd[1], &r, 1);
  });
  char r = 0;
  ASSERT_EQ(::read(pipe_fd[0], &r, 1), 1);
  EXPECT_EQ(r, 1);
  EXPECT_FALSE(instance_exists("lq-other"));
  ::close(pipe_fd[0]);
  ::close(pipe_fd[1]);
}

TEST_F(InstanceLock, EmptyNameIsTheExecutable) {
  EXPECT_FALSE(instance_exists(""));
  EXPECT_TRUE(std::filesystem::exists(path("lexoquill/" + std::string(exe_file_name()) + ".lock")));
  EXPECT_TRUE(instance_exists(std::string(exe_file_name())));
}

}  // namespace
}  // namespace lq

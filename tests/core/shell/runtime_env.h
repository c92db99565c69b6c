// A private runtime directory per test, so the instance lock, shared values and sockets
// of one test never meet those of another run or of a real instance.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>

#include "support/temp_dir.h"

namespace lq::test {

class RuntimeDirTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    env_.emplace("XDG_RUNTIME_DIR", dir());
  }
  void TearDown() override {
    env_.reset();
    TempDirTest::TearDown();
  }

 private:
  std::optional<ScopedEnv> env_;
};

// Runs body in a child process that stays alive until release() (or destruction), so a
// test can look at what the child holds while it runs and after it has gone.
class Child {
 public:
  explicit Child(const std::function<void()>& body) {
    int ready[2], go[2];
    if (::pipe(ready) != 0 || ::pipe(go) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(go[1]);  // else the child would wait for itself
      ::close(ready[0]);
      body();
      char c = 1;
      (void)!::write(ready[1], &c, 1);
      (void)!::read(go[0], &c, 1);
      ::_exit(0);
    }
    char c;
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ::close(go[0]);
    go_ = go[1];
  }
  ~Child() { release(); }
  void release() {
    if (pid_ <= 0) return;
    ::close(go_);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int go_ = -1;
};

}  // namespace lq::test

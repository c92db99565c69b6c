// Stands in for the disk-sync calls for its lifetime: records every call with the path of
// the file or directory it was made on, lets a test look at the file system at that
// moment, and fails the calls it is told to. Nothing waits for the disk meanwhile.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/textsvc/disk_sync.h"

namespace lq::testing_support {

class SyncSpy {
 public:
  struct Call {
    bool dir = false;  // a directory's entries; else a file's content
    std::string path;  // as the system names the descriptor (no trailing "/")
  };

  SyncSpy()
      : saved_(replace_disk_sync_calls({[this](int fd) { return call(false, fd); },
                                        [this](int fd) { return call(true, fd); }})) {}
  ~SyncSpy() { replace_disk_sync_calls(saved_); }
  SyncSpy(const SyncSpy&) = delete;
  SyncSpy& operator=(const SyncSpy&) = delete;

  std::vector<Call> calls;
  // Called at each call before it answers.
  std::function<void(const Call&)> on_call;
  // The errno a call fails with; 0 lets it succeed.
  std::function<int(const Call&)> fail;

  std::vector<std::string> dirs() const {
    std::vector<std::string> out;
    for (const Call& c : calls)
      if (c.dir) out.push_back(c.path);
    return out;
  }

 private:
  int call(bool dir, int fd) {
    std::lock_guard lock(m_);
    char buf[4096];
    const ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), buf, sizeof buf);
    Call c{dir, n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string()};
    calls.push_back(c);
    if (on_call) on_call(c);
    if (const int err = fail ? fail(c) : 0) {
      errno = err;
      return -1;
    }
    return 0;
  }

  std::mutex m_;
  DiskSyncCalls saved_;
};

}  // namespace lq::testing_support

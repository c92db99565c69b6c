// Permission tests under root: root reads and writes any file through two capabilities.
// WithoutFilePowers takes them out of the calling thread's effective set for its lifetime
// (and gives them back after), so a file with mode 0 is unreadable to root as to anyone.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace lq::testing_support {

class WithoutFilePowers {
 public:
  WithoutFilePowers() {
    if (geteuid() != 0) {
      active_ = true;  // an ordinary user has no such powers to give up
      return;
    }
    if (syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    active_ = syscall(SYS_capset, &header_, reduced) == 0;
    restore_ = active_;
  }
  ~WithoutFilePowers() {
    if (restore_) syscall(SYS_capset, &header_, saved_);
  }
  WithoutFilePowers(const WithoutFilePowers&) = delete;
  WithoutFilePowers& operator=(const WithoutFilePowers&) = delete;

  // False when the powers could not be given up: the test cannot mean anything then.
  bool active() const { return active_; }

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
  bool active_ = false;
  bool restore_ = false;
};

}  // namespace lq::testing_support

#include "core/textsvc/file_replacement.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/run_error.h"
#include "core/textsvc/disk_sync.h"

namespace lq {

std::string directory_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void sync_replaced_dir(const std::string& dir) {
  if (!sync_dir(dir)) throw cannot_sync_dir_error(dir.empty() ? "." : dir, std::strerror(errno));
}

FileReplacement::FileReplacement(const std::string& target, const std::string& shown)
    : target_(target), shown_(shown) {
  const std::string dir = directory_of(target);
  // A hidden name beside the file. Long names are shortened: the temporary name only has
  // to be unique, and must stay within the file-name limit.
  std::string tmp = dir + "." + target.substr(dir.size(), 200) + ".lq-XXXXXX";
  fd_ = mkostemp(tmp.data(), O_CLOEXEC);
  if (fd_ < 0) throw cannot_create_error(shown_, std::strerror(errno));
  tmp_ = std::move(tmp);
}

FileReplacement& FileReplacement::operator=(FileReplacement&& o) noexcept {
  if (this != &o) {
    discard();
    target_ = std::move(o.target_);
    shown_ = std::move(o.shown_);
    tmp_ = std::exchange(o.tmp_, {});
    fd_ = std::exchange(o.fd_, -1);
    synced_ = o.synced_;
  }
  return *this;
}

void FileReplacement::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tmp_.empty()) ::unlink(tmp_.c_str());
  tmp_.clear();
}

void FileReplacement::fail(int err) {
  discard();
  throw cannot_create_error(shown_, std::strerror(err));
}

void FileReplacement::write(std::string_view bytes) {
  if (fd_ < 0) throw cannot_create_error(shown_, std::strerror(EBADF));
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd_, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail(errno);
    p += n;
    left -= static_cast<size_t>(n);
  }
}

void FileReplacement::set_mode(unsigned mode) {
  if (fd_ >= 0 && ::fchmod(fd_, mode) != 0) fail(errno);
}

void FileReplacement::set_owner(unsigned uid, unsigned gid, bool group_if_refused) {
  // Asked once: a run replaces thousands of files, and the program never changes its ids.
  static const uid_t euid = ::geteuid();
  static const gid_t egid = ::getegid();
  if (fd_ < 0 || (uid == euid && gid == egid)) return;
  if (::fchown(fd_, uid, gid) != 0 && group_if_refused) (void)!::fchown(fd_, -1, gid);
}

void FileReplacement::sync() {
  if (fd_ < 0 || synced_) return;
  if (!sync_file_data(fd_)) fail(errno);
  synced_ = true;
}

void FileReplacement::rename_over() {
  if (fd_ < 0) throw cannot_create_error(shown_, std::strerror(EBADF));
  sync();
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0 || ::rename(tmp_.c_str(), target_.c_str()) != 0) fail(errno);
  tmp_.clear();
}

}  // namespace lq

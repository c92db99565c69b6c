#include "core/batch/write_back.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "core/encoding/code_page.h"
#include "core/run_error.h"
#include "core/textsvc/disk_sync.h"

namespace lq {
namespace {

[[noreturn]] void fail(const std::string& path, int err) {
  throw cannot_create_error(path, std::strerror(err));
}

// The file a path finally names, links resolved; the path itself when it is no link.
std::string resolve_target(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  std::unique_ptr<char, decltype(&free)> real(realpath(path.c_str(), nullptr), &free);
  if (!real) fail(path, errno);
  return real.get();
}

bool read_all(int fd, char* out, size_t n) {
  while (n > 0) {
    ssize_t r = read(fd, out, n);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    out += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

bool write_all(int fd, const char* data, size_t n) {
  while (n > 0) {
    ssize_t w = write(fd, data, n);
    if (w < 0 && errno == EINTR) continue;
    if (w < 0) return false;
    data += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

// True when the file holds exactly `bytes` (a file of another size never does).
bool holds(const std::string& target, const struct stat& st, std::string_view bytes) {
  if (static_cast<unsigned long long>(st.st_size) != bytes.size()) return false;
  if (bytes.empty()) return true;
  int fd = open(target.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool same = true;
  constexpr size_t kBlock = 1 << 20;
  std::unique_ptr<char[]> buf(new char[std::min(kBlock, bytes.size())]);
  for (size_t at = 0; same && at < bytes.size();) {
    size_t n = std::min(kBlock, bytes.size() - at);
    same = read_all(fd, buf.get(), n) && std::memcmp(buf.get(), bytes.data() + at, n) == 0;
    at += n;
  }
  close(fd);
  return same;
}

// How many waits for the disk a group commit keeps going at once.
constexpr size_t kSyncLanes = 16;

FileStamp stamp_of(const struct stat& st) {
  FileStamp s;
  s.dev = st.st_dev;
  s.ino = st.st_ino;
  s.size = static_cast<unsigned long long>(st.st_size);
  s.mtime_ns = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
  return s;
}

}  // namespace

std::optional<FileStamp> file_stamp(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return stamp_of(st);
}

RunError changed_meanwhile_error(std::string_view path) {
  return RunError(
      code_page().from_utf8("文件 \"") + std::string(path) +
      code_page().from_utf8("\" 在处理期间被别的程序改动过, 没有写回, 以免丢掉那些改动."));
}

PendingWrite& PendingWrite::operator=(PendingWrite&& o) noexcept {
  if (this != &o) {
    discard();
    path_ = std::move(o.path_);
    target_ = std::move(o.target_);
    tmp_ = std::exchange(o.tmp_, {});
    fd_ = std::exchange(o.fd_, -1);
    synced_ = o.synced_;
    mode_ = o.mode_;
    read_as_ = std::move(o.read_as_);
    changed_ = o.changed_;
    make_writable_ = std::exchange(o.make_writable_, false);
  }
  return *this;
}

void PendingWrite::discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!tmp_.empty()) unlink(tmp_.c_str());
  tmp_.clear();
  make_writable_ = false;
}

void PendingWrite::check_unchanged() const {
  if (read_as_ && file_stamp(target_) != read_as_) throw changed_meanwhile_error(path_);
}

std::string PendingWrite::directory() const {
  const size_t slash = target_.rfind('/');
  return slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
}

void PendingWrite::sync_content() {
  if (tmp_.empty() || synced_) return;
  if (!sync_file_data(fd_)) {
    const int err = errno;
    discard();
    fail(path_, err);
  }
  synced_ = true;
}

bool PendingWrite::put_in_place() {
  if (make_writable_ || !tmp_.empty()) {
    // Prepared ahead in a parallel run, the file may have been changed since.
    try {
      check_unchanged();
    } catch (...) {
      discard();
      throw;
    }
  }
  if (make_writable_) {
    chmod(target_.c_str(), mode_);
    make_writable_ = false;
  }
  if (tmp_.empty()) return false;
  sync_content();
  // The content is on the disk: a close error could not mean lost bytes any more.
  close(fd_);
  fd_ = -1;
  if (rename(tmp_.c_str(), target_.c_str()) != 0) {
    const int err = errno;
    discard();
    fail(path_, err);
  }
  tmp_.clear();
  return true;
}

void PendingWrite::commit() {
  if (put_in_place() && !sync_dir(directory()))
    throw cannot_sync_dir_error(directory(), std::strerror(errno));
}

CommitOutcome commit_all(std::span<PendingWrite* const> writes) {
  // Waits for the disk side by side: the file system and the device serve waits that
  // overlap with one commit and one cache flush, where one after the other each pays
  // for its own.
  std::vector<std::optional<RunError>> errors(writes.size());
  std::atomic<size_t> next = 0;
  auto sync_some = [&] {
    for (size_t k; (k = next++) < writes.size();) {
      try {
        writes[k]->sync_content();
      } catch (const RunError& e) {
        errors[k] = e;
      }
    }
  };
  {
    std::vector<std::jthread> helpers;
    const size_t n = std::min(writes.size(), kSyncLanes);
    for (size_t k = 1; k < n; ++k) helpers.emplace_back(sync_some);
    sync_some();
  }
  size_t synced = 0;
  while (synced < writes.size() && !errors[synced]) ++synced;
  const std::optional<RunError> sync_error = synced < writes.size() ? errors[synced] : std::nullopt;
  CommitOutcome out;
  std::vector<std::string> dirs;
  for (; out.placed < synced; ++out.placed) {
    PendingWrite* w = writes[out.placed];
    try {
      if (w->put_in_place()) {
        std::string dir = w->directory();
        if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(std::move(dir));
      }
    } catch (const RunError& e) {
      out.error = e;
      break;
    }
  }
  if (!out.error) out.error = sync_error;
  for (const std::string& dir : dirs) {
    if (!sync_dir(dir) && !out.error) out.error = cannot_sync_dir_error(dir, std::strerror(errno));
  }
  return out;
}

PendingWrite prepare_write_back(const std::string& path, std::string_view bytes, bool dry_run,
                                const std::optional<FileStamp>& read_as,
                                std::optional<std::string_view> as_read) {
  PendingWrite w;
  w.path_ = path;
  w.target_ = resolve_target(path);
  struct stat st;
  if (stat(w.target_.c_str(), &st) != 0) fail(path, errno);
  w.mode_ = (st.st_mode & 07777) | S_IWUSR;

  w.changed_ = as_read && read_as && stamp_of(st) == *read_as ? *as_read != bytes
                                                              : !holds(w.target_, st, bytes);
  if (dry_run) return w;
  if (read_as && stamp_of(st) != *read_as) throw changed_meanwhile_error(path);
  w.read_as_ = read_as;
  if (!w.changed_) {
    w.make_writable_ = w.mode_ != (st.st_mode & 07777);
    return w;
  }

  const size_t slash = w.target_.rfind('/');
  const std::string dir =
      slash == std::string::npos ? std::string() : w.target_.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? w.target_ : w.target_.substr(slash + 1);
  // A hidden name beside the file, so the rename never crosses file systems. Long names
  // are shortened: the temporary name only has to be unique.
  std::string tmp = dir + "." + base.substr(0, 200) + ".lq-XXXXXX";
  int fd = mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) fail(path, errno);

  int err = 0;
  if (!write_all(fd, bytes.data(), bytes.size())) err = errno;
  // Start writing the new content out now, so that the wait for the disk before the
  // rename finds most of it written. This only starts the writing; nothing waits for it.
  if (!err) sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
  if (!err && fchmod(fd, w.mode_) != 0) err = errno;
  if (!err && (st.st_uid != geteuid() || st.st_gid != getegid())) {
    // Only root may give the file back to another owner; a group change may also fail.
    // Either way the content is safe, so a refusal is no reason to stop.
    if (fchown(fd, st.st_uid, st.st_gid) != 0) (void)!fchown(fd, -1, st.st_gid);
  }
  if (err) {
    close(fd);
    unlink(tmp.c_str());
    fail(path, err);
  }
  // Kept open: the wait for the disk before the rename reports what writing out met.
  w.fd_ = fd;
  w.tmp_ = std::move(tmp);
  return w;
}

bool write_back(const std::string& path, std::string_view bytes, bool dry_run,
                const std::optional<FileStamp>& read_as) {
  PendingWrite w = prepare_write_back(path, bytes, dry_run, read_as);
  w.commit();
  return w.changed();
}

}  // namespace lq

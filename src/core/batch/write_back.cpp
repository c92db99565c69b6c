#include "core/batch/write_back.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "core/encoding/code_page.h"
#include "core/run_error.h"

namespace lq {
namespace {

[[noreturn]] void fail(const std::string& path, int err) {
  throw cannot_create_error(path, std::strerror(err));
}

// The file a path finally names, links resolved (the path itself when it is no link),
// with its status.
std::string resolve_target(const std::string& path, struct stat& st) {
  if (lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) return path;
  std::unique_ptr<char, decltype(&free)> real(realpath(path.c_str(), nullptr), &free);
  if (!real) fail(path, errno);
  if (stat(real.get(), &st) != 0) fail(path, errno);
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

// True when the file holds exactly `bytes` (a file of another size never does).
bool holds(const std::string& target, unsigned long long size, std::string_view bytes) {
  if (size != bytes.size()) return false;
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

}  // namespace

FileStamp stamp_of(const struct stat& st) {
  FileStamp s;
  s.dev = st.st_dev;
  s.ino = st.st_ino;
  s.size = static_cast<unsigned long long>(st.st_size);
  s.mtime_ns = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
  return s;
}

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
    file_ = std::move(o.file_);
    mode_ = o.mode_;
    old_mode_ = o.old_mode_;
    uid_ = o.uid_;
    gid_ = o.gid_;
    dry_run_ = o.dry_run_;
    read_as_ = std::move(o.read_as_);
    stamp_ = o.stamp_;
    changed_ = o.changed_;
    make_writable_ = std::exchange(o.make_writable_, false);
  }
  return *this;
}

void PendingWrite::discard() {
  file_.discard();
  make_writable_ = false;
}

void PendingWrite::check_unchanged() const {
  if (read_as_ && file_stamp(target_) != read_as_) throw changed_meanwhile_error(path_);
}

bool PendingWrite::put_in_place() {
  if (make_writable_ || file_.waiting()) {
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
  if (!file_.waiting()) return false;
  file_.rename_over();
  return true;
}

void PendingWrite::commit() {
  if (put_in_place()) sync_replaced_dir(directory_of(target_));
}

SyncLanes::~SyncLanes() {
  {
    std::lock_guard lock(m_);
    quit_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void SyncLanes::serve() {
  unsigned long long seen = 0;
  std::unique_lock lock(m_);
  for (;;) {
    wake_.wait(lock, [&] { return quit_ || (round_ != seen && next_ < count_); });
    if (quit_) return;
    seen = round_;
    ++busy_;
    while (next_ < count_) {
      const size_t k = next_++;
      lock.unlock();
      (*job_)(k);
      lock.lock();
    }
    if (--busy_ == 0) done_.notify_all();
  }
}

void SyncLanes::run(size_t n, size_t lanes, const std::function<void(size_t)>& job) {
  std::unique_lock lock(m_);
  while (threads_.size() + 1 < std::min(n, lanes)) threads_.emplace_back([this] { serve(); });
  job_ = &job;
  next_ = 0;
  count_ = n;
  ++round_;
  ++busy_;
  wake_.notify_all();
  while (next_ < count_) {
    const size_t k = next_++;
    lock.unlock();
    job(k);
    lock.lock();
  }
  --busy_;
  done_.wait(lock, [&] { return busy_ == 0; });
  job_ = nullptr;
}

CommitOutcome commit_all(std::span<PendingWrite* const> writes, SyncLanes* lanes) {
  // Waits for the disk side by side: the file system and the device serve waits that
  // overlap with one commit and one cache flush, where one after the other each pays
  // for its own.
  std::vector<std::optional<RunError>> errors(writes.size());
  const std::function<void(size_t)> sync_one = [&](size_t k) {
    try {
      writes[k]->file_.sync();
    } catch (const RunError& e) {
      errors[k] = e;
    }
  };
  if (lanes) {
    lanes->run(writes.size(), kSyncLanes, sync_one);
  } else {
    SyncLanes own;
    own.run(writes.size(), kSyncLanes, sync_one);
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
        std::string dir = directory_of(w->target_);
        if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(std::move(dir));
      }
    } catch (const RunError& e) {
      out.error = e;
      break;
    }
  }
  if (!out.error) out.error = sync_error;
  for (const std::string& dir : dirs) {
    try {
      sync_replaced_dir(dir);
    } catch (const RunError& e) {
      if (!out.error) out.error = e;
    }
  }
  return out;
}

PendingWrite PendingWrite::start(const std::string& path, bool dry_run,
                                 const std::optional<FileStamp>& read_as, FileStamp& now) {
  PendingWrite w;
  w.path_ = path;
  struct stat st;
  w.target_ = resolve_target(path, st);
  now = stamp_of(st);
  w.stamp_ = now;
  w.old_mode_ = st.st_mode & 07777;
  w.mode_ = w.old_mode_ | S_IWUSR;
  w.uid_ = st.st_uid;
  w.gid_ = st.st_gid;
  w.dry_run_ = dry_run;
  if (dry_run) return w;
  if (read_as && now != *read_as) throw changed_meanwhile_error(path);
  w.read_as_ = read_as;
  return w;
}

void PendingWrite::finish_content() {
  if (!changed_) {
    file_.discard();
    make_writable_ = mode_ != old_mode_;
    return;
  }
  file_.set_mode(mode_);
  file_.set_owner(uid_, gid_, true);
}

PendingWrite prepare_write_back(const std::string& path, std::string_view bytes, bool dry_run,
                                const std::optional<FileStamp>& read_as,
                                std::optional<std::string_view> as_read) {
  FileStamp now;
  PendingWrite w = PendingWrite::start(path, dry_run, read_as, now);
  // Bytes handed back as they were read (a find, a run that changed nothing) are the same
  // bytes: nothing to compare.
  const auto same = [&](std::string_view a) {
    return a.data() == bytes.data() && a.size() == bytes.size();
  };
  w.changed_ = as_read && read_as && now == *read_as ? !same(*as_read) && *as_read != bytes
                                                     : !holds(w.target_, now.size, bytes);
  if (dry_run) return w;
  if (w.changed_) {
    w.file_ = FileReplacement(w.target_, path);
    w.file_.write(bytes);
  }
  w.finish_content();
  return w;
}

PendingWrite begin_write_back(const std::string& path, bool dry_run,
                              const std::optional<FileStamp>& read_as) {
  FileStamp now;
  return PendingWrite::start(path, dry_run, read_as, now);
}

void PendingWrite::add(std::string_view made, std::string_view from, bool last) {
  changed_ = changed_ || made != from;
  if (dry_run_) return;
  if (!file_.waiting() && (changed_ || !last)) file_ = FileReplacement(target_, path_);
  if (file_.waiting()) file_.write(made);
  if (last) finish_content();
}

bool write_back(const std::string& path, std::string_view bytes, bool dry_run,
                const std::optional<FileStamp>& read_as) {
  PendingWrite w = prepare_write_back(path, bytes, dry_run, read_as);
  w.commit();
  return w.changed();
}

}  // namespace lq

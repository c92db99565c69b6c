#include "core/batch/run_journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>

#include "core/batch/content_hash.h"
#include "core/batch/journal_format.h"
#include "core/run_error.h"
#include "core/textsvc/disk_sync.h"
#include "core/textsvc/file_services.h"

namespace lq {
namespace {

[[noreturn]] void fail(const std::string& what, int err) {
  throw cannot_create_error(what, std::strerror(err));
}

[[noreturn]] void fail_sync(const std::string& dir) {
  throw cannot_sync_dir_error(dir, std::strerror(errno));
}

std::string time_stamp(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
  return buf;
}

void write_whole(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) fail(path, errno);
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      fail(path, err);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (!sync_file_data(fd) || ::close(fd) != 0) fail(path, errno);
}

}  // namespace

JournalLimits journal_limits(const SysSettings& settings) {
  return {settings.journal_runs, static_cast<unsigned long long>(settings.journal_mb) << 20};
}

std::string journal_path(const std::string& path) {
  std::unique_ptr<char, decltype(&free)> real(::realpath(path.c_str(), nullptr), &free);
  if (real) return real.get();
  std::error_code ec;
  std::filesystem::path abs = std::filesystem::absolute(path, ec);
  return ec ? path : abs.lexically_normal().string();
}

RunJournal::RunJournal(std::string journal_dir, std::string recipe_text, JournalLimits limits)
    : journal_dir_(std::move(journal_dir)), recipe_(std::move(recipe_text)), limits_(limits) {}

RunJournal::~RunJournal() {
  for (int fd : unsynced_copies_) ::close(fd);
  if (fd_ >= 0) ::close(fd_);
  if (lock_fd_ >= 0) ::close(lock_fd_);
}

std::string RunJournal::id() const {
  std::lock_guard lock(m_);
  return id_;
}

int RunJournal::files() const {
  std::lock_guard lock(m_);
  return files_;
}

void RunJournal::open_run() {
  if (fd_ >= 0) return;
  force_dir(journal_dir_, false);
  const std::time_t now = std::time(nullptr);
  const std::string stamp = time_stamp(now);
  // The directory's creation reserves the id, also against another process. Ids of one
  // second count on from the highest there is, so a newer run never sorts before an
  // older one whose first id was pruned.
  int first = 1;
  if (DIR* d = ::opendir(journal_dir_.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string_view name = e->d_name;
      if (!name.starts_with(stamp)) continue;
      const int k = name.size() == stamp.size() ? 1 : std::atoi(e->d_name + stamp.size() + 1);
      first = std::max(first, k + 1);
    }
    ::closedir(d);
  }
  for (int k = first;; ++k) {
    std::string id = k == 1 ? stamp : stamp + "-" + std::to_string(k);
    std::string dir = journal_dir_ + id;
    if (::mkdir(dir.c_str(), 0700) == 0) {
      id_ = std::move(id);
      run_dir_ = dir + "/";
      break;
    }
    if (errno != EEXIST || k > 10000) fail(dir, errno);
  }
  // Held until the run ends, so that pruning by another process leaves this run alone.
  // Taken before the journal file exists: a run without one is never pruned.
  const std::string lock = run_dir_ + kJournalLockName;
  lock_fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock_fd_ < 0 || ::flock(lock_fd_, LOCK_EX) != 0) fail(lock, errno);
  if (!sync_dir(journal_dir_)) fail_sync(journal_dir_);
  write_whole(run_dir_ + kJournalRecipeName, recipe_);
  const std::string manifest = run_dir_ + kJournalFileName;
  fd_ = ::open(manifest.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd_ < 0) fail(manifest, errno);
  if (!sync_dir(run_dir_)) fail_sync(run_dir_);
  record(std::string(kJournalMagic));
  record("started " + std::to_string(static_cast<long long>(now)));
}

void RunJournal::record(const std::string& line, bool sync) {
  if (!append_journal_line(fd_, line, sync)) fail(run_dir_ + kJournalFileName, errno);
}

void RunJournal::sync_locked() {
  if (fd_ < 0) return;
  while (!unsynced_copies_.empty()) {
    const int fd = unsynced_copies_.back();
    unsynced_copies_.pop_back();
    const bool ok = sync_file_data(fd);
    const int err = errno;
    ::close(fd);
    if (!ok) fail(run_dir_, err);
  }
  if (!sync_dir(run_dir_)) fail_sync(run_dir_);
  if (!sync_file_data(fd_)) fail(run_dir_ + kJournalFileName, errno);
}

void RunJournal::sync() {
  std::lock_guard lock(m_);
  sync_locked();
}

void RunJournal::keep_original(const std::string& path, const std::string& new_hash, bool sync,
                               const std::string& known_hash) {
  open_run();
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) fail(path, errno);
  const std::string stored = std::to_string(files_ + 1) + ".orig";
  const std::string copy = run_dir_ + stored;
  std::optional<std::string> old_hash;
  // Replacing a file puts a new one in its place and leaves the old one as it is, so a
  // second name for the old one keeps its bytes without copying them.
  if (::link(path.c_str(), copy.c_str()) == 0) {
    old_hash = known_hash.empty() ? file_hash_hex(copy) : known_hash;
  } else {
    const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) fail(copy, errno);
    old_hash = file_hash_hex(path, kJournalDigest, fd);
    const bool synced = old_hash && (!sync || sync_file_data(fd));
    const int err = errno;
    if (synced && !sync) {
      unsynced_copies_.push_back(fd);
    } else {
      ::close(fd);
    }
    if (!synced) {
      ::unlink(copy.c_str());
      fail(old_hash ? copy : path, err ? err : EIO);
    }
  }
  if (!old_hash) {
    const int err = errno ? errno : EIO;
    ::unlink(copy.c_str());
    fail(path, err);
  }
  if (sync && !sync_dir(run_dir_)) fail_sync(run_dir_);
  char mode[16];
  std::snprintf(mode, sizeof mode, "%o", static_cast<unsigned>(st.st_mode & 07777));
  record("R " + stored + " " + mode + " " + *old_hash + " " + new_hash + " " +
             escape_journal_path(path),
         sync);
  ++files_;
}

std::string RunJournal::replaced_file_path(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  // A run's files mostly share a few directories: each is resolved once, not once a file.
  // The file itself is no link (the write-back resolved it).
  if (dir != last_dir_ || last_real_dir_.empty()) {
    const std::string real = journal_path(dir.empty() ? "." : dir);
    last_dir_ = dir;
    last_real_dir_ = real.ends_with('/') ? real : real + "/";
  }
  return last_real_dir_ + path.substr(dir.size());
}

void RunJournal::before_replace(const std::string& path, const std::string& new_hash,
                                const std::string& old_hash) {
  std::lock_guard lock(m_);
  keep_original(replaced_file_path(path), new_hash, true, old_hash);
}

void RunJournal::stage_replace(const std::string& path, const std::string& new_hash,
                               const std::string& old_hash) {
  std::lock_guard lock(m_);
  keep_original(replaced_file_path(path), new_hash, false, old_hash);
}

void RunJournal::before_write(const std::string& path, std::string_view bytes) {
  std::lock_guard lock(m_);
  const std::string target = journal_path(path);
  const std::string new_hash = content_hash_hex(bytes);
  if (file_exists(target)) return keep_original(target, new_hash, true);
  open_run();
  record("C " + new_hash + " " + escape_journal_path(target));
  ++files_;
}

void RunJournal::finish(std::string_view how) {
  std::lock_guard lock(m_);
  if (finished_ || fd_ < 0) return;
  finished_ = true;
  for (int fd : unsynced_copies_) ::close(fd);
  unsynced_copies_.clear();
  append_journal_line(fd_, "end " + std::string(how) + " " +
                               std::to_string(static_cast<long long>(std::time(nullptr))));
  ::close(fd_);
  fd_ = -1;
  note_journal_run_size(run_dir_);
  try {
    prune_journal(journal_dir_, limits_, id_);
  } catch (const std::exception&) {
    // An old run that cannot be removed now is removed after a later run.
  }
  ::close(lock_fd_);
  lock_fd_ = -1;
}

void prune_journal(const std::string& journal_dir, const JournalLimits& limits,
                   const std::string& keep_id) {
  int kept = 0;
  unsigned long long bytes = 0;
  // Only the sizes count here: the records of every run are not read.
  for (const JournalRun& run : list_journal_runs(journal_dir, false)) {
    const bool keep =
        run.id == keep_id || (kept < limits.max_runs && bytes + run.bytes <= limits.max_bytes);
    if (keep) {
      ++kept;
      bytes += run.bytes;
      continue;
    }
    // A run whose lock another process holds is still being written: it stays. One
    // without a lock file was written before runs had one and is never live now.
    const std::string lock = run.dir + kJournalLockName;
    const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno != ENOENT) continue;
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      continue;
    }
    std::error_code ec;
    std::filesystem::remove_all(run.dir, ec);
    if (fd >= 0) ::close(fd);
  }
}

}  // namespace lq

// Writing a processed document back over its file without ever leaving it half-written:
// the new bytes go completely into a temporary file in the same directory, which is then
// renamed over the original. The new bytes are on the disk before the rename, and the
// directory is synced after it, so a crash, a power cut, a full disk or a killed process
// leaves either the old file or the new one.
//
// The two halves are separate so that a parallel run can prepare files ahead and still
// put them in place strictly in list order.
#pragma once

#include <sys/stat.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/run_error.h"
#include "core/textsvc/file_replacement.h"

namespace lq {

// What tells a file's content apart over time without reading it: which file it is, its
// size and when its content last changed. Taken when a file is read, compared before it is
// replaced, so changes made meanwhile by another program are not overwritten. (The inode's
// change time is left out: a second name for the file, as the run journal makes, sets it.)
struct FileStamp {
  unsigned long long dev = 0, ino = 0, size = 0;
  long long mtime_ns = 0;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file `path` names (links followed); nothing when it cannot be read.
std::optional<FileStamp> file_stamp(const std::string& path);
FileStamp stamp_of(const struct stat& st);

// New content waiting beside its file. Destroying it without commit() removes the
// temporary file and leaves the original as it was.
class PendingWrite {
 public:
  PendingWrite() = default;
  PendingWrite(PendingWrite&& o) noexcept { *this = std::move(o); }
  PendingWrite& operator=(PendingWrite&& o) noexcept;
  ~PendingWrite() { discard(); }

  // Whether the file's content changes.
  bool changed() const { return changed_; }
  // The file that commit() replaces (links resolved), and its stamp when the write began.
  const std::string& target() const { return target_; }
  const FileStamp& target_stamp() const { return stamp_; }

  // Puts the new content in place (or, for unchanged content, only makes the file
  // writable): waits until it is on the disk, renames it over the file, syncs the
  // directory. Throws RunError "Cannot create file ..." with the system's reason, the
  // file keeping its old content; or, once the new content is in place but its directory
  // could not be synced, "Cannot sync directory ...".
  void commit();
  void discard();

  // For a write begun with begin_write_back: the next piece of new content, `made` from
  // `from`, the next bytes of the file; `last` with the final piece. The content changes
  // when a piece differs from its bytes. Throws as prepare_write_back.
  void add(std::string_view made, std::string_view from, bool last);

 private:
  friend PendingWrite prepare_write_back(const std::string&, std::string_view, bool,
                                         const std::optional<FileStamp>&,
                                         std::optional<std::string_view>);
  friend PendingWrite begin_write_back(const std::string&, bool, const std::optional<FileStamp>&);
  friend struct CommitOutcome commit_all(std::span<PendingWrite* const>, class SyncLanes*);
  static PendingWrite start(const std::string& path, bool dry_run,
                            const std::optional<FileStamp>& read_as, FileStamp& now);
  void finish_content();  // the new content is all written
  void check_unchanged() const;
  bool put_in_place();                // throws RunError; answers whether a file was renamed
  std::string path_;                  // as the caller named it, for messages
  std::string target_;                // the file finally replaced (links resolved)
  FileReplacement file_;              // the new content, while it waits
  std::optional<FileStamp> read_as_;  // the target as it was read, when known
  FileStamp stamp_;                   // the target when the write began
  unsigned mode_ = 0;                 // of the new content
  unsigned old_mode_ = 0;             // the file's permission bits now
  unsigned uid_ = 0, gid_ = 0;
  bool dry_run_ = false;
  bool changed_ = false;
  bool make_writable_ = false;
};

// Prepares replacing the content of the existing file `path` with `bytes`. A symbolic
// link is followed and its target replaced. The new file keeps the original's permission
// bits with write permission for the owner added (a read-only file is made writable
// first, as Start always did), and its owner and group where the system allows. A file
// that already holds exactly these bytes is not rewritten, only made writable. With
// dry_run nothing on disk is touched, now or at commit. Throws RunError "Cannot create
// file ..." with the system's reason; the original is untouched and no temporary file is
// left behind.
//
// With read_as (the file's stamp when it was read), a file that no longer has that stamp,
// now or at commit, is not replaced: RunError "file changed while processed", the file
// keeping what the other program put in it. With as_read as well (the file's bytes when
// it had that stamp), a file that still has it is compared with those bytes, not read
// again.
PendingWrite prepare_write_back(const std::string& path, std::string_view bytes,
                                bool dry_run = false,
                                const std::optional<FileStamp>& read_as = std::nullopt,
                                std::optional<std::string_view> as_read = std::nullopt);

// The same for new content made a piece at a time (PendingWrite::add), so that it is never
// held whole: a temporary file takes the pieces as they come, unless the first piece is
// the last one and changes nothing. Whether the file changes is known after the last.
PendingWrite begin_write_back(const std::string& path, bool dry_run = false,
                              const std::optional<FileStamp>& read_as = std::nullopt);

// Threads that wait for the disk side by side, kept for many commits so that a run of
// many groups starts them once. Used by one caller at a time.
class SyncLanes {
 public:
  SyncLanes() = default;
  ~SyncLanes();
  SyncLanes(const SyncLanes&) = delete;
  SyncLanes& operator=(const SyncLanes&) = delete;
  // Calls job(k) for every k below n, on up to `lanes` threads (the caller's among them),
  // and returns when all calls have.
  void run(size_t n, size_t lanes, const std::function<void(size_t)>& job);

 private:
  void serve();
  std::mutex m_;
  std::condition_variable wake_, done_;
  std::vector<std::thread> threads_;
  const std::function<void(size_t)>* job_ = nullptr;
  size_t next_ = 0, count_ = 0, busy_ = 0;
  unsigned long long round_ = 0;
  bool quit_ = false;
};

// What commit_all did: writes[0, placed) are in place. error tells what stopped it: the
// write at `placed` failed and it and the later ones are untouched, or, with placed equal
// to the number of writes, a directory could not be synced.
struct CommitOutcome {
  size_t placed = 0;
  std::optional<RunError> error;
};

// Commits several writes in their order with one wait for the disk instead of one per
// file: every new content is synced first, then each is renamed over its file, then each
// directory is synced once. The files are put in place strictly in order, so a failure
// leaves what committing one after the other would have left.
// With `lanes`, its threads do the waiting; else threads are started for this commit.
CommitOutcome commit_all(std::span<PendingWrite* const> writes, SyncLanes* lanes = nullptr);

// Both halves at once; answers whether the content changed.
bool write_back(const std::string& path, std::string_view bytes, bool dry_run = false,
                const std::optional<FileStamp>& read_as = std::nullopt);

// The error of a file changed by someone else between reading and write-back.
RunError changed_meanwhile_error(std::string_view path);

}  // namespace lq

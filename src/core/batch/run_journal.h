// Writing the journal of one run (the format is in journal_format.h). Every record is on
// the disk before the file it names is touched, so whatever ends the run — an error, a
// stop, a crash between two files — the journal describes every file that was replaced
// and undo can take them back.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/sys_settings.h"

namespace lq {

// How much of the past the journal keeps: the newest runs up to both limits (the run
// that just ended is always kept). max_runs 0 keeps no journal at all.
struct JournalLimits {
  int max_runs = 20;
  unsigned long long max_bytes = 1ULL << 30;
};

JournalLimits journal_limits(const SysSettings& settings);

class RunJournal {
 public:
  // The journal of a run about to start under journal_dir (ending in "/"), with the run's
  // recipe as INI text. Nothing is written until the first file.
  RunJournal(std::string journal_dir, std::string recipe_text, JournalLimits limits = {});
  ~RunJournal();
  RunJournal(const RunJournal&) = delete;
  RunJournal& operator=(const RunJournal&) = delete;

  // Call just before `path` (an existing file, no symbolic link) is replaced by content whose
  // digest is new_hash: keeps the original's bytes (a hard link to it when the journal is on the
  // same file system, since the replacement leaves the old file untouched) and records
  // the file. Throws RunError when that fails: the file must then not be replaced.
  // old_hash, when known, is the digest of the file as the run read it: a linked file is
  // then not read again for it.
  void before_replace(const std::string& path, const std::string& new_hash,
                      const std::string& old_hash = {});

  // The same without waiting for the disk: the caller must call sync() before it replaces
  // the file. Lets a run put many files on the disk with one wait.
  void stage_replace(const std::string& path, const std::string& new_hash,
                     const std::string& old_hash = {});
  // Waits until everything recorded so far is on the disk. Throws RunError.
  void sync();

  // Call just before an operation writes a file of its own ([5] copies, [24] parts): an
  // existing file is kept as with before_replace, a new one is recorded as created.
  void before_write(const std::string& path, std::string_view bytes);

  // Ends the journal ("done", "stopped" or "failed") and prunes old runs to the limits.
  // Never throws: the files are written whatever happens to the journal now.
  void finish(std::string_view how);

  // The run's id; empty while nothing has been recorded.
  std::string id() const;
  int files() const;

 private:
  void open_run();  // creates the run's directory on the first record
  // journal_path of a file that is no link, its directory resolved once for many files
  std::string replaced_file_path(const std::string& path);
  void keep_original(const std::string& path, const std::string& new_hash, bool sync,
                     const std::string& known_hash = {});
  void record(const std::string& line, bool sync = true);
  void sync_locked();

  mutable std::mutex m_;
  std::string journal_dir_;
  std::string recipe_;
  JournalLimits limits_;
  std::string id_;
  std::string run_dir_;
  int fd_ = -1;
  int lock_fd_ = -1;                  // the run's lock, held while the run lives
  std::vector<int> unsynced_copies_;  // copies of originals written since the last sync
  int files_ = 0;
  std::string last_dir_, last_real_dir_;  // of replaced_file_path
  bool finished_ = false;
};

// Removes the oldest runs beyond the limits; keep_id is never removed, nor is a run that
// another live process is still writing.
void prune_journal(const std::string& journal_dir, const JournalLimits& limits,
                   const std::string& keep_id);

// The absolute form of a path as the journal records it: links resolved when the file
// exists, else made absolute against the working directory.
std::string journal_path(const std::string& path);

}  // namespace lq

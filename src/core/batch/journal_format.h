// The journal of batch runs, kept in the program's directory under "batch/": one
// directory per run that wrote something, named by the run's id (its local start time,
// "20261210-114800", with "-2", "-3" ... when several runs start within a second):
//
//   journal.txt   what the run did, one record a line, appended as it happens
//   recipe.ini    the run's scope, operation and values (a recipe)
//   lock          empty; locked (flock) by the process writing the run while it lives
//   1.orig ...    the original bytes of each file the run replaced
//
// journal.txt:
//   lexoquill-journal 1
//   started SECONDS
//   R STORED MODE OLD_SHA256 NEW_SHA256 PATH     a file replaced (MODE in octal)
//   C NEW_SHA256 PATH                            a file the run created
//   end done|stopped|failed SECONDS
//   undone SECONDS
// Paths are absolute, their bytes below 0x21, 0x7F and "%" written as %XX. A line cut
// short by a crash is ignored when read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/batch/content_hash.h"

namespace lq {

inline constexpr const char* kJournalDirName = "batch";
inline constexpr const char* kJournalFileName = "journal.txt";
inline constexpr const char* kJournalRecipeName = "recipe.ini";
inline constexpr const char* kJournalLockName = "lock";
inline constexpr const char* kJournalSizeName = "size";  // an ended run's size, noted once
// The first line of a run's journal.txt: version 2 records XXH3 digests, version 1 (runs of
// earlier versions, still read and undone) SHA-256.
inline constexpr const char* kJournalMagic = "lexoquill-journal 2";
inline constexpr const char* kJournalMagicSha256 = "lexoquill-journal 1";

// app_path() + "batch/".
std::string run_journal_dir();

struct JournalFile {
  bool created = false;  // a file the run created; else one it replaced
  std::string path;      // absolute
  std::string stored;    // replaced: the name of the original's copy in the run's directory
  unsigned mode = 0;     // replaced: the original's permission bits
  std::string old_hash;  // replaced: digest of the original
  std::string new_hash;  // digest of what the run wrote
};

struct JournalRun {
  std::string id;
  std::string dir;        // the run's directory, ending in "/"
  long long started = 0;  // seconds since the epoch
  std::string end;        // "done", "stopped", "failed"; empty when the run never ended
  bool undone = false;
  DigestKind digest = kJournalDigest;  // of the hashes below
  std::vector<JournalFile> files;      // in the order written
  unsigned long long bytes = 0;        // size of everything in the run's directory
};

// Reads the journal of the run in run_dir (ending in "/"); nothing when it has none.
// Without records only its directory, id and size are filled in.
std::optional<JournalRun> read_journal_run(const std::string& run_dir, bool records = true);

// Every run in the journal directory, newest first; records as above.
std::vector<JournalRun> list_journal_runs(const std::string& journal_dir, bool records = true);

// Orders run ids by time: true when a started before b.
bool run_id_before(std::string_view a, std::string_view b);

std::string escape_journal_path(std::string_view path);
std::string unescape_journal_path(std::string_view text);

// Notes the size of an ended run's directory in it, for read_journal_run to read.
void note_journal_run_size(const std::string& run_dir);

// Appends one line to an open journal file and, with sync, waits until it is on the disk.
// Answers false (errno set) on failure.
bool append_journal_line(int fd, std::string_view line, bool sync = true);

}  // namespace lq

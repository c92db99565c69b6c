#include "core/batch/journal_undo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "core/batch/content_hash.h"
#include "core/run_error.h"
#include "core/textsvc/file_services.h"

namespace lq {
namespace {

void add_once(std::vector<std::string>& list, const std::string& path) {
  if (std::find(list.begin(), list.end(), path) == list.end()) list.push_back(path);
}

void mark_undone(const std::string& run_dir) {
  const std::string manifest = run_dir + kJournalFileName;
  const int fd = ::open(manifest.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
  if (fd < 0) return;
  // A line cut short by a crash must not swallow this one.
  struct stat st;
  char last = '\n';
  if (::fstat(fd, &st) == 0 && st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) != 1)
    last = '\n';
  std::string line = last == '\n' ? "" : "\n";
  line += "undone " + std::to_string(static_cast<long long>(std::time(nullptr)));
  append_journal_line(fd, line);
  ::close(fd);
}

}  // namespace

UndoReport undo_run(const std::string& journal_dir, const std::string& id,
                    const std::function<bool(uint64_t, uint64_t)>& step) {
  // An id names a directory of the journal, nothing outside it.
  const bool plain = !id.empty() && id.find('/') == std::string::npos && id != "." && id != "..";
  std::optional<JournalRun> run;
  if (plain) run = read_journal_run(journal_dir + id + "/");
  if (!run) throw RunError("No batch run \"" + id + "\" in the journal " + journal_dir);

  UndoReport report;
  report.id = run->id;
  // Newest first: a file the run rewrote twice goes back through its middle state.
  uint64_t done = 0;
  for (auto it = run->files.rbegin(); it != run->files.rend(); ++it, ++done) {
    if (step && !step(done, run->files.size())) {
      report.stopped = true;
      break;
    }
    const JournalFile& f = *it;
    const std::optional<std::string> now = file_hash_hex(f.path, run->digest);
    if (f.created) {
      if (!now) {
        add_once(report.same, f.path);  // already gone
      } else if (*now != f.new_hash) {
        add_once(report.changed, f.path);
      } else if (::unlink(f.path.c_str()) == 0) {
        add_once(report.removed, f.path);
      } else {
        report.failed.push_back(f.path + ": " + std::strerror(errno));
      }
      continue;
    }
    if (now && *now == f.old_hash) {
      add_once(report.same, f.path);
      continue;
    }
    if (!now || *now != f.new_hash) {
      add_once(report.changed, f.path);
      continue;
    }
    const std::optional<std::string> original = read_file_bytes(run->dir + f.stored);
    if (!original || content_hash_hex(*original, run->digest) != f.old_hash) {
      report.failed.push_back(f.path + ": the journal's copy of the original is damaged");
      continue;
    }
    try {
      write_file_atomically(f.path, *original);
      ::chmod(f.path.c_str(), f.mode);
      add_once(report.restored, f.path);
    } catch (const std::exception& e) {
      report.failed.push_back(e.what());
    }
  }
  // A file restored through its middle state counts once, as restored.
  std::erase_if(report.same, [&](const std::string& p) {
    return std::find(report.restored.begin(), report.restored.end(), p) != report.restored.end();
  });
  if (!report.stopped) mark_undone(run->dir);
  return report;
}

std::optional<JournalRun> last_undoable_run(const std::string& journal_dir) {
  for (JournalRun& run : list_journal_runs(journal_dir))
    if (!run.undone) return std::move(run);
  return std::nullopt;
}

}  // namespace lq

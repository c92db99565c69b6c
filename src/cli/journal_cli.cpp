#include "cli/journal_cli.h"

#include "cli/cli_version.h"
#include "core/batch/journal_summary.h"
#include "core/batch/journal_undo.h"
#include "core/batch/text_diff.h"
#include "core/encoding/code_page.h"
#include "core/run_error.h"
#include "core/textsvc/file_services.h"

namespace lq::cli {
namespace {

std::string run_state(const JournalRun& run) {
  if (run.undone) return "undone";
  return run.end.empty() ? "interrupted" : run.end;
}

std::string size_text(unsigned long long bytes) {
  char buf[32];
  if (bytes < 1024)
    std::snprintf(buf, sizeof buf, "%llu B", bytes);
  else if (bytes < (1ULL << 20))
    std::snprintf(buf, sizeof buf, "%.1f KB", static_cast<double>(bytes) / 1024);
  else
    std::snprintf(buf, sizeof buf, "%.1f MB", static_cast<double>(bytes) / (1 << 20));
  return buf;
}

void print_list(std::FILE* out, const char* what, const std::vector<std::string>& paths) {
  for (const std::string& p : paths) std::fprintf(out, "  %-9s %s\n", what, p.c_str());
}

}  // namespace

int list_runs(std::FILE* out) {
  const std::string dir = run_journal_dir();
  const std::vector<JournalRun> runs = list_journal_runs(dir);
  if (runs.empty()) {
    std::fprintf(out, "No runs in the journal (%s).\n", dir.c_str());
    return 0;
  }
  std::fprintf(out, "%-20s %-19s %-11s %6s %10s  %s\n", "RUN_ID", "STARTED", "STATE", "FILES",
               "KEPT", "OPERATION");
  for (const JournalRun& r : runs)
    std::fprintf(out, "%-20s %-19s %-11s %6zu %10s  %s\n", r.id.c_str(),
                 journal_run_time(r).c_str(), run_state(r).c_str(), r.files.size(),
                 size_text(r.bytes).c_str(), journal_run_operation(r).c_str());
  return 0;
}

int undo(const std::string& id, std::FILE* out, std::FILE* err) {
  const std::string dir = run_journal_dir();
  std::string target = id;
  if (target.empty()) {
    const std::optional<JournalRun> last = last_undoable_run(dir);
    if (!last) {
      std::fprintf(err, "%s: no run to undo in the journal (%s)\n", kProgramName, dir.c_str());
      return 1;
    }
    target = last->id;
  }
  UndoReport rep;
  try {
    rep = undo_run(dir, target);
  } catch (const RunError& e) {
    std::fprintf(err, "%s: %s (see --list-runs)\n", kProgramName, e.what());
    return 1;
  }
  std::fprintf(out, "Undo of run %s:\n", rep.id.c_str());
  print_list(out, "restored", rep.restored);
  print_list(out, "removed", rep.removed);
  print_list(out, "as before", rep.same);
  if (!rep.changed.empty()) {
    std::fprintf(out, "Changed since the run, left as they are:\n");
    print_list(out, "changed", rep.changed);
  }
  for (const std::string& f : rep.failed) std::fprintf(err, "%s: %s\n", kProgramName, f.c_str());
  std::fprintf(out, "%zu restored, %zu removed, %zu changed since the run, %zu failed.\n",
               rep.restored.size(), rep.removed.size(), rep.changed.size(), rep.failed.size());
  return rep.failed.empty() ? 0 : 1;
}

void print_diffs(const RunResult& result, std::FILE* out) {
  for (size_t k = 0; k < result.changed.size() && k < result.outputs.size(); ++k) {
    const std::string& entry = result.changed[k];
    std::string before;
    if (entry != kClipboardEntry) before = read_file_bytes(entry).value_or(std::string());
    const TextDiff diff = diff_text(before, result.outputs[k]);
    std::fputs(unified_diff(diff, entry, entry + " (processed)",
                            diff_line_decoder(before, result.outputs[k]))
                   .c_str(),
               out);
    if (diff.line_ends_only) std::fprintf(out, "# only the line ends change\n");
  }
  for (const RunResult::OwnWrite& w : result.own_writes)
    std::fprintf(out, "# %s would write %s\n", w.entry.c_str(), w.path.c_str());
}

}  // namespace lq::cli

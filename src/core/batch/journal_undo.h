// Taking a whole run back. Every file the run replaced and that still holds exactly what
// the run wrote gets its original bytes back (each file replaced at once, never
// half-written); every file the run created and that is unchanged is deleted. Files
// changed since the run are listed and left as they are.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/batch/journal_format.h"

namespace lq {

struct UndoReport {
  std::string id;
  std::vector<std::string> restored;  // given back their original bytes
  std::vector<std::string> removed;   // created by the run, deleted
  std::vector<std::string> same;      // already as before the run: nothing to do
  std::vector<std::string> changed;   // changed (or deleted) since the run: left alone
  std::vector<std::string> failed;    // "path: reason"
  bool stopped = false;  // ended early on request: the run stays undoable, the rest waits
};

// Undoes the run with that id. Throws RunError when there is no such run. `step`, when
// given, hears (files done, files of the run) before each file; answering false stops
// there, between two files.
UndoReport undo_run(const std::string& journal_dir, const std::string& id,
                    const std::function<bool(uint64_t, uint64_t)>& step = {});

// The newest run not undone yet, if any.
std::optional<JournalRun> last_undoable_run(const std::string& journal_dir);

}  // namespace lq

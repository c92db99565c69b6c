// The journal's side of lexoquill-batch: listing runs, undoing one, and the unified diffs
// of a dry run.
#pragma once

#include <cstdio>
#include <string>

#include "core/batch/run_driver.h"

namespace lq::cli {

// --list-runs. Exit status 0.
int list_runs(std::FILE* out);

// --undo RUN_ID, or with an empty id --undo-last. Exit status: 0 when every file that
// could go back did (files changed since the run are listed, not an error); 1 when there
// is no such run or a file could not be restored.
int undo(const std::string& id, std::FILE* out, std::FILE* err);

// --dry-run --diff: a unified diff per changed entry of the result (kept with
// keep_output), decoded from GBK for the terminal.
void print_diffs(const RunResult& result, std::FILE* out);

}  // namespace lq::cli

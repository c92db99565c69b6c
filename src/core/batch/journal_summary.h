// A journal run in words, for lists of runs: what the run did, from its recipe.
#pragma once

#include <string>

#include "core/batch/journal_format.h"

namespace lq {

// The operation's caption with its number, "[4]替换..." (UTF-8), "" when the recipe names
// no operation or cannot be read.
std::string journal_run_operation(const JournalRun& run);

// "2026-12-10 11:48:00" in local time.
std::string journal_run_time(const JournalRun& run);

}  // namespace lq

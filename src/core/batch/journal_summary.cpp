#include "core/batch/journal_summary.h"

#include <ctime>

#include "core/batch/recipe.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

std::string journal_run_operation(const JournalRun& run) {
  Recipe recipe;
  try {
    load_recipe(recipe, run.dir + kJournalRecipeName);
  } catch (const std::exception&) {
    return {};
  }
  if (!recipe.op || recipe.op->entries.empty()) return {};
  // Captions carry their number already ("[4]替换..", "启用  [10]全部转为大写"); the enable
  // box's word means nothing in a list of runs.
  const OperationInfo& e = recipe.op->entries.front();
  std::string caption = e.caption;
  if (caption.starts_with("启用")) caption = trim_left(caption.substr(std::string("启用").size()));
  const std::string number = "[" + std::to_string(e.number) + "]";
  return caption.starts_with(number) ? caption : number + " " + caption;
}

std::string journal_run_time(const JournalRun& run) {
  const std::time_t t = static_cast<std::time_t>(run.started);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

}  // namespace lq

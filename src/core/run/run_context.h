// What the run driver publishes to the operations while it works, and keeps afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lq {

class CodePage;

inline constexpr const char* kClipboardEntry = "<剪贴板>";

struct RunContext {
  int32_t file_count = 0;
  int32_t file_index = 0;
  std::string file_name;  // the entry being processed, unchanged from the file list
  int32_t line_index = 0;
  // The code page of the entry being processed; null stands for the program's own.
  const CodePage* page = nullptr;
  // Set by an operation that leaves the entry alone because it does not apply to its code
  // page; the entry is then not written and is named in the run's summary.
  bool not_applicable = false;
  // Characters of the entry that a conversion left in their own form because its code
  // page cannot hold their converted form (the phrase conversion of [20]/[21]).
  int64_t unconverted_chars = 0;
  bool find_ran = false;  // set by the find operation when it runs over a document
  // Byte length of the find query at the last file; sizes the selection when a result
  // is opened. Kept by the find operation's document step, enabled or not.
  int32_t find_query_len = 0;
};

// Result lines of the find operation, appended during a run.
using FindResults = std::vector<std::string>;

}  // namespace lq

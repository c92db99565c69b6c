// The quick-find history: the entries of the quick-find box, newest first, kept in the text
// file "find1" beside the program, one entry per line.
#pragma once

#include <string>
#include <string_view>

#include "core/textsvc/line_list.h"

namespace lq {

inline constexpr const char* kFindHistoryFileName = "find1";
// Entries beyond this many (the searched text included) are dropped.
inline constexpr size_t kFindHistoryKept = 10002;

// The history after searching for text: text at the top, then the earlier entries, each
// entry only at its first place, at most kFindHistoryKept entries. An empty text is not
// recorded.
LineList push_find_history(const LineList& history, std::string_view text);

// The history in the file; empty when the file is missing or cannot be read.
LineList load_find_history(const std::string& path);
// Replaces the file (a read-only one too) with one entry per line. Throws RunError.
void save_find_history(const std::string& path, const LineList& history);

}  // namespace lq

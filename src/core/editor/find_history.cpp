#include "core/editor/find_history.h"

#include <unordered_set>

#include "core/textsvc/file_services.h"

namespace lq {

LineList push_find_history(const LineList& history, std::string_view text) {
  LineList out;
  std::unordered_set<std::string_view> seen;
  auto keep = [&](std::string_view entry) {
    if (seen.insert(entry).second) out.emplace_back(entry);
  };
  size_t examined = 0;
  if (!text.empty()) {
    keep(text);
    ++examined;
  }
  for (const std::string& entry : history) {
    if (examined++ >= kFindHistoryKept) break;
    keep(entry);
  }
  return out;
}

LineList load_find_history(const std::string& path) {
  LineList lines;
  try {
    if (file_exists(path)) load_lines(path, lines);
  } catch (...) {
    lines.clear();
  }
  return lines;
}

void save_find_history(const std::string& path, const LineList& history) {
  save_lines(path, history);
}

}  // namespace lq

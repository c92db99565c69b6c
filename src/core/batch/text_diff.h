// Line differences between two versions of a text, as a preview shows them: lines split
// at LF, a CR before the LF not part of the line (so a file whose only change is its line
// ends shows no changed line, and says so).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lq {

struct DiffLine {
  char kind;  // ' ' kept, '-' removed, '+' added
  std::string_view text;
};

struct DiffHunk {
  int old_start = 0, old_count = 0;  // 1-based first line and line count, as in a unified diff
  int new_start = 0, new_count = 0;
  std::vector<DiffLine> lines;
};

struct TextDiff {
  std::vector<DiffHunk> hunks;  // views into the two texts given
  int changed_lines = 0;        // per run of changes, the larger of removed and added lines
  bool line_ends_only = false;  // the texts differ, but only in their line ends
};

// The difference with `context` unchanged lines around each change. Lines found once on
// each side split the texts into pieces compared on their own; a piece with very many
// scattered differences is compared coarsely (as one removed and one added block) rather
// than slowly.
TextDiff diff_text(std::string_view before, std::string_view after, int context = 3);

// A unified diff ("--- old", "+++ new", "@@ -a,b +c,d @@", lines), each line's text
// passed through `show` (for example GBK to UTF-8); LF after every line.
std::string unified_diff(const TextDiff& diff, std::string_view old_label,
                         std::string_view new_label,
                         const std::function<std::string(std::string_view)>& show);

// How the lines of one file's diff are shown as UTF-8: decoded in the code page detected
// for the text before and after (a line of a file converted between code pages in the one
// it reads as).
std::function<std::string(std::string_view)> diff_line_decoder(std::string_view before,
                                                               std::string_view after);

}  // namespace lq

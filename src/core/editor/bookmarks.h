// The two kinds of bookmarks of the editor.
//
// Numbered bookmarks live in memory only: digit 0 … 9 remembers a file and the row shown at
// the top of its editor. Persistent bookmarks are file names in the record store
// "bookmark1.txt" (c_mark), one record per bookmark, field "filename1".
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/textsvc/line_list.h"

namespace lq {

class TTextData;

struct NumberMark {
  std::string path;
  int top_line = 0;
};

class NumberMarks {
 public:
  // Digits outside 0 … 9 are ignored.
  void set_mark(int digit, const std::string& path, int top_line);
  // The mark of a digit; none when it was never set.
  std::optional<NumberMark> mark_at(int digit) const;

 private:
  // "path=top_line", as the marks are shown to the user.
  std::array<std::string, 10> marks_;
};

// Appends a record for path and saves the list; a blank path adds nothing. Throws RunError
// when the file cannot be written.
void add_bookmark(TTextData& marks, const std::string& path);
// The "filename1" of every record, in file order.
LineList bookmark_list(TTextData& marks);

}  // namespace lq

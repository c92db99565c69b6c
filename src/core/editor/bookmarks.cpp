#include "core/editor/bookmarks.h"

#include "core/textsvc/str_helpers.h"
#include "core/textsvc/text_data.h"

namespace lq {

namespace {
constexpr const char* kFileField = "filename1";
}

void NumberMarks::set1(int digit, const std::string& path, int top_line) {
  if (digit < 0 || digit > 9) return;
  marks_[static_cast<size_t>(digit)] = path + "=" + std::to_string(top_line);
}

std::optional<NumberMark> NumberMarks::get1(int digit) const {
  if (digit < 0 || digit > 9) return std::nullopt;
  const std::string& value = marks_[static_cast<size_t>(digit)];
  if (is_blank(value)) return std::nullopt;
  // The row number never holds "=", a file name may: split at the last one.
  const size_t eq = value.rfind('=');
  NumberMark mark;
  mark.path = value.substr(0, eq);
  mark.top_line = eq == std::string::npos ? 0 : str_to_int_def1(value.substr(eq + 1), 0);
  return mark;
}

void add_bookmark1(TTextData& marks, const std::string& path) {
  if (is_blank(path)) return;
  marks.load1();
  marks.append1();
  marks.set_value1(kFileField, path);
  marks.save1();
}

LineList bookmark_list1(TTextData& marks) {
  marks.load1();
  LineList out;
  marks.set_current1(0);
  for (int i = 0; i < marks.record_count1(); ++i) {
    out.push_back(marks.get_value1(kFileField));
    marks.next1();
  }
  return out;
}

}  // namespace lq

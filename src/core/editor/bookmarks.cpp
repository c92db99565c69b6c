#include "core/editor/bookmarks.h"

#include "core/textsvc/str_helpers.h"
#include "core/textsvc/text_data.h"

namespace lq {

namespace {
constexpr const char* kFileField = "filename1";
}

void NumberMarks::set_mark(int digit, const std::string& path, int top_line) {
  if (digit < 0 || digit > 9) return;
  marks_[static_cast<size_t>(digit)] = path + "=" + std::to_string(top_line);
}

std::optional<NumberMark> NumberMarks::mark_at(int digit) const {
  if (digit < 0 || digit > 9) return std::nullopt;
  const std::string& value = marks_[static_cast<size_t>(digit)];
  if (is_blank(value)) return std::nullopt;
  // The row number never holds "=", a file name may: split at the last one.
  const size_t eq = value.rfind('=');
  NumberMark mark;
  mark.path = value.substr(0, eq);
  mark.top_line = eq == std::string::npos ? 0 : str_to_int_def(value.substr(eq + 1), 0);
  return mark;
}

void add_bookmark(TTextData& marks, const std::string& path) {
  if (is_blank(path)) return;
  marks.load_records();
  marks.append_record();
  marks.set_field(kFileField, path);
  marks.save_records();
}

LineList bookmark_list(TTextData& marks) {
  marks.load_records();
  LineList out;
  marks.set_current(0);
  for (int i = 0; i < marks.record_count(); ++i) {
    out.push_back(marks.get_value(kFileField));
    marks.next_record();
  }
  return out;
}

}  // namespace lq

#include "core/editor/edit_commands.h"

#include <algorithm>

#include "core/editor/editor_model.h"
#include "core/encoding/code_page.h"
#include "core/textsvc/char_search.h"
#include "core/textsvc/line_text.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

namespace {

// Every line of text with the bytes of its leading run of `from` bytes (any byte for which
// in_run holds) replaced by `to`, each line followed by CR LF.
template <class InRun>
std::string replace_leading(std::string_view selected, InRun in_run, char to) {
  LineList lines;
  set_lines_text(lines, selected);
  for (std::string& line : lines)
    for (char& c : line) {
      if (!in_run(static_cast<unsigned char>(c))) break;
      c = to;
    }
  return lines_text(lines);
}

constexpr char kIdeographicHalf = static_cast<char>(0xA1);

}  // namespace

std::string web_text1(std::string_view selected) {
  return replace_leading(
      selected, [](unsigned char b) { return b == '\t' || b == ' '; }, kIdeographicHalf);
}

std::string code_text1(std::string_view selected) {
  return replace_leading(
      selected, [](unsigned char b) { return b == 0xA1; }, ' ');
}

bool find_next_in1(EditorModel& m, std::string_view text) {
  if (text.empty()) return false;
  const CodePage& page = code_page();
  const int first = std::max(0, m.current_index1());
  for (int i = first; i < m.row_count(); ++i) {
    const std::string_view row = m.row_view1(i);
    // On the current line the search starts at the caret, and the match found there is
    // the one selected: otherwise a match before the caret would be found again and again.
    const size_t from =
        i == first ? char_ceil(row, static_cast<size_t>(m.caret_abs_col1() - 1), page) : 0;
    const size_t at = find_chars(row, text, false, page, from);
    if (at == std::string_view::npos) continue;
    const int p = static_cast<int>(at) + 1;
    const int end = p + static_cast<int>(text.size());
    m.set_sel_anchor1(EditPos{p, i});
    m.set_sel_end1(EditPos{end, i});
    m.set_top_line1(i);
    m.set_caret_row1(0);
    // A match left of the view brings the view back to the line's start.
    if (end - m.h_offset1() < 1) m.set_h_offset1(0);
    m.set_caret_col1(end - m.h_offset1());
    return true;
  }
  return false;
}

}  // namespace lq

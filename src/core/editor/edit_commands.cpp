#include "core/editor/edit_commands.h"

#include <algorithm>

#include "core/editor/editor_model.h"
#include "core/encoding/code_page.h"
#include "core/textsvc/char_search.h"
#include "core/textsvc/line_text.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

namespace {

// Every line of text with its leading run handed to `leading` (line, run length), each line
// followed by CR LF. in_run(line, i) answers the length of the run's piece at byte i, 0 where
// the run ends.
template <class InRun, class Leading>
std::string replace_leading(std::string_view selected, InRun in_run, Leading leading) {
  LineList lines;
  set_lines_text(lines, selected);
  for (std::string& line : lines) {
    size_t n = 0;
    while (n < line.size()) {
      const size_t step = in_run(line, n);
      if (step == 0) break;
      n += step;
    }
    if (n > 0) leading(line, n);
  }
  return lines_text(lines);
}

std::string ideographic_space(const CodePage& page) {
  return page.from_utf8("\u3000");
}

// GBK's ideographic space is two equal bytes, so each byte stands for half of one.
bool space_of_halves(std::string_view space) {
  return space.size() == 2 && space[0] == space[1];
}

}  // namespace

std::string as_web_text(std::string_view selected, const CodePage& page) {
  const std::string space = ideographic_space(page);
  const bool halves = space_of_halves(space);
  return replace_leading(
      selected, [](const std::string& l, size_t i) { return size_t{l[i] == '\t' || l[i] == ' '}; },
      [&](std::string& line, size_t n) {
        if (halves) {
          std::fill_n(line.begin(), n, space[0]);
          return;
        }
        std::string run;
        for (size_t k = 0; k + 1 < n; k += 2) run += space;
        if (n % 2) run += ' ';
        line.replace(0, n, run);
      });
}

std::string code_text(std::string_view selected, const CodePage& page) {
  const std::string space = ideographic_space(page);
  if (space_of_halves(space))
    return replace_leading(
        selected, [&](const std::string& l, size_t i) { return size_t{l[i] == space[0]}; },
        [](std::string& line, size_t n) { std::fill_n(line.begin(), n, ' '); });
  return replace_leading(
      selected,
      [&](const std::string& l, size_t i) {
        return l.compare(i, space.size(), space) == 0 ? space.size() : 0;
      },
      [&](std::string& line, size_t n) {
        line.replace(0, n, std::string(n / space.size() * 2, ' '));
      });
}

bool find_next_in(EditorModel& m, std::string_view text) {
  if (text.empty()) return false;
  const CodePage& page = m.page();
  const int first = std::max(0, m.current_index());
  for (int i = first; i < m.row_count(); ++i) {
    const std::string_view row = m.row_view(i);
    // On the current line the search starts at the caret, and the match found there is
    // the one selected: otherwise a match before the caret would be found again and again.
    const size_t from =
        i == first ? char_ceil(row, static_cast<size_t>(m.caret_abs_col() - 1), page) : 0;
    const size_t at = find_chars(row, text, false, page, from);
    if (at == std::string_view::npos) continue;
    const int p = static_cast<int>(at) + 1;
    const int end = p + static_cast<int>(text.size());
    m.set_sel_anchor(EditPos{p, i});
    m.set_sel_end(EditPos{end, i});
    m.set_top_line(i);
    m.set_caret_row(0);
    // A match left of the view brings the view back to the line's start.
    if (end - m.h_offset() < 1) m.set_h_offset(0);
    m.set_caret_col(end - m.h_offset());
    return true;
  }
  return false;
}

}  // namespace lq

// The jump from a find result to its match: the file in its tab, the match selected.
#include <algorithm>

#include "core/textsvc/file_services.h"
#include "gui/editor/document_tabs.h"
#include "gui/editor/qoz_edit.h"
#include "gui/shell/main_window.h"

namespace lq::gui {

void MainWindow::go_to_match1(const std::string& path, int line, int column) {
  // A result whose file cannot be opened (the clipboard entry, a file gone since) leaves
  // every tab as it was rather than selecting text in an unrelated document.
  if (!doc_tabs_->find_page1(path) && !file_exists1(path)) return;
  if (!doc_tabs_->open_in_tab1(path) || !doc_tabs_->find_page1(path)) return;
  tqozedit1* ed = doc_tabs_->active_editor();
  if (!ed) return;
  EditorModel& m = ed->model();
  // The file may have changed since the run: stay inside the document.
  line = std::clamp(line, 0, std::max(0, m.row_count() - 1));
  column = std::max(column, 1);
  const int len = std::max(0, run_context_.find_query_len1);
  ed->setFocus();
  m.set_top_line1(line);
  m.set_h_offset1(column - 1);
  m.set_sel_anchor1({column, line});
  m.set_sel_end1({column + len, line});
  // The caret sits at the end of the match, so typing continues there.
  m.set_caret_row1(0);
  m.set_caret_col1(column + len - m.h_offset1());
  ed->update();
  ed->update_scrollbars1();
}

}  // namespace lq::gui

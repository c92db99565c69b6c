// The jump from a find result to its match: the file in its tab, the match selected.
#include <algorithm>

#include "core/textsvc/file_services.h"
#include "gui/editor/document_tabs.h"
#include "gui/editor/qoz_edit.h"
#include "gui/shell/main_window.h"

namespace lq::gui {

void MainWindow::go_to_match(const std::string& path, int line, int column) {
  // A result whose file cannot be opened (the clipboard entry, a file gone since) leaves
  // every tab as it was rather than selecting text in an unrelated document.
  if (!doc_tabs_->find_page(path) && !file_exists(path)) return;
  if (!doc_tabs_->open_in_tab(path) || !doc_tabs_->find_page(path)) return;
  EditorView* ed = doc_tabs_->active_editor();
  if (!ed) return;
  EditorModel& m = ed->model();
  // The file may have changed since the run: stay inside the document.
  line = std::clamp(line, 0, std::max(0, m.row_count() - 1));
  column = std::max(column, 1);
  const int len = std::max(0, run_context_.find_query_len);
  ed->setFocus();
  m.set_top_line(line);
  m.set_h_offset(column - 1);
  m.set_sel_anchor({column, line});
  m.set_sel_end({column + len, line});
  // The caret sits at the end of the match, so typing continues there.
  m.set_caret_row(0);
  m.set_caret_col(column + len - m.h_offset());
  ed->update();
  ed->refresh_scrollbars();
}

}  // namespace lq::gui

// The editor's side of the main window: the document and editing commands in the menus,
// the tool bar and the status bar, and what a run and the line-length tool do to the active
// editor.
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <algorithm>

#include "core/editor/editor_model.h"
#include "core/textsvc/line_text.h"
#include "core/textsvc/str_helpers.h"
#include "gui/editor/char_code_display.h"
#include "gui/editor/document_commands.h"
#include "gui/editor/document_tabs.h"
#include "gui/editor/edit_commands.h"
#include "gui/editor/qoz_edit.h"
#include "gui/shell/main_window.h"

namespace lq::gui {

void MainWindow::install_edit_commands() {
  edit_commands_ = std::make_unique<EditCommands>(this, doc_tabs_, catalogue_);
  EditCommands& c = *edit_commands_;
  if (auto* m = findChild<QMenu*>("N_file1"))
    add_document_file_items(m, findChild<QAction*>("N46"), doc_tabs_);
  if (auto* m = findChild<QMenu*>("N_view1")) add_document_view_items(m, doc_tabs_);
  if (auto* bar = findChild<QWidget*>("Panel_tool1"))
    add_save_button(bar, findChild<QWidget*>("SpeedButton5"), doc_tabs_);
  if (auto* m = findChild<QMenu*>("N_edit1")) c.fill_edit_menu(m);
  if (auto* m = findChild<QMenu*>("N_op1")) {
    m->addSeparator();
    c.fill_action_menu(m);
  }
  if (auto* m = findChild<QMenu*>("N_mark1")) c.fill_bookmark_menu(m);
  if (auto* m = findChild<QMenu*>("N_tool1")) c.fill_tool_menu(m);
  statusBar()->addPermanentWidget(c.format_display());
  statusBar()->addPermanentWidget(c.code_display());
  c.set_add_to_file_list([this](const std::string& path) {
    if (std::find(file_list_.begin(), file_list_.end(), path) != file_list_.end()) return;
    file_list_.push_back(path);
    refresh_lists();
  });
}

bool MainWindow::has_active_editor() const {
  return doc_tabs_->active_editor() != nullptr;
}

void MainWindow::record_undo_active_editor() {
  if (EditorView* ed = doc_tabs_->active_editor()) ed->model().record_undo();
}

void MainWindow::limit_active_editor_lines(int n) {
  EditorView* ed = doc_tabs_->active_editor();
  if (!ed) return;
  EditorModel& m = ed->model();
  LineList lines;
  set_lines_text(lines, m.get_all_text());
  split_lines_by_len(lines, lines, n, true, m.page());
  m.set_all_text(lines_text(lines));
  m.clear_history();
  // The text differs from the file now, so the tab shows it as changed.
  m.notify_change();
  ed->refresh_scrollbars();
  ed->update();
}

}  // namespace lq::gui

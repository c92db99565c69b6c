// The file list of the main window: adding files and directories, deleting, clearing,
// and showing the list.
#include <QFileDialog>
#include <QFontMetrics>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>

#include "core/textsvc/str_helpers.h"
#include "gui/shell/main_window.h"
#include "gui/shell/select_path_dialog.h"
#include "gui/shell/text_bridge.h"
#include "gui/widgets/color_widgets.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {

void MainWindow::add_files_dialog() {
  if (running()) return;
  QFileDialog dlg(this, "打开要处理的文件", path_to_q(last_dir_));
  dlg.setObjectName("OpenDialog1");
  dlg.setFileMode(QFileDialog::ExistingFiles);
  dlg.setNameFilters({"*.txt (*.txt)", "*.* (*)"});
  dlg.setFilter(dlg.filter() | QDir::Hidden);
  if (dlg.exec() != QDialog::Accepted) return;
  add_files(dlg.selectedFiles());
}

void MainWindow::add_files(const QStringList& paths) {
  if (paths.isEmpty()) return;
  for (const QString& p : paths) file_list_.push_back(path_from_q(p));
  // The directory part of the dialog's file name, with its separator.
  const std::string& first = file_list_[file_list_.size() - paths.size()];
  const size_t slash = first.find_last_of('/');
  last_dir_ = slash == std::string::npos ? std::string() : first.substr(0, slash + 1);
  refresh_lists();
  for (const QString& p : paths) open_in_tab(path_from_q(p));
}

void MainWindow::add_directory_dialog(bool recurse) {
  if (running()) return;
  if (!select_path_) select_path_ = new SelectPathDialog(this);
  if (select_path_->exec() != QDialog::Accepted) return;
  add_directory(select_path_->path(), recurse);
}

void MainWindow::remove_selected_file() {
  if (running()) return;
  QListWidgetItem* it = list_box1_->currentItem();
  if (!it || !it->isSelected()) return;
  const std::string text = path_from_q(it->text());
  for (auto e = file_list_.begin(); e != file_list_.end(); ++e)
    if (same_text(*e, text)) {
      file_list_.erase(e);
      break;
    }
  refresh_lists();
}

void MainWindow::clear_file_list() {
  if (running()) return;
  file_list_.clear();
  refresh_lists();
}

void MainWindow::show_open_menu() {
  // The open button shows pressed while its menu is up.
  btn_open_->setDown(true);
  popup_open_->exec(btn_open_->mapToGlobal(QPoint(0, btn_open_->height())));
  btn_open_->setDown(false);
}

namespace {

// Items as wide as twice the widest path, so long paths can be scrolled sideways.
void fill_list(QListWidget* box, const QStringList& items) {
  box->clear();
  box->addItems(items);
  const QFontMetrics fm(box->font());
  int widest = 0;
  for (const QString& s : items) widest = std::max(widest, fm.horizontalAdvance(s));
  const int h = fm.height() + 4;
  for (int i = 0; i < box->count(); ++i) box->item(i)->setSizeHint(QSize(widest * 2, h));
}

}  // namespace

void MainWindow::refresh_lists() {
  QStringList files;
  for (const std::string& f : file_list_) files << path_to_q(f);
  fill_list(list_box1_, files);
}

}  // namespace lq::gui

// Operation layouts of the main window: which operation panels are shown, in which order,
// and how far the scope list is scrolled, kept in "sys1.ini" between runs and in named
// ".dsk" files; choosing, stepping through and saving named layouts.
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <exception>

#include "core/operations/catalogue.h"
#include "core/settings/layout_store.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/str_helpers.h"
#include "gui/panels/control_form.h"
#include "gui/settings/form_dsk.h"
#include "gui/settings/layout_combo_box.h"
#include "gui/settings/qoz_position.h"
#include "gui/shell/main_window.h"
#include "gui/shell/main_window_settings.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/scope_box.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {

namespace {

// A damaged list could name thousands of unknown classes; a few boxes tell the user as
// much as all of them would.
constexpr int kMaxUnknownPanelBoxes = 5;

}  // namespace

void MainWindow::save_layout(const std::string& file_name) {
  IniFile named;
  IniFile* ini = &settings_->sys_ini;
  if (is_blank(file_name)) {
    ini->reload();
  } else {
    named = IniFile(layout_file_path(file_name));
    ini = &named;
  }
  LineList names;
  for (TControlForm_* p : panels())
    if (!p->isHidden()) names.push_back(p->class_name());
  write_layout(*ini, scope_box_->scroll_box()->verticalScrollBar()->value(), names);
}

void MainWindow::apply_layout(const std::string& file_name) {
  // The panels belong to the run while it lasts.
  if (running()) return;
  const IniFile ini(layout_file_path(file_name));
  QScrollBar* bar = scope_box_->scroll_box()->verticalScrollBar();
  bar->setValue(read_scroll_position(ini, bar->value()));
  free_panels();
  load_panel_list(file_name);
}

void MainWindow::free_panels() {
  if (running()) return;
  for (TControlForm_* p : panels()) {
    if (p->isHidden()) continue;
    panel_stack_.remove(p->operation());
    p->hide();
    p->setParent(nullptr);
    p->deleteLater();
  }
  collect_operations();
}

void MainWindow::load_panel_list(const std::string& file_name) {
  if (running()) return;
  int unknown = 0;
  try {
    const IniFile ini(layout_file_path(file_name));
    for (const std::string& name : read_panel_list(ini)) {
      if (!PanelClassRegistry::instance().find(name) && ++unknown > kMaxUnknownPanelBoxes) continue;
      ensure_panel(name);
    }
  } catch (const std::exception&) {
    // What could be read is shown.
  }
}

void MainWindow::fill_layout_list() {
  QComboBox* box = settings_->ComboBox_view1;
  const QString shown = box->currentText();
  const QSignalBlocker quiet(box);
  box->clear();
  for (const std::string& name : layout_names(app_path())) box->addItem(path_to_q(name));
  box->setCurrentIndex(box->findText(shown));
}

void MainWindow::layout_chosen() {
  const std::string name = trim(path_from_q(settings_->ComboBox_view1->currentText()));
  if (!layout_name_usable(name)) return;
  const std::string file = name + kLayoutExt;
  apply_layout(file);
  window_positions()->load_positions(file);
}

void MainWindow::next_layout() {
  QComboBox* box = settings_->ComboBox_view1;
  const int n = box->count();
  if (n == 0) return;
  const int i = box->currentIndex();
  box->setCurrentIndex(i < 0 || i >= n - 1 ? 0 : i + 1);
  layout_chosen();
}

void MainWindow::ask_save_layout() {
  Tform_dsk dlg(catalogue_, this);
  if (dlg.exec() != QDialog::Accepted) return;
  const std::string name = trim(path_from_q(dlg.Edit1()->text()));
  if (name.empty()) {
    msg_box(from_gbk(catalogue_text::get_text(catalogue_, msg::kLayoutNameEmpty)), false, this,
            kInfoCaption);
    return;
  }
  bool saved = false;
  // A name with a "/" would write somewhere else than among the layouts.
  if (layout_name_usable(name)) {
    try {
      const std::string file = name + kLayoutExt;
      window_positions()->save_positions(file);
      save_layout(file);
      saved = true;
    } catch (const std::exception&) {
    }
  }
  if (!saved)
    msg_box(from_gbk(catalogue_text::get_text(catalogue_, msg::kLayoutSaveFailed)), false, this,
            kInfoCaption);
}

void MainWindow::restore_layout_on_show() {
  apply_layout("");
}

void MainWindow::save_layout_on_close() {
  try {
    save_layout("");
  } catch (const std::exception&) {
    // Closing never fails for want of a writable settings file.
  }
}

}  // namespace lq::gui

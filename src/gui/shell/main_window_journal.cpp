// Preview of a run, the journal that every writing run keeps, and undo of a whole run:
// the MainWindow members behind "预览" and the "操作" menu's undo items.
#include <QAction>
#include <QMenu>
#include <QStyle>
#include <fstream>
#include <sstream>

#include "core/batch/journal_summary.h"
#include "core/batch/journal_undo.h"
#include "core/batch/recipe.h"
#include "core/batch/run_journal.h"
#include "core/run_error.h"
#include "core/settings/ini_file.h"
#include "core/settings/sys_settings.h"
#include "gui/editor/run_tabs.h"
#include "gui/panels/control_form.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/preview_dialog.h"
#include "gui/shell/run_controller.h"
#include "gui/shell/runs_dialog.h"
#include "gui/shell/text_bridge.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {
namespace {

QAction* menu_item(QMenu* menu, const char* name, const QString& text) {
  QAction* a = menu->addAction(text);
  a->setObjectName(name);
  return a;
}

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

QString file_lines(const std::vector<std::string>& paths) {
  constexpr size_t kShown = 15;
  QString out;
  for (size_t k = 0; k < paths.size() && k < kShown; ++k) out += "  " + path_to_q(paths[k]) + "\n";
  if (paths.size() > kShown) out += QString("  ... 还有 %1 个\n").arg(paths.size() - kShown);
  return out;
}

QString report_text(const UndoReport& r) {
  QString t = QString("已撤销处理 %1.\n恢复了 %2 个文件, 删除了 %3 个处理时新建的文件.\n")
                  .arg(QString::fromStdString(r.id))
                  .arg(r.restored.size())
                  .arg(r.removed.size());
  if (!r.same.empty()) t += QString("%1 个文件本来就是处理前的样子.\n").arg(r.same.size());
  if (!r.changed.empty())
    t += "\n下列文件在处理后又被改动过, 没有动它们:\n" + file_lines(r.changed);
  if (!r.failed.empty()) t += "\n下列文件无法恢复:\n" + file_lines(r.failed);
  return t;
}

}  // namespace

PreviewDialog* MainWindow::preview_dialog() const {
  return preview_;
}
RunsDialog* MainWindow::runs_dialog() const {
  return runs_;
}

void MainWindow::install_journal_actions(QMenu* op) {
  act_preview_ = menu_item(op, "N_preview1", "预览(&P)");
  act_preview_->setShortcut(Qt::CTRL | Qt::Key_F9);
  connect(act_preview_, &QAction::triggered, this, &MainWindow::preview_run);
  act_undo_run_ = menu_item(op, "N_undo_run1", "撤销上次处理(&U)");
  connect(act_undo_run_, &QAction::triggered, this, &MainWindow::undo_last_run);
  act_runs_ = menu_item(op, "N_runs1", "处理记录(&L)...");
  connect(act_runs_, &QAction::triggered, this, &MainWindow::show_runs);
}

ImageButton* MainWindow::make_preview_button(QWidget* parent) {
  btn_preview_ = new ImageButton(style()->standardIcon(QStyle::SP_FileDialogContentsView), "预览",
                                 "预览: 只看处理会改变什么, 不写文件", parent);
  btn_preview_->setObjectName("SpeedButton_preview1");
  connect(btn_preview_, &QToolButton::clicked, this, &MainWindow::preview_run);
  return btn_preview_;
}

void MainWindow::set_journal_actions_enabled(bool on) {
  for (QAction* a : {act_preview_, act_undo_run_, act_runs_})
    if (a) a->setEnabled(on);
  if (btn_preview_) btn_preview_->setEnabled(on);
}

void MainWindow::preview_run() {
  start_run(true, nullptr);
}

void MainWindow::attach_journal(RunRequest& request) {
  journal_.reset();
  const SysSettings settings = read_sys_settings(IniFile(sys_ini_path()));
  if (settings.journal_runs <= 0) return;
  Recipe recipe;
  recipe.scope = request.scope;
  for (TControlForm_* p : panels()) {
    if (!p->is_enabled()) continue;
    recipe.op = PanelClassRegistry::instance().find(p->class_name());
    recipe.values = p->operation()->params();
    break;
  }
  journal_ =
      std::make_unique<RunJournal>(journal_dir1(), recipe_text(recipe), journal_limits(settings));
  request.journal = journal_.get();
}

void MainWindow::show_preview(const RunResult& result) {
  // The entries in list order, each once, with what the run would make of them.
  std::vector<PreviewItem> items;
  auto find = [&](const std::string& entry) -> PreviewItem& {
    for (PreviewItem& i : items)
      if (i.entry == entry) return i;
    items.push_back({entry, {}, {}, false, {}});
    return items.back();
  };
  for (size_t k = 0; k < result.changed.size() && k < result.outputs.size(); ++k) {
    PreviewItem& item = find(result.changed[k]);
    if (item.changes) continue;  // listed twice: the first occurrence shows
    item.changes = true;
    item.after = result.outputs[k];
    if (item.entry == kClipboardEntry) {
      item.before = clipboard_bytes().value_or(std::string());
    } else {
      item.before = file_bytes(item.entry);
    }
  }
  for (const RunResult::OwnWrite& w : result.own_writes) find(w.entry).own_writes.push_back(w.path);
  // Keep list order.
  std::vector<PreviewItem> ordered;
  for (const std::string& entry : file_list_)
    for (PreviewItem& i : items)
      if (i.entry == entry && !i.entry.empty()) ordered.push_back(std::exchange(i, {}));
  if (preview_) preview_->close();
  preview_ = new PreviewDialog(std::move(ordered), this);
  preview_->setAttribute(Qt::WA_DeleteOnClose);
  connect(preview_, &PreviewDialog::startRequested, this, [this] {
    const std::vector<std::string> files = preview_->checked_entries();
    start_run(false, &files);
  });
  preview_->show();
  emit previewShown();
}

void MainWindow::undo_last_run() {
  if (running()) return;
  const std::optional<JournalRun> run = last_undoable_run(journal_dir1());
  if (!run) {
    msg_box1("没有可以撤销的处理.", false, this, "Info");
    return;
  }
  undo_journal_run(run->id);
}

void MainWindow::undo_journal_run(const std::string& id) {
  if (running()) return;
  const std::optional<JournalRun> run = read_journal_run(journal_dir1() + id + "/");
  if (!run) return;
  QString question = QString("撤销 %1 的处理?\n%2\n%3 个文件将恢复为处理前的内容.")
                         .arg(QString::fromStdString(journal_run_time(*run)))
                         .arg(from_utf8(journal_run_operation(*run)))
                         .arg(run->files.size());
  if (!msg_box1(question, true, this, "Info")) return;
  if (!tabs_before_run1(*doc_tabs_, *run, this)) return;
  UndoReport report;
  try {
    report = undo_run(journal_dir1(), id);
    tabs_after_run1(*doc_tabs_);
  } catch (const std::exception& e) {
    tabs_after_run1(*doc_tabs_);
    msg_box1(QString::fromStdString(e.what()), false, this, "Info");
    return;
  }
  if (runs_) runs_->refresh();
  msg_box1(report_text(report), false, this, "Info");
  emit runUndone();
}

void MainWindow::show_runs() {
  if (!runs_) {
    runs_ = new RunsDialog(this);
    connect(runs_, &RunsDialog::undoRequested, this, &MainWindow::undo_journal_run);
  }
  runs_->refresh();
  runs_->show();
  runs_->raise();
}

}  // namespace lq::gui

// Preview of a run, the journal that every writing run keeps, and undo of a whole run:
// the MainWindow members behind "预览" and the "操作" menu's undo items.
#include <QAction>
#include <QMenu>
#include <QStyle>
#include <unordered_map>

#include "core/batch/journal_summary.h"
#include "core/batch/journal_undo.h"
#include "core/batch/operation_snapshot.h"
#include "core/batch/recipe.h"
#include "core/batch/run_journal.h"
#include "core/batch/write_back.h"
#include "core/run_error.h"
#include "core/settings/ini_file.h"
#include "core/settings/sys_settings.h"
#include "gui/editor/run_tabs.h"
#include "gui/panels/control_form.h"
#include "gui/shell/background_task.h"
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

QString file_lines(const std::vector<std::string>& paths) {
  constexpr size_t kShown = 15;
  QString out;
  for (size_t k = 0; k < paths.size() && k < kShown; ++k) out += "  " + path_to_q(paths[k]) + "\n";
  if (paths.size() > kShown) out += QString("  ... 还有 %1 个\n").arg(paths.size() - kShown);
  return out;
}

QString report_text(const UndoReport& r) {
  QString t =
      QString(r.stopped ? "撤销处理 %1 时停止了; 可以再次撤销它, 做完其余的.\n"
                          "恢复了 %2 个文件, 删除了 %3 个处理时新建的文件.\n"
                        : "已撤销处理 %1.\n恢复了 %2 个文件, 删除了 %3 个处理时新建的文件.\n")
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

void MainWindow::attach_journal(RunRequest& request, const OperationSnapshot& operations) {
  journal_.reset();
  const SysSettings settings = read_sys_settings(IniFile(sys_ini_path()));
  if (settings.journal_runs <= 0) return;
  Recipe recipe;
  recipe.scope = request.scope;
  for (const OperationSnapshot::Panel& p : operations.panels) {
    if (!p.enabled) continue;
    recipe.op = PanelClassRegistry::instance().find(p.class_name);
    recipe.values = p.values;
    break;
  }
  journal_ = std::make_unique<RunJournal>(run_journal_dir(), recipe_text(recipe),
                                          journal_limits(settings));
  request.journal = journal_.get();
}

// What a preview was made from: the run it showed, and each file as it stood then.
struct MainWindow::PreviewBasis {
  RunRequest request;  // files: the whole list previewed
  std::shared_ptr<const OperationSnapshot> operations;
  std::unordered_map<std::string, std::optional<FileStamp>> stamps;
};

void MainWindow::preview_run() {
  if (running()) return;
  if (!tabs_before_run(*doc_tabs_, file_list_, this)) return;
  RunRequest request;
  std::shared_ptr<const OperationSnapshot> operations;
  if (!prepare_run(request, operations, nullptr, false)) return;
  auto basis = std::make_shared<PreviewBasis>();
  // Taken before the files are read: a file changed while the preview works is stale too.
  for (const std::string& f : request.files) basis->stamps.try_emplace(f, file_stamp(f));
  basis->request = request;
  basis->operations = operations;
  preview_basis_ = std::move(basis);
  launch_run(std::move(request), std::move(operations), true);
}

bool MainWindow::preview_is_current() {
  if (!preview_basis_ || running()) return false;
  RunRequest now;
  std::shared_ptr<const OperationSnapshot> operations;
  if (!prepare_run(now, operations, nullptr, true)) return false;
  const RunRequest& was = preview_basis_->request;
  if (!(now.scope == was.scope) || now.case_sensitive != was.case_sensitive ||
      now.encoding != was.encoding || now.eol != was.eol || now.binary != was.binary ||
      !(*operations == *preview_basis_->operations))
    return false;
  if (preview_)
    for (const std::string& f : preview_->checked_entries()) {
      auto it = preview_basis_->stamps.find(f);
      if (f != kClipboardEntry &&
          (it == preview_basis_->stamps.end() || file_stamp(f) != it->second))
        return false;
    }
  return true;
}

void MainWindow::start_previewed_run() {
  if (running() || !preview_ || !preview_basis_) return;
  if (!preview_is_current()) {
    preview_->mark_stale();
    return;
  }
  RunRequest request = preview_basis_->request;
  request.files = preview_->checked_entries();
  if (!tabs_before_run(*doc_tabs_, request.files, this)) return;
  preview_->accept();
  launch_run(std::move(request), preview_basis_->operations, false);
}

void MainWindow::show_preview(const RunResult& result, const std::vector<std::string>& inputs) {
  // The entries in list order, each once, with what the run would make of them.
  std::vector<PreviewItem> items;
  std::unordered_map<std::string, size_t> at;
  auto find = [&](const std::string& entry) -> PreviewItem& {
    auto [it, fresh] = at.try_emplace(entry, items.size());
    if (fresh) items.push_back({entry, {}, {}, false, {}});
    return items[it->second];
  };
  for (size_t k = 0; k < result.changed.size() && k < result.outputs.size(); ++k) {
    PreviewItem& item = find(result.changed[k]);
    if (item.changes) continue;  // listed twice: the first occurrence shows
    item.changes = true;
    item.after = result.outputs[k];
    if (k < inputs.size()) item.before = inputs[k];
  }
  for (const RunResult::OwnWrite& w : result.own_writes) find(w.entry).own_writes.push_back(w.path);
  // The run's scope as it left it (the [8] fallback may have rewritten it) is what the
  // preview shows.
  if (preview_basis_) preview_basis_->request.scope = result.scope;
  // Keep list order.
  std::vector<PreviewItem> ordered;
  const std::vector<std::string>& listed =
      preview_basis_ ? preview_basis_->request.files : file_list_;
  for (const std::string& entry : listed) {
    auto it = at.find(entry);
    if (it != at.end() && !items[it->second].entry.empty())
      ordered.push_back(std::exchange(items[it->second], {}));
  }
  if (preview_) preview_->close();
  preview_ = new PreviewDialog(std::move(ordered), this);
  preview_->setAttribute(Qt::WA_DeleteOnClose);
  preview_->set_freshness([this] { return preview_is_current(); });
  connect(preview_, &PreviewDialog::startRequested, this, &MainWindow::start_previewed_run);
  preview_->show();
  emit previewShown();
}

void MainWindow::undo_last_run() {
  if (running()) return;
  const std::optional<JournalRun> run = last_undoable_run(run_journal_dir());
  if (!run) {
    msg_box("没有可以撤销的处理.", false, this, kInfoCaption);
    return;
  }
  undo_journal_run(run->id);
}

void MainWindow::undo_journal_run(const std::string& id) {
  if (running()) return;
  const std::optional<JournalRun> run = read_journal_run(run_journal_dir() + id + "/");
  if (!run) return;
  QString question = QString("撤销 %1 的处理?\n%2\n%3 个文件将恢复为处理前的内容.")
                         .arg(QString::fromStdString(journal_run_time(*run)))
                         .arg(from_utf8(journal_run_operation(*run)))
                         .arg(run->files.size());
  if (!msg_box(question, true, this, kInfoCaption)) return;
  // Restoring many files takes a while: on a worker, with progress and "停止".
  if (!tabs_before_run(*doc_tabs_, *run, this)) return;
  UndoReport report;
  std::optional<std::string> error;
  const std::string dir = run_journal_dir();
  run_in_background(this, "正在撤销处理...", [&](const TaskStep& step) {
    try {
      report = undo_run(dir, id, step);
    } catch (const std::exception& e) {
      error = e.what();
    }
  });
  tabs_after_run(*doc_tabs_);
  if (error) {
    msg_box(QString::fromStdString(*error), false, this, kInfoCaption);
    return;
  }
  if (runs_) runs_->refresh();
  msg_box(report_text(report), false, this, kInfoCaption);
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

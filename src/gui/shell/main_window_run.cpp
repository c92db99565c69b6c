// Start, the run on a worker thread with its progress and its end; adding a directory;
// the announcement panel; the settings the window reads at start.
#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QStringDecoder>
#include <QThread>
#include <algorithm>

#include "core/batch/operation_snapshot.h"
#include "core/settings/ini_file.h"
#include "core/settings/sys_settings.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/str_helpers.h"
#include "gui/editor/edit_commands.h"
#include "gui/editor/run_tabs.h"
#include "gui/panels/control_form.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/run_controller.h"
#include "gui/shell/scope_box.h"
#include "gui/shell/text_bridge.h"
#include "gui/widgets/accessible_factory.h"
#include "gui/widgets/caption_splitter.h"
#include "gui/widgets/color_widgets.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {

MainWindow::~MainWindow() {
  save_position_on_destroy();
  form_destroy();
}

namespace {

// Error texts carry file names, which are file-system bytes (UTF-8 here) inside a GBK
// message: show them as UTF-8 when they are, else as GBK.
QString message_to_q(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString s = utf8(QByteArray::fromStdString(bytes));
  return utf8.hasError() ? from_gbk(bytes) : s;
}

// The file-name part of an entry: after the last separator; the clipboard entry whole.
QString file_part(const QString& entry) {
  const int cut = std::max(entry.lastIndexOf('/'), entry.lastIndexOf(':'));
  return entry == QString::fromUtf8(kClipboardEntry) ? entry : entry.mid(cut + 1);
}

}  // namespace

void MainWindow::install_services() {
  // Messages the core raises appear as the window's boxes, on the GUI thread.
  set_msg_box_handler([](std::string_view text, bool ask, std::string_view caption) {
    const QString t = from_gbk(text);
    const QString c = caption.empty() ? QString(kInfoCaption) : from_gbk(caption);
    bool answer = false;
    auto show = [&] { answer = msg_box(t, ask, QApplication::activeWindow(), c); };
    if (QThread::currentThread() == qApp->thread())
      show();
    else
      QMetaObject::invokeMethod(qApp, show, Qt::BlockingQueuedConnection);
    return answer;
  });
}

void MainWindow::load_news() {
  const std::string dir = app_path();
  if (file_exists(dir + "mini")) {
    // A file "mini" asks for the plain window: no announcement, only the tool bar on top.
    panel_news_->hide();
    setWindowTitle(QApplication::applicationName());
    return;
  }
  memo_gg_->setPlainText("欢迎大家使用Lexoquill! :)");
  LineList lines;
  try {
    load_lines(dir + "qoz_news1.txt", lines);
  } catch (const std::exception&) {
    return;  // no announcement file: the welcome stays
  }
  std::string msg;
  for (const std::string& l : lines) {
    const size_t eq = l.find('=');
    if (eq != std::string::npos && same_text(l.substr(0, eq), "msg1")) {
      msg = l.substr(eq + 1);
      break;
    }
  }
  memo_gg_->setPlainText(from_gbk(msg));
}

void MainWindow::add_directory(const QString& typed, bool recurse) {
  const std::string dir = trim(path_from_q(typed));
  if (!dir.empty()) {
    LineList found;
    get_files(dir.back() == '/' ? dir : dir + "/", found, recurse,
              [] { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    file_list_.insert(file_list_.end(), found.begin(), found.end());
    // The whole list is filtered, entries added earlier included.
    filter_by_ext(file_list_, ext_list(ext_file_path()));
  }
  last_dir_ = dir;
  refresh_lists();
}

namespace {

// The counts of a finished run and the files it left alone: nothing is skipped silently.
QString run_summary(const RunResult& r) {
  const qsizetype changed = static_cast<qsizetype>(r.changed.size());
  const qsizetype skipped = static_cast<qsizetype>(r.skipped.size());
  const qsizetype unchanged = std::max<qsizetype>(0, r.files_done - changed - skipped);
  QString text = QString("\n\n改动 %1 个文件, 未改动 %2 个, 跳过 %3 个.")
                     .arg(changed)
                     .arg(unchanged)
                     .arg(skipped);
  constexpr qsizetype kListed = 20;
  for (qsizetype i = 0; i < std::min(skipped, kListed); ++i) {
    const RunResult::Skipped& s = r.skipped[static_cast<size_t>(i)];
    text += "\n" + QString::fromStdString(s.entry) +
            (s.reason == SkipReason::Binary ? "  (二进制文件)" : "  (此操作不适用于它的字符编码)");
  }
  if (skipped > kListed) text += QString("\n... 另有 %1 个").arg(skipped - kListed);
  if (r.unconverted_chars > 0)
    text += QString("\n有 %1 个字符的转换结果不能用文件的字符编码表示, 已保留原字.")
                .arg(static_cast<qlonglong>(r.unconverted_chars));
  return text;
}

}  // namespace

void MainWindow::start_processing() {
  start_run(false, nullptr);
}

// Start, or with preview a run that writes nothing and shows what it would change; only,
// when given, replaces the file list (the files checked in a preview).
void MainWindow::start_run(bool preview, const std::vector<std::string>* only) {
  if (running()) return;  // one run at a time
  if (!tabs_before_run(*doc_tabs_, only ? *only : file_list_, this)) return;
  RunRequest request;
  std::shared_ptr<const OperationSnapshot> operations;
  if (!prepare_run(request, operations, only, false)) return;
  launch_run(std::move(request), std::move(operations), preview);
}

bool MainWindow::prepare_run(RunRequest& request,
                             std::shared_ptr<const OperationSnapshot>& operations,
                             const std::vector<std::string>* only, bool quiet) {
  collect_operations();
  request.files = only ? *only : file_list_;
  request.scope = scope_box_->snapshot();
  request.case_sensitive = case_sensitive_;
  request.encoding = sys_settings().encoding;
  request.eol = sys_settings().eol;
  request.binary = sys_settings().binary;
  if (auto refused = RunDriver::check_input(request)) {
    if (!quiet)
      msg_box(from_gbk(catalogue_text::get_text(catalogue_, *refused)), false, this,
              from_gbk(catalogue_text::get_text(catalogue_, msg::kHintCaption)));
    return false;
  }
  for (TControlForm_* p : panels()) p->push_params();
  // The worker gets operations of its own: what the panels hold from now on is the
  // window's alone.
  operations = std::make_shared<const OperationSnapshot>(snapshot_operations(panel_stack_));
  return true;
}

void MainWindow::launch_run(RunRequest request, std::shared_ptr<const OperationSnapshot> operations,
                            bool preview) {
  record_undo_active_editor();
  request.dry_run = request.keep_output = preview;
  preview_running_ = preview;
  if (!preview) attach_journal(request, *operations);
  find_results_.clear();
  run_ = std::make_unique<RunController>(std::move(request), std::move(operations));
  run_->set_keep_inputs(preview);
  connect(run_.get(), &RunController::progress, this, &MainWindow::run_progress);
  connect(run_.get(), &RunController::resultsReady, this, [this] {
    if (!run_) return;
    FindResults more = run_->take_results();
    find_results_.insert(find_results_.end(), std::make_move_iterator(more.begin()),
                         std::make_move_iterator(more.end()));
  });
  connect(
      run_.get(), &RunController::scopeParamChanged, this,
      [this](const QString& name, const QString& value) { scope_box_->set_value(name, value); });
  connect(run_.get(), &RunController::finished, this, &MainWindow::run_ended);
  set_running(true);
  run_->start();
}

void MainWindow::stop_run() {
  if (run_) run_->request_stop();
}

void MainWindow::show_outcome(const QString& text) {
  label_outcome_->setText(text);
  label_outcome_->show();
  // The label's name is its text: the change and an alert make a screen reader say it.
  QAccessibleEvent changed(label_outcome_, QAccessible::NameChanged);
  send_accessible_event(changed);
  QAccessibleEvent alert(label_outcome_, QAccessible::Alert);
  send_accessible_event(alert);
}

void MainWindow::set_running(bool on) {
  // While a run works, nothing it reads may change and no second run may start.
  act_start_->setEnabled(!on);
  btn_start_->setEnabled(!on);
  act_stop_->setEnabled(on);
  btn_stop_->setEnabled(on);
  scope_box_->setEnabled(!on);
  pnl_controls_body_->setEnabled(!on);
  list_box1_->setEnabled(!on);
  btn_open_->setEnabled(!on);
  btn_more_->setEnabled(!on);
  for (QAction* a : file_actions_) a->setEnabled(!on);
  for (QAction* a : popup_open_->actions()) a->setEnabled(!on);
  for (QAction* a : panel_actions_) a->setEnabled(!on);
  set_journal_actions_enabled(!on);
  if (on) {
    label_outcome_->hide();
    progress_->setValue(0);
    label_file_->show();
    progress_->show();
  }
}

void MainWindow::run_progress(int, int, int percent, const QString& name) {
  label_file_->setText(file_part(name));
  progress_->setValue(percent);
  emit progressShown(percent);
}

void MainWindow::run_ended() {
  const RunResult result = run_->result();
  run_context_ = run_->context();
  FindResults more = run_->take_results();
  find_results_.insert(find_results_.end(), std::make_move_iterator(more.begin()),
                       std::make_move_iterator(more.end()));
  const std::vector<std::string> inputs = run_->inputs();
  // Called from the controller's own queue: it goes once that call has returned.
  run_.release()->deleteLater();
  tabs_after_run(*doc_tabs_);
  set_running(false);
  // An aborted run leaves the entry it stopped at on show.
  if (result.status != RunStatus::Failed) {
    label_file_->hide();
    progress_->hide();
  }
  emit runFinished();
  journal_.reset();
  if (std::exchange(preview_running_, false) && result.status == RunStatus::Done) {
    show_preview(result, inputs);
    if (close_after_run_) close();
    return;
  }
  switch (result.status) {
    case RunStatus::Done:
      show_outcome(from_gbk(catalogue_text::get_text(catalogue_, msg::kDone)) + " " +
                   run_summary(result).section('\n', 2, 2));
      if (run_context_.find_ran)
        show_find_results();
      else
        msg_box(from_gbk(catalogue_text::get_text(catalogue_, msg::kDone)) + run_summary(result),
                false, nullptr, kInfoCaption);
      break;
    case RunStatus::Stopped:
      show_outcome(QString("已停止: 处理了 %1 个文件").arg(result.files_done));
      break;
    case RunStatus::Failed:
      show_outcome(message_to_q(result.error).section('\n', 0, 0));
      msg_box(message_to_q(result.error), false, this, QApplication::applicationName());
      break;
    default:
      break;
  }
  if (close_after_run_) close();
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (run_) {
    // Let the file in hand finish, then close.
    close_after_run_ = true;
    run_->request_stop();
    e->ignore();
    return;
  }
  operation_chain_.clear();
  save_layout_on_close();
  QMainWindow::closeEvent(e);
}

void MainWindow::max_line_len_tool() {
  if (!has_active_editor()) return;
  if (edit_max2_->position() < 1) {
    msg_box("长度限制不能为 0 !", false, nullptr, kInfoCaption);
    return;
  }
  limit_active_editor_lines(edit_max2_->position());
}

}  // namespace lq::gui

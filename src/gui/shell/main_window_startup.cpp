// The main window's start and end: the rest of its creation step (the files named on the
// command line, the first empty document), single-window mode with the hand-off of later
// starts, and its destruction.
#include <unistd.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

#include "core/settings/sys_settings.h"
#include "core/shell/handoff_client.h"
#include "core/shell/single_window.h"
#include "core/textsvc/file_services.h"
#include "gui/editor/document_tabs.h"
#include "gui/shell/handoff_server.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {

void MainWindow::build_startup_controls() {
  // An image button, as the tool bar is full: its hint says what it does.
  c_one_form1_ =
      new ImageButton(style()->standardIcon(QStyle::SP_TitleBarNormalButton), QString(),
                      "从文件管理器右键菜单或命令行打开的文件均显示在此窗口中", panel_tool_);
  c_one_form1_->setObjectName("c_one_form1");
  c_one_form1_->setCheckable(true);
  c_one_form1_->setAccessibleName("单窗口");
  connect(c_one_form1_, &QToolButton::toggled, this, &MainWindow::single_window_toggled);
  panel_tool_->layout()->addWidget(c_one_form1_);
}

void MainWindow::form_create_tail(const std::vector<std::string>& startup_paths) {
  for (const std::string& arg : startup_paths) open_command_line(arg);
  if (!doc_tabs_->active_page()) doc_tabs_->new_document();
  refresh_lists();
}

void MainWindow::open_command_line(const std::string& arg) {
  if (file_exists(arg)) {
    file_list_.push_back(arg);
    last_dir_ = arg.substr(0, arg.rfind('/') + 1);
    open_in_tab(arg);
  } else if (dir_exists(arg)) {
    // As the add-directory command with subdirectories does.
    LineList found;
    get_files(arg.back() == '/' ? arg : arg + "/", found, true);
    file_list_.insert(file_list_.end(), found.begin(), found.end());
    filter_by_ext(file_list_, ext_list(ext_file_path()));
    last_dir_ = arg;
    if (!file_list_.empty()) open_in_tab(file_list_.front());
  }
}

void MainWindow::single_window_toggled(bool down) {
  const auto self = static_cast<std::int32_t>(::getpid());
  if (!down) {
    withdraw_single_window(self);
    if (handoff_) handoff_->close();
    return;
  }
  if (!handoff_) {
    handoff_ = new HandoffServer(this);
    connect(handoff_, &HandoffServer::pathReceived, this,
            [this](const QByteArray& path) { receive_file(path.toStdString()); });
  }
  // Announced only once the window really listens: later starts must never hand their
  // files to nobody.
  if (!handoff_->listen(handoff_socket_path(self)) || !announce_single_window(self)) {
    withdraw_single_window(self);
    handoff_->close();
    const QSignalBlocker quiet(c_one_form1_);
    c_one_form1_->setChecked(false);
    msg_box("单窗口模式无法打开：不能建立本机通信。", false, this, kInfoCaption);
  }
}

void MainWindow::receive_file(const std::string& path) {
  file_list_.push_back(path);
  // An empty path names no file; it must not pick the untitled page (which has none).
  if (!path.empty()) open_in_tab(path);
  refresh_lists();
  // Brought to the front and flashed, so the user sees where the file went.
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  QApplication::alert(this, 1000);
}

void MainWindow::form_destroy() {
  if (c_one_form1_ && c_one_form1_->isChecked())
    withdraw_single_window(static_cast<std::int32_t>(::getpid()));
}

}  // namespace lq::gui

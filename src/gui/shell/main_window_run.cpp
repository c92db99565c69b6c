// Start, the run on a worker thread, its progress and its end.
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "gui/shell/main_window.h"
#include "gui/shell/run_controller.h"

namespace lq::gui {

MainWindow::~MainWindow() = default;

void MainWindow::N_start1Click() {}
void MainWindow::stop_run() {}
void MainWindow::show_find_results1() {}
void MainWindow::max_line_len_tool() {}
void MainWindow::add_directory(const QString&, bool) {}
void MainWindow::load_news() {
  memo_gg_->setPlainText("欢迎大家使用Lexoquill! :)");
}

}  // namespace lq::gui

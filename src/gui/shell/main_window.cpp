#include "gui/shell/main_window.h"

#include <QMenuBar>

namespace lq::gui {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName("TForm1");
  setWindowTitle("Lexoquill");
  resize(1000, 700);
  // Alt+letter reaches every menu from the keyboard.
  const char* menus[][2] = {{"文件", "F"},     {"编辑", "E"},     {"查看", "V"}, {"操作", "O"},
                            {"特殊工具", "T"}, {"高级设置", "S"}, {"书签", "B"}, {"帮助", "H"}};
  for (const auto& m : menus) {
    menuBar()->addMenu(QString::fromUtf8(m[0]) + "(&" + m[1] + ")");
  }
}

}  // namespace lq::gui

#include <QApplication>

#include "gui/shell/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Lexoquill");
  lq::gui::MainWindow window;
  window.show();
  return QApplication::exec();
}

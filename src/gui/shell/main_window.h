// The main window: tool bar, scope box, operation panels, file list, editor tabs.
#pragma once

#include <QMainWindow>

namespace lq::gui {

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
};

}  // namespace lq::gui

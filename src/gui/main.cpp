#include <QApplication>
#include <QFont>
#include <QTimer>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/shell/instance_lock.h"
#include "core/shell/startup.h"
#include "gui/resources/app_icon.h"
#include "gui/shell/blank_window.h"
#include "gui/shell/hint_timing.h"
#include "gui/shell/main_window.h"
#include "gui/shell/qt_translations.h"

int main(int argc, char** argv) {
  std::vector<std::string> paths =
      lq::startup_paths_from_args(std::vector<std::string>(argv + 1, argv + argc));
  // A blank window started from a running one opens itself even in single-window mode;
  // the marker is not passed on to what this process starts.
  const bool own_window = std::getenv(lq::gui::kNoHandoffEnv) != nullptr;
  ::unsetenv(lq::gui::kNoHandoffEnv);
  if (own_window) {
    lq::instance_exists("");
  } else {
    // Before any window or display connection: a hand-off ends here.
    lq::HandOff handed = lq::hand_off(paths);
    if (handed.ended) return 0;
    paths = std::move(handed.rest);
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName("Lexoquill");
  QGuiApplication::setDesktopFileName("lexoquill");
  QApplication::setWindowIcon(lq::gui::app_icon());
  // Without Qt's catalogue the standard buttons stay English; the program works the same.
  lq::gui::install_qt_translations();
  lq::gui::install_hint_timing();
  // Panels ask for 宋体; any installed CJK font stands in for it.
  QFont::insertSubstitutions("宋体", {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC",
                                      "AR PL UMing CN", "Droid Sans Fallback"});
  lq::gui::MainWindow window(paths);
  window.show();
  // LEXOQUILL_GRAB=file.png saves a picture of the window once it is up, then quits:
  // used to check the layout on machines without a desktop.
  const QString grab = qEnvironmentVariable("LEXOQUILL_GRAB");
  if (!grab.isEmpty()) {
    QTimer::singleShot(1500, &window, [&window, grab] {
      window.grab().save(grab);
      QApplication::quit();
    });
  }
  return QApplication::exec();
}

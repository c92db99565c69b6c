#include <QApplication>
#include <QFont>
#include <QTimer>

#include "gui/editor/document_tabs.h"
#include "gui/resources/app_icon.h"
#include "gui/shell/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Lexoquill");
  QGuiApplication::setDesktopFileName("lexoquill");
  QApplication::setWindowIcon(lq::gui::app_icon());
  // Panels ask for 宋体; any installed CJK font stands in for it.
  QFont::insertSubstitutions("宋体", {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC",
                                      "AR PL UMing CN", "Droid Sans Fallback"});
  lq::gui::MainWindow window;
  if (!window.document_tabs()->active_page1()) window.document_tabs()->new_document();
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

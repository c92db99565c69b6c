#include "gui/shell/blank_window.h"

#include <QCoreApplication>
#include <QProcess>

namespace lq::gui {

bool start_blank_window(const QString& program) {
  QProcess p;
  p.setProgram(program.isEmpty() ? QCoreApplication::applicationFilePath() : program);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(kNoHandoffEnv, "1");
  p.setProcessEnvironment(env);
  return p.startDetached();
}

}  // namespace lq::gui

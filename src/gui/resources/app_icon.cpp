#include "gui/resources/app_icon.h"

// The resource lives in a static library; nothing would pull it into the executable
// unless it is initialised by name (and Q_INIT_RESOURCE must not be inside a namespace).
static void init_app_icon_resource() {
  Q_INIT_RESOURCE(app_icon);
}

namespace lq::gui {

QIcon app_icon() {
  static const bool initialised = (init_app_icon_resource(), true);
  (void)initialised;
  QIcon built_in(":/icons/lexoquill.svg");
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    built_in.addFile(QString(":/icons/%1/lexoquill.png").arg(size), QSize(size, size));
  return QIcon::fromTheme("lexoquill", built_in);
}

}  // namespace lq::gui

// Runs one batch on a worker thread and reports back to the GUI thread.
#pragma once

#include <QObject>

namespace lq::gui {

class RunController : public QObject {
  Q_OBJECT
};

}  // namespace lq::gui

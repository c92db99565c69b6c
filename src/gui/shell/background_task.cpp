#include "gui/shell/background_task.h"

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <memory>
#include <thread>

namespace lq::gui {
namespace {

// Shared between the worker and the window; only atomics, so no lock is needed.
struct TaskState {
  std::atomic<uint64_t> done{0}, total{0};
  std::atomic<bool> stop{false}, ended{false};
};

}  // namespace

bool run_in_background(QWidget* owner, const QString& title,
                       const std::function<void(const TaskStep&)>& work) {
  auto state = std::make_shared<TaskState>();
  QEventLoop loop;
  std::thread worker([state, &work, &loop] {
    work([&state = *state](uint64_t done, uint64_t total) {
      state.done = done;
      state.total = total;
      return !state.stop.load();
    });
    state->ended = true;
    QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
  });

  QDialog box(owner);
  box.setObjectName("Form_task1");
  box.setWindowTitle(title);
  box.setWindowModality(Qt::ApplicationModal);
  auto* col = new QVBoxLayout(&box);
  auto* label = new QLabel(title, &box);
  col->addWidget(label);
  auto* bar = new QProgressBar(&box);
  bar->setObjectName("ProgressBar_task1");
  bar->setRange(0, 100);
  bar->setMinimumWidth(320);
  col->addWidget(bar);
  auto* stop = new QPushButton("停止", &box);
  stop->setObjectName("Button_task_stop1");
  col->addWidget(stop, 0, Qt::AlignRight);
  QObject::connect(stop, &QPushButton::clicked, &box, [state, stop] {
    state->stop = true;
    stop->setEnabled(false);
  });
  // Closing the window asks the same as the button: the work decides when it can end.
  QObject::connect(&box, &QDialog::rejected, &box, [state] { state->stop = true; });

  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, &box, [&] {
    const uint64_t total = state->total, done = state->done;
    if (total > 0)
      bar->setValue(static_cast<int>(static_cast<double>(done) / static_cast<double>(total) * 100));
    else
      bar->setRange(0, 0);  // busy: the work has not said how much there is
  });
  tick.start(50);
  QTimer::singleShot(200, &box, [&box, state] {
    if (!state->ended) box.show();
  });
  if (!state->ended) loop.exec();
  worker.join();
  return !state->stop;
}

}  // namespace lq::gui

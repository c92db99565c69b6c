#include "gui/shell/run_controller.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QThread>

#include "gui/shell/msg_box.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {
namespace {

// Copies inside the program keep their exact bytes under this type.
const char* kBytesMime = "application/x-lexoquill-gbk";

// Runs fn on the GUI thread and waits for it.
template <class Fn>
void on_gui_thread(Fn fn) {
  if (QThread::currentThread() == qApp->thread()) {
    fn();
    return;
  }
  QMetaObject::invokeMethod(qApp, fn, Qt::BlockingQueuedConnection);
}

}  // namespace

std::optional<std::string> clipboard_bytes() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data) return std::nullopt;
  if (data->hasFormat(kBytesMime)) return data->data(kBytesMime).toStdString();
  if (!data->hasText()) return std::nullopt;
  return to_gbk(data->text());
}

void set_clipboard_bytes(std::string_view gbk) {
  auto* data = new QMimeData;
  data->setText(from_gbk(gbk));
  data->setData(kBytesMime, QByteArray(gbk.data(), static_cast<qsizetype>(gbk.size())));
  QApplication::clipboard()->setMimeData(data);
}

class RunController::Host : public RunHost {
 public:
  explicit Host(RunController* owner) : owner_(owner) {}

  void show_message(std::string_view text) override {
    const QString t = from_gbk(text);
    on_gui_thread([t] { msg_box1(t, false, QApplication::activeWindow(), "Info"); });
  }
  std::optional<std::string> clipboard_text() override {
    std::optional<std::string> out;
    on_gui_thread([&out] { out = clipboard_bytes(); });
    return out;
  }
  void set_clipboard_text(std::string_view gbk) override {
    const std::string bytes(gbk);
    on_gui_thread([&bytes] { set_clipboard_bytes(bytes); });
  }
  void progress(int file_index, int file_count, int percent, std::string_view file_name) override {
    emit owner_->progress(file_index, file_count, percent, path_to_q(std::string(file_name)));
  }
  void scope_param_changed(std::string_view name, std::string_view value) override {
    emit owner_->scopeParamChanged(QString::fromStdString(std::string(name)), from_gbk(value));
  }
  bool stop_requested() override { return owner_->stop_; }

 private:
  RunController* owner_;
};

RunController::RunController(RunRequest request, RunContext& context, FindResults& results,
                             QObject* parent)
    : QObject(parent),
      request_(std::move(request)),
      context_(context),
      results_(results),
      host_(std::make_unique<Host>(this)) {}

RunController::~RunController() {
  if (thread_) {
    stop_ = true;
    thread_->wait();
    delete thread_;
  }
}

void RunController::start() {
  thread_ = QThread::create([this] {
    RunDriver driver(context_, results_, *host_);
    try {
      result_ = driver.run(std::move(request_));
    } catch (const std::exception& e) {
      // The driver reports errors in its result; anything else must still end the run.
      result_.status = RunStatus::Failed;
      result_.error = e.what();
    }
  });
  thread_->setObjectName("lexoquill-run");
  connect(thread_, &QThread::finished, this, &RunController::finished, Qt::QueuedConnection);
  thread_->start();
}

}  // namespace lq::gui

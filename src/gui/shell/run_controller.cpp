#include "gui/shell/run_controller.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "core/textsvc/file_services.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/text_bridge.h"

namespace lq::gui {
namespace {

// Copies inside the program keep their exact bytes under this type.
const char* kBytesMime = "application/x-lexoquill-gbk";

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

  // Only plain bytes cross to the GUI thread; Qt's strings are made there.
  void show_message(std::string_view text) override {
    const std::string t(text);
    owner_->call([&t] { msg_box(from_gbk(t), false, QApplication::activeWindow(), kInfoCaption); });
  }
  std::optional<std::string> clipboard_text() override {
    std::optional<std::string> out;
    owner_->call([&out] { out = clipboard_bytes(); });
    return out;
  }
  void set_clipboard_text(std::string_view gbk) override {
    const std::string bytes(gbk);
    owner_->call([&bytes] { set_clipboard_bytes(bytes); });
  }
  void progress(int file_index, int file_count, int percent, std::string_view file_name) override {
    // The results of the files before go first, so the window has them when it shows
    // this file's progress.
    owner_->publish_results();
    RunController* o = owner_;
    owner_->post([o, file_index, file_count, percent, name = std::string(file_name)] {
      emit o->progress(file_index, file_count, percent, path_to_q(name));
    });
  }
  void scope_param_changed(std::string_view name, std::string_view value) override {
    RunController* o = owner_;
    owner_->post([o, n = std::string(name), v = std::string(value)] {
      emit o->scopeParamChanged(QString::fromStdString(n), from_gbk(v));
    });
  }
  bool stop_requested() override { return owner_->stop_; }

 private:
  RunController* owner_;
};

RunController::RunController(RunRequest request,
                             std::shared_ptr<const OperationSnapshot> operations, QObject* parent)
    : QObject(parent),
      request_(std::move(request)),
      operations_(std::move(operations)),
      host_(std::make_unique<Host>(this)) {
  connect(this, &RunController::callsWaiting, this, &RunController::run_posted,
          Qt::QueuedConnection);
}

void RunController::post(std::function<void()> fn) {
  {
    std::lock_guard lock(m_);
    posted_.push_back(std::move(fn));
  }
  emit callsWaiting();
}

void RunController::call(const std::function<void()>& fn) {
  bool done = false;
  post([this, &fn, &done] {
    fn();
    std::lock_guard lock(m_);
    done = true;
    answered_.notify_all();
  });
  std::unique_lock lock(m_);
  answered_.wait(lock, [&done] { return done; });
}

void RunController::run_posted() {
  for (;;) {
    std::function<void()> fn;
    {
      std::lock_guard lock(m_);
      if (posted_.empty()) return;
      fn = std::move(posted_.front());
      posted_.pop_front();
    }
    fn();
  }
}

RunController::~RunController() {
  if (thread_.joinable()) {
    stop_ = true;
    thread_.join();
  }
}

void RunController::start() {
  thread_ = std::thread([this] { work(); });
}

void RunController::work() {
  RunResult result;
  {
    // Operations of the run's own; they live no longer than the run.
    const std::shared_ptr<const OperationSnapshot> snapshot = operations_;
    WorkerOperations ops = make_operations(*snapshot);
    request_.chain = ops.chain;
    request_.make_operations = [snapshot] { return make_operations(*snapshot); };
    RunDriver driver(work_context_, work_results_, *host_);
    try {
      result = driver.run(std::move(request_));
    } catch (const std::exception& e) {
      // The driver reports errors in its result; anything else must still end the run.
      result.status = RunStatus::Failed;
      result.error = e.what();
    }
  }
  std::vector<std::string> inputs;
  if (keep_inputs_ && result.status == RunStatus::Done) {
    // What the changed entries hold now, for a preview to compare with.
    const size_t n = result.changed.size();
    for (size_t k = 0; k < n; ++k) {
      if (stop_) {
        result.status = RunStatus::Stopped;
        break;
      }
      const std::string& entry = result.changed[k];
      host_->progress(static_cast<int>(k), static_cast<int>(n),
                      static_cast<int>(static_cast<double>(k + 1) / static_cast<double>(n) * 100),
                      entry);
      inputs.push_back(entry == kClipboardEntry ? host_->clipboard_text().value_or(std::string())
                                                : read_file_bytes(entry).value_or(std::string()));
    }
  }
  publish_results();
  {
    std::lock_guard lock(m_);
    result_ = std::move(result);
    context_ = work_context_;
    inputs_ = std::move(inputs);
  }
  post([this] { emit finished(); });
}

void RunController::publish_results() {
  if (published_ == work_results_.size()) return;
  FindResults batch(work_results_.begin() + static_cast<long>(published_), work_results_.end());
  published_ = work_results_.size();
  post([this, batch = std::move(batch)]() mutable {
    ready_.insert(ready_.end(), std::make_move_iterator(batch.begin()),
                  std::make_move_iterator(batch.end()));
    emit resultsReady();
  });
}

FindResults RunController::take_results() {
  return std::exchange(ready_, {});
}

RunResult RunController::result() const {
  std::lock_guard lock(m_);
  return result_;
}

RunContext RunController::context() const {
  std::lock_guard lock(m_);
  return context_;
}

std::vector<std::string> RunController::inputs() const {
  std::lock_guard lock(m_);
  return inputs_;
}

}  // namespace lq::gui

// One batch run on a worker thread. The driver runs there with copies of everything it
// reads; what it needs of the desktop (message boxes, the clipboard, progress, the
// rewritten scope parameter) is carried to the GUI thread, and the answer back.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

#include "core/batch/run_driver.h"

class QThread;

namespace lq::gui {

class RunController : public QObject {
  Q_OBJECT

 public:
  // context and results are the window's; the window must not read them until finished.
  RunController(RunRequest request, RunContext& context, FindResults& results,
                QObject* parent = nullptr);
  ~RunController() override;

  void start();
  // Ends the run between two files: every file is either fully written or untouched.
  void request_stop() { stop_ = true; }
  bool stop_requested() const { return stop_; }
  const RunResult& result() const { return result_; }

 signals:
  void progress(int file_index, int file_count, int percent, const QString& file_name);
  void scopeParamChanged(const QString& name, const QString& value);
  void finished();

 private:
  class Host;
  friend class Host;

  RunRequest request_;
  RunContext& context_;
  FindResults& results_;
  RunResult result_;
  std::atomic<bool> stop_{false};
  std::unique_ptr<Host> host_;
  QThread* thread_ = nullptr;
};

// Reads and writes the clipboard as the program's bytes. Call on the GUI thread.
std::optional<std::string> clipboard_bytes();
void set_clipboard_bytes(std::string_view gbk);

}  // namespace lq::gui

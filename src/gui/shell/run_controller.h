// One batch run on a worker thread. The worker has everything it reads to itself: a copy of
// the request, operations made from a snapshot of the panels, and its own run context and
// find results. Everything else passes through one queue of calls, under this object's
// lock, that the GUI thread runs in order: progress, find results, the rewritten scope
// parameter, the end of the run, and what the worker needs of the desktop (message boxes,
// the clipboard; the worker waits for those). The signals below are emitted on the GUI
// thread.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "core/batch/operation_snapshot.h"
#include "core/batch/run_driver.h"

namespace lq::gui {

class RunController : public QObject {
  Q_OBJECT

 public:
  // request.chain is ignored: the run applies operations made from `operations`.
  RunController(RunRequest request, std::shared_ptr<const OperationSnapshot> operations,
                QObject* parent = nullptr);
  ~RunController() override;

  // After the run, the bytes every changed entry held before it (for a preview), read by
  // the worker with progress and stop like the files of the run.
  void set_keep_inputs(bool on) { keep_inputs_ = on; }

  void start();
  // Ends the run between two files: every file is either fully written or untouched.
  void request_stop() { stop_ = true; }
  bool stop_requested() const { return stop_; }

  // Valid once finished() was emitted.
  RunResult result() const;
  RunContext context() const;
  std::vector<std::string> inputs() const;  // with keep_inputs: per entry of result().changed
  // The find results handed over since the last call, in order. GUI thread only.
  FindResults take_results();

 signals:
  void progress(int file_index, int file_count, int percent, const QString& file_name);
  void scopeParamChanged(const QString& name, const QString& value);
  void resultsReady();  // take_results() has one more batch
  void finished();
  // From the worker: the queue has calls for the GUI thread.
  void callsWaiting();

 private:
  class Host;
  friend class Host;

  void work();
  // Hands the find results the worker made since the last call to the GUI side.
  void publish_results();
  // From the worker: fn runs on the GUI thread, in turn; call() also waits for it.
  void post(std::function<void()> fn);
  void call(const std::function<void()>& fn);
  void run_posted();  // on the GUI thread

  // Only the worker touches these while it runs.
  RunRequest request_;
  std::shared_ptr<const OperationSnapshot> operations_;
  RunContext work_context_;
  FindResults work_results_;
  size_t published_ = 0;
  bool keep_inputs_ = false;
  std::unique_ptr<Host> host_;

  // Shared with the GUI thread, under m_.
  mutable std::mutex m_;
  std::condition_variable answered_;
  std::deque<std::function<void()>> posted_;
  FindResults ready_;  // find results the GUI thread has been handed, not taken yet
  RunResult result_;
  RunContext context_;
  std::vector<std::string> inputs_;

  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Reads and writes the clipboard as the program's bytes. Call on the GUI thread.
std::optional<std::string> clipboard_bytes();
void set_clipboard_bytes(std::string_view gbk);

}  // namespace lq::gui

// One batch run on a worker thread. The worker has everything it reads to itself: a copy of
// the request, operations made from a snapshot of the panels, and its own run context and
// find results. What it needs of the desktop (message boxes, the clipboard) is carried to
// the GUI thread and the answer back; what it produces (progress, find results, the
// rewritten scope parameter, the result) reaches the GUI thread only through this object,
// under its lock.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <deque>
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
  // The next batch of find results, one per resultsReady(), in order; with all, every
  // batch not taken yet.
  FindResults take_results(bool all = false);

 signals:
  void progress(int file_index, int file_count, int percent, const QString& file_name);
  void scopeParamChanged(const QString& name, const QString& value);
  void resultsReady();  // take_results() has one more batch
  void finished();

 private:
  class Host;
  friend class Host;

  void work();
  // Hands the find results the worker made since the last call to the GUI side.
  void publish_results();
  void read_inputs();

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
  std::deque<FindResults> batches_;
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

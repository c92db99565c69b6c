// Operation [28]: every piece goes through a user script. The script is compiled once per
// file, at the file's first enabled piece; the document step of every file discards it,
// enabled or not, so an edited script takes effect at the next file.
//
// A script that does not compile is reported once for the file through the run's message
// callback and leaves the whole file unchanged. A runtime error leaves only that piece
// unchanged; the first one of each file is reported through the message callback, with
// the file and line, and the rest of the file goes on. A script that runs past the time
// limit ends the run with a RunError, since it would do the same on every piece.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "core/operations/operation.h"
#include "core/operations/script_engine.h"

namespace lq {

class ScriptOp : public Operation {
 public:
  ScriptOp();
  ~ScriptOp() override;

  void line_step(std::string& text) override;
  void document_step(LineList& lines, const std::string& file_name) override;

  // How long one piece may run (ten seconds unless changed).
  void set_time_limit(std::chrono::milliseconds limit) { time_limit_ = limit; }

 private:
  void report(const std::string& text);

  std::unique_ptr<ScriptEngine> engine_;
  bool failed_ = false;            // compiling failed for this file
  bool runtime_reported_ = false;  // a runtime error of this file was reported
  std::chrono::milliseconds time_limit_{std::chrono::seconds(10)};
};

std::unique_ptr<Operation> make_script_op();

}  // namespace lq

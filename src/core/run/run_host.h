// The few things a run needs from whoever started it: the GUI, the CLI or a test
// implements this. Every call comes from the thread that runs the batch.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lq {

class RunHost {
 public:
  virtual ~RunHost() = default;

  // A message the user must see (for example a script that does not compile).
  // Text is GBK bytes, as every message of the program.
  virtual void show_message(std::string_view /*text*/) {}

  // The clipboard's text as GBK bytes, or nothing when it holds no text.
  virtual std::optional<std::string> clipboard_text() { return std::nullopt; }
  virtual void set_clipboard_text(std::string_view /*gbk*/) {}

  // Called before each file with the truncated percentage of files begun.
  virtual void progress(int /*file_index*/, int /*file_count*/, int /*percent*/,
                        std::string_view /*file_name*/) {}

  // Called after an entry that added find results, with all of them not yet taken (GBK
  // lines in list order). A host that shows or writes them as they come moves them out
  // and clears `results`; what it leaves is there for the caller when the run ends.
  virtual void found(std::vector<std::string>& /*results*/) {}
  // A host that only writes the results out may take them as text instead: when this
  // answers true, the run hands them to found_text() after each entry that added some,
  // each line followed by an LF, in list order, and never to found().
  virtual bool takes_result_text() const { return false; }
  virtual void found_text(std::string_view /*lines*/) {}

  // A scope parameter that the run rewrote (the [8] fallback).
  virtual void scope_param_changed(std::string_view /*name*/, std::string_view /*value*/) {}

  // Asked between files: true stops the run before the next file.
  virtual bool stop_requested() { return false; }
};

}  // namespace lq

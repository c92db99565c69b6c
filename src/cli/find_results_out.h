// Find results written as the run finds them, file after file, rather than gathered
// until it ends: into the --results file (GBK lines, the window's stored format), as
// JSON objects, or as UTF-8 lines on standard output.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/operations/find_op.h"
#include "core/textsvc/file_services.h"

namespace lq::cli {

class FindResultsOut {
 public:
  // `stdin_path` is the stand-in name of standard input's text, shown as "-"; `matches`,
  // when given, are the occurrences to print as JSON instead of the result lines.
  FindResultsOut(std::optional<std::string> file, std::string stdin_path,
                 std::vector<FindMatch>* matches);

  // Writes and clears the results so far. A failure to write is kept for finish().
  void take(std::vector<std::string>& results);
  // Whether the results may come as text (take_text): when they only go to the file.
  bool takes_text() const { return file_ && !matches_; }
  // Writes result lines that come as text, each followed by an LF.
  void take_text(std::string_view lines);

  // Writes the rest and puts the results file in place (empty when nothing was found).
  // Answers false with `error` set when the file could not be written.
  bool finish(std::vector<std::string>& results, std::string& error);

 private:
  std::string shown(const std::string& path) const;
  void write(std::string_view bytes);

  std::optional<std::string> file_;
  std::string stdin_path_;
  std::vector<FindMatch>* matches_;
  std::unique_ptr<ReplacingFile> out_;
  std::string error_;
};

}  // namespace lq::cli

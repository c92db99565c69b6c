// The command line of lexoquill-batch, parsed into plain values. Nothing here touches a
// file: checking names and values against the scope and the operations comes after.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace lq::cli {

// Bad usage: the message names the offending argument. Exit status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One --set or --set-file, in command-line order.
struct Setting {
  std::string name;
  std::string value;  // the text given, or the file name with from_file
  bool from_file = false;
};

struct Options {
  std::optional<std::string> verb;        // the command given first, already expanded below
  std::vector<std::string> paths;         // "-" alone: standard input to standard output
  std::optional<std::string> files_from;  // more paths, one a line, from F ("-": stdin)
  bool null_separated = false;            // -0: those paths end with NUL bytes instead
  bool recursive = false;
  std::optional<std::string> ext;  // the --ext list as given
  std::optional<int> scope;
  std::optional<std::string> op;
  std::vector<Setting> settings;
  bool raw_params = false;
  std::optional<std::string> multi;
  // --expand-template TEMPLATE_FILE PARAMS_FILE: the template tool instead of a run.
  std::optional<std::pair<std::string, std::string>> expand_template;
  std::optional<std::string> recipe;
  std::optional<std::string> save_recipe;
  std::optional<bool> case_sensitive;
  std::optional<std::string> encoding;  // --encoding as given: auto, gbk, utf-8
  std::optional<std::string> eol;       // --eol as given: keep, crlf, lf
  bool binary = false;
  bool dry_run = false;
  bool diff = false;        // with dry_run: unified diffs of what would change
  bool no_journal = false;  // write without keeping the run's journal
  // Instead of a run: list the journal's runs, or undo one (an id, or "" for the last).
  bool list_runs = false;
  std::optional<std::string> undo;
  std::optional<std::string> results;
  bool json = false;  // find results as JSON lines
  int jobs = 1;
  bool quiet = false;
  bool help = false;
  bool version = false;
};

// A command given first (replace, find, upper, ...) comes back as the --op and --set it
// stands for; its arguments are the first positional arguments after it.
Options parse_args(const std::vector<std::string>& args);

}  // namespace lq::cli

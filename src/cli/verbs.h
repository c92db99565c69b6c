// Commands for the common jobs: `lexoquill-batch replace OLD NEW PATH...` and the like.
// A command is only a name for what --op and --set say: it chooses an operation by its
// number and sets controls, from fixed values and from its arguments, so a run, a dry run
// and a saved recipe come out exactly as with the long form.
#pragma once

#include <string_view>
#include <vector>

namespace lq::cli {

struct VerbSetting {
  std::string_view control;
  std::string_view value;
};

struct Verb {
  std::string_view name;
  int op;  // the catalogue number given to --op
  // One control per argument, in order; `args` names them in the usage line.
  std::vector<std::string_view> args;
  std::vector<std::string_view> controls;
  std::vector<VerbSetting> fixed;  // set before the arguments
  std::string_view summary;
  // The argument names a file whose bytes are the value, as with --set-file.
  bool arg_is_file = false;
};

// Every command, in the order of the catalogue's operations.
const std::vector<Verb>& verbs();
const Verb* find_verb(std::string_view name);

}  // namespace lq::cli

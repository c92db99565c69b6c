// The one list of lexoquill-batch's options. --help, the bash completion and the OPTIONS
// and COMMANDS sections of both manual pages are generated from it, so none of them can
// name an option the others lack; the parser is tested against it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lq::cli {

// What follows an option, for completion.
enum class Value {
  None,         // a flag
  Argument,     // not an option: a PATH form, shown in --help only
  File,         // a file name
  Free,         // a value with nothing to offer
  Scope,        // 1..15
  Op,           // a number or a panel class name
  Control,      // NAME=VALUE, names of the scope and the operations
  ControlFile,  // NAME=FILE
  Encoding,
  Eol,
  RunId,  // a run of the journal
};

struct OptionDoc {
  std::vector<std::string_view> names;  // spellings, e.g. "-r", "--recursive"
  std::string_view arg;                 // the value's name, empty for a flag
  int group;                            // index into option_groups()
  Value value;
  std::string_view help;    // for --help, lines separated by "\n"
  std::string_view man_en;  // the manual's paragraph, roff
  std::string_view man_zh;
};

const std::vector<OptionDoc>& option_docs();
const std::vector<std::string_view>& option_groups();

std::string help_text();
// The bash completion script.
std::string completion_script();
// The COMMANDS and OPTIONS sections of the manual page, roff, in "en" or "zh".
std::string man_sections(std::string_view lang);

}  // namespace lq::cli

#include "cli/options.h"

#include <algorithm>
#include <string_view>

#include "cli/verbs.h"

namespace lq::cli {
namespace {

const char* const kHelpHead =
    "Usage: lexoquill-batch [options] PATH...\n"
    "       lexoquill-batch COMMAND [ARG...] [options] PATH...\n"
    "Runs every file through one scope and one operation and writes it back in place.\n"
    "Each file keeps its code page (GBK or UTF-8), its line ends and its byte-order mark.\n"
    "\n";

const char* const kHelp =
    "Files:\n"
    "  PATH               a file (taken as is, never filtered) or a directory (its files,\n"
    "                     filtered by the extension list); a path that does not exist\n"
    "                     is an error;\n"
    "                     \"<剪贴板>\" stands for the clipboard, which has no text here:\n"
    "                     it is processed as an empty document and nothing is written\n"
    "  -                  the only PATH: read standard input, write the result to standard\n"
    "                     output (find: the results); nothing is journaled\n"
    "  --files-from F     more PATHs from file F, one a line (F \"-\": standard input)\n"
    "  -0, --null         with --files-from: paths end with a NUL byte (find -print0)\n"
    "  -r, --recursive    take directories with all their subdirectories\n"
    "  --ext LIST         extensions separated by ';', e.g. \".txt;.htm\" (default: the\n"
    "                     lines of ext1.txt in the program directory, else the built-in list)\n"
    "\n"
    "What to do:\n"
    "  --scope N          scope mode 1..15 (default 1: whole lines)\n"
    "  --op OP            the operation: its number 1..28 or its panel class name\n"
    "                     (case-insensitive); 20 and 21 pick the choice of the shared panel;\n"
    "                     without --op the files are only read and written back\n"
    "  --set NAME=VALUE   set a scope or operation control by its name, e.g.\n"
    "                     --set Edit_fw_qj1=5 or --set Edit_th1=foo; check boxes and radio\n"
    "                     buttons take 1 or 0; VALUE is text, written in each file's\n"
    "                     code page (repeatable)\n"
    "  --set-file NAME=F  the same with the value read from file F as raw bytes\n"
    "  --raw-params       take every --set value and --multi row as bytes, unconverted,\n"
    "                     whatever a file's code page\n"
    "  --multi F          rows \"old=new\", one per line, as the multi-replace table of [4]\n"
    "  --recipe F         scope, operation and values from a recipe file; --scope, --op and\n"
    "                     --set given as well take precedence\n"
    "  --save-recipe F    write the effective recipe (same format) and exit\n"
    "  --case-sensitive, --ignore-case\n"
    "                     override the \"区分大小写\" setting of sys1.ini for this run\n"
    "\n"
    "Files' text:\n"
    "  --encoding E       the code page of every file: auto (default: decided per file:\n"
    "                     a UTF-8 byte-order mark means UTF-8, text that is not valid UTF-8\n"
    "                     is GBK, otherwise the charset detector decides), gbk or utf-8\n"
    "  --eol E            line ends written: keep (default: each line's own), crlf, lf\n"
    "  --binary           also process files with a NUL byte in their first 8 KB (such\n"
    "                     files are skipped and listed otherwise)\n"
    "\n"
    "Templates:\n"
    "  --expand-template TEMPLATE_FILE PARAMS_FILE\n"
    "                     print one copy of the template per parameter row (rows end\n"
    "                     with ';', pairs name=value are separated by ','); no PATH\n"
    "\n"
    "Undo (every run that writes is kept in the journal, batch/ in the program\n"
    "directory; the last 20 runs up to 1 GB, see sys1.ini [journal]):\n"
    "  --list-runs        list the runs in the journal, newest first, and exit\n"
    "  --undo-last        undo the newest run not undone yet, and exit\n"
    "  --undo RUN_ID      undo that run, and exit; files changed since the run are listed\n"
    "                     and left alone\n"
    "\n"
    "Running:\n"
    "  --dry-run          run everything but write nothing; list the files whose content\n"
    "                     would change\n"
    "  --diff             with --dry-run: show what would change as unified diffs (text\n"
    "                     decoded per file, shown in UTF-8)\n"
    "  --no-journal       do not keep this run in the journal (it cannot be undone)\n"
    "  --results F        find results as raw GBK lines to F (default: standard output,\n"
    "                     converted to UTF-8); columns count bytes of each file\n"
    "  --json             find results as JSON, one object a line: path, line (from 1),\n"
    "                     column (bytes), match, text (in UTF-8) and the file's encoding\n"
    "  -j, --jobs N       files processed in parallel (default 1); the outcome is the same\n"
    "                     as with 1, and a file listed twice is still processed in order\n"
    "  -q, --quiet        no progress (progress goes to standard error on a terminal)\n"
    "  -h, --help         show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "Scope modes: 1 whole line; 2 first n bytes; 3 before the n-th X; 4 lines containing X;\n"
    "5 from after the a-th X to before the c-th Y; 6 lines without X; 7 lines between marker\n"
    "lines; 8 last n bytes; 9 line number n; 10 lines m1..m2; 11 lines of length n;\n"
    "12 text between B and E; 13 every n bytes; 14 after the last D; 15 after the first D.\n"
    "--save-recipe shows every control name with its current value.\n"
    "\n"
    "Exit status: 0 done; 1 the run stopped on an error (its message on standard error);\n"
    "2 bad usage.\n";

bool parse_number(std::string_view text, int& out) {
  if (text.empty() || text.size() > 9) return false;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  out = v;
  return true;
}

Setting parse_setting(const std::string& option, const std::string& arg, bool from_file) {
  const size_t eq = arg.find('=');
  if (eq == std::string::npos || eq == 0)
    throw UsageError(option + " needs NAME=" + (from_file ? "FILE" : "VALUE") + ", got '" + arg +
                     "'");
  return {arg.substr(0, eq), arg.substr(eq + 1), from_file};
}

// The command's operation and controls, in the order --op and --set would give them, ahead
// of the --set options of the command line (which therefore win).
void expand_verb(Options& o, const Verb& verb, bool regex, bool wildcards) {
  const std::string name(verb.name);
  if (o.op)
    throw UsageError("'" + name + "' chooses operation [" + std::to_string(verb.op) +
                     "]; --op cannot be given as well");
  if ((regex || wildcards) && verb.name != "replace")
    throw UsageError(std::string(regex ? "-E" : "-w") + " belongs to the replace command");
  if (o.paths.size() < verb.args.size()) {
    std::string usage;
    for (std::string_view a : verb.args) usage += " " + std::string(a);
    throw UsageError("'" + name + "' needs" + usage + ": lexoquill-batch " + name + usage +
                     " [options] PATH...");
  }
  o.op = std::to_string(verb.op);
  std::vector<Setting> settings;
  for (const VerbSetting& f : verb.fixed)
    settings.push_back({std::string(f.control), std::string(f.value), false});
  for (size_t k = 0; k < verb.args.size(); ++k)
    settings.push_back({std::string(verb.controls[k]), o.paths[k], verb.arg_is_file});
  if (regex) settings.push_back({"CheckBox_th_r2", "1", false});
  if (wildcards) settings.push_back({"CheckBox_th_r1", "1", false});
  o.paths.erase(o.paths.begin(), o.paths.begin() + static_cast<std::ptrdiff_t>(verb.args.size()));
  settings.insert(settings.end(), o.settings.begin(), o.settings.end());
  o.settings = std::move(settings);
  o.verb = name;
}

}  // namespace

std::string help_text() {
  std::string text = kHelpHead;
  text += "Commands (each one stands for --op N with --set values; --save-recipe shows them):\n";
  for (const Verb& v : verbs()) {
    std::string head = "  " + std::string(v.name);
    for (std::string_view a : v.args) head += " " + std::string(a);
    head.resize(std::max<size_t>(head.size() + 1, 21), ' ');
    text += head + std::string(v.summary) + "\n";
  }
  text += "  -E, -w             with replace: OLD is a regular expression / has wildcards\n";
  text += "  -i, -s             short for --ignore-case / --case-sensitive\n\n";
  return text + kHelp;
}

Options parse_args(const std::vector<std::string>& args) {
  Options o;
  bool options_end = false;
  bool regex = false, wildcards = false;
  const Verb* verb = args.empty() ? nullptr : find_verb(args.front());
  for (size_t i = verb ? 1 : 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (options_end || arg.empty() || arg[0] != '-' || arg == "-") {
      o.paths.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    // "--name=value" and "-jN" carry their value inside.
    std::optional<std::string> inline_value;
    if (arg.starts_with("--")) {
      if (size_t eq = arg.find('='); eq != std::string::npos) {
        inline_value = arg.substr(eq + 1);
        arg.resize(eq);
      }
    } else if (arg.size() > 2 && arg[1] == 'j') {
      inline_value = arg.substr(2);
      arg = "-j";
    }
    auto value = [&]() -> std::string {
      if (inline_value) return *inline_value;
      if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
      return args[++i];
    };
    auto flag = [&](bool& target) {
      if (inline_value) throw UsageError(arg + " takes no value");
      target = true;
    };

    if (arg == "-r" || arg == "--recursive") {
      flag(o.recursive);
    } else if (arg == "--files-from") {
      o.files_from = value();
    } else if (arg == "-0" || arg == "--null") {
      flag(o.null_separated);
    } else if (arg == "--json") {
      flag(o.json);
    } else if (arg == "--ext") {
      o.ext = value();
    } else if (arg == "--scope") {
      const std::string v = value();
      int n;
      if (!parse_number(v, n) || n < 1 || n > 15)
        throw UsageError("--scope takes a mode from 1 to 15, got '" + v + "'");
      o.scope = n;
    } else if (arg == "--op") {
      o.op = value();
    } else if (arg == "--set") {
      o.settings.push_back(parse_setting(arg, value(), false));
    } else if (arg == "--set-file") {
      o.settings.push_back(parse_setting(arg, value(), true));
    } else if (arg == "--raw-params") {
      flag(o.raw_params);
    } else if (arg == "--multi") {
      o.multi = value();
    } else if (arg == "--expand-template") {
      const std::string template_file = value();
      if (inline_value || i + 1 >= args.size())
        throw UsageError(arg + " needs TEMPLATE_FILE and PARAMS_FILE");
      o.expand_template = std::make_pair(template_file, args[++i]);
    } else if (arg == "--recipe") {
      o.recipe = value();
    } else if (arg == "--save-recipe") {
      o.save_recipe = value();
    } else if (arg == "--case-sensitive" || arg == "--ignore-case" || arg == "-s" || arg == "-i") {
      bool on = false;
      flag(on);
      o.case_sensitive = arg == "--case-sensitive" || arg == "-s";
    } else if (arg == "-E") {
      flag(regex);
    } else if (arg == "-w") {
      flag(wildcards);
    } else if (arg == "--encoding") {
      o.encoding = value();
    } else if (arg == "--eol") {
      o.eol = value();
    } else if (arg == "--binary") {
      flag(o.binary);
    } else if (arg == "--dry-run") {
      flag(o.dry_run);
    } else if (arg == "--diff") {
      flag(o.diff);
    } else if (arg == "--no-journal") {
      flag(o.no_journal);
    } else if (arg == "--list-runs") {
      flag(o.list_runs);
    } else if (arg == "--undo-last") {
      bool on = false;
      flag(on);
      o.undo = "";
    } else if (arg == "--undo") {
      const std::string id = value();
      if (id.empty()) throw UsageError("--undo needs a RUN_ID (see --list-runs)");
      o.undo = id;
    } else if (arg == "--results") {
      o.results = value();
    } else if (arg == "-j" || arg == "--jobs") {
      const std::string v = value();
      int n;
      if (!parse_number(v, n) || n < 1 || n > 256)
        throw UsageError(arg + " takes a number of files from 1 to 256, got '" + v + "'");
      o.jobs = n;
    } else if (arg == "-q" || arg == "--quiet") {
      flag(o.quiet);
    } else if (arg == "-h" || arg == "--help") {
      flag(o.help);
    } else if (arg == "--version") {
      flag(o.version);
    } else {
      throw UsageError("unknown option '" + args[i] + "'");
    }
  }
  if (o.diff && !o.dry_run) throw UsageError("--diff shows what --dry-run would change; give both");
  if (o.null_separated && !o.files_from)
    throw UsageError("-0 says how --files-from separates its paths; give both");
  if (o.json && o.results) throw UsageError("--json and --results: give one of them");
  if (verb)
    expand_verb(o, *verb, regex, wildcards);
  else if (regex || wildcards)
    throw UsageError(std::string(regex ? "-E" : "-w") + " belongs to the replace command");
  return o;
}

}  // namespace lq::cli

#include "cli/options.h"

#include <algorithm>
#include <string_view>

#include "cli/verbs.h"

namespace lq::cli {
namespace {

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

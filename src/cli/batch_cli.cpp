#include "cli/batch_cli.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/cli_version.h"
#include "cli/expand_template.h"
#include "cli/file_args.h"
#include "cli/journal_cli.h"
#include "cli/options.h"
#include "core/batch/journal_format.h"
#include "core/batch/recipe.h"
#include "core/batch/run_driver.h"
#include "core/encoding/code_page.h"
#include "core/operations/panel_stack.h"
#include "core/operations/replace_op.h"
#include "core/settings/ini_file.h"
#include "core/settings/sys_settings.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/message_catalogue.h"
#include "core/textsvc/str_helpers.h"

namespace lq::cli {
namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void on_signal(int sig) {
  // The first signal stops the run between files; a second one ends the program at once.
  g_stop = 1;
  std::signal(sig, SIG_DFL);
}

bool valid_utf8(std::string_view s) {
  size_t k = 0;
  while (k < s.size()) {
    const unsigned char c = s[k];
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || k + n > s.size()) return false;
    for (size_t j = 1; j < n; ++j)
      if ((static_cast<unsigned char>(s[k + j]) & 0xC0) != 0x80) return false;
    k += n;
  }
  return true;
}

// For the terminal: messages are GBK, file names are the file system's bytes (UTF-8 as a
// rule). Text that already reads as UTF-8 is shown as it is.
std::string for_terminal(std::string_view bytes) {
  return valid_utf8(bytes) ? std::string(bytes) : gbk_code_page().to_utf8(bytes);
}

std::string read_bytes(const std::string& path, const std::string& what) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError("cannot read " + what + " '" + path + "'");
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The CLI's panel stack holds exactly the chosen operation, enabled, with its values; no
// other panel takes part, so a run applies one operation over the scope.
// The --multi rows, when given, stand for an open multi-replace window of [4].
using MultiRows = std::optional<std::vector<ReplaceRow>>;

WorkerOperations make_operations(const Recipe& recipe, const MultiRows& rows = std::nullopt) {
  WorkerOperations w;
  if (!recipe.op) return w;
  std::unique_ptr<Operation> op = PanelClassRegistry::instance().create(recipe.op->class_name);
  op->params().merge_from(recipe.values);
  if (auto* replace = dynamic_cast<ReplaceOp*>(op.get()); replace && rows)
    replace->set_multi_rows(*rows);
  op->SetEnabled(true);
  w.chain.append(op.get());
  w.owned.push_back(std::move(op));
  return w;
}

class CliHost : public RunHost {
 public:
  explicit CliHost(bool show_progress) : show_progress_(show_progress) {}
  ~CliHost() override { clear_line(); }

  void show_message(std::string_view text) override {
    clear_line();
    std::fprintf(stderr, "%s\n", for_terminal(text).c_str());
  }
  void progress(int, int, int percent, std::string_view name) override {
    if (!show_progress_) return;
    std::string shown = for_terminal(name);
    if (shown.size() > 60) shown = "..." + shown.substr(shown.size() - 57);
    std::fprintf(stderr, "\r\033[K%3d%% %s", percent, shown.c_str());
    std::fflush(stderr);
    dirty_ = true;
  }
  bool stop_requested() override { return g_stop != 0; }

  void clear_line() {
    if (dirty_) std::fputs("\r\033[K", stderr);
    dirty_ = false;
  }

 private:
  bool show_progress_;
  bool dirty_ = false;
};

// What the run did with each file, on standard error: nothing is skipped silently.
void print_summary(const RunResult& res, bool quiet) {
  for (const auto& s : res.skipped)
    std::fprintf(stderr, "%s: skipped %s: %s\n", kProgramName, for_terminal(s.entry).c_str(),
                 s.reason == SkipReason::Binary
                     ? "binary file (a NUL byte in its first 8 KB; --binary processes it)"
                     : "the operation does not apply to its code page");
  if (quiet) return;
  const size_t changed = res.changed.size(), skipped = res.skipped.size();
  const size_t done = static_cast<size_t>(res.files_done);
  const size_t unchanged = done >= changed + skipped ? done - changed - skipped : 0;
  std::fprintf(stderr, "%s: %zu changed, %zu unchanged, %zu skipped\n", kProgramName, changed,
               unchanged, skipped);
}

int usage_error(const std::string& message) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgramName,
               message.c_str(), kProgramName);
  return 2;
}

LineList file_list(const Options& o) {
  LineList exts;
  if (o.ext)
    split_str1(*o.ext, exts, ";");
  else
    exts = ext_list1(ext_file_path());
  std::vector<std::string> notes;
  auto say_notes = [&notes] {
    for (const std::string& n : notes)
      std::fprintf(stderr, "%s: %s\n", kProgramName, for_terminal(n).c_str());
  };
  try {
    LineList files = collect_files(o.paths, o.recursive, exts, notes);
    say_notes();
    return files;
  } catch (const PathError&) {
    say_notes();
    throw;
  }
}

int run(const Options& o) {
  Recipe recipe;
  if (o.recipe) load_recipe(recipe, *o.recipe);
  if (o.scope) recipe.scope.select(*o.scope);
  if (o.op) choose_operation(recipe, *o.op);
  for (const Setting& s : o.settings) {
    if (s.from_file)
      set_control(recipe, s.name, read_bytes(s.value, "value file for " + s.name),
                  ValueForm::Bytes);
    else
      set_control(recipe, s.name, s.value, o.raw_params ? ValueForm::Bytes : ValueForm::Unicode);
  }
  if (o.encoding) set_file_option(recipe, "encoding", *o.encoding);
  if (o.eol) set_file_option(recipe, "eol", *o.eol);
  if (o.binary) recipe.binary = true;
  if (o.multi && (!recipe.op || recipe.op->class_name != "TControlForm_th"))
    throw UsageError("--multi needs the replace operation (--op 4)");

  if (o.save_recipe) {
    std::ofstream out(*o.save_recipe, std::ios::binary);
    out << recipe_text(recipe);
    out.close();
    if (!out) throw UsageError("cannot write recipe '" + *o.save_recipe + "'");
    return 0;
  }
  if (o.paths.empty()) throw UsageError("no PATH given");
  if (recipe.op && !recipe.op->factory) {
    const OperationInfo& e = recipe.op->entries.front();
    throw UsageError("operation [" + std::to_string(e.number) + "] " + recipe.op->class_name +
                     " is not available in this version");
  }
  MultiRows rows;
  if (o.multi) {
    // One row a line, "old=new"; a CR before the LF is not part of the row.
    LineList lines;
    split_str1(replace_all(read_bytes(*o.multi, "multi-replace rows"), "\r", ""), lines, "\n");
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    rows.emplace();
    for (const std::string& line : lines)
      rows->push_back(parse_replace_row(o.raw_params ? line : gbk_code_page().from_utf8(line)));
  }

  RunRequest req;
  req.files = file_list(o);
  req.scope = recipe.scope;
  const SysSettings settings = read_sys_settings(IniFile(sys_ini_path()));
  req.case_sensitive = o.case_sensitive ? *o.case_sensitive : settings.case_sensitive;
  req.dry_run = o.dry_run;
  req.keep_output = o.diff;
  req.encoding = recipe.encoding.value_or(settings.encoding);
  req.eol = recipe.eol.value_or(settings.eol);
  req.binary = recipe.binary.value_or(settings.binary);
  std::optional<RunJournal> journal;
  if (!o.dry_run && !o.no_journal && settings.journal_runs > 0) {
    journal.emplace(journal_dir1(), recipe_text(recipe), journal_limits(settings));
    req.journal = &*journal;
  }
  req.jobs = o.jobs;
  // Operations that write files of their own must see the files in list order.
  req.parallel_safe = !recipe.op || (recipe.op->class_name != "TControlForm_saveas" &&
                                     recipe.op->class_name != "TControlForm_sp_file");
  WorkerOperations main_ops = make_operations(recipe, rows);
  req.chain = main_ops.chain;
  req.make_operations = [&recipe, &rows] { return make_operations(recipe, rows); };

  RunContext context;
  FindResults results;
  CliHost host(!o.quiet && isatty(STDERR_FILENO));
  std::signal(SIGINT, on_signal);
  std::signal(SIGTERM, on_signal);
  const RunResult res = RunDriver(context, results, host).run(std::move(req));
  host.clear_line();

  MessageCatalogue catalogue;
  auto message = [&](const MessageId& m) {
    // The catalogue hands texts back with CR LF breaks; a terminal wants LF.
    const std::string text = replace_all(lg1::get_text1(catalogue, m), "\r\n", "\n");
    std::fprintf(stderr, "%s\n", gbk_code_page().to_utf8(text).c_str());
  };
  if (o.diff)
    print_diffs(res, stdout);
  else if (o.dry_run)
    for (const std::string& f : res.changed) std::printf("%s\n", f.c_str());
  if (context.find_ran) {
    if (o.results) {
      size_t size = 0;
      for (const std::string& line : results) size += line.size() + 1;
      std::string text;
      text.reserve(size);
      for (const std::string& line : results) text.append(line).push_back('\n');
      try {
        write_file1(*o.results, text);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", for_terminal(e.what()).c_str());
        return 1;
      }
    } else {
      for (const std::string& line : results)
        std::printf("%s\n", gbk_code_page().to_utf8(line).c_str());
    }
  }
  std::fflush(stdout);
  const int code = [&] {
    switch (res.status) {
      case RunStatus::Done:
        return 0;
      case RunStatus::NoFiles:
        message(kMsgNoFiles);
        return 1;
      case RunStatus::BadCount:
        message(kMsgNotInteger);
        return 1;
      case RunStatus::Stopped:
        std::fprintf(stderr, "%s: stopped after %d of %zu files\n", kProgramName, res.files_done,
                     static_cast<size_t>(context.file_count));
        return 1;
      case RunStatus::Failed:
        std::fprintf(stderr, "%s\n", for_terminal(res.error).c_str());
        return 1;
    }
    return 1;
  }();
  print_summary(res, o.quiet);
  if (journal && !journal->id().empty() && !o.quiet)
    std::fprintf(stderr, "%s: to undo this run: --undo %s (%d file%s kept in the journal)\n",
                 kProgramName, journal->id().c_str(), journal->files(),
                 journal->files() == 1 ? "" : "s");
  return code;
}

}  // namespace

int run_cli(int argc, char** argv) {
  // A full disk or a size limit must end a write with an error, not kill the program.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    const Options o = parse_args(args);
    if (o.help) {
      std::fputs(help_text().c_str(), stdout);
      return 0;
    }
    if (o.version) {
      std::printf("%s %s\n", kProgramName, LEXOQUILL_VERSION);
      return 0;
    }
    if (o.list_runs) return list_runs(stdout);
    if (o.undo) return undo(*o.undo, stdout, stderr);
    if (o.expand_template)
      return run_expand_template(o.expand_template->first, o.expand_template->second, stdout,
                                 stderr);
    return run(o);
  } catch (const UsageError& e) {
    return usage_error(e.what());
  } catch (const RecipeError& e) {
    return usage_error(e.what());
  } catch (const PathError& e) {
    std::fprintf(stderr, "%s: %s\n", kProgramName, for_terminal(e.what()).c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", for_terminal(e.what()).c_str());
    return 1;
  }
}

}  // namespace lq::cli

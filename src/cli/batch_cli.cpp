#include "cli/batch_cli.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

#include "cli/cli_version.h"
#include "cli/expand_template.h"
#include "cli/file_args.h"
#include "cli/find_json.h"
#include "cli/find_results_out.h"
#include "cli/journal_cli.h"
#include "cli/option_table.h"
#include "cli/options.h"
#include "core/batch/journal_format.h"
#include "core/batch/recipe.h"
#include "core/batch/run_driver.h"
#include "core/encoding/byte_scan.h"
#include "core/encoding/code_page.h"
#include "core/operations/find_op.h"
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

// For the terminal: messages are GBK, file names are the file system's bytes (UTF-8 as a
// rule). Text that already reads as UTF-8 is shown as it is.
std::string for_terminal(std::string_view bytes) {
  return is_utf8_text(bytes) ? std::string(bytes) : gbk_code_page().to_utf8(bytes);
}

std::string read_bytes(const std::string& path, const std::string& what) {
  int err = 0;
  std::optional<std::string> bytes = read_file_bytes(path, &err);
  if (!bytes) throw UsageError("cannot read " + what + " '" + path + "': " + std::strerror(err));
  return std::move(*bytes);
}

// The CLI's panel stack holds exactly the chosen operation, enabled, with its values; no
// other panel takes part, so a run applies one operation over the scope.
// The --multi rows, when given, stand for an open multi-replace window of [4].
using MultiRows = std::optional<std::vector<ReplaceRow>>;

// With `matches`, the find operation also hands over its occurrences as data.
WorkerOperations make_operations(const Recipe& recipe, const MultiRows& rows,
                                 std::vector<FindMatch>* matches) {
  WorkerOperations w;
  if (!recipe.op) return w;
  std::unique_ptr<Operation> op = PanelClassRegistry::instance().create(recipe.op->class_name);
  op->params().merge_from(recipe.values);
  if (auto* replace = dynamic_cast<ReplaceOp*>(op.get()); replace && rows)
    replace->set_multi_rows(*rows);
  if (auto* find = dynamic_cast<FindOp*>(op.get())) find->set_match_sink(matches);
  op->set_enabled(true);
  w.chain.append(op.get());
  w.owned.push_back(std::move(op));
  return w;
}

class CliHost : public RunHost {
 public:
  CliHost(bool show_progress, FindResultsOut& results_out)
      : show_progress_(show_progress), results_out_(results_out) {}
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
  void found(std::vector<std::string>& results) override {
    clear_line();
    results_out_.take(results);
  }
  bool takes_result_text() const override { return results_out_.takes_text(); }
  void found_text(std::string_view lines) override {
    clear_line();
    results_out_.take_text(lines);
  }

  void clear_line() {
    if (dirty_) std::fputs("\r\033[K", stderr);
    dirty_ = false;
  }

 private:
  bool show_progress_;
  FindResultsOut& results_out_;
  bool dirty_ = false;
};

// What the run did with each file, on standard error: nothing is skipped silently.
void print_summary(const RunResult& res, bool quiet) {
  for (const auto& s : res.skipped)
    std::fprintf(stderr, "%s: skipped %s: %s\n", kProgramName, for_terminal(s.entry).c_str(),
                 s.reason == SkipReason::Binary
                     ? "binary file (a NUL byte in its first 8 KB; --binary processes it)"
                     : "the operation does not apply to its code page");
  if (res.unconverted_chars > 0)
    std::fprintf(
        stderr,
        "%s: %lld characters kept unconverted: their file's code page lacks the converted form\n",
        kProgramName, static_cast<long long>(res.unconverted_chars));
  if (quiet) return;
  const size_t changed = res.changed.size(), skipped = res.skipped.size();
  const size_t done = static_cast<size_t>(res.files_done);
  const size_t unchanged = done >= changed + skipped ? done - changed - skipped : 0;
  std::fprintf(stderr, "%s: %zu changed, %zu unchanged, %zu skipped\n", kProgramName, changed,
               unchanged, skipped);
}

// All of a stream's bytes; nothing when reading fails (errno says why).
std::optional<std::string> read_stream(std::FILE* in) {
  std::string bytes;
  char buf[1 << 16];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) bytes.append(buf, n);
  if (std::ferror(in)) return std::nullopt;
  return bytes;
}

// The paths of --files-from, one a line or one per NUL; empty items are no paths.
void add_files_from(Options& o) {
  std::optional<std::string> list;
  if (*o.files_from == "-") {
    list = read_stream(stdin);
  } else if (std::FILE* f = std::fopen(o.files_from->c_str(), "rb")) {
    list = read_stream(f);
    std::fclose(f);
  }
  if (!list)
    throw PathError("cannot read the file list '" + *o.files_from + "': " + std::strerror(errno));
  LineList items;
  split_str(*list, items, o.null_separated ? std::string(1, '\0') : std::string("\n"));
  for (std::string& item : items)
    if (!item.empty()) o.paths.push_back(std::move(item));
}

// Standard input kept in a private temporary file while the run reads it: the run driver
// works on files.
class StdinFile {
 public:
  explicit StdinFile(std::string bytes) : bytes_(std::move(bytes)) {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/lexoquill-stdin-XXXXXX";
    if (!mkdtemp(tmpl.data()))
      throw PathError("cannot make a temporary directory for standard input: " +
                      std::string(std::strerror(errno)));
    dir_ = tmpl;
    path_ = dir_ + "/stdin";
    write_file_atomically(path_, bytes_);
  }
  ~StdinFile() {
    std::remove(path_.c_str());
    rmdir(dir_.c_str());
  }
  const std::string& path() const { return path_; }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_, dir_, path_;
};

bool write_all(std::FILE* out, std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
}

int usage_error(const std::string& message) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgramName,
               message.c_str(), kProgramName);
  return 2;
}

LineList file_list(const Options& o) {
  LineList exts;
  if (o.ext)
    split_str(*o.ext, exts, ";");
  else
    exts = ext_list(ext_file_path());
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

int run(Options o) {
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
  if (o.files_from) add_files_from(o);
  if (o.paths.empty()) throw UsageError("no PATH given");
  const bool stream = std::find(o.paths.begin(), o.paths.end(), "-") != o.paths.end();
  const std::string op_class = recipe.op ? recipe.op->class_name : "";
  if (stream) {
    if (o.paths.size() != 1) throw UsageError("'-' (standard input) must be the only PATH");
    if (o.files_from == "-")
      throw UsageError("'-' and --files-from - cannot both read standard input");
    if (o.dry_run)
      throw UsageError("--dry-run with '-': standard input is never written over anyway");
    if (op_class == "TControlForm_saveas" || op_class == "TControlForm_sp_file")
      throw UsageError("operation [" + std::to_string(recipe.op->entries.front().number) +
                       "] writes files next to its input; '-' has no place for them");
  }
  if (o.json && op_class != "TControlForm_find")
    throw UsageError("--json prints find results: it needs find (--op 6)");
  if (recipe.op && !recipe.op->factory) {
    const OperationInfo& e = recipe.op->entries.front();
    throw UsageError("operation [" + std::to_string(e.number) + "] " + recipe.op->class_name +
                     " is not available in this version");
  }
  MultiRows rows;
  if (o.multi) {
    // One row a line, "old=new"; a CR before the LF is not part of the row.
    LineList lines;
    split_str(replace_all(read_bytes(*o.multi, "multi-replace rows"), "\r", ""), lines, "\n");
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    rows.emplace();
    for (const std::string& line : lines)
      rows->push_back(parse_replace_row(o.raw_params ? line : gbk_code_page().from_utf8(line)));
  }

  std::optional<StdinFile> input;
  if (stream) {
    std::optional<std::string> bytes = read_stream(stdin);
    if (!bytes) throw PathError("cannot read standard input: " + std::string(std::strerror(errno)));
    input.emplace(std::move(*bytes));
  }
  // What the user sees for an entry: "-" for standard input.
  auto shown = [&input](const std::string& entry) {
    return input && entry == input->path() ? std::string("-") : entry;
  };

  RunRequest req;
  req.files = input ? LineList{input->path()} : file_list(o);
  req.scope = recipe.scope;
  const SysSettings settings = read_sys_settings(IniFile(sys_ini_path()));
  req.case_sensitive = o.case_sensitive ? *o.case_sensitive : settings.case_sensitive;
  // Standard input is processed as a preview whose output goes to standard output.
  req.dry_run = o.dry_run || stream;
  req.keep_output = o.diff || stream;
  req.encoding = recipe.encoding.value_or(settings.encoding);
  req.eol = recipe.eol.value_or(settings.eol);
  req.binary = recipe.binary.value_or(settings.binary);
  std::optional<RunJournal> journal;
  if (!req.dry_run && !o.no_journal && settings.journal_runs > 0) {
    journal.emplace(run_journal_dir(), recipe_text(recipe), journal_limits(settings));
    req.journal = &*journal;
  }
  // Matches are collected by one operation, in list order.
  req.jobs = o.json ? 1 : o.jobs;
  // Operations that write files of their own must see the files in list order.
  req.parallel_safe = !recipe.op || (recipe.op->class_name != "TControlForm_saveas" &&
                                     recipe.op->class_name != "TControlForm_sp_file");
  std::vector<FindMatch> matches;
  WorkerOperations main_ops = make_operations(recipe, rows, o.json ? &matches : nullptr);
  req.chain = main_ops.chain;
  req.make_operations = [&recipe, &rows] { return make_operations(recipe, rows, nullptr); };

  RunContext context;
  FindResults results;
  FindResultsOut results_out(o.results, input ? input->path() : std::string(),
                             o.json ? &matches : nullptr);
  CliHost host(!o.quiet && !stream && isatty(STDERR_FILENO), results_out);
  std::signal(SIGINT, on_signal);
  std::signal(SIGTERM, on_signal);
  RunResult res = RunDriver(context, results, host).run(std::move(req));
  host.clear_line();
  if (input) {
    res.error = replace_all(res.error, input->path(), "-");
    for (auto& s : res.skipped) s.entry = shown(s.entry);
  }

  MessageCatalogue catalogue;
  auto message = [&](const MessageId& m) {
    // The catalogue hands texts back with CR LF breaks; a terminal wants LF.
    const std::string text = replace_all(catalogue_text::get_text(catalogue, m), "\r\n", "\n");
    std::fprintf(stderr, "%s\n", gbk_code_page().to_utf8(text).c_str());
  };
  if (o.diff)
    print_diffs(res, stdout);
  else if (o.dry_run)
    for (const std::string& f : res.changed) std::printf("%s\n", f.c_str());
  if (input && !context.find_ran && res.status == RunStatus::Done &&
      !write_all(stdout, res.changed.empty() ? input->bytes() : res.outputs.front())) {
    std::fprintf(stderr, "%s: cannot write standard output: %s\n", kProgramName,
                 std::strerror(errno));
    return 1;
  }
  if (context.find_ran) {
    std::string error;
    if (!results_out.finish(results, error)) {
      std::fprintf(stderr, "%s\n", for_terminal(error).c_str());
      return 1;
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
  print_summary(res, o.quiet || stream);
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
  // Hidden modes for the build: the completion script and the manual's generated sections.
  if (args.size() == 2 && args[0] == "--print-completion" && args[1] == "bash") {
    std::fputs(completion_script().c_str(), stdout);
    return 0;
  }
  if (args.size() == 2 && args[0] == "--print-man" && (args[1] == "en" || args[1] == "zh")) {
    std::fputs(man_sections(args[1]).c_str(), stdout);
    return 0;
  }
  try {
    Options o = parse_args(args);
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
    return run(std::move(o));
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

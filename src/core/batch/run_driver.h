// Start, without a window: every entry of the file list is loaded, passed through the
// document steps, the scope and the line steps, and written back with CR LF after every
// line (or put back on the clipboard for the clipboard entry).
//
// A driver holds no state between runs and touches nothing global: the caller hands it
// the run context and find results to publish into, the host to talk to, and a request
// carrying copies of everything the run reads, so a run may go on any one thread. The
// host is called only from the thread that called run().
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/batch/run_journal.h"
#include "core/encoding/text_detect.h"
#include "core/operations/operation.h"
#include "core/operations/operation_chain.h"
#include "core/run/run_context.h"
#include "core/run/run_host.h"
#include "core/scope/scope_settings.h"
#include "core/textsvc/message_catalogue.h"
#include "core/textsvc/text_layout.h"

namespace lq {

// The run's messages, by catalogue id with their built-in texts.
using RunMessage = MessageId;
inline constexpr const RunMessage& kMsgCheckCaption = msg::kHintCaption;
inline constexpr const RunMessage& kMsgNoFiles = msg::kNoFiles;
inline constexpr const RunMessage& kMsgNotInteger = msg::kNeedInteger;
inline constexpr const RunMessage& kMsgDone = msg::kDone;

// The operations of one worker of a parallel run: owned here, listed in chain order.
struct WorkerOperations {
  std::vector<std::unique_ptr<IControlTF>> owned;
  OperationChain chain;
};

struct RunRequest {
  std::vector<std::string> files;  // the file list: paths, or kClipboardEntry
  ScopeSettings scope;             // the run's own copy; [8] may rewrite Edit_fw_hj1
  OperationChain chain;            // the operations of a one-job run (not owned)
  bool case_sensitive = false;     // "区分大小写"
  bool dry_run = false;            // process everything, write nothing
  // Keeps what the run replaces and creates so that it can be undone (not in a dry run).
  // A file is only replaced once the journal holds it.
  RunJournal* journal = nullptr;
  // Keeps, for every entry whose content changes, the bytes it gets (for a preview).
  bool keep_output = false;
  // Parallel files: with jobs > 1 and make_operations set, each worker gets operations of
  // its own. Files are still committed (written, reported) strictly in list order, so
  // the outcome is the same as with one job. The driver falls back to one job when the
  // run's result could depend on the order of processing: the caller says so with
  // parallel_safe = false (operations that write files of their own), and the driver
  // itself knows the scope [8] fallback.
  int jobs = 1;
  std::function<WorkerOperations()> make_operations;
  bool parallel_safe = true;
  // Each file's code page ("自动" decides per file), its line ends on writing, and
  // whether files holding NUL bytes are processed.
  EncodingChoice encoding = EncodingChoice::Auto;
  EolPolicy eol = EolPolicy::Keep;
  bool binary = false;
};

// Why an entry was left alone: it holds NUL bytes (a binary file), or the operation does
// not apply to its code page.
enum class SkipReason { Binary, NotApplicable };

enum class RunStatus {
  Done,      // every entry processed; show the find results or kMsgDone
  NoFiles,   // refused: the file list is empty (kMsgNoFiles), nothing happened
  BadCount,  // refused: scope [2]'s count is not an integer (kMsgNotInteger)
  Stopped,   // the host asked to stop; the entries before stay written
  Failed,    // an error ended the run at entry `context.file_index`
};

struct RunResult {
  RunStatus status = RunStatus::Done;
  std::string error;   // Failed: the error's text, exactly as the user is shown it
  int files_done = 0;  // entries completed (written, or found unchanged)
  // Entries whose content changed (would change, in a dry run), in list order, once per
  // occurrence in the list. The clipboard entry counts when its text changed.
  std::vector<std::string> changed;
  // With keep_output: per entry of `changed`, in the same order, the new bytes.
  std::vector<std::string> outputs;
  // Files the operations wrote (would write, in a dry run) besides the entries: [5]
  // copies, [24] parts, with the entry they came from.
  struct OwnWrite {
    std::string entry;
    std::string path;
  };
  std::vector<OwnWrite> own_writes;
  // Entries left alone, in list order; they count among files_done.
  struct Skipped {
    std::string entry;
    SkipReason reason;
  };
  std::vector<Skipped> skipped;
  // Characters a conversion left in their own form because their converted form does not
  // exist in their file's code page, over all entries (see RunContext).
  std::int64_t unconverted_chars = 0;
  ScopeSettings scope;  // the scope settings as the run left them
};

class RunDriver {
 public:
  RunDriver(RunContext& context, FindResults& results, RunHost& host)
      : context_(context), results_(results), host_(host) {}

  // The two input checks of Start, in their order; nothing when the run may go ahead.
  // The GUI calls this first, then takes its editor snapshot, then run().
  static std::optional<RunMessage> check_input(const RunRequest& request);

  RunResult run(RunRequest request);

 private:
  RunContext& context_;
  FindResults& results_;
  RunHost& host_;
};

// The bytes written back for a document: every line followed by CR LF.
std::string join_crlf(const LineList& lines);

}  // namespace lq

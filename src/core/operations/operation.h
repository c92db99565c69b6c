// The contract between the batch run and an operation. The run never knows an
// operation by name: it asks every operation in the chain to transform the whole
// document, then every piece of text the scope selects. A disabled operation leaves
// the text alone, except for the two housekeeping document steps (find and script).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/operations/param.h"
#include "core/textsvc/line_list.h"

namespace lq {

struct RunContext;
class RunHost;
class CodePage;

// Everything an operation may read or touch during a run besides its parameters.
struct OperationEnv {
  RunContext* context = nullptr;
  std::vector<std::string>* find_results = nullptr;
  RunHost* host = nullptr;
  bool case_sensitive = false;  // "区分大小写" in the settings
  // A dry run writes nothing: an operation that writes files of its own ([5], [24]) must
  // skip the writing when this is set.
  bool dry_run = false;
  // Called with the path and the bytes before every file an operation writes of its own
  // ([5], [24]), in a dry run too (where nothing is written after). It may throw to refuse
  // the write (the journal could not keep the file).
  std::function<void(const std::string& path, std::string_view bytes)> before_own_write = {};
  // When set, a find adds its result lines here instead of to find_results, each followed
  // by an LF: a host that only writes them out spares a string per occurrence.
  std::string* find_result_text = nullptr;
};

// A change of a file's bytes as a whole, whatever its lines, given the file a piece at a
// time as it is read.
class WholeFileConversion {
 public:
  virtual ~WholeFileConversion() = default;
  // Appends what the next bytes of the file become to `out` and answers how many of them it
  // took: unless `last` (the file's final bytes, all taken), the start of a character cut
  // by the end of `bytes` is left, to be given again in front of the bytes that follow.
  // Each character is converted on its own, so where the output equals the bytes taken,
  // the file holds nothing to change.
  virtual size_t convert(std::string_view bytes, bool last, std::string& out) = 0;
  // The code page of what it writes.
  virtual const CodePage& result_page() const = 0;
};

class IControlTF {
 public:
  virtual ~IControlTF() = default;
  virtual void set_enabled(bool value) = 0;
  virtual void line_step(std::string& text) = 0;
  virtual void document_step(LineList& lines, const std::string& file_name) = 0;
  // The run hands every member of the chain what it may read during the run before the
  // first file. Panels that need nothing of it ignore it.
  virtual void set_env(const OperationEnv& /*env*/) {}
  // The code page of the entry about to be processed (null after the run): parameters are
  // read as bytes of it. Throws ParamEncodeError when a value holds a character it lacks.
  virtual void set_text_page(const CodePage* /*page*/) {}
  // Whether the member, as set now, may change files as a whole (see below): a cheap
  // question asked before anything of a file is read.
  virtual bool converts_whole_files() const { return false; }
  // When the member, as set now, changes a file of the current code page as a whole and
  // independently of its lines and of the scope, the conversion that does so on the file's
  // bytes, so that the run need not hold the file as lines; null otherwise.
  virtual std::unique_ptr<WholeFileConversion> whole_file_conversion() { return nullptr; }
  // What the member, as set now, does to the text it is given. A run whose members only
  // read it (a find) leaves every file exactly as it was, line ends included.
  enum class TextEffect { None, Reads, Changes };
  virtual TextEffect text_effect() const { return TextEffect::Changes; }
  // For a member that only reads: bytes (of the current code page) that a line must hold
  // for the member to find anything in it when it sees whole lines, so that the run may
  // pass over the others; nothing when it cannot tell. Such a member's document step must
  // not need the document's lines.
  virtual std::optional<std::string> line_key() const { return std::nullopt; }
  // Whether the member, as set now, changes each whole line on its own, whatever its place
  // and its neighbours, so that edit_text_lines may change a file's text at once instead
  // of the run splitting it into lines. Such a member's document step must not need the
  // document's lines.
  virtual bool edits_text_lines() const { return false; }
  // For a member that edits_text_lines: appends `text` (lines that end at LF, a CR before
  // the LF belonging to the end) to `out` with every line changed as its line step would
  // change it, each line's end kept as it is; answers false, `out` untouched, when no line
  // changes.
  virtual bool edit_text_lines(std::string_view /*text*/, std::string& /*out*/) { return false; }
};

// Static description of one catalogue entry.
struct OperationInfo {
  int number = 0;          // 1..28; [20] and [21] share a class
  std::string class_name;  // e.g. "TControlForm_th"
  std::string caption;     // exactly as shown (UTF-8)
  std::vector<ParamDecl> params;
};

// Base of every operation: holds the enable flag and the parameter values, which the
// steps read every time they run (the GUI may change them between files).
class Operation : public IControlTF {
 public:
  explicit Operation(const std::vector<ParamDecl>& decls) : params_(decls) {}

  void set_enabled(bool value) override { enabled_ = value; }
  bool enabled() const { return enabled_; }
  // A disabled operation leaves the text alone.
  TextEffect text_effect() const override {
    return enabled_ ? TextEffect::Changes : TextEffect::None;
  }

  void line_step(std::string&) override {}
  void document_step(LineList&, const std::string&) override {}

  ParamValues& params() { return params_; }
  const ParamValues& params() const { return params_; }

  void set_env(const OperationEnv& env) override { env_ = env; }
  const OperationEnv& env() const { return env_; }
  void set_text_page(const CodePage* page) override { params_.use_page(page); }

  // The code page of the text being processed: where its characters start and end.
  const CodePage& text_page() const;

 protected:
  OperationEnv env_;

 private:
  bool enabled_ = false;
  ParamValues params_;
};

}  // namespace lq

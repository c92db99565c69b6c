#include "core/batch/run_driver.h"

#include <sys/stat.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>
#include <utility>

#include "core/batch/content_hash.h"
#include "core/batch/write_back.h"
#include "core/encoding/code_page.h"
#include "core/encoding/text_detect.h"
#include "core/run_error.h"
#include "core/scope/scopes.h"
#include "core/textsvc/byte_find.h"
#include "core/textsvc/digest.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/line_feeds.h"
#include "core/textsvc/line_text.h"
#include "core/textsvc/str_helpers.h"
#include "core/textsvc/text_layout.h"

namespace lq {
namespace {

bool is_clipboard(const std::string& entry) {
  return entry == kClipboardEntry;
}

int percent_of(size_t i, size_t count) {
  return static_cast<int>(static_cast<double>(i + 1) / static_cast<double>(count) * 100.0);
}

// Clipboard text as lines: breaks at CR LF, CR or LF; a final break adds no empty line.
LineList split_text(std::string_view t) {
  LineList lines;
  size_t start = 0;
  for (size_t k = 0; k < t.size(); ++k) {
    if (t[k] != '\r' && t[k] != '\n') continue;
    lines.emplace_back(t.substr(start, k - start));
    if (t[k] == '\r' && k + 1 < t.size() && t[k + 1] == '\n') ++k;
    start = k + 1;
  }
  if (start < t.size()) lines.emplace_back(t.substr(start));
  return lines;
}

void give_env(const OperationChain& chain, const OperationEnv& env) {
  for (IControlTF* op : chain.members()) op->set_env(env);
}

// A processed entry ready to be put in place.
struct Prepared {
  PendingWrite write;
  std::string new_hash;               // with a journal: the digest of the new content
  std::string old_hash;               // and of the file as read, when known
  std::string bytes;                  // with keep_output: the new content
  std::optional<SkipReason> skipped;  // the entry was left alone
};

// The run's message when a parameter cannot be written in a file's code page.
RunError unencodable_error(const std::string& entry, const CodePage& page,
                           const ParamEncodeError& e) {
  std::string chars;
  const std::u16string wide = utf8_code_page().to_utf16(e.missing);
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t c = wide[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size())
      c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%sU+%04X", chars.empty() ? "" : " ", static_cast<unsigned>(c));
    chars += buf;
  }
  const CodePage& own = code_page();
  return RunError(own.from_utf8("文件 \"") + entry + own.from_utf8("\" 的字符编码 ") + page.name() +
                  own.from_utf8(" 不能表示参数 ") + e.name + own.from_utf8(" 中的字符 (") + chars +
                  own.from_utf8(")，已停止处理。"));
}

// One processor of entries: the one-job run, or one worker of a parallel run.
struct Processor {
  const OperationChain& chain;
  ScopeSettings& scope;
  RunContext& context;
  RunHost& host;
  bool case_sensitive = false;
  bool dry_run = false;
  LineList doc;                        // the working document, reused for every entry
  bool hash = false;                   // the journal needs the digest of what is written
  bool keep_output = false;            // the caller wants the new content
  std::optional<FileStamp> read_as{};  // the file as it was read
  EncodingChoice encoding = EncodingChoice::Auto;
  EolPolicy eol = EolPolicy::Keep;
  bool binary = false;                  // process files that hold NUL bytes
  TextLayout layout{};                  // of the file being processed
  std::optional<SkipReason> skipped{};  // why the entry is left alone
  // The write-back of a file an operation converted as a whole (whole_file is set), made
  // as it was converted, with the digests of the file as read and as written (with hash)
  // and the new content (with keep_output).
  PendingWrite streamed{};
  std::string streamed_old_hash{}, streamed_new_hash{}, streamed_bytes{};
  bool whole_file = false;
  // The file's bytes as read (not with whole_file): what the new content is compared with.
  std::string original{};
  // The operation changed the file's text at once (edit_text_lines): the new text is in
  // `converted`, or, when nothing changed, the file stays as it is.
  std::string converted{};
  bool edited = false;
  bool unchanged = false;
  bool exists = false;  // the entry names a file (else the clipboard or nothing)

  // The code page of the entry's text: the scope and every operation read their
  // parameters in it from now on.
  void use_page(const std::string& entry, const CodePage& page) {
    context.page = &page;
    try {
      scope.use_page(&page);
      for (IControlTF* op : chain.members()) op->set_text_page(&page);
    } catch (const ParamEncodeError& e) {
      throw unencodable_error(entry, page, e);
    }
  }

  // Load, document steps, scope. Returns whether a file of that name exists.
  void process(const std::string& entry) {
    read_as.reset();
    skipped.reset();
    context.not_applicable = false;
    context.unconverted_chars = 0;
    layout = {};
    whole_file = false;
    edited = unchanged = false;
    converted.clear();
    struct stat st;
    exists = ::stat(entry.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if (exists) {
      read_as = stamp_of(st);
      if (eol == EolPolicy::Keep && convert_whole_file(entry)) return;
      original = read_file_bytes_or_throw(entry);
      const std::string& bytes = original;
      // A NUL byte near the start marks a file that is not text.
      if (!binary && std::memchr(bytes.data(), 0, std::min<size_t>(bytes.size(), 8192))) {
        skipped = SkipReason::Binary;
        return;
      }
      const DetectedText detected = detect_code_page(bytes, encoding);
      layout.bom = detected.bom_len > 0;
      use_page(entry, *detected.page);
      const std::string_view body = std::string_view(bytes).substr(detected.bom_len);
      if (std::optional<std::string> key = candidate_key())
        return read_candidate_lines(entry, body, *key);
      if (IControlTF* editor = text_editor()) return edit_text(entry, body, *editor);
      // Over the previous entry's lines, reusing their buffers.
      split_keeping_ends(body, doc, layout.ends);
      // Writing every line with one line end drops a CR inside a line, as it always did;
      // keeping the line ends keeps it.
      if (eol != EolPolicy::Keep)
        for (std::string& line : doc)
          if (line.find('\r') != std::string::npos) std::erase(line, '\r');
    } else {
      doc.clear();
      if (is_clipboard(entry))
        if (auto text = host.clipboard_text()) doc = split_text(*text);
      use_page(entry, code_page());
    }
    chain.run_document_steps(doc, entry);
    context.file_name = entry;
    ScopeRun run{chain, scope, context, &host, case_sensitive};
    run_scope(doc, run);
    if (context.not_applicable) skipped = SkipReason::NotApplicable;
  }

  // The bytes every line the operations look at must hold, when the operations only read
  // whole lines and one of them can tell (a find).
  std::optional<std::string> candidate_key() const {
    if (scope.mode() != scope_mode::kWhole) return std::nullopt;
    std::optional<std::string> key;
    for (IControlTF* op : chain.members()) {
      switch (op->text_effect()) {
        case IControlTF::TextEffect::None:
          break;
        case IControlTF::TextEffect::Changes:
          return std::nullopt;
        case IControlTF::TextEffect::Reads:
          if (key) return std::nullopt;
          key = op->line_key();
          if (!key) return std::nullopt;
      }
    }
    return key;
  }

  // Hands the operations only the lines that hold `key`, found by one search of the whole
  // text, each with its own line number: the other lines are never split off. The file
  // itself stays as it is (only_read()).
  void read_candidate_lines(const std::string& entry, std::string_view text,
                            const std::string& key) {
    doc.clear();
    chain.run_document_steps(doc, entry);
    context.file_name = entry;
    const char* const base = text.data();
    const size_t n = text.size();
    size_t line_no = 0;  // of the line that starts at `from`
    size_t from = 0;
    std::string line;
    const ByteFinder finder(key, text);
    while (from < n) {
      const size_t at = finder.find(text, from);
      if (at == std::string_view::npos) break;
      const LineFeeds passed = line_feeds(text, from, at);
      const size_t start = passed.count > 0 ? passed.last + 1 : from;
      line_no += passed.count;
      const void* lf = std::memchr(base + at, '\n', n - at);
      const size_t end = lf ? static_cast<size_t>(static_cast<const char*>(lf) - base) : n;
      line.assign(base + start, end - start - (lf && end > start && base[end - 1] == '\r'));
      if (eol != EolPolicy::Keep) std::erase(line, '\r');
      context.line_index = static_cast<int32_t>(line_no);
      line = chain.run_line_steps(std::move(line));
      from = end + 1;
      ++line_no;
    }
    if (context.not_applicable) skipped = SkipReason::NotApplicable;
  }

  // The one operation that changes the text, when it changes each whole line on its own
  // and the lines keep their ends, so that the file's text may be edited at once.
  IControlTF* text_editor() const {
    if (scope.mode() != scope_mode::kWhole || eol != EolPolicy::Keep) return nullptr;
    IControlTF* editor = nullptr;
    for (IControlTF* op : chain.members()) {
      switch (op->text_effect()) {
        case IControlTF::TextEffect::None:
          break;
        case IControlTF::TextEffect::Reads:
          return nullptr;
        case IControlTF::TextEffect::Changes:
          if (editor || !op->edits_text_lines()) return nullptr;
          editor = op;
      }
    }
    return editor;
  }

  // The text changed by `editor` in one pass, never split into lines.
  void edit_text(const std::string& entry, std::string_view text, IControlTF& editor) {
    doc.clear();
    chain.run_document_steps(doc, entry);
    context.file_name = entry;
    edited = true;
    // The mark goes first, so that the new text is never moved to make room for it.
    if (layout.bom && context.page == &utf8_code_page()) converted = kUtf8Bom;
    unchanged = !editor.edit_text_lines(text, converted);
    if (context.not_applicable) skipped = SkipReason::NotApplicable;
  }

  // A file that an operation converts as a whole is read a piece at a time and converted
  // as it comes, so that it is never held twice, let alone as lines. Answers false when
  // no operation does that to this file: it is then processed as usual.
  bool convert_whole_file(const std::string& entry) {
    constexpr size_t kHead = 256 * 1024, kPiece = 1 << 20;
    if (std::none_of(chain.members().begin(), chain.members().end(),
                     [](IControlTF* op) { return op->converts_whole_files(); }))
      return false;
    FilePieces file(entry);
    // The file's head, then each next piece behind what the conversion left of the one
    // before. Not initialised: every byte looked at was read.
    size_t room = kHead;
    std::unique_ptr<char[]> buf(new char[room]);
    size_t have = file.read(buf.get(), kHead);
    const bool at_end = have < kHead;
    std::string_view piece(buf.get(), have);
    if (!binary && std::memchr(piece.data(), 0, std::min<size_t>(piece.size(), 8192))) {
      skipped = SkipReason::Binary;
      return true;
    }
    if (!at_end && !detection_settled_by(piece)) return false;
    const DetectedText detected = detect_code_page(piece, encoding);
    use_page(entry, *detected.page);
    std::unique_ptr<WholeFileConversion> conversion;
    for (IControlTF* op : chain.members())
      if ((conversion = op->whole_file_conversion())) break;
    if (!conversion) return false;
    layout.bom = detected.bom_len > 0;
    context.page = &conversion->result_page();
    context.file_name = entry;
    whole_file = true;
    // A document converted out of UTF-8 leaves its byte-order mark behind.
    const bool bom = layout.bom && context.page == &utf8_code_page();
    streamed = begin_write_back(entry, dry_run, read_as);
    streamed_bytes.clear();
    Digest old_digest(kJournalDigest), new_digest(kJournalDigest);
    std::string out;
    size_t start = detected.bom_len;  // bytes of the piece that are not converted
    for (bool last = at_end;;) {
      out.clear();
      if (start > 0 && bom) out = kUtf8Bom;
      const size_t taken = start + conversion->convert(piece.substr(start), last, out);
      const std::string_view from = piece.substr(0, taken);
      if (hash) {
        old_digest.add(from);
        new_digest.add(out);
      }
      streamed.add(out, from, last);
      if (keep_output) streamed_bytes += out;
      if (last) break;
      // What the conversion left goes in front of the next piece.
      const size_t left = piece.size() - taken;
      if (left + kPiece > room) {
        room = left + kPiece;
        std::unique_ptr<char[]> bigger(new char[room]);
        std::memcpy(bigger.get(), piece.data() + taken, left);
        buf = std::move(bigger);
      } else {
        std::memmove(buf.get(), piece.data() + taken, left);
      }
      const size_t got = file.read(buf.get() + left, kPiece);
      piece = std::string_view(buf.get(), left + got);
      start = 0;
      last = got < kPiece;
    }
    if (hash && streamed.changed()) {
      streamed_old_hash = old_digest.hex();
      streamed_new_hash = new_digest.hex();
    }
    return true;
  }

  // Whether the operations only read the text, so that the file stays as it was (a run
  // of no operation still writes the line ends asked for).
  bool only_read() const {
    using Effect = IControlTF::TextEffect;
    bool reads = false;
    for (IControlTF* op : chain.members()) {
      const Effect e = op->text_effect();
      if (e == Effect::Changes) return false;
      reads = reads || e == Effect::Reads;
    }
    return reads || eol == EolPolicy::Keep;
  }

  // The write-back of a processed entry, up to the moment the file is put in place.
  Prepared prepare(const std::string& entry) {
    Prepared p;
    p.skipped = skipped;
    if (!exists || skipped) return p;
    if (whole_file) {
      p.write = std::move(streamed);
      if (p.write.changed()) {
        p.new_hash = std::move(streamed_new_hash);
        p.old_hash = std::move(streamed_old_hash);
        if (keep_output) p.bytes = std::move(streamed_bytes);
      }
      return p;
    }
    // A document converted out of UTF-8 leaves its byte-order mark behind.
    if (context.page != &utf8_code_page()) layout.bom = false;
    std::string bytes;
    std::optional<std::string_view> as_read;
    if (edited && !unchanged) {
      bytes = std::move(converted);
      converted = {};
      as_read = original;
    } else if (unchanged || only_read()) {
      // Nothing changed the text: the file stays exactly as it is, line ends included.
      bytes = std::move(original);
      as_read = bytes;
    } else {
      bytes = join_lines(doc, layout, eol);
      as_read = original;
    }
    p.write = prepare_write_back(entry, bytes, dry_run, read_as, as_read);
    if (p.write.changed()) {
      if (hash) {
        // The journal keeps the file as it was read: its digest comes from these bytes,
        // not from reading the file again.
        p.new_hash = content_hash_hex(bytes);
        if (as_read && !dry_run) p.old_hash = content_hash_hex(*as_read);
      }
      if (keep_output) p.bytes = std::move(bytes);
    }
    // A large file's bytes are not kept for the next entry.
    if (original.capacity() > (16u << 20)) original = {};
    return p;
  }

  // The clipboard half of the write-back; answers whether its text changed, and then
  // keeps the new text in `kept` when asked to.
  bool put_on_clipboard(const std::string& entry, std::string& kept) {
    if (!is_clipboard(entry) || file_exists(entry)) return false;
    auto before = host.clipboard_text();
    if (!before) return false;  // the clipboard holds no text now: the result is dropped
    std::string text = join_crlf(doc);
    const bool changed = text != *before;
    if (!dry_run) host.set_clipboard_text(text);
    if (changed && keep_output) kept = std::move(text);
    return changed;
  }
};

bool fallback_pending(const ScopeSettings& scope) {
  int v;
  return scope.mode() == scope_mode::kLastN && !parse_int(trim(scope.text("Edit_fw_hj1")), v);
}

// What the operations of a worker say to the host, kept until their entry is committed.
class BufferingHost : public RunHost {
 public:
  struct Call {
    bool is_message;
    std::string a, b;
  };
  std::vector<Call> calls;

  void show_message(std::string_view text) override {
    calls.push_back({true, std::string(text), {}});
  }
  void scope_param_changed(std::string_view name, std::string_view value) override {
    calls.push_back({false, std::string(name), std::string(value)});
  }
  void replay(RunHost& to) {
    for (const Call& c : calls) {
      if (c.is_message)
        to.show_message(c.a);
      else
        to.scope_param_changed(c.a, c.b);
    }
    calls.clear();
  }
};

// Same file, same clipboard: entries that must see each other's result.
std::vector<long> previous_of_same_target(const std::vector<std::string>& files) {
  std::vector<long> prev(files.size(), -1);
  std::map<std::tuple<dev_t, ino_t, std::string>, long> last;
  for (size_t i = 0; i < files.size(); ++i) {
    struct stat st;
    auto key = stat(files[i].c_str(), &st) == 0
                   ? std::make_tuple(st.st_dev, st.st_ino, std::string())
                   : std::make_tuple(dev_t(0), ino_t(0), files[i]);
    auto [it, fresh] = last.try_emplace(key, static_cast<long>(i));
    if (!fresh) {
      prev[i] = it->second;
      it->second = static_cast<long>(i);
    }
  }
  return prev;
}

}  // namespace

std::string join_crlf(const LineList& lines) {
  return lines_text(lines);
}

std::optional<RunMessage> RunDriver::check_input(const RunRequest& request) {
  if (request.files.empty()) return kMsgNoFiles;
  if (request.scope.mode() == scope_mode::kFirstN && !is_int(request.scope.text("Edit_fw_qj1")))
    return kMsgNotInteger;
  return std::nullopt;
}

namespace {

struct Run {
  RunContext& context;
  FindResults& results;
  RunHost& host;
  RunRequest& req;
  RunResult& res;
  std::mutex own_m = {};

  bool journaling() const { return req.journal && !req.dry_run; }
  // Changed files wait to be put in place in groups (see Waiting).
  bool grouping() const { return !req.dry_run; }

  // What a find adds for the host that takes results as text, until they are handed on.
  std::string result_text = {};

  OperationEnv env_for(RunContext* ctx, FindResults* found, std::string* text, RunHost* to) {
    OperationEnv env{ctx, found, to, req.case_sensitive, req.dry_run, {}};
    if (host.takes_result_text()) env.find_result_text = text;
    env.before_own_write = [this, ctx](const std::string& path, std::string_view bytes) {
      // Files written in the order the run meets them: the ones waiting go first. (Only
      // the calling thread puts files in place; operations of the lanes of a parallel run
      // write their own files as they go.)
      if (std::this_thread::get_id() == caller && !flush()) throw RunError(res.error);
      if (journaling()) req.journal->before_write(path, bytes);
      std::lock_guard lock(own_m);
      res.own_writes.push_back({ctx->file_name, path});
    };
    return env;
  }

  void setup(Processor& proc) {
    proc.hash = journaling();
    proc.keep_output = req.keep_output;
    proc.encoding = req.encoding;
    proc.eol = req.eol;
    proc.binary = req.binary;
  }

  // Puts a processed entry in place, the journal first; answers whether it changed.
  bool put_in_place(const std::string& entry, Prepared& p) {
    if (p.skipped) {
      res.skipped.push_back({entry, *p.skipped});
      return false;
    }
    if (p.write.changed() && journaling())
      req.journal->before_replace(p.write.target(), p.new_hash, p.old_hash);
    p.write.commit();
    if (!p.write.changed()) return false;
    res.changed.push_back(entry);
    if (req.keep_output) res.outputs.push_back(std::move(p.bytes));
    return true;
  }

  // An entry processed by `proc` goes to its file or to the clipboard.
  void finish_entry(Processor& proc, const std::string& entry) {
    Prepared p = proc.prepare(entry);
    if (put_in_place(entry, p)) return;
    std::string kept;
    if (proc.put_on_clipboard(entry, kept)) {
      res.changed.push_back(entry);
      if (req.keep_output) res.outputs.push_back(std::move(kept));
    }
  }

  void fail(const std::exception& e) {
    res.status = RunStatus::Failed;
    res.error = e.what();
  }

  // Changed files wait, written beside their files (and journaled) but not yet in place,
  // so that many of them share one wait for the disk before they replace their files;
  // they are put in place, in order, before anything could see them missing: before an
  // entry naming the same file is read, before an operation writes a file of its own, at
  // a stop, a failure and the end.
  struct Waiting {
    size_t index;
    const std::string* entry;
    Prepared p;
    size_t changed_at;  // size of res.changed before this entry
    dev_t dev;
    ino_t ino;
  };
  std::vector<Waiting> waiting = {};
  SyncLanes lanes = {};  // wait for the disk for every group of the run
  std::thread::id caller = std::this_thread::get_id();
  size_t waiting_bytes = 0;
  bool flush_failed = false;
  static constexpr size_t kMaxWaiting = 64;
  static constexpr size_t kMaxWaitingBytes = 64u << 20;

  // Puts the waiting files in place; false (the run failed) when one fails. The run then
  // stops at that entry, or, when all are in place but a directory could not be synced,
  // where it is.
  bool flush() {
    if (waiting.empty()) return true;
    CommitOutcome out;
    try {
      if (journaling()) req.journal->sync();
      std::vector<PendingWrite*> writes;
      for (Waiting& w : waiting) writes.push_back(&w.p.write);
      out = commit_all(writes, &lanes);
    } catch (const std::exception& e) {
      out.error = RunError(e.what());
    }
    const bool ok = !out.error;
    if (!ok && out.placed < waiting.size()) {
      const Waiting& w = waiting[out.placed];
      context.file_index = static_cast<int32_t>(w.index);
      context.file_name = *w.entry;
      res.files_done = static_cast<int>(w.index);
      res.changed.resize(w.changed_at);
      if (req.keep_output) res.outputs.resize(std::min(res.outputs.size(), w.changed_at));
    }
    if (!ok) {
      fail(*out.error);
      flush_failed = true;
    }
    waiting.clear();  // after a failure the later ones are dropped, their files untouched
    waiting_bytes = 0;
    return ok;
  }

  bool is_waiting(const std::string& entry) const {
    struct stat st;
    if (waiting.empty() || stat(entry.c_str(), &st) != 0) return false;
    for (const Waiting& w : waiting)
      if (w.dev == st.st_dev && w.ino == st.st_ino) return true;
    return false;
  }

  // finish_entry for a run that writes.
  void finish_entry_waiting(Processor& proc, size_t i) {
    const std::string& entry = req.files[i];
    Prepared p = proc.prepare(entry);
    if (put_waiting(i, p)) return;
    std::string kept;
    if (proc.put_on_clipboard(entry, kept)) {
      res.changed.push_back(entry);
      if (req.keep_output) res.outputs.push_back(std::move(kept));
    }
  }

  // put_in_place for a run that writes: a changed file joins the waiting ones.
  bool put_waiting(size_t i, Prepared& p) {
    const std::string& entry = req.files[i];
    if (p.skipped || !p.write.changed()) return put_in_place(entry, p);
    const FileStamp st = p.write.target_stamp();
    if (journaling()) req.journal->stage_replace(p.write.target(), p.new_hash, p.old_hash);
    const size_t at = res.changed.size();
    res.changed.push_back(entry);
    if (req.keep_output) res.outputs.push_back(p.bytes);
    waiting_bytes += static_cast<size_t>(st.size);
    waiting.push_back(
        {i, &entry, std::move(p), at, static_cast<dev_t>(st.dev), static_cast<ino_t>(st.ino)});
    return true;
  }

  void hand_results() {
    if (!results.empty()) host.found(results);
    if (!result_text.empty()) {
      host.found_text(result_text);
      result_text.clear();
    }
  }

  bool waiting_full() const {
    return waiting.size() >= kMaxWaiting || waiting_bytes >= kMaxWaitingBytes;
  }

  void one_job() {
    give_env(req.chain, env_for(&context, &results, &result_text, &host));
    Processor proc{req.chain, req.scope, context, host, req.case_sensitive, req.dry_run, {}};
    setup(proc);
    const size_t n = req.files.size();
    for (size_t i = 0; i < n; ++i) {
      if (host.stop_requested()) {
        if (flush()) res.status = RunStatus::Stopped;
        return;
      }
      const std::string& entry = req.files[i];
      context.file_name = entry;
      context.file_index = static_cast<int32_t>(i);
      host.progress(static_cast<int>(i), static_cast<int>(n), percent_of(i, n), entry);
      try {
        if (is_waiting(entry) && !flush()) return;
        proc.process(entry);
        if (grouping())
          finish_entry_waiting(proc, i);
        else
          finish_entry(proc, entry);
      } catch (const std::exception& e) {
        // The files before this entry are written first, as they would have been.
        if (!flush() || flush_failed) return;
        context.file_name = entry;
        context.file_index = static_cast<int32_t>(i);
        return fail(e);
      }
      res.unconverted_chars += context.unconverted_chars;
      ++res.files_done;
      hand_results();
      if (waiting_full() && !flush()) return;
    }
    flush();
  }

  struct Slot {
    bool ready = false;
    bool by_caller = false;  // the clipboard entry: processed by the calling thread
    std::string error;
    bool failed = false;
    Prepared write;
    RunContext context;
    FindResults found;
    std::string found_text;
    BufferingHost calls;
  };

  // What one processor of a parallel run works with.
  struct Lane {
    WorkerOperations ops;
    RunContext context;
    FindResults found;
    std::string found_text;
    BufferingHost buffered;
    ScopeSettings scope;
    std::optional<Processor> proc;

    Lane(Run& run, size_t n) : ops(run.req.make_operations()), scope(run.req.scope) {
      context.file_count = static_cast<int32_t>(n);
      give_env(ops.chain, run.env_for(&context, &found, &found_text, &buffered));
      proc.emplace(Processor{
          ops.chain, scope, context, buffered, run.req.case_sensitive, run.req.dry_run, {}});
      run.setup(*proc);
    }

    // Everything of entry i short of putting it in place.
    Slot prepare(size_t i, const std::string& entry) {
      Slot done;
      context.file_index = static_cast<int32_t>(i);
      context.file_name = entry;
      context.find_ran = false;
      try {
        proc->process(entry);
        done.write = proc->prepare(entry);
      } catch (const std::exception& e) {
        done.failed = true;
        done.error = e.what();
      }
      done.context = context;
      done.found = std::exchange(found, {});
      done.found_text = std::exchange(found_text, {});
      done.calls.calls = std::exchange(buffered.calls, {});
      done.ready = true;
      return done;
    }
  };

  // Files are prepared by `jobs` lanes at once (the calling thread is one of them) and
  // put in place by the calling thread strictly in list order, so a failure or a stop
  // leaves exactly what one job would have left. Entries naming the same file wait for
  // the earlier one to be in place; the clipboard entry is done by the calling thread in
  // its turn.
  void parallel(int jobs) {
    const size_t n = req.files.size();
    const std::vector<long> prev = previous_of_same_target(req.files);
    std::vector<Slot> slots(n);
    std::mutex m;
    std::condition_variable cv;
    size_t next = 0, committed = 0;
    bool abort = false;
    // How far the lanes may run ahead of the files put in place.
    // Waiting files count as not yet in place, so the lanes get room for them too.
    const size_t window = static_cast<size_t>(jobs) * 4 + (grouping() ? kMaxWaiting : 0);
    auto may_take = [&] { return next < n && next < committed + window; };

    auto worker = [&] {
      Lane lane(*this, n);
      std::unique_lock lock(m);
      for (;;) {
        cv.wait(lock, [&] { return abort || next >= n || may_take(); });
        if (abort || next >= n) return;
        const size_t i = next++;
        if (is_clipboard(req.files[i])) {
          slots[i].by_caller = slots[i].ready = true;
          cv.notify_all();
          continue;
        }
        cv.wait(lock, [&] { return abort || prev[i] < static_cast<long>(committed); });
        if (abort) return;
        lock.unlock();
        Slot done = lane.prepare(i, req.files[i]);
        lock.lock();
        slots[i] = std::move(done);
        cv.notify_all();
      }
    };

    std::vector<std::thread> threads;
    for (int k = 1; k < jobs; ++k) threads.emplace_back(worker);
    Lane own(*this, n);
    std::optional<WorkerOperations> direct_ops;  // the clipboard entry's
    std::optional<Processor> direct;

    for (size_t i = 0; i < n;) {
      std::unique_lock lock(m);
      if (!slots[i].ready) {
        // Rather than wait, prepare the next entry here, when nothing holds it back.
        if (may_take() && !is_clipboard(req.files[next]) &&
            prev[next] < static_cast<long>(committed)) {
          const size_t k = next++;
          lock.unlock();
          Slot done = own.prepare(k, req.files[k]);
          lock.lock();
          slots[k] = std::move(done);
          cv.notify_all();
        } else if (may_take() && is_clipboard(req.files[next])) {
          const size_t k = next++;
          slots[k].by_caller = slots[k].ready = true;
        } else if (!waiting.empty()) {
          // The lanes may be waiting for these files: put them in place now.
          lock.unlock();
          const bool ok = flush();
          lock.lock();
          if (!ok) break;
          committed = i;
          cv.notify_all();
        } else {
          cv.wait(lock);
        }
        continue;
      }
      Slot slot = std::move(slots[i]);
      lock.unlock();

      if (host.stop_requested()) {
        if (flush()) res.status = RunStatus::Stopped;
        break;
      }
      const std::string& entry = req.files[i];
      context.file_name = entry;
      context.file_index = static_cast<int32_t>(i);
      host.progress(static_cast<int>(i), static_cast<int>(n), percent_of(i, n), entry);
      bool ok = true;
      if (slot.by_caller) {
        if (!direct) {
          direct_ops = req.make_operations();
          give_env(direct_ops->chain, env_for(&context, &results, &result_text, &host));
          direct.emplace(Processor{
              direct_ops->chain, req.scope, context, host, req.case_sensitive, req.dry_run, {}});
          setup(*direct);
        }
        try {
          direct->process(entry);
          finish_entry(*direct, entry);
        } catch (const std::exception& e) {
          if (flush() && !flush_failed) {
            context.file_name = entry;
            context.file_index = static_cast<int32_t>(i);
            fail(e);
          }
          ok = false;
        }
      } else {
        const bool ran = context.find_ran || slot.context.find_ran;
        context = slot.context;
        context.find_ran = ran;
        context.file_count = static_cast<int32_t>(n);
        results.insert(results.end(), std::make_move_iterator(slot.found.begin()),
                       std::make_move_iterator(slot.found.end()));
        result_text += slot.found_text;
        slot.calls.replay(host);
        if (slot.failed) {
          if (flush()) {
            res.status = RunStatus::Failed;
            res.error = slot.error;
          }
          ok = false;
        } else {
          try {
            if (!grouping())
              put_in_place(entry, slot.write);
            else
              put_waiting(i, slot.write);
          } catch (const std::exception& e) {
            if (flush()) fail(e);
            ok = false;
          }
        }
      }
      if (!ok) break;
      res.unconverted_chars += context.unconverted_chars;
      ++res.files_done;
      hand_results();
      if (waiting_full() && !flush()) break;
      lock.lock();
      ++i;
      if (waiting.empty()) committed = i;
      cv.notify_all();
    }
    if (res.status == RunStatus::Done) flush();
    {
      std::lock_guard lock(m);
      abort = true;
    }
    cv.notify_all();
    for (auto& t : threads) t.join();
    // Whatever was prepared beyond a stop or a failure goes with the slots.
  }
};

}  // namespace

RunResult RunDriver::run(RunRequest request) {
  RunResult res;
  context_.find_ran = false;
  context_.file_count = static_cast<int32_t>(request.files.size());
  if (auto m = check_input(request)) {
    // By text: the same literal may sit at two addresses (sanitizer builds do that).
    res.status =
        std::string_view(m->id) == kMsgNoFiles.id ? RunStatus::NoFiles : RunStatus::BadCount;
    res.scope = request.scope;
    return res;
  }
  results_.clear();
  Run run{context_, results_, host_, request, res};
  int jobs = request.jobs;
  if (!request.make_operations || !request.parallel_safe || fallback_pending(request.scope) ||
      request.files.size() < 2)
    jobs = 1;
  if (jobs > static_cast<int>(request.files.size())) jobs = static_cast<int>(request.files.size());
  if (jobs <= 1)
    run.one_job();
  else
    run.parallel(jobs);
  if (request.journal && !request.dry_run)
    request.journal->finish(res.status == RunStatus::Done      ? "done"
                            : res.status == RunStatus::Stopped ? "stopped"
                                                               : "failed");
  // Parameters read as typed again, not in the last file's code page.
  request.scope.use_page(nullptr);
  for (IControlTF* op : request.chain.members()) op->set_text_page(nullptr);
  context_.page = nullptr;
  res.scope = std::move(request.scope);
  return res;
}

}  // namespace lq

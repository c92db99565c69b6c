#include "core/batch/run_driver.h"

#include <gtest/gtest.h>

#include <random>

#include "core/operations/find_op.h"
#include "core/operations/op_test_support.h"
#include "core/run_error.h"
#include "core/support/sync_spy.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

using namespace testing_support;
using namespace test;

// C(x) = {x}; its document step fails for files named "bad.txt", and with `mark` it adds
// a line so the order of the two steps shows.
struct TestOp : Operation {
  bool mark = false;
  TestOp() : Operation({}) { set_enabled(true); }
  void line_step(std::string& t) override {
    if (!enabled()) return;
    t = "{" + t + "}";
    if (env().find_results) {
      env().find_results->push_back(env().context->file_name + ";" +
                                    std::to_string(env().context->line_index) + ";" + t);
      env().context->find_ran = true;
    }
  }
  void document_step(LineList& lines, const std::string& file_name) override {
    if (!enabled()) return;
    if (file_name.ends_with("bad.txt")) throw RunError("bad file");
    if (mark) lines.push_back("doc:" + std::to_string(lines.size()));
  }
};

// The operations of a worker of a parallel run: a TestOp of its own.
WorkerOperations test_op_of_a_worker() {
  WorkerOperations w;
  w.owned.push_back(std::make_unique<TestOp>());
  w.chain.append(w.owned.back().get());
  return w;
}

struct Host : RunHost {
  std::vector<int> percents;
  std::vector<std::string> names;
  std::optional<std::string> clipboard;
  std::vector<std::pair<std::string, std::string>> changes;
  int stop_after = -1;
  std::optional<std::string> clipboard_text() override { return clipboard; }
  void set_clipboard_text(std::string_view t) override { clipboard = std::string(t); }
  void progress(int, int, int percent, std::string_view name) override {
    percents.push_back(percent);
    names.emplace_back(name);
  }
  void scope_param_changed(std::string_view n, std::string_view v) override {
    changes.emplace_back(n, v);
  }
  bool stop_requested() override { return stop_after >= 0 && int(percents.size()) >= stop_after; }
};

class RunDriverTest : public ::testing::Test {
 protected:
  TempDir dir;
  RunContext context;
  FindResults results;
  Host host;
  TestOp op;

  // Every line written with CR LF, unless a test is about keeping line ends.
  RunRequest request(std::vector<std::string> files, bool with_op = true,
                     EolPolicy eol = EolPolicy::CrLf) {
    RunRequest r;
    r.files = std::move(files);
    r.eol = eol;
    if (with_op) r.chain.append(&op);
    return r;
  }
  RunResult run(RunRequest r) { return RunDriver(context, results, host).run(std::move(r)); }
};

TEST_F(RunDriverTest, KeepsEachLinesEndAndTheByteOrderMark) {
  struct Row {
    const char* name;
    std::string in;
    std::string out;
  };
  const Row rows[] = {
      {"empty", "", ""},
      {"lf_no_final_break", "a\nb", "{a}\n{b}"},
      {"crlf", "a\r\n\r\nb\r\n", "{a}\r\n{}\r\n{b}\r\n"},
      {"mixed", "a\r\nb\nc", "{a}\r\n{b}\n{c}"},
      {"lone_cr_stays", "a\rb\n", "{a\rb}\n"},
      {"bom_not_in_first_line", "\xEF\xBB\xBF\xE4\xB8\xAD\n", "\xEF\xBB\xBF{\xE4\xB8\xAD}\n"}};
  std::vector<std::string> files;
  for (const Row& r : rows) {
    write_file(dir / r.name, r.in);
    files.push_back(dir / r.name);
  }
  RunResult res = run(request(files, true, EolPolicy::Keep));
  ASSERT_EQ(res.status, RunStatus::Done) << res.error;
  for (const Row& r : rows) EXPECT_EQ(read_file(dir / r.name), r.out) << r.name;
}

// A file converted to UTF-8 and back as a whole, a piece at a time, comes out as the
// line-by-line conversion makes it, also where a character, a bad byte or a line end
// meets the end of a piece.
TEST_F(RunDriverTest, WholeFileConversionMatchesLineByLine) {
  const std::string gbk_text = lq::testing::gbk("中文，说明。"), utf8_char = "\xE4\xB8\xAD";
  std::mt19937 rng(11);
  std::string original = "x";  // one byte first, so that pairs straddle the pieces
  while (original.size() < 2'500'000) {
    switch (rng() % 6) {
      case 0:
        original += "\r\n";
        break;
      case 1:
        original += rng() % 2 ? "\n" : "\r";
        break;
      case 2:
        original += static_cast<char>(0x80 + rng() % 0x80);  // a lead byte alone, or worse
        break;
      case 3:
        original += "ab";
        break;
      default:
        original += gbk_text;
    }
  }
  original += utf8_char;  // read as GBK: a pair and a lead byte cut by the end of the file
  auto line_by_line = [](Operation& op, const std::string& in, const CodePage& page) {
    LineList lines;
    for (size_t at = 0;;) {
      const size_t lf = in.find('\n', at);
      lines.push_back(in.substr(at, lf - at));
      if (lf == std::string::npos) break;
      at = lf + 1;
    }
    lq::testing::apply_document(op, lines, page);
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) out += (i ? "\n" : "") + lines[i];
    return out;
  };
  auto convert = [&](bool to_utf8, EncodingChoice as) {
    auto conv = lq::testing::make_op(26, {{"RadioButton_Unicode2", to_utf8 ? "0" : "1"},
                                          {"RadioButton_Unicode3", to_utf8 ? "1" : "0"}});
    RunRequest r = request({dir / "big.txt"}, false, EolPolicy::Keep);
    r.chain.append(conv.get());
    r.encoding = as;
    RunResult res = run(std::move(r));
    EXPECT_EQ(res.status, RunStatus::Done) << res.error;
    return read_file(dir / "big.txt");
  };
  write_file(dir / "big.txt", original);
  auto reference =
      lq::testing::make_op(26, {{"RadioButton_Unicode2", "0"}, {"RadioButton_Unicode3", "1"}});
  const std::string expected = line_by_line(*reference, original, gbk_code_page());
  const std::string utf8 = convert(true, EncodingChoice::Gbk);
  ASSERT_EQ(utf8.size(), expected.size());
  EXPECT_TRUE(utf8 == expected);
  EXPECT_TRUE(convert(false, EncodingChoice::Utf8) == original);
}

TEST_F(RunDriverTest, LinesAddedTakeTheFilesFirstLineEnd) {
  op.mark = true;  // adds a line: the old ends no longer pair with the lines
  write_file(dir / "lf.txt", "x\r\ny\n");
  write_file(dir / "open.txt", "x\ny");
  run(request({dir / "lf.txt", dir / "open.txt"}, true, EolPolicy::Keep));
  EXPECT_EQ(read_file(dir / "lf.txt"), "{x}\r\n{y}\r\n{doc:2}\r\n");
  EXPECT_EQ(read_file(dir / "open.txt"), "{x}\n{y}\n{doc:2}");
}

TEST_F(RunDriverTest, BinaryFilesAreSkippedAndNamed) {
  write_file(dir / "bin", std::string("ab\0c\n", 5));
  write_file(dir / "text", "ab\n");
  RunResult res = run(request({dir / "bin", dir / "text"}, true, EolPolicy::Keep));
  ASSERT_EQ(res.status, RunStatus::Done) << res.error;
  EXPECT_EQ(read_file(dir / "bin"), std::string("ab\0c\n", 5));
  EXPECT_EQ(read_file(dir / "text"), "{ab}\n");
  ASSERT_EQ(res.skipped.size(), 1u);
  EXPECT_EQ(res.skipped[0].entry, dir / "bin");
  EXPECT_EQ(res.skipped[0].reason, SkipReason::Binary);
  EXPECT_EQ(res.files_done, 2);
}

TEST_F(RunDriverTest, WritesEveryLineWithCrLf) {
  struct Row {
    const char* name;
    const char* in;
    const char* out;
  };
  const Row rows[] = {{"empty", "", ""},
                      {"no_final_break", "a\nb", "{a}\r\n{b}\r\n"},
                      {"crlf", "a\r\n\r\nb\r\n", "{a}\r\n{}\r\n{b}\r\n"},
                      {"lone_cr", "a\rb\n", "{ab}\r\n"}};
  std::vector<std::string> files;
  for (const Row& r : rows) {
    write_file(dir / r.name, r.in);
    files.push_back(dir / r.name);
  }
  write_file(dir / "nul", std::string("\0\xB0\xA1\n", 4));
  files.push_back(dir / "nul");
  RunRequest req = request(files);
  req.binary = true;
  RunResult res = run(std::move(req));
  ASSERT_EQ(res.status, RunStatus::Done) << res.error;
  for (const Row& r : rows) EXPECT_EQ(read_file(dir / r.name), r.out) << r.name;
  EXPECT_EQ(read_file(dir / "nul"), std::string("{\0\xB0\xA1}\r\n", 7));
}

TEST_F(RunDriverTest, EmptyFileIsRewrittenEmptyAndNoOperationAddsCrLf) {
  write_file(dir / "e.txt", "");
  write_file(dir / "a.txt", "x\ny");
  RunResult res = run(request({dir / "e.txt", dir / "a.txt"}, false));
  EXPECT_EQ(res.status, RunStatus::Done);
  EXPECT_EQ(read_file(dir / "e.txt"), "");
  EXPECT_EQ(read_file(dir / "a.txt"), "x\r\ny\r\n");
  EXPECT_EQ(res.changed, std::vector<std::string>{dir / "a.txt"});
}

// A find changes no file, whatever line ends were asked for; a run of no operation still
// writes them.
TEST_F(RunDriverTest, FindLeavesEveryFileAsItWas) {
  const std::string text = "foo\nb\r\nlone\rcr foo";
  write_file(dir / "a.txt", text);
  FindOp find;
  find.params().set("Edit_find1", "foo");
  find.set_enabled(true);
  for (EolPolicy eol : {EolPolicy::CrLf, EolPolicy::Lf, EolPolicy::Keep}) {
    RunRequest r = request({dir / "a.txt"}, false, eol);
    r.chain.append(&find);
    RunResult res = run(std::move(r));
    ASSERT_EQ(res.status, RunStatus::Done) << res.error;
    EXPECT_TRUE(res.changed.empty());
    EXPECT_EQ(read_file(dir / "a.txt"), text);
    EXPECT_EQ(results.size(), 2u);
  }
}

// A find over whole lines looks only at the lines that hold its query's bytes; it must
// report exactly what looking at every line reports. A member that reads without telling
// what it needs makes the run look at every line.
TEST_F(RunDriverTest, FindOverCandidateLinesMatchesEveryLine) {
  struct Reader : Operation {
    Reader() : Operation({}) { set_enabled(true); }
    TextEffect text_effect() const override { return TextEffect::Reads; }
  };
  const std::string jie = "\xBD\xE1", tong = "\xCD\xB3";  // 結 and 統 in GBK
  const std::string texts[] = {
      "foo\r\nx foo foo\r\n\r\nno\r\nfoo",
      "\xEF\xBB\xBF"
      "foo\nlone\rfoo\n\nlast foo\n",
      "a\n\n\nfo\no foo\n" + tong + jie + "\n" + jie + "\r\n",
      "x" + tong + "\n",
      // Hits many lines apart and a line or two apart.
      std::string(40, '\n') + "foo\r\n" + std::string(17, '\n') + "a\nfoo" + std::string(70, 'x') +
          "\nfoo\n",
  };
  std::vector<std::string> files;
  for (size_t i = 0; i < std::size(texts); ++i) {
    files.push_back(dir / ("f" + std::to_string(i)));
    write_file(files.back(), texts[i]);
  }
  for (const std::string& query : {std::string("foo"), jie}) {
    for (EolPolicy eol : {EolPolicy::Keep, EolPolicy::CrLf}) {
      FindResults seen[2];
      for (bool every_line : {false, true}) {
        FindOp find;
        find.params().set("Edit_find1", query);
        find.set_enabled(true);
        Reader reader;
        RunRequest r = request(files, false, eol);
        r.case_sensitive = true;
        r.scope.select(scope_mode::kWhole);
        r.chain.append(&find);
        if (every_line) r.chain.append(&reader);
        ASSERT_EQ(run(std::move(r)).status, RunStatus::Done);
        EXPECT_TRUE(context.find_ran);
        seen[every_line] = results;
      }
      EXPECT_FALSE(seen[1].empty()) << query;
      EXPECT_EQ(seen[0], seen[1]) << query;
    }
  }
  for (size_t i = 0; i < std::size(texts); ++i) EXPECT_EQ(read_file(files[i]), texts[i]);
}

TEST_F(RunDriverTest, DocumentStepsRunBeforeLineSteps) {
  op.mark = true;
  write_file(dir / "a.txt", "x\ny\n");
  run(request({dir / "a.txt"}));
  EXPECT_EQ(read_file(dir / "a.txt"), "{x}\r\n{y}\r\n{doc:2}\r\n");
}

TEST_F(RunDriverTest, ProgressIsTruncatedAndNamesTheEntry) {
  for (auto n : {"a", "b", "c"}) write_file(dir / n, "");
  run(request({dir / "a", dir / "b", dir / "c"}));
  EXPECT_EQ(host.percents, (std::vector<int>{33, 66, 100}));
  EXPECT_EQ(host.names.back(), dir / "c");
  EXPECT_EQ(context.file_count, 3);
  EXPECT_EQ(context.file_index, 2);
}

TEST_F(RunDriverTest, ClipboardEntry) {
  host.clipboard = "a";
  RunResult res = run(request({kClipboardEntry}, false));
  EXPECT_EQ(host.clipboard, "a\r\n");
  EXPECT_EQ(res.changed, std::vector<std::string>{kClipboardEntry});
  host.clipboard = "a\r\nb\rc\n";
  run(request({kClipboardEntry}));
  EXPECT_EQ(host.clipboard, "{a}\r\n{b}\r\n{c}\r\n");
  host.clipboard.reset();
  res = run(request({kClipboardEntry}));
  EXPECT_FALSE(host.clipboard);
  EXPECT_EQ(res.status, RunStatus::Done);
}

TEST_F(RunDriverTest, ReadOnlyFileIsMadeWritableAndOverwritten) {
  write_file(dir / "r.txt", "a");
  chmod((dir / "r.txt").c_str(), 0444);
  run(request({dir / "r.txt"}));
  EXPECT_EQ(read_file(dir / "r.txt"), "{a}\r\n");
  EXPECT_EQ(mode_of(dir / "r.txt"), 0644u);
}

TEST_F(RunDriverTest, MissingFileIsSkippedAndNotCreated) {
  write_file(dir / "b.txt", "b");
  RunResult res = run(request({dir / "gone.txt", dir / "b.txt"}));
  EXPECT_EQ(res.status, RunStatus::Done);
  EXPECT_FALSE(std::filesystem::exists(dir / "gone.txt"));
  EXPECT_EQ(read_file(dir / "b.txt"), "{b}\r\n");
}

TEST_F(RunDriverTest, InputChecksComeFirstAndInOrder) {
  RunRequest r = request({});
  r.scope.select(2);
  r.scope.set("Edit_fw_qj1", "abc");
  results.push_back("kept");
  EXPECT_EQ(run(r).status, RunStatus::NoFiles);
  EXPECT_STREQ(RunDriver::check_input(r)->id, kMsgNoFiles.id);
  write_file(dir / "a.txt", "a");
  r.files = {dir / "a.txt"};
  EXPECT_EQ(run(r).status, RunStatus::BadCount);
  EXPECT_STREQ(RunDriver::check_input(r)->id, kMsgNotInteger.id);
  EXPECT_EQ(read_file(dir / "a.txt"), "a");
  EXPECT_EQ(results, std::vector<std::string>{"kept"});  // cleared only by a run that starts
  r.scope.set("Edit_fw_qj1", " 1 ");
  EXPECT_EQ(run(r).status, RunStatus::Done);
  EXPECT_EQ(read_file(dir / "a.txt"), "{a}\r\n");
}

TEST_F(RunDriverTest, AbortKeepsEarlierFilesAndTouchesNoLaterOne) {
  write_file(dir / "a.txt", "a");
  write_file(dir / "bad.txt", "b");
  write_file(dir / "c.txt", "c");
  RunResult res = run(request({dir / "a.txt", dir / "bad.txt", dir / "c.txt"}));
  EXPECT_EQ(res.status, RunStatus::Failed);
  EXPECT_EQ(res.error, "bad file");
  EXPECT_EQ(read_file(dir / "a.txt"), "{a}\r\n");
  EXPECT_EQ(read_file(dir / "bad.txt"), "b");
  EXPECT_EQ(read_file(dir / "c.txt"), "c");
  EXPECT_EQ(context.file_index, 1);
  EXPECT_EQ(context.file_name, dir / "bad.txt");
  EXPECT_EQ(res.files_done, 1);
}

TEST_F(RunDriverTest, ConversionErrorStopsAtTheFirstLine) {
  write_file(dir / "a.txt", "");
  write_file(dir / "b.txt", "x\ny");
  RunRequest r = request({dir / "a.txt", dir / "b.txt"});
  r.scope.select(11);
  r.scope.set("Edit_fw_len1", "z");
  RunResult res = run(r);
  EXPECT_EQ(res.status, RunStatus::Failed);
  EXPECT_EQ(res.error, "'z' is not a valid integer value");
  EXPECT_EQ(context.file_index, 1);
  EXPECT_EQ(context.line_index, 0);
  EXPECT_EQ(read_file(dir / "b.txt"), "x\ny");
}

TEST_F(RunDriverTest, StopBetweenFiles) {
  write_file(dir / "a.txt", "a");
  write_file(dir / "b.txt", "b");
  host.stop_after = 1;
  RunResult res = run(request({dir / "a.txt", dir / "b.txt"}));
  EXPECT_EQ(res.status, RunStatus::Stopped);
  EXPECT_EQ(read_file(dir / "a.txt"), "{a}\r\n");
  EXPECT_EQ(read_file(dir / "b.txt"), "b");
}

TEST_F(RunDriverTest, LastCharsFallbackCarriesToLaterFiles) {
  write_file(dir / "a.txt", "abc\nabcdef");
  write_file(dir / "b.txt", "wxyz");
  RunRequest r = request({dir / "a.txt", dir / "b.txt"});
  r.scope.select(8);
  r.scope.set("Edit_fw_hj1", "?");
  r.jobs = 4;  // the fallback keeps the run in list order on one job
  r.make_operations = test_op_of_a_worker;
  RunResult res = run(r);
  EXPECT_EQ(read_file(dir / "a.txt"), "{abc}\r\nabc{def}\r\n");
  EXPECT_EQ(read_file(dir / "b.txt"), "w{xyz}\r\n");
  EXPECT_EQ(host.changes, (std::vector<std::pair<std::string, std::string>>{{"Edit_fw_hj1", "3"}}));
  EXPECT_EQ(res.scope.text("Edit_fw_hj1"), "3");
}

TEST_F(RunDriverTest, DryRunWritesNothing) {
  write_file(dir / "a.txt", "a\r\n");
  write_file(dir / "b.txt", "b\n");
  host.clipboard = "c";
  RunRequest r = request({dir / "a.txt", dir / "b.txt", kClipboardEntry}, false);
  r.dry_run = true;
  RunResult res = run(r);
  EXPECT_EQ(res.changed, (std::vector<std::string>{dir / "b.txt", kClipboardEntry}));
  EXPECT_EQ(read_file(dir / "b.txt"), "b\n");
  EXPECT_EQ(host.clipboard, "c");
}

// Parallel runs put files in place in list order: the outcome is that of one job, also
// for the same file listed twice and for a failure in the middle.
TEST_F(RunDriverTest, ParallelRunMatchesOneJob) {
  auto make_tree = [&](const std::string& sub) {
    std::filesystem::create_directory(dir / sub);
    std::vector<std::string> files;
    for (int k = 0; k < 40; ++k) {
      std::string f = dir / (sub + "/f" + std::to_string(k) + ".txt");
      write_file(f, "line " + std::to_string(k) + "\nsecond\n");
      files.push_back(f);
      if (k % 7 == 3) files.push_back(f);  // listed twice: the second run sees the first
      if (k == 20) files.push_back(kClipboardEntry);
    }
    write_file(dir / (sub + "/bad.txt"), "x");
    files.insert(files.begin() + 30, dir / (sub + "/bad.txt"));
    return files;
  };
  struct Outcome {
    RunResult res;
    FindResults results;
    std::vector<std::string> contents;
    RunContext context;
    std::optional<std::string> clipboard;
  };
  auto go = [&](const std::string& sub, int jobs) {
    std::vector<std::string> files = make_tree(sub);
    RunContext ctx;
    FindResults found;
    Host h;
    h.clipboard = "clip";
    TestOp single;
    // Both keep a journal, which lets files wait to be put in place.
    RunJournal journal(dir / (sub + "-journal/"), "");
    RunRequest r;
    r.eol = EolPolicy::CrLf;
    r.journal = &journal;
    r.files = files;
    r.chain.append(&single);
    r.jobs = jobs;
    r.make_operations = test_op_of_a_worker;
    Outcome o{RunDriver(ctx, found, h).run(r), found, {}, ctx, h.clipboard};
    for (const auto& f : files)
      if (f != kClipboardEntry) o.contents.push_back(read_file(f));
    // The two trees differ only in their directory name.
    auto strip = [&](std::string& s) {
      if (size_t at = s.find(sub); at != std::string::npos) s.erase(0, at + sub.size());
    };
    for (auto& line : o.results) strip(line);
    for (auto& c : o.res.changed) strip(c);
    return o;
  };
  Outcome one = go("one", 1), many = go("many", 3);
  EXPECT_EQ(one.res.status, RunStatus::Failed);
  EXPECT_EQ(many.res.status, one.res.status);
  EXPECT_EQ(many.res.error, one.res.error);
  EXPECT_EQ(many.res.files_done, one.res.files_done);
  EXPECT_EQ(many.res.changed, one.res.changed);
  EXPECT_EQ(many.results, one.results);
  EXPECT_EQ(many.contents, one.contents);
  EXPECT_EQ(many.context.file_index, one.context.file_index);
  EXPECT_EQ(many.clipboard, one.clipboard);
  EXPECT_EQ(one.contents[3], "{{line 3}}\r\n{{second}}\r\n");
  EXPECT_EQ(one.contents.back(), "line 39\nsecond\n");
  // Nothing prepared ahead of the failure is left lying around.
  for (auto& e : std::filesystem::directory_iterator(dir / "many"))
    EXPECT_EQ(e.path().filename().string().find(".lq-"), std::string::npos) << e.path();
}

// A run puts a file's new content in place only once it is on the disk, and syncs each
// directory once after the renames, with a journal and without one.
TEST_F(RunDriverTest, NewContentIsOnTheDiskBeforeItReplacesAFile) {
  std::filesystem::create_directory(dir / "s");
  for (bool journaled : {false, true}) {
    SCOPED_TRACE(journaled ? "journal" : "no journal");
    const std::vector<std::string> files = {dir / "a.txt", dir / "s/b.txt", dir / "c.txt",
                                            dir / "same.txt"};
    for (const std::string& f : files) write_file(f, f.ends_with("same.txt") ? "" : "x\n");
    SyncSpy spy;
    std::vector<std::string> seen;  // the content syncs and the directory syncs, in order
    spy.on_call = [&](const SyncSpy::Call& c) {
      if (c.path.starts_with(dir / "batch")) return;  // the journal's own
      std::string at = c.dir ? "dir " + c.path.substr(dir.path().size()) : "data";
      for (const std::string& f : files) at += " " + std::to_string(read_file(f).size());
      seen.push_back(at);
    };
    RunJournal journal(dir / "batch/", "");
    RunRequest r = request(files);
    if (journaled) r.journal = &journal;
    const RunResult res = run(std::move(r));
    ASSERT_EQ(res.status, RunStatus::Done) << res.error;
    EXPECT_EQ(res.changed.size(), 3u);
    // Sizes of a, s/b and c: 2 bytes before, 5 after; the empty file stays as it is.
    EXPECT_EQ(seen, (std::vector<std::string>{"data 2 2 2 0", "data 2 2 2 0", "data 2 2 2 0",
                                              "dir  5 5 5 0", "dir /s 5 5 5 0"}));
  }
}

// A wait for the disk that fails ends the run with the system's reason, the file keeping
// its old content, or, when only its directory could not be synced, its new one. A
// journal whose directory cannot be synced stops the run before the file.
TEST_F(RunDriverTest, FailedWaitForTheDiskFailsTheRun) {
  struct Row {
    const char* name;
    bool journaled;
    std::function<bool(const SyncSpy::Call&)> fails;
    std::string error;
    std::string after;
  };
  const std::string a = dir / "a.txt";
  auto in_journal = [&](const SyncSpy::Call& c) { return c.path.starts_with(dir / "batch"); };
  const Row rows[] = {
      {"content", false, [&](auto& c) { return !c.dir && !in_journal(c); },
       "Cannot create file \"" + a + "\". Input/output error", "x\n"},
      {"content, journal", true, [&](auto& c) { return !c.dir && !in_journal(c); },
       "Cannot create file \"" + a + "\". Input/output error", "x\n"},
      {"directory", false, [&](auto& c) { return c.dir && !in_journal(c); },
       "Cannot sync directory \"" + dir.path() + "/\". Input/output error", "{x}\r\n"},
      {"journal's directory", true, [&](auto& c) { return c.dir && in_journal(c); },
       "Cannot sync directory \"" + dir / "batch/" + "\". Input/output error", "x\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    write_file(a, "x\n");
    std::filesystem::remove_all(dir / "batch");
    SyncSpy spy;
    spy.fail = [&](const SyncSpy::Call& c) { return row.fails(c) ? EIO : 0; };
    RunJournal journal(dir / "batch/", "");
    RunRequest r = request({a});
    if (row.journaled) r.journal = &journal;
    const RunResult res = run(std::move(r));
    EXPECT_EQ(res.status, RunStatus::Failed);
    EXPECT_EQ(res.error, row.error);
    EXPECT_EQ(read_file(a), row.after);
    EXPECT_EQ(dir.names().size(), row.journaled ? 2u : 1u);  // no temporary file left
  }
}

// In a group, the file whose content could not reach the disk stops the run there: the
// files before it are replaced and reported as changed, it and the later ones keep their
// old bytes; with one job and with several.
TEST_F(RunDriverTest, FailedWaitInAGroupStopsAtThatFile) {
  const std::vector<std::string> files = {dir / "a.txt", dir / "b.txt", dir / "c.txt"};
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    for (const std::string& f : files) write_file(f, "x\n");
    SyncSpy spy;
    spy.fail = [](const SyncSpy::Call& c) {
      return !c.dir && c.path.find("b.txt") != c.path.npos ? EIO : 0;
    };
    RunRequest r = request(files);
    r.jobs = jobs;
    r.make_operations = test_op_of_a_worker;
    const RunResult res = run(std::move(r));
    EXPECT_EQ(res.status, RunStatus::Failed);
    EXPECT_EQ(res.error, "Cannot create file \"" + files[1] + "\". Input/output error");
    EXPECT_EQ(res.changed, (std::vector<std::string>{files[0]}));
    EXPECT_EQ(context.file_index, 1);
    EXPECT_EQ(read_file(files[0]), "{x}\r\n");
    EXPECT_EQ(read_file(files[1]), "x\n");
    EXPECT_EQ(read_file(files[2]), "x\n");
    EXPECT_EQ(dir.names().size(), 3u);  // no temporary file left
  }
}

}  // namespace
}  // namespace lq

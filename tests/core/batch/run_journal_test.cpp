#include "core/batch/run_journal.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "core/batch/journal_format.h"
#include "core/batch/journal_summary.h"
#include "core/batch/journal_undo.h"
#include "core/batch/run_driver.h"
#include "core/operations/document_operations.h"
#include "core/run_error.h"
#include "core/textsvc/file_services.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

using namespace test;

// Every "x" becomes "y"; a file without "x" comes out as it went in.
struct XToY : Operation {
  XToY() : Operation({}) { set_enabled(true); }
  void line_step(std::string& t) override {
    for (char& c : t)
      if (c == 'x') c = 'y';
  }
};

// Ends the process at the start of a given file, as a crash would.
struct CrashingHost : RunHost {
  int crash_at = -1;
  void progress(int index, int, int, std::string_view) override {
    if (index == crash_at) _exit(0);
  }
};

struct Journaled : testing::Test {
  TempDir dir;
  std::string jdir = dir / "batch/";
  RunContext context;
  FindResults results;
  CrashingHost host;
  XToY op;

  RunResult run(std::vector<std::string> files, IControlTF* with = nullptr,
                JournalLimits limits = {}, std::string recipe = "[operation]\r\nop=x\r\n") {
    RunJournal journal(jdir, recipe, limits);
    RunRequest r;
    r.files = std::move(files);
    r.chain.append(with ? with : &op);
    r.journal = &journal;
    r.eol = EolPolicy::CrLf;
    return RunDriver(context, results, host).run(std::move(r));
  }
  std::string file(const std::string& name, const std::string& bytes) {
    write_file(dir / name, bytes);
    return dir / name;
  }
};

timespec mtime_of(const std::string& path) {
  struct stat st;
  stat(path.c_str(), &st);
  return st.st_mtim;
}

void set_old_mtime(const std::string& path) {
  timeval tv[2] = {{1000000000, 0}, {1000000000, 0}};
  utimes(path.c_str(), tv);
}

TEST_F(Journaled, RecordsReplacedFilesAndUndoRestoresThemButNotChangedOnes) {
  const std::string a = file("a.txt", "ax\r\n"), b = file("b.txt", "bx\n"),
                    same = file("same.txt", "keep\r\n");
  chmod(a.c_str(), 0444);
  set_old_mtime(same);
  const timespec before = mtime_of(same);
  RunResult res = run({a, b, same});
  ASSERT_EQ(res.status, RunStatus::Done) << res.error;
  // A file whose bytes do not change is not written: its time stamp stays.
  EXPECT_EQ(mtime_of(same).tv_sec, before.tv_sec);
  EXPECT_EQ(res.files_done, 3);

  std::vector<JournalRun> runs = list_journal_runs(jdir);
  ASSERT_EQ(runs.size(), 1u);
  const JournalRun& r = runs[0];
  EXPECT_EQ(r.end, "done");
  ASSERT_EQ(r.files.size(), 2u);
  EXPECT_EQ(r.files[0].path, a);
  EXPECT_EQ(r.files[0].mode, 0444u);
  EXPECT_EQ(read_file(r.dir + r.files[1].stored), "bx\n");
  EXPECT_EQ(read_file(r.dir + kJournalRecipeName), "[operation]\r\nop=x\r\n");

  write_file(b, "edited by hand\n");
  const UndoReport rep = undo_run(jdir, r.id);
  EXPECT_EQ(rep.restored, std::vector<std::string>{a});
  EXPECT_EQ(rep.changed, std::vector<std::string>{b});
  EXPECT_TRUE(rep.failed.empty());
  EXPECT_EQ(read_file(a), "ax\r\n");
  EXPECT_EQ(mode_of(a), 0444u);
  EXPECT_EQ(read_file(b), "edited by hand\n");
  EXPECT_TRUE(list_journal_runs(jdir)[0].undone);
  EXPECT_FALSE(last_undoable_run(jdir).has_value());

  // Undoing again finds everything as it was.
  const UndoReport again = undo_run(jdir, r.id);
  EXPECT_EQ(again.same, std::vector<std::string>{a});
  EXPECT_TRUE(again.restored.empty());
}

// Files converted to UTF-8 as a whole, a piece at a time: the journal has the digests of
// what was read and what was written, so undo brings the converted file back; a file the
// conversion leaves as it is (its one byte above ASCII is no GBK character, kept as it
// is) is neither rewritten nor recorded, and no temporary file stays behind.
TEST_F(Journaled, FilesConvertedInPiecesAreUndoneAndUnchangedOnesLeftAlone) {
  std::string gbk, same = "\xFF";
  while (gbk.size() < (3u << 20)) gbk += "\xD6\xD0\xCE\xC4 abc\r\n";  // 中文
  while (same.size() < (3u << 20)) same += "plain ascii line\r\n";
  const std::string conv = file("conv.txt", gbk), kept = file("kept.txt", same);
  set_old_mtime(kept);
  const timespec before = mtime_of(kept);
  std::unique_ptr<Operation> to_utf8 = make_unicode();
  to_utf8->params().set("RadioButton_Unicode2", "0");
  to_utf8->params().set("RadioButton_Unicode3", "1");
  to_utf8->set_enabled(true);
  RunJournal journal(jdir, "[operation]\r\n");
  RunRequest r;
  r.files = {conv, kept};
  r.chain.append(to_utf8.get());
  r.journal = &journal;
  const RunResult res = RunDriver(context, results, host).run(std::move(r));
  ASSERT_EQ(res.status, RunStatus::Done) << res.error;
  EXPECT_EQ(res.changed, std::vector<std::string>{conv});
  EXPECT_EQ(read_file(conv).substr(0, 12), "\xE4\xB8\xAD\xE6\x96\x87 abc\r\n");
  EXPECT_EQ(read_file(kept), same);
  EXPECT_EQ(mtime_of(kept).tv_sec, before.tv_sec);
  std::vector<std::string> names = dir.names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"batch", "conv.txt", "kept.txt"}));

  const std::optional<JournalRun> run = last_undoable_run(jdir);
  ASSERT_TRUE(run && run->files.size() == 1u);
  const UndoReport rep = undo_run(jdir, run->id);
  EXPECT_EQ(rep.restored, std::vector<std::string>{conv});
  EXPECT_TRUE(read_file(conv) == gbk);
}

// Stopped between two files: what was restored stays restored, the run stays undoable, and
// a second undo does the rest.
TEST_F(Journaled, StoppedUndoLeavesTheRunUndoable) {
  const std::string a = file("a.txt", "ax\n"), b = file("b.txt", "bx\n"), c = file("c.txt", "cx\n");
  ASSERT_EQ(run({a, b, c}).status, RunStatus::Done);
  const std::string id = last_undoable_run(jdir)->id;
  std::vector<std::pair<uint64_t, uint64_t>> heard;
  const UndoReport part = undo_run(jdir, id, [&](uint64_t done, uint64_t total) {
    heard.emplace_back(done, total);
    return done < 1;
  });
  EXPECT_TRUE(part.stopped);
  EXPECT_EQ(heard, (std::vector<std::pair<uint64_t, uint64_t>>{{0, 3}, {1, 3}}));
  EXPECT_EQ(part.restored, std::vector<std::string>{c});  // newest first
  EXPECT_EQ(read_file(a), "ay\r\n");
  ASSERT_TRUE(last_undoable_run(jdir).has_value());

  const UndoReport rest = undo_run(jdir, id);
  EXPECT_FALSE(rest.stopped);
  EXPECT_EQ(rest.restored, (std::vector<std::string>{b, a}));
  EXPECT_EQ(rest.same, std::vector<std::string>{c});
  EXPECT_EQ(read_file(a), "ax\n");
  EXPECT_FALSE(last_undoable_run(jdir).has_value());
}

TEST_F(Journaled, NothingWrittenLeavesNoJournalAndDryRunsNone) {
  const std::string a = file("a.txt", "a\r\n");
  EXPECT_EQ(run({a}).status, RunStatus::Done);
  RunJournal journal(jdir, "");
  RunRequest r;
  r.files = {file("b.txt", "x\n")};
  r.chain.append(&op);
  r.journal = &journal;
  r.dry_run = true;
  RunDriver(context, results, host).run(r);
  EXPECT_TRUE(list_journal_runs(jdir).empty());
  EXPECT_EQ(journal.id(), "");
}

// A file listed twice is rewritten twice; undo goes back through both to the original.
TEST_F(Journaled, FileListedTwiceAndOddNamesComeBack) {
  struct Wrap : Operation {
    Wrap() : Operation({}) { set_enabled(true); }
    void line_step(std::string& t) override { t = "(" + t + ")"; }
  } wrap;
  const std::string odd = file("a b%41\nc.txt", "t\n");
  ASSERT_EQ(run({odd, odd}, &wrap).status, RunStatus::Done);
  EXPECT_EQ(read_file(odd), "((t))\r\n");
  const JournalRun r = *last_undoable_run(jdir);
  ASSERT_EQ(r.files.size(), 2u);
  EXPECT_EQ(r.files[0].path, odd);
  const UndoReport rep = undo_run(jdir, r.id);
  EXPECT_EQ(rep.restored, std::vector<std::string>{odd});
  EXPECT_TRUE(rep.same.empty());
  EXPECT_EQ(read_file(odd), "t\n");
}

TEST_F(Journaled, CreatedFilesAreRemovedAndOverwrittenOnesRestored) {
  std::unique_ptr<Operation> copy = make_save_as();
  copy->set_enabled(true);
  copy->params().set("Edit_saveas1", ".bak");
  const std::string a = file("a.txt", "a\r\n"), b = file("b.txt", "b\r\n");
  file("b.txt.bak", "older copy\n");
  ASSERT_EQ(run({a, b}, copy.get()).status, RunStatus::Done);
  EXPECT_EQ(read_file(dir / "a.txt.bak"), "a\r\n");
  const JournalRun r = *last_undoable_run(jdir);
  ASSERT_EQ(r.files.size(), 2u);
  EXPECT_TRUE(r.files[0].created);
  EXPECT_FALSE(r.files[1].created);

  const UndoReport rep = undo_run(jdir, r.id);
  EXPECT_EQ(rep.removed, std::vector<std::string>{dir / "a.txt.bak"});
  EXPECT_EQ(rep.restored, std::vector<std::string>{dir / "b.txt.bak"});
  EXPECT_FALSE(file_exists(dir / "a.txt.bak"));
  EXPECT_EQ(read_file(dir / "b.txt.bak"), "older copy\n");
}

TEST_F(Journaled, CreatedFileChangedSinceIsKept) {
  std::unique_ptr<Operation> copy = make_save_as();
  copy->set_enabled(true);
  copy->params().set("Edit_saveas1", ".bak");
  ASSERT_EQ(run({file("a.txt", "a\r\n")}, copy.get()).status, RunStatus::Done);
  write_file(dir / "a.txt.bak", "mine now\n");
  const UndoReport rep = undo_run(jdir, last_undoable_run(jdir)->id);
  EXPECT_EQ(rep.changed, std::vector<std::string>{dir / "a.txt.bak"});
  EXPECT_EQ(read_file(dir / "a.txt.bak"), "mine now\n");
}

// A process that dies between two files leaves a journal of the files it replaced, and
// of the ones it was about to replace.
TEST_F(Journaled, CrashBetweenFilesLeavesAUsableJournal) {
  std::vector<std::string> files;
  for (int k = 0; k < 70; ++k)
    files.push_back(file("f" + std::to_string(k) + ".txt", "x" + std::to_string(k) + "\n"));
  const pid_t child = fork();
  if (child == 0) {
    host.crash_at = 66;
    run(files);
    _exit(1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  int replaced = 0;
  for (const std::string& f : files) replaced += read_file(f).starts_with("y");
  EXPECT_GT(replaced, 0);
  EXPECT_LT(replaced, 66);
  EXPECT_EQ(read_file(files[66]), "x66\n");

  const std::optional<JournalRun> r = last_undoable_run(jdir);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->end, "");  // the run never ended
  EXPECT_EQ(r->files.size(), 66u);
  const UndoReport rep = undo_run(jdir, r->id);
  EXPECT_EQ(rep.restored.size(), static_cast<size_t>(replaced));
  EXPECT_EQ(rep.same.size(), 66u - static_cast<size_t>(replaced));
  for (int k = 0; k < 70; ++k) EXPECT_EQ(read_file(files[k]), "x" + std::to_string(k) + "\n");
}

// Files wait for the journal in groups; what the run leaves is still what one file after
// the other would leave: on a failure, on an operation's own file, on many files.
TEST_F(Journaled, WaitingFilesLeaveWhatOneAfterTheOtherWould) {
  struct FailOnBad : XToY {
    void document_step(LineList&, const std::string& file_name) override {
      if (file_name.ends_with("bad.txt")) throw RunError("bad file");
    }
  } op_bad;
  std::vector<std::string> files;
  for (int k = 0; k < 150; ++k) files.push_back(file("m" + std::to_string(k) + ".txt", "x\n"));
  files.insert(files.begin() + 100, file("bad.txt", "x\n"));
  RunResult res = run(files, &op_bad);
  EXPECT_EQ(res.status, RunStatus::Failed);
  EXPECT_EQ(res.files_done, 100);
  EXPECT_EQ(context.file_index, 100);
  EXPECT_EQ(res.changed.size(), 100u);
  EXPECT_EQ(read_file(files[99]), "y\r\n");
  EXPECT_EQ(read_file(files[101]), "x\n");
  EXPECT_EQ(last_undoable_run(jdir)->files.size(), 100u);
  EXPECT_EQ(undo_run(jdir, last_undoable_run(jdir)->id).restored.size(), 100u);
  EXPECT_EQ(read_file(files[99]), "x\n");

  // The copy of a later entry lands on a file an earlier entry rewrote.
  std::unique_ptr<Operation> copy = make_save_as();
  copy->set_enabled(true);
  copy->params().set("Edit_saveas1", ".bak");
  const std::string bak = file("c.txt.bak", "old bak\n"), c = file("c.txt", "c\n");
  ASSERT_EQ(run({bak, c}, copy.get()).status, RunStatus::Done);
  EXPECT_EQ(read_file(bak), "c\r\n");  // the copy of c.txt's document, written last
  EXPECT_EQ(read_file(dir / "c.txt.bak.bak"), "old bak\r\n");
  undo_run(jdir, last_undoable_run(jdir)->id);
  EXPECT_EQ(read_file(bak), "old bak\n");
  EXPECT_FALSE(file_exists(dir / "c.txt.bak.bak"));
}

TEST_F(Journaled, JournalThatCannotBeWrittenStopsTheRunBeforeTheFile) {
  write_file(dir / "batch", "a file where the directory should be");
  const std::string a = file("a.txt", "x\n");
  RunResult res = run({a});
  EXPECT_EQ(res.status, RunStatus::Failed);
  EXPECT_NE(res.error.find("batch"), std::string::npos) << res.error;
  EXPECT_EQ(read_file(a), "x\n");
}

TEST_F(Journaled, OldRunsArePrunedByCountAndSize) {
  const std::string a = file("a.txt", "");
  for (int k = 0; k < 4; ++k) {
    write_file(a, std::string(1000, 'x') + std::to_string(k));
    ASSERT_EQ(run({a}, nullptr, {2, 1ULL << 30}).status, RunStatus::Done);
  }
  std::vector<JournalRun> runs = list_journal_runs(jdir);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(read_file(runs[0].dir + runs[0].files[0].stored), std::string(1000, 'x') + "3");
  EXPECT_TRUE(run_id_before(runs[1].id, runs[0].id));

  // A size limit below one run keeps only the newest.
  write_file(a, "x");
  ASSERT_EQ(run({a}, nullptr, {20, 100}).status, RunStatus::Done);
  runs = list_journal_runs(jdir);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(read_file(runs[0].dir + runs[0].files[0].stored), "x");
}

// An ended run's size is noted once and read back from the note; a note cut short (or
// none, as runs of older versions have) means counting the files again.
TEST_F(Journaled, EndedRunsSizeIsNotedAndATornNoteIsIgnored) {
  const std::string a = file("a.txt", std::string(1000, 'x'));
  ASSERT_EQ(run({a}).status, RunStatus::Done);
  const JournalRun ended = list_journal_runs(jdir, false).at(0);
  const unsigned long long counted = ended.bytes;
  EXPECT_GT(counted, 1000u);
  EXPECT_EQ(read_file(ended.dir + kJournalSizeName), std::to_string(counted) + "\n");
  write_file(ended.dir + "extra", std::string(500, 'e'));
  EXPECT_EQ(list_journal_runs(jdir, false).at(0).bytes, counted);
  for (const char* note : {"12", ""}) {
    write_file(ended.dir + kJournalSizeName, note);
    EXPECT_EQ(list_journal_runs(jdir, false).at(0).bytes, counted + 500 + std::strlen(note));
  }
}

// A run that another process is still writing is never pruned, however old; once that
// process is gone (ended or killed), the run goes like any other.
TEST_F(Journaled, PruningLeavesARunThatIsStillBeingWritten) {
  const std::string a = file("a.txt", ""), b = file("b.txt", "x\n");
  // Its own descriptor of the lock, as another process would have.
  auto live = std::make_unique<RunJournal>(jdir, "", JournalLimits{1, 1ULL << 30});
  live->before_replace(b, std::string(hash_digits(kJournalDigest), '0'));
  const std::string live_id = live->id();
  for (int k = 0; k < 3; ++k) {
    write_file(a, "x" + std::to_string(k) + "\n");
    ASSERT_EQ(run({a}, nullptr, {1, 1ULL << 30}).status, RunStatus::Done);
  }
  std::vector<JournalRun> runs = list_journal_runs(jdir);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1].id, live_id);
  EXPECT_EQ(read_file(runs[1].dir + runs[1].files[0].stored), "x\n");

  live.reset();  // the process ends without ending its run, as a killed one does
  write_file(a, "x\n");
  ASSERT_EQ(run({a}, nullptr, {1, 1ULL << 30}).status, RunStatus::Done);
  runs = list_journal_runs(jdir);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_NE(runs[0].id, live_id);
}

TEST(JournalFormat, PathsAndIdsAndTornLines) {
  const std::string odd = "/a b/%/\n\t\x7f\xb0\xa1";
  EXPECT_EQ(escape_journal_path(odd).find_first_of(" \n\t"), std::string::npos);
  EXPECT_EQ(unescape_journal_path(escape_journal_path(odd)), odd);
  EXPECT_TRUE(run_id_before("20261210-114800", "20261210-114800-2"));
  EXPECT_TRUE(run_id_before("20261210-114800-9", "20261210-114800-10"));
  EXPECT_TRUE(run_id_before("20261210-114800-10", "20261210-114801"));

  TempDir dir;
  std::filesystem::create_directory(dir / "r1");
  const std::string h(hash_digits(kJournalDigest), 'a');
  write_file(dir / "r1/journal.txt", std::string(kJournalMagic) + "\nstarted 5\nC " + h +
                                         " /x\nR 1.orig 644 " + h + " " + h + " /y\nC " + h);
  const std::optional<JournalRun> r = read_journal_run(dir / "r1/");
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->started, 5);
  ASSERT_EQ(r->files.size(), 2u);  // the cut-off last line does not count
  EXPECT_EQ(r->files[1].path, "/y");
  EXPECT_EQ(r->files[1].mode, 0644u);
  EXPECT_THROW(undo_run(dir.path() + "/", "../r1"), RunError);
}

// A run journaled by an earlier version, with SHA-256 digests, is read and undone as it was.
TEST(JournalFormat, RunOfAnEarlierVersionIsUndone) {
  TempDir dir;
  std::filesystem::create_directory(dir / "r1");
  const std::string f = dir / "f.txt";
  write_file(f, "new");
  write_file(dir / "r1/1.orig", "old");
  const std::string old_hash = content_hash_hex("old", DigestKind::Sha256);
  const std::string new_hash = content_hash_hex("new", DigestKind::Sha256);
  write_file(dir / "r1/journal.txt", std::string(kJournalMagicSha256) +
                                         "\nstarted 5\nR 1.orig 644 " + old_hash + " " + new_hash +
                                         " " + f + "\nend done 6\n");
  const std::optional<JournalRun> r = read_journal_run(dir / "r1/");
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->digest, DigestKind::Sha256);
  ASSERT_EQ(r->files.size(), 1u);
  const UndoReport report = undo_run(dir.path() + "/", "r1");
  EXPECT_EQ(report.restored, std::vector<std::string>{f});
  EXPECT_EQ(read_file(f), "old");
}

// A run's operation reads as its number and name, without the enable box's word.
TEST(JournalSummary, OperationNamedByNumberAndCaption) {
  const std::pair<const char*, const char*> cases[] = {
      {"TControlForm_ucase", "[10]全部转为大写"},
      {"TControlForm_th", "[4]替换.."},
      {"", ""},  // a run without an operation
  };
  TempDir dir;
  for (const auto& [op, want] : cases) {
    std::filesystem::create_directories(dir / "r/");
    write_file(dir / ("r/" + std::string(kJournalRecipeName)),
               *op ? "[operation]\r\nop=" + std::string(op) + "\r\n" : "");
    JournalRun run;
    run.dir = dir / "r/";
    EXPECT_EQ(journal_run_operation(run), want) << op;
  }
}

}  // namespace
}  // namespace lq

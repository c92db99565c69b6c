// Whatever the user points a run at, nothing is lost: binary files, huge lines, link loops,
// unreadable files, a full disk, patterns and scripts that never finish, and settings or
// record files full of noise.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/batch/run_driver.h"
#include "core/operations/replace_op.h"
#include "core/operations/script_op.h"
#include "core/settings/ini_file.h"
#include "core/settings/sys_settings.h"
#include "core/support/file_powers.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/text_data.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

using namespace testing_support;
using namespace test;

// C(x) = ">" + x, so every line visibly went through the operation. Built at its exact
// size: an insert may double the string's room, which would charge the memory bound below
// with the library's growth rather than with the run.
struct MarkOp : Operation {
  MarkOp() : Operation({}) { set_enabled(true); }
  void line_step(std::string& t) override {
    std::string marked;
    marked.reserve(t.size() + 1);
    marked += '>';
    marked += t;
    t.swap(marked);
  }
  void document_step(LineList&, const std::string&) override {}
};

// C(x) = x x: output twice the input, for filling a disk.
struct DoubleOp : Operation {
  DoubleOp() : Operation({}) { set_enabled(true); }
  void line_step(std::string& t) override { t += t; }
  void document_step(LineList&, const std::string&) override {}
};

std::string random_bytes(std::mt19937& rng, size_t n) {
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng() & 0xFF);
  return s;
}

class Hostile : public testing::Test {
 protected:
  TempDir dir;
  RunContext context;
  FindResults results;
  RunHost host;

  RunResult run(std::vector<std::string> files, Operation& op) {
    RunRequest r;
    r.files = std::move(files);
    r.chain.append(&op);
    // Binary input is processed on purpose here, and written with CR LF throughout.
    r.binary = true;
    r.eol = EolPolicy::CrLf;
    return RunDriver(context, results, host).run(std::move(r));
  }
  bool leftovers_besides(const std::vector<std::string>& expected) const {
    auto names = dir.names();
    std::sort(names.begin(), names.end());
    auto want = expected;
    std::sort(want.begin(), want.end());
    return names != want;
  }
};

TEST_F(Hostile, BinaryFileKeepsEveryByteButLineBreaks) {
  // Every byte value but CR and LF, NULs included, in lines of varying length.
  std::mt19937 rng(7);
  std::string in, out;
  for (int line = 0; line < 200; ++line) {
    std::string text = random_bytes(rng, rng() % 300);
    std::replace(text.begin(), text.end(), '\n', '\0');
    std::replace(text.begin(), text.end(), '\r', '\0');
    if (line % 3 == 0) text += std::string(3, '\0');
    in += text + (line % 2 ? "\r\n" : "\n");
    out += ">" + text + "\r\n";
  }
  const std::string file = dir / "bin.dat";
  write_file(file, in);
  MarkOp op;
  RunResult r = run({file}, op);
  ASSERT_EQ(r.status, RunStatus::Done) << r.error;
  EXPECT_TRUE(read_file(file) == out) << "bytes changed";
}

TEST_F(Hostile, ReplaceSeesTextAfterNulBytes) {
  const std::string file = dir / "nul.dat";
  write_file(file, std::string("a\0b\0\0b\n", 7));
  for (bool regex : {false, true}) {
    ReplaceOp op;
    op.set_enabled(true);
    op.params().set_checked("CheckBox_th_r2", regex);
    op.params().set("Edit_th1", "b");
    op.params().set("Edit_th2", regex ? "C" : "B");
    ASSERT_EQ(run({file}, op).status, RunStatus::Done);
  }
  EXPECT_EQ(read_file(file), std::string("a\0C\0\0C\r\n", 8));
}

// Bytes of address space the process has mapped now.
[[maybe_unused]] size_t address_space() {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0;
  statm >> pages;
  return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// One 100 MB line: loaded, processed and written whole, in a child process whose address
// space may grow by no more than four times the file, so per-byte structures or extra
// copies fail the run (and quadratic work would not finish). The sanitizers map memory of
// their own, so there the line is smaller and only the bytes are checked.
TEST_F(Hostile, HugeSingleLineIsProcessedInBoundedMemory) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr size_t kSize = 20u << 20;
#else
  constexpr size_t kSize = 100u << 20;
#endif
  std::string line(kSize, 'x');
  for (size_t i = 0; i < kSize; i += 4096) line[i] = '\0';
  const std::string file = dir / "big.txt";
  write_file(file, line);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
#if !defined(__SANITIZE_ADDRESS__)
    std::string().swap(line);
    struct rlimit lim {};
    lim.rlim_cur = lim.rlim_max = address_space() + 4 * kSize;
    if (setrlimit(RLIMIT_AS, &lim) != 0) _exit(10);
#endif
    MarkOp op;
    _exit(run({file}, op).status == RunStatus::Done ? 0 : 11);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "child ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10: no limit, 11: run failed (out of memory?)";
  const std::string got = read_file(file);
  ASSERT_EQ(got.size(), kSize + 3);
  EXPECT_TRUE(got == ">" + line + "\r\n");
}

TEST_F(Hostile, SymbolicLinkLoopsDoNotStopTheScan) {
  std::filesystem::create_directories(dir / "a/b");
  write_file(dir / "a/b/f.txt", "x");
  std::filesystem::create_directory_symlink("..", dir / "a/b/up");
  std::filesystem::create_directory_symlink(".", dir / "a/self");
  std::filesystem::create_directory_symlink(dir.path(), dir / "a/b/root");
  std::filesystem::create_symlink("loop2", dir / "loop1");
  std::filesystem::create_symlink("loop1", dir / "loop2");

  LineList files;
  get_files(dir.path() + "/", files, true);
  EXPECT_EQ(std::count_if(files.begin(), files.end(),
                          [](const std::string& f) { return f.ends_with("f.txt"); }),
            1);
  LineList all;
  list_dir(dir.path() + "/", all, true, "all");
  EXPECT_LT(all.size(), 20u);
}

// A named pipe would block the first read for ever: it is neither listed nor opened.
TEST_F(Hostile, NamedPipeIsNeitherListedNorOpened) {
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  write_file(dir / "a.txt", "1\n");
  LineList files;
  get_files(dir.path() + "/", files, true);
  EXPECT_EQ(files, LineList{dir / "a.txt"});
  MarkOp op;
  EXPECT_EQ(run({dir / "pipe", dir / "a.txt"}, op).status, RunStatus::Done);
  EXPECT_EQ(read_file(dir / "a.txt"), ">1\r\n");
}

TEST_F(Hostile, UnreadableFileEndsTheRunWithEarlierFilesWritten) {
  WithoutFilePowers plain_user;
  if (!plain_user.active()) GTEST_SKIP() << "root's file powers cannot be given up here";
  const std::string a = dir / "a.txt", b = dir / "b.txt", c = dir / "c.txt";
  write_file(a, "1\n");
  write_file(b, "2\n");
  write_file(c, "3\n");
  chmod(b.c_str(), 0);
  MarkOp op;
  RunResult r = run({a, b, c}, op);
  chmod(b.c_str(), 0600);
  EXPECT_EQ(r.status, RunStatus::Failed);
  EXPECT_NE(r.error.find(b), std::string::npos) << r.error;
  EXPECT_EQ(read_file(a), ">1\r\n");
  EXPECT_EQ(read_file(b), "2\n");
  EXPECT_EQ(read_file(c), "3\n");
}

TEST_F(Hostile, UnreadableDirectoryAddsNothing) {
  WithoutFilePowers plain_user;
  if (!plain_user.active()) GTEST_SKIP() << "root's file powers cannot be given up here";
  std::filesystem::create_directories(dir / "shut");
  write_file(dir / "shut/x.txt", "x");
  write_file(dir / "open.txt", "y");
  chmod((dir / "shut").c_str(), 0);
  LineList files;
  get_files(dir.path() + "/", files, true);
  chmod((dir / "shut").c_str(), 0700);
  EXPECT_EQ(files, LineList{dir / "open.txt"});
}

// A full disk during write-back, as a file-size limit in a child process: the write fails
// with EFBIG instead of the signal, the run reports it, the original keeps its bytes and
// no temporary file is left.
TEST_F(Hostile, FullDiskDuringWriteBackKeepsTheOriginal) {
  const std::string file = dir / "doc.txt";
  std::string original;
  for (int i = 0; i < 2000; ++i) original += "line " + std::to_string(i) + " of the document\r\n";
  write_file(file, original);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit lim {};
    lim.rlim_cur = lim.rlim_max = original.size() + 100;
    if (setrlimit(RLIMIT_FSIZE, &lim) != 0) _exit(10);
    DoubleOp op;
    RunResult r = run({file}, op);
    if (r.status != RunStatus::Failed) _exit(11);
    if (r.error.find(file) == std::string::npos) _exit(12);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "child ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10: no limit, 11: run not failed, 12: file not named";
  EXPECT_TRUE(read_file(file) == original);
  EXPECT_FALSE(leftovers_besides({"doc.txt"}));
}

// Another program writing to a file while the run works on it: the run stops at that file
// and says so, the other program's bytes stay, files before are written, later ones not.
struct MeddleOp : Operation {
  std::string victim;
  explicit MeddleOp(std::string v) : Operation({}), victim(std::move(v)) { set_enabled(true); }
  void line_step(std::string& t) override {
    if (t == "2") std::ofstream(victim, std::ios::app) << "theirs\n";
    t.insert(0, ">");
  }
  void document_step(LineList&, const std::string&) override {}
};

TEST_F(Hostile, FileChangedWhileProcessedIsNotOverwritten) {
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    const std::string a = dir / "a.txt", b = dir / "b.txt", c = dir / "c.txt";
    write_file(a, "1\n");
    write_file(b, "2\n");
    write_file(c, "3\n");
    RunRequest r;
    r.files = {a, b, c};
    r.jobs = jobs;
    r.eol = EolPolicy::CrLf;
    r.make_operations = [&] {
      WorkerOperations w;
      w.owned.push_back(std::make_unique<MeddleOp>(b));
      w.chain.append(w.owned.back().get());
      return w;
    };
    MeddleOp op(b);
    r.chain.append(&op);
    RunResult res = RunDriver(context, results, host).run(std::move(r));
    EXPECT_EQ(res.status, RunStatus::Failed);
    EXPECT_NE(res.error.find(b), std::string::npos) << res.error;
    EXPECT_EQ(read_file(a), ">1\r\n");
    EXPECT_EQ(read_file(b), "2\ntheirs\n");
    EXPECT_EQ(read_file(c), "3\n");
    EXPECT_FALSE(leftovers_besides({"a.txt", "b.txt", "c.txt"}));
  }
}

TEST_F(Hostile, CatastrophicBacktrackingIsAnErrorNotAHang) {
  const std::string file = dir / "a.txt";
  const std::string in = std::string(40, 'a') + "b\n";
  write_file(file, in);
  ReplaceOp op;
  op.set_enabled(true);
  op.params().set_checked("CheckBox_th_r2", true);
  op.params().set("Edit_th1", "(a+)+$");
  op.params().set("Edit_th2", "x");
  RunResult r = run({file}, op);
  EXPECT_EQ(r.status, RunStatus::Failed);
  EXPECT_FALSE(r.error.empty());
  EXPECT_EQ(read_file(file), in);
}

TEST_F(Hostile, EndlessScriptIsStoppedByTheTimeLimit) {
  const std::string file = dir / "a.txt";
  write_file(file, "x\ny\n");
  ScriptOp op;
  op.set_enabled(true);
  op.params().set("txtScript", "while (true) { line.text = line.text + 'z'; }");
  op.set_time_limit(std::chrono::milliseconds(200));
  RunResult r = run({file}, op);
  EXPECT_EQ(r.status, RunStatus::Failed);
  EXPECT_FALSE(r.error.empty());
  EXPECT_EQ(read_file(file), "x\ny\n");
}

TEST_F(Hostile, SettingsAndRecordFilesOfNoiseGiveDefaults) {
  std::mt19937 rng(3);
  const SysSettings defaults = read_sys_settings(IniFile());
  for (int round = 0; round < 50; ++round) {
    std::string noise = random_bytes(rng, 1 + rng() % 5000);
    // Without "[" no section can form, so every value must be its default.
    std::replace(noise.begin(), noise.end(), '[', '(');
    const std::string ini_path = dir / "sys1.ini";
    write_file(ini_path, noise);
    IniFile ini(ini_path);
    EXPECT_EQ(read_sys_settings(ini), defaults) << round;
    ini.read_sections();
    ini.read_string("Sys", "x");

    // With "[" kept, reads still answer something and never fail.
    IniFile raw = IniFile::from_text(random_bytes(rng, 1 + rng() % 5000) + "\n[Sys]\n");
    read_sys_settings(raw);
    for (const std::string& s : raw.read_sections()) raw.read_section(s);

    const std::string ext_path = dir / "ext1.txt";
    write_file(ext_path, noise);
    ext_list(ext_path);

    TTextData store;
    store.is_full_path = true;
    store.use_base64 = round % 2;
    const std::string rec_path = dir / "rec.txt";
    write_file(rec_path, noise);
    store.load_records(rec_path);
    for (int i = 0; i <= store.record_count() + 1; ++i) {
      store.set_current(i);
      store.get_value("name");
      store.get_value("");
    }
  }
}

}  // namespace
}  // namespace lq

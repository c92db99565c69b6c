// lexoquill-batch driven as a user would: real files in a temporary directory, the
// program's directory pointed there with LEXOQUILL_HOME.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_fixture.h"
#include "core/operations/catalogue.h"

namespace {

namespace fs = std::filesystem;

using lq::cli_test::Outcome;
using lq::cli_test::read_file;
using lq::cli_test::write_file;

class Cli : public lq::cli_test::CliTest {};

TEST_F(Cli, HelpNamesEveryOption) {
  Outcome r = run({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* opt :
       {"-r, --recursive",   "--ext LIST",    "--scope N",     "--op OP",     "--set NAME=VALUE",
        "--set-file NAME=F", "--raw-params",  "--multi F",     "--recipe F",  "--save-recipe F",
        "--case-sensitive",  "--ignore-case", "--dry-run",     "--diff",      "--no-journal",
        "--list-runs",       "--undo-last",   "--undo RUN_ID", "--results F", "-j, --jobs N",
        "-q, --quiet",       "--version"})
    EXPECT_NE(r.out.find(opt), std::string::npos) << opt;
  EXPECT_EQ(run({"--version"}).status, 0);
}

TEST_F(Cli, BadUsageNamesTheArgument) {
  write_file(p("a.txt"), "a");
  struct Row {
    std::vector<std::string> args;
    std::string names;
  };
  const Row rows[] = {{{"--frobnicate", "a.txt"}, "--frobnicate"},
                      {{"--scope", "0", "a.txt"}, "'0'"},
                      {{"-j", "x", "a.txt"}, "'x'"},
                      {{"--set", "Edit_fw_qj1", "a.txt"}, "Edit_fw_qj1"},
                      {{"--set", "Edit_nope=1", "a.txt"}, "Edit_nope"},
                      {{"--set", "CheckBox_fw_qz3=yes", "a.txt"}, "CheckBox_fw_qz3"},
                      {{"--op", "99", "a.txt"}, "'99'"},
                      {{"--op", "TControlForm_nope", "a.txt"}, "TControlForm_nope"},
                      {{"--recipe", "missing.ini", "a.txt"}, "missing.ini"},
                      {{"--scope"}, "--scope"},
                      {{}, "PATH"},
                      {{"-0", "a.txt"}, "--files-from"},
                      {{"--json", "a.txt"}, "find (--op 6)"},
                      {{"find", "a", "--json", "--results", "r.txt", "a.txt"}, "--results"},
                      {{"upper", "-", "a.txt"}, "the only PATH"},
                      {{"upper", "--dry-run", "-"}, "--dry-run"},
                      {{"save-as", ".x", "-"}, "'-' has no place"}};
  for (const Row& row : rows) {
    Outcome r = run(row.args);
    EXPECT_EQ(r.status, 2) << row.names;
    EXPECT_NE(r.err.find(row.names), std::string::npos) << r.err;
  }
  EXPECT_EQ(read_file(p("a.txt")), "a");
}

TEST_F(Cli, OperationsNotBuiltAreRefused) {
  for (const auto& cls : lq::PanelClassRegistry::instance().classes()) {
    if (cls.factory) continue;
    write_file(p("a.txt"), "a");
    Outcome r = run({"--op", std::to_string(cls.entries.front().number), "a.txt"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("not available"), std::string::npos) << r.err;
    EXPECT_EQ(read_file(p("a.txt")), "a");
    return;
  }
  GTEST_SKIP() << "every operation is built";
}

TEST_F(Cli, FilesDirectoriesAndExtensions) {
  write_file(p("d/a.txt"), "a\nb");
  write_file(p("d/b.dat"), "b\n");
  write_file(p("d/sub/c.txt"), "c\n");
  write_file(p("e.dat"), "e");
  // Without ext1.txt the built-in list applies; a file named on its own is never filtered.
  // Writing CR LF line ends shows which files a run took.
  Outcome r = run({"--eol", "crlf", "d", "e.dat"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(read_file(p("d/a.txt")), "a\r\nb\r\n");
  EXPECT_EQ(read_file(p("d/b.dat")), "b\n");
  EXPECT_EQ(read_file(p("d/sub/c.txt")), "c\n");
  EXPECT_EQ(read_file(p("e.dat")), "e\r\n");
  write_file(p("home/ext1.txt"), ".dat\r\n");
  EXPECT_EQ(run({"--eol", "crlf", "-r", "d"}).status, 0);
  EXPECT_EQ(read_file(p("d/b.dat")), "b\r\n");
  EXPECT_EQ(read_file(p("d/sub/c.txt")), "c\n");
  EXPECT_EQ(run({"--eol=crlf", "--recursive", "--ext", ".TXT;.htm", "d"}).status, 0);
  EXPECT_EQ(read_file(p("d/sub/c.txt")), "c\r\n");
}

TEST_F(Cli, DryRunListsWhatWouldChange) {
  write_file(p("d/a.txt"), "a\n");
  write_file(p("d/b.txt"), "b\r\n");
  Outcome r = run({"--dry-run", "--eol", "crlf", "d/a.txt", "d/b.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "d/a.txt\n");
  EXPECT_EQ(read_file(p("d/a.txt")), "a\n");
}

// A directory's files in natural order, as a file manager lists them; files named on their
// own in the order given.
TEST_F(Cli, DirectoriesListInNaturalOrder) {
  for (const char* name : {"f10", "f2", "F1", "f0985", "f0292"})
    write_file(p(std::string("d/") + name + ".txt"), "x\n");
  write_file(p("z.txt"), "z\n");
  write_file(p("a.txt"), "a\n");
  Outcome r = run({"--dry-run", "--eol", "crlf", "z.txt", "d", "a.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "z.txt\nd/F1.txt\nd/f2.txt\nd/f10.txt\nd/f0292.txt\nd/f0985.txt\na.txt\n");
}

// A path the user named that is not there, or a directory that gives nothing, is an error
// in the command's own words; no file of the command is touched.
TEST_F(Cli, MissingPathsAndEmptyDirectoriesAreErrors) {
  write_file(p("a.txt"), "a\n");
  write_file(p("only_dat/b.dat"), "b\n");
  write_file(p("nested/sub/c.txt"), "c\n");
  fs::create_directory(p("empty"));
  struct Row {
    std::vector<std::string> args;
    std::string err;
  };
  const Row rows[] = {
      {{"a.txt", "gone.txt"}, "cannot access 'gone.txt': No such file or directory\n"},
      {{"-r", "no_dir", "a.txt"}, "cannot access 'no_dir': No such file or directory\n"},
      {{"a.txt", "a.txt/x"}, "cannot access 'a.txt/x': Not a directory\n"},
      {{"empty"}, "no files to process in 'empty': it holds no files\n"},
      {{"-r", "empty"},
       "no files to process in 'empty': it and its subdirectories hold no files\n"},
      {{"nested"},
       "no files to process in 'nested': it holds no files, only subdirectories; "
       "-r takes those\n"},
      {{"--ext", ".txt;.htm", "only_dat"},
       "no files to process in 'only_dat': none of its 1 file has an extension of the list "
       "(.txt .htm); --ext sets the list\n"},
      {{"--scope", "2", "--set", "Edit_fw_qj1=abc", "empty"}, "no files to process in 'empty'"},
      {{"empty", "only_dat"},
       "lexoquill-batch: no files to process in 'empty': it holds no files\n"
       "lexoquill-batch: no files to process in 'only_dat': none of its 1 file"},
  };
  for (const Row& row : rows) {
    std::vector<std::string> args = row.args;
    args.insert(args.begin(), {"--eol", "crlf"});
    Outcome r = run(args);
    EXPECT_EQ(r.status, 1) << row.err;
    const std::string want =
        row.err.starts_with("lexoquill-batch") ? row.err : "lexoquill-batch: " + row.err;
    EXPECT_EQ(r.err.substr(0, want.size()), want);
    EXPECT_EQ(r.err.find("文件"), std::string::npos) << r.err;
  }
  EXPECT_EQ(read_file(p("a.txt")), "a\n");
  EXPECT_EQ(read_file(p("only_dat/b.dat")), "b\n");
  // An empty directory next to files is named, and the files are processed.
  Outcome r = run({"--eol", "crlf", "empty", "a.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("no files to process in 'empty'"), std::string::npos) << r.err;
  EXPECT_EQ(read_file(p("a.txt")), "a\r\n");
  // Unreadable directories exist only for users the permissions bind.
  if (geteuid() != 0) {
    fs::create_directory(p("locked"));
    chmod(p("locked").c_str(), 0);
    Outcome locked = run({"locked"});
    chmod(p("locked").c_str(), 0755);
    EXPECT_EQ(locked.status, 1);
    EXPECT_NE(locked.err.find("cannot read directory 'locked': Permission denied"),
              std::string::npos)
        << locked.err;
  }
}

TEST_F(Cli, DryRunDiffShowsTheChangesDecoded) {
  write_file(p("a.txt"), "one\n\xD6\xD0\xCE\xC4 x\nthree\n");  // 中文 in GBK
  write_file(p("b.txt"), "b\n");
  write_file(p("c.txt"), "c x\r\n");
  Outcome r = run({"--dry-run", "--diff", "--eol", "crlf", "--op", "4", "--set", "Edit_th1=x",
                   "--set", "Edit_th2=已改", "a.txt", "b.txt", "c.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "--- a.txt\n+++ a.txt (processed)\n@@ -1,3 +1,3 @@\n one\n-中文 x\n+中文 已改\n three\n"
            "--- b.txt\n+++ b.txt (processed)\n"
            "# only the line ends change\n"
            "--- c.txt\n+++ c.txt (processed)\n@@ -1 +1 @@\n-c x\n+c 已改\n");
  EXPECT_EQ(read_file(p("a.txt")), "one\n\xD6\xD0\xCE\xC4 x\nthree\n");
  EXPECT_FALSE(fs::exists(p("home/batch")));
  Outcome bad = run({"--diff", "a.txt"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("--dry-run"), std::string::npos) << bad.err;
}

// What a user does after a run they regret: list the runs, undo the last, look again.
TEST_F(Cli, UndoLastTakesTheRunBack) {
  write_file(p("d/a.txt"), "a x\n");
  write_file(p("d/b.txt"), "b x\n");
  write_file(p("d/c.txt"), "nothing here\r\n");
  Outcome none = run({"--undo-last"});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("no run to undo"), std::string::npos) << none.err;

  Outcome r = run({"--op", "4", "--set", "Edit_th1=x", "--set", "Edit_th2=y", "d"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("--undo "), std::string::npos) << r.err;
  EXPECT_EQ(read_file(p("d/a.txt")), "a y\n");
  write_file(p("d/b.txt"), "edited since\n");

  Outcome list = run({"--list-runs"});
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.out.find(" done "), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("[4]"), std::string::npos) << list.out;

  Outcome u = run({"--undo-last"});
  EXPECT_EQ(u.status, 0) << u.err;
  EXPECT_NE(u.out.find("restored  " + p("d/a.txt")), std::string::npos) << u.out;
  EXPECT_NE(u.out.find("changed   " + p("d/b.txt")), std::string::npos) << u.out;
  EXPECT_NE(u.out.find("1 restored, 0 removed, 1 changed since the run, 0 failed."),
            std::string::npos)
      << u.out;
  EXPECT_EQ(read_file(p("d/a.txt")), "a x\n");
  EXPECT_EQ(read_file(p("d/b.txt")), "edited since\n");
  EXPECT_EQ(read_file(p("d/c.txt")), "nothing here\r\n");
  EXPECT_NE(run({"--list-runs"}).out.find("undone"), std::string::npos);
  EXPECT_EQ(run({"--undo-last"}).status, 1);  // nothing left to undo
  Outcome unknown = run({"--undo", "19990101-000000"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("19990101-000000"), std::string::npos);

  // --no-journal keeps nothing; a journal limit of 0 runs neither.
  EXPECT_EQ(run({"--no-journal", "d/b.txt"}).status, 0);
  write_file(p("home/sys1.ini"), "[journal]\r\nruns=0\r\n");
  EXPECT_EQ(run({"--op", "4", "--set", "Edit_th1=e", "d/b.txt"}).status, 0);
  EXPECT_EQ(run({"--undo-last"}).status, 1);
}

TEST_F(Cli, RunErrorsCarryTheProgramsText) {
  write_file(p("a.txt"), "abc\n");
  struct Row {
    std::vector<std::string> args;
    std::string err;
  };
  const Row rows[] = {
      {{"--scope", "2", "--set", "Edit_fw_qj1=abc", "a.txt"}, "应填一个整数，比如  10\n"},
      {{"--scope", "11", "--set", "Edit_fw_len1=中", "a.txt"},
       "'中' is not a valid integer value\n"}};
  for (const Row& row : rows) {
    Outcome r = run(row.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.substr(0, row.err.size()), row.err);
  }
  EXPECT_EQ(read_file(p("a.txt")), "abc\n");
}

TEST_F(Cli, RecipesRoundTripAndSetOverrides) {
  write_file(p("v.txt"), "x\n");
  Outcome r = run({"--scope", "12", "--set", "Edit_fw_b_sp1=<<中 ", "--set-file",
                   "Edit_fw_e_sp1=v.txt", "--save-recipe", "r1.ini"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string saved = read_file(p("r1.ini"));
  EXPECT_NE(saved.find("RadioButton_fw_sp1=1\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Edit_fw_e_sp1=\"x\\n\"\n"), std::string::npos) << saved;
  ASSERT_EQ(run({"--recipe", "r1.ini", "--save-recipe", "r2.ini"}).status, 0);
  EXPECT_EQ(read_file(p("r2.ini")), saved);

  // A hand-written recipe, then --set on top of it.
  write_file(p("mine.ini"), "[scope]\nRadioButton_fw_qj1=1\nEdit_fw_qj1=2\n[operation]\n");
  write_file(p("a.txt"), "abcd\n");
  ASSERT_EQ(
      run({"--recipe", "mine.ini", "--set", "edit_FW_qj1=3", "--save-recipe", "r3.ini"}).status, 0);
  EXPECT_NE(read_file(p("r3.ini")).find("Edit_fw_qj1=3\n"), std::string::npos);
  write_file(p("bad.ini"), "[scope]\nEdit_nope=1\n");
  r = run({"--recipe", "bad.ini", "a.txt"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("bad.ini:2"), std::string::npos) << r.err;
}

TEST_F(Cli, ParallelJobsGiveTheSameFiles) {
  std::vector<std::string> one, many;
  for (int k = 0; k < 30; ++k) {
    const std::string body = std::string(k * 100, 'x') + (k % 2 ? "\r\n" : "\n") + "end";
    write_file(p("one/f" + std::to_string(k) + ".txt"), body);
    write_file(p("many/f" + std::to_string(k) + ".txt"), body);
  }
  Outcome a = run({"--dry-run", "one"}), b = run({"--dry-run", "-j", "4", "one"});
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(run({"one", "one/f3.txt"}).status, 0);
  EXPECT_EQ(run({"-j4", "many", "many/f3.txt"}).status, 0);
  for (int k = 0; k < 30; ++k) {
    const std::string f = "/f" + std::to_string(k) + ".txt";
    EXPECT_EQ(read_file(p("many" + f)), read_file(p("one" + f))) << f;
  }
}

TEST_F(Cli, ReadOnlyFileIsRewritten) {
  write_file(p("r.txt"), "r\n");
  chmod(p("r.txt").c_str(), 0444);
  EXPECT_EQ(run({"--eol", "crlf", "r.txt"}).status, 0);
  EXPECT_EQ(read_file(p("r.txt")), "r\r\n");
}

// A write that fails half-way ends the run: files before are written, the failing one
// and those after are as they were, none truncated.
TEST_F(Cli, FailureMidwayLeavesNoTruncatedFile) {
  const std::string big(64 * 1024, 'b');
  write_file(p("1.txt"), "one\n");
  write_file(p("2.txt"), big + "\n");
  write_file(p("3.txt"), "three\n");
  Outcome r = run({"--eol", "crlf", "-j", "2", "1.txt", "2.txt", "3.txt"}, {}, 32 * 1024);
  EXPECT_EQ(r.status, 1);
  // The error, then how to undo the file written before it.
  const std::string error = "Cannot create file \"2.txt\". File too large\n";
  EXPECT_EQ(r.err.substr(0, error.size()), error);
  EXPECT_NE(r.err.find("--undo", error.size()), std::string::npos) << r.err;
  EXPECT_EQ(read_file(p("1.txt")), "one\r\n");
  EXPECT_EQ(read_file(p("2.txt")), big + "\n");
  EXPECT_EQ(read_file(p("3.txt")), "three\n");
  for (auto& e : fs::directory_iterator(root))
    EXPECT_EQ(e.path().filename().string().find(".lq-"), std::string::npos) << e.path();
}

// Killed at any moment, every file is either as it was or completely rewritten.
TEST_F(Cli, KilledMidwayLeavesEveryFileWhole) {
  std::vector<std::string> files;
  const std::string body = [] {
    std::string s;
    for (int k = 0; k < 20000; ++k) s += "line " + std::to_string(k) + "\n";
    return s;
  }();
  std::string crlf;
  for (char c : body) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  for (int k = 0; k < 120; ++k) {
    files.push_back(p("k/f" + std::to_string(k) + ".txt"));
    write_file(files.back(), body);
  }
  pid_t pid = start({"-q", "--eol", "crlf", "k"}, p("stdout"), p("stderr"));
  // Wait until the run is under way, then kill it without warning.
  for (int spin = 0; spin < 200000; ++spin) {
    if (read_file(files[0]).size() != body.size()) break;
    usleep(100);
  }
  kill(pid, SIGKILL);
  int status;
  waitpid(pid, &status, 0);
  int done = 0;
  for (const auto& f : files) {
    const std::string now = read_file(f);
    EXPECT_TRUE(now == body || now == crlf) << f << " has " << now.size() << " bytes";
    done += now == crlf;
  }
  EXPECT_GT(done, 0);  // the run was under way, not a run that changes nothing
  RecordProperty("files_rewritten_before_kill", done);
}

}  // namespace

// Replace, find, script and the template tool from the command line, as a new user would
// try them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_files.h"

namespace {

namespace fs = std::filesystem;

using lq::cli_test::slurp;
using lq::cli_test::spill;

struct Outcome {
  int status = -1;
  std::string out, err;
};

class OperationsCli : public testing::Test {
 protected:
  std::string root;
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "lq-ops-XXXXXX").string();
    root = mkdtemp(tmpl.data());
    fs::create_directory(root + "/home");
  }
  void TearDown() override { fs::remove_all(root); }
  std::string p(const std::string& name) const { return root + "/" + name; }

  Outcome run(std::vector<std::string> args) {
    args.insert(args.begin(), LQ_BATCH_EXE);
    const std::string out = p("stdout"), err = p("stderr");
    pid_t pid = fork();
    if (pid == 0) {
      setenv("LEXOQUILL_HOME", p("home").c_str(), 1);
      if (!freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr)) _exit(126);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
  }
};

TEST_F(OperationsCli, ExpandTemplatePrintsEveryCopy) {
  spill(p("t.txt"), "a b c d");
  spill(p("p.txt"), "a=1,b=2,c=3;\r\na=11,b=22,c=33;");
  Outcome r = run({"--expand-template", p("t.txt"), p("p.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "1 2 3 d11 22 33 d");

  r = run({"--expand-template", p("t.txt"), p("missing.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("missing.txt"), std::string::npos) << r.err;
  EXPECT_EQ(run({"--expand-template", p("t.txt")}).status, 2);
}

TEST_F(OperationsCli, ReplaceWithMultiRowsAppliesThemInOrder) {
  spill(p("a.txt"), "a\nxa\n");
  spill(p("rows.txt"), "a=b\r\nb=c\r\n");
  Outcome r = run({"--op", "4", "--set", "Edit_th1=x", "--multi", p("rows.txt"), p("a.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(slurp(p("a.txt")), "c\nxc\n");
}

TEST_F(OperationsCli, InvalidPatternStopsTheRunAndKeepsTheFile) {
  spill(p("a.txt"), "abc\n");
  Outcome r = run({"--op", "4", "--set", "CheckBox_th_r2=1", "--set", "Edit_th1=a(", p("a.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("missing closing parenthesis at offset 2"), std::string::npos) << r.err;
  EXPECT_EQ(slurp(p("a.txt")), "abc\n");
}

TEST_F(OperationsCli, FindPrintsResultLines) {
  spill(p("a.txt"), "xfoo\nbar foo foo\n");
  Outcome r = run({"--op", "6", "--set", "Edit_find1=foo", p("a.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string f = p("a.txt");
  EXPECT_EQ(r.out, "文件名=" + f + ";行=0;列=2;查找内容=foo;内容=xfoo\n" + "文件名=" + f +
                       ";行=1;列=5;查找内容=foo;内容=bar foo foo\n" + "文件名=" + f +
                       ";行=1;列=9;查找内容=foo;内容=bar foo foo\n");
}

TEST_F(OperationsCli, ScriptRunsAndReportsCompileErrors) {
  spill(p("a.txt"), "ab\n");
  // A script file is taken as GBK bytes, like every other value read from a file.
  spill(p("s.js"), "line.text = th(line.text, 'B', '\xD6\xD0');");
  Outcome r = run({"--op", "28", "--set-file", "txtScript=" + p("s.js"), p("a.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(slurp(p("a.txt")), "a\xD6\xD0\n");

  spill(p("b.txt"), "keep\n");
  spill(p("bad.js"), "line.text = ;");
  r = run({"--op", "28", "--set-file", "txtScript=" + p("bad.js"), p("b.txt")});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("SyntaxError"), std::string::npos) << r.err;
  EXPECT_EQ(slurp(p("b.txt")), "keep\n");
}

}  // namespace

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

#include "cli/cli_fixture.h"

namespace {

namespace fs = std::filesystem;

using lq::cli_test::Outcome;
using lq::cli_test::read_file;
using lq::cli_test::write_file;

class OperationsCli : public lq::cli_test::CliTest {};

TEST_F(OperationsCli, ExpandTemplatePrintsEveryCopy) {
  write_file(p("t.txt"), "a b c d");
  write_file(p("p.txt"), "a=1,b=2,c=3;\r\na=11,b=22,c=33;");
  Outcome r = run({"--expand-template", p("t.txt"), p("p.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "1 2 3 d11 22 33 d");

  r = run({"--expand-template", p("t.txt"), p("missing.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("missing.txt"), std::string::npos) << r.err;
  EXPECT_EQ(run({"--expand-template", p("t.txt")}).status, 2);
}

TEST_F(OperationsCli, ReplaceWithMultiRowsAppliesThemInOrder) {
  write_file(p("a.txt"), "a\nxa\n");
  write_file(p("rows.txt"), "a=b\r\nb=c\r\n");
  Outcome r = run({"--op", "4", "--set", "Edit_th1=x", "--multi", p("rows.txt"), p("a.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(p("a.txt")), "c\nxc\n");
}

TEST_F(OperationsCli, InvalidPatternStopsTheRunAndKeepsTheFile) {
  write_file(p("a.txt"), "abc\n");
  Outcome r = run({"--op", "4", "--set", "CheckBox_th_r2=1", "--set", "Edit_th1=a(", p("a.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("missing closing parenthesis at offset 2"), std::string::npos) << r.err;
  EXPECT_EQ(read_file(p("a.txt")), "abc\n");
}

TEST_F(OperationsCli, FindPrintsResultLines) {
  write_file(p("a.txt"), "xfoo\nbar foo foo\n");
  Outcome r = run({"--op", "6", "--set", "Edit_find1=foo", p("a.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string f = p("a.txt");
  EXPECT_EQ(r.out, "文件名=" + f + ";行=0;列=2;查找内容=foo;内容=xfoo\n" + "文件名=" + f +
                       ";行=1;列=5;查找内容=foo;内容=bar foo foo\n" + "文件名=" + f +
                       ";行=1;列=9;查找内容=foo;内容=bar foo foo\n");
}

TEST_F(OperationsCli, ScriptRunsAndReportsCompileErrors) {
  write_file(p("a.txt"), "ab\n");
  // A script file is taken as GBK bytes, like every other value read from a file.
  write_file(p("s.js"), "line.text = th(line.text, 'B', '\xD6\xD0');");
  Outcome r = run({"--op", "28", "--set-file", "txtScript=" + p("s.js"), p("a.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(p("a.txt")), "a\xD6\xD0\n");

  write_file(p("b.txt"), "keep\n");
  write_file(p("bad.js"), "line.text = ;");
  r = run({"--op", "28", "--set-file", "txtScript=" + p("bad.js"), p("b.txt")});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("SyntaxError"), std::string::npos) << r.err;
  EXPECT_EQ(read_file(p("b.txt")), "keep\n");
}

}  // namespace

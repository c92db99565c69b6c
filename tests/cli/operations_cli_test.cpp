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
#include "core/encoding/code_page.h"

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

// The results file holds, in list order, the lines printed when there is none, as GBK,
// whether one lane or several found them; a run that finds nothing leaves it empty.
TEST_F(OperationsCli, FindResultsFileHoldsThePrintedLines) {
  fs::create_directory(p("d"));
  for (int i = 0; i < 12; ++i) {
    std::string text = "none\r\n";
    if (i % 3 != 2)
      text += "foo " + std::to_string(i) +
              " foo\r\n\xD6\xD0"
              "foo\n";
    // A UTF-8 file: its result lines are shown in GBK like the rest.
    if (i == 4) text = "\xE4\xB8\xAD\xE6\x96\x87 foo\n";
    write_file(p("d/f" + std::to_string(10 + i) + ".txt"), text);
  }
  const std::vector<std::string> find = {"--op", "6", "--set", "Edit_find1=foo", "--ext", ".txt"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = find;
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  Outcome printed = run(with({p("d")}));
  ASSERT_EQ(printed.status, 0) << printed.err;
  ASSERT_NE(printed.out.find("\xE4\xB8\xAD\xE6\x96\x87 foo"), std::string::npos);
  for (const char* jobs : {"1", "3"}) {
    Outcome r = run(with({"-j", jobs, "--results", p("r.txt"), p("d")}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lq::gbk_code_page().to_utf8(read_file(p("r.txt"))), printed.out) << jobs;
  }
  Outcome none = run({"--op", "6", "--set", "Edit_find1=absent", "--results", p("r.txt"), p("d")});
  ASSERT_EQ(none.status, 0) << none.err;
  EXPECT_EQ(read_file(p("r.txt")), "");
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

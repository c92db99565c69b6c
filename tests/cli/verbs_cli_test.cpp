// Every command against the --op/--set form it stands for: the same files, the same
// output, the same saved recipe.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_fixture.h"
#include "cli/verbs.h"

namespace {

namespace fs = std::filesystem;

using lq::cli_test::Outcome;
using lq::cli_test::read_file;
using lq::cli_test::write_file;

// Every file of a directory with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = read_file(e.path());
  return files;
}

class Verbs : public lq::cli_test::CliTest {};

struct Row {
  std::vector<std::string> verb;     // the command and its arguments
  std::vector<std::string> op_form;  // the same as --op and --set
  std::string input;                 // f.txt before the run
};

const std::string kGbk = "\xD6\xD0\xB9\xFA\n";   // 中国
const std::string kBig5 = "\xA4\xA4\xB0\xEA\n";  // 中國
const std::string kUtf8 = "\xE4\xB8\xAD\xE5\x9C\x8B\n";

const Row kRows[] = {
    {{"prefix", ">"}, {"--op", "1", "--set", "Edit_leftadd1=>"}, "a\nb\n"},
    {{"suffix", "<"}, {"--op", "2", "--set", "Edit_rightadd1=<"}, "a\nb\n"},
    {{"pad", "5"}, {"--op", "3", "--set", "Edit_full1=5"}, "ab\n"},
    {{"replace", "a", "中"}, {"--op", "4", "--set", "Edit_th1=a", "--set", "Edit_th2=中"}, "abA\n"},
    {{"replace", "-E", "a+", "x"},
     {"--op", "4", "--set", "Edit_th1=a+", "--set", "Edit_th2=x", "--set", "CheckBox_th_r2=1"},
     "aab\n"},
    {{"replace", "-w", "a*c", "x"},
     {"--op", "4", "--set", "Edit_th1=a*c", "--set", "Edit_th2=x", "--set", "CheckBox_th_r1=1"},
     "abcd\n"},
    {{"replace", "-i", "A", "x"},
     {"--op", "4", "--set", "Edit_th1=A", "--set", "Edit_th2=x", "--ignore-case"},
     "abA\n"},
    {{"replace", "-s", "A", "x"},
     {"--op", "4", "--set", "Edit_th1=A", "--set", "Edit_th2=x", "--case-sensitive"},
     "abA\n"},
    {{"save-as", ".part"}, {"--op", "5", "--set", "Edit_saveas1=.part"}, "a\n"},
    {{"find", "o"}, {"--op", "6", "--set", "Edit_find1=o"}, "foo\nbar\n"},
    {{"gb2big5"}, {"--op", "7"}, kGbk},
    {{"big52gb"}, {"--op", "8"}, kBig5},
    {{"lower"}, {"--op", "9"}, "AbC\n"},
    {{"upper"}, {"--op", "10"}, "AbC\n"},
    {{"delete-blank"}, {"--op", "11"}, "a\n\nb\n"},
    {{"delete"}, {"--op", "12"}, "abc\n"},
    {{"clean-web"},
     {"--op", "13"},
     "a\xE3\x80\x80"
     "b\n"},
    {{"base64-decode"}, {"--op", "14"}, "aGVsbG8=\n"},
    {{"base64"}, {"--op", "15"}, "hello\n"},
    {{"join"}, {"--op", "16"}, "a\nb\nc\n"},
    {{"add", "5"}, {"--op", "18", "--set", "Edit_add1=5"}, "1\n"},
    {{"subtract", "2"}, {"--op", "19", "--set", "Edit_dec1=2"}, "10\n"},
    {{"t2s"}, {"--op", "20"}, kUtf8},
    {{"s2t"}, {"--op", "21"}, "\xE4\xB8\xAD\xE5\x9B\xBD\n"},
    {{"dedupe"}, {"--op", "22"}, "a\na\nb\n"},
    {{"transpose", ","}, {"--op", "23", "--set", "Edit_row_to_col1=,"}, "a,b\nc,d\n"},
    {{"split-file", "1", "p%d.txt"},
     {"--op", "24", "--set", "Edit_sp_file1=1", "--set", "Edit_sp_file2=p%d.txt"},
     "a\nb\n"},
    {{"md5"}, {"--op", "25"}, "a\n"},
    {{"to-gbk"}, {"--op", "26", "--set", "RadioButton_Unicode2=1"}, kUtf8},
    {{"to-utf8"}, {"--op", "26", "--set", "RadioButton_Unicode3=1"}, kGbk},
    {{"squeeze-blank", "1"}, {"--op", "27", "--set", "Edit_blank_line1=1"}, "a\n\n\n\nb\n"},
    {{"script", "../s.js"}, {"--op", "28", "--set-file", "txtScript=../s.js"}, "a\n"},
};

TEST_F(Verbs, EveryCommandIsItsLongForm) {
  write_file(p("s.js"), "line.text = line.text + '!';");
  std::map<std::string, bool> covered;
  for (const Row& row : kRows) {
    const std::string name = row.verb.front();
    covered[name] = true;
    SCOPED_TRACE(name);
    const fs::path dir = p("w");
    auto run_in_fresh_dir = [&](std::vector<std::string> args) {
      fs::remove_all(dir);
      fs::create_directory(dir);
      write_file(dir / "f.txt", row.input);
      args.insert(args.end(), {"--no-journal", "-q", "f.txt"});
      Outcome r = run(args, dir);
      EXPECT_EQ(r.status, 0) << r.err;
      return std::make_pair(r.out, snapshot(dir));
    };
    const auto by_verb = run_in_fresh_dir(row.verb);
    const auto by_op = run_in_fresh_dir(row.op_form);
    EXPECT_EQ(by_verb, by_op);
    // Each row's fixture shows its operation at work: in the file, in files written next
    // to it, or on standard output.
    const std::map<std::string, std::string> before{{"f.txt", row.input}};
    EXPECT_TRUE(by_verb.second != before || !by_verb.first.empty());

    std::vector<std::string> save_verb = row.verb, save_op = row.op_form;
    save_verb.insert(save_verb.end(), {"--save-recipe", "../verb.ini"});
    save_op.insert(save_op.end(), {"--save-recipe", "../op.ini"});
    EXPECT_EQ(run(save_verb, dir).status, 0);
    EXPECT_EQ(run(save_op, dir).status, 0);
    EXPECT_EQ(read_file(p("verb.ini")), read_file(p("op.ini")));
  }
  for (const lq::cli::Verb& v : lq::cli::verbs())
    EXPECT_TRUE(covered.count(std::string(v.name))) << v.name << " has no row";
}

TEST_F(Verbs, MisusedCommandsAreUsageErrors) {
  write_file(p("f.txt"), "abc\n");
  struct Case {
    std::vector<std::string> args;
    std::string names;
  };
  const Case cases[] = {
      {{"replace", "a"}, "'replace' needs OLD NEW"},
      {{"replace", "a", "b", "--op", "6", "f.txt"}, "--op cannot be given"},
      {{"find", "-E", "a", "f.txt"}, "-E belongs to the replace command"},
      {{"-w", "f.txt"}, "-w belongs to the replace command"},
  };
  for (const Case& c : cases) {
    Outcome r = run(c.args, root);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(c.names), std::string::npos) << r.err;
  }
  EXPECT_EQ(read_file(p("f.txt")), "abc\n");
  // A command's text may start with "-" after "--"; --set after the command wins.
  Outcome r = run({"replace", "b", "x", "--set", "Edit_th2=y", "--no-journal", "f.txt"}, root);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(p("f.txt")), "ayc\n");
  r = run({"prefix", "--no-journal", "--", "-", "f.txt"}, root);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(p("f.txt")), "-ayc\n");
}

}  // namespace

// Replace [4] over whole lines with each line's end kept: the file's text is changed at
// once, and must come out exactly as line by line, characters and line ends alike.
#include <gtest/gtest.h>

#include "core/batch/run_driver.h"
#include "core/operations/op_test_support.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

using namespace lq::testing;
using namespace lq::test;

enum class Mode { Plain, Wildcards, Regex };

struct TextCase {
  const char* name;
  Mode mode;
  bool case_sensitive;
  std::string search, replacement, in, out;
};

const std::string kBom = "\xEF\xBB\xBF";

const std::vector<TextCase>& text_cases() {
  // 結 is BD 59 and 統 BD 79 in GBK: their trail bytes look like "Y" and "y".
  static const std::vector<TextCase> cases = {
      {"PlainNeverStartsOnTrailByte", Mode::Plain, true, "Y", "X", gbk("a結Yb統\r\nY\n"),
       gbk("a結Xb統\r\nX\n")},
      {"PlainNeverEndsInsideCharacter", Mode::Plain, true, "a\xBD", "-", "a\xBD\x59 a\xBD\r\n",
       "a\xBD\x59 -\r\n"},
      {"PlainKeepsEveryLineEnd", Mode::Plain, true, "foo", "bar", "foo\r\nfoo\nx\rfoo\n\nfoo",
       "bar\r\nbar\nx\rbar\n\nbar"},
      {"PlainReplacementMayHoldLineEnds", Mode::Plain, true, "b", "\r\n", "abc\nb", "a\r\nc\n\r\n"},
      {"PlainWithoutLettersIgnoresCase", Mode::Plain, false, "12", "_", "a12\r\n312\n",
       "a_\r\n3_\n"},
      {"PlainFoldingLetters", Mode::Plain, false, "foo", "x", gbk("FOO統\r\nfOo\n"),
       gbk("x統\r\nx\n")},
      {"PlainSearchWithCarriageReturn", Mode::Plain, true, "\r", "|", "a\rb\r\nc\r\n",
       "a|b\r\nc\r\n"},
      {"UnicodeKeepsByteOrderMark", Mode::Plain, true, gbk("文件"), gbk("档案"),
       kBom + "文件\n文件", kBom + "档案\n档案"},
      {"RegexSeesOneLine", Mode::Regex, true, "^$", "E", "a\n\nb\r\n\r\n", "a\nE\nb\r\nE\r\n"},
      {"RegexLeavesCarriageReturnOfLineEnd", Mode::Regex, true, "\\s+$", "", "a \r\nb\t\nc \r",
       "a\r\nb\nc"},
      {"RegexTakesWholeCharacters", Mode::Regex, true, ".", "_", gbk("結a\r\n統"), "__\r\n_"},
      {"RegexCaseless", Mode::Regex, false, "[a-c]+", "-", gbk("ABd結\nxy"), gbk("-d結\nxy")},
      {"RegexAnchorsAtEachLine", Mode::Regex, true, "^a|b$", "#", "ax\nxb\r\nb", "#x\nx#\r\n#"},
      {"WildcardsStayInTheirLine", Mode::Wildcards, true, "f*o", "X", "fxo fyo\r\nfo\nf\no",
       "X\r\nX\nf\no"},
  };
  return cases;
}

class ReplaceInRun : public ::testing::TestWithParam<TextCase> {
 protected:
  TempDir dir;
  RunContext context;
  FindResults results;
  RunHost host;
};

TEST_P(ReplaceInRun, TextComesBackAsLineByLine) {
  const TextCase& c = GetParam();
  auto op = make_op(4, {{"CheckBox_th_r1", c.mode == Mode::Wildcards ? "1" : "0"},
                        {"CheckBox_th_r2", c.mode == Mode::Regex ? "1" : "0"},
                        {"Edit_th1", c.search},
                        {"Edit_th2", c.replacement}});
  ASSERT_NE(op, nullptr);
  const std::string file = dir / "doc.txt";
  const std::string other = dir / "empty.txt";
  write_file(file, c.in);
  write_file(other, "");
  RunRequest req;
  req.files = {file, other};
  req.eol = EolPolicy::Keep;
  req.case_sensitive = c.case_sensitive;
  req.chain.append(op.get());
  RunResult r = RunDriver(context, results, host).run(std::move(req));
  ASSERT_EQ(r.status, RunStatus::Done) << r.error;
  const std::string got = read_file(file);
  EXPECT_EQ(got, c.out) << hex(got);
  // A file without a match (an empty one has no line) is left alone.
  EXPECT_EQ(r.changed, std::vector<std::string>{file});
  EXPECT_EQ(read_file(other), "");
}

INSTANTIATE_TEST_SUITE_P(Table, ReplaceInRun, ::testing::ValuesIn(text_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lq

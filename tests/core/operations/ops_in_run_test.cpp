// Operations driven as Start drives them: files on disk, a scope, the chain, write-back.
#include <gtest/gtest.h>

#include "core/batch/run_driver.h"
#include "core/operations/op_test_support.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

using namespace lq::testing;
using namespace lq::test;

struct RunCase {
  const char* name;
  int op;
  Params params;
  int scope;
  Params scope_params;
  std::string in;
  std::string out;
};

const std::vector<RunCase>& run_cases() {
  static const std::vector<RunCase> cases = {
      {"DeleteUnderWholeLineKeepsLineCount", 12, {}, 1, {}, "a\nb\n\nc", "\r\n\r\n\r\n\r\n"},
      {"LowerFirstThreeBytes",
       9,
       {},
       2,
       {{"Edit_fw_qj1", "3"}},
       "ABCDEF\r\nXY\n",
       "abcDEF\r\nxy\r\n"},
      {"AddBetweenMarkers",
       18,
       {},
       12,
       {{"Edit_fw_b_sp1", "<"}, {"Edit_fw_e_sp1", ">"}},
       "a=<41>,b=< 9 >,c=<x>\n",
       "a=<42>,b=<10>,c=<x>\r\n"},
      {"SuffixOnLinesContaining",
       2,
       {{"Edit_rightadd1", ";"}},
       4,
       {{"Edit_hy1", "b"}},
       "a\nb\nab\n",
       "a\r\nb;\r\nab;\r\n"},
      {"Md5AfterLastSeparator",
       25,
       {},
       14,
       {{"edit_fw_sp_r1", "="}},
       "k=abc\n",
       "k=900150983cd24fb0d6963f7d28e17f72\r\n"},
      {"UpperLastCharacters", 10, {}, 8, {{"Edit_fw_hj1", "2"}}, "abcd\n", "abCD\r\n"},
      // Document steps see the whole document, whatever the scope.
      {"DedupeIgnoresScope",
       22,
       {},
       9,
       {{"Edit_line1", "2"}},
       "A\na\r\nb\n b\nc",
       "A\r\nb\r\nc\r\n"},
      {"BlankLinesIgnoreScope", 11, {}, 2, {{"Edit_fw_qj1", "1"}}, "a\n \n\nb\n", "a\r\nb\r\n"},
      {"TransposeIgnoresScope", 23, {}, 1, {}, "a b\n1 2\n", "a 1 \r\nb 2 \r\n"},
      {"UnicodeWholeFile", 26, {}, 1, {}, "中文\nx\n", gbk("中文") + "\r\nx\r\n"},
  };
  return cases;
}

class OperationsInRun : public ::testing::TestWithParam<RunCase> {
 protected:
  TempDir dir;
  RunContext context;
  FindResults results;
  RunHost host;
};

TEST_P(OperationsInRun, FileComesBackTransformed) {
  const RunCase& c = GetParam();
  auto op = make_op(c.op, c.params);
  ASSERT_NE(op, nullptr);
  const std::string file = dir / "doc.txt";
  write_file(file, c.in);
  RunRequest req;
  req.files = {file};
  req.eol = EolPolicy::CrLf;  // every line written with CR LF, as the cases expect
  req.scope.select(c.scope);
  for (const auto& [name, value] : c.scope_params) ASSERT_TRUE(req.scope.set(name, value));
  req.chain.append(op.get());
  RunResult r = RunDriver(context, results, host).run(std::move(req));
  ASSERT_EQ(r.status, RunStatus::Done) << r.error;
  const std::string got = read_file(file);
  EXPECT_EQ(got, c.out) << hex(got);
}

INSTANTIATE_TEST_SUITE_P(Table, OperationsInRun, ::testing::ValuesIn(run_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OperationsInRunFiles, SaveCopyHoldsDocumentAsLoadedAndFileIsSavedUnchanged) {
  TempDir dir;
  RunContext context;
  FindResults results;
  RunHost host;
  auto save = make_op(5);
  const std::string file = dir / "b.txt";
  write_file(file, "a\nb");
  RunRequest req;
  req.files = {file};
  req.eol = EolPolicy::CrLf;  // every line written with CR LF, as the cases expect
  req.chain.append(save.get());
  ASSERT_EQ(RunDriver(context, results, host).run(std::move(req)).status, RunStatus::Done);
  EXPECT_EQ(read_file(file + ".new.txt"), "a\r\nb\r\n");
  EXPECT_EQ(read_file(file), "a\r\nb\r\n");
}

TEST(OperationsInRunFiles, EncodeThenDecodeGivesBytesBack) {
  TempDir dir;
  RunContext context;
  FindResults results;
  RunHost host;
  const std::string file = dir / "b.bin";
  std::string bytes;
  for (int i = 0; i < 256; ++i)
    if (i != '\r' && i != '\n') bytes += static_cast<char>(i);
  write_file(file, bytes + "\r\n" + gbk("中文") + "\r\n");
  for (int number : {15, 14}) {
    auto op = make_op(number);
    RunRequest req;
    req.eol = EolPolicy::CrLf;
    req.files = {file};
    req.chain.append(op.get());
    ASSERT_EQ(RunDriver(context, results, host).run(std::move(req)).status, RunStatus::Done);
  }
  EXPECT_EQ(read_file(file), bytes + "\r\n" + gbk("中文") + "\r\n");
}

TEST(OperationsInRunFiles, TransposeErrorEndsRunAndKeepsFile) {
  TempDir dir;
  RunContext context;
  FindResults results;
  RunHost host;
  auto op = make_op(23);
  const std::string good = dir / "a.txt", bad = dir / "b.txt", later = dir / "c.txt";
  write_file(good, "1 2\n3 4\n");
  write_file(bad, "1 2 3\n4 5\n");
  write_file(later, "x y\n");
  RunRequest req;
  req.files = {good, bad, later};
  req.chain.append(op.get());
  RunResult r = RunDriver(context, results, host).run(std::move(req));
  EXPECT_EQ(r.status, RunStatus::Failed);
  EXPECT_EQ(r.error, "List index out of bounds (2)");
  EXPECT_EQ(read_file(good), "1 3 \n2 4 \n");  // its LF line ends kept
  EXPECT_EQ(read_file(bad), "1 2 3\n4 5\n");
  EXPECT_EQ(read_file(later), "x y\n");
}

}  // namespace
}  // namespace lq

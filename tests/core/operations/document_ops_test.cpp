#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "core/operations/op_test_support.h"
#include "core/run/run_context.h"
#include "core/run/run_host.h"
#include "core/run_error.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

using namespace lq::testing;

struct DocCase {
  const char* name;
  int op;
  Params params;
  LineList in;
  LineList out;
};

const std::vector<DocCase>& doc_cases() {
  static const std::vector<DocCase> cases = {
      {"DeleteBlankOnlyBlankLines", 11, {}, {"", "  ", "\t"}, {}},
      {"DeleteBlankBetweenText", 11, {}, {"a", "", " \t ", "b", ""}, {"a", "b"}},
      {"DeleteBlankKeepsFullWidthBlank", 11, {}, {"\xA1\xA1", ""}, {"\xA1\xA1"}},
      {"MergeGluesLinesWithoutBlanks", 16, {}, {"abc", "def", "g h", "ij"}, {"abcdef", "g hij"}},
      {"MergeFirstLineWithBlank", 16, {}, {"a b", "c"}, {"", "a bc"}},
      {"MergeEveryTwo",
       16,
       {{"CheckBox_m_to_one2", "1"}, {"Edit_m_to_one1", "2"}},
       {"a", "b", "c", "d", "e"},
       {"ab", "cd", "e"}},
      {"MergeAllIntoOne", 16, {{"CheckBox_m_to_one1", "1"}}, {"a b", "c d", "e"}, {"a bc de"}},
      {"MergeAllEveryTwo",
       16,
       {{"CheckBox_m_to_one1", "1"}, {"CheckBox_m_to_one2", "1"}, {"Edit_m_to_one1", " 2 "}},
       {"a b", "c", "d"},
       {"a bc", "d"}},
      {"MergeEveryZeroAddsNoBreak",
       16,
       {{"CheckBox_m_to_one2", "1"}, {"Edit_m_to_one1", "0"}},
       {"a", "b", "c"},
       {"abc"}},
      {"MergeEveryNegativeAddsNoBreak",
       16,
       {{"CheckBox_m_to_one2", "1"}, {"Edit_m_to_one1", "-2"}},
       {"a", "b", "c", "d"},
       {"abcd"}},
      {"DedupeIgnoresCaseAndBlanks", 22, {}, {"A", "a", "b", " b"}, {"A", "b"}},
      {"DedupeKeepsFirstAsIs", 22, {}, {" x ", "y", "X", "\tx"}, {" x ", "y"}},
      {"DedupeBlankLinesAreEqual", 22, {}, {"", "a", "  ", ""}, {"", "a"}},
      // 丄 (0x81 'A') and 乤 (0x81 'a') differ only in a second byte that looks like a
      // letter: they are different characters.
      {"DedupeKeepsDistinctChinese",
       22,
       {},
       {gbk("丄"), gbk("乤"), gbk("丄")},
       {gbk("丄"), gbk("乤")}},
      {"DedupeLongMixedLines",
       22,
       {},
       {gbk("ABCDEFGHIJ中文KLMNOPQRSTU@[`{"), gbk("abcdefghij中文klmnopqrstu@[`{"),
        gbk("abcdefghij中文klmnopqrstu@[`}"), gbk("ABCDEFGHIJ丄KLMNOPQRSTUVWXYZ"),
        gbk("abcdefghij乤klmnopqrstuvwxyz")},
       {gbk("ABCDEFGHIJ中文KLMNOPQRSTU@[`{"), gbk("abcdefghij中文klmnopqrstu@[`}"),
        gbk("ABCDEFGHIJ丄KLMNOPQRSTUVWXYZ"), gbk("abcdefghij乤klmnopqrstuvwxyz")}},
      // Only A..Z fold: the bytes around them (@ [ ` {) stay distinct.
      {"DedupeFoldsOnlyLetters",
       22,
       {},
       {"@@@@@@@@[[", "````````{{", "AZAZAZAZaz", "azazazazAZ"},
       {"@@@@@@@@[[", "````````{{", "AZAZAZAZaz"}},
      {"TransposeDefault", 23, {}, {"a b c", "1 2 3"}, {"a 1 ", "b 2 ", "c 3 "}},
      {"TransposeIgnoresExtraPieces", 23, {}, {"a b", "1 2 3"}, {"a 1 ", "b 2 "}},
      {"TransposeSeparatorAsTyped",
       23,
       {{"Edit_row_to_col1", ", "}},
       {"a, b", "1, 2"},
       {"a, 1, ", "b, 2, "}},
      {"TransposeTrailingSeparator", 23, {{"Edit_row_to_col1", ";"}}, {"a;", "b;"}, {"a;b;", ";;"}},
      {"TransposeEmptyDocument", 23, {}, {}, {}},
      {"LimitBlankRunsToOne", 27, {}, {"a", "", " ", "\t", "b"}, {"a", "", "b"}},
      {"LimitBlankRunsToTwo",
       27,
       {{"Edit_blank_line1", "2"}},
       {"", "", "", "a", ""},
       {"", "", "a", ""}},
      {"LimitKeepsShortRuns",
       27,
       {{"Edit_blank_line1", "3"}},
       {"a", "", "", "b"},
       {"a", "", "", "b"}},
      {"LimitZeroDropsAllBlank",
       27,
       {{"Edit_blank_line1", "0"}},
       {"", "a", " ", "b", ""},
       {"a", "b"}},
      {"LimitLeadingBlankInNumber", 27, {{"Edit_blank_line1", " 1"}}, {"", ""}, {""}},
      {"LimitNeverReadWithoutBlankLines", 27, {{"Edit_blank_line1", "x"}}, {"a", "b"}, {"a", "b"}},
      {"UnicodeToCodePage", 26, {}, {"中文 abc", "ŝé"}, {gbk("中文 abc"), "?" + gbk("é")}},
      {"UnicodeUnrepresentableIsQuestionMark",
       26,
       {},
       {"a\xF0\x9F\x98\x80"
        "b"},
       {"a?b"}},
      // Not UTF-8 (GBK text, stray bytes, a cut sequence): those bytes stay as they are.
      {"UnicodeKeepsGbkInput", 26, {}, {gbk("中文")}, {gbk("中文")}},
      {"UnicodeKeepsMalformedBytes",
       26,
       {},
       {"a\xFF"
        "b\xC3",
        "\xE4\xB8"
        "x中"},
       {"a\xFF"
        "b\xC3",
        "\xE4\xB8"
        "x" +
            gbk("中")}},
      {"UnicodeKeepsOverlongForm", 26, {}, {"\xC0\xAF"}, {"\xC0\xAF"}},
      {"UnicodeFromCodePage",
       26,
       {{"RadioButton_Unicode2", "0"}, {"RadioButton_Unicode3", "1"}},
       {gbk("中文 abc"), ""},
       {"中文 abc", ""}},
      {"UnicodeFromCodePageKeepsUndecodable",
       26,
       {{"RadioButton_Unicode2", "0"}, {"RadioButton_Unicode3", "1"}},
       {"\xFF"
        "a\x81",
        "\x81\x20"},
       {"\xFF"
        "a\x81",
        "\x81\x20"}},
      {"UnicodeNoChoiceChangesNothing", 26, {{"RadioButton_Unicode2", "0"}}, {"é"}, {"é"}},
  };
  return cases;
}

class DocumentOperations : public ::testing::TestWithParam<DocCase> {};

TEST_P(DocumentOperations, TransformDocument) {
  const DocCase& c = GetParam();
  auto op = make_op(c.op, c.params);
  ASSERT_NE(op, nullptr);
  LineList lines = c.in;
  // [26] converts out of the code page the file is in: UTF-8 unless it goes to UTF-8.
  if (c.op == 26)
    apply_document(
        *op, lines,
        op->params().checked("RadioButton_Unicode3") ? gbk_code_page() : utf8_code_page());
  else
    apply_document(*op, lines, "/nonexistent/doc.txt");
  ASSERT_EQ(lines.size(), c.out.size());
  for (size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(lines[i], c.out[i]) << "line " << i << ": " << hex(lines[i]);
}

TEST_P(DocumentOperations, DisabledChangesNothing) {
  const DocCase& c = GetParam();
  auto op = make_op(c.op, c.params, false);
  ASSERT_NE(op, nullptr);
  LineList lines = c.in;
  apply_document(*op, lines, "/nonexistent/doc.txt");
  EXPECT_EQ(lines, c.in);
}

INSTANTIATE_TEST_SUITE_P(Table, DocumentOperations, ::testing::ValuesIn(doc_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct ErrorCase {
  const char* name;
  int op;
  Params params;
  LineList in;
  std::string message;
};

const std::vector<ErrorCase>& error_cases() {
  static const std::vector<ErrorCase> cases = {
      {"MergeBadCountEvenUnchecked",
       16,
       {{"Edit_m_to_one1", "3a"}},
       {"a"},
       "'3a' is not a valid integer value"},
      {"TransposeShortLine", 23, {}, {"a b c", "1 2", "x y z"}, "List index out of bounds (2)"},
      {"TransposeEmptyLaterLine", 23, {}, {"a b", ""}, "List index out of bounds (0)"},
      {"TransposeEmptyFirstLine",
       23,
       {},
       {"", "a b"},
       gbk("行列转换: \"/nonexistent/doc.txt\" 的第一行是空行, 无法确定列数.")},
      {"LimitBadNumber",
       27,
       {{"Edit_blank_line1", "1 "}},
       {"a", ""},
       "'1 ' is not a valid integer value"},
  };
  return cases;
}

class DocumentErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(DocumentErrors, EndRunAndKeepDocument) {
  const ErrorCase& c = GetParam();
  auto op = make_op(c.op, c.params);
  ASSERT_NE(op, nullptr);
  LineList lines = c.in;
  try {
    apply_document(*op, lines, "/nonexistent/doc.txt");
    FAIL() << "no error";
  } catch (const RunError& e) {
    EXPECT_EQ(std::string(e.what()), c.message);
  }
  EXPECT_EQ(lines, c.in);
}

INSTANTIATE_TEST_SUITE_P(Table, DocumentErrors, ::testing::ValuesIn(error_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UnicodeConversion, RoundTripKeepsEveryByte) {
  // Code page -> UTF-8 -> code page gives the bytes back, also those that do not decode.
  auto to_utf8 = make_op(26, {{"RadioButton_Unicode2", "0"}, {"RadioButton_Unicode3", "1"}});
  auto back = make_op(26);
  std::mt19937 rng(5);
  for (int round = 0; round < 200; ++round) {
    LineList lines(3);
    for (auto& l : lines) {
      l.resize(rng() % 40);
      for (auto& c : l) {
        do c = static_cast<char>(rng() & 0xFF);
        while (c == '\r' || c == '\n');
      }
    }
    LineList doc = lines;
    apply_document(*to_utf8, doc, gbk_code_page());
    apply_document(*back, doc, utf8_code_page());
    ASSERT_EQ(doc.size(), lines.size());
    for (size_t i = 0; i < doc.size(); ++i) ASSERT_EQ(doc[i], lines[i]) << hex(lines[i]);
  }
}

TEST(DeleteDuplicates, LargeDocumentKeepsFirstOfEach) {
  LineList lines;
  for (int i = 0; i < 200000; ++i)
    lines.push_back((i % 2 ? "Line " : "line ") + std::to_string(i % 1000));
  auto op = make_op(22);
  apply_document(*op, lines);
  ASSERT_EQ(lines.size(), 1000u);
  EXPECT_EQ(lines[0], "line 0");
  EXPECT_EQ(lines[999], "Line 999");
}

// File-writing operations, in a temporary directory.
class FileOps : public ::testing::Test {
 protected:
  struct Host : RunHost {
    std::vector<std::string> messages;
    void show_message(std::string_view text) override { messages.emplace_back(text); }
  };

  static std::string read(const std::string& path) { return lq::test::read_file(path); }
  static LineList numbered(int n) {
    LineList l;
    for (int i = 1; i <= n; ++i) l.push_back(std::to_string(i));
    return l;
  }
  static std::string text_of(int from, int to) {
    std::string t;
    for (int i = from; i <= to; ++i) t += std::to_string(i) + "\r\n";
    return t;
  }
  size_t files_in_dir() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_),
                                             std::filesystem::directory_iterator()));
  }
  std::unique_ptr<Operation> with_host(std::unique_ptr<Operation> op) {
    OperationEnv env;
    env.host = &host_;
    op->set_env(env);
    return op;
  }

  lq::test::TempDir temp_;
  std::filesystem::path dir_ = temp_.path();
  std::string file_ = (dir_ / "b.txt").string();
  Host host_;
};

TEST_F(FileOps, SaveCopyWritesWholeDocumentBesideFile) {
  auto op = make_op(5);
  LineList lines = {"a", gbk("中"), ""};
  apply_document(*op, lines, file_);
  EXPECT_EQ(read(file_ + ".new.txt"), "a\r\n" + gbk("中") + "\r\n\r\n");
  EXPECT_EQ(lines, (LineList{"a", gbk("中"), ""}));
  // Replacing an existing copy.
  LineList other = {"x"};
  apply_document(*op, other, file_);
  EXPECT_EQ(read(file_ + ".new.txt"), "x\r\n");
  EXPECT_EQ(files_in_dir(), 1u);
}

TEST_F(FileOps, SaveCopyIntoUnwritableDirectoryEndsRun) {
  auto op = make_op(5, {{"Edit_saveas1", "/missing/dir.txt"}});
  LineList lines = {"a"};
  try {
    apply_document(*op, lines, file_);
    FAIL() << "no error";
  } catch (const RunError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot create file \"" + file_ + "/missing/dir.txt\". No such file or directory");
  }
}

TEST_F(FileOps, SplitWritesFullPartsAndAlwaysALastOne) {
  auto op = make_op(24);
  LineList lines = numbered(20);
  apply_document(*op, lines, file_);
  EXPECT_EQ(read(file_ + ".1.txt"), text_of(1, 10));
  EXPECT_EQ(read(file_ + ".2.txt"), text_of(11, 20));
  EXPECT_TRUE(std::filesystem::exists(file_ + ".3.txt"));
  EXPECT_EQ(read(file_ + ".3.txt"), "");
  EXPECT_EQ(lines, numbered(20));

  lines = numbered(25);
  apply_document(*op, lines, file_);
  EXPECT_EQ(read(file_ + ".3.txt"), text_of(21, 25));
  EXPECT_EQ(files_in_dir(), 3u);
}

TEST_F(FileOps, SplitWithNonPositiveCountWritesOnePart) {
  auto op = make_op(24, {{"Edit_sp_file1", "0"}});
  LineList lines = numbered(25);
  apply_document(*op, lines, file_);
  EXPECT_EQ(read(file_ + ".1.txt"), text_of(1, 25));
  EXPECT_EQ(files_in_dir(), 1u);
}

TEST_F(FileOps, SplitNameTemplate) {
  struct Row {
    const char* tmpl;
    std::string first_name;
  };
  for (const Row& r :
       {Row{"%d.txt", "1.txt"}, Row{"_%.3d.txt", "_001.txt"}, Row{"-%0:x%%.txt", "-1%.txt"},
        Row{"[%-3d]", "[1  ]"}, Row{"[%3u]", "[  1]"}}) {
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    auto op = make_op(
        24, {{"Edit_sp_file1", "2"}, {"CheckBox_sp_file1", "1"}, {"Edit_sp_file2", r.tmpl}});
    LineList lines = numbered(3);
    apply_document(*op, lines, file_);
    EXPECT_EQ(read(file_ + r.first_name), text_of(1, 2)) << r.tmpl;
    EXPECT_EQ(files_in_dir(), 2u) << r.tmpl;
  }
}

TEST_F(FileOps, SplitRefusesBadTemplatesBeforeWriting) {
  struct Row {
    const char* tmpl;
    std::string message;
  };
  for (const Row& r :
       {Row{"%s.txt", "Format '%s.txt' invalid or incompatible with argument"},
        Row{"%d-%d.txt", "Format '%d-%d.txt' invalid or incompatible with argument"},
        Row{"%1:d", "Format '%1:d' invalid or incompatible with argument"},
        Row{"%f", "Format '%f' invalid or incompatible with argument"},
        Row{"%", "Format '%' invalid or incompatible with argument"},
        Row{"same.txt", gbk("分割文件: 文件名模板 \"same.txt\" 使各部分文件同名或与原文件同名.")},
        Row{"", gbk("分割文件: 文件名模板 \"\" 使各部分文件同名或与原文件同名.")}}) {
    auto op = make_op(
        24, {{"Edit_sp_file1", "2"}, {"CheckBox_sp_file1", "1"}, {"Edit_sp_file2", r.tmpl}});
    LineList lines = numbered(3);
    try {
      apply_document(*op, lines, file_);
      ADD_FAILURE() << "no error for " << r.tmpl;
    } catch (const RunError& e) {
      EXPECT_EQ(std::string(e.what()), r.message);
    }
    EXPECT_EQ(files_in_dir(), 0u) << r.tmpl;
  }
}

TEST_F(FileOps, DryRunWritesNoCopyAndNoPart) {
  OperationEnv env;
  env.dry_run = true;
  for (int number : {5, 24}) {
    auto op = make_op(number);
    op->set_env(env);
    LineList lines = numbered(25);
    apply_document(*op, lines, file_);
    EXPECT_EQ(lines, numbered(25));
  }
  EXPECT_EQ(files_in_dir(), 0u);
}

TEST_F(FileOps, SplitBadCountEndsRun) {
  auto op = make_op(24, {{"Edit_sp_file1", "ten"}});
  LineList lines = numbered(3);
  EXPECT_THROW(apply_document(*op, lines, file_), RunError);
  EXPECT_EQ(files_in_dir(), 0u);
}

TEST_F(FileOps, ClipboardEntryWritesNothingAndSaysSo) {
  for (int number : {5, 24}) {
    host_.messages.clear();
    auto op = with_host(make_op(number));
    LineList lines = {"a", "b"};
    apply_document(*op, lines, kClipboardEntry);
    EXPECT_EQ(lines, (LineList{"a", "b"}));
    ASSERT_EQ(host_.messages.size(), 1u) << number;
    EXPECT_NE(host_.messages[0].find(gbk("剪贴板")), std::string::npos);
  }
  EXPECT_EQ(files_in_dir(), 0u);
  EXPECT_FALSE(std::filesystem::exists(kClipboardEntry + std::string(".new.txt")));
}

}  // namespace
}  // namespace lq

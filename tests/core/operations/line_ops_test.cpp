#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/operations/md5.h"
#include "core/operations/op_test_support.h"
#include "core/run_error.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

using namespace lq::testing;

struct LineCase {
  const char* name;
  int op;
  Params params;
  std::string in;
  std::string out;
};

std::string blanks(size_t n) {
  return std::string(n, ' ');
}

const std::vector<LineCase>& line_cases() {
  static const std::vector<LineCase> cases = {
      {"PrefixAsTyped", 1, {{"Edit_leftadd1", " > "}}, "abc", " > abc"},
      {"EmptyPrefix", 1, {}, "abc", "abc"},
      {"SuffixAsTyped", 2, {{"Edit_rightadd1", "; "}}, "abc", "abc; "},
      {"EmptySuffix", 2, {}, "abc", "abc"},
      {"PadShortPiece", 3, {}, "abc", "abc" + blanks(7)},
      {"PadKeepsTenBytes", 3, {}, "0123456789", "0123456789"},
      {"PadKeepsLongerPiece", 3, {}, "0123456789ab", "0123456789ab"},
      {"PadCountsBytesOfChinese", 3, {}, gbk("中文"), gbk("中文") + blanks(6)},
      {"PadZeroChangesNothing", 3, {{"Edit_full1", "0"}}, "ab", "ab"},
      {"PadNegativeChangesNothing", 3, {{"Edit_full1", "-3"}}, "ab", "ab"},
      {"PadNotANumberIsTen", 3, {{"Edit_full1", "abc"}}, "ab", "ab" + blanks(8)},
      {"PadLeadingBlanksAllowed", 3, {{"Edit_full1", "  4"}}, "ab", "ab  "},
      {"PadTrailingBlankIsNotANumber", 3, {{"Edit_full1", "4 "}}, "ab", "ab" + blanks(8)},
      {"PadHexCount", 3, {{"Edit_full1", "$4"}}, "a", "a   "},
      {"LowerLettersNotChinese", 9, {}, "ABC" + gbk("中文") + "Z", "abc" + gbk("中文") + "z"},
      // 丄 is 0x81 'A': its second byte looks like a letter and must stay.
      {"LowerLeavesSecondBytes", 9, {}, gbk("丄A"), gbk("丄") + "a"},
      // 說 is 0xD5 'f'.
      {"UpperLeavesSecondBytes", 10, {}, gbk("說f乤"), gbk("說") + "F" + gbk("乤")},
      {"UpperAsciiOnly", 10, {}, "aZ9-\xE9", "AZ9-\xE9"},
      {"DeleteEmptiesPiece", 12, {}, "abc", ""},
      {"WebFullWidthBlank",
       13,
       {},
       "a\xA1\xA1"
       "b",
       "a  b"},
      {"WebKeepsIdeographEndingInA1", 13, {}, gbk("啊") + "\xA1\xA1", gbk("啊") + "  "},
      {"WebKeepsPunctuation", 13, {}, gbk("、。"), gbk("、。")},
      {"WebLoneByteAtEnd", 13, {}, "ab\xA1", "ab "},
      {"WebWithoutA1", 13, {}, gbk("中文 abc"), gbk("中文 abc")},
      {"Base64Encode", 15, {}, "Man", "TWFu"},
      {"Base64EncodePadded", 15, {}, "Ma", "TWE="},
      {"Base64EncodeEmpty", 15, {}, "", ""},
      {"Base64DecodeSkipsForeign", 14, {}, " TW\tFu!", "Man"},
      {"Base64DecodePadded", 14, {}, "TWE=", "Ma"},
      {"Base64DecodeConcatenated", 14, {}, "TQ==TWE=\r\nTWFu", "MMaMan"},
      {"Base64DecodeAnyBytes", 14, {}, "DQoA/w==", std::string("\r\n\0\xFF", 4)},
      // A trailing group of two or three characters gives the whole bytes it holds; a
      // single character holds no whole byte.
      {"Base64DecodeShortGroups", 14, {}, "TWFuTWE", "ManMa"},
      {"Base64DecodeLoneCharacter", 14, {}, "TWFuT", "Man"},
      {"AddOne", 18, {}, "41", "42"},
      {"AddDropsBlanks", 18, {}, " 41\t", "42"},
      {"AddToMinusOne", 18, {}, "-1", "0"},
      {"AddHexPiece", 18, {}, "$10", "17"},
      {"AddNotANumber", 18, {}, "4a", "4a"},
      {"AddEmpty", 18, {}, "", ""},
      {"AddBlankPiece", 18, {}, "  ", "  "},
      {"AddOutOfRange", 18, {}, " 3000000000 ", " 3000000000 "},
      {"AddBadOperand", 18, {{"Edit_add1", "one"}}, " 41", " 41"},
      {"AddTrimmedOperand", 18, {{"Edit_add1", " -5 "}}, "41", "36"},
      {"AddWraps", 18, {}, "2147483647", "-2147483648"},
      {"SubtractOne", 19, {}, "0", "-1"},
      {"SubtractWraps", 19, {}, "-2147483648", "2147483647"},
      {"Md5Empty", 25, {}, "", "d41d8cd98f00b204e9800998ecf8427e"},
      {"Md5Abc", 25, {}, "abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"Md5Bytes", 25, {}, gbk("中文"), "bcce109775e8e1972e9f5fcda3e12895"},
  };
  return cases;
}

class LineOperations : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineOperations, TransformPiece) {
  const LineCase& c = GetParam();
  auto op = make_op(c.op, c.params);
  ASSERT_NE(op, nullptr);
  std::string got = apply_line(*op, c.in);
  EXPECT_EQ(got, c.out) << hex(got) << " != " << hex(c.out);
}

TEST_P(LineOperations, DisabledChangesNothing) {
  const LineCase& c = GetParam();
  auto op = make_op(c.op, c.params, false);
  ASSERT_NE(op, nullptr);
  EXPECT_EQ(apply_line(*op, c.in), c.in);
}

INSTANTIATE_TEST_SUITE_P(Table, LineOperations, ::testing::ValuesIn(line_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Random inputs against the system's own tools.
class Oracle : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& bytes) {
    auto p = (dir_ / name).string();
    lq::test::write_file(p, bytes);
    return p;
  }
  static std::string run(const std::string& cmd) {
    std::string out;
    FILE* f = ::popen(cmd.c_str(), "r");
    if (!f) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    ::pclose(f);
    return out;
  }
  static std::string random_bytes(std::mt19937& rng, size_t n) {
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng() & 0xFF);
    return s;
  }

  lq::test::TempDir temp_;
  std::filesystem::path dir_ = temp_.path();
};

TEST_F(Oracle, Base64AgreesWithCoreutilsAndRoundTrips) {
  std::mt19937 rng(1234);
  auto enc = make_op(15), dec = make_op(14);
  for (size_t len : {0, 1, 2, 3, 4, 5, 57, 58, 59, 300, 1000, 4097}) {
    std::string data = random_bytes(rng, len);
    std::string path = write("b64_" + std::to_string(len), data);
    std::string ours = apply_line(*enc, data);
    EXPECT_EQ(ours, run("base64 -w0 '" + path + "'")) << len;
    EXPECT_EQ(apply_line(*dec, ours), data) << len;
    // Two encodings one after the other decode to both pieces, as coreutils does.
    std::string twice = ours + apply_line(*enc, "xy");
    EXPECT_EQ(apply_line(*dec, twice), data + "xy") << len;
    EXPECT_EQ(run("printf '%s' '" + twice + "' | base64 -d"), data + "xy") << len;
  }
}

TEST_F(Oracle, Md5AgreesWithMd5sum) {
  std::mt19937 rng(99);
  auto md5 = make_op(25);
  for (size_t len : {0, 1, 55, 56, 63, 64, 65, 1000, 100000}) {
    std::string data = random_bytes(rng, len);
    std::string path = write("md5_" + std::to_string(len), data);
    std::string expected = run("md5sum '" + path + "'").substr(0, 32);
    EXPECT_EQ(apply_line(*md5, data), expected) << len;
    EXPECT_EQ(md5_file_hex(path), expected) << len;
  }
}

// The whole-file digest tells how far it is, and ends without a digest when told to stop.
TEST_F(Oracle, WholeFileMd5ReportsProgressAndStops) {
  const std::string path = write("md5_big", std::string(200000, 'q'));
  uint64_t last = 0, size = 0;
  const auto whole = md5_file_hex(path, [&](uint64_t done, uint64_t total) {
    last = done;
    size = total;
    return true;
  });
  EXPECT_EQ(whole, md5_file_hex(path));
  EXPECT_EQ(last, 200000u);
  EXPECT_EQ(size, 200000u);
  int calls = 0;
  EXPECT_EQ(md5_file_hex(path, [&](uint64_t, uint64_t) { return ++calls < 2; }), std::nullopt);
  EXPECT_EQ(calls, 2);
}

// Only an empty file has the digest of empty input; a file that cannot be read has none.
TEST_F(Oracle, WholeFileMd5OfUnreadableIsAnErrorNamingIt) {
  EXPECT_EQ(md5_file_hex(write("empty", "")), "d41d8cd98f00b204e9800998ecf8427e");
  const std::pair<std::string, const char*> bad[] = {
      {(dir_ / "missing").string(), "No such file or directory"},
      {dir_.string(), "Is a directory"},
  };
  for (const auto& [path, why] : bad) {
    try {
      md5_file_hex(path);
      ADD_FAILURE() << "a digest for " << path;
    } catch (const RunError& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + path + "\". " + why);
    }
  }
}

TEST(CaseConversion, AgreesWithAsciiRulesOnRandomAscii) {
  std::mt19937 rng(7);
  auto lower = make_op(9), upper = make_op(10);
  for (int round = 0; round < 50; ++round) {
    std::string s(200, '\0');
    for (auto& c : s) c = static_cast<char>(rng() % 0x80);
    std::string lo = s, up = s;
    for (auto& c : lo) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (auto& c : up) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(apply_line(*lower, s), lo);
    EXPECT_EQ(apply_line(*upper, s), up);
  }
}

}  // namespace
}  // namespace lq

#include "core/settings/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/encoding/code_page.h"
#include "core/run_error.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

const std::string kOps = "\xB2\xD9\xD7\xF7";  // 操作 in GBK

TEST(IniRead, ProfileRules) {
  const IniFile ini = IniFile::from_text(
      "; comment\r\n"
      "orphan=before any section\r\n"
      "  [ Main ]  \r\n"
      "Name = spaced value \r\n"
      "quoted=\"  kept inside  \"\r\n"
      "single='x'\r\n"
      "half=\"open\r\n"
      "eq=a=b\r\n"
      "name=second wins not\r\n"
      "=no name\r\n"
      "garbage line\r\n"
      "[main]\r\n"
      "later=ignored: first section wins\r\n"
      "[" +
      kOps +
      "]\n"
      "flag=1\n");
  EXPECT_EQ(ini.read_string("MAIN", "name"), "spaced value");
  EXPECT_EQ(ini.read_string("main", "quoted"), "  kept inside  ");
  EXPECT_EQ(ini.read_string("main", "single"), "x");
  EXPECT_EQ(ini.read_string("main", "half"), "\"open");
  EXPECT_EQ(ini.read_string("main", "eq"), "a=b");
  EXPECT_EQ(ini.read_string("main", "later", "def"), "def");
  EXPECT_EQ(ini.read_string("main", "orphan", "def"), "def");
  EXPECT_EQ(ini.read_string("none", "name", "def"), "def");
  EXPECT_TRUE(ini.read_bool(kOps, "FLAG", false));
  EXPECT_EQ(ini.read_section("main"), (LineList{"Name", "quoted", "single", "half", "eq"}));
  EXPECT_EQ(ini.read_sections(), (LineList{"Main", kOps}));
}

TEST(IniRead, NamesFoldOnlyAsciiCharacters) {
  // "\x81\x41" and "\x81\x61" are two different GBK characters whose second bytes happen
  // to be 'A' and 'a'.
  const IniFile ini = IniFile::from_text("[s]\n\x81\x41=upper\nKey=v\n");
  EXPECT_EQ(ini.read_string("s", "\x81\x41"), "upper");
  EXPECT_EQ(ini.read_string("s", "\x81\x61", "none"), "none");
  EXPECT_EQ(ini.read_string("S", "kEY"), "v");
  EXPECT_TRUE(same_ini_name("ABC", "abc"));
  EXPECT_FALSE(same_ini_name("ab", "abc"));
}

TEST(IniRead, NumbersAndBooleansFallBackToDefaults) {
  const IniFile ini = IniFile::from_text(
      "[n]\nneg=-16777201\nhex=0x1F\ndollar=$10\nhuge=99999999999999999999\n"
      "word=true\nempty=\nzero=0\nother=5\nspace=  7  \n");
  const struct {
    const char* key;
    int expected;
  } rows[] = {{"neg", -16777201}, {"hex", 31}, {"dollar", 16}, {"huge", 42}, {"word", 42},
              {"empty", 42},      {"zero", 0}, {"other", 5},   {"space", 7}, {"missing", 42}};
  for (const auto& r : rows) EXPECT_EQ(ini.read_integer("n", r.key, 42), r.expected) << r.key;
  EXPECT_FALSE(ini.read_bool("n", "zero", true));
  EXPECT_TRUE(ini.read_bool("n", "other", false));
  EXPECT_TRUE(ini.read_bool("n", "word", true));  // not an integer: the default
  EXPECT_FALSE(ini.read_bool("n", "word", false));
}

TEST(IniRead, GarbageNeverBreaksReading) {
  std::string junk;
  for (int k = 0; k < 20000; ++k) junk.push_back(static_cast<char>((k * 7919) % 256));
  junk += "\n[ok]\nk=v\n[unclosed\nx=1\n";
  const IniFile ini = IniFile::from_text(junk);
  EXPECT_EQ(ini.read_string("ok", "k"), "v");
  EXPECT_EQ(ini.read_integer("unclosed", "x", 0), 1);
  EXPECT_EQ(ini.read_integer("ok", std::string(100000, 'k'), 3), 3);
  // A UTF-8 mark from an editor does not hide the first section.
  EXPECT_EQ(IniFile::from_text("\xEF\xBB\xBF[a]\nk=1\n").read_integer("a", "k", 0), 1);
}

TEST(IniWrite, KeepsOtherLinesAndPlacesNewKeys) {
  IniFile ini = IniFile::from_text("; top\r\n[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n");
  ini.write_string("A", "X", "10");
  ini.write_string("a", "z", "3");
  ini.write_integer("c", "n", -16777201);
  ini.write_bool("b", "flag", true);
  ini.write_string("b", "multi", "one\r\ntwo");
  EXPECT_EQ(ini.to_text(),
            "; top\r\n[a]\r\nX=10\r\nz=3\r\n\r\n[b]\r\ny=2\r\nflag=1\r\nmulti=one  two\r\n"
            "[c]\r\nn=-16777201\r\n");
  ini.delete_key("a", "z");
  ini.erase_section("B");
  EXPECT_EQ(ini.to_text(), "; top\r\n[a]\r\nX=10\r\n\r\n[c]\r\nn=-16777201\r\n");
  EXPECT_FALSE(ini.section_exists("b"));
  EXPECT_TRUE(ini.value_exists("c", "N"));
}

using IniFiles = test::TempDirTest;

TEST_F(IniFiles, WritesThroughAndReloads) {
  IniFile ini(path("sys1.ini"));
  EXPECT_EQ(ini.read_integer("s", "k", 5), 5);  // missing file: defaults
  ini.write_integer("s", "k", 6);
  EXPECT_EQ(read("sys1.ini"), "[s]\r\nk=6\r\n");
  EXPECT_EQ(IniFile(path("sys1.ini")).read_integer("s", "k", 0), 6);

  ini.set_write_through(false);
  ini.write_integer("s", "k", 7);
  EXPECT_EQ(read("sys1.ini"), "[s]\r\nk=6\r\n");
  ini.update_file();
  EXPECT_EQ(read("sys1.ini"), "[s]\r\nk=7\r\n");

  write("sys1.ini", "[s]\nk=8\n");
  ini.reload();
  EXPECT_EQ(ini.read_integer("s", "k", 0), 8);
}

TEST_F(IniFiles, UnreadableFileGivesDefaultsAndWriteErrorsAreReported) {
  IniFile dir_as_file(dir());
  EXPECT_EQ(dir_as_file.read_string("s", "k", "d"), "d");
  EXPECT_THROW(dir_as_file.write_string("s", "k", "v"), RunError);

  IniFile nowhere(path("missing/dir/x.ini"));
  EXPECT_THROW(nowhere.write_string("s", "k", "v"), RunError);
}

}  // namespace
}  // namespace lq

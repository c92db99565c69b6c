#include "core/textsvc/file_services.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <thread>

#include "core/run_error.h"
#include "core/support/file_powers.h"
#include "core/support/sync_spy.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

namespace fs = std::filesystem;

struct LoadCase {
  const char* name;
  std::string bytes;
  LineList expected;
};

class LoadLines : public test::TempDirTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadLines, SplitsAtLfAndDropsCr) {
  const auto& c = GetParam();
  // Lines already in the list are written over: none of their bytes, and none of the
  // lines past the file's own, may survive.
  LineList lines{"stale", "a stale line longer than any of the file's", "", "more"};
  load_lines(write("f.txt", c.bytes), lines);
  EXPECT_EQ(lines, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadLines,
    ::testing::Values(LoadCase{"crlf", "a\r\nb", {"a", "b"}},
                      LoadCase{"crlf_terminated", "a\r\n", {"a"}},
                      LoadCase{"empty_second_line", "a\n\n", {"a", ""}},
                      LoadCase{"crlf_alone", "\r\n", {""}}, LoadCase{"empty_file", "", {}},
                      LoadCase{"lone_cr_joins", "a\rb", {"ab"}},
                      LoadCase{"trailing_cr_only", "a\n\r", {"a"}},
                      LoadCase{"several_crs", "\ra\r\rb\r\r\nc", {"ab", "c"}},
                      LoadCase{"nul_and_high_bytes",
                               std::string("\0\xff\xd6\xd0\n", 5),
                               {std::string("\0\xff\xd6\xd0", 4)}},
                      LoadCase{"utf8_mark_kept", "\xEF\xBB\xBFx\ny", {"\xEF\xBB\xBFx", "y"}}),
    [](const auto& info) { return std::string(info.param.name); });

using FileServices = test::TempDirTest;

TEST_F(FileServices, LoadLinesAcrossBlockBoundaries) {
  // Lines of varying length so that CR, LF and CR LF pairs fall on every offset around
  // 1024-byte and 4096-byte boundaries.
  std::string bytes;
  LineList expected;
  for (int k = 0; expected.size() < 3000; ++k) {
    std::string line(static_cast<size_t>(k % 37), static_cast<char>('a' + k % 26));
    if (k % 5 == 0) line += "\xB0\xA1";
    expected.push_back(line);
    bytes += line + (k % 3 == 0 ? "\n" : "\r\n");
  }
  LineList lines;
  load_lines(write("big.txt", bytes), lines);
  EXPECT_EQ(lines, expected);
}

TEST_F(FileServices, LoadLinesFailureKeepsLinesAndNamesTheReason) {
  LineList lines{"old"};
  const std::string missing = path("missing.txt");
  try {
    load_lines(missing, lines);
    FAIL() << "no error";
  } catch (const RunError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + missing + "\". No such file or directory");
  }
  EXPECT_THROW(load_lines(dir(), lines), RunError);
  EXPECT_EQ(lines, LineList{"old"});
}

TEST_F(FileServices, GetFilesRecursesDepthFirstWithoutFollowingLinks) {
  write("a.txt", "");
  write("s/b.txt", "");
  write("c.txt", "");
  fs::create_directory(path("s/empty"));
  fs::create_directory_symlink(dir(), path("s/loop"));
  fs::create_symlink(path("a.txt"), path("link.txt"));

  // Natural order by path: a subdirectory's files stand where its name sorts.
  LineList flat;
  get_files(dir(), flat, false);
  EXPECT_EQ(flat, (LineList{path("a.txt"), path("c.txt"), path("link.txt")}));

  int pumps = 0;
  LineList deep{"kept first"};
  get_files(dir(), deep, true, [&] { ++pumps; });
  EXPECT_EQ(deep, (LineList{"kept first", path("a.txt"), path("c.txt"), path("link.txt"),
                            path("s/b.txt")}));
  EXPECT_EQ(pumps, 1);  // the top level's subdirectory only, never the nested calls

  LineList none;
  get_files(path("nowhere/"), none, true);
  EXPECT_TRUE(none.empty());
}

TEST_F(FileServices, GetFilesListsEachDirectoryInNaturalOrder) {
  for (const char* name : {"f10", "f2", "F1", "f0985", "f0292", "d10/b", "d10/a", "d9/x"})
    write(name, "");
  LineList deep;
  get_files(dir(), deep, true);
  EXPECT_EQ(deep, (LineList{path("d9/x"), path("d10/a"), path("d10/b"), path("F1"), path("f2"),
                            path("f10"), path("f0292"), path("f0985")}));
}

struct ExtCase {
  const char* name;
  LineList exts;
  LineList kept;
};

class FilterByExt : public ::testing::TestWithParam<ExtCase> {};

TEST_P(FilterByExt, KeepsListedExtensionsInOrder) {
  const auto& c = GetParam();
  LineList files{"/d/a.txt",   "/d/B.Txt",   "/d/c.txt.bak", "/d/readme",
                 "/d.x/noext", " /d/e.txt ", "/d/a.txt"};
  filter_by_ext(files, c.exts);
  EXPECT_EQ(files, c.kept);
}

INSTANTIATE_TEST_SUITE_P(Cases, FilterByExt,
                         ::testing::Values(ExtCase{"upper_case_ext",
                                                   {".TXT"},
                                                   {"/d/a.txt", "/d/B.Txt", " /d/e.txt ",
                                                    "/d/a.txt"}},
                                           ExtCase{"no_exts", {}, {}},
                                           ExtCase{"empty_element_keeps_bare_names",
                                                   {" .bak ", ""},
                                                   {"/d/c.txt.bak", "/d/readme", "/d.x/noext"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FilterByMasks, StarsRemovedAndTrailingSemicolonKeepsBareNames) {
  LineList files{"a.txt", "b.htm", "c.doc", "readme"};
  filter_by_masks(files, "*.txt;*.htm");
  EXPECT_EQ(files, (LineList{"a.txt", "b.htm"}));
  files = {"a.txt", "b.htm", "readme"};
  filter_by_masks(files, "*.txt;");
  EXPECT_EQ(files, (LineList{"a.txt", "readme"}));
  files = {"x.dsk", "y.DSK", "z.ini"};
  filter_by_masks(files, ".dsk");
  EXPECT_EQ(files, (LineList{"x.dsk", "y.DSK"}));
}

TEST_F(FileServices, ListDirModes) {
  write("a.txt", "");
  write("s/b.txt", "");
  fs::create_directory(path("t"));
  fs::create_directory_symlink(dir(), path("s/loop"));

  LineList dirs;
  list_dir(dir(), dirs, false, "dir");
  std::sort(dirs.begin(), dirs.end());
  EXPECT_EQ(dirs, (LineList{path("s"), path("t")}));

  LineList files;
  list_dir(dir(), files, false, "");
  EXPECT_EQ(files, LineList{path("a.txt")});

  LineList all;
  list_dir(dir(), all, true, "all");
  auto at = [&](const std::string& p) {
    return std::find(all.begin(), all.end(), p) - all.begin();
  };
  EXPECT_EQ(all.size(), 5u);  // a.txt, s/b.txt, s/loop (listed, not entered), s, t
  EXPECT_LT(at(path("s/b.txt")), at(path("s")));
  EXPECT_LT(at(path("s/loop")), at(path("s")));
  EXPECT_EQ(std::count(all.begin(), all.end(), path(".")), 0);
}

TEST_F(FileServices, ForceDirCreatesParents) {
  force_dir(path("x/y/z/file.txt"), true);
  EXPECT_TRUE(dir_exists(path("x/y/z")));
  EXPECT_FALSE(dir_exists(path("x/y/z/file.txt")));
  file_util::force_dir(path("p/q/"), false);
  EXPECT_TRUE(dir_exists(path("p/q")));
  force_dir(path("p/q/"), false);  // existing is fine
  try {
    force_dir("file-without-dir.txt", true);
    FAIL() << "no error";
  } catch (const RunError& e) {
    EXPECT_STREQ(e.what(), "Unable to create directory");
  }
  EXPECT_THROW(force_dir("", false), RunError);
}

TEST_F(FileServices, AppPathHonoursOverrideAndEndsInSlash) {
  {
    test::ScopedEnv env("LEXOQUILL_HOME", path("home"));
    EXPECT_EQ(app_path(), path("home/"));
    EXPECT_TRUE(dir_exists(path("home")));
  }
  {
    test::ScopedEnv env("LEXOQUILL_HOME", "");
    const std::string exe_dir = fs::read_symlink("/proc/self/exe").parent_path().string() + "/";
    const std::string p = app_path();
    if (::access(exe_dir.c_str(), W_OK) == 0)
      EXPECT_EQ(p, exe_dir);
    else
      EXPECT_EQ(p.substr(p.size() - 11), "lexoquill/");
  }
}

TEST(CmdLine, ArgumentsJoinedWithLeadingBlank) {
  EXPECT_EQ(file_util::cmd_line({"\"/tmp/a b/c.txt\""}, true), " /tmp/a b/c.txt");
  EXPECT_EQ(file_util::cmd_line({"/tmp/a", "b/c.txt"}, false), " /tmp/a b/c.txt");
  EXPECT_EQ(file_util::cmd_line({"\"x\""}, false), " \"x\"");
  EXPECT_EQ(file_util::cmd_line({}, true), "");
}

TEST_F(FileServices, FileTimeAtTwoSecondResolution) {
  EXPECT_EQ(file_util::file_time(path("missing")), -1);
  EXPECT_EQ(file_util::file_time(dir()), -1);

  const std::string f = write("t.txt", "x");
  std::tm tm{};
  tm.tm_year = 2020 - 1900;
  tm.tm_mon = 0;
  tm.tm_mday = 2;
  tm.tm_hour = 3;
  tm.tm_min = 4;
  tm.tm_sec = 5;
  tm.tm_isdst = -1;
  const timespec times[2] = {{std::mktime(&tm), 0}, {std::mktime(&tm), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, f.c_str(), times, 0), 0);
  // 2020-01-02 is day 43832 counted from 1899-12-30; 03:04:05 rounds down to 03:04:04.
  EXPECT_DOUBLE_EQ(file_util::file_time(f), 43832 + (3 * 3600 + 4 * 60 + 4) / 86400.0);
  EXPECT_EQ(file_util::file_time(f), file_util::file_time(f));

  tm.tm_year = 1979 - 1900;
  const timespec old[2] = {{std::mktime(&tm), 0}, {std::mktime(&tm), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, f.c_str(), old, 0), 0);
  EXPECT_EQ(file_util::file_time(f), -1);
}

TEST_F(FileServices, WriteFileReplacesWholeAndKeepsPermissions) {
  const std::string f = write("w.txt", "old");
  ::chmod(f.c_str(), 0640);
  write_file_atomically(f, "new");
  EXPECT_EQ(read("w.txt"), "new");
  struct stat st;
  ASSERT_EQ(::stat(f.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  // A read-only file may be replaced; the owner gets write permission.
  ::chmod(f.c_str(), 0444);
  save_lines(f, {"a", "", "b"});
  EXPECT_EQ(read("w.txt"), "a\r\n\r\nb\r\n");
  ASSERT_EQ(::stat(f.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);

  // Through a link the target is written and the link stays.
  fs::create_symlink(f, path("link.txt"));
  write_file_atomically(path("link.txt"), "via link");
  EXPECT_TRUE(fs::is_symlink(path("link.txt")));
  EXPECT_EQ(read("w.txt"), "via link");

  // A name at the file-system's length limit can still be replaced.
  const std::string long_name = std::string(255, 'n');
  write(long_name, "old");
  write_file_atomically(path(long_name), "new");
  EXPECT_EQ(read(long_name), "new");
  fs::remove(path(long_name));

  // No temporary file is left behind.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir())) ++entries;
  EXPECT_EQ(entries, 2);
}

TEST_F(FileServices, WriteFileFailureLeavesOriginal) {
  const std::string missing_dir = path("nowhere/x.txt");
  try {
    write_file_atomically(missing_dir, "x");
    FAIL() << "no error";
  } catch (const RunError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot create file \"" + missing_dir + "\". No such file or directory");
  }
  testing_support::WithoutFilePowers plain_user;
  if (!plain_user.active()) GTEST_SKIP() << "root's file powers cannot be given up here";
  const std::string f = write("ro/keep.txt", "original");
  ::chmod(path("ro").c_str(), 0555);
  EXPECT_THROW(write_file_atomically(f, "new"), RunError);
  ::chmod(path("ro").c_str(), 0755);
  EXPECT_EQ(read("ro/keep.txt"), "original");
}

// The new bytes are on the disk before they replace the old ones, the rename is made
// durable after; a failed wait before the rename keeps the original, one after it is
// still reported.
TEST_F(FileServices, WriteFileWaitsForTheDiskAroundTheRename) {
  const std::string f = write("w.txt", "old");
  testing_support::SyncSpy spy;
  std::vector<std::string> seen;
  spy.on_call = [&](const testing_support::SyncSpy::Call& c) {
    seen.push_back((c.dir ? c.path + "/" : read_file_bytes_or_throw(c.path)) + " " + read("w.txt"));
  };
  write_file_atomically(f, "new");
  EXPECT_EQ(seen, (std::vector<std::string>{"new old", dir() + " new"}));

  for (bool dir_fails : {false, true}) {
    spy.fail = [&](const testing_support::SyncSpy::Call& c) {
      return c.dir == dir_fails ? EIO : 0;
    };
    try {
      write_file_atomically(f, dir_fails ? "third" : "second");
      ADD_FAILURE() << "no error";
    } catch (const RunError& e) {
      EXPECT_EQ(std::string(e.what()),
                dir_fails ? "Cannot sync directory \"" + dir() + "\". Input/output error"
                          : "Cannot create file \"" + f + "\". Input/output error");
    }
    EXPECT_EQ(read("w.txt"), dir_fails ? "third" : "new");
  }
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir())) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST_F(FileServices, ShellOpenHandsTargetToOpener) {
  const std::string script = write("opener.sh",
                                   "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.out.tmp\" && "
                                   "mv \"$0.out.tmp\" \"$0.out\"\n");
  ::chmod(script.c_str(), 0755);
  test::ScopedEnv env("LEXOQUILL_OPENER", script);
  shell_open("/some path/with blanks.txt");
  // The opener runs detached; wait for its answer file.
  for (int k = 0; k < 500 && !fs::exists(script + ".out"); ++k)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(read("opener.sh.out"), "/some path/with blanks.txt");
}

}  // namespace
}  // namespace lq

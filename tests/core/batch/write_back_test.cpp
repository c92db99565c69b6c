#include "core/batch/write_back.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>

#include "core/run_error.h"
#include "core/support/file_powers.h"
#include "core/support/sync_spy.h"
#include "support/temp_dir.h"

namespace lq {
namespace {

using namespace testing_support;
using namespace test;

ino_t inode_of(const std::string& path) {
  struct stat st;
  stat(path.c_str(), &st);
  return st.st_ino;
}

TEST(WriteBack, ReplacesContentKeepsModeAndMakesWritable) {
  TempDir dir;
  const std::string f = dir / "a.txt";
  write_file(f, "old");
  chmod(f.c_str(), 0444);
  EXPECT_TRUE(write_back(f, "new\r\n"));
  EXPECT_EQ(read_file(f), "new\r\n");
  EXPECT_EQ(mode_of(f), 0644u);
  chmod(f.c_str(), 0750);
  EXPECT_TRUE(write_back(f, ""));
  EXPECT_EQ(read_file(f), "");
  EXPECT_EQ(mode_of(f), 0750u);
  EXPECT_EQ(dir.names(), std::vector<std::string>{"a.txt"});
}

TEST(WriteBack, FollowsASymbolicLink) {
  TempDir dir;
  std::filesystem::create_directory(dir / "real");
  write_file(dir / "real/t.txt", "a\n");
  symlink("real/t.txt", (dir / "link").c_str());
  EXPECT_TRUE(write_back(dir / "link", "a\r\n"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
  EXPECT_EQ(read_file(dir / "real/t.txt"), "a\r\n");
}

TEST(WriteBack, SameBytesAreNotRewrittenButMadeWritable) {
  TempDir dir;
  const std::string f = dir / "a.txt";
  write_file(f, "a\r\n");
  chmod(f.c_str(), 0400);
  const ino_t before = inode_of(f);
  EXPECT_FALSE(write_back(f, "a\r\n"));
  EXPECT_EQ(inode_of(f), before);
  EXPECT_EQ(mode_of(f), 0600u);
}

TEST(WriteBack, DryRunTouchesNothing) {
  TempDir dir;
  const std::string f = dir / "a.txt";
  write_file(f, "a\n");
  chmod(f.c_str(), 0400);
  EXPECT_TRUE(write_back(f, "a\r\n", true));
  EXPECT_FALSE(write_back(f, "a\n", true));
  EXPECT_EQ(read_file(f), "a\n");
  EXPECT_EQ(mode_of(f), 0400u);
}

TEST(WriteBack, UnwritableDirectoryFailsAndKeepsTheFile) {
  WithoutFilePowers plain_user;
  if (!plain_user.active()) GTEST_SKIP() << "root's file powers cannot be given up here";
  TempDir dir;
  std::filesystem::create_directory(dir / "ro");
  const std::string f = dir / "ro/a.txt";
  write_file(f, "old");
  chmod((dir / "ro").c_str(), 0500);
  try {
    write_back(f, "new");
    ADD_FAILURE() << "no error";
  } catch (const RunError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + f + "\". Permission denied");
  }
  EXPECT_EQ(read_file(f), "old");
}

// A write that fails half-way (here: the file-size limit, as a full disk would) leaves the
// original whole and no temporary file behind.
TEST(WriteBack, FailureHalfWayLeavesTheOriginal) {
  TempDir dir;
  const std::string f = dir / "a.txt";
  write_file(f, "original");
  pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit lim = {4096, 4096};
    setrlimit(RLIMIT_FSIZE, &lim);
    try {
      write_back(f, std::string(1 << 20, 'x'));
    } catch (const RunError& e) {
      _exit(std::string(e.what()).rfind("Cannot create file \"" + f + "\". ", 0) == 0 ? 0 : 2);
    }
    _exit(1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(read_file(f), "original");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"a.txt"});
}

// Another program changing the file after it was read: the write-back refuses, whether the
// change comes before preparing or between preparing and putting in place, and the other
// program's bytes stay.
TEST(WriteBack, FileChangedSinceReadingIsNotOverwritten) {
  const struct {
    const char* what;
    std::function<void(const std::string&)> change;
  } changes[] = {
      {"grown", [](const std::string& f) { std::ofstream(f, std::ios::app) << "more"; }},
      {"same size, new time",
       [](const std::string& f) {
         write_file(f, "OLD\n");
         const struct timespec t[2] = {{1, 0}, {1, 0}};
         utimensat(AT_FDCWD, f.c_str(), t, 0);
       }},
      {"replaced",
       [](const std::string& f) {
         write_file(f + ".x", "other\n");
         rename((f + ".x").c_str(), f.c_str());
       }},
  };
  for (const auto& c : changes) {
    for (bool at_commit : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (at_commit ? ", before commit" : ", before prepare"));
      TempDir dir;
      const std::string f = dir / "a.txt";
      write_file(f, "old\n");
      const std::optional<FileStamp> read_as = file_stamp(f);
      ASSERT_TRUE(read_as);
      std::string theirs;
      try {
        if (!at_commit) c.change(f), theirs = read_file(f);
        PendingWrite w = prepare_write_back(f, "new\r\n", false, read_as);
        if (at_commit) c.change(f), theirs = read_file(f);
        w.commit();
        ADD_FAILURE() << "overwritten";
      } catch (const RunError& e) {
        EXPECT_NE(std::string(e.what()).find(f), std::string::npos);
      }
      EXPECT_EQ(read_file(f), theirs);
      EXPECT_EQ(dir.names(), std::vector<std::string>{"a.txt"});
    }
  }
  // Unchanged, or only given a second name (as the run journal does): written.
  TempDir dir;
  const std::string f = dir / "a.txt";
  write_file(f, "old\n");
  PendingWrite w = prepare_write_back(f, "new\r\n", false, file_stamp(f));
  ASSERT_EQ(link(f.c_str(), (dir / "kept").c_str()), 0);
  w.commit();
  EXPECT_EQ(read_file(f), "new\r\n");
  EXPECT_EQ(read_file(dir / "kept"), "old\n");
}

// The new content is on the disk before it replaces the file, and the rename is made
// durable after: one file alone, and a group, where each directory is synced once.
TEST(WriteBack, NewContentReachesTheDiskBeforeTheRename) {
  TempDir dir;
  std::filesystem::create_directory(dir / "s");
  const std::vector<std::string> files = {dir / "a.txt", dir / "s/b.txt", dir / "c.txt"};
  for (const std::string& f : files) write_file(f, "old");
  SyncSpy spy;
  std::vector<std::string> seen;  // each call, with what the files hold at that moment
  spy.on_call = [&](const SyncSpy::Call& c) {
    std::string at = c.dir ? "dir " + c.path : "data " + read_file(c.path);
    for (const std::string& f : files) at += " " + read_file(f);
    seen.push_back(at);
  };
  EXPECT_TRUE(write_back(files[0], "one"));
  EXPECT_EQ(seen, (std::vector<std::string>{"data one old old old",
                                            "dir " + dir.path() + " one old old"}));

  seen.clear();
  std::vector<PendingWrite> writes;
  for (const std::string& f : files) writes.push_back(prepare_write_back(f, "new"));
  std::vector<PendingWrite*> group;
  for (PendingWrite& w : writes) group.push_back(&w);
  const CommitOutcome out = commit_all(group);
  EXPECT_EQ(out.placed, 3u);
  EXPECT_FALSE(out.error);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"data new one old old", "data new one old old",
                                      "data new one old old", "dir " + dir.path() + " new new new",
                                      "dir " + dir.path() + "/s new new new"}));
  EXPECT_EQ(dir.names().size(), 3u);  // no temporary file left
}

// Lanes kept over many rounds of different sizes do every job of each round exactly once,
// and a round returns only when all of its jobs have.
TEST(WriteBack, SyncLanesDoEachJobOnceARound) {
  SyncLanes lanes;
  for (size_t n : {5u, 0u, 1u, 40u, 3u, 64u, 16u}) {
    std::vector<std::atomic<int>> calls(n);
    lanes.run(n, 16, [&](size_t k) {
      if (k % 7 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      ++calls[k];
    });
    for (size_t k = 0; k < n; ++k)
      EXPECT_EQ(calls[k].load(), 1) << "round of " << n << ", job " << k;
  }
}

// A wait for the disk that fails: before the rename the file keeps its old content and no
// temporary file stays; a group stops at that file, the ones before it in place. A
// directory that cannot be synced is reported although the file has its new content.
TEST(WriteBack, FailedWaitForTheDiskIsReported) {
  TempDir dir;
  const std::vector<std::string> files = {dir / "a.txt", dir / "b.txt", dir / "c.txt"};
  for (const std::string& f : files) write_file(f, "old");
  {
    SyncSpy spy;
    spy.fail = [](const SyncSpy::Call& c) { return c.dir ? 0 : EIO; };
    try {
      write_back(files[0], "new");
      ADD_FAILURE() << "no error";
    } catch (const RunError& e) {
      EXPECT_EQ(std::string(e.what()),
                "Cannot create file \"" + files[0] + "\". Input/output error");
    }
    EXPECT_EQ(read_file(files[0]), "old");
    EXPECT_EQ(dir.names().size(), 3u);
  }
  {
    SyncSpy spy;
    spy.fail = [&](const SyncSpy::Call& c) {
      return !c.dir && read_file(c.path) == "new b" ? EIO : 0;
    };
    std::vector<PendingWrite> writes;
    for (const std::string& f : files)
      writes.push_back(prepare_write_back(f, "new " + f.substr(f.size() - 5, 1)));
    std::vector<PendingWrite*> group;
    for (PendingWrite& w : writes) group.push_back(&w);
    const CommitOutcome out = commit_all(group);
    EXPECT_EQ(out.placed, 1u);
    ASSERT_TRUE(out.error);
    EXPECT_EQ(std::string(out.error->what()),
              "Cannot create file \"" + files[1] + "\". Input/output error");
    writes.clear();
    EXPECT_EQ(read_file(files[0]), "new a");
    EXPECT_EQ(read_file(files[1]), "old");
    EXPECT_EQ(read_file(files[2]), "old");
    EXPECT_EQ(dir.names().size(), 3u);
  }
  SyncSpy spy;
  spy.fail = [](const SyncSpy::Call& c) { return c.dir ? EIO : 0; };
  try {
    write_back(files[2], "new");
    ADD_FAILURE() << "no error";
  } catch (const RunError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot sync directory \"" + dir.path() + "/\". Input/output error");
  }
  EXPECT_EQ(read_file(files[2]), "new");
}

}  // namespace
}  // namespace lq

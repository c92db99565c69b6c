#include "core/shell/runtime_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace lq {
namespace {

using RuntimeDir = test::TempDirTest;

mode_t mode_of(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

TEST_F(RuntimeDir, PrivateDirectoryInsideTheRuntimeDir) {
  test::ScopedEnv env("XDG_RUNTIME_DIR", dir());
  EXPECT_EQ(runtime_dir(), dir() + "lexoquill/");
  EXPECT_EQ(mode_of(dir() + "lexoquill"), 0700u);
  // Opened up by someone: closed again.
  ::chmod((dir() + "lexoquill").c_str(), 0755);
  EXPECT_EQ(runtime_dir(), dir() + "lexoquill/");
  EXPECT_EQ(mode_of(dir() + "lexoquill"), 0700u);
}

TEST_F(RuntimeDir, PlantedLinkIsRefused) {
  test::ScopedEnv env("XDG_RUNTIME_DIR", dir());
  std::filesystem::create_directory(path("elsewhere"));
  std::filesystem::create_directory_symlink(path("elsewhere"), path("lexoquill"));
  EXPECT_EQ(runtime_dir(), "");
}

TEST_F(RuntimeDir, FallbackWithoutUsableRuntimeDir) {
  const std::string fallback = "/tmp/lexoquill-" + std::to_string(::getuid()) + "/";
  for (const char* bad : {"", "relative/dir", "/no/such/dir"}) {
    test::ScopedEnv env("XDG_RUNTIME_DIR", bad);
    EXPECT_EQ(runtime_dir(), fallback) << bad;
  }
  EXPECT_EQ(mode_of(fallback.substr(0, fallback.size() - 1)), 0700u);
}

}  // namespace
}  // namespace lq

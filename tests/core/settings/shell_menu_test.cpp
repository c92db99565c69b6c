#include "core/settings/shell_menu.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/temp_dir.h"
#include "core/textsvc/file_services.h"

namespace lq {
namespace {

class ShellMenu : public test::TempDirTest {};

TEST(ShellMenuExec, QuotesAndEscapesTheProgramPath) {
  EXPECT_EQ(desktop_exec_arg("/usr/bin/lexoquill"), "\"/usr/bin/lexoquill\"");
  EXPECT_EQ(desktop_exec_arg("/my apps/lq"), "\"/my apps/lq\"");
  // $ gets one backslash for the quoting, then every backslash is doubled.
  EXPECT_EQ(desktop_exec_arg("/a$b"), "\"/a\\\\$b\"");
  EXPECT_EQ(desktop_exec_arg("/a\\b"), "\"/a\\\\\\\\b\"");
  EXPECT_EQ(desktop_exec_arg("/100%"), "\"/100%%\"");
}

TEST_F(ShellMenu, OnWritesTheEntriesOffRemovesThem) {
  const std::string prog = "/opt/lq dir/lexoquill";
  const auto files = shell_menu_files(dir(), prog);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].path, dir() + "applications/lexoquill-open-with.desktop");
  update_shell_menu(true, dir(), prog);
  for (const auto& f : files) {
    EXPECT_EQ(read(f.path.substr(dir().size())), f.content);
    EXPECT_NE(f.content.find("Name=Lexoquill\n"), std::string::npos);
    EXPECT_NE(f.content.find("Exec=\"/opt/lq dir/lexoquill\" %f\n"), std::string::npos);
  }
  // File managers ignore an entry their validator refuses.
  if (file_exists("/usr/bin/desktop-file-validate")) {
    EXPECT_EQ(std::system(("desktop-file-validate '" + files[0].path + "'").c_str()), 0);
  }
  update_shell_menu(false, dir(), prog);
  for (const auto& f : files) EXPECT_FALSE(file_exists(f.path));
  // Removing what is not there, again, is quiet.
  update_shell_menu(false, dir(), prog);
}

TEST_F(ShellMenu, FailuresAreSilentAndRelativeHomesIgnored) {
  write("applications", "a file where the directory should be");
  update_shell_menu(true, dir(), "/usr/bin/lexoquill");
  EXPECT_TRUE(file_exists(path("applications")));
  EXPECT_TRUE(file_exists(path("file-manager/actions/lexoquill-open-with.desktop")));
  update_shell_menu(true, "relative/", "/usr/bin/lexoquill");
  update_shell_menu(true, "", "/usr/bin/lexoquill");
}

TEST_F(ShellMenu, DataHomeFromTheEnvironment) {
  {
    test::ScopedEnv xdg("XDG_DATA_HOME", "/x/data");
    EXPECT_EQ(user_data_home(), "/x/data/");
  }
  test::ScopedEnv xdg("XDG_DATA_HOME", "not/absolute");
  test::ScopedEnv home("HOME", "/home/u");
  EXPECT_EQ(user_data_home(), "/home/u/.local/share/");
}

}  // namespace
}  // namespace lq

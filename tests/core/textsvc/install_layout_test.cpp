#include "core/textsvc/install_layout.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace lq {
namespace {

class InstallLayout : public test::TempDirTest {};

TEST_F(InstallLayout, DataDirOnlyBesideAnInstalledBinDirectory) {
  write("usr/bin/lexoquill", "");
  write("usr/share/lexoquill/帮助文件.txt", "help");
  write("portable/lexoquill", "");
  write("bare/bin/lexoquill", "");

  EXPECT_EQ(installed_data_dir(path("usr/bin/")), path("usr/share/lexoquill/"));
  EXPECT_EQ(installed_data_dir(path("portable/")), "");
  // A bin/ directory alone does not make an install.
  EXPECT_EQ(installed_data_dir(path("bare/bin/")), "");
  EXPECT_EQ(installed_data_dir("/"), "");
  EXPECT_EQ(installed_data_dir(""), "");
}

TEST_F(InstallLayout, ShippedFileFromOwnDirectoryThenInstalledData) {
  const std::string own = path("config/"), data = path("share/");
  const std::string name = "编辑器特性.txt";
  // Neither has it: the own directory's path, so an error names the usual place.
  EXPECT_EQ(shipped_file_path(name, own, data), own + name);
  EXPECT_EQ(shipped_file_path(name, own, ""), own + name);
  write("share/" + name, "shipped");
  EXPECT_EQ(shipped_file_path(name, own, data), data + name);
  write("config/" + name, "mine");
  EXPECT_EQ(shipped_file_path(name, own, data), own + name);
}

}  // namespace
}  // namespace lq

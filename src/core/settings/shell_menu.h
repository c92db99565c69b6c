// The "open with Lexoquill" entry of the desktop's file managers, for every file and every
// folder. It is the user's own choice ("右键菜单" in "sys1.ini"), so it lives only in the
// user's data directory: a desktop entry in applications/ (offered under "Open With") and
// a file-manager action in file-manager/actions/ (shown directly in the context menu).
// The package's own lexoquill.desktop is never touched.
//
// The program passes one path per start, like its command line: the entry uses %f.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lq {

inline constexpr const char* kShellMenuFileName = "lexoquill-open-with.desktop";

struct ShellMenuFile {
  std::string path;     // full path
  std::string content;  // UTF-8
};

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share, ending in "/";
// "" when neither is known.
std::string user_data_home();

// The Exec= argument for a program path, quoted and escaped as desktop entries require.
std::string desktop_exec_arg(std::string_view program);

// The files that make up the entry for the program, under data_home (ending in "/").
std::vector<ShellMenuFile> shell_menu_files(const std::string& data_home,
                                            const std::string& program);

// With on, writes the files (only those whose content differs); otherwise removes them.
// Failures are silent: the setting is a convenience, never a reason to stop. Nothing
// happens without a data_home or a program path.
void update_shell_menu(bool on, const std::string& data_home, const std::string& program);

// The same for the running program and the user's data directory.
void update_shell_menu(bool on);

}  // namespace lq

// Where the files shipped with the program are. An installed program has its executables
// in PREFIX/bin/ and its read-only data (help texts) in PREFIX/share/lexoquill/, which the
// install always creates; a portable copy keeps everything beside its executable.
#pragma once

#include <string>

namespace lq {

// PREFIX/share/lexoquill/ when exe_dir (ending in "/") is the bin/ directory of such an
// installed layout, else "".
std::string installed_data_dir(const std::string& exe_dir);

// The same for the running executable.
std::string installed_data_dir();

// Full path of a file shipped with the program, such as "帮助文件.txt": the copy in
// app_path() when there is one (a user's own version wins), else the installed one when
// there is one, else the app_path() path, so that the caller's error names the usual place.
std::string shipped_file_path(const std::string& name);

// The same rule over given directories (each ending in "/", data_dir possibly "").
std::string shipped_file_path(const std::string& name, const std::string& own_dir,
                              const std::string& data_dir);

}  // namespace lq

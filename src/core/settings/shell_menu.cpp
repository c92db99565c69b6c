#include "core/settings/shell_menu.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iterator>

#include "core/textsvc/file_services.h"

namespace lq {

namespace {

std::string with_slash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

std::string user_data_home() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') return with_slash(xdg);
  if (const char* home = std::getenv("HOME"); home && *home == '/')
    return with_slash(home) + ".local/share/";
  return {};
}

std::string desktop_exec_arg(std::string_view program) {
  // Inside the quotes, ", `, $ and \ take a backslash; then the value as a whole is a
  // string whose own escape doubles every backslash. "%" would start a field code.
  std::string quoted = "\"";
  for (char c : program) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  std::string out;
  for (char c : quoted) {
    if (c == '\\') out += '\\';
    out += c;
  }
  return out;
}

std::vector<ShellMenuFile> shell_menu_files(const std::string& data_home,
                                            const std::string& program) {
  const std::string exec = desktop_exec_arg(program) + " %f";
  std::vector<ShellMenuFile> files;
  files.push_back({data_home + "applications/" + kShellMenuFileName,
                   "[Desktop Entry]\n"
                   "Type=Application\n"
                   "Name=Lexoquill\n"
                   "Comment=用 Lexoquill 打开\n"
                   "Icon=lexoquill\n"
                   "Exec=" +
                       exec +
                       "\n"
                       "Terminal=false\n"
                       "NoDisplay=true\n"
                       "MimeType=application/octet-stream;text/plain;inode/directory;\n"});
  files.push_back({data_home + "file-manager/actions/" + kShellMenuFileName,
                   "[Desktop Entry]\n"
                   "Type=Action\n"
                   "Name=Lexoquill\n"
                   "Icon=lexoquill\n"
                   "Profiles=open;\n"
                   "\n"
                   "[X-Action-Profile open]\n"
                   "Name=Lexoquill\n"
                   "Exec=" +
                       exec +
                       "\n"
                       "MimeTypes=all/all;\n"});
  return files;
}

void update_shell_menu(bool on, const std::string& data_home, const std::string& program) {
  if (data_home.empty() || data_home.front() != '/' || program.empty()) return;
  for (const ShellMenuFile& f : shell_menu_files(data_home, program)) {
    try {
      if (on) {
        if (file_exists(f.path) && read_file_bytes(f.path) == f.content) continue;
        force_dir(f.path, true);
        write_file_atomically(f.path, f.content);
      } else {
        std::remove(f.path.c_str());
      }
    } catch (const std::exception&) {
      // A read-only or missing data directory: the entry simply is not there.
    }
  }
}

void update_shell_menu(bool on) {
  update_shell_menu(on, user_data_home(), program_path());
}

}  // namespace lq

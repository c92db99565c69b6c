#include "core/textsvc/install_layout.h"

#include <unistd.h>

#include <climits>

#include "core/textsvc/file_services.h"

namespace lq {

std::string installed_data_dir(const std::string& exe_dir) {
  // exe_dir is ".../bin/"; its parent must hold share/lexoquill/.
  if (exe_dir.size() < 5 || exe_dir.compare(exe_dir.size() - 5, 5, "/bin/") != 0) return {};
  const std::string data = exe_dir.substr(0, exe_dir.size() - 4) + "share/lexoquill/";
  return dir_exists(data) ? data : std::string();
}

std::string installed_data_dir() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf);
  if (n <= 0) return {};
  const std::string exe(buf, static_cast<size_t>(n));
  return installed_data_dir(exe.substr(0, exe.rfind('/') + 1));
}

std::string shipped_file_path(const std::string& name) {
  return shipped_file_path(name, app_path(), installed_data_dir());
}

std::string shipped_file_path(const std::string& name, const std::string& own_dir,
                              const std::string& data_dir) {
  const std::string own = own_dir + name;
  if (file_exists(own)) return own;
  if (!data_dir.empty() && file_exists(data_dir + name)) return data_dir + name;
  return own;
}

}  // namespace lq

#include "core/shell/instance_lock.h"

#include <unistd.h>

#include <climits>
#include <mutex>
#include <string>
#include <vector>

#include "core/shell/held_file.h"
#include "core/shell/runtime_dir.h"
#include "core/textsvc/str_helpers.h"

namespace lq {

namespace {

// A name may come from anywhere; it stays one file inside the runtime directory.
std::string lock_file_name(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c == '/' || c == '\0') c = '_';
  if (out[0] == '.') out.insert(0, "_");
  return out + ".lock";
}

}  // namespace

std::string_view exe_file_name() {
  static const std::string name = [] {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf);
    if (n <= 0) return std::string("lexoquill");
    const std::string exe(buf, static_cast<size_t>(n));
    return exe.substr(exe.rfind('/') + 1);
  }();
  return name;
}

bool instance_exists(std::string_view name) {
  std::string n = trim(name);
  if (n.empty()) n = exe_file_name();
  const std::string dir = runtime_dir();
  if (dir.empty()) return false;
  const int fd = held_file::open_file(dir + lock_file_name(n), true);
  if (fd < 0) return false;
  const bool first = held_file::lock_alone(fd);
  if (!held_file::hold_shared(fd, true)) {
    ::close(fd);
    return !first;
  }
  // Kept open for the life of the process: the lock is the running instance.
  static std::mutex guard;
  static std::vector<int> kept;
  std::lock_guard<std::mutex> lock(guard);
  kept.push_back(fd);
  return !first;
}

}  // namespace lq

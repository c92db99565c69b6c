#include "core/shell/runtime_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace lq {

namespace {

// A directory we own: group and others get no access (repaired when it is ours).
bool private_dir(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
    return false;
  if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) return false;
  return true;
}

// The base XDG_RUNTIME_DIR names: an absolute directory of ours.
bool usable_base(const char* base) {
  if (!base || base[0] != '/') return false;
  struct stat st;
  return ::stat(base, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

}  // namespace

std::string runtime_dir() {
  const char* base = std::getenv("XDG_RUNTIME_DIR");
  std::string dir;
  if (usable_base(base)) {
    dir = base;
    if (dir.back() != '/') dir += '/';
    dir += "lexoquill";
  } else {
    dir = "/tmp/lexoquill-" + std::to_string(::getuid());
  }
  return private_dir(dir) ? dir + "/" : std::string();
}

}  // namespace lq

#include "core/shell/shared_values.h"

#include <unistd.h>

#include <cerrno>
#include <string>

#include "core/encoding/code_page.h"
#include "core/shell/held_file.h"
#include "core/shell/runtime_dir.h"
#include "core/textsvc/message_catalogue.h"

namespace lq::shared_mem {

namespace {

// "" when the name cannot be a plain file name inside the runtime directory.
std::string value_path(std::string_view name) {
  if (name.empty() || name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos ||
      name[0] == '.')
    return {};
  const std::string dir = runtime_dir();
  return dir.empty() ? std::string() : dir + std::string(name);
}

// An open descriptor of a value that some process holds, else -1 (missing: errno ENOENT).
int open_held_value(std::string_view name) {
  const std::string path = value_path(name);
  if (path.empty()) {
    errno = EINVAL;
    return -1;
  }
  const int fd = held_file::open_file(path, false);
  if (fd < 0) return -1;
  if (!held_file::held_by_others(fd)) {
    ::close(fd);
    errno = ENOENT;
    return -1;
  }
  return fd;
}

}  // namespace

int create_share_handle(std::string_view name) {
  const std::string path = value_path(name);
  if (path.empty()) return 0;
  const int fd = held_file::open_file(path, true);
  if (fd < 0) return 0;
  // Exclusive first, so two creators cannot both reset the value.
  if (!held_file::lock_alone(fd)) {
    ::close(fd);
    return 0;
  }
  const std::int32_t zero = 0;
  if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, &zero, sizeof zero, 0) != sizeof zero ||
      !held_file::hold_shared(fd, false)) {
    ::close(fd);
    return 0;
  }
  return fd;
}

bool set_share_handle(std::string_view name, std::int32_t value) {
  const int fd = open_held_value(name);
  if (fd < 0) {
    if (errno == ENOENT) {
      const std::string text =
          code_page().from_utf8("error:[mem1.set_share_handle1]?先要调用[create_share_handle1]") +
          std::string(name);
      msg_box(text, false, "Lexoquill");
    }
    return false;
  }
  const bool ok = ::pwrite(fd, &value, sizeof value, 0) == sizeof value;
  ::close(fd);
  return ok;
}

std::int32_t get_share_handle(std::string_view name) {
  const int fd = open_held_value(name);
  if (fd < 0) return 0;
  std::int32_t value = 0;
  if (::pread(fd, &value, sizeof value, 0) != sizeof value) value = 0;
  ::close(fd);
  return value;
}

void close_share_handle(int handle) {
  if (handle > 0) ::close(handle);
}

}  // namespace lq::shared_mem

#include "core/textsvc/disk_sync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace lq {
namespace {

DiskSyncCalls& calls() {
  static DiskSyncCalls c{::fdatasync, ::fsync};
  return c;
}

}  // namespace

DiskSyncCalls replace_disk_sync_calls(DiskSyncCalls with) {
  if (!with.file_data) with.file_data = ::fdatasync;
  if (!with.directory) with.directory = ::fsync;
  return std::exchange(calls(), std::move(with));
}

bool sync_file_data(int fd) {
  return calls().file_data(fd) == 0;
}

bool sync_dir(const std::string& dir) {
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = calls().directory(fd) == 0;
  const int err = errno;
  ::close(fd);
  errno = err;
  return ok;
}

}  // namespace lq

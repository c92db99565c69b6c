#include "core/shell/held_file.h"

#include <fcntl.h>
#include <unistd.h>

namespace lq::held_file {

namespace {

struct flock whole_file(short type) {
  struct flock lk {};
  lk.l_type = type;
  lk.l_whence = SEEK_SET;
  lk.l_start = 0;
  lk.l_len = 0;  // to the end, however the file grows
  return lk;
}

}  // namespace

int open_file(const std::string& path, bool create) {
  const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0);
  int fd = ::open(path.c_str(), flags, 0600);
  // Descriptor 0 would read as "no handle" to callers that use 0 for failure.
  if (fd == 0) {
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    fd = moved;
  }
  return fd;
}

bool lock_alone(int fd) {
  struct flock lk = whole_file(F_WRLCK);
  return ::fcntl(fd, F_OFD_SETLK, &lk) == 0;
}

bool hold_shared(int fd, bool wait) {
  struct flock lk = whole_file(F_RDLCK);
  return ::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lk) == 0;
}

bool held_by_others(int fd) {
  struct flock lk = whole_file(F_WRLCK);
  if (::fcntl(fd, F_OFD_GETLK, &lk) != 0) return false;
  return lk.l_type != F_UNLCK;
}

}  // namespace lq::held_file

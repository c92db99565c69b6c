// Waiting until written bytes are on the disk. A replaced file is only safe when its new
// content is on the disk before the rename that puts it in place, and the rename itself
// only lasts once its directory is synced; these are the two calls for that.
//
// The platform calls go through a table so that tests can count them, see their order
// and make them fail.
#pragma once

#include <functional>
#include <string>

namespace lq {

struct DiskSyncCalls {
  std::function<int(int fd)> file_data;  // fdatasync(2)
  std::function<int(int fd)> directory;  // fsync(2) of a directory opened read-only
};

// Puts calls in place of the system's (an empty member keeps the system's call) and
// answers the ones in use before. Not for use while files are being written.
DiskSyncCalls replace_disk_sync_calls(DiskSyncCalls calls);

// Waits until the content of the open file fd is on the disk. False (errno set) on failure.
[[nodiscard]] bool sync_file_data(int fd);

// Makes the entries of dir (created, renamed or removed files) durable. False (errno set)
// when dir cannot be opened or synced.
[[nodiscard]] bool sync_dir(const std::string& dir);

}  // namespace lq

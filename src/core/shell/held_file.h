// Files that stand for a named object which exists while some process holds it, like a
// named mutex or shared memory section: every holder keeps a shared lock on the file. The
// locks belong to the open file description, so they end with the holder's process (also
// when it crashes), a later open and close of the same file in that process does not drop
// them, and descriptors are opened close-on-exec so a program started later holds nothing.
#pragma once

#include <string>

namespace lq::held_file {

// Opens path for reading and writing (with create: made with mode 0600 when missing;
// links are not followed). -1 on failure, with errno set.
int open_file(const std::string& path, bool create);

// Takes the exclusive lock without waiting: true only when nobody else holds the file.
bool lock_alone(int fd);
// Holds the file shared (an exclusive lock of fd is turned into a shared one at once).
// With wait, waits while another process holds it exclusively.
bool hold_shared(int fd, bool wait);
// True when some open file description other than fd's own holds a lock on the file.
bool held_by_others(int fd);

}  // namespace lq::held_file

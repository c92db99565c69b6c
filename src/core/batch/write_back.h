// Writing a processed document back over its file without ever leaving it half-written:
// the new bytes go completely into a temporary file in the same directory, which is then
// renamed over the original. A crash, a full disk or a killed process leaves either the
// old file or the new one.
#pragma once

#include <string>
#include <string_view>

namespace lq {

// Replaces the content of the existing file `path` with `bytes` and answers whether the
// content changed. A symbolic link is followed and its target replaced. The new file keeps
// the original's permission bits with write permission for the owner added (a read-only
// file is made writable first, as Start always did), and its owner and group where the
// system allows. A file that already holds exactly these bytes is not rewritten, only
// made writable. With dry_run nothing on disk is touched; the answer is the same.
// Throws RunError "Cannot create file ..." with the system's reason; the original is
// then untouched and no temporary file is left behind.
bool write_back1(const std::string& path, std::string_view bytes, bool dry_run = false);

}  // namespace lq

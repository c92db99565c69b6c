// SHA-256 digests of file contents, as 64 lower-case hexadecimal digits: how the journal
// tells whether a file still holds what a run wrote.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lq {

std::string sha256_hex(std::string_view bytes);

// The digest of a file's bytes, read in blocks; nothing when it cannot be opened or read
// to the end. With copy_to >= 0 every block is also written to that descriptor (nothing
// is answered when that write fails).
std::optional<std::string> sha256_file_hex(const std::string& path, int copy_to = -1);

}  // namespace lq

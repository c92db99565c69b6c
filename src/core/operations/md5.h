// MD5 (RFC 1321) digests as 32 lower-case hexadecimal digits.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lq {

std::string md5_hex(std::string_view bytes);

// The digest of a file's bytes exactly as stored. A file that cannot be opened or read
// (missing, a directory, unreadable) has no digest: throws RunError "Cannot open file ..."
// with the path and the system's reason, so it is never mistaken for an empty file.
std::string md5_file_hex(const std::string& path);

// The same, reporting (bytes read, file size) as it goes; nothing when `step` answers
// false, which ends the reading. Throws as above.
std::optional<std::string> md5_file_hex(const std::string& path,
                                        const std::function<bool(uint64_t, uint64_t)>& step);

}  // namespace lq

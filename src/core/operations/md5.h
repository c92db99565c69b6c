// MD5 (RFC 1321) digests as 32 lower-case hexadecimal digits.
#pragma once

#include <string>
#include <string_view>

namespace lq {

std::string md5_hex(std::string_view bytes);

// The digest of a file's bytes exactly as stored. Never fails: a file that cannot be
// opened or read gives the digest of empty input, like an empty file.
std::string md5_file_hex(const std::string& path);

}  // namespace lq

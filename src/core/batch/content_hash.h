// Digests of file contents, as lower-case hexadecimal digits: how the journal tells
// whether a file still holds what a run wrote. Runs record XXH3 digests (128 bits, 32
// digits); runs of earlier versions recorded SHA-256 (64 digits), and are read as they are.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/textsvc/digest.h"

namespace lq {

// The digest a run records.
inline constexpr DigestKind kJournalDigest = DigestKind::Xxh128;

std::string content_hash_hex(std::string_view bytes, DigestKind kind = kJournalDigest);

// The digest of a file's bytes, read in blocks; nothing when it cannot be opened or read
// to the end. With copy_to >= 0 every block is also written to that descriptor (nothing
// is answered when that write fails).
std::optional<std::string> file_hash_hex(const std::string& path, DigestKind kind = kJournalDigest,
                                         int copy_to = -1);

// How many hexadecimal digits a digest of that kind has.
size_t hash_digits(DigestKind kind);

}  // namespace lq

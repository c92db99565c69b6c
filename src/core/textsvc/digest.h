// Digests of bytes as lower-case hexadecimal digits, fed a piece at a time: XXH3 (128
// bits), how the run journal tells file contents apart, SHA-256, how journals of earlier
// versions did, and MD5 (RFC 1321) for the MD5 operation; and the one loop that feeds a
// whole file to a digest as it reads it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct nettle_hash;
struct XXH3_state_s;

namespace lq {

enum class DigestKind { Xxh128, Sha256, Md5 };

class Digest {
 public:
  explicit Digest(DigestKind kind);
  ~Digest();
  Digest(const Digest&) = delete;
  Digest& operator=(const Digest&) = delete;
  Digest& add(std::string_view bytes);
  // The digest of everything added; the digest starts again from nothing after.
  std::string hex();

 private:
  const nettle_hash* hash_ = nullptr;  // SHA-256 and MD5
  alignas(8) unsigned char ctx_[128];  // their context
  XXH3_state_s* xxh_ = nullptr;        // XXH3
};

// What digest_file does besides digesting, both optional.
struct DigestFileSteps {
  // Before every read: the bytes read so far and the file's size; false stops the reading.
  std::function<bool(uint64_t done, uint64_t size)> before_read;
  // Every block as it is read; false (errno set) stops the reading.
  std::function<bool(std::string_view block)> each_block;
};

// Feeds the file `path` to `digest` in blocks as it reads it to its end. Answers 0 when it
// all went in; else the system's error number (EISDIR for a directory, the error of a read
// that failed part-way, errno of a refusing each_block), or ECANCELED when before_read
// stopped it.
int digest_file(const std::string& path, Digest& digest, const DigestFileSteps& steps = {});

}  // namespace lq

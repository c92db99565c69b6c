#include "core/batch/content_hash.h"

#include <unistd.h>

#include <cerrno>

namespace lq {
namespace {

bool write_all(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t n = bytes.size();
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w < 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

}  // namespace

std::string content_hash_hex(std::string_view bytes, DigestKind kind) {
  return Digest(kind).add(bytes).hex();
}

size_t hash_digits(DigestKind kind) {
  switch (kind) {
    case DigestKind::Xxh128:
    case DigestKind::Md5:
      return 32;
    case DigestKind::Sha256:
      break;
  }
  return 64;
}

std::optional<std::string> file_hash_hex(const std::string& path, DigestKind kind, int copy_to) {
  Digest digest(kind);
  DigestFileSteps steps;
  if (copy_to >= 0)
    steps.each_block = [copy_to](std::string_view block) { return write_all(copy_to, block); };
  if (const int err = digest_file(path, digest, steps)) {
    errno = err;
    return std::nullopt;
  }
  return digest.hex();
}

}  // namespace lq

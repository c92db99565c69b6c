#include "core/batch/content_hash.h"

#include <fcntl.h>
#include <nettle/sha2.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace lq {
namespace {

std::string hex_digest(sha256_ctx& ctx) {
  uint8_t digest[SHA256_DIGEST_SIZE];
  sha256_digest(&ctx, sizeof digest, digest);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (uint8_t b : digest) {
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

bool write_all(int fd, const uint8_t* p, size_t n) {
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

std::string sha256_hex(std::string_view bytes) {
  sha256_ctx ctx;
  sha256_init(&ctx);
  sha256_update(&ctx, bytes.size(), reinterpret_cast<const uint8_t*>(bytes.data()));
  return hex_digest(ctx);
}

std::optional<std::string> sha256_file_hex(const std::string& path, int copy_to) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  sha256_ctx ctx;
  sha256_init(&ctx);
  std::vector<uint8_t> buf(1 << 16);
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;  // a directory, or an I/O error part-way
    if (n <= 0) break;
    sha256_update(&ctx, static_cast<size_t>(n), buf.data());
    if (copy_to >= 0 && !write_all(copy_to, buf.data(), static_cast<size_t>(n))) {
      ok = false;
      break;
    }
  }
  ::close(fd);
  if (!ok) return std::nullopt;
  return hex_digest(ctx);
}

}  // namespace lq

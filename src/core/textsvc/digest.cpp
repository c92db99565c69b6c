#include "core/textsvc/digest.h"

#include <fcntl.h>
#include <nettle/md5.h>
#include <nettle/nettle-meta.h>
#include <nettle/sha2.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <cerrno>
#include <new>
#include <vector>

namespace lq {

static_assert(sizeof(sha256_ctx) <= 128 && sizeof(md5_ctx) <= 128);

namespace {

std::string hex_of(const uint8_t* digest, size_t n) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out(2 * n, '0');
  for (size_t i = 0; i < n; ++i) {
    out[2 * i] = kHex[digest[i] >> 4];
    out[2 * i + 1] = kHex[digest[i] & 15];
  }
  return out;
}

}  // namespace

Digest::Digest(DigestKind kind) {
  if (kind == DigestKind::Xxh128) {
    xxh_ = XXH3_createState();
    if (!xxh_) throw std::bad_alloc();
    XXH3_128bits_reset(xxh_);
    return;
  }
  hash_ = kind == DigestKind::Sha256 ? &nettle_sha256 : &nettle_md5;
  hash_->init(ctx_);
}

Digest::~Digest() {
  if (xxh_) XXH3_freeState(xxh_);
}

Digest& Digest::add(std::string_view bytes) {
  if (xxh_)
    XXH3_128bits_update(xxh_, bytes.data(), bytes.size());
  else
    hash_->update(ctx_, bytes.size(), reinterpret_cast<const uint8_t*>(bytes.data()));
  return *this;
}

std::string Digest::hex() {
  if (xxh_) {
    // The canonical form: the same digits on every machine, whatever its byte order.
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(xxh_));
    XXH3_128bits_reset(xxh_);
    return hex_of(canonical.digest, sizeof canonical.digest);
  }
  uint8_t digest[SHA256_DIGEST_SIZE];
  hash_->digest(ctx_, hash_->digest_size, digest);
  return hex_of(digest, hash_->digest_size);
}

int digest_file(const std::string& path, Digest& digest, const DigestFileSteps& steps) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  int err = 0;
  struct stat st;
  if (::fstat(fd, &st) != 0)
    err = errno;
  else if (S_ISDIR(st.st_mode))
    err = EISDIR;
  const uint64_t size = err ? 0 : static_cast<uint64_t>(st.st_size);
  std::vector<char> buf(1 << 16);
  uint64_t done = 0;
  while (!err) {
    if (steps.before_read && !steps.before_read(done, size)) {
      err = ECANCELED;
      break;
    }
    const ssize_t n = ::read(fd, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) err = errno;  // an I/O error part-way: no digest of part of the file
    if (n <= 0) break;
    const std::string_view block(buf.data(), static_cast<size_t>(n));
    digest.add(block);
    if (steps.each_block) {
      errno = 0;
      if (!steps.each_block(block)) err = errno ? errno : EIO;
    }
    done += static_cast<uint64_t>(n);
  }
  ::close(fd);
  return err;
}

}  // namespace lq

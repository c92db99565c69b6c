// [25] MD5 of each piece, and the whole-file digest of the panel's button.
#include <fcntl.h>
#include <nettle/md5.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/operations/line_operations.h"
#include "core/operations/md5.h"
#include "core/operations/panel_operation.h"
#include "core/run_error.h"

namespace lq {
namespace {

std::string hex_digest(md5_ctx& ctx) {
  uint8_t digest[MD5_DIGEST_SIZE];
  md5_digest(&ctx, sizeof digest, digest);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out(2 * MD5_DIGEST_SIZE, '0');
  for (size_t i = 0; i < MD5_DIGEST_SIZE; ++i) {
    out[2 * i] = kHex[digest[i] >> 4];
    out[2 * i + 1] = kHex[digest[i] & 15];
  }
  return out;
}

}  // namespace

std::string md5_hex(std::string_view bytes) {
  md5_ctx ctx;
  md5_init(&ctx);
  md5_update(&ctx, bytes.size(), reinterpret_cast<const uint8_t*>(bytes.data()));
  return hex_digest(ctx);
}

std::string md5_file_hex(const std::string& path) {
  return *md5_file_hex(path, [](uint64_t, uint64_t) { return true; });
}

std::optional<std::string> md5_file_hex(const std::string& path,
                                        const std::function<bool(uint64_t, uint64_t)>& step) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw cannot_open_error(path, std::strerror(errno));
  int err = 0;
  struct stat st;
  if (::fstat(fd, &st) != 0)
    err = errno;
  else if (S_ISDIR(st.st_mode))
    err = EISDIR;
  const uint64_t size = err ? 0 : static_cast<uint64_t>(st.st_size);
  md5_ctx ctx;
  md5_init(&ctx);
  std::vector<uint8_t> buf(1 << 16);
  uint64_t done = 0;
  while (!err) {
    if (!step(done, size)) {
      ::close(fd);
      return std::nullopt;
    }
    const ssize_t n = ::read(fd, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) err = errno;  // an I/O error part-way: no digest of part of the file
    if (n <= 0) break;
    md5_update(&ctx, static_cast<size_t>(n), buf.data());
    done += static_cast<uint64_t>(n);
  }
  ::close(fd);
  if (err) throw cannot_open_error(path, std::strerror(err));
  return hex_digest(ctx);
}

std::unique_ptr<Operation> make_md5() {
  return make_line_operation("TControlForm_md5",
                             [](const Operation&, std::string& s) { s = md5_hex(s); });
}

}  // namespace lq

// [25] MD5 of each piece, and the whole-file digest of the panel's button.
#include <cerrno>
#include <cstring>

#include "core/operations/line_operations.h"
#include "core/operations/md5.h"
#include "core/operations/panel_operation.h"
#include "core/run_error.h"
#include "core/textsvc/digest.h"

namespace lq {

std::string md5_hex(std::string_view bytes) {
  return Digest(DigestKind::Md5).add(bytes).hex();
}

std::string md5_file_hex(const std::string& path) {
  return *md5_file_hex(path, [](uint64_t, uint64_t) { return true; });
}

std::optional<std::string> md5_file_hex(const std::string& path,
                                        const std::function<bool(uint64_t, uint64_t)>& step) {
  Digest digest(DigestKind::Md5);
  const int err = digest_file(path, digest, {step, {}});
  if (err == ECANCELED) return std::nullopt;
  // A file that cannot be read to its end has no digest, rather than one of part of it.
  if (err) throw cannot_open_error(path, std::strerror(err));
  return digest.hex();
}

std::unique_ptr<Operation> make_md5() {
  return make_line_operation("TControlForm_md5",
                             [](const Operation&, std::string& s) { s = md5_hex(s); });
}

}  // namespace lq

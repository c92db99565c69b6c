// load_lines over arbitrary file bytes: the lines are the bytes split at LF with every
// CR dropped and a last empty piece left out.
#include <sys/mman.h>
#include <unistd.h>

#include "core/run_error.h"
#include "core/textsvc/file_services.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A file in memory, reached by its path under /proc: nothing is left on disk.
  static const int fd = memfd_create("lq-fuzz-load", MFD_CLOEXEC);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(fd >= 0 && ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == ssize_t(size));
  lq::LineList lines;
  lq::load_lines(path, lines);

  lq::LineList want;
  std::string cur;
  for (char c : bytes) {
    if (c == '\r') continue;
    if (c == '\n') {
      want.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) want.push_back(cur);
  FUZZ_CHECK(lines == want);
  return 0;
}

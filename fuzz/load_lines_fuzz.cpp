// load_lines1 over arbitrary file bytes: the lines are the bytes split at LF with every
// CR dropped and a last empty piece left out.
#include <unistd.h>

#include <fstream>

#include "core/run_error.h"
#include "core/textsvc/file_services.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/lq-fuzz-load-" + std::to_string(getpid()) + ".txt";
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  lq::LineList lines;
  lq::load_lines1(path, lines);

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

// Result lines: any text parses, and a formatted line gives back its file, line and column.
#include "core/operations/find_result_line.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lq::fuzz::FuzzInput in(data, size);
  const std::string path = in.text(20);
  const int32_t line = in.in_range<int32_t>(0, 1 << 30);
  const int32_t column = in.in_range<int32_t>(1, 1 << 30);
  const std::string key = in.text(8);
  const std::string piece = in.rest();
  lq::parse_find_result(piece);
  if (path.find_first_of(";\r\n") != std::string::npos) return 0;
  const lq::FindLocation loc =
      lq::parse_find_result(lq::format_find_result(path, line, column, key, piece));
  FUZZ_CHECK(loc.path == path);
  FUZZ_CHECK(loc.line == line);
  FUZZ_CHECK(loc.column == column);
  return 0;
}

// The line the find operation records for each occurrence, and reading one back.
//
//   文件名=D:\x\a.txt;行=12;列=5;查找内容=abc;内容=xxxxabcxx
//
// Field names are GBK bytes like the rest of the line; values are written as they are.
// Nothing is escaped, so the line reads the same everywhere it is shown or copied. A ";"
// inside a file name is still read back whole: the name ends at the first ";行=N;列=N"
// that follows it rather than at its first ";".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lq {

std::string format_find_result(std::string_view file_name, int32_t line_index, int32_t column,
                               std::string_view key, std::string_view piece);
// The same line added to the end of out.
void append_find_result(std::string& out, std::string_view file_name, int32_t line_index,
                        int32_t column, std::string_view key, std::string_view piece);

struct FindLocation {
  std::string path;
  int line = 0;    // 0-based line index
  int column = 0;  // 1-based byte position
};

// The file, line and column of a result line. Missing or non-integer numbers read as 0.
FindLocation parse_find_result(std::string_view result_line);

}  // namespace lq

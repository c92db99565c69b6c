#include "core/editor/wrap.h"

#include "core/editor/dbcs.h"

namespace lq {

size_t wrap_piece_len(std::string_view text, int w, const CodePage& page) {
  // A piece never ends inside a character; the character then starts the next row. Since a
  // row is at least 5 bytes wide and a character is shorter, every row makes progress.
  size_t n = static_cast<size_t>(w);
  if (n >= text.size()) return text.size();
  int end = char_boundary(w + 1, text, false, page) - 1;
  return end > 0 ? static_cast<size_t>(end) : n;
}

std::vector<std::string> split_row(std::string_view line, int w, const CodePage& page) {
  std::vector<std::string> rows;
  for_each_wrapped_row(line, w, page, [&](std::string_view marker, std::string_view piece) {
    std::string r(marker);
    r.append(piece);
    rows.push_back(std::move(r));
  });
  return rows;
}

}  // namespace lq

// Automatic line wrap as a data transformation: a logical line becomes rows of at most W
// bytes, the first marked "0:" and every continuation "1:", never cutting a character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lq {

class CodePage;

inline constexpr std::string_view kFirstRowMarker = "0:";
inline constexpr std::string_view kNextRowMarker = "1:";

// Calls emit(marker, piece) for each row of line wrapped at width w (in bytes), characters
// as the code page cuts them. Narrower than 5 bytes there is no wrapping at all. A line whose bytes
// exactly fill its last row is followed by an empty continuation row, and an empty line gives one
// empty first row.
template <class Emit>
void for_each_wrapped_row(std::string_view line, int w, const CodePage& page, Emit&& emit);

// The rows of line, markers included.
std::vector<std::string> split_row(std::string_view line, int w, const CodePage& page);

// Where the first piece of text at most w bytes long ends (a byte count), backed off so that
// it does not cut a character.
size_t wrap_piece_len(std::string_view text, int w, const CodePage& page);

template <class Emit>
void for_each_wrapped_row(std::string_view line, int w, const CodePage& page, Emit&& emit) {
  if (w < 5) {
    emit(kFirstRowMarker, line);
    return;
  }
  std::string_view marker = kFirstRowMarker;
  size_t s = 0;
  while (line.size() - s >= static_cast<size_t>(w)) {
    size_t n = wrap_piece_len(line.substr(s), w, page);
    emit(marker, line.substr(s, n));
    marker = kNextRowMarker;
    s += n;
  }
  emit(marker, line.substr(s));
}

}  // namespace lq

#include "core/textsvc/line_text.h"

#include <cstring>

namespace lq {

std::string lines_text(const LineList& lines) {
  size_t size = 0;
  for (const auto& l : lines) size += l.size() + 2;
  std::string out;
  out.resize(size);
  char* p = out.data();
  for (const auto& l : lines) {
    std::memcpy(p, l.data(), l.size());
    p += l.size();
    *p++ = '\r';
    *p++ = '\n';
  }
  return out;
}

void set_lines_text(LineList& lines, std::string_view text) {
  lines.clear();
  size_t start = 0;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.emplace_back(text.substr(start));
}

}  // namespace lq

#include "core/encoding/unicode_helpers.h"

#include <cstdio>

#include "core/encoding/code_page.h"

namespace lq {

std::u16string to_wide(std::string_view bytes) {
  return code_page().to_utf16(bytes);
}

std::string from_wide(std::u16string_view wide) {
  return code_page().from_utf16(wide);
}

std::string java_escape(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 6);
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    out += "\\u00";
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

std::string code_byte(std::string_view line, int column) {
  size_t pos = column <= 1 ? 0 : static_cast<size_t>(column) - 2;
  if (pos >= line.size()) return {};
  return std::string(1, line[pos]);
}

std::string char_code_text(unsigned char byte) {
  char text[32];
  std::snprintf(text, sizeof text, " D=%3d,H=%2X", byte, byte);
  return std::string(1, static_cast<char>(byte)) + text;
}

}  // namespace lq

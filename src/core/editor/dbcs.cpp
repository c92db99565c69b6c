#include "core/editor/dbcs.h"

#include "core/encoding/code_page.h"

namespace lq {
namespace {

// Start (0-based) of the character holding byte index i, found by walking from the start of
// the row; i itself when i starts a character or lies past the end.
size_t char_start(std::string_view text, size_t i, size_t* len, const CodePage& page) {
  size_t at = 0;
  while (at < i && at < text.size()) {
    size_t n = page.char_len_at(text, at);
    if (at + n > i) {
      *len = n;
      return at;
    }
    at += n;
  }
  *len = 0;
  return i;
}

}  // namespace

bool splits_char(int p, std::string_view text, const CodePage& page) {
  if (p <= 1 || static_cast<size_t>(p) > text.size()) return false;
  size_t len = 0;
  size_t i = static_cast<size_t>(p - 1);
  return char_start(text, i, &len, page) != i;
}

int char_boundary(int p, std::string_view text, bool forward, const CodePage& page) {
  if (p <= 1 || static_cast<size_t>(p) > text.size()) return p;
  size_t len = 0;
  size_t i = static_cast<size_t>(p - 1);
  size_t start = char_start(text, i, &len, page);
  if (start == i) return p;
  return static_cast<int>(forward ? start + len : start) + 1;
}

bool char_incomplete(std::string_view bytes, const CodePage& page) {
  if (bytes.empty() || bytes.size() >= kMaxCharBytes) return false;
  if (!page.is_lead_byte(static_cast<unsigned char>(bytes[0]))) return false;
  return bytes.size() == 1 || page.char_len_at(bytes, 0) != bytes.size();
}

}  // namespace lq

#include "cli/find_json.h"

#include <cstdio>

#include "core/encoding/byte_scan.h"
#include "core/encoding/code_page.h"
#include "core/textsvc/str_helpers.h"

namespace lq::cli {
namespace {

// Length of the well-formed UTF-8 sequence at s[i], or 0.
size_t utf8_len(std::string_view s, size_t i) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + i;
  return *p < 0x80 ? 1 : well_formed_utf8(p, s.size() - i);
}

// A JSON string of UTF-8 text; a byte that is not part of a well-formed sequence becomes
// U+FFFD, so the line always parses.
void put_string(std::string& out, std::string_view s) {
  out += '"';
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = s[i];
    const size_t n = utf8_len(s, i);
    if (n == 0) {
      out += "\\ufffd";
      ++i;
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out.append(s.substr(i, n));
    }
    i += n;
  }
  out += '"';
}

}  // namespace

std::string find_match_json(const FindMatch& match, std::string_view path) {
  const CodePage& page = match.page ? *match.page : code_page();
  std::string out = "{\"path\":";
  const bool path_is_text = is_utf8_text(path);
  put_string(out, path_is_text ? std::string(path) : gbk_code_page().to_utf8(path));
  if (!path_is_text) {
    out += ",\"path_base64\":";
    put_string(out, to_base64(path));
  }
  out += ",\"line\":" + std::to_string(static_cast<long long>(match.line_index) + 1);
  out += ",\"column\":" + std::to_string(match.column);
  out += ",\"match\":";
  put_string(out, page.to_utf8(match.key));
  out += ",\"text\":";
  put_string(out, page.to_utf8(match.piece));
  out += ",\"encoding\":";
  put_string(out, page.name());
  out += '}';
  return out;
}

}  // namespace lq::cli

// glibc's converter as the reference for the code-page tests, and the byte views their
// failure messages print.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>

namespace lq::test {

// `in` converted by iconv: input it rejects is replaced by `bad` and skipped one unit at a
// time, as the program always did.
inline std::string iconv_ref(const char* to, const char* from, std::string_view in,
                             std::string_view bad, size_t unit) {
  iconv_t cd = iconv_open(to, from);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string out;
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  char buf[4096];
  while (left > 0) {
    char* dst = buf;
    size_t room = sizeof buf;
    size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buf, sizeof buf - room);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      out.append(bad);
      size_t skip = std::min(unit, left);
      src += skip;
      left -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

inline std::string hex(std::string_view s) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
    out += ' ';
  }
  return out;
}

inline std::string utf16le(std::u16string_view s) {
  std::string raw;
  for (char16_t u : s) {
    raw += static_cast<char>(u & 0xFF);
    raw += static_cast<char>(u >> 8);
  }
  return raw;
}

}  // namespace lq::test

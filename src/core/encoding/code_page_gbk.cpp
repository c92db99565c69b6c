#include <iconv.h>

#include <cerrno>
#include <vector>

#include "core/encoding/code_page.h"

namespace lq {
namespace {

// Runs iconv over the whole input. Undecodable input is replaced by `bad` (in the target
// encoding) and skipped one byte (or one unit) at a time.
std::string iconv_all(const char* to, const char* from, std::string_view in, std::string_view bad,
                      size_t in_unit) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out;
  out.reserve(in.size() * 2 + 16);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  std::vector<char> buf(64 * 1024);
  while (src_left > 0) {
    char* dst = buf.data();
    size_t dst_left = buf.size();
    size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buf.data(), buf.size() - dst_left);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (truncated sequence at the end): replace and skip one unit.
      out.append(bad);
      size_t skip = in_unit < src_left ? in_unit : src_left;
      src += skip;
      src_left -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

class GbkCodePage final : public CodePage {
 public:
  const char* name() const override { return "GBK"; }

  bool is_lead_byte(unsigned char b) const override { return b >= 0x81 && b <= 0xFE; }

  size_t char_len_at(std::string_view s, size_t i) const override {
    if (i + 1 < s.size() && is_lead_byte(static_cast<unsigned char>(s[i]))) return 2;
    return 1;
  }

  std::string to_utf8(std::string_view bytes) const override {
    return iconv_all("UTF-8", "GBK", bytes, "\xEF\xBF\xBD", 1);
  }

  std::string from_utf8(std::string_view utf8) const override {
    return iconv_all("GBK", "UTF-8", utf8, "?", 1);
  }

  std::u16string to_utf16(std::string_view bytes) const override {
    std::string raw = iconv_all("UTF-16LE", "GBK", bytes, std::string_view("\xFD\xFF", 2), 1);
    std::u16string out(raw.size() / 2, u'\0');
    for (size_t k = 0; k < out.size(); ++k)
      out[k] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 * k]) |
                                     (static_cast<unsigned char>(raw[2 * k + 1]) << 8));
    return out;
  }

  std::string from_utf16(std::u16string_view utf16) const override {
    std::string raw(utf16.size() * 2, '\0');
    for (size_t k = 0; k < utf16.size(); ++k) {
      raw[2 * k] = static_cast<char>(utf16[k] & 0xFF);
      raw[2 * k + 1] = static_cast<char>(utf16[k] >> 8);
    }
    return iconv_all("GBK", "UTF-16LE", raw, "?", 2);
  }
};

}  // namespace

const CodePage& gbk_code_page() {
  static const GbkCodePage page;
  return page;
}

const CodePage& code_page() { return gbk_code_page(); }

}  // namespace lq

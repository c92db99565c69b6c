// UTF-8 as a code page. Text is held as its own bytes, so the work is validation: every
// conversion copies the well-formed runs whole and only handles, byte by byte, what is not
// UTF-8. A byte that starts no well-formed sequence is a character of its own, so nothing is
// lost and a damaged file keeps every byte in the matching form.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/encoding/byte_scan.h"
#include "core/encoding/code_page.h"

namespace lq {

namespace {

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";  // U+FFFD
constexpr char16_t kReplacement = 0xFFFD;

// Appends a code point (up to U+10FFFF) as UTF-8.
void put_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | c >> 6));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | c >> 12));
    out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | c >> 18));
    out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Copies `bytes` to out with every byte that is not part of a well-formed sequence handed to
// `bad(out, byte)`. Text that is valid throughout is one copy.
template <typename Bad>
void copy_valid(std::string_view bytes, std::string& out, Bad bad) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    const size_t n = utf8_valid_run(p, end);
    out.append(reinterpret_cast<const char*>(p), n);
    p += n;
    if (p < end) bad(out, *p++);
  }
}

class Utf8CodePage final : public CodePage {
 public:
  const char* name() const override { return "UTF-8"; }

  bool is_lead_byte(unsigned char b) const override { return b >= 0xC2 && b <= 0xF4; }

  size_t char_len_at(std::string_view s, size_t i) const override {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + i;
    if (*p < 0x80) return 1;
    const size_t n = utf8_seq_len(p, s.size() - i);
    return n ? n : 1;
  }

  size_t char_start_at_or_after(std::string_view s, size_t from, size_t pos) const override {
    const size_t stop = std::min(pos, s.size());
    if (stop <= from) return from;
    // No walk is needed: a byte that can lead a sequence is never inside one, so the walk
    // reaches every such byte, and a position is passed over only by a well-formed sequence
    // that starts at most three bytes before it, at or after `from`.
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    for (size_t j = std::max(from, stop >= 3 ? stop - 3 : 0); j < stop; ++j) {
      if (p[j] < 0xC2) continue;
      const size_t n = utf8_seq_len(p + j, s.size() - j);
      if (j + n > stop) return j + n;
    }
    return stop;
  }

  std::string to_utf8(std::string_view bytes) const override {
    std::string out;
    out.reserve(bytes.size());
    copy_valid(bytes, out, [](std::string& o, unsigned char) { o += kReplacementUtf8; });
    return out;
  }

  std::string from_utf8(std::string_view utf8) const override {
    std::string out;
    out.reserve(utf8.size());
    copy_valid(utf8, out, [](std::string& o, unsigned char) { o.push_back('?'); });
    return out;
  }

  bool from_utf8_exact(std::string_view utf8, std::string& out,
                       std::string& missing) const override {
    out.clear();
    missing.clear();
    out.reserve(utf8.size());
    // A byte that is no character is reported as U+FFFD (once) and left out.
    copy_valid(utf8, out, [&missing](std::string&, unsigned char) {
      if (missing.empty()) missing = kReplacementUtf8;
    });
    return missing.empty();
  }

  void append_match_form(std::string_view bytes, std::string& out) const override {
    copy_valid(bytes, out,
               [](std::string& o, unsigned char b) { put_utf8(o, kMatchByteBase + b); });
  }

  size_t skip_match_form(std::string_view s, size_t i, size_t form_len) const override {
    // A well-formed sequence is its own form; a byte that is none becomes U+1000xx (4 bytes).
    return skip_match_form_by(s, i, form_len, [](const unsigned char* p, const unsigned char* end) {
      const size_t n = utf8_seq_len(p, static_cast<size_t>(end - p));
      return n ? std::pair<size_t, size_t>{n, n} : std::pair<size_t, size_t>{1, 4};
    });
  }

  std::u16string to_utf16(std::string_view bytes) const override {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    // Never more units than bytes: a pair of units takes four bytes, any other unit one or
    // more.
    std::u16string out(bytes.size(), u'\0');
    char16_t* o = out.data();
    while (p < end) {
      if (*p < 0x80) {
        const size_t n = ascii_run(p, end);
        for (size_t k = 0; k < n; ++k) o[k] = p[k];
        o += n;
        p += n;
        continue;
      }
      char32_t c;
      const size_t n = well_formed_utf8(p, static_cast<size_t>(end - p), &c);
      if (n == 0) {
        *o++ = kReplacement;
        ++p;
        continue;
      }
      if (c < 0x10000) {
        *o++ = static_cast<char16_t>(c);
      } else {
        *o++ = static_cast<char16_t>(0xD7C0 + (c >> 10));
        *o++ = static_cast<char16_t>(0xDC00 | (c & 0x3FF));
      }
      p += n;
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return out;
  }

  std::string from_utf16(std::u16string_view utf16) const override {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
      const char16_t u = utf16[i];
      if (u < 0xD800 || u > 0xDFFF) {
        put_utf8(out, u);
      } else if (u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
                 utf16[i + 1] <= 0xDFFF) {
        put_utf8(out, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
        ++i;
      } else {
        out.push_back('?');  // half of a pair: no character
      }
    }
    return out;
  }
};

}  // namespace

const CodePage& utf8_code_page() {
  static const Utf8CodePage page;
  return page;
}

}  // namespace lq

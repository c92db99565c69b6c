// GBK by table lookup: one read per character instead of a converter call, which makes the
// conversions several times faster than a general-purpose converter. The tables match glibc's
// GBK character for character (the tests compare them over every code).
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

#include "core/encoding/byte_scan.h"
#include "core/encoding/code_page.h"
#include "core/encoding/gbk_table.h"

namespace lq {

std::vector<std::string_view> CodePage::split_chars(std::string_view text) const {
  std::vector<std::string_view> chars;
  chars.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t len = char_len_at(text, i);
    chars.push_back(text.substr(i, len));
    i += len;
  }
  return chars;
}

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kEuro = 0x20AC;  // GBK's only single byte above ASCII: 0x80

bool is_trail(unsigned char b) {
  return b >= kGbkFirstTrail && b <= 0xFE && b != 0x7F;
}

bool is_lead(unsigned char b) {
  return b >= kGbkFirstLead && b <= 0xFE;
}

// The character of the pair at p (p[1] must exist), 0 when it is not a GBK character.
char16_t pair_unit(const unsigned char* p) {
  if (!is_lead(p[0]) || !is_trail(p[1])) return 0;
  return kGbkToUnicode[(p[0] - kGbkFirstLead) * kGbkTrails + (p[1] - kGbkFirstTrail)];
}

// What a BMP code point becomes in GBK: 0 when GBK cannot hold it, a value below 0x100 for
// a single byte, otherwise lead << 8 | trail.
struct FromUnicode {
  std::array<std::uint16_t, 0x10000> code{};
  FromUnicode() {
    for (int c = 0; c < 0x80; ++c) code[c] = static_cast<std::uint16_t>(c);
    code[kEuro] = 0x80;
    for (int lead = 0; lead < kGbkLeads; ++lead)
      for (int trail = 0; trail < kGbkTrails; ++trail)
        if (char16_t u = kGbkToUnicode[lead * kGbkTrails + trail])
          code[u] =
              static_cast<std::uint16_t>((lead + kGbkFirstLead) << 8 | (trail + kGbkFirstTrail));
  }
};

const FromUnicode& from_unicode() {
  static const FromUnicode table;
  return table;
}

// The UTF-8 form of every GBK pair, ready to copy: up to three bytes and the length.
struct PairUtf8 {
  struct Entry {
    char bytes[3];
    unsigned char len;
  };
  std::array<Entry, kGbkLeads * kGbkTrails> entry{};
  PairUtf8() {
    for (size_t k = 0; k < entry.size(); ++k) {
      char16_t u = kGbkToUnicode[k];
      if (u == 0) continue;
      Entry& e = entry[k];
      if (u < 0x800) {
        e = {{static_cast<char>(0xC0 | u >> 6), static_cast<char>(0x80 | (u & 0x3F)), 0}, 2};
      } else {
        e = {{static_cast<char>(0xE0 | u >> 12), static_cast<char>(0x80 | (u >> 6 & 0x3F)),
              static_cast<char>(0x80 | (u & 0x3F))},
             3};
      }
    }
  }
};

const PairUtf8& pair_utf8() {
  static const PairUtf8 table;
  return table;
}

// Appends one code point as UTF-8 at out.
char* put_utf8(char* out, char16_t u) {
  if (u < 0x80) {
    *out++ = static_cast<char>(u);
  } else if (u < 0x800) {
    *out++ = static_cast<char>(0xC0 | u >> 6);
    *out++ = static_cast<char>(0x80 | (u & 0x3F));
  } else {
    *out++ = static_cast<char>(0xE0 | u >> 12);
    *out++ = static_cast<char>(0x80 | (u >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (u & 0x3F));
  }
  return out;
}

// Appends any code point (up to U+10FFFF) as UTF-8 at out.
char* put_utf8_any(char* out, char32_t c) {
  if (c < 0x10000) return put_utf8(out, static_cast<char16_t>(c));
  *out++ = static_cast<char>(0xF0 | c >> 18);
  *out++ = static_cast<char>(0x80 | (c >> 12 & 0x3F));
  *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
  *out++ = static_cast<char>(0x80 | (c & 0x3F));
  return out;
}

// Appends the GBK form of a code point (a value above 0xFFFF, or a surrogate, stands for
// something GBK cannot hold).
void put_gbk(std::string& out, char32_t c) {
  std::uint16_t code = c < 0x10000 ? from_unicode().code[c] : 0;
  if (c == 0) {
    out.push_back('\0');
  } else if (code == 0) {
    out.push_back('?');
  } else if (code < 0x100) {
    out.push_back(static_cast<char>(code));
  } else {
    out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
  }
}

// Appends the GBK form of UTF-8 text to out: a well-formed sequence is one character, "?"
// when GBK cannot hold it, and every byte of anything else is one "?". The GBK form is never
// longer than the UTF-8, so the room is made once.
void append_gbk_of_utf8(std::string_view utf8, std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* const end = p + utf8.size();
  const auto& code_of = from_unicode().code;
  const size_t used = out.size();
  out.resize(used + utf8.size());
  char* o = out.data() + used;
  while (p < end) {
    if (*p < 0x80) {
      // Eight bytes are copied at once where they fit, however few of them are ASCII: the
      // output is behind the input, so the copy stays inside the room made.
      const size_t n = ascii_run(p, end);
      if (end - p >= 8)
        std::memcpy(o, p, 8);
      else
        std::memcpy(o, p, n);
      if (n > 8) std::memcpy(o + 8, p + 8, n - 8);
      p += n;
      o += n;
      continue;
    }
    const size_t len = utf8_seq_len(p, static_cast<size_t>(end - p));
    char32_t c = 0x110000;  // no character: "?"
    if (len == 2)
      c = (p[0] & 0x1Fu) << 6 | (p[1] & 0x3Fu);
    else if (len == 3)
      c = (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
    p += len ? len : 1;
    const std::uint16_t code = c < 0x10000 ? code_of[c] : 0;
    if (code == 0) {
      *o++ = '?';
    } else if (code < 0x100) {
      *o++ = static_cast<char>(code);
    } else {
      *o++ = static_cast<char>(code >> 8);
      *o++ = static_cast<char>(code & 0xFF);
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
}

// Appends the UTF-8 of GBK bytes to out: ASCII and mapped pairs by table; at any other
// byte, other(p, end, o) writes what stands for it at o (room for 8 bytes) and answers how
// many bytes it took and where its output ends.
template <class Other>
void append_utf8(std::string_view bytes, std::string& out, Other other) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  const PairUtf8& utf8 = pair_utf8();
  // A pair grows by half, ASCII not at all; only single high bytes grow more, so start
  // with room for pairs and grow when a character might not fit.
  size_t used = out.size();
  out.resize(used + bytes.size() + bytes.size() / 2 + 16);
  char* o = out.data() + used;
  char* room_end = out.data() + out.size();
  while (p < end) {
    if (room_end - o < 16) {
      used = static_cast<size_t>(o - out.data());
      out.resize(out.size() + out.size() / 2 + 16);
      o = out.data() + used;
      room_end = out.data() + out.size();
    }
    if (*p < 0x80) {
      // Text between Chinese characters comes in short runs: eight bytes are copied at a
      // time, and the run ends at the first byte above ASCII among them.
      if (std::endian::native == std::endian::little && end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        std::memcpy(o, &word, 8);
        const std::uint64_t high = word & 0x8080808080808080ull;
        const size_t n = high ? static_cast<size_t>(std::countr_zero(high)) / 8 : 8;
        p += n;
        o += n;
      } else {
        *o++ = static_cast<char>(*p++);
      }
      continue;
    }
    if (end - p >= 2 && is_lead(p[0]) && is_trail(p[1])) {
      const auto& e = utf8.entry[(p[0] - kGbkFirstLead) * kGbkTrails + (p[1] - kGbkFirstTrail)];
      if (e.len) {
        std::memcpy(o, e.bytes, 3);
        o += e.len;
        p += 2;
        continue;
      }
    }
    const auto [taken, next] = other(p, end, o);
    o = next;
    p += taken;
  }
  out.resize(static_cast<size_t>(o - out.data()));
}

class GbkCodePage final : public CodePage {
 public:
  const char* name() const override { return "GBK"; }

  bool is_lead_byte(unsigned char b) const override { return is_lead(b); }

  size_t char_len_at(std::string_view s, size_t i) const override {
    if (i + 1 < s.size() && is_lead(static_cast<unsigned char>(s[i])) &&
        is_trail(static_cast<unsigned char>(s[i + 1])))
      return 2;
    return 1;
  }

  size_t char_start_at_or_after(std::string_view s, size_t from, size_t pos) const override {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t size = s.size(), stop = std::min(pos, size);
    size_t i = from;
    // A byte below 0x40 is never the second of a pair, so the walk reaches it and the byte
    // after it wherever it starts: it may start behind the last such byte before stop (a
    // space, a digit, a line end), looked for a short way back.
    constexpr size_t kLookBack = 32;
    for (size_t k = stop; k > from && stop - k < kLookBack; --k) {
      if (p[k - 1] < 0x40) {
        i = k;
        break;
      }
    }
    while (i < stop) {
      if (p[i] < 0x80)
        i += ascii_run(p + i, p + stop);
      else
        i += i + 1 < size && is_lead(p[i]) && is_trail(p[i + 1]) ? 2 : 1;
    }
    return i;
  }

  std::string to_utf8(std::string_view bytes) const override {
    std::string out;
    // A byte that is no character stands for U+FFFD (0x80 for the euro sign); an unmapped
    // pair is two such bytes.
    append_utf8(bytes, out, [](const unsigned char* p, const unsigned char*, char* o) {
      return std::pair<size_t, char*>{1, put_utf8(o, *p == 0x80 ? kEuro : kReplacement)};
    });
    return out;
  }

  void append_match_form(std::string_view bytes, std::string& out) const override {
    append_utf8(bytes, out, [](const unsigned char* p, const unsigned char* end, char* o) {
      if (end - p >= 2 && is_lead(p[0]) && is_trail(p[1]))
        return std::pair<size_t, char*>{2, put_utf8_any(o, kMatchPairBase + (p[0] << 8 | p[1]))};
      return std::pair<size_t, char*>{
          1, put_utf8_any(o, *p == 0x80 ? char32_t{kEuro} : kMatchByteBase + *p)};
    });
  }

  size_t skip_match_form(std::string_view s, size_t i, size_t form_len) const override {
    // Pairs by table, with no call per character, as matches come often in Chinese text.
    const PairUtf8& utf8 = pair_utf8();
    return skip_match_form_by(
        s, i, form_len, [&utf8](const unsigned char* p, const unsigned char* end) {
          if (end - p >= 2 && is_lead(p[0]) && is_trail(p[1])) {
            const auto& e =
                utf8.entry[(p[0] - kGbkFirstLead) * kGbkTrails + (p[1] - kGbkFirstTrail)];
            return std::pair<size_t, size_t>{2, e.len ? e.len : 4};
          }
          return std::pair<size_t, size_t>{1, *p == 0x80 ? 3 : 4};
        });
  }

  std::u16string to_utf16(std::string_view bytes) const override {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    std::u16string out;
    out.reserve(bytes.size());
    while (p < end) {
      if (*p < 0x80) {
        out.push_back(*p++);
      } else if (char16_t u = end - p >= 2 ? pair_unit(p) : 0) {
        out.push_back(u);
        p += 2;
      } else {
        out.push_back(*p++ == 0x80 ? kEuro : kReplacement);
      }
    }
    return out;
  }

  std::string from_utf8(std::string_view utf8) const override {
    std::string out;
    append_gbk_of_utf8(utf8, out);
    return out;
  }

  bool from_utf8_exact(std::string_view utf8, std::string& out,
                       std::string& missing) const override {
    out.clear();
    missing.clear();
    auto lack = [&](std::string_view c) {
      if (missing.find(c) == std::string::npos) missing += c;
    };
    for (size_t i = 0; i < utf8.size();) {
      const auto* p = reinterpret_cast<const unsigned char*>(utf8.data()) + i;
      if (*p < 0x80) {
        out.push_back(static_cast<char>(*p));
        ++i;
        continue;
      }
      const size_t n = well_formed_utf8(p, utf8.size() - i);
      if (n == 0) {
        lack("\xEF\xBF\xBD");  // shown as U+FFFD: the byte itself is no character
        ++i;
        continue;
      }
      const std::string_view one = utf8.substr(i, n);
      const std::string enc = from_utf8(one);
      if (enc == "?")
        lack(one);
      else
        out += enc;
      i += n;
    }
    return missing.empty();
  }

  std::string from_utf16(std::u16string_view utf16) const override {
    std::string out;
    out.reserve(utf16.size() * 2);
    for (size_t i = 0; i < utf16.size(); ++i) {
      char16_t u = utf16[i];
      if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
          utf16[i + 1] <= 0xDFFF) {
        ++i;  // a character beyond the BMP: one "?"
        out.push_back('?');
        continue;
      }
      put_gbk(out, u);
    }
    return out;
  }
};

}  // namespace

size_t append_gbk_as_utf8_keeping(std::string_view bytes, bool last, std::string& out) {
  bool cut = false;
  append_utf8(bytes, out, [&](const unsigned char* p, const unsigned char* end, char* o) {
    if (!last && p + 1 == end && is_lead(*p)) {
      cut = true;  // the pair may go on in the next piece
      return std::pair<size_t, char*>{1, o};
    }
    if (*p == 0x80) return std::pair<size_t, char*>{1, put_utf8(o, kEuro)};
    *o = static_cast<char>(*p);
    return std::pair<size_t, char*>{1, o + 1};
  });
  return cut ? bytes.size() - 1 : bytes.size();
}

void append_converted(std::string_view bytes, const CodePage& from, const CodePage& to,
                      std::string& out) {
  // UTF-8 goes to GBK in one pass: a byte that is no character becomes "?" either way, as
  // GBK has no U+FFFD to hold the replacement the pass through UTF-8 would make of it.
  if (&from == &utf8_code_page() && &to == &gbk_code_page())
    append_gbk_of_utf8(bytes, out);
  else
    out += to.from_utf8(from.to_utf8(bytes));
}

const CodePage& gbk_code_page() {
  static const GbkCodePage page;
  return page;
}

const CodePage& code_page() {
  return gbk_code_page();
}

}  // namespace lq

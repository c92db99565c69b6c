// The program's code page. Every part that needs to know where a character starts or
// ends, or that converts to or from Unicode, asks this object; nothing else hard-codes
// the GBK lead-byte rule.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lq {

class CodePage {
 public:
  virtual ~CodePage() = default;

  virtual const char* name() const = 0;

  // True when byte b starts a multi-byte character.
  virtual bool is_lead_byte(unsigned char b) const = 0;

  // Length in bytes of the character starting at byte index i (0-based), never past
  // the end of s and never 0 for i < s.size(). A lead byte not followed by a byte that can
  // complete it stands alone.
  virtual size_t char_len_at(std::string_view s, size_t i) const = 0;

  // The first character start at or after min(pos, s.size()), reached by walking the
  // characters of s from `from`, which must start one; `from` itself when it is not before
  // pos. The same as stepping by char_len_at from `from`, in one call.
  virtual size_t char_start_at_or_after(std::string_view s, size_t from, size_t pos) const = 0;

  // The text cut into its characters (views into text), by char_len_at. Bytes that do not
  // form a character come out one by one, so joining the pieces gives the text back.
  std::vector<std::string_view> split_chars(std::string_view text) const;

  // Conversions. Bytes that do not decode become U+FFFD in Unicode; characters the code
  // page cannot hold become "?".
  virtual std::string to_utf8(std::string_view bytes) const = 0;
  virtual std::string from_utf8(std::string_view utf8) const = 0;
  virtual std::u16string to_utf16(std::string_view bytes) const = 0;
  virtual std::string from_utf16(std::u16string_view utf16) const = 0;

  // UTF-8 text in this code page, refusing what it cannot hold: false, with each
  // character it lacks (UTF-8, once each, in order of appearance) in `missing`. Bytes that
  // are not UTF-8 count as missing too.
  virtual bool from_utf8_exact(std::string_view utf8, std::string& out,
                               std::string& missing) const = 0;

  // The matching form of text, for a matcher that works on UTF-8 (regular expressions):
  // every character as its UTF-8, and every character or byte that has no Unicode form as
  // a private code point of its own (U+F0000 + the pair's code, U+100000 + the byte), so
  // the form keeps each character of char_len_at whole and maps back exactly. A byte below
  // 0x40 (line ends among them) is never part of a longer character and is itself in the
  // form. Appends to out.
  virtual void append_match_form(std::string_view bytes, std::string& out) const = 0;

  // The byte index in s reached from byte i by going over the whole characters whose
  // matching form takes `form_len` bytes in all: how a place found in the form maps back.
  // Stops early at the end of s or before a character whose form would overshoot.
  virtual size_t skip_match_form(std::string_view s, size_t i, size_t form_len) const = 0;
};

// Private code points that stand for what a code page cannot decode in the matching form.
inline constexpr char32_t kMatchPairBase = 0xF0000;   // + lead << 8 | trail
inline constexpr char32_t kMatchByteBase = 0x100000;  // + byte

// The program's own code page (GBK): what text that belongs to no file is held in.
const CodePage& code_page();

// GBK (code page 936) itself, whatever code page is current.
const CodePage& gbk_code_page();

// UTF-8.
const CodePage& utf8_code_page();

// Text of code page `from` as text of code page `to`, appended to out: what
// to.from_utf8(from.to_utf8(bytes)) gives.
void append_converted(std::string_view bytes, const CodePage& from, const CodePage& to,
                      std::string& out);

// GBK bytes as UTF-8, appended to out, read as glibc's converter reads them (0x80 is the
// euro sign), every byte that is no GBK character copied as it is, so that a file in
// another encoding loses nothing. For text that comes a piece at a time: unless `last`, a lead byte
// that ends `bytes` is left for the next piece, which must start with it. Answers how many
// bytes were taken.
size_t append_gbk_as_utf8_keeping(std::string_view bytes, bool last, std::string& out);

}  // namespace lq

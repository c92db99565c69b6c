// Character boundaries as the editor sees them. Columns are 1-based byte positions in a row.
//
// The editor only needs to know where a character starts and how long it is; both questions
// go to the code page of the document, so a GBK pair and a UTF-8 character of up to four
// bytes are kept whole alike. For GBK text whose second bytes are high (all of GB2312) this
// is the same as counting high bytes from the start of the row; unlike that count it also
// keeps the GBK characters whose second byte lies below 0x81 in one piece.
#pragma once

#include <cstddef>
#include <string_view>

namespace lq {

class CodePage;

// The most bytes a character of any code page the editor holds takes (UTF-8: 4).
inline constexpr size_t kMaxCharBytes = 4;

// True when column p of text falls inside a character, that is between its bytes.
bool splits_char(int p, std::string_view text, const CodePage& page);

// p itself when column p starts a character (or lies outside text); otherwise the column
// just after that character when forward, else the column where it starts.
int char_boundary(int p, std::string_view text, bool forward, const CodePage& page);

// True while bytes, typed one at a time, are the start of a multi-byte character that has
// not received all its bytes yet: they begin with a lead byte, do not form a character of
// their own length, and are shorter than the longest character.
bool char_incomplete(std::string_view bytes, const CodePage& page);

}  // namespace lq

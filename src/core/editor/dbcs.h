// Character boundaries as the editor sees them. Columns are 1-based byte positions in a row.
//
// The editor only needs to know where a character starts and how long it is; both questions
// go to the program's code page, so the editor works unchanged when another code page is
// chosen. For GBK text whose second bytes are high (all of GB2312) this is the same as
// counting high bytes from the start of the row; unlike that count it also keeps the GBK
// characters whose second byte lies below 0x81 in one piece.
#pragma once

#include <string_view>

namespace lq {

// True when byte b starts a double-byte character (the code page decides).
bool high_byte1(unsigned char b);

// True when column p of text falls inside a character, that is between its bytes.
bool splits_char1(int p, std::string_view text);

// p itself when column p starts a character (or lies outside text); otherwise the column
// just after that character when forward, else the column where it starts.
int char_boundary1(int p, std::string_view text, bool forward);

}  // namespace lq

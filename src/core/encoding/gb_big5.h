// Conversion between the two double-byte Chinese encodings GB2312 and Big5 by two fixed
// tables, one per direction. Besides the encoding the tables also change the script:
// GB2312 text comes out in traditional characters, Big5 text in simplified ones. A
// character without a counterpart becomes two ASCII spaces, so a conversion never changes
// the length of the text; single bytes pass through unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lq {

// GB2312 positions: lead 0xA1-0xF7 times trail 0xA1-0xFE.
inline constexpr int kGBToBig5TableSize = 8178;
// Big5 positions: lead 0xA1-0xFE times trail 0x40-0x7E and 0xA1-0xFE.
inline constexpr int kBig5ToGBTableSize = 14758;
// Two ASCII spaces: the code of a character without counterpart.
inline constexpr std::uint16_t kNoCounterpart = 0x2020;

// Codes hold the lead byte in the high 8 bits and the trail byte in the low 8 bits.
extern const std::uint16_t GBToBig5Table[kGBToBig5TableSize];
extern const std::uint16_t Big5ToGBTable[kBig5ToGBTableSize];

// True when the two bytes form a GB2312 character (both bytes in their ranges).
bool IsGBPair(unsigned char first, unsigned char second);
// True when the two bytes form a Big5 character.
bool IsBig5Pair(unsigned char first, unsigned char second);

// Index into GBToBig5Table of the first two bytes of text, computed without range checks;
// -1 when text is shorter than two bytes.
int GBIndex(std::string_view text);
// Index into Big5ToGBTable of the first two bytes of text; -1 when text is shorter than two
// bytes or its second byte lies outside both trail ranges.
int Big5Index(std::string_view text);

// The two bytes of a code: high byte first.
std::string CodeToChars(std::uint16_t code);

// Whole-text conversions; the result has exactly as many bytes as the input.
std::string GBToBig5(std::string_view text);
std::string Big5ToGB(std::string_view text);

}  // namespace lq

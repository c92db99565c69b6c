// Conversion between the two double-byte Chinese encodings GB2312 and Big5 by two fixed
// tables, one per direction. Besides the encoding the tables also change the script:
// GB2312 text comes out in traditional characters, Big5 text in simplified ones. A
// character without a counterpart becomes two ASCII spaces, so a conversion never changes
// the length of the text; single bytes pass through unchanged.
//
// GB2312 text is read as the GBK text it is part of: a GBK character outside GB2312 (儲,
// 83 A6) is one character, converted by a third table, never two single bytes that would
// put every character after it out of step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/encoding/gbk_table.h"

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
// Every GBK position (lead 0x81-0xFE times trail 0x40-0xFE, as in gbk_table.h): the Big5
// code of the character there, of its traditional form where it has one; 0x2020 where
// Big5 has none and where GBK holds no character. GB2312's positions repeat GBToBig5Table.
extern const std::uint16_t GbkToBig5Table[kGbkLeads * kGbkTrails];

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

// Whole-text conversions; the result has exactly as many bytes as the input. GBToBig5
// takes each GB2312 pair through GBToBig5Table and every other GBK pair through
// GbkToBig5Table; a byte that starts no pair is copied and the next one examined afresh.
std::string GBToBig5(std::string_view text);
std::string Big5ToGB(std::string_view text);

}  // namespace lq

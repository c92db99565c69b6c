#include "core/encoding/gb_big5.h"

namespace lq {

namespace {

constexpr int kBig5Columns = 157;
constexpr int kBig5LowTrails = 63;  // 0x40-0x7E come before 0xA1-0xFE in a row

unsigned char byte_at(std::string_view text, size_t i) {
  return static_cast<unsigned char>(text[i]);
}

// One character pair: the code it converts to, or nothing when the bytes at i start no
// pair of the source encoding.
using PairCode = bool (*)(std::string_view text, size_t i, std::uint16_t& code);

// The shared loop of both directions: pairs are replaced by their code, every other byte
// is copied and the next byte is examined afresh.
template <PairCode Code>
std::string convert(std::string_view text) {
  std::string out;
  out.resize(text.size());
  size_t i = 0;
  while (i < text.size()) {
    std::uint16_t code;
    if (i + 1 < text.size() && Code(text, i, code)) {
      out[i] = static_cast<char>(code >> 8);
      out[i + 1] = static_cast<char>(code & 0xFF);
      i += 2;
      continue;
    }
    out[i] = text[i];
    ++i;
  }
  return out;
}

bool gb_code(std::string_view text, size_t i, std::uint16_t& code) {
  const unsigned char lead = byte_at(text, i), trail = byte_at(text, i + 1);
  if (IsGBPair(lead, trail)) {
    code = GBToBig5Table[GBIndex(text.substr(i, 2))];
    return true;
  }
  // Any other GBK character is one character too.
  if (lead >= kGbkFirstLead && lead <= 0xFE && trail >= kGbkFirstTrail && trail <= 0xFE &&
      trail != 0x7F) {
    code = GbkToBig5Table[(lead - kGbkFirstLead) * kGbkTrails + (trail - kGbkFirstTrail)];
    return true;
  }
  return false;
}

bool big5_code(std::string_view text, size_t i, std::uint16_t& code) {
  if (!IsBig5Pair(byte_at(text, i), byte_at(text, i + 1))) return false;
  const int index = Big5Index(text.substr(i, 2));
  if (index < 0 || index >= kBig5ToGBTableSize) return false;
  code = Big5ToGBTable[index];
  return true;
}

}  // namespace

bool IsGBPair(unsigned char first, unsigned char second) {
  return first >= 0xA1 && first <= 0xF7 && second >= 0xA1 && second <= 0xFE;
}

bool IsBig5Pair(unsigned char first, unsigned char second) {
  return first >= 0xA1 &&
         ((second >= 0x40 && second <= 0x7E) || (second >= 0xA1 && second <= 0xFE));
}

int GBIndex(std::string_view text) {
  if (text.size() < 2) return -1;
  return (byte_at(text, 0) - 0xA1) * 94 + (byte_at(text, 1) - 0xA1);
}

int Big5Index(std::string_view text) {
  if (text.size() < 2) return -1;
  int row = (byte_at(text, 0) - 0xA1) * kBig5Columns;
  unsigned char trail = byte_at(text, 1);
  if (trail >= 0x40 && trail <= 0x7E) return row + (trail - 0x40);
  if (trail >= 0xA1 && trail <= 0xFE) return row + kBig5LowTrails + (trail - 0xA1);
  return -1;
}

std::string CodeToChars(std::uint16_t code) {
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

std::string GBToBig5(std::string_view text) {
  return convert<gb_code>(text);
}

std::string Big5ToGB(std::string_view text) {
  return convert<big5_code>(text);
}

}  // namespace lq

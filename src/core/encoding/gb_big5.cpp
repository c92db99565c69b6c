#include "core/encoding/gb_big5.h"

namespace lq {

namespace {

constexpr int kBig5Columns = 157;
constexpr int kBig5LowTrails = 63;  // 0x40-0x7E come before 0xA1-0xFE in a row

unsigned char byte_at(std::string_view text, size_t i) {
  return static_cast<unsigned char>(text[i]);
}

// The shared loop of both directions: pairs that pass the test and whose index lies in the
// table are replaced by the table's code, every other byte is copied and the next byte is
// examined afresh.
template <bool (*IsPair)(unsigned char, unsigned char), int (*Index)(std::string_view)>
std::string convert(std::string_view text, const std::uint16_t* table, int size) {
  std::string out;
  out.resize(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (i + 1 < text.size() && IsPair(byte_at(text, i), byte_at(text, i + 1))) {
      int index = Index(text.substr(i, 2));
      if (index >= 0 && index < size) {
        std::uint16_t code = table[index];
        out[i] = static_cast<char>(code >> 8);
        out[i + 1] = static_cast<char>(code & 0xFF);
        i += 2;
        continue;
      }
    }
    out[i] = text[i];
    ++i;
  }
  return out;
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
  return convert<IsGBPair, GBIndex>(text, GBToBig5Table, kGBToBig5TableSize);
}

std::string Big5ToGB(std::string_view text) {
  return convert<IsBig5Pair, Big5Index>(text, Big5ToGBTable, kBig5ToGBTableSize);
}

}  // namespace lq

// Finding the same bytes many times in one text. A general search sets itself up anew on
// every call, which costs more than the search when hits are a line apart; this one looks
// for the needle's rarest byte with memchr and compares the rest only where that byte is.
#pragma once

#include <cstddef>
#include <string_view>

namespace lq {

class ByteFinder {
 public:
  // `sample`, the start of the text to search, tells which byte of the needle is rarest.
  ByteFinder(std::string_view needle, std::string_view sample);

  // Without a sample: the last byte of the needle that can only continue a character
  // (0x80-0xBF) when there is one, as the bytes that start Chinese characters are few and
  // the ones that end them many; else its first byte.
  explicit ByteFinder(std::string_view needle);

  // 0-based offset of the first occurrence in hay at or after `from`, or npos. Nothing is
  // found for an empty needle.
  size_t find(std::string_view hay, size_t from) const;

 private:
  std::string_view needle_;
  size_t rare_ = 0;       // the byte of the needle looked for first
  bool general_ = false;  // no byte of the needle is rare in the text: a general search
};

}  // namespace lq

// The order in which a file manager lists names: a run of digits counts as its number
// ("f2" before "f10", "f0292" before "f985"), letters compare without regard to ASCII case,
// every other byte by its value. Names alike in that sense ("F1" and "f1", "f02" and "f2")
// fall back to their plain bytes, so the order is total and the same on every run.
#pragma once

#include <string_view>

namespace lq {

// <0, 0 or >0 as a comes before, is, or comes after b; 0 only for equal bytes.
int natural_compare(std::string_view a, std::string_view b);

inline bool natural_less(std::string_view a, std::string_view b) {
  return natural_compare(a, b) < 0;
}

}  // namespace lq

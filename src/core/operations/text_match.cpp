#include "core/operations/text_match.h"

namespace lq {

std::vector<size_t> find_all_aligned(std::string_view hay, std::string_view needle,
                                     bool case_sensitive, const CodePage& page) {
  std::vector<size_t> out;
  for_each_aligned(hay, needle, case_sensitive, page, [&](size_t at) {
    out.push_back(at);
    return true;
  });
  return out;
}

bool contains_aligned(std::string_view hay, std::string_view needle, bool case_sensitive,
                      const CodePage& page) {
  return find_chars(hay, needle, case_sensitive, page) != std::string_view::npos;
}

std::string replace_all_aligned(std::string_view text, std::string_view search,
                                std::string_view replacement, bool case_sensitive,
                                const CodePage& page) {
  std::string out;
  size_t copied = 0;
  bool any = false;
  for_each_aligned(text, search, case_sensitive, page, [&](size_t at) {
    if (!any) out.reserve(text.size() + 16);
    any = true;
    out.append(text, copied, at - copied);
    out.append(replacement);
    copied = at + search.size();
    return true;
  });
  if (!any) return std::string(text);
  out.append(text, copied, std::string_view::npos);
  return out;
}

}  // namespace lq

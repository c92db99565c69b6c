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

namespace {

// Appends `text` with every match replaced to `out`; false (and `out` untouched) when
// nothing matched.
bool append_replaced(std::string_view text, std::string_view search, std::string_view replacement,
                     bool case_sensitive, const CodePage& page, std::string& out) {
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
  if (any) out.append(text, copied, std::string_view::npos);
  return any;
}

}  // namespace

std::string replace_all_aligned(std::string_view text, std::string_view search,
                                std::string_view replacement, bool case_sensitive,
                                const CodePage& page) {
  std::string out;
  if (!append_replaced(text, search, replacement, case_sensitive, page, out))
    return std::string(text);
  return out;
}

bool replace_all_aligned_in_place(std::string& text, std::string& scratch, std::string_view search,
                                  std::string_view replacement, bool case_sensitive,
                                  const CodePage& page) {
  scratch.clear();
  if (!append_replaced(text, search, replacement, case_sensitive, page, scratch)) return false;
  text.swap(scratch);
  return true;
}

}  // namespace lq

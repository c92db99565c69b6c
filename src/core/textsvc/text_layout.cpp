#include "core/textsvc/text_layout.h"

#include <cstring>

#include "core/textsvc/str_helpers.h"

namespace lq {

const char* eol_policy_name(EolPolicy policy) {
  switch (policy) {
    case EolPolicy::CrLf:
      return "crlf";
    case EolPolicy::Lf:
      return "lf";
    case EolPolicy::Keep:
      break;
  }
  return "keep";
}

bool parse_eol_policy(std::string_view name, EolPolicy& policy) {
  const std::string n = lower_ascii(name);
  for (EolPolicy p : {EolPolicy::Keep, EolPolicy::CrLf, EolPolicy::Lf}) {
    if (n == eol_policy_name(p)) {
      policy = p;
      return true;
    }
  }
  return false;
}

void split_keeping_ends(std::string_view text, LineList& lines, std::vector<LineEnd>& ends) {
  size_t count = 0;
  ends.clear();
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    if (count == lines.size()) lines.emplace_back();
    std::string& line = lines[count++];
    if (!lf) {
      line.assign(p, static_cast<size_t>(end - p));
      ends.push_back(LineEnd::None);
      break;
    }
    const bool crlf = lf > p && lf[-1] == '\r';
    line.assign(p, static_cast<size_t>(lf - p) - (crlf ? 1 : 0));
    ends.push_back(crlf ? LineEnd::CrLf : LineEnd::Lf);
    p = lf + 1;
  }
  lines.resize(count);
}

namespace {

std::string_view end_bytes(LineEnd e) {
  switch (e) {
    case LineEnd::CrLf:
      return "\r\n";
    case LineEnd::Lf:
      return "\n";
    case LineEnd::None:
      break;
  }
  return {};
}

}  // namespace

std::string join_lines(const LineList& lines, const TextLayout& layout, EolPolicy policy) {
  const std::vector<LineEnd>& read = layout.ends;
  const bool own_ends = policy == EolPolicy::Keep && read.size() == lines.size();
  LineEnd every = policy == EolPolicy::Lf ? LineEnd::Lf : LineEnd::CrLf;
  LineEnd last = every;
  if (policy == EolPolicy::Keep && !read.empty()) {
    if (read.front() != LineEnd::None) every = read.front();
    last = read.back() == LineEnd::None ? LineEnd::None : every;
  }
  size_t size = layout.bom ? kUtf8Bom.size() : 0;
  for (const auto& l : lines) size += l.size() + 2;
  std::string out;
  out.reserve(size);
  if (layout.bom) out.append(kUtf8Bom);
  for (size_t i = 0; i < lines.size(); ++i) {
    out.append(lines[i]);
    if (own_ends)
      out.append(end_bytes(read[i]));
    else
      out.append(end_bytes(i + 1 == lines.size() ? last : every));
  }
  return out;
}

}  // namespace lq

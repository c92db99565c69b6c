#include "core/scope/scopes.h"

#include <algorithm>

#include "core/encoding/code_page.h"
#include "core/run/run_host.h"
#include "core/textsvc/char_search.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

using ll = long long;
constexpr size_t npos = std::string_view::npos;

ll len(const std::string& s) {
  return static_cast<ll>(s.size());
}

// The conversion that aborts the run on a bad text, after trimming.
int trimmed_int(const ScopeRun& run, std::string_view name) {
  return str_to_int(trim(run.settings.text(name)));
}

bool contains(const std::string& line, const std::string& x, bool case_sensitive,
              const CodePage& page) {
  if (x.empty()) return false;
  return find_chars(line, x, case_sensitive, page) != npos;
}

// The first `keep` bytes of line unchanged, the rest selected.
std::string select_tail(const std::string& line, size_t keep, const ScopeRun& run) {
  return line.substr(0, keep) + run.C(line.substr(keep));
}

// The first `end` bytes of line selected, the rest unchanged.
std::string select_head(const std::string& line, size_t end, const ScopeRun& run) {
  return run.C(line.substr(0, end)) + line.substr(end);
}

}  // namespace

const CodePage& ScopeRun::page() const {
  return context.page ? *context.page : code_page();
}

std::string whole_line_scope(const std::string& line, ScopeRun& run) {
  return run.C(line);
}

// Counts in [2], [8] and [13] are bytes, but a cut never falls inside a character: the
// selection is the longest run of whole characters within the count.
std::string first_chars_scope(const std::string& line, ScopeRun& run) {
  const ll n = trimmed_int(run, "Edit_fw_qj1");
  // n <= 0 selects nothing: C("") goes in front of the unchanged line.
  if (n <= 0) return run.C("") + line;
  const size_t end = char_floor(line, static_cast<size_t>(std::min(n, len(line))), run.page());
  return select_head(line, end, run);
}

std::string before_nth_scope(const std::string& line, ScopeRun& run) {
  // Not trimmed: trailing blanks make the count invalid.
  const int n = str_to_int(run.settings.text("Edit_fw_qz1"));
  const std::string& x = run.settings.text("Edit_fw_qz2");
  const size_t p = x.empty() ? npos : find_nth_chars(line, x, n, true, run.page());
  if (p != npos) return select_head(line, p, run);
  if (run.settings.checked("CheckBox_fw_qz3")) return run.C(line);
  return line;
}

std::string containing_scope(const std::string& line, ScopeRun& run) {
  return contains(line, run.settings.text("Edit_hy1"), run.case_sensitive, run.page()) ? run.C(line)
                                                                                       : line;
}

std::string not_containing_scope(const std::string& line, ScopeRun& run) {
  return contains(line, run.settings.text("edit_bh1"), run.case_sensitive, run.page())
             ? line
             : run.C(line);
}

std::string between_nth_scope(const std::string& line, ScopeRun& run) {
  const CodePage& page = run.page();
  const int a = str_to_int_def(run.settings.text("Edit_qjhj1"), 0);
  const int c = str_to_int_def(run.settings.text("Edit_qjhj3"), 0);
  const std::string& x = run.settings.text("Edit_qjhj2");
  const std::string& y = run.settings.text("Edit_qjhj4");
  const size_t b = x.empty() ? npos : find_nth_chars(line, x, a, true, page);
  const size_t e = y.empty() ? npos : find_nth_chars(line, y, c, true, page);
  // The selection starts after the first character of the a-th X (the rest of a longer
  // X is selected), at the line's start without it.
  const size_t from = b == npos ? 0 : b + page.char_len_at(line, b);
  // Without the c-th Y the selection runs to the end of the line. A c-th Y before that
  // start leaves an empty selection there, so no byte is ever repeated or dropped.
  if (e == npos) return select_tail(line, from, run);
  const size_t end = std::max(e, from);
  return line.substr(0, from) + run.C(line.substr(from, end - from)) + line.substr(end);
}

std::string last_chars_scope(const std::string& line, ScopeRun& run) {
  const std::string text = trim(run.settings.text("Edit_fw_hj1"));
  ll n;
  if (int v; parse_int(text, v)) {
    n = v;
  } else {
    // The box takes the length of the first line that meets the bad text, and keeps it.
    n = len(line);
    const std::string value = std::to_string(n);
    run.settings.set("Edit_fw_hj1", value);
    if (run.host) run.host->scope_param_changed("Edit_fw_hj1", value);
  }
  const ll keep = std::clamp(len(line) - n, 0LL, len(line));
  return select_tail(line, char_ceil(line, static_cast<size_t>(keep), run.page()), run);
}

std::string length_scope(const std::string& line, ScopeRun& run) {
  const ll n = trimmed_int(run, "Edit_fw_len1");
  return len(line) == n ? run.C(line) : line;
}

std::string enclosed_scope(const std::string& line, ScopeRun& run) {
  const std::string b = run.settings.text("Edit_fw_b_sp1");
  const std::string e = run.settings.text("Edit_fw_e_sp1");
  LineList pieces;
  text_parts::split_marked(line, pieces, b, e, run.page());
  std::string out;
  out.reserve(line.size() + 16);
  for (const auto& piece : pieces) {
    if (piece[0] == '1') {
      out += b;
      out += run.C(piece.substr(2));
      out += e;
    } else {
      out.append(piece, 2);
    }
  }
  return out;
}

std::string every_n_scope(const std::string& line, ScopeRun& run) {
  const int n = trimmed_int(run, "Edit_fw_mg1");
  // Below 1, and at 1 before a double-byte character, a piece is one whole character.
  LineList pieces;
  split_by_len(line, pieces, n, run.page());
  std::string out;
  out.reserve(line.size() + 16);
  for (auto& piece : pieces) out += run.C(std::move(piece));
  return out;
}

std::string after_last_scope(const std::string& line, ScopeRun& run) {
  const std::string d = run.settings.text("edit_fw_sp_r1");
  const size_t q = rfind_chars(line, d, true, run.page());
  if (q == npos) return line;
  return select_tail(line, q + d.size(), run);
}

std::string after_first_scope(const std::string& line, ScopeRun& run) {
  const std::string d = run.settings.text("Edit_fw_sp_l1");
  const size_t q = find_chars(line, d, true, run.page());
  if (q == npos) return line;
  return select_tail(line, q + d.size(), run);
}

void marker_lines_scope(LineList& lines, ScopeRun& run) {
  int cx = 0, cy = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int a = str_to_int_def(run.settings.text("Edit_qj1"), 1);
    if (cx >= a) {
      const int b = str_to_int_def(run.settings.text("Edit_qj3"), 1);
      if (cy < b) {
        run.context.line_index = static_cast<int32_t>(i);
        lines[i] = run.C(std::move(lines[i]));
      }
    }
    // Both markers are counted on the line as C left it; an empty marker is never found.
    const std::string x = run.settings.text("Edit_qj2");
    const std::string y = run.settings.text("Edit_qj4");
    if (contains(lines[i], x, true, run.page())) ++cx;
    if (contains(lines[i], y, true, run.page())) ++cy;
  }
}

void line_number_scope(LineList& lines, ScopeRun& run) {
  const int n = run.settings.position("UpDown_line1");
  if (n >= 1 && static_cast<size_t>(n) <= lines.size()) {
    run.context.line_index = n - 1;
    lines[n - 1] = run.C(std::move(lines[n - 1]));
  }
}

void line_range_scope(LineList& lines, ScopeRun& run) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const int m1 = run.settings.position("UpDown_line_m1");
    const int m2 = run.settings.position("UpDown_line_m2");
    const ll k = static_cast<ll>(i) + 1;
    if (m1 <= k && k <= m2) {
      run.context.line_index = static_cast<int32_t>(i);
      lines[i] = run.C(std::move(lines[i]));
    }
  }
}

void run_scope(LineList& lines, ScopeRun& run) {
  using namespace scope_mode;
  const int mode = run.settings.mode();
  switch (mode) {
    case kMarkerLines:
      return marker_lines_scope(lines, run);
    case kLineNumber:
      return line_number_scope(lines, run);
    case kLineRange:
      return line_range_scope(lines, run);
    default:
      break;
  }
  std::string (*fn)(const std::string&, ScopeRun&) = nullptr;
  switch (mode) {
    case kWhole:
      // The whole line needs no cutting: hand it over without copying.
      for (size_t p = 0; p < lines.size(); ++p) {
        run.context.line_index = static_cast<int32_t>(p);
        if (!run.chain.empty()) lines[p] = run.C(std::move(lines[p]));
      }
      return;
    case kFirstN:
      fn = first_chars_scope;
      break;
    case kBeforeNth:
      fn = before_nth_scope;
      break;
    case kBetween:
      fn = between_nth_scope;
      break;
    case kContaining:
      fn = containing_scope;
      break;
    case kNotContaining:
      fn = not_containing_scope;
      break;
    case kLastN:
      fn = last_chars_scope;
      break;
    case kLength:
      fn = length_scope;
      break;
    case kEnclosed:
      fn = enclosed_scope;
      break;
    case kEveryN:
      fn = every_n_scope;
      break;
    case kAfterLast:
      fn = after_last_scope;
      break;
    case kAfterFirst:
      fn = after_first_scope;
      break;
    default:
      return;  // no mode selected: the lines stay as they are
  }
  const size_t n = lines.size();  // fixed for the loop
  for (size_t p = 0; p < n; ++p) {
    run.context.line_index = static_cast<int32_t>(p);
    lines[p] = fn(lines[p], run);
  }
}

}  // namespace lq

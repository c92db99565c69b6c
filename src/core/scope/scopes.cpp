#include "core/scope/scopes.h"

#include "core/batch/run_host.h"
#include "core/textsvc/str_helpers.h"

namespace lq {
namespace {

using ll = long long;

ll len(const std::string& s) {
  return static_cast<ll>(s.size());
}

// The conversion that aborts the run on a bad text, after trimming.
int trimmed_int(const ScopeRun& run, std::string_view name) {
  return str_to_int1(trim(run.settings.text(name)));
}

bool contains(const ScopeRun& run, const std::string& line, const std::string& x) {
  if (x.empty()) return false;
  return run.case_sensitive ? pos(x, line) > 0 : pos_text(x, line) > 0;
}

// line with the bytes after position `keep` selected: sub(line, 1, keep) + C(rest).
std::string select_tail(const std::string& line, ll keep, const ScopeRun& run) {
  return sub(line, 1, keep) + run.C(sub(line, keep + 1, len(line)));
}

}  // namespace

std::string whole_line_scope1(const std::string& line, ScopeRun& run) {
  return run.C(line);
}

std::string first_chars_scope1(const std::string& line, ScopeRun& run) {
  const ll n = trimmed_int(run, "Edit_fw_qj1");
  // n <= 0 selects nothing: C("") goes in front of the unchanged line.
  return run.C(sub(line, 1, n)) + sub(line, n + 1, len(line));
}

std::string before_nth_scope1(const std::string& line, ScopeRun& run) {
  // Not trimmed: trailing blanks make the count invalid.
  const int n = str_to_int1(run.settings.text("Edit_fw_qz1"));
  const int p = nth_pos1(line, run.settings.text("Edit_fw_qz2"), n);
  if (p > 0) return run.C(sub(line, 1, p - 1)) + sub(line, p, len(line));
  if (run.settings.checked("CheckBox_fw_qz3")) return run.C(line);
  return line;
}

std::string containing_scope1(const std::string& line, ScopeRun& run) {
  return contains(run, line, run.settings.text("Edit_hy1")) ? run.C(line) : line;
}

std::string not_containing_scope1(const std::string& line, ScopeRun& run) {
  return contains(run, line, run.settings.text("edit_bh1")) ? line : run.C(line);
}

std::string between_nth_scope1(const std::string& line, ScopeRun& run) {
  const int a = str_to_int_def1(run.settings.text("Edit_qjhj1"), 0);
  const int c = str_to_int_def1(run.settings.text("Edit_qjhj3"), 0);
  const ll b = nth_pos1(line, run.settings.text("Edit_qjhj2"), a);
  const ll e = nth_pos1(line, run.settings.text("Edit_qjhj4"), c);
  // Without the c-th Y the selection runs to the end of the line, as it starts at the
  // beginning without the a-th X. A c-th Y at or before b leaves an empty selection right
  // after b, so no byte is ever repeated or dropped.
  if (e == 0) return select_tail(line, b, run);
  const ll end = e > b ? e : b + 1;
  return sub(line, 1, b) + run.C(sub(line, b + 1, end - b - 1)) + sub(line, end, len(line));
}

std::string last_chars_scope1(const std::string& line, ScopeRun& run) {
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
  return select_tail(line, len(line) - n, run);
}

std::string length_scope1(const std::string& line, ScopeRun& run) {
  const ll n = trimmed_int(run, "Edit_fw_len1");
  return len(line) == n ? run.C(line) : line;
}

std::string enclosed_scope1(const std::string& line, ScopeRun& run) {
  const std::string b = run.settings.text("Edit_fw_b_sp1");
  const std::string e = run.settings.text("Edit_fw_e_sp1");
  LineList pieces;
  str1::split_marked1(line, pieces, b, e);
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

std::string every_n_scope1(const std::string& line, ScopeRun& run) {
  const int n = trimmed_int(run, "Edit_fw_mg1");
  // Below 1, and at 1 before a double-byte character, a piece is one whole character.
  LineList pieces;
  split_by_len1(line, pieces, n);
  std::string out;
  out.reserve(line.size() + 16);
  for (auto& piece : pieces) out += run.C(std::move(piece));
  return out;
}

std::string after_last_scope1(const std::string& line, ScopeRun& run) {
  const std::string d = run.settings.text("edit_fw_sp_r1");
  const ll q = str1::last_pos1(d, line);
  if (q == 0) return line;
  return select_tail(line, q + len(d) - 1, run);
}

std::string after_first_scope1(const std::string& line, ScopeRun& run) {
  const std::string d = run.settings.text("Edit_fw_sp_l1");
  const ll q = pos(d, line);
  if (q == 0) return line;
  return select_tail(line, q + len(d) - 1, run);
}

void marker_lines_scope1(LineList& lines, ScopeRun& run) {
  int cx = 0, cy = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int a = str_to_int_def1(run.settings.text("Edit_qj1"), 1);
    if (cx >= a) {
      const int b = str_to_int_def1(run.settings.text("Edit_qj3"), 1);
      if (cy < b) {
        run.context.line_index = static_cast<int32_t>(i);
        lines[i] = run.C(std::move(lines[i]));
      }
    }
    // Both markers are counted on the line as C left it; an empty marker is never found.
    const std::string x = run.settings.text("Edit_qj2");
    const std::string y = run.settings.text("Edit_qj4");
    if (!x.empty() && pos(x, lines[i]) > 0) ++cx;
    if (!y.empty() && pos(y, lines[i]) > 0) ++cy;
  }
}

void line_number_scope1(LineList& lines, ScopeRun& run) {
  const int n = run.settings.position("UpDown_line1");
  if (n >= 1 && static_cast<size_t>(n) <= lines.size()) {
    run.context.line_index = n - 1;
    lines[n - 1] = run.C(std::move(lines[n - 1]));
  }
}

void line_range_scope1(LineList& lines, ScopeRun& run) {
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

void run_scope1(LineList& lines, ScopeRun& run) {
  using namespace scope_mode;
  const int mode = run.settings.mode();
  switch (mode) {
    case kMarkerLines:
      return marker_lines_scope1(lines, run);
    case kLineNumber:
      return line_number_scope1(lines, run);
    case kLineRange:
      return line_range_scope1(lines, run);
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
      fn = first_chars_scope1;
      break;
    case kBeforeNth:
      fn = before_nth_scope1;
      break;
    case kBetween:
      fn = between_nth_scope1;
      break;
    case kContaining:
      fn = containing_scope1;
      break;
    case kNotContaining:
      fn = not_containing_scope1;
      break;
    case kLastN:
      fn = last_chars_scope1;
      break;
    case kLength:
      fn = length_scope1;
      break;
    case kEnclosed:
      fn = enclosed_scope1;
      break;
    case kEveryN:
      fn = every_n_scope1;
      break;
    case kAfterLast:
      fn = after_last_scope1;
      break;
    case kAfterFirst:
      fn = after_first_scope1;
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

#include "core/batch/text_diff.h"

#include <algorithm>
#include <unordered_map>

#include "core/encoding/code_page.h"
#include "core/encoding/text_detect.h"

namespace lq {
namespace {

std::vector<std::string_view> split_lines(std::string_view t) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < t.size()) {
    size_t lf = t.find('\n', start);
    const size_t end = lf == std::string_view::npos ? t.size() : lf;
    std::string_view line = t.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

enum Op : char { kKeep, kDel, kIns };

// Myers' shortest edit script over line numbers; false when it needs more than max_d
// edits (the caller then takes the coarse answer).
bool myers(const std::vector<int>& a, const std::vector<int>& b, int max_d, std::vector<Op>& out) {
  const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
  const int top = n + m;
  std::vector<int> v(2 * static_cast<size_t>(top) + 3, 0);
  auto V = [&](int k) -> int& { return v[static_cast<size_t>(k + top + 1)]; };
  std::vector<std::vector<int>> trace;  // V after step d, for k in [-d-1, d+1]
  int found = -1;
  for (int d = 0; d <= std::min(top, max_d) && found < 0; ++d) {
    for (int k = -d; k <= d; k += 2) {
      int x = (k == -d || (k != d && V(k - 1) < V(k + 1))) ? V(k + 1) : V(k - 1) + 1;
      int y = x - k;
      while (x < n && y < m && a[static_cast<size_t>(x)] == b[static_cast<size_t>(y)]) ++x, ++y;
      V(k) = x;
      if (x >= n && y >= m) found = d;
    }
    std::vector<int> snap(2 * static_cast<size_t>(d) + 3);
    for (int k = -d - 1; k <= d + 1; ++k) snap[static_cast<size_t>(k + d + 1)] = V(k);
    trace.push_back(std::move(snap));
  }
  if (found < 0) return false;
  std::vector<Op> rev;
  int x = n, y = m;
  for (int d = found; d > 0; --d) {
    const std::vector<int>& pv = trace[static_cast<size_t>(d - 1)];
    auto P = [&](int k) { return pv[static_cast<size_t>(k + d)]; };  // step d-1's offset is d
    const int k = x - y;
    const int prev_k = (k == -d || (k != d && P(k - 1) < P(k + 1))) ? k + 1 : k - 1;
    const int prev_x = P(prev_k), prev_y = prev_x - prev_k;
    while (x > prev_x && y > prev_y) {
      rev.push_back(kKeep);
      --x, --y;
    }
    rev.push_back(x == prev_x ? kIns : kDel);
    x = prev_x;
    y = prev_y;
  }
  while (x > 0 && y > 0) {
    rev.push_back(kKeep);
    --x, --y;
  }
  out.insert(out.end(), rev.rbegin(), rev.rend());
  return true;
}

// The edit script of a against b, appended to out. Lines that occur exactly once on each
// side and in the same order (the longest such chain) are kept as anchors; only the gaps
// between them go through Myers, each with its own bound, so a long file with changes
// all over it is compared in many small pieces rather than given up on as a whole. A gap
// that needs too many edits is taken coarsely: removed, then added.
void diff_ids(const std::vector<int>& a, const std::vector<int>& b, std::vector<Op>& out) {
  constexpr int kMaxEdits = 2000;
  std::unordered_map<int, std::pair<int, int>> seen;  // id -> (count in a, index in a)
  for (size_t i = 0; i < a.size(); ++i) {
    auto& e = seen[a[i]];
    ++e.first;
    e.second = static_cast<int>(i);
  }
  std::unordered_map<int, int> in_b;  // id -> count in b
  for (int id : b) ++in_b[id];
  // (index in a, index in b) of lines unique on both sides, in b's order.
  std::vector<std::pair<int, int>> unique;
  for (size_t j = 0; j < b.size(); ++j) {
    auto it = seen.find(b[j]);
    if (it != seen.end() && it->second.first == 1 && in_b[b[j]] == 1)
      unique.emplace_back(it->second.second, static_cast<int>(j));
  }
  // Longest chain increasing in a as well (patience sorting, O(k log k)).
  std::vector<int> tails, prev(unique.size(), -1);
  for (size_t k = 0; k < unique.size(); ++k) {
    auto pos = std::lower_bound(tails.begin(), tails.end(), unique[k].first, [&](int t, int x) {
      return unique[static_cast<size_t>(t)].first < x;
    });
    if (pos != tails.begin()) prev[k] = *(pos - 1);
    if (pos == tails.end())
      tails.push_back(static_cast<int>(k));
    else
      *pos = static_cast<int>(k);
  }
  std::vector<std::pair<int, int>> anchors;
  for (int k = tails.empty() ? -1 : tails.back(); k >= 0; k = prev[static_cast<size_t>(k)])
    anchors.push_back(unique[static_cast<size_t>(k)]);
  std::reverse(anchors.begin(), anchors.end());
  anchors.emplace_back(static_cast<int>(a.size()), static_cast<int>(b.size()));  // the end

  int i = 0, j = 0;
  for (const auto& [ai, bj] : anchors) {
    const std::vector<int> ga(a.begin() + i, a.begin() + ai), gb(b.begin() + j, b.begin() + bj);
    if (!myers(ga, gb, kMaxEdits, out)) {
      out.insert(out.end(), ga.size(), kDel);
      out.insert(out.end(), gb.size(), kIns);
    }
    if (ai < static_cast<int>(a.size())) out.push_back(kKeep);
    i = ai + 1;
    j = bj + 1;
  }
}

}  // namespace

TextDiff diff_text(std::string_view before, std::string_view after, int context) {
  TextDiff diff;
  const std::vector<std::string_view> a = split_lines(before), b = split_lines(after);
  // Common head and tail first: most edits of a batch touch few lines of a long file.
  size_t head = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  size_t tail = 0;
  while (tail < a.size() - head && tail < b.size() - head &&
         a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
    ++tail;
  std::unordered_map<std::string_view, int> ids;
  auto number = [&](const std::vector<std::string_view>& lines) {
    std::vector<int> out;
    for (size_t k = head; k < lines.size() - tail; ++k)
      out.push_back(ids.try_emplace(lines[k], static_cast<int>(ids.size())).first->second);
    return out;
  };
  const std::vector<int> na = number(a), nb = number(b);
  std::vector<Op> ops(head, kKeep);
  diff_ids(na, nb, ops);
  ops.insert(ops.end(), tail, kKeep);

  // Changed lines, and where each operation stands in the two texts.
  struct At {
    Op op;
    int i, j;  // 0-based index in a and b before this operation
  };
  std::vector<At> at;
  at.reserve(ops.size());
  int i = 0, j = 0, dels = 0, inss = 0;
  for (Op op : ops) {
    at.push_back({op, i, j});
    if (op == kKeep) {
      diff.changed_lines += std::max(dels, inss);
      dels = inss = 0;
      ++i, ++j;
    } else if (op == kDel) {
      ++dels, ++i;
    } else {
      ++inss, ++j;
    }
  }
  diff.changed_lines += std::max(dels, inss);
  diff.line_ends_only = diff.changed_lines == 0 && before != after;

  // Hunks: changes with up to `context` kept lines around them; changes closer than
  // twice that share a hunk.
  const size_t count = at.size();
  size_t k = 0;
  while (k < count) {
    while (k < count && at[k].op == kKeep) ++k;
    if (k == count) break;
    size_t first = k >= static_cast<size_t>(context) ? k - static_cast<size_t>(context) : 0;
    size_t end = k;  // one past the last change of the hunk
    for (size_t s = k; s < count; ++s) {
      if (at[s].op != kKeep) {
        end = s + 1;
      } else if (s - end >= static_cast<size_t>(2 * context)) {
        break;
      }
    }
    const size_t last = std::min(count, end + static_cast<size_t>(context));
    DiffHunk h;
    h.old_start = at[first].i + 1;
    h.new_start = at[first].j + 1;
    for (size_t s = first; s < last; ++s) {
      const At& e = at[s];
      if (e.op == kKeep) {
        h.lines.push_back({' ', a[static_cast<size_t>(e.i)]});
        ++h.old_count, ++h.new_count;
      } else if (e.op == kDel) {
        h.lines.push_back({'-', a[static_cast<size_t>(e.i)]});
        ++h.old_count;
      } else {
        h.lines.push_back({'+', b[static_cast<size_t>(e.j)]});
        ++h.new_count;
      }
    }
    // As in unified diffs, an empty side starts one line earlier.
    if (h.old_count == 0) --h.old_start;
    if (h.new_count == 0) --h.new_start;
    diff.hunks.push_back(std::move(h));
    k = last;
  }
  return diff;
}

std::string unified_diff(const TextDiff& diff, std::string_view old_label,
                         std::string_view new_label,
                         const std::function<std::string(std::string_view)>& show) {
  std::string out;
  out += "--- " + std::string(old_label) + "\n";
  out += "+++ " + std::string(new_label) + "\n";
  auto range = [](int start, int n) {
    return n == 1 ? std::to_string(start) : std::to_string(start) + "," + std::to_string(n);
  };
  for (const DiffHunk& h : diff.hunks) {
    out +=
        "@@ -" + range(h.old_start, h.old_count) + " +" + range(h.new_start, h.new_count) + " @@\n";
    for (const DiffLine& l : h.lines) {
      out += l.kind;
      out += show(l.text);
      out += '\n';
    }
  }
  return out;
}

std::function<std::string(std::string_view)> diff_line_decoder(std::string_view before,
                                                               std::string_view after) {
  const CodePage* a = detect_code_page(before, EncodingChoice::Auto).page;
  const CodePage* b = detect_code_page(after, EncodingChoice::Auto).page;
  return [a, b](std::string_view line) {
    if (a == b) return a->to_utf8(line);
    const CodePage& u8 = utf8_code_page();
    std::string out, missing;
    return u8.from_utf8_exact(line, out, missing) ? out : (a == &u8 ? b : a)->to_utf8(line);
  };
}

}  // namespace lq

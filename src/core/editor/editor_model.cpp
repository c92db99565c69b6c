#include "core/editor/editor_model.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <unordered_set>
#include <utility>

#include "core/editor/dbcs.h"
#include "core/editor/wrap.h"
#include "core/encoding/text_detect.h"
#include "core/textsvc/file_services.h"

namespace lq {
namespace {

bool has_marker(std::string_view row) {
  return row.size() >= 2 &&
         (row.substr(0, 2) == kFirstRowMarker || row.substr(0, 2) == kNextRowMarker);
}

// Bytes of s from 1-based column col on, count of them at most; empty past the end.
std::string_view copy_cols(std::string_view s, int col, size_t count = std::string_view::npos) {
  if (col < 1) col = 1;
  size_t i = static_cast<size_t>(col - 1);
  if (i >= s.size()) return {};
  return s.substr(i, count);
}

size_t len_before(int col) {
  return col > 1 ? static_cast<size_t>(col - 1) : 0;
}

// Word delimiters of select_word; every other byte, high bytes included, belongs to words.
bool is_word_delimiter(unsigned char b) {
  switch (b) {
    case 0:
    case 9:
    case 32:
    case '!':
    case '"':
    case '(':
    case ')':
    case '+':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case ';':
    case '<':
    case '=':
    case '>':
    case '?':
    case '[':
    case '\\':
    case ']':
    case '`':
    case '{':
    case '|':
    case '}':
    case '~':
      return true;
    default:
      return false;
  }
}

int to_int(size_t n) {
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

// The line ends of text as written by join_lines: its lines hold no CR or LF of their own.
std::vector<LineEnd> ends_of(std::string_view text) {
  std::vector<LineEnd> ends;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    if (!lf) {
      ends.push_back(LineEnd::None);
      break;
    }
    ends.push_back(lf > p && lf[-1] == '\r' ? LineEnd::CrLf : LineEnd::Lf);
    p = lf + 1;
  }
  return ends;
}

// Adds each of pieces to out unless seen already.
void add_once(std::vector<std::string_view> pieces, std::unordered_set<std::string>& seen,
              std::vector<std::string>& out) {
  for (std::string_view c : pieces)
    if (seen.emplace(c).second) out.emplace_back(c);
}

}  // namespace

// ---- Document format ----

void EditorModel::set_page(const CodePage& page) {
  page_ = &page;
  format_changed();
}

std::string EditorModel::format_text() const {
  std::string text = page_->name();
  if (layout_.bom) text += " BOM";
  // The end join_lines gives new lines: the first line's, CR LF when it has none.
  const bool lf = !layout_.ends.empty() && layout_.ends.front() == LineEnd::Lf;
  text += lf ? " \u00B7 LF" : " \u00B7 CR LF";
  return text;
}

PageConversion EditorModel::convert_page(const CodePage& target) {
  PageConversion found;
  if (&target == page_) return found;
  const RowStore& lines = auto_line1_ ? logical_lines() : rows_;
  // Every line is checked before anything changes.
  RowStore::Builder b;
  std::unordered_set<std::string> seen_bad, seen_missing;
  std::string utf8, out, missing;
  lines.for_each([&](std::string_view line) {
    utf8 = page_->to_utf8(line);
    if (page_->from_utf8(utf8) != line) {
      for (std::string_view c : page_->split_chars(line))
        if (page_->from_utf8(page_->to_utf8(c)) != c && seen_bad.emplace(c).second)
          found.undecodable.emplace_back(c);
      return;
    }
    if (!target.from_utf8_exact(utf8, out, missing)) {
      add_once(utf8_code_page().split_chars(missing), seen_missing, found.missing);
      return;
    }
    if (found.ok()) b.add(out);
  });
  if (!found.ok()) return found;

  record_undo();
  // Where a position lands in the converted row: the bytes before it converted, and what
  // lies beyond the row's end as it was.
  auto moved = [&](std::string_view old_row, std::string_view new_row, int col) {
    const size_t at = len_before(col);
    if (at >= old_row.size()) return to_int(new_row.size() + (at - old_row.size())) + 1;
    const int start = char_boundary(col, old_row, false, *page_);
    return to_int(target.from_utf8(page_->to_utf8(old_row.substr(0, len_before(start)))).size()) +
           1;
  };
  RowStore converted = b.finish();
  if (auto_line1_) {
    logical_ = std::move(converted);
    logical_stale_ = false;
    wrap_valid_ = false;
    page_ = &target;
    rows_from_logical();
    // The rows are cut anew: the caret goes to the start of its row.
    int line = std::min(current_index(), std::max(0, row_count() - 1));
    sel_anchor1_ = sel_end1_ = EditPos{1, line};
    move_caret_to(1, line);
  } else {
    RowStore old = std::move(rows_);
    assign_rows(std::move(converted));
    auto move_pos = [&](EditPos p) {
      if (p.line < 0 || p.line >= row_count()) return p;
      const auto i = static_cast<size_t>(p.line);
      return EditPos{moved(old[i], rows_[i], p.col), p.line};
    };
    sel_anchor1_ = move_pos(sel_anchor1_);
    sel_end1_ = move_pos(sel_end1_);
    const EditPos caret = move_pos(EditPos{caret_abs_col(), current_index()});
    const EditPos view = move_pos(EditPos{h_offset1_ + 1, current_index()});
    page_ = &target;
    set_h_offset(view.col - 1);
    set_caret_col(caret.col - h_offset1_);
  }
  if (&target != &utf8_code_page()) layout_.bom = false;
  format_changed();
  update_scrollbars();
  repaint();
  notify_change();
  return found;
}

std::string EditorModel::in_own_page(const ClipboardText& clip) const {
  const CodePage& from = clip.page ? *clip.page : code_page();
  if (&from == page_) return clip.bytes;
  return page_->from_utf8(from.to_utf8(clip.bytes));
}

// ---- Row changes ----

void EditorModel::edit_rows(size_t first, size_t n, std::span<const std::string_view> rows) {
  if (first > rows_.size()) first = rows_.size();
  n = std::min(n, rows_.size() - first);
  rows_.replace(first, n, rows);
  rows_edited(first, n, rows.size());
}

void EditorModel::rows_edited(size_t first, size_t n, size_t m) {
  if (!auto_line1_) return;
  logical_stale_ = true;
  // The row before the change belongs to the range: its logical line may have lost rows.
  size_t lo = first > 0 ? first - 1 : 0;
  size_t hi = first + m;
  if (dirty_) {
    size_t old_hi = dirty_hi_ <= first       ? dirty_hi_
                    : dirty_hi_ >= first + n ? dirty_hi_ - n + m
                                             : hi;
    lo = std::min(lo, dirty_lo_);
    hi = std::max(hi, old_hi);
  }
  dirty_ = true;
  dirty_lo_ = lo;
  dirty_hi_ = hi;
}

void EditorModel::rows_replaced() {
  if (auto_line1_) logical_stale_ = true;
  wrap_valid_ = false;
  dirty_ = false;
}

void EditorModel::assign_rows(RowStore rows) {
  rows_ = std::move(rows);
  rows_replaced();
}

void EditorModel::set_row(int i, std::string_view text) {
  edit_rows(static_cast<size_t>(i), 1, {&text, 1});
}

void EditorModel::resplit_rows() {
  if (!rows_.has_breaks()) return;
  // A row split off in wrap mode starts a logical line of its own; giving it the first-row
  // marker keeps text of its own that happens to begin with "1:" from being read as one.
  RowStore::BreakSplit cut = rows_.split_breaks(auto_line1_ ? kFirstRowMarker : std::string_view());
  if (cut.first != RowStore::npos) {
    size_t n = cut.last - cut.first + 1;
    rows_edited(cut.first, n, n + cut.added);
  }
}

void EditorModel::sync_logical() {
  if (auto_line1_ && logical_stale_) logical_from_rows();
}

const RowStore& EditorModel::logical_lines() {
  sync_logical();
  return logical_;
}

void EditorModel::rewrap(int w) {
  wrap_width_ = w;
  if (auto_line1_) rows_from_logical();
}

// ---- Caret and scrolling ----

void EditorModel::set_caret_col(int col) {
  caret_col1_ = col < 1 ? 1 : col;
  if (client_) client_->caret_moved();
}

void EditorModel::set_caret_row(int row) {
  caret_row1_ = row;
  if (client_) client_->caret_moved();
}

void EditorModel::set_top_line(int n) {
  top_line1_ = n < 0 ? 0 : n;
}

void EditorModel::set_h_offset(int n) {
  h_offset1_ = (n < 0 || auto_line1_) ? 0 : n;
}

void EditorModel::fix_caret_dbcs(bool forward) {
  const int col = caret_abs_col();
  const std::string_view row = row_view(current_index());
  if (splits_char(col, row, *page_))
    set_caret_col(char_boundary(col, row, forward, *page_) - h_offset1_);
}

void EditorModel::move_caret_to(int col, int line) {
  if (line < top_line1_) set_top_line(line);
  set_caret_row(line - top_line1_);
  if (col - h_offset1_ < 1) set_h_offset(col - 1);
  set_caret_col(col - h_offset1_);
}

// ---- Rows ----

std::string_view EditorModel::row_view(int i) const {
  if (i < 0 || i >= row_count()) return {};
  std::string_view r = rows_[static_cast<size_t>(i)];
  if (auto_line1_ && has_marker(r)) r.remove_prefix(2);
  return r;
}

std::string EditorModel::get_row(int i) const {
  return std::string(row_view(i));
}

void EditorModel::put_row(int i, std::string_view text) {
  if (i < 0 || i >= row_count()) return;
  std::string_view old = rows_[static_cast<size_t>(i)];
  if (auto_line1_ && has_marker(old)) {
    std::string r(old.substr(0, 2));
    r.append(text);
    set_row(i, r);
  } else {
    set_row(i, text);
  }
}

std::string EditorModel::current_line() const {
  return get_row(current_index());
}

void EditorModel::set_current_line(std::string_view text) {
  int k = current_index();
  if (k >= 0) {
    if (k >= row_count()) {
      // Exactly the missing rows, the last of them holding the text.
      std::vector<std::string_view> add(static_cast<size_t>(k - row_count()) + 1);
      add.back() = text;
      edit_rows(rows_.size(), 0, add);
    } else {
      put_row(k, text);
    }
  }
  update_scrollbars();
}

// ---- Whole text, files ----

std::string EditorModel::get_all_text() {
  if (!auto_line1_) return rows_.joined();
  sync_logical();
  std::string s = logical_.joined();
  if (!s.empty()) s.resize(s.size() - 2);
  return s;
}

void EditorModel::set_all_text(std::string_view text) {
  if (!auto_line1_) {
    assign_rows(RowStore::from_text(text));
    return;
  }
  logical_ = RowStore::from_text(text);
  logical_stale_ = false;
  wrap_valid_ = false;
  rows_from_logical();
}

bool EditorModel::load_file(const std::string& path) {
  try {
    DetectedText found;
    std::vector<LineEnd> ends;
    RowStore read = RowStore::read_file(path, &ends, [&](std::string_view bytes) {
      found = detect_code_page(bytes, EncodingChoice::Auto);
      return found.bom_len;
    });
    const CodePage* old_page = std::exchange(page_, found.page ? found.page : &code_page());
    try {
      if (auto_line1_) {
        logical_ = std::move(read);
        logical_stale_ = false;
        wrap_valid_ = false;
        rows_from_logical();
      } else {
        assign_rows(std::move(read));
      }
    } catch (...) {
      page_ = old_page;
      throw;
    }
    layout_.bom = found.bom_len > 0;
    layout_.ends = std::move(ends);
  } catch (...) {
    return false;
  }
  update_scrollbars();
  top_line1_ = 0;
  h_offset1_ = 0;
  format_changed();
  repaint();
  return true;
}

void EditorModel::save_file(const std::string& path) {
  if (auto_line1_) sync_logical();
  const std::string bytes =
      join_lines((auto_line1_ ? logical_ : rows_).to_lines(), layout_, EolPolicy::Keep);
  write_file_atomically(path, bytes);
  std::vector<LineEnd> written =
      ends_of(std::string_view(bytes).substr(layout_.bom ? kUtf8Bom.size() : 0));
  if (written != layout_.ends) {
    layout_.ends = std::move(written);
    format_changed();
  }
}

// ---- Selection ----

void EditorModel::normalize_selection() {
  if (rows_.empty()) {
    norm_start1_ = norm_end1_ = EditPos{1, 0};
    return;
  }
  EditPos s = sel_anchor1_, e = sel_end1_;
  if (e.line < s.line) {
    std::swap(s, e);
  } else if (e.line == s.line && e.col < s.col) {
    std::swap(s.col, e.col);
  }
  int last = row_count() - 1;
  if (e.line > last) e = EditPos{to_int(row_view(last).size()) + 1, last};
  norm_start1_ = s;
  norm_end1_ = e;
}

void EditorModel::collapse_selection() {
  EditPos p{caret_abs_col(), current_index()};
  sel_anchor1_ = sel_end1_ = norm_start1_ = norm_end1_ = p;
  repaint();
}

void EditorModel::extend_selection() {
  sel_end1_ = EditPos{caret_abs_col(), current_index()};
  repaint();
}

std::string EditorModel::selected_text() {
  normalize_selection();
  EditPos s = norm_start1_, e = norm_end1_;
  if (rows_.empty() || s.line >= row_count()) return {};
  if (s.line == e.line) {
    int n = e.col - s.col;
    return n > 0 ? std::string(copy_cols(row_view(s.line), s.col, static_cast<size_t>(n)))
                 : std::string();
  }
  if (e.line < s.line) return {};
  std::string out(copy_cols(row_view(s.line), s.col));
  for (int i = s.line + 1; i < e.line; ++i) {
    out.append("\r\n");
    out.append(row_view(i));
  }
  out.append("\r\n");
  out.append(row_view(e.line).substr(0, std::min(len_before(e.col), row_view(e.line).size())));
  return out;
}

void EditorModel::delete_selection() {
  notify_change();
  normalize_selection();
  EditPos s = norm_start1_, e = norm_end1_;
  set_caret_col(s.col - h_offset1_);
  set_caret_row(s.line - top_line1_);
  if (!(s == e) && e.line >= s.line && s.line >= 0 && s.line < row_count()) {
    std::string_view head = row_view(s.line);
    std::string text(head.substr(0, std::min(len_before(s.col), head.size())));
    text.append(copy_cols(row_view(e.line), e.col));
    // The start row keeps its own wrap marker: taking the end row's would join the logical
    // line to the one before it.
    if (e.line > s.line)
      edit_rows(static_cast<size_t>(s.line) + 1, static_cast<size_t>(e.line - s.line), {});
    put_row(s.line, text);
  }
  collapse_selection();
}

void EditorModel::select_all() {
  if (rows_.empty()) return;
  int last = row_count() - 1;
  sel_anchor1_ = EditPos{1, 0};
  sel_end1_ = EditPos{to_int(row_view(last).size()) + 1, last};
  repaint();
}

void EditorModel::select_word() {
  std::string line = current_line();
  if (line.empty()) return;
  collapse_selection();
  int len = to_int(line.size());
  int p = std::min(caret_abs_col(), len);
  auto byte = [&](int col) {
    return static_cast<unsigned char>(line[static_cast<size_t>(col - 1)]);
  };
  int i = p;
  while (i >= 1 && !is_word_delimiter(byte(i))) --i;
  int j = p;
  while (j <= len && !is_word_delimiter(byte(j))) ++j;
  sel_anchor1_.col = i + 1;
  sel_end1_.col = j;
  set_caret_col(j - h_offset1_);
  if (client_) client_->word_selected();
  repaint();
}

// ---- Clipboard ----

void EditorModel::copy_selection() {
  try {
    std::string text = selected_text();
    if (clipboard_) clipboard_->set_text(text, *page_);
  } catch (...) {
  }
}

void EditorModel::paste_clipboard() {
  record_undo();
  notify_change();
  std::string clip;
  try {
    if (clipboard_) clip = in_own_page(clipboard_->text());
  } catch (...) {
    return;
  }
  if (clip.empty()) return;
  std::string line = current_line();
  line.insert(std::min(len_before(caret_abs_col()), line.size()), clip);
  set_current_line(line);
  resplit_rows();
  if (auto_line1_ && !(client_ && client_->rewrap_later())) rows_from_logical();
  repaint();
}

void EditorModel::paste_over() {
  if (has_selection()) {
    record_undo();
    delete_selection();
  }
  paste_clipboard();
}

void EditorModel::insert_text(std::string_view text) {
  record_undo();
  std::string line = current_line();
  size_t at = len_before(caret_abs_col());
  if (line.size() < at) line.append(at - line.size(), ' ');
  line.insert(at, text);
  set_current_line(line);
  repaint();
  if (client_) client_->take_focus();
}

// ---- History ----

Tqoz_edit_undo_item EditorModel::state_now() const {
  Tqoz_edit_undo_item r;
  r.anchor = sel_anchor1_;
  r.end = sel_end1_;
  r.rows = rows_;
  r.page = page_;
  r.bom = layout_.bom;
  return r;
}

void EditorModel::record_undo() {
  for (int attempt = 0;; ++attempt) {
    try {
      Tqoz_edit_undo_item r = state_now();
      // The text itself is the newest record's next state until the text changes; what it
      // will hold apart from the text is charged when the next record comes.
      r.cost = r.rows.bytes_apart_from(rows_);
      // The previous record is charged now that its next state, this one, is known.
      if (!undo_list1_.empty())
        undo_list1_.set_newest_cost(undo_list1_.newest().rows.bytes_apart_from(rows_));
      undo_list1_.append(std::move(r));
      enforce_limits();
      return;
    } catch (...) {
      // Memory is short: the older half of the history goes, then one more try.
      const size_t n = undo_list1_.size() + redo_list1_.size();
      if (attempt == 0 && n > 0) {
        for (size_t k = redo_list1_.size(); k > 0; --k) redo_list1_.drop_oldest();
        for (size_t k = undo_list1_.size() / 2 + 1; k > 0 && !undo_list1_.empty(); --k) {
          undo_list1_.drop_oldest();
          undo_dropped_ = true;
        }
        continue;
      }
      history_trouble(HistoryTrouble::NotRecorded);
      return;
    }
  }
}

bool EditorModel::history_step(Tqoz_edit_undo_list& from, Tqoz_edit_undo_list& to) {
  if (from.empty()) return true;
  try {
    // Everything that may fail comes first, while the text and both lists are untouched.
    // The record held the rows joined into one text; reading it back splits that text, so
    // line breaks that were inside a row come back as row breaks.
    RowStore restored = from.newest().rows;
    if (restored.has_breaks())
      restored.split_breaks(auto_line1_ ? kFirstRowMarker : std::string_view());
    Tqoz_edit_undo_item back = state_now();
    back.cost = back.rows.bytes_apart_from(restored);
    to.append(std::move(back));

    Tqoz_edit_undo_item r = from.take_newest();
    sel_anchor1_ = r.anchor;
    sel_end1_ = r.end;
    rows_ = std::move(restored);
    rows_replaced();
    if (r.page && (r.page != page_ || r.bom != layout_.bom)) {
      page_ = r.page;
      layout_.bom = r.bom;
      format_changed();
    }
    enforce_limits();
    return true;
  } catch (...) {
    return false;
  }
}

void EditorModel::enforce_limits() noexcept {
  const size_t steps = std::max<size_t>(undo_limits_.steps, 1);
  while (undo_list1_.size() > steps) {
    undo_list1_.drop_oldest();
    undo_dropped_ = true;
  }
  while (redo_list1_.size() > steps) redo_list1_.drop_oldest();
  while (history_bytes() > undo_limits_.bytes) {
    if (undo_list1_.size() > 1) {
      undo_list1_.drop_oldest();
      undo_dropped_ = true;
    } else if (!redo_list1_.empty()) {
      redo_list1_.drop_oldest();
    } else {
      break;
    }
  }
}

void EditorModel::set_undo_limits(const UndoLimits& limits) {
  undo_limits_ = limits;
  enforce_limits();
}

void EditorModel::undo_step() {
  notify_change();
  if (undo_list1_.empty()) {
    if (undo_dropped_) history_trouble(HistoryTrouble::LimitReached);
    return;
  }
  if (!history_step(undo_list1_, redo_list1_)) history_trouble(HistoryTrouble::StepFailed);
}

void EditorModel::redo_step() {
  if (!history_step(redo_list1_, undo_list1_)) history_trouble(HistoryTrouble::StepFailed);
}

void EditorModel::notify_change() {
  if (client_) client_->OnChange(*this);
}

void EditorModel::clear_history() {
  undo_list1_.clear();
  redo_list1_.clear();
  undo_dropped_ = false;
}

// ---- Wrap ----

void EditorModel::set_wrap(bool on) {
  // Switching to the state already in force would drop a trailing empty line (on) or the
  // whole text (off); it changes nothing instead.
  if (on == auto_line1_) return;
  if (on) {
    // The same as splitting get_all_text, without building the text.
    RowStore lines = rows_;
    lines.split_breaks();
    auto_line1_ = true;
    if (client_) client_->scroll_bars_changed(true);
    logical_ = std::move(lines);
    logical_stale_ = false;
    wrap_valid_ = false;
    rows_from_logical();
    h_offset1_ = 0;
  } else {
    sync_logical();
    rows_ = std::move(logical_);
    logical_ = RowStore();
    logical_stale_ = false;
    auto_line1_ = false;
    rows_replaced();
    if (client_) client_->scroll_bars_changed(false);
  }
  repaint();
}

void EditorModel::rows_from_logical() {
  if (!auto_line1_) return;  // the logical lines are empty and ignored while wrap is off
  if (wrap_valid_ && wrapped_width_ == wrap_width_) {
    rewrap_changed();
    return;
  }
  sync_logical();
  RowStore::Builder b;
  int w = wrap_width_;
  logical_.for_each([&](std::string_view line) {
    for_each_wrapped_row(line, w, *page_, [&](std::string_view marker, std::string_view piece) {
      b.add(marker, piece);
    });
  });
  rows_ = b.finish();
  logical_stale_ = false;
  wrap_valid_ = true;
  wrapped_width_ = w;
  dirty_ = false;
}

void EditorModel::rewrap_changed() {
  if (!dirty_) return;
  dirty_ = false;
  auto continues = [](std::string_view r) {
    return r.size() >= 2 && r.substr(0, 2) == kNextRowMarker;
  };
  size_t lo = std::min(dirty_lo_, rows_.size()), hi = std::min(dirty_hi_, rows_.size());
  // Widen to whole logical lines: a logical line starts at every row that is not a
  // continuation row.
  while (lo > 0 && lo < rows_.size() && continues(rows_[lo])) --lo;
  while (hi < rows_.size() && continues(rows_[hi])) ++hi;
  if (lo >= hi) return;
  std::vector<std::string> wrapped;
  std::string line;
  bool open = false;
  auto wrap_line = [&] {
    for_each_wrapped_row(line, wrap_width_, *page_,
                         [&](std::string_view marker, std::string_view piece) {
                           std::string r(marker);
                           r.append(piece);
                           wrapped.push_back(std::move(r));
                         });
  };
  rows_.for_each(
      [&](std::string_view r) {
        bool next = continues(r);
        if (next && open) {
          line.append(r.substr(2));
          return;
        }
        if (open) wrap_line();
        line.assign(next || (r.size() >= 2 && r.substr(0, 2) == kFirstRowMarker) ? r.substr(2) : r);
        open = true;
      },
      lo, hi);
  if (open) wrap_line();
  std::vector<std::string_view> views(wrapped.begin(), wrapped.end());
  rows_.replace(lo, hi - lo, views);
  logical_stale_ = true;
}

void EditorModel::logical_from_rows() {
  RowStore::Builder b;
  std::string cur;
  bool open = false;
  rows_.for_each([&](std::string_view r) {
    bool next = r.size() >= 2 && r.substr(0, 2) == kNextRowMarker;
    if (next && open) {
      cur.append(r.substr(2));
      return;
    }
    if (open) b.add(cur);
    cur.assign(next || (r.size() >= 2 && r.substr(0, 2) == kFirstRowMarker) ? r.substr(2) : r);
    open = true;
  });
  if (open) b.add(cur);
  logical_ = b.finish();
  logical_stale_ = false;
}

// ---- Key actions ----

void EditorModel::delete_key() {
  record_undo();
  if (has_selection()) {
    delete_selection();
  } else {
    int k = current_index();
    std::string line = current_line();
    size_t p = static_cast<size_t>(caret_abs_col());
    bool changed = false;
    if (p > line.size()) {
      if (k >= 0 && k + 1 < row_count()) {
        line.append(row_view(k + 1));
        edit_rows(static_cast<size_t>(k) + 1, 1, {});
        changed = true;
      }
    } else {
      int end = char_boundary(static_cast<int>(p) + 1, line, true, *page_);
      line.erase(p - 1, static_cast<size_t>(end) - p);
      changed = true;
    }
    // With nothing to remove nothing is written, so a caret below the text adds no rows.
    if (changed) set_current_line(line);
  }
  repaint();
  notify_change();
}

void EditorModel::backspace_key() {
  record_undo();
  if (has_selection()) {
    delete_selection();
  } else {
    int k = current_index();
    int p = caret_abs_col();
    if (p == 1) {
      if (k >= 1) {
        std::string prev = get_row(k - 1);
        int col = to_int(prev.size()) + 1;
        if (k < row_count()) {
          prev.append(row_view(k));
          edit_rows(static_cast<size_t>(k), 1, {});
          put_row(k - 1, prev);
        }
        move_caret_to(col, k - 1);
      }
    } else {
      std::string line = current_line();
      if (static_cast<size_t>(p - 1) > line.size()) {
        // Nothing stands before the caret: it only moves left.
        move_caret_to(p - 1, k);
      } else {
        int from = char_boundary(p - 1, line, false, *page_);
        line.erase(static_cast<size_t>(from - 1), static_cast<size_t>(p - from));
        set_current_line(line);
        move_caret_to(from, k);
      }
    }
  }
  repaint();
  notify_change();
}

void EditorModel::enter_key() {
  record_undo();
  std::string line = current_line();
  line.insert(std::min(len_before(caret_abs_col()), line.size()), "\r\n");
  set_current_line(line);
  resplit_rows();
  set_caret_row(caret_row1_ + 1);
  set_caret_col(1);
  set_h_offset(0);
  repaint();
  notify_change();
}

bool EditorModel::tab_key(bool shift) {
  if (!has_selection()) return false;
  indent_selection(!shift);
  notify_change();
  return true;
}

void EditorModel::indent_selection(bool indent) {
  if (!has_selection()) return;
  normalize_selection();
  record_undo();
  EditPos s = norm_start1_, e = norm_end1_;
  try {
    for (int r = std::max(s.line, 0); r <= e.line && r < row_count(); ++r) {
      std::string t = get_row(r);
      if (indent) {
        if (r == s.line) t.insert(std::min(len_before(s.col), t.size()), 1, ' ');
        if (r != s.line || r == e.line) t.insert(0, 1, ' ');
      } else {
        if (r == s.line) {
          size_t at = len_before(s.col);
          if (s.col >= 1 && at < t.size() && t[at] == ' ') t.erase(at, 1);
        }
        if ((r != s.line || r == e.line) && !t.empty() && t[0] == ' ') t.erase(0, 1);
      }
      put_row(r, t);
    }
  } catch (...) {
  }
  repaint();
}

bool EditorModel::type_char(unsigned char ch, bool at_right_edge) {
  if (!auto_line1_) {
    const char c = static_cast<char>(ch);
    return type_chars(std::string_view(&c, 1), at_right_edge);
  }
  // While wrap is on a character is inserted whole, so the re-wrap never cuts it.
  pending_bytes1_.push_back(static_cast<char>(ch));
  if (char_incomplete(pending_bytes1_, *page_)) return false;
  const std::string ch_bytes = pending_bytes1_;
  return type_chars(ch_bytes, at_right_edge);
}

bool EditorModel::type_chars(std::string_view ch, bool at_right_edge) {
  if (ch.empty()) return false;
  const auto last = static_cast<unsigned char>(ch.back());
  bool insert = !(ch.size() == 1 && (last == 8 || last == 13 || (last == 9 && has_selection())));
  const int n = to_int(ch.size());
  int k = current_index();
  std::string before;
  if (insert) {
    record_undo();
    try {
      if (!selected_text().empty()) delete_selection();
    } catch (...) {
    }
    collapse_selection();
    k = current_index();
    std::string line = current_line();
    size_t at = len_before(caret_abs_col());
    if (line.size() < at) line.append(at - line.size(), ' ');
    if (!auto_line1_) {
      line.insert(at, ch);
      set_current_line(line);
      set_caret_col(caret_col() + n);
      if (at_right_edge) {
        set_h_offset(h_offset1_ + 10);
        set_caret_col(caret_col() - 10);
        repaint();
      }
    } else {
      before = get_row(k);
      line.insert(at, ch);
      set_current_line(line);
      if (!at_right_edge) {
        set_caret_col(caret_col() + n);
      } else {
        set_caret_row(caret_row1_ + 1);
      }
    }
  }
  repaint();
  if (client_) client_->take_focus();
  if (auto_line1_) {
    // Wrapping the logical lines of all rows again; only the changed ones need it.
    rows_from_logical();
    if (insert && at_right_edge) {
      std::string now = get_row(k);
      int after_typed = n + 1;
      if (now != before) {
        set_caret_col(now.size() >= before.size() ? 1 : after_typed);
      } else {
        set_caret_col(after_typed);
      }
    }
    // On an empty line the caret goes to its end, which is column 1 (no scrolling in wrap).
    if (current_line().empty()) set_caret_col(1);
  }
  pending_bytes1_.clear();
  return insert;
}

void EditorModel::key_down_unconsumed(int key_code) {
  if (key_code <= 32 || key_code > 40) notify_change();
}

void EditorModel::copy_line() {
  sel_anchor1_.col = 1;
  sel_end1_.col = to_int(current_line().size()) + 1;
  copy_selection();
  repaint();
}

void EditorModel::cut_selection() {
  record_undo();
  copy_selection();
  delete_selection();
}

}  // namespace lq

#include "gui/editor/editor_accessible.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "gui/editor/qoz_edit.h"

namespace lq::gui {
namespace {

QString decode(std::string_view bytes, const CodePage& page) {
  const std::u16string wide = page.to_utf16(bytes);
  return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

bool before(EditPos a, EditPos b) {
  return a.line < b.line || (a.line == b.line && a.col < b.col);
}

}  // namespace

EditorAccessible::EditorAccessible(EditorView* editor)
    : QAccessibleWidget(editor, QAccessible::EditableText) {}

EditorView* EditorAccessible::editor() const {
  return static_cast<EditorView*>(widget());
}

void* EditorAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  return QAccessibleWidget::interface_cast(t);
}

QAccessible::State EditorAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.editable = true;
  s.multiLine = true;
  s.selectableText = true;
  return s;
}

EditorAccessible::Document EditorAccessible::document() const {
  const EditorModel& m = editor()->model();
  Document doc;
  doc.starts.reserve(static_cast<size_t>(m.row_count()));
  for (int i = 0; i < m.row_count(); ++i) {
    if (i > 0) doc.text += QLatin1Char('\n');
    doc.starts.push_back(static_cast<int>(doc.text.size()));
    doc.text += decode(m.row_view(i), m.page());
  }
  if (doc.starts.empty()) doc.starts.push_back(0);
  return doc;
}

int EditorAccessible::offset_of(const Document& doc, EditPos p) const {
  const EditorModel& m = editor()->model();
  if (m.row_count() == 0) return 0;
  const int line = std::clamp(p.line, 0, m.row_count() - 1);
  const std::string_view row = m.row_view(line);
  // The caret may stand beyond the end of its row.
  const size_t bytes = std::min(row.size(), static_cast<size_t>(std::max(0, p.col - 1)));
  return doc.starts[static_cast<size_t>(line)] +
         static_cast<int>(decode(row.substr(0, bytes), m.page()).size());
}

EditPos EditorAccessible::pos_of(const Document& doc, int offset) const {
  const EditorModel& m = editor()->model();
  if (m.row_count() == 0) return {};
  offset = std::clamp(offset, 0, static_cast<int>(doc.text.size()));
  const auto it = std::upper_bound(doc.starts.begin(), doc.starts.end(), offset);
  const int line = static_cast<int>(it - doc.starts.begin()) - 1;
  const std::string_view row = m.row_view(line);
  int left = offset - doc.starts[static_cast<size_t>(line)];
  size_t i = 0;
  while (i < row.size() && left > 0) {
    const size_t n = std::max<size_t>(1, m.page().char_len_at(row, i));
    left -= static_cast<int>(decode(row.substr(i, n), m.page()).size());
    i += n;
  }
  return {static_cast<int>(i) + 1, line};
}

std::pair<EditPos, EditPos> EditorAccessible::ordered_selection() const {
  const EditorModel& m = editor()->model();
  EditPos a = m.sel_anchor(), b = m.sel_end();
  if (before(b, a)) std::swap(a, b);
  return {a, b};
}

int EditorAccessible::selectionCount() const {
  return editor()->model().has_selection() ? 1 : 0;
}

void EditorAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  if (selectionIndex != 0 || !selectionCount()) return;
  const Document doc = document();
  const auto [a, b] = ordered_selection();
  *startOffset = offset_of(doc, a);
  *endOffset = offset_of(doc, b);
}

void EditorAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex != 0) return;
  const Document doc = document();
  EditorModel& m = editor()->model();
  m.set_sel_anchor(pos_of(doc, startOffset));
  m.set_sel_end(pos_of(doc, endOffset));
  editor()->update_text();
}

void EditorAccessible::addSelection(int startOffset, int endOffset) {
  setSelection(0, startOffset, endOffset);
}

void EditorAccessible::removeSelection(int selectionIndex) {
  if (selectionIndex != 0) return;
  editor()->model().collapse_selection();
  editor()->update_text();
}

int EditorAccessible::cursorPosition() const {
  const EditorModel& m = editor()->model();
  return offset_of(document(), EditPos{m.caret_abs_col(), m.current_index()});
}

void EditorAccessible::setCursorPosition(int) {
  // The caret moves by the keyboard and the mouse only: moving it also scrolls and
  // rewraps, which the editor does itself.
}

QString EditorAccessible::text(int startOffset, int endOffset) const {
  const Document doc = document();
  startOffset = std::clamp(startOffset, 0, static_cast<int>(doc.text.size()));
  endOffset = std::clamp(endOffset, startOffset, static_cast<int>(doc.text.size()));
  return doc.text.mid(startOffset, endOffset - startOffset);
}

int EditorAccessible::characterCount() const {
  return static_cast<int>(document().text.size());
}

QRect EditorAccessible::characterRect(int offset) const {
  const EditorView* e = editor();
  const EditorModel& m = e->model();
  const Document doc = document();
  const EditPos p = pos_of(doc, offset);
  const int row = p.line - m.top_line();
  if (row < 0 || row * e->line_height() > e->client_rect().height()) return {};
  const std::string_view bytes = m.row_count() ? m.row_view(p.line) : std::string_view();
  const size_t from = std::min(bytes.size(), static_cast<size_t>(m.h_offset()));
  const size_t to = std::min(bytes.size(), static_cast<size_t>(p.col - 1));
  if (to < from) return {};
  const int x = e->px_width(bytes.substr(from, to - from));
  const size_t n = to < bytes.size() ? std::max<size_t>(1, m.page().char_len_at(bytes, to)) : 0;
  const int w = n ? e->px_width(bytes.substr(to, n)) : 1;
  const QPoint top_left = e->client_rect().topLeft() + QPoint(x, row * e->line_height());
  return QRect(e->mapToGlobal(top_left), QSize(w, e->line_height()));
}

int EditorAccessible::offsetAtPoint(const QPoint& point) const {
  const EditorView* e = editor();
  const EditorModel& m = e->model();
  const QPoint c = e->mapFromGlobal(point) - e->client_rect().topLeft();
  if (c.x() < 0 || c.y() < 0) return -1;
  const int line = m.top_line() + c.y() / std::max(1, e->line_height());
  if (line >= m.row_count()) return -1;
  const std::string_view row = m.row_view(line);
  size_t i = std::min(row.size(), static_cast<size_t>(m.h_offset()));
  for (int x = 0; i < row.size();) {
    const size_t n = std::max<size_t>(1, m.page().char_len_at(row, i));
    x += e->px_width(row.substr(i, n));
    if (x > c.x()) break;
    i += n;
  }
  return offset_of(document(), EditPos{static_cast<int>(i) + 1, line});
}

void EditorAccessible::scrollToSubstring(int, int) {}

QString EditorAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = offset;
  return {};
}

}  // namespace lq::gui

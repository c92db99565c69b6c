#include "gui/editor/qoz_edit.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "core/editor/dbcs.h"
#include "gui/shell/msg_box.h"
#include "gui/widgets/accessible_factory.h"

namespace lq::gui {

namespace {

constexpr int kFrame = 2;        // outer frame in BorderColor, inner one in Color
constexpr int kMaxDrawn = 400;   // bytes of a row drawn at most
constexpr int kEdgeMargin = 10;  // caret this close to the right edge scrolls

int to_int(size_t n) {
  return static_cast<int>(std::min<size_t>(n, 0x7fffffff));
}

// The bytes as shown: decoded straight to UTF-16, every TAB as one blank.
QString display_text(std::string_view bytes, const CodePage& page) {
  const std::u16string wide = page.to_utf16(bytes);
  QString s = QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
  s.replace(QLatin1Char('\t'), QLatin1Char(' '));
  return s;
}

// The Windows virtual-key code of a key the editor left alone; only its range matters to the
// change rule, so keys without an obvious code get one above the navigation keys.
int virtual_key(const QKeyEvent* e) {
  const int k = e->key();
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return k;
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Space:
      return 32;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Shift:
      return 16;
    case Qt::Key_Control:
      return 17;
    case Qt::Key_Alt:
      return 18;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 9;
    case Qt::Key_Insert:
      return 45;
    default:
      return 255;
  }
}

}  // namespace

// ---- Clipboard ----

void SystemEditorClipboard::set_text(std::string_view bytes, const CodePage& page) {
  auto* data = new QMimeData;
  data->setText(QString::fromStdString(page.to_utf8(bytes)));
  data->setData(kMimeType, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  data->setData(kPageMimeType, QByteArray(page.name()));
  QGuiApplication::clipboard()->setMimeData(data);
}

ClipboardText SystemEditorClipboard::text() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return {};
  // The exact bytes count only while the text beside them is still ours: another program
  // that replaced the text may have left our private data behind. Bytes without a code
  // page's name are in the program's own.
  if (data->hasFormat(kMimeType)) {
    const QByteArray raw = data->data(kMimeType);
    const QByteArray name = data->data(kPageMimeType);
    const CodePage* page = &code_page();
    for (const CodePage* p : {&gbk_code_page(), &utf8_code_page()})
      if (name == p->name()) page = p;
    ClipboardText clip{std::string(raw.constData(), static_cast<size_t>(raw.size())), page};
    if (!data->hasText() || data->text() == QString::fromStdString(page->to_utf8(clip.bytes)))
      return clip;
  }
  if (!data->hasText()) return {};
  return ClipboardText{data->text().toStdString(), &utf8_code_page()};
}

// ---- Widget ----

EditorView::EditorView(QWidget* parent) : QWidget(parent) {
  setObjectName("tqozedit1");
  install_accessible_factory();
  resize(200, 150);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::IBeamCursor);
  setAttribute(Qt::WA_InputMethodEnabled);
  setAttribute(Qt::WA_OpaquePaintEvent);
  color_ = palette().color(QPalette::Base);
  alternation_paint_color_ = palette().color(QPalette::Button);
  model_.set_client(this);
  model_.set_clipboard(&clipboard_);

  vbar_ = new QScrollBar(Qt::Vertical, this);
  hbar_ = new QScrollBar(Qt::Horizontal, this);
  for (QScrollBar* b : {vbar_, hbar_}) {
    b->setRange(0, 100);
    b->setPageStep(10);
    b->setFocusPolicy(Qt::NoFocus);
    b->hide();
  }
  connect(vbar_, &QScrollBar::actionTriggered, this, &EditorView::v_scroll_action);
  connect(hbar_, &QScrollBar::actionTriggered, this, &EditorView::h_scroll_action);

  scroll_timer_ = new QTimer(this);
  scroll_timer_->setInterval(50);
  connect(scroll_timer_, &QTimer::timeout, this, &EditorView::scroll_tick);

  own_menu_ = new QMenu(this);
  auto add = [this](const char* caption, auto action) {
    connect(own_menu_->addAction(QString::fromUtf8(caption)), &QAction::triggered, this,
            [this, action] {
              (model_.*action)();
              update_text();
            });
  };
  add("撤消", &EditorModel::undo_step);
  own_menu_->addSeparator();
  add("复制", &EditorModel::copy_selection);
  add("粘贴", &EditorModel::paste_over);
  own_menu_->addSeparator();
  add("全选", &EditorModel::select_all);
  menu_ = own_menu_;
  measure_line_height();
}

EditorView::~EditorView() {
  model_.set_client(nullptr);
  model_.set_clipboard(nullptr);
}

void EditorView::setBorderColor(const QColor& c) {
  border_color_ = c;
  update();
}

void EditorView::setColor(const QColor& c) {
  color_ = c;
  update();
}

void EditorView::set_alternation_paint(bool on) {
  alternation_paint_ = on;
  update_text();
}

void EditorView::set_alternation_paint_color(const QColor& c) {
  alternation_paint_color_ = c;
  update_text();
}

void EditorView::set_scroll_bars(bool horizontal, bool vertical) {
  want_h_ = horizontal;
  want_v_ = vertical;
  layout_bars();
  update();
}

void EditorView::scroll_bars_changed(bool vertical_only) {
  set_scroll_bars(!vertical_only, true);
}

void EditorView::layout_bars() {
  const int vw = want_v_ ? vbar_->sizeHint().width() : 0;
  const int hh = want_h_ ? hbar_->sizeHint().height() : 0;
  vbar_->setVisible(want_v_);
  hbar_->setVisible(want_h_);
  vbar_->setGeometry(width() - kFrame - vw, kFrame, vw, height() - 2 * kFrame - hh);
  hbar_->setGeometry(kFrame, height() - kFrame - hh, width() - 2 * kFrame - vw, hh);
}

QRect EditorView::client_rect() const {
  const int vw = want_v_ ? vbar_->sizeHint().width() : 0;
  const int hh = want_h_ ? hbar_->sizeHint().height() : 0;
  return QRect(kFrame, kFrame, std::max(0, width() - 2 * kFrame - vw),
               std::max(0, height() - 2 * kFrame - hh));
}

void EditorView::measure_line_height() {
  line_height_ = std::max(line_height_, QFontMetrics(font()).height());
}

int EditorView::visible_rows() const {
  return client_rect().height() / std::max(1, line_height_);
}

int EditorView::wrap_width_bytes() const {
  const int a = std::max(1, QFontMetrics(font()).horizontalAdvance(QLatin1Char('A')));
  return std::max(2, client_rect().width() / a);
}

int EditorView::px_width(std::string_view bytes) const {
  return QFontMetrics(font()).horizontalAdvance(display_text(bytes, model_.page()));
}

int EditorView::col_from_x(int x) const {
  std::string_view line = model_.row_view(model_.current_index());
  const size_t off = static_cast<size_t>(std::max(0, model_.h_offset()));
  std::string_view r = off < line.size() ? line.substr(off) : std::string_view();
  if (r.empty()) return 1;
  const QFontMetrics fm(font());
  const CodePage& cp = model_.page();
  int w = 0;
  for (size_t i = 0; i < r.size();) {
    const size_t n = cp.char_len_at(r, i);
    w += fm.horizontalAdvance(display_text(r.substr(i, n), cp));
    // Within a multi-byte character the answer is its last column; the caller's
    // fix_caret_dbcs moves that back to the character's start.
    if (w > x) return to_int(i + n);
    i += n;
  }
  return w == x ? to_int(r.size()) : to_int(r.size()) + 1;
}

int EditorView::longest_visible() const {
  const int last = std::min(model_.row_count() - 1, model_.top_line() + visible_rows());
  size_t longest = 0;
  for (int i = model_.top_line(); i <= last; ++i)
    longest = std::max(longest, model_.row_view(i).size());
  return to_int(longest);
}

QPoint EditorView::caret_point() const {
  std::string_view line = model_.row_view(model_.current_index());
  const size_t off = static_cast<size_t>(std::max(0, model_.h_offset()));
  std::string_view r = off < line.size() ? line.substr(off) : std::string_view();
  const size_t want = static_cast<size_t>(model_.caret_col() - 1);
  const size_t have = std::min(want, r.size());
  int x = px_width(r.substr(0, have));
  if (want > have)
    x += to_int(want - have) * QFontMetrics(font()).horizontalAdvance(QLatin1Char('A'));
  return QPoint(x, model_.caret_row() * line_height_);
}

void EditorView::caret_moved() {
  update_text();
  QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
  // A screen reader reads the line the caret moved to; the offset costs a walk over the
  // text, so it is worked out only while one listens.
  if (accessibility_listening()) {
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(this)) {
      if (QAccessibleTextInterface* text = iface->textInterface()) {
        QAccessibleTextCursorEvent moved(this, text->cursorPosition());
        send_accessible_event(moved);
      }
    }
  }
}

void EditorView::go_line_end() {
  const std::string line = model_.current_line();
  const int n = to_int(line.size());
  const int cw = client_rect().width();
  for (int a = 1; a <= n; ++a) {
    const int from = std::max(0, n - a - 1);  // column n − a, 0-based
    if (px_width(std::string_view(line).substr(static_cast<size_t>(from))) >= cw) {
      model_.set_h_offset(n - a + 1);
      break;
    }
  }
  model_.set_caret_col(n - model_.h_offset() + 1);
  const int old = model_.h_offset();
  model_.set_h_offset(char_boundary(old + 1, line, false, model_.page()) - 1);
  model_.set_caret_col(model_.caret_col() + old - model_.h_offset());
}

void EditorView::refresh_scrollbars() {
  const int rows = model_.row_count();
  if (rows == 0) return;
  vbar_->setValue(std::max(0, static_cast<int>(100.0 * model_.top_line() / rows)));
  const int lv = longest_visible();
  if (lv != 0) hbar_->setValue(std::max(0, static_cast<int>(100.0 * (model_.h_offset() - 1) / lv)));
}

void EditorView::v_scroll_action(int action) {
  const int rows = model_.row_count();
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      model_.set_top_line(model_.top_line() + 1);
      break;
    case QAbstractSlider::SliderSingleStepSub:
      model_.set_top_line(model_.top_line() - 1);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      model_.set_top_line(model_.top_line() + 10);
      break;
    case QAbstractSlider::SliderPageStepSub:
      model_.set_top_line(model_.top_line() - 10);
      break;
    case QAbstractSlider::SliderToMinimum:
      model_.set_top_line(0);
      break;
    case QAbstractSlider::SliderToMaximum:
      model_.set_top_line(rows);
      break;
    case QAbstractSlider::SliderMove: {
      const int p = vbar_->sliderPosition();
      model_.set_top_line(p == 0 ? 0 : static_cast<int>(1.0 * rows * p / 100) + 1);
      update_text();
      return;  // the bar shows p
    }
    default:
      return;
  }
  // The action is applied to the bar after this signal; show our own position instead.
  QTimer::singleShot(0, this, [this] { refresh_scrollbars(); });
  update_text();
}

void EditorView::h_scroll_action(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      model_.set_h_offset(model_.h_offset() + 1);
      break;
    case QAbstractSlider::SliderSingleStepSub:
      model_.set_h_offset(model_.h_offset() - 1);
      break;
    case QAbstractSlider::SliderToMinimum:
      model_.set_h_offset(0);
      break;
    case QAbstractSlider::SliderToMaximum:
      model_.set_h_offset(longest_visible());
      break;
    case QAbstractSlider::SliderMove: {
      const int p = hbar_->sliderPosition();
      model_.set_h_offset(p == 0 ? 0 : longest_visible() * p / 100);
      break;
    }
    default:
      break;
  }
  update_text();
}

// ---- Painting ----

void EditorView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(border_color_);
  p.drawRect(0, 0, width() - 1, height() - 1);
  p.setPen(color_);
  p.drawRect(1, 1, width() - 3, height() - 3);
  const QRect cr = client_rect();
  if (want_h_ && want_v_)  // the corner between the two scroll bars
    p.fillRect(QRect(QPoint(cr.right() + 1, cr.bottom() + 1),
                     QPoint(width() - kFrame - 1, height() - kFrame - 1)),
               palette().color(QPalette::Window));
  if (cr.isEmpty()) return;

  // Qt paints every widget into its window's back buffer and shows the result at once, so
  // drawing straight onto the client area is already free of flicker.
  p.setClipRect(cr);
  p.translate(cr.topLeft());
  p.fillRect(QRect(QPoint(0, 0), cr.size()), color_);
  p.setFont(font());
  measure_line_height();
  const int lh = line_height_;
  const int ascent = QFontMetrics(font()).ascent();
  const int v = cr.height() / lh;
  const int top = model_.top_line();
  const int last = std::min(model_.row_count() - 1, top + v);
  const int h = model_.h_offset();
  const QColor text_color = palette().color(QPalette::Text);
  const CodePage& cp = model_.page();

  model_.normalize_selection();
  const EditPos s = model_.norm_start(), e = model_.norm_end();
  const bool selected =
      model_.has_selection() && s.line < model_.row_count() && e.line < model_.row_count();

  p.setPen(text_color);
  for (int i = top; i <= last; ++i) {
    const int y = (i - top) * lh;
    if (alternation_paint_ && (i % 2) == 1)
      p.fillRect(0, y, cr.width(), lh, alternation_paint_color_);
    // A row inside the selection is drawn whole by the selection pass.
    if (selected && i > s.line && i < e.line) continue;
    std::string_view row = model_.row_view(i);
    const int from = char_boundary(h + 1, row, true, cp);
    const int to = char_boundary(from + kMaxDrawn, row, true, cp);
    if (from <= to_int(row.size()))
      p.drawText(0, y + ascent,
                 display_text(row.substr(static_cast<size_t>(from - 1),
                                         static_cast<size_t>(std::max(0, to - from))),
                              cp));
  }

  // Selection pass: only character cells are highlighted.
  if (selected) {
    const QColor hl = palette().color(QPalette::Highlight);
    const QColor hl_text = palette().color(QPalette::HighlightedText);
    const QFontMetrics fm(font());
    p.setPen(hl_text);
    for (int i = std::max(s.line, top); i <= std::min(e.line, last); ++i) {
      std::string_view row = model_.row_view(i);
      int a = 1, b = to_int(row.size()) + 1;
      if (i == s.line) a = s.col;
      if (i == e.line) b = e.col;
      const int from = char_boundary(a, row, true, cp);
      const int to = std::min(char_boundary(b, row, true, cp), to_int(row.size()) + 1);
      int vis = char_boundary(h + 1, row, true, cp);
      int x = 0;
      if (vis < from) {
        x = fm.horizontalAdvance(display_text(
            row.substr(static_cast<size_t>(vis - 1), static_cast<size_t>(from - vis)), cp));
        vis = from;
      }
      const int n = std::min(to - vis, kMaxDrawn);
      if (n <= 0 || vis > to_int(row.size())) continue;
      const QString part =
          display_text(row.substr(static_cast<size_t>(vis - 1), static_cast<size_t>(n)), cp);
      const int y = (i - top) * lh;
      p.fillRect(x, y, fm.horizontalAdvance(part), lh, hl);
      p.drawText(x, y + ascent, part);
    }
  }

  if (hasFocus()) {
    const QPoint c = caret_point();
    p.fillRect(c.x(), c.y(), 1, lh, text_color);
  }
}

void EditorView::resizeEvent(QResizeEvent*) {
  layout_bars();
  model_.set_wrap_width(wrap_width_bytes());
  if (model_.auto_line()) model_.rewrap(wrap_width_bytes());
}

// ---- Keys ----

bool EditorView::focusNextPrevChild(bool) {
  return false;  // Tab and Shift+Tab belong to the editor
}

void EditorView::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  update_text();
}

void EditorView::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  update_text();
}

void EditorView::sel(bool shift) {
  if (shift)
    model_.extend_selection();
  else
    model_.collapse_selection();
}

bool EditorView::navigation_key(QKeyEvent* e) {
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  EditorModel& m = model_;
  const int v = visible_rows();
  const QPoint pt = caret_point();
  switch (e->key()) {
    case Qt::Key_Down:
      sel(shift);
      if (ctrl)
        m.set_top_line(m.top_line() + 1);
      else if (m.caret_row() > (client_rect().height() - 20) / line_height_)
        m.set_top_line(m.top_line() + 1);
      else
        m.set_caret_row(m.caret_row() + 1);
      sel(shift);
      break;
    case Qt::Key_Up:
      sel(shift);
      if (m.caret_row() == 0 || ctrl) {
        if (m.top_line() > 0) m.set_top_line(m.top_line() - 1);
      } else {
        m.set_caret_row(m.caret_row() - 1);
      }
      sel(shift);
      break;
    case Qt::Key_Left:
      sel(shift);
      if (m.caret_col() == 1 && m.h_offset() > 0) {
        const int old = m.h_offset();
        m.set_h_offset(old - 10);
        m.set_h_offset(char_boundary(m.h_offset() + 1, m.current_line(), false, m.page()) - 1);
        m.set_caret_col(1 + old - m.h_offset());
      } else if (m.caret_col() > 1) {
        m.set_caret_col(m.caret_col() - 1);
      }
      m.fix_caret_dbcs(false);
      sel(shift);
      break;
    case Qt::Key_Right:
      sel(shift);
      if (pt.x() < client_rect().width() - kEdgeMargin) {
        m.set_caret_col(m.caret_col() + 1);
      } else {
        const int old = m.h_offset();
        const std::string line = m.current_line();
        m.set_h_offset(old + 10);
        m.set_h_offset(char_boundary(m.h_offset() + 1, line, false, m.page()) + 1);
        // The view never starts inside a character of more than two bytes.
        m.set_h_offset(char_boundary(m.h_offset() + 1, line, true, m.page()) - 1);
        m.set_caret_col(m.caret_col() + old - m.h_offset());
      }
      m.fix_caret_dbcs(true);
      sel(shift);
      break;
    case Qt::Key_PageDown:
      sel(shift);
      m.set_top_line(m.top_line() + v - 1);
      sel(shift);
      break;
    case Qt::Key_PageUp:
      sel(shift);
      m.set_top_line(m.top_line() - v + 1);
      sel(shift);
      break;
    case Qt::Key_Home:
      sel(shift);
      m.set_h_offset(0);
      m.set_caret_col(1);
      if (ctrl) {
        m.set_top_line(0);
        m.set_caret_row(0);
      }
      sel(shift);
      break;
    case Qt::Key_End:
      sel(shift);
      go_line_end();
      if (ctrl) {
        m.set_top_line(m.row_count() - v);
        m.set_h_offset(0);
      }
      sel(shift);
      break;
    default:
      return false;
  }
  update_text();
  return true;
}

bool EditorView::ctrl_key(QKeyEvent* e) {
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  EditorModel& m = model_;
  switch (e->key()) {
    case Qt::Key_V:
      m.paste_over();
      break;
    case Qt::Key_C:
      m.copy_selection();
      break;
    case Qt::Key_X:
      m.cut_selection();
      break;
    case Qt::Key_A:
      m.select_all();
      break;
    case Qt::Key_Z:
      if (shift)
        m.redo_step();
      else
        m.undo_step();
      break;
    case Qt::Key_W:
      m.select_word();
      break;
    case Qt::Key_L:
      m.copy_line();
      break;
    default:
      break;
  }
  update_text();
  return true;  // every key pressed with Ctrl is the editor's
}

void EditorView::type_bytes(std::string_view bytes) {
  for (std::string_view ch : model_.page().split_chars(bytes)) {
    const bool edge = caret_point().x() >= client_rect().width() - kEdgeMargin;
    model_.type_chars(ch, edge);
  }
  update_text();
}

void EditorView::keyPressEvent(QKeyEvent* e) {
  emit OnKeyDown(e);
  const Qt::KeyboardModifiers mods = e->modifiers();
  const bool ctrl = mods & Qt::ControlModifier;
  const int key = e->key();
  bool consumed = true;
  if (key == Qt::Key_Delete) {
    model_.delete_key();
  } else if (key == Qt::Key_Backspace) {
    model_.backspace_key();
  } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    model_.enter_key();
  } else if (navigation_key(e)) {
  } else if (ctrl) {
    ctrl_key(e);
  } else if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) &&
             model_.tab_key(key == Qt::Key_Backtab || (mods & Qt::ShiftModifier))) {
  } else {
    consumed = false;
  }
  if (!consumed) {
    model_.key_down_unconsumed(virtual_key(e));
    // The character the key produces, as its bytes in the document's code page.
    QString text = e->text();
    if (key == Qt::Key_Backtab) text = QStringLiteral("\t");
    if (!text.isEmpty() && !(mods & Qt::AltModifier)) {
      const ushort c = text.at(0).unicode();
      if (c == 8 || c == 13 || c == 127) text.clear();
      if (!text.isEmpty()) type_bytes(model_.page().from_utf8(text.toStdString()));
    }
  }
  refresh_scrollbars();
  update_text();
  e->accept();
}

void EditorView::inputMethodEvent(QInputMethodEvent* e) {
  if (!e->commitString().isEmpty()) {
    type_bytes(model_.page().from_utf8(e->commitString().toStdString()));
    model_.notify_change();
    refresh_scrollbars();
  }
  e->accept();
}

QVariant EditorView::inputMethodQuery(Qt::InputMethodQuery q) const {
  switch (q) {
    case Qt::ImCursorRectangle: {
      const QPoint c = caret_point() + client_rect().topLeft();
      return QRect(c, QSize(1, line_height_));
    }
    case Qt::ImEnabled:
      return true;
    case Qt::ImFont:
      return font();
    default:
      return QWidget::inputMethodQuery(q);
  }
}

// ---- Mouse ----

void EditorView::place_caret(const QPoint& pos) {
  const QPoint c = pos - client_rect().topLeft();
  model_.set_caret_row(std::max(0, c.y()) / line_height_);
  model_.set_caret_col(col_from_x(c.x()));
  model_.fix_caret_dbcs(false);
}

void EditorView::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  pressed_ = true;
  if (dblclick_flag_) return;
  setFocus();
  place_caret(e->position().toPoint());
  const EditPos p{model_.caret_abs_col(), model_.current_index()};
  model_.set_sel_anchor(p);
  model_.set_sel_end(p);
  mouse_selecting_ = true;
  update_text();
}

void EditorView::mouseMoveEvent(QMouseEvent* e) {
  if (dblclick_flag_) return;
  if (mouse_selecting_ && (e->buttons() & Qt::LeftButton)) {
    place_caret(e->position().toPoint());
    model_.set_sel_end(EditPos{model_.caret_abs_col(), model_.current_index()});
    update_text();
    scroll_timer_->start();
  } else {
    scroll_timer_->stop();
  }
}

void EditorView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  scroll_timer_->stop();
  const bool click = pressed_;
  pressed_ = false;
  if (dblclick_flag_) {
    dblclick_flag_ = false;
  } else {
    place_caret(e->position().toPoint());
    model_.set_sel_end(EditPos{model_.caret_abs_col(), model_.current_index()});
    mouse_selecting_ = false;
    update_text();
  }
  if (click) emit OnClick();
}

void EditorView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  pressed_ = true;
  emit OnDblClick();
  mouse_selecting_ = false;
  model_.select_word();
  update_text();
}

void EditorView::scroll_tick() {
  if (!mouse_selecting_) return;
  EditorModel& m = model_;
  const int v = visible_rows();
  if (m.caret_row() >= v) {
    m.set_top_line(m.top_line() + 1);
    m.set_caret_row(v);
    refresh_scrollbars();
  }
  if (m.caret_row() <= 1) {
    m.set_top_line(m.top_line() - 1);
    refresh_scrollbars();
  }
  const int x = caret_point().x();
  if (x >= client_rect().width() - kEdgeMargin) {
    m.set_h_offset(m.h_offset() + 10);
    m.set_caret_col(m.caret_col() - 10);
  } else if (x <= 0) {
    m.set_h_offset(m.h_offset() - 10);
  }
  update_text();
}

void EditorView::wheelEvent(QWheelEvent* e) {
  const int dy = e->angleDelta().y();
  if (dy < 0)
    model_.set_top_line(model_.top_line() + 1);
  else if (dy > 0)
    model_.set_top_line(model_.top_line() - 1);
  update_text();
  refresh_scrollbars();
  e->accept();
}

void EditorView::contextMenuEvent(QContextMenuEvent* e) {
  if (menu_) menu_->popup(e->globalPos());
}

void EditorView::OnChange(EditorModel&) {
  emit OnChange();
}

void EditorView::history_trouble(HistoryTrouble what) {
  QString text;
  switch (what) {
    case HistoryTrouble::NotRecorded:
      text = QString::fromUtf8("内存不足, 未能记下撤消步骤: 接下来的这次修改将无法撤消.");
      break;
    case HistoryTrouble::StepFailed:
      text = QString::fromUtf8("内存不足, 未能完成这一步撤消或重做; 文本保持原样.");
      break;
    case HistoryTrouble::LimitReached:
      text = QString::fromUtf8(
          "没有更早的撤消步骤了: 更早的修改超出了撤消记录的上限, 已被舍弃.\n"
          "上限可在 sys1.ini 的 [edit] 中用 undo_steps 和 undo_max_mb 调整.");
      break;
  }
  msg_box(text, false, window(), kInfoCaption);
}

bool EditorView::load_file(const std::string& path) {
  // A file of hundreds of megabytes takes a moment to read: show that the program works.
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const bool ok = model_.load_file(path);
  QGuiApplication::restoreOverrideCursor();
  measure_line_height();
  refresh_scrollbars();
  update_text();
  return ok;
}

}  // namespace lq::gui

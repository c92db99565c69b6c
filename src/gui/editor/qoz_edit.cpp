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

tqozedit1::tqozedit1(QWidget* parent) : QWidget(parent) {
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
  connect(vbar_, &QScrollBar::actionTriggered, this, &tqozedit1::v_scroll_action);
  connect(hbar_, &QScrollBar::actionTriggered, this, &tqozedit1::h_scroll_action);

  scroll_timer_ = new QTimer(this);
  scroll_timer_->setInterval(50);
  connect(scroll_timer_, &QTimer::timeout, this, &tqozedit1::scroll_tick);

  own_menu_ = new QMenu(this);
  auto add = [this](const char* caption, auto action) {
    connect(own_menu_->addAction(QString::fromUtf8(caption)), &QAction::triggered, this,
            [this, action] {
              (model_.*action)();
              update_text();
            });
  };
  add("撤消", &EditorModel::undo_step1);
  own_menu_->addSeparator();
  add("复制", &EditorModel::copy_selection1);
  add("粘贴", &EditorModel::paste_over1);
  own_menu_->addSeparator();
  add("全选", &EditorModel::select_all1);
  menu_ = own_menu_;
  measure_line_height();
}

tqozedit1::~tqozedit1() {
  model_.set_client(nullptr);
  model_.set_clipboard(nullptr);
}

void tqozedit1::setBorderColor(const QColor& c) {
  border_color_ = c;
  update();
}

void tqozedit1::setColor(const QColor& c) {
  color_ = c;
  update();
}

void tqozedit1::set_alternation_paint(bool on) {
  alternation_paint_ = on;
  update_text();
}

void tqozedit1::set_alternation_paint_color(const QColor& c) {
  alternation_paint_color_ = c;
  update_text();
}

void tqozedit1::set_scroll_bars(bool horizontal, bool vertical) {
  want_h_ = horizontal;
  want_v_ = vertical;
  layout_bars();
  update();
}

void tqozedit1::scroll_bars_changed(bool vertical_only) {
  set_scroll_bars(!vertical_only, true);
}

void tqozedit1::layout_bars() {
  const int vw = want_v_ ? vbar_->sizeHint().width() : 0;
  const int hh = want_h_ ? hbar_->sizeHint().height() : 0;
  vbar_->setVisible(want_v_);
  hbar_->setVisible(want_h_);
  vbar_->setGeometry(width() - kFrame - vw, kFrame, vw, height() - 2 * kFrame - hh);
  hbar_->setGeometry(kFrame, height() - kFrame - hh, width() - 2 * kFrame - vw, hh);
}

QRect tqozedit1::client_rect() const {
  const int vw = want_v_ ? vbar_->sizeHint().width() : 0;
  const int hh = want_h_ ? hbar_->sizeHint().height() : 0;
  return QRect(kFrame, kFrame, std::max(0, width() - 2 * kFrame - vw),
               std::max(0, height() - 2 * kFrame - hh));
}

void tqozedit1::measure_line_height() {
  line_height_ = std::max(line_height_, QFontMetrics(font()).height());
}

int tqozedit1::visible_rows() const {
  return client_rect().height() / std::max(1, line_height_);
}

int tqozedit1::wrap_width_bytes() const {
  const int a = std::max(1, QFontMetrics(font()).horizontalAdvance(QLatin1Char('A')));
  return std::max(2, client_rect().width() / a);
}

int tqozedit1::px_width1(std::string_view bytes) const {
  return QFontMetrics(font()).horizontalAdvance(display_text(bytes, model_.page()));
}

int tqozedit1::col_from_x1(int x) const {
  std::string_view line = model_.row_view1(model_.current_index1());
  const size_t off = static_cast<size_t>(std::max(0, model_.h_offset1()));
  std::string_view r = off < line.size() ? line.substr(off) : std::string_view();
  if (r.empty()) return 1;
  const QFontMetrics fm(font());
  const CodePage& cp = model_.page();
  int w = 0;
  for (size_t i = 0; i < r.size();) {
    const size_t n = cp.char_len_at(r, i);
    w += fm.horizontalAdvance(display_text(r.substr(i, n), cp));
    // Within a multi-byte character the answer is its last column; the caller's
    // fix_caret_dbcs1 moves that back to the character's start.
    if (w > x) return to_int(i + n);
    i += n;
  }
  return w == x ? to_int(r.size()) : to_int(r.size()) + 1;
}

int tqozedit1::longest_visible1() const {
  const int last = std::min(model_.row_count() - 1, model_.top_line1() + visible_rows());
  size_t longest = 0;
  for (int i = model_.top_line1(); i <= last; ++i)
    longest = std::max(longest, model_.row_view1(i).size());
  return to_int(longest);
}

QPoint tqozedit1::caret_point() const {
  std::string_view line = model_.row_view1(model_.current_index1());
  const size_t off = static_cast<size_t>(std::max(0, model_.h_offset1()));
  std::string_view r = off < line.size() ? line.substr(off) : std::string_view();
  const size_t want = static_cast<size_t>(model_.caret_col1() - 1);
  const size_t have = std::min(want, r.size());
  int x = px_width1(r.substr(0, have));
  if (want > have)
    x += to_int(want - have) * QFontMetrics(font()).horizontalAdvance(QLatin1Char('A'));
  return QPoint(x, model_.caret_row1() * line_height_);
}

void tqozedit1::caret_moved() {
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

void tqozedit1::go_line_end1() {
  const std::string line = model_.current_line1();
  const int n = to_int(line.size());
  const int cw = client_rect().width();
  for (int a = 1; a <= n; ++a) {
    const int from = std::max(0, n - a - 1);  // column n − a, 0-based
    if (px_width1(std::string_view(line).substr(static_cast<size_t>(from))) >= cw) {
      model_.set_h_offset1(n - a + 1);
      break;
    }
  }
  model_.set_caret_col1(n - model_.h_offset1() + 1);
  const int old = model_.h_offset1();
  model_.set_h_offset1(char_boundary1(old + 1, line, false, model_.page()) - 1);
  model_.set_caret_col1(model_.caret_col1() + old - model_.h_offset1());
}

void tqozedit1::update_scrollbars1() {
  const int rows = model_.row_count();
  if (rows == 0) return;
  vbar_->setValue(std::max(0, static_cast<int>(100.0 * model_.top_line1() / rows)));
  const int lv = longest_visible1();
  if (lv != 0)
    hbar_->setValue(std::max(0, static_cast<int>(100.0 * (model_.h_offset1() - 1) / lv)));
}

void tqozedit1::v_scroll_action(int action) {
  const int rows = model_.row_count();
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      model_.set_top_line1(model_.top_line1() + 1);
      break;
    case QAbstractSlider::SliderSingleStepSub:
      model_.set_top_line1(model_.top_line1() - 1);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      model_.set_top_line1(model_.top_line1() + 10);
      break;
    case QAbstractSlider::SliderPageStepSub:
      model_.set_top_line1(model_.top_line1() - 10);
      break;
    case QAbstractSlider::SliderToMinimum:
      model_.set_top_line1(0);
      break;
    case QAbstractSlider::SliderToMaximum:
      model_.set_top_line1(rows);
      break;
    case QAbstractSlider::SliderMove: {
      const int p = vbar_->sliderPosition();
      model_.set_top_line1(p == 0 ? 0 : static_cast<int>(1.0 * rows * p / 100) + 1);
      update_text();
      return;  // the bar shows p
    }
    default:
      return;
  }
  // The action is applied to the bar after this signal; show our own position instead.
  QTimer::singleShot(0, this, [this] { update_scrollbars1(); });
  update_text();
}

void tqozedit1::h_scroll_action(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      model_.set_h_offset1(model_.h_offset1() + 1);
      break;
    case QAbstractSlider::SliderSingleStepSub:
      model_.set_h_offset1(model_.h_offset1() - 1);
      break;
    case QAbstractSlider::SliderToMinimum:
      model_.set_h_offset1(0);
      break;
    case QAbstractSlider::SliderToMaximum:
      model_.set_h_offset1(longest_visible1());
      break;
    case QAbstractSlider::SliderMove: {
      const int p = hbar_->sliderPosition();
      model_.set_h_offset1(p == 0 ? 0 : longest_visible1() * p / 100);
      break;
    }
    default:
      break;
  }
  update_text();
}

// ---- Painting ----

void tqozedit1::paintEvent(QPaintEvent*) {
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
  const int top = model_.top_line1();
  const int last = std::min(model_.row_count() - 1, top + v);
  const int h = model_.h_offset1();
  const QColor text_color = palette().color(QPalette::Text);
  const CodePage& cp = model_.page();

  model_.normalize_selection1();
  const EditPos s = model_.norm_start1(), e = model_.norm_end1();
  const bool selected =
      model_.has_selection() && s.line < model_.row_count() && e.line < model_.row_count();

  p.setPen(text_color);
  for (int i = top; i <= last; ++i) {
    const int y = (i - top) * lh;
    if (alternation_paint_ && (i % 2) == 1)
      p.fillRect(0, y, cr.width(), lh, alternation_paint_color_);
    // A row inside the selection is drawn whole by the selection pass.
    if (selected && i > s.line && i < e.line) continue;
    std::string_view row = model_.row_view1(i);
    const int from = char_boundary1(h + 1, row, true, cp);
    const int to = char_boundary1(from + kMaxDrawn, row, true, cp);
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
      std::string_view row = model_.row_view1(i);
      int a = 1, b = to_int(row.size()) + 1;
      if (i == s.line) a = s.col;
      if (i == e.line) b = e.col;
      const int from = char_boundary1(a, row, true, cp);
      const int to = std::min(char_boundary1(b, row, true, cp), to_int(row.size()) + 1);
      int vis = char_boundary1(h + 1, row, true, cp);
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

void tqozedit1::resizeEvent(QResizeEvent*) {
  layout_bars();
  model_.set_wrap_width(wrap_width_bytes());
  if (model_.auto_line1()) model_.resize1(wrap_width_bytes());
}

// ---- Keys ----

bool tqozedit1::focusNextPrevChild(bool) {
  return false;  // Tab and Shift+Tab belong to the editor
}

void tqozedit1::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  update_text();
}

void tqozedit1::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  update_text();
}

void tqozedit1::sel(bool shift) {
  if (shift)
    model_.extend_selection1();
  else
    model_.collapse_selection1();
}

bool tqozedit1::navigation_key(QKeyEvent* e) {
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  EditorModel& m = model_;
  const int v = visible_rows();
  const QPoint pt = caret_point();
  switch (e->key()) {
    case Qt::Key_Down:
      sel(shift);
      if (ctrl)
        m.set_top_line1(m.top_line1() + 1);
      else if (m.caret_row1() > (client_rect().height() - 20) / line_height_)
        m.set_top_line1(m.top_line1() + 1);
      else
        m.set_caret_row1(m.caret_row1() + 1);
      sel(shift);
      break;
    case Qt::Key_Up:
      sel(shift);
      if (m.caret_row1() == 0 || ctrl) {
        if (m.top_line1() > 0) m.set_top_line1(m.top_line1() - 1);
      } else {
        m.set_caret_row1(m.caret_row1() - 1);
      }
      sel(shift);
      break;
    case Qt::Key_Left:
      sel(shift);
      if (m.caret_col1() == 1 && m.h_offset1() > 0) {
        const int old = m.h_offset1();
        m.set_h_offset1(old - 10);
        m.set_h_offset1(char_boundary1(m.h_offset1() + 1, m.current_line1(), false, m.page()) - 1);
        m.set_caret_col1(1 + old - m.h_offset1());
      } else if (m.caret_col1() > 1) {
        m.set_caret_col1(m.caret_col1() - 1);
      }
      m.fix_caret_dbcs1(false);
      sel(shift);
      break;
    case Qt::Key_Right:
      sel(shift);
      if (pt.x() < client_rect().width() - kEdgeMargin) {
        m.set_caret_col1(m.caret_col1() + 1);
      } else {
        const int old = m.h_offset1();
        const std::string line = m.current_line1();
        m.set_h_offset1(old + 10);
        m.set_h_offset1(char_boundary1(m.h_offset1() + 1, line, false, m.page()) + 1);
        // The view never starts inside a character of more than two bytes.
        m.set_h_offset1(char_boundary1(m.h_offset1() + 1, line, true, m.page()) - 1);
        m.set_caret_col1(m.caret_col1() + old - m.h_offset1());
      }
      m.fix_caret_dbcs1(true);
      sel(shift);
      break;
    case Qt::Key_PageDown:
      sel(shift);
      m.set_top_line1(m.top_line1() + v - 1);
      sel(shift);
      break;
    case Qt::Key_PageUp:
      sel(shift);
      m.set_top_line1(m.top_line1() - v + 1);
      sel(shift);
      break;
    case Qt::Key_Home:
      sel(shift);
      m.set_h_offset1(0);
      m.set_caret_col1(1);
      if (ctrl) {
        m.set_top_line1(0);
        m.set_caret_row1(0);
      }
      sel(shift);
      break;
    case Qt::Key_End:
      sel(shift);
      go_line_end1();
      if (ctrl) {
        m.set_top_line1(m.row_count() - v);
        m.set_h_offset1(0);
      }
      sel(shift);
      break;
    default:
      return false;
  }
  update_text();
  return true;
}

bool tqozedit1::ctrl_key(QKeyEvent* e) {
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  EditorModel& m = model_;
  switch (e->key()) {
    case Qt::Key_V:
      m.paste_over1();
      break;
    case Qt::Key_C:
      m.copy_selection1();
      break;
    case Qt::Key_X:
      m.cut_selection1();
      break;
    case Qt::Key_A:
      m.select_all1();
      break;
    case Qt::Key_Z:
      if (shift)
        m.redo_step1();
      else
        m.undo_step1();
      break;
    case Qt::Key_W:
      m.select_word1();
      break;
    case Qt::Key_L:
      m.copy_line1();
      break;
    default:
      break;
  }
  update_text();
  return true;  // every key pressed with Ctrl is the editor's
}

void tqozedit1::type_bytes(std::string_view bytes) {
  for (std::string_view ch : model_.page().split_chars(bytes)) {
    const bool edge = caret_point().x() >= client_rect().width() - kEdgeMargin;
    model_.type_chars1(ch, edge);
  }
  update_text();
}

void tqozedit1::keyPressEvent(QKeyEvent* e) {
  emit OnKeyDown(e);
  const Qt::KeyboardModifiers mods = e->modifiers();
  const bool ctrl = mods & Qt::ControlModifier;
  const int key = e->key();
  bool consumed = true;
  if (key == Qt::Key_Delete) {
    model_.delete_key1();
  } else if (key == Qt::Key_Backspace) {
    model_.backspace_key1();
  } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    model_.enter_key1();
  } else if (navigation_key(e)) {
  } else if (ctrl) {
    ctrl_key(e);
  } else if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) &&
             model_.tab_key1(key == Qt::Key_Backtab || (mods & Qt::ShiftModifier))) {
  } else {
    consumed = false;
  }
  if (!consumed) {
    model_.key_down_unconsumed1(virtual_key(e));
    // The character the key produces, as its bytes in the document's code page.
    QString text = e->text();
    if (key == Qt::Key_Backtab) text = QStringLiteral("\t");
    if (!text.isEmpty() && !(mods & Qt::AltModifier)) {
      const ushort c = text.at(0).unicode();
      if (c == 8 || c == 13 || c == 127) text.clear();
      if (!text.isEmpty()) type_bytes(model_.page().from_utf8(text.toStdString()));
    }
  }
  update_scrollbars1();
  update_text();
  e->accept();
}

void tqozedit1::inputMethodEvent(QInputMethodEvent* e) {
  if (!e->commitString().isEmpty()) {
    type_bytes(model_.page().from_utf8(e->commitString().toStdString()));
    model_.notify_change1();
    update_scrollbars1();
  }
  e->accept();
}

QVariant tqozedit1::inputMethodQuery(Qt::InputMethodQuery q) const {
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

void tqozedit1::place_caret(const QPoint& pos) {
  const QPoint c = pos - client_rect().topLeft();
  model_.set_caret_row1(std::max(0, c.y()) / line_height_);
  model_.set_caret_col1(col_from_x1(c.x()));
  model_.fix_caret_dbcs1(false);
}

void tqozedit1::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  pressed_ = true;
  if (dblclick_flag_) return;
  setFocus();
  place_caret(e->position().toPoint());
  const EditPos p{model_.caret_abs_col1(), model_.current_index1()};
  model_.set_sel_anchor1(p);
  model_.set_sel_end1(p);
  mouse_selecting_ = true;
  update_text();
}

void tqozedit1::mouseMoveEvent(QMouseEvent* e) {
  if (dblclick_flag_) return;
  if (mouse_selecting_ && (e->buttons() & Qt::LeftButton)) {
    place_caret(e->position().toPoint());
    model_.set_sel_end1(EditPos{model_.caret_abs_col1(), model_.current_index1()});
    update_text();
    scroll_timer_->start();
  } else {
    scroll_timer_->stop();
  }
}

void tqozedit1::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  scroll_timer_->stop();
  const bool click = pressed_;
  pressed_ = false;
  if (dblclick_flag_) {
    dblclick_flag_ = false;
  } else {
    place_caret(e->position().toPoint());
    model_.set_sel_end1(EditPos{model_.caret_abs_col1(), model_.current_index1()});
    mouse_selecting_ = false;
    update_text();
  }
  if (click) emit OnClick();
}

void tqozedit1::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  pressed_ = true;
  emit OnDblClick();
  mouse_selecting_ = false;
  model_.select_word1();
  update_text();
}

void tqozedit1::scroll_tick() {
  if (!mouse_selecting_) return;
  EditorModel& m = model_;
  const int v = visible_rows();
  if (m.caret_row1() >= v) {
    m.set_top_line1(m.top_line1() + 1);
    m.set_caret_row1(v);
    update_scrollbars1();
  }
  if (m.caret_row1() <= 1) {
    m.set_top_line1(m.top_line1() - 1);
    update_scrollbars1();
  }
  const int x = caret_point().x();
  if (x >= client_rect().width() - kEdgeMargin) {
    m.set_h_offset1(m.h_offset1() + 10);
    m.set_caret_col1(m.caret_col1() - 10);
  } else if (x <= 0) {
    m.set_h_offset1(m.h_offset1() - 10);
  }
  update_text();
}

void tqozedit1::wheelEvent(QWheelEvent* e) {
  const int dy = e->angleDelta().y();
  if (dy < 0)
    model_.set_top_line1(model_.top_line1() + 1);
  else if (dy > 0)
    model_.set_top_line1(model_.top_line1() - 1);
  update_text();
  update_scrollbars1();
  e->accept();
}

void tqozedit1::contextMenuEvent(QContextMenuEvent* e) {
  if (menu_) menu_->popup(e->globalPos());
}

void tqozedit1::OnChange(EditorModel&) {
  emit OnChange();
}

void tqozedit1::history_trouble(HistoryTrouble what) {
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
  msg_box1(text, false, window(), kInfoCaption);
}

bool tqozedit1::load_file1(const std::string& path) {
  // A file of hundreds of megabytes takes a moment to read: show that the program works.
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const bool ok = model_.load_file1(path);
  QGuiApplication::restoreOverrideCursor();
  measure_line_height();
  update_scrollbars1();
  update_text();
  return ok;
}

}  // namespace lq::gui

// EditorView as a Qt widget: it paints the rows of an EditorModel (decoded with the
// document's code page for display only) and maps keys, the input method and the mouse onto
// the model's operations. Every text change goes through the model.
#pragma once

#include <QColor>
#include <QFont>
#include <QKeyEvent>
#include <QWidget>
#include <string>
#include <string_view>

#include "core/editor/editor_model.h"

class QMenu;
class QScrollBar;
class QTimer;

namespace lq::gui {

// The system clipboard as the editor sees it: plain text converted between the document's
// code page and Unicode, plus the exact bytes and the name of their code page under private
// MIME types, so a copy inside the program is byte-exact.
class SystemEditorClipboard : public EditorClipboard {
 public:
  static constexpr const char* kMimeType = "application/x-lexoquill-bytes";
  static constexpr const char* kPageMimeType = "application/x-lexoquill-code-page";
  void set_text(std::string_view bytes, const CodePage& page) override;
  // The private bytes while the plain text beside them is still theirs, else the plain text
  // as UTF-8.
  ClipboardText text() override;
};

class EditorView : public QWidget, private EditorClient {
  Q_OBJECT

 public:
  explicit EditorView(QWidget* parent = nullptr);
  ~EditorView() override;

  EditorModel& model() { return model_; }
  const EditorModel& model() const { return model_; }

  // Appearance.
  QColor BorderColor() const { return border_color_; }
  void setBorderColor(const QColor& c);
  QColor Color() const { return color_; }
  void setColor(const QColor& c);
  bool alternation_paint() const { return alternation_paint_; }
  void set_alternation_paint(bool on);
  QColor alternation_paint_color() const { return alternation_paint_color_; }
  void set_alternation_paint_color(const QColor& c);
  void set_scroll_bars(bool horizontal, bool vertical);

  // View operations.
  int line_height() const { return line_height_; }
  int px_width(std::string_view bytes) const;
  int col_from_x(int x) const;
  int longest_visible() const;
  void go_line_end();
  void refresh_scrollbars();
  // The client area: the part inside the frame and beside the scroll bars.
  QRect client_rect() const;
  // Screen caret position relative to the client area.
  QPoint caret_point() const;
  // Repaints the text area only: the scroll bars repaint themselves when they move, and
  // repainting them with every keystroke would cost more than the text.
  void update_text() { update(client_rect()); }
  QMenu* context_menu() const { return menu_; }
  // Replaces the own context menu (the document tabs use the main window's).
  void set_context_menu(QMenu* menu) { menu_ = menu; }

  bool load_file(const std::string& path);

 signals:
  void OnChange();
  // The document's code page, byte-order mark or line ends changed.
  void formatChanged();
  // Raised at the start of the editor's own key-down handling.
  void OnKeyDown(QKeyEvent* event);
  // A mouse press and release inside the editor.
  void OnClick();
  void OnDblClick();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery q) const override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  bool focusNextPrevChild(bool next) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  // EditorClient.
  void OnChange(EditorModel& sender) override;
  void repaint() override { update_text(); }
  void update_scrollbars() override { refresh_scrollbars(); }
  void caret_moved() override;
  void take_focus() override { setFocus(); }
  void scroll_bars_changed(bool vertical_only) override;
  void word_selected() override { dblclick_flag_ = true; }
  void format_changed() override { emit formatChanged(); }
  void history_trouble(HistoryTrouble what) override;

  void measure_line_height();
  int visible_rows() const;
  int wrap_width_bytes() const;
  // Before and after a navigation key: extend the selection with Shift, else collapse it.
  void sel(bool shift);
  bool navigation_key(QKeyEvent* e);
  bool ctrl_key(QKeyEvent* e);
  void type_bytes(std::string_view bytes);
  void place_caret(const QPoint& pos);
  void scroll_tick();
  void v_scroll_action(int action);
  void h_scroll_action(int action);
  void layout_bars();

  EditorModel model_;
  SystemEditorClipboard clipboard_;
  QColor border_color_{128, 128, 128};
  QColor color_;
  bool alternation_paint_ = false;
  QColor alternation_paint_color_;
  int line_height_ = 1;
  bool mouse_selecting_ = false;
  bool dblclick_flag_ = false;
  bool pressed_ = false;
  QScrollBar* vbar_ = nullptr;
  QScrollBar* hbar_ = nullptr;
  bool want_h_ = false, want_v_ = false;
  QTimer* scroll_timer_ = nullptr;
  QMenu* own_menu_ = nullptr;
  QMenu* menu_ = nullptr;
};

}  // namespace lq::gui

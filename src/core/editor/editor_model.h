// The text model of the editing control EditorView: its rows, the caret and scroll position,
// the selection, clipboard transfer, loading and saving, automatic wrap as a data
// transformation, the change notification, the undo history, and the key actions that
// change text.
//
// The editor works on bytes and converts them only where the user asks (a change of the
// document's code page) or where text arrives from outside (a paste from a document in
// another code page). The bytes are in the document's code page, which also decides where
// characters start and end: GBK for a new document, the one detected for a loaded file.
// Columns are 1-based byte positions in a row, lines 0-based row indexes. The caret and the
// selection may point beyond the end of a row or below the last row; the operations then
// add blanks, append rows or clamp.
//
// The widget that shows the model paints its fields and maps keys and the mouse onto these
// operations. What the model needs from it comes through two small interfaces: EditorClient
// (repaint, scroll bars, caret, focus, OnChange) and EditorClipboard (exact bytes). The wrap
// width is a number of bytes the widget computes from its width and font.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/editor/row_store.h"
#include "core/editor/undo.h"
#include "core/encoding/code_page.h"
#include "core/textsvc/text_layout.h"

namespace lq {

class EditorModel;

// Text on the clipboard: bytes and the code page they are in.
struct ClipboardText {
  std::string bytes;
  const CodePage* page = nullptr;  // null: the program's code page
};

// The clipboard as the editor uses it: plain text as exact bytes of a code page. Either call
// may throw when the clipboard cannot be reached; the editor swallows such failures.
class EditorClipboard {
 public:
  virtual ~EditorClipboard() = default;
  virtual void set_text(std::string_view bytes, const CodePage& page) = 0;
  // Empty bytes when the clipboard holds no text.
  virtual ClipboardText text() = 0;
};

// What kept undo from doing its work, for the user to be told.
enum class HistoryTrouble {
  NotRecorded,   // memory ran out for the snapshot even after older steps were dropped:
                 // the change that follows cannot be undone
  StepFailed,    // memory ran out during an undo or redo: the text is as it was before it
  LimitReached,  // undo found no older step because the oldest ones were dropped at the limit
};

// What the model tells the widget that shows it. Every call has a do-nothing default, so a
// model without a widget (the tests, a template window before it is shown) works alone.
class EditorClient {
 public:
  virtual ~EditorClient() = default;
  // Raised by notify_change: the user has (or may have) changed the text.
  virtual void OnChange(EditorModel& sender) { (void)sender; }
  virtual void repaint() {}
  // The row count or top_line changed in a way the scroll bars should show.
  virtual void update_scrollbars() {}
  // caret_col or caret_row was set: move the screen caret and the input-method window.
  virtual void caret_moved() {}
  virtual void take_focus() {}
  // Wrap was switched: only a vertical scroll bar while it is on, both while it is off.
  virtual void scroll_bars_changed(bool vertical_only) { (void)vertical_only; }
  // select_word selected a word; the widget ignores the rest of the double click's gesture.
  virtual void word_selected() {}
  // A paste in wrap mode re-wraps once the current input event is handled. Answer true
  // when rows_from_logical has been queued; false has the model re-wrap at once.
  virtual bool rewrap_later() { return false; }
  // The code page, the byte-order mark or the line ends of the document changed.
  virtual void format_changed() {}
  // Undo could not do what was asked; the text is consistent either way.
  virtual void history_trouble(HistoryTrouble what) { (void)what; }
};

// What converting a document to another code page found in the way. Empty lists: done.
struct PageConversion {
  // Characters the target code page lacks (UTF-8, once each, in order of appearance).
  std::vector<std::string> missing;
  // Bytes that are no character of the document's own code page (once each, in order).
  std::vector<std::string> undecodable;
  bool ok() const { return missing.empty() && undecodable.empty(); }
};

class EditorModel {
 public:
  EditorModel() = default;
  EditorModel(const EditorModel&) = delete;
  EditorModel& operator=(const EditorModel&) = delete;

  void set_client(EditorClient* client) { client_ = client; }
  void set_clipboard(EditorClipboard* clipboard) { clipboard_ = clipboard; }

  // ---- Document format ----
  // The code page of the text; a loaded file's own, else the program's.
  const CodePage& page() const { return *page_; }
  void set_page(const CodePage& page);
  // How the lines sat in the file (byte-order mark, each line's end); what saving writes
  // back.
  const TextLayout& layout() const { return layout_; }
  // The status bar's name for the format: the code page, " BOM" when the file starts with a
  // byte-order mark, and the line end new lines get: "UTF-8 · LF", "GBK · CR LF".
  std::string format_text() const;
  // Re-encodes the text into target, as one undo step: every line decoded with the
  // document's code page and encoded into target. Changes nothing when a line holds bytes
  // that are no character, or characters target lacks; the answer names them. Otherwise the
  // caret and the selection stay on their characters, a byte-order mark stays only with
  // UTF-8, and OnChange is raised. Converting to the code page in force does nothing.
  PageConversion convert_page(const CodePage& target);

  // ---- Text store ----
  // The rows as shown; while wrap is on each begins with its marker "0:" or "1:".
  const RowStore& Lines() const { return rows_; }
  int row_count() const { return static_cast<int>(rows_.size()); }
  // The document's lines while wrap is on (brought up to date with the rows first); empty
  // while it is off.
  const RowStore& logical_lines();
  bool auto_line() const { return auto_line1_; }
  // The wrap width W in bytes, from the widget's width and font.
  int wrap_width() const { return wrap_width_; }
  void set_wrap_width(int w) { wrap_width_ = w; }
  // The widget was resized to wrap width w: with wrap on the rows are wrapped again.
  void rewrap(int w);

  // ---- Position state ----
  int top_line() const { return top_line1_; }
  int caret_row() const { return caret_row1_; }
  int caret_col() const { return caret_col1_ < 1 ? 1 : caret_col1_; }
  int h_offset() const { return h_offset1_; }
  // The current line: the caret's row index.
  int current_index() const { return top_line1_ + caret_row1_; }
  // The caret's absolute column.
  int caret_abs_col() const { return caret_col() + h_offset1_; }
  EditPos sel_anchor() const { return sel_anchor1_; }
  EditPos sel_end() const { return sel_end1_; }
  EditPos norm_start() const { return norm_start1_; }
  EditPos norm_end() const { return norm_end1_; }
  void set_sel_anchor(EditPos p) { sel_anchor1_ = p; }
  void set_sel_end(EditPos p) { sel_end1_ = p; }
  bool has_selection() const { return !(sel_anchor1_ == sel_end1_); }

  // Caret and scroll setters (the widget moves its screen caret on caret_moved).
  void set_caret_col(int col);  // below 1 becomes 1
  void set_caret_row(int row);
  void set_top_line(int n);  // never below 0
  void set_h_offset(int n);  // never below 0; always 0 while wrap is on
  // Moves the caret off the middle of a character, one column forward or back.
  void fix_caret_dbcs(bool forward);

  // ---- Operations ----
  // Wrap off: every row followed by CR LF. Wrap on: the logical lines joined with CR LF
  // between them.
  std::string get_all_text();
  // Replaces the text; caret, selection, scroll position and histories stay.
  void set_all_text(std::string_view text);
  // Replaces the text with a file's lines (split at LF, CR dropped), in the code page
  // detected for the file, without its byte-order mark; the mark and each line's end are
  // kept in layout(). Answers false on any failure and then keeps the text it had.
  bool load_file(const std::string& path);
  // Writes the lines in the document's code page with the file's byte-order mark and line
  // ends (join_lines, keeping each line's own end while the line count is the file's),
  // replacing the file only once all of it is written (write_file_atomically). A read-only file is
  // made writable for its owner first. The file's line ends are then the ones written.
  // Throws RunError.
  void save_file(const std::string& path);
  std::string current_line() const;
  // Writes the current line, appending empty rows when the caret is below the last row.
  void set_current_line(std::string_view text);
  // A row's text without its wrap marker; empty for a row that does not exist.
  std::string get_row(int i) const;
  std::string_view row_view(int i) const;
  // Replaces a row's text, keeping its wrap marker.
  void put_row(int i, std::string_view text);

  void normalize_selection();
  void collapse_selection();
  void extend_selection();
  std::string selected_text();
  void delete_selection();
  void select_all();
  void select_word();
  void copy_selection();
  void paste_clipboard();
  void paste_over();
  // Inserts text at the caret (padding the line with blanks up to it) without moving the
  // caret, re-splitting or raising OnChange.
  void insert_text(std::string_view text);

  // Appends a snapshot to the undo history, dropping the oldest records beyond the limits.
  // When memory runs out it drops older records and tries once more; failing again it tells
  // the client (HistoryTrouble::NotRecorded).
  void record_undo();
  // Either the step is done or the text stays as it was and the client is told.
  void undo_step();
  void redo_step();
  void notify_change();
  const Tqoz_edit_undo_list& undo_list() const { return undo_list1_; }
  const Tqoz_edit_undo_list& redo_list() const { return redo_list1_; }
  void clear_history();
  // The bounds of the history; lowering them drops the oldest records at once.
  const UndoLimits& undo_limits() const { return undo_limits_; }
  void set_undo_limits(const UndoLimits& limits);
  // Memory the history keeps beyond the text (the records' costs).
  size_t history_bytes() const { return undo_list1_.bytes() + redo_list1_.bytes(); }

  void set_wrap(bool on);
  void rows_from_logical();
  void logical_from_rows();

  // ---- Key actions that change text ----
  // Each records an undo snapshot first; the Delete, Backspace, Enter and Tab actions end
  // with notify_change, as the key handling does.
  void delete_key();     // Delete
  void backspace_key();  // Backspace
  void enter_key();      // Enter
  // Tab / Shift+Tab: with a selection, indents or unindents it and answers true (the key is
  // consumed); without one answers false and the TAB arrives as a typed character.
  bool tab_key(bool shift);
  void indent_selection(bool indent);
  // A typed character (key press) as its byte. at_right_edge: the screen caret stood within
  // 10 pixels of the right edge before typing. Backspace (8), CR (13) and a TAB while a
  // selection exists are not inserted. While wrap is on the first bytes of a multi-byte
  // character wait in pending_bytes for the rest. Answers whether something was inserted.
  // OnChange for typing comes from the key-down rule, not from here.
  bool type_char(unsigned char ch, bool at_right_edge);
  // The same for all bytes of one character at once (in the document's code page).
  bool type_chars(std::string_view ch, bool at_right_edge);
  const std::string& pending_bytes() const { return pending_bytes1_; }
  // The change rule of key-down for a key the editor did not consume (key_code as a Windows
  // virtual-key code): every code up to 32 and above 40 raises OnChange, the arrows and the
  // page keys do not. So a key the editor ignores, F3 or Shift alone, still raises it.
  void key_down_unconsumed(int key_code);
  void copy_line();      // Ctrl+L: the current line, without a line break, to the clipboard
  void cut_selection();  // Ctrl+X

 private:
  // Every change of the rows goes through these, so wrap mode knows when the logical lines
  // are stale.
  void edit_rows(size_t first, size_t n, std::span<const std::string_view> rows);
  void assign_rows(RowStore rows);
  // After n rows at first became m rows: in wrap mode, note them for the next re-wrap.
  void rows_edited(size_t first, size_t n, size_t m);
  // After the rows were replaced wholesale: the next re-wrap starts from the logical lines.
  void rows_replaced();
  // Wraps again only the logical lines whose rows changed since the rows were last wrapped.
  void rewrap_changed();
  void set_row(int i, std::string_view text);
  // Cuts rows at the line breaks inside them; in wrap mode each new row starts a logical line.
  void resplit_rows();
  void sync_logical();
  // Answers false when memory ran out; nothing has changed then.
  bool history_step(Tqoz_edit_undo_list& from, Tqoz_edit_undo_list& to);
  // The text, selection and format as they are now, as a history record (cost not set).
  Tqoz_edit_undo_item state_now() const;
  // Drops the oldest records while a list holds more than the limits allow; the newest
  // undo record stays.
  void enforce_limits() noexcept;
  void history_trouble(HistoryTrouble what) noexcept {
    // Telling may need memory too; when even that fails there is no one left to tell.
    try {
      if (client_) client_->history_trouble(what);
    } catch (...) {
    }
  }
  void format_changed() {
    if (client_) client_->format_changed();
  }
  // Bytes of another code page in the document's.
  std::string in_own_page(const ClipboardText& clip) const;
  // Puts the caret on line, at absolute column col, scrolling up or left when it lies
  // before the view.
  void move_caret_to(int col, int line);

  void repaint() {
    if (client_) client_->repaint();
  }
  void update_scrollbars() {
    if (client_) client_->update_scrollbars();
  }

  EditorClient* client_ = nullptr;
  EditorClipboard* clipboard_ = nullptr;

  const CodePage* page_ = &code_page();
  TextLayout layout_;
  RowStore rows_;
  RowStore logical_;
  bool auto_line1_ = false;
  bool logical_stale_ = false;
  int wrap_width_ = 0;
  // While wrap_valid_, every row outside [dirty_lo_, dirty_hi_) (and outside the logical
  // lines those rows belong to) is exactly what wrapping its logical line at wrapped_width_
  // gives, so re-wrapping the changed lines gives what wrapping everything would.
  bool wrap_valid_ = false;
  int wrapped_width_ = 0;
  bool dirty_ = false;
  size_t dirty_lo_ = 0, dirty_hi_ = 0;

  int top_line1_ = 0;
  int caret_row1_ = 0;
  int caret_col1_ = 1;
  int h_offset1_ = 0;
  EditPos sel_anchor1_, sel_end1_, norm_start1_, norm_end1_;

  Tqoz_edit_undo_list undo_list1_, redo_list1_;
  UndoLimits undo_limits_;
  // Undo records were dropped at the limits since the history was last emptied.
  bool undo_dropped_ = false;
  std::string pending_bytes1_;
};

}  // namespace lq

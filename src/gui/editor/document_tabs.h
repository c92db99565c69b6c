// The editor area of the main window: the tab strip TabHeader over PageControl1, and the
// document commands on them: new document, open a file into a tab, save, save all, close,
// the modified mark, the reload offer when a file changed on disk and the conversion of a
// document to another code page.
//
// A page knows the stamp of its file as its text was loaded or saved: saving over a file
// that changed since asks first, and a changed file is offered for reloading once.
#pragma once

#include <QColor>
#include <QFont>
#include <QKeyEvent>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/editor/undo.h"

class QMenu;

namespace lq {
class CodePage;
}

namespace lq::gui {

class FilePage;
class TTabControlEx;
class TTabControlExHead;
class EditorView;

class DocumentTabs : public QWidget {
  Q_OBJECT

 public:
  explicit DocumentTabs(QWidget* parent = nullptr);

  TTabControlEx* PageControl1() const { return page_control_; }
  TTabControlExHead* TabHeader() const { return head_; }
  const std::string& current_file() const { return current_file_; }

  FilePage* active_page() const;
  EditorView* active_editor() const;
  FilePage* new_page();
  void new_document();
  FilePage* find_page(const std::string& path) const;
  bool open_in_tab(const std::string& path);
  // Answers whether the page's text is now in its file. Saving over a file that changed on
  // disk since the text was loaded or saved asks first; a failure names the file and the
  // system's reason.
  bool save_page(FilePage* page);
  void save_all();
  // Reads the page's file again, keeping the caret, the selection and the scroll position;
  // the text it replaces is an undo step. Answers false (the text unchanged) on failure.
  bool reload_page(FilePage* page);
  // The caption and hint from the page's state: "*" for unsaved edits, "!" when the file
  // on disk changed underneath them.
  void show_state(FilePage* page);
  void close_active();
  void next_page();
  void prev_page();
  void editor_changed();
  void reload_check();
  // Every page, in child order.
  std::vector<FilePage*> pages() const;
  // Re-encodes the active document into target; a message box names what target cannot
  // hold (or what is no character in the document), and the document then stays as it was.
  void convert_active(const CodePage& target);

  // Appearance taken from the settings: the editor font for new pages, the bands for all.
  void set_editor_font(const QFont& f) { editor_font_ = f; }
  void set_alternation(bool on, const QColor& color);
  // The undo bounds of every page's editor, now and for pages created later.
  void set_undo_limits(const UndoLimits& limits);
  // The context menu of every page's editor (the main window's PopupMenu_edit1).
  void set_editor_menu(QMenu* menu);

  // The save dialog, replaceable for automated runs: answers the chosen name or "".
  using SaveDialog = std::function<std::string(QWidget* owner)>;
  void set_save_dialog(SaveDialog dialog) { save_dialog_ = std::move(dialog); }

 signals:
  // A page's editor got a key-down before its own handling.
  void editorKeyDown(QKeyEvent* e);
  // Another page became active, or the active document's code page, byte-order mark or
  // line ends changed.
  void formatChanged();

 private:
  void step_page(int delta);
  void mark_modified(FilePage* page);

  TTabControlExHead* head_ = nullptr;
  TTabControlEx* page_control_ = nullptr;
  QMenu* head_menu_ = nullptr;
  QMenu* editor_menu_ = nullptr;
  std::string current_file_;
  QFont editor_font_;
  bool alternation_ = true;
  QColor alternation_color_;
  UndoLimits undo_limits_;
  SaveDialog save_dialog_;
};

}  // namespace lq::gui

// The main window's editing commands on the editor of the active tab: the Edit menu, the
// editors' context menu PopupMenu_edit1, the copies for web pages and for code, the current
// date, wide-text copy and paste, quick find with find-next (F3), the numbered bookmarks
// (Ctrl+Shift+digit sets, Ctrl+digit goes back), the persistent bookmarks of the menu
// "书签", the character-code display, the active document's format in the status bar and
// the byte-escape tool.
//
// Every command does nothing while no tab is active.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "core/editor/bookmarks.h"
#include "core/textsvc/text_data.h"

class QLabel;
class QMenu;
class QWidget;

namespace lq {
class MessageCatalogue;
}

namespace lq::gui {

class CharCodeDisplay;
class DocumentTabs;
class TForm_find;
class Tex_form_java;
class EditorView;

class EditCommands : public QObject {
  Q_OBJECT

 public:
  // window: the main window, whose keys the commands see first. The catalogue must
  // outlive this object (the quick-find box records its texts into it when destroyed).
  EditCommands(QWidget* window, DocumentTabs* tabs, MessageCatalogue& catalogue);
  ~EditCommands() override;

  // Adds the commands to the main window's menus.
  void fill_edit_menu(QMenu* menu);
  void fill_action_menu(QMenu* menu);
  void fill_bookmark_menu(QMenu* menu);
  void fill_tool_menu(QMenu* menu);

  QMenu* PopupMenu_edit1() const { return popup_; }
  // "当前字符编码:" with Edit_code1 and Edit_code2; the main window places it.
  CharCodeDisplay* code_display() const { return code_display_; }
  // Label_format1: the active document's code page and line end ("UTF-8 · LF"); the main
  // window places it.
  QLabel* format_display() const { return format_display_; }

  // A bookmark was chosen: the main window adds the path to the file list when it is not
  // there yet and refreshes the list.
  using AddFile = std::function<void(const std::string& path)>;
  void set_add_to_file_list(AddFile add) { add_to_file_list_ = std::move(add); }

  // The commands.
  void copy_as_web();
  void copy_as_code();
  void insert_date();
  void copy_unicode();
  void paste_unicode();
  void show_quick_find();
  void find_next();
  const std::string& find_text() const { return find_text_; }
  void set_find_text(const std::string& text) { find_text_ = text; }
  void set_number_mark(int digit);
  void go_number_mark(int digit);
  void add_bookmark();
  void rebuild_bookmarks();
  void open_bookmark(const std::string& path);
  void show_char_code();
  void show_format();
  void show_java_form();

  TForm_find* quick_find() const { return find_form_.get(); }
  Tex_form_java* java_form() const { return java_form_; }
  QMenu* bookmark_list_menu() const { return marks_menu_; }

 protected:
  // The main window sees every key before the focused control: F3 and the digit keys with
  // Ctrl are its own.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  EditorView* editor() const;
  // Runs f on the active editor and repaints it; nothing without one.
  void on_editor(const std::function<void(EditorView&)>& f);
  QMenu* build_popup();

  QWidget* window_;
  DocumentTabs* tabs_;
  MessageCatalogue& catalogue_;
  QMenu* popup_ = nullptr;
  QMenu* marks_menu_ = nullptr;
  CharCodeDisplay* code_display_ = nullptr;
  QLabel* format_display_ = nullptr;
  std::unique_ptr<TForm_find> find_form_;
  Tex_form_java* java_form_ = nullptr;
  std::string find_text_;
  NumberMarks number_marks_;
  TTextData c_mark1_;
  AddFile add_to_file_list_;
};

}  // namespace lq::gui

#include "gui/editor/edit_commands.h"

#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QRegularExpression>

#include "core/editor/edit_commands.h"
#include "core/editor/editor_model.h"
#include "core/encoding/unicode_helpers.h"
#include "core/textsvc/message_catalogue.h"
#include "gui/editor/char_code_display.h"
#include "gui/editor/document_tabs.h"
#include "gui/editor/form_find.h"
#include "gui/editor/qoz_edit.h"
#include "gui/editor/tab_control.h"
#include "gui/editor/unicode_clipboard.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/tags.h"
#include "gui/shell/text_bridge.h"
#include "gui/tools/java_escape_dialog.h"

namespace lq::gui {

namespace {

QAction* add_item(QMenu* menu, const char* name, const char* caption, int tag = 0) {
  QAction* a = menu->addAction(QString::fromUtf8(caption));
  a->setObjectName(name);
  if (tag) set_tag(a, tag);
  return a;
}

// The digit of a key of the main keyboard, or -1. With Shift held the key reports the
// shifted symbol, so the key's position decides: X key codes 10 … 19 are the digit row
// 1 … 9, 0.
int digit_of(const QKeyEvent* e) {
  if (e->modifiers() & Qt::KeypadModifier) return -1;
  if (e->key() >= Qt::Key_0 && e->key() <= Qt::Key_9) return e->key() - Qt::Key_0;
  const quint32 sc = e->nativeScanCode();
  if (sc >= 10 && sc <= 19) return sc == 19 ? 0 : static_cast<int>(sc) - 9;
  return -1;
}

// The system's short date, a blank and its long time without the time-zone name; the time
// is left out at exactly midnight.
QString date_text(const QDateTime& now) {
  const QLocale loc = QLocale::system();
  QString text = loc.toString(now.date(), QLocale::ShortFormat);
  if (now.time() != QTime(0, 0)) {
    QString fmt = loc.timeFormat(QLocale::LongFormat);
    fmt.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    text += QLatin1Char(' ') + loc.toString(now.time(), fmt.trimmed());
  }
  return text;
}

}  // namespace

EditCommands::EditCommands(QWidget* window, DocumentTabs* tabs, MessageCatalogue& catalogue)
    : window_(window), tabs_(tabs), catalogue_(catalogue) {
  c_mark1_ = make_c_mark();
  popup_ = build_popup();
  tabs_->set_editor_menu(popup_);
  code_display_ = new CharCodeDisplay(window);
  connect(tabs_, &DocumentTabs::editorKeyDown, this, &EditCommands::show_char_code);
  format_display_ = new QLabel(window);
  format_display_->setObjectName("Label_format1");
  format_display_->setAccessibleName(QString::fromUtf8("编码和行尾"));
  connect(tabs_, &DocumentTabs::formatChanged, this, &EditCommands::show_format);
  qApp->installEventFilter(this);
}

EditCommands::~EditCommands() {
  qApp->removeEventFilter(this);
}

EditorView* EditCommands::editor() const {
  return tabs_->active_editor();
}

void EditCommands::on_editor(const std::function<void(EditorView&)>& f) {
  if (EditorView* ed = editor()) {
    f(*ed);
    ed->update_text();
  }
}

QMenu* EditCommands::build_popup() {
  auto* menu = new QMenu(window_);
  menu->setObjectName("PopupMenu_edit1");
  auto model_item = [&](QMenu* m, const char* name, const char* caption,
                        void (EditorModel::*op)()) {
    connect(add_item(m, name, caption), &QAction::triggered, this,
            [this, op] { on_editor([op](EditorView& ed) { (ed.model().*op)(); }); });
  };
  model_item(menu, "N_p_copy1", "复制", &EditorModel::copy_selection);
  model_item(menu, "N_p_paste1", "粘贴", &EditorModel::paste_over);
  connect(add_item(menu, "N_p_delete1", "删除"), &QAction::triggered, this, [this] {
    on_editor([](EditorView& ed) {
      ed.model().record_undo();
      ed.model().delete_selection();
    });
  });
  menu->addSeparator();
  model_item(menu, "N_p_undo1", "撤消", &EditorModel::undo_step);
  model_item(menu, "N_p_redo1", "重做", &EditorModel::redo_step);
  menu->addSeparator();
  model_item(menu, "N_p_all1", "全选    Ctrl+A", &EditorModel::select_all);
  menu->addSeparator();

  QMenu* web = menu->addMenu(QString::fromUtf8("粘贴 - 网页兼容"));
  web->setObjectName("N_p_web1");
  connect(add_item(web, "N_copy_web1", "复制为网页"), &QAction::triggered, this,
          &EditCommands::copy_as_web);
  connect(add_item(web, "N_copy_code1", "复制为代码"), &QAction::triggered, this,
          &EditCommands::copy_as_code);
  QMenu* func = menu->addMenu(QString::fromUtf8("粘贴 - 功能性"));
  func->setObjectName("N_p_func1");
  connect(add_item(func, "N_date1", "当前日期"), &QAction::triggered, this,
          &EditCommands::insert_date);
  QMenu* uni = menu->addMenu(QString::fromUtf8("粘贴 - win8/unicode 兼容"));
  uni->setObjectName("N_p_unicode1");
  connect(add_item(uni, "N_copy_unicode", "复制为 unicode 格式"), &QAction::triggered, this,
          &EditCommands::copy_unicode);
  connect(add_item(uni, "N_paste_unicode", "从 unicode 格式粘贴"), &QAction::triggered, this,
          &EditCommands::paste_unicode);
  return menu;
}

void EditCommands::fill_edit_menu(QMenu* menu) {
  QAction* save = add_item(menu, "N_save1", "保存", 12000002);
  save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(save, &QAction::triggered, this, [this] { tabs_->save_page(tabs_->active_page()); });
  // The key names in these captions are text only: the editor handles the keys itself.
  connect(add_item(menu, "N_copy1", "复制 [Ctrl+C]", 12000003), &QAction::triggered, this,
          [this] { on_editor([](EditorView& ed) { ed.model().copy_selection(); }); });
  connect(add_item(menu, "N_paste1", "粘贴 [Ctrl+V]", 12000004), &QAction::triggered, this,
          [this] { on_editor([](EditorView& ed) { ed.model().paste_clipboard(); }); });
  connect(add_item(menu, "N_cut1", "剪切 [Ctrl+X]", 12000005), &QAction::triggered, this, [this] {
    on_editor([](EditorView& ed) {
      ed.model().copy_selection();
      ed.model().delete_selection();
    });
  });
  connect(add_item(menu, "N_delete1", "删除", 12000006), &QAction::triggered, this,
          [this] { on_editor([](EditorView& ed) { ed.model().delete_selection(); }); });
  menu->addSeparator();
  connect(add_item(menu, "N_wrap1", "自动折行[切换]", 12000007), &QAction::triggered, this, [this] {
    on_editor([](EditorView& ed) { ed.model().set_wrap(!ed.model().auto_line()); });
  });
}

void EditCommands::fill_action_menu(QMenu* menu) {
  QAction* find = add_item(menu, "N_find_quick1", "快速查找");
  find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  connect(find, &QAction::triggered, this, &EditCommands::show_quick_find);
}

void EditCommands::fill_bookmark_menu(QMenu* menu) {
  connect(add_item(menu, "N_addmark1", "加入书签", 17000002), &QAction::triggered, this,
          &EditCommands::add_bookmark);
  add_item(menu, "N_addmark2", "加入书签[含行号]", 17000003);
  menu->addSeparator();
  marks_menu_ = menu->addMenu(QString::fromUtf8("书签..."));
  marks_menu_->setObjectName("N_marks1");
  menu->addSeparator();
  add_item(menu, "N_markman1", "管理", 17000005);
  connect(menu, &QMenu::aboutToShow, this, &EditCommands::rebuild_bookmarks);
}

void EditCommands::fill_tool_menu(QMenu* menu) {
  connect(add_item(menu, "N_java1", "java字符字节化"), &QAction::triggered, this,
          &EditCommands::show_java_form);
}

// ---- Copies and insertions ----

void EditCommands::copy_as_web() {
  on_editor([](EditorView& ed) {
    const CodePage& page = ed.model().page();
    try {
      SystemEditorClipboard().set_text(as_web_text(ed.model().selected_text(), page), page);
    } catch (...) {
    }
  });
}

void EditCommands::copy_as_code() {
  on_editor([](EditorView& ed) {
    const CodePage& page = ed.model().page();
    try {
      SystemEditorClipboard().set_text(code_text(ed.model().selected_text(), page), page);
    } catch (...) {
    }
  });
}

void EditCommands::insert_date() {
  on_editor([](EditorView& ed) {
    const QString date = date_text(QDateTime::currentDateTime());
    ed.model().insert_text(ed.model().page().from_utf8(date.toStdString()));
  });
}

void EditCommands::copy_unicode() {
  on_editor([](EditorView& ed) {
    const std::string text = ed.model().selected_text();
    const CodePage& page = ed.model().page();
    try {
      SystemEditorClipboard().set_text(text, page);
      set_unicode_text(page.to_utf16(text));
    } catch (...) {
    }
  });
}

void EditCommands::paste_unicode() {
  on_editor([](EditorView& ed) {
    const std::string text = ed.model().page().from_utf16(get_unicode_text());
    if (!text.empty()) ed.model().insert_text(text);
  });
}

// ---- Find ----

void EditCommands::show_quick_find() {
  if (!find_form_) {
    find_form_ = std::make_unique<TForm_find>(catalogue_, window_);
    connect(find_form_.get(), &TForm_find::findRequested, this, [this](const std::string& t) {
      find_text_ = t;
      find_next();
    });
  }
  find_form_->show();
  find_form_->raise();
  find_form_->activateWindow();
}

void EditCommands::find_next() {
  EditorView* ed = editor();
  if (!ed || find_text_.empty()) return;
  if (find_next_in(ed->model(), find_text_)) {
    ed->refresh_scrollbars();
    ed->update_text();
    return;
  }
  msg_box(from_gbk(catalogue_text::get_text(catalogue_, msg::kNotFound)), false, window_,
          kInfoCaption);
  window_->activateWindow();
}

// ---- Bookmarks ----

void EditCommands::set_number_mark(int digit) {
  if (FilePage* page = tabs_->active_page())
    number_marks_.set_mark(digit, page->file_path, page->page_editor->model().top_line());
}

void EditCommands::go_number_mark(int digit) {
  const auto mark = number_marks_.mark_at(digit);
  if (!mark || !tabs_->open_in_tab(mark->path)) return;
  // A file that has gone since leaves whatever tab is active alone.
  FilePage* page = tabs_->active_page();
  if (!page || page != tabs_->find_page(mark->path)) return;
  page->page_editor->model().set_top_line(mark->top_line);
  page->page_editor->refresh_scrollbars();
  page->page_editor->update_text();
}

void EditCommands::add_bookmark() {
  try {
    lq::add_bookmark(c_mark1_, tabs_->current_file());
  } catch (const std::exception& e) {
    msg_box(QString::fromUtf8(e.what()), false, window_, kInfoCaption);
  }
}

void EditCommands::rebuild_bookmarks() {
  marks_menu_->clear();
  LineList paths;
  try {
    paths = bookmark_list(c_mark1_);
  } catch (...) {
    return;  // an unreadable list shows no entries
  }
  for (const std::string& path : paths) {
    QAction* a = marks_menu_->addAction(path_to_q(path));
    connect(a, &QAction::triggered, this, [this, path] { open_bookmark(path); });
  }
}

void EditCommands::open_bookmark(const std::string& path) {
  if (add_to_file_list_) add_to_file_list_(path);
  tabs_->open_in_tab(path);
}

// ---- Character code, tools ----

void EditCommands::show_char_code() {
  if (EditorView* ed = editor())
    code_display_->show_byte(code_byte(ed->model().current_line(), ed->model().caret_abs_col()));
}

void EditCommands::show_format() {
  const EditorView* ed = editor();
  format_display_->setText(ed ? QString::fromStdString(ed->model().format_text()) : QString());
}

void EditCommands::show_java_form() {
  if (!java_form_) java_form_ = new Tex_form_java(window_);
  java_form_->exec();
}

bool EditCommands::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w || w->window() != window_) return false;
  auto* e = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers mods = e->modifiers();
  if (e->key() == Qt::Key_F3 && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
    find_next();
    return true;
  }
  if (!(mods & Qt::ControlModifier) || (mods & Qt::AltModifier) || !tabs_->active_page())
    return false;
  const int digit = digit_of(e);
  if (digit < 0) return false;
  if (mods & Qt::ShiftModifier)
    set_number_mark(digit);
  else
    go_number_mark(digit);
  return true;
}

}  // namespace lq::gui

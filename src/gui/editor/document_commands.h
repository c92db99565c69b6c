// Where the user reaches the document tabs from the main window: the File menu's "新文档",
// "关闭当前文件", "新建空白窗口" and "转换编码", the View menu's next and previous page, and
// the tool bar's save button with "全部保存" on its drop-down.
#pragma once

class QAction;
class QMenu;
class QWidget;

namespace lq::gui {

class DocumentTabs;

// Adds the File-menu entries before `before_quit` (the quit entry), or at the end when it
// is null.
void add_document_file_items(QMenu* file, QAction* before_quit, DocumentTabs* tabs);
void add_document_view_items(QMenu* view, DocumentTabs* tabs);
// The save button, placed in the tool bar's row before the widget `before` (at its end when
// that is not in the row).
QWidget* add_save_button(QWidget* tool_bar, QWidget* before, DocumentTabs* tabs);

}  // namespace lq::gui

#include "gui/editor/document_commands.h"

#include <QBoxLayout>
#include <QMenu>
#include <QStyle>

#include "gui/editor/document_tabs.h"
#include "gui/shell/blank_window.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {

namespace {

QAction* make_item(QMenu* menu, const char* name, const char* caption) {
  auto* a = new QAction(QString::fromUtf8(caption), menu);
  a->setObjectName(name);
  return a;
}

}  // namespace

void add_document_file_items(QMenu* file, QAction* before_quit, DocumentTabs* tabs) {
  QAction* fresh = make_item(file, "N_new1", "新文档");
  fresh->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  QObject::connect(fresh, &QAction::triggered, tabs, &DocumentTabs::new_document);
  // Ctrl+F4 itself belongs to the tab strip's "关闭当前页"; the caption only names it here,
  // as two shortcuts for one key would cancel each other out.
  QAction* close = make_item(file, "N_close1", "关闭当前文件\tCtrl+F4");
  QObject::connect(close, &QAction::triggered, tabs, &DocumentTabs::close_active);
  QAction* window = make_item(file, "N_newwin1", "新建空白窗口");
  QObject::connect(window, &QAction::triggered, [] { start_blank_window1(); });
  QAction* sep = new QAction(file);
  sep->setSeparator(true);
  file->insertActions(before_quit, {fresh, close, window, sep});
}

void add_document_view_items(QMenu* view, DocumentTabs* tabs) {
  view->addSeparator();
  QAction* next = view->addAction(QString::fromUtf8("下一页        CTRL+TAB"));
  next->setObjectName("N_nextpage1");
  QObject::connect(next, &QAction::triggered, tabs, &DocumentTabs::next_page1);
  QAction* prev = view->addAction(QString::fromUtf8("上一页        CTRL+SHILT+TAB"));
  prev->setObjectName("N_prevpage1");
  QObject::connect(prev, &QAction::triggered, tabs, &DocumentTabs::prev_page1);
}

QWidget* add_save_button(QWidget* tool_bar, QWidget* before, DocumentTabs* tabs) {
  auto* save =
      new ImageButton(tool_bar->style()->standardIcon(QStyle::SP_DialogSaveButton),
                      QString::fromUtf8("保存"), QString::fromUtf8("保存当前文件"), tool_bar);
  save->setObjectName("SpeedButton_save1");
  auto* menu = new QMenu(save);
  QAction* all = menu->addAction(QString::fromUtf8("全部保存"));
  all->setObjectName("N_saveall1");
  QObject::connect(all, &QAction::triggered, tabs, &DocumentTabs::save_all);
  save->setMenu(menu);
  save->setPopupMode(QToolButton::MenuButtonPopup);
  QObject::connect(save, &QToolButton::clicked, tabs,
                   [tabs] { tabs->save_page1(tabs->active_page1()); });
  if (auto* row = qobject_cast<QBoxLayout*>(tool_bar->layout())) {
    const int at = before ? row->indexOf(before) : -1;
    if (at >= 0) {
      row->insertWidget(at, save);
      row->insertSpacing(at + 1, 10);
    } else {
      row->addWidget(save);
    }
  }
  return save;
}

}  // namespace lq::gui

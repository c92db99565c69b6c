#include "gui/editor/document_commands.h"

#include <QActionGroup>
#include <QBoxLayout>
#include <QMenu>
#include <QStyle>
#include <array>
#include <utility>

#include "core/editor/editor_model.h"
#include "core/encoding/code_page.h"
#include "gui/editor/document_tabs.h"
#include "gui/editor/qoz_edit.h"
#include "gui/shell/blank_window.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {

namespace {

QAction* make_item(QMenu* menu, const char* name, const char* caption) {
  auto* a = new QAction(QString::fromUtf8(caption), menu);
  a->setObjectName(name);
  return a;
}

// "转换编码": the code pages a document can be converted to, the active document's checked.
QMenu* make_convert_menu(QMenu* file, DocumentTabs* tabs) {
  auto* menu = new QMenu(QString::fromUtf8("转换编码(&E)"), file);
  menu->setObjectName("N_convert1");
  auto* group = new QActionGroup(menu);
  const std::array<std::pair<QAction*, const CodePage*>, 2> targets = {
      {{make_item(menu, "N_convert_gbk1", "&GBK"), &gbk_code_page()},
       {make_item(menu, "N_convert_utf81", "&UTF-8"), &utf8_code_page()}}};
  for (auto [a, page] : targets) {
    a->setCheckable(true);
    group->addAction(a);
    menu->addAction(a);
    QObject::connect(a, &QAction::triggered, tabs, [tabs, page] { tabs->convert_active(*page); });
  }
  QObject::connect(menu, &QMenu::aboutToShow, menu, [tabs, targets] {
    const EditorView* ed = tabs->active_editor();
    for (auto [a, page] : targets) a->setChecked(ed && &ed->model().page() == page);
  });
  QObject::connect(file, &QMenu::aboutToShow, menu,
                   [menu, tabs] { menu->setEnabled(tabs->active_editor() != nullptr); });
  return menu;
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
  QObject::connect(window, &QAction::triggered, [] { start_blank_window(); });
  QAction* convert = make_convert_menu(file, tabs)->menuAction();
  QAction* sep = new QAction(file);
  sep->setSeparator(true);
  file->insertActions(before_quit, {fresh, close, window, convert, sep});
}

void add_document_view_items(QMenu* view, DocumentTabs* tabs) {
  view->addSeparator();
  QAction* next = view->addAction(QString::fromUtf8("下一页        CTRL+TAB"));
  next->setObjectName("N_nextpage1");
  QObject::connect(next, &QAction::triggered, tabs, &DocumentTabs::next_page);
  QAction* prev = view->addAction(QString::fromUtf8("上一页        CTRL+SHILT+TAB"));
  prev->setObjectName("N_prevpage1");
  QObject::connect(prev, &QAction::triggered, tabs, &DocumentTabs::prev_page);
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
                   [tabs] { tabs->save_page(tabs->active_page()); });
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

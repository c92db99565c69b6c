// The find results under the editor: Panel_find1 with its splitter, the list that collects
// the results of every run, its context menu, and the toggle that shows the last run's.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QVBoxLayout>

#include "core/operations/find_result_line.h"
#include "gui/shell/main_window.h"
#include "gui/shell/text_bridge.h"
#include "gui/widgets/caption_splitter.h"
#include "gui/widgets/color_widgets.h"
#include "gui/widgets/image_buttons.h"
#include "gui/widgets/resize_bar.h"

namespace lq::gui {
namespace {

constexpr int kRawRole = Qt::UserRole + 1;

// A result line as shown: the file name is file-system bytes, the rest GBK.
QString shown_result(const std::string& line) {
  const std::string head = to_gbk("文件名=");
  const std::string path = parse_find_result(line).path;
  if (line.compare(0, head.size(), head) != 0 || line.compare(head.size(), path.size(), path) != 0)
    return from_gbk(line);
  return "文件名=" + path_to_q(path) +
         from_gbk(std::string_view(line).substr(head.size() + path.size()));
}

void append_results(QListWidget* box, const FindResults& results) {
  for (const std::string& r : results) {
    auto* it = new QListWidgetItem(shown_result(r), box);
    it->setData(kRawRole, QByteArray::fromStdString(r));
  }
}

}  // namespace

void MainWindow::build_find_panel(QWidget* parent, QVBoxLayout* col) {
  panel_find_ = new CaptionSplitter("查找结果 [ 双击显示 ]", parent);
  panel_find_->setObjectName("Panel_find1");
  splitter_find_ = new ResizeBar(panel_find_, parent);
  splitter_find_->setObjectName("Splitter_find1");
  list_box_find_ = new ColorListBox(panel_find_);
  list_box_find_->setObjectName("ListBox_find1");
  list_box_find_->setAccessibleName("查找结果");
  list_box_find_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_box_find_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list_box_find_->setContextMenuPolicy(Qt::CustomContextMenu);
  panel_find_->setBody(list_box_find_);

  popup_find_ = new QMenu(this);
  popup_find_->setObjectName("PopupMenu_find1");
  QAction* copy = popup_find_->addAction("复制");
  copy->setObjectName("MenuItem7");
  connect(copy, &QAction::triggered, this, &MainWindow::copy_find_results);
  popup_find_->addSeparator();
  QAction* clear = popup_find_->addAction("清空");
  clear->setObjectName("MenuItem6");
  connect(clear, &QAction::triggered, this, &MainWindow::clear_find_results);
  QAction* del = popup_find_->addAction("删除");
  del->setObjectName("N31");
  connect(del, &QAction::triggered, this, &MainWindow::delete_find_results);
  // The same commands from the keyboard while the list has the focus.
  copy->setShortcut(QKeySequence::Copy);
  del->setShortcut(QKeySequence::Delete);
  for (QAction* a : {copy, del}) {
    a->setShortcutContext(Qt::WidgetShortcut);
    list_box_find_->addAction(a);
  }
  connect(list_box_find_, &QListWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    popup_find_->popup(list_box_find_->viewport()->mapToGlobal(p));
  });
  connect(list_box_find_, &QListWidget::itemDoubleClicked, this, &MainWindow::open_find_result);

  auto* close = new ImageButton(style()->standardIcon(QStyle::SP_TitleBarCloseButton), QString(),
                                "关闭查找结果", panel_find_);
  close->setObjectName("btnCloseFind1");
  close->setFixedSize(18, 18);
  connect(close, &QToolButton::clicked, this, [this] {
    btn_view_find_->setChecked(false);
    set_find_panel_visible(false);
  });
  panel_find_->addBarWidget(close);
  panel_find_->setFixedHeight(std::max(82, panel_find_->minimumSizeHint().height()));
  col->addWidget(splitter_find_);
  col->addWidget(panel_find_);
  set_find_panel_visible(false);
}

void MainWindow::build_find_actions(QMenu* view, QLayout* tool_row) {
  if (view) {
    act_find_ = view->addAction("查找结果");
    act_find_->setObjectName("N_find1");
    connect(act_find_, &QAction::triggered, this, &MainWindow::toggle_find_results);
  }
  if (tool_row) {
    btn_view_find_ = new ImageButton(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                     "查找结果", "查看查找结果", panel_tool_);
    btn_view_find_->setObjectName("SpeedButton_view1");
    btn_view_find_->setCheckable(true);
    connect(btn_view_find_, &QToolButton::clicked, this, &MainWindow::view_find_results_toggled);
    tool_row->addWidget(btn_view_find_);
  }
}

void MainWindow::set_find_panel_visible(bool on) {
  splitter_find_->setVisible(on);
  panel_find_->setVisible(on);
}

void MainWindow::show_find_results() {
  // Results of every run collect until the user clears them.
  append_results(list_box_find_, find_results_);
  set_find_panel_visible(true);
  if (list_box_find_->count() > 0) list_box_find_->scrollToBottom();
}

void MainWindow::view_find_results_toggled() {
  if (btn_view_find_->isChecked()) {
    list_box_find_->clear();
    append_results(list_box_find_, find_results_);
    set_find_panel_visible(true);
  } else {
    set_find_panel_visible(false);
  }
}

void MainWindow::toggle_find_results() {
  btn_view_find_->setChecked(!btn_view_find_->isChecked());
  view_find_results_toggled();
}

void MainWindow::copy_find_results() {
  // As text for other programs: the clipboard converts from what is shown.
  QString text;
  for (int i = 0; i < list_box_find_->count(); ++i)
    text += list_box_find_->item(i)->text() + "\r\n";
  QApplication::clipboard()->setText(text);
}

void MainWindow::clear_find_results() {
  list_box_find_->clear();
}

void MainWindow::delete_find_results() {
  for (QListWidgetItem* it : list_box_find_->selectedItems()) delete it;
}

void MainWindow::open_find_result() {
  QListWidgetItem* it = list_box_find_->currentItem();
  if (!it) return;
  const FindLocation at = parse_find_result(it->data(kRawRole).toByteArray().toStdString());
  go_to_match(at.path, at.line, at.column);
}

}  // namespace lq::gui

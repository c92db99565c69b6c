#include "gui/shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/editor/document_tabs.h"
#include "gui/editor/edit_commands.h"
#include "gui/shell/about_box.h"
#include "gui/shell/run_controller.h"
#include "gui/shell/scope_box.h"
#include "gui/shell/tags.h"
#include "gui/widgets/caption_splitter.h"
#include "gui/widgets/color_widgets.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {

namespace {

QAction* item(QMenu* menu, const char* name, const QString& text, int tag = 0) {
  QAction* a = menu->addAction(text);
  a->setObjectName(name);
  if (tag) set_tag(a, tag);
  return a;
}

}  // namespace

MainWindow::MainWindow(const std::vector<std::string>& startup_paths, QWidget* parent)
    : QMainWindow(parent) {
  setObjectName("TForm1");
  setWindowTitle("Lexoquill");
  resize(1100, 760);
  // Hints appear at once and stay up long, as users read the longer ones slowly.
  install_services();
  build_menus();

  auto* central = new QWidget(this);
  central->setObjectName("Panel_main1");
  auto* col = new QVBoxLayout(central);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(0);

  panel_top_ = new QWidget(central);
  panel_top_->setObjectName("Panel_top1");
  auto* top = new QVBoxLayout(panel_top_);
  top->setContentsMargins(2, 2, 2, 2);
  top->setSpacing(2);
  build_tool_bar(panel_top_);
  build_news(panel_top_);
  col->addWidget(panel_top_);

  col->addWidget(build_processing_area());
  col->addWidget(build_lower_area(), 1);
  setCentralWidget(central);
  build_status_bar();
  install_edit_commands();
  build_startup_controls();
  load_news();
  // Geometry, settings and the operation panels of the last run.
  build_settings_ui();
  load_settings();
  load_panel_list("");
  // The files named on the command line, the first empty document, the lists.
  form_create_tail(startup_paths);
  fill_layout_list();
}

void MainWindow::build_menus() {
  // Alt+letter reaches every menu from the keyboard.
  const char* titles[][3] = {{"文件", "F", "N_file1"},     {"编辑", "E", "N_edit1"},
                             {"查看", "V", "N_view1"},     {"操作", "O", "N_op1"},
                             {"特殊工具", "T", "N_tool1"}, {"高级设置", "S", "N_set1"},
                             {"书签", "B", "N_mark1"},     {"帮助", "H", "N_help1"}};
  const int menu_ids[] = {11, 12, 13, 14, 15, 16, 17, 18};
  QList<QMenu*> menus;
  for (int i = 0; i < 8; ++i) {
    QMenu* m = menuBar()->addMenu(QString::fromUtf8(titles[i][0]) + "(&" + titles[i][1] + ")");
    m->setObjectName(titles[i][2]);
    // Menu 15 (特殊工具) has no catalogue block.
    if (menu_ids[i] != 15) set_tag(m->menuAction(), menu_ids[i] * 1000000 + 1);
    menus << m;
  }
  QMenu* file = menus[0];
  QAction* open = item(file, "N_open1", "打开要处理的文件...(&O)");
  open->setShortcut(QKeySequence::Open);
  connect(open, &QAction::triggered, this, &MainWindow::add_files_dialog);
  QAction* again = item(file, "N20", "再加入文件");
  QAction* clip = item(file, "N17", "加入剪贴板");
  clip->setVisible(false);
  file->addSeparator();
  QAction* dir = item(file, "N14", "加入一个目录(&D)");
  connect(dir, &QAction::triggered, this, &MainWindow::add_folder_dialog);
  QAction* dir_sub = item(file, "N15", "加入一个目录[含子目录](&S)");
  connect(dir_sub, &QAction::triggered, this, &MainWindow::add_folder_tree_dialog);
  QAction* clear = item(file, "N19", "全部清除(&C)");
  connect(clear, &QAction::triggered, this, &MainWindow::clear_file_list);
  file->addSeparator();
  QAction* quit = item(file, "N46", "退出(&X)");
  connect(quit, &QAction::triggered, this, &QWidget::close);
  file_actions_ = {open, again, dir, dir_sub, clear};

  QMenu* view = menus[2];
  act_status_ = item(view, "N_showsta1", "状态栏(&S)");
  act_status_->setCheckable(true);
  act_status_->setChecked(true);
  connect(act_status_, &QAction::triggered, this, &MainWindow::toggle_status_bar);

  QMenu* op = menus[3];
  act_start_ = item(op, "N_start1", "开始处理(&R)");
  act_start_->setShortcut(Qt::Key_F9);
  connect(act_start_, &QAction::triggered, this, &MainWindow::start_processing);
  act_stop_ = item(op, "N_stop1", "停止(&T)");
  act_stop_->setShortcut(Qt::SHIFT | Qt::Key_F9);
  act_stop_->setEnabled(false);
  connect(act_stop_, &QAction::triggered, this, &MainWindow::stop_run);
  install_journal_actions(op);
  op->addSeparator();
  QAction* all = item(op, "N53", "显示所有控件(&A)");
  connect(all, &QAction::triggered, this, &MainWindow::show_all_panels);
  panel_actions_ << all;

  build_find_actions(view, nullptr);
  build_recipe_actions(op);

  QMenu* help = menus[7];
  QAction* about = item(help, "N_about1", "关于(&A)...");
  connect(about, &QAction::triggered, this, &MainWindow::about_box);

  // The list box's context menu, also popped up by SpeedButton6.
  popup_open_ = new QMenu(this);
  popup_open_->setObjectName("PopupMenu_open1");
  QAction* p_dir = item(popup_open_, "N_add_subdir1", "加入一个目录");
  connect(p_dir, &QAction::triggered, this, &MainWindow::add_folder_dialog);
  QAction* p_sub = item(popup_open_, "N6", "加入一个目录[含子目录]");
  connect(p_sub, &QAction::triggered, this, &MainWindow::add_folder_tree_dialog);
  popup_open_->addSeparator();
  QAction* p_del = item(popup_open_, "N30", "删除");
  connect(p_del, &QAction::triggered, this, &MainWindow::remove_selected_file);
  QAction* p_clear = item(popup_open_, "N10", "全部清除");
  connect(p_clear, &QAction::triggered, this, &MainWindow::clear_file_list);
}

void MainWindow::build_tool_bar(QWidget* top) {
  panel_tool_ = new QWidget(top);
  panel_tool_->setObjectName("Panel_tool1");
  auto* row = new QHBoxLayout(panel_tool_);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(2);
  QStyle* s = style();

  btn_open_ =
      new ImageButton(s->standardIcon(QStyle::SP_DialogOpenButton), "打开要处理的文件",
                      " 打开要处理的文件\n    - - - -    \n [可一次选择多个文件]", panel_tool_);
  btn_open_->setObjectName("SpeedButton_open1");
  set_tag(btn_open_, 10100001);
  connect(btn_open_, &QToolButton::clicked, this, &MainWindow::add_files_dialog);
  row->addWidget(btn_open_);

  btn_more_ = new ImageButton(QIcon(), QString(), "更多的操作", panel_tool_);
  btn_more_->setObjectName("SpeedButton6");
  btn_more_->setArrowType(Qt::DownArrow);
  btn_more_->setFixedWidth(16);
  set_tag(btn_more_, 10100002);
  connect(btn_more_, &QToolButton::released, this, &MainWindow::show_open_menu);
  row->addWidget(btn_more_);
  row->addSpacing(10);

  btn_start_ =
      new ImageButton(s->standardIcon(QStyle::SP_MediaPlay), "开始处理", "开始处理", panel_tool_);
  btn_start_->setObjectName("SpeedButton1");
  set_tag(btn_start_, 10100003);
  connect(btn_start_, &QToolButton::clicked, this, &MainWindow::start_processing);
  row->addWidget(btn_start_);
  row->addWidget(make_preview_button(panel_tool_));

  btn_stop_ = new ImageButton(s->standardIcon(QStyle::SP_MediaStop), "停止",
                              "停止处理(当前文件处理完后停止)", panel_tool_);
  btn_stop_->setObjectName("SpeedButton_stop1");
  btn_stop_->setEnabled(false);
  connect(btn_stop_, &QToolButton::clicked, this, &MainWindow::stop_run);
  row->addWidget(btn_stop_);
  row->addSpacing(10);

  btn_max_len_ = new ImageButton(QIcon(), "长度", "限制每一行的长度", panel_tool_);
  btn_max_len_->setObjectName("SpeedButton5");
  set_tag(btn_max_len_, 10100004);
  connect(btn_max_len_, &QToolButton::clicked, this, &MainWindow::max_line_len_tool);
  row->addWidget(btn_max_len_);
  edit_max1_ = new ColorEdit(panel_tool_);
  edit_max1_->setObjectName("Edit_max1");
  edit_max1_->setFixedWidth(36);
  edit_max1_->setAccessibleName("长度");
  edit_max1_->setToolTip("限制每一行的长度");
  row->addWidget(edit_max1_);
  edit_max2_ = new ColorUpDown(panel_tool_);
  edit_max2_->setObjectName("Edit_max2");
  edit_max2_->setAccessibleName("长度");
  edit_max2_->setRange(0, 100);
  edit_max2_->setPosition(0);
  edit_max2_->setBuddy(edit_max1_);
  row->addWidget(edit_max2_);
  row->addSpacing(10);
  build_find_actions(nullptr, row);
  row->addStretch(1);
}

void MainWindow::build_news(QWidget* top) {
  panel_news_ = new QWidget(top);
  panel_news_->setObjectName("Panel_news1");
  auto* row = new QHBoxLayout(panel_news_);
  row->setContentsMargins(2, 0, 2, 0);
  memo_gg_ = new QPlainTextEdit(panel_news_);
  memo_gg_->setObjectName("Memo_gg1");
  memo_gg_->setReadOnly(true);
  memo_gg_->setAccessibleName("公告");
  memo_gg_->setFixedHeight(34);
  memo_gg_->setFrameShape(QFrame::NoFrame);
  memo_gg_->setStyleSheet("QPlainTextEdit { background: #fffbe6; color: #7a4b00; }");
  // Read-only, but reached with Tab so the announcement can be read from the keyboard.
  memo_gg_->setFocusPolicy(Qt::StrongFocus);
  row->addWidget(memo_gg_);
  top->layout()->addWidget(panel_tool_);
  top->layout()->addWidget(panel_news_);
}

QWidget* MainWindow::build_processing_area() {
  auto* holder = new QWidget(this);
  auto* col = new QVBoxLayout(holder);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(0);

  panel_cl_ = new QWidget(holder);
  panel_cl_->setObjectName("PanelCL");
  panel_cl_->setFixedHeight(240);
  auto* row = new QHBoxLayout(panel_cl_);
  row->setContentsMargins(2, 0, 2, 0);
  auto* split = new QSplitter(Qt::Horizontal, panel_cl_);
  split->setObjectName("Splitter_cl1");
  scope_box_ = new ScopeBox(split);
  pnl_controls_ = new QScrollArea(split);
  pnl_controls_->setObjectName("pnlControls");
  pnl_controls_->setAccessibleName("操作");
  pnl_controls_->setWidgetResizable(true);
  pnl_controls_body_ = new QWidget;
  pnl_controls_body_->setObjectName("pnlControls_body");
  pnl_controls_layout_ = new QVBoxLayout(pnl_controls_body_);
  pnl_controls_layout_->setContentsMargins(2, 2, 2, 2);
  pnl_controls_layout_->setSpacing(3);
  pnl_controls_layout_->addStretch(1);
  pnl_controls_->setWidget(pnl_controls_body_);
  split->addWidget(scope_box_);
  split->addWidget(pnl_controls_);
  split->setStretchFactor(0, 0);
  split->setStretchFactor(1, 1);
  split->setSizes({430, 650});
  row->addWidget(split);
  col->addWidget(panel_cl_);

  auto* mini = new QToolButton(holder);
  mini->setObjectName("btnMini");
  mini->setToolTip("收/放处理面板");
  mini->setAccessibleName("收/放处理面板");
  mini->setFixedHeight(7);
  mini->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  mini->setFocusPolicy(Qt::TabFocus);
  mini->setStyleSheet(
      "QToolButton { border: none; background: #c9d3e0; } QToolButton:hover { background: "
      "#8fa8c8; } QToolButton:focus { background: #2f6fd0; }");
  connect(mini, &QToolButton::clicked, this, &MainWindow::toggle_work_area);
  btn_mini_ = mini;
  col->addWidget(mini);
  return holder;
}

QWidget* MainWindow::build_lower_area() {
  auto* split = new QSplitter(Qt::Horizontal, this);
  split->setObjectName("Splitter_lower1");

  auto* panel1 = new QWidget(split);
  panel1->setObjectName("Panel1");
  auto* lcol = new QVBoxLayout(panel1);
  lcol->setContentsMargins(2, 2, 0, 2);
  lcol->setSpacing(1);
  auto* lcap = new QLabel("要处理的文件", panel1);
  lcol->addWidget(lcap);
  list_box1_ = new ColorListBox(panel1);
  list_box1_->setObjectName("ListBox1");
  list_box1_->setAccessibleName("要处理的文件");
  list_box1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list_box1_->setContextMenuPolicy(Qt::CustomContextMenu);
  lcap->setBuddy(list_box1_);
  connect(list_box1_, &QListWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { popup_open_->popup(list_box1_->viewport()->mapToGlobal(p)); });
  connect(list_box1_, &QListWidget::itemClicked, this, [this](QListWidgetItem* it) {
    const int row = list_box1_->row(it);
    if (row >= 0 && row < static_cast<int>(file_list_.size())) open_in_tab(file_list_[row]);
  });
  lcol->addWidget(list_box1_);

  auto* right = new QWidget(split);
  right->setObjectName("Panel_right1");
  auto* rcol = new QVBoxLayout(right);
  rcol->setContentsMargins(0, 2, 2, 2);
  rcol->setSpacing(0);
  editor_area_ = new QFrame(right);
  editor_area_->setObjectName("Panel_edit1");
  static_cast<QFrame*>(editor_area_)->setFrameShape(QFrame::StyledPanel);
  editor_area_->setAutoFillBackground(true);
  auto pal = editor_area_->palette();
  pal.setColor(QPalette::Window, Qt::white);
  editor_area_->setPalette(pal);
  auto* edit_col = new QVBoxLayout(editor_area_);
  edit_col->setContentsMargins(0, 0, 0, 0);
  doc_tabs_ = new DocumentTabs(editor_area_);
  edit_col->addWidget(doc_tabs_);
  rcol->addWidget(editor_area_, 1);

  build_find_panel(right, rcol);

  split->addWidget(panel1);
  split->addWidget(right);
  split->setStretchFactor(0, 0);
  split->setStretchFactor(1, 1);
  split->setSizes({300, 800});
  return split;
}

void MainWindow::build_status_bar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("Panel_sat1");
  label_file_ = new QLabel(bar);
  label_file_->setObjectName("Label_file1");
  label_file_->setMinimumWidth(240);
  progress_ = new QProgressBar(bar);
  progress_->setObjectName("ProgressBar_files1");
  progress_->setAccessibleName("处理进度");
  progress_->setRange(0, 100);
  progress_->setFixedWidth(220);
  label_outcome_ = new QLabel(bar);
  label_outcome_->setObjectName("Label_outcome1");
  bar->addWidget(label_file_);
  bar->addWidget(progress_);
  bar->addWidget(label_outcome_, 1);
  label_file_->hide();
  progress_->hide();
  label_outcome_->hide();
}

void MainWindow::toggle_work_area() {
  panel_cl_->setFixedHeight(panel_cl_->height() == 1 ? 300 : 1);
}

void MainWindow::toggle_status_bar() {
  statusBar()->setVisible(act_status_->isChecked());
}

void MainWindow::about_box() {
  AboutBox box(this);
  box.exec();
}

void MainWindow::open_in_tab(const std::string& path) {
  doc_tabs_->open_in_tab(path);
}

}  // namespace lq::gui

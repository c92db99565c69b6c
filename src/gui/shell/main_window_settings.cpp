// The main window's settings: loading "sys1.ini" into the window, the options command,
// the help commands, and the menu items, tool buttons and geometry keeper they need.
#include "gui/shell/main_window_settings.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStringDecoder>
#include <QStyle>
#include <exception>

#include "core/settings/shell_menu.h"
#include "core/textsvc/file_services.h"
#include "core/textsvc/install_layout.h"
#include "gui/editor/document_tabs.h"
#include "gui/settings/form_help.h"
#include "gui/settings/form_option.h"
#include "gui/settings/journal_page.h"
#include "gui/settings/layout_combo_box.h"
#include "gui/settings/qoz_position.h"
#include "gui/settings/settings_bridge.h"
#include "gui/shell/main_window.h"
#include "gui/shell/msg_box.h"
#include "gui/shell/scope_box.h"
#include "gui/shell/text_bridge.h"
#include "gui/widgets/image_buttons.h"

namespace lq::gui {

namespace {

constexpr const char* kHelpFileName = "帮助文件.txt";
constexpr const char* kEditorNotesFileName = "编辑器特性.txt";

// An error text names a file (file-system bytes, UTF-8 here) inside ASCII words.
QString error_text(const char* what) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString s = utf8(QByteArray(what));
  return utf8.hasError() ? from_gbk(what) : s;
}

QAction* add_item(QMenu* menu, QAction* before, const char* name, const QString& text) {
  auto* a = new QAction(text, menu);
  a->setObjectName(name);
  menu->insertAction(before, a);
  return a;
}

}  // namespace

void MainWindow::build_settings_ui() {
  if (settings_) return;  // once per window, whoever calls it first
  settings_ = std::make_unique<MainWindowSettings>();
  MainWindowSettings& st = *settings_;
  st.sys_ini = IniFile(sys_ini_path());

  // Areas the geometry keeper sizes: the processing area above the thin bar btnMini, and
  // the scope box, stored under the name older files use for it.
  btn_mini_->setProperty("splitter_align", "top");
  scope_box_->setProperty("position_name", "Panel23");

  if (QMenu* set = menuBar()->findChild<QMenu*>("N_set1")) {
    QAction* option = add_item(set, nullptr, "N_option1", "设置...(&O)");
    connect(option, &QAction::triggered, this, &MainWindow::open_options);
    QAction* save = add_item(set, nullptr, "N_save_layout1", "保存当前界面...(&S)");
    save->setToolTip("保存当前各窗体位置为新操作界面");
    save->setStatusTip(save->toolTip());
    connect(save, &QAction::triggered, this, &MainWindow::ask_save_layout);
  }
  if (QMenu* help = menuBar()->findChild<QMenu*>("N_help1")) {
    QAction* about = help->findChild<QAction*>("N_about1");
    QAction* user = add_item(help, about, "N_help_user1", "用户帮助&&程序说明(&U)");
    user->setShortcut(QKeySequence::HelpContents);
    connect(user, &QAction::triggered, this, &MainWindow::show_help);
    QAction* notes = add_item(help, about, "N_editor_notes1", "编辑器特性(&E)");
    connect(notes, &QAction::triggered, this, &MainWindow::show_editor_notes);
    if (about) help->insertSeparator(about);
  }

  // The layout box and its step button, then the help button, at the end of the tool bar.
  auto* row = static_cast<QHBoxLayout*>(panel_tool_->layout());
  const int at = row->count() - 1;  // before the closing stretch
  st.ComboBox_view1 = new LayoutComboBox(panel_tool_);
  st.ComboBox_view1->setObjectName("ComboBox_view1");
  st.ComboBox_view1->setToolTip("切换不同的操作布局");
  st.ComboBox_view1->setAccessibleName("操作界面方案");
  st.ComboBox_view1->setPlaceholderText("操作界面方案");
  st.ComboBox_view1->setMinimumContentsLength(10);
  st.ComboBox_view1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  connect(st.ComboBox_view1, &LayoutComboBox::aboutToShowPopup, this,
          &MainWindow::fill_layout_list);
  connect(st.ComboBox_view1, &QComboBox::activated, this, &MainWindow::layout_chosen);
  auto* next = new ImageButton(style()->standardIcon(QStyle::SP_ArrowRight), QString(),
                               "下一个操作界面方案", panel_tool_);
  next->setObjectName("SpeedButton10");
  connect(next, &QToolButton::clicked, this, &MainWindow::next_layout);
  st.SpeedButton10 = next;
  auto* help = new ImageButton(style()->standardIcon(QStyle::SP_MessageBoxQuestion), QString(),
                               "用户帮助/程序说明", panel_tool_);
  help->setObjectName("SpeedButton_help1");
  connect(help, &QToolButton::clicked, this, &MainWindow::show_help);
  row->insertSpacing(at, 10);
  row->insertWidget(at + 1, st.ComboBox_view1);
  row->insertWidget(at + 2, next);
  row->insertSpacing(at + 3, 10);
  row->insertWidget(at + 4, help);

  // The window is built: it takes the place and size it had when it was last closed.
  st.window_positions = new TQOZPosition(this, "TForm1");
  connect(st.window_positions, &TQOZPosition::firstShown, this,
          &MainWindow::restore_layout_on_show);
  st.window_positions->window_built();
}

const SysSettings& MainWindow::sys_settings() const {
  return settings_->sys;
}

TQOZPosition* MainWindow::window_positions() const {
  return settings_->window_positions;
}

void MainWindow::load_settings() {
  install_cjk_font_fallbacks();
  MainWindowSettings& st = *settings_;
  st.sys = read_sys_settings(st.sys_ini);
  case_sensitive_ = st.sys.case_sensitive;
  update_shell_menu(st.sys.shell_menu);
  doc_tabs_->set_editor_font(font_from_spec(st.sys.edit_font, 11));
  panel_font_ = font_from_spec(st.sys.form_font, 9);
  setFont(panel_font_);
  QApplication::setFont(panel_font_, "QMenu");
  doc_tabs_->set_alternation(st.sys.alternation_paint,
                             color_from_stored(st.sys.alternation_paint_color));
  doc_tabs_->set_undo_limits({size_t(st.sys.undo_steps), size_t(st.sys.undo_mb) << 20});
  // Later reads see what other windows or runs wrote meanwhile.
  st.sys_ini.reload();
}

void MainWindow::open_options() {
  MainWindowSettings& st = *settings_;
  if (!st.form_option) {
    st.form_option = new Tform_option(catalogue_, st.sys.edit_font, st.sys.form_font, this);
    // Chosen fonts apply at once to what is created from now on, even if the dialog is
    // then cancelled; only OK stores them.
    connect(st.form_option, &Tform_option::editFontChosen, this, [this](const FontSpec& f) {
      settings_->sys.edit_font = f;
      doc_tabs_->set_editor_font(font_from_spec(f, 11));
    });
    connect(st.form_option, &Tform_option::formFontChosen, this, [this](const FontSpec& f) {
      settings_->sys.form_font = f;
      panel_font_ = font_from_spec(f, 9);
    });
  }
  Tform_option* d = st.form_option;
  IniFile& ini = st.sys_ini;
  using namespace sys_keys;
  d->CheckBox_case1()->setChecked(st.sys.case_sensitive);
  d->ComboBox_encoding1()->setCurrentIndex(static_cast<int>(st.sys.encoding));
  d->ComboBox_eol1()->setCurrentIndex(static_cast<int>(st.sys.eol));
  d->CheckBox_binary1()->setChecked(st.sys.binary);
  d->CheckBox_rm1()->setChecked(ini.read_bool(kOps, kShellMenu, true));
  d->CheckBox_falternation_paint1()->setChecked(ini.read_bool(kEdit, kAlternationPaint, true));
  d->set_color(ini.read_integer(kEdit, kAlternationPaintColor, kButtonFaceColor));
  d->journal_page()->show_limits(read_sys_settings(ini));
  if (d->exec() != QDialog::Accepted) return;

  try {
    ini.reload();
    ini.write_bool(kOps, kCaseSensitive, d->CheckBox_case1()->isChecked());
    ini.write_bool(kEdit, kAlternationPaint, d->CheckBox_falternation_paint1()->isChecked());
    ini.write_integer(kEdit, kAlternationPaintColor, d->color());
    save_ext_file(ext_file_path(), d->ext_lines());
    ini.write_bool(kOps, kShellMenu, d->CheckBox_rm1()->isChecked());
    d->journal_page()->store(ini);
    for (const auto& [section, font] :
         {std::pair{kEdit, st.sys.edit_font}, std::pair{kForm, st.sys.form_font}}) {
      ini.write_string(section, kFontName, font.name);
      ini.write_integer(section, kFontSize, font.size);
      ini.write_integer(section, kFontCharset, font.charset & 0xFF);
    }
    // The combo boxes list the choices in the order of their enums.
    ini.write_string(
        kFile, kEncoding,
        encoding_choice_name(static_cast<EncodingChoice>(d->ComboBox_encoding1()->currentIndex())));
    ini.write_string(kFile, kEol,
                     eol_policy_name(static_cast<EolPolicy>(d->ComboBox_eol1()->currentIndex())));
    ini.write_bool(kFile, kBinary, d->CheckBox_binary1()->isChecked());
  } catch (const std::exception& e) {
    msg_box(error_text(e.what()), false, this, QApplication::applicationName());
  }
  load_settings();
}

void MainWindow::show_help() {
  MainWindowSettings& st = *settings_;
  if (!st.form_help) st.form_help = new Tform_help(catalogue_, this);
  const QString key = help_keyword(QApplication::focusWidget());
  TTextData& store = st.help_texts;
  if (!key.isEmpty() && store.locate("help_key1", to_gbk(key))) {
    st.form_help->set_text(store.get_value("help_data1"));
  } else {
    try {
      st.form_help->load_file(shipped_file_path(kHelpFileName));
    } catch (const std::exception& e) {
      msg_box(error_text(e.what()), false, this, QApplication::applicationName());
      return;
    }
  }
  st.form_help->exec();
}

void MainWindow::show_editor_notes() {
  MainWindowSettings& st = *settings_;
  if (!st.form_help) st.form_help = new Tform_help(catalogue_, this);
  try {
    st.form_help->load_file(shipped_file_path(kEditorNotesFileName));
  } catch (const std::exception& e) {
    msg_box(error_text(e.what()), false, this, QApplication::applicationName());
    return;
  }
  st.form_help->exec();
}

void MainWindow::save_position_on_destroy() {
  if (settings_ && settings_->window_positions) settings_->window_positions->window_destroying();
}

}  // namespace lq::gui
